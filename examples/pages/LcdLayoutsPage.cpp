// The LCD system-information page: a live preview of the needle dial (layout 12) on the round
// screen showing the CPU load. Headless, it writes the JPEG GetLEDData publishes for every layout
// (11 to 16 on the round screen, 21 to 26 on the square and the 640 × 480 screens), each with
// an item that draws its gauge, over scale and corner images this host draws itself (11 and 13
// would stretch the control image over the whole frame: they go without one).
#include "SamplePage.h"

#include <cmath>
#include <string>

#include "HostTools.h"

using namespace KOVA;

namespace {

constexpr UINT kPreviewId = 4300;
constexpr int kSide = 480;
constexpr int kWideWidth = 640;
constexpr UINT kFastTimerPeriod = 10;

// A dial scale: ticks round the 300° from 120° clockwise, every tenth one long, in colour.
void drawScale(Gdiplus::Graphics& g, const Gdiplus::Rect& r, Gdiplus::Color colour)
{
    const float cx = r.X + r.Width / 2.0f;
    const float cy = r.Y + r.Height / 2.0f;
    const float outer = r.Width / 2.0f - 24.0f;
    Gdiplus::Pen tick(colour, 3.0f);
    for (int step = 0; step <= 50; ++step) {
        const float a = (120.0f + step * 6.0f) * 3.14159265f / 180.0f;
        const float inner = outer - (step % 10 == 0 ? 26.0f : 12.0f);
        g.DrawLine(&tick, cx + inner * std::cos(a), cy + inner * std::sin(a), cx + outer * std::cos(a),
                   cy + outer * std::sin(a));
    }
}

// The skin images the layouts read: two scale images a dial (first and second, in two
// colours) and a small corner badge of two frames.
void writeSkinImages()
{
    const struct { const wchar_t* name; Gdiplus::ARGB colour; } scales[] = {
        { L"lcd-layouts-scale1.png", 0xFF4FD8FF },
        { L"lcd-layouts-scale2.png", 0xFFFFB040 },
    };
    for (const auto& scale : scales)
        HostTools::WriteSkinStrip(scale.name, 480, 480, 1, [&](Gdiplus::Graphics& g, int, Gdiplus::Rect r) {
            drawScale(g, r, Gdiplus::Color(scale.colour));
        });
    HostTools::WriteSkinStrip(L"lcd-layouts-badge.png", 72, 48, 2, [](Gdiplus::Graphics& g, int frame, Gdiplus::Rect r) {
        Gdiplus::SolidBrush fill(Gdiplus::Color(frame ? 0xFF808080 : 0xFF2E7DFF));
        g.FillEllipse(&fill, r.X + 12, r.Y + 4, 40, 40);
        Gdiplus::SolidBrush white(Gdiplus::Color(0xFFFFFFFF));
        g.FillRectangle(&white, r.X + 26, r.Y + 14, 12, 20);
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
    lcd->SetColor(0xFF0C1424, 0xFFE8F0FF, 0xFF2AB6D9, 0xFFFF5A36);
    for (auto set : { &LEDModeCtrl::SetCPUScaleImage, &LEDModeCtrl::SetGPUScaleImage, &LEDModeCtrl::SetMemoryScaleImage })
        (lcd->*set)(L"lcd-layouts-scale1.png", L"lcd-layouts-scale2.png");
    lcd->SetHardWareInfo(HostTools::SampleHardwareInfo());
    lcd->SetLEDMode(LEDModeSystemInfo);
    lcd->SetSensorType(12);
    lcd->SetHardWareType(HardwareCpuLoad);
    if (PaintManager* manager = page->GetManager()) {
        manager->AddMTimer(lcd);
        manager->SetMTimer(kFastTimerPeriod);
    }
}

void writeOutputs(MPanel* page, const std::wstring& outDir)
{
    LEDModeCtrl* lcd = preview(page);
    if (!lcd)
        return;
    const std::wstring folder = outDir + L"\\lcd\\";
    CreateDirectoryW(folder.c_str(), nullptr);
    const CRect place = lcd->GetRect();
    // An item each layout draws its gauge or panel for.
    const struct { int layout, item; } shown[] = {
        { 11, HardwareCpuTemperature }, { 12, HardwareMemoryLoad }, { 13, HardwareMemoryCapacity },
        { 14, HardwareCpuTemperature }, { 15, HardwareGpuLoad },    { 16, HardwareCpuClock },
        { 21, HardwareGpuTemperature }, { 22, HardwareCpuLoad },    { 23, HardwareMemoryLoad },
        { 24, HardwareGpuClock },       { 25, HardwareCpuLoad },    { 26, HardwareMemoryClock },
    };
    for (const auto& screen : shown) {
        const bool round = screen.layout < 20;
        lcd->SetImage(round ? L"lcd-layouts-none.png" : L"lcd-layouts-badge.png", 2);
        for (int type : { LEDScreenCircle, LEDScreenSquare, LEDScreenWide }) {
            if (round != (type == LEDScreenCircle))
                continue;
            const int width = type == LEDScreenWide ? kWideWidth : kSide;
            lcd->SetLEDScreenType(type);
            lcd->SetRect(CRect(place.left, place.top, place.left + width, place.top + kSide));
            lcd->SetSensorType(screen.layout);
            lcd->SetHardWareType(screen.item);
            wchar_t name[64];
            swprintf(name, 64, L"layout%d_type%d.jpg", screen.layout, type);
            HostTools::WriteLcdFrame(*lcd, folder + name);
        }
    }
    lcd->SetLEDScreenType(LEDScreenCircle);
    lcd->SetRect(place);
    lcd->SetSensorType(12);
    lcd->SetHardWareType(HardwareCpuLoad);
}

} // namespace

extern const SamplePage kLcdLayoutsPage = { L"lcd-layouts", build, writeOutputs, nullptr };
