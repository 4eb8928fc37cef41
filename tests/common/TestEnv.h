// What the test runner hands every test: its own DDS domain ids and the helper programs.
#pragma once

#include <QString>
#include <QStringList>
#include <cstdint>
#include <vector>

namespace TestEnv {

// The domain ids reserved for this test (BRELVANE_TEST_DOMAINS), in the order registered.
std::vector<uint32_t> domains();
// The i-th reserved domain id; fails the test run when fewer are reserved.
uint32_t domain(int i = 0);

// Path of a helper program given in an environment variable, empty when unset.
QString program(const char* variable);

} // namespace TestEnv
