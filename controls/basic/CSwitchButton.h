#pragma once
// An on/off switch drawn from two image strips of its own, one for each position: each
// completed click flips it and reports the new position.
#include "platform/Win32.h"

#include "controls/basic/ButtonBase.h"
#include "platform/KovaExport.h"

namespace KOVA {

class KOVA_API CSwitchButton : public ButtonBase {
public:
    CSwitchButton(MObject* parent, UINT id, CRect rect, int visible, int enabled);

    void DrawControl(HDC& dc, CRect paintRect) override;
    // A press only shows the pressed look.
    int OnControlLButtonDown(UINT keys, CPoint pt) override;
    // A completed click flips the position and reports (id, 2, 0, new position).
    int OnControlLButtonUp(UINT keys, CPoint pt) override;
    // Keys pass on.
    int OnControlKeyDown(UINT key, UINT repeat, UINT modifiers) override;

    // The two strips from the skin folder, owned by the switch and cut into count frames;
    // 1 only when both load, 0 for a count below 1 (nothing changed then).
    int SetImage(const wchar_t* onFile, const wchar_t* offFile, int count);
    // Sets the position without a report.
    int SetCheck(int check);

private:
    static const StateTable kSwitchStates;
    ButtonIcon m_on;
    ButtonIcon m_off;
};

} // namespace KOVA
