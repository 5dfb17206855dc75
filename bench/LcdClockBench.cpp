// The clock faces over each background, the time moving on a second every frame: the whole
// published frame (face, turn and JPEG, as the fast-timer thread makes it) with the kept
// layers and drawn whole, beside the bare JPEG encode of the same pixels. The digital faces
// draw texts only, the analogue faces three hands. The backgrounds: a still picture of the
// screen's size (as the host's media exporter makes them); an animated GIF of 24 frames of
// half the screen's size, stepping a frame every frame (its frames stretched to the screen);
// a 640 x 360 MJPG video, a frame read and stretched every frame (the wide faces never show a
// video: their figures are those of the black ground). The frame budget is 30 ms.
#include "BenchKit.h"
#include "lcd/media/VideoClip.h"

#include <opencv2/imgproc.hpp>
#include <opencv2/videoio.hpp>

#include <cstdio>

using namespace KOVA;

namespace {

constexpr BenchKit::Runs kRuns { 10, 200 };
// Drawn whole, a frame stretches its background again: a few runs tell that cost.
constexpr BenchKit::Runs kUncachedRuns { 10, 20 };
constexpr double kBudgetMs = 30.0;
constexpr int kClockQuality = 60;
constexpr int kGifFrames = 24;
constexpr int kGifSide = 240;
constexpr int kVideoFrames = 100;

std::unique_ptr<Gdiplus::Bitmap> diagonalGradient(int width, int height, Gdiplus::Color from, Gdiplus::Color to)
{
    return BenchKit::gradientBitmap(width, height, from, to, Gdiplus::LinearGradientModeForwardDiagonal);
}

// A gradient with a disc moving across it, frame k of frames.
void paintMovingDisc(Gdiplus::Graphics& g, int width, int height, int k, int frames)
{
    Gdiplus::LinearGradientBrush ground(Gdiplus::Point(0, 0), Gdiplus::Point(width, height), Gdiplus::Color(0xFF103060),
                                        Gdiplus::Color(0xFF60A0E0));
    g.FillRectangle(&ground, 0, 0, width, height);
    Gdiplus::SolidBrush disc(Gdiplus::Color(0xFFF0C040));
    g.FillEllipse(&disc, k * width / frames, height / 3, width / 4, height / 4);
}

bool writeGif(const CString& path)
{
    return BenchKit::writeGif(path, kGifSide, kGifSide, kGifFrames,
                              [](Gdiplus::Graphics& g, int k) { paintMovingDisc(g, kGifSide, kGifSide, k, kGifFrames); });
}

void writeVideo(const CString& path)
{
    cv::VideoWriter writer(FfmpegPath(path), cv::CAP_FFMPEG, cv::VideoWriter::fourcc('M', 'J', 'P', 'G'), 25, { 640, 360 });
    cv::Mat frame(360, 640, CV_8UC3);
    for (int k = 0; k < kVideoFrames; ++k) {
        for (int y = 0; y < frame.rows; ++y)
            for (int x = 0; x < frame.cols; ++x)
                frame.at<cv::Vec3b>(y, x) = cv::Vec3b(uchar(x + k), uchar(y * 2), uchar((x + y) / 4 + k * 3));
        cv::circle(frame, { (k * 7) % 640, 180 }, 60, cv::Scalar(250, 250, 90), cv::FILLED);
        writer << frame;
    }
}

// A renderer given its clock picture, icons and hands the way its loaders leave them.
class ClockLcd : public BenchKit::OpenLcd {
public:
    using OpenLcd::OpenLcd;
    // The picture has the width of the screen, as the host's media exporter makes them.
    void dress(int width)
    {
        ScopedLock lock(m_stateLock);
        give(m_clockBackground, diagonalGradient(width, 480, Gdiplus::Color(0xFF103060), Gdiplus::Color(0xFF60A0E0)));
        m_clockMediaKind = MediaKindPicture;
        m_clockFrameCount = 1;
        const int handSizes[3][2] = { { 12, 110 }, { 8, 160 }, { 4, 190 } };
        for (int i = 0; i < 3; ++i) {
            give(m_hands[i], diagonalGradient(handSizes[i][0], handSizes[i][1], Gdiplus::Color(0xFFFFFFFF),
                                              Gdiplus::Color(0xFFC0C0C0)));
            give(m_icons[i], diagonalGradient(48, 48, Gdiplus::Color(0xFFFFD040), Gdiplus::Color(0xFFFF6020)));
        }
        InvalidateLayers();
    }
    // What the tick does for the clock background between frames: the next frame index, the
    // video brought to it.
    void nextBackgroundFrame()
    {
        ScopedLock lock(m_stateLock);
        if (m_clockFrameCount > 1)
            m_clockFrameIndex = (m_clockFrameIndex + 1) % m_clockFrameCount;
        followClockVideo();
    }

private:
    static void give(LcdImage& target, std::unique_ptr<Gdiplus::Bitmap> bitmap)
    {
        target.width = static_cast<int>(bitmap->GetWidth());
        target.height = static_cast<int>(bitmap->GetHeight());
        target.image = std::move(bitmap);
    }
};

// The published frame, each round a second and a background frame later than the last.
double frameMs(ClockLcd& lcd, BenchKit::Runs runs = kRuns)
{
    const auto next = [&] {
        TimeSource::Advance(1000);
        lcd.nextBackgroundFrame();
    };
    return BenchKit::sample(runs, [&](int) { lcd.DrawHideControl(); }, BenchKit::nowMs, next).median();
}

enum class Background { Picture, Gif, Video };

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int)
{
    const BenchKit::LibraryScope library(instance);
    const CString folder = BenchKit::scratchFolder(L"LcdClockBench");
    const CString gifPath = folder + L"background.gif";
    const CString videoPath = folder + L"background.avi";
    if (!writeGif(gifPath))
        return 2;
    writeVideo(videoPath);
    {
        BenchKit::PlainDialog dialog;
        dialog.Create(nullptr, L"LcdClockBench", WS_POPUP, 0, CRect(0, 0, 700, 500));
        auto* lcd = BenchKit::adopt(*dialog.GetPaintManager(), new ClockLcd(&dialog, 10, CRect(0, 0, 480, 480), 1, 1));
        lcd->SetTextFont(L"DejaVu Sans");
        lcd->SetColor(Gdiplus::Color(0xFF000000), Gdiplus::Color(0xFFFFFFFF), Gdiplus::Color(0xFF20C040),
                      Gdiplus::Color(0xFFFF3020));
        lcd->SetWeatherValue(L"Shenzhen", L"20\x2103", L"64", L"37", L"10", L"22", L"Rain");
        lcd->SetLEDMode(LEDModeClock);
        LcdJpegEncoder bare(640 * 480 * 4);
        const char* const kinds[] = { "digital", "digital", "digital", "analogue", "digital", "analogue", "analogue",
                                      "digital" };
        const char* const wideKinds[] = { "digital", "analogue", "digital", "analogue", "digital", "digital",
                                          "digital", "digital" };
        auto measure = [&](int type, int style, const char* kind) {
            lcd->SetLEDScreenType(type);
            lcd->SetColockType(style);
            TimeSource::Pin(0, SYSTEMTIME { 2026, 3, 6, 14, 10, 8, 0, 0 });
            lcd->cacheLayers(false);
            const double uncached = frameMs(*lcd, kUncachedRuns);
            lcd->cacheLayers(true);
            const double frame = frameMs(*lcd);
            TimeSource::Unpin();
            const double encode = BenchKit::bareEncodeMs(kRuns, bare, *lcd, kClockQuality);
            char name[64];
            snprintf(name, sizeof(name), "type %d face %d (%s)", type, style, kind);
            printf("%-28s %9.3f %9.3f %9.3f %7.2f %6.1f%%\n", name, frame, uncached, encode, frame / encode,
                   frame / kBudgetMs * 100.0);
        };
        const auto setBackground = [&](Background background, int width) {
            lcd->dress(width);
            if (background == Background::Gif)
                lcd->SetClockFileImage(gifPath, MediaKindGif);
            else if (background == Background::Video)
                lcd->SetClockFileImage(videoPath, MediaKindVideo);
        };
        const char* const names[] = { "still picture", "GIF (24 frames, 240x240)", "video (640x360 MJPG)" };
        for (Background background : { Background::Picture, Background::Gif, Background::Video }) {
            printf("%-28s %9s %9s %9s %7s %7s\n", "round face", "frame", "uncached", "encode", "ratio", "budget");
            printf("over a %s\n", names[static_cast<int>(background)]);
            lcd->SetControlRect(CRect(0, 0, 480, 480));
            setBackground(background, 480);
            for (int type : { LEDScreenCircle, LEDScreenSquare })
                for (int style = 1; style <= 8; ++style)
                    measure(type, style, kinds[style - 1]);
            printf("wide face over a %s\n", names[static_cast<int>(background)]);
            lcd->SetControlRect(CRect(0, 0, 640, 480));
            setBackground(background, 640);
            for (int style = 1; style <= 8; ++style)
                measure(LEDScreenWide, style, wideKinds[style - 1]);
        }
        lcd->SetClockFileImage(L"", MediaKindPicture);
        dialog.GetPaintManager()->RemoveControl(lcd);
        dialog.DestroyWindow();
    }
    DeleteFileW(gifPath);
    DeleteFileW(videoPath);
    RemoveDirectoryW(folder);
    return 0;
}
