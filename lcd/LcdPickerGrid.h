#pragma once
// What the LCD thumbnail grids share (the clock-face picker, the screen-type picker, the user
// media list): an owned list of items with an image and a caption, hover tracking over the
// cells the last paint laid out, with the hand over the hovered cell, a press that selects, a
// release that selects and reports code 2 with the index, and cells shaped like the screen
// (round for type 1, 4:3 for type 2, square otherwise) outlined in the selection colour when
// hovered or selected. The subclasses lay the cells out and draw them.
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

// One cell of a grid: its caption, its owned image (null when none could be loaded) and where
// the last paint put it, relative to the control's top-left corner.
struct KOVA_API LcdPickerItem {
    LcdPickerItem() = default;
    virtual ~LcdPickerItem();
    LcdPickerItem(const LcdPickerItem&) = delete;
    LcdPickerItem& operator=(const LcdPickerItem&) = delete;

    // Loads the file (skin-relative paths are the caller's business) when it exists; the
    // image stays null otherwise.
    void LoadImage(const CString& path);
    void DropImage();

    CString text;
    std::unique_ptr<Gdiplus::Image> image;
    int imageWidth { 0 };
    int imageHeight { 0 };
    RECT cell {};
};

class KOVA_API LcdPickerGrid : public MPanel {
public:
    LcdPickerGrid(MObject* parent, UINT id, CRect rect, int visible, int enabled);
    // A copy takes the value fields, a lock of its own and no items.
    LcdPickerGrid(const LcdPickerGrid& other);
    LcdPickerGrid& operator=(const LcdPickerGrid& other);
    ~LcdPickerGrid() override;

    // Nothing of these changes while the control is disabled (result 0).
    int OnControlMouseMove(UINT keys, CPoint pt) override;
    int OnControlLButtonDown(UINT keys, CPoint pt) override;
    int OnControlLButtonUp(UINT keys, CPoint pt) override;

    void ClearList();
    // A valid index only; reports nothing.
    void SetSelectItem(int index);
    int GetSelectItem() const { return m_selected; }
    // 1 for a valid index, else 0.
    int SetItemText(int index, CString text);
    // Empty for an invalid index.
    CString GetItemText(int index);
    int GetItemCount();

protected:
    // Appends the record and takes ownership of it.
    void AppendItem(std::unique_ptr<LcdPickerItem> item);
    // Frees a valid item's image; the item keeps its place. No repaint request.
    void DeleteItemFile(int index);
    // The record of a valid index, else null; call under the item lock.
    LcdPickerItem* ItemAt(int index) const;

    bool IsHighlighted(int index) const { return index == m_selected || index == m_hover; }
    // Width × width, or width × 480/640 for the 4:3 screen.
    int CellHeight(int cellWidth) const;
    // Remakes the memory picture over the pixels under the control when it is stale and has
    // paint (Gdiplus::Graphics&, items) draw the items into it, smoothed, under the item lock;
    // then copies shownWidth columns of it onto the control's place.
    template <class Paint>
    void DrawGrid(HDC& dc, int shownWidth, Paint paint);
    // The round screen's items show inside the ellipse of their cell (it replaces any clip).
    void ClipToCell(Gdiplus::Graphics& graphics, const CRect& cell) const;
    // The outline of a hovered or selected cell in the selection colour, 2 px wide.
    void DrawOutline(Gdiplus::Graphics& graphics, const CRect& cell);
    static void DrawStretched(Gdiplus::Graphics& graphics, const LcdPickerItem& item, const CRect& target);

    int m_screenType { 1 };
    int m_hover { -1 };
    int m_selected { -1 };
    NotCopied<std::vector<std::unique_ptr<LcdPickerItem>>> m_items;
    CriticalSection m_itemsLock;

private:
    bool beginRepaint(HDC& dc);
    void showPicture(HDC& dc, int shownWidth) const;
    int itemAt(CPoint pt);
    bool hoveredItemHolds(CPoint pt);
    void pointCursor(bool hand) const;

    // The pointer was inside at the last move: only leaving the control puts the arrow back.
    bool m_pointerInside { false };
    NotCopied<std::unique_ptr<Gdiplus::Pen>> m_outlinePen;
    Gdiplus::ARGB m_outlineColour { 0 };
};

template <class Paint>
void LcdPickerGrid::DrawGrid(HDC& dc, int shownWidth, Paint paint)
{
    if (beginRepaint(dc) && GetItemCount() > 0) {
        Gdiplus::Graphics graphics(m_memPicture.dc());
        graphics.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
        ScopedLock lock(m_itemsLock);
        paint(graphics, *m_items);
    }
    showPicture(dc, shownWidth);
}

} // namespace KOVA
