// Matching an announced name against a name the operator was shown.
#pragma once

#include <string>

namespace ShownName {

// True when the announced bytes are the shown name (UTF-8), byte for byte, or decode to it. A
// shown name is the announced bytes decoded as UTF-8: a name that is not valid UTF-8 comes back
// with replacement characters and is found through that same decoding.
bool matches(const std::string& announced, const std::string& shown);

} // namespace ShownName
