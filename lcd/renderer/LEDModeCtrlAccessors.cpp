// The small members a host calls on the renderer directly. Any thread that owns dc.
#include "lcd/renderer/LEDModeCtrl.h"

#include <algorithm>

namespace KOVA {

namespace {
BYTE scaledChannel(BYTE channel, float brightness)
{
    const int value = static_cast<int>(channel * brightness / 255.0f);
    return static_cast<BYTE>(std::max(0, std::min(value, 255)));
}
} // namespace

void LEDModeCtrl::AdjustBrightness(HDC dc, float brightness, int width, int height)
{
    // Pixel by pixel through GDI, so that any device context works, not only a memory DIB.
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const COLORREF pixel = ::GetPixel(dc, x, y);
            ::SetPixel(dc, x, y,
                       RGB(scaledChannel(GetRValue(pixel), brightness), scaledChannel(GetGValue(pixel), brightness),
                           scaledChannel(GetBValue(pixel), brightness)));
        }
    }
}

} // namespace KOVA
