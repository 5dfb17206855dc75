#include "lcd/renderer/LcdFreeTurn.h"

#include <cmath>

#include <emmintrin.h>

#include <opencv2/imgproc.hpp>

namespace KOVA {

namespace {

// Source positions are worked out in 1/1024 of a pixel and kept in 1/32: 32 × 32 sub-pixel
// steps, each with its four weights, which sum to 1 << kWeightBits.
constexpr int kPositionBits = 10;
constexpr int kStepBits = 5;
constexpr int kSteps = 1 << kStepBits;
constexpr int kWeightBits = 15;

// A double rounded to the nearest integer, ties to even, as the SSE2 conversion OpenCV rounds with.
inline int rounded(double value)
{
    return _mm_cvtsd_si32(_mm_set_sd(value));
}

// The weights of the four neighbours (top left, top right, bottom left, bottom right) of each
// sub-pixel step (row step × 32 + column step), as 16-bit integers. The step on the pixel itself
// would weigh it 1 << 15, which 16 bits cannot hold: as in OpenCV's table it weighs it one less
// and gives that one to the bottom right neighbour (the rounded result is the pixel still).
struct Weights {
    // Per step, the top pair and the bottom pair, each repeated for the four channels.
    __m128i pairs[kSteps * kSteps][2];
    short single[kSteps * kSteps][4];

    Weights()
    {
        for (int step = 0; step < kSteps * kSteps; ++step) {
            const int fy = step >> kStepBits;
            const int fx = step & (kSteps - 1);
            short* w = single[step];
            w[0] = static_cast<short>((kSteps - fx) * (kSteps - fy) * kSteps - (step == 0 ? 1 : 0));
            w[1] = static_cast<short>(fx * (kSteps - fy) * kSteps);
            w[2] = static_cast<short>((kSteps - fx) * fy * kSteps);
            w[3] = static_cast<short>(fx * fy * kSteps + (step == 0 ? 1 : 0));
            pairs[step][0] = _mm_set_epi16(w[1], w[0], w[1], w[0], w[1], w[0], w[1], w[0]);
            pairs[step][1] = _mm_set_epi16(w[3], w[2], w[3], w[2], w[3], w[2], w[3], w[2]);
        }
    }
};

const Weights& weights()
{
    static const Weights table;
    return table;
}

// Two neighbouring BGRA pixels as 16-bit channels paired for a multiply-add: b0 b1 g0 g1 r0 r1 a0 a1.
inline __m128i pairedChannels(const BYTE* pixels)
{
    const __m128i two = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(pixels));
    return _mm_unpacklo_epi8(_mm_unpacklo_epi8(two, _mm_srli_si128(two, 4)), _mm_setzero_si128());
}

} // namespace

void LcdFreeTurn::TurnedSize(int width, int height, double degrees, int& turnedWidth, int& turnedHeight)
{
    const float angle = static_cast<float>(degrees * 3.1415925 / 180.0);
    const float c = std::cos(angle);
    const float s = std::sin(angle);
    const float w = static_cast<float>(width);
    const float h = static_cast<float>(height);
    turnedWidth = static_cast<int>(std::fabs(w * c) + std::fabs(h * s));
    turnedHeight = static_cast<int>(std::fabs(h * c) + std::fabs(w * s));
}

void LcdFreeTurn::Plan(int width, int height, double degrees)
{
    if (width == m_width && height == m_height && degrees == m_degrees && !m_rows.empty())
        return;
    m_width = width;
    m_height = height;
    m_degrees = degrees;
    TurnedSize(width, height, degrees, m_turnedWidth, m_turnedHeight);
    // The forward turn about the centre, moved to the centre of the turned size (OpenCV turns
    // counter-clockwise for a positive angle), then inverted: each turned pixel looks up its source.
    cv::Mat forward = cv::getRotationMatrix2D(cv::Point2f(width * 0.5f, height * 0.5f), -degrees, 1.0);
    forward.at<double>(0, 2) += m_turnedWidth * 0.5 - width * 0.5;
    forward.at<double>(1, 2) += m_turnedHeight * 0.5 - height * 0.5;
    double m[6];
    for (int i = 0; i < 6; ++i)
        m[i] = forward.at<double>(i / 3, i % 3);
    double d = m[0] * m[4] - m[1] * m[3];
    d = d != 0 ? 1. / d : 0;
    const double a11 = m[4] * d, a22 = m[0] * d;
    m[0] = a11;
    m[1] *= -d;
    m[3] *= -d;
    m[4] = a22;
    const double b1 = -m[0] * m[2] - m[1] * m[5];
    const double b2 = -m[3] * m[2] - m[4] * m[5];
    m[2] = b1;
    m[5] = b2;

    const int scale = 1 << kPositionBits;
    m_columnX.resize(static_cast<size_t>(m_turnedWidth));
    m_columnY.resize(static_cast<size_t>(m_turnedWidth));
    for (int x = 0; x < m_turnedWidth; ++x) {
        m_columnX[static_cast<size_t>(x)] = rounded(m[0] * x * scale);
        m_columnY[static_cast<size_t>(x)] = rounded(m[3] * x * scale);
    }
    // Half a sub-pixel step, so that the position is rounded to its nearest step.
    const int half = scale / kSteps / 2;
    m_rows.assign(static_cast<size_t>(m_turnedHeight), Row());
    for (int y = 0; y < m_turnedHeight; ++y) {
        Row& row = m_rows[static_cast<size_t>(y)];
        row.x0 = rounded((m[1] * y + m[2]) * scale) + half;
        row.y0 = rounded((m[4] * y + m[5]) * scale) + half;
        planRow(row);
    }
    m_turned.assign(static_cast<size_t>(m_turnedWidth) * m_turnedHeight, 0);
}

void LcdFreeTurn::planRow(Row& row) const
{
    const auto pixelOf = [&](int x, int& sx, int& sy) {
        sx = sourceX(row, x) >> kStepBits;
        sy = sourceY(row, x) >> kStepBits;
    };
    // A pixel reads the frame when one of its neighbours lies inside it.
    const auto reads = [&](int x) {
        int sx, sy;
        pixelOf(x, sx, sy);
        return sx >= -1 && sx < m_width && sy >= -1 && sy < m_height;
    };
    const auto inner = [&](int x) {
        int sx, sy;
        pixelOf(x, sx, sy);
        return sx >= 0 && sx < m_width - 1 && sy >= 0 && sy < m_height - 1;
    };
    int x = 0;
    while (x < m_turnedWidth && !reads(x))
        ++x;
    row.begin = x;
    row.end = m_turnedWidth;
    while (row.end > row.begin && !reads(row.end - 1))
        --row.end;
    while (x < row.end && !inner(x))
        ++x;
    row.innerBegin = x;
    while (x < row.end && inner(x))
        ++x;
    row.innerEnd = x;
}

void LcdFreeTurn::turnEdgePixel(const BYTE* source, int stride, const Row& row, int x, DWORD* into) const
{
    const int fx = sourceX(row, x);
    const int fy = sourceY(row, x);
    const int sx = fx >> kStepBits;
    const int sy = fy >> kStepBits;
    const short* w = weights().single[((fy & (kSteps - 1)) << kStepBits) | (fx & (kSteps - 1))];
    int sums[4] = { 1 << (kWeightBits - 1), 1 << (kWeightBits - 1), 1 << (kWeightBits - 1), 1 << (kWeightBits - 1) };
    for (int k = 0; k < 4; ++k) {
        const int nx = sx + (k & 1);
        const int ny = sy + (k >> 1);
        // Outside the frame a neighbour is transparent black.
        if (nx < 0 || nx >= m_width || ny < 0 || ny >= m_height)
            continue;
        const BYTE* pixel = source + static_cast<ptrdiff_t>(ny) * stride + nx * 4;
        for (int c = 0; c < 4; ++c)
            sums[c] += pixel[c] * w[k];
    }
    BYTE* out = reinterpret_cast<BYTE*>(into);
    for (int c = 0; c < 4; ++c)
        out[c] = static_cast<BYTE>(sums[c] >> kWeightBits);
}

void LcdFreeTurn::Turn(const BYTE* source, int stride)
{
    const Weights& table = weights();
    const __m128i half = _mm_set1_epi32(1 << (kWeightBits - 1));
    for (int y = 0; y < m_turnedHeight; ++y) {
        const Row& row = m_rows[static_cast<size_t>(y)];
        DWORD* line = m_turned.data() + static_cast<size_t>(y) * m_turnedWidth;
        for (int x = row.begin; x < row.innerBegin; ++x)
            turnEdgePixel(source, stride, row, x, line + x);
        for (int x = row.innerBegin; x < row.innerEnd; ++x) {
            const int fx = sourceX(row, x);
            const int fy = sourceY(row, x);
            const BYTE* top = source + static_cast<ptrdiff_t>(fy >> kStepBits) * stride + (fx >> kStepBits) * 4;
            const __m128i* w = table.pairs[((fy & (kSteps - 1)) << kStepBits) | (fx & (kSteps - 1))];
            __m128i sum = _mm_add_epi32(_mm_madd_epi16(pairedChannels(top), w[0]),
                                        _mm_madd_epi16(pairedChannels(top + stride), w[1]));
            sum = _mm_srai_epi32(_mm_add_epi32(sum, half), kWeightBits);
            const __m128i words = _mm_packs_epi32(sum, sum);
            line[x] = static_cast<DWORD>(_mm_cvtsi128_si32(_mm_packus_epi16(words, words)));
        }
        for (int x = row.innerEnd; x < row.end; ++x)
            turnEdgePixel(source, stride, row, x, line + x);
    }
}

} // namespace KOVA
