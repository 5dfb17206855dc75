#include "lcd/media/VideoClip.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>

#include "lcd/renderer/LcdImageHelpers.h"
#include "lcd/renderer/LcdSurface.h"
#include "platform/MmxCallScope.h"

namespace KOVA {

namespace {
constexpr double kFallbackRate = 30.0;
constexpr double kLeastRate = 1.0;
constexpr double kMostRate = 1000.0;

// Captures report 0, NaN or a rate of the container's time base for files whose headers
// carry none: such a clip plays at the common rate instead of never or all at once.
double usableRate(double fps)
{
    return fps >= kLeastRate && fps <= kMostRate ? fps : kFallbackRate;
}

// FFmpeg tries a name it cannot open once more in the ANSI code page, where the UTF-8 bytes of
// a missing "café.mp4" name another file, "cafÃ©.mp4": only a name that is there reaches it.
bool isFile(const CString& path)
{
    const DWORD attributes = ::GetFileAttributesW(path);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}
} // namespace

std::string FfmpegPath(const CString& path)
{
    const int length = path.GetLength();
    const int bytes =
        length ? ::WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, path, length, nullptr, 0, nullptr, nullptr) : 0;
    if (bytes <= 0)
        return std::string();
    std::string utf8(static_cast<size_t>(bytes), '\0');
    ::WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, path, length, utf8.data(), bytes, nullptr, nullptr);
    return utf8;
}

void VideoClipDeleter::operator()(VideoClip* clip) const
{
    delete clip;
}

int VideoClip::PeriodForRate(double fps, RateRule rule)
{
    const double rate = usableRate(fps);
    return static_cast<int>(1000.0 / (rule == RateRule::WholeFrames ? std::floor(rate) : rate));
}

bool VideoClip::Open(const CString& path)
{
    const MmxCallScope codec;
    Close();
    m_path = FfmpegPath(path);
    if (m_path.empty() || !isFile(path) || !openCapture())
        return false;
    m_atStart = true;
    const double width = m_capture.get(cv::CAP_PROP_FRAME_WIDTH);
    const double height = m_capture.get(cv::CAP_PROP_FRAME_HEIGHT);
    // A stream whose header claims a size its decoder refuses comes without one: it has no
    // picture to show. Nor has one claiming more than a decoder makes, which a reader sizing
    // its buffers by it would ask gigabytes for.
    if (!(width >= 1 && height >= 1 && width <= kLargestPictureSide && height <= kLargestPictureSide)) {
        Close();
        return false;
    }
    m_width = static_cast<int>(width);
    m_height = static_cast<int>(height);
    m_frameCount = static_cast<int>(m_capture.get(cv::CAP_PROP_FRAME_COUNT));
    m_frameRate = usableRate(m_capture.get(cv::CAP_PROP_FPS));
    return true;
}

void VideoClip::Close()
{
    const MmxCallScope codec;
    m_capture.release();
    m_frame.release();
    m_spare.release();
    m_width = m_height = m_frameCount = m_decoded = 0;
    m_atStart = m_startUnsure = false;
}

void VideoClip::Seek(int index)
{
    const MmxCallScope codec;
    // A capture just opened stands at the first frame already: a seek there would read a frame
    // and seek back, for nothing.
    if (index > 0 || !m_atStart) {
        m_capture.set(cv::CAP_PROP_POS_FRAMES, std::max(index, 0));
        m_atStart = false;
        m_startUnsure = index <= 0;
    }
    m_decoded = index;
    ++m_seeks;
}

bool VideoClip::Read()
{
    const MmxCallScope codec;
    // The decoder writes into the buffer of the frame before last: a fresh 1080p buffer a frame
    // costs milliseconds of first touches. One a shown frame still shares is let go instead.
    if (m_spare.u && m_spare.u->refcount > 1)
        m_spare.release();
    if (!readNext(m_spare))
        return false;
    cv::swap(m_frame, m_spare);
    ++m_decoded;
    return true;
}

bool VideoClip::ReadInto(cv::Mat& frame)
{
    const MmxCallScope codec;
    if (!readNext(frame))
        return false;
    ++m_decoded;
    return true;
}

// FFmpeg alone: OpenCV's other readers (its own Motion JPEG one, image sequences) open the
// narrow path in the ANSI code page, where UTF-8 names another file.
bool VideoClip::openCapture()
{
    return m_capture.open(m_path, cv::CAP_FFMPEG) && m_capture.isOpened();
}

// A seek to the first frame lands past it in a container without an index: a transport
// stream's first packet is skipped, and with it the key frame every frame up to the next one
// needs, so the read after it fails or brings a later frame. The capture is opened again
// then, which stands at the start of every file.
bool VideoClip::readNext(cv::Mat& into)
{
    m_atStart = false;
    if (!m_capture.isOpened())
        return false;
    bool read = m_capture.read(into) && !into.empty();
    if (m_startUnsure) {
        m_startUnsure = false;
        const double halfFrameMs = 500.0 / m_frameRate;
        if (!read || m_capture.get(cv::CAP_PROP_POS_MSEC) > halfFrameMs) {
            m_capture.release();
            read = openCapture() && m_capture.read(into) && !into.empty();
        }
    }
    return read;
}

void VideoClip::CatchUp(int index, int mostRead)
{
    const int behind = index - m_decoded;
    if (behind > mostRead || behind < -mostRead) {
        Seek(index);
        return;
    }
    while (m_decoded < index && m_capture.isOpened()) {
        if (!Read())
            ++m_decoded; // a frame the file lacks still counts, or a cut clip would stall here
    }
}

int VideoClip::StepLooping(int index, int mostRead)
{
    if (++index >= m_frameCount) {
        Seek(0);
        return 0;
    }
    CatchUp(index, mostRead);
    return index;
}

bool VideoClip::SetBufferSize(int frames)
{
    const MmxCallScope codec;
    return m_capture.isOpened() && m_capture.set(cv::CAP_PROP_BUFFERSIZE, frames);
}

const cv::Mat* VideoClip::eightBitBgr(const cv::Mat& frame)
{
    const cv::Mat* source = &frame;
    if (frame.depth() != CV_8U) {
        const double scale = frame.depth() == CV_16U || frame.depth() == CV_16S ? 1.0 / 257.0
                             : frame.depth() == CV_8S                         ? 1.0
                                                                              : 255.0;
        frame.convertTo(m_converted, CV_8U, scale);
        source = &m_converted;
    }
    switch (source->channels()) {
    case 3:
        return source;
    case 1:
        cv::cvtColor(*source, m_converted, cv::COLOR_GRAY2BGR);
        return &m_converted;
    case 4:
        cv::cvtColor(*source, m_converted, cv::COLOR_BGRA2BGR);
        return &m_converted;
    default:
        return nullptr;
    }
}

void VideoClip::Blit(HDC dc, const cv::Mat& frame, const RECT& target)
{
    if (frame.empty())
        return;
    if (const cv::Mat* bgr = eightBitBgr(frame))
        put(dc, *bgr, target, HALFTONE);
}

void VideoClip::BlitScaled(HDC dc, const cv::Mat& frame, const RECT& target)
{
    const cv::Size size(target.right - target.left, target.bottom - target.top);
    if (frame.empty() || size.width <= 0 || size.height <= 0)
        return;
    const cv::Mat* bgr = eightBitBgr(frame);
    if (!bgr)
        return;
    const bool shrinks = size.width < bgr->cols && size.height < bgr->rows;
    cv::resize(*bgr, m_scaled, size, 0, 0, shrinks ? cv::INTER_AREA : cv::INTER_LINEAR);
    put(dc, m_scaled, target, COLORONCOLOR);
}

void VideoClip::put(HDC dc, const cv::Mat& bgr, const RECT& target, int stretchMode)
{
    // GDI takes rows padded to a DWORD; a frame whose rows are not is copied row by row.
    const size_t rowBytes = static_cast<size_t>(bgr.cols) * 3;
    const size_t stride = (rowBytes + 3) & ~static_cast<size_t>(3);
    const void* bits = bgr.data;
    if (!bgr.isContinuous() || stride != rowBytes) {
        m_paddedRows.resize(stride * static_cast<size_t>(bgr.rows));
        for (int row = 0; row < bgr.rows; ++row)
            memcpy(m_paddedRows.data() + stride * static_cast<size_t>(row), bgr.ptr(row), rowBytes);
        bits = m_paddedRows.data();
    }
    const BITMAPINFO info = LcdSurface::TopDownHeader(bgr.cols, bgr.rows, 24);
    const int previous = ::SetStretchBltMode(dc, stretchMode);
    ::StretchDIBits(dc, target.left, target.top, target.right - target.left, target.bottom - target.top, 0, 0,
                    bgr.cols, bgr.rows, bits, &info, DIB_RGB_COLORS, SRCCOPY);
    ::SetStretchBltMode(dc, previous);
}

DWORD WriteJpegFile(const CString& path, const cv::Mat& image, int quality)
{
    std::vector<uchar> bytes;
    try {
        if (image.empty() || !cv::imencode(".jpg", image, bytes, { cv::IMWRITE_JPEG_QUALITY, quality }))
            return 0;
    } catch (const cv::Exception&) {
        return 0;
    }
    HANDLE file = ::CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return 0;
    DWORD written = 0;
    const BOOL ok = ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    ::CloseHandle(file);
    if (ok && written == bytes.size())
        return written;
    ::DeleteFileW(path); // a cut file would pass for a frame
    return 0;
}

} // namespace KOVA
