#include "ScratchClip.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <gif_lib.h>

#include <opencv2/core.hpp>
#include <opencv2/videoio.hpp>

#include "lcd/media/VideoClip.h"

namespace KOVA::test {

namespace {
constexpr int kStep = 25; // wide enough for MJPG, MPEG-4 and JPEG losses of a flat frame
constexpr int kRed = 128;

int appendBytes(GifFileType* gif, const GifByteType* data, int count)
{
    auto* bytes = static_cast<std::vector<BYTE>*>(gif->UserData);
    bytes->insert(bytes->end(), data, data + count);
    return count;
}

std::vector<BYTE> timedGifBytes(const std::vector<int>& delays, int side)
{
    std::vector<BYTE> bytes;
    int error = 0;
    GifFileType* gif = EGifOpen(&bytes, appendBytes, &error);
    if (!gif)
        return {};
    gif->SWidth = gif->SHeight = side;
    gif->SColorResolution = 8;
    gif->SColorMap = GifMakeMapObject(256, nullptr);
    for (int k = 0; k < 100; ++k) {
        const DWORD rgb = clipColour(k);
        gif->SColorMap->Colors[k] = GifColorType { static_cast<GifByteType>(rgb >> 16),
                                                   static_cast<GifByteType>(rgb >> 8), static_cast<GifByteType>(rgb) };
    }
    static GifByteType netscape[] = "NETSCAPE2.0";
    static GifByteType loopForever[] = { 1, 0, 0 };
    for (size_t k = 0; k < delays.size(); ++k) {
        SavedImage* image = GifMakeSavedImage(gif, nullptr);
        image->ImageDesc = GifImageDesc { 0, 0, side, side, false, nullptr };
        image->RasterBits = static_cast<GifByteType*>(malloc(static_cast<size_t>(side * side)));
        memset(image->RasterBits, static_cast<int>(k % 100), static_cast<size_t>(side * side));
        GifAddExtensionBlock(&image->ExtensionBlockCount, &image->ExtensionBlocks, APPLICATION_EXT_FUNC_CODE, 11,
                             netscape);
        GifAddExtensionBlock(&image->ExtensionBlockCount, &image->ExtensionBlocks, CONTINUE_EXT_FUNC_CODE, 3,
                             loopForever);
        if (delays[k] >= 0) {
            GraphicsControlBlock control { DISPOSAL_UNSPECIFIED, false, delays[k], NO_TRANSPARENT_COLOR };
            EGifGCBToSavedExtension(&control, gif, static_cast<int>(k));
        }
    }
    if (EGifSpew(gif) != GIF_OK)
        return {};
    return bytes;
}

// Rates no writer takes go into an AVI's headers afterwards: the main header's microseconds
// per frame and the stream header's rate over scale.
bool rewriteAviRate(const ScratchFile& clip, const CString& path, double fps)
{
    std::vector<BYTE> bytes = clip.read();
    constexpr DWORD kScale = 1000;
    putDword(bytes, findTag(bytes, "avih") + 8, static_cast<DWORD>(1e6 / fps));
    putDword(bytes, findTag(bytes, "strh") + 8 + 20, kScale);
    putDword(bytes, findTag(bytes, "strh") + 8 + 24, static_cast<DWORD>(fps * kScale));
    FILE* file = _wfopen(path, L"wb");
    const bool written = file && fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    if (file)
        fclose(file);
    return written;
}
} // namespace

size_t findTag(const std::vector<BYTE>& bytes, const char* tag)
{
    return static_cast<size_t>(std::search(bytes.begin(), bytes.end(), tag, tag + 4) - bytes.begin());
}

void putDword(std::vector<BYTE>& bytes, size_t at, DWORD value)
{
    if (at + 4 <= bytes.size())
        memcpy(bytes.data() + at, &value, 4);
}

cv::Mat firstVideoFrame(const CString& path)
{
    cv::VideoCapture capture(FfmpegPath(path), cv::CAP_FFMPEG);
    cv::Mat frame;
    capture.read(frame);
    return frame;
}

DWORD clipColour(int frame)
{
    return (static_cast<DWORD>(kRed) << 16) | (static_cast<DWORD>(frame / 10 % 10 * kStep) << 8)
        | static_cast<DWORD>(frame % 10 * kStep);
}

int clipFrameOf(DWORD rgb)
{
    const int red = static_cast<int>(rgb >> 16 & 0xFF);
    const int tens = static_cast<int>(std::lround((rgb >> 8 & 0xFF) / static_cast<double>(kStep)));
    const int units = static_cast<int>(std::lround((rgb & 0xFF) / static_cast<double>(kStep)));
    if (std::abs(red - kRed) > kStep / 2 || tens > 9 || units > 9)
        return -1;
    return tens * 10 + units;
}

ScratchClip::ScratchClip(const CString& folder, const CString& name, Codec codec, double fps, int frames, int width,
                         int height)
    : ScratchFile(folder, name)
{
    const int fourcc = codec == Mjpg ? cv::VideoWriter::fourcc('M', 'J', 'P', 'G')
                                     : cv::VideoWriter::fourcc('m', 'p', '4', 'v');
    constexpr double kWrittenRate = 25;
    const bool oddRate = fps < 1 || fps > 240;
    cv::VideoWriter writer(FfmpegPath(m_path), cv::CAP_FFMPEG, fourcc, oddRate ? kWrittenRate : fps, cv::Size(width, height));
    if (!writer.isOpened())
        return;
    for (int k = 0; k < frames; ++k) {
        const DWORD rgb = clipColour(k);
        writer << cv::Mat(height, width, CV_8UC3, cv::Scalar(rgb & 0xFF, rgb >> 8 & 0xFF, rgb >> 16 & 0xFF));
    }
    writer.release();
    m_written = !oddRate || (codec == Mjpg && rewriteAviRate(*this, m_path, fps));
}

ScratchDamagedClip::ScratchDamagedClip(const CString& folder, const CString& name, int frames, int width, int height)
    : ScratchFile(folder, name)
{
    {
        cv::VideoWriter writer(FfmpegPath(m_path), cv::CAP_FFMPEG, cv::VideoWriter::fourcc('M', 'J', 'P', 'G'), 25,
                               cv::Size(width, height));
        if (!writer.isOpened())
            return;
        cv::RNG noise(7);
        cv::Mat frame(height, width, CV_8UC3);
        for (int k = 0; k < frames; ++k) {
            noise.fill(frame, cv::RNG::UNIFORM, 0, 256);
            writer << frame;
        }
    }
    // Noise leaves a scan far longer than this; the bytes overwritten hold no marker (no 0xFF).
    constexpr size_t kDamageAt = 2000;
    constexpr size_t kDamaged = 64;
    std::vector<BYTE> bytes = read();
    int scans = 0;
    for (size_t i = 0; i + kDamageAt + kDamaged < bytes.size(); ++i) {
        if (bytes[i] != 0xFF || bytes[i + 1] != 0xDA)
            continue;
        ++scans;
        for (size_t j = i + kDamageAt; j < i + kDamageAt + kDamaged; ++j)
            bytes[j] = static_cast<BYTE>(0x55 ^ (j * 37 & 0x7F));
    }
    FILE* file = _wfopen(m_path, L"wb");
    m_written = file && scans == frames && fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    if (file)
        fclose(file);
}

ScratchTimedGif::ScratchTimedGif(const CString& folder, const CString& name, const std::vector<int>& delays, int side)
    : ScratchFile(folder, name, timedGifBytes(delays, side))
{
}

} // namespace KOVA::test
