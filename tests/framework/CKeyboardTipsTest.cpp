#include <gtest/gtest.h>

#include <memory>

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

CRect windowRect(HWND hwnd)
{
    CRect rect;
    GetWindowRect(hwnd, &rect);
    return rect;
}

LOGFONTW describe(HFONT font)
{
    LOGFONTW description {};
    GetObjectW(font, sizeof(description), &description);
    return description;
}

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

TEST_F(KeyboardTips, SitsAboveTheAnchorCentredOnIt)
{
    EXPECT_EQ(1, say(L"Key", L"Second", L"Third"));
    EXPECT_EQ(CRect(405, 200, 595, 300), windowRect(hwnd()));
    EXPECT_EQ(AirBladderTypeButton, tips.type());
    EXPECT_EQ(AirBladderModeAbove, tips.mode());
    EXPECT_FALSE(KillTimer(hwnd(), 10)) << "the keyboard tip never hides on a timer";
}

TEST_F(KeyboardTips, TheSameTextsAndAnchorAgainDoNothing)
{
    say(L"Key", L"Second", L"Third");
    MoveWindow(hwnd(), 10, 10, 190, 100, FALSE);
    say(L"Key", L"Second", L"Third");
    EXPECT_EQ(CRect(10, 10, 200, 110), windowRect(hwnd()));
    say(L"Key", L"Second", L"Other third");
    EXPECT_EQ(CRect(405, 200, 595, 300), windowRect(hwnd()));
}

TEST_F(KeyboardTips, AGreyFrameOneLeftAndTopTwoRightAndBottomAroundADarkCard)
{
    say(L"Key", L"Second", L"Third");
    const auto canvas = shown();
    ASSERT_EQ(190, canvas->width());
    ASSERT_EQ(100, canvas->height());
    EXPECT_EQ(kFrame, canvas->rgb(0, 50));
    EXPECT_EQ(kFrame, canvas->rgb(95, 0));
    EXPECT_EQ(kCard, canvas->rgb(1, 50));
    EXPECT_EQ(kCard, canvas->rgb(95, 1));
    EXPECT_EQ(kCard, canvas->rgb(187, 50));
    EXPECT_EQ(kCard, canvas->rgb(95, 97));
    EXPECT_EQ(kFrame, canvas->rgb(188, 50));
    EXPECT_EQ(kFrame, canvas->rgb(95, 98));
}

TEST_F(KeyboardTips, ThreeLinesInTheirColours)
{
    say(L"Key", L"Second", L"Third");
    const auto canvas = shown();
    EXPECT_GT(scanInk(*canvas, kHeadingLine, kCard, kHeadingInk).matching, 0);
    EXPECT_EQ(0, scanInk(*canvas, kHeadingLine, kCard, kWhite).matching) << "the heading is not white";
    EXPECT_GT(scanInk(*canvas, kSecondLine, kCard, kWhite).matching, 0);
    EXPECT_GT(scanInk(*canvas, kThirdLine, kCard, kWhite).matching, 0);
}

TEST_F(KeyboardTips, TheThirdLineIsLarger)
{
    say(L"Key", L"Hxg", L"Hxg");
    const auto canvas = shown();
    const Ink second = scanInk(*canvas, kSecondLine, kCard, kWhite);
    const Ink third = scanInk(*canvas, kThirdLine, kCard, kWhite);
    ASSERT_TRUE(second.any() && third.any());
    EXPECT_GT(third.bounds.Height(), second.bounds.Height());
    EXPECT_GT(third.bounds.Width(), second.bounds.Width());
}

TEST_F(KeyboardTips, FontsAreTheLibraryFaceAtFourteenAndEighteenPixels)
{
    HFONT small = tips.GetGDIFont11();
    HFONT large = tips.GetGDIFont2();
    ASSERT_NE(nullptr, small);
    ASSERT_NE(nullptr, large);
    EXPECT_EQ(small, tips.GetGDIFont11());
    EXPECT_EQ(-14, describe(small).lfHeight);
    EXPECT_EQ(-18, describe(large).lfHeight);
    EXPECT_EQ(DEFAULT_CHARSET, describe(large).lfCharSet);
    EXPECT_EQ(CString(Manager::GetFontName()).Left(LF_FACESIZE - 1), CString(describe(small).lfFaceName));
}

TEST_F(KeyboardTips, TheLibraryFamilyIsKeptWithItsCollection)
{
    ASSERT_NE(nullptr, tips.fontFamily());
    EXPECT_EQ(tips.fontFamily(), tips.keptFamily());
    wchar_t name[LF_FACESIZE] {};
    ASSERT_EQ(Gdiplus::Ok, tips.fontFamily()->GetFamilyName(name));
    EXPECT_STREQ(L"BRAVIK 1.2", name);
}

TEST_F(KeyboardTips, AnEmptyHeadingNeitherMovesNorDrawsText)
{
    MoveWindow(hwnd(), 20, 20, 190, 100, FALSE);
    say(L"", L"Second", L"Third");
    EXPECT_EQ(CRect(20, 20, 210, 120), windowRect(hwnd()));
    const auto canvas = shown();
    EXPECT_FALSE(scanInk(*canvas, CRect(1, 1, 188, 98), kCard, kWhite).any());
}

TEST_F(KeyboardTips, NullTextsCountAsEmpty)
{
    MoveWindow(hwnd(), 20, 20, 190, 100, FALSE);
    EXPECT_EQ(1, say(nullptr, nullptr, nullptr));
    EXPECT_EQ(CRect(20, 20, 210, 120), windowRect(hwnd()));
    EXPECT_EQ(1, say(L"Key", nullptr, nullptr));
    EXPECT_EQ(CRect(405, 200, 595, 300), windowRect(hwnd()));
    const auto canvas = shown();
    EXPECT_TRUE(scanInk(*canvas, kHeadingLine, kCard, kHeadingInk).any());
    EXPECT_FALSE(scanInk(*canvas, kSecondLine, kCard, kWhite).any());
    EXPECT_FALSE(scanInk(*canvas, kThirdLine, kCard, kWhite).any());
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

TEST_F(KeyboardTips, AThousandShowsAndHidesLeaveNoGdiObjectBehind)
{
    auto cycle = [&](int i) {
        say(L"Key", i % 2 ? L"Second" : L"Another second", L"Third", POINT { kAnchor.x + i % 5, kAnchor.y });
        tips.ShowWindow(SW_SHOWNOACTIVATE);
        tips.ShowWindow(SW_HIDE);
    };
    for (int i = 0; i < 4; ++i)
        cycle(i);
    pumpMessages();
    const int baseline = countGdiObjects();
    if (baseline < 0)
        GTEST_SKIP() << "GDI objects can only be counted under Wine";
    for (int i = 0; i < 1000; ++i)
        cycle(i);
    pumpMessages();
    EXPECT_EQ(baseline, countGdiObjects());
}

TEST(KeyboardTipsLifetime, MadeAndDestroyedTipsTakeTheirFontsAlong)
{
    TestWindow owner(300, 200, WS_POPUP);
    auto makeAndDrop = [&] {
        TestTips tips;
        tips.Create(owner.hwnd(), L"KeyboardTip Window", kTipStyle, 0, CRect(), nullptr);
        tips.SetAirBladderMsg(L"Key", L"Second", L"Third", kAnchor);
        tips.DestroyWindow();
    };
    makeAndDrop();
    const int baseline = countGdiObjects();
    if (baseline < 0)
        GTEST_SKIP() << "GDI objects can only be counted under Wine";
    for (int i = 0; i < 100; ++i)
        makeAndDrop();
    pumpMessages();
    EXPECT_EQ(baseline, countGdiObjects());
}
