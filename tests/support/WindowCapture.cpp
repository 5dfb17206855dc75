#include "WindowCapture.h"

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

} // namespace KOVA::test
