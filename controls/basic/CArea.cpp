// GUI thread only.
#include "controls/basic/CArea.h"

#include "framework/MRender.h"

namespace KOVA {

namespace {
Gdiplus::Color opaqueColour(COLORREF colour)
{
    return Gdiplus::Color(0xFE, GetRValue(colour), GetGValue(colour), GetBValue(colour));
}
} // namespace

CArea::CArea(MObject* parent, UINT id, CRect rect, int visible, int enabled)
    : MControl(parent, id, rect, visible, enabled, 1)
{
}

void CArea::SetTransparent(int top, int bottom, COLORREF fill)
{
    m_topTransparency = top;
    m_bottomTransparency = bottom;
    m_fill = fill;
    UpdateControl(1, 0);
}

void CArea::SetFrame(int show, Gdiplus::Color colour, int)
{
    m_frame = show;
    m_frameColour = colour;
    UpdateControl(1, 0);
}

void CArea::DrawControl(HDC& dc, CRect)
{
    const int width = m_rect.Width();
    const int height = m_rect.Height();
    if (!GetUpdate()) {
        UpdateMemDC(dc, width, height);
        HDC memory = m_memPicture.dc();
        MRender::BitBlt(memory, 0, 0, width, height, dc, m_rect.left, m_rect.top);
        if (IsOpaque())
            DrawOpaque(memory, width, height);
        else
            DrawVeil(memory, width, height);
    }
    MRender::BitBlt(dc, m_rect.left, m_rect.top, width, height, m_memPicture.dc(), 0, 0);
}

void CArea::DrawOpaque(HDC dc, int width, int height) const
{
    Gdiplus::Graphics graphics(dc);
    const Gdiplus::SolidBrush fill(opaqueColour(m_fill));
    if (!m_frame) {
        graphics.FillRectangle(&fill, 0, 0, width, height);
        return;
    }
    const Gdiplus::SolidBrush frame(m_frameColour);
    graphics.FillRectangle(&frame, 0, 0, width, height);
    graphics.FillRectangle(&fill, 1, 1, width - 2, height - 2);
}

void CArea::DrawVeil(HDC& dc, int width, int height) const
{
    MemoryPicture colour;
    colour.Create(dc, width, height);
    HDC colourDc = colour.dc();
    MRender::FillSolidRect(colourDc, 0, 0, width, height, m_fill);
    const CRect whole(0, 0, width, height);
    MRender::DrawVerticalTransition(dc, colourDc, whole, whole, m_topTransparency, m_bottomTransparency);
}

} // namespace KOVA
