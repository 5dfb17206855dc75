#pragma once
// The factory rows of the LCD screen's renderer, pickers, media views and timed views.

namespace KOVA {

class ControlRows;

void AddLcdControlRows(ControlRows& rows);

} // namespace KOVA
