// The monitored domain set as the operator edits it: validation of the dialog's texts and the
// change of the monitor's domain table they ask for.
#pragma once

#include <QString>
#include <cstdint>
#include <set>

class MonitorLib;

namespace DomainSelection {

// True when the text is domain ids 0..200 separated by ";" (empty pieces allowed).
bool isValidInput(const QString& input);

// The ids named by a valid text, duplicates collapsed.
std::set<uint32_t> parseIds(const QString& input);

// Creates the monitor's participant in every included domain that is not yet monitored and not
// excluded, and deletes it in every excluded domain that is monitored. Holds the monitor's
// mutex while it edits the table; emits nothing. Returns the ids of the domains the middleware
// could not join (no participant created): they stay out of the table.
std::set<uint32_t> apply(MonitorLib& monitor, const std::set<uint32_t>& included,
                         const std::set<uint32_t>& excluded);

} // namespace DomainSelection
