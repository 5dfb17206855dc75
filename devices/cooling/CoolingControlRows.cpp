#include "devices/cooling/CoolingControlRows.h"

#include "devices/cooling/ArchivedCtrl.h"
#include "devices/cooling/CDeviceCtrl.h"
#include "devices/cooling/CFan2DevCtrl.h"
#include "devices/cooling/CFanDevCtrl.h"
#include "devices/cooling/CHardwareInfo.h"
#include "devices/cooling/CHomeFuncCtrl.h"
#include "devices/cooling/DevChannelCtrl.h"
#include "devices/cooling/DevSelectCtrl.h"
#include "devices/cooling/Fan2TempCurve.h"
#include "devices/cooling/FanCountCtrl.h"
#include "devices/cooling/FanDeviceBox.h"
#include "devices/cooling/LightCtrl.h"
#include "devices/cooling/MLevelCtrl.h"
#include "devices/cooling/ModeRowList.h"
#include "devices/cooling/SysInfoList.h"
#include "devices/cooling/UsageRateCtrl.h"
#include "framework/ControlFactory.h"

namespace KOVA {

void AddCoolingControlRows(ControlRows& rows)
{
    static const ControlRow kRows[] = {
        { L"CFanDevCtrl", kBothTables, form::C<CFanDevCtrl> },
        { L"CFan2DevCtrl", kPanelTable, form::C<CFan2DevCtrl> },
        { L"Fan2TempCurve", kPanelTable, form::C<Fan2TempCurve> },
        { L"DevChannelCtrl", kPanelTable, form::C<DevChannelCtrl> },
        { L"FanCountCtrl", kPanelTable, form::C<FanCountCtrl> },
        { L"FanDeviceBox", kPanelTable, form::C<FanDeviceBox> },
        { L"MLevelCtrl", kBothTables, form::B<MLevelCtrl> },
        { L"CDeviceCtrl", kBothTables, form::C<CDeviceCtrl> },
        { L"ArchivedCtrl", kPanelTable, form::C<ArchivedCtrl> },
        { L"LightCtrl", kPanelTable, form::C<LightCtrl> },
        { L"CHomeFuncCtrl", kBothTables, form::C<CHomeFuncCtrl> },
        { L"LightLayer", kPanelTable, form::C<LightLayer> },
        { L"DevSelectCtrl", kPanelTable, form::C<DevSelectCtrl> },
        { L"UsageRateCtrl", kPanelTable, form::C<UsageRateCtrl> },
        { L"CHardwareInfoBkg", kPanelTable, form::C<CHardwareInfoBkg> },
        { L"CHardwareInfo", kPanelTable, form::C<CHardwareInfo> },
        { L"SysInfoCtrl", kPanelTable, form::C<SysInfoCtrl> },
        { L"SysInfo2Ctrl", kPanelTable, form::C<SysInfo2Ctrl> },
        { L"Fan2CoolMode", kPanelTable, form::C<Fan2CoolMode> },
    };
    rows.Add(kRows);
}

} // namespace KOVA
