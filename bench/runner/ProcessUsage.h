// What this process uses: resident memory from /proc/self/status, CPU time of all its threads
// and of the calling thread.
#pragma once

class ProcessUsage
{
public:
    // VmRSS and VmHWM (peak) in MiB; 0 when unreadable.
    static double residentMiB();
    static double peakResidentMiB();
    // User plus system CPU time in milliseconds.
    static double processCpuMs();
    static double threadCpuMs();
    // The 1-minute load average of the machine.
    static double loadAverage();
};
