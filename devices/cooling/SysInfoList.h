#pragma once
// The system-information type lists: items of a caption and a host type code over the control
// image's two-frame tile. SysInfoCtrl is a single-choice column of full-width rows lit under
// the pointer and while selected; SysInfo2Ctrl is a two-column grid of tiles that a click
// checks or unchecks. Both report a click as (2, 0, index); they differ only by the data of
// SysInfoLook.
#include "platform/Win32.h"

#include "controls/basic/LookPainting.h"
#include "framework/ItemList.h"
#include "platform/CString.h"
#include "platform/KovaExport.h"
#include "platform/NotCopied.h"

namespace KOVA {

struct KOVA_API SysInfoItemInfo : ListItem {
    int type { 0 };
};

struct KOVA_API SysInfo2ItemInfo : SysInfoItemInfo {
    int check { 0 };
};

// What tells the two lists apart.
struct SysInfoLook {
    // Two columns of checkable tiles, or one column of rows.
    bool checkTiles;
};

class KOVA_API SysInfoList : public ScrollingItemList {
public:
    SysInfoList(MObject* parent, UINT id, CRect rect, int visible, const SysInfoLook& look);
    // A copy takes the value fields: no items, a lock of its own.
    SysInfoList(const SysInfoList& other);
    SysInfoList& operator=(const SysInfoList& other);
    ~SysInfoList() override;

    void DrawControl(HDC& dc, CRect paintRect) override;
    // Only stores the rectangle: the rows always start at the top.
    void SetControlRect(CRect rect) override;

    // The second text is not read. Hides the bar: the items do not scroll.
    void AddItem(CString text, CString unused, int type);

protected:
    int ContentHeight() override { return 0; }
    void ReleaseItem(int index, CPoint pt) override;
    // The selected item's type, 0 without a selection; call under the item lock.
    const SysInfoItemInfo* SelectedItem() const;

private:
    CRect place(GridPen& pen, int index) const;
    void drawItems();

    SysInfoLook m_look;
    NotCopied<KeptFormat> m_format;
};

class KOVA_API SysInfoCtrl : public SysInfoList {
public:
    // The last flag is not read: the list starts enabled.
    SysInfoCtrl(MObject* parent, UINT id, CRect rect, int visible, int unused);
    const wchar_t* GetClassNameW() const override;
    // 0 without a selection.
    int GetCurSysType();
};

class KOVA_API SysInfo2Ctrl : public SysInfoList {
public:
    // The last flag is not read: the list starts enabled.
    SysInfo2Ctrl(MObject* parent, UINT id, CRect rect, int visible, int unused);
    const wchar_t* GetClassNameW() const override;
    // The selected tile's type and check; 0 and check 0 without a selection.
    int GetCurSysType(int& check);
    void SetItemCheck(int index, int check);
    // Checks the first tile of the type; repaints whether or not one matched.
    void SetSysTypeCheck(int type, int unused);
    void ResetItemCheck();
};

} // namespace KOVA
