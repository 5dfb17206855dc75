// The HSL colour model and the colour field: conversions at the single-precision values the
// pickers rely on, the field's layout and mapping of presses and drags, its pixels, and the
// layouts that would divide by zero or write outside its picture.
#include <gtest/gtest.h>

#include <memory>

#include "DibCanvas.h"
#include "GdiObjectCount.h"
#include "LibraryHost.h"
#include "RecordingControl.h"

using namespace KOVA;
using namespace KOVA::test;

namespace {

const auto* const host = ::testing::AddGlobalTestEnvironment(new LibraryHost);

// "r,g,b" of a COLORREF.
std::string rgbOf(COLORREF colour)
{
    return std::to_string(GetRValue(colour)) + "," + std::to_string(GetGValue(colour)) + "," +
           std::to_string(GetBValue(colour));
}

class RepaintingParent : public RecordingParent {
public:
    LONG OnControlUpdate(CRect rect, int flag, MControl* control) override
    {
        if (flag && control)
            control->SetUpdate(0, 0);
        return RecordingParent::OnControlUpdate(rect, flag, control);
    }
};

class Palette : public ::testing::Test {
protected:
    std::unique_ptr<MPalette> make(CRect rect, bool init = true)
    {
        auto palette = std::make_unique<MPalette>(&parent, 620, rect, 1);
        if (init)
            palette->SetManager(&manager);
        return palette;
    }
    void paint(MPalette& palette)
    {
        canvas.fill(0xFF000000);
        palette.SetUpdate(0, 0);
        palette.Draw(canvas.dc(), CRect(0, 0, canvas.width(), canvas.height()));
    }
    std::string heard()
    {
        const std::string line = noteLine(parent.notifications);
        parent.notifications.clear();
        return line;
    }
    PaintManager manager;
    RepaintingParent parent;
    DibCanvas canvas { 450, 260 };
};

TEST(HSL, ConvertsAtSinglePrecisionWithTruncation)
{
    struct Case { float h, s, l; const char* rgb; };
    const Case cases[] {
        { 0.0f, 1.0f, 0.5f, "255,0,0" },
        { 1.0f / 3.0f, 1.0f, 0.5f, "0,255,0" },
        { 2.0f / 3.0f, 1.0f, 0.5f, "0,0,255" },
        { 0.0f, 0.0f, 0.5f, "127,127,127" },
        { 0.5f, 1.0f, 0.6f, "51,255,254" },
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.rgb, rgbOf(HSLToRGB(c.h, c.s, c.l))) << c.h << " " << c.s << " " << c.l;
    float h = 0, s = 0, l = 0;
    RGBToHSL(RGB(0, 255, 0), h, s, l);
    EXPECT_EQ(119, static_cast<int>(h * 360.0f)) << "pure green is not quite 120 degrees";
    EXPECT_EQ(0u, HSLToRGB(0.7f, 0.3f, 0.4f) >> 24);
}

TEST_F(Palette, SetSelectColorTakesTheColourThroughTheModel)
{
    auto palette = make(CRect(100, 50, 400, 200));
    EXPECT_EQ("51,255,254", rgbOf(palette->GetSelectColor()));
    struct Case { COLORREF colour; int hue, saturation, lightness; const char* back; };
    const Case cases[] {
        { RGB(0, 255, 0), 119, 200, 100, "4,255,0" },
        { RGB(128, 128, 128), 0, 0, 100, "127,127,127" },
    };
    for (const Case& c : cases) {
        palette->SetSelectColor(c.colour);
        EXPECT_EQ(c.hue, palette->GetHue());
        EXPECT_EQ(c.saturation, palette->GetSaturation());
        EXPECT_EQ(c.lightness, palette->GetLightness());
        EXPECT_EQ(c.back, rgbOf(palette->GetSelectColor()));
    }
    EXPECT_EQ("", heard()) << "no notification";
}

TEST_F(Palette, PressesAndDragsMapTheFieldAndTheStrip)
{
    auto palette = make(CRect(100, 50, 400, 200));
    EXPECT_EQ(CRect(100, 50, 362, 200), palette->GetFieldRect());
    EXPECT_EQ(CRect(368, 50, 400, 200), palette->GetBarRect());
    EXPECT_EQ(CPoint(231, 133), palette->GetThumbPoint());

    palette->OnLButtonDown(MK_LBUTTON, CPoint(231, 133));
    EXPECT_EQ(180, palette->GetHue());
    EXPECT_EQ(119, palette->GetLightness());
    EXPECT_EQ("620:27:" + std::to_string(palette->GetSelectColor()) + ":0", heard()) << "lightness 119 differs from 120";
    palette->OnLButtonDown(MK_LBUTTON, CPoint(231, 133));
    EXPECT_EQ("", heard()) << "the same colour again reports nothing";
    palette->OnMouseMove(MK_LBUTTON, CPoint(100, 50));
    EXPECT_EQ(0, palette->GetHue());
    EXPECT_EQ(20, palette->GetLightness());
    EXPECT_EQ("", heard()) << "a field drag reports nothing";
    palette->OnLButtonUp(0, CPoint(100, 50));

    palette->OnLButtonDown(MK_LBUTTON, CPoint(380, 125));
    EXPECT_EQ(100, palette->GetSaturation());
    heard();
    palette->OnMouseMove(MK_LBUTTON, CPoint(380, 500));
    EXPECT_EQ(200, palette->GetSaturation()) << "clamped";
    EXPECT_EQ("620:27:0:0", heard());
    palette->OnLButtonUp(0, CPoint(380, 500));
    EXPECT_EQ(1, palette->OnControlScroll(1, 1, CPoint(200, 100))) << "the wheel stops here";

    palette->SetControlEnabled(0);
    EXPECT_EQ(0, palette->OnControlLButtonDown(MK_LBUTTON, CPoint(150, 60)));
    EXPECT_EQ(0, palette->GetHue());
}

TEST_F(Palette, DrawsTheFieldAndTheStripOfTheCurrentHue)
{
    auto palette = make(CRect(10, 10, 410, 210));
    palette->SetSelectColor(RGB(255, 0, 0));
    paint(*palette);
    // Field column 0 is hue 0; the strip's bottom row is the colour at full saturation.
    const CRect field = palette->GetFieldRect();
    EXPECT_GT(channel(canvas.rgb(field.left + 2, 10 + 60), 16), 200) << "red at hue 0";
    EXPECT_LT(channel(canvas.rgb(field.left + 2, 10 + 60), 8), 60);
    const DWORD middle = canvas.rgb(field.left + field.Width() / 2, 10 + 60);
    EXPECT_GT(channel(middle, 0), 200) << "cyan half way";
    EXPECT_GT(channel(middle, 8), 200);
    EXPECT_LT(channel(middle, 16), 60);
    const CRect bar = palette->GetBarRect();
    EXPECT_TRUE(nearColor(canvas.rgb(bar.left + 8, 12), 0x7F7F7F, 16)) << "grey at saturation 0";
    EXPECT_TRUE(nearColor(canvas.rgb(bar.left + 8, 10 + 148), 0xFF0000, 16)) << "red at full saturation";
}

// Before InitControl there is no picture; a field without width or height maps no point.
TEST_F(Palette, LayoutsWithoutAPictureOrWithoutRoomChangeNothingUnsafe)
{
    auto early = make(CRect(0, 0, 300, 150), false);
    early->SetSelectColor(RGB(10, 20, 30));
    early->SetControlRect(CRect(0, 0, 200, 100));
    paint(*early);

    struct Case { CRect rect; int height; };
    const Case cases[] { { CRect(0, 0, 30, 150), 150 }, { CRect(0, 0, 300, 150), 0 } };
    for (const Case& c : cases) {
        auto palette = make(CRect(0, 0, 300, 150));
        palette->SetPalletHeight(c.height);
        palette->SetControlRect(c.rect);
        for (CPoint pt : { CPoint(1, 0), CPoint(c.rect.right - 2, 0) }) {
            palette->OnLButtonDown(MK_LBUTTON, pt);
            palette->OnMouseMove(MK_LBUTTON, pt);
            palette->OnLButtonUp(0, pt);
        }
        EXPECT_EQ(180, palette->GetHue());
        paint(*palette);
    }
}

TEST_F(Palette, ResizingKeepsTheGdiObjectCountFlat)
{
    auto palette = make(CRect(0, 0, 300, 150));
    int i = 0;
    expectNoGdiGrowth([&] {
        palette->SetControlRect(CRect(0, 0, 300 + (i++ % 3) * 20, 150));
        paint(*palette);
    }, 100);
}

} // namespace
