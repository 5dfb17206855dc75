#pragma once
// The message path MDialog and MPopupWnd share (internal to the library): the common window
// messages reach the window's like-named virtual handlers first, then every message goes to
// the paint manager, and what the paint manager leaves goes to the previous window procedure.
#include "platform/Win32.h"

#include "framework/DispatchScope.h"
#include "framework/MWindow.h"
#include "framework/PaintManager.h"
#include "platform/CPoint.h"

namespace KOVA::detail {

// The window result message: DoOK and the other closing calls post it to the window itself.
constexpr UINT kDialogResultMessage = 0x442;

// The handler's own answer is dropped for these: the paint manager still sees the message.
template <class Window>
void CallHandler(Window& window, UINT msg, WPARAM wParam, LPARAM lParam)
{
    const CPoint pt(lParam);
    const UINT keys = static_cast<UINT>(wParam);
    switch (msg) {
    case WM_CREATE: window.OnCreate(reinterpret_cast<CREATESTRUCTW*>(lParam)); break;
    case WM_DESTROY: window.OnDestroy(); break;
    case WM_SIZE: window.OnSize(keys, pt.x, pt.y); break;
    case WM_PAINT: window.OnPaint(); break;
    case WM_CLOSE: window.OnClose(); break;
    case WM_WINDOWPOSCHANGING: window.OnWindowPosChanging(reinterpret_cast<WINDOWPOS*>(lParam)); break;
    case WM_WINDOWPOSCHANGED: window.OnWindowPosChanged(reinterpret_cast<WINDOWPOS*>(lParam)); break;
    case WM_NCACTIVATE: window.OnNcActivate(static_cast<BOOL>(wParam)); break;
    case WM_TIMER: window.OnTimer(keys); break;
    case WM_MOUSEMOVE: window.OnMouseMove(keys, pt); break;
    case WM_LBUTTONDOWN: window.OnLButtonDown(keys, pt); break;
    case WM_LBUTTONUP: window.OnLButtonUp(keys, pt); break;
    case WM_LBUTTONDBLCLK: window.OnLButtonDblClk(keys, pt); break;
    case WM_RBUTTONDOWN: window.OnRButtonDown(keys, pt); break;
    case WM_RBUTTONUP: window.OnRButtonUp(keys, pt); break;
    case WM_RBUTTONDBLCLK: window.OnRButtonDblClk(keys, pt); break;
    case WM_MOUSEHOVER: window.OnMouseHover(wParam, lParam); break;
    case WM_MOUSELEAVE: window.OnMouseLeave(wParam, lParam); break;
    default: break;
    }
}

// On deactivation the paint manager ends the press for its controls and forgets its capture
// but leaves the system's capture alone: nobody would release it any more, and the window
// would go on taking every mouse message of the thread.
inline void DropAbandonedCapture(HWND window, const PaintManager& manager)
{
    if (window && !manager.IsCaptured() && ::GetCapture() == window)
        ::ReleaseCapture();
}

template <class Window>
LRESULT DispatchPaintedMessage(Window& window, PaintManager& manager, UINT msg, WPARAM wParam, LPARAM lParam)
{
    // The paint manager draws every pixel: erasing first would only flicker.
    if (msg == WM_ERASEBKGND)
        return 1;
    if (msg == kDialogResultMessage)
        return window.OnUserCloseWindow(wParam, lParam);
    CallHandler(window, msg, wParam, lParam);
    const LRESULT handled = manager.OnWindowMessage(msg, wParam, lParam);
    // A host may delete its window object from a notification: nothing of it is used then.
    if (DispatchScope::IsGone(static_cast<const CIDropTarget*>(&manager)))
        return handled;
    if (msg == WM_NCACTIVATE && !wParam)
        DropAbandonedCapture(window.GetSafeHwnd(), manager);
    if (handled)
        return handled;
    return window.MWindow::OnWindowMessage(msg, wParam, lParam);
}

} // namespace KOVA::detail
