#pragma once
// Timed media written for one test: a video clip through OpenCV's writer, or an animated GIF
// through giflib with a delay of its own on every frame. Frame k of either is one flat colour,
// clipColour (k), so one pixel read back tells which frame is shown.
#include <vector>

#include "ScratchFile.h"

namespace cv {
class Mat;
}

namespace KOVA::test {

// Where a four-character tag (an AVI's "avih", an MP4's "moov") first stands in a file's
// bytes; their count when it stands nowhere.
size_t findTag(const std::vector<BYTE>& bytes, const char* tag);
// Writes value little-endian at byte at, when it fits there.
void putDword(std::vector<BYTE>& bytes, size_t at, DWORD value);
// The first frame OpenCV reads of a video file; empty when it reads none.
cv::Mat firstVideoFrame(const CString& path);

// 0x00RRGGBB of frame k (0 to 99): red half up, tens in green, units in blue.
DWORD clipColour(int frame);
// The frame a colour read back from a lossy picture stands for; -1 for black or another colour.
int clipFrameOf(DWORD rgb);

class ScratchClip : public ScratchFile {
public:
    enum Codec { Mjpg, Mp4v }; // in an .avi or an .mp4 file, as name says
    // A rate below 1 or above 240 frames a second is written into the headers of an MJPG AVI
    // afterwards (writers refuse or bend it).
    ScratchClip(const CString& folder, const CString& name, Codec codec, double fps, int frames, int width = 64,
                int height = 48);
};

// An MJPG AVI of frames of noise whose every scan is damaged part way, as a cut download or a
// file still being written leaves one: the decoder gives up on each scan after decoding its
// first blocks.
class ScratchDamagedClip : public ScratchFile {
public:
    ScratchDamagedClip(const CString& folder, const CString& name, int frames, int width = 320, int height = 180);
};

class ScratchTimedGif : public ScratchFile {
public:
    // One frame per delay, in hundredths of a second; a frame of delay below 0 has no graphic
    // control block. Every frame carries a NETSCAPE2.0 application extension, as common tools
    // write them.
    ScratchTimedGif(const CString& folder, const CString& name, const std::vector<int>& delays, int side = 16);
};

} // namespace KOVA::test
