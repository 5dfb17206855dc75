// The analogue clock's raw frame and window view, the window-capture view, their repaint
// cadence and their factory rows.
#include <thread>

#include "GdiObjectCount.h"
#include "LcdTestKit.h"
#include "RecordingControl.h"
#include "ScratchStrip.h"
#include "WindowCapture.h"
#include "framework/AppPaths.h"

using namespace KOVA;
using namespace KOVA::test;

namespace {

const auto* const host = ::testing::AddGlobalTestEnvironment(new LibraryHost);

constexpr DWORD kUncovered = 0x00FF00FF;   // 0xAARRGGBB of FF 00 FF 00 in memory

template <class View>
struct Open : View {
    explicit Open(MObject* parent) : View(parent, 7, CRect(0, 0, 100, 100), 1, 1) {}
    void run(int on) { this->m_run = on; }
};

class Clock : public ::testing::Test {
protected:
    void SetUp() override
    {
        dialog.open(CRect(0, 0, 200, 200), false);
        clock.SetManager(dialog.GetPaintManager());
    }
    void TearDown() override { dialog.DestroyWindow(); }
    // The frame in a buffer with a guard after it; pixels as 0xAARRGGBB.
    std::vector<DWORD> frame(ClockCtrl& from)
    {
        std::vector<DWORD> pixels(480 * 480 + 4, 0xABABABAB);
        EXPECT_TRUE(from.GetLEDData(reinterpret_cast<BYTE*>(pixels.data())));
        EXPECT_EQ(0xABABABABu, pixels.back()) << "nothing written past 921,600 bytes";
        return pixels;
    }
    PinnedClock noon { 0 };   // the second hand upright
    ScratchStrip red { GetSkinPath(), L"h3_clock_red.png", 20, 100, { 0xFFFF0000 } };
    ScratchStrip blue { GetSkinPath(), L"h3_clock_blue.png", 20, 100, { 0xFF0000FF } };
    LcdDialog dialog;
    ClockCtrl clock { nullptr, 7, CRect(10, 10, 110, 110), 1, 1 };
};

} // namespace

// The second hand stands on (240, 240) turned 6° a second, its size times the display scale,
// over the control image stretched to the frame; nothing drawn reads FF 00 FF 00. The window
// view shows the control image alone.
TEST_F(Clock, FrameShowsTheControlImageAndTheSecondHandAtTheTime)
{
    const std::vector<DWORD> bare = frame(clock);
    EXPECT_EQ(480 * 480, std::count(bare.begin(), bare.end() - 4, kUncovered));
    clock.SetHMSImage(L"h3_clock_red.png", L"h3_clock_red.png", L"h3_clock_red.png");
    struct Case { WORD second; float scale; bool image; std::vector<POINT> hand, ground; };
    const Case cases[] = {
        { 0, 1.0f, false, { { 240, 145 }, { 232, 236 }, { 248, 200 } }, { { 240, 246 }, { 253, 100 }, { 300, 240 } } },
        { 15, 1.0f, false, { { 290, 240 }, { 335, 232 }, { 245, 248 } }, { { 240, 150 }, { 234, 240 } } },
        { 0, 1.5f, false, { { 253, 100 }, { 240, 95 } }, { { 240, 80 }, { 257, 100 } } },
        { 30, 1.0f, true, { { 240, 330 } }, { { 100, 100 }, { 240, 150 } } },
    };
    for (const Case& c : cases) {
        TimeSource::Pin(0, SYSTEMTIME { 2026, 3, 0, 14, 12, 0, c.second, 0 });
        Manager::SetScaleValue(c.scale);
        if (c.image)
            clock.SetImage(L"h3_clock_blue.png", 1);
        const std::vector<DWORD> pixels = frame(clock);
        for (POINT p : c.hand)
            EXPECT_TRUE(nearColor(pixels[p.y * 480 + p.x] & 0xFFFFFF, 0xFF0000)) << c.second << "s " << p.x << "," << p.y;
        for (POINT p : c.ground)
            EXPECT_TRUE(c.image ? nearColor(pixels[p.y * 480 + p.x] & 0xFFFFFF, 0x0000FF)
                                : pixels[p.y * 480 + p.x] == kUncovered) << p.x << "," << p.y;
    }
    Manager::SetScaleValue(1.0f);
    DibCanvas canvas(120, 120);
    clock.DrawControl(canvas.dc(), CRect(0, 0, 120, 120));
    expectPixels(canvas, { { 60, 30, 0x0000FF }, { 60, 60, 0x0000FF }, { 15, 100, 0x0000FF }, { 5, 5, 0 } }, 2);
}

// A null buffer, no paint manager, or a window that has gone (after frames were made): false,
// the buffer untouched.
TEST_F(Clock, FrameRefusedWithoutBufferOrWindow)
{
    ClockCtrl unbound(nullptr, 8, CRect(0, 0, 10, 10), 1, 1);
    std::vector<BYTE> buffer(ClockCtrl::kFrameBytes, 0xAB);
    EXPECT_FALSE(clock.GetLEDData(nullptr));
    EXPECT_FALSE(unbound.GetLEDData(buffer.data()));
    frame(clock);
    dialog.DestroyWindow();
    EXPECT_FALSE(clock.GetLEDData(buffer.data()));
    EXPECT_EQ(std::vector<BYTE>(ClockCtrl::kFrameBytes, 0xAB), buffer);
}

// A copy owns no image (the original's are freed with it); images swapped while another
// thread pulls frames show whole, old or new.
TEST_F(Clock, CopiesShareNoImageAndSwapsAreLockedAgainstFrames)
{
    clock.SetHMSImage(L"", L"", L"h3_clock_red.png");
    auto original = std::make_unique<ClockCtrl>(clock);
    original->SetHMSImage(L"", L"", L"h3_clock_blue.png");
    ClockCtrl copy(*original);
    original.reset();
    EXPECT_EQ(kUncovered, frame(copy)[145 * 480 + 240]);
    std::vector<DWORD> seen;
    std::thread puller([&] { for (int i = 0; i < 300; ++i) seen.push_back(frame(clock)[145 * 480 + 240] & 0xFFFFFF); });
    for (int i = 0; i < 300; ++i)
        clock.SetHMSImage(L"", L"", i % 2 ? L"h3_clock_red.png" : L"h3_clock_blue.png");
    puller.join();
    for (DWORD hand : seen)
        EXPECT_TRUE(nearColor(hand, 0xFF0000) || nearColor(hand, 0x0000FF)) << std::hex << hand;
}

template <class View>
void expectCadence()
{
    RecordingParent parent;
    Open<View> view(&parent);
    struct Step { int run, visible, ticks; size_t updates; int lastResult; };
    for (const Step& s : { Step { 1, 1, 19, 0, 0 }, { 1, 1, 1, 1, 1 }, { 1, 1, 15, 1, 0 }, { 0, 1, 30, 1, 0 },
                           { 1, 0, 30, 1, 0 }, { 1, 1, 4, 1, 0 }, { 1, 1, 1, 2, 1 } }) {
        view.run(s.run);
        view.SetVisible(s.visible, 0);
        int result = -1;
        for (int i = 0; i < s.ticks; ++i)
            result = view.OnControlTimer();
        EXPECT_EQ(s.updates, parent.updates.size()) << view.GetClassNameW();
        EXPECT_EQ(s.lastResult, result);
    }
    const auto& last = parent.updates.back();
    EXPECT_TRUE(last.rect == view.GetRect() && last.flag == 1 && last.control == &view);
}

// One repaint request (flag 1) on every 20th tick while running and visible; a tick while
// stopped or hidden keeps the count where it was.
TEST(TimedViews, RepaintOnEveryTwentiethTickWhileRunningAndVisible)
{
    expectCadence<ClockCtrl>();
    expectCadence<CaptureCtrl>();
}

// From a panel of a real dialog: grey, then a shown window's two halves stretched into it,
// then grey once that window is gone. The window factory knows neither view.
TEST(CaptureView, ShowsTheWindowItCapturesWhileItExists)
{
    ColourWindow source(200, 100, RGB(255, 0, 0), RGB(0, 0, 255));
    LcdDialog dialog;
    dialog.open(CRect(0, 0, 300, 200), true);
    auto* page = new MPanel(&dialog, 20, CRect(0, 0, 300, 200), 1);
    page->SetManager(dialog.GetPaintManager());
    dialog.GetPaintManager()->AppendControl(page, 1);
    auto* capture = dynamic_cast<CaptureCtrl*>(page->CreateControl(L"CaptureCtrl", 21, CRect(50, 50, 250, 150), L"", 1, 0));
    ASSERT_TRUE(capture && capture->IsEnabled());
    EXPECT_NE(nullptr, dynamic_cast<ClockCtrl*>(page->CreateControl(L"ClockCtrl", 22, CRect(), L"", 1, 0)));
    for (const wchar_t* name : { L"ClockCtrl", L"CaptureCtrl" })
        EXPECT_EQ(nullptr, dialog.GetPaintManager()->CreateControl(&dialog, name, 23, CRect(), L"", 1, 1));
    auto shows = [&](DWORD left, DWORD right) {
        capture->UpdateControl(1, 0);
        dialog.paintNow();
        expectPixels(*captureClient(dialog.GetSafeHwnd()), { { 100, 100, left }, { 200, 100, right } }, 2);
    };
    shows(0x646464, 0x646464);
    capture->SetCaptureWnd(source.hwnd());
    shows(0xFF0000, 0x0000FF);
    source.destroy();
    shows(0x646464, 0x646464);
    dialog.DestroyWindow();
}

// Ten thousand frames, image swaps and capture paints leave GDI objects and heap as they were.
TEST_F(Clock, FramesSwapsAndCapturesLeakNothing)
{
    ColourWindow source(200, 100, RGB(255, 0, 0), RGB(0, 0, 255));
    CaptureCtrl capture(nullptr, 9, CRect(0, 0, 100, 50), 1, 1);
    capture.SetCaptureWnd(source.hwnd());
    clock.SetImage(L"h3_clock_blue.png", 1);
    DibCanvas canvas(100, 50);
    std::vector<BYTE> buffer(ClockCtrl::kFrameBytes);
    auto round = [&](int count) {
        for (int i = 0; i < count; ++i) {
            clock.GetLEDData(buffer.data());
            capture.SetUpdate(0, 0);
            capture.DrawControl(canvas.dc(), CRect(0, 0, 100, 50));
            if (i % 10 == 0)
                clock.SetHMSImage(L"h3_clock_red.png", L"h3_clock_blue.png", i % 20 ? L"h3_clock_red.png" : L"");
        }
    };
    const int gdiBefore = warmGdiObjects([&] { round(50); });
    const long heapBefore = busyHeapBlocks();
    round(10000);
    EXPECT_EQ(gdiBefore, countGdiObjects());
    EXPECT_LE(busyHeapBlocks(), heapBefore + 64);
}

// The control image lives in the window's cache, which the GUI thread draws from. While the
// window holds it (its pixels locked, as a draw on the GUI thread would hold it), the frame
// made on a host's thread still shows the image: it draws a copy of its own.
TEST_F(Clock, FrameDrawsItsOwnCopyOfTheWindowsSharedImage)
{
    ASSERT_TRUE(clock.SetImage(L"h3_clock_blue.png", 1));
    auto* shared = static_cast<Gdiplus::Bitmap*>(clock.GetImage());
    ASSERT_NE(nullptr, shared);
    Gdiplus::BitmapData held {};
    const Gdiplus::Rect whole(0, 0, static_cast<INT>(shared->GetWidth()), static_cast<INT>(shared->GetHeight()));
    ASSERT_EQ(Gdiplus::Ok, shared->LockBits(&whole, Gdiplus::ImageLockModeWrite, PixelFormat32bppARGB, &held));
    std::vector<DWORD> pixels;
    std::thread hostThread([&] { pixels = frame(clock); });
    hostThread.join();
    shared->UnlockBits(&held);
    EXPECT_TRUE(nearColor(pixels[100 * 480 + 100] & 0xFFFFFF, 0x0000FF)) << std::hex << pixels[100 * 480 + 100];
}
