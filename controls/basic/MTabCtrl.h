#pragma once
// A windowless tab bar that owns one page per tab. Each tab is an image strip (normal,
// hovered, selected); its text is the tab's tooltip, never painted. The bar is a row across
// the top or a column down the left side. Selecting a tab reports code 2 (tab index), shows
// its page and hides the others, and may slide the old page out while the new one comes in.
// Wheel and keys go to the selected page; the pages' notifications pass on unchanged.
//
// GUI thread only. Fast-timer ticks may pass through the control to its pages: they never
// step the slide, which runs on window timer 100 alone.
#include "platform/Win32.h"

#include <memory>
#include <vector>

#include "controls/basic/ButtonBase.h"
#include "controls/basic/RecordList.h"
#include "framework/MControlFont.h"
#include "framework/MemoryPicture.h"
#include "platform/CPoint.h"
#include "platform/CRect.h"
#include "platform/CString.h"
#include "platform/KovaExport.h"
#include "platform/NotCopied.h"

// Where the bar lies; any other value lays out and draws nothing.
enum TAB_TYPE {
    TabTypeHorizontal = 0,
    TabTypeVertical = 1,
};

namespace KOVA {

// One tab, as the host reads it through MTabCtrl::GetItemInfo. The pointer stays valid until
// the tab is deleted.
struct KOVA_API TabItemInfo {
    int visible { 0 };
    // The tab's strip, owned by the tab control.
    Gdiplus::Image* image { nullptr };
    int frameWidth { 0 };
    int frameHeight { 0 };
    int frameCount { 3 };
    // Client coordinates; empty while the tab is hidden.
    CRect itemRect;
    CString text;
    int id { 0 };
    // The extra button, relative to the control's top-left corner.
    CRect buttonRect;
    // 0 normal, 1 hovered, 2 pressed.
    int buttonState { 0 };
    // Non-zero: hovering the tab also calls SetTabTooltip.
    int tooltip { 0 };
    // Not owned by the record.
    MControl* page { nullptr };
};

class KOVA_API MTabCtrl : public MControlFont {
public:
    MTabCtrl(MObject* parent, UINT id, CRect rect, int visible, int enabled);
    // A copy takes the tabs' values: no images (the strips stay with their owner) and no pages
    // (a page made by CreatePanel is the original's child and goes with it).
    MTabCtrl(const MTabCtrl& other);
    MTabCtrl& operator=(const MTabCtrl& other);
    ~MTabCtrl() override;

    const wchar_t* GetClassNameW() const override;
    LONG OnBaseMessage(UINT id, UINT code, UINT wParam, LONG lParam) override;
    // A page's own repaint request (shown, hidden) goes on up as this control's.
    LONG OnControlUpdate(CRect rect, int flag, MControl* control) override;
    void DrawControl(HDC& dc, CRect paintRect) override;
    int DrawSubControls(HDC& dc, CRect paintRect) override;
    // Outside the bar the control answers (the pages lie there); inside it only over a tab.
    int OnCheckMouseResponse(UINT msg, CPoint pt) override;
    LONG OnMessage(UINT id, UINT code, UINT wParam, LONG lParam) override;
    void SetControlRect(CRect rect) override;
    void SetControlVisible(int visible) override;
    // One step of the page slide; a fast-timer tick passing through changes nothing.
    int OnControlTimer() override;
    int OnControlMouseMove(UINT keys, CPoint pt) override;
    int OnControlLButtonDown(UINT keys, CPoint pt) override;
    int OnControlLButtonUp(UINT keys, CPoint pt) override;
    int OnControlScroll(int step, UINT down, CPoint pt) override;
    int OnControlKeyDown(UINT key, UINT repeat, UINT modifiers) override;
    // Key releases stop here; a derived tab control may take them.
    virtual int OnControlKeyUp(UINT, UINT, UINT) { return 0; }

    // Orientation and slide
    void SetTabType(TAB_TYPE type) { m_tabType = type; }
    TAB_TYPE GetTabType() const { return m_tabType; }
    void EnableAnimateChangeTab(int enable) { m_slideEnabled = enable; }
    // What each slide step asks to repaint; nothing is repainted while it is empty.
    void SetUpdataRect(CRect rect) { m_updateRect = rect; }

    // Tabs. frames -1 means 3; a count below 1 fails (0). width 0 takes the frame width.
    int InsertItem(UINT id, const wchar_t* text, const wchar_t* image, MControl* page, int frames, int width);
    int GetItemCount() const { return m_tabs.Count(); }
    // Null outside 0..count−1.
    TabItemInfo* GetItemInfo(int index);
    // Destroys the tab's page when it is this control's child and no other tab shows it.
    void DeleteItem(int index);
    int SetItemText(int index, CString text);
    void SetItemVisible(int index, int visible);
    int GetItemVisible(int index);
    int GetItemID(int index);
    int PtInTabButton(CPoint pt, TabItemInfo& item);
    // Shows text over a tab whose tooltip flag is set, once per tab entered.
    void SetTabTooltip(int index, CString text);
    // Hosts call it when they leave a page; the tooltip already goes when the pointer leaves
    // the tab, so there is nothing left to clear.
    void ClearTabTooltip() {}
    // A page ("MTabLayout" only) as a child of this control, for InsertItem; null otherwise.
    MControl* CreatePanel(const wchar_t* className, UINT id, CRect rect);

    // Selection: reports (id, 2, index, 0) before the pages change. Returns the selection
    // held before the call.
    int SetSelectItem(int index);
    int GetSelectItem() const { return m_selected; }

    // Sizes: the bar's height (row) and every vertical tab's; the column's width.
    int GetCtrlHeight() const { return m_barHeight; }
    int GetCtrlWidth() const { return m_columnWidth; }
    void SetTabCtrlHeight(int height) { m_barHeight = height; }
    void SetTabCtrlWidth(int width) { m_columnWidth = width; }
    // One width for every horizontal tab: the requested one, held between the minimum and
    // the share of the bar each tab can have when a minimum is given.
    void SetItemWidth(int width, int minimum, int refresh);
    void SetItemHeight(int height, int minimum, int refresh);
    void RefreshItems();
    void SetLeftRightPading(int left, int right);
    void SetTopBottomPading(int top, int bottom);

protected:
    // The images a derived look adds: separators (space only, never painted), the width of
    // tabs that have none of their own, and the extra button (a strip of three frames for its
    // states, reporting code 9 when pressed). 0 when the file does not load.
    enum class TabSkin { Separator, DefaultWidth, ExtraButton };
    int LoadTabSkin(TabSkin which, const wchar_t* file);

    // The extra button's place: mode 2 or more resolves the two rules over the tab.
    int m_buttonMode { 0 };
    FS_POSITION_ITEM m_buttonRuleX;
    FS_POSITION_ITEM m_buttonRuleY;
    // Where the separators lie, one after each shown tab but the last (empty after a hidden
    // one): the control leaves them unpainted, for a derived look to paint.
    std::vector<CRect> m_separatorRects;
    // The slide: the selection it leaves and how far it has gone along each axis.
    int m_previousSelected { -1 };
    int m_slideOffsetX { 0 };
    int m_slideOffsetY { 0 };

private:
    struct TabRecord {
        TabRecord() = default;
        TabRecord(const TabRecord& other);
        TabRecord& operator=(const TabRecord&) = delete;
        TabItemInfo info;
        ButtonIcon strip;
        // The tab's own width (argument, frame or default image): what a uniform width of 0
        // falls back to once hiding emptied the tab's rectangle.
        int ownWidth { 0 };
    };

    bool isRow() const { return m_tabType == TabTypeHorizontal; }
    bool isColumn() const { return m_tabType == TabTypeVertical; }
    // Layout
    void placeTabs();
    void placeTab(TabRecord& record, int& x, int& y);
    void placeButton(TabItemInfo& tab);
    void applyUniformSize(int refresh);
    void clampSelection();
    // Pages
    MControl* pageOf(int index) const;
    void showSelectedPage();
    void hideAllPages();
    bool pageHeldByATab(const MControl* page) const;
    // Input
    // The row or column of tabs, in client coordinates.
    CRect barRect() const;
    void repaintBar();
    int tabAt(CPoint pt) const;
    bool trackButtons(CPoint pt);
    void showHoveredTooltip(TabItemInfo& tab);
    void dropTooltip();
    // Slide
    bool onWindowThread() const;
    void startSlide();
    void stopSlide();
    int slideSpan() const;
    // Drawing (MTabCtrlPaint.cpp)
    bool cacheHolds(int width, int height) const;
    void drawRow(HDC& dc);
    void buildRowCache(HDC& dc, int width, int height);
    void overlayButtons(int barHeight);
    void drawColumn(HDC& dc);
    void buildColumnCache(HDC& dc, int width, int height);
    void showTabFromCache(HDC& dc, int index, int bandX, int bandY);
    void drawSlide(HDC& dc, MControl& leaving, MControl& entering);
    void copyLeavingPage(HDC& dc, HDC source, const CRect& page);
    void copyEnteringPage(HDC& dc, HDC source, const CRect& page);

    TAB_TYPE m_tabType { TabTypeHorizontal };
    RecordList<TabRecord> m_tabs;
    ButtonIcon m_separatorImage;
    ButtonIcon m_defaultWidthImage;
    ButtonIcon m_buttonImage;
    int m_itemWidth { 0 };
    int m_requestedWidth { 0 };
    int m_minWidth { 0 };
    int m_barHeight { 0 };
    int m_itemHeight { 0 };
    int m_requestedHeight { 0 };
    int m_minHeight { 0 };
    int m_columnWidth { 0 };
    int m_hover { -1 };
    int m_selected { -1 };
    int m_slideEnabled { 0 };
    int m_leftPadding { 0 };
    int m_rightPadding { 0 };
    int m_topPadding { 0 };
    int m_bottomPadding { 0 };
    int m_lastTooltipTab { -1 };
    CRect m_updateRect;
    // The two pages drawn off-screen while a slide runs; released when it ends.
    MemoryPicture m_leavingPicture;
    MemoryPicture m_enteringPicture;
    // Owns window timer 100: ticks reach the slide through it, and never the pages' children,
    // which tick on the fast timer's thread.
    NotCopied<std::unique_ptr<MControl>> m_slideClock;
};

} // namespace KOVA
