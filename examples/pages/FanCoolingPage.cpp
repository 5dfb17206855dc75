// The fan cooling page: the 18-LED preview of three fans running a rainbow wheel with a marquee
// over it on the fast timer, beside it the 8-LED (ARGB) preview of two channels of two fans
// running a rainbow wheel, the fan curve editor with an eleven-point curve, the channel
// picker, the fan-count picker and the fan list box with its cooling modes.
#include "SamplePage.h"

#include "HostTools.h"

using namespace KOVA;

namespace {

constexpr UINT kPreviewId = 7600;
constexpr UINT kCurveId = 7601;
constexpr UINT kChannelsId = 7602;
constexpr UINT kCountsId = 7603;
constexpr UINT kFanListId = 7604;
constexpr UINT kArgbPreviewId = 7605;
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
        L"CFan2DevCtrl", kPreviewId, CRect(area.left + 20, area.top + 10, area.left + 500, area.top + 300), L"", 1, 1));
    PaintManager* manager = page->GetManager();
    if (!preview || !manager)
        return;
    preview->SetRotateImage(L"sample_fan_toggle.png");
    for (int fan = 0; fan < 3; ++fan)
        preview->AddFan(2, 0, fan, fan, 0, fan * 3, fan % 2);
    preview->RefreshLedItemRect();
    preview->AddLightLayer(0, 21, 16, 15, 2, 0, 0, 0, true);
    preview->AddLightLayer(0, 16, 16, 12, 2, 0, 0x202020, 0, true);
    manager->AddMTimer(preview);
    manager->SetMTimer(kFastTimerPeriod);
}

// The rotate buttons of the 8-LED preview: a round arrow of each way on the frame shown.
void writeRotateArrows()
{
    for (const bool left : { true, false })
        HostTools::WriteSkinStrip(left ? L"sample_fan_rotate_left.png" : L"sample_fan_rotate_right.png", 40, 40, 2,
                                  [left](Gdiplus::Graphics& g, int frame, Gdiplus::Rect r) {
            const Gdiplus::SolidBrush disc(frame ? Gdiplus::Color(255, 189, 48, 255) : Gdiplus::Color(255, 60, 60, 66));
            g.FillEllipse(&disc, r.X + 2, r.Y + 2, r.Width - 4, r.Height - 4);
            const Gdiplus::Pen arrow(Gdiplus::Color(255, 255, 255, 255), 4.0f);
            g.DrawArc(&arrow, r.X + 10, r.Y + 10, 20, 20, left ? 200.0f : -20.0f, left ? -220.0f : 220.0f);
        });
}

// Two channels of two 8-LED fans in one row, small enough to sit under the 18-LED preview.
void addArgbPreview(MPanel* page, const CRect& area)
{
    auto* preview = dynamic_cast<CFanDevCtrl*>(page->CreateControl(
        L"CFanDevCtrl", kArgbPreviewId, CRect(area.left + 20, area.top + 305, area.left + 450, area.top + 460), L"", 1, 1));
    PaintManager* manager = page->GetManager();
    if (!preview || !manager)
        return;
    preview->SetRotateLeftImage(L"sample_fan_rotate_left.png");
    preview->SetRotateRightImage(L"sample_fan_rotate_right.png");
    for (int fan = 0; fan < 4; ++fan)
        preview->AddFan(2, fan / 2, fan % 2, fan, 0, fan);
    preview->RefreshLedItemRect();
    preview->AddLightLayer(0, 21, 16, 14, 2, 0, 0, 0, true);
    manager->AddMTimer(preview);
}

void addCurve(MPanel* page, const CRect& area)
{
    auto* curve = dynamic_cast<Fan2TempCurve*>(page->CreateControl(
        L"Fan2TempCurve", kCurveId, CRect(area.left + 520, area.top + 10, area.left + 1060, area.top + 290), L"", 1, 1));
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
        L"DevChannelCtrl", kChannelsId, CRect(area.left + 520, area.top + 300, area.left + 800, area.top + 400), L"", 1, 1));
    auto* counts = dynamic_cast<FanCountCtrl*>(page->CreateControl(
        L"FanCountCtrl", kCountsId, CRect(area.left + 820, area.top + 300, area.left + 1060, area.top + 340), L"", 1, 1));
    if (!channels || !counts)
        return;
    for (int i = 1; i <= 7; ++i) {
        CString text;
        text.Format(L"%d", i);
        channels->AddItem(text, i);
    }
    channels->SetItemCheck(5, 0);
    for (int i = 1; i <= 4; ++i) {
        CString text;
        text.Format(L"%d", i);
        counts->AddItem(text, i, 0);
    }
    counts->SetSelectItem(2);
}

// The fan list's cell: a dark panel with a mode box outline where the drop-down opens.
void writeFanCell()
{
    HostTools::WriteSkinStrip(L"sample_fan_cell.png", 300, 115, 1, [](Gdiplus::Graphics& g, int, Gdiplus::Rect r) {
        const Gdiplus::SolidBrush panel(Gdiplus::Color(255, 36, 36, 44));
        g.FillRectangle(&panel, r);
        const Gdiplus::Pen box(Gdiplus::Color(255, 120, 120, 130), 1.0f);
        g.DrawRectangle(&box, 15, 78, 140, 20);
    });
}

void addFanList(MPanel* page, const CRect& area)
{
    auto* fans = dynamic_cast<FanDeviceBox*>(page->CreateControl(
        L"FanDeviceBox", kFanListId, CRect(area.left + 20, area.top + 470, area.left + 1060, area.top + 590), L"", 1, 1));
    if (!fans)
        return;
    fans->SetImage(L"sample_fan_cell.png", 1);
    const wchar_t* const names[] = { L"CPU fan", L"Pump", L"Rear fan" };
    for (int i = 0; i < 3; ++i) {
        fans->AddItem(names[i], L"", i, 0, i);
        fans->SetFanRPMValue(i, 0, 900 + 350 * i);
    }
    const wchar_t* const modes[] = { L"Silent", L"Balanced", L"Performance", L"Full speed" };
    for (int i = 0; i < 4; ++i)
        fans->AddMode(modes[i], i);
    fans->SetCoolModeName(L"Balanced");
}

void build(MPanel* page, const CRect& area)
{
    writeToggle();
    writeFanCell();
    writeRotateArrows();
    addPreview(page, area);
    addArgbPreview(page, area);
    addCurve(page, area);
    addPickers(page, area);
    addFanList(page, area);
}

} // namespace

extern const SamplePage kFanCoolingPage { L"fan-cooling", build, nullptr, nullptr };
