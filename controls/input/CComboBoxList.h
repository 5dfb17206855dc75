#pragma once
// The scrolling lists shown in the combo drop-down windows: rows of text, the hovered or
// selected row outlined, the panel's vertical bar along the right edge turned by the wheel,
// and a click on a row reported to the parent as (list id, 2, row, 0x13). CComboBoxList draws
// its text at the near edge, CComboBoxList2 centres it; nothing else differs.
//
// GUI thread only. The item lock is held while rows are appended, cleared, hit-tested and
// drawn, never while the parent is asked to repaint or notified.
#include "platform/Win32.h"

#include <memory>

#include "framework/ItemList.h"
#include "platform/CRect.h"
#include "platform/CString.h"
#include "platform/KovaExport.h"
#include "platform/NotCopied.h"

namespace KOVA {

// One combo item: its text (ListItem::text), an image path and a colour carried with it (no
// list draws them), and the caller's value. The list that holds it owns it.
struct KOVA_API ComboItemInfo : ListItem {
    CString imagePath;
    Gdiplus::Color colour { 0xFF000000 };
    long data { 0 };
};

class KOVA_API CComboBoxList : public ItemList {
public:
    CComboBoxList(MObject* parent, UINT id, CRect rect, int visible, int enabled);
    // A copy takes the value fields and no rows.
    CComboBoxList(const CComboBoxList& other);
    CComboBoxList& operator=(const CComboBoxList& other);
    ~CComboBoxList() override;

    const wchar_t* GetClassNameW() const override;
    void DrawControl(HDC& dc, CRect paintRect) override;
    // A move of the bar repaints; nothing goes to the parent. Always 1.
    LONG OnMessage(UINT id, UINT code, UINT wParam, LONG lParam) override;
    void SetControlRect(CRect rect) override;
    int OnControlMouseMove(UINT keys, CPoint pt) override;
    // A press selects the hovered row (or none); the release reports the selection.
    int OnControlLButtonDown(UINT keys, CPoint pt) override;
    int OnControlLButtonUp(UINT keys, CPoint pt) override;
    // Two line steps a notch, only when the rows do not fit.
    int OnControlScroll(int step, UINT down, CPoint pt) override;
    // The rows' text colour; the control's own text colour stays.
    void SetTextColor(Gdiplus::Color colour) override;

    // Appends without a repaint; the bar follows once there are more than five rows.
    int AddItem(const wchar_t* text, long data, const wchar_t* image, Gdiplus::Color colour);
    // 0; an empty list is left alone, otherwise it repaints.
    int DelAllItems();
    int GetListHeight();
    int GetRowHeight() const { return m_rowHeight; }

protected:
    CComboBoxList(MObject* parent, UINT id, CRect rect, int visible, int enabled, Gdiplus::StringAlignment alignment);

private:
    void drawRows(Gdiplus::Graphics& graphics, const RowWindow& rows, int width, const Gdiplus::Font* font);
    int shownWidth() const;

    int m_rowHeight { 30 };
    Gdiplus::StringAlignment m_alignment { Gdiplus::StringAlignmentNear };
    Gdiplus::Color m_rowTextColour { 0xFFFFFFFF };
    Gdiplus::Color m_highlightColour { 0xFFFFFFFF };
    Gdiplus::Color m_frameColour { 0xFFBD30FF };
};

class KOVA_API CComboBoxList2 : public CComboBoxList {
public:
    CComboBoxList2(MObject* parent, UINT id, CRect rect, int visible, int enabled);
    const wchar_t* GetClassNameW() const override;
};

} // namespace KOVA
