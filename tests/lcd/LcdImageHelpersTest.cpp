#include <gtest/gtest.h>

#include <memory>

#include <opencv2/core.hpp>

#include "GdiplusEnvironment.h"
#include "KOVA.h"

using namespace KOVA;
using namespace KOVA::test;

namespace {

const auto* const gdiplus = ::testing::AddGlobalTestEnvironment(new GdiplusEnvironment);

// The CLSID GDI+ itself lists for a MIME type, found without the function under test.
bool listedEncoder(const wchar_t* mime, CLSID& clsid, int& index)
{
    UINT count = 0;
    UINT bytes = 0;
    Gdiplus::GetImageEncodersSize(&count, &bytes);
    std::vector<BYTE> storage(bytes);
    auto* codecs = reinterpret_cast<Gdiplus::ImageCodecInfo*>(storage.data());
    Gdiplus::GetImageEncoders(count, bytes, codecs);
    for (UINT i = 0; i < count; ++i)
        if (_wcsicmp(codecs[i].MimeType, mime) == 0) {
            clsid = codecs[i].Clsid;
            index = static_cast<int>(i);
            return true;
        }
    return false;
}

} // namespace

TEST(GetEncoderClsid, FindsTheListedEncoderByExactMimeType)
{
    const CLSID untouched = { 0x11111111, 0x2222, 0x3333, { 4, 4, 4, 4, 4, 4, 4, 4 } };
    for (const wchar_t* mime : { L"image/jpeg", L"image/gif", L"image/png" }) {
        CLSID expected {};
        int expectedIndex = -1;
        ASSERT_TRUE(listedEncoder(mime, expected, expectedIndex));
        CLSID found = untouched;
        EXPECT_EQ(GetEncoderClsid(mime, &found), expectedIndex);
        EXPECT_TRUE(IsEqualCLSID(found, expected));
    }
    for (const wchar_t* mime : { L"image/JPEG", L"image/jpg", L"" }) {
        CLSID found = untouched;
        EXPECT_EQ(GetEncoderClsid(mime, &found), -1);
        EXPECT_TRUE(IsEqualCLSID(found, untouched));
    }
}

TEST(WideToAnsiString, ConvertsThroughTheAnsiCodePage)
{
    EXPECT_EQ(WideToAnsiString(L"C:\\media\\clip.mp4"), "C:\\media\\clip.mp4");
    EXPECT_EQ(WideToAnsiString(L""), "");
    // A character of the code page keeps its code, one it lacks becomes the default character.
    char expected[8] {};
    BOOL usedDefault = FALSE;
    WideCharToMultiByte(CP_ACP, 0, L"\x00E9\x6C34", -1, expected, sizeof(expected), nullptr, &usedDefault);
    const std::string converted = WideToAnsiString(L"\x00E9\x6C34");
    EXPECT_EQ(converted, std::string(expected));
    EXPECT_EQ(converted.size(), strlen(expected));
}

TEST(MatToBitmap, CopiesEveryChannelLayoutItTakesAndRefusesTheRest)
{
    struct Case {
        const char* name;
        int type;
        cv::Scalar fill;
        DWORD expectedRgb;
    };
    const Case cases[] = {
        { "bgr", CV_8UC3, cv::Scalar(30, 60, 200), 0xC83C1E },
        { "gray", CV_8UC1, cv::Scalar(77), 0x4D4D4D },
        { "bgra", CV_8UC4, cv::Scalar(10, 20, 30, 0), 0x1E140A },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        cv::Mat frame(5, 7, c.type, c.fill);
        // One odd pixel tells rows and columns apart.
        if (c.type == CV_8UC3)
            frame.at<cv::Vec3b>(4, 6) = cv::Vec3b(1, 2, 3);
        std::unique_ptr<Gdiplus::Bitmap> bitmap(MatToBitmap(frame));
        ASSERT_TRUE(bitmap);
        EXPECT_EQ(std::tuple(bitmap->GetWidth(), bitmap->GetHeight(), bitmap->GetPixelFormat()),
                  std::tuple(7u, 5u, PixelFormat24bppRGB));
        Gdiplus::Color pixel;
        bitmap->GetPixel(0, 0, &pixel);
        EXPECT_EQ(pixel.GetValue() & 0xFFFFFF, c.expectedRgb);
        if (c.type == CV_8UC3) {
            bitmap->GetPixel(6, 4, &pixel);
            EXPECT_EQ(pixel.GetValue() & 0xFFFFFF, 0x030201u);
        }
    }
    cv::Mat refused[] = { cv::Mat(4, 4, CV_8UC2, cv::Scalar(1, 2)), cv::Mat() };
    EXPECT_EQ(MatToBitmap(refused[0]), nullptr);
    EXPECT_EQ(MatToBitmap(refused[1]), nullptr);
}
