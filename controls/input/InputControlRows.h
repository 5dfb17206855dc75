#pragma once
// The factory rows of the input, list and colour controls.

namespace KOVA {

class ControlRows;

void AddInputControlRows(ControlRows& rows);

} // namespace KOVA
