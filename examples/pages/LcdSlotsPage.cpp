// The LCD slots page: a preview of its own class, derived from the renderer, that draws the
// three sensor slots and an overlay text over every frame. Headless, it writes the JPEGs that
// GetLEDData publishes as the pointer hovers a slot, the slots swap, one is emptied, the overlay
// text is selected, and in the system-information mode, where only the overlay text shows.
#include "SamplePage.h"

#include <string>

#include "HostTools.h"

using namespace KOVA;

namespace {

constexpr UINT kPreviewId = 4200;
constexpr int kPreviewSide = 480;
constexpr UINT kFastTimerPeriod = 10;
constexpr int kOverlayId = 1;

// The renderer with the slots and the overlay texts over whatever screen its mode draws.
class SlotsPreview : public LEDModeCtrl {
public:
    using LEDModeCtrl::LEDModeCtrl;

protected:
    void DrawLEDMode(Gdiplus::Graphics& g, int& width, int& height, HDC& dc) override
    {
        LEDModeCtrl::DrawLEDMode(g, width, height, dc);
        DrawOverlayer(g, width, height);
        DrawLayer(g, m_rect, 1);
    }
};

SlotsPreview* preview(MPanel* page)
{
    return dynamic_cast<SlotsPreview*>(page->GetControl(kPreviewId));
}

void build(MPanel* page, const CRect& area)
{
    auto* lcd = new SlotsPreview(page, kPreviewId, CRect(), 1, 1);
    lcd->SetManager(page->GetManager());
    // The page is built on the window's thread before anything ticks.
    page->GetControls().push_back(lcd);
    lcd->InitOverLayer();
    // The slots take their places with the rectangle.
    lcd->SetRect(CRect(area.left + 20, area.top + 10, area.left + 20 + kPreviewSide, area.top + 10 + kPreviewSide));
    // The square screen: its frames are published upright.
    lcd->SetLEDScreenType(LEDScreenSquare);
    lcd->SetHardWareInfo(HostTools::SampleHardwareInfo());
    lcd->SetTitleColor(RGB(255, 190, 60));
    const int items[] = { HardwareCpuTemperature, HardwareGpuLoad, HardwareMemoryLoad };
    for (int slot = 0; slot < 3; ++slot)
        lcd->SetSensorValue(slot, items[slot]);
    lcd->AddOverLayerInfo(kOverlayId, L"KOVA", L"Liquid cooling");
    lcd->SetLEDMode(LEDModeFile);
    if (PaintManager* manager = page->GetManager()) {
        manager->AddMTimer(lcd);
        manager->SetMTimer(kFastTimerPeriod);
    }
}

void writeOutputs(MPanel* page, const std::wstring& outDir)
{
    SlotsPreview* lcd = preview(page);
    if (!lcd)
        return;
    const std::wstring folder = outDir + L"\\lcd\\";
    CreateDirectoryW(folder.c_str(), nullptr);
    const CRect screen = lcd->GetRect();
    const CPoint firstSlot(screen.left + 90, screen.top + 190);
    const CPoint lowerSlot(screen.left + 240, screen.top + 370);
    HostTools::WriteLcdFrame(*lcd, folder + L"slots.jpg");
    // Held down on the first slot and moved onto the lower one, as the preview's user does.
    lcd->OnControlLButtonDown(MK_LBUTTON, firstSlot);
    lcd->OnControlMouseMove(MK_LBUTTON, lowerSlot);
    lcd->OnControlLButtonUp(0, lowerSlot);
    HostTools::WriteLcdFrame(*lcd, folder + L"slots_hovered.jpg");
    lcd->SwitchSensorValue();
    HostTools::WriteLcdFrame(*lcd, folder + L"slots_swapped.jpg");
    lcd->SetSensorStatus(HardwareGpuLoad, 0);
    HostTools::WriteLcdFrame(*lcd, folder + L"slots_emptied.jpg");
    lcd->SetSelectLayer(0);
    lcd->SetLayerInfo(kOverlayId, L"KOVA", L"Selected text");
    HostTools::WriteLcdFrame(*lcd, folder + L"slots_overlay_selected.jpg");
    lcd->SetLEDMode(LEDModeSystemInfo);
    HostTools::WriteLcdFrame(*lcd, folder + L"slots_mode2.jpg");
    lcd->SetLEDMode(LEDModeFile);
}

} // namespace

extern const SamplePage kLcdSlotsPage = { L"lcd-slots", build, writeOutputs, nullptr };
