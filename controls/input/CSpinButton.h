#pragma once
// A numeric rich edit with a value range and two arrow buttons (ids 30 and 31, strips
// "img_spin_up.png" and "img_spin_down.png"). Each arrow click steps the value, wrapping
// at the ends, and reports code 28; typing is kept at or below the maximum as the user
// types and raised to the minimum when the field loses the focus.
#include "platform/Win32.h"

#include "controls/input/MRichEdit.h"
#include "platform/KovaExport.h"
#include "platform/NotCopied.h"

namespace KOVA {

class CImageButton;

class KOVA_API CSpinButton : public MRichEdit {
public:
    static constexpr UINT kUpId = 30;
    static constexpr UINT kDownId = 31;
    static constexpr UINT kValueChanged = 28;

    // The enabled argument is not used.
    CSpinButton(MObject* parent, UINT id, CRect rect, int visible, int enabled);
    CSpinButton(const CSpinButton& other) = default;
    CSpinButton& operator=(const CSpinButton& other) = default;

    const wchar_t* GetClassNameW() const override;
    void InitControl(PaintManager* manager) override;
    void DrawControl(HDC& dc, CRect paintRect) override;
    LONG OnMessage(UINT id, UINT code, UINT wParam, LONG lParam) override;
    void SetControlRect(CRect rect) override;
    void SetControlEnabled(int enabled) override;
    int SetControlFocus(int focus) override;
    void OnTxNotify(DWORD code, void* data) override;

    int GetCurValue() const { return m_value; }
    int GetMinValue() const { return m_min; }
    int GetMaxValue() const { return m_max; }
    // Stores the range; the value is left as it is.
    void SetRange(int minimum, int maximum);
    // A new value rewrites the text and repaints; the same value does nothing.
    void SetCurValue(int value);

private:
    void placeArrows();

    int m_value { 0 };
    int m_min { 0 };
    int m_max { 100 };
    NotCopied<CImageButton*> m_up;
    NotCopied<CImageButton*> m_down;
};

} // namespace KOVA
