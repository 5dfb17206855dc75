// GUI thread only; no locks.
#include "controls/input/CirclePalette.h"

#include <climits>
#include <cmath>
#include <cstdlib>

#include "controls/basic/LookPainting.h"

namespace KOVA {

namespace {
constexpr UINT kColourChanged = 0x1B;
constexpr UINT kReleased = 2;
constexpr int kThumbHalf = 5;
// Moves closer than this to the last thumb centre leave the thumb where it is.
constexpr int kMoveThreshold = 5;
// The colour search accepts a table entry this close to the colour (absolute difference).
constexpr long kColourTolerance = 2;

CRect squareAround(int x, int y)
{
    return CRect(x - kThumbHalf, y - kThumbHalf, x + kThumbHalf, y + kThumbHalf);
}
} // namespace

CirclePalette::CirclePalette(MObject* parent, UINT id, CRect rect, int visible, int enabled)
    : MControlFont(parent, id, rect, L"", visible, enabled, 1)
{
}

const wchar_t* CirclePalette::GetClassNameW() const
{
    return L"CirclePalette";
}

void CirclePalette::SetSelectColor(unsigned long colour)
{
    m_selected = colour;
    bool found = false;
    for (int x = 0; x < kTableSide && !found; ++x)
        for (int y = 0; y < kTableSide && !found; ++y)
            if (std::labs(static_cast<long>(m_table.At(x, y)) - static_cast<long>(colour)) < kColourTolerance) {
                m_thumb = squareAround(m_rect.left + x, m_rect.top + y);
                found = true;
            }
    repaint();
}

int CirclePalette::GetDistanse(CPoint point)
{
    // A point at the far end of int is still a distance (the difference taken wide), held
    // within an int.
    const float dx = static_cast<float>(static_cast<double>(m_rect.left + m_rect.Width() / 2) - point.x);
    const float dy = static_cast<float>(static_cast<double>(m_rect.top + m_rect.Height() / 2) - point.y);
    const float distance = std::sqrt(dx * dx + dy * dy);
    return distance < 2147483648.0f ? static_cast<int>(distance) : INT_MAX;
}

int CirclePalette::MoveThumbPos(CPoint point)
{
    const CRect candidate = squareAround(point.x, point.y);
    if (GetDistanse(point) > m_rect.Width() / 2)
        return 0;
    m_centre = point;
    if (candidate == m_thumb)
        return 0;
    m_thumb = candidate;
    // The colour under the event's point (not the real cursor's, which posted input does not
    // move), kept inside the table.
    m_selected = m_table.Nearest(point.x - m_rect.left, point.y - m_rect.top);
    repaint();
    SendMessageW(kColourChanged, 0, static_cast<LONG>(m_selected));
    return 0;
}

void CirclePalette::SetControlRect(CRect rect)
{
    if (rect == m_rect)
        return;
    m_rect = rect;
    m_thumb = CRect(rect.left + 100, rect.top + 30, rect.left + 110, rect.top + 40);
    repaint();
}

// ---- mouse

int CirclePalette::OnControlLButtonDown(UINT, CPoint pt)
{
    if (!m_enabled)
        return 0;
    m_state = 2;
    MoveThumbPos(pt);
    return 0;
}

int CirclePalette::OnControlMouseMove(UINT, CPoint pt)
{
    if (!m_enabled || !m_rect.PtInRect(pt) || m_state != 2)
        return 0;
    if (std::abs(pt.x - m_centre.x) > kMoveThreshold || std::abs(pt.y - m_centre.y) > kMoveThreshold)
        MoveThumbPos(pt);
    return 1;
}

int CirclePalette::OnControlLButtonUp(UINT, CPoint pt)
{
    if (!m_enabled)
        return 0;
    m_state = m_thumb.PtInRect(pt) ? 1 : 0;
    repaint();
    SendMessageW(kReleased, 0, 0);
    return 0;
}

// ---- drawing

void CirclePalette::drawThumb(Gdiplus::Graphics& graphics) const
{
    graphics.SetSmoothingMode(Gdiplus::SmoothingModeHighQuality);
    const Gdiplus::Rect place(m_thumb.left - m_rect.left, m_thumb.top - m_rect.top, m_thumb.Width(), m_thumb.Height());
    Gdiplus::SolidBrush fill(Gdiplus::Color(255, GetRValue(m_selected), GetGValue(m_selected), GetBValue(m_selected)));
    graphics.FillEllipse(&fill, place);
    Gdiplus::Pen outline(Gdiplus::Color(0xFFFFFFFF), 1.0f);
    graphics.DrawEllipse(&outline, place);
}

void CirclePalette::DrawControl(HDC& dc, CRect)
{
    if (BeginCachedLooks(*this, m_memPicture, dc, 1)) {
        Gdiplus::Graphics graphics(m_memPicture.dc());
        if (m_image) {
            const int width = GetFrameWidth();
            graphics.DrawImage(m_image, Gdiplus::Rect((m_rect.Width() - width) / 2, (m_rect.Height() - m_imageHeight) / 2,
                                                      width, m_imageHeight),
                               0, 0, width, m_imageHeight, Gdiplus::UnitPixel);
        }
        graphics.Flush();
        // The wheel is read once: a later drawing carries the thumb, a resize keeps the table.
        if (m_table.At(0, 0) == 0 && m_table.At(10, 10) == 0)
            m_table.Fill(m_memPicture.dc(), m_rect.Width(), m_rect.Height());
        drawThumb(graphics);
    }
    ShowCachedLook(*this, m_memPicture, dc, 0);
}

} // namespace KOVA
