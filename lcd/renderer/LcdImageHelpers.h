#pragma once
// Free helpers the LCD code shares: the GDI+ encoder of a MIME type, wide paths for OpenCV,
// a decoded video frame as a GDI+ bitmap, the clock hand, and whether an animated LCD view is
// on screen.
#include "platform/Win32.h"

#include <exception>
#include <string>

#include "platform/CString.h"
#include "platform/KovaExport.h"

namespace cv {
class Mat;
}

namespace KOVA {

class MControl;

// The index of the first GDI+ image encoder whose MIME type equals mimeType exactly (case
// matters), its CLSID copied to clsid; -1, clsid untouched, when there is none.
KOVA_API int GetEncoderClsid(const wchar_t* mimeType, CLSID* clsid);

// The text in the system ANSI code page (characters it lacks become its default character);
// empty when the text is empty or cannot be converted.
KOVA_API std::string WideToAnsiString(CString text);

// A new 24-bit bitmap of an 8-bit frame of 1, 3 or 4 channels (BGR order), owned by the
// caller; null for an empty frame, another channel count, or when GDI+ fails.
KOVA_API Gdiplus::Bitmap* MatToBitmap(cv::Mat& frame);

// A clock hand drawn width × height: the image stands upright on pivot at 0 degrees and turns
// clockwise about it; pivotOffset is how far its foot reaches past the pivot. Nothing for a
// null image.
void DrawHandImage(Gdiplus::Graphics& g, Gdiplus::Image* image, int width, int height, Gdiplus::PointF pivot,
                   float degrees, float pivotOffset);

// The largest picture the media views and the renderer take, and the most bytes of decoded
// frames a view keeps ahead: a 32-bit process cannot hold the decoded copies of more beside
// everything else it holds. A larger picture loads as a file that does not load.
constexpr long long kMostPicturePixels = 4096LL * 4096;
constexpr int kLargestPictureSide = 16384;
constexpr long long kMostCachedFrameBytes = 256LL << 20;
bool IsPictureTooLarge(long long width, long long height);
// The largest image file the exporters read whole into memory.
constexpr long long kLargestFrameFileBytes = 64LL << 20;

// body's result, or failure when it throws (an OpenCV error, a failed allocation): nothing
// thrown may cross into the host through an exported call, a paint, a tick or a thread.
template <class Result, class Body>
Result FailureOnThrow(Result failure, Body&& body) noexcept
{
    try {
        return body();
    } catch (const std::exception&) {
        return failure;
    }
}

// Whether control can be seen: it and its ancestors visible, and its window shown and not
// minimised. The LCD views draw on their tick only then, and render hidden frames otherwise.
bool IsShownOnScreen(MControl& control);

} // namespace KOVA
