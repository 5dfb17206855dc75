#pragma once
// The list the user picks an LCD screen mode from: rows of a fixed height with an icon from
// the skin folder and a caption, scrolled by the panel's vertical bar and the wheel. Only the
// rows in view are drawn: the memory picture holds them from the first visible row on, and is
// shown from the part of that row hidden above the control's top edge.
#include "platform/Win32.h"

#include <memory>

#include "framework/ItemList.h"
#include "platform/CPoint.h"
#include "platform/CRect.h"
#include "platform/CString.h"
#include "platform/KovaExport.h"
#include "platform/NotCopied.h"

namespace KOVA {

struct KOVA_API LEDModeItemInfo : ListItem {
    // The LED mode the row stands for (LEDModeCtrl::SetLEDMode), the host's.
    int mode { 0 };
};

class KOVA_API LEDModeList : public ItemList {
public:
    // The enabled flag is not read: a list starts enabled.
    LEDModeList(MObject* parent, UINT id, CRect rect, int visible, int enabled);
    // A copy takes the value fields, a lock of its own and no rows.
    LEDModeList(const LEDModeList& other);
    LEDModeList& operator=(const LEDModeList& other);
    ~LEDModeList() override;

    const wchar_t* GetClassNameW() const override;
    void DrawControl(HDC& dc, CRect paintRect) override;
    // The bar's moves repaint the list; every message goes on to the parent.
    LONG OnMessage(UINT id, UINT code, UINT wParam, LONG lParam) override;
    // Places the bar along the right edge and lays the rows out again.
    void SetControlRect(CRect rect) override;
    int OnControlScroll(int step, UINT down, CPoint pt) override;

    // image is relative to the skin folder; a missing one leaves the row without icon.
    void AddItem(CString text, CString image, int mode);
    // Also hides the bar and forgets the scroll state.
    void ClearList() override;
    // The mode of the selected row; 1 while no row is selected.
    int GetCurLEDMode();

    static constexpr int kRowHeight = 36;

private:
    // Content height from the rows, the bar shown exactly when it does not fit, its range.
    void layOut();
    void drawRows(Gdiplus::Graphics& graphics, const RowWindow& rows, int viewWidth, const Gdiplus::Font* font);
    const Gdiplus::StringFormat& textFormat();

    int m_rowHeight { kRowHeight };
    NotCopied<std::unique_ptr<Gdiplus::StringFormat>> m_textFormat;
    NotCopied<std::unique_ptr<Gdiplus::SolidBrush>> m_fillBrush;
};

} // namespace KOVA
