#pragma once
// A log-on field: an icon at the left, a rule along the bottom, and a tip that is a
// placeholder in the middle while the field is empty and a small caption above the text
// once something is typed. No hover or press looks. Built with its constructor only.
#include "platform/Win32.h"

#include "controls/input/MRichEdit.h"
#include "platform/KovaExport.h"

namespace KOVA {

class KOVA_API CLogonEdit : public MRichEdit {
public:
    CLogonEdit(MObject* parent, UINT id, CRect rect, const wchar_t* title, int visible, int enabled);
    CLogonEdit(const CLogonEdit& other) = default;
    CLogonEdit& operator=(const CLogonEdit& other) = default;

    const wchar_t* GetClassNameW() const override;
    void DrawControl(HDC& dc, CRect paintRect) override;
    void SetControlRect(CRect rect) override;
    int OnControlMouseMove(UINT keys, CPoint pt) override;

private:
    void drawFace(Gdiplus::Graphics& graphics, int width, int height);
};

} // namespace KOVA
