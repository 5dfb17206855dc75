#pragma once
// The library's host of the system text services (Msftedit.dll) for one MRichEdit: it keeps
// the default formats and the property bits the services ask for, and turns their requests
// (device context, caret, timers, invalidation, scroll bars, capture, focus, coordinates)
// into calls on the owning control, its two scroll bars and the window's paint manager.
// Not exported; only the rich-edit family makes one (CreateHost).
//
// Life: the owner holds the one reference CreateHost gives and lets go with Release. The
// last Release deactivates and releases the services and frees the host, once, whatever the
// services do with their references meanwhile. GUI thread only: the services call back
// synchronously from inside the owner's forwarding and drawing.
#include "platform/Win32.h"

#include <richedit.h>
#include <textserv.h>

#include <cstdio>

namespace KOVA {

// The published windowless rich-edit host interface; its methods are thiscall on i686 g++.
using ITextHost = ::ITextHost;

class MRichEdit;

class CTxtWinHost : public ITextHost {
public:
    // Flag word bits.
    enum : DWORD {
        kAutoWordSel = 0x1,
        kWordWrap = 0x2,
        kAllowBeep = 0x4,
        kRich = 0x8,
        kSaveSelection = 0x10,
        kInPlaceActive = 0x20,
        kTransparent = 0x40,
        kTimer = 0x80,
        kCaptured = 0x100,
        kCaretShown = 0x200,
    };

    CTxtWinHost() = default;
    CTxtWinHost(const CTxtWinHost&) = delete;
    CTxtWinHost& operator=(const CTxtWinHost&) = delete;

    // Loads and creates the text services for owner; create may be null. false on failure.
    bool Init(MRichEdit* owner, const CREATESTRUCTW* create);
    ITextServices* GetTextServices() const { return m_services; }

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    // ITextHost
    HDC TxGetDC() override;
    INT TxReleaseDC(HDC dc) override;
    WINBOOL TxShowScrollBar(INT bar, WINBOOL show) override;
    WINBOOL TxEnableScrollBar(INT bars, INT arrows) override;
    WINBOOL TxSetScrollRange(INT bar, LONG minPos, INT maxPos, WINBOOL redraw) override;
    WINBOOL TxSetScrollPos(INT bar, INT pos, WINBOOL redraw) override;
    void TxInvalidateRect(LPCRECT rect, WINBOOL mode) override;
    void TxViewChange(WINBOOL update) override;
    WINBOOL TxCreateCaret(HBITMAP bitmap, INT width, INT height) override;
    WINBOOL TxShowCaret(WINBOOL show) override;
    WINBOOL TxSetCaretPos(INT x, INT y) override;
    WINBOOL TxSetTimer(UINT id, UINT timeout) override;
    void TxKillTimer(UINT id) override;
    void TxScrollWindowEx(INT dx, INT dy, LPCRECT scroll, LPCRECT clip, HRGN update, LPRECT updated, UINT flags) override;
    void TxSetCapture(WINBOOL capture) override;
    void TxSetFocus() override;
    void TxSetCursor(HCURSOR cursor, WINBOOL text) override;
    WINBOOL TxScreenToClient(LPPOINT point) override;
    WINBOOL TxClientToScreen(LPPOINT point) override;
    HRESULT TxActivate(LONG* oldState) override;
    HRESULT TxDeactivate(LONG newState) override;
    HRESULT TxGetClientRect(LPRECT rect) override;
    HRESULT TxGetViewInset(LPRECT inset) override;
    HRESULT TxGetCharFormat(const CHARFORMATW** format) override;
    HRESULT TxGetParaFormat(const PARAFORMAT** format) override;
    COLORREF TxGetSysColor(int index) override;
    HRESULT TxGetBackStyle(TXTBACKSTYLE* style) override;
    HRESULT TxGetMaxLength(DWORD* length) override;
    HRESULT TxGetScrollBars(DWORD* scrollBars) override;
    HRESULT TxGetPasswordChar(WCHAR* ch) override;
    HRESULT TxGetAcceleratorPos(LONG* pos) override;
    HRESULT TxGetExtent(LPSIZEL extent) override;
    HRESULT OnTxCharFormatChange(const CHARFORMATW* format) override;
    HRESULT OnTxParaFormatChange(const PARAFORMAT* format) override;
    HRESULT TxGetPropertyBits(DWORD mask, DWORD* bits) override;
    HRESULT TxNotify(DWORD code, void* data) override;
    HIMC TxImmGetContext() override;
    void TxImmReleaseContext(HIMC context) override;
    HRESULT TxGetSelectionBarWidth(LONG* width) override;

    // Host operations: each changes the default format or a property and tells the services.
    void SetFont(HFONT font);
    void SetTextColor(COLORREF color);
    void SetMaxLength(int length);
    void SetRichText(int on);
    void SetReadOnly(int on);
    void SetPassword(int on);
    void SetWordWrap(int on);
    void SetTransparent();
    void SetClientRect(const RECT& rect);
    RECT GetClientRect() const { return m_client; }
    int IsCaptured() const { return (m_flags & kCaptured) ? 1 : 0; }
    // Activates the services in place over the text area; false (and inactive) when they refuse.
    bool ActivateInPlace();
    void SetCharFormat(const CHARFORMAT2W& format) { m_charFormat = format; }
    void SetParaFormat(const PARAFORMAT2& format) { m_paraFormat = format; }
    const CHARFORMAT2W& GetCharFormat() const { return m_charFormat; }
    DWORD GetStyle() const { return m_style; }

    // EDITSTREAM callbacks whose cookie is an open C stream.
    static DWORD CALLBACK ReadRtfCallback(DWORD_PTR cookie, LPBYTE buffer, LONG count, LONG* done);
    static DWORD CALLBACK WriteRtfCallback(DWORD_PTR cookie, LPBYTE buffer, LONG count, LONG* done);

private:
    // The last Release frees the host; nothing else deletes it.
    virtual ~CTxtWinHost();
    HWND paintWnd() const;
    bool layered() const;
    void notify(DWORD bits, DWORD value);
    void pushCharFormat();
    void setFlag(DWORD flag, bool on);
    void initDefaultCharFormat();
    void initDefaultParaFormat();
    void applyFontEffects(const LOGFONTW& font);
    void showBar(class MControl* bar, bool show);

    MRichEdit* m_owner { nullptr };
    ULONG m_ref { 1 };
    bool m_tearingDown { false };
    ITextServices* m_services { nullptr };
    DWORD m_style { ES_MULTILINE };
    DWORD m_flags { 0 };
    int m_caretWidth { 0 };
    int m_caretHeight { 0 };
    LONG m_selectionBarWidth { 0 };
    int m_maxLength { 32767 };
    RECT m_client {};
    SIZEL m_extent {};
    CHARFORMAT2W m_charFormat {};
    PARAFORMAT2 m_paraFormat {};
    LONG m_acceleratorPos { -1 };
    // The horizontal bar shows only while the text is wider than its area: these services ask
    // for it whenever the style names it.
    bool m_horizontalExceeds { false };
};

// A host for owner made from the creation record (style and window name); null on failure.
CTxtWinHost* CreateHost(MRichEdit* owner, const CREATESTRUCTW* create);

// The black that a layered window shows as transparent, and the services as the default,
// becomes the nearest colour that is not black.
COLORREF NotPureBlack(COLORREF color);

} // namespace KOVA
