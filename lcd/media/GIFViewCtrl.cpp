// The GIF view: loading, the frame step, the picture and its thumbnails on the play bar, and
// the two exports.
//
// Lock order: m_lock is the only lock the view takes; the tick only tries it.
#include "lcd/media/GIFViewCtrl.h"

#include <algorithm>
#include <vector>

#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>

#include "framework/MRender.h"
#include "framework/Manager.h"
#include "lcd/media/GifDelays.h"
#include "lcd/media/GifFramesExport.h"
#include "lcd/renderer/LEDModeCtrl.h"
#include "lcd/renderer/LcdImageHelpers.h"
#include "lcd/renderer/LcdSurface.h"
#include "lcd/media/VideoClip.h"
#include "platform/TimeSource.h"

namespace KOVA {

namespace {
constexpr int kMostThumbnails = 30;
constexpr int kThumbnailSide = 24;
constexpr int kJpegQuality = 75;
constexpr int kExportEnded = 100;
const Gdiplus::Color kTrackColour(0xFF, 0x66, 0x66, 0x66);
constexpr int kBarTop = 40;
constexpr int kTrackHeight = 24;

cv::Rect fittedDestination(const cv::Rect& source)
{
    const CRect place = MediaCropView::FittedToLcd(source.width, source.height);
    return cv::Rect(place.left, place.top, place.Width(), place.Height());
}

// The frame after moving steps on from frame, kept within [start, end): past the end it
// goes round the range; an empty range holds it at the start.
int wrappedFrame(long long frame, int start, int end)
{
    const long long length = end - start;
    if (length <= 0)
        return start;
    if (frame >= end)
        frame = (frame - end) % length + start;
    return static_cast<int>(frame);
}

// Puts a 32-bit frame on dc at its own size, with its top-left corner at (left, top).
void blitOnto(HDC dc, const cv::Mat& bgra, int left, int top)
{
    const BITMAPINFO info = LcdSurface::TopDownHeader(bgra.cols, bgra.rows);
    ::SetDIBitsToDevice(dc, left, top, static_cast<DWORD>(bgra.cols), static_cast<DWORD>(bgra.rows), 0, 0, 0,
                        static_cast<UINT>(bgra.rows), bgra.data, &info, DIB_RGB_COLORS);
}

// Area averaging when shrinking, as a prefiltered bicubic does; smooth when enlarging.
int interpolationFor(const cv::Size& from, const cv::Size& to, int enlarging)
{
    return to.area() < from.area() ? cv::INTER_AREA : enlarging;
}

// An LCD-sized frame of an export: opaque black with a part of a composed frame scaled into
// it, written as a JPEG file.
class ExportFrame {
public:
    ExportFrame()
        : m_pixels(std::max(Manager::GetLedScreenHeight(), 1), std::max(Manager::GetLedScreenWidth(), 1), CV_8UC4)
    {
    }

    void draw(const cv::Mat& frame, const cv::Rect& source, const cv::Rect& destination)
    {
        m_pixels.setTo(cv::Scalar(0, 0, 0, 255));
        const bool fits = (destination & cv::Rect(0, 0, m_pixels.cols, m_pixels.rows)) == destination
            && (source & cv::Rect(0, 0, frame.cols, frame.rows)) == source;
        if (!fits || destination.empty())
            return;
        cv::Mat into = m_pixels(destination);
        cv::resize(frame(source), into, destination.size(), 0, 0,
                   interpolationFor(source.size(), destination.size(), cv::INTER_CUBIC));
    }

    const cv::Mat& pixels() const { return m_pixels; }
    bool save(const CString& path) const { return WriteJpegFile(path, m_pixels, kJpegQuality) > 0; }

private:
    cv::Mat m_pixels;
};
} // namespace

struct GIFViewCtrl::Media {
    std::unique_ptr<Gdiplus::Image> picture;
    // Premultiplied blue, green, red, alpha: what is clear in the picture is black here, as
    // it shows over the black view.
    cv::Mat frame;
    std::vector<cv::Mat> thumbnails;
    // The frame as the view shows it, scaled to the picture's place; kept while neither the
    // frame nor the place changes, so that a paint for another cause only copies it.
    cv::Mat shown;
    int shownFrame { -1 };

    // The active frame as GDI+ composes it, locked out of the picture; a metafile, which has
    // no pixels to lock, is drawn at its own size instead.
    bool composeActive()
    {
        const int width = static_cast<int>(picture->GetWidth());
        const int height = static_cast<int>(picture->GetHeight());
        frame.create(height, width, CV_8UC4);
        Gdiplus::BitmapData rows {};
        rows.Width = static_cast<UINT>(width);
        rows.Height = static_cast<UINT>(height);
        rows.Stride = static_cast<INT>(frame.step);
        rows.PixelFormat = PixelFormat32bppPARGB;
        rows.Scan0 = frame.data;
        const Gdiplus::Rect whole(0, 0, width, height);
        auto* bitmap = static_cast<Gdiplus::Bitmap*>(picture.get());
        if (picture->GetType() == Gdiplus::ImageTypeBitmap
            && bitmap->LockBits(&whole, Gdiplus::ImageLockModeRead | Gdiplus::ImageLockModeUserInputBuf,
                                PixelFormat32bppPARGB, &rows) == Gdiplus::Ok)
            return bitmap->UnlockBits(&rows) == Gdiplus::Ok;
        frame.setTo(cv::Scalar::all(0));
        Gdiplus::Bitmap target(width, height, rows.Stride, PixelFormat32bppPARGB, frame.data);
        Gdiplus::Graphics g(&target);
        return g.DrawImage(picture.get(), 0, 0, width, height) == Gdiplus::Ok;
    }
};

void GIFViewCtrl::MediaDeleter::operator()(Media* media) const
{
    delete media;
}

GIFViewCtrl::GIFViewCtrl(MObject* parent, UINT id, CRect rect, int visible, int enabled)
    : MediaCropView(parent, id, rect, visible, enabled), m_media(new Media)
{
    m_idleDrag = false;
    m_markerMinFrames = 1;
}

GIFViewCtrl::~GIFViewCtrl()
{
    StopFastTimer();
}

const wchar_t* GIFViewCtrl::GetClassNameW() const
{
    return L"GIFViewCtrl";
}

bool GIFViewCtrl::isAnimated() const
{
    return m_mediaKind == MediaKindGif;
}

bool GIFViewCtrl::HasPlayBar() const
{
    return isAnimated();
}

// ---- loading

int GIFViewCtrl::SetFileName(CString path, int kind)
{
    int result = 0;
    {
        ScopedLock lock(m_lock);
        m_currentFrame = 0;
        m_frameCount = 0;
        *m_media = Media();
        result = FailureOnThrow(0, [&] { return loadFile(path, kind); });
        if (!result) {
            m_frameCount = 0;
            *m_media = Media();
        }
    }
    RequestRepaint();
    return result;
}

// Under m_lock; may throw (a picture too large to decode), and the caller cleans up.
int GIFViewCtrl::loadFile(const CString& path, int kind)
{
    int result = 0;
    {
        std::unique_ptr<Gdiplus::Image> picture(MRender::LoadImageFromFile(path));
        if (picture && IsPictureTooLarge(picture->GetWidth(), picture->GetHeight()))
            picture.reset();
        if (picture) {
            m_fileName = path;
            m_mediaKind = kind;
            const int frames = isAnimated() ? MRender::GetFirstDimensionFrameCount(picture.get()) : 1;
            if (frames > 0) {
                m_media->picture = std::move(picture);
                m_frameCount = frames;
                if (frames > 1)
                    takeFrameDelay(path);
                m_mediaWidth = static_cast<int>(m_media->picture->GetWidth());
                m_mediaHeight = static_cast<int>(m_media->picture->GetHeight());
                m_rangeStart = 0;
                m_rangeEnd = frames;
                PlaceCropForNewMedium();
                if (isAnimated())
                    ShowFrameThumbnails();
                result = 1;
            }
        }
    }
    return result;
}

// GDI+ under Wine reads the delays of frames that carry an application extension as 0, so
// giflib reads them. A file that states none keeps the delay the view had.
void GIFViewCtrl::takeFrameDelay(const CString& path)
{
    m_framePeriod = GifFramePeriod(ReadGifDelays(path), GifPeriodRule::FirstDelayZeroAsShortest, m_framePeriod);
}

bool GIFViewCtrl::composeFrame(int index)
{
    if (!m_media->picture)
        return false;
    if (isAnimated())
        m_media->picture->SelectActiveFrame(&Gdiplus::FrameDimensionTime, static_cast<UINT>(index));
    return m_media->composeActive();
}

int GIFViewCtrl::ShowFrameThumbnails()
{
    ScopedLock lock(m_lock);
    if (m_frameCount < 1)
        return 0;
    return FailureOnThrow(0, [this] { return makeThumbnails(); });
}

int GIFViewCtrl::makeThumbnails()
{
    std::vector<cv::Mat>& thumbnails = m_media->thumbnails;
    thumbnails.clear();
    int count = kMostThumbnails;
    m_thumbnailWidth = m_thumbnailHeight = kThumbnailSide;
    if (m_frameCount < kMostThumbnails) {
        count = m_frameCount;
        m_thumbnailWidth = (m_playBar.right - m_playBar.left) / m_frameCount;
    }
    if (m_thumbnailWidth < 1)
        return 1;
    const float step = static_cast<float>(m_frameCount) / static_cast<float>(count);
    for (int i = 0; i < count; ++i) {
        if (!composeFrame(std::min(static_cast<int>(static_cast<float>(i) * step), m_frameCount - 1)))
            break;
        thumbnails.emplace_back();
        cv::resize(m_media->frame, thumbnails.back(), cv::Size(m_thumbnailWidth, m_thumbnailHeight), 0, 0,
                   cv::INTER_LINEAR);
    }
    return 1;
}

int GIFViewCtrl::GetFrameThumbnail(cv::Mat&, int, int, int)
{
    return 1;
}

// ---- the frame step

int GIFViewCtrl::OnControlTimer()
{
    if (!m_run || !m_visible || ExportMessage() != 0 || !m_lock.TryEnter())
        return 0;
    const int period = m_framePeriod;
    const DWORD now = TimeSource::Milliseconds();
    const DWORD elapsed = now - m_lastStepTime;
    if (m_currentFrame >= m_frameCount)
        m_currentFrame = 0;
    const bool step = period > 0 && elapsed >= static_cast<DWORD>(period);
    if (step) {
        const DWORD steps = elapsed / static_cast<DWORD>(period);
        m_currentFrame = m_lastStepTime == 0 ? 0
                                             : wrappedFrame(static_cast<long long>(m_currentFrame) + steps,
                                                            m_rangeStart, m_rangeEnd);
        m_lastStepTime = now - (elapsed - steps * static_cast<DWORD>(period));
    }
    m_lock.Leave();
    if (step)
        RequestRepaint();
    return 0;
}

// ---- drawing

CRect GIFViewCtrl::pictureRect(const CRect& view)
{
    return GetImageRect(m_mediaWidth, m_mediaHeight, view);
}

void GIFViewCtrl::DrawPicture(HDC dc, const CRect& view)
{
    ScopedLock lock(m_lock);
    FailureOnThrow(false, [&] { return drawShown(dc, view); });
}

bool GIFViewCtrl::drawShown(HDC dc, const CRect& view)
{
    Media& media = *m_media;
    const CRect place = pictureRect(view);
    const cv::Size size(place.Width(), place.Height());
    if (media.shownFrame != m_currentFrame || media.shown.size() != size) {
        media.shownFrame = -1;
        if (size.empty() || !composeFrame(m_currentFrame))
            return false;
        cv::resize(media.frame, media.shown, size, 0, 0, interpolationFor(media.frame.size(), size, cv::INTER_LINEAR));
        media.shownFrame = m_currentFrame;
    }
    blitOnto(dc, media.shown, place.left, place.top);
    return true;
}

void GIFViewCtrl::DrawPlayBarGround(Gdiplus::Graphics& g, int width, int height)
{
    Gdiplus::SolidBrush black(Gdiplus::Color(0xFF, 0, 0, 0));
    g.FillRectangle(&black, 0, height - kPlayBarHeight, width, kPlayBarHeight);
    Gdiplus::Pen pen(kTrackColour, 2.0f);
    g.DrawRectangle(&pen, 0, height - kBarTop, width, kTrackHeight);
}

int GIFViewCtrl::ThumbnailCount() const
{
    return m_frameCount > 0 ? static_cast<int>(m_media->thumbnails.size()) : 0;
}

void GIFViewCtrl::DrawThumbnail(HDC dc, int index, const CRect& place)
{
    blitOnto(dc, m_media->thumbnails[static_cast<size_t>(index)], place.left, place.top);
}

// ---- exports

CRect GIFViewCtrl::shownView() const
{
    return CRect(0, 0, m_rect.Width(), m_rect.Height() - (HasPlayBar() ? kPlayBarHeight : 0));
}

CRect GIFViewCtrl::cropSource()
{
    const CRect part = CropOnMedium(m_mediaWidth, m_mediaHeight, pictureRect(shownView()));
    return part.IsRectEmpty() ? CRect(0, 0, m_mediaWidth, m_mediaHeight) : part;
}

void GIFViewCtrl::SaveGIFImageFile(CString path, UINT message)
{
    if (!m_media->picture)
        return;
    ExportScope scope(*this, message);
    m_lastExportResult = 0;
    const int frames = m_rangeEnd - m_rangeStart;
    GifFramesExport gif(frames, m_framePeriod, kJpegQuality, [this](int percent) { PostExportProgress(percent); });
    const GifFramesExport::Outcome outcome =
        gif.Run(path, [this](GifFramesExport& frames) { return writeExportFrames(frames); });
    m_lastExportResult = outcome == GifFramesExport::Outcome::Saved ? 1 : 0;
}

// Every frame of the range, cut and fitted, numbered in order; a frame that cannot be written
// is left out. Returns how many were tried.
int GIFViewCtrl::writeExportFrames(GifFramesExport& gif)
{
    const CRect crop = cropSource();
    const cv::Rect source(crop.left, crop.top, crop.Width(), crop.Height());
    const cv::Rect destination = fittedDestination(source);
    ExportFrame frame;
    int tried = 0;
    for (int f = m_rangeStart; f < m_rangeEnd; ++f) {
        if (composeFrame(f))
            frame.draw(m_media->frame, source, destination);
        gif.WriteFrame(tried, frame.pixels());
        ++tried;
    }
    return tried;
}

void GIFViewCtrl::SaveJpgImageFile(CString path, UINT message)
{
    if (m_frameCount != 1)
        return;
    constexpr int kPlaced = 10;
    constexpr int kDrawn = 50;
    ExportScope scope(*this, message);
    m_lastExportResult = 0;
    const CRect crop = cropSource();
    const cv::Rect source(crop.left, crop.top, crop.Width(), crop.Height());
    PostExportProgress(kPlaced);
    PostExportProgress(kDrawn);
    m_lastExportResult = FailureOnThrow(0, [&] {
        ExportFrame frame;
        if (composeFrame(0))
            frame.draw(m_media->frame, source, fittedDestination(source));
        return frame.save(path) ? 1 : 0;
    });
    PostExportProgress(kExportEnded);
}

} // namespace KOVA
