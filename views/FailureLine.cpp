#include "FailureLine.h"

#include <cstdio>

namespace FailureLine {

void print(const char* line)
{
    std::fputs(line, stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

} // namespace FailureLine
