#pragma once
// What the cooling page's lists of checkable items share (the channel and fan-count pickers,
// the fan list box) beyond the item list: each item has a value and a check state; a press on
// an item (the second click of a double click is one too) selects it, toggles its check state
// and reports code 1 with its index; the selected index is the host's to set to any value.
// Drawing and the release are the subclasses'.
//
// GUI thread only; the item lock guards the items (see ItemList).
#include "platform/Win32.h"

#include "framework/ItemList.h"
#include "platform/CRect.h"
#include "platform/KovaExport.h"

namespace KOVA {

struct KOVA_API CheckItem : ListItem {
    int value { 0 };
    int check { 0 };
};

class KOVA_API CheckList : public ItemList {
public:
    CheckList(MObject* parent, UINT id, CRect rect, int visible, int enabled);
    // A copy takes the value fields, a lock of its own and no items.
    CheckList(const CheckList& other) = default;
    CheckList& operator=(const CheckList& other) = default;
    ~CheckList() override;

    // Any index, also one without an item; a repaint when it changed.
    void SetSelectItem(int index);
    // 0 for an index without an item.
    int SetItemCheck(int index, int check);
    int GetItemCheck(int index);

    int OnControlLButtonDown(UINT keys, CPoint pt) override;

protected:
    void SetAllChecks(int check);
    // The item of a valid index, else null; call under the item lock.
    CheckItem* CheckAt(int index) const { return static_cast<CheckItem*>(ItemAt(index)); }
};

} // namespace KOVA
