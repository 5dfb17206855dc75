// The still layer a screen keeps between frames: drawn once while nothing it reads changes,
// redrawn when something does, and never a pixel apart from drawing the frame whole.
#include <functional>

#include "GdiObjectCount.h"
#include "LcdTestKit.h"
#include "framework/Registry.h"

using namespace KOVA;
using namespace KOVA::test;

namespace {

const auto* const host = ::testing::AddGlobalTestEnvironment(new LibraryHost);

// A screen whose still part is a disc in the background colour with the accent's ring and
// whose moving part is a bar as long as the CPU load; it counts how often each part ran.
class LayeredLcd : public LEDModeCtrl {
public:
    using LEDModeCtrl::LEDModeCtrl;
    int stillDrawn { 0 };
    bool clipInStill { false };

    void drawScreen(HDC& dc, bool cached)
    {
        m_layersCached = cached;
        ScopedLock lock(m_stateLock);
        Gdiplus::Graphics g(dc);
        g.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
        int width = m_rect.Width(), height = m_rect.Height();
        DrawLayered(g, width, height, m_hardwareItem, 99, static_cast<ScreenPart>(&LayeredLcd::still),
                    static_cast<ScreenPart>(&LayeredLcd::moving));
    }

private:
    void still(Gdiplus::Graphics& g, int width, int height, int)
    {
        ++stillDrawn;
        Gdiplus::SolidBrush fill(m_backgroundColour);
        g.FillEllipse(&fill, 10, 10, width - 20, height - 20);
        Gdiplus::Pen ring(m_accentColour, 6);
        g.DrawEllipse(&ring, 20, 20, width - 40, height - 40);
        Gdiplus::SolidBrush sign(TemperatureSign()[0] == L'\x2109' ? Gdiplus::Color(255, 0, 0, 255) : Gdiplus::Color(255, 255, 255, 0));
        g.FillRectangle(&sign, 0, 0, 8, 8);
        // Left on g: the moving part must not inherit it.
        g.SetClip(Gdiplus::Rect(0, 0, 1, 1));
    }
    void moving(Gdiplus::Graphics& g, int, int height, int)
    {
        Gdiplus::SolidBrush bar(m_valueColour);
        g.FillRectangle(&bar, 0.0f, static_cast<float>(height / 2), m_hardwareInfo.cpuLoad, 10.0f);
    }
};

bool samePixels(DibCanvas& a, DibCanvas& b)
{
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if (a.pixel(x, y) != b.pixel(x, y))
                return false;
    return true;
}

// A script of frames, each after one change: the cached render matches the whole render
// pixel for pixel, and the still part runs only when the change reaches it.
TEST(LcdLayerCache, FramesMatchTheWholeRenderAndStillPartsRedrawOnlyOnChange)
{
    LayeredLcd lcd(nullptr, 1, CRect(0, 0, 120, 100), 1, 1);
    WriteRegString(L"led_cpushowtype", L"0");
    DibCanvas cached(120, 100), whole(120, 100);
    struct Step {
        const char* change;
        std::function<void()> apply;
        bool redraws;
        DWORD under;
    };
    const Step script[] = {
        { "first frame", [] {}, true, 0xFF000000 },
        { "value only", [&] { HARDWARE_INFO info {}; info.cpuLoad = 70; lcd.SetHardWareInfo(info); }, false, 0xFF000000 },
        { "item", [&] { lcd.SetHardWareType(HardwareGpuLoad); }, true, 0xFF000000 },
        // The carousel alternates items frame by frame: each keeps its layer.
        { "first item again", [&] { lcd.SetHardWareType(HardwareCpuTemperature); }, false, 0xFF000000 },
        { "colours", [&] { lcd.SetColor(0xFF204060, 0xFFFFFFFF, 0xFF00FF00, 0xFFFF0000); }, true, 0xFF000000 },
        { "sign", [] { WriteRegString(L"led_cpushowtype", L"1"); }, true, 0xFF000000 },
        { "pixels under", [] {}, true, 0xFF102030 },
        { "nothing", [] {}, false, 0xFF102030 },
        { "scale", [] { Manager::SetScaleValue(1.5f); }, true, 0xFF102030 },
    };
    for (const Step& step : script) {
        step.apply();
        cached.fill(step.under);
        whole.fill(step.under);
        const int before = lcd.stillDrawn;
        lcd.drawScreen(cached.dc(), true);
        const bool redrawn = lcd.stillDrawn != before;
        lcd.drawScreen(whole.dc(), false);
        EXPECT_EQ(step.redraws, redrawn) << step.change;
        EXPECT_TRUE(samePixels(cached, whole)) << step.change;
    }
    EXPECT_EQ(0xFF00FF00u, cached.pixel(60, 55)) << "the moving part draws past the still part's clip";
    Manager::SetScaleValue(1.0f);
    WriteRegString(L"led_cpushowtype", L"");
}

// Every colour change leaves the kept layers behind for good: the next layer takes the place of
// such a dead one before an unused slot, so colours changed frame after frame add no layer.
TEST(LcdLayerCache, ChangedSettingsReuseADeadLayerBeforeAnUnusedSlot)
{
    LayeredLcd lcd(nullptr, 1, CRect(0, 0, 120, 100), 1, 1);
    DibCanvas canvas(120, 100);
    lcd.drawScreen(canvas.dc(), true);
    const int before = countGdiObjects();
    for (BYTE blue = 1; blue <= 12; ++blue) {
        lcd.SetColor(Gdiplus::Color(255, 0, 0, blue), 0xFFFFFFFF, 0xFF00FF00, 0xFFFF0000);
        lcd.drawScreen(canvas.dc(), true);
    }
    EXPECT_EQ(12, lcd.stillDrawn - 1);
    EXPECT_EQ(before, countGdiObjects());
}

} // namespace
