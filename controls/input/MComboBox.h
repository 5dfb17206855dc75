#pragma once
// The drop-down selector: its face shows the current item's text over a four-frame skin, and
// a release on it opens a drop-down window just below it listing every item; choosing a row
// there makes that item current and reports (combo id, 2, index, 0) to the parent. The combo
// keeps its own items; each opening builds a fresh drop-down from them.
//
// GUI thread only. The item lock guards the item vector and is held while the drop-down is
// filled; it is never held while the parent is notified.
#include "platform/Win32.h"

#include <memory>
#include <vector>

#include "controls/basic/ButtonBase.h"
#include "controls/input/CComboBoxList.h"
#include "platform/CRect.h"
#include "platform/CString.h"
#include "platform/CriticalSection.h"
#include "platform/KovaExport.h"
#include "platform/NotCopied.h"

namespace KOVA {

class CComboBoxWnd;

class KOVA_API MComboBox : public ButtonBase {
public:
    MComboBox(MObject* parent, UINT id, CRect rect, int visible, int enabled);
    // A copy takes the value fields: no items, no drop-down, a lock of its own.
    MComboBox(const MComboBox& other);
    MComboBox& operator=(const MComboBox& other);
    // An open drop-down goes first, without telling this combo.
    ~MComboBox() override;

    const wchar_t* GetClassNameW() const override;
    void DrawControl(HDC& dc, CRect paintRect) override;
    // The drop-down protocol: (9, 2) opens it, (any other id, 2, row, 0x13) is a choice,
    // (any, 22) its closing. Nothing is passed on; 0.
    LONG OnMessage(UINT id, UINT code, UINT wParam, LONG lParam) override;
    void SetControlRect(CRect rect) override;
    int OnControlLButtonDown(UINT keys, CPoint pt) override;
    // A release inside opens the drop-down.
    int OnControlLButtonUp(UINT keys, CPoint pt) override;

    // Items. −1 appends; an index must name an item (or −1) or nothing changes. Inserting and
    // deleting keep the selection on its item; deleting it leaves no selection.
    int AddItem(const wchar_t* text, long data, const wchar_t* image, Gdiplus::Color colour);
    int InsertItem(int index, const wchar_t* text, long data, const wchar_t* image, Gdiplus::Color colour);
    int DeleteItem(int index);
    int DelAllItems();
    int GetItemCount();
    int SetItemData(int index, long data);
    long GetItemData(int index);
    int SetItemText(int index, CString text);
    CString GetItemText(int index);
    // No notification.
    int SetCurSel(int index);
    int GetCurSel() const { return m_curSel; }
    long GetCurData();
    int FindData(long data);
    int SelectData(long data);

    // The drop-down's look.
    int SetBackImage(const wchar_t* file);
    int SetBackImage(UINT resourceId, CString type);
    // Resource ids of the drop-down's bar strips; 0 (the default) keeps the library's own.
    void SetScrollResID(UINT vertical, UINT horizontal);
    int SetShowModeMID(int left, int top, int right, int bottom);
    // Relative to the control's top-left corner; no repaint.
    void SetTextRect(CRect rect) { m_textRect = rect; }
    CRect GetTextRect() const { return m_textRect; }

    bool IsOpen() const { return m_open; }
    // The last drop-down made (it may have closed already); null before the first opening.
    CComboBoxWnd* GetDropDown() const { return *m_dropDown; }

protected:
    void ResetTextRect();

private:
    void copyValuesFrom(const MComboBox& other);
    void open();
    void choose(UINT index);
    void disposeDropDown();
    void closeStaleDropDown();
    int faceFrame() const;
    void paintFaces(Gdiplus::Graphics& graphics);
    ComboItemInfo* itemAt(int index) const;

    NotCopied<std::vector<std::unique_ptr<ComboItemInfo>>> m_items;
    CriticalSection m_itemsLock;
    int m_curSel { -1 };
    NotCopied<CComboBoxWnd*> m_dropDown;
    CRect m_textRect;
    int m_marginLeft { 4 };
    int m_marginTop { 4 };
    int m_marginRight { 35 };
    int m_marginBottom { 4 };
    CString m_backFile;
    UINT m_backResource { 0 };
    CString m_backType { L"PNG" };
    UINT m_scrollVertical { 0 };
    UINT m_scrollHorizontal { 0 };
    bool m_open { false };
};

} // namespace KOVA
