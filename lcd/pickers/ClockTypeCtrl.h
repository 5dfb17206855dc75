#pragma once
// The clock-face picker: thumbnails from the skin folder two to a row, each with its caption
// under it and the control's image behind the hovered and the selected face, scrolled by the
// panel's vertical bar over a content height of its own (the bar is shown from the first
// item, screen type or placement on and stays shown).
#include "platform/Win32.h"

#include <memory>

#include "lcd/pickers/LcdPickerGrid.h"
#include "platform/CPoint.h"
#include "platform/CRect.h"
#include "platform/CString.h"
#include "platform/KovaExport.h"
#include "platform/NotCopied.h"

namespace KOVA {

struct KOVA_API ClockTypeItemInfo : ListItem {
    // The host's; the control keeps it and never reads it.
    int id { 0 };
};

class KOVA_API ClockTypeCtrl : public LcdPickerGrid {
public:
    ClockTypeCtrl(MObject* parent, UINT id, CRect rect, int visible, int enabled);
    ClockTypeCtrl(const ClockTypeCtrl& other);
    ClockTypeCtrl& operator=(const ClockTypeCtrl& other);
    ~ClockTypeCtrl() override;

    const wchar_t* GetClassNameW() const override;
    void DrawControl(HDC& dc, CRect paintRect) override;
    // Also places the vertical bar along the right edge and shows it.
    void SetControlRect(CRect rect) override;
    // Ten rows of the bar per wheel notch, held within the bar's range.
    int OnControlScroll(int step, UINT down, CPoint pt) override;
    // The bar's moves repaint the grid; every message goes on to the parent.
    LONG OnMessage(UINT id, UINT code, UINT wParam, LONG lParam) override;

    // imageFile is relative to the skin folder; a missing one leaves the face without image.
    void AddItem(CString text, CString imageFile, int id);
    void SetLEDScreenType(int type);

private:
    static constexpr int kDefaultContentHeight = 600;

    void showBar();
    int drawingWidth() const;
    int verticalOffset() const;
    const Gdiplus::StringFormat& captionFormat();

    int m_contentHeight { kDefaultContentHeight };
    NotCopied<std::unique_ptr<Gdiplus::StringFormat>> m_captionFormat;
};

} // namespace KOVA
