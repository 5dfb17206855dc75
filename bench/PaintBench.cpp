// The paint and routing benchmark: 200 button-like controls on a 1280×800 dialog, measured
// against a plain window that only fills and blits (the floor). The scene is built twice:
// with a bare control drawing through the library's routines, then with MButton, whose looks
// are cached so that a hover or press costs one slice blit. Run it pinned to one CPU with its
// own wineserver (tools/bench.sh). Each scene prints a result line; MButton's is the last.
#include "BenchKit.h"

#include <cstdio>
#include <memory>

using namespace KOVA;

namespace {

constexpr int kWidth = 1280;
constexpr int kHeight = 800;
constexpr BenchKit::Runs kRuns { 20, 200 };

// Fill, one-pixel border and centred caption, all through the library's drawing routines.
class BenchButton : public MControl {
public:
    BenchButton(MObject* parent, UINT id, CRect rect, HFONT font)
        : MControl(parent, id, rect, 1, 1, 1), m_font(font)
    {
        swprintf(m_caption, 8, L"B%03u", id);
    }
    void DrawControl(HDC& dc, CRect) override
    {
        MRender::FillFramedRect(dc, m_rect, RGB(0x3A, 0x6E, 0xA5), RGB(0xA0, 0xC4, 0xE8));
        CRect text = m_rect;
        MRender::DrawTextW(dc, text, m_caption, RGB(255, 255, 255), m_font, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    }

private:
    HFONT m_font;
    wchar_t m_caption[8] {};
};

CRect cellRect(UINT i)
{
    const int col = static_cast<int>(i % 20), row = static_cast<int>(i / 20);
    return CRect(64 * col + 4, 80 * row + 4, 64 * col + 60, 80 * row + 76);
}

// Four equal 56×72 frames of the scene's fill and border: at the button's own size nothing is
// stretched, so every look is the scene's pixels.
bool writeButtonStrip(const CString& path)
{
    Gdiplus::Bitmap strip(56 * 4, 72, PixelFormat32bppARGB);
    {
        Gdiplus::Graphics graphics(&strip);
        Gdiplus::SolidBrush border(Gdiplus::Color(255, 0xA0, 0xC4, 0xE8));
        Gdiplus::SolidBrush fill(Gdiplus::Color(255, 0x3A, 0x6E, 0xA5));
        for (int frame = 0; frame < 4; ++frame) {
            graphics.FillRectangle(&border, 56 * frame, 0, 56, 72);
            graphics.FillRectangle(&fill, 56 * frame + 1, 1, 54, 70);
        }
    }
    return BenchKit::savePng(strip, path);
}

enum class Scene { BareControls, Buttons };

class BenchDialog : public MDialog {
public:
    BenchDialog(Scene scene, HFONT font) : m_scene(scene), m_font(font) {}
    void InitUI(CRect) override
    {
        GetPaintManager()->SetBackColor(RGB(0x20, 0x20, 0x20), RGB(0x20, 0x20, 0x20));
        for (UINT i = 0; i < 200; ++i) {
            if (m_scene == Scene::Buttons)
                addButton(i);
            else
                addBareControl(i);
        }
    }

private:
    void addBareControl(UINT i)
    {
        BenchKit::adopt(*GetPaintManager(), new BenchButton(this, i, cellRect(i), m_font));
    }
    void addButton(UINT i)
    {
        wchar_t caption[8] {};
        swprintf(caption, 8, L"B%03u", i);
        auto* button = static_cast<MButton*>(GetPaintManager()->CreateControl(this, L"MButton", i, cellRect(i), caption, 1, 1));
        button->SetImage(L"bench-button.png", 4);
        button->SetFont(L"DejaVu Sans", 13, Gdiplus::FontStyleRegular);
        button->SetTextColor(Gdiplus::Color(255, 255, 255, 255));
        button->SetTextRenderingHint(Gdiplus::TextRenderingHintAntiAliasGridFit);
    }

    Scene m_scene;
    HFONT m_font;
};

// ---- the floor: a plain window that fills a DIB and blits the paint rectangle

std::unique_ptr<BenchKit::DibSurface> g_floor;

LRESULT CALLBACK floorProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_ERASEBKGND)
        return 1;
    if (msg == WM_PAINT) {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd, &ps);
        DWORD* pixels = reinterpret_cast<DWORD*>(g_floor->bits());
        for (int i = 0; i < kWidth * kHeight; ++i)
            pixels[i] = 0x00202020;
        BitBlt(dc, ps.rcPaint.left, ps.rcPaint.top, ps.rcPaint.right - ps.rcPaint.left, ps.rcPaint.bottom - ps.rcPaint.top,
               g_floor->dc(), ps.rcPaint.left, ps.rcPaint.top, SRCCOPY);
        EndPaint(hwnd, &ps);
        return 0;
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

HWND createFloorWindow()
{
    g_floor = std::make_unique<BenchKit::DibSurface>(kWidth, kHeight);
    return BenchKit::openWindow(L"KovaBenchFloor", floorProc, WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, 0,
                                0, kWidth, kHeight);
}

// ---- the scene's pixels, read back from the window

// The fingerprint of the whole client area and whether the scene's defining pixels hold: the
// background between the cells, B000's border corners and fill, and B110's caption in white
// ink centred in its cell. Two builds that draw the scene alike print the same fingerprint.
struct ScenePixels {
    unsigned fingerprint;
    bool sceneHolds;
};

ScenePixels readScene(HWND hwnd)
{
    BenchKit::DibSurface shot(kWidth, kHeight);
    HDC window = GetDC(hwnd);
    BitBlt(shot.dc(), 0, 0, kWidth, kHeight, window, 0, 0, SRCCOPY);
    ReleaseDC(hwnd, window);
    GdiFlush();
    const DWORD* pixels = reinterpret_cast<const DWORD*>(shot.bits());
    auto rgb = [&](int x, int y) { return pixels[y * kWidth + x] & 0x00FFFFFF; };
    unsigned fingerprint = 2166136261u;
    for (int i = 0; i < kWidth * kHeight; ++i)
        fingerprint = (fingerprint ^ (pixels[i] & 0x00FFFFFF)) * 16777619u;
    constexpr DWORD kBackground = 0x202020, kBorder = 0xA0C4E8, kFill = 0x3A6EA5, kText = 0xFFFFFF;
    int white = 0, whiteOffCentre = 0;
    for (int y = 405; y < 475; ++y)
        for (int x = 645; x < 699; ++x)
            if (rgb(x, y) == kText) {
                ++white;
                whiteOffCentre += (y < 425 || y > 455) ? 1 : 0;
            }
    const bool holds = rgb(0, 0) == kBackground && rgb(62, 40) == kBackground && rgb(4, 4) == kBorder
        && rgb(59, 75) == kBorder && rgb(6, 6) == kFill && rgb(58, 74) == kFill && white > 10 && whiteOffCentre == 0;
    return { fingerprint, holds };
}

// ---- measuring

struct Stats {
    double min, med, p90;
};

Stats measure(const std::function<void(int)>& step)
{
    const BenchKit::Samples samples = BenchKit::sampleDrained(kRuns, step);
    return { samples.min(), samples.meanOfMiddles(), samples.p90() };
}

void repaintAll(HWND hwnd)
{
    InvalidateRect(hwnd, nullptr, FALSE);
    UpdateWindow(hwnd);
}

void sweepMouse(HWND hwnd)
{
    for (int k = 0; k < 1000; ++k)
        SendMessageW(hwnd, WM_MOUSEMOVE, 0, MAKELPARAM(16 + 25 * (k % 50), 20 + 40 * (k / 50)));
}

struct SceneFigures {
    Stats full, one, route;
    ScenePixels pixels;
};

SceneFigures measureScene(Scene scene, HFONT font)
{
    BenchDialog dialog(scene, font);
    dialog.Create(nullptr, L"bench", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, 0,
                  CRect(0, 0, kWidth, kHeight));
    HWND hwnd = dialog.GetSafeHwnd();
    RECT client {};
    GetClientRect(hwnd, &client);
    if (client.right != kWidth || client.bottom != kHeight)
        ExitProcess(3);
    BenchKit::drainMessages();
    SceneFigures figures;
    figures.full = measure([&](int) { repaintAll(hwnd); });
    MControl* b110 = dialog.GetControl(110);
    figures.one = measure([&](int) { b110->UpdateControl(0, 1); UpdateWindow(hwnd); });
    figures.route = measure([&](int) { sweepMouse(hwnd); });
    repaintAll(hwnd);
    figures.pixels = readScene(hwnd);
    DestroyWindow(hwnd);
    BenchKit::drainMessages();
    return figures;
}

void printScene(const char* name, const SceneFigures& scene, const Stats& floor)
{
    printf("== %s\n", name);
    printf("full repaint (a):        min %8.0f  median %8.0f  p90 %8.0f us\n", scene.full.min, scene.full.med, scene.full.p90);
    printf("one-control repaint (b): min %8.0f  median %8.0f  p90 %8.0f us\n", scene.one.min, scene.one.med, scene.one.p90);
    printf("floor (c):               min %8.0f  median %8.0f  p90 %8.0f us\n", floor.min, floor.med, floor.p90);
    printf("mouse move (d):          min %8.2f  median %8.2f  p90 %8.2f us per message\n", scene.route.min / 1000,
           scene.route.med / 1000, scene.route.p90 / 1000);
    printf("pixels:                  fingerprint %08x, scene %s\n", scene.pixels.fingerprint,
           scene.pixels.sceneHolds ? "holds" : "BROKEN");
    printf("RESULT a_min=%.0f a_med=%.0f a_p90=%.0f b_min=%.0f b_med=%.0f b_p90=%.0f c_min=%.0f c_med=%.0f c_p90=%.0f "
           "d_min=%.2f d_med=%.2f d_p90=%.2f ratio_ac=%.2f ratio_bc=%.2f\n",
           scene.full.min, scene.full.med, scene.full.p90, scene.one.min, scene.one.med, scene.one.p90, floor.min,
           floor.med, floor.p90, scene.route.min / 1000, scene.route.med / 1000, scene.route.p90 / 1000,
           scene.full.med / floor.med, scene.one.med / floor.med);
    fflush(stdout);
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int)
{
    SetCursorPos(1919, 1079);
    const BenchKit::LibraryScope library(instance);
    if (!writeButtonStrip(BenchKit::skinFolder() + L"bench-button.png"))
        return 4;

    LOGFONTW logFont {};
    logFont.lfHeight = -13;
    logFont.lfWeight = 400;
    wcscpy_s(logFont.lfFaceName, L"DejaVu Sans");
    HFONT font = CreateFontIndirectW(&logFont);

    const SceneFigures bare = measureScene(Scene::BareControls, font);
    const SceneFigures buttons = measureScene(Scene::Buttons, font);
    HWND floor = createFloorWindow();
    BenchKit::drainMessages();
    const Stats floorStats = measure([&](int) { repaintAll(floor); });
    printScene("bare controls", bare, floorStats);
    printScene("MButton", buttons, floorStats);
    DestroyWindow(floor);
    BenchKit::drainMessages();
    g_floor.reset();
    DeleteObject(font);
    return 0;
}
