#pragma once
// The factory rows of the cooling and lighting controls.

namespace KOVA {

class ControlRows;

void AddCoolingControlRows(ControlRows& rows);

} // namespace KOVA
