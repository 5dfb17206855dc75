// The clock faces of the LCD screen: a live preview of the analogue face with the month window
// on the round screen, its hands going. Headless, it writes the JPEG GetLEDData publishes for
// each round face 1 to 8 (clock_roundN.jpg) and each wide face 1 to 8 (clock_wideN.jpg) over a
// background picture, weather icons and clock hands this host draws itself.
#include "SamplePage.h"

#include <string>

#include "HostTools.h"

using namespace KOVA;

namespace {

constexpr UINT kPreviewId = 4500;
constexpr int kSide = 480;
constexpr int kWideWidth = 640;
constexpr UINT kFastTimerPeriod = 10;
constexpr int kPreviewFace = 6;

// The background picture, three small weather icons and three hands standing upright with
// their foot at the bottom.
void writeSkinImages()
{
    HostTools::WriteSkinStrip(L"lcd-clock-night.png", kSide, kSide, 1, [](Gdiplus::Graphics& g, int, Gdiplus::Rect r) {
        Gdiplus::LinearGradientBrush sky(r, Gdiplus::Color(0xFF081428), Gdiplus::Color(0xFF2A4C7C),
                                         Gdiplus::LinearGradientModeVertical);
        g.FillRectangle(&sky, r);
        Gdiplus::Pen ring(Gdiplus::Color(0x60FFFFFF), 3.0f);
        g.DrawEllipse(&ring, r.X + 30, r.Y + 30, r.Width - 60, r.Height - 60);
    });
    const Gdiplus::ARGB icons[] = { 0xFFFFC83C, 0xFF7FD0FF, 0xFFB0F070 };
    for (int i = 0; i < 3; ++i) {
        const std::wstring name = L"lcd-clock-icon" + std::to_wstring(i + 1) + L".png";
        HostTools::WriteSkinStrip(name.c_str(), 30, 30, 1, [&](Gdiplus::Graphics& g, int, Gdiplus::Rect r) {
            Gdiplus::SolidBrush fill{ Gdiplus::Color(icons[i]) };
            g.FillEllipse(&fill, r.X + 2, r.Y + 2, r.Width - 4, r.Height - 4);
        });
    }
    const struct { const wchar_t* name; int width, height; Gdiplus::ARGB colour; } hands[] = {
        { L"lcd-clock-hour.png", 12, 110, 0xFFF4F4F4 },
        { L"lcd-clock-minute.png", 8, 170, 0xFFCFE6FF },
        { L"lcd-clock-second.png", 4, 200, 0xFFFF5A46 },
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
    // Wine links no fallback face: one face with the Chinese weekdays, the Latin texts and both
    // temperature signs.
    lcd->SetTextFont(L"WenQuanYi Micro Hei");
    lcd->SetWeatherValue(L"Shenzhen", L"20\x2103", L"64", L"37", L"10", L"22", L"Rain");
    lcd->SetColor(0xFF000000, 0xFFF4F8FF, 0xFF3CC8F0, 0xFFFF6A3C);
    lcd->SetHardWareInfo(HostTools::SampleHardwareInfo());
    lcd->SetIcon1Image(L"lcd-clock-icon1.png");
    lcd->SetIcon2Image(L"lcd-clock-icon2.png");
    lcd->SetIcon3Image(L"lcd-clock-icon3.png");
    lcd->SetHMSImage(L"lcd-clock-hour.png", L"lcd-clock-minute.png", L"lcd-clock-second.png");
    lcd->SetClockFileImage(HostTools::SkinFolder() + L"lcd-clock-night.png", MediaKindPicture);
    lcd->SetColockType(kPreviewFace);
    lcd->SetLEDMode(LEDModeClock);
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
    for (int face = 1; face <= 8; ++face) {
        lcd->SetColockType(face);
        HostTools::WriteLcdFrame(*lcd, folder + L"clock_round" + std::to_wstring(face) + L".jpg");
    }
    // The wide faces (clock_wideN.jpg), on a control of the wide screen's size.
    const CRect shown = lcd->GetRect();
    lcd->SetLEDScreenType(LEDScreenWide);
    lcd->SetControlRect(CRect(shown.left, shown.top, shown.left + kWideWidth, shown.bottom));
    for (int face = 1; face <= 8; ++face) {
        lcd->SetColockType(face);
        HostTools::WriteLcdFrame(*lcd, folder + L"clock_wide" + std::to_wstring(face) + L".jpg");
    }
    lcd->SetLEDScreenType(LEDScreenCircle);
    lcd->SetControlRect(shown);
    lcd->SetColockType(kPreviewFace);
}

} // namespace

extern const SamplePage kLcdClockPage = { L"lcd-faces", build, writeOutputs, nullptr };
