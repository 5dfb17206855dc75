#include <gtest/gtest.h>

#include <vector>

#include "LcdTestKit.h"

using namespace KOVA;
using namespace KOVA::test;

namespace {

// A w × h BGRA picture: the left half red, the right half blue, rows stored top-down.
std::vector<DWORD> halves(int width, int height)
{
    std::vector<DWORD> pixels(static_cast<size_t>(width) * height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            pixels[static_cast<size_t>(y) * width + x] = x < width / 2 ? 0xFFFF0000 : 0xFF0000FF;
    return pixels;
}

std::vector<BYTE> encoded(LcdJpegEncoder& encoder, int size)
{
    return std::vector<BYTE>(encoder.Data(), encoder.Data() + size);
}

} // namespace

TEST(LcdJpegEncoder, WritesCompleteFilesAtTheQualityAskedInEitherRowOrder)
{
    LcdJpegEncoder encoder(640 * 480 * 4);
    const std::vector<DWORD> picture = halves(64, 48);
    const BYTE* top = reinterpret_cast<const BYTE*>(picture.data());
    struct Case {
        int quality;
        int dcQuant; // luminance DC step libjpeg scales to this quality
    };
    for (const Case c : { Case { 90, 3 }, Case { 60, 13 } }) {
        SCOPED_TRACE(c.quality);
        const int size = encoder.Encode(top, 64, 48, 64 * 4, c.quality);
        ASSERT_GT(size, 0);
        const DecodedFrame frame = decodeFrame(encoded(encoder, size));
        ASSERT_TRUE(frame.complete);
        EXPECT_EQ(frame.width, 64);
        EXPECT_EQ(frame.height, 48);
        EXPECT_EQ(frame.lumaDcQuant, c.dcQuant);
        EXPECT_TRUE(closeTo(frame.rgb(4, 4), 0xFF0000, 12));
        EXPECT_TRUE(closeTo(frame.rgb(60, 4), 0x0000FF, 12));
    }
    // Read from the last row upwards, the same rows come out in the same order.
    std::vector<DWORD> bottomUp(picture.size());
    for (int y = 0; y < 48; ++y)
        std::copy_n(picture.begin() + y * 64, 64, bottomUp.begin() + (47 - y) * 64);
    const int size = encoder.Encode(reinterpret_cast<const BYTE*>(bottomUp.data() + 47 * 64), 64, 48, -64 * 4, 90);
    const int topDownSize = encoder.Encode(top, 64, 48, 64 * 4, 90);
    EXPECT_EQ(size, topDownSize);
}

TEST(LcdJpegEncoder, RefusesAFileLargerThanItsBufferAndRecovers)
{
    // Noise does not compress: its file outgrows a small buffer.
    std::vector<DWORD> noise(256 * 256);
    unsigned seed = 12345;
    for (DWORD& pixel : noise) {
        seed = seed * 1103515245u + 12345u;
        pixel = seed;
    }
    LcdJpegEncoder small(4096);
    EXPECT_EQ(small.Encode(reinterpret_cast<const BYTE*>(noise.data()), 256, 256, 256 * 4, 90), 0);
    // The same compressor still encodes what fits.
    const std::vector<DWORD> picture = halves(32, 32);
    const int size = small.Encode(reinterpret_cast<const BYTE*>(picture.data()), 32, 32, 32 * 4, 90);
    ASSERT_GT(size, 0);
    EXPECT_LE(size, small.Capacity());
    EXPECT_TRUE(decodeFrame(encoded(small, size)).complete);
    EXPECT_EQ(small.Encode(nullptr, 32, 32, 128, 90), 0);
}
