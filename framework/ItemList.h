#pragma once
// What the item lists of every family share (the LCD mode list and thumbnail grids among
// them): an owned list of records with an image and a caption, hover tracking over the places
// the last paint gave them, with the hand over the hovered item, a press that selects, a
// release that selects and reports code 2 with the index, and the panel's vertical bar along
// the right edge turned by the wheel ten line steps a notch. The subclasses lay the items out
// and draw them.
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

    // Where item places are measured from, in the control's coordinates: its top-left corner.
    virtual CPoint ItemOrigin() const;
    // The items a pointer can be over: all of them.
    virtual void HitRange(int& first, int& last) const;

    // Moves the hover for a pointer at pt (window client coordinates); takes the item lock.
    HoverMove TrackHover(CPoint pt);
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
    // The vertical bar shown exactly when contentHeight exceeds the control's height, with
    // that height as its range.
    void FitBarToContent(int contentHeight);
    // Ten line steps of the bar toward later items (down 1) or earlier ones, held within its
    // range; a repaint when the position moved.
    void TurnWheel(UINT down);
    // The control's face, size (pixels) and style, made again only when one of them changed;
    // fetch it before taking the item lock (it goes through the window's font cache).
    const Gdiplus::Font* ItemFont(int size);

    int m_hover { -1 };
    int m_selected { -1 };
    NotCopied<std::vector<std::unique_ptr<ListItem>>> m_items;
    CriticalSection m_itemsLock;

private:
    bool hoveredItemHolds(CPoint pt);
    void placeBar(MControl* bar, const CRect& place);

    // The pointer was inside at the last move: only leaving the control puts the arrow back.
    bool m_pointerInside { false };
    NotCopied<std::unique_ptr<Gdiplus::Font>> m_itemFont;
    CString m_itemFontFace;
    int m_itemFontSize { 0 };
    int m_itemFontStyle { 0 };
};

} // namespace KOVA
