#pragma once
// What the LCD thumbnail grids share (the clock-face picker, the screen-type picker, the user
// media list) beyond the item list: cells shaped like the screen (round for type 1, 4:3 for
// type 2, square otherwise) outlined in the selection colour when hovered or selected, drawn
// into the control's memory picture over the pixels under it. The subclasses lay the cells out.
//
// GUI thread only; the item lock is held while the cells are drawn.
#include "platform/Win32.h"

#include <memory>

#include "framework/ItemList.h"
#include "platform/CPoint.h"
#include "platform/CRect.h"
#include "platform/CString.h"
#include "platform/KovaExport.h"
#include "platform/NotCopied.h"

namespace KOVA {

class KOVA_API LcdPickerGrid : public ItemList {
public:
    LcdPickerGrid(MObject* parent, UINT id, CRect rect, int visible, int enabled);
    // A copy takes the value fields, a lock of its own and no items.
    LcdPickerGrid(const LcdPickerGrid& other);
    LcdPickerGrid& operator=(const LcdPickerGrid& other);
    ~LcdPickerGrid() override;

protected:
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
    // The item's image stretched over target, through a copy kept at target's size.
    static void DrawStretched(Gdiplus::Graphics& graphics, ListItem& item, const CRect& target);
    // A cell of the plain grids: item placed in cell and drawn over all of it inside the
    // cell's clip, outlined when index is hovered or selected.
    void DrawCell(Gdiplus::Graphics& graphics, ListItem& item, int index, const CRect& cell);

    int m_screenType { 1 };

private:
    bool beginRepaint(HDC& dc);
    void showPicture(HDC& dc, int shownWidth) const;
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
