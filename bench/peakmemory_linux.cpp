#include "bench/peakmemory.h"

#include <sys/resource.h>

long peakMemoryKiB()
{
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}
