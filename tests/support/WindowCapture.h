#pragma once
// Reads back what a window's client area shows (GetDC + BitBlt, which copies exactly what
// was painted, also where the window is covered).
#include "platform/Win32.h"

#include <memory>

#include "DibCanvas.h"
#include "platform/CRect.h"

namespace KOVA::test {

// A canvas of the client size holding the window's client pixels.
inline std::unique_ptr<DibCanvas> captureClient(HWND window)
{
    RECT client {};
    ::GetClientRect(window, &client);
    auto canvas = std::make_unique<DibCanvas>(client.right, client.bottom);
    HDC source = ::GetDC(window);
    ::BitBlt(canvas->dc(), 0, 0, client.right, client.bottom, source, 0, 0, SRCCOPY);
    ::ReleaseDC(window, source);
    return canvas;
}

// The window's frame in screen coordinates.
inline CRect windowRectOf(HWND window)
{
    CRect rect;
    ::GetWindowRect(window, &rect);
    return rect;
}

} // namespace KOVA::test
