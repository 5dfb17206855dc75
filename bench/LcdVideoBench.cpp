// The LCD's file screen playing a 1080p clip of 30 frames a second on the 480x480 square
// screen, per codec: the tick that steps the video and publishes its frame (decode, draw, turn,
// JPEG; the hidden render, as the fast-timer thread runs it) beside the floor of a bare OpenCV
// capture of the same file reading the same frames one by one into one picture. What the tick
// spends beyond the decode is the LCD's own work; a codec keeps 30 frames a second while the
// whole tick fits in a frame period. The frame budget is 30 ms.
//
// The decoders work ahead on threads of their own, which share the one CPU the bench runs on:
// a single read takes anything from under 1 ms to 50 ms, as it finds its frame decoded or
// waits for several, and a capture timed in the same rounds as another would have its
// decoding done in the other's time. So a round plays the timed frames through the renderer,
// its capture alone, then through the bare capture, and a figure is a pass's time a frame,
// the median of the rounds.
#include "BenchKit.h"
#include "lcd/media/VideoClip.h"
#include "platform/MmxCallScope.h"

#include <opencv2/videoio.hpp>

#include <cstdio>

using namespace KOVA;

namespace {

// A pass opens the clip, reads the warm-up frames untimed and then the timed ones, which stop
// short of the clips' 120 frames: the renderer's wrap to the first frame would time a seek.
constexpr BenchKit::Runs kPasses { 0, 3 };
constexpr int kWarmupFrames = 10;
constexpr int kTimedFrames = 90;
constexpr double kBudgetMs = 30.0;
constexpr double kFramePeriodMs = 1000.0 / 30.0;
constexpr double kOwnWorkGoalMs = 3.0;
enum Part { Tick, Decode };

struct Clip {
    const char* codec;
    const wchar_t* file;
};
const Clip kClips[] = {
    { "H.264", L"h264.mp4" },
    { "HEVC", L"hevc.mp4" },
    { "VP9", L"vp9.webm" },
    { "AV1", L"av1.mp4" },
};

class VideoLcd : public BenchKit::OpenLcd {
public:
    using OpenLcd::OpenLcd;
    int frameIndex() const { return m_frameIndex; }
    int framePeriod() const { return m_framePeriod; }
};

// The renderer with the clip loaded as a host loads it, on a pinned clock that each tick moves
// on by one frame period, so that every tick steps the video.
class Player {
public:
    explicit Player(const CString& path)
    {
        TimeSource::Pin(100000, SYSTEMTIME { 2026, 3, 0, 14, 12, 0, 0, 0 });
        m_lcd.SetLEDScreenType(LEDScreenSquare);
        m_lcd.SetLEDMode(LEDModeFile);
        m_lcd.SetFileImage(path, MediaKindVideo);
    }
    ~Player() { TimeSource::Unpin(); }
    Player(const Player&) = delete;
    Player& operator=(const Player&) = delete;
    void tick()
    {
        TimeSource::Advance(static_cast<DWORD>(m_lcd.framePeriod()));
        m_lcd.OnControlTimer();
    }
    // Every tick stepped the video one frame, and the last published a frame the host can pull.
    bool playedAll(int ticks)
    {
        std::vector<unsigned char> jpeg(921600);
        int length = 0;
        return m_lcd.frameIndex() == ticks && m_lcd.GetLEDData(jpeg.data(), length) && length > 0;
    }

private:
    VideoLcd m_lcd { nullptr, 1, CRect(0, 0, 480, 480), 1, 1 };
};

// The floor: the file opened as the renderer's clip opens it, read into one picture the capture
// keeps reusing.
class BareCapture {
public:
    explicit BareCapture(const CString& path) : m_capture(FfmpegPath(path), cv::CAP_FFMPEG) {}
    bool read()
    {
        // The decoder may leave the MMX state in use, as the renderer's clip guards against.
        const MmxCallScope codec;
        return m_capture.read(m_frame) && !m_frame.empty();
    }

private:
    cv::VideoCapture m_capture;
    cv::Mat m_frame;
};

// Steps the warm-up frames untimed and the timed frames as part part.
void timePass(const BenchKit::PartTimer& time, int part, const std::function<void()>& step)
{
    for (int frame = 0; frame < kWarmupFrames; ++frame)
        step();
    time(part, [&] {
        for (int frame = 0; frame < kTimedFrames; ++frame)
            step();
    });
}

struct Figures {
    double tick;
    double decode;
    bool played; // every frame stepped, published and read by both
};

Figures measure(const CString& path)
{
    bool played = true;
    const std::vector<double> passes = BenchKit::partMediansMs(kPasses, 2, [&](int, const BenchKit::PartTimer& time) {
        {
            // Gone before the bare pass, with the decoding threads of its capture.
            Player player(path);
            timePass(time, Tick, [&] { player.tick(); });
            played = player.playedAll(kWarmupFrames + kTimedFrames) && played;
        }
        // The renderer decodes the first frame as it loads and reads nothing on its first
        // tick, so the bare capture's k-th read decodes the frame the renderer's k-th tick shows.
        BareCapture bare(path);
        timePass(time, Decode, [&] { played = bare.read() && played; });
    });
    return { passes[Tick] / kTimedFrames, passes[Decode] / kTimedFrames, played };
}

void printRow(const char* codec, const Figures& f)
{
    const double own = f.tick - f.decode;
    printf("%-8s %9.3f %9.3f %9.3f %6s %7s %6.1f%%%s\n", codec, f.tick, f.decode, own,
           own <= kOwnWorkGoalMs ? "yes" : "no", f.tick < kFramePeriodMs ? "yes" : "no", f.tick / kBudgetMs * 100.0,
           f.played ? "" : "  (a frame was not played)");
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int)
{
    const BenchKit::LibraryScope library(instance);
    printf("1920x1080 at 30 fps on the 480x480 square screen, ms a frame; own: the frame beyond the decode"
           " (goal <= %.0f)\n", kOwnWorkGoalMs);
    printf("%-8s %9s %9s %9s %6s %7s %7s\n", "codec", "frame", "decode", "own", "goal", "30 fps", "budget");
    for (const Clip& clip : kClips)
        printRow(clip.codec, measure(CString(KOVA_BENCH_CLIPS) + clip.file));
    return 0;
}
