#pragma once
// What the channel and fan-count pickers share: equal cells side by side, each with a short
// text, a value and a check state, on the item list (hover with the hand, a release that
// selects and reports code 2). A press selects the cell, toggles its check state and reports
// code 1 with the index. How a cell looks and where lines break is the look's data.
//
// GUI thread only; the item lock guards the cells (see ItemList).
#include "platform/Win32.h"

#include "framework/ItemList.h"
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

class KOVA_API CellPicker : public ItemList {
public:
    CellPicker(MObject* parent, UINT id, CRect rect, int visible, int enabled, const CellLook& look);
    // A copy takes the value fields, a lock of its own and no cells.
    CellPicker(const CellPicker& other) = default;
    CellPicker& operator=(const CellPicker& other) = default;
    ~CellPicker() override;

    // Any index, also one without a cell; a repaint when it changed.
    void SetSelectItem(int index);
    int SetItemCheck(int index, int check);
    int GetItemCheck(int index);

    void DrawControl(HDC& dc, CRect paintRect) override;
    int OnControlLButtonDown(UINT keys, CPoint pt) override;

protected:
    void AddCell(CString text, int value, int check);
    void SetAllChecks(int check);

private:
    struct Cell : ListItem {
        int value { 0 };
        int check { 0 };
    };
    Cell* cellAt(int index) const { return static_cast<Cell*>(ItemAt(index)); }
    void drawCell(Gdiplus::Graphics& graphics, const Cell& cell, int index, const Gdiplus::Font* font);

    const CellLook* m_look;
    int m_cellWidth { 38 };
    int m_cellHeight { 38 };
};

} // namespace KOVA
