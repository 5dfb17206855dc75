// The LCD frame pipeline seen from the host: frames pulled with GetLEDData and decoded, drawn
// by the tick with a pinned clock (hidden road) and by the window's paint (visible road).
#include <atomic>
#include <climits>
#include <functional>
#include <random>
#include <thread>

#include <opencv2/core.hpp>

#include "LcdTestKit.h"
#include "PumpUntil.h"
#include "ScratchGif.h"
#include "framework/AppPaths.h"

using namespace KOVA;
using namespace KOVA::test;

namespace {

const auto* const host = ::testing::AddGlobalTestEnvironment(new LibraryHost);

// A due tick now: the clock moves on by more than any period first.
void tickFrame(LEDModeCtrl& lcd)
{
    TimeSource::Advance(1000);
    lcd.OnControlTimer();
}

} // namespace

TEST(LEDModeCtrlPull, NothingBeforeTheFirstFrameThenTheSameFrameUntilTheScreenTypeChangesAndNothingTooLarge)
{
    PinnedClock clock(50000);
    OpenLcd lcd(nullptr, 1, CRect(0, 0, 480, 480), 1, 1);
    int length = -1;
    EXPECT_EQ(std::pair(lcd.GetLEDData(nullptr, length), length), std::pair(false, 0));
    std::vector<BYTE> buffer(kLargestCapacity + 16);
    // The type (0: as made) and its capacity, which a pull clears and no more.
    for (const auto& [type, capacity] : { std::pair(0, 921600), std::pair(2, 1228800), std::pair(7, 1228800),
                                          std::pair(3, 921600) }) {
        SCOPED_TRACE(type);
        if (type)
            lcd.SetLEDScreenType(type);
        std::fill(buffer.begin(), buffer.end(), 0xAB);
        length = -1;
        EXPECT_EQ(std::pair(lcd.GetLEDData(buffer.data(), length), length), std::pair(false, 0));
        EXPECT_EQ(std::count(buffer.begin(), buffer.end(), 0), capacity);
        tickFrame(lcd);
        const std::vector<BYTE> frame = pullFrame(lcd);
        EXPECT_TRUE(decodeFrame(frame).complete());
        EXPECT_EQ(pullFrame(lcd), frame);
    }
    // Noise of this side makes a file larger than the square screen's 921,600 bytes that still
    // fits the largest buffer, so that only the publishing can refuse it: the black frame stays.
    constexpr int side = 1400;
    std::vector<DWORD> noise(side * side);
    std::mt19937 random(99);
    for (DWORD& pixel : noise)
        pixel = 0xFF000000 | (random() & 0xFFFFFF);
    LcdJpegEncoder probe(kLargestCapacity);
    ASSERT_GT(probe.Encode(reinterpret_cast<const BYTE*>(noise.data()), side, side, side * 4, 60), 921600);
    lcd.SetControlRect(CRect(0, 0, side, side));
    lcd.SetLEDMode(LEDModeFile);
    lcd.ResetLED();
    tickFrame(lcd);
    const std::vector<BYTE> black = pullFrame(lcd);
    ASSERT_FALSE(black.empty());
    lcd.giveMedia(new Gdiplus::Bitmap(side, side, side * 4, PixelFormat32bppARGB, reinterpret_cast<BYTE*>(noise.data())), 1);
    tickFrame(lcd);
    EXPECT_EQ(pullFrame(lcd), black);
}

TEST(LEDModeCtrlTick, TheFrameClockCountsWholePeriodsKeepsItsPhaseAndShowsTheFrameDue)
{
    const std::vector<DWORD> colours { 0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFF00, 0xFF00FFFF };
    const ScratchGif gif(GetSkinPath(), L"lcd-five.gif", 480, 480, colours);
    ASSERT_TRUE(gif.written());
    PinnedClock clock(30000);
    OpenLcd lcd(nullptr, 1, CRect(0, 0, 480, 480), 1, 1);
    lcd.SetLEDScreenType(LEDScreenSquare);
    lcd.SetLEDMode(LEDModeFile);
    lcd.ResetLED();
    lcd.giveMedia(Gdiplus::Image::FromFile(gif.path()), 5);
    struct Step { DWORD advance; int run, period, result /* 1: not due */, frame; };
    const Step steps[] = {
        { 0, 1, 30, 0, 0 },   // due at once: 1000 periods since 0
        { 95, 1, 30, 0, 3 },  // three whole periods; 5 ms carried into the next
        { 24, 1, 30, 1, 3 },  // 29 ms into the period: not due
        { 1, 1, 30, 0, 4 },   // due 25 ms after the last tick, not 30
        { 100, 0, 30, 0, 4 }, // stopped, the clock stands still
        { 0, 1, 30, 0, 2 },   // running again, the three missed periods count at once
        { 7, 1, 0, 0, 4 },    // a period of 0 counts every millisecond instead of dividing by zero
    };
    for (const Step& step : steps) {
        TimeSource::Advance(step.advance);
        lcd.SetRun(step.run);
        lcd.setFramePeriod(step.period);
        EXPECT_EQ(lcd.OnControlTimer(), step.result) << &step - steps;
        const DWORD shown = decodeFrame(pullFrame(lcd)).rgb(240, 240);
        EXPECT_TRUE(nearColor(shown, colours[step.frame] & 0xFFFFFF, 6)) << &step - steps << ": " << std::hex << shown;
    }
}

// A renderer in a shown window of green, showing a picture inside its disc whose left half is
// red and right half blue, and a sensor value in text.
class LEDModeCtrlRoads : public ::testing::Test {
protected:
    void SetUp() override
    {
        dialog.open(CRect(0, 0, 480, 480), true);
        dialog.GetPaintManager()->SetBackColor(RGB(0, 255, 0), RGB(0, 255, 0));
        lcd = dialog.addRenderer(CRect(0, 0, 480, 480));
        lcd->ResetLED();
        lcd->SetLEDMode(LEDModeFile);
        lcd->AddCarousel(HardwareMemoryLoad);
        auto* picture = new Gdiplus::Bitmap(340, 340, PixelFormat32bppARGB);
        Gdiplus::Graphics(picture).Clear(Gdiplus::Color(255, 255, 0, 0));
        Gdiplus::SolidBrush blue(Gdiplus::Color(255, 0, 0, 255));
        Gdiplus::Graphics(picture).FillRectangle(&blue, 170, 0, 170, 340);
        lcd->giveMedia(picture, 1);
    }
    void TearDown() override { dialog.DestroyWindow(); }

    // The frame of the visible road, then the hidden one's.
    std::pair<std::vector<BYTE>, std::vector<BYTE>> frames()
    {
        lcd->SetUpdate(0, 0);
        dialog.GetPaintManager()->Invalidate();
        dialog.paintNow();
        std::vector<BYTE> visible = pullFrame(*lcd);
        lcd->DrawHideControl();
        return { visible, pullFrame(*lcd) };
    }

    PinnedClock clock { 90000 };
    LcdDialog dialog;
    OpenLcd* lcd { nullptr };
};

TEST_F(LEDModeCtrlRoads, TurnDimmingAndSwitchGiveTheSameFrameOnBothRoads)
{
    constexpr DWORD red = 0xFF0000, blue = 0x0000FF;
    struct Case { int type, rotation, percent; bool on; int size; std::vector<PixelAt> points; };
    const Case cases[] = {
        { LEDScreenSquare, 0, 100, true, 480, { { 100, 240, red }, { 380, 240, blue }, { 4, 4, 0 } } },
        { LEDScreenSquare, 90, 100, true, 480, { { 240, 100, red }, { 240, 380, blue } } },
        { LEDScreenSquare, 180, 100, true, 480, { { 100, 240, blue }, { 380, 240, red } } },
        { LEDScreenSquare, 270, 100, true, 480, { { 240, 100, blue }, { 240, 380, red } } },
        // The circular screen is turned a quarter more.
        { LEDScreenCircle, 0, 100, true, 480, { { 240, 100, red }, { 240, 380, blue } } },
        { LEDScreenCircle, 90, 100, true, 480, { { 100, 240, blue }, { 380, 240, red } } },
        // Outside the turned frame the corners are black.
        { LEDScreenSquare, 45, 100, true, 678, { { 339, 150, red }, { 339, 530, blue }, { 8, 8, 0 }, { 669, 669, 0 } } },
        // Half brightness lays black of alpha 128 over the frame.
        { LEDScreenSquare, 0, 50, true, 480, { { 100, 240, 0x7F0000 }, { 380, 240, 0x00007F } } },
        { LEDScreenSquare, 0, 0, true, 480, { { 100, 240, 0 }, { 380, 240, 0 } } },
        { LEDScreenSquare, 0, 100, false, 480, { { 100, 240, 0 }, { 380, 240, 0 } } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(&c - cases);
        lcd->SetLEDScreenType(c.type);
        lcd->SetRotate(c.rotation);
        lcd->SetBrightness(c.percent);
        lcd->SetLEDSwitch(c.on);
        const auto [visibleBytes, hiddenBytes] = frames();
        const DecodedFrame visible = decodeFrame(visibleBytes);
        const DecodedFrame hidden = decodeFrame(hiddenBytes);
        for (const DecodedFrame* frame : { &visible, &hidden }) {
            EXPECT_EQ(frame->bgr.size(), cv::Size(c.size, c.size));
            for (const PixelAt& p : c.points)
                EXPECT_TRUE(nearColor(frame->rgb(p.x, p.y), p.rgb, 8)) << p.x << "," << p.y << " " << std::hex << frame->rgb(p.x, p.y);
        }
        if (c.type == LEDScreenSquare) {
            EXPECT_EQ(visibleBytes, hiddenBytes);
            continue;
        }
        // Outside the disc the visible road keeps the window under the control, the hidden one
        // its near-black; inside, both roads give the same pixels.
        EXPECT_TRUE(nearColor(visible.rgb(4, 4), 0x00FF00, 40) && nearColor(hidden.rgb(4, 4), 0x010101, 6));
        EXPECT_EQ(cv::norm(visible.bgr(cv::Rect(120, 120, 240, 240)), hidden.bgr(cv::Rect(120, 120, 240, 240)), cv::NORM_INF), 0);
    }
}

TEST_F(LEDModeCtrlRoads, MovingPicturesAreEncodedAtQuality60AndModesWithoutAScreenLeaveTheBlackBase)
{
    lcd->SetLEDScreenType(LEDScreenSquare);
    for (int mode = -1; mode <= 9; ++mode) {
        lcd->SetLEDMode(mode);
        const bool moving = mode == LEDModeFile || mode == LEDModeWindowCapture || mode == LEDModeClock;
        // Every screen draws (the carousel its memory-load dial, the clock its first face);
        // modes without a screen leave the black base.
        const bool drawn = mode >= LEDModeFile && mode <= LEDModeClock;
        const auto [visible, hidden] = frames();
        for (const DecodedFrame& frame : { decodeFrame(visible), decodeFrame(hidden) })
            EXPECT_EQ(std::pair(frame.lumaDcQuant, frame.brightest() > 64), std::pair(moving ? 13 : 3, drawn)) << mode;
    }
}

TEST(LEDModeCtrlGdi, RotateDCTurnsLaterDrawingClockwiseAndRestoreUndoesIt)
{
    OpenLcd lcd(nullptr, 1, CRect(0, 0, 100, 100), 1, 1);
    unsigned char* bits = nullptr;
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP section = lcd.CreateARGB32Bitmap(dc, 100, 60, &bits);
    ASSERT_TRUE(section && bits);
    HGDIOBJ previous = SelectObject(dc, section);
    const int mode = lcd.RotateDC(dc, 90, POINT { 30, 30 });
    const RECT bar { 40, 29, 50, 31 }, after { 80, 50, 82, 52 };
    MRender::FillSolidRect(dc, &bar, RGB(255, 0, 0)); // right of the centre: lands below it
    lcd.RestoreRotatedDC(dc, mode);
    MRender::FillSolidRect(dc, &after, RGB(0, 255, 0));
    GdiFlush();
    // Rows of 100 pixels of 32 bits, top-down.
    auto pixel = [&](int x, int y) { return reinterpret_cast<DWORD*>(bits)[y * 100 + x] & 0xFFFFFF; };
    EXPECT_EQ(std::tuple(pixel(30, 45), pixel(45, 30), pixel(81, 51), GetGraphicsMode(dc)), std::tuple(0xFF0000u, 0u, 0x00FF00u, mode));
    SelectObject(dc, previous);
    DeleteDC(dc);
    DeleteObject(section);
}

// The real fast timer and a real window: where the frames come from follows whether the
// control shows. The circular screen's corners tell the roads apart: the window's colour from
// the paint, near-black from the tick on the timer thread.
TEST(LEDModeCtrlLive, FramesComeFromTheTimerThreadWhileHiddenAndFromThePaintWhileShown)
{
    LcdDialog dialog;
    dialog.open(CRect(0, 0, 600, 520), false);
    dialog.GetPaintManager()->SetBackColor(RGB(255, 0, 0), RGB(255, 0, 0));
    MPanel* page = new MPanel(&dialog, 70, CRect(0, 0, 600, 520), 1);
    page->SetManager(dialog.GetPaintManager());
    dialog.GetPaintManager()->AppendControl(page, 1);
    // The panel's factory makes the renderer by its class name.
    auto* lcd = dynamic_cast<LEDModeCtrl*>(page->CreateControl(L"LEDModeCtrl", 71, CRect(10, 10, 490, 490), L"", 1, 0));
    ASSERT_TRUE(lcd && lcd->IsEnabled());
    // A mode whose tick asks for a repaint: mode 0 would publish on the visible road only
    // when something else repaints it.
    lcd->SetLEDMode(LEDModeSystemInfo);
    lcd->AddMTimer();
    dialog.SetMTimer(5);
    DWORD corner = 0;
    auto cornerBecomes = [&](DWORD rgb) {
        return pumpUntil([&] {
            const DecodedFrame frame = decodeFrame(pullFrame(*lcd));
            corner = frame.complete() ? frame.rgb(3, 3) : 0xFFFFFFFF;
            return nearColor(corner, rgb, rgb == 0x010101 ? 8 : 60);
        }, 5000);
    };
    constexpr DWORD window = 0xFF0000, tick = 0x010101;
    const std::pair<std::function<void()>, DWORD> steps[] = {
        { [] {}, tick },
        { [&] { dialog.ShowWindow(SW_SHOWNOACTIVATE); }, window },
        { [&] { dialog.ShowWindow(SW_SHOWMINNOACTIVE); }, tick },
        { [&] { dialog.ShowWindow(SW_RESTORE); }, window },
        { [&] { page->SetVisible(0); }, tick }, // its page hidden inside the window
        { [&] { page->SetVisible(1); }, window },
    };
    for (size_t step = 0; step < std::size(steps); ++step) {
        steps[step].first();
        EXPECT_TRUE(cornerBecomes(steps[step].second)) << "step " << step << ": " << std::hex << corner;
    }
    dialog.GetPaintManager()->KillMTimer();
    dialog.DestroyWindow();
}

// Which thread drew the last frame: the GUI thread's paint or the fast timer's tick.
class ThreadLcd : public OpenLcd {
public:
    using OpenLcd::OpenLcd;
    std::atomic<DWORD> drawer { 0 };

protected:
    void DrawLEDMode(Gdiplus::Graphics& g, int& width, int& height, HDC& dc) override
    {
        drawer = ::GetCurrentThreadId();
        OpenLcd::DrawLEDMode(g, width, height, dc);
    }
};

// The clock on the square screen: a posted minimise moves the frames from the paint to the
// tick, which publishes the same pixels at the same time; a posted restore moves them back.
TEST(LEDModeCtrlLive, PostedMinimiseAndRestoreMoveTheClockBetweenRoadsWithTheSamePixels)
{
    PinnedClock clock(70000);
    LcdDialog dialog;
    dialog.open(CRect(0, 0, 500, 500), true);
    ThreadLcd* lcd = dialog.addRenderer<ThreadLcd>(CRect(0, 0, 480, 480));
    lcd->SetLEDScreenType(LEDScreenSquare);
    lcd->SetColockType(3); // hours and minutes: the seconds the polls add change nothing
    lcd->SetLEDMode(LEDModeClock);
    lcd->AddMTimer();
    dialog.SetMTimer(5);
    std::vector<BYTE> frames[3];
    const std::pair<WPARAM, bool> steps[] = { { 0, true }, { SC_MINIMIZE, false }, { SC_RESTORE, true } };
    for (size_t s = 0; s < std::size(steps); ++s) {
        if (steps[s].first)
            ::PostMessage(dialog.GetSafeHwnd(), WM_SYSCOMMAND, steps[s].first, 0);
        // Two frames of the road: the first is published when the second begins. The pinned
        // clock moves about as fast as the real one, a period every 15 polls.
        for (int frame = 0; frame < 2; ++frame) {
            lcd->drawer = 0;
            EXPECT_TRUE(pollUntil([&] {
                pumpMessages();
                TimeSource::Advance(2);
                return lcd->drawer != 0 && (lcd->drawer == ::GetCurrentThreadId()) == steps[s].second;
            }, 5000)) << "step " << s;
        }
        frames[s] = pullFrame(*lcd);
    }
    EXPECT_TRUE(decodeFrame(frames[0]).complete() && frames[0] == frames[1] && frames[1] == frames[2]);
    dialog.GetPaintManager()->KillMTimer();
    dialog.DestroyWindow();
}

// A rotation near INT_MAX is the same turn as its remainder by 360: the circular screen's
// quarter added to it does not overflow.
TEST(LEDModeCtrlTick, RotationNearIntMaxTurnsAsItsRemainderWithoutOverflow)
{
    PinnedClock clock(40000);
    std::vector<BYTE> frames[2];
    for (const int degrees : { INT_MAX, INT_MAX % 360 }) {
        OpenLcd lcd(nullptr, 1, CRect(0, 0, 480, 480), 1, 1);
        lcd.SetLEDMode(LEDModeSystemInfo);
        lcd.SetRotate(degrees);
        tickFrame(lcd);
        frames[degrees == INT_MAX ? 0 : 1] = pullFrame(lcd);
    }
    EXPECT_TRUE(decodeFrame(frames[0]).complete());
    EXPECT_EQ(frames[0], frames[1]);
}

// The strip image of SetImage belongs to its renderer: a copy does not point into it, and an
// assignment keeps the target's own.
TEST(LEDModeCtrlCopies, ACopyNeverPointsIntoItsSourcesStripImage)
{
    const ScratchGif strip(GetSkinPath(), L"lcd-copy-strip.gif", 40, 20, { 0xFFFF0000 });
    ASSERT_TRUE(strip.written());
    OpenLcd source(nullptr, 1, CRect(0, 0, 480, 480), 1, 1);
    ASSERT_EQ(1, source.SetImage(L"lcd-copy-strip.gif", 2));
    ASSERT_NE(nullptr, source.GetImage());
    OpenLcd copy(source);
    EXPECT_EQ(nullptr, copy.GetImage());
    OpenLcd target(nullptr, 2, CRect(0, 0, 480, 480), 1, 1);
    target = source;
    EXPECT_EQ(nullptr, target.GetImage());
    ASSERT_EQ(1, target.SetImage(L"lcd-copy-strip.gif", 2));
    Gdiplus::Image* const own = target.GetImage();
    target = source;
    EXPECT_EQ(own, target.GetImage());
    EXPECT_NE(source.GetImage(), own);
}

// Which frames the device gets while the window's thread does a long job: the control shows,
// so its frames come from the paint, but a paint that does not come for a few periods is
// taken over by the tick. Each drawn frame has a colour of its own.
class CountingLcd : public OpenLcd {
public:
    using OpenLcd::OpenLcd;
    std::atomic<int> drawn { 0 };

protected:
    void DrawLEDMode(Gdiplus::Graphics& g, int&, int&, HDC&) override
    {
        const int n = ++drawn;
        Gdiplus::SolidBrush brush(Gdiplus::Color(255, BYTE(n * 40), BYTE(n * 90), BYTE(n * 20)));
        g.FillRectangle(&brush, 0, 0, 480, 480);
    }
};

TEST(LEDModeCtrlLive, GuiThreadBlockedForTwoSecondsNeverStopsTheFrames)
{
    constexpr DWORD kBlockMs = 2000;
    LcdDialog dialog;
    dialog.open(CRect(0, 0, 500, 500), true);
    CountingLcd* lcd = dialog.addRenderer<CountingLcd>(CRect(0, 0, 480, 480));
    lcd->SetLEDScreenType(LEDScreenSquare);
    lcd->SetLEDMode(LEDModeSystemInfo);
    lcd->AddMTimer();
    dialog.SetMTimer(5);
    ASSERT_TRUE(pumpUntil([&] { return lcd->drawn > 5; }, 5000));
    std::atomic<bool> blocked { true };
    std::vector<double> arrivals;
    std::thread host([&] {
        std::vector<BYTE> buffer(kLargestCapacity), last;
        for (int length = 0; blocked;) {
            if (lcd->GetLEDData(buffer.data(), length)
                && !std::equal(buffer.begin(), buffer.begin() + length, last.begin(), last.end())) {
                last.assign(buffer.begin(), buffer.begin() + length);
                arrivals.push_back(performanceMs());
            }
            ::Sleep(1);
        }
    });
    const double start = performanceMs();
    ::Sleep(kBlockMs); // the GUI thread's long job: no message is handled
    const double end = performanceMs();
    blocked = false;
    host.join();
    dialog.GetPaintManager()->KillMTimer();
    // Frames that waited on the GUI thread stop for the whole block: the longest gap, counted
    // from the block's start and to its end, would be near all of it. A crowded machine only
    // spaces them out, by a few scheduler slices.
    std::vector<double> edges { start };
    edges.insert(edges.end(), arrivals.begin(), arrivals.end());
    edges.push_back(end);
    double longestGap = 0;
    for (size_t i = 1; i < edges.size(); ++i)
        longestGap = std::max(longestGap, edges[i] - edges[i - 1]);
    EXPECT_LT(longestGap, kBlockMs / 2.0) << arrivals.size() << " frames";
    dialog.DestroyWindow();
}

// The quarter turns the encoder makes as it reads give the very file of a turned copy.
TEST(LEDModeCtrlEncode, QuarterTurnsMadeAsTheEncoderReadsGiveTheFileOfATurnedCopy)
{
    cv::Mat picture(480, 640, CV_8UC4);
    cv::randu(picture, cv::Scalar::all(0), cv::Scalar::all(256));
    const cv::RotateFlags turns[] = { cv::ROTATE_90_CLOCKWISE, cv::ROTATE_180, cv::ROTATE_90_COUNTERCLOCKWISE };
    LcdJpegEncoder copied(kLargestCapacity), turned(kLargestCapacity);
    for (int quarters = 0; quarters < 4; ++quarters) {
        cv::Mat copy;
        if (quarters)
            cv::rotate(picture, copy, turns[quarters - 1]);
        else
            copy = picture;
        const int size = copied.Encode(copy.data, copy.cols, copy.rows, static_cast<int>(copy.step), 90);
        ASSERT_GT(size, 0);
        ASSERT_EQ(size, turned.EncodeTurned(picture.data, picture.cols, picture.rows, static_cast<int>(picture.step), quarters, 90));
        EXPECT_TRUE(std::equal(copied.Data(), copied.Data() + size, turned.Data())) << quarters;
    }
}

// What the hidden render says it gave the encoder is what it encoded: the bare encode of those
// pixels, the benches' floor, is the published file, for every screen and turn.
TEST_F(LEDModeCtrlRoads, TheHiddenFramesPixelsEncodeToThePublishedFile)
{
    struct Case { int type, rotation, width, height; };
    const Case cases[] = { { LEDScreenCircle, 0, 480, 480 }, { LEDScreenSquare, 180, 480, 480 },
                           { LEDScreenSquare, 270, 480, 480 }, { LEDScreenSquare, 45, 678, 678 } };
    LcdJpegEncoder bare(kLargestCapacity);
    for (const Case& c : cases) {
        SCOPED_TRACE(&c - cases);
        lcd->SetLEDScreenType(c.type);
        lcd->SetRotate(c.rotation);
        lcd->DrawHideControl();
        std::vector<BYTE> pixels;
        int width = 0, height = 0;
        lcd->HiddenFramePixels(pixels, width, height);
        ASSERT_EQ(std::make_pair(width, height), std::make_pair(c.width, c.height));
        const std::vector<BYTE> published = pullFrame(*lcd);
        const int size = bare.Encode(pixels.data(), width, height, width * 4, 60);
        ASSERT_EQ(size, static_cast<int>(published.size()));
        EXPECT_TRUE(std::equal(published.begin(), published.end(), bare.Data()));
    }
}
