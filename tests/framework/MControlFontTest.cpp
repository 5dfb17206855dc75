#include <gtest/gtest.h>

#include <memory>

#include "DibCanvas.h"
#include "GdiObjectCount.h"
#include "LibraryHost.h"
#include "InkScan.h"
#include "KOVA.h"
#include "RecordingControl.h"
#include "ScratchStrip.h"
#include "framework/AppPaths.h"

using namespace KOVA;
using namespace KOVA::test;

namespace {

const auto* const host = ::testing::AddGlobalTestEnvironment(new LibraryHost);

// The product's face: not installed on the test machines, so every lookup of it falls back.
const wchar_t* const kMissingFace = L"Alibaba-PuHuiTi";
const wchar_t* const kStripName = L"mcontrolfont_strip.png";
const UINT kScrollStrip = 101; // 144 × 48, four frames

class TextControl : public MControlFont {
public:
    TextControl(MObject* parent, const wchar_t* title, int visible = 1)
        : MControlFont(parent, 7, CRect(10, 10, 130, 50), title, visible, 1, 1) {}
    void DrawControl(HDC&, CRect) override {}
    using MControlFont::DrawString;
};

// Puts back a library-wide setting a case changes.
template <class T>
struct Restore {
    Restore(T (*get)(), void (*set)(T)) : set(set), value(get()) {}
    ~Restore() { set(value); }
    void (*set)(T);
    T value;
};

class FontControl : public ::testing::Test {
protected:
    FontControl() { control.SetManager(&manager); }

    // Where the text landed on black, and how much of it is close to the colour.
    Ink drawText(const wchar_t* text, DWORD colour, int width = 120, int height = 40)
    {
        DibCanvas canvas(width, height);
        Gdiplus::Graphics graphics(canvas.dc());
        EXPECT_EQ(1, control.DrawString(graphics, text, CRect(0, 0, width, height)));
        return scanInk(canvas, CRect(0, 0, width, height), 0, colour, 39);
    }

    // Declared first so that every image it hands out is released before the file goes.
    ScratchStrip strip { GetSkinPath(), kStripName, 40, 16, std::vector<DWORD>(8, 0xFF3060C0) };
    PaintManager manager;
    RecordingParent parent;
    TextControl control { &parent, L"Fan" };
};

} // namespace

TEST_F(FontControl, TitleAndAlignmentRepaintOnlyWhenVisibleAndChangedAndATitleDropsTheGdiFont)
{
    EXPECT_TRUE(TextControl(&parent, nullptr).GetTitle().IsEmpty());
    HFONT before = control.GetGDIFont();
    control.SetTitle(nullptr);
    EXPECT_TRUE(control.GetTitle().IsEmpty());
    EXPECT_EQ(0u, GetObjectType(before)) << "the dropped font must be deleted, not forgotten";
    ASSERT_EQ(1u, parent.updates.size());
    EXPECT_TRUE(parent.updates[0].rect == control.GetRect() && parent.updates[0].flag == 1);
    TextControl(&parent, L"", 0).SetTitle(L"Pump");
    control.SetAlignment(1);
    control.SetAlignment(1);
    control.SetVAlignment(4);
    control.SetAlignment(1, 8);
    EXPECT_EQ(3u, parent.updates.size());
}

TEST_F(FontControl, GdiFontTakesTheLibraryFaceCutToThirtyOneAndIsCachedUntilCleared)
{
    Restore<CString> face(Manager::GetFontName, Manager::SetFontName);
    Manager::SetFontName(L"DejaVu Sans");
    control.SetFont(L"Liberation Serif", 18, static_cast<Gdiplus::FontStyle>(Gdiplus::FontStyleBold | Gdiplus::FontStyleItalic));
    HFONT first = control.GetGDIFont();
    control.SetFontWidth(30);
    EXPECT_EQ(first, control.GetGDIFont());
    const LOGFONTW font = logFontOf(first);
    EXPECT_STREQ(L"DejaVu Sans", font.lfFaceName);
    EXPECT_TRUE(font.lfHeight == -18 && font.lfWeight >= 700 && font.lfItalic);
    control.ClearGDIFont();
    EXPECT_EQ(-30, logFontOf(control.GetGDIFont()).lfHeight);

    const CString longFace(L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmn");
    Manager::SetFontName(longFace);
    control.ClearGDIFont();
    EXPECT_STREQ(longFace.Left(LF_FACESIZE - 1), logFontOf(control.GetGDIFont()).lfFaceName);
}

TEST_F(FontControl, GdiFontsLeakNeitherAcrossChangesAndDestructionNorThroughCopies)
{
    // Each round leaves one cached font, which the destructor must delete.
    const auto round = [&] {
        TextControl local(&parent, L"");
        for (int size = 10; size < 40; ++size) {
            local.GetGDIFont();
            local.SetFont(L"DejaVu Sans", size, Gdiplus::FontStyleBold);
            local.ClearGDIFont();
            local.GetGDIFont();
            local.SetTitle(L"again");
            local.GetGDIFont();
        }
    };
    const int baseline = warmGdiObjects(round);
    if (baseline < 0)
        GTEST_SKIP() << "GDI objects can only be counted under Wine";
    for (int i = 0; i < 10; ++i)
        round();
    EXPECT_EQ(baseline, countGdiObjects());
    control.GetGDIFont();
    auto copy = std::make_unique<TextControl>(control);
    EXPECT_STREQ(L"Fan", copy->GetTitle());
    EXPECT_TRUE(control.GetTextBrush() != copy->GetTextBrush() && control.GetGDIFont() != copy->GetGDIFont());
    copy.reset();
    EXPECT_NE(0u, GetObjectType(control.GetGDIFont())) << "a copy must not delete the original's font";
}

// Text lands where the alignment says, in the text colour, also in a face this machine lacks.
TEST_F(FontControl, AMissingFaceDrawsWithTheFallbackAlignedInTheTextColourAndNothingDrawsWithoutAManager)
{
    ASSERT_FALSE(Gdiplus::FontFamily(kMissingFace).IsAvailable()) << "the case needs a face this machine lacks";
    std::unique_ptr<Gdiplus::FontFamily> missing(control.GetFontFamily(kMissingFace));
    std::unique_ptr<Gdiplus::FontFamily> installed(control.GetFontFamily(L"DejaVu Serif"));
    ASSERT_TRUE(missing && installed);
    EXPECT_NE(manager.FindTempFont(L"DejaVu Serif"), installed.get()) << "the caller owns a clone";
    WCHAR name[LF_FACESIZE] {}, fallback[LF_FACESIZE] {};
    missing->GetFamilyName(name);
    manager.FindTempFontOrFallback(kMissingFace)->GetFamilyName(fallback);
    EXPECT_STREQ(fallback, name);

    control.SetFont(L"DejaVu Sans", 24, Gdiplus::FontStyleBold);
    control.SetTextColor(Gdiplus::Color(255, 255, 0, 0));
    EXPECT_GT(drawText(L"HHHH", 0xFF0000).matching, 20);
    control.SetTextFont(kMissingFace);
    EXPECT_GT(drawText(L"HHHH", 0xFF0000).matching, 20);

    control.SetAlignment(2, 8);
    const CRect farInk = drawText(L"HH", 0xFF0000, 200, 80).bounds;
    EXPECT_TRUE(farInk.left > 150 && farInk.top > 50) << "far and bottom";
    control.SetAlignment(0, 0);
    const CRect nearInk = drawText(L"HH", 0xFF0000, 200, 80).bounds;
    EXPECT_TRUE(nearInk.right < 50 && nearInk.bottom < 30) << "near and top";

    TextControl unattached(&parent, L"");
    EXPECT_EQ(nullptr, unattached.GetFontFamily(L"DejaVu Sans"));
    DibCanvas canvas(60, 20);
    Gdiplus::Graphics graphics(canvas.dc());
    EXPECT_EQ(0, unattached.DrawString(graphics, L"H", CRect(0, 0, 60, 20)));
    EXPECT_TRUE(canvas.untouchedSinceFill());
}

TEST_F(FontControl, SkinImageIsCutByTheFirstCountAndAFailedSetImageKeepsTheOldOne)
{
    ASSERT_TRUE(strip.written());
    ASSERT_EQ(1, control.SetImage(kStripName, 8));
    EXPECT_EQ((std::vector<int> { 320, 16, 40 }), (std::vector<int> { control.GetImageWidth(), control.GetImageHeight(), control.GetFrameWidth() }));
    EXPECT_EQ(1u, parent.updates.size());
    Gdiplus::Image* old = control.GetImage();
    EXPECT_EQ(0, control.SetImage(kStripName, 0));
    EXPECT_EQ(0, control.SetImage(kScrollStrip, L"PNG", -1));
    EXPECT_EQ(0, control.SetImage(L"no_such_strip.png", 4));
    control.SetImageCount(0);
    EXPECT_TRUE(old == control.GetImage() && control.GetFrameWidth() == 40 && parent.updates.size() == 1);
    EXPECT_EQ(0, TextControl(&parent, L"").SetImage(kStripName, 8)) << "no paint manager";
    // One cached record; the control cuts it by its own count.
    ASSERT_EQ(1, control.SetImage(kStripName, 4));
    EXPECT_TRUE(old == control.GetImage() && control.GetFrameWidth() == 80);
}

TEST_F(FontControl, ResourceImageComesFromTheHostModule)
{
    Restore<HINSTANCE> host(Manager::GetInstance, Manager::SetInstance);
    Manager::SetInstance(GetModuleHandleW(L"kernel32.dll"));
    EXPECT_EQ(0, control.SetImage(kScrollStrip, L"PNG", 4)) << "only the library module holds it";
    Manager::SetInstance(GetModuleHandleW(nullptr));
    ASSERT_EQ(1, control.SetImage(kScrollStrip, L"PNG", 4));
    EXPECT_EQ(CSize(144, 36), CSize(control.GetImageWidth(), control.GetFrameWidth()));
    Gdiplus::Image* first = control.GetImage();
    control.SetImage(kScrollStrip, L"PNG", 4);
    EXPECT_EQ(first, control.GetImage());
}
