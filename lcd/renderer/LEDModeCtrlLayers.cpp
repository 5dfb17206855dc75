// The still layers of the LCD screens, and the few values every screen reads per frame.
//
// Runs inside a render with the state lock held (LEDModeCtrl.cpp).
#include "lcd/renderer/LEDModeCtrl.h"

#include <algorithm>

#include "framework/Manager.h"
#include "lcd/renderer/LcdLayerCache.h"
#include "lcd/renderer/LcdTextStamps.h"
#include "lcd/renderer/TemperatureSetting.h"

namespace KOVA {

void LEDModeCtrl::InvalidateLayers()
{
    ScopedLock lock(m_stateLock);
    ++m_layerVersion;
}

const wchar_t* LEDModeCtrl::TemperatureSign() const
{
    return m_fahrenheit ? L"\x2109" : L"\x2103";
}

float LEDModeCtrl::ClockDialAngle(float mhz)
{
    return std::clamp(mhz * 300.0f / kClockFullScaleMHz, 0.0f, 300.0f);
}

LcdTextStamps* LEDModeCtrl::textStamps()
{
    if (!m_layersCached)
        return nullptr;
    if (!m_textStamps)
        m_textStamps = std::make_unique<LcdTextStamps>();
    return m_textStamps.get();
}

void LEDModeCtrl::readFrameSettings()
{
    m_fahrenheit = ShowsFahrenheit();
}

void LEDModeCtrl::DrawLayered(Gdiplus::Graphics& g, int width, int height, int item, int screen, ScreenPart still,
                              ScreenPart moving)
{
    readFrameSettings();
    // What the still part sets on g must not reach the moving part, as with a layer.
    const auto drawStillOnFrame = [&] {
        const Gdiplus::GraphicsState before = g.Save();
        (this->*still)(g, width, height, item);
        g.Restore(before);
    };
    if (!m_layersCached) {
        drawStillOnFrame();
        (this->*moving)(g, width, height, item);
        return;
    }
    if (!m_layers)
        m_layers = std::make_unique<LcdLayerCache>();
    LcdLayerKey key;
    key.version = m_layerVersion;
    key.screen = screen;
    key.item = item;
    key.width = width;
    key.height = height;
    key.screenType = m_screenType;
    key.language = Manager::GetLanguage();
    key.fahrenheit = m_fahrenheit;
    key.scale = Manager::GetScaleValue();
    key.textColour = m_textColor.GetValue();
    key.controlHint = m_textRenderingHint;
    key.frameHint = g.GetTextRenderingHint();
    key.smoothing = g.GetSmoothingMode();
    key.interpolation = g.GetInterpolationMode();

    // What GDI+ has queued must be on the surface before its pixels are compared or covered.
    g.Flush(Gdiplus::FlushIntentionSync);
    const HDC surface = g.GetHDC();
    bool ready = m_layers->Matches(key, m_textFont, surface);
    if (!ready) {
        if (const HDC layer = m_layers->Begin(key, m_textFont, surface)) {
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
