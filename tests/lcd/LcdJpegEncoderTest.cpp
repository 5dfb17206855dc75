#include <random>

#include "LcdTestKit.h"

using namespace KOVA;
using namespace KOVA::test;

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
