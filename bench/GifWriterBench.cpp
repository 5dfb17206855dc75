// One 480x480 frame added to an animated GIF by the writer (a JPEG frame file in, as the
// exporters leave them, loaded, quantised to 256 colours and written), beside the floor of
// bare giflib quantising and writing the same pixels, already in memory, in the same run; and
// the video view's whole GIF export (decode, fit, frame file, writer) per frame beside both.
#include "BenchKit.h"
#include "lcd/media/GifWriter.h"
#include "lcd/media/VideoClip.h"

#include <gif_lib.h>
#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>
#include <opencv2/videoio.hpp>

#include <cmath>
#include <cstdio>
#include <vector>

using namespace KOVA;

namespace {

constexpr int kSide = 480;
constexpr int kSourceFrames = 24;
constexpr BenchKit::Runs kRuns { 5, 120 };
constexpr double kGoal = 1.5;
const CLSID kJpegEncoder = { 0x557cf401, 0x1a04, 0x11d3, { 0x9a, 0x73, 0x00, 0x00, 0xf8, 0x1e, 0xf3, 0x2e } };

// The medians of the calls, taken in turn in each of the rounds, so that every one of them
// sees the same load of a shared machine; each call gets the round.
std::vector<double> interleavedMediansMs(const std::vector<std::function<void(int)>>& calls)
{
    std::vector<std::vector<double>> samples(calls.size());
    for (int i = 0; i < kRuns.warmups + kRuns.timed; ++i) {
        for (size_t c = 0; c < calls.size(); ++c) {
            const double start = BenchKit::nowMs();
            calls[c](i);
            if (i >= kRuns.warmups)
                samples[c].push_back(BenchKit::nowMs() - start);
        }
    }
    std::vector<double> medians;
    for (std::vector<double>& s : samples)
        medians.push_back(BenchKit::Samples(std::move(s)).median());
    return medians;
}

std::vector<uchar> fileBytes(const CString& file)
{
    std::vector<uchar> bytes;
    HANDLE handle = CreateFileW(file, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    DWORD read = 0;
    bytes.resize(GetFileSize(handle, nullptr));
    ReadFile(handle, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr);
    CloseHandle(handle);
    return bytes;
}

// An LCD-like frame: a turning gradient, a moving disc and text, so the palette has work.
void drawFrame(Gdiplus::Bitmap& frame, int index)
{
    Gdiplus::Graphics graphics(&frame);
    graphics.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
    Gdiplus::LinearGradientBrush background(Gdiplus::Rect(0, 0, kSide, kSide), Gdiplus::Color(255, 20, 40, 120 + index * 4),
                                            Gdiplus::Color(255, 230, 120 - index * 3, 30), static_cast<float>(index * 15));
    graphics.FillRectangle(&background, 0, 0, kSide, kSide);
    Gdiplus::SolidBrush disc(Gdiplus::Color(200, 250, 250, 90));
    graphics.FillEllipse(&disc, 60 + index * 8, 140, 200, 200);
    Gdiplus::FontFamily family(L"DejaVu Sans");
    Gdiplus::Font font(&family, 40, Gdiplus::FontStyleBold, Gdiplus::UnitPixel);
    Gdiplus::SolidBrush ink(Gdiplus::Color(255, 255, 255, 255));
    wchar_t text[32];
    swprintf(text, 32, L"frame %02d  45\x2103", index);
    graphics.DrawString(text, -1, &font, Gdiplus::PointF(40, 380), &ink);
}

// The frame files, and their decoded pixels as top-down BGRA rows for the floor.
struct Sources {
    std::vector<CString> files;
    std::vector<std::vector<BYTE>> pixels;
};

Sources writeSources(const CString& folder)
{
    Sources sources;
    for (int i = 0; i < kSourceFrames; ++i) {
        CString file;
        file.Format(L"%sframe_%d.jpg", static_cast<const wchar_t*>(folder), i);
        {
            Gdiplus::Bitmap frame(kSide, kSide, PixelFormat32bppARGB);
            drawFrame(frame, i);
            frame.Save(file, &kJpegEncoder, nullptr);
        }
        Gdiplus::Bitmap decoded(file);
        Gdiplus::Rect whole(0, 0, kSide, kSide);
        Gdiplus::BitmapData rows {};
        std::vector<BYTE> pixels(kSide * kSide * 4);
        rows.Width = kSide;
        rows.Height = kSide;
        rows.Stride = kSide * 4;
        rows.PixelFormat = PixelFormat32bppARGB;
        rows.Scan0 = pixels.data();
        decoded.LockBits(&whole, Gdiplus::ImageLockModeRead | Gdiplus::ImageLockModeUserInputBuf, PixelFormat32bppARGB, &rows);
        decoded.UnlockBits(&rows);
        sources.files.push_back(file);
        sources.pixels.push_back(std::move(pixels));
    }
    return sources;
}

// Bare giflib: split into planes, quantise, one control block, the picture in its palette.
class BareGiflib {
public:
    explicit BareGiflib(const char* path) : m_gif(EGifOpenFileName(path, false, nullptr))
    {
        EGifSetGifVersion(m_gif, true);
        EGifPutScreenDesc(m_gif, kSide, kSide, 8, 0, nullptr);
    }
    ~BareGiflib() { EGifCloseFile(m_gif, nullptr); }

    void write(const std::vector<BYTE>& bgra)
    {
        for (size_t i = 0; i < m_red.size(); ++i) {
            m_blue[i] = bgra[i * 4];
            m_green[i] = bgra[i * 4 + 1];
            m_red[i] = bgra[i * 4 + 2];
        }
        int colours = 256;
        GifColorType palette[256] {};
        GifQuantizeBuffer(kSide, kSide, &colours, m_red.data(), m_green.data(), m_blue.data(), m_indexes.data(), palette);
        GraphicsControlBlock control {};
        control.DelayTime = 4;
        control.TransparentColor = NO_TRANSPARENT_COLOR;
        GifByteType extension[4] {};
        EGifGCBToExtension(&control, extension);
        EGifPutExtension(m_gif, GRAPHICS_EXT_FUNC_CODE, sizeof(extension), extension);
        ColorMapObject* map = GifMakeMapObject(256, palette);
        EGifPutImageDesc(m_gif, 0, 0, kSide, kSide, false, map);
        GifFreeMapObject(map);
        EGifPutLine(m_gif, m_indexes.data(), kSide * kSide);
    }

private:
    GifFileType* m_gif { nullptr };
    std::vector<GifByteType> m_red = std::vector<GifByteType>(kSide * kSide);
    std::vector<GifByteType> m_green = std::vector<GifByteType>(kSide * kSide);
    std::vector<GifByteType> m_blue = std::vector<GifByteType>(kSide * kSide);
    std::vector<GifByteType> m_indexes = std::vector<GifByteType>(kSide * kSide);
};

// The video view's GIF export of a 640x360 clip of kExportFrames frames, per frame, with the
// export's fixed 100 ms start wait taken off.
constexpr int kExportFrames = 120;
double gifExportPerFrameMs(const CString& folder)
{
    const CString clip = folder + L"clip.avi";
    {
        cv::VideoWriter writer(FfmpegPath(clip), cv::CAP_FFMPEG, cv::VideoWriter::fourcc('M', 'J', 'P', 'G'), 25, { 640, 360 });
        cv::Mat frame(360, 640, CV_8UC3);
        for (int k = 0; k < kExportFrames; ++k)
            writer << (cv::randu(frame, 0, 256), cv::GaussianBlur(frame, frame, { 0, 0 }, 6), frame);
    }
    OpenCVViewCtrl view(nullptr, 1, CRect(0, 0, 700, 560), 1, 1);
    view.SetFileName(clip, 4);
    const double start = BenchKit::nowMs();
    view.SaveGIFImageFile(folder + L"export.gif", 0);
    const double perFrame = (BenchKit::nowMs() - start - 100.0) / kExportFrames;
    DeleteFileW(clip);
    DeleteFileW(folder + L"export.gif");
    return perFrame;
}

} // namespace

int wmain()
{
    const BenchKit::LibraryScope library(GetModuleHandleW(nullptr));
    {
        const CString folder = BenchKit::scratchFolder(L"kova-gifwriter-bench");
        const Sources sources = writeSources(folder);

        GifWriter writer;
        writer.SetSize(kSide, kSide);
        writer.Begin(folder + L"writer.gif");
        std::vector<double> medians;
        {
            BareGiflib bare(WideToAnsiString(folder + L"bare.gif").c_str());
            medians = interleavedMediansMs({
                [&](int i) { writer.AddFrame(sources.files[i % kSourceFrames], 40); },
                [&](int i) { bare.write(sources.pixels[i % kSourceFrames]); },
                [&](int i) { cv::imdecode(fileBytes(sources.files[i % kSourceFrames]), cv::IMREAD_COLOR); },
            });
        }
        writer.Save();
        const double added = medians[0];
        const double floor = medians[1];

        printf("%-52s %8.3f ms\n", "GifWriter::AddFrame, 480x480 JPEG file in", added);
        printf("%-52s %8.3f ms\n", "bare giflib quantise + write, same pixels in memory", floor);
        printf("%-52s %8.3f ms\n", "  reading and decoding the JPEG file alone", medians[2]);
        printf("%-52s %8.2f (goal <= %.1f)\n", "ratio", added / floor, kGoal);
        printf("%-52s %8.3f ms\n", "OpenCVViewCtrl GIF export, 640x360 clip, per frame", gifExportPerFrameMs(folder));

        for (const CString& file : sources.files)
            DeleteFileW(file);
        DeleteFileW(folder + L"writer.gif");
        DeleteFileW(folder + L"bare.gif");
        RemoveDirectoryW(folder);
    }
    return 0;
}
