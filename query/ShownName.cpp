#include "ShownName.h"

#include <QString>
#include <algorithm>

namespace ShownName {

bool matches(const std::string& announced, const std::string& shown)
{
    if (announced == shown) {
        return true;
    }
    // ASCII decodes to itself: only other bytes can decode to a different text. Most names are
    // ASCII, and walks compare every endpoint's name.
    const bool ascii = std::all_of(announced.begin(), announced.end(), [](char c) {
        return (static_cast<unsigned char>(c) & 0x80) == 0;
    });
    if (ascii) {
        return false;
    }
    const QString decoded = QString::fromUtf8(announced.data(), int(announced.size()));
    return decoded.toStdString() == shown;
}

} // namespace ShownName
