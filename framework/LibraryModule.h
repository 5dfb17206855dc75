#pragma once
#include <windows.h>

namespace KOVA {

// The library's own module: its embedded resources (the icon font) are loaded from it.
HMODULE GetLibraryModule();
// Recorded by the entry point when the DLL loads.
void SetLibraryModule(HMODULE module);

} // namespace KOVA
