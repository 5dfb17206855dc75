#include "framework/MPopupWnd.h"

#include "framework/MControl.h"
#include "framework/PaintedWindow.h"

namespace KOVA {

namespace {
// Sets a flag for as long as it lives.
class FlagScope {
public:
    explicit FlagScope(bool& flag) : m_flag(flag) { m_flag = true; }
    ~FlagScope() { m_flag = false; }
    FlagScope(const FlagScope&) = delete;
    FlagScope& operator=(const FlagScope&) = delete;

private:
    bool& m_flag;
};
} // namespace

MPopupWnd::~MPopupWnd()
{
    // Before the paint manager goes: nothing may reach a half-destroyed pop-up, neither a
    // message nor a control that runs on after the notification in which a host deleted it.
    Unbind();
    m_paintManager->OrphanControls(this);
}

LRESULT MPopupWnd::OnWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam)
{
    return detail::DispatchPaintedMessage(*this, *m_paintManager, msg, wParam, lParam);
}

CRect MPopupWnd::clientRect() const
{
    CRect client;
    GetClientRect(&client);
    return client;
}

BOOL MPopupWnd::OnInitDialog()
{
    m_paintManager->Init(*m_hWnd, this);
    m_paintManager->EnableWndDrag(0);
    InitUI(clientRect());
    return 1;
}

void MPopupWnd::OnDestroyMessage(HWND hwnd)
{
    m_paintManager->DetachWindow(hwnd);
}

void MPopupWnd::InitUI(CRect) {}
void MPopupWnd::UISize(CRect) {}
LRESULT MPopupWnd::OnMessage(UINT, UINT, UINT, LONG) { return 0; }

LRESULT MPopupWnd::OnUserCloseWindow(WPARAM wParam, LPARAM lParam)
{
    return PostClose(wParam, lParam);
}

void MPopupWnd::CloseWindow()
{
    PostClose(0, 0);
}

int MPopupWnd::OnCreate(CREATESTRUCTW*)
{
    StripCaptionAndFrame();
    if (HasHandle())
        ::SetWindowLongW(*m_hWnd, GWL_EXSTYLE, WS_EX_TOOLWINDOW);
    return 1;
}

int MPopupWnd::OnSize(UINT, int, int)
{
    const CRect client = clientRect();
    UISize(client);
    InvalidateRect(client, FALSE);
    return 0;
}

int MPopupWnd::OnNcActivate(BOOL active)
{
    if (!active)
        PostClose(0, 0);
    return 1;
}

int MPopupWnd::OnWindowPosChanged(WINDOWPOS* position)
{
    if (*m_adjustingFrame || !position)
        return 1;
    FlagScope adjusting(*m_adjustingFrame);
    m_paintManager->OnWindowPosChanged(position);
    OnSize(0, position->cx, position->cy);
    return 1;
}

int MPopupWnd::OnMouseMove(UINT, CPoint) { return 0; }
int MPopupWnd::OnMouseLeave(WPARAM, LPARAM) { return 0; }
int MPopupWnd::OnMouseHover(WPARAM, LPARAM) { return 0; }
int MPopupWnd::OnMouseWheel(UINT, short, CPoint) { return 0; }
int MPopupWnd::OnLButtonDown(UINT, CPoint) { return 0; }
int MPopupWnd::OnLButtonUp(UINT, CPoint) { return 0; }
int MPopupWnd::OnLButtonDblClk(UINT, CPoint) { return 0; }
int MPopupWnd::OnRButtonDown(UINT, CPoint) { return 0; }
int MPopupWnd::OnRButtonUp(UINT, CPoint) { return 0; }
int MPopupWnd::OnRButtonDblClk(UINT, CPoint) { return 0; }
int MPopupWnd::OnKeyDown(UINT, UINT, UINT) { return 0; }
int MPopupWnd::OnNcHitTest(CPoint) { return 0; }
int MPopupWnd::OnGetMinMaxInfo(MINMAXINFO*) { return 0; }
int MPopupWnd::OnNcCalcSize(BOOL, NCCALCSIZE_PARAMS*) { return 0; }
int MPopupWnd::OnWindowPosChanging(WINDOWPOS*) { return 0; }
int MPopupWnd::OnPaint() { return 0; }
void MPopupWnd::OnTimer(UINT) {}
int MPopupWnd::OnNcPaint() { return 0; }
int MPopupWnd::OnClose() { return 1; }
int MPopupWnd::PostNcDestroy() { return 0; }
int MPopupWnd::OnDestroy() { return 0; }

// ---- MObject side and the parent

LONG MPopupWnd::OnBaseMessage(UINT id, UINT code, UINT wParam, LONG lParam)
{
    return static_cast<LONG>(OnMessage(id, code, wParam, lParam));
}

LONG MPopupWnd::OnControlUpdate(CRect rect, int flag, MControl* control)
{
    return m_paintManager->OnControlUpdate(rect, flag, control);
}

int MPopupWnd::SendMessageToParent(UINT code, WPARAM wParam, LPARAM lParam)
{
    MObject* parent = m_parentObject;
    if (!parent)
        return 0;
    const auto w = static_cast<UINT>(wParam);
    const auto l = static_cast<LONG>(lParam);
    // A control hears it in OnMessage; any other object through its notification entry.
    if (auto* control = dynamic_cast<MControl*>(parent))
        return static_cast<int>(control->OnMessage(0, code, w, l));
    return static_cast<int>(parent->OnBaseMessage(0, code, w, l));
}

// ---- paint manager settings

int MPopupWnd::LoadBKImage(CString path) { return m_paintManager->LoadBKImage(path); }
int MPopupWnd::LoadBKImage(UINT resourceId, CString type) { return m_paintManager->LoadBKImage(resourceId, type); }
void MPopupWnd::SetBackMode(enumBackMode mode, int border) { m_paintManager->SetBackMode(mode, border); }
void MPopupWnd::SetScrollResID(UINT vertical, UINT horizontal) { m_paintManager->SetScrollResID(vertical, horizontal); }
void MPopupWnd::SetLayeredWindow(BOOL layered) { m_paintManager->SetLayeredWindow(layered); }
MControl* MPopupWnd::GetControl(UINT id) { return m_paintManager->GetControl(id); }

MControl* MPopupWnd::CreateArea(const wchar_t* className, UINT id, CRect rect, const wchar_t* title, int visible,
                              int enabled)
{
    return m_paintManager->CreateArea(this, className, id, rect, title, visible, enabled);
}

MControl* MPopupWnd::CreateControl(const wchar_t* className, UINT id, CRect rect, const wchar_t* title, int visible,
                                 int enabled)
{
    return m_paintManager->CreateControl(this, className, id, rect, title, visible, enabled);
}

void MPopupWnd::SetupBackTranslucent()
{
    ApplyTranslucency(m_alpha, m_colorKey);
}

void MPopupWnd::SetupRegion(int radius)
{
    SetRoundRegion(radius);
}

} // namespace KOVA
