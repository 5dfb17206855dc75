#include <gtest/gtest.h>

#include <functional>

#include "InkScan.h"
#include "LibraryHost.h"
#include "TestWindow.h"
#include "ValueControls.h"

using namespace KOVA;
using namespace KOVA::test;

namespace {

const auto* const host = ::testing::AddGlobalTestEnvironment(new LibraryHost);

constexpr DWORD kBlue = 0x0000FF, kWhite = 0xFFFFFF;
const CRect kLabel(10, 10, 110, 70);

class Label : public ValueFixture {
protected:
    Ink ink(MText& label)
    {
        paint(label, 0xFF0000FF);
        return scanInk(canvas, label.GetRect(), kBlue, kWhite);
    }
};

TEST_F(Label, ShowsWhatLiesBehindUntilItHasAColourOfItsOwn)
{
    auto label = make<MText>(6u, kLabel, L"Hi", 1);
    EXPECT_EQ(0, label->IsEnabled());
    EXPECT_GT(ink(*label).matching, 5) << "white text";
    const std::pair<int, DWORD> steps[] { { 1, 0xFF0000 }, { 1, 0x00FF00 }, { 0, 0x00FF00 }, { 1, 0x00FF00 } };
    const DWORD corners[] { 0xFF0000, 0xFF0000, kBlue, 0x00FF00 };  // a kept flag keeps its colour
    for (int i = 0; i < 4; ++i) {
        label->EnableTextBack(steps[i].first, Gdiplus::Color(0xFF000000 | steps[i].second));
        ink(*label);
        EXPECT_TRUE(nearColor(canvas.rgb(12, 12), corners[i], 2)) << i;
    }
}

TEST_F(Label, OneLineIsNeverWrappedSeveralWrapAtTheWidthAndFollowTheScale)
{
    auto label = make<MText>(6u, kLabel, L"many words in one long title", 1);
    label->SetVAlignment(0);
    const Ink single = ink(*label);
    label->EnableMultiLine(1);
    const Ink wrapped = ink(*label);
    label->EnableVCenter(1);
    const Ink centred = ink(*label);
    EXPECT_LT(single.bounds.Height(), 20);
    EXPECT_GT(wrapped.bounds.Height(), 25) << "two lines or more";
    // Ink, not line boxes: the font's leading above and descent below differ a little.
    EXPECT_NEAR(centred.bounds.top - kLabel.top, kLabel.bottom - 1 - centred.bounds.bottom, 6);

    // Font size 14 at scale 1.5 draws as size 21.
    label->SetFontWidth(14);
    Manager::SetScaleValue(1.5f);
    const Ink scaled = ink(*label);
    Manager::SetScaleValue(1.0f);
    label->SetFontWidth(21);
    EXPECT_EQ(ink(*label).pixels, scaled.pixels);
}

TEST_F(Label, MarkSettersRepaintOnAChangeDrawNothingAndTakeNullAsEmpty)
{
    auto label = make<MText>(6u, kLabel, L"T", 1);
    const Ink before = ink(*label);
    const Gdiplus::Color orange(0xFFED801B), teal(0xFF008080);
    const std::pair<std::function<void()>, size_t> steps[] {
        { [&] { label->SetMarkText(L"m"); }, 1 },
        { [&] { label->SetMarkText(L"m"); }, 0 },
        { [&] { label->SetMarkText(L"m", orange, 0); }, 0 },
        { [&] { label->SetMarkText(L"m", teal, 1); }, 1 },
        { [&] { label->SetTitleMarkText(L"T", L"m", 7); }, 0 },
        { [&] { label->SetMarkText(L"T", L"m", teal, 1); }, 0 },
        { [&] { label->SetMarkText(nullptr); }, 1 },
        { [&] { label->SetMarkText(nullptr, teal, 1); }, 0 },
    };
    for (const auto& [act, repaints] : steps) {
        const size_t requests = parent.updates.size();
        act();
        EXPECT_EQ(repaints, parent.updates.size() - requests);
    }
    EXPECT_EQ(before.pixels, ink(*label).pixels);
    label->SetTitleMarkText(nullptr, nullptr, 0);
    EXPECT_EQ(CString(L""), label->GetTitle());
    EXPECT_FALSE(ink(*label).any());
    label->SetMarkText(L"Shown", nullptr, teal, 0);
    EXPECT_TRUE(ink(*label).any()) << "the title set with a mark is drawn";
}

TEST_F(Label, ChildrenReportToTheLabelAndNeverToItsParent)
{
    auto label = make<MText>(6u, kLabel, L"", 1);
    // A slider as child 1: its position changes repaint the label, its codes go no further.
    auto* slider = new MSlider(label.get(), 1, CRect(10, 40, 226, 60), 1, 1);
    slider->SetManager(&manager);
    label->GetControls().push_back(slider);
    label->OnLButtonDown(MK_LBUTTON, CPoint(110, 45));
    label->OnLButtonUp(0, CPoint(110, 45));
    EXPECT_EQ(50, slider->GetProgress());
    EXPECT_EQ("", heard());
    EXPECT_EQ(label.get(), parent.updates.back().control);
    EXPECT_EQ(1, parent.updates.back().flag);
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
    for (const auto& [at, scrolled] : { std::pair(CPoint(70, 35), 0), std::pair(CPoint(200, 100), 1) }) {
        dialog.post({ WM_MOUSEMOVE }, at);
        POINT screen = at;
        ClientToScreen(dialog.GetSafeHwnd(), &screen);
        dialog.PostMessageW(WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-120)), MAKELPARAM(screen.x, screen.y));
        pumpMessages();
        EXPECT_EQ(scrolled, page->GetScrollVertical()->GetScrollCurrentPos() > 0) << at.x;
    }
}

} // namespace
