// GUI thread only.
#include "controls/basic/CHelpButton.h"

#include "framework/PaintManager.h"

namespace KOVA {

namespace {
constexpr int kTipDrop = 25;
} // namespace

CHelpButton::CHelpButton(MObject* parent, UINT id, CRect rect, const wchar_t* title, int visible, int enabled)
    : ButtonBase(parent, id, rect, title, visible, enabled)
{
    m_imageCount = 1;
}

void CHelpButton::SetControlEnabled(int enabled) { MControl::SetControlEnabled(enabled); }
int CHelpButton::OnControlLButtonDown(UINT keys, CPoint pt) { return MControl::OnControlLButtonDown(keys, pt); }
int CHelpButton::OnControlLButtonUp(UINT keys, CPoint pt) { return MControl::OnControlLButtonUp(keys, pt); }

int CHelpButton::OnControlMouseMove(UINT, CPoint pt)
{
    if (!m_enabled || m_title.IsEmpty() || !m_manager)
        return 0;
    if (!Contains(pt)) {
        HideTitleTip();
        return 0;
    }
    ShowTitleTip(POINT { m_rect.right, m_rect.top + kTipDrop }, AirBladderModeRight);
    return 1;
}

void CHelpButton::DrawControl(HDC& dc, CRect)
{
    DrawStrip(dc, 1, 0, [&](Gdiplus::Graphics& graphics) { StretchFrame(graphics, m_image, FrameRect(0), 0, 1); });
}

} // namespace KOVA
