// The domain dialog's check of an arbitrary UTF-16 text: a text it accepts names only domain
// ids 0..200, and exactly the ids the check itself read from it.
#include "DomainSelection.h"
#include "FuzzCheck.h"

#include <QString>
#include <QStringList>
#include <cstring>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // Copied out so that the UTF-16 units are aligned whatever the input buffer is.
    std::vector<ushort> units(size / 2);
    if (!units.empty()) {
        std::memcpy(units.data(), data, units.size() * sizeof(ushort));
    }
    const QString text = QString(reinterpret_cast<const QChar*>(units.data()), int(units.size()));

    const bool valid = DomainSelection::isValidInput(text);
    const std::set<uint32_t> ids = DomainSelection::parseIds(text);
    if (!valid) {
        return 0;
    }
    for (uint32_t id : ids) {
        fuzzCheck(id <= 200, "accepted text names a domain id above 200");
    }
    std::set<uint32_t> checked;
    for (const QString& part : text.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        checked.insert(uint32_t(part.toInt(nullptr, 10)));
    }
    fuzzCheck(ids == checked, "parsed ids differ from the ids the check accepted");
    return 0;
}
