// The video view's exporters: the selected range of frames, cut to the crop rectangle and
// fitted to the LCD size, as an animated GIF (through numbered JPEG frames, GifFramesExport)
// or as an MP4 file. Both run on the caller's thread inside an ExportScope, which freezes the
// drawing and the playback tick and holds m_lock on every path out; progress is posted to the
// window, so the caller may be the window's own thread.
#include "lcd/media/OpenCVViewCtrl.h"

#include <algorithm>
#include <exception>

#include <opencv2/imgproc.hpp>
#include <opencv2/videoio.hpp>

#include "framework/Manager.h"
#include "lcd/media/GifFramesExport.h"
#include "lcd/media/VideoClip.h"
#include "lcd/renderer/LcdImageHelpers.h"

namespace KOVA {

namespace {

constexpr int kMostGifFrames = 1000;
constexpr int kTemporaryFrameQuality = 85;
// A source this thin or thinner is taken as a slip of the crop: the whole frame goes.
constexpr int kThinnestSource = 10;
// Pieces whose aspect is this close to the LCD's are stretched rather than banded.
constexpr float kSameAspect = 0.01f;
// An encoder that wrote less than this wrote no frame.
constexpr LONGLONG kSmallestMp4 = 1024;
constexpr int kMp4Percent = 98;
constexpr int kExportEnded = 100;

// The LCD frame: the piece stretched to size when their aspects agree, otherwise fitted
// whole into it and centred on black. The bands are cleared only when out is made: the
// piece lands in the same place every frame.
void fitToLcd(const cv::Mat& piece, cv::Mat& out, cv::Size size)
{
    const float aspect = static_cast<float>(piece.cols) / static_cast<float>(piece.rows);
    const float lcdAspect = static_cast<float>(size.width) / static_cast<float>(size.height);
    if (std::abs(aspect - lcdAspect) < kSameAspect) {
        cv::resize(piece, out, size, 0, 0, cv::INTER_LINEAR);
        return;
    }
    const CRect fitted = MediaCropView::FittedToLcd(piece.cols, piece.rows);
    const cv::Rect part(fitted.left, fitted.top, fitted.Width(), fitted.Height());
    if (out.size() != size || out.type() != piece.type())
        out = cv::Mat::zeros(size, piece.type());
    cv::Mat inside = out(part);
    cv::resize(piece, inside, part.size(), 0, 0, cv::INTER_LINEAR);
}

// Whether the file is there, under the very name asked for, and large enough to hold a frame.
bool holdsFrames(const CString& path)
{
    HANDLE file = ::CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                                nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    LARGE_INTEGER size {};
    const bool large = ::GetFileSizeEx(file, &size) && size.QuadPart >= kSmallestMp4;
    // Closed before a delete: a handle still open would keep the file on disk.
    ::CloseHandle(file);
    return large;
}

// The first of H.264, MPEG-4 part 2, Xvid and Motion JPEG that opens the file; none under
// Wine's build has an H.264 encoder, so it lands on MPEG-4. FFmpeg alone writes it: OpenCV's
// own Motion JPEG writer would create the file under the UTF-8 bytes read in the ANSI code page.
bool openMp4Writer(cv::VideoWriter& writer, const CString& path, double fps, cv::Size size)
{
    const std::string file = FfmpegPath(path);
    if (file.empty())
        return false;
    for (const char* codec : { "H264", "MP4V", "XVID", "MJPG" }) {
        try {
            if (writer.open(file, cv::CAP_FFMPEG, cv::VideoWriter::fourcc(codec[0], codec[1], codec[2], codec[3]), fps,
                            size, true) &&
                writer.isOpened())
                return true;
        } catch (const cv::Exception&) {
        }
    }
    return false;
}

// The part of the video's frames to export: part, the crop on the picture in video pixels;
// the whole frame for a video no larger than the LCD, for a crop off the picture or too thin.
cv::Rect exportSource(int w, int h, const CRect& part)
{
    if ((w <= Manager::GetLedScreenWidth() && h <= Manager::GetLedScreenHeight()) ||
        part.Width() <= kThinnestSource || part.Height() <= kThinnestSource)
        return cv::Rect(0, 0, w, h);
    return cv::Rect(part.left, part.top, part.Width(), part.Height());
}

// One frame after another from where the capture stands, cut and fitted to the LCD.
class ExportFrames {
public:
    ExportFrames(VideoClip& video, cv::Rect source, cv::Size size) : m_video(video), m_source(source), m_size(size) {}

    // The next fitted frame; null when the file has no more.
    const cv::Mat* next()
    {
        if (!m_video.ReadInto(m_frame))
            return nullptr;
        const cv::Mat& frame = m_frame;
        const bool inside = m_source.x >= 0 && m_source.y >= 0 && m_source.x + m_source.width <= frame.cols &&
                            m_source.y + m_source.height <= frame.rows;
        fitToLcd(inside ? frame(m_source) : frame, m_fitted, m_size);
        return &m_fitted;
    }

private:
    VideoClip& m_video;
    cv::Rect m_source;
    cv::Size m_size;
    // Kept from frame to frame, so that neither is allocated again.
    cv::Mat m_frame;
    cv::Mat m_fitted;
};

} // namespace

void OpenCVViewCtrl::SaveGIFImageFile(CString path, UINT message)
{
    ExportScope scope(*this, message);
    m_lastExportResult = 0;
    if (!isOpen() || m_rangeStart == m_rangeEnd)
        return;
    const int n = std::clamp(m_rangeEnd - m_rangeStart, 1, kMostGifFrames);
    GifFramesExport gif(n, m_framePeriod, kTemporaryFrameQuality, [this](int percent) { PostExportProgress(percent); });
    // Numbered by frames written, so a frame that failed to write leaves no gap.
    const GifFramesExport::Outcome outcome = gif.Run(path, [&](GifFramesExport& frames) {
        const CRect view(0, 0, m_rect.Width(), m_rect.Height() - kPlayBarHeight);
        const CRect picture = GetImageRect(m_mediaWidth, m_mediaHeight, view);
        const cv::Rect source =
            exportSource(m_mediaWidth, m_mediaHeight, CropOnMedium(m_mediaWidth, m_mediaHeight, picture));
        clip().Seek(m_rangeStart);
        const cv::Size size(Manager::GetLedScreenWidth(), Manager::GetLedScreenHeight());
        ExportFrames fitted(clip(), source, size);
        int written = 0;
        for (int i = 0; i < n; ++i) {
            const cv::Mat* frame = fitted.next();
            if (!frame)
                break;
            written += frames.WriteFrame(written, *frame) ? 1 : 0;
        }
        return written;
    });
    m_lastExportResult = outcome == GifFramesExport::Outcome::Saved ? 1 : 0;
    // An export abandoned before its assembly leaves the video open where it stood.
    if (outcome != GifFramesExport::Outcome::Abandoned)
        clip().Close();
}

void OpenCVViewCtrl::SaveMP4File(CString path, UINT message)
{
    ExportScope scope(*this, message);
    m_lastExportResult = 0;
    if (!isOpen() || m_rangeStart == m_rangeEnd)
        return;
    const CRect view(0, 0, m_rect.Width(), m_rect.Height() - kPlayBarHeight);
    const CRect picture = GetImageRect(m_mediaWidth, m_mediaHeight, view);
    const cv::Rect source =
        exportSource(m_mediaWidth, m_mediaHeight, CropOnMedium(m_mediaWidth, m_mediaHeight, picture));
    VideoClip& video = clip();
    video.Seek(m_rangeStart);
    const int n = std::max(m_rangeEnd - m_rangeStart, 1);
    // Encoders take even sizes only.
    const cv::Size size((Manager::GetLedScreenWidth() + 1) & ~1, (Manager::GetLedScreenHeight() + 1) & ~1);
    cv::VideoWriter writer;
    if (!openMp4Writer(writer, path, video.FrameRate(), size)) {
        PostExportProgress(kExportEnded);
        return;
    }
    int encoded = 0;
    bool failed = false;
    try {
        ExportFrames frames(video, source, size);
        for (const cv::Mat* frame; encoded < n && (frame = frames.next());) {
            writer.write(*frame);
            ++encoded;
            PostExportProgress(static_cast<int>(encoded * static_cast<double>(kMp4Percent) / n));
        }
    } catch (const std::exception&) {
        failed = true;
    }
    writer.release();
    // A failed export leaves nothing a player would take for the video.
    const bool saved = !failed && encoded > 0 && holdsFrames(path);
    if (!saved)
        ::DeleteFileW(path);
    m_lastExportResult = saved ? 1 : 0;
    PostExportProgress(kExportEnded);
    if (!failed)
        video.Close();
}

} // namespace KOVA
