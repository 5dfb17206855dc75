#pragma once
// The device picker: a scrolling grid of name tiles, each checked or not, whose device ids
// (bit flags) combine into the selection. The tile of id 0, expected first, stands for all
// devices: checking it checks every other tile, and a click on any other tile checks it
// exactly when all the others are checked.
#include "platform/Win32.h"

#include "controls/basic/LookPainting.h"
#include "framework/ItemList.h"
#include "platform/CString.h"
#include "platform/KovaExport.h"
#include "platform/NotCopied.h"

namespace KOVA {

struct KOVA_API DevSelectItemInfo : ListItem {
    int deviceId { 0 };
    int check { 0 };
};

class KOVA_API DevSelectCtrl : public ScrollingItemList {
public:
    // The last flag is not read: the list starts enabled.
    DevSelectCtrl(MObject* parent, UINT id, CRect rect, int visible, int unused);
    // A copy takes the value fields: no tiles, a lock of its own.
    DevSelectCtrl(const DevSelectCtrl& other);
    DevSelectCtrl& operator=(const DevSelectCtrl& other);
    ~DevSelectCtrl() override;

    const wchar_t* GetClassNameW() const override;
    void DrawControl(HDC& dc, CRect paintRect) override;

    // Unchecked; fits the bar, no repaint.
    void AddDevice(CString name, int deviceId);
    void ClearList() override;
    // Neither applies the all-devices rule.
    void SetAllItemsCheck(int check);
    void SetItemCheck(int index, int check);
    // 0 outside the list.
    int GetItemCheck(int index);
    int GetItemDevID(int index);
    // The device ids of the checked tiles, or-ed.
    unsigned long GetSelectDevice();
    // Kept for the hosts that call it; the selection is the checked tiles.
    void SetSelectDevice(int unused);
    // The all-devices rule after the tile of deviceId took check.
    void UpdateItemCheckState(int deviceId, int check);

protected:
    int ContentHeight() override;
    void ReleaseItem(int index, CPoint pt) override;

private:
    int rowsAt(int viewWidth);
    void drawTiles(int viewWidth, int offset);

    NotCopied<KeptFormat> m_format;
    NotCopied<KeptFont> m_font;
};

} // namespace KOVA
