// Threads: a panel's children may raise repaint requests on the fast-timer thread, where the
// GUI thread may be growing or shrinking the panel's lists. There the panel never walks its
// lists and takes none of their locks: it marks what it was asked to mark (the requester, or
// itself) and posts the walk to the window's thread, which runs it as if the request had been
// raised there. Everything else runs on the GUI thread and takes the list locks, parent
// before child, one list at a time.
#include "framework/MPanel.h"

#include "framework/ControlFactory.h"
#include "framework/PaintManager.h"
#include "framework/RectsMeet.h"

namespace KOVA {

using detail::RectsMeet;

namespace {

// How far one axis is scrolled: the part of the content that does not fit, in proportion to
// the bar's position. Nothing while the bar has no range.
int axisOffset(int content, int visible, const MScroll* bar)
{
    const int range = bar ? bar->GetScrollMaxRange() : 0;
    if (content <= visible || range < 1)
        return 0;
    return static_cast<int>(static_cast<long long>(content - visible) * bar->GetScrollCurrentPos() / range);
}
} // namespace

MPanel::MPanel(MObject* parent, UINT id, CRect rect, int visible)
    : MControlFont(parent, id, rect, L"", visible, 1, 1)
{
    // A double click that no child takes stays a double click, not a second press.
    m_dblClk = 1;
    createBars();
}

MPanel::MPanel(const MPanel& other) : MControlFont(other)
{
    copyValuesFrom(other);
    createBars();
    if (m_manager) {
        GetScrollVertical()->SetManager(m_manager);
        GetScrollHorizontal()->SetManager(m_manager);
    }
}

MPanel& MPanel::operator=(const MPanel& other)
{
    if (this != &other) {
        MControlFont::operator=(other);
        copyValuesFrom(other);
    }
    return *this;
}

void MPanel::copyValuesFrom(const MPanel& other)
{
    m_initialised = other.m_initialised;
    m_virtualHeight = other.m_virtualHeight;
    m_virtualWidth = other.m_virtualWidth;
    m_barInset = other.m_barInset;
    m_enableScroll = other.m_enableScroll;
    m_scrollOffsetY = other.m_scrollOffsetY;
    m_scrollOffsetX = other.m_scrollOffsetX;
    m_drawnOffsetY = other.m_drawnOffsetY;
}

void MPanel::createBars()
{
    // The bars start off the panel; whoever sizes the content places them.
    *m_scrollVertical = new CScrollVertical(this, 1, CRect(-m_barInset, 0, 0, 0), 1);
    *m_scrollHorizontal = new CScrollHorizontal(this, 2, CRect(0, -m_barInset, 0, 0), 1);
    ScopedLock lock(m_controlsLock);
    m_controls->push_back(*m_scrollVertical);
    m_controls->push_back(*m_scrollHorizontal);
}

MPanel::~MPanel()
{
    StopFastTimer();
}

const wchar_t* MPanel::GetClassNameW() const { return L"MPanel"; }

void MPanel::InitControl(PaintManager* manager)
{
    m_initialised = 1;
    GetScrollVertical()->SetManager(manager);
    GetScrollHorizontal()->SetManager(manager);
}

void MPanel::DrawControl(HDC&, CRect) {}

int MPanel::OnControlKeyDown(UINT, UINT, UINT) { return 0; }
int MPanel::OnControlKeyUp(UINT, UINT, UINT) { return 0; }

// ---- threads

bool MPanel::IsOnGuiThread() const
{
    return !m_manager || m_manager->IsGuiThread();
}

// ---- factory

MControl* MPanel::CreateArea(const wchar_t* className, UINT id, CRect rect, const wchar_t* title, int a, int b)
{
    return CreateControl(0, this, className, id, rect, title, a, b);
}

MControl* MPanel::CreateControl(const wchar_t* className, UINT id, CRect rect, const wchar_t* title, int a, int b)
{
    return CreateControl(1, this, className, id, rect, title, a, b);
}

MControl* MPanel::CreateControl(UINT kind, MObject* parent, const wchar_t* className, UINT id, CRect rect,
                                const wchar_t* title, int a, int b)
{
    MControl* control = CreateControlByClassName(ControlTable::Panel, className, parent, id, rect, title, a, b);
    if (!control)
        return nullptr;
    // A panel that is not attached yet creates children without a paint manager.
    if (m_manager)
        control->SetManager(m_manager);
    if (kind == 0) {
        ScopedLock lock(m_areasLock);
        m_areas->push_back(control);
    } else if (kind == 1) {
        ScopedLock lock(m_controlsLock);
        m_controls->push_back(control);
    }
    return control;
}

// ---- tree

MControl* MPanel::findDescendant(std::vector<MControl*>& list, CriticalSection& lock, UINT id)
{
    ScopedLock guard(lock);
    for (MControl* child : list) {
        if (!child)
            continue;
        if (child->GetControlID() == id)
            return child;
        if (MControl* found = child->GetControl(id))
            return found;
    }
    return nullptr;
}

MControl* MPanel::GetControl(UINT id)
{
    if (MControl* found = findDescendant(*m_controls, m_controlsLock, id))
        return found;
    return findDescendant(*m_areas, m_areasLock, id);
}

void MPanel::SetUpdate(int update, DWORD param)
{
    m_update = update;
    if (!IsOnGuiThread()) {
        m_manager->PostMarkStale(this, update, param);
        return;
    }
    ScopedLock lock(m_controlsLock);
    for (MControl* child : *m_controls)
        if (child && RectsMeet(child->GetRect(), m_rect))
            child->SetUpdate(update, param);
}

// ---- state passed to the children

void MPanel::SetControlVisible(int visible)
{
    MControlFont::SetControlVisible(visible);
    SetControlWndVisible(visible);
}

void MPanel::SetControlEnabled(int enabled)
{
    MControlFont::SetControlEnabled(enabled);
    ScopedLock lock(m_controlsLock);
    for (MControl* child : *m_controls) {
        if (!child || child->IsEnabled() == enabled)
            continue;
        child->SetControlEnabled(enabled);
        if (child->IsVisible())
            if (MObject* parent = child->GetParantObject())
                parent->OnControlUpdate(child->GetRect(), 1, child);
    }
}

LRESULT MPanel::OnWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam)
{
    // A child's handler (a WM_COMMAND) may clear this list.
    for (MControl* child : childrenNow()) {
        if (IsRemoved())
            break;
        if (child && !child->IsRemoved() && child->OnWindowMessage(msg, wParam, lParam))
            return 1;
    }
    return 0;
}

// ---- notifications

LONG MPanel::OnBaseMessage(UINT id, UINT code, UINT wParam, LONG lParam)
{
    return OnMessage(id, code, wParam, lParam);
}

LONG MPanel::OnMessage(UINT id, UINT code, UINT wParam, LONG lParam)
{
    // The id stays the raiser's, so the top of the tree learns which control it was.
    return m_parent ? m_parent->OnBaseMessage(id, code, wParam, lParam) : 0;
}

// ---- scrolling

CPoint MPanel::GetScrollOffset() const
{
    return CPoint(axisOffset(m_virtualWidth, m_rect.Width(), GetScrollHorizontal()),
                  axisOffset(m_virtualHeight, m_rect.Height(), GetScrollVertical()));
}

CPoint MPanel::refreshScrollOffsets()
{
    const CPoint offset = GetScrollOffset();
    if (m_virtualWidth > m_rect.Width())
        m_scrollOffsetX = offset.x;
    if (m_virtualHeight > m_rect.Height())
        m_scrollOffsetY = offset.y;
    return offset;
}

bool MPanel::contentExceedsPanel() const
{
    return m_virtualHeight > m_rect.Height() || m_virtualWidth > m_rect.Width();
}

int MPanel::OnMousePointChange(CPoint& pt)
{
    if (!m_enableScroll || !contentExceedsPanel())
        return 0;
    const CPoint offset = refreshScrollOffsets();
    pt.x += offset.x;
    pt.y += offset.y;
    return 1;
}

int MPanel::OnControlScroll(int, UINT down, CPoint)
{
    if (!m_enableScroll || m_virtualHeight < m_rect.Height())
        return 0;
    CScrollVertical* bar = GetScrollVertical();
    if (bar->ScrollRow(down == 1 ? 1 : -1)) {
        refreshScrollOffsets();
        UpdateControl(1, 0);
        bar->UpdateControl(1, 0);
    }
    return 1;
}

// ---- repaint requests of the children

void MPanel::markChildrenAbove(const MControl* requester, const CRect& rect, CRect& dirty)
{
    ScopedLock lock(m_controlsLock);
    bool passedRequester = false;
    for (MControl* child : *m_controls) {
        if (!passedRequester) {
            passedRequester = child == requester;
            continue;
        }
        if (!child || !child->IsVisible() || !RectsMeet(child->GetRect(), rect))
            continue;
        const CRect childRect = child->GetRect();
        dirty.UnionRect(&dirty, &childRect);
        child->SetUpdate(0, 0);
    }
}

LONG MPanel::OnControlUpdate(CRect rect, int flag, MControl* control)
{
    if (!control)
        return 0;
    if (flag)
        control->SetUpdate(0, 0);
    if (!IsOnGuiThread()) {
        m_manager->PostControlUpdate(this, rect, control);
        return 0;
    }
    CRect dirty = rect;
    // Children drawn above the requester are redrawn with it.
    if (m_initialised)
        markChildrenAbove(control, rect, dirty);
    const CPoint offset = refreshScrollOffsets();
    dirty.OffsetRect(-offset.x, -offset.y);
    dirty.UnionRect(&dirty, &m_rect);
    InvalidateRect(&dirty, 1);
    return 0;
}

} // namespace KOVA
