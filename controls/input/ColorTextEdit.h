#pragma once
// What the two colour text edits share: a colour the user types (HexColorEdit as six hex
// digits, RGBColorEdit as three decimal fields), the font both the drawing and the native
// edit window use, the hand-off to that window and the frame they draw. Each committed value
// reaches the parent as code 2 with the new COLORREF in lParam. GUI thread only.
#include "platform/Win32.h"

#include "controls/input/EditFont.h"
#include "controls/input/NativeEditWindow.h"
#include "framework/MControlFont.h"
#include "platform/KovaExport.h"
#include "platform/NotCopied.h"

namespace KOVA {

class KOVA_API ColorTextEdit : public MControlFont {
public:
    static constexpr UINT kColorCommitted = 2;
    static constexpr UINT kEditEnded = 29;
    static constexpr UINT kEditShown = 30;
    static constexpr DWORD kFrameColor = 0xC8C8C8C8;

    // A copy takes the value fields: no edit window or font of the original.
    ColorTextEdit(const ColorTextEdit& other) = default;
    ColorTextEdit& operator=(const ColorTextEdit& other) = default;

    // Focus lost ends the edit; gaining it opens nothing.
    int SetControlFocus(int focus) override;
    int OnControlMouseMove(UINT keys, CPoint pt) override;
    int OnControlLButtonUp(UINT keys, CPoint pt) override;
    int OnControlKeyDown(UINT key, UINT repeat, UINT modifiers) override;

    // Repaints; reports nothing.
    virtual void SetSelectColor(COLORREF color);
    COLORREF GetSelectColor() const { return m_color; }
    CString GetTitleEx() const { return m_title; }
    // The control's face at its font size × the display scale, made once.
    HFONT GetDefaultFont();

    void SetNumberOnly(int on) { m_numberOnly = on; }
    int IsNumberOnly() const { return m_numberOnly; }
    void SetLimitText(int limit) { m_limit = limit; }
    int GetLimitText() const { return m_limit; }

protected:
    ColorTextEdit(MObject* parent, UINT id, CRect rect, int visible, int enabled, int limit, COLORREF color);

    virtual void ShowEdit() = 0;
    virtual void HideEdit() = 0;

    // The text line of height font size × scale, centred vertically in span.
    CRect CenteredLine(CRect span) const;
    // The opened (or moved) window shows text with the caret at its end and takes the
    // focus; the framework's focus flag is set and code 30 sent.
    void RevealEdit(NativeEditWindow& window, const CString& text);
    // The common creation for both colour edits' windows.
    NativeEditWindow::Setup EditSetup(const CRect& rect, const CString& text, bool numberOnly);
    void ReportColor();
    // The 1-px frame around the control's picture.
    static void DrawFrame(Gdiplus::Graphics& graphics, int width, int height);
    void DrawLabel(HDC dc, CRect rect, const CString& text, COLORREF color, UINT format);

    int m_numberOnly { 0 };
    int m_limit { 0 };
    COLORREF m_color { 0 };
    NotCopied<OwnedFont> m_editFont;
};

// The edit windows of both colour edits: white text on dark grey.
class ColorEditWindow : public NativeEditWindow {
public:
    ColorEditWindow();
    const wchar_t* GetWindowClassName() const override { return L"HexEditWindow"; }

protected:
    void OnEditReturn() override { NotifyOwner(ColorTextEdit::kEditEnded, 0, 0); }
};

} // namespace KOVA
