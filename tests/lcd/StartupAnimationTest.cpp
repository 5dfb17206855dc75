// The start-up and standby exporter: media made by the tests, previewed in a real dialog on a
// pinned clock, exported as a host asks, and read back from the JPEG files it writes.
#include <gif_lib.h>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <thread>

#include <opencv2/videoio.hpp>

#include "lcd/media/VideoClip.h"

#include "GdiObjectCount.h"
#include "LcdTestKit.h"
#include "PumpUntil.h"
#include "ScratchClip.h"
#include "ScratchFolder.h"
#include "ScratchStrip.h"

using namespace KOVA;
using namespace KOVA::test;

namespace {

const auto* const host = ::testing::AddGlobalTestEnvironment(new LibraryHost);

class OpenImage : public LEDImageCtrl2 {
public:
    using LEDImageCtrl2::LEDImageCtrl2;
    int period() const { return m_framePeriod; }
    int frameIndex() const { return m_frameIndex; }
    int decoded() const { return (*m_video)->Decoded(); }
    CriticalSection& lock() { return m_lock; }
};

DecodedFrame exported(const ScratchFolder& folder, const wchar_t* stem, int k)
{
    CString name;
    name.Format(L"%s%d.jpg", stem, k);
    return decodeFrame(folder.read(name));
}

// Ten frames on a 40 × 40 screen, frame k a 4-px column k of clipColour (k), transparent
// elsewhere and cleared before the next: a frame GDI+ composes holds its own column only.
CString columnGif(const ScratchFolder& folder)
{
    GifFileType* gif = EGifOpenFileName(WideToAnsiString(folder / L"columns.gif").c_str(), false, nullptr);
    gif->SWidth = gif->SHeight = 40;
    gif->SColorResolution = 8;
    gif->SColorMap = GifMakeMapObject(16, nullptr);
    for (int k = 0; k < 10; ++k) {
        const DWORD rgb = clipColour(k);
        gif->SColorMap->Colors[k + 1] = { GifByteType(rgb >> 16), GifByteType(rgb >> 8), GifByteType(rgb) };
        SavedImage* image = GifMakeSavedImage(gif, nullptr);
        image->ImageDesc = GifImageDesc { 0, 0, 40, 40, false, nullptr };
        image->RasterBits = static_cast<GifByteType*>(calloc(1600, 1));
        for (int y = 0; y < 40; ++y)
            memset(image->RasterBits + y * 40 + 4 * k, k + 1, 4);
        GraphicsControlBlock control { DISPOSE_BACKGROUND, false, 5, 0 };
        EGifGCBToSavedExtension(&control, gif, k);
    }
    EGifSpew(gif);
    return folder / L"columns.gif";
}

} // namespace

TEST(StartupExport, GifFramesLieOverTheOnesBeforeOnBlackTurnedClockwise)
{
    const ScratchFolder folder(L"startup-gif");
    OpenImage image(nullptr, 1, CRect(0, 0, 500, 500), 1, 1);
    image.SetLEDType(3);
    image.SetImageFile(columnGif(folder), 3);
    image.SaveStartUpAnimeImage(folder / L"up", 90);
    // Turned a quarter clockwise, column s (48 px on the canvas) becomes row s from the top.
    for (int k = 0; k < 10; ++k)
        for (int s = 0; s < 10; ++s)
            EXPECT_EQ(clipFrameOf(exported(folder, L"up", k).rgb(240, 48 * s + 24)), s <= k ? s : -1) << k << s;
    EXPECT_TRUE(folder.read(L"up10.jpg").empty());
}

TEST(StartupExport, VideoStopsAtTheFileReachingNineMegabytesAndThePreviewGoesOnWhereItStood)
{
    const ScratchFolder folder(L"startup-video");
    const CString clip = folder / L"noise.avi";
    cv::VideoWriter writer(FfmpegPath(clip), cv::CAP_FFMPEG, cv::VideoWriter::fourcc('M', 'J', 'P', 'G'), 25, { 640, 480 });
    cv::Mat noise(480, 640, CV_8UC3);
    for (int k = 0; k < 100; ++k)
        writer << (cv::randu(noise, 0, 256), noise);
    writer.release();
    LcdDialog dialog;
    dialog.open(CRect(0, 0, 700, 520), true);
    auto* image = dialog.addRenderer<OpenImage>(CRect(0, 0, 680, 500));
    image->SetImageFile(clip, 4);
    PinnedClock clock(100000);
    for (int tick = 0; tick < 3; ++tick, TimeSource::Advance(40))
        image->OnControlTimer();
    const int position = image->decoded();
    image->SaveStartUpAnimeImage(folder / L"v", 0);
    EXPECT_EQ(image->decoded(), position);
    size_t total = 0, last = 0;
    int files = 0;
    while (!exported(folder, L"v", files).bgr.empty())
        total += last = folder.read(CString(L"v") + std::to_wstring(files++).c_str() + L".jpg").size();
    EXPECT_LT(total - last, 9437184u);
    EXPECT_GE(total, 9437184u);
    EXPECT_LT(files, 100);
    EXPECT_EQ(exported(folder, L"v", 0).bgr.size(), cv::Size(640, 480));
    image->SaveSTBYAnimeImage(folder / L"standby.jpg", 0); // a video has no standby picture: black
    EXPECT_LT(decodeFrame(folder.read(L"standby.jpg")).brightest(), 8.0);
}

TEST(StartupExport, StillPictureWritesFileZeroAtTheScreenSizeAndNoPictureNoGifFrames)
{
    const ScratchFolder folder(L"startup-still");
    const ScratchStrip halves(folder.path(), L"halves.png", 20, 20, { 0xFFFF0000, 0xFF0000FF });
    const CString gif = columnGif(folder);
    for (int type : { 1, 2 }) {
        OpenImage image(nullptr, 1, CRect(0, 0, 700, 500), 1, 1);
        image.SetLEDType(type);
        image.GetGIF2PAKSize(folder / L"pak", gif);
        EXPECT_TRUE(folder.read(L"pak0.jpg").empty());
        image.SetImageFile(halves.path(), 0);
        image.SaveStartUpAnimeImage(folder / L"s", -90);
        const DecodedFrame still = exported(folder, L"s", 0);
        EXPECT_EQ(still.bgr.size(), type == 1 ? cv::Size(480, 480) : cv::Size(640, 480));
        EXPECT_TRUE(nearColor(still.rgb(still.bgr.cols / 2, still.bgr.rows - 20), 0xFF0000, 40)) << type;
        EXPECT_TRUE(folder.read(L"s1.jpg").empty());
        // A copy has the medium's name but none of its pictures: it exports nothing.
        OpenImage copy(image);
        CString path;
        int kind = -1;
        copy.GetItemInfo(path, kind);
        EXPECT_EQ(std::make_pair(path, kind), std::make_pair(halves.path(), 0));
        copy.SaveStartUpAnimeImage(folder / L"c", 0);
        EXPECT_TRUE(folder.read(L"c0.jpg").empty());
    }
}

TEST(StartupPreview, GifPeriodFollowsTheFirstDelayAndTicksStepWithoutWaitingForAnExport)
{
    const ScratchFolder folder(L"startup-tick");
    const int delays[][2] = { { 0, 16 }, { 1, 16 }, { 2, 20 }, { 16, 160 } };
    for (const auto& [delay, period] : delays) {
        const ScratchTimedGif gif(folder.path(), L"period.gif", { delay, 7, 7 });
        OpenImage image(nullptr, 1, CRect(0, 0, 480, 480), 1, 1);
        image.SetImageFile(gif.path(), 3);
        EXPECT_EQ(image.period(), period) << delay;
    }
    const ScratchTimedGif gif(folder.path(), L"four.gif", { 2, 2, 2, 2 }, 32);
    LcdDialog dialog;
    dialog.open(CRect(0, 0, 520, 520), true);
    auto* image = dialog.addRenderer<OpenImage>(CRect(0, 0, 500, 500));
    image->SetImageFile(gif.path(), 3);
    PinnedClock clock(100000);
    DibCanvas canvas(500, 500);
    std::atomic<int> held { 0 };
    // Each row: ms passed before the tick, frame shown after it; a negative time ticks while
    // another thread holds the lock, as an export does.
    const int steps[][2] = { { 0, 0 }, { 20, 1 }, { 40, 3 }, { -20, 3 }, { 0, 0 } };
    for (const auto& [advance, frame] : steps) {
        TimeSource::Advance(std::abs(advance));
        std::thread exporter;
        if (advance < 0) {
            exporter = std::thread([&] {
                ScopedLock lock(image->lock());
                held = 1;
                pollUntil([&] { return held != 1; }, 5000);
            });
            ASSERT_TRUE(pollUntil([&] { return held == 1; }));
        }
        EXPECT_EQ(image->OnControlTimer(), 0);
        held = 2;
        if (exporter.joinable())
            exporter.join();
        image->SetUpdate(0, 0);
        image->DrawControl(canvas.dc(), CRect(0, 0, 500, 500));
        EXPECT_EQ(clipFrameOf(canvas.rgb(250, 250)), frame) << advance;
    }
}

TEST(StartupPreview, ThousandStepsAndBrokenFilesLeakNoGdiObject)
{
    const ScratchFolder folder(L"startup-leak");
    const ScratchClip clip(folder.path(), L"count.avi", ScratchClip::Mjpg, 25, 30);
    const ScratchTimedGif gif(folder.path(), L"timed.gif", { 2, 2, 2 });
    const std::vector<BYTE> clipBytes = clip.read(), gifBytes = gif.read();
    const ScratchFile empty(folder.path(), L"empty.gif", {});
    const ScratchFile cutClip(folder.path(), L"cut.avi", { clipBytes.begin(), clipBytes.begin() + clipBytes.size() / 2 });
    const ScratchFile cutGif(folder.path(), L"cut.gif", { gifBytes.begin(), gifBytes.begin() + gifBytes.size() / 2 });
    const std::pair<CString, int> media[] = { { clip.path(), 4 },  { gif.path(), 3 },     { empty.path(), 4 },
                                              { empty.path(), 3 }, { cutClip.path(), 4 }, { cutGif.path(), 3 },
                                              { clip.path(), 0 } };
    LcdDialog dialog;
    dialog.open(CRect(0, 0, 520, 520), true);
    // Small: the screen is drawn clipped to it, every road taken at a fraction of the cost.
    auto* image = dialog.addRenderer<OpenImage>(CRect(0, 0, 120, 120));
    PinnedClock clock(100000);
    DibCanvas canvas(120, 120);
    auto round = [&](int steps) {
        for (int i = 0; i < steps; ++i) {
            const auto& [path, kind] = media[i / 25 % std::size(media)];
            if (i % 25 == 0) {
                image->SetImageFile(path, kind);
                image->SetLEDType(i % 50 ? 1 : 3);
                if (i % 50 == 25)
                    image->SaveStartUpAnimeImage(folder / L"x", 30);
            }
            TimeSource::Advance(40);
            image->OnControlTimer();
            image->SetUpdate(0, 0);
            image->DrawControl(canvas.dc(), CRect(0, 0, 120, 120));
        }
    };
    const int gdiBefore = warmGdiObjects([&] { round(200); });
    const long heapBefore = busyHeapBlocks();
    round(1000);
    EXPECT_EQ(countGdiObjects(), gdiBefore);
    EXPECT_LE(busyHeapBlocks(), heapBefore + 64);
}
