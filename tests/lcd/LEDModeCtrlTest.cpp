// The LCD frame pipeline seen from the host: frames pulled with GetLEDData and decoded,
// driven by the tick with a pinned clock (hidden road) and by the window's paint (visible road).
#include <gtest/gtest.h>

#include <memory>
#include <random>

#include "LcdTestKit.h"
#include "LibraryHost.h"
#include "ScratchGif.h"

using namespace KOVA;
using namespace KOVA::test;

namespace {

const auto* const host = ::testing::AddGlobalTestEnvironment(new LibraryHost);

constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr DWORD kRgbRed = 0xFF0000;
constexpr DWORD kRgbBlue = 0x0000FF;

class PinnedClock {
public:
    explicit PinnedClock(DWORD start)
    {
        SYSTEMTIME noon { 2026, 3, 0, 14, 12, 0, 0, 0 };
        TimeSource::Pin(start, noon);
    }
    ~PinnedClock() { TimeSource::Unpin(); }
};

CString scratchFolder()
{
    wchar_t temp[MAX_PATH] {};
    GetTempPathW(MAX_PATH, temp);
    return CString(temp) + L"kova-lcd-pipeline\\";
}

// A due tick now: the clock moves on by more than any period first.
void tickFrame(LEDModeCtrl& lcd)
{
    TimeSource::Advance(1000);
    lcd.OnControlTimer();
}

} // namespace

TEST(LEDModeCtrlPull, NothingBeforeTheFirstFrameThenTheSameFrameUntilTheScreenTypeChanges)
{
    PinnedClock clock(50000);
    OpenLcd lcd(nullptr, 1, CRect(0, 0, 480, 480), 1, 1);
    std::vector<BYTE> buffer(kLargestCapacity + 16, 0xAB);
    int length = -1;
    EXPECT_FALSE(lcd.GetLEDData(buffer.data(), length));
    EXPECT_EQ(length, 0);
    // The capacity of screen type 1 is cleared, nothing past it.
    EXPECT_EQ(std::count(buffer.begin(), buffer.begin() + 921600, 0), 921600);
    EXPECT_EQ(buffer[921600], 0xAB);
    length = -1;
    EXPECT_FALSE(lcd.GetLEDData(nullptr, length));
    EXPECT_EQ(length, 0);

    tickFrame(lcd);
    const std::vector<BYTE> first = pullFrame(lcd);
    ASSERT_FALSE(first.empty());
    EXPECT_TRUE(decodeFrame(first).complete);
    EXPECT_EQ(pullFrame(lcd), first);

    struct Step {
        int type;
        int clearedBytes;
    };
    for (const Step step : { Step { 2, 1228800 }, Step { 3, 921600 }, Step { 7, 1228800 } }) {
        SCOPED_TRACE(step.type);
        lcd.SetLEDScreenType(step.type);
        std::fill(buffer.begin(), buffer.end(), 0xAB);
        EXPECT_FALSE(lcd.GetLEDData(buffer.data(), length));
        EXPECT_EQ(length, 0);
        EXPECT_EQ(std::count(buffer.begin(), buffer.end(), 0), step.clearedBytes);
        tickFrame(lcd);
        EXPECT_TRUE(lcd.GetLEDData(buffer.data(), length));
        EXPECT_GT(length, 0);
    }
}

TEST(LEDModeCtrlPull, AFrameLargerThanTheBuffersIsDroppedWhole)
{
    PinnedClock clock(70000);
    OpenLcd lcd(nullptr, 1, CRect(0, 0, 480, 480), 1, 1);
    lcd.SetLEDScreenType(LEDScreenSquare);
    tickFrame(lcd);
    const std::vector<BYTE> black = pullFrame(lcd);
    ASSERT_FALSE(black.empty());

    // Noise whose file is larger than the square screen's 921,600 bytes and still fits the
    // largest buffer, so that only the publishing can refuse it.
    LcdJpegEncoder probe(kLargestCapacity);
    std::vector<DWORD> noise;
    int side = 0;
    for (int candidate = 400; candidate <= 1400 && !side; candidate += 20) {
        noise.assign(static_cast<size_t>(candidate) * candidate, 0);
        std::mt19937 random(99);
        for (DWORD& pixel : noise)
            pixel = 0xFF000000 | (random() & 0xFFFFFF);
        const int size = probe.Encode(reinterpret_cast<const BYTE*>(noise.data()), candidate, candidate, candidate * 4, 60);
        if (size > 921600)
            side = candidate;
    }
    ASSERT_GT(side, 0);
    auto* picture = new Gdiplus::Bitmap(side, side, side * 4, PixelFormat32bppARGB, reinterpret_cast<BYTE*>(noise.data()));
    lcd.SetControlRect(CRect(0, 0, side, side));
    lcd.SetLEDMode(LEDModeFile);
    lcd.giveMedia(picture->Clone(0, 0, side, side, PixelFormat32bppARGB), 1);
    delete picture;
    tickFrame(lcd);
    std::vector<BYTE> buffer(kLargestCapacity + 64, 0xAB);
    int length = 0;
    ASSERT_TRUE(lcd.GetLEDData(buffer.data(), length));
    EXPECT_EQ(std::vector<BYTE>(buffer.begin(), buffer.begin() + length), black);
    EXPECT_EQ(std::count(buffer.begin() + 921600, buffer.end(), 0xAB), kLargestCapacity + 64 - 921600);
}

TEST(LEDModeCtrlTick, TheFrameClockCountsWholePeriodsAndKeepsItsPhase)
{
    const ScratchGif gif(scratchFolder(), L"ten.gif", 48, 48,
                         { 0xFF000000, 0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFF00, 0xFF00FFFF, 0xFFFF00FF,
                           0xFFFFFFFF, 0xFF800000, 0xFF008000 });
    ASSERT_TRUE(gif.written());
    PinnedClock clock(30000);
    OpenLcd lcd(nullptr, 1, CRect(0, 0, 480, 480), 1, 1);
    lcd.SetLEDMode(LEDModeFile);
    lcd.giveMedia(Gdiplus::Image::FromFile(gif.path()), 10);

    lcd.OnControlTimer(); // the first tick is due at once
    EXPECT_EQ(lcd.lastFrameTime(), 30000u);
    struct Step {
        DWORD advance;
        int result;
        DWORD lastFrameTime;
        int frameIndex;
    };
    const Step steps[] = {
        { 95, 0, 30090, 3 },  // three whole periods; 5 ms carried into the next
        { 24, 1, 30090, 3 },  // 29 ms into the period: not due
        { 1, 0, 30120, 4 },   // due 25 ms after the last tick, not 30
        { 30, 0, 30150, 5 },
    };
    for (const Step& step : steps) {
        TimeSource::Advance(step.advance);
        EXPECT_EQ(lcd.OnControlTimer(), step.result);
        EXPECT_EQ(lcd.lastFrameTime(), step.lastFrameTime);
        EXPECT_EQ(lcd.frameIndex(), step.frameIndex);
    }
    // Stopped, the clock stands still; running again, the missed periods count at once.
    lcd.SetRun(0);
    TimeSource::Advance(100);
    EXPECT_EQ(lcd.OnControlTimer(), 0);
    EXPECT_EQ(lcd.lastFrameTime(), 30150u);
    lcd.SetRun(1);
    EXPECT_EQ(lcd.OnControlTimer(), 0);
    EXPECT_EQ(lcd.lastFrameTime(), 30240u);
    EXPECT_EQ(lcd.frameIndex(), 8);
    // A period of 0 counts every millisecond instead of dividing by zero.
    lcd.setFramePeriod(0);
    TimeSource::Advance(7);
    EXPECT_EQ(lcd.OnControlTimer(), 0);
    EXPECT_EQ(lcd.frameIndex(), (8 + 17) % 10);
}

TEST(LEDModeCtrlFrames, TheFileScreenShowsTheCurrentFrameOfItsMedium)
{
    const ScratchGif gif(scratchFolder(), L"three.gif", 480, 480, { 0xFFFF0000, 0xFF00FF00, 0xFF0000FF });
    ASSERT_TRUE(gif.written());
    PinnedClock clock(60030); // the first tick counts 2001 periods: frame 0
    OpenLcd lcd(nullptr, 1, CRect(0, 0, 480, 480), 1, 1);
    lcd.SetLEDScreenType(LEDScreenSquare);
    lcd.SetLEDMode(LEDModeFile);
    lcd.giveMedia(Gdiplus::Image::FromFile(gif.path()), 3);
    lcd.OnControlTimer();
    for (DWORD expected : { 0x00FF00u, 0x0000FFu, 0xFF0000u }) {
        TimeSource::Advance(30);
        lcd.OnControlTimer();
        const DecodedFrame frame = decodeFrame(pullFrame(lcd));
        ASSERT_TRUE(frame.complete);
        EXPECT_TRUE(closeTo(frame.rgb(240, 240), expected)) << std::hex << frame.rgb(240, 240);
    }
}

class LEDModeCtrlRoads : public ::testing::Test {
protected:
    void SetUp() override
    {
        dialog.open(CRect(0, 0, 480, 480), true);
        lcd = dialog.addRenderer(CRect(0, 0, 480, 480));
        lcd->SetLEDMode(LEDModeWindowCapture);
    }
    void TearDown() override { dialog.DestroyWindow(); }

    std::vector<BYTE> visibleFrame()
    {
        lcd->SetUpdate(0, 0);
        dialog.GetPaintManager()->Invalidate();
        dialog.paintNow();
        return pullFrame(*lcd);
    }
    std::vector<BYTE> hiddenFrame()
    {
        lcd->DrawHideControl();
        return pullFrame(*lcd);
    }

    PinnedClock clock { 90000 };
    LcdDialog dialog;
    OpenLcd* lcd { nullptr };
};

TEST_F(LEDModeCtrlRoads, RotationAndTheCircularTurnGiveTheSameFrameOnBothRoads)
{
    ColourWindow source(480, 480, kRed, kBlue);
    lcd->SetCaptureWindow(source.hwnd());
    // Text too, so that both roads must also draw text alike.
    lcd->AddCarousel(HardwareMemoryLoad);
    struct Point {
        int x;
        int y;
        DWORD rgb;
    };
    struct Case {
        int screenType;
        int rotation;
        int size;
        std::vector<Point> points;
    };
    const Case cases[] = {
        { LEDScreenSquare, 0, 480, { { 100, 240, kRgbRed }, { 380, 240, kRgbBlue } } },
        { LEDScreenSquare, 90, 480, { { 240, 100, kRgbRed }, { 240, 380, kRgbBlue } } },
        { LEDScreenSquare, 180, 480, { { 100, 240, kRgbBlue }, { 380, 240, kRgbRed } } },
        { LEDScreenSquare, 270, 480, { { 240, 100, kRgbBlue }, { 240, 380, kRgbRed } } },
        // The circular screen is turned a quarter more.
        { LEDScreenCircle, 0, 480, { { 240, 100, kRgbRed }, { 240, 380, kRgbBlue } } },
        { LEDScreenCircle, 90, 480, { { 100, 240, kRgbBlue }, { 380, 240, kRgbRed } } },
        // Outside the turned frame the corners are black.
        { LEDScreenSquare, 45, 678, { { 339, 150, kRgbRed }, { 339, 530, kRgbBlue }, { 8, 8, 0 }, { 669, 669, 0 } } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "type " << c.screenType << " rotation " << c.rotation);
        lcd->SetLEDScreenType(c.screenType);
        lcd->SetRotate(c.rotation);
        const std::vector<BYTE> visible = visibleFrame();
        const std::vector<BYTE> hidden = hiddenFrame();
        for (const std::vector<BYTE>* bytes : { &visible, &hidden }) {
            const DecodedFrame frame = decodeFrame(*bytes);
            ASSERT_TRUE(frame.complete);
            EXPECT_EQ(frame.width, c.size);
            EXPECT_EQ(frame.height, c.size);
            for (const Point& p : c.points)
                EXPECT_TRUE(closeTo(frame.rgb(p.x, p.y), p.rgb, 24)) << p.x << "," << p.y << " " << std::hex << frame.rgb(p.x, p.y);
        }
        if (c.screenType == LEDScreenSquare) {
            EXPECT_EQ(visible, hidden); // the whole frame is drawn the same way on both roads
        }
    }
}

TEST_F(LEDModeCtrlRoads, TheCircularScreenKeepsTheWindowInItsCornersOnlyOnTheVisibleRoad)
{
    const ScratchGif gif(scratchFolder(), L"green.gif", 200, 200, { 0xFF00FF00 });
    ASSERT_TRUE(gif.written());
    dialog.GetPaintManager()->SetBackColor(RGB(255, 0, 0), RGB(255, 0, 0));
    lcd->SetLEDMode(LEDModeFile);
    lcd->giveMedia(Gdiplus::Image::FromFile(gif.path()), 1);
    const DecodedFrame visible = decodeFrame(visibleFrame());
    const DecodedFrame hidden = decodeFrame(hiddenFrame());
    ASSERT_TRUE(visible.complete && hidden.complete);
    EXPECT_TRUE(closeTo(visible.rgb(4, 4), kRgbRed, 40)) << std::hex << visible.rgb(4, 4);
    EXPECT_TRUE(closeTo(hidden.rgb(4, 4), 0x010101, 6)) << std::hex << hidden.rgb(4, 4);
    EXPECT_TRUE(closeTo(visible.rgb(240, 240), 0x00FF00, 6)) << std::hex << visible.rgb(240, 240);
    EXPECT_TRUE(closeTo(visible.rgb(240, 120), 0x000000, 6)) << std::hex << visible.rgb(240, 120);
    // Inside the disc both roads give the same pixels.
    int differing = 0;
    for (int y = 120; y < 360; ++y)
        for (int x = 120; x < 360; ++x)
            differing += visible.rgb(x, y) != hidden.rgb(x, y);
    EXPECT_EQ(differing, 0);
}

TEST_F(LEDModeCtrlRoads, BrightnessDimsAndTheSwitchBlanksTheFrame)
{
    ColourWindow source(480, 480, kWhite, kWhite);
    lcd->SetCaptureWindow(source.hwnd());
    lcd->SetLEDScreenType(LEDScreenSquare);
    struct Case {
        int percent;
        bool on;
        float brightness;
        DWORD rgb;
    };
    const Case cases[] = {
        { 100, true, 255.0f, 0xFFFFFF },
        { 50, true, 127.0f, 0x7F7F7F }, // an overlay of alpha 128 over white
        { 0, true, 0.0f, 0x000000 },
        { 100, false, 255.0f, 0x000000 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.percent);
        lcd->SetBrightness(c.percent);
        lcd->SetLEDSwitch(c.on);
        EXPECT_EQ(lcd->brightness(), c.brightness);
        for (const std::vector<BYTE>& bytes : { visibleFrame(), hiddenFrame() }) {
            const DecodedFrame frame = decodeFrame(bytes);
            ASSERT_TRUE(frame.complete);
            EXPECT_TRUE(closeTo(frame.rgb(240, 240), c.rgb, 3)) << std::hex << frame.rgb(240, 240);
        }
    }
}

TEST_F(LEDModeCtrlRoads, MovingPicturesAreEncodedAtQuality60AndDrawnScreensAt90)
{
    struct Case {
        int mode;
        int dcQuant;
    };
    const Case cases[] = { { 0, 3 }, { 1, 13 }, { 2, 3 }, { 3, 3 }, { 4, 3 }, { 5, 13 }, { 6, 3 }, { 7, 13 }, { 9, 3 } };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mode);
        lcd->SetLEDMode(c.mode);
        EXPECT_EQ(decodeFrame(visibleFrame()).lumaDcQuant, c.dcQuant);
        EXPECT_EQ(decodeFrame(hiddenFrame()).lumaDcQuant, c.dcQuant);
    }
}

TEST(LEDModeCtrlGdi, RotateDCTurnsLaterDrawingClockwiseAndRestoreUndoesIt)
{
    OpenLcd lcd(nullptr, 1, CRect(0, 0, 100, 100), 1, 1);
    unsigned char* bits = nullptr;
    HDC screen = GetDC(nullptr);
    HBITMAP section = lcd.CreateARGB32Bitmap(screen, 100, 60, &bits);
    ReleaseDC(nullptr, screen);
    ASSERT_TRUE(section && bits);
    BITMAP info {};
    GetObjectW(section, sizeof(info), &info);
    EXPECT_EQ(info.bmWidth, 100);
    EXPECT_EQ(info.bmHeight, 60);
    EXPECT_EQ(info.bmBitsPixel, 32);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ previous = SelectObject(dc, section);
    // Top-down: the first row of bits is the top of the picture.
    RECT top { 0, 0, 100, 1 };
    MRender::FillSolidRect(dc, &top, RGB(0, 0, 255));
    GdiFlush();
    EXPECT_EQ(reinterpret_cast<DWORD*>(bits)[0] & 0xFFFFFF, 0x0000FFu);

    const int mode = lcd.RotateDC(dc, 90, POINT { 30, 30 });
    RECT bar { 40, 29, 50, 31 }; // a bar to the right of the centre lands below it
    MRender::FillSolidRect(dc, &bar, RGB(255, 0, 0));
    lcd.RestoreRotatedDC(dc, mode);
    RECT after { 80, 50, 82, 52 };
    MRender::FillSolidRect(dc, &after, RGB(0, 255, 0));
    GdiFlush();
    auto pixel = [&](int x, int y) { return reinterpret_cast<DWORD*>(bits)[y * 100 + x] & 0xFFFFFF; };
    EXPECT_EQ(pixel(30, 45), 0xFF0000u);
    EXPECT_NE(pixel(45, 30), 0xFF0000u);
    EXPECT_EQ(pixel(81, 51), 0x00FF00u);
    EXPECT_EQ(GetGraphicsMode(dc), mode);
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
    ASSERT_NE(lcd, nullptr);
    EXPECT_TRUE(lcd->IsEnabled());
    // A mode whose tick asks for a repaint: mode 0 would publish on the visible road only
    // when something else repaints it.
    lcd->SetLEDMode(LEDModeSystemInfo);
    lcd->AddMTimer();
    dialog.SetMTimer(5);

    enum class Corner { Dark, Window };
    DWORD lastCorner = 0;
    auto frameWith = [&](Corner corner) {
        return pumpUntil([&] {
            const DecodedFrame frame = decodeFrame(pullFrame(*lcd));
            if (!frame.complete)
                return false;
            lastCorner = frame.rgb(3, 3);
            return corner == Corner::Dark ? closeTo(lastCorner, 0x010101, 8) : closeTo(lastCorner, 0xFF0000, 60);
        }, 5000);
    };
    EXPECT_TRUE(frameWith(Corner::Dark)) << "hidden window: frames from the tick";
    dialog.ShowWindow(SW_SHOWNOACTIVATE);
    EXPECT_TRUE(frameWith(Corner::Window)) << "shown: frames from the paint " << std::hex << lastCorner;
    dialog.ShowWindow(SW_SHOWMINNOACTIVE);
    EXPECT_TRUE(frameWith(Corner::Dark)) << "minimised";
    dialog.ShowWindow(SW_RESTORE);
    EXPECT_TRUE(frameWith(Corner::Window)) << "restored " << std::hex << lastCorner;
    page->SetVisible(0);
    EXPECT_TRUE(frameWith(Corner::Dark)) << "its page hidden inside the window";
    page->SetVisible(1);
    EXPECT_TRUE(frameWith(Corner::Window)) << "its page shown again";
    dialog.GetPaintManager()->KillMTimer();
    dialog.DestroyWindow();
}
