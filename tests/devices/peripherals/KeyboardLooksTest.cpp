// The keyboard view's kept look of mode 100: its keys are drawn once over nothing and laid over
// the ground at each rebuild. What a rebuild shows must be the keys drawn from scratch over that
// ground, over any ground, and after a key, its label, the font or the keys' places changed
// since the look was kept.
#include <gtest/gtest.h>

#include <functional>

#include "DibCanvas.h"
#include "LibraryHost.h"
#include "RecordingControl.h"
#include "framework/MRender.h"
#include "framework/MRenderLayer.h"

using namespace KOVA;
using namespace KOVA::test;

namespace {

const auto* const host = ::testing::AddGlobalTestEnvironment(new LibraryHost);

const CRect kPlace(10, 10, 330, 130);
constexpr DWORD kGround = 0xFF202020;
// Mode 100's key fill and label size, as the view draws them.
constexpr Gdiplus::ARGB kKeyFill = 0xFF007ACC;
constexpr int kLabelSize = 10;

class FlatView : public KeyboardCtrl {
public:
    using KeyboardCtrl::KeyboardCtrl;
    // Mode 100's keys drawn straight over what dc holds, at the view's own origin.
    void drawFromScratch(HDC dc)
    {
        const Gdiplus::Font* font = ItemFont(kLabelSize);
        Gdiplus::Graphics graphics(dc);
        graphics.SetTextRenderingHint(Gdiplus::TextRenderingHintClearTypeGridFit);
        graphics.SetSmoothingMode(Gdiplus::SmoothingModeHighQuality);
        const Gdiplus::SolidBrush fill { Gdiplus::Color(kKeyFill) };
        for (KEY_INFO* key : GetKeyItems()) {
            CRect place = GetRealRect(key->rect);
            place.DeflateRect(1, 1);
            graphics.FillRectangle(&fill, static_cast<INT>(place.left), static_cast<INT>(place.top),
                                   static_cast<INT>(place.Width()), static_cast<INT>(place.Height()));
            DrawTextAndIcon(graphics, *font, key, place);
        }
    }
};

void paintGround(DibCanvas& canvas, bool picture)
{
    canvas.fill(kGround);
    if (picture)
        MRender::DrawGradient(canvas.dc(), CRect(0, 0, canvas.width(), canvas.height()), 0xFF103050, 0xFFB04020,
                              false, 64);
}

void addKeys(FlatView& view, const wchar_t* name)
{
    for (int i = 0; i < 5; ++i)
        view.AddKeyItem(name, L"Key", static_cast<unsigned long>(i), CRect(10 + 60 * i, 10, 60 + 60 * i, 50), L"");
}

struct Case {
    const char* name;
    bool picture;
    // Done between a first rebuild and the rebuild compared.
    std::function<void(FlatView&)> between;
};

TEST(KeyboardLooks, ARebuildOfModeNoneShowsTheKeysAsDrawnFromScratchOverTheGround)
{
    ASSERT_TRUE(LookLayer::BlendsAlike()) << "this platform's GDI+ draws straight; the view does too";
    const Case cases[] = {
        { "one colour", false, {} },
        { "a picture", true, {} },
        { "a key added", true, [](FlatView& view) { view.AddKeyItem(L"New", L"", 9, CRect(10, 60, 90, 100), L""); } },
        { "every label changed", false,
          [](FlatView& view) {
              view.ClearItem();
              addKeys(view, L"Esc");
          } },
        { "another face", true, [](FlatView& view) { view.SetFont(L"DejaVu Serif", 14, Gdiplus::FontStyleBold); } },
        { "the keys moved with the picture's place", true, [](FlatView& view) { view.SetWidthAndHeight(200, 100); } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RecordingParent parent;
        PaintManager manager;
        FlatView view(&parent, 7, kPlace, 1);
        view.SetManager(&manager);
        view.SetWidthAndHeight(300, 100);
        addKeys(view, L"K");
        view.SetKeyboardCtrlMode(KeyboardCtrl::ModeNone);
        DibCanvas shown(340, 140);
        const auto rebuild = [&] {
            paintGround(shown, c.picture);
            view.SetUpdate(0, 0);
            view.Draw(shown.dc(), CRect(0, 0, shown.width(), shown.height()));
        };
        rebuild();
        if (c.between)
            c.between(view);
        rebuild();
        DibCanvas ground(340, 140);
        paintGround(ground, c.picture);
        DibCanvas expected(kPlace.Width(), kPlace.Height());
        MRender::BitBlt(expected.dc(), 0, 0, kPlace.Width(), kPlace.Height(), ground.dc(), kPlace.left, kPlace.top);
        view.drawFromScratch(expected.dc());
        int differing = 0;
        int drawn = 0;
        for (int y = 0; y < kPlace.Height(); ++y)
            for (int x = 0; x < kPlace.Width(); ++x) {
                differing += shown.rgb(kPlace.left + x, kPlace.top + y) != expected.rgb(x, y);
                drawn += expected.rgb(x, y) != ground.rgb(kPlace.left + x, kPlace.top + y);
            }
        EXPECT_EQ(0, differing);
        // Keys that drew nothing prove nothing.
        EXPECT_GT(drawn, 5000);
    }
}

} // namespace
