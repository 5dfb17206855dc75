// Built with SSE arithmetic (see CMakeLists): under x87 the intermediate results keep more
// precision and the truncations below come out one step different.
#include "controls/input/HSLColor.h"

#include <algorithm>

namespace KOVA {

namespace {
constexpr float kThird = 1.0f / 3.0f;
constexpr float kTwoThirds = 2.0f / 3.0f;

int channelByte(float value)
{
    return static_cast<int>(value * 255.0f) & 0xFF;
}

float wrapHue(float h)
{
    if (h < 0.0f)
        h += 1.0f;
    if (h > 1.0f)
        h -= 1.0f;
    return h;
}
} // namespace

float HueToRGB(float p, float q, float h)
{
    h = wrapHue(h);
    if (1.0f > h * 6.0f)
        return p + ((q - p) * 6.0f) * h;
    if (1.0f > h + h)
        return q;
    if (2.0f > h * 3.0f)
        return p + ((q - p) * (kTwoThirds - h)) * 6.0f;
    return p;
}

void RGBToHSL(COLORREF colour, float& hue, float& saturation, float& lightness)
{
    const float r = static_cast<float>(GetRValue(colour)) / 255.0f;
    const float g = static_cast<float>(GetGValue(colour)) / 255.0f;
    const float b = static_cast<float>(GetBValue(colour)) / 255.0f;
    const float high = std::max(r, std::max(g, b));
    const float low = std::min(r, std::min(g, b));
    const float d = high - low;
    lightness = (high + low) * 0.5f;
    if (d == 0.0f) {
        hue = 0.0f;
        saturation = 0.0f;
        return;
    }
    saturation = lightness < 0.5f ? d / (high + low) : d / ((2.0f - high) - low);
    const auto part = [&](float c) { return ((high - c) / 6.0f + d * 0.5f) / d; };
    const float dr = part(r);
    const float dg = part(g);
    const float db = part(b);
    if (r == high)
        hue = db - dg;
    else if (g == high)
        hue = (dr + kThird) - db;
    else
        hue = (dg + kTwoThirds) - dr;
    hue = wrapHue(hue);
}

COLORREF HSLToRGB(float hue, float saturation, float lightness)
{
    if (saturation == 0.0f) {
        const int grey = channelByte(lightness);
        return RGB(grey, grey, grey);
    }
    const float q = lightness < 0.5f ? (saturation + 1.0f) * lightness
                                     : (saturation + lightness) - saturation * lightness;
    const float p = (lightness + lightness) - q;
    const int red = channelByte(HueToRGB(p, q, hue + kThird));
    const int green = channelByte(HueToRGB(p, q, hue));
    const int blue = channelByte(HueToRGB(p, q, hue - kThird));
    return RGB(red, green, blue);
}

} // namespace KOVA
