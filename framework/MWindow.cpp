#include "framework/MWindow.h"

#include "framework/DispatchScope.h"
#include "framework/Manager.h"

namespace KOVA {

namespace {
constexpr wchar_t kObjectProperty[] = L"Control";
constexpr UINT kClassStyle = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
constexpr DWORD kDefaultStyle = 0x80B;
constexpr UINT kModifyFlagsAlways = SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE;
constexpr UINT kNoModalWindow = 0xFFFFFFFF;
constexpr COLORREF kNoColorKey = 0x00FFFFFF;

bool registered(ATOM atom)
{
    return atom != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

// The owner gets input back before the modal window goes, so the system activates it next.
void giveBackOwner(HWND owner)
{
    if (!owner)
        return;
    ::EnableWindow(owner, TRUE);
    ::SetFocus(owner);
}

bool referenceCounts(HWND reference)
{
    if (!reference)
        return false;
    const DWORD style = static_cast<DWORD>(::GetWindowLongW(reference, GWL_STYLE));
    return (style & WS_VISIBLE) && !(style & WS_MINIMIZE);
}

// Where to keep the window (area) and what to centre it on (centre), in the coordinates its
// position is given in.
void childPlacement(HWND self, HWND reference, CRect& area, CRect& centre)
{
    HWND parent = ::GetParent(self);
    ::GetClientRect(parent, &area);
    ::GetClientRect(reference, &centre);
    ::MapWindowPoints(reference, parent, reinterpret_cast<POINT*>(&centre), 2);
}

void topLevelPlacement(HWND self, HWND reference, CRect& area, CRect& centre)
{
    if (!referenceCounts(reference))
        reference = nullptr;
    MONITORINFO monitor {};
    monitor.cbSize = sizeof(monitor);
    ::GetMonitorInfoW(::MonitorFromWindow(reference ? reference : self, MONITOR_DEFAULTTONEAREST), &monitor);
    area = monitor.rcWork;
    if (reference)
        ::GetWindowRect(reference, &centre);
    else
        centre = area;
}

int centredStart(LONG low, LONG high, int extent, LONG areaLow, LONG areaHigh)
{
    int start = (low + high) / 2 - extent / 2;
    if (start + extent > areaHigh)
        start = areaHigh - extent;
    if (start < areaLow)
        start = areaLow;
    return start;
}
} // namespace

void MWindow::IconDeleter::operator()(HICON icon) const
{
    ::DestroyIcon(icon);
}

MWindow::~MWindow()
{
    Unbind();
}

const wchar_t* MWindow::GetWindowClassName() const { return L"MWindow"; }
const wchar_t* MWindow::GetSuperClassName() const { return nullptr; }
BOOL MWindow::PreTranslateMessage(MSG*) { return 0; }
BOOL MWindow::OnInitDialog() { return 1; }
void MWindow::OnDestroyMessage(HWND) {}

LRESULT MWindow::OnWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam)
{
    return ::CallWindowProcW(m_OldWndProc, *m_hWnd, msg, wParam, lParam);
}

bool MWindow::HasHandle() const
{
    return *m_hWnd && *m_hWnd != INVALID_HANDLE_VALUE;
}

bool MWindow::IsLive() const
{
    return *m_hWnd && ::IsWindow(*m_hWnd);
}

// ---- creation

HWND MWindow::Create(HWND hWndParent)
{
    return Create(hWndParent, CRect(0, 0, 800, 600));
}

HWND MWindow::Create(HWND hWndParent, CRect rc)
{
    return Create(hWndParent, L"MWindow", kDefaultStyle, 0, rc, nullptr);
}

HWND MWindow::Create(HWND hWndParent, const wchar_t* name, DWORD style, DWORD exStyle, CRect rc)
{
    return Create(hWndParent, name, style, exStyle, rc, nullptr);
}

HWND MWindow::Create(HWND hWndParent, const wchar_t* name, DWORD style, DWORD exStyle, CRect rc, HMENU menu)
{
    if (HasHandle() && ::IsWindow(*m_hWnd))
        return *m_hWnd;
    *m_hWndParent = hWndParent;
    const BOOL classReady = GetSuperClassName() ? RegisterSuperClass() : RegisterWindowClass();
    if (!classReady)
        return nullptr;
    *m_hWnd = ::CreateWindowExW(exStyle, GetWindowClassName(), name, style, rc.left, rc.top, rc.Width(), rc.Height(),
                                hWndParent, menu, Manager::GetInstance(), this);
    OnInitDialog();
    return *m_hWnd;
}

BOOL MWindow::RegisterWindowClass()
{
    WNDCLASSW wc {};
    wc.style = kClassStyle;
    wc.lpfnWndProc = &MWindow::WndProc;
    wc.hInstance = Manager::GetInstance();
    wc.lpszClassName = GetWindowClassName();
    return registered(::RegisterClassW(&wc)) ? 1 : 0;
}

BOOL MWindow::RegisterSuperClass()
{
    WNDCLASSEXW wc {};
    wc.cbSize = sizeof(wc);
    const wchar_t* super = GetSuperClassName();
    if (!::GetClassInfoExW(nullptr, super, &wc) && !::GetClassInfoExW(Manager::GetInstance(), super, &wc))
        return 0;
    m_OldWndProc = wc.lpfnWndProc;
    wc.hInstance = Manager::GetInstance();
    wc.lpfnWndProc = &MWindow::ControlProc;
    wc.lpszClassName = GetWindowClassName();
    return registered(::RegisterClassExW(&wc)) ? 1 : 0;
}

// ---- binding

LRESULT CALLBACK MWindow::WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    return route(Slot::UserData, hwnd, msg, wParam, lParam);
}

LRESULT CALLBACK MWindow::ControlProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    return route(Slot::Property, hwnd, msg, wParam, lParam);
}

void MWindow::store(Slot slot, HWND hwnd, MWindow* object)
{
    if (slot == Slot::UserData)
        ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(object));
    else if (object)
        ::SetPropW(hwnd, kObjectProperty, object);
    else
        ::RemovePropW(hwnd, kObjectProperty);
}

MWindow* MWindow::boundObject(Slot slot, HWND hwnd, UINT msg, LPARAM lParam)
{
    if (msg == WM_NCCREATE) {
        auto* object = static_cast<MWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        if (object) {
            *object->m_hWnd = hwnd;
            store(slot, hwnd, object);
        }
        return object;
    }
    if (slot == Slot::UserData)
        return reinterpret_cast<MWindow*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    return static_cast<MWindow*>(::GetPropW(hwnd, kObjectProperty));
}

LRESULT MWindow::route(Slot slot, HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    DispatchScope dispatch;
    // Nothing thrown inside the library may cross the system's frames into the host's loop:
    // the message then gets the default handling, as for a window without an object.
    try {
        MWindow* object = boundObject(slot, hwnd, msg, lParam);
        if (!object)
            return ::DefWindowProcW(hwnd, msg, wParam, lParam);
        if (msg == WM_NCDESTROY)
            return object->finishNcDestroy(slot, hwnd, wParam, lParam);
        return object->OnWindowMessage(msg, wParam, lParam);
    } catch (...) {
        return ::IsWindow(hwnd) ? ::DefWindowProcW(hwnd, msg, wParam, lParam) : 0;
    }
}

LRESULT MWindow::finishNcDestroy(Slot slot, HWND hwnd, WPARAM wParam, LPARAM lParam)
{
    const LRESULT result = ::CallWindowProcW(m_OldWndProc, hwnd, WM_NCDESTROY, wParam, lParam);
    store(slot, hwnd, nullptr);
    *m_hWnd = nullptr;
    releaseIcons();
    // Last: a derived window may delete itself here.
    OnDestroyMessage(hwnd);
    return result;
}

void MWindow::Unbind()
{
    HWND hwnd = *m_hWnd;
    if (!hwnd || !::IsWindow(hwnd))
        return;
    if (::GetPropW(hwnd, kObjectProperty) == this)
        store(Slot::Property, hwnd, nullptr);
    if (reinterpret_cast<MWindow*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA)) == this)
        store(Slot::UserData, hwnd, nullptr);
    *m_hWnd = nullptr;
}

void MWindow::DeleteLater()
{
    if (*m_deleteAsked)
        return;
    *m_deleteAsked = true;
    DestroyWindow();
    DispatchScope::Delete(this);
}

// ---- modal loop, placement, icons

UINT MWindow::ShowModal(int nCmdShow)
{
    if (!IsLive())
        return kNoModalWindow;
    // Only locals after a dispatch: the object may be deleted once its window is gone.
    HWND self = *m_hWnd;
    HWND owner = ::GetWindow(self, GW_OWNER);
    ::ShowWindow(self, nCmdShow);
    if (owner)
        ::EnableWindow(owner, FALSE);
    UINT result = 0;
    MSG msg {};
    bool quit = false;
    while (::IsWindow(self)) {
        const BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0)
            quit = true;
        if (got <= 0)
            break;
        if (msg.message == WM_CLOSE && msg.hwnd == self) {
            result = static_cast<UINT>(msg.wParam);
            giveBackOwner(owner);
        }
        if (!PreTranslateMessage(&msg)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
    }
    giveBackOwner(owner);
    if (quit)
        ::PostQuitMessage(static_cast<int>(msg.wParam));
    return result;
}

void MWindow::CenterWindow(MWindow* center)
{
    if (!IsLive())
        return;
    const DWORD style = GetStyle();
    const bool child = (style & WS_CHILD) != 0;
    HWND reference = center ? center->GetSafeHwnd() : nullptr;
    if (!reference)
        reference = child ? ::GetParent(*m_hWnd) : ::GetWindow(*m_hWnd, GW_OWNER);
    if (child && !reference)
        return;
    CRect frame;
    ::GetWindowRect(*m_hWnd, &frame);
    CRect area;
    CRect centre;
    if (child)
        childPlacement(*m_hWnd, reference, area, centre);
    else
        topLevelPlacement(*m_hWnd, reference, area, centre);
    const int left = centredStart(centre.left, centre.right, frame.Width(), area.left, area.right);
    const int top = centredStart(centre.top, centre.bottom, frame.Height(), area.top, area.bottom);
    ::SetWindowPos(*m_hWnd, nullptr, left, top, -1, -1, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void MWindow::BringToTop()
{
    if (!IsLive())
        return;
    HWND foreground = ::GetForegroundWindow();
    const DWORD foregroundThread = foreground ? ::GetWindowThreadProcessId(foreground, nullptr) : 0;
    const DWORD ownThread = ::GetCurrentThreadId();
    if (foregroundThread && foregroundThread != ownThread) {
        // Another thread's foreground window would otherwise refuse us the foreground.
        ::AttachThreadInput(ownThread, foregroundThread, TRUE);
        ::AllowSetForegroundWindow(ASFW_ANY);
        ::SetForegroundWindow(*m_hWnd);
        ::AttachThreadInput(ownThread, foregroundThread, FALSE);
    } else {
        ::SetForegroundWindow(*m_hWnd);
    }
    ShowWindow((GetStyle() & WS_MINIMIZE) ? SW_RESTORE : SW_SHOW);
}

void MWindow::SetIcon(UINT resourceId)
{
    if (!IsLive())
        return;
    replaceIcon(ICON_BIG, SM_CXICON, SM_CYICON, resourceId);
    replaceIcon(ICON_SMALL, SM_CXSMICON, SM_CYSMICON, resourceId);
}

void MWindow::replaceIcon(WPARAM which, int widthMetric, int heightMetric, UINT resourceId)
{
    auto* icon = static_cast<HICON>(::LoadImageW(Manager::GetInstance(), MAKEINTRESOURCEW(resourceId), IMAGE_ICON,
                                                 ::GetSystemMetrics(widthMetric), ::GetSystemMetrics(heightMetric), 0));
    if (!icon)
        return;
    auto* previous = reinterpret_cast<HICON>(::SendMessageW(*m_hWnd, WM_SETICON, which, reinterpret_cast<LPARAM>(icon)));
    // The replaced icon is off the window for good and nothing else would free it; one we
    // loaded earlier goes with the reset below.
    if (previous && previous != m_bigIcon->get() && previous != m_smallIcon->get())
        ::DestroyIcon(previous);
    (which == ICON_BIG ? *m_bigIcon : *m_smallIcon).reset(icon);
}

void MWindow::releaseIcons()
{
    m_bigIcon->reset();
    m_smallIcon->reset();
}

// ---- shared by the painted windows

void MWindow::StripCaptionAndFrame()
{
    ModifyStyle(WS_CAPTION | WS_THICKFRAME, WS_CLIPSIBLINGS | WS_CLIPCHILDREN | 0x8, 0);
}

void MWindow::ApplyTranslucency(int alpha, COLORREF colorKey)
{
    if (alpha != 255) {
        ModifyExStyle(0, WS_EX_LAYERED, 0);
        ::SetLayeredWindowAttributes(*m_hWnd, 0, static_cast<BYTE>(alpha), LWA_ALPHA);
    } else if (colorKey != kNoColorKey) {
        ModifyExStyle(0, WS_EX_LAYERED, 0);
        ::SetLayeredWindowAttributes(*m_hWnd, colorKey, 255, LWA_COLORKEY);
    }
}

int MWindow::PostClose(WPARAM wParam, LPARAM lParam)
{
    PostMessageW(WM_CLOSE, wParam, lParam);
    return 1;
}

// ---- thin wrappers

DWORD MWindow::GetStyle() const
{
    return HasHandle() ? static_cast<DWORD>(::GetWindowLongW(*m_hWnd, GWL_STYLE)) : 0;
}

DWORD MWindow::GetExStyle() const
{
    return HasHandle() ? static_cast<DWORD>(::GetWindowLongW(*m_hWnd, GWL_EXSTYLE)) : 0;
}

BOOL MWindow::ShowWindow(int nCmdShow)
{
    return HasHandle() ? ::ShowWindow(*m_hWnd, nCmdShow) : 0;
}

LRESULT MWindow::SendMessageW(UINT msg, WPARAM wParam, LPARAM lParam)
{
    return HasHandle() ? ::SendMessageW(*m_hWnd, msg, wParam, lParam) : 0;
}

BOOL MWindow::PostMessageW(UINT msg, WPARAM wParam, LPARAM lParam)
{
    return HasHandle() ? ::PostMessageW(*m_hWnd, msg, wParam, lParam) : 0;
}

BOOL MWindow::modifyLong(int index, DWORD remove, DWORD add, UINT flags)
{
    if (!HasHandle())
        return 0;
    const DWORD old = static_cast<DWORD>(::GetWindowLongW(*m_hWnd, index));
    const DWORD updated = (old & ~remove) | add;
    if (updated == old)
        return 0;
    ::SetWindowLongW(*m_hWnd, index, static_cast<LONG>(updated));
    if (flags)
        ::SetWindowPos(*m_hWnd, nullptr, 0, 0, 0, 0, flags | kModifyFlagsAlways);
    return 1;
}

BOOL MWindow::ModifyStyle(DWORD remove, DWORD add, UINT flags)
{
    return modifyLong(GWL_STYLE, remove, add, flags);
}

BOOL MWindow::ModifyExStyle(DWORD remove, DWORD add, UINT flags)
{
    return modifyLong(GWL_EXSTYLE, remove, add, flags);
}

BOOL MWindow::GetClientRect(RECT* rect) const { return IsLive() ? ::GetClientRect(*m_hWnd, rect) : 0; }
BOOL MWindow::GetWindowRect(RECT* rect) const { return IsLive() ? ::GetWindowRect(*m_hWnd, rect) : 0; }
BOOL MWindow::EnableWindow(BOOL enable) { return IsLive() ? ::EnableWindow(*m_hWnd, enable) : 0; }
BOOL MWindow::IsWindowEnabled() const { return IsLive() ? ::IsWindowEnabled(*m_hWnd) : 0; }
BOOL MWindow::IsWindowVisible() const { return IsLive() ? ::IsWindowVisible(*m_hWnd) : 0; }
BOOL MWindow::IsIconic() const { return IsLive() ? ::IsIconic(*m_hWnd) : 0; }
BOOL MWindow::ReleaseCapture() { return IsLive() ? ::ReleaseCapture() : 0; }
HWND MWindow::SetCapture() { return IsLive() ? ::SetCapture(*m_hWnd) : nullptr; }
HWND MWindow::SetFocus() { return IsLive() ? ::SetFocus(*m_hWnd) : nullptr; }
BOOL MWindow::KillTimer(UINT id) { return IsLive() ? ::KillTimer(*m_hWnd, id) : 0; }
BOOL MWindow::DestroyWindow() { return IsLive() ? ::DestroyWindow(*m_hWnd) : 0; }
BOOL MWindow::ClientToScreen(POINT* point) const { return IsLive() ? ::ClientToScreen(*m_hWnd, point) : 0; }
BOOL MWindow::ScreenToClient(POINT* point) const { return IsLive() ? ::ScreenToClient(*m_hWnd, point) : 0; }

UINT MWindow::SetTimer(UINT id, UINT elapse, TIMERPROC proc)
{
    return IsLive() ? static_cast<UINT>(::SetTimer(*m_hWnd, id, elapse, proc)) : 0;
}

BOOL MWindow::ClientToScreen(RECT* rect) const
{
    if (!IsLive())
        return 0;
    auto* corners = reinterpret_cast<POINT*>(rect);
    return ::ClientToScreen(*m_hWnd, &corners[0]) && ::ClientToScreen(*m_hWnd, &corners[1]);
}

BOOL MWindow::ScreenToClient(RECT* rect) const
{
    if (!IsLive())
        return 0;
    auto* corners = reinterpret_cast<POINT*>(rect);
    return ::ScreenToClient(*m_hWnd, &corners[0]) && ::ScreenToClient(*m_hWnd, &corners[1]);
}

BOOL MWindow::SetWindowPos(HWND after, int x, int y, int cx, int cy, UINT flags)
{
    return IsLive() ? ::SetWindowPos(*m_hWnd, after, x, y, cx, cy, flags) : 0;
}

BOOL MWindow::MoveWindow(int x, int y, int width, int height, BOOL repaint)
{
    return IsLive() ? ::MoveWindow(*m_hWnd, x, y, width, height, repaint) : 0;
}

BOOL MWindow::MoveWindow(const RECT* rect, BOOL repaint)
{
    if (!IsLive() || !rect)
        return 0;
    return ::MoveWindow(*m_hWnd, rect->left, rect->top, rect->right - rect->left, rect->bottom - rect->top, repaint);
}

int MWindow::GetWindowTextLengthW() const
{
    return IsLive() ? ::GetWindowTextLengthW(*m_hWnd) : -1;
}

void MWindow::SetWindowTextW(const wchar_t* text)
{
    if (IsLive())
        ::SetWindowTextW(*m_hWnd, text);
}

void MWindow::GetWindowTextW(CString& text) const
{
    if (!IsLive())
        return;
    const int length = ::GetWindowTextLengthW(*m_hWnd);
    ::GetWindowTextW(*m_hWnd, text.GetBufferSetLength(length), length + 1);
    text.ReleaseBuffer();
}

void MWindow::InvalidateRect(CRect rect, BOOL erase)
{
    if (IsLive())
        ::InvalidateRect(*m_hWnd, &rect, erase);
}

void MWindow::SetRoundRegion(int corner)
{
    if (!IsLive())
        return;
    CRect frame;
    GetWindowRect(&frame);
    HRGN region = ::CreateRoundRectRgn(0, 0, frame.Width(), frame.Height(), corner, corner);
    // Once set, the region is the system's to delete; only a refused one is still ours.
    if (region && !::SetWindowRgn(GetSafeHwnd(), region, TRUE))
        ::DeleteObject(region);
}

} // namespace KOVA
