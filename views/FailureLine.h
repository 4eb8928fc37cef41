// The one way the views report a failed middleware query: a fixed line on standard output.
#pragma once

namespace FailureLine {

// Writes `line` and a newline to standard output and flushes, so the line is out before the
// view goes on with what it has.
void print(const char* line);

} // namespace FailureLine
