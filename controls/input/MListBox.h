#pragma once
// Scrolling single-selection list boxes of text rows, each with an optional icon and a
// caller's value. A row's text can be renamed in place over a native edit window; presses,
// clicks, double clicks, right clicks and committed renames are reported to the parent, and
// the hovered row can be dragged out as a bitmap.
//
// MListBox draws its icons from an image list; DListBox is its twin drawn from one skin
// strip: the differences (icons, fills, which buttons report, the rename's place and colour)
// are one table of rules, not a second list.
//
// GUI thread only. The item lock is held while rows are changed, searched, hit-tested and
// drawn, never while the parent is asked to repaint or notified.
#include "platform/Win32.h"

#include <functional>
#include <memory>

#include "framework/ItemList.h"
#include "framework/MRenderLayer.h"
#include "platform/CRect.h"
#include "platform/CString.h"
#include "platform/KovaExport.h"
#include "platform/NotCopied.h"

namespace KOVA {

class CEditWindow;
class MImageList;

// One row: its text (ListItem::text), its icon's index in the list's image list (−1 none)
// and the caller's value. The list owns it.
struct KOVA_API ListItemInfo : ListItem {
    int imageIndex { -1 };
    long data { 0 };
};

class KOVA_API MListBox : public ItemList {
public:
    MListBox(MObject* parent, UINT id, CRect rect, int visible);
    // A copy takes the value fields: no rows, no rename window, no images of its own.
    MListBox(const MListBox& other);
    MListBox& operator=(const MListBox& other);
    // The rename window goes first.
    ~MListBox() override;

    const wchar_t* GetClassNameW() const override;
    // The list less the bar's width at the right, while shown.
    int PtInRect(CPoint pt) override;
    void DrawControl(HDC& dc, CRect paintRect) override;
    // Losing the focus commits a rename.
    int SetControlFocus(int focus) override;
    // Bar moves repaint; every message goes on to the parent.
    LONG OnMessage(UINT id, UINT code, UINT wParam, LONG lParam) override;
    void SetControlRect(CRect rect) override;
    // The hovered row as a bitmap at most 300 px wide; null without one.
    HBITMAP GetControlDropBitmap() override;
    int OnControlMouseMove(UINT keys, CPoint pt) override;
    int OnControlLButtonDown(UINT keys, CPoint pt) override;
    int OnControlLButtonUp(UINT keys, CPoint pt) override;
    int OnControlLButtonDblClk(UINT keys, CPoint pt) override;
    // Ten line steps a notch, only when the rows do not fit.
    int OnControlScroll(int step, UINT down, CPoint pt) override;
    int OnControlRButtonUp(UINT keys, CPoint pt) override;

    // Rows. −1 appends; an index must name a row (or −1) or nothing changes. Both return
    // the last row's index. Selection, hover and an open rename stay on their rows.
    int AddString(const wchar_t* text, int image);
    int AddString(const wchar_t* text, long data, int image);
    int InsertString(int index, const wchar_t* text, int image, long data);
    int SetItemData(int index, long data);
    long GetItemData(int index);
    // No repaint.
    int ModifyItemString(int index, const wchar_t* text);
    int FindString(const wchar_t* text);
    int FindItemData(long data);
    int SetCurData(long data);
    // No notification.
    int SetCurSel(int index);
    int GetCurSel() const { return m_selected; }
    // At least 1 px, at most 4096.
    void SetItemHeight(int height);
    int GetItemHeight() const { return m_rowHeight; }
    // Also ends a rename without committing it.
    int DeleteItem(int index);
    int DeleteAllItems();
    CRect GetItemRect(int index);
    // Not owned.
    int SetImageList(MImageList* images);
    // No repaint. Selection, hover and an open rename stay on their rows.
    void SwapItem(int a, int b);
    // As DeleteAllItems: an open rename ends without committing.
    void ClearList() override;

    // Renaming: allowed only while enabled; starts on the selected row.
    void EnableShowEdit(int enable) { m_editEnabled = enable; }
    int IsShowEdit() const { return m_editEnabled; }
    void ShowEdit();
    // Ends the rename when the selection moved off its row, or always with force; a changed
    // text is committed (code 29 with the row in lParam).
    void HideEdit(int force);
    int GetEditIndex() const { return m_editIndex; }
    // The rename window; null before the first rename.
    CEditWindow* GetEditWindow() const { return *m_edit; }

protected:
    // What differs between the twins.
    struct Rules {
        Gdiplus::ARGB textColour;
        bool stripIcons;             // one skin strip for every row (frame 1 selected)
        int fillInset;               // the hover or selection fill leaves this many pixels each side
        bool highlightText;          // highlighted rows take the highlight brush
        int textLeft;                // with an image list, or always when stripIcons
        int renameLeft;
        int renameRight;
        COLORREF renameBack;
        bool pressNeedsRow;          // a press on no row changes nothing
        bool clickReports;           // the release on a row reports code 2
        bool doubleClickRenames;     // a double click renames and reports code 3
        bool rightUpNeedsRow;        // code 5 only on a row
    };
    static const Rules kListBoxRules;
    static const Rules kDListBoxRules;
    MListBox(MObject* parent, UINT id, CRect rect, int visible, const Rules& rules);
    // DListBox's own images (a copy has none), drawn when its rules say so.
    NotCopied<std::unique_ptr<Gdiplus::Image>> m_stripImage;
    int m_stripFrameWidth { 0 };
    int m_stripFrameHeight { 0 };
    NotCopied<std::unique_ptr<Gdiplus::Image>> m_editImage;
    int m_editFrameWidth { 0 };

private:
    void stopRename();
    // Each row index the list keeps (selection, hover, rename) becomes moved(index).
    void shiftIndexes(const std::function<int(int)>& moved);
    CRect renameRect(int index);
    // Pixels of so many rows, held within an int.
    int contentHeight(int rows) const;
    void drawRows(Gdiplus::Graphics& graphics, const RowWindow& rows, int width, const Gdiplus::Font* font);
    // One row's look (fill, icon, text) with its top at top.
    void drawRow(Gdiplus::Graphics& graphics, const ListItemInfo& row, int index, int top, int width,
                 const Gdiplus::Font* font);
    // What every row's look is drawn from, and what one row's look is drawn from besides.
    CString commonLookKey(int width, const Gdiplus::Font* font) const;
    CString rowLookKey(const ListItemInfo& row, int index) const;
    const Gdiplus::Image* iconOf(const ListItemInfo& row) const;
    void drawIcon(Gdiplus::Graphics& graphics, const ListItemInfo& row, int index, int top);
    void drawRenamedRow(Gdiplus::Graphics& graphics, const ListItemInfo& row, int index, int top, int width);
    ListItemInfo* rowAt(int index) const { return static_cast<ListItemInfo*>(ItemAt(index)); }

    Rules m_rules;
    int m_rowHeight { 30 };
    Gdiplus::Color m_hoverColour;
    Gdiplus::Color m_selectionColour;
    Gdiplus::Color m_highlightColour;
    int m_iconColumn { 30 };
    MImageList* m_imageList { nullptr };
    int m_editEnabled { 0 };
    int m_editIndex { -1 };
    NotCopied<CEditWindow*> m_edit;
    // The rows' looks drawn over nothing: a wheel notch lays the rows it shows over the ground
    // and draws only those not kept.
    NotCopied<RowLooks> m_rowLooks;
};

class KOVA_API DListBox : public MListBox {
public:
    DListBox(MObject* parent, UINT id, CRect rect, int visible);

    const wchar_t* GetClassNameW() const override;
    // One skin strip for every row (its own copy, the old one deleted); a count below 1
    // gives frames of no width. 1, or 0 when the file does not load.
    int SetImage(const wchar_t* path, int count) override;
    // The background of the row being renamed, four frames; the old one is deleted.
    int SetEditImage(const wchar_t* path, int count);
};

} // namespace KOVA
