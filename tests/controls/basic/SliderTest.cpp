#include <gtest/gtest.h>

#include <climits>
#include <functional>
#include <memory>
#include <string>

#include "ButtonKinds.h"
#include "DibCanvas.h"
#include "InkScan.h"
#include "LibraryHost.h"
#include "PumpUntil.h"
#include "ValueControls.h"

using namespace KOVA;
using namespace KOVA::test;

namespace {

const auto* const host = ::testing::AddGlobalTestEnvironment(new LibraryHost);

// 216 px wide: a track of 200 px for the 16-px thumb.
const CRect kSlider(10, 10, 226, 40);
constexpr int kMiddle = 25;

CPoint at(int offset) { return CPoint(kSlider.left + offset, kMiddle); }

class Sliders : public ::testing::Test {
protected:
    template <class T = MSlider>
    std::unique_ptr<T> make(CRect rect = kSlider)
    {
        auto slider = std::make_unique<T>(&parent, 7, rect, 1, 1);
        slider->SetManager(&manager);
        return slider;
    }
    std::string heard()
    {
        const std::string line = noteLine(parent.notifications);
        parent.notifications.clear();
        return line;
    }
    void paint(MControl& control) { control.Draw(canvas.dc(), CRect(0, 0, canvas.width(), canvas.height())); }

    PaintManager manager;
    RenderingParent parent;
    DibCanvas canvas { 300, 60, 0xFF000000 };
};

TEST_F(Sliders, APressTakesTheValueUnderThePointerAndEveryGestureEndsWithCodeTwo)
{
    struct Case {
        int press;
        int drag;
        const char* heard;
        int value;
    };
    const Case cases[] {
        { 100, 100, "7:8:50:0 7:2:0:0", 50 },
        { 0, 0, "7:2:0:0", 0 },  // no change, still the release
        { 198, 198, "7:8:99:0 7:2:0:0", 99 },
        { 199, 199, "7:8:100:0 7:2:0:0", 100 },
        { -10, -10, "7:2:0:0", 0 },   // left of the control: the minimum
        { 300, 300, "7:8:100:0 7:2:0:0", 100 },
        { 100, 150, "7:8:50:0 7:8:75:0 7:2:0:0", 75 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.press);
        auto slider = make();
        slider->OnLButtonDown(MK_LBUTTON, at(c.press));
        slider->OnMouseMove(MK_LBUTTON, at(c.drag));
        slider->OnLButtonUp(0, at(c.drag));
        EXPECT_EQ(c.heard, heard());
        EXPECT_EQ(c.value, slider->GetProgress());
        EXPECT_EQ(kSlider.left + (c.value * 200) / 100, slider->GetThumbRect().left);
    }
}

TEST_F(Sliders, WheelAndSettersStayInTheRange)
{
    auto slider = make();
    const CPoint over = at(50);
    struct Step {
        const char* name;
        std::function<void()> act;
        const char* heard;
        int value;
    };
    const Step steps[] {
        { "SetProgress(150) stores the maximum", [&] { EXPECT_EQ(100, slider->SetProgress(150)); }, "", 100 },
        { "a notch away at the maximum", [&] { slider->OnScroll(1, 0, over); }, "", 100 },
        { "a notch toward the user", [&] { slider->OnScroll(1, 1, over); }, "7:2:0:0", 99 },
        { "SetProgress(-1) is ignored", [&] { EXPECT_EQ(99, slider->SetProgress(-1)); }, "", 99 },
        { "SetProgress(0)", [&] { slider->SetProgress(0); }, "", 0 },
        { "a notch toward the user at the minimum", [&] { slider->OnScroll(1, 1, over); }, "", 0 },
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.name);
        step.act();
        EXPECT_EQ(step.heard, heard());
        EXPECT_EQ(step.value, slider->GetProgress());
    }
    // The bounds are stored only: the thumb moves with the next value.
    slider->SetProgress(50);
    slider->SetMaxProgress(200);
    EXPECT_EQ(kSlider.left + 100, slider->GetThumbRect().left);
    slider->SetProgress(100);
    EXPECT_EQ(kSlider.left + 100, slider->GetThumbRect().left);
}

// An empty range or track would divide by zero, and a wide range times a long track passes
// 32 bits.
TEST_F(Sliders, EmptyRangesAndTracksStayAtTheMinimumAndWideRangesDoNotOverflow)
{
    struct Case {
        const char* name;
        CRect rect;
        int minimum;
        int maximum;
        int press;
        const char* heard;
        int value;
        int thumbOffset;
    };
    const Case cases[] {
        { "maximum equals minimum", kSlider, 5, 5, 100, "7:8:5:0 7:2:0:0", 5, 0 },
        { "track of 0 px", CRect(10, 10, 26, 40), 0, 100, 100, "7:2:0:0", 0, 0 },
        { "track below 0 px", CRect(10, 10, 20, 40), 3, 100, 100, "7:8:3:0 7:2:0:0", 3, 0 },
        { "two billion", kSlider, 0, 2000000000, 100, "7:8:1000000000:0 7:2:0:0", 1000000000, 100 },
        { "the whole int", kSlider, INT_MIN + 1, INT_MAX, 150, "7:8:1073741824:0 7:2:0:0", 1073741824, 150 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        // MSlider2 keeps 46 px more off its track: the thumb is 2 px wide, the text column 60.
        CRect wider = c.rect;
        wider.right += 46;
        std::unique_ptr<MSlider> sliders[] { make<MSlider>(c.rect), make<MSlider2>(wider) };
        for (auto& slider : sliders) {
            slider->SetMinProgress(c.minimum);
            slider->SetMaxProgress(c.maximum);
            slider->OnLButtonDown(MK_LBUTTON, at(c.press));
            slider->OnLButtonUp(0, at(c.press));
            EXPECT_EQ(c.heard, heard());
            EXPECT_EQ(c.value, slider->GetProgress());
            EXPECT_EQ(c.rect.left + c.thumbOffset, slider->GetThumbRect().left);
            paint(*slider);
        }
    }
}

TEST_F(Sliders, HoverFollowsTheThumbAndOnlyMSliderKeepsIt)
{
    auto slider = make();
    auto second = make<MSlider2>(CRect(10, 10, 288, 40));
    paint(*slider);
    paint(*second);
    slider->OnMouseMove(0, CPoint(kSlider.left + 8, kSlider.top + 4));
    second->OnMouseMove(0, CPoint(kSlider.left + 1, kSlider.top + 4));
    EXPECT_EQ(1, slider->GetState());
    EXPECT_EQ(0, second->GetState());
    slider->OnMouseMove(0, at(150));
    EXPECT_EQ(0, slider->GetState());
    // MSlider2 drags from a press anywhere, MSlider only from the thumb it moved there.
    second->OnLButtonDown(MK_LBUTTON, CPoint(150, 38));
    slider->OnLButtonDown(MK_LBUTTON, CPoint(at(150).x, 38));
    EXPECT_EQ(2, second->GetState());
    EXPECT_EQ(0, slider->GetState());
}

TEST_F(Sliders, MSliderDrawsTrackFillAndThumbMSlider2ItsBarAndPercentage)
{
    auto slider = make();
    slider->SetProgress(50);
    paint(*slider);
    constexpr DWORD white = 0xFFFFFF, grey = 0x888888, black = 0;
    expectPixels(canvas, { { kSlider.left + 50, kMiddle, white }, { kSlider.left + 108, kMiddle - 6, white },
                           { kSlider.left + 180, kMiddle, grey }, { kSlider.left + 50, kMiddle - 5, black } }, 2);

    // 278 px: a hit track of 216 px, a drawn one of 214 px and the text column.
    canvas.fill(0xFF000000);
    auto second = make<MSlider2>(CRect(10, 10, 288, 40));
    paint(*second);
    const CRect column(288 - 55, 10, 288, 40);
    EXPECT_TRUE(scanInk(canvas, column, black, 0x6F6F6F, 60).any()) << "0%";
    EXPECT_EQ(0, scanInk(canvas, CRect(10, 24, 230, 25), black, 0xBD30FF, 3).matching) << "nothing filled at 0";
    second->SetProgress(100);
    paint(*second);
    EXPECT_GT(scanInk(canvas, CRect(10, 24, 230, 25), black, 0xBD30FF, 3).matching, 200);
    const Ink hundred = scanInk(canvas, column, black, 0x6F6F6F, 60);
    second->SetShowText(0);
    second->SetUpdate(0, 0);
    canvas.fill(0xFF000000);
    paint(*second);
    EXPECT_FALSE(scanInk(canvas, column, black, 0x6F6F6F, 60).any());
    EXPECT_GT(hundred.bounds.Width(), 10) << "100%";
}

TEST(SliderDialog, PostedMessagesDragASlider)
{
    NotedDialog dialog;
    MSlider* slider = dialog.create<MSlider>(L"MSlider", 9, kSlider);
    ASSERT_NE(nullptr, slider);
    dialog.post(WM_MOUSEMOVE, at(100));
    dialog.post(WM_LBUTTONDOWN, at(100), MK_LBUTTON);
    dialog.post(WM_MOUSEMOVE, at(150), MK_LBUTTON);
    dialog.post(WM_MOUSEMOVE, at(199), MK_LBUTTON);
    dialog.post(WM_LBUTTONUP, at(199));
    ASSERT_TRUE(pumpUntil([&] { return dialog.notes.size() >= 4; }));
    EXPECT_EQ("9:8:50:0 9:8:75:0 9:8:100:0 9:2:0:0", noteLine(dialog.notes));
    EXPECT_EQ(100, slider->GetProgress());
}

} // namespace
