// The free turn of an LCD frame, planned once per angle and size: its pixels are those of a
// turn worked out from scratch for the frame (OpenCV's warpAffine, which the frames were always
// turned with), for every angle and size, the plan kept or made again, and through the pipeline.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

#include <opencv2/imgproc.hpp>

#include "KOVA.h"
#include "LibraryHost.h"
#include "lcd/renderer/LcdFramePipeline.h"
#include "lcd/renderer/LcdFreeTurn.h"

using namespace KOVA;
using namespace KOVA::test;

namespace {

const auto* const host = ::testing::AddGlobalTestEnvironment(new LibraryHost);

// Noise: every neighbour differs from the next, so a wrong weight or position shows.
cv::Mat noise(int width, int height, unsigned seed)
{
    cv::Mat frame(height, width, CV_8UC4);
    std::mt19937 random(seed);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width * 4; ++x)
            frame.ptr(y)[x] = static_cast<uchar>(random());
    return frame;
}

// The turn worked out from scratch for this one frame.
cv::Mat turnedFromScratch(const cv::Mat& frame, double degrees)
{
    int width = 0, height = 0;
    LcdFreeTurn::TurnedSize(frame.cols, frame.rows, degrees, width, height);
    cv::Mat turn = cv::getRotationMatrix2D(cv::Point2f(frame.cols * 0.5f, frame.rows * 0.5f), -degrees, 1.0);
    turn.at<double>(0, 2) += width * 0.5 - frame.cols * 0.5;
    turn.at<double>(1, 2) += height * 0.5 - frame.rows * 0.5;
    cv::Mat turned;
    cv::warpAffine(frame, turned, turn, cv::Size(width, height), cv::INTER_LINEAR, cv::BORDER_CONSTANT,
                   cv::Scalar(0, 0, 0, 0));
    return turned;
}

// How many pixels of the planned turn differ from expected, -1 when the sizes differ.
int pixelsOtherThan(const LcdFreeTurn& turn, const cv::Mat& expected)
{
    if (turn.Width() != expected.cols || turn.Height() != expected.rows)
        return -1;
    int others = 0;
    for (int y = 0; y < expected.rows; ++y)
        for (int x = 0; x < expected.cols; ++x)
            others += std::memcmp(turn.Pixels() + (static_cast<size_t>(y) * expected.cols + x) * 4, expected.ptr(y) + x * 4, 4) != 0;
    return others;
}

} // namespace

// Every angle (whole quarters, negative, past a turn, the nudged ones the renderer uses) on
// even, odd, thin and single-pixel frames, through one turn whose plan is kept for two frames
// and made again at each change of angle or size: its pixels are the scratch turn's.
TEST(LcdFreeTurn, KeptPlanGivesThePixelsOfTheTurnWorkedOutFromScratch)
{
    const double angles[] = { 45.01, 0, 90, 180, 270, -90, -45, -0.01, 0.01, 90.01, 30, 33.3, 135.01, 200.5, 359.99, 725 };
    const cv::Size sizes[] = { { 480, 480 }, { 640, 480 }, { 37, 21 }, { 21, 37 }, { 1, 1 }, { 2, 3 }, { 1, 9 } };
    LcdFreeTurn turn;
    unsigned seed = 1;
    for (const cv::Size& size : sizes) {
        for (const double degrees : angles) {
            SCOPED_TRACE(testing::Message() << size.width << "x" << size.height << " at " << degrees);
            for (int frame = 0; frame < 2; ++frame) {
                const cv::Mat pixels = noise(size.width, size.height, seed++);
                turn.Plan(size.width, size.height, degrees);
                turn.Turn(pixels.data, static_cast<int>(pixels.step));
                EXPECT_EQ(0, pixelsOtherThan(turn, turnedFromScratch(pixels, degrees))) << "frame " << frame;
            }
        }
    }
}

// The pipeline's free turn, and the pixels it says it encoded, are the scratch turn of its
// surface by the angle nudged as the device's frames are; its size changes with the surface's.
TEST(LcdFreeTurn, PipelineEncodesTheScratchTurnOfItsSurface)
{
    const struct {
        int width, height, degrees;
    } cases[] = { { 480, 480, 45 }, { 640, 480, 45 }, { 480, 480, -30 }, { 101, 57, 300 } };
    LcdFramePipeline pipeline(640 * 480 * 8);
    unsigned seed = 100;
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.width << "x" << c.height << " at " << c.degrees);
        ASSERT_TRUE(pipeline.Prepare(nullptr, c.width, c.height));
        const cv::Mat pixels = noise(c.width, c.height, seed++);
        GdiFlush();
        BITMAP bitmap {};
        ASSERT_TRUE(GetObjectW(GetCurrentObject(pipeline.dc(), OBJ_BITMAP), sizeof(bitmap), &bitmap));
        std::memcpy(bitmap.bmBits, pixels.data, pixels.total() * 4);
        ASSERT_GT(pipeline.Encode(c.degrees, 90), 0);
        const cv::Mat expected = turnedFromScratch(pixels, c.degrees + 0.01);
        std::vector<BYTE> encoded;
        pipeline.EncodedPixels(encoded);
        ASSERT_EQ(std::make_pair(pipeline.EncodedWidth(), pipeline.EncodedHeight()), std::make_pair(expected.cols, expected.rows));
        EXPECT_TRUE(std::equal(encoded.begin(), encoded.end(), expected.data));
    }
}
