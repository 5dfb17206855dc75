// A video with damaged frames, as a cut download leaves one, read through every call that
// decodes it: the JPEG decoder gives up on each damaged scan with the MMX
// registers still in use, and the thread that called it draws with GDI+ next (the screen's
// tick its carousel text, the window its controls).
#include "LcdTestKit.h"
#include "ScratchClip.h"
#include "ScratchFolder.h"
#include "ThreadTextCheck.h"
#include "lcd/media/VideoClip.h"

#include <functional>

using namespace KOVA;
using namespace KOVA::test;

namespace {

const auto* const host = ::testing::AddGlobalTestEnvironment(new LibraryHost);

constexpr int kFrames = 10;

} // namespace

TEST(DamagedClip, EveryCallThatDecodesItLeavesTheThreadDrawingTextWhole)
{
    const ScratchFolder folder(L"damaged-clip");
    const ScratchDamagedClip clip(folder.path(), L"damaged.avi", kFrames);
    ASSERT_TRUE(clip.written());
    OpenCVViewCtrl view(nullptr, 0, CRect(0, 0, 700, 560), 0, 1);
    struct Row {
        const char* call;
        std::function<void()> decode;
    };
    const Row rows[] = {
        { "a clip read to its end",
          [&] {
              VideoClip video;
              ASSERT_TRUE(video.Open(clip.path()));
              while (video.Read()) {}
          } },
        { "a clip caught up past frames",
          [&] {
              VideoClip video;
              ASSERT_TRUE(video.Open(clip.path()));
              video.CatchUp(3, 5);
          } },
        { "the video view opening it", [&] { ASSERT_EQ(view.SetFileName(clip.path(), 1), 1); } },
        { "the video view's thumbnail of each frame",
          [&] {
              cv::Mat thumbnail;
              for (int frame = 0; frame < kFrames; ++frame)
                  view.GetFrameThumbnail(thumbnail, frame, 32, 18);
          } },
    };
    for (const Row& row : rows) {
        row.decode();
        const int height = textInkHeightHere();
        EXPECT_TRUE(height >= 12 && height <= 24) << row.call << ": " << height;
    }
}

// The video view and the screen tick on one thread: the screen draws its carousel text right
// after the view decoded a damaged frame, and the frame it publishes shows that text.
TEST(DamagedClip, AScreenTickingAfterAVideoViewPlayingItDrawsItsCarouselText)
{
    const ScratchFolder folder(L"damaged-clip");
    const ScratchDamagedClip clip(folder.path(), L"view.avi", kFrames);
    ASSERT_TRUE(clip.written());
    PinnedClock clock(100000);
    LcdDialog dialog;
    dialog.open(CRect(0, 0, 1300, 600), false); // hidden: every tick draws the screen's frame
    PaintManager& manager = *dialog.GetPaintManager();
    auto* view = new OpenCVViewCtrl(&dialog, 51, CRect(500, 0, 1200, 560), 1, 1);
    view->SetManager(&manager);
    manager.AppendControl(view, 1);
    ASSERT_EQ(view->SetFileName(clip.path(), 1), 1);
    OpenLcd& lcd = *dialog.addRenderer(CRect(0, 0, 480, 480));
    lcd.SetLEDScreenType(LEDScreenSquare);
    lcd.SetLEDMode(LEDModeWindowCapture); // no window: black but for the text
    lcd.setLayersCached(false); // the text through GDI+ on every frame, none kept
    lcd.SetHardWareInfo(HARDWARE_INFO { 0, 0, 42, 0, 0, 0, 0, 0, 0, 1234.5f, 0, 0, 9999 });
    lcd.AddCarousel(HardwareCpuLoad);
    manager.AddMTimer(view);
    manager.AddMTimer(&lcd);
    TimeSource::Advance(2001); // the carousel's first step is due
    for (int tick = 0; tick < kFrames; ++tick) {
        manager.OnMTimer(0);
        const RECT text = lcd.carouselRect();
        ASSERT_TRUE(text.right - text.left > 20 && text.right - text.left < 400 && text.bottom - text.top > 20
                    && text.bottom - text.top < 200)
            << tick;
        const cv::Rect around(cv::Point(std::max<int>(text.left, 0), std::max<int>(text.top, 0)),
                              cv::Point(std::min<int>(text.right, 480), std::min<int>(text.bottom, 480)));
        EXPECT_GT(decodeFrame(pullFrame(lcd)).brightest(around), 128) << tick;
        TimeSource::Advance(40);
        ::Sleep(5); // the fast timer serves ticks some milliseconds apart
    }
    manager.DeleteFSTimer(view);
    manager.DeleteFSTimer(&lcd);
    dialog.DestroyWindow();
}
