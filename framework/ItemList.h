#pragma once
// What the item lists of every family share (the LCD mode list and thumbnail grids, the
// cooling pages' tiles, cards and lists among them): an owned list of records with an image and
// a caption, hover tracking over the places the last paint gave them (the first in list order
// wins; a subclass may keep some items from the pointer), with the hand over the hovered item
// (or a part of it) and the arrow again once the pointer leaves that item, a press that
// selects, a release that selects and reports code 2 with the index (both hooks a subclass may
// change; a report always comes after the repaint request),
// and the panel's vertical bar along the right edge turned by the wheel ten line steps a notch.
// For the layouts: a grid pen, the scrolled offset of rows taller than the list, and the window
// of rows in view. The subclasses lay the items out and draw them.
//
// Lists of equal rows scrolled by that bar (the drop-down lists, the list boxes, the mode
// lists) share one visible-row window: each paint works out from the bar which rows show and
// how far the first is scrolled above the top edge, lays out and draws only those into a strip
// kept until the list is marked for update, and the hover search looks at those rows only.
//
// GUI thread only. The item lock is taken below the paint manager's list locks (painting) and
// is never held while the parent is asked to repaint or notified.
#include "platform/Win32.h"

#include <memory>
#include <vector>

#include "framework/MPanel.h"
#include "platform/CPoint.h"
#include "platform/CRect.h"
#include "platform/CString.h"
#include "platform/CriticalSection.h"
#include "platform/KovaExport.h"
#include "platform/NotCopied.h"

namespace KOVA {

// Walks a grid of equal cells left to right and row by row: after each cell the pen moves
// stepX right, and once it reaches wrapAt it goes back to left, rowStep lower. The lists that
// lay out cells count their rows by the same walk, so the scroll range always matches what is
// painted.
struct KOVA_API GridPen {
    GridPen(int left, int top, int stepX, int rowStep, int wrapAt);
    // The cell of width × height at the pen; the pen moves on.
    CRect Place(int width, int height);
    // Rows that count cells take from this pen's start (0 for none).
    int RowsFor(int count) const;

    int left;
    int stepX;
    int rowStep;
    int wrapAt;
    int x;
    int y;
};

// One item: its caption, its owned image (null when none could be loaded) and where the last
// paint put it, relative to the top-left corner the subclass hit-tests from.
struct KOVA_API ListItem {
    ListItem() = default;
    virtual ~ListItem();
    ListItem(const ListItem&) = delete;
    ListItem& operator=(const ListItem&) = delete;

    // Loads the file (skin-relative paths are the caller's business) when it exists; the
    // image stays null otherwise.
    void LoadImage(const CString& path);
    // Takes image (null for none) and its pixel size.
    void TakeImage(Gdiplus::Image* taken);
    void DropImage();

    CString text;
    std::unique_ptr<Gdiplus::Image> image;
    int imageWidth { 0 };
    int imageHeight { 0 };
    RECT cell {};
    // The image at the size it was last drawn: stretching the whole image again on every
    // repaint costs milliseconds a cell. Goes with the image.
    std::unique_ptr<Gdiplus::Bitmap> scaled;
    // The whole item as a list that keeps finished cells drew it, plain and lit: text costs
    // milliseconds a line here. Goes with any change of the item.
    std::unique_ptr<Gdiplus::Bitmap> looks[2];
    void DropLooks();
};

class KOVA_API ItemList : public MPanel {
public:
    ItemList(MObject* parent, UINT id, CRect rect, int visible, int enabled);
    // A copy takes the value fields, a lock of its own and no items.
    ItemList(const ItemList& other);
    ItemList& operator=(const ItemList& other);
    ~ItemList() override;

    // Nothing of these changes while the control is disabled (result 0).
    int OnControlMouseMove(UINT keys, CPoint pt) override;
    int OnControlLButtonDown(UINT keys, CPoint pt) override;
    int OnControlLButtonUp(UINT keys, CPoint pt) override;

    virtual void ClearList();
    // A valid index only; reports nothing.
    void SetSelectItem(int index);
    int GetSelectItem() const { return m_selected; }
    // 1 for a valid index, else 0.
    int SetItemText(int index, CString text);
    // Empty for an invalid index.
    CString GetItemText(int index);
    int GetItemCount();

protected:
    // Where a move leaves the hover (TrackHover).
    enum class HoverMove {
        Left,     // the point is outside the control: no hover
        Held,     // the hovered item still holds the point: unchanged
        Searched, // the first item holding the point, or none
    };

    // Appends the record, takes ownership of it and returns its index.
    int AppendItem(std::unique_ptr<ListItem> item);
    // Empties the list and forgets hover and selection; no repaint request.
    void DropItems();
    // Frees a valid item's image; the item keeps its place. No repaint request.
    void DeleteItemFile(int index);
    // The record of a valid index, else null; call under the item lock.
    ListItem* ItemAt(int index) const;
    // The same as the subclass's own record type (every item of a list is of one type).
    template <class Entry>
    Entry* EntryAt(int index) const
    {
        return static_cast<Entry*>(ItemAt(index));
    }
    bool IsHighlighted(int index) const { return index == m_selected || index == m_hover; }
    // For the lists that are plain controls, not panels: the second click of a double click
    // arrives as another press (a panel keeps it a double click).
    void TakeDoubleClickAsPress() { m_dblClk = 0; }

    // Where item places are measured from, in the control's coordinates: its top-left corner.
    virtual CPoint ItemOrigin() const;
    // The items a pointer can be over: all of them.
    virtual void HitRange(int& first, int& last) const;
    // Whether the pointer can light the item at all (a disabled tile cannot): such items are
    // passed over by the hover search.
    virtual bool TakesPointer(const ListItem& item) const;
    // Whether the hand shows at pt over the hovered item (window coordinates); the whole item
    // unless a subclass keeps it to a part.
    virtual bool HandOver(const ListItem& item, const CRect& place, CPoint pt) const;
    // A press inside the control over the hovered item: selects it and repaints.
    virtual void PressItem(int index, CPoint pt);
    // A release inside the control over the hovered item: selects it and reports (2, 0, index).
    virtual void ReleaseItem(int index, CPoint pt);
    // Repaints, then tells the parent: a handler may delete this control, and nothing of it
    // may be touched after the notification.
    void Report(UINT code, UINT wParam, LONG lParam);

    // Moves the hover for a pointer at pt (window client coordinates); takes the item lock.
    // With hand, also whether the hand shows over a hovered item that still holds pt.
    HoverMove TrackHover(CPoint pt, bool* hand = nullptr);
    // The first item in list order whose place holds pt, else -1; takes the item lock.
    int ItemIndexAt(CPoint pt);
    // The item's place in window client coordinates; call under the item lock.
    CRect PlaceOf(const ListItem& item) const;
    void PointCursor(bool hand) const;

    // A position change of the panel's own bars (ids 1 and 2, code 8) repaints a shown list.
    void RepaintOnBarMove(UINT id, UINT code);
    // The vertical bar goes along the right edge of rect, its old and new places repainted.
    void PlaceBarOnRightEdge(const CRect& rect);
    // The same, and the horizontal bar along the bottom edge.
    void DockBars(const CRect& rect);
    // Line steps of the bar toward later items (down 1) or earlier ones, held within its
    // range; a repaint when the position moved.
    static constexpr int kWheelSteps = 10;
    void TurnWheel(UINT down, int steps = kWheelSteps);

    // ---- rows scrolled by the vertical bar
    struct RowWindow {
        int offset { 0 };       // content pixels scrolled above the list's top edge
        int first { -1 };       // first and last row shown; -1 before the first paint
        int last { -1 };
        int sub { 0 };          // how far the first shown row reaches above the top edge
        int stripHeight { 0 };  // the picture the shown rows are drawn into
    };
    // From now on hit tests search the rows of the last paint only, at the places that paint
    // gave them (in the strip: row k of the window at k × row height) shifted by the list's
    // top-left corner less the window's sub.
    void UseRowWindow() { m_rowWindowed = true; }
    // The window of rows rowHeight high in a list height high at the bar's position; also the
    // panel's vertical scroll offset. The list keeps it for its hit tests.
    RowWindow PlaceRows(int rowHeight, int height);
    // Until the next paint no row is hit.
    void ForgetRows() { m_rows = RowWindow(); }
    const RowWindow& Rows() const { return m_rows; }
    // The bar shows exactly when content is taller than the list (the bar's repaint asked for
    // when that changes), and content becomes its range.
    void FitBarToContent(int content);
    // When the list is marked for update: a strip width × the window's strip height, white,
    // the pixels under the list copied into its rows sub .. sub + height, then
    // paint (Gdiplus::Graphics&) draws the rows with the item lock held. On every paint the
    // strip's rows from sub are copied onto the list.
    template <class Paint>
    void DrawRowStrip(HDC& dc, int width, const RowWindow& rows, Paint paint);
    // How far content pixels of rows are scrolled by the vertical bar, (content − height) ×
    // position / range, kept as the panel's vertical offset: never below 0 (content shorter
    // than the list stays at the top) and 0 while the bar has no range.
    int ScrolledOffset(int content);
    // The list's width less the bar's while the bar shows.
    int ViewWidth() const;
    // The control's face, size (pixels) and style, made again only when one of them changed;
    // fetch it before taking the item lock (it goes through the window's font cache).
    const Gdiplus::Font* ItemFont(int size);
    // The list's one solid brush, in colour now.
    Gdiplus::SolidBrush& ItemBrush(Gdiplus::ARGB colour);

    int m_hover { -1 };
    int m_selected { -1 };
    NotCopied<std::vector<std::unique_ptr<ListItem>>> m_items;
    CriticalSection m_itemsLock;

private:
    bool beginRowStrip(HDC& dc, int width, const RowWindow& rows);
    // 1 when the hovered item holds pt with the hand over it, 0 without the hand, -1 when it
    // does not hold pt.
    int hoveredItemHolds(CPoint pt);
    void placeBar(MControl* bar, const CRect& place);

    // The pointer was inside at the last move: of the controls outside the pointer, only the
    // one it just left puts the arrow back.
    bool m_pointerInside { false };
    NotCopied<std::unique_ptr<Gdiplus::Font>> m_itemFont;
    NotCopied<std::unique_ptr<Gdiplus::SolidBrush>> m_itemBrush;
    CString m_itemFontFace;
    int m_itemFontSize { 0 };
    int m_itemFontStyle { 0 };
    bool m_rowWindowed { false };
    RowWindow m_rows;
};

template <class Paint>
void ItemList::DrawRowStrip(HDC& dc, int width, const RowWindow& rows, Paint paint)
{
    if (beginRowStrip(dc, width, rows)) {
        Gdiplus::Graphics graphics(m_memPicture.dc());
        ScopedLock lock(m_itemsLock);
        paint(graphics);
    }
    ::BitBlt(dc, m_rect.left, m_rect.top, width, m_rect.Height(), m_memPicture.dc(), 0, rows.sub, SRCCOPY);
}

// A list that scrolls its own items by the panel's vertical bar: the bar stands along the
// right edge, shown exactly when the content does not fit, its range the content height; its
// moves repaint the list and the wheel turns it ten line steps a notch.
class KOVA_API ScrollingItemList : public ItemList {
public:
    ScrollingItemList(MObject* parent, UINT id, CRect rect, int visible, int enabled);
    ScrollingItemList(const ScrollingItemList& other);
    ScrollingItemList& operator=(const ScrollingItemList& other);
    ~ScrollingItemList() override;

    // The bar's moves repaint the list; every message goes on to the parent unchanged.
    LONG OnMessage(UINT id, UINT code, UINT wParam, LONG lParam) override;
    // Places the bar and fits it to the content; the list itself is not repainted.
    void SetControlRect(CRect rect) override;
    int OnControlScroll(int step, UINT down, CPoint pt) override;

protected:
    // Pixels of all the items laid out.
    virtual int ContentHeight() = 0;
    // The memory picture remade at width × height over the pixels under the control when the
    // framework marked the list stale or the size changed: true when the items must be drawn.
    bool BeginItemPicture(HDC& dc, int width, int height);
};

} // namespace KOVA
