// GUI thread only: the window's messages arrive on the thread that owns the host window.
#include "devices/peripherals/CDPIEditWnd.h"

#include "devices/peripherals/DPIControl.h"
#include "framework/PaintManager.h"

namespace KOVA {

namespace {
constexpr UINT kChangedCode = 0x1A;
constexpr UINT kFocusLostCode = 0x1D;
constexpr DWORD kStyle = WS_CHILD | ES_CENTER | ES_AUTOHSCROLL;
constexpr int kTextLimit = 5;
constexpr COLORREF kTextColour = 0x0051CA;
constexpr COLORREF kBackColour = 0x141414;
// The paint manager's caret blink timer.
constexpr UINT_PTR kCaretTimer = 6553;
// WM_COMMAND and WM_CTLCOLOR* as the paint manager reflects them to the native child.
constexpr UINT kReflected = 0x2000;
} // namespace

CDPIEditWnd::CDPIEditWnd(const CDPIEditWnd& other) : MWindow(other) {}

CDPIEditWnd& CDPIEditWnd::operator=(const CDPIEditWnd& other)
{
    MWindow::operator=(other);
    return *this;
}

CDPIEditWnd::~CDPIEditWnd()
{
    if (m_brush)
        ::DeleteObject(m_brush);
}

const wchar_t* CDPIEditWnd::GetWindowClassName() const
{
    return L"DPIEditWindow";
}

const wchar_t* CDPIEditWnd::GetSuperClassName() const
{
    return L"Edit";
}

void CDPIEditWnd::Init(DPIControl* owner)
{
    PaintManager* manager = owner ? owner->GetManager() : nullptr;
    if (!manager)
        return;
    m_owner = owner;
    if (!Create(manager->GetPaintWnd(), L"", kStyle, 0, owner->GetTextRect(), nullptr))
        return;
    SendMessageW(WM_SETFONT, reinterpret_cast<WPARAM>(owner->GetDefaultFont()), TRUE);
    SendMessageW(EM_LIMITTEXT, kTextLimit, 0);
    SetWindowTextW(owner->GetTitleEx());
    SendMessageW(EM_SETMODIFY, FALSE, 0);
    SendMessageW(EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, 0);
    EnableWindow(owner->IsEnabled());
    ModifyStyle(0, ES_NUMBER, 0);
    ShowWindow(SW_SHOWNOACTIVATE);
    SetFocus();
    SendMessageW(EM_SETSEL, 0, -1);
    m_initialised = 1;
}

void CDPIEditWnd::onTextChange()
{
    if (!m_initialised || !m_owner)
        return;
    CString text;
    GetWindowTextW(text);
    if (text == m_owner->GetTitleEx())
        return;
    m_owner->SendMessageW(kChangedCode, 0, 0);
    m_owner->UpdateControl(1, 0);
}

LRESULT CDPIEditWnd::OnWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_KILLFOCUS:
        if (m_owner)
            m_owner->SendMessageW(kFocusLostCode, 0, 0);
        break;
    case kReflected + WM_COMMAND:
        if (HIWORD(wParam) == EN_CHANGE)
            onTextChange();
        else if (HIWORD(wParam) == EN_UPDATE)
            ::InvalidateRect(GetSafeHwnd(), nullptr, FALSE);
        break;
    case kReflected + WM_CTLCOLOREDIT:
    case kReflected + WM_CTLCOLORSTATIC: {
        HDC dc = reinterpret_cast<HDC>(wParam);
        ::SetBkMode(dc, TRANSPARENT);
        ::SetTextColor(dc, kTextColour);
        if (!m_brush)
            m_brush = ::CreateSolidBrush(kBackColour);
        return reinterpret_cast<LRESULT>(m_brush);
    }
    case WM_PRINT:
        // A layered window is painted from the paint manager's buffer; the edit draws itself.
        if (m_owner && m_owner->GetManager() && m_owner->GetManager()->IsLayered())
            return 0;
        break;
    case WM_TIMER:
        if (wParam == kCaretTimer) {
            m_caret = !m_caret;
            ::InvalidateRect(GetSafeHwnd(), nullptr, FALSE);
            return 0;
        }
        break;
    default:
        break;
    }
    return MWindow::OnWindowMessage(msg, wParam, lParam);
}

void CDPIEditWnd::OnDestroyMessage(HWND)
{
    if (m_owner) {
        if (m_owner->IsVisible())
            m_owner->UpdateControl(1, 0);
        m_owner->SetEditWindow(nullptr);
    }
    delete this;
}

} // namespace KOVA
