// GUI thread only. Lock order: the item lock below the paint manager's list locks; the panel's
// controls lock and the item lock are never held together; a repaint request or a
// notification is made with the item lock let go.
#include "framework/ItemList.h"

#include <algorithm>

#include <shlwapi.h>

#include "controls/basic/LookPainting.h"
#include "framework/MRender.h"

namespace KOVA {

namespace {
constexpr UINT kClickCode = 2;
constexpr int kWheelSteps = 10;
} // namespace

// ---- items

ListItem::~ListItem() = default;

void ListItem::LoadImage(const CString& path)
{
    if (::PathFileExistsW(path))
        TakeImage(MRender::LoadImageFromFile(path));
}

void ListItem::TakeImage(Gdiplus::Image* taken)
{
    image.reset(taken);
    scaled.reset();
    imageWidth = taken ? static_cast<int>(taken->GetWidth()) : 0;
    imageHeight = taken ? static_cast<int>(taken->GetHeight()) : 0;
}

void ListItem::DropImage()
{
    image.reset();
    scaled.reset();
}

// ---- the list

ItemList::ItemList(MObject* parent, UINT id, CRect rect, int visible, int enabled)
    : MPanel(parent, id, rect, visible)
{
    m_enabled = enabled;
}

ItemList::ItemList(const ItemList& other) = default;
ItemList& ItemList::operator=(const ItemList& other) = default;

ItemList::~ItemList()
{
    ScopedLock lock(m_itemsLock);
    m_items->clear();
}

int ItemList::AppendItem(std::unique_ptr<ListItem> item)
{
    ScopedLock lock(m_itemsLock);
    m_items->push_back(std::move(item));
    return static_cast<int>(m_items->size()) - 1;
}

ListItem* ItemList::ItemAt(int index) const
{
    const auto& items = *m_items;
    return index >= 0 && index < static_cast<int>(items.size()) ? items[static_cast<size_t>(index)].get() : nullptr;
}

int ItemList::GetItemCount()
{
    ScopedLock lock(m_itemsLock);
    return static_cast<int>(m_items->size());
}

void ItemList::DropItems()
{
    {
        ScopedLock lock(m_itemsLock);
        m_items->clear();
    }
    m_hover = -1;
    m_selected = -1;
}

void ItemList::ClearList()
{
    DropItems();
    UpdateControl(1, 0);
}

void ItemList::SetSelectItem(int index)
{
    {
        ScopedLock lock(m_itemsLock);
        if (!ItemAt(index))
            return;
        m_selected = index;
    }
    UpdateControl(1, 0);
}

int ItemList::SetItemText(int index, CString text)
{
    ScopedLock lock(m_itemsLock);
    ListItem* item = ItemAt(index);
    if (!item)
        return 0;
    item->text = text;
    return 1;
}

CString ItemList::GetItemText(int index)
{
    ScopedLock lock(m_itemsLock);
    const ListItem* item = ItemAt(index);
    return item ? item->text : CString();
}

void ItemList::DeleteItemFile(int index)
{
    ScopedLock lock(m_itemsLock);
    if (ListItem* item = ItemAt(index))
        item->DropImage();
}

// ---- pointer

CPoint ItemList::ItemOrigin() const
{
    return m_rect.TopLeft();
}

void ItemList::HitRange(int& first, int& last) const
{
    first = 0;
    last = static_cast<int>(m_items->size()) - 1;
}

void ItemList::PointCursor(bool hand) const
{
    static const HCURSOR handCursor = ::LoadCursorW(nullptr, IDC_HAND);
    static const HCURSOR arrowCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    ::SetCursor(hand ? handCursor : arrowCursor);
}

CRect ItemList::PlaceOf(const ListItem& item) const
{
    CRect place(item.cell);
    const CPoint origin = ItemOrigin();
    place.OffsetRect(origin.x, origin.y);
    return place;
}

int ItemList::ItemIndexAt(CPoint pt)
{
    ScopedLock lock(m_itemsLock);
    int first = 0;
    int last = -1;
    HitRange(first, last);
    for (int i = std::max(first, 0); i <= last; ++i) {
        const ListItem* item = ItemAt(i);
        if (item && PlaceOf(*item).PtInRect(pt))
            return i;
    }
    return -1;
}

bool ItemList::hoveredItemHolds(CPoint pt)
{
    ScopedLock lock(m_itemsLock);
    const ListItem* item = ItemAt(m_hover);
    return item && PlaceOf(*item).PtInRect(pt);
}

ItemList::HoverMove ItemList::TrackHover(CPoint pt)
{
    if (!m_rect.PtInRect(pt)) {
        m_hover = -1;
        return HoverMove::Left;
    }
    if (hoveredItemHolds(pt))
        return HoverMove::Held;
    m_hover = ItemIndexAt(pt);
    return HoverMove::Searched;
}

int ItemList::OnControlMouseMove(UINT, CPoint pt)
{
    if (!m_enabled)
        return 0;
    const int before = m_hover;
    const HoverMove move = TrackHover(pt);
    if (move == HoverMove::Left) {
        // Every control hears every move: only the one the pointer just left may set the
        // arrow, or it would replace the hand over another control.
        if (m_pointerInside)
            PointCursor(false);
        m_pointerInside = false;
    } else {
        m_pointerInside = true;
        if (move == HoverMove::Held) {
            PointCursor(true);
            return 0;
        }
    }
    if (m_hover != before)
        UpdateControl(1, 0);
    return 1;
}

int ItemList::OnControlLButtonDown(UINT, CPoint pt)
{
    if (!m_enabled)
        return 0;
    if (m_rect.PtInRect(pt) && m_hover >= 0) {
        m_selected = m_hover;
        UpdateControl(1, 0);
    }
    return 1;
}

int ItemList::OnControlLButtonUp(UINT, CPoint pt)
{
    if (!m_enabled)
        return 0;
    if (m_rect.PtInRect(pt) && m_hover >= 0) {
        const int clicked = m_hover;
        m_selected = clicked;
        // The repaint is asked for before the parent hears: a handler may clear or delete the
        // list, and nothing of this control may be touched after it returns.
        UpdateControl(1, 0);
        SendMessageW(kClickCode, 0, clicked);
    }
    return 1;
}

// ---- the bar and the text

void ItemList::RepaintOnBarMove(UINT id, UINT code)
{
    if ((id == 1 || id == 2) && code == MScroll::kPositionChanged && m_visible)
        UpdateControl(1, 0);
}

void ItemList::PlaceBarOnRightEdge(const CRect& rect)
{
    placeBar(GetScrollVertical(), CRect(rect.right - m_barInset, rect.top, rect.right, rect.bottom));
}

void ItemList::DockBars(const CRect& rect)
{
    PlaceBarOnRightEdge(rect);
    placeBar(GetScrollHorizontal(), CRect(rect.left, rect.bottom - m_barInset, rect.right, rect.bottom));
}

void ItemList::placeBar(MControl* bar, const CRect& place)
{
    CRect before;
    {
        ScopedLock lock(m_controlsLock);
        before = bar->GetRect();
        bar->SetControlRect(place);
    }
    if (bar->IsVisible()) {
        CRect dirty = bar->GetRect();
        dirty.UnionRect(&dirty, &before);
        bar->UpdateControl(dirty, 1, 0);
    }
}

void ItemList::FitBarToContent(int contentHeight)
{
    CScrollVertical* bar = GetScrollVertical();
    const bool needed = contentHeight > m_rect.Height();
    if (needed != (bar->IsVisible() != 0)) {
        // A bar asks for its repaint only while shown: before it goes, after it comes.
        if (!needed)
            bar->UpdateControl(1, 0);
        bar->SetControlVisible(needed ? 1 : 0);
        if (needed)
            bar->UpdateControl(1, 0);
    }
    bar->SetScrollMaxRange(contentHeight);
}

void ItemList::TurnWheel(UINT down)
{
    CScrollVertical* bar = GetScrollVertical();
    const int before = bar->GetScrollCurrentPos();
    const int steps = down == 1 ? kWheelSteps : -kWheelSteps;
    const int position = std::max(0, std::min(before + steps * bar->GetScrollStep(), bar->GetScrollMaxRange()));
    bar->SetScrollCurrentPos(position);
    if (position != before)
        UpdateControl(1, 0);
}

const Gdiplus::Font* ItemList::ItemFont(int size)
{
    if (!*m_itemFont || m_itemFontFace != m_textFont || m_itemFontSize != size || m_itemFontStyle != m_fontStyle) {
        *m_itemFont = MakeTextFont(*this, static_cast<float>(size));
        m_itemFontFace = m_textFont;
        m_itemFontSize = size;
        m_itemFontStyle = m_fontStyle;
    }
    return m_itemFont->get();
}

} // namespace KOVA
