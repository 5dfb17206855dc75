#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

#include "ButtonKinds.h"
#include "DibCanvas.h"
#include "InkScan.h"
#include "LibraryHost.h"
#include "TestWindow.h"
#include "ValueControls.h"

using namespace KOVA;
using namespace KOVA::test;

namespace {

const auto* const host = ::testing::AddGlobalTestEnvironment(new LibraryHost);

constexpr DWORD kBlue = 0x0000FF;
constexpr DWORD kWhite = 0xFFFFFF;
const CRect kLabel(10, 10, 110, 70);

class Label : public ::testing::Test {
protected:
    std::unique_ptr<MText> make(const wchar_t* title, CRect rect = kLabel)
    {
        auto label = std::make_unique<MText>(&parent, 6, rect, title, 1);
        label->SetManager(&manager);
        return label;
    }
    Ink paint(MText& label)
    {
        canvas.fill(0xFF0000FF);
        label.SetUpdate(0, 0);
        label.Draw(canvas.dc(), CRect(0, 0, canvas.width(), canvas.height()));
        return scanInk(canvas, label.GetRect(), kBlue, kWhite);
    }

    PaintManager manager;
    RenderingParent parent;
    DibCanvas canvas { 240, 120, 0xFF0000FF };
};

TEST_F(Label, ShowsWhatLiesBehindUntilItHasAColourOfItsOwn)
{
    auto label = make(L"Hi");
    EXPECT_EQ(0, label->IsEnabled());
    EXPECT_TRUE(paint(*label).matching > 5) << "white text";
    EXPECT_EQ(kBlue, canvas.rgb(12, 12));
    struct Step {
        int enable;
        Gdiplus::Color colour;
        DWORD corner;
    };
    const Step steps[] {
        { 1, Gdiplus::Color(0xFFFF0000), 0xFF0000 },
        { 1, Gdiplus::Color(0xFF00FF00), 0xFF0000 },  // the flag did not change: red stays
        { 0, Gdiplus::Color(0xFF00FF00), kBlue },
        { 1, Gdiplus::Color(0xFF00FF00), 0x00FF00 },
    };
    for (const Step& step : steps) {
        label->EnableTextBack(step.enable, step.colour);
        paint(*label);
        EXPECT_TRUE(nearColor(canvas.rgb(12, 12), step.corner, 2)) << std::hex << step.corner;
    }
}

TEST_F(Label, OneLineIsNeverWrappedSeveralWrapAtTheWidthAndCanBeCentred)
{
    auto label = make(L"many words in one long title");
    label->SetVAlignment(0);
    const Ink single = paint(*label);
    label->EnableMultiLine(1);
    const Ink wrapped = paint(*label);
    label->EnableVCenter(1);
    const Ink centred = paint(*label);
    ASSERT_TRUE(single.any() && wrapped.any());
    EXPECT_LT(single.bounds.Height(), 20);
    EXPECT_GT(wrapped.bounds.Height(), 25) << "two lines or more";
    // Ink, not line boxes: the font's leading above and descent below differ a little.
    EXPECT_NEAR(centred.bounds.top - kLabel.top, kLabel.bottom - 1 - centred.bounds.bottom, 6);
    EXPECT_GT(centred.bounds.top, wrapped.bounds.top);
}

TEST_F(Label, TheFontSizeFollowsTheDisplayScale)
{
    auto scaled = make(L"Scale");
    auto reference = make(L"Scale");
    scaled->SetFontWidth(14);
    reference->SetFontWidth(21);
    Manager::SetScaleValue(1.5f);
    const Ink big = paint(*scaled);
    Manager::SetScaleValue(1.0f);
    const Ink same = paint(*reference);
    EXPECT_EQ(same.bounds, big.bounds);
    EXPECT_EQ(same.pixels, big.pixels);
}

TEST_F(Label, MarkSettersRepaintOnAChangeDrawNothingAndTakeNullAsEmpty)
{
    auto label = make(L"T");
    const Ink before = paint(*label);
    const Gdiplus::Color orange(0xFFED801B), teal(0xFF008080);
    struct Step {
        const char* name;
        std::function<void()> act;
        size_t repaints;
    };
    const Step steps[] {
        { "a mark", [&] { label->SetMarkText(L"m"); }, 1 },
        { "the same mark", [&] { label->SetMarkText(L"m"); }, 0 },
        { "same mark and colour", [&] { label->SetMarkText(L"m", orange, 0); }, 0 },
        { "another colour", [&] { label->SetMarkText(L"m", teal, 0); }, 1 },
        { "another flag", [&] { label->SetMarkText(L"m", teal, 1); }, 1 },
        { "title and mark unchanged", [&] { label->SetTitleMarkText(L"T", L"m", 7); }, 0 },
        { "all four unchanged", [&] { label->SetMarkText(L"T", L"m", teal, 1); }, 0 },
        { "null mark", [&] { label->SetMarkText(nullptr); }, 1 },
        { "null mark again", [&] { label->SetMarkText(nullptr, teal, 1); }, 0 },
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.name);
        const size_t requests = parent.updates.size();
        step.act();
        EXPECT_EQ(step.repaints, parent.updates.size() - requests);
    }
    const Ink after = paint(*label);
    EXPECT_EQ(before.bounds, after.bounds);
    EXPECT_EQ(before.pixels, after.pixels);

    label->SetTitleMarkText(nullptr, nullptr, 0);
    EXPECT_EQ(CString(L""), label->GetTitle());
    EXPECT_EQ(CString(L""), label->GetMarkText());
    EXPECT_FALSE(paint(*label).any());
    label->SetMarkText(L"Shown", nullptr, teal, 0);
    EXPECT_TRUE(paint(*label).any()) << "the title set with a mark is drawn";
}

TEST_F(Label, ChildrenReportToTheLabelAndNeverToItsParent)
{
    auto label = make(L"");
    // A slider as child 1: its position changes repaint the label, its codes go no further.
    auto* slider = new MSlider(label.get(), 1, CRect(10, 40, 226, 60), 1, 1);
    slider->SetManager(&manager);
    label->GetControls().push_back(slider);
    const size_t requests = parent.updates.size();
    label->OnLButtonDown(MK_LBUTTON, CPoint(110, 45));
    label->OnLButtonUp(0, CPoint(110, 45));
    EXPECT_EQ(50, slider->GetProgress());
    EXPECT_EQ("", noteLine(parent.notifications));
    bool labelRepainted = false;
    for (size_t i = requests; i < parent.updates.size(); ++i)
        labelRepainted |= parent.updates[i].control == label.get() && parent.updates[i].flag == 1;
    EXPECT_TRUE(labelRepainted);
}

// The framework hands the wheel to enabled controls only: a label swallows it once enabled.
TEST(LabelDialog, AnEnabledLabelSwallowsTheWheelOverIt)
{
    NotedDialog dialog;
    auto* page = new MPanel(&dialog, 20, CRect(0, 0, 300, 150), 1);
    page->SetVirtualHeight(1000);
    dialog.GetPaintManager()->AppendControl(page, 1);
    page->SetManager(dialog.GetPaintManager());
    auto* label = dialog.create<MText>(L"MText", 21, CRect(20, 20, 120, 50), L"Label");
    ASSERT_NE(nullptr, label);
    label->SetEnabled(1);
    CScrollVertical* bar = page->GetScrollVertical();
    auto wheel = [&](CPoint at) {
        dialog.post(WM_MOUSEMOVE, at);
        POINT screen = at;
        ClientToScreen(dialog.GetSafeHwnd(), &screen);
        dialog.PostMessageW(WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-120)), MAKELPARAM(screen.x, screen.y));
        pumpMessages();
    };
    wheel(CPoint(70, 35));
    EXPECT_EQ(0, bar->GetScrollCurrentPos()) << "over the label";
    wheel(CPoint(200, 100));
    EXPECT_GT(bar->GetScrollCurrentPos(), 0) << "over the page";
}

} // namespace
