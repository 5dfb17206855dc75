#include "lcd/LcdControlRows.h"

#include "framework/ControlFactory.h"
#include "lcd/media/GIFViewCtrl.h"
#include "lcd/media/LEDImageCtrl2.h"
#include "lcd/media/OpenCVViewCtrl.h"
#include "lcd/pickers/ClockTypeCtrl.h"
#include "lcd/pickers/LEDImageCtrl.h"
#include "lcd/pickers/LEDModeList.h"
#include "lcd/pickers/LEDTypeCtrl.h"
#include "lcd/renderer/LEDModeCtrl.h"
#include "lcd/timed/CaptureCtrl.h"
#include "lcd/timed/ClockCtrl.h"

namespace KOVA {

void AddLcdControlRows(ControlRows& rows)
{
    static const ControlRow kRows[] = {
        { L"LEDModeList", kPanelTable, form::C<LEDModeList> },
        { L"ClockCtrl", kPanelTable, form::C<ClockCtrl> },
        { L"CaptureCtrl", kPanelTable, form::C<CaptureCtrl> },
        { L"ClockTypeCtrl", kPanelTable, form::C<ClockTypeCtrl> },
        { L"LEDModeCtrl", kPanelTable, form::C<LEDModeCtrl> },
        { L"LEDImageCtrl", kPanelTable, form::C<LEDImageCtrl> },
        { L"LEDImageCtrl2", kPanelTable, form::C<LEDImageCtrl2> },
        { L"LEDTypeCtrl", kPanelTable, form::C<LEDTypeCtrl> },
        { L"OpenCVViewCtrl", kBothTables, form::C<OpenCVViewCtrl> },
        { L"GIFViewCtrl", kBothTables, form::C<GIFViewCtrl> },
    };
    rows.Add(kRows);
}

} // namespace KOVA
