#include "devices/cooling/DevChannelCtrl.h"

namespace KOVA {

namespace {
const CellLook kChannelLook { true, 5, true };
} // namespace

DevChannelCtrl::DevChannelCtrl(MObject* parent, UINT id, CRect rect, int visible, int enabled)
    : CellPicker(parent, id, rect, visible, enabled, kChannelLook)
{
}

DevChannelCtrl::~DevChannelCtrl() = default;

} // namespace KOVA
