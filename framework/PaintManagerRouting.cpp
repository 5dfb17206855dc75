// How window messages reach the windowless controls: hover, focus and capture, the wheel,
// keys, Tab navigation and the arming and start of control drags.
//
// Any handler may remove controls, the list being walked, or the window: every walk here
// calls the controls over a copy of the list with no lock held (a lock held across a handler
// would wait against the fast-timer tick that the handler's removal waits out), skips the
// controls removed meanwhile, and only deletions wait for the dispatch to end (DispatchScope).
#include "platform/Win32.h"

#include <commctrl.h>
#include <cstdlib>

#include "framework/DispatchScope.h"
#include "framework/MControl.h"
#include "framework/PaintManager.h"

namespace KOVA {

namespace {
CPoint pointOf(LPARAM lParam)
{
    return CPoint(static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)));
}

const CPoint kNowhere(-1, -1);

bool keyDown(int virtualKey)
{
    return (GetKeyState(virtualKey) & 0x8000) != 0;
}

// control is container or lies somewhere below it.
bool isWithin(const MControl* control, const MObject* container)
{
    for (const MObject* object = control; object; object = static_cast<const MControl*>(object)->GetParantObject()) {
        if (object == container)
            return true;
        if (!dynamic_cast<const MControl*>(object))
            return false;
    }
    return false;
}

bool isRelayedToTooltip(UINT msg)
{
    switch (msg) {
    case WM_MOUSEMOVE: case WM_LBUTTONDOWN: case WM_LBUTTONUP: case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN: case WM_RBUTTONUP: case WM_MBUTTONUP: case WM_MOUSEWHEEL:
        return true;
    default:
        return false;
    }
}

bool respondsAt(MControl* control, UINT keys, CPoint pt)
{
    return control->IsVisible() && control->GetRresponse() && control->PtInRect(pt)
        && control->OnCheckMouseResponse(keys, pt);
}

// A drag starts only once the pointer has really moved away from where it was pressed.
constexpr int kDragThreshold = 2;
} // namespace

LRESULT PaintManager::OnWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam)
{
    Frame frame(*this);
    if (msg == PostedMessage()) {
        servePosted();
        return 1;
    }
    if (msg == STM_SETIMAGE)
        *m_pictureRoute = 1;
    for (MControl* control : controlsNow()) {
        if (control && !control->IsRemoved() && control->OnWindowMessage(msg, wParam, lParam)) {
            if (frame.Alive() && msg == STM_SETIMAGE)
                *m_pictureRoute = 2;
            return 0;
        }
        if (!frame.Alive())
            return 0;
    }
    const UINT keys = static_cast<UINT>(wParam);
    switch (msg) {
    case WM_CREATE: case WM_DESTROY: case WM_SIZE: case WM_CHAR: case WM_MOUSEHOVER:
        return 1;
    case WM_PAINT:
        return OnPaint();
    case WM_GETMINMAXINFO:
        return OnGetMinMaxInfo(reinterpret_cast<MINMAXINFO*>(lParam));
    case WM_NCDESTROY:
        return PostNcDestroy();
    case WM_NCACTIVATE:
        return OnNcActivate(static_cast<BOOL>(wParam));
    case WM_KEYDOWN: case WM_SYSKEYDOWN:
        return OnKeyDown(static_cast<UINT>(wParam), lParam);
    case WM_KEYUP: case WM_SYSKEYUP:
        return OnKeyUp(static_cast<UINT>(wParam), lParam);
    case WM_COMMAND: case WM_CTLCOLOREDIT: case WM_CTLCOLORSTATIC:
        // Native child windows handle their own notifications, reflected back to them.
        return lParam ? ::SendMessageW(reinterpret_cast<HWND>(lParam), msg + 0x2000, wParam, lParam) : 0;
    case WM_TIMER:
        OnTimer(static_cast<UINT>(wParam));
        return 0;
    case WM_MOUSEMOVE:
        return OnMouseMove(keys, pointOf(lParam));
    case WM_LBUTTONDOWN:
        return OnLButtonDown(keys, pointOf(lParam));
    case WM_LBUTTONUP:
        return OnLButtonUp(keys, pointOf(lParam));
    case WM_LBUTTONDBLCLK:
        return OnLButtonDblClk(keys, pointOf(lParam));
    case WM_RBUTTONDOWN:
        return OnRButtonDown(keys, pointOf(lParam));
    case WM_RBUTTONUP:
        return OnRButtonUp(keys, pointOf(lParam));
    case WM_RBUTTONDBLCLK:
        return OnRButtonDblClk(keys, pointOf(lParam));
    case WM_MOUSEWHEEL:
        return OnMouseWheel(LOWORD(wParam), static_cast<short>(HIWORD(wParam)), pointOf(lParam));
    case WM_MOUSELEAVE:
        return OnMouseLeave(keys, lParam);
    default:
        return 0;
    }
}

int PaintManager::OnCreate(CREATESTRUCTW*) { return 1; }
int PaintManager::OnSize(UINT, int, int) { return 1; }
int PaintManager::OnMouseHover(UINT, LPARAM) { return 1; }
int PaintManager::OnNcHitTest(CPoint) { return 1; }
int PaintManager::OnNcCalcSize(BOOL, NCCALCSIZE_PARAMS*) { return 1; }
int PaintManager::OnWindowPosChanging(WINDOWPOS*) { return 1; }
int PaintManager::OnNcPaint() { return 1; }
int PaintManager::OnDestroy() { return 1; }

int PaintManager::PostNcDestroy()
{
    DestroyData();
    return 1;
}

int PaintManager::OnKeyUp(UINT, LPARAM) { return 0; }

// ---- mouse move, leave and drags

void PaintManager::startControlDrag()
{
    RECT window {};
    ::GetWindowRect(m_hWnd, &window);
    ClipCursor(&window);
    ::ReleaseCapture();
    m_captured = 0;
    Frame frame(*this);
    runControlDrag();
    if (!frame.Alive()) {
        ClipCursor(nullptr);
        return;
    }
    m_dragArmed = 0;
    m_leftButtonDown = 0;
    ClipCursor(nullptr);
    // The drag swallowed the button release: end the press the controls still hold.
    if (MControl* hover = *m_hoverControl)
        hover->OnLButtonUp(0, kNowhere);
}

bool PaintManager::moveStartsDrag(UINT keys, CPoint pt)
{
    if (!m_dragArmed || !(keys & MK_LBUTTON))
        return false;
    // Measured from the press, not from the last move: a slow drag is made of small moves.
    return std::abs(pt.x - m_dragStartX) > kDragThreshold || std::abs(pt.y - m_dragStartY) > kDragThreshold;
}

int PaintManager::OnMouseMove(UINT keys, CPoint pt)
{
    if (!m_mouseTracking && isLiveWindow()) {
        TRACKMOUSEEVENT track { sizeof(TRACKMOUSEEVENT), TME_HOVER | TME_LEAVE, m_hWnd, 400 };
        m_mouseTracking = _TrackMouseEvent(&track) ? 1 : 0;
    }
    if (moveStartsDrag(keys, pt)) {
        startControlDrag();
        return 1;
    }
    if (MControl* hover = *m_hoverControl; hover && m_captureAsked) {
        hover->OnMouseMove(keys, pt);
        return 1;
    }
    if (MControl* hover = *m_hoverControl) {
        if (hover->PtInRect(pt) && hover->OnCheckMouseResponse(keys, pt) && m_mouseTracking) {
            hover->OnMouseMove(keys, pt);
            return 1;
        }
        ClearTooltip();
    }
    if (m_leftButtonDown)
        return 1;
    MControl* found = nullptr;
    if (m_mouseTracking) {
        Frame frame(*this);
        for (MControl* control : controlsNow()) {
            if (!control || control->IsRemoved())
                continue;
            control->OnMouseMove(keys, pt);
            if (!frame.Alive())
                return 1;
            if (!control->IsRemoved() && control->PtInRect(pt) && control->GetRresponse())
                found = control;
        }
    }
    // A later control's handler may have removed the one found.
    *m_hoverControl = (found && !found->IsRemoved()) ? found : nullptr;
    return 1;
}

int PaintManager::OnMouseLeave(UINT, LPARAM)
{
    ClearTooltip();
    m_mouseTracking = 0;
    if (m_leftButtonDown)
        return 1;
    if (MControl* hover = *m_hoverControl) {
        Frame frame(*this);
        hover->OnMouseMove(0, kNowhere);
        if (!frame.Alive())
            return 1;
    }
    *m_hoverControl = nullptr;
    m_leftButtonDown = 0;
    return 1;
}

// ---- buttons

bool PaintManager::dropFocusUnlessHovered()
{
    MControl* focus = *m_focusControl;
    // A press inside the hovered control's tree leaves the focus to the control the press
    // reaches: a list nested in a page keeps its in-place edit open while it is pressed.
    if (!focus || isWithin(focus, *m_hoverControl))
        return true;
    Frame frame(*this);
    focus->SetControlFocus(0);
    if (!frame.Alive())
        return false;
    *m_focusControl = nullptr;
    return true;
}

void PaintManager::focusPressed(MControl* hover)
{
    // The focus already inside the pressed tree stays where it is until the press reaches a
    // control that takes it: telling the tree's top it has the focus would tell every control
    // below it, the focused one too, that the focus left.
    if (!*m_focusControl || !isWithin(*m_focusControl, hover))
        *m_focusControl = hover;
}

void PaintManager::captureFor(MControl* hover, UINT keys, CPoint pt)
{
    if (m_captured)
        return;
    // The handler may have removed the control (it is then forgotten as hover).
    if (*m_hoverControl == hover && !hover->OnCheckMouseResponse(keys, pt))
        return;
    takeCapture();
}

void PaintManager::armDrag(MControl* hover)
{
    if (!hover->IsDragDrop() || !hover->IsEnabled())
        return;
    m_dragArmed = 1;
    if (*m_dragBitmap)
        DeleteObject(*m_dragBitmap);
    *m_dragBitmap = hover->GetControlDropBitmap();
}

int PaintManager::OnLButtonDown(UINT keys, CPoint pt)
{
    if (!dropFocusUnlessHovered())
        return 1;
    MControl* hover = *m_hoverControl;
    if (hover && respondsAt(hover, keys, pt)) {
        armDrag(hover);
        m_dragStartX = pt.x;
        m_dragStartY = pt.y;
        m_leftButtonDown = 1;
        focusPressed(hover);
        Frame frame(*this);
        const int taken = hover->OnLButtonDown(keys, pt);
        // The handler took the mouse itself (or deleted the window): the press is the control's.
        if (!frame.Alive() || m_captureAsked)
            return 1;
        if (!m_captured) {
            captureFor(hover, keys, pt);
            if (m_captured)
                return 1;
        }
        if (taken)
            return 1;
    }
    if (m_windowDrag == 1 && isLiveWindow()) {
        ::ReleaseCapture();
        ::SendMessageW(m_hWnd, WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(pt.x, pt.y));
    }
    return 1;
}

void PaintManager::releaseHeldCapture()
{
    if (m_captured)
        ReleaseCapture();
}

void PaintManager::routeRelease(CPoint pt, int (MControl::*entry)(UINT, CPoint), UINT keys)
{
    MControl* hover = *m_hoverControl;
    if (!hover)
        return;
    if (!hover->IsVisible() || !hover->GetRresponse()) {
        *m_hoverControl = nullptr;
        return;
    }
    const CRect noted = hover->GetRect();
    Frame frame(*this);
    (hover->*entry)(keys, pt);
    // The handler may have removed the control; only the noted rectangle is used afterwards.
    if (frame.Alive() && !noted.PtInRect(pt) && *m_hoverControl == hover)
        *m_hoverControl = nullptr;
}

int PaintManager::OnLButtonUp(UINT keys, CPoint pt)
{
    releaseHeldCapture();
    m_leftButtonDown = 0;
    m_dragArmed = 0;
    routeRelease(pt, &MControl::OnLButtonUp, keys);
    return 1;
}

int PaintManager::OnLButtonDblClk(UINT keys, CPoint pt)
{
    routeRelease(pt, &MControl::OnLButtonDblClk, keys);
    return 1;
}

int PaintManager::OnRButtonDown(UINT keys, CPoint pt)
{
    if (!dropFocusUnlessHovered())
        return 1;
    MControl* hover = *m_hoverControl;
    if (hover && respondsAt(hover, keys, pt)) {
        focusPressed(hover);
        Frame frame(*this);
        hover->OnRButtonDown(keys, pt);
        if (frame.Alive())
            captureFor(hover, keys, pt);
    }
    return 1;
}

int PaintManager::OnRButtonUp(UINT keys, CPoint pt)
{
    releaseHeldCapture();
    routeRelease(pt, &MControl::OnRButtonUp, keys);
    return 1;
}

int PaintManager::OnRButtonDblClk(UINT keys, CPoint pt)
{
    routeRelease(pt, &MControl::OnRButtonDblClk, keys);
    return 1;
}

// ---- wheel and keys

bool PaintManager::offerNotch(UINT direction, CPoint pt)
{
    if (MControl* hover = *m_hoverControl) {
        Frame frame(*this);
        if (hover->OnScroll(1, direction, pt))
            return true;
        // Its handler may have deleted the window object, whose list the walk below copies.
        if (!frame.Alive())
            return false;
    }
    for (MControl* control : controlsNow())
        if (control && !control->IsRemoved() && control->OnScroll(1, direction, pt))
            return true;
    return false;
}

int PaintManager::OnMouseWheel(UINT, short delta, CPoint pt)
{
    if (isLiveWindow())
        ::ScreenToClient(m_hWnd, &pt);
    const int notches = delta / 120;
    const UINT direction = notches <= 0 ? 1 : 0;
    int taken = 0;
    Frame frame(*this);
    for (int i = 0; i < std::abs(notches) && frame.Alive(); ++i)
        if (offerNotch(direction, pt))
            taken = 1;
    return taken;
}

UINT PaintManager::KeyModifiers()
{
    UINT modifiers = 0;
    if (keyDown(VK_MENU))
        modifiers |= 18;
    if (keyDown(VK_CONTROL))
        modifiers |= 17;
    if (keyDown(VK_SHIFT))
        modifiers |= 16;
    return modifiers;
}

int PaintManager::OnKeyDown(UINT key, LPARAM)
{
    const UINT modifiers = KeyModifiers();
    if (MControl* hover = *m_hoverControl) {
        Frame frame(*this);
        if (hover->OnKeyDown(key, 1, modifiers) || !frame.Alive())
            return 1;
    }
    for (MControl* control : controlsNow())
        if (control && !control->IsRemoved() && control->OnKeyDown(key, 1, modifiers))
            break;
    return 1;
}

// ---- activation and window geometry

int PaintManager::OnNcActivate(BOOL active)
{
    if (active)
        return 1;
    m_mouseTracking = 0;
    m_captured = 0;
    m_captureAsked = 0;
    MControl* hover = *m_hoverControl;
    Frame frame(*this);
    if (m_leftButtonDown) {
        m_leftButtonDown = 0;
        if (hover)
            hover->OnLButtonUp(0, kNowhere);
    } else if (hover) {
        hover->OnMouseMove(0, kNowhere);
    }
    if (!frame.Alive())
        return 1;
    *m_hoverControl = nullptr;
    Invalidate();
    return 1;
}

int PaintManager::OnGetMinMaxInfo(MINMAXINFO* info)
{
    if (!info)
        return 1;
    if (m_minWidth > 0) info->ptMinTrackSize.x = m_minWidth;
    if (m_minHeight > 0) info->ptMinTrackSize.y = m_minHeight;
    if (m_maxWidth > 0) info->ptMaxTrackSize.x = info->ptMaxSize.x = m_maxWidth;
    if (m_maxHeight > 0) info->ptMaxTrackSize.y = info->ptMaxSize.y = m_maxHeight;
    return 1;
}

int PaintManager::OnWindowPosChanged(WINDOWPOS* position)
{
    if (!position || !isLiveWindow())
        return 1;
    ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0, 0x433);
    ::SendMessageW(m_hWnd, WM_MOVE, 0, MAKELPARAM(position->x, position->y));
    ::SendMessageW(m_hWnd, WM_SIZE, 0, MAKELPARAM(position->cx, position->cy));
    return 1;
}

// ---- message loop hook

int PaintManager::PreTranslateMessage(MSG* msg)
{
    if (!msg)
        return 0;
    Frame frame(*this);
    // Tab moves among the controls only when it is meant for this window: a native edit, or
    // another window whose message the host's loop hands here, keeps its own Tab.
    const bool ownTab = msg->hwnd == m_hWnd && msg->wParam == VK_TAB;
    if ((msg->message == WM_KEYDOWN || msg->message == WM_SYSKEYDOWN) && ownTab) {
        const UINT modifiers = KeyModifiers();
        MControl* next = nullptr;
        if (modifiers == 0)
            next = GetNextFocusableControl();
        else if (modifiers == 16)
            next = GetPrevFocusableControl();
        else
            return 0;
        if (next != *m_focusControl) {
            SetFocusControl(next);
            return 1;
        }
    }
    HWND tip = *m_tooltipWnd;
    if (isRelayedToTooltip(msg->message) && tip && ::IsWindow(tip))
        ::SendMessageW(tip, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(msg));
    return 0;
}

} // namespace KOVA
