#include "framework/MControl.h"

#include <algorithm>
#include <cwchar>
#include <optional>

#include "framework/DispatchScope.h"
#include "framework/PaintManager.h"
#include "framework/RectsMeet.h"

namespace KOVA {

using detail::RectsMeet;

namespace {

// Ids 1 and 2 are a container's own scroll bars, which stay put while the content scrolls.
bool isScrollBarId(UINT id)
{
    return id == 1 || id == 2;
}

bool takesInput(const MControl* control)
{
    return control->IsVisible() && control->IsEnabled() && control->GetRresponse();
}

// A control's routing step runs inside its paint manager's dispatch, which defers deletions
// until it ends; called from anywhere else (a host's own call), the step is a dispatch itself.
class EntryScope {
public:
    explicit EntryScope(bool joined)
    {
        if (!joined)
            m_own.emplace();
    }

private:
    std::optional<DispatchScope> m_own;
};
} // namespace

MControl::MControl(MObject* parent, UINT id, CRect rect, int visible, int enabled, int response)
    : m_parent(parent), m_uControlID(id), m_rect(rect), m_visible(visible), m_enabled(enabled), m_response(response)
{
}

MControl::MControl(const MControl& other) : MObject(other)
{
    copyValuesFrom(other);
    if (m_manager)
        m_manager->NoteControl(this);
}

MControl& MControl::operator=(const MControl& other)
{
    if (this == &other)
        return *this;
    PaintManager* before = m_manager;
    MObject::operator=(other);
    copyValuesFrom(other);
    if (before != m_manager) {
        if (before)
            before->ForgetControl(this);
        if (m_manager)
            m_manager->NoteControl(this);
    }
    return *this;
}

void MControl::copyValuesFrom(const MControl& other)
{
    m_parent = other.m_parent;
    m_manager = other.m_manager;
    m_uControlID = other.m_uControlID;
    m_rect = other.m_rect;
    m_visible = other.m_visible;
    m_enabled = other.m_enabled;
    m_dragSource = other.m_dragSource;
    m_response = other.m_response;
    m_tabStop = other.m_tabStop;
    m_dblClk = other.m_dblClk;
    m_pressed = other.m_pressed;
    m_keyDown = other.m_keyDown;
    m_focused = other.m_focused;
    m_shortcutKey = other.m_shortcutKey;
    m_shortcutModifiers = other.m_shortcutModifiers;
    m_update = other.m_update;
    m_animateUpdate = other.m_animateUpdate;
    m_runTimer = other.m_runTimer;
    m_run = other.m_run;
    m_exportBusy = other.m_exportBusy;
    m_useImageECM = other.m_useImageECM;
    m_tooltip = other.m_tooltip;
    m_cursor = other.m_cursor;
    m_leaveTracking = other.m_leaveTracking;
    m_dblClkNotify = other.m_dblClkNotify;
    m_keyNotify = other.m_keyNotify;
    m_outside = other.m_outside;
}

MControl::~MControl()
{
    deleteChildrenNow();
    if (m_manager)
        m_manager->ForgetControl(this);
}

const wchar_t* MControl::GetClassNameW() const { return L"MControl"; }

void MControl::InitControl(PaintManager*) {}

int MControl::PtInRect(CPoint pt)
{
    if (!m_visible)
        return 0;
    return m_rect.PtInRect(pt) ? 1 : 0;
}

int MControl::DrawSubControls(HDC& dc, CRect paintRect)
{
    ScopedLock lock(m_controlsLock);
    for (MControl* child : *m_controls)
        if (child && child->m_visible)
            child->Draw(dc, paintRect);
    return 1;
}

int MControl::IsDraw(CPoint) { return 0; }

void MControl::SetUpdate(int update, DWORD param)
{
    m_update = update;
    ScopedLock lock(m_controlsLock);
    for (MControl* child : *m_controls)
        if (child && RectsMeet(child->m_rect, m_rect))
            child->SetUpdate(update, param);
}

int MControl::SetControlFocus(int focus)
{
    if (focus != 0)
        return 0;
    EntryScope dispatch(managerDispatching());
    for (MControl* child : childrenNow())
        if (child && !child->IsRemoved())
            child->SetControlFocus(0);
    return 0;
}

void MControl::InitUI(CRect) {}
int MControl::OnMousePointChange(CPoint&) { return 0; }
int MControl::OnCheckMouseResponse(UINT, CPoint) { return 1; }
LRESULT MControl::OnWindowMessage(UINT, WPARAM, LPARAM) { return 0; }
LONG MControl::OnMessage(UINT, UINT, UINT, LONG) { return 0; }
void MControl::SetControlRect(CRect rect) { m_rect = rect; }
void MControl::SetControlVisible(int visible) { m_visible = visible; }
void MControl::SetControlWndVisible(int) {}
void MControl::SetControlEnabled(int enabled) { m_enabled = enabled; }
int MControl::OnControlTimer() { return 0; }
HBITMAP MControl::GetControlDropBitmap() { return nullptr; }
int MControl::OnControlMouseMove(UINT, CPoint) { return 0; }

int MControl::OnControlSetCursor(UINT, CPoint pt)
{
    if (!m_cursor || !m_rect.PtInRect(pt))
        return 0;
    ::SetCursor(m_cursor);
    return 1;
}

int MControl::OnControlLButtonDown(UINT, CPoint) { return 0; }
int MControl::OnControlLButtonUp(UINT, CPoint) { return 0; }
int MControl::OnControlLButtonDblClk(UINT, CPoint) { return 0; }
int MControl::OnControlScroll(int, UINT, CPoint) { return 0; }
int MControl::OnControlRButtonDown(UINT, CPoint) { return 0; }
int MControl::OnControlRButtonUp(UINT, CPoint) { return 0; }
int MControl::OnControlRButtonDblClk(UINT, CPoint) { return 0; }

int MControl::OnControlKeyDown(UINT key, UINT, UINT modifiers)
{
    return (m_shortcutKey != 0 && key == m_shortcutKey && modifiers == m_shortcutModifiers) ? 1 : 0;
}

void MControl::OnPositionChange() {}

void MControl::InvalidateRect(const RECT*, int erase)
{
    if (m_manager)
        m_manager->InvalidateRect(m_rect, erase);
}

// ---- geometry and state

void MControl::notifyUpdate(CRect rect, int flag)
{
    if (m_parent)
        m_parent->OnControlUpdate(rect, flag, this);
}

void MControl::SetRect(CRect rect)
{
    CRect joined;
    joined.UnionRect(&m_rect, &rect);
    SetControlRect(rect);
    if (m_visible)
        notifyUpdate(joined, 1);
}

void MControl::SetRect(int x, int y, int width, int height)
{
    SetRect(CRect(x, y, x + width, y + height));
}

void MControl::SetVisible(int visible)
{
    SetVisible(visible, 1);
}

void MControl::SetVisible(int visible, int redraw)
{
    if (visible == m_visible)
        return;
    SetControlVisible(visible);
    if (!visible)
        giveUpFocusBelow();
    if (redraw)
        notifyUpdate(m_rect, 1);
}

void MControl::giveUpFocusBelow()
{
    EntryScope dispatch(managerDispatching());
    if (m_focused)
        SetControlFocus(0);
    for (MControl* child : childrenNow())
        if (child && !child->IsRemoved())
            child->giveUpFocusBelow();
}

void MControl::SetEnabled(int enabled)
{
    if (enabled == m_enabled)
        return;
    SetControlEnabled(enabled);
    if (m_visible)
        notifyUpdate(m_rect, 1);
}

int MControl::IsParentVisible()
{
    if (!m_parent)
        return 0;
    const wchar_t* parentClass = m_parent->GetClassNameW();
    if (parentClass && wcscmp(parentClass, L"MDialog") == 0)
        return 1;
    // A pop-up window or any other host that is not a control is the top of the tree.
    MControl* parentControl = dynamic_cast<MControl*>(m_parent);
    if (!parentControl)
        return 1;
    return (parentControl->m_visible && parentControl->IsParentVisible()) ? 1 : 0;
}

void MControl::UpdateControl(int flag, int force)
{
    UpdateControl(m_rect, flag, force);
}

void MControl::UpdateControl(CRect rect, int flag, int force)
{
    if (m_visible || force)
        notifyUpdate(rect, flag);
}

void MControl::UpdateAControl(int flag, int force)
{
    if (!m_visible && !force)
        return;
    m_animateUpdate = (flag == 0) ? 1 : 0;
    notifyUpdate(m_rect, 0);
}

LONG MControl::SendMessageW(UINT code, UINT wParam, LONG lParam)
{
    return m_parent ? m_parent->OnBaseMessage(m_uControlID, code, wParam, lParam) : 0;
}

void MControl::PostToParent(UINT code, UINT wParam, LONG lParam)
{
    if (m_manager)
        m_manager->PostNotify(this, code, wParam, lParam);
    else
        SendMessageW(code, wParam, lParam);
}

int MControl::SetCursorEx(const wchar_t* name)
{
    static const struct { const wchar_t* name; LPCWSTR id; } cursors[] = {
        { L"arrow", IDC_ARROW }, { L"wait", IDC_WAIT }, { L"cross", IDC_CROSS }, { L"sizewe", IDC_SIZEWE },
        { L"sizens", IDC_SIZENS }, { L"hand", IDC_HAND }, { L"help", IDC_HELP },
    };
    if (!name)
        return 0;
    for (const auto& cursor : cursors)
        if (wcscmp(cursor.name, name) == 0)
            m_cursor = LoadCursorW(nullptr, cursor.id);
    return 0;
}

void MControl::SetManager(PaintManager* manager)
{
    if (m_manager && m_manager != manager)
        m_manager->ForgetControl(this);
    m_manager = manager;
    if (manager)
        manager->NoteControl(this);
    InitControl(manager);
}

void MControl::ForgetManager(PaintManager* gone)
{
    if (m_manager == gone)
        m_manager = nullptr;
    {
        ScopedLock lock(m_areasLock);
        for (MControl* area : *m_areas)
            if (area)
                area->ForgetManager(gone);
    }
    ScopedLock lock(m_controlsLock);
    for (MControl* child : *m_controls)
        if (child)
            child->ForgetManager(gone);
}

bool MControl::managerDispatching() const
{
    return m_manager && *m_manager->m_dispatching > 0;
}

MControl* MControl::GetFocusControl(MControl*) { return nullptr; }
MControl* MControl::GetNextFocusableControl(MControl*) { return nullptr; }
MControl* MControl::GetPrevFocusableControl(MControl*) { return nullptr; }

int MControl::IsFocusControl()
{
    return (m_manager && m_manager->GetFocusControl() == this) ? 1 : 0;
}

int MControl::OnFocus(int focus)
{
    return SetControlFocus(focus);
}

// ---- tree

MControl* MControl::GetControl(UINT id)
{
    for (auto* list : { &m_controls, &m_areas }) {
        ScopedLock lock(list == &m_controls ? m_controlsLock : m_areasLock);
        for (MControl* child : list->get()) {
            if (!child)
                continue;
            if (child->m_uControlID == id)
                return child;
            if (MControl* found = child->GetControl(id))
                return found;
        }
    }
    return nullptr;
}

int MControl::RemoveControl(MControl* child)
{
    if (!child)
        return 0;
    EntryScope dispatch(managerDispatching());
    if (m_manager && m_manager->GetFocusControl() == child) {
        child->SetControlFocus(0);
        m_manager->SetFocusControlPointer(nullptr);
    }
    {
        ScopedLock lock(m_controlsLock);
        auto& list = *m_controls;
        auto found = std::find(list.begin(), list.end(), child);
        if (found == list.end())
            return 0;
        list.erase(found);
        if (*m_mouseChild == child)
            *m_mouseChild = nullptr;
    }
    dispose(child);
    return 0;
}

bool MControl::takeChild(MControl* child)
{
    for (auto* list : { &m_controls, &m_areas }) {
        ScopedLock lock(list == &m_controls ? m_controlsLock : m_areasLock);
        auto& children = list->get();
        auto found = std::find(children.begin(), children.end(), child);
        if (found == children.end())
            continue;
        children.erase(found);
        if (*m_mouseChild == child)
            *m_mouseChild = nullptr;
        return true;
    }
    return false;
}

void MControl::markRemoved()
{
    *m_removed = 1;
    for (auto* list : { &m_areas, &m_controls }) {
        ScopedLock lock(list == &m_controls ? m_controlsLock : m_areasLock);
        for (MControl* child : list->get())
            if (child)
                child->markRemoved();
    }
}

void MControl::dispose(MControl* control)
{
    if (PaintManager* manager = control->m_manager)
        manager->ForgetControlTree(control);
    control->markRemoved();
    DispatchScope::Delete(control);
}

void MControl::DeleteLater()
{
    if (m_manager && !m_manager->IsGuiThread()) {
        m_manager->PostRun(this, [](MControl* control, void*) { control->DeleteLater(); }, nullptr);
        return;
    }
    // Already waiting, alone or with an ancestor.
    if (*m_removed)
        return;
    EntryScope dispatch(managerDispatching());
    auto* parent = dynamic_cast<MControl*>(m_parent);
    if (!(parent && parent->takeChild(this)) && m_manager)
        m_manager->takeControl(this);
    dispose(this);
}

void MControl::deleteChildren(std::vector<MControl*>& list, CriticalSection& lock)
{
    // Taken out of the list first, so that nothing reached from a child's destructor walks
    // over children that are already gone.
    std::vector<MControl*> doomed;
    {
        ScopedLock guard(lock);
        doomed.swap(list);
    }
    for (MControl* child : doomed)
        dispose(child);
}

void MControl::RemoveAllControl()
{
    EntryScope dispatch(managerDispatching());
    *m_mouseChild = nullptr;
    deleteChildren(*m_areas, m_areasLock);
    deleteChildren(*m_controls, m_controlsLock);
}

void MControl::deleteChildrenNow()
{
    // The control itself is going: its children go with it, whatever dispatch is running.
    *m_mouseChild = nullptr;
    for (auto* list : { &m_areas, &m_controls }) {
        std::vector<MControl*> doomed;
        {
            ScopedLock lock(list == &m_controls ? m_controlsLock : m_areasLock);
            doomed.swap(list->get());
        }
        for (MControl* child : doomed) {
            if (m_manager)
                m_manager->ForgetControlTree(child);
            delete child;
        }
    }
}

WalkCopy MControl::childrenNow()
{
    return WalkCopy(*m_controls, m_controlsLock);
}

void MControl::AddMTimer()
{
    if (m_manager)
        m_manager->AddMTimer(this);
}

void MControl::StopFastTimer()
{
    if (!m_manager)
        return;
    while (m_manager->DeleteFSTimer(this)) {
    }
    // The lists change on the GUI thread only, which is where destructors run.
    for (auto* list : { &m_areas, &m_controls })
        for (MControl* child : list->get())
            if (child)
                child->StopFastTimer();
}

// ---- tooltips

void MControl::SetTooltip(const wchar_t* text)
{
    m_tooltip = text;
}

void MControl::SetTooltip(CString text, CRect rect)
{
    if (!m_manager)
        return;
    m_manager->SetTooltip(text, rect);
    m_manager->SetTooltipCtrlID(static_cast<int>(m_uControlID));
}

void MControl::ClearTooltip()
{
    if (!m_manager)
        return;
    m_manager->ClearTooltip();
    m_manager->SetTooltipCtrlID(0);
}

void MControl::SetTooltipCtrlID(int) {}
int MControl::GetTooltipCtrlID() { return 0; }

// ---- drawing

void MControl::Draw(HDC& dc, CRect paintRect)
{
    if (!m_visible || !RectsMeet(m_rect, paintRect))
        return;
    {
        ScopedLock lock(m_areasLock);
        for (MControl* area : *m_areas)
            if (area && RectsMeet(area->m_rect, m_rect))
                area->Draw(dc, paintRect);
    }
    DrawControl(dc, paintRect);
    DrawSubControls(dc, paintRect);
}

void MControl::UpdateMemDC(HDC& dc, int width, int height)
{
    m_update = 1;
    m_memPicture.Create(dc, width, height);
}

void MControl::UpdateAnimateDC(HDC& dc, int width, int height)
{
    m_animateUpdate = 1;
    m_animatePicture.Create(dc, width, height);
}

HBITMAP MControl::GetDropBitmap()
{
    return GetControlDropBitmap();
}

// ---- input routing

CPoint MControl::pointForChild(const MControl* child, CPoint outer, CPoint inner) const
{
    return isScrollBarId(child->m_uControlID) ? outer : inner;
}

int MControl::OnMouseMove(UINT keys, CPoint pt)
{
    if (!m_visible || !m_response)
        return 0;
    EntryScope dispatch(managerDispatching());
    CPoint inner = pt;
    OnMousePointChange(inner);

    if (MControl* child = *m_mouseChild) {
        const CPoint childPt = pointForChild(child, pt, inner);
        if (!child->IsRemoved() && ((child->PtInRect(childPt) && child->OnCheckMouseResponse(keys, childPt)) || m_pressed))
            return child->OnMouseMove(keys, childPt) ? 1 : 0;
    }
    MControl* previous = *m_mouseChild;
    *m_mouseChild = nullptr;

    if (!m_tooltip.IsEmpty() && PtInRect(pt) && OnCheckMouseResponse(keys, pt) && m_manager
        && m_manager->GetTooltipCtrlID() != static_cast<int>(m_uControlID)) {
        m_manager->SetTooltip(m_tooltip, m_rect);
        m_manager->SetTooltipCtrlID(static_cast<int>(m_uControlID));
    }

    OnControlSetCursor(keys, pt);
    int result = OnControlMouseMove(keys, pt);

    if (m_leaveTracking) {
        if (PtInRect(pt))
            m_outside = 0;
        else
            m_outside = 1;
    }
    if (m_pressed)
        return result;

    for (MControl* child : childrenNow()) {
        if (*m_removed)
            break;
        if (!child || child->IsRemoved())
            continue;
        const CPoint childPt = pointForChild(child, pt, inner);
        if (child->OnMouseMove(keys, childPt)) {
            result = 1;
            if (!child->IsRemoved() && child->PtInRect(childPt))
                *m_mouseChild = child;
        }
    }
    return (*m_mouseChild || previous) ? 1 : result;
}

int MControl::takeButtonDown(Button button, UINT keys, CPoint pt)
{
    if (m_manager && m_manager->GetFocusControl() != this)
        m_manager->SetFocusControl(this);
    // The focus control's focus-loss handler may have removed this one.
    if (*m_removed)
        return 0;
    return button == Button::Left ? OnControlLButtonDown(keys, pt) : OnControlRButtonDown(keys, pt);
}

int MControl::routeButtonDown(Button button, UINT keys, CPoint pt)
{
    if (!m_visible || !m_response)
        return 0;
    EntryScope dispatch(managerDispatching());
    CPoint inner = pt;
    OnMousePointChange(inner);
    m_pressed = m_rect.PtInRect(inner) ? 1 : 0;

    {
        ScopedLock lock(m_controlsLock);
        for (MControl* child : *m_controls) {
            // The hit test uses the point the child itself is given, so a container's fixed
            // scroll bars are hit where they are drawn even while the content is scrolled.
            if (child && takesInput(child) && child->PtInRect(pointForChild(child, pt, inner)))
                *m_mouseChild = child;
        }
    }
    if (MControl* child = *m_mouseChild) {
        const CPoint childPt = pointForChild(child, pt, inner);
        const int taken = button == Button::Left ? child->OnLButtonDown(keys, childPt) : child->OnRButtonDown(keys, childPt);
        return taken ? 1 : 0;
    }
    return takeButtonDown(button, keys, inner);
}

int MControl::routeButtonUp(Button button, UINT keys, CPoint pt)
{
    if (!m_visible || !m_response)
        return 0;
    EntryScope dispatch(managerDispatching());
    CPoint inner = pt;
    OnMousePointChange(inner);
    m_pressed = 0;
    if (MControl* child = *m_mouseChild) {
        const CPoint childPt = pointForChild(child, pt, inner);
        const int taken = button == Button::Left ? child->OnLButtonUp(keys, childPt) : child->OnRButtonUp(keys, childPt);
        return taken ? 1 : 0;
    }
    return button == Button::Left ? OnControlLButtonUp(keys, inner) : OnControlRButtonUp(keys, inner);
}

int MControl::routeDblClk(Button button, UINT keys, CPoint pt)
{
    const bool left = button == Button::Left;
    if (!m_visible || !m_response)
        return 0;
    EntryScope dispatch(managerDispatching());
    CPoint inner = pt;
    OnMousePointChange(inner);
    m_pressed = 0;

    if (MControl* child = *m_mouseChild) {
        const CPoint childPt = pointForChild(child, pt, inner);
        if (left ? child->OnLButtonDblClk(keys, childPt) : child->OnRButtonDblClk(keys, childPt))
            return 1;
        // A control that does not handle double clicks sees the second click as a press.
        if (!child->m_dblClk && !child->IsRemoved())
            return left ? child->OnLButtonDown(keys, childPt) : child->OnRButtonDown(keys, childPt);
        return 0;
    }
    if (!m_dblClk)
        return left ? OnControlLButtonDown(keys, inner) : OnControlRButtonDown(keys, inner);
    if (!left)
        return OnControlRButtonDblClk(keys, inner);
    if (m_dblClkNotify && m_rect.PtInRect(inner) && m_parent)
        m_parent->OnBaseMessage(m_uControlID, 3, keys, static_cast<LONG>(reinterpret_cast<LONG_PTR>(&inner)));
    return OnControlLButtonDblClk(keys, inner);
}

int MControl::OnLButtonDown(UINT keys, CPoint pt) { return routeButtonDown(Button::Left, keys, pt); }
int MControl::OnRButtonDown(UINT keys, CPoint pt) { return routeButtonDown(Button::Right, keys, pt); }
int MControl::OnLButtonUp(UINT keys, CPoint pt) { return routeButtonUp(Button::Left, keys, pt); }
int MControl::OnRButtonUp(UINT keys, CPoint pt) { return routeButtonUp(Button::Right, keys, pt); }
int MControl::OnLButtonDblClk(UINT keys, CPoint pt) { return routeDblClk(Button::Left, keys, pt); }
int MControl::OnRButtonDblClk(UINT keys, CPoint pt) { return routeDblClk(Button::Right, keys, pt); }

int MControl::OnScroll(int step, UINT down, CPoint pt)
{
    if (!m_visible || !m_response || !m_enabled)
        return 0;
    EntryScope dispatch(managerDispatching());
    if (MControl* child = *m_mouseChild) {
        if (!child->IsRemoved() && child->PtInRect(pt) && child->OnCheckMouseResponse(down, pt))
            return child->OnScroll(step, down, pt) > 0 ? 1 : 0;
    }
    if (!PtInRect(pt))
        return 0;
    if (OnControlScroll(step, down, pt))
        return 1;
    for (MControl* child : childrenNow()) {
        if (*m_removed)
            break;
        if (child && !child->IsRemoved() && child->PtInRect(pt) && child->OnScroll(step, down, pt))
            return 1;
    }
    return 0;
}

MControl* MControl::deepestFocusedControl()
{
    MControl* current = this;
    for (;;) {
        if (!current->m_response)
            return nullptr;
        MControl* focused = nullptr;
        {
            ScopedLock lock(current->m_controlsLock);
            for (MControl* child : *current->m_controls)
                if (child && child->m_focused) {
                    focused = child;
                    break;
                }
        }
        if (!focused)
            return current;
        if (!focused->m_visible)
            return nullptr;
        current = focused;
    }
}

void MControl::notifyKey(UINT key, UINT modifiers)
{
    if (m_keyNotify && m_parent)
        m_parent->OnBaseMessage(m_uControlID, 14, key, static_cast<LONG>(modifiers));
}

int MControl::offerKeyToChildren(UINT key, UINT repeat, UINT modifiers)
{
    for (MControl* child : childrenNow()) {
        if (*m_removed)
            break;
        if (child && !child->IsRemoved() && child->OnKeyDown(key, repeat, modifiers))
            return 1;
    }
    return 0;
}

int MControl::OnKeyDown(UINT key, UINT repeat, UINT modifiers)
{
    if (!m_visible)
        return 0;
    EntryScope dispatch(managerDispatching());
    MControl* target = deepestFocusedControl();
    if (!target)
        return 0;
    if (MControl* child = *target->m_mouseChild)
        if (!child->IsRemoved() && child->OnKeyDown(key, repeat, modifiers))
            return 1;
    if (target->IsRemoved())
        return 0;
    const bool taken = target->OnControlKeyDown(key, repeat, modifiers)
        || (!target->IsRemoved() && target->offerKeyToChildren(key, repeat, modifiers));
    // The parent hears every key the control sees, taken or not; a control that removed
    // itself on the key (an in-place edit ending on Enter) is no longer there to report it.
    if (!target->IsRemoved())
        target->notifyKey(key, modifiers);
    return taken ? 1 : 0;
}

int MControl::OnKeyUp(UINT, UINT, UINT) { return 0; }

int MControl::OnTimer()
{
    const int own = OnControlTimer();
    int anyChild = 0;
    ScopedLock lock(m_controlsLock);
    // By index: on the GUI thread a child's handler may make this control remove children
    // (the lock is re-entrant there), which an iterator would not survive.
    auto& children = *m_controls;
    for (size_t i = 0; i < children.size(); ++i) {
        MControl* child = children[i];
        if (child && child->m_runTimer && child->m_visible && child->OnTimer())
            anyChild = 1;
    }
    return anyChild ? 1 : own;
}

// ---- position rules

int MControl::PositionItem2Value(const FS_POSITION_ITEM& item, int start, int end)
{
    const int v = static_cast<int>(item.value);
    switch (item.mode) {
    case 0:
        return item.fromEnd ? end - v : start + v;
    case 1:
        return (end - start) / 2 + start + (item.fromEnd ? -v : v);
    case 2: {
        const float span = static_cast<float>(end - start);
        const int value = start + static_cast<int>(span * item.value / 100.0f);
        return value > end ? end : value;
    }
    default:
        return 0;
    }
}

} // namespace KOVA
