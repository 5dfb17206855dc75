// The LCD renderer's media: the video, animated GIF or picture of the file screen and the
// background of the clock faces, the frame period they set, the video's step on the tick, and
// decoded frames put on a device context.
//
// Threads: the loaders run on the host's thread, the step and the clock seek on the fast-timer
// thread, DrawFrame inside both renders; all of them under the state lock (DrawFrame's callers
// hold it). The loaders raise their repaint request after releasing it.
#include "lcd/LEDModeCtrl.h"

#include <cstdio>
#include <vector>

#include <gif_lib.h>

#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>
#include <opencv2/videoio.hpp>

#include "framework/MRender.h"
#include "lcd/LcdImageHelpers.h"

namespace KOVA {

struct LcdVideo {
    cv::VideoCapture capture;
    cv::Mat frame;         // the last frame read
    int width { 0 };       // as the capture reports them
    int height { 0 };
    int decoded { 0 };     // the frame the capture delivers next
    // What DrawFrame makes of a frame that is not 8-bit BGR with rows GDI can take as they are.
    cv::Mat converted;
    std::vector<BYTE> paddedRows;
};

void LcdVideoDeleter::operator()(LcdVideo* video) const
{
    delete video;
}

namespace {
// Catching up further than this decodes more than a seek costs.
constexpr int kMostFramesRead = 5;
// A rate the capture reports as 0, not a number or beyond reason plays at this one.
constexpr int kFallbackRate = 30;
constexpr int kMostRate = 1000;
// GIF delays are in hundredths of a second; none is shown shorter than this.
constexpr int kShortestGifPeriod = 16;
constexpr int kGifPeriodWithoutDelay = 100;

int periodForRate(double fps)
{
    const int rate = (fps >= 1.0 && fps <= kMostRate) ? static_cast<int>(fps) : kFallbackRate;
    return static_cast<int>(1000.0 / rate);
}

int gifPeriod(int delay)
{
    return delay * 10 > kShortestGifPeriod ? delay * 10 : kShortestGifPeriod;
}

int readFromFile(GifFileType* gif, GifByteType* into, int count)
{
    return static_cast<int>(fread(into, 1, static_cast<size_t>(count), static_cast<FILE*>(gif->UserData)));
}

bool skipImageData(GifFileType* gif)
{
    int codeSize = 0;
    GifByteType* block = nullptr;
    if (DGifGetCode(gif, &codeSize, &block) != GIF_OK)
        return false;
    while (block)
        if (DGifGetCodeNext(gif, &block) != GIF_OK)
            return false;
    return true;
}

// The delay of every frame that has one, in hundredths of a second, in frame order; a file
// cut short gives the delays of the frames before the cut. Read here, not through GDI+: Wine's
// GDI+ loses the delays of frames that carry an application extension.
std::vector<int> readGifDelays(const CString& path)
{
    std::vector<int> delays;
    FILE* file = _wfopen(path, L"rb");
    if (!file)
        return delays;
    int error = 0;
    GifFileType* gif = DGifOpen(file, readFromFile, &error);
    GifRecordType type = UNDEFINED_RECORD_TYPE;
    int pendingDelay = -1;
    while (gif && DGifGetRecordType(gif, &type) == GIF_OK && type != TERMINATE_RECORD_TYPE) {
        if (type == IMAGE_DESC_RECORD_TYPE) {
            if (DGifGetImageDesc(gif) != GIF_OK || !skipImageData(gif))
                break;
            if (pendingDelay >= 0)
                delays.push_back(pendingDelay);
            pendingDelay = -1;
            continue;
        }
        int code = 0;
        GifByteType* block = nullptr;
        if (type != EXTENSION_RECORD_TYPE || DGifGetExtension(gif, &code, &block) != GIF_OK)
            break;
        GraphicsControlBlock control {};
        if (code == GRAPHICS_EXT_FUNC_CODE && block && DGifExtensionToGCB(block[0], block + 1, &control) == GIF_OK)
            pendingDelay = control.DelayTime;
        while (block && DGifGetExtensionNext(gif, &block) == GIF_OK) {
        }
    }
    if (gif)
        DGifCloseFile(gif, &error);
    fclose(file);
    return delays;
}

bool loadPicture(Gdiplus::Image*& target, const CString& path)
{
    target = MRender::LoadImageFromFile(path);
    return target != nullptr;
}

// The frame as 8-bit BGR: itself, or converted into spare. Null for a channel count GDI has no
// picture for.
const cv::Mat* eightBitBgr(const cv::Mat& frame, cv::Mat& spare)
{
    const cv::Mat* source = &frame;
    if (frame.depth() != CV_8U) {
        const double scale = frame.depth() == CV_16U || frame.depth() == CV_16S ? 1.0 / 257.0
                             : frame.depth() == CV_8S                         ? 1.0
                                                                              : 255.0;
        frame.convertTo(spare, CV_8U, scale);
        source = &spare;
    }
    switch (source->channels()) {
    case 3:
        return source;
    case 1:
        cv::cvtColor(*source, spare, cv::COLOR_GRAY2BGR);
        return &spare;
    case 4:
        cv::cvtColor(*source, spare, cv::COLOR_BGRA2BGR);
        return &spare;
    default:
        return nullptr;
    }
}

// Scales the frame onto target with GDI's halftone stretch, straight from its pixels when its
// rows are already DWORD-aligned, else from rows padded into video.paddedRows.
void blitFrame(HDC dc, const cv::Mat& frame, LcdVideo& video, const RECT& target)
{
    if (frame.empty())
        return;
    const cv::Mat* bgr = eightBitBgr(frame, video.converted);
    if (!bgr)
        return;
    const size_t rowBytes = static_cast<size_t>(bgr->cols) * 3;
    const size_t stride = (rowBytes + 3) & ~static_cast<size_t>(3);
    const void* bits = bgr->data;
    if (!bgr->isContinuous() || stride != rowBytes) {
        video.paddedRows.resize(stride * static_cast<size_t>(bgr->rows));
        for (int row = 0; row < bgr->rows; ++row)
            memcpy(video.paddedRows.data() + stride * static_cast<size_t>(row), bgr->ptr(row), rowBytes);
        bits = video.paddedRows.data();
    }
    BITMAPINFO info {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = bgr->cols;
    info.bmiHeader.biHeight = -bgr->rows;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    const int previous = ::SetStretchBltMode(dc, HALFTONE);
    ::StretchDIBits(dc, target.left, target.top, target.right - target.left, target.bottom - target.top, 0, 0,
                    bgr->cols, bgr->rows, bits, &info, DIB_RGB_COLORS, SRCCOPY);
    ::SetStretchBltMode(dc, previous);
}
} // namespace

LcdVideo& LEDModeCtrl::video()
{
    if (!m_video)
        m_video.reset(new LcdVideo);
    return *m_video;
}

// ---- loading

void LEDModeCtrl::SetFileImage(CString path, int kind)
{
    {
        ScopedLock lock(m_stateLock);
        m_frameIndex = 0;
        m_media = LcdImage();
        LcdVideo& clip = video();
        clip.capture.release();
        if (kind == MediaKindVideo) {
            if (!clip.capture.open(WideToAnsiString(path), cv::CAP_ANY) || !clip.capture.isOpened())
                return;
            clip.width = static_cast<int>(clip.capture.get(cv::CAP_PROP_FRAME_WIDTH));
            clip.height = static_cast<int>(clip.capture.get(cv::CAP_PROP_FRAME_HEIGHT));
            clip.decoded = 0;
            m_frameCount = static_cast<int>(clip.capture.get(cv::CAP_PROP_FRAME_COUNT));
            m_framePeriod = periodForRate(clip.capture.get(cv::CAP_PROP_FPS));
            m_mediaKind = MediaKindVideo;
            m_media.width = clip.width;
            m_media.height = clip.height;
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
        const std::vector<int> delays = readGifDelays(path);
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
        m_clockFrameCount = 0;
        m_clockFrameIndex = 0;
        m_clockBackground = LcdImage();
        if (kind == MediaKindVideo) {
            LcdVideo& clip = video();
            if (!clip.capture.open(WideToAnsiString(path), cv::CAP_ANY) || !clip.capture.isOpened())
                return;
            clip.width = static_cast<int>(clip.capture.get(cv::CAP_PROP_FRAME_WIDTH));
            clip.height = static_cast<int>(clip.capture.get(cv::CAP_PROP_FRAME_HEIGHT));
            m_clockFrameCount = static_cast<int>(clip.capture.get(cv::CAP_PROP_FRAME_COUNT));
            m_clockMediaKind = MediaKindVideo;
            m_framePeriod = periodForRate(clip.capture.get(cv::CAP_PROP_FPS));
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
        const std::vector<int> delays = readGifDelays(path);
        if (!delays.empty())
            m_framePeriod = gifPeriod(delays.front());
    }
    return true;
}

// ---- the tick's steps

bool LEDModeCtrl::stepFileVideo()
{
    if (!m_video || !m_video->capture.isOpened() || m_frameCount <= 1)
        return false;
    LcdVideo& clip = *m_video;
    if (++m_frameIndex >= m_frameCount) {
        // The frame shown last stays until the first frame is read again.
        m_frameIndex = 0;
        clip.capture.set(cv::CAP_PROP_POS_FRAMES, 0);
        clip.decoded = 0;
        return true;
    }
    const int behind = m_frameIndex - clip.decoded;
    if (behind > kMostFramesRead || behind < -kMostFramesRead) {
        clip.capture.set(cv::CAP_PROP_POS_FRAMES, m_frameIndex);
        clip.decoded = m_frameIndex;
        return true;
    }
    // A capture that has gone ahead waits for the index to come to it.
    while (clip.decoded < m_frameIndex && clip.capture.isOpened()) {
        clip.capture >> clip.frame;
        ++clip.decoded;
    }
    return true;
}

void LEDModeCtrl::seekClockVideo()
{
    if (m_clockMediaKind == MediaKindVideo && m_video && m_video->capture.isOpened())
        m_video->capture.set(cv::CAP_PROP_POS_FRAMES, m_clockFrameIndex);
}

// ---- drawing frames

void LEDModeCtrl::drawVideoFrame(Gdiplus::Graphics& g, HDC& dc)
{
    if (!m_video || !m_video->capture.isOpened() || m_video->frame.empty())
        return;
    // What GDI+ has drawn so far must land before GDI draws over it.
    g.Flush(Gdiplus::FlushIntentionSync);
    DrawFrame(dc, m_video->frame, m_video->width, m_video->height);
}

void LEDModeCtrl::DrawFrame(HDC& dc, cv::Mat& frame, int&, int&)
{
    // The frame's own size: a frame may differ from the size the capture reported.
    const int sw = static_cast<int>(static_cast<double>(m_imageScale) * frame.cols);
    const int sh = static_cast<int>(static_cast<double>(m_imageScale) * frame.rows);
    const RECT target { m_imageCentre.x - sw / 2, m_imageCentre.y - sh / 2, m_imageCentre.x - sw / 2 + sw,
                        m_imageCentre.y - sh / 2 + sh };
    blitFrame(dc, frame, video(), target);
}

void LEDModeCtrl::DrawFrame(HDC& dc, cv::Mat& frame, int&, int&, CRect rect)
{
    blitFrame(dc, frame, video(), rect);
}

} // namespace KOVA
