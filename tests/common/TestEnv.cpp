#include "TestEnv.h"

#include <QByteArray>
#include <cstdio>
#include <cstdlib>

namespace TestEnv {

std::vector<uint32_t> domains()
{
    std::vector<uint32_t> ids;
    const QByteArray text = qgetenv("BRELVANE_TEST_DOMAINS");
    for (const QByteArray& part : text.split(',')) {
        bool ok = false;
        const uint32_t id = part.trimmed().toUInt(&ok);
        if (ok) {
            ids.push_back(id);
        }
    }
    return ids;
}

uint32_t domain(int i)
{
    const std::vector<uint32_t> ids = domains();
    if (i < 0 || size_t(i) >= ids.size()) {
        std::fprintf(stderr, "test needs DDS domain #%d; register it in brelvane_add_test\n", i);
        std::abort();
    }
    return ids[size_t(i)];
}

QString program(const char* variable)
{
    return QString::fromLocal8Bit(qgetenv(variable));
}

} // namespace TestEnv
