#include <gtest/gtest.h>

#include "DibCanvas.h"
#include "GdiplusEnvironment.h"
#include "KOVA.h"
#include "ScratchStrip.h"
#include "framework/AppPaths.h"

using namespace KOVA;
using namespace KOVA::test;

namespace {

const auto* const gdiplus = ::testing::AddGlobalTestEnvironment(new GdiplusEnvironment);

const DWORD kRed = 0xFF0000, kGreen = 0x00FF00, kBlue = 0x0000FF;

class ImageList : public ::testing::Test {
protected:
    CString missing() const { return GetExePath() + L"mimagelist_missing.png"; }

    // The colour the record at index leaves in the middle of a 32 × 32 icon.
    DWORD drawn(int index, int frame)
    {
        DibCanvas canvas(32, 32);
        Gdiplus::Graphics graphics(canvas.dc());
        list.DrawItemIcon(graphics, CRect(0, 0, 32, 32), index, frame);
        return canvas.rgb(16, 16);
    }

    // Declared first so that the list releases its images before the file goes.
    ScratchStrip strip { GetExePath(), L"mimagelist_strip.png", 32, 32, { 0xFF000000 | kRed, 0xFF000000 | kGreen, 0xFF000000 | kBlue } };
    MImageList list;
};

} // namespace

TEST_F(ImageList, StripIsCutIntoEqualFramesDrawnClampedAndARefusedCountAddsNothing)
{
    ASSERT_TRUE(strip.written());
    EXPECT_EQ((std::vector<int> { -1, -1, 0, 1 }), (std::vector<int> { list.AddImage(strip.path(), 5, 0), list.InsertImage(-1, strip.path(), 5, -2),
                                                                       list.AddImage(strip.path(), 5, 3), list.AddImage(strip.path(), 6, 1) }));
    EXPECT_EQ((std::vector<int> { 32, 32, 3, 96 }),
              (std::vector<int> { list.GetItemImageData(0)->m_nWidth, list.GetItemImageData(0)->m_nHeight,
                                  list.GetItemImageData(0)->m_nFrameCount, list.GetItemImageData(1)->m_nWidth }));
    EXPECT_EQ((std::vector<DWORD> { kGreen, kBlue, kRed }), (std::vector<DWORD> { drawn(0, 1), drawn(0, 7), drawn(0, -4) }));
    // Without a frame: the first, stretched into the whole rectangle and nowhere else.
    DibCanvas canvas(100, 60);
    Gdiplus::Graphics graphics(canvas.dc());
    list.DrawItemIcon(graphics, CRect(20, 10, 84, 50), 0);
    expectPixels(canvas, { { 22, 12, kRed }, { 81, 47, kRed }, { 90, 30, 0 } });
}

TEST_F(ImageList, RecordsAreFoundByPositionAndIdAndInsertTakesOnlyExistingPositions)
{
    EXPECT_EQ(-1, list.InsertImage(0, missing(), 1, 1)) << "an empty list only appends";
    // A missing file keeps a record that draws nothing, as does an index past the end.
    EXPECT_EQ(0, list.AddImage(missing(), 7, 2));
    EXPECT_EQ(nullptr, list.GetItemImageData(0)->m_pImage);
    EXPECT_EQ((std::vector<DWORD> { 0, 0 }), (std::vector<DWORD> { drawn(0, 1), drawn(3, 0) }));
    list.AddImage(L"b.png", 7, 1);
    EXPECT_EQ(-1, list.InsertImage(0, missing(), 3, 1));
    for (const int position : { 3, -2 })
        EXPECT_EQ(-1, list.InsertImage(position, missing(), 4, 1)) << position;
    EXPECT_EQ(-1, list.InsertImage(-1, nullptr, 4, 1));
    ASSERT_EQ(3, list.GetImageCount());
    EXPECT_EQ(3, list.GetItemImageData(0)->m_nID);
    EXPECT_TRUE(list.GetItemImageData(1) == list.GetImageDataByID(7) && !list.GetImageDataByID(9) && !list.GetItemImageData(3));
    EXPECT_STREQ(L"", list.GetImagePath(-1));
    EXPECT_STREQ(L"", list.GetImagePathByID(9));
}

TEST_F(ImageList, CopiesTakeTheDrawSizeButNotTheImagesAndDelAllReleasesThem)
{
    list.AddImage(strip.path(), 1, 3);
    EXPECT_EQ(1, list.SetDrawImgSize(16, 12));
    {
        MImageList copy(list);
        EXPECT_EQ(CSize(16, 12), copy.GetIconSize());
        EXPECT_EQ(0, copy.GetImageCount());
    }
    EXPECT_EQ(kGreen, drawn(0, 1)) << "the original's image must survive the copy";
    EXPECT_EQ(1, list.DelAllImages());
    EXPECT_EQ(0, list.GetImageCount());
    EXPECT_TRUE(DeleteFileW(strip.path())) << "GDI+ holds a loaded file open";
}
