#pragma once
// The windowless rich-text edit: a panel whose text the system text services keep, lay out,
// edit and draw through the control's own host (CTxtWinHost). The control paints a
// four-state background strip (normal, hover, focused, disabled) and a grey tip while it is
// empty, forwards keys, mouse, IME and the context menu to the services, and offers the edit
// API as thin wrappers over their messages. Without a host (before InitControl, or when the
// services could not be made) every wrapper answers 0 and TxSendMessage 1.
//
// The paint manager draws the caret of a layered window itself in this control's text
// colour (GetTextColor, a COLORREF) and stops it when the control loses its focused flag: the
// control is the caret's owner (CaretOwner).
// GUI thread only.
#include "platform/Win32.h"

#include <richedit.h>

#include <functional>

#include "framework/CaretOwner.h"
#include "framework/MPanel.h"
#include "platform/CPoint.h"
#include "platform/CString.h"
#include "platform/KovaExport.h"
#include "platform/NotCopied.h"

namespace KOVA {

class CTxtWinHost;

class KOVA_API MRichEdit : public MPanel, public CaretOwner {
public:
    // Context-menu commands.
    enum MenuCommand : UINT {
        kMenuUndo = 101, kMenuCut = 102, kMenuCopy = 103, kMenuPaste = 104,
        kMenuClear = 105, kMenuSelectAll = 106, kMenuRedo = 107,
    };

    // The title argument becomes the tip; the enabled argument is not used (the control
    // starts enabled).
    MRichEdit(MObject* parent, UINT id, CRect rect, const wchar_t* title, int visible, int enabled);
    // A copy takes the value fields and no host: InitControl makes its own.
    MRichEdit(const MRichEdit& other) = default;
    MRichEdit& operator=(const MRichEdit& other) = default;
    ~MRichEdit() override;

    const wchar_t* GetClassNameW() const override;
    void InitControl(PaintManager* manager) override;
    void DrawControl(HDC& dc, CRect paintRect) override;
    int SetControlFocus(int focus) override;
    LRESULT OnWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
    LONG OnMessage(UINT id, UINT code, UINT wParam, LONG lParam) override;
    void SetControlRect(CRect rect) override;
    void SetControlEnabled(int enabled) override;
    int OnControlMouseMove(UINT keys, CPoint pt) override;
    int OnControlLButtonDown(UINT keys, CPoint pt) override;
    int OnControlLButtonUp(UINT keys, CPoint pt) override;
    int OnControlScroll(int step, UINT down, CPoint pt) override;
    int OnControlKeyDown(UINT key, UINT repeat, UINT modifiers) override;
    void SetTextFont(CString face) override;
    void SetTextColor(Gdiplus::Color color) override;
    void SetControlTitle(const wchar_t* title) override;
    CString GetControlTitle() override;

    // The services' answer; 1 (result untouched) without a host.
    virtual HRESULT TxSendMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result) const;
    // Non-zero: the services' view change invalidates the text area.
    virtual int OnTxViewChanged(int update);
    virtual void OnTxNotify(DWORD code, void* data);

    // Files and streams. A stream is taken in whole or not at all: one over 128 KB, an empty
    // RTF stream or RTF groups nested deeper than 30 are refused (0) and the text is kept.
    int SaveRtf(const wchar_t* path);
    int LoadRtf(const wchar_t* path);
    LRESULT StreamOut(int format, EDITSTREAM& stream);
    LRESULT StreamIn(int format, EDITSTREAM& stream);

    // Appearance
    void SetTipInfo(const wchar_t* text) { m_tip = text ? text : L""; }
    int SetIconImage(const wchar_t* path, int count);
    COLORREF GetTextColor() const { return m_textColorRef; }
    MControl* CaretControl() override { return this; }
    COLORREF CaretColor() const override { return m_textColorRef; }
    RECT GetTextPadding() const { return m_padding; }
    void SetTextPadding(RECT padding);

    // Flags
    int IsMultiLine() const { return (m_winStyle & ES_MULTILINE) ? 1 : 0; }
    void SetMultiLine(int on);
    int IsWantTab() const { return m_wantTab; }
    void SetWantTab(int on) { m_wantTab = on; }
    int IsWantReturn() const { return m_wantReturn; }
    void SetWantReturn(int on) { m_wantReturn = on; }
    int IsWantCtrlReturn() const { return m_wantCtrlReturn; }
    void SetWantCtrlReturn(int on) { m_wantCtrlReturn = on; }
    int IsAccumulateDBCMode() const { return m_accumulateDbc; }
    void SetAccumulateDBCMode(int on) { m_accumulateDbc = on; }
    int IsRich() const { return m_rich; }
    void SetRich(int on);
    int IsReadOnly() const { return m_readOnly; }
    void SetReadOnly(int on);
    int GetWordWrap() const { return m_wordWrap; }
    void SetWordWrap(int on);
    int GetPassword() const { return m_password; }
    void SetPassword(int on);
    wchar_t GetPassWordChar() const { return m_passwordChar; }
    void SetPassWordChar(wchar_t ch) { m_passwordChar = ch; }
    DWORD GetWinStyle() const { return m_winStyle; }
    void SetWinStyle(DWORD style) { m_winStyle = style; }
    int GetLimitText() const { return m_limit; }
    void SetLimitText(int limit);

    // Text
    long GetTextLength(DWORD flags = GTL_DEFAULT) const;
    int GetModify() const;
    void SetModify(int modified);
    void ReplaceSel(const wchar_t* text, int canUndo);
    void ReplaceSelW(const wchar_t* text, int canUndo);
    LRESULT InsertText(long pos, const wchar_t* text, int canUndo);
    LRESULT AppendText(const wchar_t* text, int canUndo);
    CString GetTextRange(long start, long end) const;
    CString GetSelText() const;

    // Selection
    void GetSel(CHARRANGE& range) const;
    void GetSel(long& start, long& end) const;
    LRESULT SetSel(CHARRANGE& range);
    LRESULT SetSel(long start, long end);
    LRESULT SetSelAll();
    LRESULT SetSelNone();
    void HideSelection(int hide, int changeStyle);
    void ScrollCaret();
    WORD GetSelectionType() const;

    // Zoom
    int GetZoom(int& numerator, int& denominator) const;
    int SetZoom(int numerator, int denominator);
    int SetZoomOff();

    // Events
    DWORD GetEventMask() const;
    DWORD SetEventMask(DWORD mask);
    int SetDropAcceptFile(int accept);
    int GetAutoURLDetect() const;
    int SetAutoURLDetect(int detect);

    // Formats
    DWORD GetDefaultCharFormat(CHARFORMAT2W& format) const;
    DWORD GetSelectionCharFormat(CHARFORMAT2W& format) const;
    int SetDefaultCharFormat(CHARFORMAT2W& format);
    int SetSelectionCharFormat(CHARFORMAT2W& format);
    int SetWordCharFormat(CHARFORMAT2W& format);
    DWORD GetParaFormat(PARAFORMAT2& format) const;
    int SetParaFormat(PARAFORMAT2& format);

    // Undo and clipboard
    int CanUndo() const;
    int CanRedo() const;
    int CanPaste() const;
    int Undo();
    int Redo();
    void EmptyUndoBuffer();
    int SetUndoLimit(int limit);
    void Cut();
    void Copy();
    void Paste();
    // Removes the whole text.
    void Clear();

    // Lines and scrolling
    int GetLineCount() const;
    int LineIndex(int line) const;
    int LineLength(int charIndex) const;
    int LineFromChar(long charIndex) const;
    CString GetLine(int line, int maxLength) const;
    int LineScroll(int lines, int chars);
    CPoint PosFromChar(long charIndex) const;
    int CharFromPos(CPoint pt) const;
    void LineUp();
    void LineDown();
    void PageUp();
    void PageDown();
    void HomeUp();
    void EndDown();
    void LineLeft();
    void LineRight();
    void PageLeft();
    void PageRight();
    void HomeLeft();
    void EndRight();

    // Fonts: GetDefaultFont makes a new font the caller deletes.
    HFONT GetDefaultFont() const;
    void SetFont();
    void SetFont(const wchar_t* face, int size, int bold, int underline, int italic);

    IDropTarget* GetTxDropTarget();

protected:
    // What the derived edits change: the text area inside the rectangle and the drawing.
    // The text area: the rectangle less the padding, less the bars where they are shown.
    void LayOutTextArea(CRect area, bool verticalBarWhenHidden);
    // The top and bottom padding that centre a 16-px line in the height (even heights exactly).
    void CentreLine(const CRect& rect);
    using SlotPainter = std::function<void(Gdiplus::Graphics& graphics, const CRect& slot)>;
    // The four-frame background strip (frames of frameWidth) rendered once into the picture
    // with paintSlot run on each slot, then the slot of the state shown; nothing without a
    // background image.
    void DrawStrip(HDC& dc, int frameWidth, const SlotPainter& paintSlot);
    // The grey tip while the text is empty, in slot less the padding, moved down by drop.
    void DrawTip(Gdiplus::Graphics& graphics, const CRect& slot, Gdiplus::StringAlignment lineAlignment, int drop);
    // The services draw the text over what is there.
    void DrawText(HDC& dc, const CRect& paintRect);
    void RepaintIfTipChanges(const CString& before, const CString& after);
    CTxtWinHost* Host() const { return *m_host; }

    int m_state { 0 };
    NotCopied<CTxtWinHost*> m_host;
    int m_wantTab { 1 };
    int m_wantReturn { 1 };
    int m_wantCtrlReturn { 1 };
    int m_rich { 1 };
    int m_readOnly { 0 };
    int m_password { 0 };
    int m_wordWrap { 0 };
    COLORREF m_textColorRef { 0x141414 };
    int m_limit { 256 };
    DWORD m_winStyle { WS_VSCROLL | ES_AUTOVSCROLL | ES_MULTILINE };
    NotCopied<int> m_richInitialised;
    int m_accumulateDbc { 0 };
    CString m_tip;
    RECT m_padding { 5, 5, 5, 5 };
    wchar_t m_passwordChar { 0xA1F1 };
    Gdiplus::Image* m_icon { nullptr };
    int m_iconWidth { 0 };
    int m_iconHeight { 0 };
    int m_iconCount { 1 };

private:
    LRESULT send(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0) const;
    void releaseHost();
    LRESULT forward(UINT msg, WPARAM wParam, LPARAM lParam);
    bool mouseReachesText(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& answer);
    void showContextMenu(LPARAM lParam);
    void placeCompositionWindow();
    void runMenuCommand(UINT command);
    int changeState(int state);
    void applyFocus(int focus);
    void applyFormatColor(COLORREF color);
    static void prepareCharFormat(CHARFORMAT2W& format);
};

} // namespace KOVA
