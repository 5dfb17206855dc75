#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <utility>
#include <vector>

#include "GdiObjectCount.h"
#include "InkScan.h"
#include "KOVA.h"
#include "LibraryHost.h"
#include "TestWindow.h"
#include "WindowCapture.h"

using namespace KOVA;
using namespace KOVA::test;

namespace {

const auto* const host = ::testing::AddGlobalTestEnvironment(new LibraryHost);

constexpr DWORD kTipStyle = 0x96000080;
const POINT kAnchor { 500, 300 };
constexpr DWORD kFrame = 0x505050;
constexpr DWORD kCard = 0x141414;
constexpr DWORD kHeadingInk = 0xE6E6E6;
constexpr DWORD kWhite = 0xFFFFFF;
const CRect kHeadingLine(10, 10, 170, 23);
const CRect kSecondLine(10, 39, 170, 59);
const CRect kThirdLine(10, 67, 170, 87);

// Reaches the fonts and the state.
class TestTips : public CKeyboardTips {
public:
    using CKeyboardTips::GetGDIFont11;
    using CKeyboardTips::GetGDIFont2;
    AIRBLADDER_TYPE type() const { return m_type; }
    AIRBLADDER_MODE mode() const { return m_mode; }
    Gdiplus::FontFamily* fontFamily() const { return *m_fontFamily; }
    Gdiplus::FontFamily* keptFamily() { return m_fonts->find(L"BRAVIK 1.2"); }
};

// Made the way its users make it, under a window of the host.
class KeyboardTips : public ::testing::Test {
protected:
    void SetUp() override
    {
        tips.Create(owner.hwnd(), L"KeyboardTip Window", kTipStyle, 0, CRect(), nullptr);
        ASSERT_NE(nullptr, hwnd());
    }
    void TearDown() override { tips.DestroyWindow(); }

    HWND hwnd() const { return tips.GetSafeHwnd(); }
    int say(const wchar_t* heading, const wchar_t* second, const wchar_t* third, POINT anchor = kAnchor)
    {
        return tips.SetAirBladderMsg(heading, second, third, anchor);
    }
    std::unique_ptr<DibCanvas> shown()
    {
        RedrawWindow(hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        return captureClient(hwnd());
    }

    TestWindow owner { 300, 200, WS_POPUP };
    TestTips tips;
};

} // namespace

TEST_F(KeyboardTips, SitsAboveTheAnchorCentredOnItUnlessTheHeadingIsEmptyOrNothingChanged)
{
    const CRect above(405, 200, 595, 300), elsewhere(20, 20, 210, 120);
    struct Step {
        const wchar_t* heading;
        const wchar_t* second;
        const wchar_t* third;
        CRect expected;
    };
    // Null texts count as empty; the same texts and anchor again do nothing.
    for (const Step& step : { Step { L"", L"Second", L"Third", elsewhere }, Step { nullptr, nullptr, nullptr, elsewhere },
                              Step { L"Key", nullptr, nullptr, above }, Step { L"Key", L"Second", L"Third", above },
                              Step { L"Key", L"Second", L"Third", elsewhere }, Step { L"Key", L"Second", L"Other", above } }) {
        MoveWindow(hwnd(), elsewhere.left, elsewhere.top, elsewhere.Width(), elsewhere.Height(), FALSE);
        EXPECT_EQ(1, say(step.heading, step.second, step.third));
        EXPECT_EQ(step.expected, windowRectOf(hwnd())) << (step.heading ? "heading" : "null") << " " << (step.third ? step.third : L"");
    }
    EXPECT_TRUE(tips.type() == AirBladderTypeButton && tips.mode() == AirBladderModeAbove);
    EXPECT_FALSE(KillTimer(hwnd(), 10)) << "the keyboard tip never hides on a timer";
}

TEST_F(KeyboardTips, AGreyFrameAroundADarkCardWithThreeLinesTheThirdLarger)
{
    say(L"", L"Second", L"Third");
    EXPECT_FALSE(scanInk(*shown(), CRect(1, 1, 188, 98), kCard, kWhite).any()) << "no text under an empty heading";
    say(L"Key", L"Hxg", L"Hxg");
    const auto canvas = shown();
    ASSERT_EQ(CSize(190, 100), CSize(canvas->width(), canvas->height()));
    // One pixel of frame at the left and top, two at the right and bottom.
    expectPixels(*canvas, { { 0, 50, kFrame }, { 95, 0, kFrame }, { 1, 50, kCard }, { 95, 1, kCard }, { 187, 50, kCard },
                            { 95, 97, kCard }, { 188, 50, kFrame }, { 95, 98, kFrame } });
    EXPECT_GT(scanInk(*canvas, kHeadingLine, kCard, kHeadingInk).matching, 0);
    EXPECT_EQ(0, scanInk(*canvas, kHeadingLine, kCard, kWhite).matching) << "the heading is not white";
    const Ink second = scanInk(*canvas, kSecondLine, kCard, kWhite);
    const Ink third = scanInk(*canvas, kThirdLine, kCard, kWhite);
    ASSERT_TRUE(second.matching > 0 && third.matching > 0);
    EXPECT_GT(third.bounds.Height(), second.bounds.Height());
    EXPECT_GT(third.bounds.Width(), second.bounds.Width());
}

TEST_F(KeyboardTips, FontsAreTheLibraryFaceAtFourteenAndEighteenPixelsAndItsFamilyIsKept)
{
    HFONT small = tips.GetGDIFont11();
    HFONT large = tips.GetGDIFont2();
    ASSERT_TRUE(small && large);
    EXPECT_EQ(small, tips.GetGDIFont11());
    EXPECT_EQ((std::vector<LONG> { -14, -18 }), (std::vector<LONG> { logFontOf(small).lfHeight, logFontOf(large).lfHeight }));
    EXPECT_EQ(CString(Manager::GetFontName()).Left(LF_FACESIZE - 1), CString(logFontOf(small).lfFaceName));
    ASSERT_NE(nullptr, tips.fontFamily());
    EXPECT_EQ(tips.fontFamily(), tips.keptFamily()) << "the family lives with its collection";
    wchar_t name[LF_FACESIZE] {};
    ASSERT_EQ(Gdiplus::Ok, tips.fontFamily()->GetFamilyName(name));
    EXPECT_STREQ(L"BRAVIK 1.2", name);
}

TEST_F(KeyboardTips, LosingTheFocusHidesIt)
{
    say(L"Key", L"Second", L"Third");
    tips.ShowWindow(SW_SHOWNOACTIVATE);
    SetFocus(hwnd());
    ASSERT_EQ(hwnd(), GetFocus());
    SetFocus(owner.hwnd());
    EXPECT_FALSE(IsWindowVisible(hwnd()));
}

TEST_F(KeyboardTips, ShowsHidesAndWholeTipsLeaveNoGdiObjectBehind)
{
    const auto cycle = [&](int i) {
        say(L"Key", i % 2 ? L"Second" : L"Another second", L"Third", POINT { kAnchor.x + i % 5, kAnchor.y });
        tips.ShowWindow(SW_SHOWNOACTIVATE);
        tips.ShowWindow(SW_HIDE);
    };
    // Made and destroyed, a tip takes its fonts along.
    const auto makeAndDrop = [&](int) {
        TestTips other;
        other.Create(owner.hwnd(), L"KeyboardTip Window", kTipStyle, 0, CRect(), nullptr);
        other.SetAirBladderMsg(L"Key", L"Second", L"Third", kAnchor);
        other.DestroyWindow();
    };
    for (const auto& [round, count] : { std::pair { std::function<void(int)>(cycle), 1000 }, std::pair { std::function<void(int)>(makeAndDrop), 100 } }) {
        int i = 0;
        const int baseline = warmGdiObjects([&] { round(i++); });
        if (baseline < 0)
            GTEST_SKIP() << "GDI objects can only be counted under Wine";
        for (int n = 0; n < count; ++n)
            round(n);
        EXPECT_EQ(baseline, gdiObjectsSettled(baseline)) << count << " rounds";
    }
}
