#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>

#include "DibCanvas.h"
#include "GdiObjectCount.h"
#include "InkScan.h"
#include "KOVA.h"
#include "LibraryHost.h"
#include "PumpUntil.h"
#include "ScratchStrip.h"
#include "TestWindow.h"
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

// Width and one line's height of a text as a tip lays it out: the library's font read by the
// test itself from the program's copy of the resource, 14 pixels, near, no wrapping.
Gdiplus::Size measure(const wchar_t* text)
{
    FontCache fonts;
    HMODULE module = GetModuleHandleW(nullptr);
    HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(106), L"ttf");
    Gdiplus::FontFamily* family = fonts.addMemory(kTipFamily, LockResource(LoadResource(module, found)),
                                                  static_cast<int>(SizeofResource(module, found)));
    Gdiplus::Font font(family, 14.0f, Gdiplus::FontStyleRegular, Gdiplus::UnitPixel);
    Gdiplus::StringFormat format;
    format.SetFormatFlags(Gdiplus::StringFormatFlagsNoWrap | Gdiplus::StringFormatFlagsMeasureTrailingSpaces);
    return MRender::GetTextBounds(font, format, text);
}

CRect windowRect(HWND hwnd)
{
    CRect rect;
    return GetWindowRect(hwnd, &rect) ? rect : CRect();
}

// The balloon of a live dialog's paint manager.
class Balloon : public ::testing::Test {
protected:
    void SetUp() override
    {
        dialog.Create(nullptr, L"balloon host", WS_POPUP, 0, CRect(100, 100, 400, 300));
        dialog.ShowWindow(SW_SHOWNOACTIVATE);
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
        auto canvas = std::make_unique<DibCanvas>(std::max<int>(client.Width(), 1), std::max<int>(client.Height(), 1), 0);
        balloon.RenderTip(canvas->dc(), client);
        return canvas;
    }
    Ink ink(const DibCanvas& canvas, int top = 0)
    {
        return scanInk(canvas, CRect(0, top, canvas.width(), canvas.height()), 0, kWhite);
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

TEST_F(Balloon, EachModePlacesTheTipOnItsSideOfTheAnchor)
{
    const int x = kAnchor.x, y = kAnchor.y;
    // From the text's width and one laid-out line's height (GetTextBounds of the whole text).
    using Place = std::function<CRect(int w, int h)>;
    const struct {
        const wchar_t* text;
        AIRBLADDER_MODE mode;
        Place expected;
    } cases[] = {
        { L"Fan speed\nPump speed\nLiquid", AirBladderModeRight,
          [&](int w, int h) { return CRect(x, y - 3 * h / 2 - 10, x + w + 40, y - 3 * h / 2 - 10 + 3 * h + 20); } },
        { L"Left tip", AirBladderModeLeft, [&](int w, int h) { return CRect(x - w - 40, y - 27, x, y - 27 + h + 20); } },
        { L"Below tip", AirBladderModeBelow, [&](int w, int h) { return CRect(x - 25, y, x + w + 15, y + h + 30); } },
        { L"Above tip", AirBladderModeAbove,
          [&](int w, int h) { return CRect(x - (w + 30) / 2, y - h - 20, x - (w + 30) / 2 + w + 30, y); } },
        { L"One\nTwo\nThree\nFour", AirBladderModeRightStay,
          [&](int w, int h) { return CRect(x, y - 10, x + w + 40, y - 10 + 4 * h - 35); } },
        // One line placed to stay is still one line tall, not 35 pixels less.
        { L"Stay", AirBladderModeRightStay, [&](int w, int h) { return CRect(x, y - 10, x + w + 40, y - 10 + h); } },
        { L"Nowhere", static_cast<AIRBLADDER_MODE>(9), [](int, int) { return CRect(0, 0, 0, 0); } },
    };
    for (const auto& placed : cases) {
        say(placed.text, AirBladderTypeDefault, placed.mode);
        const Gdiplus::Size text = measure(placed.text);
        EXPECT_EQ(placed.expected(text.Width, text.Height), windowRect(tip())) << placed.mode;
    }
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

TEST_F(Balloon, TimerTenHidesTheTipAndEndsItselfTypeFourArmsNoHide)
{
    say(L"Stays", AirBladderTypeNoAutoHide, AirBladderModeRightStay);
    EXPECT_FALSE(KillTimer(tip(), kHideTimer));
    say(L"Timed", AirBladderTypeDefault, AirBladderModeRightStay);
    showTip();
    SendMessageW(tip(), WM_TIMER, kHideTimer + 1, 0);
    EXPECT_TRUE(IsWindowVisible(tip()));
    SendMessageW(tip(), WM_TIMER, kHideTimer, 0);
    EXPECT_FALSE(IsWindowVisible(tip()));
    EXPECT_FALSE(KillTimer(tip(), kHideTimer));
}

TEST_F(Balloon, LosingTheFocusHidesTheTipUnlessItIsPlacedToStay)
{
    for (AIRBLADDER_MODE mode : { AirBladderModeBelow, AirBladderModeRightStay }) {
        say(L"Focus tip", AirBladderTypeDefault, mode);
        showTip();
        SetFocus(tip());
        ASSERT_EQ(tip(), GetFocus());
        SetFocus(dialog.GetSafeHwnd());
        const bool stays = mode == AirBladderModeRightStay;
        EXPECT_EQ(stays, IsWindowVisible(tip()) != FALSE) << mode;
        EXPECT_TRUE(stays || !KillTimer(tip(), kHideTimer)) << "a hidden tip's hide timer goes with it";
    }
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

TEST_F(Balloon, DialogTipNeedsNonZeroCoordinatesAndShowsBelowThePointEvenUnchanged)
{
    EXPECT_EQ(0, dialog.SetAirBladderMsg(L"No", POINT { 0, 50 }, AirBladderTypeDefault));
    EXPECT_EQ(0, dialog.SetAirBladderMsg(L"No", POINT { 50, 0 }, AirBladderTypeDefault));
    EXPECT_EQ(nullptr, manager().GetAirBladder());
    EXPECT_EQ(1, dialog.SetAirBladderMsg(L"Dialog tip", kAnchor, AirBladderTypeNoAutoHide));
    const Gdiplus::Size text = measure(L"Dialog tip");
    EXPECT_EQ(CRect(kAnchor.x - 25, kAnchor.y, kAnchor.x + text.Width + 15, kAnchor.y + text.Height + 30),
              windowRect(tip()));
    manager().ShowAirBladder(SW_HIDE, 0);
    dialog.SetAirBladderMsg(L"Dialog tip", kAnchor, AirBladderTypeNoAutoHide);
    EXPECT_TRUE(IsWindowVisible(tip()));
    // A null text counts as empty and leaves the tip where it is.
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
    EXPECT_FALSE(PtInRegion(region, 0, 0));
    EXPECT_TRUE(PtInRegion(region, windowRect(hwnd).Width() / 2, 0));
    DeleteObject(region);
}

TEST_F(Balloon, ManyTextsShowsAndHidesAndManyTipsMadeAndDroppedLeaveNoGdiObjectBehind)
{
    auto cycle = [&](int i) {
        say(i % 2 ? L"Short" : L"A considerably longer tip\nover two lines", AirBladderTypeNoAutoHide,
            AirBladderModeBelow, POINT { kAnchor.x + i % 7, kAnchor.y });
        showTip();
        manager().ShowAirBladder(SW_HIDE, 0);
    };
    int i = 0;
    const int baseline = warmGdiObjects([&] { cycle(i++); });
    if (baseline < 0)
        GTEST_SKIP() << "GDI objects can only be counted under Wine";
    for (int n = 0; n < 500; ++n)
        cycle(i++);
    EXPECT_EQ(baseline, gdiObjectsSettled(baseline));

    auto makeAndDrop = [] {
        HWND hwnd = nullptr;
        {
            PaintManager manager;
            manager.SetAirBladderMsg(L"Short-lived", kAnchor, AirBladderTypeDefault, AirBladderModeAbove);
            hwnd = manager.GetAirBladder()->GetSafeHwnd();
            ASSERT_TRUE(IsWindow(hwnd));
            PaintManager copy(manager);
            EXPECT_EQ(nullptr, copy.GetAirBladder()) << "a copy makes its own tip";
        }
        EXPECT_FALSE(IsWindow(hwnd)) << "the paint manager takes its tip window along";
    };
    const int alone = warmGdiObjects(makeAndDrop);
    for (int n = 0; n < 100; ++n)
        makeAndDrop();
    EXPECT_EQ(alone, gdiObjectsSettled(alone));
}

TEST(BalloonTimer, FiveSecondsAfterATextTheTipHidesItself)
{
    // Only the timer may end this tip. Beside other test programs Wine keeps handing the
    // focus to a window of this program and taking it back (a focus loss ends the timer),
    // and real keys those programs send (Alt+F4) reach whichever window holds the focus.
    class TimedBalloon : public TestBalloon {
        int OnKillFocus(MWindow*) override { return 1; }
        LRESULT OnWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam) override
        {
            return msg == WM_SYSCOMMAND ? 0 : TestBalloon::OnWindowMessage(msg, wParam, lParam);
        }
    } balloon;
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

TEST_F(RenderedBalloon, TheTextFamilyIsTheLibraryFontAndACopyHasNone)
{
    Gdiplus::FontFamily* family = balloon.fontFamily();
    ASSERT_NE(nullptr, family);
    // A family taken from a private collection reads it: both must stay as long as the tip.
    EXPECT_EQ(family, balloon.keptFamily());
    // Read after loading has returned: the family must not outlive what it was taken from.
    wchar_t name[LF_FACESIZE] {};
    ASSERT_EQ(Gdiplus::Ok, family->GetFamilyName(name));
    EXPECT_STREQ(kTipFamily, name);
    say(L"Copied");
    EXPECT_TRUE(ink(*render()).any());
    const TestBalloon copy(balloon);
    EXPECT_EQ(CString(L"Copied"), copy.text());
    EXPECT_EQ(nullptr, copy.GetSafeHwnd());
    EXPECT_EQ(nullptr, copy.fontFamily());
}

TEST_F(RenderedBalloon, TheSkinFillsTheTipWhenItLoadsAndTheTextIsWhite)
{
    EXPECT_EQ(0, balloon.LoadBKImage(L"no_such_tip_bk.png"));
    say(L"Bare");
    EXPECT_EQ(0x00000000u, render()->pixel(1, 1));
    ASSERT_TRUE(skin.written());
    ASSERT_EQ(1, balloon.LoadBKImage(L"mairbladder_bk.png"));
    say(L"Skinned");
    const auto canvas = render();
    EXPECT_TRUE(nearColor(canvas->rgb(3, canvas->height() / 2), kSkinColour));
    EXPECT_TRUE(nearColor(canvas->rgb(canvas->width() - 4, 3), kSkinColour));
    EXPECT_GT(scanInk(*canvas, CRect(0, 0, canvas->width(), canvas->height()), kSkinColour, kWhite, 40).matching, 5);
}

TEST_F(RenderedBalloon, LinesAreLaidOutCentredOrFromTheLeftAndAlwaysAtLeastOne)
{
    const struct {
        const wchar_t* text;
        AIRBLADDER_MODE mode;
        int lines;
        bool centred;
    } cases[] = {
        { L"Centred", AirBladderModeBelow, 1, true },
        { L"Temperature\nOK", AirBladderModeBelow, 2, false },
        { L"Temperature\nOK", AirBladderModeAbove, 2, true },
        // Placed to stay, two lines fewer are laid out, but never fewer than one.
        { L"One\nTwo\nThree\nFour", AirBladderModeRightStay, 2, false },
        { L"Stay", AirBladderModeRightStay, 1, true },
    };
    for (const auto& laid : cases) {
        say(laid.text, laid.mode);
        EXPECT_EQ(laid.lines, balloon.lineCount()) << laid.mode;
        const auto canvas = render();
        const Ink lastLine = ink(*canvas, laid.lines > 1 ? canvas->height() / 2 : 0);
        ASSERT_TRUE(lastLine.any()) << laid.mode;
        if (laid.centred)
            EXPECT_NEAR(canvas->width() / 2, (lastLine.bounds.left + lastLine.bounds.right) / 2, 3) << laid.mode;
        else
            EXPECT_LE(lastLine.bounds.left, 12) << laid.mode;
    }
    say(nullptr);
    EXPECT_TRUE(balloon.text().IsEmpty());
    EXPECT_FALSE(ink(*render()).any());
}
