// GUI thread only.
#include "controls/basic/CSwitchButton.h"

namespace KOVA {

// Hover and pressed share one look.
const ButtonBase::StateTable CSwitchButton::kSwitchStates { { { 0, 1, 1, 3 }, { 0, 1, 1, 3 } } };

CSwitchButton::CSwitchButton(MObject* parent, UINT id, CRect rect, int visible, int enabled)
    : ButtonBase(parent, id, rect, L"", visible, enabled)
{
    m_states = &kSwitchStates;
    m_tabStop = 1;
    m_vAlign = DT_VCENTER;
}

int CSwitchButton::SetImage(const wchar_t* onFile, const wchar_t* offFile, int count)
{
    if (count < 1)
        return 0;
    const int on = m_on.Load(onFile, count);
    const int off = m_off.Load(offFile, count);
    if (on)
        m_imageCount = count;
    Repaint(1);
    return on && off ? 1 : 0;
}

int CSwitchButton::SetCheck(int check)
{
    const int changed = check != m_check;
    m_check = check;
    SetLook(m_enabled ? LookNormal : LookDisabled);
    if (changed)
        Repaint(1);
    return m_check;
}

int CSwitchButton::OnControlLButtonDown(UINT, CPoint pt)
{
    const int before = GetState();
    BeginPress(pt);
    return Conclude(before, 0);
}

int CSwitchButton::OnControlLButtonUp(UINT, CPoint pt)
{
    const int before = GetState();
    if (!EndPress(pt).click)
        return Conclude(before, 0);
    m_check = m_check ? 0 : 1;
    const int check = m_check;
    Repaint(1);
    SendMessageW(2, 0, check);
    return 1;
}

int CSwitchButton::OnControlKeyDown(UINT, UINT, UINT) { return 0; }

void CSwitchButton::DrawControl(HDC& dc, CRect)
{
    DrawStrip(dc, 4, GetState(), [&](Gdiplus::Graphics& graphics) {
        for (int frame = 0; frame < 4; ++frame) {
            const CRect frameRect = FrameRect(frame);
            if (m_check)
                StretchFrame(graphics, m_on.Image(), frameRect, frame, m_on.FrameCount());
            else
                m_off.DrawFrame(graphics, frame, frameRect.left, (frameRect.Height() - m_off.FrameHeight()) / 2);
        }
    });
}

} // namespace KOVA
