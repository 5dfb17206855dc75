// The colour wheel and the colour bar: picks answered from the pixels they drew, the thumb
// and marker rules, and tables that are filled and read only inside their bounds.
#include <gtest/gtest.h>

#include <memory>

#include "DibCanvas.h"
#include "LibraryHost.h"
#include "RecordingControl.h"
#include "ScratchStrip.h"
#include "framework/AppPaths.h"

using namespace KOVA;
using namespace KOVA::test;

namespace {

const auto* const host = ::testing::AddGlobalTestEnvironment(new LibraryHost);

constexpr COLORREF kLeftHalf = RGB(0x10, 0x20, 0x30);
constexpr COLORREF kRightHalf = RGB(0x40, 0x50, 0x60);

class RepaintingParent : public RecordingParent {
public:
    LONG OnControlUpdate(CRect rect, int flag, MControl* control) override
    {
        if (flag && control)
            control->SetUpdate(0, 0);
        return RecordingParent::OnControlUpdate(rect, flag, control);
    }
};

struct ReleasedImages {
    PaintManager& manager;
    ~ReleasedImages() { manager.ClearImgResInfo(); }
};

class Pickers : public ::testing::Test {
protected:
    template <class T, class... Args>
    std::unique_ptr<T> make(Args... args)
    {
        auto control = std::make_unique<T>(&parent, args...);
        control->SetManager(&manager);
        return control;
    }
    void paint(MControl& control)
    {
        canvas.fill(0xFF000000);
        control.Draw(canvas.dc(), CRect(0, 0, canvas.width(), canvas.height()));
    }
    std::string heard()
    {
        const std::string line = noteLine(parent.notifications);
        parent.notifications.clear();
        return line;
    }
    // A 200 × 200 wheel: the left half one colour, the right half another.
    ScratchPng wheel { GetSkinPath(), L"h1_wheel.png", 200, 200,
                       { { 0, 0, 100, 200, 0xFF102030 }, { 100, 0, 100, 200, 0xFF405060 } } };
    PaintManager manager;
    const ReleasedImages released { manager };
    RepaintingParent parent;
    DibCanvas canvas { 700, 400 };
};

using Wheel = Pickers;

TEST_F(Wheel, PressesInsideTheRadiusTakeTheColourDrawnThere)
{
    const CRect place(50, 40, 250, 240);
    auto palette = make<CirclePalette>(9u, place, 1, 1);
    ASSERT_EQ(1, palette->SetImage(L"h1_wheel.png", 1));
    paint(*palette);
    const std::string left = "9:27:0:" + std::to_string(kLeftHalf);
    const std::string right = "9:27:0:" + std::to_string(kRightHalf);
    struct Step { CPoint pt; bool press; std::string heard; COLORREF colour; };
    const Step steps[] {
        { CPoint(50, 40), true, "", 0xFF },           // corner: radius 141
        { CPoint(50, 140), true, left, kLeftHalf },   // radius 100
        { CPoint(55, 140), false, "", kLeftHalf },    // 5 px: stays
        { CPoint(156, 140), false, right, kRightHalf },
        { CPoint(162, 140), false, right, kRightHalf },  // 6 px on
    };
    for (const Step& step : steps) {
        if (step.press)
            palette->OnLButtonDown(MK_LBUTTON, step.pt);
        else
            palette->OnMouseMove(MK_LBUTTON, step.pt);
        EXPECT_EQ(step.heard, heard()) << step.pt.x << "," << step.pt.y;
        EXPECT_EQ(step.colour, palette->GetSelectColor());
    }
    palette->OnLButtonUp(0, CPoint(162, 140));
    EXPECT_EQ("9:2:0:0", heard());
    paint(*palette);
    EXPECT_TRUE(nearColor(canvas.rgb(162, 140), 0x405060, 2)) << "the thumb in the colour it took";
    EXPECT_EQ(0xFFFFFFu, canvas.rgb(157, 140) & 0xFFFFFF) << "its white outline";
}

TEST_F(Wheel, TheThumbFollowsTheLayoutAndColoursFoundInTheTable)
{
    const CRect place(50, 40, 250, 240);
    auto palette = make<CirclePalette>(9u, place, 1, 1);
    palette->SetImage(L"h1_wheel.png", 1);
    palette->SetControlRect(CRect(60, 40, 260, 240));
    EXPECT_EQ(CPoint(60 + 105, 40 + 35), palette->GetThumbRect().CenterPoint());
    paint(*palette);
    palette->SetSelectColor(kRightHalf + 1);
    EXPECT_EQ(CRect(60 + 95, 35, 60 + 105, 45), palette->GetThumbRect()) << "first column of the right half, row 0";
    palette->SetSelectColor(RGB(1, 2, 3));
    EXPECT_EQ(CRect(60 + 95, 35, 60 + 105, 45), palette->GetThumbRect()) << "not on the wheel: stays";
    EXPECT_EQ(RGB(1, 2, 3), palette->GetSelectColor());
}

// The table covers the top-left 200 × 200 pixels: a press in a larger wheel reads its edge.
TEST_F(Wheel, PointsBeyondTheTableReadItsNearestEntry)
{
    auto palette = make<CirclePalette>(9u, CRect(0, 0, 400, 400), 1, 1);
    palette->SetImage(L"h1_wheel.png", 1);
    paint(*palette);
    palette->OnLButtonDown(MK_LBUTTON, CPoint(350, 250));
    EXPECT_EQ("9:27:0:" + std::to_string(palette->GetSelectColor()), heard());
}

using Bar = Pickers;

TEST_F(Bar, LightPicksAreRefusedOverADarkBase)
{
    struct Case { unsigned long base; const char* heard; };
    const Case cases[] { { 0xFFFFFF, "4:27:0:0" }, { 0xFF, "" } };
    for (const Case& c : cases) {
        auto bar = make<MPaletteBar>(4u, CRect(0, 0, 300, 20), 1);
        bar->SetSelectColor(c.base);
        bar->OnMouseMove(MK_LBUTTON, CPoint(10, 10));  // marker to the left end
        paint(*bar);
        heard();
        // On the white ring the marker was last drawn with.
        bar->OnMouseMove(MK_LBUTTON, CPoint(19, 1));
        EXPECT_EQ(c.heard, heard()) << c.base;
    }
}

TEST_F(Bar, TheMarkerMovesTowardTheBaseAndStaysOnTheBar)
{
    auto bar = make<MPaletteBar>(4u, CRect(0, 0, 300, 20), 1);
    paint(*bar);
    bar->SetSelectColor(0xFFFFFF);
    paint(*bar);
    EXPECT_EQ(278, bar->GetMarkerPoint().x);
    EXPECT_EQ(0xFFu, bar->GetSelectColor()) << "the pick stays";
    bar->SetSelectColor(0x00FF00);
    paint(*bar);
    EXPECT_EQ(278, bar->GetMarkerPoint().x) << "pulled back onto the bar";
    EXPECT_TRUE(nearColor(canvas.rgb(278 + 9, 1), 0xFFFFFF, 60)) << "the top of the ring";

    bar->OnLButtonUp(0, CPoint(150, 10));
    EXPECT_EQ("4:2:0:0", heard());
    const COLORREF picked = bar->GetSelectColor();
    EXPECT_LT(GetRValue(picked), 40) << "the shading toward green";
    EXPECT_GT(GetGValue(picked), 100);
}

TEST_F(Bar, APickBeyondItsTableReadsNothing)
{
    auto bar = make<MPaletteBar>(4u, CRect(0, 0, 650, 60), 1);
    bar->SetSelectColor(0xFFFFFF);
    paint(*bar);
    bar->OnLButtonUp(0, CPoint(600, 55));
    EXPECT_EQ("4:2:0:0", heard());
    EXPECT_EQ(0u, bar->GetSelectColor());
}

} // namespace
