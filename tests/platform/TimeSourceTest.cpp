#include "platform/TimeSource.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <thread>

using KOVA::TimeSource;

namespace {

SYSTEMTIME at(WORD year, WORD month, WORD day, WORD hour, WORD minute, WORD second, WORD ms)
{
    return { year, month, 0, day, hour, minute, second, ms };
}

// "yyyy-mm-dd hh:mm:ss.mmm", the day of the week left out.
std::string text(const SYSTEMTIME& time)
{
    char out[32];
    std::snprintf(out, sizeof out, "%04u-%02u-%02u %02u:%02u:%02u.%03u", time.wYear, time.wMonth, time.wDay, time.wHour,
                  time.wMinute, time.wSecond, time.wMilliseconds);
    return out;
}

struct Unpinned {
    ~Unpinned() { TimeSource::Unpin(); }
};

} // namespace

// Advancing a pinned clock must carry through seconds, days, months and leap years, and the
// millisecond counter must wrap like timeGetTime's does.
TEST(TimeSource, PinnedClockAdvancesLocalTimeAndMilliseconds)
{
    Unpinned unpin;
    struct Case { SYSTEMTIME start; DWORD startMs; DWORD advance; SYSTEMTIME expected; } cases[] = {
        { at(2026, 12, 6, 10, 59, 59, 500), 1000, 700, at(2026, 12, 6, 11, 0, 0, 200) },
        { at(2024, 2, 28, 23, 59, 59, 0), 0, 1000, at(2024, 2, 29, 0, 0, 0, 0) },
        { at(2026, 12, 31, 23, 59, 59, 999), 0xFFFFFFF0u, 0x20, at(2027, 1, 1, 0, 0, 0, 31) },
    };
    for (const Case& c : cases) {
        TimeSource::Pin(c.startMs, c.start);
        TimeSource::Advance(c.advance);
        SYSTEMTIME now {};
        TimeSource::LocalTime(now);
        EXPECT_EQ(c.startMs + c.advance, TimeSource::Milliseconds());
        EXPECT_EQ(text(c.expected), text(now));
    }
}

// The fast-timer thread reads the pin that a test's thread set; unpinned, the real clock moves.
TEST(TimeSource, PinIsSeenFromAnotherThreadAndUnpinRestoresTheRealClock)
{
    Unpinned unpin;
    TimeSource::Pin(42, at(2026, 1, 2, 3, 4, 5, 6));
    DWORD seen = 0;
    std::thread reader([&] { seen = TimeSource::Milliseconds(); });
    reader.join();
    EXPECT_EQ(42u, seen);

    TimeSource::Unpin();
    EXPECT_FALSE(TimeSource::IsPinned());
    const DWORD start = TimeSource::Milliseconds();
    const DWORD deadline = ::GetTickCount() + 5000;
    while (TimeSource::Milliseconds() == start && ::GetTickCount() < deadline)
        std::this_thread::yield();
    EXPECT_NE(start, TimeSource::Milliseconds());
}
