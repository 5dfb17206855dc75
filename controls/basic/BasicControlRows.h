#pragma once
// The factory rows of the basic controls: buttons, labels, values, pictures and tabs.

namespace KOVA {

class ControlRows;

void AddBasicControlRows(ControlRows& rows);

} // namespace KOVA
