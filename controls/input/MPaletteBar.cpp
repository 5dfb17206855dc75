// GUI thread only; no locks.
#include "controls/input/MPaletteBar.h"

#include "controls/basic/LookPainting.h"

namespace KOVA {

namespace {
constexpr UINT kColourChanged = 0x1B;
constexpr UINT kReleased = 2;
constexpr Gdiplus::ARGB kDarkEnd = 0xFF141414;
// Over a dark base colour a pick lighter than this is the marker ring, not the bar.
constexpr unsigned long kLightest = 0xE6E6E6;

Gdiplus::Color opaque(unsigned long colour)
{
    return Gdiplus::Color(255, GetRValue(colour), GetGValue(colour), GetBValue(colour));
}

Gdiplus::PointF at(int x, int y)
{
    return Gdiplus::PointF(static_cast<Gdiplus::REAL>(x), static_cast<Gdiplus::REAL>(y));
}
} // namespace

MPaletteBar::MPaletteBar(MObject* parent, UINT id, CRect rect, int visible)
    : MControlFont(parent, id, rect, L"", visible, 1, 1)
{
}

const wchar_t* MPaletteBar::GetClassNameW() const
{
    return L"MPaletteBar";
}

LONG MPaletteBar::OnMessage(UINT, UINT, UINT, LONG)
{
    return 0;
}

int MPaletteBar::OnControlScroll(int, UINT, CPoint)
{
    return 1;
}

void MPaletteBar::SetSelectColor(unsigned long colour)
{
    m_base = colour;
    m_marker.x += m_rect.Width() - m_rect.Height() - 2;
    repaint();
}

void MPaletteBar::SetControlRect(CRect rect)
{
    m_rect = rect;
    repaint();
}

// ---- mouse

int MPaletteBar::OnControlLButtonDown(UINT, CPoint)
{
    return m_enabled ? 1 : 0;
}

int MPaletteBar::OnControlMouseMove(UINT keys, CPoint pt)
{
    if (!m_enabled)
        return 0;
    if (!(keys & MK_LBUTTON) || !m_rect.PtInRect(pt))
        return 1;
    m_marker = CPoint(pt.x - m_rect.left, pt.y - m_rect.top);
    // What is shown there now, the marker ring included.
    const COLORREF pixel = m_memPicture.dc() ? ::GetPixel(m_memPicture.dc(), m_marker.x, m_marker.y) : 0;
    if (m_base <= kLightest && pixel != CLR_INVALID && pixel > kLightest)
        return 0;
    m_picked = pixel;
    repaint();
    SendMessageW(kColourChanged, 0, 0);
    return 1;
}

int MPaletteBar::OnControlLButtonUp(UINT, CPoint pt)
{
    if (!m_enabled)
        return 0;
    if (m_rect.PtInRect(pt)) {
        m_marker = CPoint(pt.x - m_rect.left, pt.y - m_rect.top);
        m_picked = m_table.At(m_marker.x, m_marker.y);
        repaint();
        SendMessageW(kReleased, 0, 0);
    }
    return 1;
}

// ---- drawing

void MPaletteBar::drawBar(Gdiplus::Graphics& graphics, int width, int height) const
{
    const Gdiplus::Color base = opaque(m_base);
    const int start = height / 2 - 2;
    Gdiplus::LinearGradientBrush middle(at(start, 0), at(width - height / 2 + 2, 0), Gdiplus::Color(kDarkEnd), base);
    graphics.FillRectangle(&middle, start, 0, width - height + 4, height);
    Gdiplus::GraphicsPath ends(Gdiplus::FillModeAlternate);
    ends.AddArc(0, 0, height, height, 90.0f, 90.0f);
    ends.AddArc(width - height, 0, height, height, 0.0f, 90.0f);
    ends.AddArc(width - height, 0, height, height, 270.0f, 90.0f);
    ends.AddArc(0, 0, height, height, 180.0f, 90.0f);
    ends.CloseFigure();
    Gdiplus::LinearGradientBrush whole(at(0, 0), at(width, 0), Gdiplus::Color(kDarkEnd), base);
    graphics.FillPath(&whole, &ends);
}

void MPaletteBar::drawMarker(Gdiplus::Graphics& graphics, int width, int height)
{
    if (m_marker.x + height - 2 > width)
        m_marker.x = width - height - 2;
    Gdiplus::Pen ring(Gdiplus::Color(0xFFFFFFFF), 2.0f);
    graphics.DrawEllipse(&ring, m_marker.x, 1, height - 2, height - 2);
}

void MPaletteBar::DrawControl(HDC& dc, CRect)
{
    if (BeginCachedLooks(*this, m_memPicture, dc, 1)) {
        const int width = m_rect.Width();
        const int height = m_rect.Height();
        Gdiplus::Graphics graphics(m_memPicture.dc());
        graphics.SetSmoothingMode(Gdiplus::SmoothingModeHighQuality);
        drawBar(graphics, width, height);
        graphics.Flush();
        m_table.Fill(m_memPicture.dc(), width, height);
        drawMarker(graphics, width, height);
    }
    ShowCachedLook(*this, m_memPicture, dc, 0);
}

} // namespace KOVA
