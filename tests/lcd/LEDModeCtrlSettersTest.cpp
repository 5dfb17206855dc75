// What the host sets on the LCD renderer, what the preview's pointer does, and what both keep
// in the registry.
#include <gtest/gtest.h>

#include <functional>

#include "LcdTestKit.h"
#include "LibraryHost.h"
#include "RecordingControl.h"
#include "ScratchStrip.h"
#include "framework/AppPaths.h"
#include "framework/Registry.h"

using namespace KOVA;
using namespace KOVA::test;

namespace {

const auto* const host = ::testing::AddGlobalTestEnvironment(new LibraryHost);

CString setting(const wchar_t* name)
{
    CString text;
    ReadRegString(text, name);
    return text;
}

const wchar_t* const kStoredSettings[] = { L"led_car_ptText_x", L"led_car_ptText_y", L"led_image_scale",
                                           L"led_capwnd_scale", L"led_car_font_color" };

// Every test starts from the defaults a first run sees, and leaves them behind.
class LcdSettings : public ::testing::Test {
protected:
    void SetUp() override { clear(); }
    void TearDown() override { clear(); }
    static void clear()
    {
        CString ensureKey;
        ReadRegString(ensureKey, L"led_image_scale");
        for (const wchar_t* name : kStoredSettings)
            WriteRegString(name, L"");
    }
};

} // namespace

TEST_F(LcdSettings, SettersThatChangeTheFrameAskForARepaintWhileVisible)
{
    RecordingParent parent;
    OpenLcd lcd(&parent, 5, CRect(0, 0, 480, 480), 1, 1);
    struct Case {
        const char* name;
        std::function<void()> call;
        bool repaints;
    };
    const Case cases[] = {
        { "SetLEDScreenType", [&] { lcd.SetLEDScreenType(3); }, true },
        { "SetLEDMode", [&] { lcd.SetLEDMode(2); }, true },
        { "SetHardWareInfo", [&] { lcd.SetHardWareInfo(HARDWARE_INFO {}); }, false },
        { "SetHardWareType", [&] { lcd.SetHardWareType(4); }, true },
        { "SetSensorType", [&] { lcd.SetSensorType(21); }, true },
        { "SetColockType", [&] { lcd.SetColockType(3); }, false },
        { "SetRun", [&] { lcd.SetRun(1); }, true },
        { "SetLEDSwitch", [&] { lcd.SetLEDSwitch(true); }, true },
        { "SetBrightness", [&] { lcd.SetBrightness(80); }, true },
        { "SetSpeed", [&] { lcd.SetSpeed(5); }, true },
        { "SetRotate", [&] { lcd.SetRotate(90); }, true },
        { "ResetLED", [&] { lcd.ResetLED(); }, true },
        { "SetCaptureWindow", [&] { lcd.SetCaptureWindow(nullptr); }, true },
        { "SetBKImage", [&] { lcd.SetBKImage(L"no-such-background.png"); }, true },
        { "SetImage", [&] { lcd.SetImage(L"no-such-strip.png", 2); }, true },
        { "SetIcon1Image", [&] { lcd.SetIcon1Image(L"no-such-icon.png"); }, true },
        { "SetIcon3Image", [&] { lcd.SetIcon3Image(L"no-such-icon.png"); }, true },
        { "SetCPUScaleImage", [&] { lcd.SetCPUScaleImage(L"a.png", L"b.png"); }, true },
        { "SetGPUScaleImage", [&] { lcd.SetGPUScaleImage(L"a.png", L"b.png"); }, false },
        { "SetMemoryScaleImage", [&] { lcd.SetMemoryScaleImage(L"a.png", L"b.png"); }, false },
        { "SetCircleImage", [&] { lcd.SetCircleImage(L"a.png"); }, false },
        { "SetHMSImage", [&] { lcd.SetHMSImage(L"h.png", L"m.png", L"s.png"); }, false },
        { "SetColor", [&] { lcd.SetColor(0xFF000000, 0xFFFFFFFF, 0xFF00FF00, 0xFFFF0000); }, true },
        { "SetTitleColor", [&] { lcd.SetTitleColor(RGB(1, 2, 3)); }, true },
        { "SetWeatherColor", [&] { lcd.SetWeatherColor(0, 0, 0, 0, 0, 0); }, true },
        { "SetWeatherValue", [&] { lcd.SetWeatherValue(L"a", L"b", L"c", L"d", L"e", L"f", L"g"); }, false },
        { "SetCarFontColor", [&] { lcd.SetCarFontColor(0xFFFFFFFF); }, false },
        { "SetLayerFontWidth", [&] { lcd.SetLayerFontWidth(50); }, true },
        { "AddCarousel", [&] { lcd.AddCarousel(3); }, false },
        { "DeleteCarousel of an absent item", [&] { lcd.DeleteCarousel(9); }, false },
        { "DeleteCarousel", [&] { lcd.DeleteCarousel(3); }, true },
        { "ClearCarousel", [&] { lcd.ClearCarousel(); }, false },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        parent.updates.clear();
        c.call();
        ASSERT_EQ(parent.updates.size(), c.repaints ? 1u : 0u);
        if (c.repaints) {
            EXPECT_EQ(parent.updates[0].control, &lcd);
            EXPECT_EQ(parent.updates[0].flag, 1);
            EXPECT_EQ(parent.updates[0].rect, CRect(0, 0, 480, 480));
        }
    }
    lcd.SetVisible(0, 0);
    parent.updates.clear();
    lcd.SetLEDMode(3);
    EXPECT_TRUE(parent.updates.empty());
}

TEST_F(LcdSettings, StoredPositionScalesAndColourAreReadAtConstructionAndResetToDefaults)
{
    {
        // A first run: the default position once the rectangle is known, scales 1, white.
        OpenLcd unsized(nullptr, 1, CRect(), 1, 1);
        EXPECT_EQ(unsized.carouselPosition(), CPoint(0, 0));
        unsized.SetControlRect(CRect(100, 50, 580, 530));
        EXPECT_EQ(unsized.carouselPosition(), CPoint(340, 480));
        OpenLcd lcd(nullptr, 1, CRect(0, 0, 480, 480), 1, 1);
        EXPECT_EQ(lcd.carouselPosition(), CPoint(240, 430));
        EXPECT_EQ(lcd.imageScale(), 1.0f);
        EXPECT_EQ(lcd.captureScale(), 1.0f);
        EXPECT_EQ(lcd.carouselColour().GetValue(), 0xFFFFFFFFu);
        // Half-transparent red is kept as given, stored without its alpha.
        lcd.SetCarFontColor(Gdiplus::Color(128, 255, 0, 0));
        EXPECT_EQ(lcd.carouselColour().GetValue(), 0x80FF0000u);
        EXPECT_STREQ(setting(L"led_car_font_color"), L"255");
    }
    WriteRegString(L"led_car_ptText_x", L"77");
    WriteRegString(L"led_car_ptText_y", L"66");
    WriteRegString(L"led_image_scale", L"2.500000");
    WriteRegString(L"led_capwnd_scale", L"-3");
    OpenLcd lcd(nullptr, 1, CRect(0, 0, 10, 10), 1, 1);
    lcd.SetControlRect(CRect(0, 0, 480, 480));
    EXPECT_EQ(lcd.carouselPosition(), CPoint(77, 66));
    EXPECT_EQ(lcd.imageScale(), 2.5f);
    EXPECT_EQ(lcd.captureScale(), 1.0f);
    EXPECT_EQ(lcd.carouselColour().GetValue(), 0xFFFF0000u);

    lcd.ResetLED();
    EXPECT_EQ(lcd.carouselPosition(), CPoint(240, 430));
    EXPECT_EQ(lcd.imageScale(), 1.0f);
    EXPECT_EQ(lcd.carouselColour().GetValue(), 0xFFFFFFFFu);
    const struct {
        const wchar_t* name;
        const wchar_t* text;
    } stored[] = { { L"led_image_scale", L"1.0" },  { L"led_capwnd_scale", L"1.0" },
                   { L"led_car_ptText_x", L"0" },   { L"led_car_ptText_y", L"0" },
                   { L"led_car_font_color", L"16777215" } };
    for (const auto& value : stored)
        EXPECT_STREQ(setting(value.name), value.text);
}

TEST_F(LcdSettings, TheWheelZoomsTheCaptureInStepsAndResetsTheImageScale)
{
    OpenLcd lcd(nullptr, 1, CRect(0, 0, 480, 480), 1, 1);
    lcd.SetLEDMode(LEDModeWindowCapture);
    for (int notch = 0; notch < 3; ++notch)
        lcd.OnControlScroll(120, 1, CPoint(10, 10));
    EXPECT_FLOAT_EQ(lcd.captureScale(), 1.6f);
    for (int notch = 0; notch < 30; ++notch)
        lcd.OnControlScroll(120, 1, CPoint(10, 10));
    EXPECT_EQ(lcd.captureScale(), 5.0f);
    EXPECT_STREQ(setting(L"led_capwnd_scale"), L"5.000000");
    for (int notch = 0; notch < 40; ++notch)
        lcd.OnControlScroll(120, 0, CPoint(10, 10));
    EXPECT_EQ(lcd.captureScale(), 0.2f);
    EXPECT_STREQ(setting(L"led_capwnd_scale"), L"0.200000");

    WriteRegString(L"led_image_scale", L"3");
    OpenLcd file(nullptr, 1, CRect(0, 0, 480, 480), 1, 1);
    file.SetLEDMode(LEDModeFile);
    for (UINT down : { 1u, 0u }) {
        WriteRegString(L"led_image_scale", L"");
        EXPECT_EQ(file.OnControlScroll(120, down, CPoint(0, 0)), 1);
        EXPECT_EQ(file.imageScale(), 1.0f);
        EXPECT_STREQ(setting(L"led_image_scale"), L"1.000000");
    }
}

TEST_F(LcdSettings, DraggingMovesTheCarouselTextInsideTheScreenAndPanningMovesTheCapture)
{
    LcdDialog dialog;
    dialog.open(CRect(0, 0, 480, 480), false);
    OpenLcd* lcd = dialog.addRenderer(CRect(0, 0, 480, 480));
    lcd->SetLEDMode(LEDModeWindowCapture);
    lcd->AddCarousel(HardwareCpuLoad);
    lcd->ResetLED(); // the text at its default place, low in the middle
    lcd->DrawHideControl(); // lays the carousel text out where the press will find it
    const RECT text = lcd->carouselRect();
    ASSERT_LT(text.left, text.right);
    const CPoint start = lcd->carouselPosition();
    const CPoint press((text.left + text.right) / 2, (text.top + text.bottom) / 2);

    EXPECT_EQ(lcd->OnControlLButtonDown(MK_LBUTTON, press), 1);
    struct Move {
        CPoint to;
        CPoint expected;
    };
    const Move moves[] = {
        { press + CPoint(2, 1), start },                    // within the threshold: nothing yet
        { press + CPoint(3, 1), start + CPoint(3, 1) },     // the whole move once past it
        { CPoint(0, press.y + 10), CPoint(0, start.y + 10) }, // x stops at the left edge
    };
    for (const Move& move : moves) {
        EXPECT_EQ(lcd->OnControlMouseMove(MK_LBUTTON, move.to), 1);
        EXPECT_EQ(lcd->carouselPosition(), move.expected);
    }
    // Outside the screen, or without the button, a move changes nothing.
    lcd->OnControlMouseMove(MK_LBUTTON, CPoint(600, 100));
    lcd->OnControlMouseMove(0, CPoint(200, 100));
    EXPECT_EQ(lcd->carouselPosition(), CPoint(0, start.y + 10));
    CString x;
    x.Format(L"%d", 0);
    EXPECT_STREQ(setting(L"led_car_ptText_x"), x);
    CString y;
    y.Format(L"%d", start.y + 10);
    EXPECT_STREQ(setting(L"led_car_ptText_y"), y);
    EXPECT_EQ(lcd->OnControlLButtonUp(0, CPoint(0, 0)), 1);

    // A press beside the text pans the captured window instead, against the pointer.
    const CPoint pan = lcd->capturePan();
    lcd->OnControlLButtonDown(MK_LBUTTON, CPoint(20, 20));
    lcd->OnControlMouseMove(MK_LBUTTON, CPoint(30, 0));
    EXPECT_EQ(lcd->capturePan(), pan + CPoint(-10, 20));
    lcd->OnControlMouseMove(MK_LBUTTON, CPoint(470, 470));
    EXPECT_EQ(lcd->capturePan(), CPoint(-300, -300)); // held at the margin
    EXPECT_EQ(lcd->carouselPosition(), CPoint(0, start.y + 10));
    lcd->OnControlLButtonUp(0, CPoint(0, 0));

    lcd->SetEnabled(0);
    EXPECT_EQ(lcd->OnControlLButtonDown(MK_LBUTTON, press), 0);
    EXPECT_EQ(lcd->OnControlMouseMove(MK_LBUTTON, press), 0);
    EXPECT_EQ(lcd->OnControlLButtonUp(0, press), 0);
    dialog.DestroyWindow();
}

TEST_F(LcdSettings, ImagesComeFromTheSkinFolderAndTheBackgroundLiesOverTheCircularFrame)
{
    const ScratchStrip strip(GetSkinPath(), L"lcd-setters-strip.png", 20, 10, { 0xFF0000FF, 0xFF00FF00, 0xFFFF0000 });
    ASSERT_TRUE(strip.written());
    const ScratchStrip background(GetSkinPath(), L"lcd-setters-bk.png", 48, 48, { 0xFF0000FF });
    ASSERT_TRUE(background.written());
    OpenLcd lcd(nullptr, 1, CRect(0, 0, 480, 480), 1, 1);
    EXPECT_EQ(lcd.SetImage(L"lcd-setters-strip.png", 3), 1);
    EXPECT_EQ(lcd.GetImageWidth(), 60);
    EXPECT_EQ(lcd.GetFrameWidth(), 20);
    EXPECT_EQ(lcd.GetImageHeight(), 10);
    EXPECT_NE(lcd.GetImage(), nullptr);
    EXPECT_EQ(lcd.SetImage(L"lcd-setters-missing.png", 3), 0);
    EXPECT_EQ(lcd.GetImage(), nullptr);
    EXPECT_EQ(lcd.SetImage(L"lcd-setters-strip.png", 0), 0);

    EXPECT_EQ(lcd.SetBKImage(L"lcd-setters-missing.png"), 0);
    EXPECT_EQ(lcd.SetBKImage(L"lcd-setters-bk.png"), 1);
    lcd.DrawHideControl();
    const DecodedFrame frame = decodeFrame(pullFrame(lcd));
    ASSERT_TRUE(frame.complete);
    EXPECT_TRUE(closeTo(frame.rgb(240, 240), 0x0000FF, 8));
    EXPECT_TRUE(closeTo(frame.rgb(24, 24), 0x0000FF, 8)) << std::hex << frame.rgb(24, 24); // over the corners too
    lcd.SetLEDScreenType(LEDScreenSquare);
    lcd.DrawHideControl();
    EXPECT_TRUE(closeTo(decodeFrame(pullFrame(lcd)).rgb(240, 240), 0x000000, 8));
}

TEST_F(LcdSettings, TheCarouselListKeepsOrderWithoutDuplicatesAndTheTextWidthItsFloor)
{
    OpenLcd lcd(nullptr, 1, CRect(0, 0, 480, 480), 1, 1);
    EXPECT_EQ(lcd.GetCarousel(), 0u);
    for (UINT item : { 3u, 3u, 1u, 10u })
        lcd.AddCarousel(item);
    EXPECT_EQ(lcd.GetCarousel(), 0x40Au);
    lcd.DeleteCarousel(1);
    EXPECT_EQ(lcd.GetCarousel(), 0x408u);
    lcd.ClearCarousel();
    EXPECT_EQ(lcd.GetCarousel(), 0u);
    const struct {
        int width;
        float factor;
    } widths[] = { { 50, 1.0f }, { 100, 2.0f }, { 0, 0.00001f }, { -5, 0.00001f } };
    for (const auto& w : widths) {
        lcd.SetLayerFontWidth(w.width);
        EXPECT_FLOAT_EQ(lcd.carouselWidthFactor(), w.factor);
    }
}
