#pragma once
// A colour typed as three decimal fields R, G and B side by side. A field opens on a click;
// its value is clamped to 0..255 and committed (code 2 with the colour) when it closes or
// loses the focus.
#include "platform/Win32.h"

#include "controls/input/ColorTextEdit.h"
#include "platform/KovaExport.h"

namespace KOVA {

class RGBColorEdit;

// RGBColorEdit's native edit window.
class CEditWnd3 : public ColorEditWindow {
public:
    void Init(RGBColorEdit* owner, CRect rect);

private:
    RGBColorEdit* owner() const;
    void OnEditKillFocus() override;
    void ForgetOwner() override;
};

class KOVA_API RGBColorEdit : public ColorTextEdit {
public:
    // The title argument is not used.
    RGBColorEdit(MObject* parent, UINT id, CRect rect, const wchar_t* title, int visible, int enabled);
    RGBColorEdit(const RGBColorEdit& other) = default;
    RGBColorEdit& operator=(const RGBColorEdit& other) = default;
    ~RGBColorEdit() override;

    const wchar_t* GetClassNameW() const override;
    void DrawControl(HDC& dc, CRect paintRect) override;
    void SetControlRect(CRect rect) override;
    int OnControlLButtonDown(UINT keys, CPoint pt) override;

    // The decimal value of the active field, clamped to 0..255 (the edit then shows the
    // clamped value), replaces that field's byte and is committed.
    void SetEditText(const wchar_t* text);
    CString GetEditText() const;
    void SetEditWindow(CEditWnd3* window) { *m_editWindow = window; }

protected:
    friend class CEditWnd3;
    void ShowEdit() override;
    void HideEdit() override;
    // The active field's text line.
    CRect CalcTextRect(int recompute);

private:
    void layOutFields();
    int component(int field) const;

    int m_activeField { 0 };
    CRect m_fields[3];
    NotCopied<CEditWnd3*> m_editWindow;
};

} // namespace KOVA
