#include <gtest/gtest.h>

#include <memory>

#include "DibCanvas.h"
#include "GdiObjectCount.h"
#include "InkScan.h"
#include "KOVA.h"
#include "LibraryHost.h"
#include "PumpUntil.h"
#include "ScratchStrip.h"
#include "TestWindow.h"
#include "WindowCapture.h"
#include "framework/AppPaths.h"
#include "framework/FontCache.h"

using namespace KOVA;
using namespace KOVA::test;

namespace {

const auto* const host = ::testing::AddGlobalTestEnvironment(new LibraryHost);

const wchar_t* const kTipFamily = L"BRAVIK 1.2";
constexpr UINT kHideTimer = 10;
constexpr DWORD kTipStyle = 0x96000080;
const POINT kAnchor { 600, 400 };
constexpr DWORD kSkinColour = 0x3060C0;
constexpr DWORD kWhite = 0xFFFFFF;

// The library's font, read by the test itself from the program's copy of the resource.
Gdiplus::FontFamily* loadTipFamily(FontCache& fonts)
{
    HMODULE module = GetModuleHandleW(nullptr);
    HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(106), L"ttf");
    const void* bytes = found ? LockResource(LoadResource(module, found)) : nullptr;
    return bytes ? fonts.addMemory(kTipFamily, bytes, static_cast<int>(SizeofResource(module, found))) : nullptr;
}

// Width and one line's height of a text as a tip lays it out: 14 pixels, near, no wrapping.
Gdiplus::Size measure(Gdiplus::FontFamily* family, const wchar_t* text)
{
    Gdiplus::Font font(family, 14.0f, Gdiplus::FontStyleRegular, Gdiplus::UnitPixel);
    Gdiplus::StringFormat format;
    format.SetAlignment(Gdiplus::StringAlignmentNear);
    format.SetLineAlignment(Gdiplus::StringAlignmentNear);
    format.SetFormatFlags(Gdiplus::StringFormatFlagsNoWrap | Gdiplus::StringFormatFlagsMeasureTrailingSpaces);
    return MRender::GetTextBounds(font, format, text);
}

CRect windowRect(HWND hwnd)
{
    CRect rect;
    GetWindowRect(hwnd, &rect);
    return rect;
}

// The balloon of a live dialog's paint manager.
class Balloon : public ::testing::Test {
protected:
    void SetUp() override
    {
        dialog.Create(nullptr, L"balloon host", WS_POPUP, 0, CRect(100, 100, 400, 300));
        dialog.ShowWindow(SW_SHOWNOACTIVATE);
        family = loadTipFamily(fonts);
        ASSERT_NE(nullptr, family);
    }
    void TearDown() override { dialog.DestroyWindow(); }

    PaintManager& manager() { return *dialog.GetPaintManager(); }
    HWND tip()
    {
        MAirBladder* balloon = manager().GetAirBladder();
        return balloon ? balloon->GetSafeHwnd() : nullptr;
    }
    int say(const wchar_t* text, AIRBLADDER_TYPE type = AirBladderTypeDefault,
            AIRBLADDER_MODE mode = AirBladderModeBelow, POINT anchor = kAnchor)
    {
        return manager().SetAirBladderMsg(text, anchor, type, mode);
    }
    // Shown without taking the activation, which a test running beside this one may hold.
    void showTip() { manager().ShowAirBladder(SW_SHOWNOACTIVATE, 0); }
    Gdiplus::Size bounds(const wchar_t* text) { return measure(family, text); }
    void moveFocusFromTheTip()
    {
        SetFocus(tip());
        ASSERT_EQ(tip(), GetFocus());
        SetFocus(dialog.GetSafeHwnd());
    }

    FontCache fonts;
    Gdiplus::FontFamily* family { nullptr };
    MDialog dialog;
};

// Reaches the back buffer and the state behind it.
class TestBalloon : public MAirBladder {
public:
    using MAirBladder::RenderTip;
    Gdiplus::FontFamily* fontFamily() const { return *m_fontFamily; }
    // What the tip's own cache holds under the family name, with the collection and bytes.
    Gdiplus::FontFamily* keptFamily() { return m_fonts->find(kTipFamily); }
    const CString& text() const { return m_text; }
    int lineCount() const { return m_lineCount; }
};

// A tip of its own with a one-colour skin background, painted into a DIB.
class RenderedBalloon : public ::testing::Test {
protected:
    void SetUp() override { balloon.Create(nullptr, L"AirBladder Window", kTipStyle, 0, CRect(), nullptr); }
    void TearDown() override { balloon.DestroyWindow(); }

    std::unique_ptr<DibCanvas> render()
    {
        CRect client;
        GetClientRect(balloon.GetSafeHwnd(), &client);
        auto canvas = std::make_unique<DibCanvas>(client.Width(), client.Height(), 0x00000000);
        balloon.RenderTip(canvas->dc(), client);
        return canvas;
    }
    int say(const wchar_t* text, AIRBLADDER_MODE mode = AirBladderModeBelow)
    {
        return balloon.SetAirBladderMsg(text, kAnchor, AirBladderTypeNoAutoHide, mode);
    }

    // Declared first: the image the tip loads from it goes before the file does.
    ScratchStrip skin { GetSkinPath(), L"mairbladder_bk.png", 40, 30, { 0xFF000000 | kSkinColour } };
    TestBalloon balloon;
};

} // namespace

// ---- placement

TEST_F(Balloon, RightOfTheAnchorThreeLinesAreTwentyPixelsTallerAndCentredOnIt)
{
    const wchar_t* text = L"Fan speed\nPump speed\nLiquid";
    say(text, AirBladderTypeDefault, AirBladderModeRight);
    const Gdiplus::Size text1 = bounds(text);
    const int total = 3 * text1.Height;
    const int top = kAnchor.y - total / 2 - 10;
    EXPECT_EQ(CRect(kAnchor.x, top, kAnchor.x + text1.Width + 40, top + total + 20), windowRect(tip()));
}

TEST_F(Balloon, LeftOfTheAnchorTopTwentySevenPixelsAbove)
{
    say(L"Left tip", AirBladderTypeDefault, AirBladderModeLeft);
    const Gdiplus::Size text = bounds(L"Left tip");
    EXPECT_EQ(CRect(kAnchor.x - text.Width - 40, kAnchor.y - 27, kAnchor.x, kAnchor.y - 27 + text.Height + 20),
              windowRect(tip()));
}

TEST_F(Balloon, BelowTheAnchorLeftEdgeTwentyFivePixelsLeftOfIt)
{
    say(L"Below tip");
    const Gdiplus::Size text = bounds(L"Below tip");
    EXPECT_EQ(CRect(kAnchor.x - 25, kAnchor.y, kAnchor.x - 25 + text.Width + 40, kAnchor.y + text.Height + 30),
              windowRect(tip()));
}

TEST_F(Balloon, AboveTheAnchorBottomEdgeOnItAndCentred)
{
    say(L"Above tip", AirBladderTypeDefault, AirBladderModeAbove);
    const Gdiplus::Size text = bounds(L"Above tip");
    const int left = kAnchor.x - (text.Width + 30) / 2;
    EXPECT_EQ(CRect(left, kAnchor.y - text.Height - 20, left + text.Width + 30, kAnchor.y), windowRect(tip()));
}

TEST_F(Balloon, RightToStayTopTenPixelsAboveAndThirtyFivePixelsShorter)
{
    const wchar_t* text = L"One\nTwo\nThree\nFour";
    say(text, AirBladderTypeDefault, AirBladderModeRightStay);
    const Gdiplus::Size text1 = bounds(text);
    EXPECT_EQ(CRect(kAnchor.x, kAnchor.y - 10, kAnchor.x + text1.Width + 40, kAnchor.y - 10 + 4 * text1.Height - 35),
              windowRect(tip()));
}

TEST_F(Balloon, AnUnknownModeGetsNoArea)
{
    say(L"Nowhere", AirBladderTypeDefault, static_cast<AIRBLADDER_MODE>(9));
    EXPECT_EQ(CRect(0, 0, 0, 0), windowRect(tip()));
}

TEST_F(Balloon, TheSameFourValuesAgainChangeNothingNorReArmTheHide)
{
    say(L"Same tip");
    HWND hwnd = tip();
    const CRect placed = windowRect(hwnd);
    ASSERT_TRUE(KillTimer(hwnd, kHideTimer)) << "a new text arms the hide";
    MoveWindow(hwnd, 10, 10, 20, 20, FALSE);

    EXPECT_EQ(1, say(L"Same tip"));
    EXPECT_EQ(CRect(10, 10, 30, 30), windowRect(hwnd));
    EXPECT_FALSE(KillTimer(hwnd, kHideTimer));

    say(L"Same tip", AirBladderTypeButton);
    EXPECT_EQ(placed, windowRect(hwnd)) << "a different type is a new tip";
    EXPECT_TRUE(KillTimer(hwnd, kHideTimer));
}

// ---- hiding

TEST_F(Balloon, TimerTenHidesTheTipAndEndsItselfOtherIdsDoNothing)
{
    say(L"Timed", AirBladderTypeDefault, AirBladderModeRightStay);
    showTip();
    SendMessageW(tip(), WM_TIMER, kHideTimer + 1, 0);
    EXPECT_TRUE(IsWindowVisible(tip()));
    SendMessageW(tip(), WM_TIMER, kHideTimer, 0);
    EXPECT_FALSE(IsWindowVisible(tip()));
    EXPECT_FALSE(KillTimer(tip(), kHideTimer));
}

TEST_F(Balloon, TypeFourArmsNoHide)
{
    say(L"Stays", AirBladderTypeNoAutoHide, AirBladderModeRightStay);
    EXPECT_FALSE(KillTimer(tip(), kHideTimer));
}

TEST_F(Balloon, LosingTheFocusHidesTheTipAndEndsItsTimer)
{
    say(L"Focus tip");
    showTip();
    moveFocusFromTheTip();
    EXPECT_FALSE(IsWindowVisible(tip()));
    EXPECT_FALSE(KillTimer(tip(), kHideTimer));
}

TEST_F(Balloon, PlacedToStayTheTipSurvivesFocusLoss)
{
    say(L"Stay tip", AirBladderTypeDefault, AirBladderModeRightStay);
    showTip();
    moveFocusFromTheTip();
    EXPECT_TRUE(IsWindowVisible(tip()));
}

TEST_F(Balloon, OnlyTheOwnerTagMayHideTheTip)
{
    EXPECT_EQ(0, manager().ShowAirBladder(SW_SHOWNOACTIVATE, 7)) << "there is no tip yet";
    say(L"Owned tip", AirBladderTypeNoAutoHide, AirBladderModeRightStay);
    manager().ShowAirBladder(SW_SHOWNOACTIVATE, 7);

    EXPECT_EQ(0, manager().ShowAirBladder(SW_HIDE, 8));
    EXPECT_TRUE(IsWindowVisible(tip()));
    EXPECT_NE(0, manager().ShowAirBladder(SW_HIDE, 7));
    EXPECT_FALSE(IsWindowVisible(tip()));

    manager().ShowAirBladder(SW_SHOWNOACTIVATE, 8);
    EXPECT_EQ(0, manager().ShowAirBladder(SW_HIDE, 7)) << "showing handed the tip to tag 8";
    EXPECT_NE(0, manager().ShowAirBladder(SW_HIDE, 0)) << "tag 0 is always carried out";
    EXPECT_FALSE(IsWindowVisible(tip()));
}

// ---- the dialog's tip

TEST_F(Balloon, DialogTipNeedsAPointWithoutZeroCoordinates)
{
    EXPECT_EQ(0, dialog.SetAirBladderMsg(L"No", POINT { 0, 50 }, AirBladderTypeDefault));
    EXPECT_EQ(0, dialog.SetAirBladderMsg(L"No", POINT { 50, 0 }, AirBladderTypeDefault));
    EXPECT_EQ(nullptr, manager().GetAirBladder());
}

TEST_F(Balloon, DialogTipIsShownBelowThePointEvenWhenItsTextIsUnchanged)
{
    EXPECT_EQ(1, dialog.SetAirBladderMsg(L"Dialog tip", kAnchor, AirBladderTypeNoAutoHide));
    const Gdiplus::Size text = bounds(L"Dialog tip");
    EXPECT_EQ(CRect(kAnchor.x - 25, kAnchor.y, kAnchor.x + text.Width + 15, kAnchor.y + text.Height + 30),
              windowRect(tip()));
    manager().ShowAirBladder(SW_HIDE, 0);
    dialog.SetAirBladderMsg(L"Dialog tip", kAnchor, AirBladderTypeNoAutoHide);
    EXPECT_TRUE(IsWindowVisible(tip()));
}

TEST_F(Balloon, NullTextCountsAsEmptyAndLeavesTheTipWhereItIs)
{
    EXPECT_EQ(1, dialog.SetAirBladderMsg(nullptr, kAnchor, AirBladderTypeDefault));
    ASSERT_NE(nullptr, tip());
    say(L"Before");
    const CRect placed = windowRect(tip());
    EXPECT_EQ(1, say(nullptr, AirBladderTypeDefault, AirBladderModeAbove));
    EXPECT_EQ(placed, windowRect(tip()));
}

// ---- window and lifetime

TEST_F(Balloon, TheTipIsALayeredToolWindowWithRoundedCorners)
{
    say(L"Styled tip");
    HWND hwnd = tip();
    EXPECT_EQ(0u, static_cast<DWORD>(GetWindowLongW(hwnd, GWL_STYLE)) & (WS_CAPTION | WS_THICKFRAME));
    EXPECT_EQ(static_cast<DWORD>(WS_EX_TOOLWINDOW | WS_EX_LAYERED), static_cast<DWORD>(GetWindowLongW(hwnd, GWL_EXSTYLE)));
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    ASSERT_NE(ERROR, GetWindowRgn(hwnd, region));
    const CRect placed = windowRect(hwnd);
    EXPECT_FALSE(PtInRegion(region, 0, 0));
    EXPECT_TRUE(PtInRegion(region, placed.Width() / 2, 0));
    DeleteObject(region);
}

TEST(BalloonOwnership, ThePaintManagerTakesItsTipWindowAlong)
{
    HWND hwnd = nullptr;
    {
        PaintManager manager;
        manager.SetAirBladderMsg(L"Owned", kAnchor, AirBladderTypeNoAutoHide, AirBladderModeBelow);
        ASSERT_NE(nullptr, manager.GetAirBladder());
        hwnd = manager.GetAirBladder()->GetSafeHwnd();
        ASSERT_TRUE(IsWindow(hwnd));
        PaintManager copy(manager);
        EXPECT_EQ(nullptr, copy.GetAirBladder()) << "a copy makes its own tip";
    }
    EXPECT_FALSE(IsWindow(hwnd));
}

TEST_F(Balloon, AThousandTextsShowsAndHidesLeaveNoGdiObjectBehind)
{
    auto cycle = [&](int i) {
        say(i % 2 ? L"Short" : L"A considerably longer tip\nover two lines", AirBladderTypeNoAutoHide,
            AirBladderModeBelow, POINT { kAnchor.x + i % 7, kAnchor.y });
        manager().ShowAirBladder(SW_SHOWNOACTIVATE, 0);
        manager().ShowAirBladder(SW_HIDE, 0);
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

TEST(BalloonOwnership, MakingAndDroppingTipsLeavesNoGdiObjectBehind)
{
    auto makeAndDrop = [] {
        PaintManager manager;
        manager.SetAirBladderMsg(L"Short-lived", kAnchor, AirBladderTypeDefault, AirBladderModeAbove);
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

TEST(BalloonTimer, FiveSecondsAfterATextTheTipHidesItself)
{
    // Never given the focus (created hidden, shown without activation): any focus loss
    // would end the timer, and Wine reports focus changes late, whenever another test
    // program takes the activation.
    TestBalloon balloon;
    balloon.Create(nullptr, L"AirBladder Window", kTipStyle & ~WS_VISIBLE, 0, CRect(), nullptr);
    balloon.SetAirBladderMsg(L"Going soon", kAnchor, AirBladderTypeDefault, AirBladderModeBelow);
    balloon.ShowWindow(SW_SHOWNOACTIVATE);
    ASSERT_TRUE(balloon.IsWindowVisible());
    const DWORD start = GetTickCount();
    EXPECT_TRUE(pumpUntil([&] { return !balloon.IsWindowVisible(); }, 8000));
    EXPECT_GE(GetTickCount() - start, 4500u);
    balloon.DestroyWindow();
}

// ---- font and painting

TEST_F(RenderedBalloon, TheTextFamilyIsTheLibraryFontAndStaysUsable)
{
    Gdiplus::FontFamily* family = balloon.fontFamily();
    ASSERT_NE(nullptr, family);
    // A family taken from a private collection reads it: both must stay as long as the tip.
    EXPECT_EQ(family, balloon.keptFamily());
    // Read after loading has returned: the family must not outlive what it was taken from.
    wchar_t name[LF_FACESIZE] {};
    ASSERT_EQ(Gdiplus::Ok, family->GetFamilyName(name));
    EXPECT_STREQ(kTipFamily, name);
    Gdiplus::Font font(family, 14.0f, Gdiplus::FontStyleRegular, Gdiplus::UnitPixel);
    EXPECT_EQ(Gdiplus::Ok, font.GetLastStatus());
    say(L"Readable");
    EXPECT_TRUE(scanInk(*render(), CRect(0, 0, 1000, 1000), 0, kWhite).any());
}

TEST_F(RenderedBalloon, TheSkinFillsTheTipAndTheTextIsWhite)
{
    ASSERT_TRUE(skin.written());
    ASSERT_EQ(1, balloon.LoadBKImage(L"mairbladder_bk.png"));
    say(L"Skinned");
    const auto canvas = render();
    EXPECT_TRUE(nearColor(canvas->rgb(3, canvas->height() / 2), kSkinColour));
    EXPECT_TRUE(nearColor(canvas->rgb(canvas->width() - 4, 3), kSkinColour));
    EXPECT_GT(scanInk(*canvas, CRect(0, 0, canvas->width(), canvas->height()), kSkinColour, kWhite, 40).matching, 5);
}

TEST_F(RenderedBalloon, AMissingSkinLeavesTheBackgroundEmpty)
{
    EXPECT_EQ(0, balloon.LoadBKImage(L"no_such_tip_bk.png"));
    say(L"Bare");
    EXPECT_EQ(0x00000000u, render()->pixel(1, 1));
}

TEST_F(RenderedBalloon, OneLineIsCentredSeveralLinesStartAtTheLeft)
{
    say(L"Centred");
    auto canvas = render();
    const Ink single = scanInk(*canvas, CRect(0, 0, canvas->width(), canvas->height()), 0, kWhite);
    ASSERT_TRUE(single.any());
    EXPECT_NEAR(canvas->width() / 2, (single.bounds.left + single.bounds.right) / 2, 3);

    say(L"Temperature\nOK");
    canvas = render();
    const CRect secondLine(0, canvas->height() / 2, canvas->width(), canvas->height());
    const Ink below = scanInk(*canvas, secondLine, 0, kWhite);
    ASSERT_TRUE(below.any());
    EXPECT_LE(below.bounds.left, 12);

    say(L"Temperature\nOK", AirBladderModeAbove);
    canvas = render();
    const Ink above = scanInk(*canvas, CRect(0, canvas->height() / 2, canvas->width(), canvas->height()), 0, kWhite);
    ASSERT_TRUE(above.any());
    EXPECT_NEAR(canvas->width() / 2, (above.bounds.left + above.bounds.right) / 2, 3) << "above: always centred";
}

TEST_F(RenderedBalloon, AnEmptiedTextDrawsNoText)
{
    say(L"Gone next");
    say(nullptr);
    EXPECT_TRUE(balloon.text().IsEmpty());
    EXPECT_FALSE(scanInk(*render(), CRect(0, 0, 1000, 1000), 0, kWhite).any());
}

TEST_F(RenderedBalloon, PlacedToStayTwoLinesFewerAreLaidOut)
{
    say(L"One\nTwo\nThree\nFour", AirBladderModeRightStay);
    EXPECT_EQ(2, balloon.lineCount());
    say(L"One\nTwo\nThree\nFour", AirBladderModeRight);
    EXPECT_EQ(4, balloon.lineCount());
}

TEST_F(RenderedBalloon, ACopyTakesTheTextButNoWindowNorFont)
{
    say(L"Copied");
    const TestBalloon copy(balloon);
    EXPECT_EQ(CString(L"Copied"), copy.text());
    EXPECT_EQ(nullptr, copy.GetSafeHwnd());
    EXPECT_EQ(nullptr, copy.fontFamily());
}
