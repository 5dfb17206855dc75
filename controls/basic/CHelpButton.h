#pragma once
// An image that shows its title in the window's balloon tip while the pointer is over it.
// Clicks on it are ignored.
#include "platform/Win32.h"

#include "controls/basic/ButtonBase.h"
#include "platform/KovaExport.h"

namespace KOVA {

class KOVA_API CHelpButton : public ButtonBase {
public:
    CHelpButton(MObject* parent, UINT id, CRect rect, const wchar_t* title, int visible, int enabled);

    void DrawControl(HDC& dc, CRect paintRect) override;
    // Inside: the tip shows the title, owned by this button's id; outside: the tip is hidden
    // when this button owns it.
    int OnControlMouseMove(UINT keys, CPoint pt) override;
    // It has no states and sends nothing.
    void SetControlEnabled(int enabled) override;
    int OnControlLButtonDown(UINT keys, CPoint pt) override;
    int OnControlLButtonUp(UINT keys, CPoint pt) override;
};

} // namespace KOVA
