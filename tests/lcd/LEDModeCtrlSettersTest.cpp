// What the host sets on the LCD renderer, what the preview's pointer does, and what both keep
// in the registry.
#include <functional>

#include "LcdTestKit.h"
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

// Every test starts from the defaults a first run sees, and leaves them behind.
class LcdSettings : public ::testing::Test {
protected:
    void SetUp() override { clear(); }
    void TearDown() override { clear(); }
    static void clear()
    {
        setting(L"led_image_scale"); // makes the key
        for (const wchar_t* name :
             { L"led_car_ptText_x", L"led_car_ptText_y", L"led_image_scale", L"led_capwnd_scale", L"led_car_font_color" })
            WriteRegString(name, L"");
    }
};

} // namespace

TEST_F(LcdSettings, SettersThatChangeTheFrameAskForARepaint)
{
    RecordingParent parent;
    OpenLcd lcd(&parent, 5, CRect(0, 0, 480, 480), 1, 1);
    const std::function<void()> setters[] = {
        [&] { lcd.SetLEDScreenType(3); },  [&] { lcd.SetLEDMode(2); },
        [&] { lcd.SetHardWareType(4); },   [&] { lcd.SetSensorType(21); },
        [&] { lcd.SetRun(1); },            [&] { lcd.SetLEDSwitch(true); },
        [&] { lcd.SetBrightness(80); },    [&] { lcd.SetSpeed(5); },
        [&] { lcd.SetRotate(90); },        [&] { lcd.ResetLED(); },
        [&] { lcd.SetCaptureWindow(nullptr); },
        [&] { lcd.SetBKImage(L"no-such-background.png"); },
        [&] { lcd.SetImage(L"no-such-strip.png", 2); },
        [&] { lcd.SetIcon1Image(L"no-such-icon.png"); },
        [&] { lcd.SetIcon3Image(L"no-such-icon.png"); },
        [&] { lcd.SetCPUScaleImage(L"a.png", L"b.png"); },
        [&] { lcd.SetColor(0xFF000000, 0xFFFFFFFF, 0xFF00FF00, 0xFFFF0000); },
        [&] { lcd.SetTitleColor(RGB(1, 2, 3)); },
        [&] { lcd.SetWeatherColor(0, 0, 0, 0, 0, 0); },
        [&] { lcd.SetLayerFontWidth(50); },
        [&] {
            lcd.AddCarousel(3);
            lcd.DeleteCarousel(3);
        },
    };
    for (size_t i = 0; i < std::size(setters); ++i) {
        parent.updates.clear();
        setters[i]();
        ASSERT_EQ(parent.updates.size(), 1u) << "setter " << i;
        EXPECT_EQ(parent.updates[0].control, &lcd);
        EXPECT_EQ(parent.updates[0].rect, CRect(0, 0, 480, 480));
    }
}

TEST_F(LcdSettings, PositionScalesAndColourAreReadAtConstructionKeptByTheWheelAndReset)
{
    // A first run: the text low in the middle whenever the rectangle comes, scales 1, white.
    OpenLcd unsized(nullptr, 1, CRect(), 1, 1);
    unsized.SetControlRect(CRect(100, 50, 580, 530));
    EXPECT_EQ(unsized.carouselPosition(), CPoint(340, 480));
    OpenLcd lcd(nullptr, 1, CRect(0, 0, 480, 480), 1, 1);
    EXPECT_EQ(lcd.stored(), std::make_tuple(240L, 430L, 1.0f, 1.0f, 0xFFFFFFFFu));
    // Half-transparent red is drawn as given and stored without its alpha.
    lcd.SetCarFontColor(Gdiplus::Color(128, 255, 0, 0));
    EXPECT_EQ(std::get<4>(lcd.stored()), 0x80FF0000u);
    EXPECT_STREQ(setting(L"led_car_font_color"), L"255");
    // The wheel zooms the capture by 0.2 a notch between 0.2 and 5, and puts the picture back
    // to its own size.
    lcd.SetLEDMode(LEDModeWindowCapture);
    for (const auto& [notches, down, stored] : { std::tuple(3, 1u, L"1.600000"), std::tuple(40, 0u, L"0.200000"),
                                                 std::tuple(30, 1u, L"5.000000") }) {
        for (int notch = 0; notch < notches; ++notch)
            EXPECT_EQ(lcd.OnControlScroll(120, down, CPoint(10, 10)), 1);
        EXPECT_STREQ(setting(L"led_capwnd_scale"), stored);
    }
    lcd.SetLEDMode(LEDModeFile);
    WriteRegString(L"led_image_scale", L"2.500000");
    lcd.OnControlScroll(120, 0, CPoint(0, 0));
    EXPECT_STREQ(setting(L"led_image_scale"), L"1.000000");

    WriteRegString(L"led_car_ptText_x", L"77");
    WriteRegString(L"led_car_ptText_y", L"66");
    WriteRegString(L"led_image_scale", L"2.500000");
    WriteRegString(L"led_capwnd_scale", L"-3");
    OpenLcd stored(nullptr, 1, CRect(0, 0, 10, 10), 1, 1);
    stored.SetControlRect(CRect(0, 0, 480, 480));
    EXPECT_EQ(stored.stored(), std::make_tuple(77L, 66L, 2.5f, 1.0f, 0xFFFF0000u));
    stored.ResetLED();
    EXPECT_EQ(stored.stored(), std::make_tuple(240L, 430L, 1.0f, 1.0f, 0xFFFFFFFFu));
    const wchar_t* const names[] = { L"led_image_scale", L"led_capwnd_scale", L"led_car_ptText_x", L"led_car_ptText_y",
                                     L"led_car_font_color" };
    std::vector<CString> texts;
    for (const wchar_t* name : names)
        texts.push_back(setting(name));
    EXPECT_EQ(texts, (std::vector<CString> { L"1.0", L"1.0", L"0", L"0", L"16777215" }));
}

TEST_F(LcdSettings, DraggingMovesTheCarouselTextInsideTheScreenAndPanningMovesTheCapture)
{
    LcdDialog dialog;
    dialog.open(CRect(0, 0, 480, 480), false);
    OpenLcd* lcd = dialog.addRenderer(CRect(0, 0, 480, 480));
    lcd->SetLEDMode(LEDModeWindowCapture);
    lcd->AddCarousel(HardwareCpuLoad);
    lcd->DrawHideControl(); // lays the carousel text out where the press will find it
    const RECT text = lcd->carouselRect();
    const CPoint start = lcd->carouselPosition();
    const CPoint press((text.left + text.right) / 2, (text.top + text.bottom) / 2);
    EXPECT_EQ(lcd->OnControlLButtonDown(MK_LBUTTON, press), 1);
    const std::pair<CPoint, CPoint> moves[] = {
        { press + CPoint(2, 1), start },                      // within the threshold: nothing yet
        { press + CPoint(3, 1), start + CPoint(3, 1) },       // the whole move once past it
        { CPoint(0, press.y + 10), CPoint(0, start.y + 10) }, // x stops at the left edge
    };
    for (const auto& [to, expected] : moves) {
        EXPECT_EQ(lcd->OnControlMouseMove(MK_LBUTTON, to), 1);
        EXPECT_EQ(lcd->carouselPosition(), expected);
    }
    // Outside the screen, or without the button, a move changes nothing.
    lcd->OnControlMouseMove(MK_LBUTTON, CPoint(600, 100));
    lcd->OnControlMouseMove(0, CPoint(200, 100));
    EXPECT_EQ(lcd->carouselPosition(), CPoint(0, start.y + 10));
    EXPECT_EQ(_wtoi(setting(L"led_car_ptText_x")), 0);
    EXPECT_EQ(_wtoi(setting(L"led_car_ptText_y")), start.y + 10);
    EXPECT_EQ(lcd->OnControlLButtonUp(0, CPoint(0, 0)), 1);

    // A press beside the text pans the captured window instead, against the pointer, as far
    // as its margin.
    const CPoint pan = lcd->capturePan();
    lcd->OnControlLButtonDown(MK_LBUTTON, CPoint(20, 20));
    lcd->OnControlMouseMove(MK_LBUTTON, CPoint(30, 0));
    EXPECT_EQ(lcd->capturePan(), pan + CPoint(-10, 20));
    lcd->OnControlMouseMove(MK_LBUTTON, CPoint(470, 470));
    EXPECT_EQ(lcd->capturePan(), CPoint(-300, -300));
    EXPECT_EQ(lcd->carouselPosition(), CPoint(0, start.y + 10));
    lcd->OnControlLButtonUp(0, CPoint(0, 0));

    lcd->SetEnabled(0);
    EXPECT_EQ(lcd->OnControlLButtonDown(MK_LBUTTON, press) + lcd->OnControlMouseMove(MK_LBUTTON, press)
                  + lcd->OnControlLButtonUp(0, press), 0);
    dialog.DestroyWindow();
}

TEST_F(LcdSettings, ImagesComeFromTheSkinFolderAndTheBackgroundLiesOverTheCircularFrame)
{
    const ScratchStrip strip(GetSkinPath(), L"lcd-setters-strip.png", 20, 10, { 0xFF0000FF, 0xFF00FF00, 0xFFFF0000 });
    const ScratchStrip background(GetSkinPath(), L"lcd-setters-bk.png", 48, 48, { 0xFF0000FF });
    ASSERT_TRUE(strip.written() && background.written());
    OpenLcd lcd(nullptr, 1, CRect(0, 0, 480, 480), 1, 1);
    EXPECT_EQ(lcd.SetImage(L"lcd-setters-strip.png", 3), 1);
    EXPECT_EQ(std::tuple(lcd.GetImageWidth(), lcd.GetFrameWidth(), lcd.GetImageHeight()), std::tuple(60, 20, 10));
    EXPECT_EQ(lcd.SetImage(L"lcd-setters-missing.png", 3), 0);
    EXPECT_EQ(lcd.GetImage(), nullptr);
    EXPECT_EQ(lcd.SetImage(L"lcd-setters-strip.png", 0), 0);
    EXPECT_EQ(lcd.SetBKImage(L"lcd-setters-missing.png"), 0);
    EXPECT_EQ(lcd.SetBKImage(L"lcd-setters-bk.png"), 1);
    // Over the circular frame, its corners too; the square screen shows none.
    for (const auto& [type, centre, corner] : { std::tuple(LEDScreenCircle, 0x0000FFu, 0x0000FFu),
                                                std::tuple(LEDScreenSquare, 0u, 0u) }) {
        lcd.SetLEDScreenType(type);
        lcd.DrawHideControl();
        const DecodedFrame frame = decodeFrame(pullFrame(lcd));
        EXPECT_TRUE(nearColor(frame.rgb(240, 240), centre, 8) && nearColor(frame.rgb(24, 24), corner, 8)) << type;
    }
}
