// GUI thread only.
#include "devices/cooling/MLevelCtrl.h"

#include <algorithm>

namespace KOVA {

namespace {
constexpr UINT kClickCode = 2;
constexpr int kPercentMaximum = 100;
// Both with alpha 0xFE, as the rest of the cooling pages draw them.
constexpr Gdiplus::ARGB kRim = 0xFEA0A0A0;
constexpr Gdiplus::ARGB kLit = 0xFEFFE100;
} // namespace

MLevelCtrl::MLevelCtrl(MObject* parent, UINT id, CRect rect, int visible, int enabled)
    : MControlFont(parent, id, rect, L"", visible, enabled, 1)
{
}

MLevelCtrl::MLevelCtrl(const MLevelCtrl& other) = default;
MLevelCtrl& MLevelCtrl::operator=(const MLevelCtrl& other) = default;
MLevelCtrl::~MLevelCtrl() = default;

const wchar_t* MLevelCtrl::GetClassNameW() const { return L"MLevelCtrl"; }

void MLevelCtrl::SetLevelValue(int level)
{
    const int held = std::max(m_minimum, std::min(level, m_maximum));
    if (held == m_level)
        return;
    m_level = held;
    UpdateControl(1, 0);
}

void MLevelCtrl::SetRangeValue(int minimum, int maximum)
{
    m_minimum = minimum;
    m_maximum = maximum;
}

MLevelCtrl::Segments MLevelCtrl::segments() const
{
    // Counted wide: a range near the ends of int would overflow, and a segment narrower than
    // a pixel can neither be drawn nor hit.
    const long long count = static_cast<long long>(m_maximum) - m_minimum + 1;
    if (count < 1)
        return Segments();
    const long long width = (m_rect.Width() - kSegmentGap * count) / count;
    if (width < 1)
        return Segments();
    return Segments { static_cast<int>(count), static_cast<int>(width) };
}

int MLevelCtrl::OnControlLButtonUp(UINT, CPoint pt)
{
    if (!m_enabled)
        return 0;
    if (!m_rect.PtInRect(pt))
        return 1;
    const Segments row = segments();
    const int x = pt.x - m_rect.left;
    const int y = pt.y - m_rect.top;
    if (row.count == 0 || y >= m_segmentHeight)
        return 1;
    const int k = x / (row.width + kSegmentGap);
    // Only inside a segment, not in the gap after it.
    if (k >= row.count || x - k * (row.width + kSegmentGap) >= row.width)
        return 1;
    const int value = m_minimum + k;
    if (value == m_level)
        return 1;
    m_level = value;
    // Repaint first: the parent may delete this control when it hears.
    UpdateControl(1, 0);
    SendMessageW(kClickCode, value, 0);
    return 1;
}

void MLevelCtrl::DrawControl(HDC& dc, CRect)
{
    DrawCachedLooks(*this, m_memPicture, dc, 1, 0, [this](Gdiplus::Graphics& graphics) {
        const Segments row = segments();
        Gdiplus::SolidBrush rim { Gdiplus::Color(kRim) };
        Gdiplus::SolidBrush lit { Gdiplus::Color(kLit) };
        for (int k = 0; k < row.count; ++k) {
            const int x = k * (row.width + kSegmentGap);
            graphics.FillRectangle(&rim, x, 0, row.width, m_segmentHeight);
            if (m_minimum + k <= m_level && row.width > 2)
                graphics.FillRectangle(&lit, x + 1, 1, row.width - 2, m_segmentHeight - 2);
        }
        if (!m_showLabel || !m_textBrush)
            return;
        CString label;
        label.Format(L"%s%d%s", static_cast<const wchar_t*>(m_title), m_level,
                     m_maximum == kPercentMaximum ? L"%" : L"");
        const Gdiplus::Font* font = m_font->Get(*this, static_cast<float>(m_fontSize), m_fontStyle);
        DrawTextLine(graphics, label, font,
                     Gdiplus::RectF(0.0f, static_cast<float>(m_segmentHeight), static_cast<float>(m_rect.Width()),
                                    static_cast<float>(m_rect.Height() - m_segmentHeight)),
                     *m_textBrush, Gdiplus::TextRenderingHintClearTypeGridFit);
    });
}

} // namespace KOVA
