#include "devices/cooling/FanCountCtrl.h"

namespace KOVA {

namespace {
const CellLook kCountLook { false, 0, false };
} // namespace

FanCountCtrl::FanCountCtrl(MObject* parent, UINT id, CRect rect, int visible, int enabled)
    : CellPicker(parent, id, rect, visible, enabled, kCountLook)
{
}

FanCountCtrl::~FanCountCtrl() = default;

} // namespace KOVA
