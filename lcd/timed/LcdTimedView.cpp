#include "lcd/timed/LcdTimedView.h"

#include "framework/MRender.h"

namespace KOVA {

LcdTimedView::LcdTimedView(MObject* parent, UINT id, CRect rect, int visible, int enabled)
    : MControlFont(parent, id, rect, L"", visible, enabled, 1)
{
    m_run = 1;
}

int LcdTimedView::OnControlTimer()
{
    if (!m_run || !m_visible || ++m_ticks < m_ticksPerRepaint)
        return 0;
    m_ticks = 0;
    UpdateControl(1, 0);
    return 1;
}

void LcdTimedView::DrawControl(HDC& dc, CRect)
{
    const int width = m_rect.Width();
    const int height = m_rect.Height();
    if (!m_update || m_memPicture.width() != width || m_memPicture.height() != height) {
        UpdateMemDC(dc, width, height);
        MRender::BitBlt(m_memPicture.dc(), 0, 0, width, height, dc, m_rect.left, m_rect.top);
        PaintPicture(m_memPicture.dc(), width, height);
    }
    MRender::BitBlt(dc, m_rect.left, m_rect.top, width, height, m_memPicture.dc(), 0, 0);
}

} // namespace KOVA
