// GUI thread only. The services call these methods synchronously from the owner's
// TxSendMessage and TxDraw.
#include "controls/input/CTxtWinHost.h"

#include "controls/input/MRichEdit.h"
#include "framework/MScroll.h"
#include "framework/PaintManager.h"

namespace KOVA {

namespace {
// No MinGW library defines these.
const IID kIIDTextServices = { 0x8d33f740, 0xcf58, 0x11ce, { 0xa8, 0x9d, 0x00, 0xaa, 0x00, 0x6c, 0xad, 0xc5 } };
const IID kIIDTextHost = { 0xc5bdd8d0, 0xd26e, 0x11ce, { 0xa8, 0x9e, 0x00, 0xaa, 0x00, 0x6c, 0xad, 0xc5 } };

constexpr int kDefaultDpi = 96;
constexpr int kTwipsPerInch = 1440;
constexpr int kHimetricPerInch = 2540;
constexpr int kUnlimited = 32767;
constexpr DWORD kDefaultCharMask = CFM_BOLD | CFM_ITALIC | CFM_UNDERLINE | CFM_SIZE | CFM_COLOR | CFM_FACE | CFM_OFFSET
    | CFM_CHARSET;
constexpr DWORD kDefaultParaMask = 0x8001003F;
constexpr LONG kDefaultTab = 720;
constexpr DWORD kScrollStyles = WS_VSCROLL | WS_HSCROLL | ES_AUTOVSCROLL | ES_AUTOHSCROLL | ES_DISABLENOSCROLL;

// Pixels per inch of the screen: a window DC may be missing when the services ask.
int screenDpi(int index)
{
    HDC screen = ::GetDC(nullptr);
    const int dpi = screen ? ::GetDeviceCaps(screen, index) : 0;
    if (screen)
        ::ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : kDefaultDpi;
}

LONG twipsOf(LONG height)
{
    return height * -kTwipsPerInch / screenDpi(LOGPIXELSY);
}

using CreateTextServicesProc = HRESULT(WINAPI*)(IUnknown*, ITextHost*, IUnknown**);

// The library stays loaded for the process: services made from it may outlive any owner.
CreateTextServicesProc textServicesFactory()
{
    static HMODULE library = ::LoadLibraryW(L"Msftedit.dll");
    return library ? reinterpret_cast<CreateTextServicesProc>(
                     reinterpret_cast<void (*)()>(::GetProcAddress(library, "CreateTextServices"))) : nullptr;
}

LOGFONTW describe(HFONT font)
{
    LOGFONTW description {};
    ::GetObjectW(font, sizeof(description), &description);
    return description;
}
} // namespace

COLORREF NotPureBlack(COLORREF color)
{
    return (color & 0x00FFFFFF) == 0 ? color + 1 : color;
}

CTxtWinHost* CreateHost(MRichEdit* owner, const CREATESTRUCTW* create)
{
    auto* host = new CTxtWinHost;
    if (host->Init(owner, create))
        return host;
    host->Release();
    return nullptr;
}

bool CTxtWinHost::Init(MRichEdit* owner, const CREATESTRUCTW* create)
{
    m_owner = owner;
    initDefaultCharFormat();
    m_style = ES_MULTILINE;
    setFlag(kRich, owner->IsRich() != 0);
    m_maxLength = owner->GetLimitText() < 1 ? kUnlimited : owner->GetLimitText();
    if (create) {
        m_style = static_cast<DWORD>(create->style);
        if (!(m_style & (ES_AUTOHSCROLL | WS_HSCROLL)))
            m_flags |= kWordWrap;
    }
    initDefaultParaFormat();
    // The owner paints the background; these services read the back style only once, here.
    m_flags |= kInPlaceActive | kTransparent;
    CreateTextServicesProc factory = textServicesFactory();
    IUnknown* created = nullptr;
    if (!factory || FAILED(factory(nullptr, this, &created)) || !created)
        return false;
    const HRESULT queried = created->QueryInterface(kIIDTextServices, reinterpret_cast<void**>(&m_services));
    created->Release();
    if (FAILED(queried) || !m_services)
        return false;
    if (create && create->lpszName && *create->lpszName && FAILED(m_services->TxSetText(create->lpszName)))
        return false;
    return true;
}

CTxtWinHost::~CTxtWinHost()
{
    if (!m_services)
        return;
    m_services->OnTxInPlaceDeactivate();
    m_services->Release();
}

void CTxtWinHost::initDefaultCharFormat()
{
    m_charFormat = CHARFORMAT2W {};
    m_charFormat.cbSize = sizeof(m_charFormat);
    m_charFormat.dwMask = kDefaultCharMask;
    // The owner's font is made for this reading only.
    HFONT font = m_owner->GetDefaultFont();
    const LOGFONTW description = describe(font);
    ::DeleteObject(font);
    m_charFormat.yHeight = twipsOf(description.lfHeight);
    applyFontEffects(description);
    COLORREF color = m_owner->GetTextColor();
    if (layered())
        color = NotPureBlack(color);
    m_charFormat.crTextColor = color;
}

void CTxtWinHost::applyFontEffects(const LOGFONTW& font)
{
    m_charFormat.dwEffects &= ~(CFE_BOLD | CFE_ITALIC | CFE_UNDERLINE);
    if (font.lfWeight >= FW_BOLD)
        m_charFormat.dwEffects |= CFE_BOLD;
    if (font.lfItalic)
        m_charFormat.dwEffects |= CFE_ITALIC;
    if (font.lfUnderline)
        m_charFormat.dwEffects |= CFE_UNDERLINE;
    m_charFormat.bCharSet = font.lfCharSet;
    m_charFormat.bPitchAndFamily = font.lfPitchAndFamily;
    wcsncpy(m_charFormat.szFaceName, font.lfFaceName, LF_FACESIZE - 1);
    m_charFormat.szFaceName[LF_FACESIZE - 1] = L'\0';
}

void CTxtWinHost::initDefaultParaFormat()
{
    m_paraFormat = PARAFORMAT2 {};
    m_paraFormat.cbSize = sizeof(m_paraFormat);
    m_paraFormat.dwMask = kDefaultParaMask;
    m_paraFormat.wAlignment = PFA_LEFT;
    if (m_style & ES_CENTER)
        m_paraFormat.wAlignment = PFA_CENTER;
    else if (m_style & ES_RIGHT)
        m_paraFormat.wAlignment = PFA_RIGHT;
    m_paraFormat.cTabCount = 1;
    m_paraFormat.rgxTabs[0] = kDefaultTab;
}

HWND CTxtWinHost::paintWnd() const
{
    PaintManager* manager = m_owner ? m_owner->GetManager() : nullptr;
    return manager ? manager->GetPaintWnd() : nullptr;
}

bool CTxtWinHost::layered() const
{
    PaintManager* manager = m_owner ? m_owner->GetManager() : nullptr;
    return manager && manager->IsLayered();
}

void CTxtWinHost::notify(DWORD bits, DWORD value)
{
    if (m_services)
        m_services->OnTxPropertyBitsChange(bits, value);
}

void CTxtWinHost::setFlag(DWORD flag, bool on)
{
    m_flags = on ? (m_flags | flag) : (m_flags & ~flag);
}

// ---- IUnknown

HRESULT CTxtWinHost::QueryInterface(REFIID riid, void** object)
{
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, kIIDTextHost)) {
        AddRef();
        *object = static_cast<ITextHost*>(this);
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG CTxtWinHost::AddRef()
{
    return ++m_ref;
}

// The services may take and drop references of their own while the host tears them down:
// the host is freed once.
ULONG CTxtWinHost::Release()
{
    const ULONG count = --m_ref;
    if (count == 0 && !m_tearingDown) {
        m_tearingDown = true;
        delete this;
    }
    return count;
}

// ---- device, caret, timers, capture

// The paint manager's window DC; while it has none yet (controls built as the window is made)
// the screen's, lent for the call: text laid out without a DC has no width and keeps that view.
HDC CTxtWinHost::TxGetDC()
{
    PaintManager* manager = m_owner->GetManager();
    if (HDC paint = manager ? manager->GetPaintDC() : nullptr)
        return paint;
    return ::GetDC(nullptr);
}

INT CTxtWinHost::TxReleaseDC(HDC dc)
{
    PaintManager* manager = m_owner->GetManager();
    if (dc && (!manager || dc != manager->GetPaintDC()))
        ::ReleaseDC(nullptr, dc);
    return 1;
}

void CTxtWinHost::TxInvalidateRect(LPCRECT rect, WINBOOL)
{
    const HWND window = paintWnd();
    if (!window || !::IsWindow(window))
        return;
    if (layered())
        ::InvalidateRect(window, nullptr, TRUE);
    else
        ::InvalidateRect(window, rect ? rect : &m_client, FALSE);
}

void CTxtWinHost::TxViewChange(WINBOOL update)
{
    if (m_owner->OnTxViewChanged(update))
        TxInvalidateRect(nullptr, FALSE);
}

WINBOOL CTxtWinHost::TxCreateCaret(HBITMAP bitmap, INT width, INT height)
{
    // As for the system caret, no width means the window border's: the paint manager draws
    // the layered caret itself and needs the real one.
    if (width == 0)
        width = ::GetSystemMetrics(SM_CXBORDER);
    m_caretWidth = width;
    m_caretHeight = height;
    if (layered())
        return m_owner->GetManager()->CreateCaret(bitmap, width, height) ? TRUE : FALSE;
    return ::CreateCaret(paintWnd(), bitmap, width, height);
}

WINBOOL CTxtWinHost::TxShowCaret(WINBOOL show)
{
    setFlag(kCaretShown, show != 0);
    if (!layered())
        return show ? ::ShowCaret(paintWnd()) : ::HideCaret(paintWnd());
    PaintManager* manager = m_owner->GetManager();
    const bool ours = manager->GetCurrentCaretObject() == m_owner;
    const bool editable = !m_owner->IsReadOnly() && m_owner->IsVisible() && m_owner->IsEnabled();
    manager->ShowCaret(show && (!ours || editable) ? 1 : 0);
    return TRUE;
}

WINBOOL CTxtWinHost::TxSetCaretPos(INT x, INT y)
{
    if (!layered())
        return ::SetCaretPos(x, y);
    m_owner->GetManager()->SetCaretPos(m_owner, x, y);
    return TRUE;
}

// Set anew so the services' period holds; TRUE exactly when the timer runs afterwards.
WINBOOL CTxtWinHost::TxSetTimer(UINT id, UINT timeout)
{
    PaintManager* manager = m_owner->GetManager();
    if (!manager)
        return FALSE;
    m_flags |= kTimer;
    manager->KillTimer(m_owner, id);
    return manager->SetTimer(m_owner, id, timeout) == 1 ? TRUE : FALSE;
}

void CTxtWinHost::TxKillTimer(UINT id)
{
    if (PaintManager* manager = m_owner->GetManager())
        manager->KillTimer(m_owner, id);
    m_flags &= ~kTimer;
}

void CTxtWinHost::TxScrollWindowEx(INT, INT, LPCRECT, LPCRECT, HRGN, LPRECT, UINT) {}

void CTxtWinHost::TxSetCapture(WINBOOL capture)
{
    const HWND window = paintWnd();
    if (window && ::IsWindow(window)) {
        if (capture)
            ::SetCapture(window);
        else
            ::ReleaseCapture();
    }
    setFlag(kCaptured, capture != 0);
}

void CTxtWinHost::TxSetFocus()
{
    m_owner->SetControlFocus(1);
}

void CTxtWinHost::TxSetCursor(HCURSOR cursor, WINBOOL)
{
    ::SetCursor(cursor);
}

WINBOOL CTxtWinHost::TxScreenToClient(LPPOINT point)
{
    return ::ScreenToClient(paintWnd(), point);
}

WINBOOL CTxtWinHost::TxClientToScreen(LPPOINT point)
{
    return ::ClientToScreen(paintWnd(), point);
}

HRESULT CTxtWinHost::TxActivate(LONG*) { return S_OK; }
HRESULT CTxtWinHost::TxDeactivate(LONG) { return S_OK; }

// ---- scroll bars: the owner's own two

void CTxtWinHost::showBar(MControl* bar, bool show)
{
    if (!bar || (bar->IsVisible() != 0) == show)
        return;
    bar->SetControlVisible(show ? 1 : 0);
    // The text area gives way to the vertical bar, or takes its room back.
    if (bar == m_owner->GetScrollVertical())
        m_owner->SetRect(m_owner->GetRect());
    if (MObject* parent = bar->GetParantObject())
        parent->OnControlUpdate(bar->GetRect(), 1, bar);
}

WINBOOL CTxtWinHost::TxShowScrollBar(INT bar, WINBOOL show)
{
    CScrollVertical* vertical = m_owner->GetScrollVertical();
    CScrollHorizontal* horizontal = m_owner->GetScrollHorizontal();
    if (bar == SB_VERT || bar == SB_BOTH)
        showBar(vertical, show != 0);
    if (bar == SB_HORZ || bar == SB_BOTH)
        showBar(horizontal, show && m_horizontalExceeds);
    return TRUE;
}

WINBOOL CTxtWinHost::TxEnableScrollBar(INT bars, INT arrows)
{
    const bool visible = arrows != ESB_DISABLE_BOTH;
    CScrollVertical* vertical = m_owner->GetScrollVertical();
    CScrollHorizontal* horizontal = m_owner->GetScrollHorizontal();
    if (bars == SB_VERT)
        showBar(vertical, visible);
    else if (bars == SB_HORZ)
        showBar(horizontal, visible && m_horizontalExceeds);
    else if (bars == SB_BOTH && vertical && horizontal) {
        vertical->SetVisible(visible ? 1 : 0);
        horizontal->SetVisible(visible && m_horizontalExceeds ? 1 : 0);
    }
    return TRUE;
}

WINBOOL CTxtWinHost::TxSetScrollRange(INT bar, LONG minPos, INT maxPos, WINBOOL)
{
    const LONG range = maxPos - minPos;
    if (bar == SB_VERT) {
        CScrollVertical* vertical = m_owner->GetScrollVertical();
        if (!vertical)
            return TRUE;
        if (range - (m_client.bottom - m_client.top) <= 0) {
            showBar(vertical, false);
            return TRUE;
        }
        vertical->SetScrollMaxRange(range);
        vertical->SetRange();
        showBar(vertical, true);
        vertical->UpdateControl(1, 0);
    } else {
        CScrollHorizontal* horizontal = m_owner->GetScrollHorizontal();
        m_horizontalExceeds = range - (m_client.right - m_client.left) > 0;
        if (!horizontal)
            return TRUE;
        if (!m_horizontalExceeds) {
            showBar(horizontal, false);
            return TRUE;
        }
        showBar(horizontal, true);
        horizontal->SetScrollMaxRange(range);
        horizontal->UpdateControl(1, 0);
    }
    return TRUE;
}

WINBOOL CTxtWinHost::TxSetScrollPos(INT bar, INT pos, WINBOOL)
{
    if (bar == SB_VERT) {
        CScrollVertical* vertical = m_owner->GetScrollVertical();
        // The user's own drag sets the position; the services' answer to it must not fight it.
        if (!vertical || vertical->IsChangeing())
            return TRUE;
        vertical->SetScrollCurrentPos(pos);
        vertical->SetRangeEx();
        vertical->UpdateControl(1, 0);
        showBar(vertical, true);
    } else if (bar == SB_HORZ) {
        CScrollHorizontal* horizontal = m_owner->GetScrollHorizontal();
        if (!horizontal || horizontal->IsChangeing())
            return TRUE;
        horizontal->SetScrollCurrentPos(pos);
        horizontal->SetRange();
        horizontal->UpdateControl(1, 0);
    }
    return TRUE;
}

// ---- what the services read

HRESULT CTxtWinHost::TxGetClientRect(LPRECT rect)
{
    *rect = m_client;
    return S_OK;
}

HRESULT CTxtWinHost::TxGetViewInset(LPRECT inset)
{
    ::SetRectEmpty(inset);
    return S_OK;
}

HRESULT CTxtWinHost::TxGetCharFormat(const CHARFORMATW** format)
{
    *format = reinterpret_cast<const CHARFORMATW*>(&m_charFormat);
    return S_OK;
}

HRESULT CTxtWinHost::TxGetParaFormat(const PARAFORMAT** format)
{
    *format = reinterpret_cast<const PARAFORMAT*>(&m_paraFormat);
    return S_OK;
}

COLORREF CTxtWinHost::TxGetSysColor(int index)
{
    return NotPureBlack(::GetSysColor(index));
}

HRESULT CTxtWinHost::TxGetBackStyle(TXTBACKSTYLE* style)
{
    *style = (m_flags & kTransparent) ? TXTBACK_TRANSPARENT : TXTBACK_OPAQUE;
    return S_OK;
}

HRESULT CTxtWinHost::TxGetMaxLength(DWORD* length)
{
    *length = static_cast<DWORD>(m_maxLength);
    return S_OK;
}

HRESULT CTxtWinHost::TxGetScrollBars(DWORD* scrollBars)
{
    *scrollBars = m_style & kScrollStyles;
    return S_OK;
}

// The owner's own mask: a password rich edit never shows its text.
HRESULT CTxtWinHost::TxGetPasswordChar(WCHAR* ch)
{
    *ch = m_owner->GetPassWordChar();
    return S_OK;
}

HRESULT CTxtWinHost::TxGetAcceleratorPos(LONG* pos)
{
    *pos = m_acceleratorPos;
    return S_OK;
}

HRESULT CTxtWinHost::TxGetExtent(LPSIZEL extent)
{
    *extent = m_extent;
    return S_OK;
}

HRESULT CTxtWinHost::OnTxCharFormatChange(const CHARFORMATW*) { return S_OK; }
HRESULT CTxtWinHost::OnTxParaFormatChange(const PARAFORMAT*) { return S_OK; }

HRESULT CTxtWinHost::TxGetPropertyBits(DWORD mask, DWORD* bits)
{
    DWORD answer = 0;
    if (m_flags & kRich)
        answer |= TXTBIT_RICHTEXT;
    if (m_style & ES_MULTILINE)
        answer |= TXTBIT_MULTILINE;
    if (m_style & ES_READONLY)
        answer |= TXTBIT_READONLY;
    if (m_style & ES_PASSWORD)
        answer |= TXTBIT_USEPASSWORD;
    if (!(m_style & ES_NOHIDESEL))
        answer |= TXTBIT_HIDESELECTION;
    if (m_flags & kAutoWordSel)
        answer |= TXTBIT_AUTOWORDSEL;
    if (m_flags & kSaveSelection)
        answer |= TXTBIT_SAVESELECTION;
    if (m_flags & kAllowBeep)
        answer |= TXTBIT_ALLOWBEEP;
    if (m_flags & kWordWrap)
        answer |= TXTBIT_WORDWRAP;
    *bits = answer & mask;
    return S_OK;
}

HRESULT CTxtWinHost::TxNotify(DWORD code, void* data)
{
    if (code == EN_REQUESTRESIZE && data) {
        const auto* request = static_cast<const REQRESIZE*>(data);
        RECT resized = m_client;
        resized.right = resized.left + request->rc.right;
        resized.bottom = resized.top + request->rc.bottom;
        SetClientRect(resized);
    }
    m_owner->OnTxNotify(code, data);
    return S_OK;
}

HIMC CTxtWinHost::TxImmGetContext() { return nullptr; }
void CTxtWinHost::TxImmReleaseContext(HIMC) {}

HRESULT CTxtWinHost::TxGetSelectionBarWidth(LONG* width)
{
    *width = m_selectionBarWidth;
    return S_OK;
}

// ---- host operations

// The services here take a changed default format only as a format message: the default and
// the text already there both get it.
void CTxtWinHost::pushCharFormat()
{
    notify(TXTBIT_CHARFORMATCHANGE, TXTBIT_CHARFORMATCHANGE);
    if (!m_services)
        return;
    LRESULT result = 0;
    CHARFORMAT2W format = m_charFormat;
    m_services->TxSendMessage(EM_SETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&format), &result);
    m_services->TxSendMessage(EM_SETCHARFORMAT, SCF_ALL, reinterpret_cast<LPARAM>(&format), &result);
}

void CTxtWinHost::SetFont(HFONT font)
{
    if (!font)
        return;
    const LOGFONTW description = describe(font);
    m_charFormat.yHeight = twipsOf(description.lfHeight);
    applyFontEffects(description);
    pushCharFormat();
}

void CTxtWinHost::SetTextColor(COLORREF color)
{
    m_charFormat.crTextColor = NotPureBlack(color);
    pushCharFormat();
}

// The services here ignore TxGetMaxLength but honour EM_EXLIMITTEXT: both say the same.
void CTxtWinHost::SetMaxLength(int length)
{
    m_maxLength = length < 1 ? kUnlimited : length;
    notify(TXTBIT_MAXLENGTHCHANGE, TXTBIT_MAXLENGTHCHANGE);
    LRESULT result = 0;
    if (m_services)
        m_services->TxSendMessage(EM_EXLIMITTEXT, 0, m_maxLength, &result);
}

void CTxtWinHost::SetRichText(int on)
{
    setFlag(kRich, on != 0);
    notify(TXTBIT_RICHTEXT, on ? TXTBIT_RICHTEXT : 0);
}

void CTxtWinHost::SetReadOnly(int on)
{
    m_style = on ? (m_style | ES_READONLY) : (m_style & ~ES_READONLY);
    notify(TXTBIT_READONLY, on ? TXTBIT_READONLY : 0);
}

void CTxtWinHost::SetPassword(int on)
{
    m_style = on ? (m_style | ES_PASSWORD) : (m_style & ~ES_PASSWORD);
    notify(TXTBIT_USEPASSWORD, on ? TXTBIT_USEPASSWORD : 0);
}

void CTxtWinHost::SetWordWrap(int on)
{
    setFlag(kWordWrap, on != 0);
    notify(TXTBIT_WORDWRAP, on ? TXTBIT_WORDWRAP : 0);
}

void CTxtWinHost::SetTransparent()
{
    m_flags |= kTransparent;
    // The services read the back style again only when the bit says it changed.
    notify(TXTBIT_BACKSTYLECHANGE, TXTBIT_BACKSTYLECHANGE);
}

void CTxtWinHost::SetClientRect(const RECT& rect)
{
    m_client = rect;
    m_extent.cx = ::MulDiv(rect.right - rect.left, kHimetricPerInch, screenDpi(LOGPIXELSX));
    m_extent.cy = ::MulDiv(rect.bottom - rect.top, kHimetricPerInch, screenDpi(LOGPIXELSY));
    notify(TXTBIT_VIEWINSETCHANGE, TXTBIT_VIEWINSETCHANGE);
}

bool CTxtWinHost::ActivateInPlace()
{
    m_flags |= kInPlaceActive;
    // These services take the view from the activation: without the text area they lay out
    // and scroll as if it had no width.
    const RECT* client = ::IsRectEmpty(&m_client) ? nullptr : &m_client;
    if (m_services && SUCCEEDED(m_services->OnTxInPlaceActivate(client)))
        return true;
    m_flags &= ~kInPlaceActive;
    return false;
}

DWORD CTxtWinHost::ReadRtfCallback(DWORD_PTR cookie, LPBYTE buffer, LONG count, LONG* done)
{
    const size_t moved = fread(buffer, 1, static_cast<size_t>(count), reinterpret_cast<FILE*>(cookie));
    if (done)
        *done = static_cast<LONG>(moved);
    return 0;
}

DWORD CTxtWinHost::WriteRtfCallback(DWORD_PTR cookie, LPBYTE buffer, LONG count, LONG* done)
{
    const size_t moved = fwrite(buffer, 1, static_cast<size_t>(count), reinterpret_cast<FILE*>(cookie));
    if (done)
        *done = static_cast<LONG>(moved);
    return 0;
}

} // namespace KOVA
