// The rules between GIF delays (hundredths of a second) and the periods the players step at
// (milliseconds): each player's own rule, for the delays a GIF can state.
#include <gtest/gtest.h>

#include <vector>

#include "lcd/media/GifDelays.h"

using namespace KOVA;

namespace {

constexpr int kPlayersPeriod = 33; // what a player had before the file was read
constexpr int kLongestDelay = 65535;

} // namespace

TEST(GifDelays, EachPlayerTakesItsPeriodByItsOwnRule)
{
    // Expected periods: the start-up preview and the clock faces' background (first delay, at
    // least 16 ms), the file screen (last delay above 0, at least 16 ms, else 100 ms), the GIF
    // view (first delay, 0 as 10 ms).
    const struct {
        std::vector<int> delays;
        int first, lastNonZero, firstZeroAsShortest;
    } rows[] = {
        { {}, kPlayersPeriod, kPlayersPeriod, kPlayersPeriod },
        { { 0 }, 16, 100, 10 },
        { { 1 }, 16, 16, 10 },
        { { 2 }, 20, 20, 20 },
        { { 10 }, 100, 100, 100 },
        { { kLongestDelay }, 655350, 655350, 655350 },
        { { 0, 0, 0 }, 16, 100, 10 },
        { { 0, 7 }, 16, 70, 10 },
        { { 7, 0 }, 70, 70, 70 },
        { { 3, 5, 0, 0 }, 30, 50, 30 },
        { { 1, kLongestDelay, 2 }, 16, 20, 10 },
    };
    for (const auto& row : rows) {
        const int periods[] = {
            GifFramePeriod(row.delays, GifPeriodRule::FirstDelay, kPlayersPeriod),
            GifFramePeriod(row.delays, GifPeriodRule::LastNonZeroDelay, kPlayersPeriod),
            GifFramePeriod(row.delays, GifPeriodRule::FirstDelayZeroAsShortest, kPlayersPeriod),
        };
        const int expected[] = { row.first, row.lastNonZero, row.firstZeroAsShortest };
        EXPECT_EQ(std::vector<int>(std::begin(periods), std::end(periods)),
                  std::vector<int>(std::begin(expected), std::end(expected)))
            << ::testing::PrintToString(row.delays);
    }
}

TEST(GifDelays, AWrittenFrameKeepsTheWholeHundredthsOfItsPeriod)
{
    const struct {
        int milliseconds, delay;
    } rows[] = { { 0, 0 }, { 1, 0 }, { 9, 0 }, { 10, 1 }, { 16, 1 }, { 33, 3 }, { 1000, 100 }, { 655359, kLongestDelay } };
    for (const auto& row : rows)
        EXPECT_EQ(GifDelayOfPeriod(row.milliseconds), row.delay) << row.milliseconds;
}
