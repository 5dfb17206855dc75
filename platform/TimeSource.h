#pragma once
// The library's one reading of the clock. Code that shows local time or counts elapsed
// milliseconds asks here, so that a test can pin both: Wine cannot set the system clock,
// and frames or countdowns drawn from the real one are not reproducible.
#include "platform/Win32.h"

#include "platform/KovaExport.h"

namespace KOVA {

class KOVA_API TimeSource {
public:
    // timeGetTime's milliseconds (1 ms steps, unlike GetTickCount's 16 ms), or the pinned ones.
    static DWORD Milliseconds();
    // The local wall-clock time, or the pinned one moved on by what Advance added.
    static void LocalTime(SYSTEMTIME& time);

    // For tests: from now on both readings are fixed until Advance or Unpin. Any thread may read
    // while another pins or advances.
    static void Pin(DWORD milliseconds, const SYSTEMTIME& local);
    static void Advance(DWORD milliseconds);
    static void Unpin();
    static bool IsPinned();
};

} // namespace KOVA
