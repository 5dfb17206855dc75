// GUI thread only. Lock order: the item lock below the paint manager's list locks; the panel's
// controls lock and the item lock are never held together; a repaint request or a
// notification is made with the item lock let go.
#include "framework/ItemList.h"

#include <algorithm>
#include <climits>

#include <shlwapi.h>

#include "framework/MRender.h"
#include "framework/TextFont.h"

namespace KOVA {

namespace {
constexpr UINT kClickCode = 2;
} // namespace

// ---- grid and row window

GridPen::GridPen(int left, int top, int stepX, int rowStep, int wrapAt)
    : left(left), stepX(stepX), rowStep(rowStep), wrapAt(wrapAt), x(left), y(top)
{
}

CRect GridPen::Place(int width, int height)
{
    const CRect cell(x, y, x + width, y + height);
    x += stepX;
    if (x >= wrapAt) {
        x = left;
        y += rowStep;
    }
    return cell;
}

int GridPen::RowsFor(int count) const
{
    if (count <= 0)
        return 0;
    GridPen pen(*this);
    const int top = pen.y;
    for (int i = 0; i < count - 1; ++i)
        pen.Place(0, 0);
    return rowStep > 0 ? (pen.y - top) / rowStep + 1 : 1;
}

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
    DropLooks();
    imageWidth = taken ? static_cast<int>(taken->GetWidth()) : 0;
    imageHeight = taken ? static_cast<int>(taken->GetHeight()) : 0;
}

void ListItem::DropImage()
{
    image.reset();
    scaled.reset();
    DropLooks();
}

void ListItem::DropLooks()
{
    looks[0].reset();
    looks[1].reset();
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
    item->DropLooks();
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
    return m_rowWindowed ? CPoint(m_rect.left, m_rect.top - m_rows.sub) : m_rect.TopLeft();
}

// The rows of the last paint may have gone since (a deletion, a cleared list): only those
// still there are searched.
void ItemList::HitRange(int& first, int& last) const
{
    const int count = static_cast<int>(m_items->size());
    first = m_rowWindowed ? m_rows.first : 0;
    last = m_rowWindowed ? std::min(m_rows.last, count - 1) : count - 1;
    if (first < 0)
        last = -1;
}

bool ItemList::TakesPointer(const ListItem&) const
{
    return true;
}

bool ItemList::HandOver(const ListItem&, const CRect&, CPoint) const
{
    return true;
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
        if (item && TakesPointer(*item) && PlaceOf(*item).PtInRect(pt))
            return i;
    }
    return -1;
}

int ItemList::hoveredItemHolds(CPoint pt)
{
    ScopedLock lock(m_itemsLock);
    const ListItem* item = ItemAt(m_hover);
    if (!item)
        return -1;
    const CRect place = PlaceOf(*item);
    if (!place.PtInRect(pt))
        return -1;
    return HandOver(*item, place, pt) ? 1 : 0;
}

ItemList::HoverMove ItemList::TrackHover(CPoint pt, bool* hand)
{
    if (!m_rect.PtInRect(pt)) {
        m_hover = -1;
        return HoverMove::Left;
    }
    const int holds = hoveredItemHolds(pt);
    if (hand)
        *hand = holds == 1;
    if (holds >= 0)
        return HoverMove::Held;
    m_hover = ItemIndexAt(pt);
    return HoverMove::Searched;
}

int ItemList::OnControlMouseMove(UINT, CPoint pt)
{
    if (!m_enabled)
        return 0;
    const int before = m_hover;
    bool hand = true;
    const HoverMove move = TrackHover(pt, &hand);
    if (move == HoverMove::Left) {
        // Every control hears every move: only the one the pointer just left may set the
        // arrow, or it would replace the hand over another control.
        if (m_pointerInside)
            PointCursor(false);
        m_pointerInside = false;
    } else {
        m_pointerInside = true;
        if (move == HoverMove::Held) {
            PointCursor(hand);
            return 0;
        }
        // The hand goes with the item the pointer left, also when the search lands on the
        // next one at once: there it comes back on the next move.
        if (before >= 0)
            PointCursor(false);
    }
    if (m_hover != before)
        UpdateControl(1, 0);
    return 1;
}

int ItemList::OnControlLButtonDown(UINT, CPoint pt)
{
    if (!m_enabled)
        return 0;
    if (m_rect.PtInRect(pt) && m_hover >= 0)
        PressItem(m_hover, pt);
    return 1;
}

void ItemList::PressItem(int index, CPoint)
{
    m_selected = index;
    UpdateControl(1, 0);
}

int ItemList::OnControlLButtonUp(UINT, CPoint pt)
{
    if (!m_enabled)
        return 0;
    if (m_rect.PtInRect(pt) && m_hover >= 0)
        ReleaseItem(m_hover, pt);
    return 1;
}

void ItemList::ReleaseItem(int index, CPoint)
{
    m_selected = index;
    Report(kClickCode, 0, index);
}

void ItemList::Report(UINT code, UINT wParam, LONG lParam)
{
    // The repaint is asked for before the parent hears: a handler may clear or delete the
    // list, and nothing of this control may be touched after it returns.
    UpdateControl(1, 0);
    SendMessageW(code, wParam, lParam);
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

void ItemList::TurnWheel(UINT down, int steps)
{
    CScrollVertical* bar = GetScrollVertical();
    const int before = bar->GetScrollCurrentPos();
    const int move = (down == 1 ? steps : -steps) * bar->GetScrollStep();
    const int position = std::max(0, std::min(before + move, bar->GetScrollMaxRange()));
    bar->SetScrollCurrentPos(position);
    if (position != before)
        UpdateControl(1, 0);
}

// ---- rows scrolled by the bar

ItemList::RowWindow ItemList::PlaceRows(int rowHeight, int height)
{
    const int count = GetItemCount();
    RowWindow rows;
    rows.stripHeight = height;
    if (rowHeight <= 0) {
        rows.first = 0;
        m_rows = rows;
        return rows;
    }
    // Counted wide: many tall rows would pass the end of an int.
    rows.offset = ScrolledOffset(static_cast<int>(std::min<long long>(static_cast<long long>(count) * rowHeight, INT_MAX)));
    rows.first = rows.offset / rowHeight;
    // Only rows that exist: an empty list shows none, whatever the bar says.
    rows.last = std::min((height + rows.offset) / rowHeight, count - 1);
    rows.sub = rows.offset - rowHeight * rows.first;
    rows.stripHeight = std::max(height, (rows.last - rows.first + 1) * rowHeight);
    m_rows = rows;
    return rows;
}

void ItemList::FitBarToContent(int content)
{
    CScrollVertical* bar = GetScrollVertical();
    const bool needed = content > m_rect.Height();
    if (needed != (bar->IsVisible() != 0)) {
        // A bar asks for its repaint only while shown: before it goes, after it comes.
        if (!needed)
            bar->UpdateControl(1, 0);
        bar->SetControlVisible(needed ? 1 : 0);
        if (needed)
            bar->UpdateControl(1, 0);
    }
    bar->SetScrollMaxRange(content);
}

bool ItemList::beginRowStrip(HDC& dc, int width, const RowWindow& rows)
{
    if (GetUpdate() && m_memPicture.width() == width && m_memPicture.height() == rows.stripHeight)
        return false;
    UpdateMemDC(dc, width, rows.stripHeight);
    HDC strip = m_memPicture.dc();
    ::BitBlt(strip, 0, 0, width, rows.stripHeight, nullptr, 0, 0, WHITENESS);
    ::BitBlt(strip, 0, rows.sub, width, m_rect.Height(), dc, m_rect.left, m_rect.top, SRCCOPY);
    ::SetBkMode(strip, TRANSPARENT);
    return true;
}

int ItemList::ScrolledOffset(int content)
{
    const CScrollVertical* bar = GetScrollVertical();
    const int range = bar->GetScrollMaxRange();
    const long long spare = std::max(0, content - m_rect.Height());
    m_scrollOffsetY = range > 0 ? static_cast<int>(spare * bar->GetScrollCurrentPos() / range) : 0;
    return m_scrollOffsetY;
}

int ItemList::ViewWidth() const
{
    return m_rect.Width() - (GetScrollVertical()->IsVisible() ? m_barInset : 0);
}

Gdiplus::SolidBrush& ItemList::ItemBrush(Gdiplus::ARGB colour)
{
    if (!*m_itemBrush)
        *m_itemBrush = std::make_unique<Gdiplus::SolidBrush>(Gdiplus::Color(colour));
    else
        (*m_itemBrush)->SetColor(Gdiplus::Color(colour));
    return **m_itemBrush;
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

// ---- lists that scroll their items

ScrollingItemList::ScrollingItemList(MObject* parent, UINT id, CRect rect, int visible, int enabled)
    : ItemList(parent, id, rect, visible, enabled)
{
}

ScrollingItemList::ScrollingItemList(const ScrollingItemList& other) = default;
ScrollingItemList& ScrollingItemList::operator=(const ScrollingItemList& other) = default;
ScrollingItemList::~ScrollingItemList() = default;

LONG ScrollingItemList::OnMessage(UINT id, UINT code, UINT wParam, LONG lParam)
{
    RepaintOnBarMove(id, code);
    return ItemList::OnMessage(id, code, wParam, lParam);
}

void ScrollingItemList::SetControlRect(CRect rect)
{
    m_rect = rect;
    PlaceBarOnRightEdge(rect);
    FitBarToContent(ContentHeight());
}

int ScrollingItemList::OnControlScroll(int, UINT down, CPoint)
{
    TurnWheel(down);
    return 1;
}

bool ScrollingItemList::BeginItemPicture(HDC& dc, int width, int height)
{
    if (GetUpdate() && m_memPicture.width() == width && m_memPicture.height() == height)
        return false;
    UpdateMemDC(dc, width, height);
    MRender::BitBlt(m_memPicture.dc(), 0, 0, width, height, dc, m_rect.left, m_rect.top);
    return true;
}

} // namespace KOVA
