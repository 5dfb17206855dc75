#pragma once
// The frame delays of a GIF file, read with giflib (Wine's GDI+ loses the delays of frames
// that carry an application extension, as the common tools write them), and every rule that
// turns delays into the period a player steps the frames at, or a period into a delay.
#include <vector>

#include "platform/CString.h"

namespace KOVA {

// The delay of every frame that has one, in hundredths of a second, in frame order; a file
// cut short gives the delays of the frames before the cut; empty when it does not open.
std::vector<int> ReadGifDelays(const CString& path);

// GIF delays are in hundredths of a second.
constexpr int kMillisecondsPerGifDelay = 10;

// How a player of an animated GIF takes its period from the frames' delays. The players have
// always differed, and each keeps its own rule.
enum class GifPeriodRule {
    // The first frame's delay, never under 16 ms: the start-up frames' preview and the
    // background of the renderer's clock faces.
    FirstDelay,
    // The last delay above 0, never under 16 ms, or 100 ms when every delay is 0: the
    // renderer's file screen.
    LastNonZeroDelay,
    // The first frame's delay, where a delay of 0 shows for 10 ms, the shortest a GIF can
    // state: the GIF view.
    FirstDelayZeroAsShortest,
};

// The period in milliseconds by rule for delays as ReadGifDelays gives them; current when
// there are none (a file that states no delay keeps the player's period).
int GifFramePeriod(const std::vector<int>& delays, GifPeriodRule rule, int current);

// The delay a frame shown for milliseconds is written with: whole hundredths, cut down.
constexpr int GifDelayOfPeriod(int milliseconds)
{
    return milliseconds / kMillisecondsPerGifDelay;
}

} // namespace KOVA
