#include <gtest/gtest.h>

#include "HomeTestKit.h"
#include "InkScan.h"
#include "devices/cooling/UsageRateCtrl.h"

using namespace KOVA;
using namespace KOVA::test;

namespace {

const auto* const host = ::testing::AddGlobalTestEnvironment(new LibraryHost);

// A colour of alpha a over black.
DWORD over(DWORD argb)
{
    const double a = (argb >> 24) / 255.0;
    const auto part = [&](int shift) { return static_cast<DWORD>(((argb >> shift) & 0xFF) * a + 0.5) << shift; };
    return part(16) | part(8) | part(0);
}

class Ring : public ListFixture {};

TEST_F(Ring, ThePictureStandsWhereItsFixedSizesPutIt)
{
    auto ring = make<UsageRateCtrl>(CRect(0, 0, 600, 600));
    paint(*ring);
    const DWORD dot = over(0xB4CC228D);
    expectPixels(canvas,
                 { { 3, 3, 0x646464 },             // the field
                   { 300, 10, 0x242527 },          // the disc, outside the black one
                   { 300, 30, 0x000000 },          // inside the black disc, above the dots
                   { 296, 46, dot },               // dot 0, top-left (292, 42)
                   { 571, 296, dot },              // dot 20, at 0 degrees: (567, 292)
                   { 300, 500, 0x000000 },         // the track's gap at the bottom
                   { 300, 300, 0x000000 } },
                 3);
    // The track square (100, 100) side 400 with a 36-pixel pen: at the top it spans 82..118.
    EXPECT_TRUE(nearColor(canvas.rgb(300, 100), over(0xC8242527), 3));
    EXPECT_TRUE(nearColor(canvas.rgb(300, 84), over(0xC8242527), 3));
    // The thin circles: (160, 160) side 280 and (220, 220) side 160, 2 pixels wide.
    EXPECT_GT(scanInk(canvas, CRect(298, 157, 303, 163), 0x000000, over(0x96CC228D), 12).matching, 0);
    EXPECT_GT(scanInk(canvas, CRect(298, 217, 303, 223), 0x000000, 0xCC228D, 12).matching, 0);
    EXPECT_EQ(0, scanInk(canvas, CRect(298, 165, 303, 215), 0x000000, 0xCC228D, 40).pixels) << "nothing between";
}

} // namespace
