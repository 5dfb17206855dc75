// Hostile input at the exported calls of the colour pickers (the HSL functions, MPalette,
// CColorPalette, CColorSelect, CirclePalette, MPaletteBar, ThemeColor): colours with the top
// byte set, floats out of range, infinite or not numbers, negative and huge indexes, heights
// and sizes, missing thumb images, and posted input at the ends of the coordinate range. Each
// call gives its failure result or sound behaviour, and the picker works afterwards.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <functional>
#include <limits>

#include "LibraryHost.h"
#include "NotedDialog.h"
#include "PumpUntil.h"
#include "controls/input/CColorPalette.h"
#include "controls/input/CirclePalette.h"
#include "controls/input/HSLColor.h"
#include "controls/input/MPalette.h"
#include "controls/input/MPaletteBar.h"
#include "controls/input/ThemeColor.h"

using namespace KOVA;
using namespace KOVA::test;

namespace {

const auto* const host = ::testing::AddGlobalTestEnvironment(new LibraryHost);

const CRect kPlace(10, 10, 310, 230);
const unsigned long kColours[] { 0, 0xFFFFFFFF, 0xFF000000, 0x00FFFFFF, 0x12345678 };

class Hostile : public ::testing::Test {
protected:
    Hostile() { dialog.activate(); }
    void post(std::initializer_list<UINT> messages, CPoint at)
    {
        dialog.post(messages, at);
        pumpMessages();
    }
    // Drags across the picker and beyond, presses at the ends of the range, wheels.
    void postExtremes()
    {
        dialog.post({ WM_MOUSEMOVE, WM_LBUTTONDOWN }, CPoint(50, 50));
        for (const CPoint at : { CPoint(-32768, -32768), CPoint(32767, 32767), CPoint(32767, -32768), CPoint(150, 100) })
            dialog.post({ WM_MOUSEMOVE }, at);
        dialog.post({ WM_LBUTTONUP }, CPoint(-32768, 32767));
        for (const CPoint at : { CPoint(-32768, -32768), CPoint(32767, 32767), CPoint(0, 0) }) {
            dialog.post({ WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK }, at);
            PostMessageW(dialog.GetSafeHwnd(), WM_MOUSEWHEEL, MAKEWPARAM(0, -32768), MAKELPARAM(at.x, at.y));
        }
        pumpMessages();
    }
    template <class Control>
    void abuseRect(Control& control)
    {
        dialog.abuseRect(control, kPlace,
                         [&] { post({ WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_MOUSEMOVE, WM_LBUTTONUP }, CPoint(60, 60)); });
    }
    NotedDialog dialog { CRect(100, 100, 500, 400) };
};

} // namespace

// Whatever comes in, a colour comes out with its top byte clear; RGB to HSL gives values in
// 0..1.
TEST_F(Hostile, TheHslFunctionsTakeAnyFloat)
{
    const float inf = std::numeric_limits<float>::infinity();
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float values[] { -inf, -1e30f, -1.0f, -0.0f, 0.0f, 0.5f, 1.0f, 2.0f, 1e30f, inf, nan,
                           std::numeric_limits<float>::denorm_min() };
    for (const float h : values)
        for (const float s : values)
            for (const float l : values) {
                EXPECT_EQ(0u, HSLToRGB(h, s, l) >> 24);
                HueToRGB(h, s, l);
            }
    for (const COLORREF colour : { 0xFFFFFFFFu, 0xFF000000u, 0x80808080u }) {
        float h = -1.0f;
        float s = -1.0f;
        float l = -1.0f;
        RGBToHSL(colour, h, s, l);
        for (const float value : { h, s, l }) {
            EXPECT_GE(value, 0.0f) << std::hex << colour;
            EXPECT_LE(value, 1.0f) << std::hex << colour;
        }
    }
}

TEST_F(Hostile, TheColourFieldWheelAndBar)
{
    auto* field = dialog.adopt(new MPalette(&dialog, 620, kPlace, 1));
    EXPECT_EQ(0, field->SetThumbImage(nullptr));
    EXPECT_EQ(0, field->SetThumbImage(L"h35_no_such_thumb.png"));
    for (const int height : { INT_MIN, -1, 0, INT_MAX, 200 }) {
        field->SetPalletHeight(height);
        EXPECT_EQ(std::clamp(height, 0, 32767), field->GetPalletHeight());
        field->SetRect(CRect(10, 10, 310, 231));
        field->SetRect(kPlace);
        for (const unsigned long colour : kColours) {
            field->SetSelectColor(colour);
            EXPECT_EQ(0u, field->GetSelectColor() >> 24);
        }
        dialog.shot();
        postExtremes();
    }
    abuseRect(*field);
    dialog.GetPaintManager()->RemoveControl(field);

    auto* wheel = dialog.adopt(new CirclePalette(&dialog, 630, CRect(10, 10, 210, 210), 1, 1));
    for (const unsigned long colour : kColours)
        wheel->SetSelectColor(colour);
    for (const CPoint at : { CPoint(INT_MIN, INT_MIN), CPoint(INT_MAX, INT_MAX), CPoint(110, 110) }) {
        EXPECT_EQ(0, wheel->MoveThumbPos(at));
        EXPECT_GE(wheel->GetDistanse(at), 0);
    }
    postExtremes();
    abuseRect(*wheel);
    dialog.GetPaintManager()->RemoveControl(wheel);

    auto* bar = dialog.adopt(new MPaletteBar(&dialog, 640, CRect(10, 10, 310, 40), 1));
    for (const unsigned long colour : kColours)
        bar->SetSelectColor(colour);
    postExtremes();
    abuseRect(*bar);
}

TEST_F(Hostile, ThePalettePanelsAndTheThemeRow)
{
    auto* palette = dialog.adopt(new CColorPalette(&dialog, 600, kPlace, 1));
    EXPECT_EQ(0, palette->SetThumbImage(nullptr));
    EXPECT_EQ(0, palette->SetThumbImage(L"h35_no_such_thumb.png"));
    palette->SetImage(nullptr, INT_MIN);
    palette->SetImage(L"h35_no_such_spin.png", INT_MAX);
    palette->SetTextColor(Gdiplus::Color(0));
    for (const unsigned long colour : kColours)
        palette->SetSelectColor(colour);
    palette->UpdateControlEx(INT_MIN);
    postExtremes();
    // The hex field of the panel, typed into like a user would: overlong, not hex, empty.
    for (const wchar_t* typed : { L"zzzzzzzzzzzzzzzzzzzzzz", L"", L"-1", L"fffffffff" }) {
        post({ WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP }, CPoint(250, 215));
        dialog.type(typed);
        post({ WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP }, CPoint(390, 290));
    }
    abuseRect(*palette);
    dialog.GetPaintManager()->RemoveControl(palette);

    auto* presets = dialog.adopt(new CColorSelect(&dialog, 610, kPlace, 1));
    for (const int index : { INT_MIN, -2, -1, 0, 6, 7, INT_MAX }) {
        presets->SetColorIndex(index);
        EXPECT_EQ(0u, presets->GetSelectColor() >> 24) << index;
    }
    for (const unsigned long colour : kColours)
        presets->SetSelectColor(colour);
    postExtremes();
    abuseRect(*presets);
    dialog.GetPaintManager()->RemoveControl(presets);

    auto* theme = dialog.adopt(new ThemeColor(&dialog, 650, CRect(10, 10, 310, 40), 1, 1));
    for (int i = 0; i < 1000; ++i)
        theme->AddItem(Gdiplus::Color(static_cast<Gdiplus::ARGB>(i * 0x01010101u)));
    for (const int index : { INT_MIN, -1, 0, 999, 1000, INT_MAX })
        theme->SetSelectItem(index);
    dialog.shot();
    postExtremes();
    abuseRect(*theme);
    theme->ClearList();
    dialog.shot();
    postExtremes();
}
