#pragma once
// The factory rows of the keyboard and mouse views.

namespace KOVA {

class ControlRows;

void AddPeripheralControlRows(ControlRows& rows);

} // namespace KOVA
