#pragma once
// A frame turned by an angle that is not a whole quarter: bilinear, what falls outside the frame
// transparent black, pixel for pixel what OpenCV's warpAffine (INTER_LINEAR, BORDER_CONSTANT)
// gives, which the device's turned frames have always been.
//
// warpAffine works out, for every frame, where each turned pixel comes from in fixed point and
// sends the result through its generic remap. All of that depends only on the angle and the
// sizes, so Plan keeps it (where each row starts in fixed point, the step per column, and per
// row the run of pixels that read the frame at all and the run whose four neighbours all lie
// inside it); Turn then only blends: four neighbours and their weights per pixel, the same
// integer weights and rounding as OpenCV's, with no edge checks on the inner run.
#include "platform/Win32.h"

#include <vector>

namespace KOVA {

class LcdFreeTurn {
public:
    // The size a frame of width × height takes when turned clockwise by degrees.
    static void TurnedSize(int width, int height, double degrees, int& turnedWidth, int& turnedHeight);

    // Plans the clockwise turn by degrees of a width × height frame about its centre, into a frame
    // of TurnedSize centred the same; a plan of the same angle and size is kept as it is.
    void Plan(int width, int height, double degrees);
    // Turns source (top-down BGRA rows of the planned size, stride bytes apart) into Pixels().
    void Turn(const BYTE* source, int stride);

    // The turned frame: top-down BGRA rows of Width() pixels, none before the first Plan.
    const BYTE* Pixels() const { return reinterpret_cast<const BYTE*>(m_turned.data()); }
    int Width() const { return m_turnedWidth; }
    int Height() const { return m_turnedHeight; }

private:
    // A turned row: where its column 0 reads the frame (1/1024 pixel, half a sub-pixel step
    // added so that a position rounds to its nearest step), the run of its pixels that read the
    // frame at all, and within it the run whose four neighbours all lie inside the frame.
    struct Row {
        int x0 { 0 }, y0 { 0 };
        int begin { 0 }, innerBegin { 0 }, innerEnd { 0 }, end { 0 };
    };
    // The source position of turned column x of row, in 1/32 of a pixel.
    int sourceX(const Row& row, int x) const { return (row.x0 + m_columnX[static_cast<size_t>(x)]) >> 5; }
    int sourceY(const Row& row, int x) const { return (row.y0 + m_columnY[static_cast<size_t>(x)]) >> 5; }
    void planRow(Row& row) const;
    void turnEdgePixel(const BYTE* source, int stride, const Row& row, int x, DWORD* into) const;

    int m_width { 0 };
    int m_height { 0 };
    double m_degrees { 0 };
    int m_turnedWidth { 0 };
    int m_turnedHeight { 0 };
    // Per turned column, the step of the source position from the row's start, 1/1024 pixel.
    std::vector<int> m_columnX;
    std::vector<int> m_columnY;
    std::vector<Row> m_rows;
    // Outside each row's run the pixels stay the transparent black the plan left.
    std::vector<DWORD> m_turned;
};

} // namespace KOVA
