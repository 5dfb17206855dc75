// The simple screens: the carousel's step, the carousel text over the file and capture
// screens, and the captured window, read back from published frames.
#include <gtest/gtest.h>

#include "LcdTestKit.h"
#include "LibraryHost.h"
#include "framework/Registry.h"

using namespace KOVA;
using namespace KOVA::test;

namespace {

const auto* const host = ::testing::AddGlobalTestEnvironment(new LibraryHost);

class PinnedClock {
public:
    explicit PinnedClock(DWORD start)
    {
        SYSTEMTIME noon { 2026, 3, 0, 14, 12, 0, 0, 0 };
        TimeSource::Pin(start, noon);
    }
    ~PinnedClock() { TimeSource::Unpin(); }
};

void tickFrame(LEDModeCtrl& lcd, DWORD advance = 30)
{
    TimeSource::Advance(advance);
    lcd.OnControlTimer();
}

// Pixels of the frame inside the area that are brighter than the dark background.
int inkIn(const DecodedFrame& frame, const RECT& area)
{
    int ink = 0;
    for (int y = std::max(0L, area.top); y < std::min<LONG>(frame.height, area.bottom); ++y)
        for (int x = std::max(0L, area.left); x < std::min<LONG>(frame.width, area.right); ++x)
            ink += (frame.rgb(x, y) & 0xFF) > 128;
    return ink;
}

class LcdScreens : public ::testing::Test {
protected:
    void SetUp() override
    {
        CString ensureKey;
        ReadRegString(ensureKey, L"led_capwnd_scale");
        WriteRegString(L"led_capwnd_scale", L"");
        WriteRegString(L"led_image_scale", L"");
        dialog.open(CRect(0, 0, 480, 480), false);
        lcd = dialog.addRenderer(CRect(0, 0, 480, 480));
        lcd->SetLEDScreenType(LEDScreenSquare);
        lcd->ResetLED();
    }
    void TearDown() override { dialog.DestroyWindow(); }

    PinnedClock clock { 100000 };
    LcdDialog dialog;
    OpenLcd* lcd { nullptr };
};

} // namespace

TEST_F(LcdScreens, TheCarouselShowsTheNextItemOnEveryFrame)
{
    for (UINT item : { 1u, 4u, 10u })
        lcd->AddCarousel(item);
    lcd->SetLEDMode(LEDModeCarousel);
    for (int expected : { 1, 2, 0, 1, 2 }) {
        tickFrame(*lcd);
        EXPECT_EQ(lcd->carouselIndex(), expected);
    }
    lcd->ClearCarousel();
    lcd->AddCarousel(7);
    for (int frame = 0; frame < 3; ++frame) {
        tickFrame(*lcd);
        EXPECT_EQ(lcd->carouselIndex(), 0);
    }
}

TEST_F(LcdScreens, TheCarouselTextStepsEveryTwoSecondsOverTheFileAndCaptureScreens)
{
    for (int mode : { LEDModeFile, LEDModeWindowCapture }) {
        SCOPED_TRACE(mode);
        lcd->ClearCarousel();
        lcd->AddCarousel(2);
        lcd->AddCarousel(5);
        lcd->SetLEDMode(mode);
        TimeSource::Advance(2001);
        struct Step {
            DWORD advance;
            int index;
        };
        // Long enough since the last step: the first frame already shows the second item.
        for (const Step step : { Step { 30, 1 }, Step { 1000, 1 }, Step { 970, 1 }, Step { 30, 1 }, Step { 30, 0 }, Step { 2001, 1 } }) {
            tickFrame(*lcd, step.advance);
            EXPECT_EQ(lcd->carouselIndex(), step.index);
        }
    }
}

TEST_F(LcdScreens, TheCarouselTextIsDrawnAtItsPlaceAndLaidOutByItsLabelOrMemoryValue)
{
    lcd->SetLEDMode(LEDModeWindowCapture);
    tickFrame(*lcd);
    const RECT around { 140, 330, 340, 480 };
    EXPECT_EQ(inkIn(decodeFrame(pullFrame(*lcd)), around), 0);

    HARDWARE_INFO info;
    info.cpuLoad = 42.0f;
    info.memoryUsed = 1234.5f;
    info.memoryFree = 9999.0f;
    lcd->SetHardWareInfo(info);
    lcd->AddCarousel(HardwareCpuLoad);
    tickFrame(*lcd, 3000);
    EXPECT_GT(inkIn(decodeFrame(pullFrame(*lcd)), around), 200);
    const RECT load = lcd->carouselRect();
    // Centred on the position (240, 430) with margins of 20 left and 50 right.
    EXPECT_NEAR((load.left + 20 + load.right - 50) / 2.0, 240, 1);
    EXPECT_NEAR((load.top + 20 + load.bottom - 20) / 2.0, 430, 1);

    lcd->ClearCarousel();
    lcd->AddCarousel(HardwareMemoryCapacity);
    tickFrame(*lcd, 3000);
    const RECT memory = lcd->carouselRect();
    // "1234.5 GB / 11233.5 GB" is far wider than the label "Memory Capacity".
    EXPECT_GT(memory.right - memory.left, (load.right - load.left) + 100);
}

TEST_F(LcdScreens, TheCaptureScreenCopiesTheWindowAtItsScaleOrLeavesTheBlackBase)
{
    lcd->SetLEDMode(LEDModeWindowCapture);
    tickFrame(*lcd);
    EXPECT_TRUE(closeTo(decodeFrame(pullFrame(*lcd)).rgb(240, 240), 0x000000, 4)) << "no window";

    {
        ColourWindow tiny(40, 40, RGB(255, 255, 255), RGB(255, 255, 255));
        lcd->SetCaptureWindow(tiny.hwnd());
        tickFrame(*lcd);
        EXPECT_TRUE(closeTo(decodeFrame(pullFrame(*lcd)).rgb(10, 10), 0x000000, 4)) << "a window of 50 pixels or less";
    }
    tickFrame(*lcd);
    EXPECT_TRUE(closeTo(decodeFrame(pullFrame(*lcd)).rgb(240, 240), 0x000000, 4)) << "a window that is gone";

    ColourWindow wide(960, 960, RGB(255, 0, 0), RGB(0, 0, 255), 0);
    lcd->SetCaptureWindow(wide.hwnd());
    EXPECT_EQ(lcd->capturePan(), CPoint(240, 240)); // the window's middle under the screen's
    tickFrame(*lcd);
    DecodedFrame frame = decodeFrame(pullFrame(*lcd));
    EXPECT_TRUE(closeTo(frame.rgb(200, 240), 0xFF0000, 24));
    EXPECT_TRUE(closeTo(frame.rgb(280, 240), 0x0000FF, 24));
    // Five notches toward the user: scale 2, a 960-pixel region from the same corner.
    for (int notch = 0; notch < 5; ++notch)
        lcd->OnControlScroll(120, 1, CPoint(100, 100));
    EXPECT_FLOAT_EQ(lcd->captureScale(), 2.0f);
    tickFrame(*lcd);
    frame = decodeFrame(pullFrame(*lcd));
    EXPECT_TRUE(closeTo(frame.rgb(100, 240), 0xFF0000, 24));
    EXPECT_TRUE(closeTo(frame.rgb(140, 240), 0x0000FF, 24));
}

TEST_F(LcdScreens, ModesWithoutAScreenHereLeaveTheBlackBase)
{
    for (int mode : { 0, 2, 3, 6, 7, 8, -1 }) {
        SCOPED_TRACE(mode);
        lcd->SetLEDMode(mode);
        lcd->SetSensorType(17);
        tickFrame(*lcd);
        const DecodedFrame frame = decodeFrame(pullFrame(*lcd));
        ASSERT_TRUE(frame.complete);
        EXPECT_EQ(inkIn(frame, RECT { 0, 0, 480, 480 }), 0);
    }
}
