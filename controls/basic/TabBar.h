#pragma once
// Four small tab bars of text items on one model: the items and their optional pages, hover
// and selection, the hand over an item, a click that selects and reports code 2, and one
// cached look rebuilt at every hover or selection change. They differ only in their look and
// in the values a click reports:
//   CTabCtrl2   rows of text; the highlighted row framed by the control's image; (0, selection)
//   CTabCtrlEx  text tabs; the highlighted one wider, with the image and a bold caption; (h, h)
//   CTabCtrl5   four equal dark boxes, no pages; (h, 0)
//   TabCtrl6    text tabs with a filled highlight; (h, 0)
// Item rectangles are laid out by the paint: before the first one nothing can be clicked.
//
// GUI thread only. The item list is changed and read under the list lock, which is let go
// before a page is shown or a notification sent.
#include "platform/Win32.h"

#include <memory>
#include <utility>
#include <vector>

#include "controls/basic/ButtonBase.h"
#include "controls/basic/RecordList.h"
#include "platform/CPoint.h"
#include "platform/CRect.h"
#include "platform/CString.h"
#include "platform/CriticalSection.h"
#include "platform/KovaExport.h"
#include "platform/NotCopied.h"

namespace KOVA {

class KOVA_API TabBar : public ButtonBase {
public:
    TabBar(MObject* parent, UINT id, CRect rect, int visible, int enabled);
    // A copy takes the items' values (pages stay the host's) and a lock of its own.
    TabBar(const TabBar& other);
    TabBar& operator=(const TabBar& other);
    ~TabBar() override;

    void DrawControl(HDC& dc, CRect paintRect) override;
    // Nothing of these changes while the control is disabled.
    int OnControlMouseMove(UINT keys, CPoint pt) override;
    int OnControlLButtonDown(UINT keys, CPoint pt) override;
    int OnControlLButtonUp(UINT keys, CPoint pt) override;

    // Frees the items; their pages are left as they are.
    void ClearList();
    // Any value is kept; the pages follow it (the selected item's shown, the others hidden).
    // Reports nothing.
    void SetSelectItem(int index);
    int GetSelectItem() const { return m_selected; }
    // Shows at the next rebuild of the look.
    void SetItemText(int index, CString text);

protected:
    struct Item {
        CString text;
        int id { 0 };
        // Unscaled; CTabCtrl2 and CTabCtrl5 lay out without it.
        int width { 0 };
        // Not owned.
        MControl* page { nullptr };
        // Relative to the control's top-left corner, written by each rebuild of the look.
        CRect rect;
    };
    // What a look draws on: the control's memory picture with the text format every look
    // shares (one line, centred vertically), its size and the display scale.
    struct Canvas {
        Gdiplus::Graphics& graphics;
        Gdiplus::StringFormat& format;
        int width;
        int height;
        float scale;
    };

    int AppendItem(const CString& text, int id, int width, MControl* page);
    // 0 outside 0..count−1.
    int GetItemID(int index);
    bool IsHighlighted(int index) const { return index == m_selected || index == m_hover; }
    // Lays out every item (writing its rectangle) and draws it; the list lock is held.
    virtual void DrawItems(Canvas& canvas, RecordList<Item>& items) = 0;
    // The wParam and lParam of the code 2 a click on item index reports.
    virtual std::pair<UINT, LONG> ClickValues(int index) const = 0;

    // The control's face at size pixels, regular (the control's style) or bold; made once.
    const Gdiplus::Font* TextFont(float size, bool bold);
    void DrawItemText(Canvas& canvas, const CString& text, const CRect& layout, Gdiplus::Color colour);
    // Size scaled by the display scale, truncated.
    static int Scaled(float size, float scale) { return static_cast<int>(size * scale); }

private:
    struct MadeFont {
        CString face;
        float size { 0 };
        int style { 0 };
        std::unique_ptr<Gdiplus::Font> font;
    };

    int itemAt(CPoint pt);
    bool hoveredItemHolds(CPoint pt);
    void pointCursor(bool hand) const;

    RecordList<Item> m_items;
    CriticalSection m_itemsLock;
    int m_hover { -1 };
    int m_selected { -1 };
    // The pointer was inside at the last move: only leaving the control puts the arrow back.
    bool m_pointerInside { false };
    NotCopied<std::vector<MadeFont>> m_fonts;
    NotCopied<std::unique_ptr<Gdiplus::StringFormat>> m_format;
};

class KOVA_API CTabCtrl2 : public TabBar {
public:
    CTabCtrl2(MObject* parent, UINT id, CRect rect, int visible, int enabled);
    const wchar_t* GetClassNameW() const override;
    // The new item's index.
    int AddItem(CString text, int id, MControl* page);

protected:
    void DrawItems(Canvas& canvas, RecordList<Item>& items) override;
    std::pair<UINT, LONG> ClickValues(int index) const override;

private:
    int m_rowHeight { 36 };
};

class KOVA_API CTabCtrlEx : public TabBar {
public:
    CTabCtrlEx(MObject* parent, UINT id, CRect rect, int visible, int enabled);
    const wchar_t* GetClassNameW() const override;
    int AddItem(CString text, int id, int width, MControl* page);
    using TabBar::GetItemID;

protected:
    void DrawItems(Canvas& canvas, RecordList<Item>& items) override;
    std::pair<UINT, LONG> ClickValues(int index) const override;
};

class KOVA_API CTabCtrl5 : public TabBar {
public:
    CTabCtrl5(MObject* parent, UINT id, CRect rect, int visible, int enabled);
    const wchar_t* GetClassNameW() const override;
    int AddItem(CString text, int id);
    using TabBar::GetItemID;

protected:
    void DrawItems(Canvas& canvas, RecordList<Item>& items) override;
    std::pair<UINT, LONG> ClickValues(int index) const override;
};

class KOVA_API TabCtrl6 : public TabBar {
public:
    TabCtrl6(MObject* parent, UINT id, CRect rect, int visible, int enabled);
    const wchar_t* GetClassNameW() const override;
    int AddItem(CString text, int id, int width, MControl* page);
    using TabBar::GetItemID;

protected:
    void DrawItems(Canvas& canvas, RecordList<Item>& items) override;
    std::pair<UINT, LONG> ClickValues(int index) const override;
};

} // namespace KOVA
