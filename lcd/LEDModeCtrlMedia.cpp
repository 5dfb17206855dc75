// The LCD renderer's media: the video, animated GIF or picture of the file screen and the
// background of the clock faces, the frame period they set, the video's step on the tick, and
// decoded frames put on a device context.
//
// Threads: the loaders run on the host's thread, the step and the clock seek on the fast-timer
// thread, DrawFrame inside both renders; all of them under the state lock (DrawFrame's callers
// hold it). The loaders raise their repaint request after releasing it.
#include "lcd/LEDModeCtrl.h"

#include <vector>

#include "framework/MRender.h"
#include "lcd/GifDelays.h"
#include "lcd/VideoClip.h"

namespace KOVA {

namespace {
// Catching up further than this decodes more than a seek costs.
constexpr int kMostFramesRead = 5;
// GIF delays are in hundredths of a second; none is shown shorter than this.
constexpr int kShortestGifPeriod = 16;
constexpr int kGifPeriodWithoutDelay = 100;

int gifPeriod(int delay)
{
    return delay * 10 > kShortestGifPeriod ? delay * 10 : kShortestGifPeriod;
}

bool loadPicture(Gdiplus::Image*& target, const CString& path)
{
    target = MRender::LoadImageFromFile(path);
    return target != nullptr;
}

} // namespace

VideoClip& LEDModeCtrl::video()
{
    if (!m_video)
        m_video.reset(new VideoClip);
    return *m_video;
}

// ---- loading

void LEDModeCtrl::SetFileImage(CString path, int kind)
{
    {
        ScopedLock lock(m_stateLock);
        m_frameIndex = 0;
        m_media = LcdImage();
        VideoClip& clip = video();
        clip.Close();
        if (kind == MediaKindVideo) {
            if (!clip.Open(path))
                return;
            m_frameCount = clip.FrameCount();
            m_framePeriod = clip.FramePeriod();
            m_mediaKind = MediaKindVideo;
            m_media.width = clip.Width();
            m_media.height = clip.Height();
            m_imageCentre = CPoint(m_rect.Width() / 2, m_rect.Height() / 2);
        } else {
            m_mediaKind = kind;
            Gdiplus::Image* image = nullptr;
            if (loadPicture(image, path) && !takeFilePicture(image, path))
                return;
        }
    }
    requestRepaint();
}

bool LEDModeCtrl::takeFilePicture(Gdiplus::Image* image, const CString& path)
{
    m_media.image.reset(image);
    m_frameCount = 1;
    m_media.width = static_cast<int>(image->GetWidth());
    m_media.height = static_cast<int>(image->GetHeight());
    m_imageCentre = CPoint(m_rect.Width() / 2, m_rect.Height() / 2);
    readStoredSettings();
    if (m_carouselPosition.x <= 0 && m_carouselPosition.y <= 0)
        m_carouselPosition = defaultCarouselPosition();
    if (m_mediaKind != MediaKindGif)
        return true;
    m_frameCount = MRender::GetFirstDimensionFrameCount(image);
    if (m_frameCount == 0) {
        m_media = LcdImage();
        return false;
    }
    if (m_frameCount > 1) {
        const std::vector<int> delays = ReadGifDelays(path);
        if (!delays.empty())
            m_framePeriod = kGifPeriodWithoutDelay;
        for (int delay : delays)
            if (delay > 0)
                m_framePeriod = gifPeriod(delay);
    }
    return true;
}

void LEDModeCtrl::SetClockFileImage(CString path, int kind)
{
    {
        ScopedLock lock(m_stateLock);
        // The clock faces keep a still picture in their layer.
        ++m_layerVersion;
        m_clockFrameCount = 0;
        m_clockFrameIndex = 0;
        m_clockBackground = LcdImage();
        if (kind == MediaKindVideo) {
            VideoClip& clip = video();
            if (!clip.Open(path))
                return;
            m_clockFrameCount = clip.FrameCount();
            m_clockMediaKind = MediaKindVideo;
            m_framePeriod = clip.FramePeriod();
        } else {
            Gdiplus::Image* image = nullptr;
            if (loadPicture(image, path) && !takeClockPicture(image, path, kind))
                return;
        }
    }
    requestRepaint();
}

bool LEDModeCtrl::takeClockPicture(Gdiplus::Image* image, const CString& path, int kind)
{
    m_clockBackground.image.reset(image);
    m_clockBackground.width = static_cast<int>(image->GetWidth());
    m_clockBackground.height = static_cast<int>(image->GetHeight());
    m_clockMediaKind = kind;
    m_clockFrameCount = 1;
    if (kind != MediaKindGif)
        return true;
    m_clockFrameCount = MRender::GetFirstDimensionFrameCount(image);
    if (m_clockFrameCount == 0) {
        m_clockBackground = LcdImage();
        return false;
    }
    if (m_clockFrameCount > 1) {
        const std::vector<int> delays = ReadGifDelays(path);
        if (!delays.empty())
            m_framePeriod = gifPeriod(delays.front());
    }
    return true;
}

// ---- the tick's steps

bool LEDModeCtrl::stepFileVideo()
{
    if (!m_video || !m_video->IsOpen() || m_frameCount <= 1)
        return false;
    if (++m_frameIndex >= m_frameCount) {
        // The frame shown last stays until the first frame is read again.
        m_frameIndex = 0;
        m_video->Seek(0);
        return true;
    }
    m_video->CatchUp(m_frameIndex, kMostFramesRead);
    return true;
}

void LEDModeCtrl::seekClockVideo()
{
    if (m_clockMediaKind == MediaKindVideo && m_video && m_video->IsOpen())
        m_video->Seek(m_clockFrameIndex);
}

// ---- drawing frames

void LEDModeCtrl::drawVideoFrame(Gdiplus::Graphics& g, HDC& dc)
{
    if (!m_video || !m_video->IsOpen() || m_video->Frame().empty())
        return;
    // What GDI+ has drawn so far must land before GDI draws over it.
    g.Flush(Gdiplus::FlushIntentionSync);
    int width = m_video->Width();
    int height = m_video->Height();
    DrawFrame(dc, m_video->Frame(), width, height);
}

void LEDModeCtrl::DrawFrame(HDC& dc, cv::Mat& frame, int&, int&)
{
    // The frame's own size: a frame may differ from the size the capture reported.
    const int sw = static_cast<int>(static_cast<double>(m_imageScale) * frame.cols);
    const int sh = static_cast<int>(static_cast<double>(m_imageScale) * frame.rows);
    const RECT target { m_imageCentre.x - sw / 2, m_imageCentre.y - sh / 2, m_imageCentre.x - sw / 2 + sw,
                        m_imageCentre.y - sh / 2 + sh };
    video().Blit(dc, frame, target);
}

void LEDModeCtrl::DrawFrame(HDC& dc, cv::Mat& frame, int&, int&, CRect rect)
{
    video().Blit(dc, frame, rect);
}

} // namespace KOVA
