#include <gtest/gtest.h>

#include <climits>
#include <functional>

#include "InkScan.h"
#include "LibraryHost.h"
#include "PumpUntil.h"
#include "ValueControls.h"

using namespace KOVA;
using namespace KOVA::test;

namespace {

const auto* const host = ::testing::AddGlobalTestEnvironment(new LibraryHost);

// 216 px wide: a track of 200 px for the 16-px thumb (MSlider2: 2 px and its 60-px column).
const CRect kSlider(10, 10, 226, 40);
CPoint at(int offset) { return CPoint(kSlider.left + offset, 25); }

using Sliders = ValueFixture;

// Empty ranges and tracks would divide by zero; wide ranges times long tracks pass 32 bits.
TEST_F(Sliders, APressOrDragTakesTheValueUnderThePointerAndTheReleaseReportsCodeTwo)
{
    struct Case { int width, minimum, maximum, press, drag; const char* heard; int value, thumb; };
    const Case cases[] {
        { 216, 0, 100, 100, 150, "7:8:50:0 7:8:75:0 7:2:0:0", 75, 150 },
        { 216, 0, 100, 0, 0, "7:2:0:0", 0, 0 },
        { 216, 0, 100, 198, 198, "7:8:99:0 7:2:0:0", 99, 198 },
        { 216, 0, 100, 199, 199, "7:8:100:0 7:2:0:0", 100, 200 },
        { 216, 0, 100, -10, -10, "7:2:0:0", 0, 0 },
        { 216, 0, 100, 300, 300, "7:8:100:0 7:2:0:0", 100, 200 },
        { 216, 5, 5, 100, 100, "7:8:5:0 7:2:0:0", 5, 0 },
        { 16, 0, 100, 100, 100, "7:2:0:0", 0, 0 },
        { 10, 3, 100, 100, 100, "7:8:3:0 7:2:0:0", 3, 0 },
        { 216, 0, 2000000000, 100, 100, "7:8:1000000000:0 7:2:0:0", 1000000000, 100 },
        { 216, INT_MIN + 1, INT_MAX, 150, 150, "7:8:1073741824:0 7:2:0:0", 1073741824, 150 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.width << " px, " << c.minimum << ".." << c.maximum << " at " << c.press);
        std::unique_ptr<MSlider> sliders[] { make<MSlider>(7u, CRect(10, 10, 10 + c.width, 40), 1, 1),
                                             make<MSlider2>(7u, CRect(10, 10, 56 + c.width, 40), 1, 1) };
        for (auto& slider : sliders) {
            slider->SetMinProgress(c.minimum);
            slider->SetMaxProgress(c.maximum);
            slider->OnLButtonDown(MK_LBUTTON, at(c.press));
            slider->OnMouseMove(MK_LBUTTON, at(c.drag));
            slider->OnLButtonUp(0, at(c.drag));
            EXPECT_EQ(c.heard, heard());
            EXPECT_EQ(c.value, slider->GetProgress());
            EXPECT_EQ(kSlider.left + c.thumb, slider->GetThumbRect().left);
            paint(*slider);
        }
    }
}

TEST_F(Sliders, TheWheelAndTheSettersStayInTheRange)
{
    auto slider = make<MSlider>(7u, kSlider, 1, 1);
    struct Step { std::function<int()> act; const char* heard; int value; };
    const Step steps[] {
        { [&] { return slider->SetProgress(150); }, "", 100 },
        { [&] { return slider->OnScroll(1, 0, at(50)); }, "", 100 },  // a notch away, at the maximum
        { [&] { return slider->OnScroll(1, 1, at(50)); }, "7:2:0:0", 99 },
        { [&] { return slider->SetProgress(-1); }, "", 99 },
        { [&] { return slider->SetProgress(0); }, "", 0 },
        { [&] { return slider->OnScroll(1, 1, at(50)); }, "", 0 },
    };
    for (const Step& step : steps) {
        step.act();
        EXPECT_EQ(step.heard, heard());
        EXPECT_EQ(step.value, slider->GetProgress());
    }
    slider->SetProgress(50);
    slider->SetMaxProgress(200);
    EXPECT_EQ(kSlider.left + 100, slider->GetThumbRect().left) << "the bounds are stored only";
}

TEST_F(Sliders, MSliderDrawsTrackFillAndThumbMSlider2ItsFillAndPercentage)
{
    auto slider = make<MSlider>(7u, kSlider, 1, 1);
    slider->SetProgress(50);
    paint(*slider);
    expectPixels(canvas, { { 60, 25, 0xFFFFFF }, { 118, 19, 0xFFFFFF }, { 190, 25, 0x888888 }, { 60, 20, 0 } }, 2);

    auto second = make<MSlider2>(7u, CRect(10, 10, 288, 40), 1, 1);
    const CRect track(10, 24, 230, 25), column(233, 10, 288, 40);
    paint(*second);
    EXPECT_EQ(0, scanInk(canvas, track, 0, 0xBD30FF).matching) << "nothing filled at 0";
    EXPECT_TRUE(scanInk(canvas, column, 0, 0x6F6F6F).any()) << "0%";
    second->SetProgress(100);
    second->SetShowText(0);
    paint(*second);
    EXPECT_GT(scanInk(canvas, track, 0, 0xBD30FF).matching, 200);
    EXPECT_FALSE(scanInk(canvas, column, 0, 0x6F6F6F).any());
}

TEST(SliderDialog, PostedMessagesDragASlider)
{
    NotedDialog dialog;
    ASSERT_NE(nullptr, dialog.create<MSlider>(L"MSlider", 9, kSlider));
    dialog.post({ WM_MOUSEMOVE, WM_LBUTTONDOWN }, at(100));
    dialog.post({ WM_MOUSEMOVE }, at(150));
    dialog.post({ WM_MOUSEMOVE, WM_LBUTTONUP }, at(199));
    ASSERT_TRUE(pumpUntil([&] { return dialog.notes.size() >= 4; }));
    EXPECT_EQ("9:8:50:0 9:8:75:0 9:8:100:0 9:2:0:0", noteLine(dialog.notes));
}

} // namespace
