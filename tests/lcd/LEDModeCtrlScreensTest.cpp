// What the host sets on the LCD renderer and what its screens show of it: sensor values and
// labels, the registry-backed settings, the preview's pointer, images, the carousel and the
// captured window.
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

// A renderer in a hidden window, on the square screen. Every test starts from the settings a
// first run sees, and leaves them behind.
class LcdSettings : public ::testing::Test {
protected:
    void SetUp() override
    {
        clear();
        dialog.open(CRect(0, 0, 480, 480), false);
        lcd = dialog.addRenderer(CRect(0, 0, 480, 480));
        lcd->SetLEDScreenType(LEDScreenSquare);
    }
    void TearDown() override
    {
        dialog.DestroyWindow();
        clear();
    }
    static void clear()
    {
        setting(L"led_image_scale"); // makes the key
        for (const wchar_t* name :
             { L"led_car_ptText_x", L"led_car_ptText_y", L"led_image_scale", L"led_capwnd_scale", L"led_car_font_color" })
            WriteRegString(name, L"");
    }
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

TEST(GetSoftwareInfo, ValuesByUnitAndLabelsByLanguageForEveryItem)
{
    const int language = Manager::GetLanguage();
    LEDModeCtrl lcd(nullptr, 1, CRect(0, 0, 480, 480), 1, 1);
    CString label;
    CString value;
    // Before the host hands values in, every value is 0, the memory load too (not 0 / 0).
    for (const auto& [item, text] : { std::pair(2, L"  0MHz"), std::pair(3, L"  0%"), std::pair(10, L"  0%") }) {
        lcd.GetSoftwareInfo(item, label, value);
        EXPECT_STREQ(value, text);
    }
    // The memory load is used / (used + free), not the host's own figure of 88.
    lcd.SetHardWareInfo(HARDWARE_INFO { 45.6f, 4321.4f, 7.5f, 0, 61.2f, 1800, 99.6f, 0, 88, 4, 3200, 39.4f, 12 });
    // led_cpushowtype "1" shows Fahrenheit, anything else Celsius.
    struct Case { const wchar_t* unit; int language, item; const wchar_t *label, *value; };
    const Case cases[] = {
        { L"1", 1033, 1, L"CPU Temp", L" 46\x2109" },
        { L"0", 1031, 1, L"CPU-Temp", L" 46\x2103" },
        { L"F", 1041, 1, L"CPU\x6E29\x5EA6", L" 46\x2103" },
        { L"0", 1036, 2, L"Fr\x00E9quence CPU", L"4321MHz" },
        { L"0", 1043, 3, L"CPU Belasting", L"  8%" },
        { L"1", 1045, 4, L"Temp. GPU", L" 61\x2109" },
        { L"0", 1028, 5, L"GPU\x983B\x7387", L"1800MHz" },
        { L"0", 2052, 6, L"GPU\x8D1F\x8F7D", L"100%" },
        { L"0", 1031, 7, L"Speicherkapazit\x00E4t", L"4.0 GB / 16.0 GB" },
        { L"1", 1036, 8, L"Temp m\x00E9moire", L" 39\x2109" },
        { L"0", 2052, 9, L" \x5185\x5B58\x9891\x7387 ", L"3200MHz" },
        { L"0", 1045, 10, L"Zu\x017C. RAM", L" 25%" },
        { L"1", 2052, 11, L"\x6C34\x51B7\x6DB2\x6E29\x5EA6", L"N/A" },
        { L"1", 1028, 11, L"Wacter Temperature", L"N/A" },
        // No such item: both left as they were.
        { L"0", 1033, 0, L"?", L"?" }, { L"0", 1033, 12, L"?", L"?" }, { L"0", 1033, -1, L"?", L"?" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(&c - cases);
        WriteRegString(L"led_cpushowtype", c.unit);
        Manager::SetLanguage(c.language);
        label = value = L"?";
        lcd.GetSoftwareInfo(c.item, label, value);
        EXPECT_STREQ(label, c.label);
        EXPECT_STREQ(value, c.value);
    }
    lcd.SetHardWareInfo(HARDWARE_INFO { 0, 0, 0, 0, 0, 0, 0, 0, 0, 7.84f, 0, 0, 8.16f });
    lcd.GetSoftwareInfo(HardwareMemoryCapacity, label, value);
    EXPECT_STREQ(value, L"7.8 GB / 16.0 GB");
    Manager::SetLanguage(language);
    WriteRegString(L"led_cpushowtype", L"0");
}

TEST(LEDModeCtrlNames, WeekDaysAndMonthsWithTheirFallbacks)
{
    LEDModeCtrl lcd(nullptr, 1, CRect(0, 0, 480, 480), 1, 1);
    const struct { CString (LEDModeCtrl::*name)(int); std::vector<int> indices; const wchar_t* texts; } cases[] = {
        { &LEDModeCtrl::GetWeekDesc, { 0, 6, 7, -1 }, L"Sunday Saturday Monday Monday" },
        { &LEDModeCtrl::GetWeekDesc2, { 0, 3, 9 }, L"\x661F\x671F\x65E5 \x661F\x671F\x4E09 \x661F\x671F\x4E00" },
        { &LEDModeCtrl::GetMonthDesc, { 1, 12, 13, 0 }, L"January December January January" },
        { &LEDModeCtrl::GetMonthDesc2, { 9, 5, 13 }, L"Sept May Jan" },
    };
    for (const auto& c : cases) {
        CString texts;
        for (int index : c.indices)
            texts += (texts.IsEmpty() ? L"" : L" ") + (lcd.*c.name)(index);
        EXPECT_STREQ(texts, c.texts);
    }
}

TEST(LEDModeCtrlSetters, SettersThatChangeTheFrameAskForARepaint)
{
    RecordingParent parent;
    OpenLcd lcd(&parent, 5, CRect(0, 0, 480, 480), 1, 1);
    const std::function<void()> setters[] = {
        [&] { lcd.SetLEDScreenType(3); }, [&] { lcd.SetLEDMode(2); },       [&] { lcd.SetHardWareType(4); },
        [&] { lcd.SetSensorType(21); },   [&] { lcd.SetRun(1); },           [&] { lcd.SetLEDSwitch(true); },
        [&] { lcd.SetBrightness(80); },   [&] { lcd.SetSpeed(5); },         [&] { lcd.SetRotate(90); },
        [&] { lcd.ResetLED(); },          [&] { lcd.SetCaptureWindow(nullptr); },
        [&] { lcd.SetBKImage(L"none.png"); },     [&] { lcd.SetImage(L"none.png", 2); },
        [&] { lcd.SetIcon1Image(L"none.png"); },  [&] { lcd.SetIcon3Image(L"none.png"); },
        [&] { lcd.SetCPUScaleImage(L"a.png", L"b.png"); },
        [&] { lcd.SetColor(0xFF000000, 0xFFFFFFFF, 0xFF00FF00, 0xFFFF0000); },
        [&] { lcd.SetTitleColor(RGB(1, 2, 3)); }, [&] { lcd.SetWeatherColor(0, 0, 0, 0, 0, 0); },
        [&] { lcd.SetLayerFontWidth(50); },       [&] { lcd.AddCarousel(3); lcd.DeleteCarousel(3); },
    };
    for (const auto& setter : setters) {
        parent.updates.clear();
        setter();
        ASSERT_EQ(parent.updates.size(), 1u) << "setter " << &setter - setters;
        EXPECT_TRUE(parent.updates[0].control == &lcd && parent.updates[0].rect == CRect(0, 0, 480, 480));
    }
}

TEST_F(LcdSettings, PositionScalesAndColourAreReadAtConstructionKeptByTheWheelAndReset)
{
    // A first run: the text low in the middle whenever the rectangle comes, scales 1, white.
    OpenLcd unsized(nullptr, 1, CRect(), 1, 1);
    unsized.SetControlRect(CRect(100, 50, 580, 530));
    EXPECT_EQ(unsized.carouselPosition(), CPoint(340, 480));
    EXPECT_EQ(lcd->stored(), std::make_tuple(240L, 430L, 1.0f, 1.0f, 0xFFFFFFFFu));
    // Half-transparent red is drawn as given and stored without its alpha.
    lcd->SetCarFontColor(Gdiplus::Color(128, 255, 0, 0));
    EXPECT_EQ(std::get<4>(lcd->stored()), 0x80FF0000u);
    EXPECT_STREQ(setting(L"led_car_font_color"), L"255");
    // The wheel zooms the capture by 0.2 a notch between 0.2 and 5, and puts the picture back
    // to its own size.
    lcd->SetLEDMode(LEDModeWindowCapture);
    for (const auto& [notches, down, stored] : { std::tuple(3, 1u, L"1.600000"), std::tuple(40, 0u, L"0.200000"),
                                                 std::tuple(30, 1u, L"5.000000") }) {
        for (int notch = 0; notch < notches; ++notch)
            EXPECT_EQ(lcd->OnControlScroll(120, down, CPoint(10, 10)), 1);
        EXPECT_STREQ(setting(L"led_capwnd_scale"), stored);
    }
    lcd->SetLEDMode(LEDModeFile);
    WriteRegString(L"led_image_scale", L"2.500000");
    lcd->OnControlScroll(120, 0, CPoint(0, 0));
    EXPECT_STREQ(setting(L"led_image_scale"), L"1.000000");

    for (const auto& [name, text] : { std::pair(L"led_car_ptText_x", L"77"), std::pair(L"led_car_ptText_y", L"66"),
                                      std::pair(L"led_image_scale", L"2.500000"), std::pair(L"led_capwnd_scale", L"-3") })
        WriteRegString(name, text);
    OpenLcd stored(nullptr, 1, CRect(0, 0, 10, 10), 1, 1);
    stored.SetControlRect(CRect(0, 0, 480, 480));
    EXPECT_EQ(stored.stored(), std::make_tuple(77L, 66L, 2.5f, 1.0f, 0xFFFF0000u));
    stored.ResetLED();
    EXPECT_EQ(stored.stored(), std::make_tuple(240L, 430L, 1.0f, 1.0f, 0xFFFFFFFFu));
    std::vector<CString> texts;
    for (const wchar_t* name : { L"led_image_scale", L"led_capwnd_scale", L"led_car_ptText_x", L"led_car_ptText_y", L"led_car_font_color" })
        texts.push_back(setting(name));
    EXPECT_EQ(texts, (std::vector<CString> { L"1.0", L"1.0", L"0", L"0", L"16777215" }));
}

TEST_F(LcdSettings, DraggingMovesTheCarouselTextInsideTheScreenAndPanningMovesTheCapture)
{
    lcd->SetLEDMode(LEDModeWindowCapture);
    lcd->AddCarousel(HardwareCpuLoad);
    lcd->DrawHideControl(); // lays the carousel text out where the press will find it
    const RECT text = lcd->carouselRect();
    const CPoint start = lcd->carouselPosition();
    const CPoint press((text.left + text.right) / 2, (text.top + text.bottom) / 2);
    lcd->OnControlLButtonDown(MK_LBUTTON, press);
    struct Move { UINT keys; CPoint to, expected; };
    const Move moves[] = {
        { MK_LBUTTON, press + CPoint(2, 1), start },                      // within the threshold: nothing yet
        { MK_LBUTTON, press + CPoint(3, 1), start + CPoint(3, 1) },       // the whole move once past it
        { MK_LBUTTON, CPoint(0, press.y + 10), CPoint(0, start.y + 10) }, // x stops at the left edge
        { MK_LBUTTON, CPoint(600, 100), CPoint(0, start.y + 10) },        // outside the screen: nothing
        { 0, CPoint(200, 100), CPoint(0, start.y + 10) },                 // without the button: nothing
    };
    for (const Move& move : moves) {
        EXPECT_EQ(lcd->OnControlMouseMove(move.keys, move.to), 1);
        EXPECT_EQ(lcd->carouselPosition(), move.expected) << &move - moves;
    }
    EXPECT_EQ(std::pair(_wtoi(setting(L"led_car_ptText_x")), _wtoi(setting(L"led_car_ptText_y"))), std::pair(0, int(start.y) + 10));
    EXPECT_EQ(lcd->OnControlLButtonUp(0, CPoint(0, 0)), 1);
    // A press beside the text pans the captured window instead, against the pointer, as far
    // as its margin.
    const CPoint pan = lcd->capturePan();
    lcd->OnControlLButtonDown(MK_LBUTTON, CPoint(20, 20));
    lcd->OnControlMouseMove(MK_LBUTTON, CPoint(30, 0));
    EXPECT_EQ(lcd->capturePan(), pan + CPoint(-10, 20));
    lcd->OnControlMouseMove(MK_LBUTTON, CPoint(470, 470));
    EXPECT_EQ(lcd->capturePan(), CPoint(-300, -300));
    lcd->OnControlLButtonUp(0, CPoint(0, 0));
    lcd->SetEnabled(0);
    EXPECT_EQ(lcd->OnControlLButtonDown(MK_LBUTTON, press) + lcd->OnControlMouseMove(MK_LBUTTON, press)
                  + lcd->OnControlLButtonUp(0, press), 0);
}

TEST_F(LcdSettings, ImagesComeFromTheSkinFolderAndTheBackgroundLiesOverTheCircularFrame)
{
    const ScratchStrip strip(GetSkinPath(), L"lcd-setters-strip.png", 20, 10, { 0xFF0000FF, 0xFF00FF00, 0xFFFF0000 });
    const ScratchStrip background(GetSkinPath(), L"lcd-setters-bk.png", 48, 48, { 0xFF0000FF });
    ASSERT_TRUE(strip.written() && background.written());
    EXPECT_EQ(lcd->SetImage(L"lcd-setters-strip.png", 3), 1);
    EXPECT_EQ(std::tuple(lcd->GetImageWidth(), lcd->GetFrameWidth(), lcd->GetImageHeight()), std::tuple(60, 20, 10));
    EXPECT_EQ(lcd->SetImage(L"lcd-setters-missing.png", 3), 0);
    EXPECT_EQ(lcd->GetImage(), nullptr);
    EXPECT_EQ(lcd->SetImage(L"lcd-setters-strip.png", 0), 0);
    EXPECT_EQ(lcd->SetBKImage(L"lcd-setters-bk.png"), 1);
    // Over the circular frame, its corners too; the square screen shows none.
    for (const auto& [type, blue] : { std::pair(LEDScreenCircle, 0x0000FFu), std::pair(LEDScreenSquare, 0u) }) {
        lcd->SetLEDScreenType(type);
        const DecodedFrame frame = frameAfter();
        EXPECT_TRUE(nearColor(frame.rgb(240, 240), blue, 8) && nearColor(frame.rgb(24, 24), blue, 8)) << type;
    }
    EXPECT_EQ(lcd->SetBKImage(L"lcd-setters-missing.png"), 0); // and lets the file go
}

TEST_F(LcdSettings, TheCarouselShowsTheNextItemOfItsListOnEveryFrame)
{
    // In the order added, without duplicates.
    for (UINT item : { 1u, 4u, 4u, 9u, 10u })
        lcd->AddCarousel(item);
    lcd->DeleteCarousel(9);
    EXPECT_EQ(lcd->GetCarousel(), 1u << 1 | 1u << 4 | 1u << 10);
    lcd->SetLEDMode(LEDModeCarousel);
    std::vector<int> shown;
    for (int frame = 0; frame < 5; ++frame)
        shown.push_back((frameAfter(), lcd->carouselIndex()));
    lcd->ClearCarousel();
    lcd->AddCarousel(7);
    for (int frame = 0; frame < 2; ++frame)
        shown.push_back((frameAfter(), lcd->carouselIndex()));
    EXPECT_EQ(shown, (std::vector<int> { 1, 2, 0, 1, 2, 0, 0 }));
}

TEST_F(LcdSettings, TheCarouselTextStepsEveryTwoSecondsOverTheFileAndCaptureScreens)
{
    lcd->AddCarousel(2);
    lcd->AddCarousel(5);
    for (int mode : { LEDModeFile, LEDModeWindowCapture }) {
        lcd->SetLEDMode(mode);
        TimeSource::Advance(2001);
        // Long enough since the last step: the first frame already shows the second item.
        std::vector<int> shown;
        for (DWORD advance : { 30, 1000, 970, 30, 30, 2001 })
            shown.push_back((frameAfter(advance), lcd->carouselIndex()));
        EXPECT_EQ(shown, (std::vector<int> { 1, 1, 1, 1, 0, 1 })) << mode;
    }
}

TEST_F(LcdSettings, TheCarouselTextIsDrawnAtItsPlaceAndLaidOutByItsLabelOrMemoryValue)
{
    lcd->SetLEDMode(LEDModeWindowCapture);
    const cv::Rect around(140, 330, 200, 150);
    EXPECT_LT(frameAfter().brightest(around), 16);
    lcd->SetHardWareInfo(HARDWARE_INFO { 0, 0, 42, 0, 0, 0, 0, 0, 0, 1234.5f, 0, 0, 9999 });
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
    // "1234.5 GB / 11233.5 GB" is far wider than the label "Memory Capacity".
    EXPECT_GT(lcd->carouselRect().right - lcd->carouselRect().left, (load.right - load.left) + 100);
}

TEST_F(LcdSettings, TheCaptureScreenCopiesTheWindowAtItsScaleOrLeavesTheBlackBase)
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
