#pragma once
// A check box and a radio button: a small image from an eight-frame strip (unchecked normal,
// hover, pressed, disabled, then the same four checked) at the left, the caption beside it.
// The check box toggles on each click; the radio button checks itself and unchecks the other
// radio buttons of its group. Space on the focused control, or its accelerator, toggles too.
#include "platform/Win32.h"

#include "controls/basic/ButtonBase.h"
#include "platform/KovaExport.h"

namespace KOVA {

class KOVA_API CCheckButton : public ButtonBase {
public:
    CCheckButton(MObject* parent, UINT id, CRect rect, const wchar_t* title, int visible, int enabled);

    void DrawControl(HDC& dc, CRect paintRect) override;
    int SetControlFocus(int focus) override;
    int OnControlLButtonDown(UINT keys, CPoint pt) override;
    int OnControlLButtonUp(UINT keys, CPoint pt) override;
    int OnControlKeyDown(UINT key, UINT repeat, UINT modifiers) override;

    // Only while enabled; any non-zero value counts as checked. Returns the check.
    int SetCheck(int check);

protected:
    // The key that toggles: the accelerator, or Space on the focused control.
    bool IsToggleKey(UINT key, UINT modifiers) const;
    // Draws the eight looks with the box image at its own size, or scaled for the radio
    // button, and the caption beside it laid out as the class says.
    void DrawLooks(HDC& dc, float boxScale, float fontSize, int captionGap, const Gdiplus::StringFormat& format);

    static const StateTable kCheckStates;
};

class KOVA_API CRadioButton : public CCheckButton {
public:
    CRadioButton(MObject* parent, UINT id, CRect rect, const wchar_t* title, int visible, int enabled);

    const wchar_t* GetClassNameW() const override;
    void DrawControl(HDC& dc, CRect paintRect) override;
    int OnControlLButtonUp(UINT keys, CPoint pt) override;
    int OnControlKeyDown(UINT key, UINT repeat, UINT modifiers) override;

    int SetCheck(int check);
    // Whatever the enabled flag; no group walk, no notification.
    void SetControlCheck(int check);
    // Unchecks the other radio buttons of the group, hidden and disabled ones too.
    int ResetGroupCheck();
    void SetGroupName(const wchar_t* name) { m_groupName = name ? name : L""; }
    CString GetGroupName() const { return m_groupName; }
    void EnableMultiLine(int multiLine) { m_multiLine = multiLine; }

private:
    CString m_groupName;
    int m_multiLine { 0 };
};

} // namespace KOVA
