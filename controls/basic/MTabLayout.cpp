// GUI thread only, but for the fast-timer ticks it passes to its children (MPanel's rules).
#include "controls/basic/MTabLayout.h"

namespace KOVA {

MTabLayout::MTabLayout(MObject* parent, UINT id, CRect rect, int visible) : MPanel(parent, id, rect, visible)
{
    m_imageCount = 1;
    m_runTimer = 1;
}

const wchar_t* MTabLayout::GetClassNameW() const { return L"MTabLayout"; }

int MTabLayout::OnCheckMouseResponse(UINT, CPoint pt)
{
    ScopedLock lock(m_controlsLock);
    for (MControl* child : *m_controls)
        if (child && child->PtInRect(pt))
            return 1;
    return 0;
}

} // namespace KOVA
