// GUI thread only.
#include "controls/input/CColorCombo.h"

namespace KOVA {

namespace {
constexpr int kLooks = 4;
constexpr Gdiplus::ARGB kFrame = 0xFE050505;
constexpr Gdiplus::ARGB kDisabledFrame = 0xFE808080;
constexpr Gdiplus::ARGB kDisabledCross = 0xFEFF0000;
} // namespace

CColorCombo::CColorCombo(MObject* parent, UINT id, CRect rect, int visible, int enabled)
    : ButtonBase(parent, id, rect, L"", visible, enabled)
{
}

const wchar_t* CColorCombo::GetClassNameW() const
{
    return L"CColorCombo";
}

void CColorCombo::SetControlRect(CRect rect)
{
    m_rect = rect;
}

void CColorCombo::SetAreaColor(Gdiplus::Color colour)
{
    m_colour = colour;
    Repaint(1);
}

int CColorCombo::OnControlLButtonUp(UINT, CPoint pt)
{
    const int before = GetState();
    const Step step = EndPress(pt);
    return Conclude(before, 0, step.taken && Contains(pt) ? 2 : 0);
}

// A translucent colour shows what lies under the control: every look starts as those pixels.
void CColorCombo::paintLooks(Gdiplus::Graphics& graphics)
{
    graphics.SetSmoothingMode(Gdiplus::SmoothingModeHighQuality);
    const int width = m_rect.Width();
    const int height = m_rect.Height();
    Gdiplus::SolidBrush fill(m_colour);
    for (int look = 0; look < kLooks; ++look) {
        const int x = look * width;
        graphics.FillRectangle(&fill, x, 0, width, height);
        Gdiplus::Pen frame(Gdiplus::Color(look == LookDisabled ? kDisabledFrame : kFrame), 1.0f);
        graphics.DrawRectangle(&frame, x, 0, width - 1, height - 1);
        if (look == LookDisabled) {
            Gdiplus::Pen cross(Gdiplus::Color(kDisabledCross), 1.0f);
            graphics.DrawLine(&cross, x, height, x + width, 0);
        }
    }
}

void CColorCombo::DrawControl(HDC& dc, CRect)
{
    DrawStrip(dc, kLooks, GetState(), [this](Gdiplus::Graphics& graphics) { paintLooks(graphics); });
}

} // namespace KOVA
