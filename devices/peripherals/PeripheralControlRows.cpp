#include "devices/peripherals/PeripheralControlRows.h"

#include "devices/peripherals/CRecordList.h"
#include "devices/peripherals/DPIControl.h"
#include "devices/peripherals/KeyFuncControl.h"
#include "devices/peripherals/KeyboardCtrl.h"
#include "devices/peripherals/MouseCtrl.h"
#include "devices/peripherals/MouseKeyCtrl.h"
#include "devices/peripherals/MouseLight.h"
#include "framework/ControlFactory.h"

namespace KOVA {

void AddPeripheralControlRows(ControlRows& rows)
{
    static const ControlRow kRows[] = {
        { L"KeyboardCtrl", kBothTables, form::E<KeyboardCtrl> },
        { L"KeyFuncControl", kPanelTable, form::E<KeyFuncControl> },
        { L"CRecordList", kPanelTable, form::E<CRecordList> },
        { L"DPIControl", kPanelTable, form::E<DPIControl> },
        { L"MouseKeyCtrl", kPanelTable, form::E<MouseKeyCtrl> },
        { L"MouseCtrl", kPanelTable, form::E<MouseCtrl> },
        { L"MouseLight", kPanelTable, form::E<MouseLight> },
    };
    rows.Add(kRows);
}

} // namespace KOVA
