// Stretched parts of images: nine-grids, frames of strips, stretched backgrounds.
// GDI+ resamples a source rectangle with pixels from beyond it (a column of the neighbouring
// frame, transparency past the image's edge), and Wine's leaves the first row or column of a
// stretch by a ratio that is not whole transparent: a dark seam through every nine-grid. So a
// part is read out of the image once and each piece resampled within its own pixels, edge
// pixels repeated outward; the finished picture goes onto the graphics unscaled, which GDI+
// copies exactly.
#include "framework/MRender.h"

#include <array>
#include <memory>
#include <utility>

#include <opencv2/imgproc.hpp>

namespace KOVA {

namespace {

// One column (row) of a nine-grid: where it lies on the destination and in the source.
struct Span {
    int dst;
    int dstLength;
    int src;
    int srcLength;
};

std::array<Span, 3> gridSpans(int dstStart, int dstEnd, int srcStart, int srcLength, int head, int tail)
{
    const int dstLength = dstEnd - dstStart;
    return { {
        { dstStart, head, srcStart, head },
        { dstStart + head, dstLength - head - tail, srcStart + head, srcLength - head - tail },
        { dstEnd - tail, tail, srcStart + srcLength - tail, tail },
    } };
}

// A piece of the destination and the part of the source it shows.
struct Piece {
    CRect dst;
    cv::Rect src;
};

// Left column downwards, top edge, right column downwards, bottom edge, centre last: where
// narrow destinations make pieces overlap, the later one shows.
constexpr std::array<std::pair<int, int>, 9> kGridOrder { {
    { 0, 0 }, { 0, 1 }, { 0, 2 }, { 1, 0 }, { 2, 0 }, { 2, 1 }, { 2, 2 }, { 1, 2 }, { 1, 1 },
} };

std::array<Piece, 9> ninePieces(const std::array<Span, 3>& columns, const std::array<Span, 3>& rows)
{
    std::array<Piece, 9> pieces;
    for (size_t i = 0; i < kGridOrder.size(); ++i) {
        const Span& x = columns[kGridOrder[i].first];
        const Span& y = rows[kGridOrder[i].second];
        pieces[i] = { CRect(x.dst, y.dst, x.dst + x.dstLength, y.dst + y.dstLength),
                      cv::Rect(x.src, y.src, x.srcLength, y.srcLength) };
    }
    return pieces;
}

// The source rectangle of a bitmap locked as premultiplied 32 bpp pixels for the scope.
class LockedPart {
public:
    LockedPart(Gdiplus::Image* image, int x, int y, int width, int height)
    {
        if (!image || image->GetType() != Gdiplus::ImageTypeBitmap || width <= 0 || height <= 0)
            return;
        if (x < 0 || y < 0 || x + width > static_cast<int>(image->GetWidth())
            || y + height > static_cast<int>(image->GetHeight()))
            return;
        Gdiplus::Rect area(x, y, width, height);
        auto* bitmap = static_cast<Gdiplus::Bitmap*>(image);
        if (bitmap->LockBits(&area, Gdiplus::ImageLockModeRead, PixelFormat32bppPARGB, &m_data) == Gdiplus::Ok)
            m_bitmap = bitmap;
    }
    ~LockedPart()
    {
        if (m_bitmap)
            m_bitmap->UnlockBits(&m_data);
    }
    LockedPart(const LockedPart&) = delete;
    LockedPart& operator=(const LockedPart&) = delete;

    bool locked() const { return m_bitmap != nullptr; }
    cv::Mat pixels() const
    {
        return cv::Mat(static_cast<int>(m_data.Height), static_cast<int>(m_data.Width), CV_8UC4, m_data.Scan0,
                       static_cast<size_t>(m_data.Stride));
    }

private:
    Gdiplus::Bitmap* m_bitmap { nullptr };
    Gdiplus::BitmapData m_data {};
};

// How destination pixels sample the source: GDI+'s interpolation, and where it puts a pixel's
// sampling point (its centre only with a half-pixel offset; otherwise its top-left corner).
struct Sampling {
    int interpolation { cv::INTER_LINEAR };
    double pixelOffset { 0.5 };
};

Sampling samplingOf(const Gdiplus::Graphics& graphics)
{
    const Gdiplus::PixelOffsetMode offset = graphics.GetPixelOffsetMode();
    const bool centred = offset == Gdiplus::PixelOffsetModeHalf || offset == Gdiplus::PixelOffsetModeHighQuality;
    return { graphics.GetInterpolationMode() == Gdiplus::InterpolationModeNearestNeighbor ? cv::INTER_NEAREST
                                                                                          : cv::INTER_LINEAR,
             centred ? 0.5 : 0.0 };
}

// The part of piece that meets area, resampled into canvas (whose top-left is area's):
// destination sampling points map linearly onto the piece's source pixels, and samples past
// its edges repeat the edge pixels. A piece reaching outside the part (margins wider than the
// part) is left out.
void resamplePiece(const cv::Mat& source, const Piece& piece, const CRect& area, cv::Mat& canvas,
                   const Sampling& sampling)
{
    const cv::Rect& src = piece.src;
    CRect shown;
    if (src.width <= 0 || src.height <= 0 || (src & cv::Rect(0, 0, source.cols, source.rows)) != src
        || piece.dst.Width() <= 0 || piece.dst.Height() <= 0 || !shown.IntersectRect(&piece.dst, &area))
        return;
    const double scaleX = static_cast<double>(src.width) / piece.dst.Width();
    const double scaleY = static_cast<double>(src.height) / piece.dst.Height();
    const double offset = sampling.pixelOffset;
    const cv::Matx23d toSource(scaleX, 0, (shown.left - piece.dst.left + offset) * scaleX - offset,
                               0, scaleY, (shown.top - piece.dst.top + offset) * scaleY - offset);
    cv::Mat target = canvas(cv::Rect(shown.left - area.left, shown.top - area.top, shown.Width(), shown.Height()));
    cv::warpAffine(source(src), target, toSource, target.size(), sampling.interpolation | cv::WARP_INVERSE_MAP,
                   cv::BORDER_REPLICATE);
}

// The pieces resampled from the locked part into a new bitmap covering area; null when GDI+
// cannot make one that large.
std::unique_ptr<Gdiplus::Bitmap> composePieces(const LockedPart& part, const Piece* pieces, size_t count,
                                               const CRect& area, const Sampling& sampling)
{
    auto picture = std::make_unique<Gdiplus::Bitmap>(area.Width(), area.Height(), PixelFormat32bppPARGB);
    if (picture->GetLastStatus() != Gdiplus::Ok)
        return nullptr;
    Gdiplus::Rect whole(0, 0, area.Width(), area.Height());
    Gdiplus::BitmapData data {};
    if (picture->LockBits(&whole, Gdiplus::ImageLockModeWrite, PixelFormat32bppPARGB, &data) != Gdiplus::Ok)
        return nullptr;
    cv::Mat canvas(area.Height(), area.Width(), CV_8UC4, data.Scan0, static_cast<size_t>(data.Stride));
    canvas.setTo(cv::Scalar::all(0));
    const cv::Mat source = part.pixels();
    for (size_t i = 0; i < count; ++i)
        resamplePiece(source, pieces[i], area, canvas, sampling);
    picture->UnlockBits(&data);
    return picture;
}

// What of dst the graphics can show at all.
bool visiblePart(Gdiplus::Graphics& graphics, const CRect& dst, CRect& area)
{
    Gdiplus::Rect clip;
    if (graphics.GetVisibleClipBounds(&clip) != Gdiplus::Ok)
        return false;
    const CRect visible(clip.X, clip.Y, clip.X + clip.Width, clip.Y + clip.Height);
    return area.IntersectRect(&dst, &visible) != FALSE;
}

// Draws the pieces of the source rectangle resampled here; false when the image cannot be
// read that way (not a bitmap, a rectangle outside it), so that GDI+ draws them instead.
bool drawResampled(Gdiplus::Graphics& graphics, Gdiplus::Image* image, const CRect& dst, const cv::Rect& src,
                   const Piece* pieces, size_t count)
{
    const LockedPart part(image, src.x, src.y, src.width, src.height);
    if (!part.locked())
        return false;
    CRect area;
    if (!visiblePart(graphics, dst, area))
        return true;
    const auto picture = composePieces(part, pieces, count, area, samplingOf(graphics));
    if (picture)
        graphics.DrawImage(picture.get(), area.left, area.top, area.Width(), area.Height());
    return true;
}

void drawWithGdiplus(Gdiplus::Graphics& graphics, Gdiplus::Image* image, const cv::Rect& src, const Piece* pieces,
                     size_t count)
{
    for (size_t i = 0; i < count; ++i) {
        const Piece& piece = pieces[i];
        graphics.DrawImage(image, Gdiplus::Rect(piece.dst.left, piece.dst.top, piece.dst.Width(), piece.dst.Height()),
                           src.x + piece.src.x, src.y + piece.src.y, piece.src.width, piece.src.height,
                           Gdiplus::UnitPixel);
    }
}

void drawPieces(Gdiplus::Graphics& graphics, Gdiplus::Image* image, const CRect& dst, const cv::Rect& src,
                const Piece* pieces, size_t count)
{
    if (!drawResampled(graphics, image, dst, src, pieces, count))
        drawWithGdiplus(graphics, image, src, pieces, count);
}

} // namespace

void MRender::DrawImageFrame(Gdiplus::Graphics& graphics, Gdiplus::Image* image, const CRect& dst, int srcX,
                             int srcY, int srcWidth, int srcHeight, int border)
{
    DrawImageFrameMID(graphics, image, dst, srcX, srcY, srcWidth, srcHeight, border, border, border, border);
}

void MRender::DrawImageFrameMID(Gdiplus::Graphics& graphics, Gdiplus::Image* image, const CRect& dst, int srcX,
                                int srcY, int srcWidth, int srcHeight, int left, int top, int right, int bottom)
{
    // Pieces are placed relative to the source rectangle, which is read out on its own.
    const auto pieces = ninePieces(gridSpans(dst.left, dst.right, 0, srcWidth, left, right),
                                   gridSpans(dst.top, dst.bottom, 0, srcHeight, top, bottom));
    drawPieces(graphics, image, dst, cv::Rect(srcX, srcY, srcWidth, srcHeight), pieces.data(), pieces.size());
}

int MRender::DrawImageStripFrame(Gdiplus::Graphics& graphics, Gdiplus::Image* image, const CRect& dst,
                                 int frameIndex, int frameCount, int border)
{
    if (!image || frameCount < 1 || frameIndex < 0 || frameIndex >= frameCount)
        return 0;
    const auto frameWidth = static_cast<int>(image->GetWidth() / static_cast<UINT>(frameCount));
    DrawImageFrame(graphics, image, dst, frameWidth * frameIndex, 0, frameWidth, static_cast<int>(image->GetHeight()),
                   border);
    return 1;
}

void MRender::DrawImagePart(Gdiplus::Graphics& graphics, Gdiplus::Image* image, const CRect& dst, int srcX, int srcY,
                            int srcWidth, int srcHeight)
{
    // Unscaled, GDI+ copies pixel for pixel and reads nothing beyond the part.
    if (dst.Width() == srcWidth && dst.Height() == srcHeight) {
        graphics.DrawImage(image, Gdiplus::Rect(dst.left, dst.top, srcWidth, srcHeight), srcX, srcY, srcWidth,
                           srcHeight, Gdiplus::UnitPixel);
        return;
    }
    const Piece whole { dst, cv::Rect(0, 0, srcWidth, srcHeight) };
    drawPieces(graphics, image, dst, cv::Rect(srcX, srcY, srcWidth, srcHeight), &whole, 1);
}

Gdiplus::Bitmap* MRender::StretchImagePart(Gdiplus::Image* image, int srcX, int srcY, int srcWidth, int srcHeight,
                                           int width, int height)
{
    const LockedPart part(image, srcX, srcY, srcWidth, srcHeight);
    if (!part.locked() || width <= 0 || height <= 0)
        return nullptr;
    const CRect area(0, 0, width, height);
    const Piece whole { area, cv::Rect(0, 0, srcWidth, srcHeight) };
    return composePieces(part, &whole, 1, area, Sampling()).release();
}

} // namespace KOVA
