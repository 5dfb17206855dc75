#include "lcd/screens/LcdScreenResources.h"

#include <iterator>

#include "framework/MRender.h"
#include "framework/Manager.h"
#include "framework/PaintManager.h"
#include "lcd/renderer/LcdFrameSnapshot.h"

namespace KOVA {

namespace {
struct FontRecipe {
    int size;
    int style; // -1: the control's own style
};
const FontRecipe kRecipes[] = {
    { 50, Gdiplus::FontStyleBoldItalic },
    { 60, Gdiplus::FontStyleBoldItalic },
    { 20, Gdiplus::FontStyleRegular },
    { 20, Gdiplus::FontStyleBold },
    { 18, -1 },
    { 30, -1 },
};
static_assert(std::size(kRecipes) == static_cast<size_t>(LcdFontRole::Count));

// The water screen's dots: 8 rings 12 pixels apart, 45 dots every 8 degrees, each a disc of 6.
constexpr int kDotRings = 8;
constexpr int kDotsPerRing = 45;
constexpr float kDotSide = 6.0f;

// The weather gauges: where each starts, clockwise from straight up, in drawing order.
const float kGaugeStarts[4] = { 25.0f, 110.0f, 205.0f, 295.0f };
constexpr float kMarkStep = 3.0f;

// Adds a rounded square rotated about centre by degrees (clockwise on screen) to path.
void addTurnedRoundedRect(Gdiplus::GraphicsPath& path, const Gdiplus::RectF& box, float radius, float degrees,
                          const Gdiplus::PointF& centre)
{
    Gdiplus::GraphicsPath one;
    MRender::AddRoundedRectangle(one, box.X, box.Y, box.Width, box.Height, radius);
    Gdiplus::Matrix turn;
    turn.Translate(centre.X, centre.Y);
    turn.Rotate(degrees);
    turn.Translate(-centre.X, -centre.Y);
    one.Transform(&turn);
    path.AddPath(&one, FALSE);
}
} // namespace

LcdScreenResources::LcdScreenResources()
{
    centred.SetAlignment(Gdiplus::StringAlignmentCenter);
    centred.SetLineAlignment(Gdiplus::StringAlignmentCenter);
}

bool LcdScreenResources::PrepareFonts(const LcdFrameSnapshot& frame)
{
    if (m_fontsMade && frame.managerSerial == m_fontManagerSerial && frame.face == m_fontFace
        && frame.fontStyle == m_fontStyle && frame.scale == m_fontScale)
        return false;
    m_fontsMade = true;
    m_fontManagerSerial = frame.managerSerial;
    m_fontFace = frame.face;
    m_fontStyle = frame.fontStyle;
    m_fontScale = frame.scale;
    const Gdiplus::FontStyle style = frame.fontStyle;
    const Gdiplus::FontFamily* family = frame.manager ? frame.manager->FindTempFontOrFallback(frame.face) : nullptr;
    for (int role = 0; role < static_cast<int>(LcdFontRole::Count); ++role) {
        m_fonts[role].reset();
        const int size = Manager::GetScaleValue(kRecipes[role].size);
        if (!family || size <= 0)
            continue;
        const int fontStyle = kRecipes[role].style < 0 ? style : kRecipes[role].style;
        m_fonts[role].reset(new Gdiplus::Font(family, static_cast<Gdiplus::REAL>(size), fontStyle, Gdiplus::UnitPixel));
        if (m_fonts[role]->GetLastStatus() != Gdiplus::Ok)
            m_fonts[role].reset();
    }
    return true;
}

Gdiplus::Brush* LcdScreenResources::Gradient(int slot, const Gdiplus::Rect& square, Gdiplus::Color from, Gdiplus::Color to)
{
    GradientSlot& kept = m_gradients[slot];
    if (!kept.brush || !kept.square.Equals(square) || kept.from != from.GetValue() || kept.to != to.GetValue()) {
        kept.brush.reset(new Gdiplus::LinearGradientBrush(square, from, to, Gdiplus::LinearGradientModeForwardDiagonal));
        kept.square = square;
        kept.from = from.GetValue();
        kept.to = to.GetValue();
    }
    return kept.brush.get();
}

const Gdiplus::GraphicsPath& LcdScreenResources::Dots(int cx, int cy)
{
    if (m_dotsCentre.X == cx && m_dotsCentre.Y == cy)
        return m_dots;
    m_dots.Reset();
    const Gdiplus::PointF centre(static_cast<float>(cx), static_cast<float>(cy));
    for (int ring = 0; ring < kDotRings; ++ring) {
        // The top dot of the ring, straight above the centre.
        const Gdiplus::RectF top(static_cast<float>(cx - 3), static_cast<float>(cy - (cx - 6 - ring * 12)), kDotSide,
                                 kDotSide);
        for (int dot = 0; dot < kDotsPerRing; ++dot)
            addTurnedRoundedRect(m_dots, top, kDotSide / 2, static_cast<float>(dot * 8), centre);
    }
    m_dotsCentre = Gdiplus::Point(cx, cy);
    return m_dots;
}

const LcdGaugeMarks* LcdScreenResources::Gauges(bool round)
{
    const int layout = round ? 1 : 0;
    if (layout == m_gaugeLayout)
        return m_gauges;
    const float ringX = round ? 240.0f : 320.0f;
    const Gdiplus::PointF centre(ringX, 240.0f);
    const Gdiplus::RectF upright(ringX - 3.0f, 26.0f, 6.0f, 20.0f);
    for (int gauge = 0; gauge < 4; ++gauge) {
        LcdGaugeMarks& marks = m_gauges[gauge];
        marks.track.Reset();
        for (int i = 0; i < 16; ++i) {
            marks.marks[i].Reset();
            const float degrees = kGaugeStarts[gauge] + kMarkStep * static_cast<float>(i);
            addTurnedRoundedRect(marks.marks[i], upright, 3.0f, degrees, centre);
            marks.track.AddPath(&marks.marks[i], FALSE);
        }
    }
    m_gaugeLayout = layout;
    return m_gauges;
}

HDC LcdKeptPixels::Keep(HDC from, int width, int height)
{
    m_kept = m_copy.Prepare(from, width, height) && ::BitBlt(m_copy.dc(), 0, 0, width, height, from, 0, 0, SRCCOPY);
    GdiFlush();
    return m_kept ? m_copy.dc() : nullptr;
}

void LcdKeptPixels::CopyThrough(HDC to, HRGN region) const
{
    if (!m_kept)
        return;
    const int saved = SaveDC(to);
    SelectClipRgn(to, region);
    ::BitBlt(to, 0, 0, m_copy.width(), m_copy.height(), m_copy.dc(), 0, 0, SRCCOPY);
    RestoreDC(to, saved);
    GdiFlush();
}

void LcdScreenResourcesDeleter::operator()(LcdScreenResources* resources) const
{
    delete resources;
}

} // namespace KOVA
