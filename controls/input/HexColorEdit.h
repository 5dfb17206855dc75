#pragma once
// A colour typed as six hexadecimal digits beside a swatch of it. Every typed change is
// parsed at once and reported (code 2 with the colour); the title always holds the colour's
// hex text, so an edit starts from the colour shown.
#include "platform/Win32.h"

#include "controls/input/ColorTextEdit.h"
#include "platform/KovaExport.h"

namespace KOVA {

class HexColorEdit;

// HexColorEdit's native edit window.
class CEditWnd2 : public ColorEditWindow {
public:
    void Init(HexColorEdit* owner, CRect rect);

private:
    HexColorEdit* owner() const;
    void OnEditChanged() override;
    void OnEditKillFocus() override { NotifyOwner(ColorTextEdit::kEditEnded, 0, 0); }
    void ForgetOwner() override;
};

class KOVA_API HexColorEdit : public ColorTextEdit {
public:
    // The title argument is not used.
    HexColorEdit(MObject* parent, UINT id, CRect rect, const wchar_t* title, int visible, int enabled);
    HexColorEdit(const HexColorEdit& other) = default;
    HexColorEdit& operator=(const HexColorEdit& other) = default;
    ~HexColorEdit() override;

    const wchar_t* GetClassNameW() const override;
    void DrawControl(HDC& dc, CRect paintRect) override;
    void SetControlRect(CRect rect) override;
    int OnControlLButtonDown(UINT keys, CPoint pt) override;
    void SetSelectColor(COLORREF color) override;

    // Parses hex digits by length (1–2 red; 3–4 red + green; 5–6 red, green, blue; 7 or more
    // black) and commits the colour; an empty text changes nothing.
    void SetEditText(const wchar_t* text);
    CString GetEditText() const;
    void SetEditWindow(CEditWnd2* window) { *m_editWindow = window; }

protected:
    friend class CEditWnd2;
    void ShowEdit() override;
    void HideEdit() override;
    CRect CalcTextRect(int recompute);

private:
    void takeColor(COLORREF color);

    CRect m_textRect;
    NotCopied<CEditWnd2*> m_editWindow;
};

} // namespace KOVA
