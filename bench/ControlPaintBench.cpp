// The change-to-screen benchmark of the controls that repaint often: from the call that changes
// a control to the window showing it (the change, its repaint request, WM_PAINT through the
// paint manager and the copy to the window), each beside one BitBlt of the rectangle that
// change repaints (the floor). An MTabCtrl hover only copies its cached bar; a CTabCtrlEx hover
// renders its look again; a slide frame draws both pages off-screen; a slider drag step and a
// GIF step render their looks again. Run it pinned to one CPU with its own wineserver
// (tools/bench.sh); each case prints a RESULT line.
#include "BenchKit.h"

#include <cstdio>
#include <memory>

using namespace KOVA;

namespace {

constexpr int kWidth = 800;
constexpr int kHeight = 600;
constexpr BenchKit::Runs kRuns { 20, 200 };
constexpr UINT kTabsId = 10;
constexpr UINT kBarId = 11;
constexpr UINT kSliderId = 12;
constexpr UINT kGifId = 13;
constexpr int kGifTicksPerStep = 5;

// ---- skin files

// Three 100 × 40 frames of a tab: grey, light grey, purple.
bool writeTabStrip(const CString& path)
{
    const Gdiplus::Color colours[3] { { 255, 60, 60, 66 }, { 255, 90, 90, 100 }, { 255, 189, 48, 255 } };
    Gdiplus::Bitmap strip(300, 40, PixelFormat32bppARGB);
    {
        Gdiplus::Graphics graphics(&strip);
        for (int frame = 0; frame < 3; ++frame) {
            Gdiplus::SolidBrush brush(colours[frame]);
            graphics.FillRectangle(&brush, frame * 100 + 2, 0, 96, 40);
        }
    }
    return BenchKit::savePng(strip, path);
}

// A four-frame GIF of solid colours, through GDI+'s indexed route.
bool writeGif(const CString& path)
{
    const Gdiplus::Color colours[4] { { 255, 255, 0, 0 }, { 255, 0, 255, 0 }, { 255, 0, 0, 255 }, { 255, 255, 255, 0 } };
    return BenchKit::writeGif(path, 100, 100, 4, [&](Gdiplus::Graphics& g, int k) { g.Clear(colours[k]); });
}

// ---- the scene

// The slide's running flag, which only a derived class reads.
class BenchTabs : public MTabCtrl {
public:
    using MTabCtrl::MTabCtrl;
    bool Sliding() const { return m_run != 0; }
};

class BenchDialog : public MDialog {
public:
    void InitUI(CRect) override
    {
        PaintManager* manager = GetPaintManager();
        manager->SetBackColor(RGB(0x20, 0x20, 0x20), RGB(0x20, 0x20, 0x20));
        addTabs(*manager);
        auto* bar = static_cast<CTabCtrlEx*>(manager->CreateControl(this, L"CTabCtrlEx", kBarId, CRect(360, 20, 760, 60), L"", 1, 1));
        bar->SetFont(L"DejaVu Sans", 13, Gdiplus::FontStyleRegular);
        bar->SetImage(L"bench-tab.png", 3);
        for (const wchar_t* text : { L"Device", L"Profile", L"Update" })
            bar->AddItem(text, 0, 110, nullptr);
        manager->CreateControl(this, L"MSlider", kSliderId, CRect(360, 100, 576, 124), L"", 1, 1);
        auto* gif = static_cast<CGifPicture2*>(manager->CreateControl(this, L"CGifPicture2", kGifId, CRect(360, 160, 460, 260), L"", 1, 1));
        gif->SetImage(L"bench-anim.gif", 1);
        gif->SetRunState(1, 0);
    }
    BenchTabs* Tabs() const { return m_tabs; }

private:
    void addTabs(PaintManager& manager)
    {
        const CRect rect(20, 20, 320, 260);
        m_tabs = BenchKit::adopt(manager, new BenchTabs(this, kTabsId, rect, 1, 1));
        const COLORREF fills[3] { RGB(38, 44, 62), RGB(58, 34, 70), RGB(30, 56, 52) };
        for (int i = 0; i < 3; ++i) {
            auto* page = static_cast<MPanel*>(m_tabs->CreatePanel(L"MTabLayout", 100 + i, CRect(20, 60, 320, 260)));
            static_cast<CArea*>(page->CreateControl(L"CArea", 110 + i, page->GetRect(), L"", 1, 1))->SetTransparent(0, 0, fills[i]);
            for (int row = 0; row < 3; ++row)
                page->CreateControl(L"MButton", 120 + 3 * i + row, CRect(40, 80 + 44 * row, 240, 114 + 44 * row), L"Caption", 1, 1);
            m_tabs->InsertItem(static_cast<UINT>(i), L"tab", L"bench-tab.png", page, 3, 0);
        }
        m_tabs->SetSelectItem(0);
        m_tabs->EnableAnimateChangeTab(1);
        m_tabs->SetUpdataRect(rect);
    }

    BenchTabs* m_tabs { nullptr };
};

// ---- measuring

// One BitBlt of the rectangle from a memory picture to the window.
double blitFloorUs(HWND hwnd, const CRect& rect)
{
    HDC window = GetDC(hwnd);
    double floor = 0;
    {
        BenchKit::MemoryPicture memory(kWidth, kHeight, window);
        floor = BenchKit::drainedMedianUs(kRuns, {}, [&](int) {
            BitBlt(window, rect.left, rect.top, rect.Width(), rect.Height(), memory.dc(), rect.left, rect.top, SRCCOPY);
            GdiFlush();
        });
    }
    ReleaseDC(hwnd, window);
    return floor;
}

void report(const char* name, double changeUs, double floorUs)
{
    printf("%-26s change to screen %8.0f us   one BitBlt %6.0f us   ratio %6.1f\n", name, changeUs, floorUs,
           changeUs / floorUs);
    printf("RESULT case=%s change_us=%.0f blit_us=%.0f ratio=%.2f\n", name, changeUs, floorUs, changeUs / floorUs);
    fflush(stdout);
}

CPoint centreOf(const CRect& rect)
{
    return CPoint(rect.left + rect.Width() / 2, rect.top + rect.Height() / 2);
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int)
{
    SetCursorPos(1919, 1079);
    const BenchKit::LibraryScope library(instance);
    const CString skins = BenchKit::skinFolder();
    if (!writeTabStrip(skins + L"bench-tab.png") || !writeGif(skins + L"bench-anim.gif"))
        return 4;
    {
        BenchDialog dialog;
        dialog.Create(nullptr, L"bench", WS_POPUP | WS_VISIBLE, 0, CRect(0, 0, kWidth, kHeight));
        const HWND hwnd = dialog.GetSafeHwnd();
        UpdateWindow(hwnd);
        BenchKit::drainMessages();
        BenchTabs& tabs = *dialog.Tabs();
        auto& bar = *static_cast<CTabCtrlEx*>(dialog.GetControl(kBarId));
        auto& slider = *static_cast<MSlider*>(dialog.GetControl(kSliderId));
        auto& gif = *static_cast<CGifPicture2*>(dialog.GetControl(kGifId));
        int turn = 0;
        const auto painted = [&] { UpdateWindow(hwnd); };

        const double tabHover = BenchKit::drainedMedianUs(kRuns, {}, [&](int) {
            tabs.OnMouseMove(0, centreOf(tabs.GetItemInfo(1 + turn++ % 2)->itemRect));
            painted();
        });
        const CRect tabBar(tabs.GetRect().left, tabs.GetRect().top, tabs.GetRect().right, tabs.GetRect().top + tabs.GetCtrlHeight());
        report("tab_hover_cached_bar", tabHover, blitFloorUs(hwnd, tabBar));

        const double barHover = BenchKit::drainedMedianUs(kRuns, {}, [&](int) {
            bar.OnMouseMove(0, CPoint(bar.GetRect().left + 55 + 110 * (turn++ % 2), bar.GetRect().top + 20));
            painted();
        });
        report("tabctrlex_hover_rebuilt", barHover, blitFloorUs(hwnd, bar.GetRect()));

        const auto slideRunning = [&] {
            if (!tabs.Sliding()) {
                tabs.SetSelectItem(tabs.GetSelectItem() == 0 ? 1 : 0);
                painted();
            }
        };
        const double slideFrame = BenchKit::drainedMedianUs(kRuns, slideRunning, [&](int) {
            tabs.OnControlTimer();
            painted();
        });
        report("tab_slide_frame", slideFrame, blitFloorUs(hwnd, tabs.GetRect()));

        const CRect track = slider.GetRect();
        slider.OnLButtonDown(MK_LBUTTON, centreOf(slider.GetThumbRect()));
        const double dragStep = BenchKit::drainedMedianUs(kRuns, {}, [&](int) {
            slider.OnMouseMove(MK_LBUTTON, CPoint(track.left + 40 + 100 * (turn++ % 2), track.top + 8));
            painted();
        });
        slider.OnLButtonUp(0, CPoint(track.left + 40, track.top + 8));
        report("slider_drag_step", dragStep, blitFloorUs(hwnd, track));

        const double gifStep = BenchKit::drainedMedianUs(kRuns, {}, [&](int) {
            for (int tick = 0; tick < kGifTicksPerStep; ++tick)
                gif.OnControlTimer();
            painted();
        });
        report("gif_frame_step", gifStep, blitFloorUs(hwnd, gif.GetRect()));
        DestroyWindow(hwnd);
        BenchKit::drainMessages();
    }
    return 0;
}
