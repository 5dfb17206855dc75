#pragma once
// A video file read frame by frame: the capture, the frame it delivers next, the last frame
// read, and that frame put on a device context. Every control that shows or exports a video
// reads it through this class. Not thread-safe: its owner's lock guards it. Every call that
// reaches the decoder ends with the MMX state emptied (platform/MmxCallScope.h), so the
// thread's GDI+ drawing after it keeps its numbers.
#include "platform/Win32.h"

#include <string>
#include <vector>

#include <opencv2/core.hpp>
#include <opencv2/videoio.hpp>

#include "lcd/media/VideoClipHandle.h"
#include "platform/CString.h"

namespace KOVA {

class VideoClip {
public:
    // Opens the file (its path handed to FFmpeg as FfmpegPath gives it) and reads its size, frame
    // count and rate; false, and closed, when no file has that name, when it does not open or
    // has no picture size from 1 to 16,384 pixels a side. A video whose display matrix turns it
    // is read turned: its size, its frames and every position in them are as a player shows them.
    bool Open(const CString& path);
    void Close();
    bool IsOpen() const { return m_capture.isOpened(); }

    // As the capture reported them when it opened.
    int Width() const { return m_width; }
    int Height() const { return m_height; }
    int FrameCount() const { return m_frameCount; }
    // How a rate becomes milliseconds a frame, 1000 / rate truncated: with the rate's fraction
    // (29.97 frames a second play at 33 ms), or with the rate cut to whole frames first (34 ms),
    // as the LCD screen has always played its videos.
    enum class RateRule { Exact, WholeFrames };
    int FramePeriod(RateRule rule = RateRule::Exact) const { return PeriodForRate(m_frameRate, rule); }
    // The rate taken as 30 when the file reports less than 1 frame a second, not a number, or
    // more than 1000.
    static int PeriodForRate(double fps, RateRule rule = RateRule::Exact);
    // Frames a second as reported, under the same rule (30 in place of an unusable rate).
    double FrameRate() const { return m_frameRate; }

    // The frame the next Read delivers.
    int Decoded() const { return m_decoded; }
    void Seek(int index);
    // Seeks made since the clip was made: a key-frame seek costs many reads, so a player that
    // keeps up reads on instead.
    int SeekCount() const { return m_seeks; }
    // Reads the next frame into Frame(); false (Frame() unchanged) when none is left.
    bool Read();
    // Reads the next frame into frame, whose buffer the decoder reuses when frame is its only
    // holder: for a reader that keeps its frames to itself. False when none is left.
    bool ReadInto(cv::Mat& frame);
    // Brings the capture to deliver index next: reads forward when it is at most mostRead
    // frames behind, seeks when it is further off or ahead by more than that; a capture that
    // is ahead by less waits for the index to come to it.
    void CatchUp(int index, int mostRead);
    // One frame on from index, for a player that steps a frame a tick: back to 0 at the
    // frame count (the capture seeked there), otherwise the capture caught up to it.
    int StepLooping(int index, int mostRead);
    // Asks the capture to hold at most frames decoded ahead; false when its back end cannot.
    bool SetBufferSize(int frames);
    // The last frame read; empty before the first.
    cv::Mat& Frame() { return m_frame; }

    // Scales frame (any depth, 1, 3 or 4 channels) onto target with GDI's halftone stretch.
    // Nothing for an empty frame or another channel count.
    void Blit(HDC dc, const cv::Mat& frame, const RECT& target);
    // The same, scaled by OpenCV (area averaging where it shrinks both ways, else bilinear) and put on unscaled: for a
    // reader that stretches every frame, GDI's halftone stretch costs several milliseconds.
    void BlitScaled(HDC dc, const cv::Mat& frame, const RECT& target);

private:
    // The frame as 8-bit BGR: itself, or converted into m_converted; null when GDI has no
    // picture for its channel count.
    const cv::Mat* eightBitBgr(const cv::Mat& frame);
    // Puts 8-bit BGR pixels onto target of dc in stretchMode.
    void put(HDC dc, const cv::Mat& bgr, const RECT& target, int stretchMode);
    // Opens the capture on m_path.
    bool openCapture();
    // Reads the frame the capture delivers next into into; false when none is left.
    bool readNext(cv::Mat& into);

    cv::VideoCapture m_capture;
    std::string m_path;
    // The frame read before m_frame, whose buffer the next Read fills.
    cv::Mat m_spare;
    // Nothing read or sought since the capture opened: it stands at the first frame.
    bool m_atStart { false };
    // Sought to the first frame, which the next read checks it brings.
    bool m_startUnsure { false };
    cv::Mat m_frame;
    int m_width { 0 };
    int m_height { 0 };
    int m_frameCount { 0 };
    double m_frameRate { 30.0 };
    int m_decoded { 0 };
    int m_seeks { 0 };
    // What Blit makes of a frame GDI cannot take as it is; kept to spare the allocation.
    cv::Mat m_converted;
    cv::Mat m_scaled;
    std::vector<BYTE> m_paddedRows;
};

// The path as FFmpeg reads it on Windows: UTF-8, the one narrow form that holds every name
// Windows allows. Empty for an empty path and for one holding half a surrogate pair, which no
// name on disk does. OpenCV hands its path to FFmpeg unchanged, and FFmpeg takes nothing else:
// in the ANSI code page a name beyond ASCII does not open, and one the system's best fit turns
// into another ("Łańcut" into "Lancut") opens that other file.
std::string FfmpegPath(const CString& path);

// Writes image (8-bit, 1, 3 or 4 channels, BGR order) as a JPEG file at quality, by its wide
// path; the file's size in bytes, 0 when it could not be encoded or written.
DWORD WriteJpegFile(const CString& path, const cv::Mat& image, int quality);

} // namespace KOVA
