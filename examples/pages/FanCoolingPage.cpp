// The fan cooling page: the 18-LED preview of six fans running a rainbow wheel with a marquee
// over it on the fast timer, the fan curve editor with an eleven-point curve, the channel
// picker and the fan-count picker.
#include "SamplePage.h"

#include "HostTools.h"

using namespace KOVA;

namespace {

constexpr UINT kPreviewId = 7600;
constexpr UINT kCurveId = 7601;
constexpr UINT kChannelsId = 7602;
constexpr UINT kCountsId = 7603;
constexpr UINT kFastTimerPeriod = 10;

// The direction toggle: a dark frame (off) and a purple one (on).
void writeToggle()
{
    HostTools::WriteSkinStrip(L"sample_fan_toggle.png", 44, 24, 2, [](Gdiplus::Graphics& g, int frame, Gdiplus::Rect r) {
        const Gdiplus::SolidBrush fill(frame ? Gdiplus::Color(255, 189, 48, 255) : Gdiplus::Color(255, 60, 60, 66));
        g.FillRectangle(&fill, r);
    });
}

void addPreview(MPanel* page, const CRect& area)
{
    auto* preview = dynamic_cast<CFan2DevCtrl*>(page->CreateControl(
        L"CFan2DevCtrl", kPreviewId, CRect(area.left + 20, area.top + 20, area.left + 560, area.top + 440), L"", 1, 1));
    PaintManager* manager = page->GetManager();
    if (!preview || !manager)
        return;
    preview->SetRotateImage(L"sample_fan_toggle.png");
    for (int fan = 0; fan < 6; ++fan)
        preview->AddFan(2, fan / 3, fan % 3, fan % 3, 1 - fan / 3, fan, fan % 2);
    preview->RefreshLedItemRect();
    preview->AddLightLayer(0, 21, 16, 15, 2, 0, 0, 0, true);
    preview->AddLightLayer(0, 16, 16, 12, 2, 0, 0x202020, 0, true);
    manager->AddMTimer(preview);
    manager->SetMTimer(kFastTimerPeriod);
}

void addCurve(MPanel* page, const CRect& area)
{
    auto* curve = dynamic_cast<Fan2TempCurve*>(page->CreateControl(
        L"Fan2TempCurve", kCurveId, CRect(area.left + 590, area.top + 20, area.left + 1160, area.top + 325), L"", 1, 1));
    if (!curve)
        return;
    std::vector<TempCurvePoint> points;
    const int speeds[] = { 20, 25, 30, 35, 45, 55, 65, 75, 85, 95, 100 };
    for (int i = 0; i <= 10; ++i)
        points.push_back({ 10 * i, speeds[i], 0, 0 });
    curve->UpdateCurveData(points);
}

void addPickers(MPanel* page, const CRect& area)
{
    auto* channels = dynamic_cast<DevChannelCtrl*>(page->CreateControl(
        L"DevChannelCtrl", kChannelsId, CRect(area.left + 590, area.top + 350, area.left + 900, area.top + 460), L"", 1, 1));
    auto* counts = dynamic_cast<FanCountCtrl*>(page->CreateControl(
        L"FanCountCtrl", kCountsId, CRect(area.left + 590, area.top + 480, area.left + 1160, area.top + 530), L"", 1, 1));
    if (!channels || !counts)
        return;
    for (int i = 1; i <= 7; ++i) {
        CString text;
        text.Format(L"%d", i);
        channels->AddItem(text, i);
    }
    channels->SetItemCheck(5, 0);
    for (int i = 1; i <= 6; ++i) {
        CString text;
        text.Format(L"%d", i);
        counts->AddItem(text, i, 0);
    }
    counts->SetSelectItem(2);
}

void build(MPanel* page, const CRect& area)
{
    writeToggle();
    addPreview(page, area);
    addCurve(page, area);
    addPickers(page, area);
}

} // namespace

extern const SamplePage kFanCoolingPage { L"fan_cooling", build, nullptr, nullptr };
