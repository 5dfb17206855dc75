#include "platform/TimeSource.h"

#include <gtest/gtest.h>

#include <thread>

using KOVA::TimeSource;

namespace {

SYSTEMTIME at(WORD year, WORD month, WORD day, WORD hour, WORD minute, WORD second, WORD ms)
{
    SYSTEMTIME time {};
    time.wYear = year;
    time.wMonth = month;
    time.wDay = day;
    time.wHour = hour;
    time.wMinute = minute;
    time.wSecond = second;
    time.wMilliseconds = ms;
    return time;
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
        SCOPED_TRACE(c.expected.wYear);
        EXPECT_EQ(c.startMs + c.advance, TimeSource::Milliseconds());
        EXPECT_EQ(c.expected.wYear, now.wYear);
        EXPECT_EQ(c.expected.wMonth, now.wMonth);
        EXPECT_EQ(c.expected.wDay, now.wDay);
        EXPECT_EQ(c.expected.wHour, now.wHour);
        EXPECT_EQ(c.expected.wMinute, now.wMinute);
        EXPECT_EQ(c.expected.wSecond, now.wSecond);
        EXPECT_EQ(c.expected.wMilliseconds, now.wMilliseconds);
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
