// The LCD page: a live preview of the device screen (the carousel text of a few sensor values
// stepping over the black disc), and, headless, one JPEG per LED mode and screen type written
// as a host would pull it with GetLEDData, the capture mode copying this very window.
#include "SamplePage.h"

#include <string>

#include "HostTools.h"

using namespace KOVA;

namespace {

constexpr UINT kPreviewId = 4100;
constexpr int kPreviewSide = 480;
constexpr int kWideWidth = 640;
constexpr UINT kFastTimerPeriod = 10;

LEDModeCtrl* preview(MPanel* page)
{
    return dynamic_cast<LEDModeCtrl*>(page->GetControl(kPreviewId));
}

void build(MPanel* page, const CRect& area)
{
    const CRect place(area.left + 20, area.top + 10, area.left + 20 + kPreviewSide, area.top + 10 + kPreviewSide);
    auto* lcd = dynamic_cast<LEDModeCtrl*>(page->CreateControl(L"LEDModeCtrl", kPreviewId, CRect(), L"", 1, 1));
    if (!lcd)
        return;
    // Sized to the screen as a host does: the carousel text finds its default place then.
    lcd->SetRect(place);
    lcd->SetHardWareInfo(HostTools::SampleHardwareInfo());
    for (UINT item : { HardwareCpuTemperature, HardwareCpuLoad, HardwareMemoryCapacity })
        lcd->AddCarousel(item);
    // The file screen without a medium: the black disc with the carousel text stepping over it.
    lcd->SetLEDMode(LEDModeFile);
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
    if (PaintManager* manager = page->GetManager())
        lcd->SetCaptureWindow(manager->GetPaintWnd());
    const CRect square = lcd->GetRect();
    for (int type : { LEDScreenCircle, LEDScreenWide, LEDScreenSquare }) {
        lcd->SetLEDScreenType(type);
        const int width = type == LEDScreenWide ? kWideWidth : kPreviewSide;
        lcd->SetRect(CRect(square.left, square.top, square.left + width, square.top + kPreviewSide));
        for (int mode = LEDModeNone; mode <= LEDModeClock; ++mode) {
            lcd->SetLEDMode(mode);
            wchar_t name[64];
            swprintf(name, 64, L"type%d_mode%d.jpg", type, mode);
            HostTools::WriteLcdFrame(*lcd, folder + name);
        }
    }
    // The labels in Chinese, drawn with a face that has their glyphs.
    const int language = Manager::GetLanguage();
    Manager::SetLanguage(2052);
    lcd->SetLEDScreenType(LEDScreenCircle);
    lcd->SetRect(square);
    lcd->SetLEDMode(LEDModeWindowCapture);
    HostTools::WriteLcdFrame(*lcd, folder + L"type1_mode5_2052.jpg");
    Manager::SetLanguage(language);
}

} // namespace

extern const SamplePage kLcdPage = { L"lcd", build, writeOutputs, nullptr };
