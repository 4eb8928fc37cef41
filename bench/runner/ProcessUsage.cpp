#include "ProcessUsage.h"

#include <sys/resource.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

namespace {

double statusKiB(const char* field)
{
    std::FILE* file = std::fopen("/proc/self/status", "r");
    if (!file) {
        return 0;
    }
    char line[256];
    double kib = 0;
    const size_t length = std::strlen(field);
    while (std::fgets(line, sizeof line, file)) {
        if (std::strncmp(line, field, length) == 0 && line[length] == ':') {
            kib = std::strtod(line + length + 1, nullptr);
            break;
        }
    }
    std::fclose(file);
    return kib;
}

double ms(const timeval& t)
{
    return double(t.tv_sec) * 1e3 + double(t.tv_usec) / 1e3;
}

} // namespace

double ProcessUsage::residentMiB()
{
    return statusKiB("VmRSS") / 1024.0;
}

double ProcessUsage::peakResidentMiB()
{
    return statusKiB("VmHWM") / 1024.0;
}

double ProcessUsage::processCpuMs()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return ms(usage.ru_utime) + ms(usage.ru_stime);
}

double ProcessUsage::threadCpuMs()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

double ProcessUsage::loadAverage()
{
    double load = 0;
    if (std::FILE* file = std::fopen("/proc/loadavg", "r")) {
        if (std::fscanf(file, "%lf", &load) != 1) {
            load = 0;
        }
        std::fclose(file);
    }
    return load;
}
