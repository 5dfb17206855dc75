// The video view: opening a video, the playback step, the shown frame, the thumbnails and the
// frame cache. The exporters are in OpenCVViewCtrlExport.cpp.
//
// Threads: OnControlTimer runs on the fast-timer thread, everything else on the GUI thread.
// m_lock guards the capture and the frame indices; the tick only tries it, so that it never
// waits on a draw or an export (which holds it throughout). Repaint requests go out after
// the lock is released.
#include "lcd/media/OpenCVViewCtrl.h"

#include <algorithm>
#include <vector>

#include <opencv2/imgproc.hpp>

#include "lcd/renderer/LcdImageHelpers.h"
#include "lcd/media/VideoClip.h"
#include "platform/TimeSource.h"

namespace KOVA {

namespace {
constexpr int kLargestSide = 1920;
constexpr int kTooLarge = 10;
// Catching up further than this decodes more than a seek costs.
constexpr int kMostFramesRead = 5;
// A tick steps at most this many frames; a player further behind gives up catching up.
constexpr int kMostSteps = 2;
constexpr int kMostLagPeriods = 3;
constexpr int kMostThumbnails = 30;
} // namespace

struct OpenCVViewCtrl::Frames {
    cv::Mat shown;        // the frame on show
    int shownIndex { -1 }; // its index; -1 for none
    std::vector<cv::Mat> thumbnails;
    std::vector<cv::Mat> cache;
    int cacheStart { -1 };
};

void OpenCVViewCtrl::FramesDeleter::operator()(Frames* frames) const
{
    delete frames;
}

OpenCVViewCtrl::OpenCVViewCtrl(MObject* parent, UINT id, CRect rect, int visible, int enabled)
    : MediaCropView(parent, id, rect, visible, enabled)
{
}

OpenCVViewCtrl::~OpenCVViewCtrl()
{
    StopFastTimer();
}

const wchar_t* OpenCVViewCtrl::GetClassNameW() const { return L"OpenCVViewCtrl"; }

VideoClip& OpenCVViewCtrl::clip()
{
    if (!*m_clip)
        m_clip->reset(new VideoClip);
    return **m_clip;
}

OpenCVViewCtrl::Frames& OpenCVViewCtrl::frames()
{
    if (!*m_frames)
        m_frames->reset(new Frames);
    return **m_frames;
}

bool OpenCVViewCtrl::isOpen() const
{
    return *m_clip && (*m_clip)->IsOpen();
}

// ---- opening

int OpenCVViewCtrl::SetFileName(CString path, int kind)
{
    ScopedLock lock(m_lock);
    return FailureOnThrow(0, [&] {
        VideoClip& video = clip();
        m_fileName = path;
        m_mediaKind = kind;
        Frames& kept = frames();
        kept.shown.release();
        kept.shownIndex = -1;
        kept.cache.clear();
        kept.cacheStart = -1;
        if (!video.Open(path))
            return 0;
        if (video.Width() > kLargestSide || video.Height() > kLargestSide) {
            video.Close();
            return kTooLarge;
        }
        m_mediaWidth = video.Width();
        m_mediaHeight = video.Height();
        m_currentFrame = 0;
        m_frameCount = std::max(video.FrameCount(), 0);
        m_rangeStart = 0;
        m_rangeEnd = m_frameCount;
        m_framePeriod = video.FramePeriod();
        // Playback starts at frame 0: the first step comes a frame period from now.
        m_lastStepTime = TimeSource::Milliseconds();
        PlaceCropForNewMedium();
        ShowFrameThumbnails();
        video.Seek(0);
        return 1;
    });
}

void OpenCVViewCtrl::StopVideoView()
{
    ScopedLock lock(m_lock);
    if (isOpen())
        clip().Close();
}

void OpenCVViewCtrl::OptimizePlayback()
{
    ScopedLock lock(m_lock);
    if (isOpen())
        clip().SetBufferSize(1);
}

// ---- reading frames (under m_lock)

bool OpenCVViewCtrl::positionCapture(int index)
{
    VideoClip& video = clip();
    const int behind = index - video.Decoded();
    if (behind < 0 || behind > kMostFramesRead) {
        video.Seek(index);
        return true;
    }
    while (video.Decoded() < index)
        if (!video.Read())
            return false;
    return true;
}

bool OpenCVViewCtrl::readShownFrame(int index)
{
    VideoClip& video = clip();
    if (!positionCapture(index) || !video.Read())
        return false;
    Frames& kept = frames();
    kept.shown = video.Frame();
    kept.shownIndex = index;
    return true;
}

// ---- playback

int OpenCVViewCtrl::wrapIntoRange(int target) const
{
    if (target < m_rangeEnd)
        return target;
    const int length = m_rangeEnd - m_rangeStart;
    return length > 0 ? (target - m_rangeEnd) % length + m_rangeStart : m_rangeStart;
}

int OpenCVViewCtrl::OnControlTimer()
{
    if (!m_run || !m_visible || ExportMessage() != 0)
        return 0;
    const DWORD now = TimeSource::Milliseconds();
    {
        TryLock lock(m_lock);
        const int period = m_framePeriod;
        if (!lock.held() || !isOpen() || period <= 0)
            return 0;
        const DWORD elapsed = now - m_lastStepTime;
        if (elapsed < static_cast<DWORD>(period))
            return 0;
        const int steps = static_cast<int>(std::min<DWORD>(elapsed / static_cast<DWORD>(period), kMostSteps));
        const int target = wrapIntoRange(m_currentFrame + steps);
        if (target != m_currentFrame) {
            m_currentFrame = target;
            // The capture follows the index here, so that paints the window merges still show
            // the frame due; the draw reads the one frame it shows.
            if (!FailureOnThrow(false, [&] { return positionCapture(target); })) {
                m_currentFrame = m_rangeStart;
                clip().Seek(m_rangeStart);
            }
        }
        m_lastStepTime += static_cast<DWORD>(period * steps);
        if (now - m_lastStepTime > static_cast<DWORD>(kMostLagPeriods * period))
            m_lastStepTime = now;
    }
    RequestRepaint();
    return 0;
}

void OpenCVViewCtrl::ShowFrame(int frame)
{
    ScopedLock lock(m_lock);
    FailureOnThrow(false, [&] {
        m_currentFrame = frame;
        if (isOpen())
            positionCapture(frame);
        return true;
    });
}

// ---- drawing

void OpenCVViewCtrl::DrawPicture(HDC dc, const CRect& view)
{
    ScopedLock lock(m_lock);
    FailureOnThrow(false, [&] {
        if (!isOpen())
            return false;
        Frames& kept = frames();
        const bool ready = m_currentFrame < m_rangeEnd && (kept.shownIndex == m_currentFrame || readShownFrame(m_currentFrame));
        if (!ready) {
            // Past the range, or past what the file holds: playback starts over.
            m_currentFrame = m_rangeStart;
            if (!readShownFrame(m_rangeStart)) {
                kept.shown.release();
                kept.shownIndex = -1;
                return false;
            }
        }
        const CRect place = GetImageRect(kept.shown.cols, kept.shown.rows, view);
        clip().Blit(dc, kept.shown, place);
        return true;
    });
}

int OpenCVViewCtrl::ThumbnailCount() const
{
    return *m_frames && m_frameCount > 0 ? static_cast<int>((*m_frames)->thumbnails.size()) : 0;
}

void OpenCVViewCtrl::DrawThumbnail(HDC dc, int index, const CRect& place)
{
    clip().Blit(dc, frames().thumbnails[static_cast<size_t>(index)], place);
}

// ---- thumbnails and the frame cache

int OpenCVViewCtrl::ShowFrameThumbnails()
{
    ScopedLock lock(m_lock);
    return FailureOnThrow(0, [&] {
        if (!isOpen() || m_frameCount <= 0)
            return 0;
        int wanted = kMostThumbnails;
        m_thumbnailWidth = m_thumbnailHeight = 24;
        if (m_frameCount < kMostThumbnails) {
            wanted = m_frameCount;
            // A play bar of no width still gets thumbnails of a pixel: nothing is scaled to nothing.
            m_thumbnailWidth = std::max(static_cast<int>(m_playBar.right - m_playBar.left) / m_frameCount, 1);
        }
        std::vector<cv::Mat>& thumbnails = frames().thumbnails;
        thumbnails.clear();
        // Spread from the range's first frame to its last (the range ends before m_rangeEnd); an
        // empty range spreads up to the last frame of the video.
        const int last = (m_rangeEnd > m_rangeStart ? m_rangeEnd : m_frameCount) - 1;
        const int span = std::max(last - m_rangeStart, 0);
        const size_t most = static_cast<size_t>(std::min(wanted, span + 1));
        const double step = most > 1 ? static_cast<double>(span) / static_cast<double>(most - 1) : 0.0;
        VideoClip& video = clip();
        const int remembered = video.Decoded();
        video.Seek(m_rangeStart);
        int next = m_rangeStart;
        for (int f = m_rangeStart; thumbnails.size() < most && f <= last && video.Read(); ++f) {
            if (next > f)
                continue;
            cv::Mat small;
            cv::resize(video.Frame(), small, cv::Size(m_thumbnailWidth, m_thumbnailHeight), 0, 0, cv::INTER_LINEAR);
            thumbnails.push_back(small);
            next = static_cast<int>(static_cast<double>(thumbnails.size()) * step) + m_rangeStart;
        }
        video.Seek(remembered);
        return 1;
    });
}

int OpenCVViewCtrl::GetFrameThumbnail(cv::Mat& out, int frame, int width, int height)
{
    ScopedLock lock(m_lock);
    return FailureOnThrow(0, [&] {
        const int index = frame == -1 ? m_currentFrame : frame;
        if (!isOpen() || width <= 0 || height <= 0 || index < 0 || index >= m_frameCount)
            return 0;
        VideoClip& video = clip();
        const int remembered = video.Decoded();
        video.Seek(index);
        const bool read = video.Read();
        if (read)
            cv::resize(video.Frame(), out, cv::Size(width, height), 0, 0, cv::INTER_LINEAR);
        video.Seek(remembered);
        return read ? 1 : 0;
    });
}

bool OpenCVViewCtrl::CacheNextFrames(int count)
{
    ScopedLock lock(m_lock);
    return FailureOnThrow(false, [&] {
        if (!isOpen() || count <= 0)
            return false;
        Frames& kept = frames();
        if (kept.cacheStart == m_currentFrame && !kept.cache.empty())
            return true;
        kept.cache.clear();
        // No more than a 32-bit process can keep beside everything else.
        const long long frameBytes = std::max(static_cast<long long>(m_mediaWidth) * m_mediaHeight * 3, 1LL);
        count = static_cast<int>(std::min<long long>(count, std::max(kMostCachedFrameBytes / frameBytes, 1LL)));
        kept.cache.reserve(static_cast<size_t>(std::min(count, std::max(m_frameCount - m_currentFrame, 1))));
        VideoClip& video = clip();
        const int remembered = video.Decoded();
        video.Seek(m_currentFrame);
        while (static_cast<int>(kept.cache.size()) < count && video.Read())
            kept.cache.push_back(video.Frame().clone());
        kept.cacheStart = m_currentFrame;
        video.Seek(remembered);
        return !kept.cache.empty();
    });
}

bool OpenCVViewCtrl::GetCachedFrame(int frame, cv::Mat& out)
{
    ScopedLock lock(m_lock);
    if (!*m_frames)
        return false;
    const Frames& kept = **m_frames;
    const int i = frame - kept.cacheStart;
    if (kept.cacheStart < 0 || i < 0 || i >= static_cast<int>(kept.cache.size()))
        return false;
    out = kept.cache[static_cast<size_t>(i)];
    return true;
}

} // namespace KOVA
