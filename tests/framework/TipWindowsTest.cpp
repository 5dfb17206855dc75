// The two tip windows: the balloon (MAirBladder, alone or as a paint manager's and a dialog's)
// and the keyboard tip (CKeyboardTips). Placement, hiding, the library's font, pixels, GDI objects.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>

#include "GdiObjectCount.h"
#include "InkScan.h"
#include "LibraryHost.h"
#include "NotedDialog.h"
#include "ScratchStrip.h"
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
constexpr DWORD kSkinColour = 0x3060C0, kWhite = 0xFFFFFF, kFrame = 0x505050, kCard = 0x141414, kHeadingInk = 0xE6E6E6;

// Width and one line's height of a text as a balloon lays it out: the library's font read by
// the test itself from the program's copy of the resource, 14 pixels, near, no wrapping.
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

class TestBalloon : public MAirBladder {
public:
    using MAirBladder::RenderTip;
    Gdiplus::FontFamily* fontFamily() const { return *m_fontFamily; }
    Gdiplus::FontFamily* keptFamily() { return m_fonts->find(kTipFamily); }
    int lineCount() const { return m_lineCount; }
};

class TestKeys : public CKeyboardTips {
public:
    using CKeyboardTips::GetGDIFont11;
    using CKeyboardTips::GetGDIFont2;
    Gdiplus::FontFamily* fontFamily() const { return *m_fontFamily; }
    Gdiplus::FontFamily* keptFamily() { return m_fonts->find(kTipFamily); }
};

// A live dialog with its paint manager's balloon, a balloon of its own over a one-colour
// skin (painted into a DIB: a layered window cannot be read back) and a keyboard tip.
class Tips : public ::testing::Test {
protected:
    void SetUp() override
    {
        balloon.Create(nullptr, L"AirBladder Window", kTipStyle, 0, CRect(), nullptr);
        keys.Create(dialog.GetSafeHwnd(), L"KeyboardTip Window", kTipStyle, 0, CRect(), nullptr);
    }
    void TearDown() override
    {
        keys.DestroyWindow();
        balloon.DestroyWindow();
    }

    PaintManager& manager() { return *dialog.GetPaintManager(); }
    HWND tip() { return manager().GetAirBladder() ? manager().GetAirBladder()->GetSafeHwnd() : nullptr; }
    int say(const wchar_t* text, AIRBLADDER_TYPE type = AirBladderTypeDefault, AIRBLADDER_MODE mode = AirBladderModeBelow,
            POINT anchor = kAnchor)
    {
        return manager().SetAirBladderMsg(text, anchor, type, mode);
    }
    // Without taking the activation, which a test running beside this one may hold.
    void showTip() { manager().ShowAirBladder(SW_SHOWNOACTIVATE, 0); }
    std::unique_ptr<DibCanvas> render()
    {
        CRect client;
        GetClientRect(balloon.GetSafeHwnd(), &client);
        auto canvas = std::make_unique<DibCanvas>(std::max<int>(client.Width(), 1), std::max<int>(client.Height(), 1), 0);
        balloon.RenderTip(canvas->dc(), client);
        return canvas;
    }
    Ink ink(const DibCanvas& canvas, int top = 0) { return scanInk(canvas, CRect(0, top, canvas.width(), canvas.height()), 0, kWhite); }
    std::unique_ptr<DibCanvas> shownKeys()
    {
        RedrawWindow(keys.GetSafeHwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        return captureClient(keys.GetSafeHwnd());
    }

    NotedDialog dialog { CRect(100, 100, 400, 300) };
    // Before the balloon: the image it loads goes before the file does.
    ScratchStrip skin { GetSkinPath(), L"mairbladder_bk.png", 40, 30, { 0xFF000000 | kSkinColour } };
    TestBalloon balloon;
    TestKeys keys;
};

} // namespace

// ---- placement

TEST_F(Tips, EachBalloonModePlacesTheTipOnItsSideOfTheAnchor)
{
    const int x = kAnchor.x, y = kAnchor.y;
    // From the text's width and one laid-out line's height.
    const struct {
        const wchar_t* text;
        AIRBLADDER_MODE mode;
        std::function<CRect(int w, int h)> expected;
    } cases[] = {
        { L"Fan speed\nPump speed\nLiquid", AirBladderModeRight,
          [&](int w, int h) { return CRect(x, y - 3 * h / 2 - 10, x + w + 40, y - 3 * h / 2 - 10 + 3 * h + 20); } },
        { L"Left tip", AirBladderModeLeft, [&](int w, int h) { return CRect(x - w - 40, y - 27, x, y - 27 + h + 20); } },
        { L"Below tip", AirBladderModeBelow, [&](int w, int h) { return CRect(x - 25, y, x + w + 15, y + h + 30); } },
        { L"Above tip", AirBladderModeAbove,
          [&](int w, int h) { return CRect(x - (w + 30) / 2, y - h - 20, x - (w + 30) / 2 + w + 30, y); } },
        { L"One\nTwo\nThree\nFour", AirBladderModeRightStay, [&](int w, int h) { return CRect(x, y - 10, x + w + 40, y - 10 + 4 * h - 35); } },
        // One line placed to stay is still one line tall, not 35 pixels less.
        { L"Stay", AirBladderModeRightStay, [&](int w, int h) { return CRect(x, y - 10, x + w + 40, y - 10 + h); } },
        { L"Nowhere", static_cast<AIRBLADDER_MODE>(9), [](int, int) { return CRect(0, 0, 0, 0); } },
    };
    for (const auto& placed : cases) {
        say(placed.text, AirBladderTypeDefault, placed.mode);
        const Gdiplus::Size text = measure(placed.text);
        EXPECT_EQ(placed.expected(text.Width, text.Height), windowRectOf(tip())) << placed.mode;
    }
}

TEST_F(Tips, TheSameFourValuesAgainChangeNothingNorReArmTheHide)
{
    say(L"Same tip");
    const CRect placed = windowRectOf(tip());
    ASSERT_TRUE(KillTimer(tip(), kHideTimer)) << "a new text arms the hide";
    MoveWindow(tip(), 10, 10, 20, 20, FALSE);
    EXPECT_EQ(1, say(L"Same tip"));
    EXPECT_EQ(CRect(10, 10, 30, 30), windowRectOf(tip()));
    EXPECT_FALSE(KillTimer(tip(), kHideTimer));
    say(L"Same tip", AirBladderTypeButton);
    EXPECT_EQ(placed, windowRectOf(tip())) << "a different type is a new tip";
    EXPECT_TRUE(KillTimer(tip(), kHideTimer));
}

// ---- hiding

TEST_F(Tips, TheHideTimerAndAFocusLossHideATipThatIsNotToStay)
{
    say(L"Stays", AirBladderTypeNoAutoHide, AirBladderModeRightStay);
    EXPECT_FALSE(KillTimer(tip(), kHideTimer));
    say(L"Timed", AirBladderTypeDefault, AirBladderModeRightStay);
    showTip();
    SendMessageW(tip(), WM_TIMER, kHideTimer + 1, 0);
    EXPECT_TRUE(IsWindowVisible(tip()));
    SendMessageW(tip(), WM_TIMER, kHideTimer, 0);
    EXPECT_FALSE(IsWindowVisible(tip()));
    EXPECT_FALSE(KillTimer(tip(), kHideTimer)) << "the timer ends itself";

    // Shown, given the focus and losing it: only the balloon placed to stay stays.
    for (int row = 0; row < 3; ++row) {
        if (row < 2) {
            say(L"Focus", AirBladderTypeDefault, row ? AirBladderModeRightStay : AirBladderModeBelow);
            showTip();
        } else {
            keys.SetAirBladderMsg(L"Key", L"Second", L"Third", kAnchor);
            keys.ShowWindow(SW_SHOWNOACTIVATE);
        }
        HWND hwnd = row < 2 ? tip() : keys.GetSafeHwnd();
        SetFocus(hwnd);
        ASSERT_EQ(hwnd, GetFocus()) << row;
        SetFocus(dialog.GetSafeHwnd());
        EXPECT_EQ(row == 1, IsWindowVisible(hwnd) != FALSE) << row;
        EXPECT_TRUE(row == 1 || !KillTimer(hwnd, kHideTimer)) << "a hidden tip's hide timer goes with it";
    }
}

// Showing hands the tip to the tag; only that tag, or tag 0, may hide it.
TEST_F(Tips, OnlyTheOwnerTagMayHideTheBalloon)
{
    EXPECT_EQ(0, manager().ShowAirBladder(SW_SHOWNOACTIVATE, 7)) << "there is no tip yet";
    say(L"Owned tip", AirBladderTypeNoAutoHide, AirBladderModeRightStay);
    // Whether a hide was carried out (a show's answer is not looked at), and the tip's visibility.
    const struct { int show, tag; bool done, visible; } steps[] = {
        { SW_SHOWNOACTIVATE, 7, true, true }, { SW_HIDE, 8, false, true }, { SW_HIDE, 7, true, false },
        { SW_SHOWNOACTIVATE, 8, true, true }, { SW_HIDE, 7, false, true }, { SW_HIDE, 0, true, false } };
    for (const auto& step : steps) {
        const bool done = manager().ShowAirBladder(step.show, step.tag) != 0;
        EXPECT_TRUE(step.show != SW_HIDE || step.done == done) << &step - steps;
        EXPECT_EQ(step.visible, IsWindowVisible(tip()) != FALSE) << &step - steps;
    }
}

// ---- the dialog's balloon

TEST_F(Tips, TheDialogsBalloonNeedsNonZeroCoordinatesAndShowsBelowThePointEvenUnchanged)
{
    EXPECT_EQ(0, dialog.SetAirBladderMsg(L"No", POINT { 0, 50 }, AirBladderTypeDefault) + dialog.SetAirBladderMsg(L"No", POINT { 50, 0 }, AirBladderTypeDefault));
    EXPECT_EQ(nullptr, manager().GetAirBladder());
    EXPECT_EQ(1, dialog.SetAirBladderMsg(L"Dialog tip", kAnchor, AirBladderTypeNoAutoHide));
    EXPECT_EQ(CPoint(kAnchor.x - 25, kAnchor.y), windowRectOf(tip()).TopLeft()) << "below the point";
    manager().ShowAirBladder(SW_HIDE, 0);
    dialog.SetAirBladderMsg(L"Dialog tip", kAnchor, AirBladderTypeNoAutoHide);
    EXPECT_TRUE(IsWindowVisible(tip()));
    // A null text counts as empty and leaves the tip where it is.
    const CRect placed = windowRectOf(tip());
    EXPECT_EQ(1, say(nullptr, AirBladderTypeDefault, AirBladderModeAbove));
    EXPECT_EQ(placed, windowRectOf(tip()));
}

// ---- window, font and lifetime

TEST_F(Tips, BothAreToolWindowsWithRoundedCornersWritingInTheLibraryFontKeptWithItsCollection)
{
    say(L"Styled tip");
    keys.SetAirBladderMsg(L"Key", L"Second", L"Third", kAnchor);
    // The balloon is layered for its per-pixel alpha; the keyboard tip paints plainly.
    for (const auto& [hwnd, exStyle] : { std::pair { tip(), DWORD(WS_EX_TOOLWINDOW | WS_EX_LAYERED) }, { keys.GetSafeHwnd(), DWORD(WS_EX_TOOLWINDOW) } }) {
        EXPECT_EQ(0u, static_cast<DWORD>(GetWindowLongW(hwnd, GWL_STYLE)) & (WS_CAPTION | WS_THICKFRAME));
        EXPECT_EQ(exStyle, static_cast<DWORD>(GetWindowLongW(hwnd, GWL_EXSTYLE)));
        HRGN region = CreateRectRgn(0, 0, 0, 0);
        EXPECT_NE(ERROR, GetWindowRgn(hwnd, region));
        EXPECT_TRUE(!PtInRegion(region, 0, 0) && PtInRegion(region, windowRectOf(hwnd).Width() / 2, 0));
        DeleteObject(region);
    }
    // A family taken from a private collection reads it: both must live as long as the tip,
    // and the name is read after loading has returned.
    for (const auto& [family, kept] : { std::pair { balloon.fontFamily(), balloon.keptFamily() }, { keys.fontFamily(), keys.keptFamily() } }) {
        ASSERT_NE(nullptr, family);
        EXPECT_EQ(family, kept);
        wchar_t name[LF_FACESIZE] {};
        ASSERT_EQ(Gdiplus::Ok, family->GetFamilyName(name));
        EXPECT_STREQ(kTipFamily, name);
    }
    EXPECT_EQ(nullptr, TestBalloon(balloon).fontFamily()) << "a copy has no window, so no font of its own";
}

// Every fifth round also makes and drops a whole tip of the kind.
TEST_F(Tips, ShowsHidesAndTipsMadeAndDroppedLeaveNoGdiObjectBehind)
{
    const std::function<void(int)> rounds[] = {
        [&](int i) {
            say(i % 2 ? L"Short" : L"A considerably longer tip\nover two lines", AirBladderTypeNoAutoHide, AirBladderModeBelow,
                POINT { kAnchor.x + i % 7, kAnchor.y });
            showTip();
            manager().ShowAirBladder(SW_HIDE, 0);
            if (i % 5)
                return;
            HWND hwnd = nullptr;
            {
                PaintManager owner;
                owner.SetAirBladderMsg(L"Short-lived", kAnchor, AirBladderTypeDefault, AirBladderModeAbove);
                hwnd = owner.GetAirBladder()->GetSafeHwnd();
                EXPECT_EQ(nullptr, PaintManager(owner).GetAirBladder()) << "a copy makes its own tip";
            }
            EXPECT_FALSE(IsWindow(hwnd)) << "the paint manager takes its tip window along";
        },
        [&](int i) {
            keys.SetAirBladderMsg(L"Key", i % 2 ? L"Second" : L"Another second", L"Third", POINT { kAnchor.x + i % 5, kAnchor.y });
            keys.ShowWindow(SW_SHOWNOACTIVATE);
            keys.ShowWindow(SW_HIDE);
            if (i % 5)
                return;
            TestKeys other;
            other.Create(dialog.GetSafeHwnd(), L"KeyboardTip Window", kTipStyle, 0, CRect(), nullptr);
            other.SetAirBladderMsg(L"Key", L"Second", L"Third", kAnchor);
            other.DestroyWindow();
        },
    };
    for (const auto& round : rounds) {
        SCOPED_TRACE(&round == rounds ? "balloon" : "keyboard tip");
        int i = 0;
        expectNoGdiGrowth([&] { round(i++); }, 500);
    }
}

// ---- painting

TEST_F(Tips, TheBalloonsSkinFillsItWhenItLoadsAndItsTextIsWhite)
{
    EXPECT_EQ(0, balloon.LoadBKImage(L"no_such_tip_bk.png"));
    balloon.SetAirBladderMsg(L"Bare", kAnchor, AirBladderTypeNoAutoHide, AirBladderModeBelow);
    EXPECT_EQ(0x00000000u, render()->pixel(1, 1));
    ASSERT_TRUE(skin.written());
    ASSERT_EQ(1, balloon.LoadBKImage(L"mairbladder_bk.png"));
    balloon.SetAirBladderMsg(L"Skinned", kAnchor, AirBladderTypeNoAutoHide, AirBladderModeBelow);
    const auto canvas = render();
    EXPECT_TRUE(nearColor(canvas->rgb(3, canvas->height() / 2), kSkinColour));
    EXPECT_TRUE(nearColor(canvas->rgb(canvas->width() - 4, 3), kSkinColour));
    EXPECT_GT(scanInk(*canvas, CRect(0, 0, canvas->width(), canvas->height()), kSkinColour, kWhite, 40).matching, 5);
}

TEST_F(Tips, BalloonLinesAreLaidOutCentredOrFromTheLeftAndAlwaysAtLeastOne)
{
    const struct { const wchar_t* text; AIRBLADDER_MODE mode; int lines; bool centred; } cases[] = {
        { L"Centred", AirBladderModeBelow, 1, true },
        { L"Temperature\nOK", AirBladderModeBelow, 2, false },
        { L"Temperature\nOK", AirBladderModeAbove, 2, true },
        // Placed to stay, two lines fewer are laid out, but never fewer than one.
        { L"One\nTwo\nThree\nFour", AirBladderModeRightStay, 2, false },
        { L"Stay", AirBladderModeRightStay, 1, true },
        { nullptr, AirBladderModeBelow, 0, false },
    };
    for (const auto& laid : cases) {
        balloon.SetAirBladderMsg(laid.text, kAnchor, AirBladderTypeNoAutoHide, laid.mode);
        const auto canvas = render();
        const Ink lastLine = ink(*canvas, laid.lines > 1 ? canvas->height() / 2 : 0);
        EXPECT_EQ(laid.lines > 0, lastLine.any()) << laid.mode;
        if (laid.lines == 0)
            continue;
        EXPECT_EQ(laid.lines, balloon.lineCount()) << laid.mode;
        if (laid.centred)
            EXPECT_NEAR(canvas->width() / 2, (lastLine.bounds.left + lastLine.bounds.right) / 2, 3) << laid.mode;
        else
            EXPECT_LE(lastLine.bounds.left, 12) << laid.mode;
    }
}

// One pixel of grey frame at the left and top, two at the right and bottom, around a dark
// card; a light heading, then two white lines, the third larger.
TEST_F(Tips, TheKeyboardTipIsAFramedCardWithThreeLinesTheThirdLarger)
{
    keys.SetAirBladderMsg(L"", L"Second", L"Third", kAnchor);
    EXPECT_FALSE(scanInk(*shownKeys(), CRect(1, 1, 188, 98), kCard, kWhite).any()) << "no text under an empty heading";
    keys.SetAirBladderMsg(L"Key", L"Hxg", L"Hxg", kAnchor);
    const auto canvas = shownKeys();
    ASSERT_EQ(CSize(190, 100), CSize(canvas->width(), canvas->height()));
    expectPixels(*canvas, { { 0, 50, kFrame }, { 95, 0, kFrame }, { 1, 50, kCard }, { 95, 1, kCard }, { 187, 50, kCard },
                            { 95, 97, kCard }, { 188, 50, kFrame }, { 95, 98, kFrame } });
    const CRect heading(10, 10, 170, 23);
    EXPECT_GT(scanInk(*canvas, heading, kCard, kHeadingInk).matching, 0);
    EXPECT_EQ(0, scanInk(*canvas, heading, kCard, kWhite).matching) << "the heading is not white";
    const Ink second = scanInk(*canvas, CRect(10, 39, 170, 59), kCard, kWhite);
    const Ink third = scanInk(*canvas, CRect(10, 67, 170, 87), kCard, kWhite);
    ASSERT_TRUE(second.matching > 0 && third.matching > 0);
    EXPECT_TRUE(third.bounds.Height() > second.bounds.Height() && third.bounds.Width() > second.bounds.Width());
}
