#pragma once
// The hue, saturation and lightness colour model of the colour pickers: floats 0 to 1 on one
// side, COLORREF (0x00BBGGRR) on the other. Every step is single-precision arithmetic in a
// fixed order and every float-to-integer step truncates, so a colour converts the same way
// everywhere (pure green comes back as hue 0.33055 and red 4, not 120° and 0).
#include "platform/Win32.h"

#include "platform/KovaExport.h"

namespace KOVA {

// One channel (0 to 1) of the colour between p and q at hue h.
KOVA_API float HueToRGB(float p, float q, float h);
KOVA_API void RGBToHSL(COLORREF colour, float& hue, float& saturation, float& lightness);
// The top byte of the result is 0.
KOVA_API COLORREF HSLToRGB(float hue, float saturation, float lightness);

} // namespace KOVA
