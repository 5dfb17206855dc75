// The weather screen drawn onto a canvas through the layer cache: which marks of its four
// gauges each text fills, the unit of the lower-right value, and the clock hands at the time.
#include <string>

#include "LcdTestKit.h"
#include "ScratchStrip.h"
#include "framework/AppPaths.h"
#include "framework/Registry.h"

using namespace KOVA;
using namespace KOVA::test;

namespace {

const auto* const host = ::testing::AddGlobalTestEnvironment(new LibraryHost);

constexpr DWORD kTrack = 0x242527;
const wchar_t* const kDefaults[7] = { L"\x5E7F\x4E1C\xFF65\x6DF1\x5733", L"20\x2103", L"7", L"37", L"10", L"22", L"\x6674" };

class Weather : public ::testing::Test {
protected:
    void SetUp() override
    {
        dialog.open(CRect(0, 0, 640, 480), false);
        lcd.SetManager(dialog.GetPaintManager());
        WriteRegString(L"led_cpushowtype", L"0");
    }
    void TearDown() override
    {
        WriteRegString(L"led_cpushowtype", L"");
        dialog.DestroyWindow();
    }
    // Weather text number (1 to 7) replaced, the others at their defaults; drawn on black.
    DibCanvas& draw(DibCanvas& canvas, int type, int number = 0, const wchar_t* text = L"")
    {
        CString t[7];
        for (int i = 0; i < 7; ++i)
            t[i] = i == number - 1 ? text : kDefaults[i];
        lcd.SetWeatherValue(t[0], t[1], t[2], t[3], t[4], t[5], t[6]);
        lcd.SetLEDScreenType(type);
        canvas.fill(0xFF000000);
        lcd.drawScreen(canvas, ScreenLcd::Weather);
        return canvas;
    }

    LcdDialog dialog;
    ScreenLcd lcd { nullptr, 1, CRect(0, 0, 640, 480), 1, 1 };
};

// The filled marks of each gauge, "A:12-15 B:0-1 D: C:0-2": a mark is filled when its centre,
// 204 pixels above the ring centre before it turns, is not the track's grey.
std::string filledMarks(const DibCanvas& canvas)
{
    std::string marks;
    for (const auto& [name, start] : { std::pair('A', 25), std::pair('B', 110), std::pair('D', 205), std::pair('C', 295) }) {
        int first = -1, last = -1;
        for (int i = 0; i < 16; ++i) {
            const POINT p = alongAngle(canvas.width() / 2, 240, start + 3 * i - 90, 204);
            if (!nearColor(canvas.rgb(p.x, p.y), kTrack))
                first = first < 0 ? i : first, last = i;
        }
        marks += std::string(marks.empty() ? "" : " ") + name + ":"
            + (first < 0 ? "" : std::to_string(first) + "-" + std::to_string(last));
    }
    return marks;
}

} // namespace

// Gauge A from the first of text 4's last two characters (at least 2 marks), B from text 6
// over 122 (round) or 50 (wide), C from text 3 over 100 plus two marks, D never; numbers as
// _wtoi reads them, and large ones counted in 64 bits so that they fill the gauge.
TEST_F(Weather, GaugesFillTheMarksTheirTextsGive)
{
    struct Case { int type, text; const wchar_t* value; const char* marks; };
    const Case cases[] = {
        { LEDScreenCircle, 0, L"", "A:12-15 B:0-1 D: C:0-2" },  { LEDScreenSquare, 0, L"", "A:12-15 B:0-1 D: C:0-2" },
        { LEDScreenWide, 0, L"", "A:12-15 B:0-6 D: C:0-2" },    { LEDScreenCircle, 4, L"5", "A:8-15 B:0-1 D: C:0-2" },
        { LEDScreenCircle, 4, L"9x", "A:2-15 B:0-1 D: C:0-2" }, { LEDScreenCircle, 4, L"", "A:14-15 B:0-1 D: C:0-2" },
        { LEDScreenCircle, 4, L"123", "A:13-15 B:0-1 D: C:0-2" }, { LEDScreenWide, 6, L"60", "A:12-15 B:0-15 D: C:0-2" },
        { LEDScreenWide, 6, L"-5", "A:12-15 B: D: C:0-2" },     { LEDScreenCircle, 6, L"200000000", "A:12-15 B:0-15 D: C:0-2" },
        { LEDScreenCircle, 6, L" +61\x2103", "A:12-15 B:0-7 D: C:0-2" }, { LEDScreenCircle, 6, L"abc61", "A:12-15 B: D: C:0-2" },
        { LEDScreenCircle, 3, L"0", "A:12-15 B:0-1 D: C:0-1" }, { LEDScreenCircle, 3, L"88", "A:12-15 B:0-1 D: C:0-15" },
        { LEDScreenCircle, 3, L"-30", "A:12-15 B:0-1 D: C:0-0" }, { LEDScreenCircle, 3, L"150000000", "A:12-15 B:0-1 D: C:0-15" },
    };
    DibCanvas round(480, 480), wide(640, 480);
    for (const Case& c : cases)
        EXPECT_EQ(c.marks, filledMarks(draw(c.type == LEDScreenWide ? wide : round, c.type, c.text, c.value)))
            << "type " << c.type << " text " << c.text;
}

// Each text is its string drawn in its font, colour and box on the same black: text 6 with the
// sign led_cpushowtype asks for (the number as given), text 5 with a percent sign. Areas
// reach no gauge mark.
TEST_F(Weather, TextsInTheirFontsColoursAndBoxes)
{
    const int style = lcd.GetFontStyle();
    struct Case { const wchar_t* setting; const wchar_t* text; int size, style; Gdiplus::RectF box; DWORD colour; CRect area; };
    const Case cases[] = {
        { L"1", L"72\x2109", 18, style, { 230, 420, 100, 30 }, 0xFF000000 | kTrack, { 240, 420, 316, 450 } },
        { L"0", L"72\x2103", 18, style, { 230, 420, 100, 30 }, 0xFF000000 | kTrack, { 240, 420, 316, 450 } },
        { L"0", L"10%", 18, style, { 150, 420, 100, 30 }, 0xFF000000 | kTrack, { 165, 420, 245, 450 } },
        { L"0", kDefaults[0], 20, Gdiplus::FontStyleBold, { 160, 80, 200, 50 }, 0xFFFFFFFF, { 180, 80, 340, 130 } },
        { L"0", kDefaults[1], 30, style, { 140, 290, 200, 50 }, 0xFFFFFFFF, { 140, 290, 340, 340 } },
    };
    DibCanvas shown(480, 480), expected(480, 480);
    for (const Case& c : cases) {
        WriteRegString(L"led_cpushowtype", c.setting);
        draw(shown, LEDScreenCircle, 6, L"72");
        expected.fill(0xFF000000);
        lcd.drawText(expected, c.text, c.size, c.style, c.box, Gdiplus::Color(c.colour), Gdiplus::SmoothingModeHighQuality);
        int differing = 0;
        for (int y = c.area.top; y < c.area.bottom; ++y)
            for (int x = c.area.left; x < c.area.right; ++x)
                differing += shown.pixel(x, y) != expected.pixel(x, y);
        EXPECT_EQ(0, differing) << c.setting << " " << static_cast<int>(c.box.X) << "," << static_cast<int>(c.box.Y);
    }
}

// Without hand images only the grey hub shows at the centre; with them each hand stands on the
// centre at the pinned time's angle, the hub over them. 15:40:45 is 470 degrees for the hour
// hand (20 past 3 o'clock, GDI+), 240 for the minute hand (150) and 270 for the second (180).
TEST_F(Weather, HandsShowThePinnedTime)
{
    TimeSource::Pin(1000, SYSTEMTIME { 2026, 3, 0, 14, 15, 40, 45, 0 });
    // Each probe's colour without images and with them.
    const std::tuple<POINT, DWORD, DWORD> probes[] = {
        { { 240, 240 }, 0x646464, 0x646464 }, { alongAngle(240, 240, 20, 60), 0, 0xFF0000 },
        { alongAngle(240, 240, 150, 100), 0, 0x00FF00 }, { alongAngle(240, 240, 180, 100), 0, 0x0000FF } };
    DibCanvas canvas(480, 480);
    for (const bool images : { false, true }) {
        const ScratchStrip hour(GetSkinPath(), L"weather-hour.png", 10, 80, { 0xFFFF0000 });
        const ScratchStrip minute(GetSkinPath(), L"weather-minute.png", 8, 120, { 0xFF00FF00 });
        const ScratchStrip second(GetSkinPath(), L"weather-second.png", 4, 150, { 0xFF0000FF });
        if (images)
            lcd.SetHMSImage(L"weather-hour.png", L"weather-minute.png", L"weather-second.png");
        draw(canvas, LEDScreenCircle);
        for (const auto& [p, without, with] : probes)
            EXPECT_TRUE(nearColor(canvas.rgb(p.x, p.y), images ? with : without)) << images << " " << p.x << "," << p.y;
        // The images let go of their files before the files go.
        lcd.SetHMSImage(L"", L"", L"");
    }
    TimeSource::Unpin();
}
