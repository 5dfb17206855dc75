// The keyboard view of 104 keys at 1000 × 330: a Light frame step (the tick, then the paint
// that shows it), a switch to each mode from another (the mode set, then the rebuild that shows
// it), and the re-blit of a cached picture, each beside the floor of a plain fill and blit of
// the same area. Modes 101, 103 and 104 stroke their outlines with GDI+ at each rebuild; mode
// 100 lays its kept keys and mode 102 its kept outlines over the ground. Run it pinned to one
// CPU with its own wineserver (tools/bench.sh).
#include "BenchKit.h"

#include <cstdio>
#include <vector>

using namespace KOVA;

namespace {

constexpr BenchKit::Runs kRuns { 10, 200 };
constexpr int kKeys = 104;
constexpr int kFrames = 60;
const CRect kPlace(0, 0, 1000, 330);

// The view's parent: hears nothing it has to act on.
class Host : public MObject {
public:
    const wchar_t* GetClassNameW() const override { return L"MDialog"; }
    LONG OnBaseMessage(UINT, UINT, UINT, LONG) override { return 0; }
    LONG OnControlUpdate(CRect, int, MControl*) override { return 0; }
};

// Six rows of keys, the last with a wide space bar: a few key sizes, as on a real keyboard.
void addKeys(KeyboardCtrl& view)
{
    for (int i = 0; i < kKeys; ++i) {
        const int row = i / 18;
        const int column = i % 18;
        const int width = (row == 5 && column == 4) ? 200 : (column == 0 ? 70 : 48);
        const int x = 8 + column * 54 + (column > 0 ? 22 : 0) + (row == 5 && column > 4 ? 152 : 0);
        const CRect key(x, 10 + row * 52, x + width, 10 + row * 52 + 46);
        if (key.right < kPlace.Width())
            view.AddKeyItem(L"K", L"Key", static_cast<unsigned long>(i), key, L"");
    }
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int)
{
    const BenchKit::LibraryScope library(instance);
    {
        // The keyboard picture beside the program, named below relative to the skin folder.
        const CString picture = BenchKit::programFolder() + L"kova-keyboard-bench.png";
        BenchKit::writeGradientPng(picture, kPlace.Width(), kPlace.Height(), Gdiplus::Color(255, 30, 30, 40),
                                   Gdiplus::Color(255, 70, 70, 90), Gdiplus::LinearGradientModeVertical);
        PaintManager manager;
        BenchKit::BackBuffer buffer(kPlace.Width(), kPlace.Height());
        Host host;
        KeyboardCtrl view(&host, 1, kPlace, 1);
        view.SetManager(&manager);
        view.SetKeyboardImage(L"..\\..\\kova-keyboard-bench.png");
        view.SetWidthAndHeight(kPlace.Width(), kPlace.Height());
        view.SetControlRect(kPlace);
        addKeys(view);
        std::vector<unsigned char> data;
        for (int frame = 0; frame < kFrames; ++frame)
            for (int key = 0; key < kKeys; ++key)
                data.push_back(static_cast<unsigned char>((frame * 17 + key * 5) % 256));
        view.SetLightModeData(data.data(), static_cast<int>(data.size()));

        const double floor = BenchKit::medianMs(kRuns, [&](int) { buffer.fillAndBlit(); });
        printf("%-34s %9s %9s %7s\n", "keyboard, 104 keys", "ms", "floor", "ratio");
        auto report = [&](const char* what, double ms) { printf("%-34s %9.3f %9.3f %7.1f\n", what, ms, floor, ms / floor); };

        view.SetKeyboardCtrlMode(KeyboardCtrl::ModeLight);
        view.SetUpdate(0, 0);
        view.Draw(buffer.target(), kPlace);
        report("Light frame step (tick, paint)", BenchKit::medianMs(kRuns, [&](int) {
                   view.OnControlTimer();
                   view.Draw(buffer.target(), kPlace);
               }));
        report("cached re-blit", BenchKit::medianMs(kRuns, [&](int) { view.Draw(buffer.target(), kPlace); }));
        const char* names[] = { "switch to 100 None", "switch to 101 Custom", "switch to 102 Light",
                                "switch to 103 UserLight (stroked)", "switch to 104 Music" };
        const auto show = [&](int mode) {
            view.SetKeyboardCtrlMode(mode);
            view.SetUpdate(0, 0);
            view.Draw(buffer.target(), kPlace);
        };
        for (int mode = KeyboardCtrl::ModeNone; mode <= KeyboardCtrl::ModeMusic; ++mode) {
            // From the mode before it (from Music to None), shown untimed.
            const int from = mode == KeyboardCtrl::ModeNone ? KeyboardCtrl::ModeMusic : mode - 1;
            report(names[mode - KeyboardCtrl::ModeNone],
                   BenchKit::sample(kRuns, [&](int) { show(mode); }, BenchKit::nowMs, [&] { show(from); }).median());
        }
        DeleteFileW(picture);
    }
    return 0;
}
