#pragma once
// The pop-up a drop-down list opens in, below its combo control: a layered tool window with
// its own paint manager holding one list (id 88). A choice in the list goes up to the parent
// object as (0, 2, row, 0x13) and closes the window; every closing, whatever caused it, is
// told to the parent as (0, 22, 0, 0). CComboBoxWnd holds a CComboBoxList for MComboBox;
// CComboBoxWnd2 holds a CComboBoxList2 for the application's own controls and drops the
// image paths given to it.
//
// GUI thread only.
#include "platform/Win32.h"

#include "controls/input/CComboBoxList.h"
#include "framework/MPopupWnd.h"
#include "platform/CRect.h"
#include "platform/CString.h"

namespace KOVA {

class CComboBoxWnd : public MPopupWnd {
public:
    CComboBoxWnd();

    void InitUI(CRect rect) override;
    void UISize(CRect rect) override;
    // The list's choice (88, 2, row, 0x13) goes to the parent, then the window closes; 1.
    // Anything else stays here: 0.
    LRESULT OnMessage(UINT id, UINT code, UINT wParam, LONG lParam) override;
    int OnDestroy() override;

    // A nine-grid background with a 6-px border.
    int LoadBKImage(CString file);
    int LoadBKImage(UINT resourceId, CString type);
    // −1 without a list.
    int AddItem(const wchar_t* text, long data, const wchar_t* image, Gdiplus::Color colour);
    void RefreshList();
    void SetListTextColor(Gdiplus::Color colour);
    // The resource ids of the list's bar strips, set before Create. The window's start-up
    // puts the library's own strips (102 and 101) in its paint manager; the ids given here
    // take their place once it ran, before the list is made. An id of 0 (the combo's default)
    // keeps the library's strip on that axis.
    void SetScrollResID(UINT vertical, UINT horizontal);
    // Null when the factory made none.
    CComboBoxList* GetList() const { return m_list; }

    static constexpr UINT kListId = 88;

protected:
    CComboBoxWnd(const wchar_t* listClass, bool dropImages);

private:
    void tellParent(UINT code, UINT wParam, LONG lParam);

    const wchar_t* m_listClass { L"CComboBoxList" };
    bool m_dropImages { false };
    CComboBoxList* m_list { nullptr };
    UINT m_scrollVertical { 0 };
    UINT m_scrollHorizontal { 0 };
};

class CComboBoxWnd2 : public CComboBoxWnd {
public:
    CComboBoxWnd2();
};

} // namespace KOVA
