#pragma once
// Reads back what a window's client area shows (GetDC + BitBlt, which copies exactly what
// was painted, also where the window is covered).
#include "platform/Win32.h"

#include <memory>

#include "DibCanvas.h"
#include "platform/CRect.h"

namespace KOVA::test {

// A canvas of the client size holding the window's client pixels.
std::unique_ptr<DibCanvas> captureClient(HWND window);

// The window's frame in screen coordinates.
inline CRect windowRectOf(HWND window)
{
    CRect rect;
    ::GetWindowRect(window, &rect);
    return rect;
}

} // namespace KOVA::test
