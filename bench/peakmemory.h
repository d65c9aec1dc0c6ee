#pragma once

// The process's peak resident memory so far, in KiB: each system counts it its own way
// (peakmemory_linux.cpp, peakmemory_windows.cpp).
long peakMemoryKiB();
