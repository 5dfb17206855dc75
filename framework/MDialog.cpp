#include "framework/MDialog.h"

#include "framework/MControl.h"
#include "framework/PaintedWindow.h"

namespace KOVA {

MDialog::~MDialog()
{
    // Before the paint manager goes: nothing may reach a half-destroyed dialog, neither a
    // message nor a control that runs on after the notification in which a host deleted it.
    Unbind();
    m_paintManager->OrphanControls(this);
}

LRESULT MDialog::OnWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam)
{
    return detail::DispatchPaintedMessage(*this, *m_paintManager, msg, wParam, lParam);
}

BOOL MDialog::PreTranslateMessage(MSG* msg)
{
    return m_paintManager->PreTranslateMessage(msg) ? 1 : 0;
}

void MDialog::readClientRect()
{
    if (IsLive())
        GetClientRect(&m_clientRect);
}

BOOL MDialog::OnInitDialog()
{
    m_paintManager->Init(*m_hWnd, this);
    readClientRect();
    InitUI(m_clientRect);
    return 1;
}

void MDialog::OnDestroyMessage(HWND hwnd)
{
    if (m_paintManager->GetPaintWnd() == hwnd)
        m_paintManager->DestroyData();
    PostNcDestroy();
}

POINT MDialog::GetAirBladderPoint(MControl* control, UINT mode)
{
    POINT point { 0, 0 };
    if (!control)
        return point;
    const CRect rect = control->GetRect();
    point.y = rect.bottom;
    if (mode == 1)
        point.x = rect.left + rect.Width() / 2;
    else if (mode == 2)
        point.x = rect.right;
    else
        point.x = rect.left;
    ClientToScreen(&point);
    return point;
}

void MDialog::OnMinimize()
{
    ShowWindow(SW_MINIMIZE);
}

void MDialog::OnMaximize()
{
    ShowWindow(IsLive() && ::IsZoomed(*m_hWnd) ? SW_RESTORE : SW_MAXIMIZE);
}

void MDialog::InitUI(CRect) {}
void MDialog::UISize(CRect) {}
LRESULT MDialog::OnMessage(UINT, UINT, UINT, LONG) { return 0; }

LRESULT MDialog::OnUserCloseWindow(WPARAM wParam, LPARAM lParam)
{
    return PostClose(wParam, lParam);
}

int MDialog::OnCreate(CREATESTRUCTW*)
{
    StripCaptionAndFrame();
    return 1;
}

int MDialog::OnSize(UINT, int, int)
{
    // A minimised window keeps its layering as it was.
    if (!(IsLive() && IsIconic()))
        SetupBackTranslucent();
    readClientRect();
    if (m_clientRect.Width() > 1 && m_clientRect.Height() > 1)
        UISize(m_clientRect);
    InvalidateRect(m_clientRect, FALSE);
    return 0;
}

int MDialog::OnMouseMove(UINT, CPoint) { return 0; }
int MDialog::OnMouseLeave(WPARAM, LPARAM) { return 0; }
int MDialog::OnMouseHover(WPARAM, LPARAM) { return 0; }
int MDialog::OnMouseWheel(UINT, short, CPoint) { return 0; }
int MDialog::OnLButtonDown(UINT, CPoint) { return 0; }
int MDialog::OnLButtonUp(UINT, CPoint) { return 0; }
int MDialog::OnLButtonDblClk(UINT, CPoint) { return 0; }
int MDialog::OnRButtonDown(UINT, CPoint) { return 0; }
int MDialog::OnRButtonUp(UINT, CPoint) { return 0; }
int MDialog::OnRButtonDblClk(UINT, CPoint) { return 0; }
int MDialog::OnKeyDown(UINT, UINT, UINT) { return 0; }
int MDialog::OnNcHitTest(CPoint) { return 0; }
int MDialog::OnGetMinMaxInfo(MINMAXINFO*) { return 0; }
int MDialog::OnNcCalcSize(BOOL, NCCALCSIZE_PARAMS*) { return 0; }
int MDialog::OnNcActivate(BOOL) { return 0; }
int MDialog::OnWindowPosChanging(WINDOWPOS*) { return 1; }
int MDialog::OnWindowPosChanged(WINDOWPOS*) { return 1; }
int MDialog::OnPaint() { return 0; }
void MDialog::OnTimer(UINT) {}
int MDialog::OnNcPaint() { return 0; }
int MDialog::OnClose() { return 1; }
int MDialog::OnDestroy() { return 0; }
int MDialog::PostNcDestroy() { return 0; }

// ---- MObject side

const wchar_t* MDialog::GetClassNameW() const { return L"MDialog"; }

LONG MDialog::OnBaseMessage(UINT id, UINT code, UINT wParam, LONG lParam)
{
    return static_cast<LONG>(OnMessage(id, code, wParam, lParam));
}

LONG MDialog::OnControlUpdate(CRect rect, int flag, MControl* control)
{
    return m_paintManager->OnControlUpdate(rect, flag, control);
}

// ---- paint manager settings

int MDialog::LoadBKImage(CString path) { return m_paintManager->LoadBKImage(path); }
int MDialog::LoadBKImage(UINT resourceId, CString type) { return m_paintManager->LoadBKImage(resourceId, type); }
void MDialog::SetBackMode(enumBackMode mode, int border) { m_paintManager->SetBackMode(mode, border); }
void MDialog::SetScrollResID(UINT vertical, UINT horizontal) { m_paintManager->SetScrollResID(vertical, horizontal); }
void MDialog::SetLayeredWindow(BOOL layered) { m_paintManager->SetLayeredWindow(layered); }
void MDialog::EnableWndDrag(BOOL enable) { m_paintManager->EnableWndDrag(enable); }

// ---- overlays and tips

CRect MDialog::DefaultMessageRect()
{
    readClientRect();
    CRect rect;
    rect.left = m_clientRect.Width() / 2 - 100;
    rect.right = rect.left + 200;
    rect.top = m_clientRect.bottom - 60;
    rect.bottom = m_clientRect.bottom - 2;
    rect.OffsetRect(0, m_messageOffset);
    return rect;
}

void MDialog::SetMessage(CString text, CRect rc, MsgLevel level)
{
    if (rc.IsRectEmpty())
        rc = DefaultMessageRect();
    m_paintManager->SetMessage(text, rc, level);
}

void MDialog::SetProgress(int value, CString text, CRect rc) { m_paintManager->SetProgress(value, text, rc); }
void MDialog::SetTooltip(CString text, CRect rc) { m_paintManager->SetTooltip(text, rc); }
void MDialog::ClearTooltip() { m_paintManager->ClearTooltip(); }

int MDialog::SetAirBladderMsg(const wchar_t* text, POINT screenPoint, AIRBLADDER_TYPE type)
{
    if (screenPoint.x == 0 || screenPoint.y == 0)
        return 0;
    m_paintManager->SetAirBladderMsg(text, screenPoint, type, AirBladderModeBelow);
    m_paintManager->ShowAirBladder(SW_SHOW, 0);
    return 1;
}

// ---- controls and timers

MControl* MDialog::GetControl(UINT id) { return m_paintManager->GetControl(id); }

MControl* MDialog::CreateArea(const wchar_t* className, UINT id, CRect rect, const wchar_t* title, int visible,
                              int enabled)
{
    return m_paintManager->CreateArea(this, className, id, rect, title, visible, enabled);
}

MControl* MDialog::CreateControl(const wchar_t* className, UINT id, CRect rect, const wchar_t* title, int visible,
                                 int enabled)
{
    return m_paintManager->CreateControl(this, className, id, rect, title, visible, enabled);
}
std::vector<MControl*>* MDialog::GetControls() { return &m_paintManager->GetControls(); }
void MDialog::SetFocusControl(MControl* control) { m_paintManager->SetFocusControl(control); }
void MDialog::SetMTimer(UINT period) { m_paintManager->SetMTimer(period); }
void MDialog::KillMTimer(UINT id) { m_paintManager->KillMTimer(id); }

// ---- closing

void MDialog::postResult(WPARAM result)
{
    PostMessageW(detail::kDialogResultMessage, result, 0);
}

void MDialog::DoOK() { postResult(IDOK); }
void MDialog::DoCancel() { postResult(IDCANCEL); }
void MDialog::DoClose() { postResult(IDCANCEL); }
void MDialog::DoYes() { postResult(IDYES); }
void MDialog::DoNo() { postResult(IDNO); }

// ---- translucency and shape

void MDialog::SetupBackTranslucent()
{
    ApplyTranslucency(m_alpha, m_colorKey);
}

void MDialog::SetupRegion(int) {}

} // namespace KOVA
