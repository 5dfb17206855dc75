// The tab control's tabs, layout, selection, input and pages; the bar's drawing and the slide
// are in MTabCtrlPaint.cpp. GUI thread only: a fast-timer tick that passes through the control
// to its pages touches nothing here.
#include "controls/basic/MTabCtrl.h"

#include <algorithm>
#include <cwchar>

#include "controls/basic/MTabLayout.h"
#include "framework/PaintManager.h"

namespace KOVA {

namespace {
// The slide's window timer: its id among this control's timers and its period.
constexpr UINT kSlideTimerId = 100;
constexpr UINT kSlidePeriodMs = 30;
// A slide covers the control in this many steps.
constexpr int kSlideSteps = 10;
// Frames of the extra button's strip: normal, hovered, pressed.
constexpr int kButtonFrames = 3;
// The extra button's default place: this far inside its tab's right edge, this far down.
constexpr int kButtonInset = 3;
constexpr int kButtonDrop = 6;

// Window timer 100 belongs to this clock rather than to the tab control: a window timer calls
// its control's whole timer walk, which would also tick the pages' children on the GUI thread
// while the fast timer ticks them on its own.
class SlideClock : public MControl {
public:
    explicit SlideClock(MTabCtrl& owner) : MControl(nullptr, 0, CRect(), 0, 1, 0), m_owner(owner) {}
    int OnControlTimer() override { return m_owner.OnControlTimer(); }
    // It is in no list and never visible: nothing ever draws it.
    void DrawControl(HDC&, CRect) override {}

private:
    MTabCtrl& m_owner;
};

// A uniform size: the requested one, or with a minimum the share of the span each of count
// items can have, never below the minimum.
int uniformSize(int requested, int minimum, int span, int count)
{
    if (minimum <= 0)
        return requested;
    const int available = span / count;
    if (available < minimum)
        return minimum;
    return requested <= available ? requested : available;
}
} // namespace

// ---- records and copies

MTabCtrl::TabRecord::TabRecord(const TabRecord& other) : info(other.info), strip(other.strip), ownWidth(other.ownWidth)
{
    info.image = strip.Image();
    info.page = nullptr;
}

MTabCtrl::MTabCtrl(MObject* parent, UINT id, CRect rect, int visible, int enabled)
    : MControlFont(parent, id, rect, L"", visible, enabled, 1)
{
    m_imageCount = 3;
}

MTabCtrl::MTabCtrl(const MTabCtrl& other) = default;
MTabCtrl& MTabCtrl::operator=(const MTabCtrl& other) = default;

MTabCtrl::~MTabCtrl()
{
    // A host may tick the control for its pages: it leaves the tick list before it goes.
    StopFastTimer();
}

const wchar_t* MTabCtrl::GetClassNameW() const { return L"MTabCtrl"; }

int MTabCtrl::LoadTabSkin(TabSkin which, const wchar_t* file)
{
    switch (which) {
    case TabSkin::Separator: return m_separatorImage.Load(file, 1);
    case TabSkin::DefaultWidth: return m_defaultWidthImage.Load(file, 1);
    case TabSkin::ExtraButton: return m_buttonImage.Load(file, kButtonFrames);
    }
    return 0;
}

// ---- tabs

int MTabCtrl::InsertItem(UINT id, const wchar_t* text, const wchar_t* image, MControl* page, int frames, int width)
{
    const int frameCount = frames == -1 ? 3 : frames;
    if (frameCount < 1)
        return 0;
    if (m_tabs.Count() > 0)
        m_separatorRects.emplace_back();
    TabRecord& record = m_tabs.AppendNew();
    TabItemInfo& tab = record.info;
    tab.visible = 1;
    tab.id = static_cast<int>(id);
    tab.text = text ? text : L"";
    tab.page = page;
    tab.frameCount = frameCount;
    if (image && *image)
        record.strip.Load(image, frameCount);
    tab.image = record.strip.Image();
    tab.frameWidth = record.strip.FrameWidth();
    tab.frameHeight = record.strip.FrameHeight();
    record.ownWidth = width ? width : (tab.frameWidth ? tab.frameWidth : m_defaultWidthImage.FrameWidth());
    tab.itemRect = CRect(m_rect.left, m_rect.top, m_rect.left + record.ownWidth, m_rect.bottom);
    for (const auto& each : m_tabs)
        each->info.buttonState = 0;
    placeTabs();
    applyUniformSize(1);
    UpdateControl(1, 0);
    return 1;
}

TabItemInfo* MTabCtrl::GetItemInfo(int index)
{
    TabRecord* record = m_tabs.At(index);
    return record ? &record->info : nullptr;
}

bool MTabCtrl::pageHeldByATab(const MControl* page) const
{
    for (const auto& record : m_tabs)
        if (record->info.page == page)
            return true;
    return false;
}

void MTabCtrl::DeleteItem(int index)
{
    if (!m_tabs.Holds(index))
        return;
    // The slide runs between two tabs by index: the indexes move now.
    stopSlide();
    MControl* page = m_tabs[index].info.page;
    m_tabs.Erase(index);
    if (!m_separatorRects.empty())
        m_separatorRects.pop_back();
    // The selection stays on the tab it was on.
    if (index < m_selected)
        --m_selected;
    m_hover = -1;
    m_lastTooltipTab = -1;
    if (page && !pageHeldByATab(page))
        RemoveControl(page);
    applyUniformSize(0);
    RefreshItems();
}

int MTabCtrl::SetItemText(int index, CString text)
{
    TabItemInfo* tab = GetItemInfo(index);
    if (!tab)
        return 0;
    tab->text = text;
    return 1;
}

void MTabCtrl::SetItemVisible(int index, int visible)
{
    TabItemInfo* tab = GetItemInfo(index);
    if (!tab)
        return;
    tab->visible = visible;
    RefreshItems();
}

int MTabCtrl::GetItemVisible(int index)
{
    const TabItemInfo* tab = GetItemInfo(index);
    return tab ? tab->visible : 0;
}

int MTabCtrl::GetItemID(int index)
{
    const TabItemInfo* tab = GetItemInfo(index);
    return tab ? tab->id : 0;
}

int MTabCtrl::PtInTabButton(CPoint pt, TabItemInfo& item)
{
    CRect button = item.buttonRect;
    button.OffsetRect(m_rect.left, m_rect.top);
    return button.PtInRect(pt) ? 1 : 0;
}

void MTabCtrl::SetTabTooltip(int index, CString text)
{
    TabItemInfo* tab = GetItemInfo(index);
    if (!tab || index == m_lastTooltipTab)
        return;
    if (tab->tooltip)
        SetTooltip(text, tab->itemRect);
    m_lastTooltipTab = index;
}

MControl* MTabCtrl::CreatePanel(const wchar_t* className, UINT id, CRect rect)
{
    if (!className || wcscmp(className, L"MTabLayout") != 0)
        return nullptr;
    auto* page = new MTabLayout(this, id, rect, 1);
    if (m_manager)
        page->SetManager(m_manager);
    ScopedLock lock(m_controlsLock);
    m_controls->push_back(page);
    return page;
}

// ---- layout

void MTabCtrl::SetLeftRightPading(int left, int right)
{
    m_leftPadding = left;
    m_rightPadding = right;
}

void MTabCtrl::SetTopBottomPading(int top, int bottom)
{
    m_topPadding = top;
    m_bottomPadding = bottom;
}

void MTabCtrl::SetItemWidth(int width, int minimum, int refresh)
{
    m_requestedWidth = width;
    m_minWidth = minimum;
    if (m_tabs.Count() == 0)
        return;
    const int size = uniformSize(width, minimum, m_rect.Width() - m_leftPadding - m_rightPadding, m_tabs.Count());
    if (size == m_itemWidth)
        return;
    m_itemWidth = size;
    if (refresh)
        RefreshItems();
}

void MTabCtrl::SetItemHeight(int height, int minimum, int refresh)
{
    m_requestedHeight = height;
    m_minHeight = minimum;
    if (m_tabs.Count() == 0)
        return;
    const int size = uniformSize(height, minimum, m_rect.Height() - m_topPadding - m_bottomPadding, m_tabs.Count());
    if (size == m_itemHeight)
        return;
    m_itemHeight = size;
    if (refresh)
        RefreshItems();
}

void MTabCtrl::applyUniformSize(int refresh)
{
    if (isRow())
        SetItemWidth(m_requestedWidth, m_minWidth, refresh);
    else if (isColumn())
        SetItemHeight(m_requestedHeight, m_minHeight, refresh);
}

void MTabCtrl::placeButton(TabItemInfo& tab)
{
    if (!m_buttonImage.Image() || !tab.visible) {
        tab.buttonRect.SetRectEmpty();
        return;
    }
    CRect span = tab.itemRect;
    span.OffsetRect(-m_rect.left, -m_rect.top);
    const int width = m_buttonImage.FrameWidth();
    const int height = m_buttonImage.FrameHeight();
    int left = span.right - kButtonInset - width;
    int top = span.top + kButtonDrop;
    if (m_buttonMode >= 2) {
        left = PositionItem2Value(m_buttonRuleX, span.left, span.right);
        top = PositionItem2Value(m_buttonRuleY, span.top, span.bottom) + kButtonInset;
    }
    tab.buttonRect = CRect(left, top, left + width, top + height);
}

void MTabCtrl::placeTab(TabRecord& record, int& x, int& y)
{
    TabItemInfo& tab = record.info;
    const int currentWidth = tab.itemRect.IsRectEmpty() ? record.ownWidth : tab.itemRect.Width();
    if (isRow()) {
        if (m_itemWidth == 0)
            m_itemWidth = currentWidth;
        if (m_barHeight == 0)
            m_barHeight = tab.frameHeight;
        tab.itemRect = CRect(x, y, x + m_itemWidth, y + m_barHeight);
        x += m_itemWidth;
    } else {
        if (m_itemHeight == 0)
            m_itemHeight = tab.frameHeight;
        if (m_columnWidth == 0)
            m_columnWidth = currentWidth;
        tab.itemRect = CRect(x, y, x + m_columnWidth, y + m_barHeight);
        // Vertical tabs keep a one-pixel gap between them.
        y += m_barHeight + 1;
    }
}

void MTabCtrl::placeTabs()
{
    if (!isRow() && !isColumn())
        return;
    int x = m_rect.left + m_leftPadding;
    int y = m_rect.top + m_topPadding;
    const int count = m_tabs.Count();
    for (int i = 0; i < count; ++i) {
        TabRecord& record = m_tabs[i];
        // Separators lie between tabs: none after the last one.
        CRect* separator = i + 1 < count && i < static_cast<int>(m_separatorRects.size()) ? &m_separatorRects[i] : nullptr;
        if (!record.info.visible) {
            record.info.itemRect.SetRectEmpty();
            if (separator)
                separator->SetRectEmpty();
        } else {
            placeTab(record, x, y);
            if (separator && m_separatorImage.Image()) {
                const int width = m_separatorImage.FrameWidth();
                const int height = m_separatorImage.FrameHeight();
                *separator = CRect(x, y, x + width, y + height);
                if (isRow())
                    x += width;
                else
                    y += height;
            }
        }
        placeButton(record.info);
    }
}

void MTabCtrl::clampSelection()
{
    const int count = m_tabs.Count();
    if (m_selected >= count) {
        m_selected = -1;
        for (int i = count - 1; i >= 0 && m_selected < 0; --i)
            if (m_tabs[i].info.visible)
                m_selected = i;
    }
    if (m_hover >= count)
        m_hover = -1;
}

void MTabCtrl::RefreshItems()
{
    placeTabs();
    clampSelection();
    showSelectedPage();
    UpdateControl(1, 0);
}

void MTabCtrl::SetControlRect(CRect rect)
{
    MControlFont::SetControlRect(rect);
    applyUniformSize(0);
    RefreshItems();
}

// ---- pages

MControl* MTabCtrl::pageOf(int index) const
{
    const TabRecord* record = m_tabs.At(index);
    return record ? record->info.page : nullptr;
}

void MTabCtrl::showSelectedPage()
{
    if (!m_tabs.Holds(m_selected))
        return;
    MControl* shown = pageOf(m_selected);
    // Hidden first: a page two tabs share stays shown.
    for (const auto& record : m_tabs)
        if (MControl* page = record->info.page; page && page != shown)
            page->SetVisible(0);
    if (shown)
        shown->SetVisible(1);
}

void MTabCtrl::hideAllPages()
{
    for (const auto& record : m_tabs)
        if (MControl* page = record->info.page)
            page->SetVisible(0);
}

void MTabCtrl::SetControlVisible(int visible)
{
    MControlFont::SetControlVisible(visible);
    if (visible)
        showSelectedPage();
    else
        hideAllPages();
}

LONG MTabCtrl::OnControlUpdate(CRect rect, int flag, MControl* control)
{
    if (flag && control)
        control->SetUpdate(0, 0);
    return m_parent ? m_parent->OnControlUpdate(rect, 0, this) : 0;
}

LONG MTabCtrl::OnBaseMessage(UINT id, UINT code, UINT wParam, LONG lParam)
{
    return OnMessage(id, code, wParam, lParam);
}

LONG MTabCtrl::OnMessage(UINT id, UINT code, UINT wParam, LONG lParam)
{
    return m_parent ? m_parent->OnBaseMessage(id, code, wParam, lParam) : 0;
}

// ---- selection

int MTabCtrl::SetSelectItem(int index)
{
    const int before = m_selected;
    if (index == m_selected || !m_tabs.Holds(index))
        return before;
    m_previousSelected = m_selected;
    m_selected = index;
    m_hover = -1;
    SendMessageW(2, static_cast<UINT>(index), 0);
    showSelectedPage();
    if (m_slideEnabled)
        startSlide();
    UpdateControl(0, 0);
    return before;
}

// ---- input

int MTabCtrl::tabAt(CPoint pt) const
{
    for (int i = 0; i < m_tabs.Count(); ++i)
        if (m_tabs[i].info.itemRect.PtInRect(pt))
            return i;
    return -1;
}

CRect MTabCtrl::barRect() const
{
    CRect strip = m_rect;
    if (isRow())
        strip.bottom = strip.top + m_barHeight;
    else if (isColumn())
        strip.right = strip.left + m_columnWidth;
    return strip;
}

void MTabCtrl::repaintBar()
{
    // A hover or a button state shows on the bar alone: the pages need not be drawn again.
    UpdateControl(barRect(), 0, 0);
}

int MTabCtrl::OnCheckMouseResponse(UINT, CPoint pt)
{
    if (!barRect().PtInRect(pt))
        return 1;
    return tabAt(pt) >= 0 ? 1 : 0;
}

void MTabCtrl::dropTooltip()
{
    if (m_manager && m_manager->GetTooltipCtrlID() == static_cast<int>(m_uControlID))
        ClearTooltip();
}

void MTabCtrl::showHoveredTooltip(TabItemInfo& tab)
{
    // Entering a tab cleared the tip: it is set once, on the second move over the tab.
    if (m_manager && m_manager->GetTooltipCtrlID() != static_cast<int>(m_uControlID))
        SetTooltip(tab.text, tab.itemRect);
    if (tab.tooltip)
        SetTabTooltip(m_hover, tab.text);
}

bool MTabCtrl::trackButtons(CPoint pt)
{
    if (!m_buttonImage.Image())
        return false;
    bool changed = false;
    for (const auto& record : m_tabs) {
        TabItemInfo& tab = record->info;
        const int state = PtInTabButton(pt, tab);
        changed = changed || state != tab.buttonState;
        tab.buttonState = state;
    }
    return changed;
}

int MTabCtrl::OnControlMouseMove(UINT, CPoint pt)
{
    const int before = m_hover;
    const bool inside = m_rect.PtInRect(pt) != FALSE;
    if (!inside) {
        m_hover = -1;
        m_lastTooltipTab = -1;
        dropTooltip();
    } else {
        if (TabRecord* hovered = m_tabs.At(m_hover); hovered && hovered->info.itemRect.PtInRect(pt)) {
            showHoveredTooltip(hovered->info);
            return 0;
        }
        m_hover = -1;
        ClearTooltip();
        m_hover = tabAt(pt);
    }
    const bool buttonsChanged = inside && trackButtons(pt);
    if ((m_hover != before || buttonsChanged) && m_visible) {
        repaintBar();
        return 1;
    }
    return 0;
}

int MTabCtrl::OnControlLButtonDown(UINT, CPoint pt)
{
    if (!m_buttonImage.Image() || !m_rect.PtInRect(pt))
        return 0;
    for (int i = 0; i < m_tabs.Count(); ++i) {
        TabItemInfo& tab = m_tabs[i].info;
        if (!PtInTabButton(pt, tab))
            continue;
        tab.buttonState = 2;
        repaintBar();
        SendMessageW(9, static_cast<UINT>(i), 0);
        return 1;
    }
    return 0;
}

int MTabCtrl::OnControlLButtonUp(UINT, CPoint pt)
{
    // A release the window cancels comes at a point off the client area.
    if (pt.x <= 0 || pt.y <= 0)
        return 0;
    if (const TabRecord* hovered = m_tabs.At(m_hover); hovered && hovered->info.itemRect.PtInRect(pt))
        SetSelectItem(m_hover);
    repaintBar();
    return 0;
}

int MTabCtrl::OnControlScroll(int step, UINT down, CPoint pt)
{
    const TabRecord* selected = m_tabs.At(m_selected);
    if (!selected || !selected->info.page || !selected->info.itemRect.PtInRect(pt))
        return 0;
    return selected->info.page->OnScroll(step, down, pt);
}

int MTabCtrl::OnControlKeyDown(UINT key, UINT repeat, UINT modifiers)
{
    MControl* page = pageOf(m_selected);
    return page ? page->OnKeyDown(key, repeat, modifiers) : 0;
}

// ---- the slide's clock

bool MTabCtrl::onWindowThread() const
{
    return !m_manager || m_manager->IsGuiThread();
}

int MTabCtrl::slideSpan() const
{
    return isRow() ? m_rect.Width() : m_rect.Height();
}

void MTabCtrl::startSlide()
{
    // The first selection has no page to leave.
    if (m_previousSelected < 0 || (!isRow() && !isColumn()))
        return;
    m_slideOffsetX = 0;
    m_slideOffsetY = 0;
    m_run = 1;
    if (!m_manager)
        return;
    if (!*m_slideClock)
        *m_slideClock = std::make_unique<SlideClock>(*this);
    MControl& clock = **m_slideClock;
    if (clock.GetManager() != m_manager)
        clock.SetManager(m_manager);
    m_manager->SetTimer(&clock, kSlideTimerId, kSlidePeriodMs);
}

void MTabCtrl::stopSlide()
{
    m_run = 0;
    m_leavingPicture.Release();
    m_enteringPicture.Release();
    if (MControl* clock = m_slideClock->get(); clock && clock->GetManager())
        clock->GetManager()->KillTimer(clock, kSlideTimerId);
}

int MTabCtrl::OnControlTimer()
{
    if (!onWindowThread())
        return 0;
    if (!m_run || m_previousSelected < 0) {
        stopSlide();
        return 0;
    }
    const int span = slideSpan();
    // Below ten pixels the tenth would be no step at all.
    const int step = std::max(1, span / kSlideSteps);
    int& offset = isRow() ? m_slideOffsetX : m_slideOffsetY;
    if (m_selected > m_previousSelected) {
        offset += step;
        if (offset >= span)
            stopSlide();
    } else {
        offset -= step;
        if (span + offset <= 0)
            stopSlide();
    }
    UpdateControl(m_updateRect, 0, 0);
    return 1;
}

} // namespace KOVA
