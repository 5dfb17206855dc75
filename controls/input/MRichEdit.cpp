// GUI thread only: the services call the host synchronously from the forwarding and drawing.
#include "controls/input/MRichEdit.h"

#include <imm.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

#include "controls/basic/LookPainting.h"
#include "controls/input/CTxtWinHost.h"
#include "controls/input/EditFont.h"
#include "framework/FontCache.h"
#include "framework/MRender.h"
#include "framework/MScroll.h"
#include "framework/PaintManager.h"

namespace KOVA {

namespace {
constexpr int kFrames = 4;
constexpr int kStripBorder = 4;
constexpr int kDisabledState = 3;
constexpr DWORD kEventMask = ENM_CHANGE | ENM_DROPFILES | ENM_LINK;
constexpr DWORD kTipColor = 0xFF808080;
constexpr int kBarGap = 10;
constexpr int kHalfLine = 8;
// Bars without an image of their own still take this much room.
constexpr int kDefaultBarWidth = 8;
constexpr int kMaxZoom = 64;
constexpr UINT kCodePageUnicode = 1200;
// A line copied whole brings its end of paragraph (CR, or CR LF) beyond its length.
constexpr int kLineEndRoom = 2;

// The largest stream a field takes in, and the deepest nesting of RTF groups. A field's
// text is a few pages at most; the system's services take streamed text whole, beyond the
// field's limit, and on some systems spend seconds a hundred kilobytes laying it out (minutes
// for megabytes), and some run out of their own group stack (ending the host) on groups
// nested deeper than about forty.
constexpr size_t kMaxStreamBytes = 128u << 10;
constexpr int kMaxRtfDepth = 30;
constexpr LONG kStreamChunk = 64 * 1024;

struct FileCloser {
    void operator()(FILE* file) const { fclose(file); }
};

// Everything the stream's callback gives, to its end; false when the callback fails or the
// stream passes kMaxStreamBytes.
bool collectStream(EDITSTREAM& stream, std::vector<BYTE>& bytes)
{
    std::vector<BYTE> chunk(static_cast<size_t>(kStreamChunk));
    for (;;) {
        LONG done = 0;
        stream.dwError = stream.pfnCallback(stream.dwCookie, chunk.data(), kStreamChunk, &done);
        if (stream.dwError != 0)
            return false;
        if (done <= 0)
            return true;
        const size_t moved = static_cast<size_t>(std::min(done, kStreamChunk));
        if (bytes.size() + moved > kMaxStreamBytes)
            return false;
        bytes.insert(bytes.end(), chunk.begin(), chunk.begin() + static_cast<std::ptrdiff_t>(moved));
    }
}

// Braces not escaped by a backslash open and close the groups.
bool rtfNestingWithinLimit(const std::vector<BYTE>& bytes)
{
    int depth = 0;
    bool escaped = false;
    for (const BYTE b : bytes) {
        if (escaped)
            escaped = false;
        else if (b == '\\')
            escaped = true;
        else if (b == '{' && ++depth > kMaxRtfDepth)
            return false;
        else if (b == '}' && depth > 0)
            --depth;
    }
    return true;
}

struct ByteSource {
    const std::vector<BYTE>& bytes;
    size_t read;
};

DWORD CALLBACK readByteSource(DWORD_PTR cookie, LPBYTE buffer, LONG count, LONG* done)
{
    auto* source = reinterpret_cast<ByteSource*>(cookie);
    const size_t moved = std::min(static_cast<size_t>(std::max(count, 0L)), source->bytes.size() - source->read);
    std::copy_n(source->bytes.begin() + static_cast<std::ptrdiff_t>(source->read), moved, buffer);
    source->read += moved;
    *done = static_cast<LONG>(moved);
    return 0;
}

bool isMouse(UINT msg)
{
    return msg >= WM_MOUSEFIRST && msg <= WM_MOUSELAST;
}

bool isKey(UINT msg)
{
    return msg >= WM_KEYFIRST && msg <= WM_KEYLAST;
}

CPoint pointOf(LPARAM lParam)
{
    return CPoint(static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)));
}

// Across the bar: a vertical strip's frame width, a horizontal strip's frame height.
int barThickness(const MScroll* bar, bool vertical)
{
    int width = 0;
    int height = 0;
    bar->GetImageSize(width, height);
    const int across = vertical ? width : height;
    return across > 0 ? across : kDefaultBarWidth;
}
} // namespace

MRichEdit::MRichEdit(MObject* parent, UINT id, CRect rect, const wchar_t* title, int visible, int)
    : MPanel(parent, id, rect, visible), m_tip(title ? title : L"")
{
    m_title.Empty();
    m_hAlign = 1;
    m_tabStop = 1;
}

MRichEdit::~MRichEdit()
{
    releaseHost();
}

// The services' capture would outlive them: it goes with the host.
void MRichEdit::releaseHost()
{
    CTxtWinHost* host = *m_host;
    *m_host = nullptr;
    if (!host)
        return;
    if (host->IsCaptured())
        ::ReleaseCapture();
    host->Release();
}

const wchar_t* MRichEdit::GetClassNameW() const { return L"MRichEdit"; }

void MRichEdit::InitControl(PaintManager* manager)
{
    if (*m_richInitialised)
        return;
    MPanel::InitControl(manager);
    // The bars show when the services find the text larger than its area.
    GetScrollVertical()->SetControlVisible(0);
    GetScrollHorizontal()->SetControlVisible(0);
    CREATESTRUCTW create {};
    create.style = static_cast<LONG>(m_winStyle | (m_password ? ES_PASSWORD : 0) | (m_readOnly ? ES_READONLY : 0));
    *m_host = CreateHost(this, &create);
    if (CTxtWinHost* host = *m_host) {
        host->SetTransparent();
        send(EM_SETLANGOPTIONS, 0, 0);
        send(EM_SETEVENTMASK, 0, kEventMask);
        host->SetMaxLength(m_limit);
        SetControlRect(m_rect);
        host->ActivateInPlace();
        if (!m_title.IsEmpty())
            host->GetTextServices()->TxSetText(m_title);
    }
    *m_richInitialised = 1;
}

HRESULT MRichEdit::TxSendMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result) const
{
    CTxtWinHost* host = *m_host;
    if (!host)
        return 1;
    return host->GetTextServices()->TxSendMessage(msg, wParam, lParam, result);
}

LRESULT MRichEdit::send(UINT msg, WPARAM wParam, LPARAM lParam) const
{
    LRESULT result = 0;
    TxSendMessage(msg, wParam, lParam, &result);
    return result;
}

int MRichEdit::OnTxViewChanged(int) { return 1; }

void MRichEdit::RepaintIfTipChanges(const CString& before, const CString& after)
{
    if (!m_tip.IsEmpty() && before.IsEmpty() != after.IsEmpty())
        UpdateControl(1, 0);
}

void MRichEdit::OnTxNotify(DWORD code, void*)
{
    if (code != EN_CHANGE)
        return;
    const CString text = GetControlTitle();
    RepaintIfTipChanges(m_title, text);
    m_title = text;
}

void MRichEdit::SetControlTitle(const wchar_t* title)
{
    const CString text(title ? title : L"");
    RepaintIfTipChanges(m_title, text);
    m_title = text;
    if (!*m_host)
        return;
    CHARRANGE all { 0, -1 };
    send(EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&all));
    send(EM_REPLACESEL, 0, reinterpret_cast<LPARAM>(text.GetString()));
}

CString MRichEdit::GetControlTitle()
{
    if (!*m_host)
        return m_title;
    const long length = GetTextLength(GTL_DEFAULT);
    std::vector<wchar_t> buffer(static_cast<size_t>(length) + 1, L'\0');
    GETTEXTEX request { static_cast<DWORD>(2 * length + 2), GT_DEFAULT, kCodePageUnicode, nullptr, nullptr };
    send(EM_GETTEXTEX, reinterpret_cast<WPARAM>(&request), reinterpret_cast<LPARAM>(buffer.data()));
    return CString(buffer.data());
}

void MRichEdit::SetTextFont(CString face)
{
    MControlFont::SetTextFont(face);
    SetFont();
}

void MRichEdit::SetTextColor(Gdiplus::Color color)
{
    MControlFont::SetTextColor(color);
    m_textColorRef = RGB(color.GetR(), color.GetG(), color.GetB());
    if (CTxtWinHost* host = *m_host)
        host->SetTextColor(m_textColorRef);
}

void MRichEdit::applyFormatColor(COLORREF color)
{
    if (CTxtWinHost* host = *m_host)
        host->SetTextColor(color);
}

// ---- layout

void MRichEdit::SetControlRect(CRect rect)
{
    m_rect = rect;
    if (*m_host)
        LayOutTextArea(rect, false);
}

void MRichEdit::LayOutTextArea(CRect area, bool verticalBarWhenHidden)
{
    area.left += m_padding.left;
    area.top += m_padding.top;
    area.right -= m_padding.right;
    area.bottom -= m_padding.bottom;
    CScrollVertical* vertical = GetScrollVertical();
    if ((m_winStyle & ES_MULTILINE) && vertical && (verticalBarWhenHidden || vertical->IsVisible())) {
        const int width = barThickness(vertical, true);
        vertical->SetRect(CRect(area.right - width, area.top, area.right, area.bottom));
        area.right -= width + (verticalBarWhenHidden ? 0 : kBarGap);
    }
    CScrollHorizontal* horizontal = GetScrollHorizontal();
    if ((m_winStyle & (WS_HSCROLL | ES_AUTOHSCROLL)) && horizontal)
        horizontal->SetRect(CRect(area.left, area.bottom - barThickness(horizontal, false), area.right, area.bottom));
    if (CTxtWinHost* host = *m_host)
        host->SetClientRect(area);
}

void MRichEdit::CentreLine(const CRect& rect)
{
    m_padding.top = rect.Height() / 2 - kHalfLine;
    m_padding.bottom = m_padding.top;
}

void MRichEdit::SetTextPadding(RECT padding)
{
    m_padding = padding;
    UpdateControl(1, 0);
}

int MRichEdit::SetIconImage(const wchar_t* path, int count)
{
    PaintManager* manager = GetManager();
    ImgResInfo* record = manager ? manager->AddImgResInfo(path, count) : nullptr;
    if (!record || !record->m_pImage)
        return 0;
    m_icon = record->m_pImage;
    m_iconWidth = record->m_nWidth;
    m_iconHeight = record->m_nHeight;
    m_iconCount = count;
    UpdateControl(1, 0);
    return 1;
}

// ---- focus, state, mouse and keys

int MRichEdit::changeState(int state)
{
    if (state == m_state)
        return 0;
    m_state = state;
    return 1;
}

void MRichEdit::applyFocus(int focus)
{
    if (CTxtWinHost* host = *m_host)
        host->ActivateInPlace();
    send(focus ? WM_SETFOCUS : WM_KILLFOCUS);
    m_focused = focus ? 1 : 0;
}

int MRichEdit::SetControlFocus(int focus)
{
    const int changed = changeState(focus ? 2 : 0);
    applyFocus(focus);
    if (changed)
        UpdateControl(1, 0);
    return changed;
}

void MRichEdit::SetControlEnabled(int enabled)
{
    if (enabled == m_enabled)
        return;
    m_enabled = enabled;
    m_state = enabled ? 0 : kDisabledState;
    PaintManager* manager = GetManager();
    applyFormatColor(enabled || !manager ? m_textColorRef : manager->GetDefaultEnabledColor());
    UpdateControl(0, 0);
}

int MRichEdit::OnControlMouseMove(UINT, CPoint pt)
{
    if (m_readOnly || !m_enabled || m_state == 2)
        return 0;
    if (!changeState(m_rect.PtInRect(pt) ? 1 : 0))
        return 0;
    UpdateControl(0, 0);
    return 1;
}

int MRichEdit::OnControlLButtonDown(UINT, CPoint pt)
{
    if (m_readOnly || !m_enabled || !m_rect.PtInRect(pt))
        return 0;
    const int changed = changeState(2);
    SendMessageW(1, 0, 0);
    applyFocus(1);
    if (changed)
        UpdateControl(0, 0);
    return changed;
}

int MRichEdit::OnControlLButtonUp(UINT, CPoint pt)
{
    if (m_readOnly || !m_enabled)
        return 0;
    const int before = m_state;
    const bool inside = m_rect.PtInRect(pt) != 0;
    if (!changeState(inside ? 1 : 0))
        return 0;
    UpdateControl(0, 0);
    if (before == 2 && inside)
        SendMessageW(2, 0, 0);
    return 1;
}

int MRichEdit::OnControlKeyDown(UINT key, UINT, UINT modifiers)
{
    return m_shortcutKey && key == m_shortcutKey && modifiers == m_shortcutModifiers ? 1 : 0;
}

int MRichEdit::OnControlScroll(int, UINT down, CPoint)
{
    CScrollVertical* vertical = GetScrollVertical();
    if (vertical && vertical->IsVisible()) {
        send(WM_VSCROLL, down == 1 ? SB_LINEDOWN : SB_LINEUP);
        return 1;
    }
    CScrollHorizontal* horizontal = GetScrollHorizontal();
    return horizontal && horizontal->IsVisible() ? 1 : 0;
}

// The user's thumb drag scrolls the text; the bar's report still goes up.
LONG MRichEdit::OnMessage(UINT id, UINT code, UINT wParam, LONG lParam)
{
    if (id == 1 && code == MScroll::kPositionChanged)
        send(WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, GetScrollVertical()->GetScrollCurrentPos()));
    return MPanel::OnMessage(id, code, wParam, lParam);
}

// ---- forwarding of the window's messages

LRESULT MRichEdit::OnWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (!*m_host)
        return 0;
    // A hidden panel still hands its children the window's messages: a field that is not
    // showing takes none of them, and one that held the focus gives it up.
    if (!IsShowing()) {
        if (m_focused)
            SetControlFocus(0);
        return 0;
    }
    if (!m_enabled)
        return 0;
    if (!m_response && isMouse(msg))
        return 0;
    if (msg == WM_MOUSEWHEEL && !(GET_KEYSTATE_WPARAM(wParam) & MK_CONTROL))
        return 0;
    if (msg == WM_IME_STARTCOMPOSITION) {
        if (m_focused)
            placeCompositionWindow();
        return 0;
    }
    if (isKey(msg))
        return m_focused ? forward(msg, wParam, lParam) : 0;
    if (msg == WM_CONTEXTMENU) {
        showContextMenu(lParam);
        return 0;
    }
    // Only menu commands: a child window's notification is its own business.
    if (msg == WM_COMMAND) {
        if (!m_focused || lParam != 0)
            return 0;
        runMenuCommand(LOWORD(wParam));
        return forward(msg, wParam, lParam);
    }
    if (msg == WM_HELP)
        return forward(msg, wParam, lParam);
    if (!isMouse(msg) && msg != WM_SETCURSOR)
        return 0;
    LRESULT answer = 0;
    if (!mouseReachesText(msg, wParam, lParam, answer))
        return answer;
    if (msg == WM_LBUTTONDOWN || msg == WM_LBUTTONDBLCLK || msg == WM_RBUTTONDOWN)
        SetControlFocus(1);
    return forward(msg, wParam, lParam);
}

LRESULT MRichEdit::forward(UINT msg, WPARAM wParam, LPARAM lParam)
{
    return send(msg, wParam, lParam);
}

// Whether a mouse message goes on to the services; answer is the reply when it does not.
bool MRichEdit::mouseReachesText(UINT msg, WPARAM, LPARAM lParam, LRESULT& answer)
{
    CTxtWinHost* host = *m_host;
    if (host->IsCaptured())
        return true;
    PaintManager* manager = GetManager();
    CPoint pt = pointOf(lParam);
    if (msg == WM_MOUSEWHEEL || msg == WM_SETCURSOR) {
        if (msg == WM_SETCURSOR)
            ::GetCursorPos(&pt);
        if (manager)
            ::ScreenToClient(manager->GetPaintWnd(), &pt);
    }
    const bool inside = m_rect.PtInRect(pt) != 0;
    if (msg >= WM_LBUTTONDOWN && msg <= WM_RBUTTONDOWN && !inside)
        return false;
    // The right release inside the control is the context menu's, not the services'; one
    // outside it belongs to whatever is there.
    if (msg == WM_RBUTTONUP) {
        answer = inside ? 1 : 0;
        return false;
    }
    const RECT client = host->GetClientRect();
    if (!::PtInRect(&client, pt))
        return false;
    return !(manager && manager->IsCaptured());
}

void MRichEdit::placeCompositionWindow()
{
    PaintManager* manager = GetManager();
    const HWND window = manager ? manager->GetPaintWnd() : nullptr;
    HIMC context = window ? ::ImmGetContext(window) : nullptr;
    if (!context)
        return;
    COMPOSITIONFORM form {};
    form.dwStyle = CFS_POINT;
    ::GetCaretPos(&form.ptCurrentPos);
    ::ImmSetCompositionWindow(context, &form);
    ::ImmReleaseContext(window, context);
}

// The point comes in screen coordinates, or as (-1, -1) from the keyboard: the menu then
// opens at the caret.
void MRichEdit::showContextMenu(LPARAM lParam)
{
    PaintManager* manager = GetManager();
    if (!manager)
        return;
    const HWND window = manager->GetPaintWnd();
    CPoint screen = pointOf(lParam);
    CPoint client = screen;
    if (screen.x == -1 && screen.y == -1) {
        if (!m_focused)
            return;
        ::GetCaretPos(&client);
        screen = client;
        ::ClientToScreen(window, &screen);
    } else {
        ::ScreenToClient(window, &client);
        if (!m_rect.PtInRect(client))
            return;
    }
    CHARRANGE selection {};
    GetSel(selection);
    const bool noSelection = selection.cpMin == selection.cpMax;
    HMENU menu = ::CreatePopupMenu();
    const auto add = [&](UINT id, const wchar_t* text, bool grey) {
        ::AppendMenuW(menu, MF_STRING | (grey ? MF_GRAYED : 0), id, text);
    };
    add(kMenuUndo, L"Undo(&U)", !CanUndo());
    add(kMenuRedo, L"Redo(&R)", !CanRedo());
    ::AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    add(kMenuCut, L"Cut(&X)", m_readOnly || noSelection);
    add(kMenuCopy, L"Copy(&C)", noSelection);
    add(kMenuPaste, L"Paste(&V)", m_readOnly != 0);
    add(kMenuClear, L"Clear(&L)", m_readOnly || noSelection);
    ::AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    add(kMenuSelectAll, L"SelectAll(&A)", false);
    ::TrackPopupMenu(menu, TPM_RIGHTBUTTON, screen.x, screen.y, 0, window, nullptr);
    ::DestroyMenu(menu);
    forward(WM_CONTEXTMENU, reinterpret_cast<WPARAM>(window), MAKELPARAM(screen.x, screen.y));
}

void MRichEdit::runMenuCommand(UINT command)
{
    switch (command) {
    case kMenuUndo: Undo(); break;
    case kMenuCut: Cut(); break;
    case kMenuCopy: Copy(); break;
    case kMenuPaste: Paste(); break;
    case kMenuClear: Clear(); break;
    case kMenuSelectAll: SetSelAll(); break;
    case kMenuRedo: Redo(); break;
    default: break;
    }
}

// ---- drawing

void MRichEdit::DrawStrip(HDC& dc, int frameWidth, const SlotPainter& paintSlot)
{
    if (!m_image || frameWidth <= 0)
        return;
    const int height = m_rect.Height();
    if (!m_update || m_memPicture.width() != kFrames * frameWidth || m_memPicture.height() != height) {
        UpdateMemDC(dc, kFrames * frameWidth, height);
        Gdiplus::Graphics graphics(m_memPicture.dc());
        for (int frame = 0; frame < kFrames; ++frame) {
            MRender::BitBlt(m_memPicture.dc(), frame * frameWidth, 0, frameWidth, height, dc, m_rect.left, m_rect.top);
            const CRect slot(frame * frameWidth, 0, (frame + 1) * frameWidth, height);
            MRender::DrawImageFrame(graphics, m_image, slot, frame * GetFrameWidth(), 0, GetFrameWidth(), m_imageHeight,
                                    kStripBorder);
            if (paintSlot)
                paintSlot(graphics, slot);
        }
    }
    MRender::BitBlt(dc, m_rect.left, m_rect.top, frameWidth, height, m_memPicture.dc(), m_state * frameWidth, 0);
}

void MRichEdit::DrawTip(Gdiplus::Graphics& graphics, const CRect& slot, Gdiplus::StringAlignment lineAlignment, int drop)
{
    if (!m_title.IsEmpty() || m_tip.IsEmpty())
        return;
    const auto font = MakeTextFont(*this, static_cast<float>(m_fontSize));
    if (!font)
        return;
    Gdiplus::SolidBrush brush { Gdiplus::Color(kTipColor) };
    Gdiplus::StringFormat format;
    format.SetFormatFlags(Gdiplus::StringFormatFlagsNoWrap | Gdiplus::StringFormatFlagsMeasureTrailingSpaces);
    format.SetAlignment(Gdiplus::StringAlignmentNear);
    format.SetLineAlignment(lineAlignment);
    const Gdiplus::RectF layout(static_cast<float>(slot.left + m_padding.left), static_cast<float>(slot.top + m_padding.top + drop),
                                static_cast<float>(slot.Width() - m_padding.left - m_padding.right),
                                static_cast<float>(slot.Height() - m_padding.top - m_padding.bottom));
    graphics.SetTextRenderingHint(m_textRenderingHint);
    graphics.DrawString(m_tip, m_tip.GetLength(), TextFont(font.get(), m_tip), layout, &format, &brush);
}

void MRichEdit::DrawText(HDC& dc, const CRect& paintRect)
{
    CTxtWinHost* host = *m_host;
    if (!host)
        return;
    const RECT client = host->GetClientRect();
    RECTL bounds { client.left, client.top, client.right, client.bottom };
    RECT update = paintRect;
    host->GetTextServices()->TxDraw(DVASPECT_CONTENT, 0, nullptr, nullptr, dc, nullptr, &bounds, nullptr, &update,
                                    nullptr, 0, TXTVIEW_ACTIVE);
}

void MRichEdit::DrawControl(HDC& dc, CRect paintRect)
{
    DrawStrip(dc, m_rect.Width(), [this](Gdiplus::Graphics& graphics, const CRect& slot) {
        DrawTip(graphics, slot, Gdiplus::StringAlignmentNear, 0);
    });
    DrawText(dc, paintRect);
}

// ---- files

int MRichEdit::SaveRtf(const wchar_t* path)
{
    FILE* file = *m_host && path ? _wfopen(path, L"wb") : nullptr;
    if (!file)
        return 0;
    EDITSTREAM stream { reinterpret_cast<DWORD_PTR>(file), 0, &CTxtWinHost::WriteRtfCallback };
    const LRESULT result = StreamOut(SF_RTF, stream);
    fclose(file);
    return static_cast<int>(result);
}

int MRichEdit::LoadRtf(const wchar_t* path)
{
    const std::unique_ptr<FILE, FileCloser> file(*m_host && path ? _wfopen(path, L"rb") : nullptr);
    if (!file)
        return 0;
    EDITSTREAM stream { reinterpret_cast<DWORD_PTR>(file.get()), 0, &CTxtWinHost::ReadRtfCallback };
    return static_cast<int>(StreamIn(SF_RTF, stream));
}

// A stream without a callback moves nothing.
LRESULT MRichEdit::StreamOut(int format, EDITSTREAM& stream)
{
    if (!stream.pfnCallback)
        return 0;
    return send(EM_STREAMOUT, static_cast<WPARAM>(format), reinterpret_cast<LPARAM>(&stream));
}

// The stream is read whole first and handed on only when it is no larger than kMaxStreamBytes
// and, for RTF, it is not empty and its groups nest no deeper than kMaxRtfDepth; otherwise the
// text is left as it was and the result is 0.
LRESULT MRichEdit::StreamIn(int format, EDITSTREAM& stream)
{
    if (!*m_host || !stream.pfnCallback)
        return 0;
    std::vector<BYTE> bytes;
    if (!collectStream(stream, bytes))
        return 0;
    if ((format & SF_RTF) && (bytes.empty() || !rtfNestingWithinLimit(bytes)))
        return 0;
    ByteSource source { bytes, 0 };
    EDITSTREAM fed { reinterpret_cast<DWORD_PTR>(&source), 0, &readByteSource };
    const LRESULT result = send(EM_STREAMIN, static_cast<WPARAM>(format), reinterpret_cast<LPARAM>(&fed));
    stream.dwError = fed.dwError;
    return result;
}

// ---- flags

void MRichEdit::SetMultiLine(int on)
{
    m_winStyle = on ? (m_winStyle | ES_MULTILINE) : (m_winStyle & ~ES_MULTILINE);
}

void MRichEdit::SetRich(int on)
{
    m_rich = on;
    if (CTxtWinHost* host = *m_host)
        host->SetRichText(on);
}

void MRichEdit::SetReadOnly(int on)
{
    m_readOnly = on;
    if (CTxtWinHost* host = *m_host)
        host->SetReadOnly(on);
}

void MRichEdit::SetWordWrap(int on)
{
    m_wordWrap = on;
    if (CTxtWinHost* host = *m_host)
        host->SetWordWrap(on);
}

void MRichEdit::SetPassword(int on)
{
    m_password = on;
    m_winStyle = on ? (m_winStyle | ES_PASSWORD) : (m_winStyle & ~ES_PASSWORD);
    if (CTxtWinHost* host = *m_host)
        host->SetPassword(on);
}

void MRichEdit::SetLimitText(int limit)
{
    m_limit = limit;
    if (CTxtWinHost* host = *m_host)
        host->SetMaxLength(limit);
}

// ---- text

long MRichEdit::GetTextLength(DWORD flags) const
{
    GETTEXTLENGTHEX request { flags, kCodePageUnicode };
    return static_cast<long>(send(EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&request)));
}

int MRichEdit::GetModify() const { return send(EM_GETMODIFY) ? 1 : 0; }
void MRichEdit::SetModify(int modified) { send(EM_SETMODIFY, static_cast<WPARAM>(modified)); }

// A null text replaces the selection with nothing.
void MRichEdit::ReplaceSel(const wchar_t* text, int canUndo)
{
    send(EM_REPLACESEL, static_cast<WPARAM>(canUndo), reinterpret_cast<LPARAM>(text ? text : L""));
}

void MRichEdit::ReplaceSelW(const wchar_t* text, int canUndo)
{
    ReplaceSel(text, canUndo);
}

LRESULT MRichEdit::InsertText(long pos, const wchar_t* text, int canUndo)
{
    CHARRANGE at { pos, pos };
    send(EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&at));
    return send(EM_REPLACESEL, static_cast<WPARAM>(canUndo), reinterpret_cast<LPARAM>(text ? text : L""));
}

LRESULT MRichEdit::AppendText(const wchar_t* text, int canUndo)
{
    return InsertText(-1, text, canUndo);
}

// An end of -1, or past the text, means the end of the text; an end before the start gives
// nothing. The buffer is sized by the text, never by what the caller asks for.
CString MRichEdit::GetTextRange(long start, long end) const
{
    if (!*m_host)
        return CString();
    const long length = GetTextLength(GTL_DEFAULT);
    if (end == -1 || end > length)
        end = length;
    if (start < 0 || end <= start)
        return CString();
    std::vector<wchar_t> buffer(static_cast<size_t>(end - start) + 1, L'\0');
    TEXTRANGEW range { { start, end }, buffer.data() };
    send(EM_GETTEXTRANGE, 0, reinterpret_cast<LPARAM>(&range));
    return CString(buffer.data());
}

CString MRichEdit::GetSelText() const
{
    CHARRANGE selection {};
    GetSel(selection);
    if (!*m_host || selection.cpMax <= selection.cpMin)
        return CString();
    std::vector<wchar_t> buffer(static_cast<size_t>(selection.cpMax - selection.cpMin) + 1, L'\0');
    send(EM_GETSELTEXT, 0, reinterpret_cast<LPARAM>(buffer.data()));
    return CString(buffer.data());
}

// ---- selection

void MRichEdit::GetSel(CHARRANGE& range) const { send(EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&range)); }

void MRichEdit::GetSel(long& start, long& end) const
{
    CHARRANGE range {};
    GetSel(range);
    start = range.cpMin;
    end = range.cpMax;
}

LRESULT MRichEdit::SetSel(CHARRANGE& range) { return send(EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range)); }

LRESULT MRichEdit::SetSel(long start, long end)
{
    CHARRANGE range { start, end };
    return SetSel(range);
}

LRESULT MRichEdit::SetSelAll() { return SetSel(0, -1); }
LRESULT MRichEdit::SetSelNone() { return SetSel(-1, 0); }
void MRichEdit::HideSelection(int hide, int changeStyle) { send(EM_HIDESELECTION, hide, changeStyle); }
void MRichEdit::ScrollCaret() { send(EM_SCROLLCARET); }
WORD MRichEdit::GetSelectionType() const { return static_cast<WORD>(send(EM_SELECTIONTYPE)); }

// ---- zoom and events

int MRichEdit::GetZoom(int& numerator, int& denominator) const
{
    send(EM_GETZOOM, reinterpret_cast<WPARAM>(&numerator), reinterpret_cast<LPARAM>(&denominator));
    return *m_host ? 1 : 0;
}

int MRichEdit::SetZoom(int numerator, int denominator)
{
    if (!*m_host || static_cast<unsigned>(numerator) > kMaxZoom || static_cast<unsigned>(denominator) > kMaxZoom)
        return 0;
    send(EM_SETZOOM, static_cast<WPARAM>(numerator), denominator);
    return 1;
}

int MRichEdit::SetZoomOff() { return static_cast<int>(send(EM_SETZOOM, 0, 0)); }
DWORD MRichEdit::GetEventMask() const { return static_cast<DWORD>(send(EM_GETEVENTMASK)); }
DWORD MRichEdit::SetEventMask(DWORD mask) { return static_cast<DWORD>(send(EM_SETEVENTMASK, 0, mask)); }

// Dropped files are reported or not; the other events stay as they are.
int MRichEdit::SetDropAcceptFile(int accept)
{
    const DWORD before = GetEventMask();
    SetEventMask(accept ? (before | ENM_DROPFILES) : (before & ~ENM_DROPFILES));
    return before == 0 ? 1 : 0;
}

int MRichEdit::GetAutoURLDetect() const { return send(EM_GETAUTOURLDETECT) ? 1 : 0; }
int MRichEdit::SetAutoURLDetect(int detect) { return send(EM_AUTOURLDETECT, static_cast<WPARAM>(detect)) == 0 ? 1 : 0; }

// ---- formats

// The services copy the face name up to its end: a name that fills the field still ends.
void MRichEdit::prepareCharFormat(CHARFORMAT2W& format)
{
    format.cbSize = sizeof(format);
    format.szFaceName[LF_FACESIZE - 1] = L'\0';
}

DWORD MRichEdit::GetDefaultCharFormat(CHARFORMAT2W& format) const
{
    format.cbSize = sizeof(format);
    return static_cast<DWORD>(send(EM_GETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&format)));
}

DWORD MRichEdit::GetSelectionCharFormat(CHARFORMAT2W& format) const
{
    format.cbSize = sizeof(format);
    return static_cast<DWORD>(send(EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format)));
}

int MRichEdit::SetDefaultCharFormat(CHARFORMAT2W& format)
{
    prepareCharFormat(format);
    if (send(EM_SETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&format)) != 1)
        return 0;
    CHARFORMAT2W applied {};
    applied.cbSize = sizeof(applied);
    send(EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&applied));
    Host()->SetCharFormat(applied);
    return 1;
}

int MRichEdit::SetSelectionCharFormat(CHARFORMAT2W& format)
{
    prepareCharFormat(format);
    return send(EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format)) == 1 ? 1 : 0;
}

int MRichEdit::SetWordCharFormat(CHARFORMAT2W& format)
{
    prepareCharFormat(format);
    return send(EM_SETCHARFORMAT, SCF_SELECTION | SCF_WORD, reinterpret_cast<LPARAM>(&format)) == 1 ? 1 : 0;
}

DWORD MRichEdit::GetParaFormat(PARAFORMAT2& format) const
{
    format.cbSize = sizeof(format);
    return static_cast<DWORD>(send(EM_GETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&format)));
}

int MRichEdit::SetParaFormat(PARAFORMAT2& format)
{
    format.cbSize = sizeof(format);
    // The services read as many tab stops as the count says, from an array of 32.
    format.cTabCount = std::clamp<SHORT>(format.cTabCount, 0, MAX_TAB_STOPS);
    if (send(EM_SETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&format)) != 1)
        return 0;
    Host()->SetParaFormat(format);
    return 1;
}

// ---- undo and clipboard

int MRichEdit::CanUndo() const { return send(EM_CANUNDO) ? 1 : 0; }
int MRichEdit::CanRedo() const { return send(EM_CANREDO) ? 1 : 0; }
int MRichEdit::CanPaste() const { return send(EM_CANPASTE, 0) ? 1 : 0; }
int MRichEdit::Undo() { return send(EM_UNDO) ? 1 : 0; }
int MRichEdit::Redo() { return send(EM_REDO) ? 1 : 0; }
void MRichEdit::EmptyUndoBuffer() { send(EM_EMPTYUNDOBUFFER); }
int MRichEdit::SetUndoLimit(int limit) { return static_cast<int>(send(EM_SETUNDOLIMIT, static_cast<WPARAM>(limit))); }
void MRichEdit::Cut() { send(WM_CUT); }
void MRichEdit::Copy() { send(WM_COPY); }
void MRichEdit::Paste() { send(WM_PASTE); }

void MRichEdit::Clear()
{
    SetSelAll();
    send(WM_CLEAR);
}

// ---- lines and scrolling

int MRichEdit::GetLineCount() const { return static_cast<int>(send(EM_GETLINECOUNT)); }
int MRichEdit::LineIndex(int line) const { return static_cast<int>(send(EM_LINEINDEX, static_cast<WPARAM>(line))); }
int MRichEdit::LineLength(int charIndex) const { return static_cast<int>(send(EM_LINELENGTH, static_cast<WPARAM>(charIndex))); }
int MRichEdit::LineFromChar(long charIndex) const { return static_cast<int>(send(EM_EXLINEFROMCHAR, 0, charIndex)); }

// At most maxLength characters of the line, its end of paragraph included; the buffer is
// sized by the line, never by what the caller asks for.
CString MRichEdit::GetLine(int line, int maxLength) const
{
    if (!*m_host || maxLength < 1 || line < 0 || line >= GetLineCount())
        return CString();
    const int lineLength = std::max(LineLength(LineIndex(line)), 0);
    const int capacity = std::min({ maxLength, lineLength + kLineEndRoom, 0xFFFF });
    std::vector<wchar_t> buffer(static_cast<size_t>(capacity) + 1, L'\0');
    buffer[0] = static_cast<wchar_t>(capacity);
    const LRESULT copied = send(EM_GETLINE, static_cast<WPARAM>(line), reinterpret_cast<LPARAM>(buffer.data()));
    buffer[static_cast<size_t>(std::clamp<LRESULT>(copied, 0, capacity))] = L'\0';
    return CString(buffer.data());
}

int MRichEdit::LineScroll(int lines, int chars)
{
    send(EM_LINESCROLL, static_cast<WPARAM>(chars), lines);
    return *m_host ? 1 : 0;
}

CPoint MRichEdit::PosFromChar(long charIndex) const
{
    POINTL pt {};
    send(EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&pt), charIndex);
    return CPoint(pt.x, pt.y);
}

int MRichEdit::CharFromPos(CPoint pt) const
{
    POINTL at { pt.x, pt.y };
    return static_cast<int>(send(EM_CHARFROMPOS, 0, reinterpret_cast<LPARAM>(&at)));
}

void MRichEdit::LineUp() { send(WM_VSCROLL, SB_LINEUP); }
void MRichEdit::LineDown() { send(WM_VSCROLL, SB_LINEDOWN); }
void MRichEdit::PageUp() { send(WM_VSCROLL, SB_PAGEUP); }
void MRichEdit::PageDown() { send(WM_VSCROLL, SB_PAGEDOWN); }
void MRichEdit::HomeUp() { send(WM_VSCROLL, SB_TOP); }
void MRichEdit::EndDown() { send(WM_VSCROLL, SB_BOTTOM); }
void MRichEdit::LineLeft() { send(WM_HSCROLL, SB_LINEUP); }
void MRichEdit::LineRight() { send(WM_HSCROLL, SB_LINEDOWN); }
void MRichEdit::PageLeft() { send(WM_HSCROLL, SB_PAGEUP); }
void MRichEdit::PageRight() { send(WM_HSCROLL, SB_PAGEDOWN); }
void MRichEdit::HomeLeft() { send(WM_HSCROLL, SB_TOP); }
void MRichEdit::EndRight() { send(WM_HSCROLL, SB_BOTTOM); }

// ---- fonts

HFONT MRichEdit::GetDefaultFont() const
{
    return CreateEditFontOfSize(m_textFont, m_fontSize, m_fontStyle).release();
}

void MRichEdit::SetFont()
{
    const int style = m_fontStyle;
    SetFont(m_textFont, m_fontSize, style & Gdiplus::FontStyleBold, style & Gdiplus::FontStyleUnderline,
            style & Gdiplus::FontStyleItalic);
}

void MRichEdit::SetFont(const wchar_t* face, int size, int bold, int underline, int italic)
{
    CTxtWinHost* host = *m_host;
    if (!host)
        return;
    const int style = (bold ? Gdiplus::FontStyleBold : 0) | (underline ? Gdiplus::FontStyleUnderline : 0)
        | (italic ? Gdiplus::FontStyleItalic : 0);
    const OwnedFont font = CreateEditFontOfSize(face, size, style);
    host->SetFont(font.get());
}

IDropTarget* MRichEdit::GetTxDropTarget()
{
    CTxtWinHost* host = *m_host;
    IDropTarget* target = nullptr;
    if (host && SUCCEEDED(host->GetTextServices()->TxGetDropTarget(&target)))
        return target;
    return nullptr;
}

} // namespace KOVA
