#pragma once

#include <ctime>

// CPU time of this thread in ms: steadier than wall time on a shared machine.
inline double cpuMs()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}
