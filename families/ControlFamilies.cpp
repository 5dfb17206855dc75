// The library's one list of its control families: the house above the framework. A family
// added to the library adds its rows here.
#include "controls/basic/BasicControlRows.h"
#include "controls/input/InputControlRows.h"
#include "devices/cooling/CoolingControlRows.h"
#include "devices/peripherals/PeripheralControlRows.h"
#include "framework/ControlFactory.h"
#include "lcd/LcdControlRows.h"

namespace KOVA {

void AddControlFamilies(ControlRows& rows)
{
    AddBasicControlRows(rows);
    AddInputControlRows(rows);
    AddCoolingControlRows(rows);
    AddPeripheralControlRows(rows);
    AddLcdControlRows(rows);
}

} // namespace KOVA
