#pragma once
// The list of a recorded key macro: one row per key event with the key's name, "Key Down" or
// "Key Up", and a delay in milliseconds that a click on its cell opens in a numeric in-place
// edit. Only the rows in view are laid out and drawn: the memory picture holds them from the
// first visible row on and is shown from the part of that row scrolled above the top edge.
//
// GUI thread only; the row lock (the item list's lock) is taken below the paint manager's
// list locks and let go before a repaint request or a notification.
#include "platform/Win32.h"

#include <memory>
#include <vector>

#include "framework/ItemList.h"
#include "platform/CPoint.h"
#include "platform/CRect.h"
#include "platform/CString.h"
#include "platform/KovaExport.h"
#include "platform/NotCopied.h"

namespace KOVA {

class CEditWindow;
class MImageList;

// One row, as the host reads it through CRecordList::GetRecordItems.
struct KOVA_API RecordItem {
    CString text;
    int type { 0 };     // 2 key down, 3 key up
    int data { 0 };
    int delay { 0 };    // milliseconds
    CRect rect;         // in the list's memory picture, written for the drawn rows
};

class KOVA_API CRecordList : public ItemList {
public:
    CRecordList(MObject* parent, UINT id, CRect rect, int visible);
    // A copy takes the value fields; no rows and no edit window.
    CRecordList(const CRecordList& other);
    CRecordList& operator=(const CRecordList& other);
    // Lets go of the edit window (it destroys itself) before the rows go.
    ~CRecordList() override;

    const wchar_t* GetClassNameW() const override;
    void DrawControl(HDC& dc, CRect paintRect) override;
    // Losing the focus commits and closes the delay edit.
    int SetControlFocus(int focus) override;
    LONG OnMessage(UINT id, UINT code, UINT wParam, LONG lParam) override;
    void SetControlRect(CRect rect) override;
    int OnControlMouseMove(UINT keys, CPoint pt) override;
    int OnControlLButtonDown(UINT keys, CPoint pt) override;
    int OnControlLButtonUp(UINT keys, CPoint pt) override;
    int OnControlLButtonDblClk(UINT keys, CPoint pt) override;
    int OnControlScroll(int step, UINT down, CPoint pt) override;
    int OnControlRButtonUp(UINT keys, CPoint pt) override;

    int AddString(CString text, int type, int data, int delay);
    // The last row's delay; false for an empty list.
    bool UpdateDelayTime(int delay);
    int SetCurSel(int index);
    int GetCurSel() const { return m_selected; }
    // Rows are 1 to 1024 pixels high: a height outside is taken as the nearest of them.
    void SetItemHeight(int height);
    int DeleteItem(int index);
    int DeleteAllItems();
    // Kept, not drawn; not owned.
    int SetImageList(MImageList* list);
    void SwapItem(int a, int b);
    void ShowEdit();
    std::vector<RecordItem*> GetRecordItems();

protected:
    CPoint ItemOrigin() const override;
    void HitRange(int& first, int& last) const override;

private:
    RecordItem* rowAt(int index) const;
    void HideEdit(int force);
    void GetTextRect(CRect& rect);
    // The edit goes away without storing what it shows (its row went or moved).
    void dropEdit();
    void fitBar();
    void repaintIfShown();
    int contentHeight() const;
    bool inDelayCell(CPoint pt) const;
    void layOutView(int viewHeight, int& bitmapHeight);
    void drawRows(Gdiplus::Graphics& graphics, int drawWidth);

    int m_rowHeight { 41 };
    Gdiplus::Color m_hoverFrameColor;
    Gdiplus::Color m_selectFrameColor;
    NotCopied<std::unique_ptr<Gdiplus::SolidBrush>> m_highlightBrush;
    NotCopied<std::unique_ptr<Gdiplus::StringFormat>> m_format;
    int m_firstDrawn { -1 };
    int m_lastDrawn { -1 };
    MImageList* m_imageList { nullptr };
    int m_editedRow { -1 };
    int m_drawOffset { 0 };
    NotCopied<CEditWindow*> m_editWindow;
};

} // namespace KOVA
