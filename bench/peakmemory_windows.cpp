#include "bench/peakmemory.h"

#include <windows.h>
#include <psapi.h>

// The peak working set is what Windows calls the most memory the process has held.
long peakMemoryKiB()
{
    PROCESS_MEMORY_COUNTERS counters {};
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    return long(counters.PeakWorkingSetSize / 1024);
}
