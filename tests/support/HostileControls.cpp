#include "HostileControls.h"

namespace KOVA::test {

void HostileControls::poke(MControl& control, bool ticks)
{
    paint(control);
    for (const CPoint& at : kHostilePoints)
        for (UINT keys : { 0u, static_cast<UINT>(MK_LBUTTON), static_cast<UINT>(MK_RBUTTON) }) {
            control.OnMouseMove(keys, at);
            control.OnLButtonDown(MK_LBUTTON, at);
            control.OnMouseMove(MK_LBUTTON, at);
            control.OnLButtonUp(0, at);
            control.OnRButtonDown(MK_RBUTTON, at);
            control.OnMouseMove(MK_RBUTTON, at);
            control.OnRButtonUp(0, at);
            control.OnLButtonDblClk(MK_LBUTTON, at);
            control.OnScroll(1, keys % 2, at);
            if (ticks)
                control.OnTimer();
        }
    paint(control);
}

void HostileControls::paint(MControl& control)
{
    canvas.fill(0xFF202020);
    control.SetUpdate(0, 0);
    control.Draw(canvas.dc(), CRect(0, 0, canvas.width(), canvas.height()));
}

} // namespace KOVA::test
