#pragma once
// The windowless rich edit on the system text services. So far it carries what the paint
// manager's caret reads of it: the text colour that fills the caret and the focused flag
// that stops the blinking.
#include "platform/Win32.h"

#include "framework/MControl.h"
#include "platform/KovaExport.h"

namespace KOVA {

class KOVA_API MRichEdit : public MControl {
public:
    // The title and the enabled flag are not taken: like every composite control, the rich
    // edit starts enabled and responsive.
    MRichEdit(MObject* parent, UINT id, CRect rect, const wchar_t* title, int visible, int enabled);

    const wchar_t* GetClassNameW() const override;
    void DrawControl(HDC& dc, CRect paintRect) override;

    // Text colour
    void SetTextColor(Gdiplus::Color color);
    Gdiplus::Color GetTextColor() const { return m_textColor; }
    COLORREF GetTextColorRef() const { return m_textColorRef; }

private:
    Gdiplus::Color m_textColor { 0xFFFFFFFF };
    COLORREF m_textColorRef { RGB(255, 255, 255) };
};

} // namespace KOVA
