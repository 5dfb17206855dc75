#pragma once
// The clips of every format and display rotation the host's ffmpeg wrote for the tests
// (tools/make-test-clips.py), each with what a player shows of it: its displayed size, its
// frame count and the colours of the four quadrants of its first frame. Every clip
// shows four flat quadrants, so a look at each tells a picture shown the right way up from a
// turned or mirrored one.
#include <array>
#include <string>
#include <vector>

#include <opencv2/core.hpp>

#include "platform/Win32.h"
#include "platform/CString.h"

namespace KOVA::test {

// Top left, top right, bottom left, bottom right; 0x00RRGGBB.
using Quadrants = std::array<DWORD, 4>;

struct PlayerClip {
    std::string name;
    int width { 0 };
    int height { 0 };
    int frames { 0 };  // as the file says: its count, or its duration at its rate
    int decoded { 0 }; // as a decoder gets them out of it
    Quadrants quadrants {};
    CString path() const;
};

// Every clip of the manifest; empty when the build wrote none.
std::vector<PlayerClip> playerClips();
// The clip of that name; a clip without a path when there is none.
PlayerClip playerClip(const char* name);

// The quadrants of the picture within area of a BGR image: the picture is the bounding box of
// the pixels there brighter than the bands and grounds around it. Colours are averaged over a
// small patch at the middle of each quadrant. All zero when nothing there is bright.
Quadrants quadrantsOf(const cv::Mat& bgr, cv::Rect area = {});
// Whether each quadrant is within tolerance of the player's on each channel.
bool sameQuadrants(const Quadrants& shown, const Quadrants& player, int tolerance = 48);
std::string describe(const Quadrants& quadrants);

} // namespace KOVA::test
