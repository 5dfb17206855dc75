#pragma once
// What the channel and fan-count pickers share: equal cells side by side, each with a short
// text, on the checkable item list (a press toggles and reports code 1, a release reports
// code 2). How a cell looks and where lines break is the look's data.
//
// GUI thread only; the item lock guards the cells (see ItemList).
#include "platform/Win32.h"

#include "devices/cooling/CheckList.h"
#include "platform/CRect.h"
#include "platform/CString.h"
#include "platform/KovaExport.h"

namespace KOVA {

struct CellLook {
    bool round;        // a circle inscribed in the cell, else the square cell
    int perFirstLine;  // cells on the first line; the rest share the second (0: one line)
    // Round cells: the ring and the bright fill mark a checked cell. Square cells: the
    // outline and the bright fill mark the selected cell.
    bool marksChecked;
};

class KOVA_API CellPicker : public CheckList {
public:
    CellPicker(MObject* parent, UINT id, CRect rect, int visible, int enabled, const CellLook& look);
    // A copy takes the value fields, a lock of its own and no cells.
    CellPicker(const CellPicker& other) = default;
    CellPicker& operator=(const CellPicker& other) = default;
    ~CellPicker() override;

    void DrawControl(HDC& dc, CRect paintRect) override;

protected:
    void AddCell(CString text, int value, int check);

private:
    void drawCell(Gdiplus::Graphics& graphics, const CheckItem& cell, int index, const Gdiplus::Font* font);

    const CellLook* m_look;
    int m_cellWidth { 38 };
    int m_cellHeight { 38 };
};

} // namespace KOVA
