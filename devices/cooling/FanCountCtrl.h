#pragma once
// The fan-count picker: square cells on one line; an outline in the selection colour and a
// bright fill mark the selected cell, the check state is kept for the host only. Behaviour in
// CellPicker.
#include "devices/cooling/CellPicker.h"

namespace KOVA {

class KOVA_API FanCountCtrl : public CellPicker {
public:
    FanCountCtrl(MObject* parent, UINT id, CRect rect, int visible, int enabled);
    FanCountCtrl(const FanCountCtrl& other) = default;
    FanCountCtrl& operator=(const FanCountCtrl& other) = default;
    ~FanCountCtrl() override;

    void AddItem(CString text, int value, int check) { AddCell(text, value, check); }
};

} // namespace KOVA
