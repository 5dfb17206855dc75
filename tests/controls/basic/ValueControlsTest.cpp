// The value controls: sliders, labels, progress bars and rings, the spin box. Input through
// their entry points, their looks read back, one leak loop and one copy check over every
// class, and the few things only a live dialog shows (posted input, the wheel, fast ticks).
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <functional>
#include <memory>
#include <type_traits>
#include <vector>

#include "GdiObjectCount.h"
#include "InkScan.h"
#include "LibraryHost.h"
#include "PumpUntil.h"
#include "ScratchStrip.h"
#include "TestWindow.h"
#include "ButtonKinds.h"
#include "DibCanvas.h"
#include "NotedDialog.h"
#include "framework/AppPaths.h"

using namespace KOVA;
using namespace KOVA::test;

namespace {

const auto* const host = ::testing::AddGlobalTestEnvironment(new LibraryHost);

constexpr DWORD kWhite = 0xFFFFFF, kRed = 0xFF0000, kGreen = 0x00FF00, kBlue = 0x0000FF, kGrey = 0x505050;
const std::vector<DWORD> kBoxLooks { 0xFFC00000, 0xFF00C000, 0xFF0000C0, 0xFF606060 };

// The spin box's buttons load their strips by fixed names: only this program writes them.
class SpinSkins : public ::testing::Environment {
public:
    void SetUp() override
    {
        const CString folder = GetSkinPath();
        for (const wchar_t* arrow : { L"img_spin_up.png", L"img_spin_down.png" })
            m_strips.push_back(std::make_unique<ScratchStrip>(folder, arrow, 12, 8, std::vector<DWORD>(4, 0xFFFFFF00)));
        m_strips.push_back(std::make_unique<ScratchStrip>(folder, L"h1_spin_box.png", 20, 20, kBoxLooks));
    }
    void TearDown() override { m_strips.clear(); }

private:
    std::vector<std::unique_ptr<ScratchStrip>> m_strips;
};
const auto* const skins = ::testing::AddGlobalTestEnvironment(new SpinSkins);

// 216 px wide: a track of 200 px for the 16-px thumb (MSlider2: 2 px and its 60-px column).
const CRect kSlider(10, 10, 226, 40);
CPoint at(int offset) { return CPoint(kSlider.left + offset, 25); }
const CRect kLabel(10, 10, 110, 70);
const CRect kBar(10, 10, 210, 30);
// The spin buttons are 12 × 8 at the right edge, 4 px in, above and below the middle (35).
const CRect kBox(20, 20, 100, 50);
const CPoint kUp(90, 31), kDown(90, 39), kOnBox(30, 35);
constexpr UINT kClickUp = 0x10000, kClickDown = 0x10001;

// Controls drawn into a canvas with a window's caches under a recording parent. The bar
// images: a two-frame strip, a grey back and a fore of columns 0-4 red, 5-9 blue, 10-29
// green, 30-39 yellow.
class Values : public ::testing::Test {
protected:
    // A control of class T under the recording parent, attached to the window's caches.
    template <class T, class... Args>
    std::unique_ptr<T> make(Args... args)
    {
        auto control = std::make_unique<T>(&parent, args...);
        control->SetManager(&manager);
        return control;
    }
    // Renders the control again over a fresh background, as a window would.
    void paint(MControl& control, DWORD background = 0xFF000000)
    {
        canvas.fill(background);
        control.SetUpdate(0, 0);
        control.Draw(canvas.dc(), CRect(0, 0, canvas.width(), canvas.height()));
    }
    // What the parent heard since the last call.
    std::string heard()
    {
        const std::string line = noteLine(parent.notifications);
        parent.notifications.clear();
        return line;
    }

    const CString skinPath { GetSkinPath() };
    // The strips go before the window's caches: those let go of the files first.
    ScratchStrip strip { skinPath, L"h1_values_strip.png", 20, 14, { 0xFFFF0000, 0xFF00FF00 } };
    ScratchStrip back { skinPath, L"h1_values_back.png", 40, 10, { 0xFF505050 } };
    ScratchStrip fore { skinPath, L"h1_values_fore.png", 5, 10,
                        { 0xFFFF0000, 0xFF0000FF, 0xFF00FF00, 0xFF00FF00, 0xFF00FF00, 0xFF00FF00, 0xFFFFFF00, 0xFFFFFF00 } };
    PaintManager manager;
    const ReleasedImages released { manager };
    RenderingParent parent;
    DibCanvas canvas { 300, 120 };
};

// ---- sliders

using Sliders = Values;

// Empty ranges and tracks would divide by zero; wide ranges times long tracks pass 32 bits.
TEST_F(Sliders, APressOrDragTakesTheValueUnderThePointerAndTheReleaseReportsCodeTwo)
{
    struct Case { int width, minimum, maximum, press, drag; const char* heard; int value, thumb; };
    const Case cases[] {
        { 216, 0, 100, 100, 150, "7:8:50:0 7:8:75:0 7:2:0:0", 75, 150 },
        { 216, 0, 100, 0, 0, "7:2:0:0", 0, 0 },
        { 216, 0, 100, 199, 199, "7:8:100:0 7:2:0:0", 100, 200 },
        { 216, 0, 100, -10, -10, "7:2:0:0", 0, 0 },
        { 216, 0, 100, 300, 300, "7:8:100:0 7:2:0:0", 100, 200 },
        { 216, 5, 5, 100, 100, "7:8:5:0 7:2:0:0", 5, 0 },
        { 16, 0, 100, 100, 100, "7:2:0:0", 0, 0 },
        { 10, 3, 100, 100, 100, "7:8:3:0 7:2:0:0", 3, 0 },
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

// ---- labels

class Label : public Values {
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
    const Gdiplus::Color teal(0xFF008080);
    const std::pair<std::function<void()>, size_t> steps[] {
        { [&] { label->SetMarkText(L"m"); }, 1 },
        { [&] { label->SetMarkText(L"m"); }, 0 },
        { [&] { label->SetMarkText(L"m", teal, 1); }, 1 },
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

// ---- progress bars and rings

using Progress = Values;

TEST_F(Progress, TheMarqueeStepsEveryThirdTickAndWrapsAtTheMaximum)
{
    auto bar = make<MProgress>(4u, kBar, 1, 1);
    EXPECT_EQ(100, bar->SetProgress(150));
    bar->SetRun(1, 97);
    std::string values;
    for (int tick = 0; tick < 9; ++tick) {
        values += std::to_string(bar->OnControlTimer());
        values += ":" + std::to_string(bar->GetProgress()) + " ";
    }
    EXPECT_EQ("0:97 0:97 1:98 0:98 0:98 1:99 0:99 0:99 1:0 ", values);
    EXPECT_EQ(1, parent.updates.back().flag);
    // Stopped, hidden, disabled or at a maximum of 0 (which would divide) it stays at 0.
    for (auto stop : { +[](MProgress& b) { b.SetRun(0, -1); }, +[](MProgress& b) { b.SetVisible(0); },
                       +[](MProgress& b) { b.SetMaxProgress(0); } }) {
        bar->SetRun(1, 0);
        stop(*bar);
        for (int tick = 0; tick < 6; ++tick)
            bar->OnControlTimer();
        EXPECT_EQ(0, bar->GetProgress());
        bar->SetVisible(1);
    }
    bar->SetEnabled(0);
    EXPECT_EQ(0, bar->SetProgress(10));
    EXPECT_EQ(1, bar->SetRun(0, 5));
}

TEST_F(Progress, EachLookFillsItsShareOfTheBar)
{
    const struct { const char* name; const wchar_t* strip; bool images; int progress, maximum; std::vector<PixelAt> pixels; } cases[] {
        { "colours", nullptr, false, 50, 100, { { 60, 27, 0xFFE100 }, { 109, 29, 0xFFE100 }, { 110, 27, kWhite } } },
        { "colours, maximum 0", nullptr, false, 50, 0, { { 60, 27, kWhite }, { 60, 29, kWhite } } },
        { "strip", L"h1_values_strip.png", false, 50, 100, { { 60, 15, kGreen }, { 160, 15, kRed }, { 60, 27, kWhite } } },
        // A fill narrower than the 12-px margins: the image's left 10 px stretched to the height.
        { "images at 5", nullptr, true, 5, 100, { { 12, 12, kRed }, { 12, 27, kRed }, { 17, 27, kBlue }, { 21, 20, kGrey } } },
        { "images at 50", nullptr, true, 50, 100,
          { { 12, 20, kRed }, { 17, 20, kBlue }, { 60, 20, kGreen }, { 105, 20, 0xFFFF00 }, { 150, 20, kGrey } } },
        { "images, maximum 0", nullptr, true, 50, 0, { { 12, 20, kGrey }, { 60, 20, kGrey } } },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto bar = make<MProgress>(4u, kBar, 1, 1);
        if (c.strip)
            bar->SetImage(c.strip, 2);
        if (c.images) {
            bar->SetBackGroundImage(CString(L"h1_values_back.png"));
            bar->SetForeGroundImage(CString(L"h1_values_fore.png"));
        }
        bar->SetProgress(c.progress);
        bar->SetMaxProgress(c.maximum);
        paint(*bar, 0xFFFFFFFF);
        expectPixels(canvas, c.pixels, 3);
    }
}

// The stroke at an angle measured clockwise from twelve o'clock.
DWORD ringAt(const DibCanvas& canvas, double degrees)
{
    const double radians = degrees * 3.14159265358979 / 180.0;
    return canvas.rgb(200 + static_cast<int>(std::lround(38 * std::sin(radians))),
                      60 - static_cast<int>(std::lround(38 * std::cos(radians))));
}

TEST_F(Progress, TheRingFillsClockwiseFromTwelveOClockAndShowsTheValue)
{
    constexpr DWORD selected = 0xBD30FF, grey = 0x383838;
    const struct { int progress, maximum; std::vector<std::pair<double, DWORD>> stroke; bool text; } cases[] {
        { 25, 100, { { 10, selected }, { 45, selected }, { 80, selected }, { 100, grey }, { 225, grey }, { 350, grey } }, true },
        { 0, 100, { { 10, grey }, { 180, grey } }, false },
        { 25, 0, { { 10, grey }, { 45, grey } }, true },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.progress << " of " << c.maximum);
        auto ring = make<CircleProgress>(4u, CRect(140, 0, 260, 120), 1, 1);
        ring->SetProgress(c.progress);
        ring->SetMaxProgress(c.maximum);
        paint(*ring);
        for (const auto& [degrees, colour] : c.stroke)
            EXPECT_TRUE(nearColor(ringAt(canvas, degrees), colour, 6)) << degrees;
        EXPECT_EQ(c.text, scanInk(canvas, CRect(180, 45, 220, 75), 0, kWhite).any());
    }
}

// ---- the spin box

class Spin : public Values {
protected:
    void SetUp() override
    {
        spin = make<MSpinButton>(5u, kBox, 1, 1);
        spin->SetImage(L"h1_spin_box.png", 4);
    }
    void click(CPoint pt)
    {
        spin->OnLButtonDown(MK_LBUTTON, pt);
        spin->OnLButtonUp(0, pt);
    }
    std::unique_ptr<MSpinButton> spin;
};

TEST_F(Spin, StepsWrapTypedDigitsAppendAndEachChangeIsReported)
{
    struct Case { int minimum, maximum, limit, start; std::vector<UINT> actions; const char* values; int reports; };
    const Case cases[] {
        { 1, 100, 3, 100, { kClickUp }, "1", 1 },
        { 1, 100, 3, 1, { kClickDown }, "100", 1 },
        { 1, 100, 3, 0, { '1', '2', '3' }, "1 12 1", 3 },  // 123 is past the maximum
        { 1, 100, 3, 100, { '5' }, "5", 1 },                // 1005 is past the limit
        { 1, 100, 3, 0, { '0' }, "100", 1 },                // 00 is below the minimum
        { 1, 100, 3, 0, { VK_NUMPAD7, VK_ADD, VK_SUBTRACT, VK_UP, VK_DOWN, VK_LEFT, VK_RIGHT }, "7 8 7 8 7 7 7", 5 },
        { 1, 100, 3, 57, { VK_BACK, VK_BACK, VK_BACK }, "5 0 0", 2 },
        { 5, 5, 3, 5, { kClickUp, VK_DOWN }, "5 5", 2 },
        // Ten digits do not fit an int: a limit above 9 is 9.
        { 0, INT_MAX, 12, 999999999, { '9' }, "9", 1 },
        { 0, INT_MAX, 12, 12345678, { '9' }, "123456789", 1 },
        { 0, INT_MAX, 3, INT_MAX, { VK_UP }, "0", 1 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.start);
        SetUp();
        spin->SetRange(c.minimum, c.maximum);
        spin->SetLimitLength(c.limit);
        spin->SetCurValue(c.start);
        spin->SetControlFocus(1);
        std::string values, expected;
        for (UINT action : c.actions) {
            if (action >= kClickUp)
                click(action == kClickUp ? kUp : kDown);
            else
                spin->OnKeyDown(action, 1, 0);
            values += (values.empty() ? "" : " ") + std::to_string(spin->GetCurValue());
        }
        for (int i = 0; i < c.reports; ++i)
            expected += i ? " 5:28:0:0" : "5:28:0:0";
        EXPECT_EQ(c.values, values);
        EXPECT_EQ(expected, heard());
    }
}

TEST_F(Spin, KeysPassOnWithoutTheFocusAndADisabledBoxDisablesItsButtons)
{
    spin->SetCurValue(7);
    EXPECT_EQ(0, spin->OnKeyDown('5', 1, 0)) << "no focus";
    click(kOnBox);
    EXPECT_EQ(1, spin->OnKeyDown('5', 1, 0)) << "a press on the box gave it the focus";
    spin->SetEnabled(0);
    EXPECT_EQ(0, spin->GetControl(MSpinButton::kUpButtonId)->IsEnabled());
    EXPECT_EQ(0, spin->GetControl(MSpinButton::kDownButtonId)->IsEnabled());
    heard();
    click(kUp);
    EXPECT_EQ(0, spin->OnKeyDown('1', 1, 0)) << "disabled, though it kept the focus";
    EXPECT_EQ(75, spin->GetCurValue());
    EXPECT_EQ("", heard());
    spin->SetEnabled(1);
    click(kUp);
    EXPECT_EQ("5:28:0:0", heard()) << "the buttons' own codes stay inside";
}

TEST_F(Spin, TheBoxShowsItsValueInTheLookOfItsStateWithItsButtonsAtTheRightEdge)
{
    spin->SetCurValue(42);
    const size_t requests = parent.updates.size();
    paint(*spin);
    EXPECT_EQ(requests, parent.updates.size()) << "painting asks for no repaint";
    const std::pair<void (*)(MSpinButton&), int> looks[] {
        { [](MSpinButton& box) { box.OnMouseMove(0, kOnBox); }, 1 },
        { [](MSpinButton& box) { box.OnLButtonDown(MK_LBUTTON, kOnBox); }, 2 },
        { [](MSpinButton& box) { box.SetEnabled(0); }, 3 },
    };
    for (const auto& [act, look] : looks) {
        act(*spin);
        paint(*spin);
        EXPECT_TRUE(nearColor(canvas.rgb(22, 22), kBoxLooks[look] & 0xFFFFFF, 2)) << look;
    }
    spin->SetEnabled(1);
    paint(*spin);
    EXPECT_TRUE(nearColor(canvas.rgb(70, 35), 0x3399FF, 2)) << "the focus band";
}

// ---- every class: leaks and copies

// One class, a change that makes it render again (round 0 dresses it), and a copy.
struct Kind {
    const char* name;
    std::function<MControlFont*(MObject*)> make;
    std::function<void(MControlFont&, int)> change;
    std::function<MControlFont*(MControlFont&)> copy;
};

template <class T, class Change>
Kind kind(const char* name, CRect rect, Change change)
{
    return { name,
             [rect](MObject* parent) -> MControlFont* {
                 if constexpr (std::is_same_v<T, MText>)
                     return new T(parent, 1, rect, L"", 1);
                 else
                     return new T(parent, 1, rect, 1, 1);
             },
             [change](MControlFont& control, int round) { change(dynamic_cast<T&>(control), round); },
             [](MControlFont& control) -> MControlFont* { return new T(dynamic_cast<T&>(control)); } };
}

auto barLook(const wchar_t* strip, const wchar_t* fore)
{
    return [=](MProgress& bar, int round) {
        if (round == 0) {
            bar.EnableShowText(1);
            bar.SetImage(strip, 2);
            bar.SetForeGroundImage(CString(fore));
        }
        bar.SetProgress(round % 100);
    };
}

std::vector<Kind> kinds()
{
    auto value = [](auto& control, int round) { control.SetProgress(round % 100); };
    const CRect place(10, 10, 226, 50);
    return {
        kind<MSlider>("MSlider", place, value),
        kind<MSlider2>("MSlider2", place, value),
        kind<MProgress>("MProgress colours", place, barLook(L"", L"")),
        kind<MProgress>("MProgress strip", place, barLook(L"h1_values_strip.png", L"")),
        kind<MProgress>("MProgress images", place, barLook(L"", L"h1_values_fore.png")),
        kind<CircleProgress>("CircleProgress", CRect(10, 10, 110, 110),
                             [](CircleProgress& ring, int round) { ring.SetProgress(1 + round % 99); }),
        kind<MText>("MText", place, [](MText& label, int round) {
            label.EnableMultiLine(1);
            label.EnableTextBack(round % 2, Gdiplus::Color(0xFF203040));
            label.SetTitleMarkText(round % 2 ? L"odd rounds wrap their title" : L"even", L"", 0);
        }),
        // Every round another value and another look of the box.
        kind<MSpinButton>("MSpinButton", kBox, [](MSpinButton& box, int round) {
            if (round == 0)
                box.SetImage(L"h1_spin_box.png", 4);
            box.SetCurValue(round);
            box.OnMouseMove(0, round % 4 < 2 ? kOnBox : CPoint(5, 5));
        }),
    };
}

class ValueLooks : public Values {
protected:
    std::unique_ptr<MControlFont> make(const Kind& kind)
    {
        std::unique_ptr<MControlFont> control(kind.make(&parent));
        control->SetManager(&manager);
        kind.change(*control, 0);
        return control;
    }
    std::vector<DWORD> pixels() const
    {
        std::vector<DWORD> all;
        for (int y = 0; y < canvas.height(); ++y)
            for (int x = 0; x < canvas.width(); ++x)
                all.push_back(canvas.rgb(x, y));
        return all;
    }
};

TEST_F(ValueLooks, AThousandPaintsKeepTheGdiObjectCount)
{
    for (const Kind& kind : kinds()) {
        SCOPED_TRACE(kind.name);
        auto control = make(kind);
        // Every other paint renders the control again, the others copy what it rendered.
        int round = 0;
        auto paintOnce = [&] {
            if (++round % 2)
                kind.change(*control, round);
            control->Draw(canvas.dc(), CRect(0, 0, canvas.width(), canvas.height()));
        };
        expectNoGdiGrowth(paintOnce, 1000);
    }
}

// A copy takes values only, no children (a spin box makes its own buttons once attached): it
// draws what the original drew, also once the original, with its memory picture, is gone.
TEST_F(ValueLooks, ACopyDrawsLikeItsOriginalAndOutlivesIt)
{
    for (const Kind& kind : kinds()) {
        SCOPED_TRACE(kind.name);
        auto control = make(kind);
        kind.change(*control, 37);
        paint(*control);
        const std::vector<DWORD> original = pixels();
        std::unique_ptr<MControlFont> copy(kind.copy(*control));
        EXPECT_EQ(nullptr, copy->GetControl(MSpinButton::kUpButtonId)) << "no child of the original";
        control.reset();
        copy->SetManager(&manager);
        paint(*copy);
        EXPECT_TRUE(original == pixels());
    }
}

// ---- on a live dialog

// A tick of the window's fast timer that holds the bar until its deletion returns (or a
// deadline passes), then looks whether the bar's child, the last part of a control to go, is
// still there. (What a tick does to the bar is checked by calling it directly.)
struct HeldTick {
    HANDLE entered { CreateEventW(nullptr, TRUE, FALSE, nullptr) };
    HANDLE deleted { CreateEventW(nullptr, TRUE, FALSE, nullptr) };
    bool deletionReturnedFirst { false };
    int childDeaths { 0 };
    bool childKept { false };
    ~HeldTick() { CloseHandle(entered), CloseHandle(deleted); }
};

// Counts its own end.
class Witness : public MControl {
public:
    Witness(MObject* parent, int& deaths) : MControl(parent, 5, CRect(), 1, 1, 0), m_deaths(deaths) {}
    ~Witness() override { ++m_deaths; }
    void DrawControl(HDC&, CRect) override {}

private:
    int& m_deaths;
};

class HeldProgress : public MProgress {
public:
    HeldProgress(MObject* parent, HeldTick& tick) : MProgress(parent, 4, kBar, 1, 1), m_tick(tick) {}
    int OnControlTimer() override
    {
        if (WaitForSingleObject(m_tick.entered, 0) == WAIT_TIMEOUT) {
            SetEvent(m_tick.entered);
            m_tick.deletionReturnedFirst = WaitForSingleObject(m_tick.deleted, 300) == WAIT_OBJECT_0;
            m_tick.childKept = m_tick.childDeaths == 0;
        }
        return MProgress::OnControlTimer();
    }

private:
    HeldTick& m_tick;
};

TEST(ValueDialog, ATickInProgressEndsBeforeAnythingOfTheBarGoes)
{
    NotedDialog dialog;
    HeldTick tick;
    auto* bar = new HeldProgress(&dialog, tick);
    bar->SetManager(dialog.GetPaintManager());
    bar->GetControls().push_back(new Witness(bar, tick.childDeaths));
    bar->SetRun(1, 0);
    bar->AddMTimer();
    dialog.SetMTimer(1);
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(tick.entered, 3000));
    delete bar;
    SetEvent(tick.deleted);
    dialog.GetPaintManager()->KillMTimer();
    EXPECT_FALSE(tick.deletionReturnedFirst);
    EXPECT_TRUE(tick.childKept);
}

// Posted input: a slider dragged while held, then a press that gives the spin box the focus
// for typed digits and a click on its up button.
TEST(ValueDialog, PostedMessagesDragASliderAndTypeIntoTheSpinBoxTheyFocused)
{
    NotedDialog dialog;
    ASSERT_NE(nullptr, dialog.create<MSlider>(L"MSlider", 9, CRect(10, 60, 226, 90)));
    auto* spin = dialog.create<MSpinButton>(L"MSpinButton", 5, kBox);
    ASSERT_NE(nullptr, spin);
    dialog.post({ WM_MOUSEMOVE, WM_LBUTTONDOWN }, CPoint(110, 75));
    dialog.post({ WM_MOUSEMOVE }, CPoint(160, 75));
    dialog.post({ WM_MOUSEMOVE, WM_LBUTTONUP }, CPoint(209, 75));
    dialog.post({ WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP }, kOnBox);
    for (UINT key : { '1', '2', '3' })
        dialog.PostMessageW(WM_KEYDOWN, key, 0);
    dialog.post({ WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP }, kUp);
    ASSERT_TRUE(pumpUntil([&] { return dialog.notes.size() >= 8; }));
    EXPECT_EQ("9:8:50:0 9:8:75:0 9:8:100:0 9:2:0:0 5:28:0:0 5:28:0:0 5:28:0:0 5:28:0:0", noteLine(dialog.notes));
    EXPECT_EQ(2, spin->GetCurValue());
}

// The framework hands the wheel to enabled controls only: a label swallows it once enabled.
TEST(ValueDialog, AnEnabledLabelSwallowsTheWheelOverIt)
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
