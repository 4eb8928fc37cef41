// Lets the GUI thread's event loop run while the benchmark waits: queued dataChanged signals
// are delivered and the views rebuild exactly as they would in the application.
#pragma once

#include <functional>

namespace EventWait {

// Runs the event loop for `ms` milliseconds.
void forMs(int ms);
// Runs the event loop until `done` returns true (tested every `stepMs`); false on timeout.
bool until(const std::function<bool()>& done, int timeoutMs, int stepMs = 20);

} // namespace EventWait
