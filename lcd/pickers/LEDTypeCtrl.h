#pragma once
// The screen-type picker: one thumbnail from the skin folder per type of device screen, three
// to a row, with no captions and no scrolling.
#include "platform/Win32.h"

#include "lcd/pickers/LcdPickerGrid.h"
#include "platform/CRect.h"
#include "platform/CString.h"
#include "platform/KovaExport.h"

namespace KOVA {

struct KOVA_API LEDTypeItemInfo : ListItem {
    CString imageFile;
    int type { 0 };
};

class KOVA_API LEDTypeCtrl : public LcdPickerGrid {
public:
    LEDTypeCtrl(MObject* parent, UINT id, CRect rect, int visible, int enabled);
    LEDTypeCtrl(const LEDTypeCtrl& other);
    LEDTypeCtrl& operator=(const LEDTypeCtrl& other);
    ~LEDTypeCtrl() override;

    const wchar_t* GetClassNameW() const override;
    void DrawControl(HDC& dc, CRect paintRect) override;
    // Stores the rectangle and repaints.
    void SetControlRect(CRect rect) override;

    // imageFile is relative to the skin folder; a missing one leaves the item without image.
    void AddItem(CString imageFile, int type);
    // Shapes the cells from the next repaint on; asks for none.
    void SetLEDScreenType(int type) { m_screenType = type; }
    // The selected item's type; 0 (no screen type) while nothing is selected.
    int GetCurrentType();
    using LcdPickerGrid::DeleteItemFile;
};

} // namespace KOVA
