// The weather screen: the host's weather texts, four gauges of 16 marks round the edge and a
// clock of the local time in the middle. Everything but the clock changes only with a setter,
// so it stays in the still layer; each frame draws the hands and the hub over it.
//
// Runs inside a render with the render lock held, drawing from the frame's snapshot (LEDModeCtrl.cpp).
#include "lcd/renderer/LEDModeCtrl.h"

#include <algorithm>
#include <cwchar>

#include "framework/FontCache.h"
#include "lcd/renderer/LcdImageHelpers.h"
#include "lcd/renderer/LcdFrameSnapshot.h"
#include "lcd/screens/LcdScreenResources.h"

namespace KOVA {

namespace {
constexpr int kWeatherScreen = 40;
constexpr int kGaugeA = 0;
constexpr int kGaugeB = 1;
constexpr int kGaugeC = 3; // after D, in drawing order
constexpr int kMarks = 16;
constexpr Gdiplus::ARGB kHubGrey = 0xFF646464;
// Text 6's gauge counts up to 122 on the round layout and to 50 on the wide one.
constexpr long long kRoundFullScale = 122;
constexpr long long kWideFullScale = 50;

// The texts are numbers as _wtoi reads them: leading blanks and a sign, digits up to the
// first other character, 0 without digits, the int range at most.
long long weatherNumber(const CString& text)
{
    return std::wcstol(text, nullptr, 10);
}

// Gauge A reads one digit: the first of the text's last two characters.
int leadingDigitOfLastTwo(const CString& text)
{
    const int length = text.GetLength();
    if (length == 0)
        return 0;
    const wchar_t digit = text[length >= 2 ? length - 2 : 0];
    return (digit >= L'0' && digit <= L'9') ? digit - L'0' : 0;
}

// Fills marks first to last (either direction) in colour, each at its own alpha.
void fillMarks(Gdiplus::Graphics& g, Gdiplus::SolidBrush& brush, const LcdGaugeMarks& gauge, int first, int last,
               Gdiplus::Color colour, int alphaAtZero, int alphaStep)
{
    const int step = last >= first ? 1 : -1;
    for (int i = first; i != last + step; i += step) {
        brush.SetColor(LcdWithAlpha(colour, static_cast<BYTE>(alphaAtZero + alphaStep * i)));
        g.FillPath(&brush, &gauge.marks[i]);
    }
}

struct WeatherLayout {
    Gdiplus::Rect picture;
    Gdiplus::RectF textBoxes[4]; // texts 3, 4, 5 and 6
};

WeatherLayout layoutFor(bool round, int width, int height)
{
    const float left = round ? 150.0f : 230.0f;
    const int pictureWidth = round ? 480 : 640;
    return WeatherLayout { Gdiplus::Rect((width - pictureWidth) / 2, (height - 480) / 2, pictureWidth, 480),
                           { Gdiplus::RectF(left, 32, 100, 30), Gdiplus::RectF(left + 80, 32, 100, 30),
                             Gdiplus::RectF(left, 420, 100, 30), Gdiplus::RectF(left + 80, 420, 100, 30) } };
}
} // namespace

void LEDModeCtrl::DrawWeatherMode(Gdiplus::Graphics& g, int& width, int& height)
{
    const FrameScope frame(*this);
    screenResources();
    DrawLayered(g, width, height, 0, kWeatherScreen, &LEDModeCtrl::weatherStill, &LEDModeCtrl::weatherMoving);
}

void LEDModeCtrl::weatherStill(Gdiplus::Graphics& g, int width, int height, int)
{
    LcdScreenResources& resources = *m_screenResources;
    g.SetTextRenderingHint(snapshot().hint);
    g.SetSmoothingMode(Gdiplus::SmoothingModeHighQuality);
    const bool round = snapshot().squareScreen();
    const WeatherLayout layout = layoutFor(round, width, height);
    if (snapshot().strip.image)
        g.DrawImage(snapshot().strip.image.get(), layout.picture);

    const LcdGaugeMarks* gauges = resources.Gauges(round);
    for (int gauge = 0; gauge < 4; ++gauge) {
        resources.brush.SetColor(Gdiplus::Color(kLcdTrackGrey));
        g.FillPath(&resources.brush, &gauges[gauge].track);
        if (gauge == kGaugeA) {
            const int marks = std::max(2, leadingDigitOfLastTwo(snapshot().weatherText[3]) * kMarks / 10);
            fillMarks(g, resources.brush, gauges[gauge], kMarks - 1, kMarks - marks, snapshot().weatherColour[3], 105, 10);
        } else if (gauge == kGaugeB) {
            // In 64 bits: a large text must fill the gauge, not wrap round and empty it.
            const long long scale = round ? kRoundFullScale : kWideFullScale;
            const long long marks = std::min<long long>(weatherNumber(snapshot().weatherText[5]) * kMarks / scale, kMarks);
            if (marks > 0)
                fillMarks(g, resources.brush, gauges[gauge], 0, static_cast<int>(marks) - 1, snapshot().weatherColour[5], 255, -10);
        } else if (gauge == kGaugeC) {
            const long long last = std::clamp<long long>(weatherNumber(snapshot().weatherText[2]) * kMarks / 100 + 1, 0, kMarks - 1);
            fillMarks(g, resources.brush, gauges[gauge], 0, static_cast<int>(last), snapshot().weatherColour[2], 255, -10);
        }
    }

    const float fw = static_cast<float>(width / 2);
    const float fh = static_cast<float>(height / 2);
    resources.brush.SetColor(snapshot().weatherColour[0]);
    g.DrawString(snapshot().weatherText[0], snapshot().weatherText[0].GetLength(),
                 TextFont(resources.Font(LcdFontRole::Place20), snapshot().weatherText[0]),
                 Gdiplus::RectF(fw - 80, 80, 200, 50), &resources.centred, &resources.brush);
    resources.brush.SetColor(snapshot().weatherColour[1]);
    g.DrawString(snapshot().weatherText[1], snapshot().weatherText[1].GetLength(),
                 TextFont(resources.Font(LcdFontRole::Large30), snapshot().weatherText[1]),
                 Gdiplus::RectF(fw - 100, fh + 50, 200, 50), &resources.centred, &resources.brush);

    const CString small[] = { snapshot().weatherText[2], snapshot().weatherText[3], snapshot().weatherText[4] + L"%",
                              snapshot().weatherText[5] + TemperatureSign() };
    resources.brush.SetColor(Gdiplus::Color(kLcdTrackGrey));
    for (int text = 0; text < 4; ++text)
        g.DrawString(small[text], small[text].GetLength(), TextFont(resources.Font(LcdFontRole::Small18), small[text]),
                     layout.textBoxes[text],
                     &resources.centred, &resources.brush);
}

void LEDModeCtrl::weatherMoving(Gdiplus::Graphics& g, int width, int height, int)
{
    g.SetSmoothingMode(Gdiplus::SmoothingModeHighQuality);
    const SYSTEMTIME& now = snapshot().now;
    const Gdiplus::PointF centre(static_cast<float>(width / 2), static_cast<float>(height / 2));
    DrawHand(g, snapshot().hands[0], centre, now.wHour * 30.0f + now.wMinute * 0.5f, 0);
    DrawHand(g, snapshot().hands[1], centre, now.wMinute * 6.0f, 0);
    DrawHand(g, snapshot().hands[2], centre, now.wSecond * 6.0f, 6);
    Gdiplus::SolidBrush& brush = m_screenResources->brush;
    brush.SetColor(Gdiplus::Color(kHubGrey));
    g.FillEllipse(&brush, width / 2 - 15, height / 2 - 15, 30, 30);
}

void LEDModeCtrl::DrawHand(Gdiplus::Graphics& g, const LcdPicture& hand, Gdiplus::PointF pivot, float degrees,
                           float pivotOffset)
{
    DrawHandImage(g, hand.image.get(), hand.width, hand.height, pivot, degrees, pivotOffset);
}

} // namespace KOVA
