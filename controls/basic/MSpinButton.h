#pragma once
// A numeric spin box: an integer in a framed box with a small up and down button at its right
// edge, and typed digits while it has the keyboard focus. Steps wrap around at both ends of
// the range. Every change the user makes is reported with code 0x1C (0, 0); the host then
// reads the value.
#include "platform/Win32.h"

#include "framework/MPanel.h"
#include "platform/KovaExport.h"
#include "platform/NotCopied.h"

namespace KOVA {

class KOVA_API MSpinButton : public MPanel {
public:
    // The enabled flag is not used: a box starts enabled. A copy takes the values and makes
    // buttons of its own when it is initialised.
    MSpinButton(MObject* parent, UINT id, CRect rect, int visible, int enabled);

    // Makes the two buttons (ids 30 and 31, skin strips "img_spin_up.png" and
    // "img_spin_down.png") through the panel's factory.
    void InitControl(PaintManager* manager) override;
    void DrawControl(HDC& dc, CRect paintRect) override;
    int SetControlFocus(int focus) override;
    // The buttons' clicks step the value; nothing of the buttons reaches the parent.
    LONG OnMessage(UINT id, UINT code, UINT wParam, LONG lParam) override;
    void SetControlRect(CRect rect) override;
    // The buttons follow the box.
    void SetControlEnabled(int enabled) override;
    int OnControlMouseMove(UINT keys, CPoint pt) override;
    int OnControlLButtonDown(UINT keys, CPoint pt) override;
    int OnControlLButtonUp(UINT keys, CPoint pt) override;
    // Only with the focus, while enabled: digits, Backspace, the arrows and the keypad's plus
    // and minus.
    int OnControlKeyDown(UINT key, UINT repeat, UINT modifiers) override;

    // Not checked against the range; no notification.
    void SetCurValue(int value);
    int GetCurValue() const { return m_value; }
    // Stored only: the value is not brought into the range.
    void SetRange(int minimum, int maximum);
    // How many characters typed entry may reach: at most 9, as ten digits need not fit an int.
    void SetLimitLength(int length);
    int GetLimitLength() const { return m_limitLength; }
    // 0 normal, 1 hover, 2 pressed, 3 disabled: the look shown.
    int GetState() const { return m_state; }

    static constexpr UINT kUpButtonId = 30;
    static constexpr UINT kDownButtonId = 31;

protected:
    // A typed digit: appended to the value, or the value alone once the text would pass the
    // limit; wrapped into the range; code 0x1C.
    void CalcValue(int digit);

private:
    MControlFont* MakeButton(UINT id, const wchar_t* image);
    // Right-aligned in the box, its bottom (above) or its top at edge.
    void PlaceButton(MControlFont* button, int edge, bool above);
    void StepUp();
    void StepDown();
    void Backspace();
    // Stores a changed value with a re-rendering repaint.
    bool StoreValue(int value);
    // StoreValue, then code 0x1C whether it changed or not.
    void Settle(int value);
    int ShowState(int state);
    void Repaint() { UpdateControl(1, 0); }

    int m_state { 0 };
    int m_value { 0 };
    int m_minimum { 1 };
    int m_maximum { 100 };
    int m_limitLength { 3 };
    NotCopied<MControlFont*> m_upButton;
    NotCopied<MControlFont*> m_downButton;
};

} // namespace KOVA
