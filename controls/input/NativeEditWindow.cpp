// GUI thread only: the edit window's messages arrive on the thread of the paint manager's
// window, where its owner lives.
#include "controls/input/NativeEditWindow.h"

#include "framework/DispatchScope.h"
#include "framework/MControl.h"
#include "framework/MControlFont.h"
#include "framework/PaintManager.h"

namespace KOVA {

namespace {
// The parent window sends a child's notifications back to it with this offset.
constexpr UINT kReflected = 0x2000;
constexpr UINT kReflectedCommand = WM_COMMAND + kReflected;
constexpr UINT kReflectedColorEdit = WM_CTLCOLOREDIT + kReflected;
constexpr UINT kReflectedColorStatic = WM_CTLCOLORSTATIC + kReflected;

DWORD styleOf(const NativeEditWindow::Setup& setup, bool layered)
{
    DWORD style = layered ? WS_POPUP | WS_VISIBLE : WS_CHILD;
    style |= setup.multiLine ? ES_MULTILINE | ES_AUTOVSCROLL : ES_AUTOHSCROLL;
    if (setup.align & 1)
        style |= ES_CENTER;
    else if (setup.align & 2)
        style |= ES_RIGHT;
    if (setup.password)
        style |= ES_PASSWORD;
    return style;
}
} // namespace

int AnswerFieldKey(MControl& field, int focused, UINT key, UINT modifiers, UINT shortcutKey, UINT shortcutModifiers)
{
    if (focused && key == VK_SPACE && modifiers == 0) {
        field.SendMessageW(1, 0, 0);
        field.SendMessageW(2, 0, 0);
        return 1;
    }
    return key == shortcutKey && modifiers == shortcutModifiers ? 1 : 0;
}

NativeEditWindow::~NativeEditWindow()
{
    if (m_brush)
        ::DeleteObject(m_brush);
}

void NativeEditWindow::release(NativeEditWindow* window)
{
    if (!window)
        return;
    window->m_owner = nullptr;
    if (window->IsLive())
        window->DestroyWindow();
    else if (!window->m_gone)
        DispatchScope::Delete(window);
}

void NativeEditWindow::SetBrushColors(COLORREF back, COLORREF text)
{
    m_backColor = back;
    m_textColor = text & 0x00FFFFFF;
    if (m_brush) {
        ::DeleteObject(m_brush);
        m_brush = nullptr;
    }
}

PaintManager* NativeEditWindow::OwnerManager() const
{
    return m_owner ? m_owner->GetManager() : nullptr;
}

bool NativeEditWindow::OwnerLayered() const
{
    PaintManager* manager = OwnerManager();
    return manager && manager->IsLayered();
}

// A pop-up over a layered window is placed on the screen where the text lies.
CRect NativeEditWindow::screenPlace(const CRect& rect) const
{
    CRect place = rect;
    PaintManager* manager = OwnerManager();
    if (manager && manager->IsLayered()) {
        RECT window {};
        ::GetWindowRect(manager->GetPaintWnd(), &window);
        place.OffsetRect(window.left, window.top);
    }
    return place;
}

int NativeEditWindow::Open(MControlFont* owner, const Setup& setup)
{
    m_owner = owner;
    PaintManager* manager = OwnerManager();
    if (!manager)
        return 0;
    if (!Create(manager->GetPaintWnd(), L"", styleOf(setup, manager->IsLayered()), 0, screenPlace(setup.rect)))
        return 0;
    SendMessageW(WM_SETFONT, reinterpret_cast<WPARAM>(setup.font), 1);
    SendMessageW(EM_LIMITTEXT, static_cast<WPARAM>(setup.limit), 0);
    if (setup.password)
        SendMessageW(EM_SETPASSWORDCHAR, setup.passwordChar, 0);
    SetWindowTextW(setup.text);
    SendMessageW(EM_SETMODIFY, 0, 0);
    SendMessageW(EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, 0);
    EnableWindow(setup.enabled ? TRUE : FALSE);
    SendMessageW(EM_SETREADONLY, setup.readOnly ? TRUE : FALSE, 0);
    if (setup.numberOnly)
        ModifyStyle(0, ES_NUMBER, 0);
    ShowWindow(SW_SHOWNOACTIVATE);
    SetFocus();
    SendMessageW(EM_SETSEL, 0, -1);
    m_created = 1;
    return 1;
}

void NativeEditWindow::PlaceOver(const CRect& rect)
{
    const CRect place = screenPlace(rect);
    MoveWindow(&place, TRUE);
}

CString NativeEditWindow::GetText() const
{
    CString text;
    GetWindowTextW(text);
    return text;
}

bool NativeEditWindow::IsShown() const
{
    return IsLive() && IsWindowVisible();
}

void NativeEditWindow::Reveal(const CString& text)
{
    m_filling = true;
    SetWindowTextW(text);
    m_filling = false;
    ShowWindow(SW_SHOW);
    SendMessageW(EM_SETSEL, static_cast<WPARAM>(text.GetLength()), -1);
    SetFocus();
}

void NativeEditWindow::Conceal()
{
    const bool focused = IsLive() && ::GetFocus() == GetSafeHwnd();
    m_concealing = true;
    ShowWindow(SW_HIDE);
    // A hidden window keeping the focus would swallow the keys meant for the controls.
    PaintManager* manager = OwnerManager();
    if (focused && !m_gone && manager && ::GetFocus() == GetSafeHwnd())
        ::SetFocus(manager->GetPaintWnd());
    m_concealing = false;
}

void NativeEditWindow::NotifyOwner(UINT code, UINT wParam, LONG lParam) const
{
    if (m_owner)
        m_owner->SendMessageW(code, wParam, lParam);
}

void NativeEditWindow::RepaintOwner() const
{
    if (m_owner)
        m_owner->UpdateControl(1, 0);
}

LRESULT NativeEditWindow::OnWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam)
{
    const HWND self = GetSafeHwnd();
    LRESULT result = 0;
    // A row may end the window (Return ending the owner's edit): the object stays until the
    // dispatch ends, but the system edit has nothing left to handle.
    if (!answer(self, msg, wParam, lParam, result) && !m_gone)
        result = ::CallWindowProcW(m_OldWndProc, self, msg, wParam, lParam);
    return result;
}

// The rows every edit window shares; true when the message is answered here, false when it
// goes on to the system edit. A window its owner let go of reports nothing.
bool NativeEditWindow::answer(HWND self, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    switch (msg) {
    case WM_KILLFOCUS:
        if (m_owner && !m_concealing)
            OnEditKillFocus();
        if (!m_gone)
            ::DefWindowProcW(self, msg, wParam, lParam);
        return false;
    case kReflectedCommand:
        if (HIWORD(wParam) == EN_CHANGE && m_created && m_owner && !m_filling)
            OnEditChanged();
        else if (HIWORD(wParam) == EN_UPDATE)
            ::InvalidateRect(self, nullptr, FALSE);
        return false;
    case WM_KEYDOWN:
        if (endForHiddenOwner()) {
            result = 0;
            return true;
        }
        if (LOWORD(wParam) == VK_RETURN && m_owner)
            OnEditReturn();
        return false;
    case kReflectedColorEdit: case kReflectedColorStatic:
        result = colorQuery(reinterpret_cast<HDC>(wParam));
        return true;
    case WM_PRINT:
        // Over a layered window the edit is a pop-up of its own: nothing to print into it.
        if (!OwnerLayered())
            return false;
        result = 0;
        return true;
    case WM_TIMER:
        if (wParam != PaintManager::kCaretTimerId)
            return false;
        ::InvalidateRect(self, nullptr, FALSE);
        result = 0;
        return true;
    case WM_CHAR:
        if (endForHiddenOwner()) {
            result = 0;
            return true;
        }
        if (AcceptsChar())
            return false;
        result = 1;
        return true;
    default:
        return false;
    }
}

// The owner's focus loss ends its edit; an owner that cannot take it (disabled) still loses
// the window.
bool NativeEditWindow::endForHiddenOwner()
{
    if (!m_owner || m_owner->IsShowing())
        return false;
    m_owner->SetControlFocus(0);
    if (IsShown())
        Conceal();
    return true;
}

LRESULT NativeEditWindow::colorQuery(HDC dc)
{
    if (m_backColor == kNoBackColor)
        return 0;
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, m_textColor);
    if (!m_brush)
        m_brush = ::CreateSolidBrush(m_backColor);
    return reinterpret_cast<LRESULT>(m_brush);
}

void NativeEditWindow::OnDestroyMessage(HWND)
{
    if (m_owner) {
        if (m_owner->IsVisible())
            RepaintOwner();
        ForgetOwner();
        m_owner = nullptr;
    }
    if (m_brush) {
        ::DeleteObject(m_brush);
        m_brush = nullptr;
    }
    m_gone = true;
    DispatchScope::Delete(this);
}

} // namespace KOVA
