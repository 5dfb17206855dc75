#pragma once
// The channel picker: round cells, five on the first line and the rest on the second; a ring
// and a bright fill mark every checked channel (all start checked). Behaviour in CellPicker.
#include "devices/cooling/CellPicker.h"

namespace KOVA {

class KOVA_API DevChannelCtrl : public CellPicker {
public:
    DevChannelCtrl(MObject* parent, UINT id, CRect rect, int visible, int enabled);
    DevChannelCtrl(const DevChannelCtrl& other) = default;
    DevChannelCtrl& operator=(const DevChannelCtrl& other) = default;
    ~DevChannelCtrl() override;

    void AddItem(CString text, int value) { AddCell(text, value, 1); }
    void SetAllItemsCheck(int check) { SetAllChecks(check); }
};

} // namespace KOVA
