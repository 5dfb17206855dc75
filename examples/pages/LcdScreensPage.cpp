// The LCD screens of their own: a live preview of the weather screen on the round screen, its
// clock going. Headless, it writes the JPEG GetLEDData publishes for each carousel dial (items
// 1 to 10, and entry 11, the water-cooling screen), the weather screen round and wide and the
// water-cooling screen round and wide, with a background picture, dial scales and clock hands
// this host draws itself.
#include "SamplePage.h"

#include <cmath>
#include <string>

#include "HostTools.h"

using namespace KOVA;

namespace {

constexpr UINT kPreviewId = 4400;
constexpr int kSide = 480;
constexpr int kWideWidth = 640;
constexpr UINT kFastTimerPeriod = 10;

// A scale of 51 dots round the 300° from 120° clockwise, every tenth one larger.
void drawDotScale(Gdiplus::Graphics& g, const Gdiplus::Rect& r, Gdiplus::Color colour)
{
    Gdiplus::SolidBrush dot(colour);
    const float cx = r.X + r.Width / 2.0f;
    const float cy = r.Y + r.Height / 2.0f;
    const float radius = r.Width / 2.0f - 40.0f;
    for (int step = 0; step <= 50; ++step) {
        const float a = (120.0f + step * 6.0f) * 3.14159265f / 180.0f;
        const float size = step % 10 == 0 ? 10.0f : 5.0f;
        g.FillEllipse(&dot, cx + radius * std::cos(a) - size / 2, cy + radius * std::sin(a) - size / 2, size, size);
    }
}

// The skin images: two scales for the dials, a sky for the weather page (and the inner disc of
// the water screen), and three clock hands upright with their foot at the bottom.
void writeSkinImages()
{
    HostTools::WriteSkinStrip(L"lcd-screens-scale1.png", kSide, kSide, 1, [](Gdiplus::Graphics& g, int, Gdiplus::Rect r) {
        drawDotScale(g, r, Gdiplus::Color(0xFF7FE0FF));
    });
    HostTools::WriteSkinStrip(L"lcd-screens-scale2.png", kSide, kSide, 1, [](Gdiplus::Graphics& g, int, Gdiplus::Rect r) {
        drawDotScale(g, r, Gdiplus::Color(0xFFFFC060));
    });
    HostTools::WriteSkinStrip(L"lcd-screens-sky.png", kWideWidth, kSide, 1, [](Gdiplus::Graphics& g, int, Gdiplus::Rect r) {
        Gdiplus::LinearGradientBrush sky(r, Gdiplus::Color(0xFF10306A), Gdiplus::Color(0xFF6FA8DC),
                                         Gdiplus::LinearGradientModeVertical);
        g.FillRectangle(&sky, r);
        Gdiplus::SolidBrush cloud(Gdiplus::Color(0x60FFFFFF));
        g.FillEllipse(&cloud, r.X + 380, r.Y + 120, 160, 60);
        g.FillEllipse(&cloud, r.X + 430, r.Y + 100, 110, 60);
    });
    const struct { const wchar_t* name; int width, height; Gdiplus::ARGB colour; } hands[] = {
        { L"lcd-screens-hour.png", 12, 90, 0xFFF0F0F0 },
        { L"lcd-screens-minute.png", 8, 130, 0xFFD0E8FF },
        { L"lcd-screens-second.png", 4, 150, 0xFFFF5040 },
    };
    for (const auto& hand : hands)
        HostTools::WriteSkinStrip(hand.name, hand.width, hand.height, 1, [&](Gdiplus::Graphics& g, int, Gdiplus::Rect r) {
            Gdiplus::SolidBrush fill{ Gdiplus::Color(hand.colour) };
            g.FillRectangle(&fill, r);
        });
}

LEDModeCtrl* preview(MPanel* page)
{
    return dynamic_cast<LEDModeCtrl*>(page->GetControl(kPreviewId));
}

void build(MPanel* page, const CRect& area)
{
    writeSkinImages();
    auto* lcd = dynamic_cast<LEDModeCtrl*>(page->CreateControl(L"LEDModeCtrl", kPreviewId, CRect(), L"", 1, 1));
    if (!lcd)
        return;
    lcd->SetRect(CRect(area.left + 20, area.top + 10, area.left + 20 + kSide, area.top + 10 + kSide));
    // One face draws every text of a screen and Wine links no fallback face: a Latin place name
    // in a face that has the temperature signs.
    lcd->SetTextFont(L"DejaVu Sans");
    lcd->SetWeatherValue(L"Shenzhen", L"20\x2103", L"7", L"37", L"10", L"22", L"Sunny");
    lcd->SetColor(0xFF0A1A30, 0xFFF4F8FF, 0xFF3CC8F0, 0xFFFF6A3C);
    lcd->SetImage(L"lcd-screens-sky.png", 1);
    lcd->SetHMSImage(L"lcd-screens-hour.png", L"lcd-screens-minute.png", L"lcd-screens-second.png");
    for (auto set : { &LEDModeCtrl::SetCPUScaleImage, &LEDModeCtrl::SetGPUScaleImage, &LEDModeCtrl::SetMemoryScaleImage })
        (lcd->*set)(L"lcd-screens-scale1.png", L"lcd-screens-scale2.png");
    lcd->SetHardWareInfo(HostTools::SampleHardwareInfo());
    lcd->SetLEDMode(LEDModeWeather);
    if (PaintManager* manager = page->GetManager()) {
        manager->AddMTimer(lcd);
        manager->SetMTimer(kFastTimerPeriod);
    }
}

void writeFrame(LEDModeCtrl& lcd, const std::wstring& folder, const wchar_t* format, int number)
{
    wchar_t name[64];
    swprintf(name, 64, format, number);
    HostTools::WriteLcdFrame(lcd, folder + name);
}

void writeOutputs(MPanel* page, const std::wstring& outDir)
{
    LEDModeCtrl* lcd = preview(page);
    if (!lcd)
        return;
    const std::wstring folder = outDir + L"\\lcd\\";
    CreateDirectoryW(folder.c_str(), nullptr);
    const CRect place = lcd->GetRect();
    // The carousel with one entry shows that entry's dial in every frame.
    lcd->SetLEDMode(LEDModeCarousel);
    for (UINT item = HardwareCpuTemperature; item <= HardwareWaterTemperature; ++item) {
        lcd->ClearCarousel();
        lcd->AddCarousel(item);
        writeFrame(*lcd, folder, L"dial_item%d.jpg", static_cast<int>(item));
    }
    lcd->ClearCarousel();
    for (int type : { LEDScreenCircle, LEDScreenWide }) {
        const int width = type == LEDScreenWide ? kWideWidth : kSide;
        lcd->SetLEDScreenType(type);
        lcd->SetRect(CRect(place.left, place.top, place.left + width, place.top + kSide));
        lcd->SetLEDMode(LEDModeWeather);
        writeFrame(*lcd, folder, L"weather_type%d.jpg", type);
        lcd->SetLEDMode(LEDModeWaterCooling);
        writeFrame(*lcd, folder, L"water_type%d.jpg", type);
    }
    lcd->SetLEDScreenType(LEDScreenCircle);
    lcd->SetRect(place);
    lcd->SetLEDMode(LEDModeWeather);
}

} // namespace

extern const SamplePage kLcdScreensPage = { L"lcd-screens", build, writeOutputs, nullptr };
