// The simple screens: the carousel's step, the carousel text over the file and capture
// screens, and the captured window, read back from published frames.
#include "LcdTestKit.h"

using namespace KOVA;
using namespace KOVA::test;

namespace {

const auto* const host = ::testing::AddGlobalTestEnvironment(new LibraryHost);

class LcdScreens : public ::testing::Test {
protected:
    void SetUp() override
    {
        dialog.open(CRect(0, 0, 480, 480), false);
        lcd = dialog.addRenderer(CRect(0, 0, 480, 480));
        lcd->SetLEDScreenType(LEDScreenSquare);
        lcd->ResetLED();
    }
    void TearDown() override { dialog.DestroyWindow(); }

    DecodedFrame frameAfter(DWORD advance = 30)
    {
        TimeSource::Advance(advance);
        lcd->OnControlTimer();
        return decodeFrame(pullFrame(*lcd));
    }

    PinnedClock clock { 100000 };
    LcdDialog dialog;
    OpenLcd* lcd { nullptr };
};

} // namespace

TEST_F(LcdScreens, TheCarouselShowsTheNextItemOfItsListOnEveryFrame)
{
    // In the order added, without duplicates.
    for (UINT item : { 1u, 4u, 4u, 9u, 10u })
        lcd->AddCarousel(item);
    lcd->DeleteCarousel(9);
    EXPECT_EQ(lcd->GetCarousel(), 1u << 1 | 1u << 4 | 1u << 10);
    lcd->SetLEDMode(LEDModeCarousel);
    for (int expected : { 1, 2, 0, 1, 2 }) {
        frameAfter();
        EXPECT_EQ(lcd->carouselIndex(), expected);
    }
    lcd->ClearCarousel();
    lcd->AddCarousel(7);
    for (int frame = 0; frame < 3; ++frame) {
        frameAfter();
        EXPECT_EQ(lcd->carouselIndex(), 0);
    }
}

TEST_F(LcdScreens, TheCarouselTextStepsEveryTwoSecondsOverTheFileAndCaptureScreens)
{
    lcd->AddCarousel(2);
    lcd->AddCarousel(5);
    for (int mode : { LEDModeFile, LEDModeWindowCapture }) {
        SCOPED_TRACE(mode);
        lcd->SetLEDMode(mode);
        TimeSource::Advance(2001);
        // Long enough since the last step: the first frame already shows the second item.
        for (const auto& [advance, index] : { std::pair(30u, 1), std::pair(1000u, 1), std::pair(970u, 1),
                                              std::pair(30u, 1), std::pair(30u, 0), std::pair(2001u, 1) }) {
            frameAfter(advance);
            EXPECT_EQ(lcd->carouselIndex(), index);
        }
    }
}

TEST_F(LcdScreens, TheCarouselTextIsDrawnAtItsPlaceAndLaidOutByItsLabelOrMemoryValue)
{
    lcd->SetLEDMode(LEDModeWindowCapture);
    const cv::Rect around(140, 330, 200, 150);
    EXPECT_LT(frameAfter().brightest(around), 16);
    HARDWARE_INFO info;
    info.cpuLoad = 42.0f;
    info.memoryUsed = 1234.5f;
    info.memoryFree = 9999.0f;
    lcd->SetHardWareInfo(info);
    lcd->AddCarousel(HardwareCpuLoad);
    EXPECT_GT(frameAfter(3000).brightest(around), 128);
    const RECT load = lcd->carouselRect();
    // Centred on the position (240, 430) with margins of 20 left and 50 right.
    EXPECT_NEAR((load.left + 20 + load.right - 50) / 2.0, 240, 1);
    EXPECT_NEAR((load.top + 20 + load.bottom - 20) / 2.0, 430, 1);
    // Twice the layer width, twice the text.
    lcd->SetLayerFontWidth(100);
    frameAfter();
    EXPECT_NEAR(lcd->carouselRect().right - lcd->carouselRect().left - 70, 2 * (load.right - load.left - 70), 8);
    lcd->SetLayerFontWidth(50);

    lcd->ClearCarousel();
    lcd->AddCarousel(HardwareMemoryCapacity);
    frameAfter(3000);
    const RECT memory = lcd->carouselRect();
    // "1234.5 GB / 11233.5 GB" is far wider than the label "Memory Capacity".
    EXPECT_GT(memory.right - memory.left, (load.right - load.left) + 100);
}

TEST_F(LcdScreens, TheCaptureScreenCopiesTheWindowAtItsScaleOrLeavesTheBlackBase)
{
    lcd->SetLEDMode(LEDModeWindowCapture);
    EXPECT_LT(frameAfter().brightest(), 8) << "no window";
    {
        ColourWindow tiny(40, 40, RGB(255, 255, 255), RGB(255, 255, 255));
        lcd->SetCaptureWindow(tiny.hwnd());
        EXPECT_LT(frameAfter().brightest(), 8) << "a window of 50 pixels or less";
    }
    EXPECT_LT(frameAfter().brightest(), 8) << "a window that is gone";

    ColourWindow wide(960, 960, RGB(255, 0, 0), RGB(0, 0, 255), 0);
    lcd->SetCaptureWindow(wide.hwnd());
    EXPECT_EQ(lcd->capturePan(), CPoint(240, 240)); // the window's middle under the screen's
    DecodedFrame frame = frameAfter();
    EXPECT_TRUE(nearColor(frame.rgb(200, 240), 0xFF0000, 24) && nearColor(frame.rgb(280, 240), 0x0000FF, 24));
    // Five notches toward the user: scale 2, a 960-pixel region from the same corner.
    for (int notch = 0; notch < 5; ++notch)
        lcd->OnControlScroll(120, 1, CPoint(100, 100));
    frame = frameAfter();
    EXPECT_TRUE(nearColor(frame.rgb(100, 240), 0xFF0000, 24) && nearColor(frame.rgb(140, 240), 0x0000FF, 24));
}
