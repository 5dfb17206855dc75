// The start-up and standby medium: loading, the preview's tick and drawing, and the exports.
//
// Lock order: m_lock only. The tick takes it with TryEnter: an export holds it from its first
// frame to its last, and a tick that waited would hold up every control of the window's fast
// timer for the whole export. A repaint request is never made while it is held.
#include "lcd/media/LEDImageCtrl2.h"

#include <shlwapi.h>

#include <algorithm>

#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>

#include "framework/MRender.h"
#include "framework/PaintManager.h"
#include "lcd/media/GifDelays.h"
#include "lcd/renderer/LcdImageHelpers.h"
#include "lcd/media/VideoClip.h"
#include "platform/TimeSource.h"

namespace KOVA {

namespace {

constexpr int kGifKind = 3;
constexpr int kVideoKind = 4;
// Catching a video up further than this decodes more than a seek costs.
constexpr int kMostFramesRead = 5;
// The device takes start-up frames until their files reach this size; the last one stays.
constexpr DWORD kStartUpBytes = 0x900000;
constexpr int kGifFrameQuality = 65;
constexpr int kVideoFrameQuality = 60;
constexpr int kPlainQuality = 75;
// The start-up canvas turns a hair further than asked, as the device's frames always have.
constexpr float kStartUpExtraAngle = 0.01f;
constexpr int kDiscSide = 430;
constexpr int kBezel = 5;
constexpr float kBezelRadius = 10.0f;
const Gdiplus::Color kBezelColour(0xFF4C4C4C);
const Gdiplus::Color kScreenBlack(0xFF000000);

bool isSmallScreen(int type) { return type == 1 || type == 3; }

CString numberedFile(const CString& prefix, int number)
{
    CString name;
    name.Format(L"%s%d.jpg", prefix.GetString(), number);
    return name;
}

// Clears the export-busy flag however an export ends; what a paint skipped meanwhile is drawn
// by the next repaint.
class ExportBusy {
public:
    explicit ExportBusy(std::atomic<int>& flag) : m_flag(flag) { m_flag = 1; }
    ~ExportBusy() { m_flag = 0; }
    ExportBusy(const ExportBusy&) = delete;
    ExportBusy& operator=(const ExportBusy&) = delete;

private:
    std::atomic<int>& m_flag;
};

// The picture an export writes: the screen's size on opaque black, turned about its middle so
// that a positive angle turns the content clockwise. Never cleared between frames, so a GIF's
// frames lie over the ones before. Its pixels live in a matrix the JPEG encoder reads as is.
class ExportCanvas {
public:
    ExportCanvas(int screenType, float angle)
        : m_pixels(480, isSmallScreen(screenType) ? 480 : 640, CV_8UC4, cv::Scalar(0, 0, 0, 255)),
          m_bitmap(m_pixels.cols, m_pixels.rows, static_cast<INT>(m_pixels.step), PixelFormat32bppARGB,
                   m_pixels.data),
          m_graphics(&m_bitmap)
    {
        const float cx = m_pixels.cols / 2.0f;
        const float cy = m_pixels.rows / 2.0f;
        m_graphics.TranslateTransform(cx, cy, Gdiplus::MatrixOrderPrepend);
        m_graphics.RotateTransform(angle, Gdiplus::MatrixOrderPrepend);
        m_graphics.TranslateTransform(-cx, -cy, Gdiplus::MatrixOrderPrepend);
    }

    void draw(Gdiplus::Image* image)
    {
        m_graphics.DrawImage(image, 0, 0, m_pixels.cols, m_pixels.rows);
    }
    // The file's size in bytes; 0 when it was not written.
    DWORD save(const CString& path, int quality)
    {
        m_graphics.Flush(Gdiplus::FlushIntentionSync);
        return WriteJpegFile(path, m_pixels, quality);
    }

private:
    cv::Mat m_pixels;
    Gdiplus::Bitmap m_bitmap;
    Gdiplus::Graphics m_graphics;
};

// A GIF loaded for one export, selected frame by frame; empty when it has no frames.
class ExportGif {
public:
    explicit ExportGif(const CString& path) : m_image(MRender::LoadImageFromFile(path))
    {
        m_frames = MRender::GetFirstDimensionFrameCount(m_image.get());
    }
    int frames() const { return m_frames; }
    Gdiplus::Image* frame(int index)
    {
        m_image->SelectActiveFrame(&Gdiplus::FrameDimensionTime, static_cast<UINT>(index));
        return m_image.get();
    }

private:
    std::unique_ptr<Gdiplus::Image> m_image;
    int m_frames { 0 };
};

// A picture is drawn only when GDI+ has nothing against it; reading its status clears it.
bool drawable(Gdiplus::Image* picture) { return picture && picture->GetLastStatus() == Gdiplus::Ok; }

} // namespace

LEDImageCtrl2::LEDImageCtrl2(MObject* parent, UINT id, CRect rect, int visible, int enabled)
    : MPanel(parent, id, rect, visible)
{
    m_enabled = enabled;
    m_run = 1;
}

LEDImageCtrl2::~LEDImageCtrl2()
{
    StopFastTimer();
}

const wchar_t* LEDImageCtrl2::GetClassNameW() const { return L"LEDImageCtrl2"; }

void LEDImageCtrl2::requestRepaint()
{
    UpdateControl(1, 0);
}

// ---- setters

void LEDImageCtrl2::SetRun(int run)
{
    m_run = run;
    requestRepaint();
}

void LEDImageCtrl2::SetLEDType(int type)
{
    m_screenType = type;
    requestRepaint();
}

void LEDImageCtrl2::SetControlRect(CRect rect)
{
    MPanel::SetControlRect(rect);
    requestRepaint();
}

void LEDImageCtrl2::DeleteItemFile(int)
{
    {
        ScopedLock lock(m_lock);
        m_picture->reset();
        // The host deletes the file next: an open video would keep it.
        if (*m_video)
            (*m_video)->Close();
    }
    requestRepaint();
}

void LEDImageCtrl2::GetItemInfo(CString& path, int& kind)
{
    path = m_mediaPath;
    kind = m_mediaKind;
}

int LEDImageCtrl2::OnControlMouseMove(UINT, CPoint) { return m_enabled; }
int LEDImageCtrl2::OnControlLButtonDown(UINT, CPoint) { return m_enabled; }
int LEDImageCtrl2::OnControlLButtonUp(UINT, CPoint) { return m_enabled; }

// ---- loading

void LEDImageCtrl2::SetImageFile(CString path, int kind)
{
    if (!::PathFileExistsW(path)) {
        requestRepaint();
        return;
    }
    const bool taken = FailureOnThrow(false, [&] {
        ScopedLock lock(m_lock);
        m_picture->reset();
        if (*m_video)
            (*m_video)->Close();
        if (kind == kVideoKind) {
            if (!*m_video)
                m_video->reset(new VideoClip);
            VideoClip& clip = **m_video;
            if (!clip.Open(path))
                return false;
            m_mediaKind = kind;
            m_mediaPath = path;
            m_frameIndex = 0;
            m_frameCount = clip.FrameCount();
            m_framePeriod = clip.FramePeriod();
            m_lastAdvance = 0;
            return true;
        }
        return loadPicture(path, kind);
    });
    if (taken)
        requestRepaint();
}

bool LEDImageCtrl2::loadPicture(const CString& path, int kind)
{
    std::unique_ptr<Gdiplus::Image> picture(MRender::LoadImageFromFile(path));
    if (!picture || IsPictureTooLarge(picture->GetWidth(), picture->GetHeight()))
        return true;
    const int frames = kind == kGifKind ? MRender::GetFirstDimensionFrameCount(picture.get()) : 1;
    if (frames == 0)
        return false; // a GIF GDI+ finds no frames in is dropped, and nothing refers to it
    m_frameIndex = 0;
    m_selectedFrame = 0;
    m_frameCount = frames;
    m_mediaPath = path;
    m_mediaKind = kind;
    m_pictureWidth = static_cast<int>(picture->GetWidth());
    m_pictureHeight = static_cast<int>(picture->GetHeight());
    *m_picture = std::move(picture);
    // Wine's GDI+ loses the delays of most GIFs, so they are read from the file.
    if (frames > 1)
        m_framePeriod = GifFramePeriod(ReadGifDelays(path), GifPeriodRule::FirstDelay, m_framePeriod);
    return true;
}

// ---- the preview

int LEDImageCtrl2::OnControlTimer()
{
    if (!m_run || *m_exportBusy || !IsShownOnScreen(*this))
        return 0;
    const DWORD now = TimeSource::Milliseconds();
    const DWORD elapsed = now - m_lastAdvance;
    const DWORD period = static_cast<DWORD>(std::max(m_framePeriod, 1));
    if (elapsed < period)
        return 1;
    if (!m_lock.TryEnter())
        return 0; // an export runs; the preview waits for it without holding up the timer
    bool stepped = false;
    if (m_mediaKind == kVideoKind && *m_video && (*m_video)->IsOpen() && m_frameCount > 1) {
        // A video steps one frame a tick however late the tick is.
        m_frameIndex = FailureOnThrow(m_frameIndex, [this] { return (*m_video)->StepLooping(m_frameIndex, kMostFramesRead); });
        stepped = true;
    } else if (m_mediaKind == kGifKind && *m_picture && m_frameCount > 1) {
        m_frameIndex = static_cast<int>((m_frameIndex + static_cast<unsigned long long>(elapsed / period)) %
                                        static_cast<unsigned>(m_frameCount));
        stepped = true;
    }
    m_lock.Leave();
    m_lastAdvance = now;
    if (stepped)
        requestRepaint();
    return 0;
}

void LEDImageCtrl2::DrawControl(HDC& dc, CRect)
{
    const int width = m_rect.Width();
    const int height = m_rect.Height();
    const bool sized = m_memPicture.width() == width && m_memPicture.height() == height;
    if (!(m_update && sized) && (!sized || !*m_exportBusy)) {
        // Never waits on the medium, which an export holds for its whole length: the kept
        // picture shows (a resized one without the medium) and stays stale until it ends.
        TryLock medium(m_lock);
        if (medium.held() || !sized) {
            UpdateMemDC(dc, width, height);
            MRender::BitBlt(m_memPicture.dc(), 0, 0, width, height, dc, m_rect.left, m_rect.top);
            drawScreen(m_memPicture.dc(), width, height, medium.held());
            m_update = medium.held() ? 1 : 0;
        }
    }
    if (m_memPicture.dc())
        MRender::BitBlt(dc, m_rect.left, m_rect.top, width, height, m_memPicture.dc(), 0, 0);
}

void LEDImageCtrl2::drawScreen(HDC dc, int width, int height, bool withMedium)
{
    Gdiplus::Graphics g(dc);
    g.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
    ::SetBkMode(dc, TRANSPARENT);
    if (m_screenType == 1) {
        const CRect disc((width - kDiscSide) / 2, (height - kDiscSide) / 2, (width + kDiscSide) / 2,
                         (height + kDiscSide) / 2);
        Gdiplus::GraphicsPath outline;
        outline.AddEllipse(disc.left, disc.top, kDiscSide, kDiscSide);
        g.SetClip(&outline);
        Gdiplus::SolidBrush black(kScreenBlack);
        g.FillEllipse(&black, disc.left, disc.top, kDiscSide, kDiscSide);
        if (withMedium)
            drawMedium(g, dc, CRect(disc.left, disc.top, disc.left + kDiscSide, disc.top + kDiscSide), true);
        return;
    }
    const int side = m_screenType == 3 ? 480 : 640;
    const int x0 = (width - side) / 2;
    const int y0 = (height - 480) / 2;
    MRender::DrawRoundRectange(g, static_cast<float>(x0 - kBezel), static_cast<float>(y0 - kBezel),
                               static_cast<float>(side + 2 * kBezel), static_cast<float>(480 + 2 * kBezel),
                               kBezelRadius, kBezelColour);
    Gdiplus::SolidBrush black(kScreenBlack);
    g.FillRectangle(&black, x0, y0, side, 480);
    if (withMedium)
        drawMedium(g, dc, CRect(x0, y0, x0 + side, y0 + 480), false);
}

void LEDImageCtrl2::drawMedium(Gdiplus::Graphics& g, HDC dc, const CRect& screen, bool round)
{
    ScopedLock lock(m_lock);
    FailureOnThrow(false, [&] { return drawMediumUnlocked(g, dc, screen, round); });
}

bool LEDImageCtrl2::drawMediumUnlocked(Gdiplus::Graphics& g, HDC dc, const CRect& screen, bool round)
{
    Gdiplus::Image* picture = m_picture->get();
    if (drawable(picture)) {
        // Wine's GDI+ takes a good part of a second to select a GIF frame: only a new one is.
        if (m_mediaKind == kGifKind && m_selectedFrame != m_frameIndex) {
            picture->SelectActiveFrame(&Gdiplus::FrameDimensionTime, static_cast<UINT>(m_frameIndex));
            m_selectedFrame = m_frameIndex;
        }
        g.DrawImage(picture, screen.left, screen.top, screen.Width(), screen.Height());
        return true;
    }
    if (!*m_video || !(*m_video)->IsOpen() || (*m_video)->Frame().empty())
        return true;
    if (round) {
        // Through GDI+, so that the disc's clip holds.
        std::unique_ptr<Gdiplus::Bitmap> frame(MatToBitmap((*m_video)->Frame()));
        if (frame)
            g.DrawImage(frame.get(), screen.left, screen.top, screen.Width(), screen.Height());
        return true;
    }
    g.Flush(Gdiplus::FlushIntentionSync);
    DrawFrame(dc, (*m_video)->Frame(), screen);
    return true;
}

void LEDImageCtrl2::DrawFrame(HDC& dc, cv::Mat& frame, CRect target)
{
    if (!*m_video)
        m_video->reset(new VideoClip);
    (*m_video)->Blit(dc, frame, target);
}

// ---- the exports

void LEDImageCtrl2::SaveStartUpAnimeImage(CString prefix, float angle)
{
    ExportBusy busy(*m_exportBusy);
    FailureOnThrow(false, [&] {
        if (m_mediaKind == kGifKind) {
            exportGifFrames(prefix, angle + kStartUpExtraAngle);
            return false;
        }
        if (m_mediaKind == kVideoKind) {
            exportVideoFrames(prefix, angle);
            return false;
        }
        ExportCanvas canvas(m_screenType, angle + kStartUpExtraAngle);
        ScopedLock lock(m_lock);
        if (!*m_picture)
            return false;
        canvas.draw(m_picture->get());
        canvas.save(numberedFile(prefix, 0), kPlainQuality);
        return true;
    });
}

void LEDImageCtrl2::exportGifFrames(const CString& prefix, float angle)
{
    // Loaded again, not the preview's picture, whose frame the preview keeps selecting.
    ExportGif gif(m_mediaPath);
    if (gif.frames() == 0)
        return;
    ExportCanvas canvas(m_screenType, angle);
    DWORD total = 0;
    for (int i = 0; i < m_frameCount && total < kStartUpBytes; ++i) {
        canvas.draw(gif.frame(i));
        total += canvas.save(numberedFile(prefix, i), kGifFrameQuality);
    }
}

void LEDImageCtrl2::exportVideoFrames(const CString& prefix, float angle)
{
    ScopedLock lock(m_lock);
    if (!*m_video || !(*m_video)->IsOpen())
        return;
    VideoClip& clip = **m_video;
    // The preview goes on from where it stood: its frame and the capture's position come back.
    const int previewPosition = clip.Decoded();
    const cv::Mat previewFrame = clip.Frame();
    clip.Seek(0);
    cv::Mat turned;
    DWORD total = 0;
    for (int n = 0; total < kStartUpBytes && clip.Read(); ++n) {
        const cv::Mat& frame = clip.Frame();
        const cv::Mat turn =
            cv::getRotationMatrix2D(cv::Point2f(frame.cols * 0.5f, frame.rows * 0.5f), -angle, 1.0);
        cv::warpAffine(frame, turned, turn, frame.size(), cv::INTER_LINEAR, cv::BORDER_CONSTANT, cv::Scalar());
        total += WriteJpegFile(numberedFile(prefix, n), turned, kVideoFrameQuality);
    }
    clip.Seek(previewPosition);
    clip.Frame() = previewFrame;
}

void LEDImageCtrl2::SaveSTBYAnimeImage(CString fileName, float angle)
{
    ExportBusy busy(*m_exportBusy);
    FailureOnThrow(false, [&] {
        ExportCanvas canvas(m_screenType, angle);
        {
            ScopedLock lock(m_lock);
            if (drawable(m_picture->get()))
                canvas.draw(m_picture->get());
        }
        canvas.save(fileName, kPlainQuality);
        return true;
    });
}

void LEDImageCtrl2::GetGIF2PAKSize(CString prefix, CString gifPath)
{
    ExportBusy busy(*m_exportBusy);
    FailureOnThrow(false, [&] {
        {
            ScopedLock lock(m_lock);
            if (!drawable(m_picture->get()))
                return false;
        }
        ExportGif gif(gifPath);
        // The small screens take these frames turned a quarter; the wide one as they are.
        ExportCanvas canvas(m_screenType, isSmallScreen(m_screenType) ? 90.0f : 0.0f);
        for (int i = 0; i < gif.frames(); ++i) {
            canvas.draw(gif.frame(i));
            canvas.save(numberedFile(prefix, i), kPlainQuality);
        }
        return true;
    });
}

} // namespace KOVA
