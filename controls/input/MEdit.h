#pragma once
// The toolkit's text box. It draws its own background strip (four frames: normal, hover,
// editing, disabled), its text or a grey tip while it is empty, and an optional icon; while
// the user types, a native edit window (CEditWnd) lies over its text rectangle, holds the
// keyboard focus and reports every change back. GUI thread only.
//
// Notifications to the parent (id, code, 0, 0): 1 press on the text (and Space), 2 release
// after it (and Space), 9 press on the icon, 26 typed change, 29 editing ended, 30 edit
// window shown, 31 release on the icon.
#include "platform/Win32.h"

#include <memory>

#include "controls/input/EditFont.h"
#include "controls/input/NativeEditWindow.h"
#include "framework/MControlFont.h"
#include "platform/KovaExport.h"
#include "platform/NotCopied.h"

namespace KOVA {

class MEdit;

// MEdit's native edit window.
class CEditWnd : public NativeEditWindow {
public:
    const wchar_t* GetWindowClassName() const override { return L"FSEditWindow"; }
    void Init(MEdit* owner);

private:
    MEdit* owner() const;
    void OnEditChanged() override;
    void OnEditKillFocus() override;
    void OnEditReturn() override;
    bool AcceptsChar() const override;
    void ForgetOwner() override;
};

class KOVA_API MEdit : public MControlFont {
public:
    static constexpr COLORREF kTipColor = 0x808080;

    // The title argument becomes the tip text; the edited text starts empty.
    MEdit(MObject* parent, UINT id, CRect rect, const wchar_t* title, int visible, int enabled);
    // A copy takes the value fields: no edit window, icon or font of the original.
    MEdit(const MEdit& other) = default;
    MEdit& operator=(const MEdit& other) = default;
    ~MEdit() override;

    const wchar_t* GetClassNameW() const override;
    void DrawControl(HDC& dc, CRect paintRect) override;
    int SetControlFocus(int focus) override;
    void SetControlRect(CRect rect) override;
    void SetControlEnabled(int enabled) override;
    int OnControlMouseMove(UINT keys, CPoint pt) override;
    int OnControlLButtonDown(UINT keys, CPoint pt) override;
    int OnControlLButtonUp(UINT keys, CPoint pt) override;
    int OnControlKeyDown(UINT key, UINT repeat, UINT modifiers) override;
    void SetControlTitle(const wchar_t* title) override;
    // Ends an open edit first, so the text typed so far is the title.
    CString GetControlTitle() override;

    // Text
    void SetEditText(const wchar_t* text);
    CString GetEditText();
    CString GetTitleEx() const { return m_title; }
    void SetTipInfo(const wchar_t* text) { m_tip = text ? text : L""; }

    // Font of the edit window and of the drawing
    void SetEditFont();
    void SetEditFont(const wchar_t* face, int size, int bold, int underline, int italic);
    HFONT GetDefaultFont();
    COLORREF GetEditTextColor() const { return m_textColor.ToCOLORREF(); }

    // Geometry
    void SetTextRect(CRect rect);
    CRect GetTextRect();
    // file is relative to the skin folder; frames side by side. 1 when loaded.
    int SetIconImage(const wchar_t* file, int frames);

    int IsEditFocused() const;

    // Read when the edit window is made.
    void EnablePassWord(int on) { m_password = on; }
    void EnableMultLine(int on) { m_multiLine = on; }
    void SetReadOnly(int on) { m_readOnly = on; }
    void SetNumberOnly(int on) { m_numberOnly = on; }
    void EnableCharMessage(int on) { m_charMessages = on; }
    void SetLimitText(int limit) { m_limit = limit; }
    void SetEditBKColor(unsigned long color) { m_editBackColor = color; }
    void SetPassWordChar(wchar_t ch) { m_passwordChar = ch; }
    int IsPassWordMode() const { return m_password; }
    int IsMultLineMode() const { return m_multiLine; }
    int IsReadOnly() const { return m_readOnly; }
    int IsNumberOnly() const { return m_numberOnly; }
    int GetCharMessage() const { return m_charMessages; }
    int GetLimitText() const { return m_limit; }
    wchar_t GetPassWordChar() const { return m_passwordChar; }
    COLORREF GetEditBKColor() const { return m_editBackColor; }

    void SetEditWindow(CEditWnd* window) { *m_editWindow = window; }

protected:
    void ShowEdit();
    void HideEdit();
    CRect CalcTextRect(int recompute);

private:
    friend class CEditWnd;
    // The rectangle the edit window opens over: the custom one, else derived anew.
    CRect editRect();
    void placeIcon();
    void drawTexts(HDC dc, int frameWidth);
    // Stores the states; repaints (flag 0) and returns 1 when either changed.
    int changeStates(int state, int iconState);
    bool onIcon(CPoint pt) const;

    CString m_tip;
    int m_password { 0 };
    int m_multiLine { 0 };
    int m_readOnly { 0 };
    int m_numberOnly { 0 };
    int m_charMessages { 1 };
    int m_limit { 120 };
    wchar_t m_passwordChar { NativeEditWindow::kDefaultPasswordChar };
    COLORREF m_editBackColor { 0x222527 };
    NotCopied<OwnedFont> m_editFont;
    int m_state { 0 };
    int m_backCorner { 4 };
    NotCopied<std::unique_ptr<Gdiplus::Image>> m_icon;
    int m_iconFrameWidth { 0 };
    int m_iconHeight { 0 };
    int m_iconFrames { 4 };
    CRect m_iconRect;
    CRect m_textRect;
    int m_customTextRect { 0 };
    int m_iconState { 0 };
    NotCopied<CEditWnd*> m_editWindow;
};

} // namespace KOVA
