// The still layers of the LCD screens, keyed by what the frame's snapshot says.
//
// Runs inside a render, with the render lock held and the state lock free (LEDModeCtrl.cpp);
// InvalidateLayers runs on the setters' threads under the state lock.
#include "lcd/renderer/LEDModeCtrl.h"

#include <algorithm>

#include "lcd/renderer/LcdFrameSnapshot.h"
#include "lcd/renderer/LcdLayerCache.h"
#include "lcd/renderer/LcdPremultipliedLayer.h"
#include "lcd/renderer/LcdTextStamps.h"

namespace KOVA {

void LEDModeCtrl::InvalidateLayers()
{
    ScopedLock lock(m_stateLock);
    ++m_layerVersion;
}

const wchar_t* LEDModeCtrl::TemperatureSign() const
{
    return snapshot().sign();
}

float LEDModeCtrl::ClockDialAngle(float mhz)
{
    return std::clamp(mhz * 300.0f / kClockFullScaleMHz, 0.0f, 300.0f);
}

LcdTextStamps* LEDModeCtrl::textStamps()
{
    if (!snapshot().layersCached || !LcdPremultipliedLayer::TransparentDrawingBlendsAlike())
        return nullptr;
    if (!m_textStamps)
        m_textStamps = std::make_unique<LcdTextStamps>();
    return m_textStamps.get();
}

LcdLayerKey LEDModeCtrl::layerKey(Gdiplus::Graphics& g, int width, int height, int item, int screen) const
{
    const LcdFrameSnapshot& s = snapshot();
    LcdLayerKey key;
    key.version = s.layerVersion;
    key.screen = screen;
    key.item = item;
    key.width = width;
    key.height = height;
    key.screenType = s.screenType;
    key.language = s.language;
    key.fahrenheit = s.fahrenheit;
    key.scale = s.scale;
    key.textColour = s.label.GetValue();
    key.controlHint = s.hint;
    key.frameHint = g.GetTextRenderingHint();
    key.smoothing = g.GetSmoothingMode();
    key.interpolation = g.GetInterpolationMode();
    return key;
}

void LEDModeCtrl::DrawLayered(Gdiplus::Graphics& g, int width, int height, int item, int screen, ScreenPart still,
                              ScreenPart moving)
{
    const FrameScope frame(*this);
    const LcdFrameSnapshot& s = snapshot();
    // What the still part sets on g must not reach the moving part, as with a layer.
    const auto drawStillOnFrame = [&] {
        const Gdiplus::GraphicsState before = g.Save();
        (this->*still)(g, width, height, item);
        g.Restore(before);
    };
    if (!s.layersCached) {
        drawStillOnFrame();
        (this->*moving)(g, width, height, item);
        return;
    }
    if (!m_layers)
        m_layers = std::make_unique<LcdLayerCache>();
    const LcdLayerKey key = layerKey(g, width, height, item, screen);

    // What GDI+ has queued must be on the surface before its pixels are compared or covered.
    g.Flush(Gdiplus::FlushIntentionSync);
    const HDC surface = g.GetHDC();
    bool ready = m_layers->Matches(key, s.face, surface);
    if (!ready) {
        if (const HDC layer = m_layers->Begin(key, s.face, surface)) {
            Gdiplus::Graphics lg(layer);
            lg.SetTextRenderingHint(key.frameHint);
            lg.SetSmoothingMode(key.smoothing);
            lg.SetInterpolationMode(key.interpolation);
            (this->*still)(lg, width, height, item);
            ready = true;
        }
    }
    if (ready)
        m_layers->CopyTo(surface);
    g.ReleaseHDC(surface);
    // A surface the layer cannot mirror (not a 32-bit DIB) is drawn the straightforward way.
    if (!ready)
        drawStillOnFrame();
    (this->*moving)(g, width, height, item);
}

} // namespace KOVA
