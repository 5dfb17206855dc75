// The LCD's image helpers and its JPEG encoder.
#include <memory>
#include <random>

#include "LcdTestKit.h"

using namespace KOVA;
using namespace KOVA::test;

namespace {
const auto* const host = ::testing::AddGlobalTestEnvironment(new LibraryHost);
} // namespace

TEST(GetEncoderClsid, FindsTheListedEncoderByExactMimeType)
{
    // What GDI+ itself lists, found without the function under test.
    UINT count = 0, bytes = 0;
    Gdiplus::GetImageEncodersSize(&count, &bytes);
    std::vector<BYTE> storage(bytes);
    const auto* codecs = reinterpret_cast<Gdiplus::ImageCodecInfo*>(storage.data());
    Gdiplus::GetImageEncoders(count, bytes, const_cast<Gdiplus::ImageCodecInfo*>(codecs));
    const CLSID untouched = { 0x11111111, 0x2222, 0x3333, { 4, 4, 4, 4, 4, 4, 4, 4 } };
    // Case matters, and only whole types match.
    for (const auto& [mime, known] : { std::pair(L"image/jpeg", true), std::pair(L"image/gif", true), std::pair(L"image/png", true),
                                       std::pair(L"image/JPEG", false), std::pair(L"image/jpg", false), std::pair(L"", false) }) {
        int listed = static_cast<int>(count) - 1;
        while (listed >= 0 && wcscmp(codecs[listed].MimeType, mime) != 0)
            --listed;
        ASSERT_EQ(listed >= 0, known) << mime;
        CLSID found = untouched;
        EXPECT_EQ(GetEncoderClsid(mime, &found), listed);
        EXPECT_TRUE(IsEqualCLSID(found, listed >= 0 ? codecs[listed].Clsid : untouched));
    }
}

TEST(WideToAnsiString, ConvertsThroughTheAnsiCodePage)
{
    EXPECT_EQ(WideToAnsiString(L"C:\\media\\clip.mp4"), "C:\\media\\clip.mp4");
    EXPECT_EQ(WideToAnsiString(L""), "");
    // A character of the code page keeps its code, one it lacks becomes the default character.
    char expected[8] {};
    WideCharToMultiByte(CP_ACP, 0, L"\x00E9\x6C34", -1, expected, sizeof(expected), nullptr, nullptr);
    EXPECT_EQ(WideToAnsiString(L"\x00E9\x6C34"), std::string(expected));
}

TEST(MatToBitmap, CopiesEveryChannelLayoutItTakesAndRefusesTheRest)
{
    struct Case { int type; cv::Scalar fill; DWORD rgb; };
    for (const Case& c : { Case { CV_8UC3, cv::Scalar(30, 60, 200), 0xC83C1E }, Case { CV_8UC1, cv::Scalar(77), 0x4D4D4D },
                           Case { CV_8UC4, cv::Scalar(10, 20, 30, 0), 0x1E140A } }) {
        cv::Mat frame(5, 7, c.type, c.fill);
        frame.at<BYTE>(4, 6 * frame.channels()) = 1; // an odd blue tells rows and columns apart
        std::unique_ptr<Gdiplus::Bitmap> bitmap(MatToBitmap(frame));
        ASSERT_TRUE(bitmap) << c.type;
        EXPECT_EQ(std::tuple(bitmap->GetWidth(), bitmap->GetHeight(), bitmap->GetPixelFormat()),
                  std::tuple(7u, 5u, PixelFormat24bppRGB));
        Gdiplus::Color first, last;
        bitmap->GetPixel(0, 0, &first);
        bitmap->GetPixel(6, 4, &last);
        EXPECT_EQ(std::pair(first.GetValue() & 0xFFFFFF, last.GetBlue()), std::pair(c.rgb, BYTE(1)));
    }
    for (cv::Mat refused : { cv::Mat(4, 4, CV_8UC2, cv::Scalar(1, 2)), cv::Mat() })
        EXPECT_EQ(MatToBitmap(refused), nullptr);
}

TEST(LcdJpegEncoder, EncodesEitherRowOrderAndRefusesAFileLargerThanItsBuffer)
{
    LcdJpegEncoder encoder(4096);
    // Noise does not compress: its file outgrows the buffer.
    std::vector<DWORD> noise(256 * 256);
    std::mt19937 random(7);
    for (DWORD& pixel : noise)
        pixel = random();
    EXPECT_EQ(encoder.Encode(reinterpret_cast<const BYTE*>(noise.data()), 256, 256, 256 * 4, 90), 0);
    EXPECT_EQ(encoder.Encode(nullptr, 32, 32, 128, 90), 0);
    // The same compressor still encodes what fits. Blue, green, red, alpha: the left half red,
    // the right half blue, read top-down and, from the last row upwards, bottom-up.
    std::vector<DWORD> picture(32 * 32);
    for (size_t i = 0; i < picture.size(); ++i)
        picture[i] = i % 32 < 16 ? 0xFFFF0000 : 0xFF0000FF;
    picture[0] = 0xFF00FF00; // tells the top row from the bottom one
    std::vector<DWORD> bottomUp(picture.size());
    for (int y = 0; y < 32; ++y)
        std::copy_n(picture.begin() + y * 32, 32, bottomUp.begin() + (31 - y) * 32);
    const int size = encoder.Encode(reinterpret_cast<const BYTE*>(picture.data()), 32, 32, 32 * 4, 90);
    ASSERT_GT(size, 0);
    const std::vector<BYTE> file(encoder.Data(), encoder.Data() + size);
    ASSERT_EQ(encoder.Encode(reinterpret_cast<const BYTE*>(bottomUp.data() + 31 * 32), 32, 32, -32 * 4, 90), size);
    EXPECT_EQ(std::vector<BYTE>(encoder.Data(), encoder.Data() + size), file);
    const DecodedFrame frame = decodeFrame(file);
    ASSERT_EQ(frame.bgr.size(), cv::Size(32, 32));
    for (const PixelAt& p : { PixelAt { 8, 16, 0xFF0000 }, PixelAt { 24, 16, 0x0000FF } })
        EXPECT_TRUE(nearColor(frame.rgb(p.x, p.y), p.rgb, 12)) << std::hex << frame.rgb(p.x, p.y);
}
