// The inspector's exit codes, as its help and manual page give them.
#pragma once

namespace ExitCode {

const int Done = 0;
// check: at least one error-level problem
const int ErrorFound = 1;
// a bad command line, a domain that cannot be joined, a result that cannot be written
const int Usage = 2;
// SIGINT or SIGTERM before snapshot or check had its result (128 + SIGINT, as a shell reports)
const int Interrupted = 130;

} // namespace ExitCode
