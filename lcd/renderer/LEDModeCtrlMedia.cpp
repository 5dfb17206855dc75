// The LCD renderer's media: the video, animated GIF or picture of the file screen and the
// background of the clock faces, the frame period they set, the video's step on the tick, and
// decoded frames put on a device context.
//
// Threads: the loaders run on the host's thread, the step and the clock video's catch-up on
// the fast-timer thread, DrawFrame inside both renders; all of them under the state lock
// (DrawFrame's callers hold it), except the loaders' reading of the file, which comes before.
// The pictures a frame draws come from its snapshot; the video is not copied into it, so the
// renders take the state lock around reading and drawing its frame. The loaders raise their
// repaint request after releasing it.
#include "lcd/renderer/LEDModeCtrl.h"

#include <memory>
#include <vector>

#include "framework/MRender.h"
#include "lcd/media/GifDelays.h"
#include "lcd/renderer/LcdImageHelpers.h"
#include "lcd/media/VideoClip.h"

namespace KOVA {

namespace {
// Catching up further than this decodes more than a seek costs.
constexpr int kMostFramesRead = 5;
// A medium read from its file before the state lock is taken: opening a long or large video
// or decoding a picture takes long enough to hold up every frame and tick waiting on it.
struct FreshMedium {
    VideoClipPtr video; // open, or null when the file does not open as a video
    std::unique_ptr<Gdiplus::Image> image;
    int gifFrames { 0 };
    std::vector<int> delays;
};

// primeVideo decodes the first frame here too: the decoder's first frame after opening costs
// many times a later one (a tenth of a second for 1080p), which the tick must not spend.
FreshMedium readMedium(const CString& path, int kind, bool primeVideo)
{
    FreshMedium fresh;
    if (kind == MediaKindVideo) {
        fresh.video.reset(new VideoClip);
        if (!fresh.video->Open(path))
            fresh.video.reset();
        else if (primeVideo)
            fresh.video->CatchUp(1, 1);
        return fresh;
    }
    fresh.image.reset(MRender::LoadImageFromFile(path));
    if (fresh.image && IsPictureTooLarge(fresh.image->GetWidth(), fresh.image->GetHeight()))
        fresh.image.reset();
    if (fresh.image && kind == MediaKindGif) {
        fresh.gifFrames = MRender::GetFirstDimensionFrameCount(fresh.image.get());
        if (fresh.gifFrames > 1)
            fresh.delays = ReadGifDelays(path);
    }
    return fresh;
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
    FreshMedium fresh = FailureOnThrow(FreshMedium(), [&] { return readMedium(path, kind, true); });
    // The video this replaces is closed after the lock is released.
    VideoClipPtr replaced;
    {
        ScopedLock lock(m_stateLock);
        m_frameIndex = 0;
        m_media = LcdImage();
        replaced = std::move(m_video);
        m_videoIsClocks = false;
        if (kind == MediaKindVideo) {
            if (!fresh.video)
                return;
            m_video = std::move(fresh.video);
            m_frameCount = m_video->FrameCount();
            m_framePeriod = m_video->FramePeriod(VideoClip::RateRule::WholeFrames);
            m_mediaKind = MediaKindVideo;
            m_media.width = m_video->Width();
            m_media.height = m_video->Height();
            m_imageCentre = CPoint(m_rect.Width() / 2, m_rect.Height() / 2);
        } else {
            m_mediaKind = kind;
            if (fresh.image && !takeFilePicture(std::move(fresh.image), fresh.gifFrames, fresh.delays))
                return;
        }
    }
    requestRepaint();
}

bool LEDModeCtrl::takeFilePicture(std::unique_ptr<Gdiplus::Image> image, int gifFrames, const std::vector<int>& delays)
{
    m_media.width = static_cast<int>(image->GetWidth());
    m_media.height = static_cast<int>(image->GetHeight());
    m_media.image = std::move(image);
    m_frameCount = 1;
    m_imageCentre = CPoint(m_rect.Width() / 2, m_rect.Height() / 2);
    readStoredSettings();
    if (m_carouselPosition.x <= 0 && m_carouselPosition.y <= 0)
        m_carouselPosition = defaultCarouselPosition();
    if (m_mediaKind != MediaKindGif)
        return true;
    m_frameCount = gifFrames;
    if (m_frameCount == 0) {
        m_media = LcdImage();
        return false;
    }
    if (m_frameCount > 1)
        m_framePeriod = GifFramePeriod(delays, GifPeriodRule::LastNonZeroDelay, m_framePeriod);
    return true;
}

void LEDModeCtrl::SetClockFileImage(CString path, int kind)
{
    // The clock faces read their video's frame as they draw it: nothing is read ahead for them.
    FreshMedium fresh = FailureOnThrow(FreshMedium(), [&] { return readMedium(path, kind, false); });
    VideoClipPtr replaced;
    {
        ScopedLock lock(m_stateLock);
        // The clock faces keep a still picture in their layer, a GIF's frames stretched.
        ++m_layerVersion;
        ++m_clockMediaSerial;
        m_clockFrameCount = 0;
        m_clockFrameIndex = 0;
        m_clockBackground = LcdImage();
        // A clock video the host clears or replaces lets go of its file now, not when the
        // renderer goes; a file screen's video stays unless a video replaces it.
        if (kind == MediaKindVideo || m_videoIsClocks) {
            replaced = std::move(m_video);
            m_videoIsClocks = false;
        }
        if (kind == MediaKindVideo) {
            if (!fresh.video)
                return;
            m_video = std::move(fresh.video);
            m_videoIsClocks = true;
            m_clockFrameCount = m_video->FrameCount();
            m_clockMediaKind = MediaKindVideo;
            m_framePeriod = m_video->FramePeriod(VideoClip::RateRule::WholeFrames);
        } else if (fresh.image && !takeClockPicture(std::move(fresh.image), kind, fresh.gifFrames, fresh.delays)) {
            return;
        }
    }
    requestRepaint();
}

bool LEDModeCtrl::takeClockPicture(std::unique_ptr<Gdiplus::Image> image, int kind, int gifFrames,
                                   const std::vector<int>& delays)
{
    m_clockBackground.width = static_cast<int>(image->GetWidth());
    m_clockBackground.height = static_cast<int>(image->GetHeight());
    m_clockBackground.image = std::move(image);
    m_clockMediaKind = kind;
    m_clockFrameCount = 1;
    if (kind != MediaKindGif)
        return true;
    m_clockFrameCount = gifFrames;
    if (m_clockFrameCount == 0) {
        m_clockBackground = LcdImage();
        return false;
    }
    if (m_clockFrameCount > 1)
        m_framePeriod = GifFramePeriod(delays, GifPeriodRule::FirstDelay, m_framePeriod);
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

void LEDModeCtrl::followClockVideo()
{
    if (m_clockMediaKind == MediaKindVideo && m_video && m_video->IsOpen())
        m_video->CatchUp(m_clockFrameIndex, kMostFramesRead);
}

// ---- drawing frames

void LEDModeCtrl::drawVideoFrame(Gdiplus::Graphics& g, HDC& dc)
{
    ScopedLock lock(m_stateLock);
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
