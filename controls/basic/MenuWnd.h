#pragma once
// A pop-up menu: a borderless tool window opened at a screen point whose rows (MenuItem) are
// stacked from the top. The owner learns of a choice from a message of its own choosing,
// posted with the row's id in lParam. The menu closes after a click on a plain row and when
// it loses activation, and deletes itself with its window: make it with new, never delete it.
#include "platform/Win32.h"

#include <vector>

#include "controls/basic/MenuItem.h"
#include "framework/MPopupWnd.h"
#include "platform/CPoint.h"
#include "platform/CRect.h"
#include "platform/CString.h"
#include "platform/KovaExport.h"

namespace KOVA {

// One change to a row, queued before the menu opens and applied as it opens. The row is the
// one whose id, in decimal, is the key, else the first whose caption is the key. -1 keeps.
struct KOVA_API MenuItemChange {
    UINT itemId { 0 };
    CString key;
    CString title;
    int visible { -1 };
    int enable { -1 };
    int check { -1 };
};

class KOVA_API MenuWnd : public MPopupWnd {
public:
    explicit MenuWnd(MObject* parent);
    // A copy takes the settings and the queued changes; no window, no rows.
    MenuWnd(const MenuWnd&) = default;
    MenuWnd& operator=(const MenuWnd&) = default;

    // Rows first, then this window's settings.
    void InitUI(CRect rect) override;
    // Every row's report is posted to the owner; a plain row's click closes the menu.
    LRESULT OnMessage(UINT id, UINT code, UINT wParam, LONG lParam) override;
    // The window is gone: the object goes too.
    void OnDestroyMessage(HWND hwnd) override;

    // Opens the menu at a screen point, shown and active; message is what the owner is posted.
    // 1 when the window was made.
    int Create(HWND owner, CPoint point, UINT message);
    int Create(HWND owner, CPoint point, UINT message, UINT resourceId, int border, int width, enumBackMode mode);
    int Create(HWND owner, CPoint point, UINT message, CString file, int border, int width, enumBackMode mode);

    // A row with a caption and an icon (a host "PNG" resource, -1 for none, or a skin file);
    // the menu widens for a long caption. Always -1.
    int AddMenu(CString title, UINT id, int iconResourceId, int, int);
    int AddMenu(CString title, UINT id, CString iconFile, int, int);
    // A thin line, drawn with the image when one is given. Always -1.
    int AddSeparator(UINT id, CString imageFile);

    void SetItemTitle(CString key, CString title);
    void SetItemVisible(CString key, int visible);
    void SetItemEnable(CString key, int enable);
    void SetItemCheck(CString key, int check);

    // Lays the rows out again and fits the window to them.
    void SetMenuPoint();
    // Posts the menu message (wParam, lParam) to the owner; code 2 closes the menu. Always 1.
    LONG SendMessageToParent(UINT id, UINT code, UINT wParam, LONG lParam);

private:
    void WidenFor(const CString& title);
    MenuItem* AddRow(CString title, UINT id);
    void Queue(MenuItemChange change);
    MenuItem* FindRow(const MenuItemChange& change);
    void Apply(const MenuItemChange& change);
    int Open(HWND owner, CPoint point, UINT message);
    int Height() const;

    UINT m_message { 0 };
    CString m_fontName { L"Alibaba-PuHuiTi" };
    int m_fontSize { 18 };
    int m_fontStyle { 0 };
    int m_textInset { 5 };
    int m_rowHeight { 35 };
    int m_menuWidth { 300 };
    int m_rowFrameInset { 0 };
    int m_topMargin { 6 };
    int m_bottomMargin { 6 };
    int m_laidOutBottom { 0 };
    HWND m_owner { nullptr };
    Gdiplus::Color m_highlightColour { 0xFFBD30FF };
    std::vector<MenuItemChange> m_changes;
};

} // namespace KOVA
