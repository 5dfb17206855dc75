#include "WindowCapture.h"

#include <cstdlib>
#include <initializer_list>

namespace KOVA::test {

std::unique_ptr<DibCanvas> captureClient(HWND window)
{
    RECT client {};
    GetClientRect(window, &client);
    auto canvas = std::make_unique<DibCanvas>(client.right, client.bottom);
    HDC source = GetDC(window);
    BitBlt(canvas->dc(), 0, 0, client.right, client.bottom, source, 0, 0, SRCCOPY);
    ReleaseDC(window, source);
    return canvas;
}

bool nearColor(DWORD rgb, DWORD expected, int tolerance)
{
    for (int shift : { 0, 8, 16 })
        if (std::abs(channel(rgb, shift) - channel(expected, shift)) > tolerance)
            return false;
    return true;
}

} // namespace KOVA::test
