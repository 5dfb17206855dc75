#include "lcd/media/GifWriter.h"

#include <algorithm>
#include <new>
#include <vector>

#include <gif_lib.h>
#include <opencv2/core.hpp>
#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>

#include "lcd/media/GifDelays.h"
#include "lcd/renderer/LcdImageHelpers.h"

namespace KOVA {

namespace {
// Viewers repeat a file whose loop block says 0 forever.
constexpr int kLoopForever = 0;
// Both sides of a GIF picture are 16-bit fields.
constexpr int kLargestSide = 0xFFFF;
constexpr int kWidthWhenUnset = 320;
constexpr int kPaletteSize = 256;
constexpr int kColourResolution = 8;
constexpr BYTE kLoopSubBlockId = 1;

std::vector<uchar> fileBytes(const CString& file)
{
    std::vector<uchar> bytes;
    HANDLE handle = CreateFileW(file, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return bytes;
    LARGE_INTEGER size {};
    if (GetFileSizeEx(handle, &size) && size.QuadPart > 0 && size.QuadPart <= kLargestFrameFileBytes) {
        bytes.resize(static_cast<size_t>(size.QuadPart));
        DWORD read = 0;
        if (!ReadFile(handle, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr))
            read = 0;
        bytes.resize(read);
    }
    CloseHandle(handle);
    return bytes;
}

// The picture as 8-bit BGR, empty when it cannot be read. The exporters' JPEG frames go
// through libjpeg-turbo, several times faster than GDI+'s decoder under Wine; what OpenCV
// cannot read (GIF among others) goes through GDI+, shown over black where translucent.
cv::Mat loadPicture(const CString& file)
{
    const std::vector<uchar> bytes = fileBytes(file);
    if (bytes.empty())
        return cv::Mat();
    cv::Mat bgr;
    try {
        bgr = cv::imdecode(bytes, cv::IMREAD_COLOR);
    } catch (const cv::Exception&) {
        bgr.release();
    }
    if (!bgr.empty())
        return bgr;
    Gdiplus::Bitmap bitmap(file);
    if (bitmap.GetLastStatus() != Gdiplus::Ok || bitmap.GetWidth() == 0 || bitmap.GetHeight() == 0
        || IsPictureTooLarge(bitmap.GetWidth(), bitmap.GetHeight()))
        return cv::Mat();
    cv::Mat bgra(static_cast<int>(bitmap.GetHeight()), static_cast<int>(bitmap.GetWidth()), CV_8UC4);
    Gdiplus::BitmapData rows {};
    rows.Width = static_cast<UINT>(bgra.cols);
    rows.Height = static_cast<UINT>(bgra.rows);
    rows.Stride = static_cast<INT>(bgra.step);
    rows.PixelFormat = PixelFormat32bppPARGB;
    rows.Scan0 = bgra.data;
    const Gdiplus::Rect whole(0, 0, bgra.cols, bgra.rows);
    if (bitmap.LockBits(&whole, Gdiplus::ImageLockModeRead | Gdiplus::ImageLockModeUserInputBuf, PixelFormat32bppPARGB, &rows)
        != Gdiplus::Ok)
        return cv::Mat();
    bitmap.UnlockBits(&rows);
    cv::cvtColor(bgra, bgr, cv::COLOR_BGRA2BGR);
    return bgr;
}
} // namespace

// giflib hands its output over in packets of at most 255 bytes; they are gathered in memory
// and reach the file in one write a frame. Holds the open file, and the frame's colour planes
// and palette indexes, sized once when the file opens.
struct GifWriter::Encoder {
    GifFileType* gif { nullptr };
    HANDLE file { INVALID_HANDLE_VALUE };
    std::vector<GifByteType> pending;
    std::vector<GifByteType> red;
    std::vector<GifByteType> green;
    std::vector<GifByteType> blue;
    std::vector<GifByteType> indexes;
    int width { 0 };
    int height { 0 };

    ~Encoder() { release(); }

    // Lets go of the file as it stands, complete or not.
    void release()
    {
        if (gif)
            EGifCloseFile(gif, nullptr);
        gif = nullptr;
        if (file != INVALID_HANDLE_VALUE)
            CloseHandle(file);
        file = INVALID_HANDLE_VALUE;
        pending.clear();
    }

    static int collect(GifFileType* gif, const GifByteType* bytes, int count)
    {
        auto& pending = static_cast<Encoder*>(gif->UserData)->pending;
        pending.insert(pending.end(), bytes, bytes + count);
        return count;
    }

    bool open(const CString& path, int frameWidth, int frameHeight)
    {
        try {
            const size_t area = static_cast<size_t>(frameWidth) * static_cast<size_t>(frameHeight);
            for (auto* plane : { &red, &green, &blue, &indexes })
                plane->assign(area, 0);
        } catch (const std::bad_alloc&) {
            return false;
        }
        width = frameWidth;
        height = frameHeight;
        file = CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE)
            return false;
        gif = EGifOpen(this, &Encoder::collect, nullptr);
        return gif != nullptr;
    }

    bool flush()
    {
        DWORD written = 0;
        const bool whole = WriteFile(file, pending.data(), static_cast<DWORD>(pending.size()), &written, nullptr)
                           && written == pending.size();
        pending.clear();
        return whole;
    }

    // Ends the file with its trailer; giflib frees its state whatever happens.
    bool close()
    {
        const bool ended = EGifCloseFile(gif, nullptr) == GIF_OK;
        gif = nullptr;
        const bool flushed = flush();
        const bool closed = CloseHandle(file) != FALSE;
        file = INVALID_HANDLE_VALUE;
        return ended && flushed && closed;
    }

    void clear()
    {
        for (auto* plane : { &red, &green, &blue })
            std::fill(plane->begin(), plane->end(), 0);
    }

    // An 8-bit BGR picture into the planes at its place.
    void place(const cv::Mat& bgr, const CRect& at)
    {
        const cv::Rect area(at.left, at.top, at.Width(), at.Height());
        cv::Mat planes[] = { cv::Mat(height, width, CV_8UC1, blue.data())(area),
                             cv::Mat(height, width, CV_8UC1, green.data())(area),
                             cv::Mat(height, width, CV_8UC1, red.data())(area) };
        cv::split(bgr, planes);
    }
};

GifWriter::GifWriter() : m_encoder(new Encoder) {}

GifWriter::~GifWriter() = default;

void GifWriter::SetSize(int width, int height)
{
    if (m_hasFirstFrame)
        return;
    m_frameHeight = height;
    m_frameWidth = width < 1 ? kWidthWhenUnset : width;
}

bool GifWriter::Begin(const CString& path)
{
    m_path = path;
    m_started = true;
    return true;
}

int GifWriter::SetDelay(int milliseconds)
{
    if (milliseconds < 1)
        return milliseconds;
    m_defaultDelay = GifDelayOfPeriod(milliseconds);
    return m_defaultDelay;
}

bool GifWriter::AddFrame(const CString& imageFile, int milliseconds)
{
    if (!m_started || m_frameHeight < 1 || m_frameWidth > kLargestSide || m_frameHeight > kLargestSide)
        return false;
    const int delay = GifDelayOfPeriod(milliseconds);
    if (!m_hasFirstFrame && !WriteFirstFrame(delay))
        return false;
    return FailureOnThrow(false, [&] {
        RenderFrame(imageFile);
        return AppendFrame();
    });
}

bool GifWriter::Save()
{
    if (!m_started || !m_hasFirstFrame)
        return false;
    m_started = false;
    m_hasFirstFrame = false;
    return m_encoder->close();
}

CRect GifWriter::FitRect(int sourceWidth, int sourceHeight, const CRect& target) const
{
    const int targetWidth = target.Width();
    const int targetHeight = target.Height();
    int width = sourceWidth;
    int height = sourceHeight;
    const bool wider = sourceWidth > targetWidth;
    const bool taller = sourceHeight > targetHeight;
    // sw / sh > frame width / frame height, compared exactly.
    const bool relativelyWider = static_cast<long long>(sourceWidth) * m_frameHeight
                                 > static_cast<long long>(m_frameWidth) * sourceHeight;
    if (wider && (!taller || relativelyWider)) {
        width = targetWidth;
        height = static_cast<int>(static_cast<long long>(targetWidth) * sourceHeight / sourceWidth);
    } else if (taller) {
        height = targetHeight;
        width = static_cast<int>(static_cast<long long>(targetHeight) * sourceWidth / sourceHeight);
    }
    const int left = target.left + (targetWidth - width) / 2;
    const int top = target.top + (targetHeight - height) / 2;
    return CRect(left, top, left + width, top + height);
}

// Opens the file with its screen and loop blocks; every frame of it will show for the
// delay of this first one.
bool GifWriter::WriteFirstFrame(int delay)
{
    if (!m_encoder->open(m_path, m_frameWidth, m_frameHeight)) {
        m_encoder->release();
        return false;
    }
    GifFileType* gif = m_encoder->gif;
    EGifSetGifVersion(gif, true);
    const GifByteType loop[] = { kLoopSubBlockId, static_cast<GifByteType>(kLoopForever & 0xFF),
                                 static_cast<GifByteType>((kLoopForever >> 8) & 0xFF) };
    const bool written = EGifPutScreenDesc(gif, m_frameWidth, m_frameHeight, kColourResolution, 0, nullptr) == GIF_OK
                         && EGifPutExtensionLeader(gif, APPLICATION_EXT_FUNC_CODE) == GIF_OK
                         && EGifPutExtensionBlock(gif, 11, "NETSCAPE2.0") == GIF_OK
                         && EGifPutExtensionBlock(gif, sizeof(loop), loop) == GIF_OK
                         && EGifPutExtensionTrailer(gif) == GIF_OK;
    if (!written) {
        m_encoder->release();
        return false;
    }
    m_fileDelay = delay > 0 ? delay : m_defaultDelay;
    m_hasFirstFrame = true;
    return true;
}

void GifWriter::RenderFrame(const CString& imageFile)
{
    m_encoder->clear();
    cv::Mat picture = loadPicture(imageFile);
    if (picture.empty())
        return;
    const CRect at = FitRect(picture.cols, picture.rows, CRect(0, 0, m_frameWidth, m_frameHeight));
    if (at.Width() < 1 || at.Height() < 1)
        return;
    if (at.Width() != picture.cols || at.Height() != picture.rows)
        cv::resize(picture, picture, cv::Size(at.Width(), at.Height()), 0, 0, cv::INTER_AREA);
    m_encoder->place(picture, at);
}

// Writes the rendered frame: its control block with the file's delay, then the picture in
// its own palette.
bool GifWriter::AppendFrame()
{
    Encoder& e = *m_encoder;
    int colours = kPaletteSize;
    GifColorType palette[kPaletteSize] {};
    if (GifQuantizeBuffer(static_cast<unsigned>(m_frameWidth), static_cast<unsigned>(m_frameHeight), &colours,
                          e.red.data(), e.green.data(), e.blue.data(), e.indexes.data(), palette) != GIF_OK)
        return false;
    GraphicsControlBlock control {};
    control.DisposalMode = DISPOSE_DO_NOT;
    control.DelayTime = m_fileDelay;
    control.TransparentColor = NO_TRANSPARENT_COLOR;
    GifByteType extension[4] {};
    EGifGCBToExtension(&control, extension);
    ColorMapObject* map = GifMakeMapObject(kPaletteSize, palette);
    if (!map)
        return false;
    const bool written = EGifPutExtension(e.gif, GRAPHICS_EXT_FUNC_CODE, sizeof(extension), extension) == GIF_OK
                         && EGifPutImageDesc(e.gif, 0, 0, m_frameWidth, m_frameHeight, false, map) == GIF_OK
                         && EGifPutLine(e.gif, e.indexes.data(), static_cast<int>(e.indexes.size())) == GIF_OK;
    GifFreeMapObject(map);
    return written && e.flush();
}

} // namespace KOVA
