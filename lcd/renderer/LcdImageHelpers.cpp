#include "lcd/renderer/LcdImageHelpers.h"

#include "framework/MControl.h"
#include "framework/PaintManager.h"

#include <cmath>
#include <cstring>
#include <memory>
#include <vector>

#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>

namespace KOVA {

int GetEncoderClsid(const wchar_t* mimeType, CLSID* clsid)
{
    UINT count = 0;
    UINT bytes = 0;
    if (!mimeType || Gdiplus::GetImageEncodersSize(&count, &bytes) != Gdiplus::Ok || count == 0 || bytes == 0)
        return -1;
    std::vector<BYTE> storage;
    try {
        storage.resize(bytes);
    } catch (const std::bad_alloc&) {
        return -1;
    }
    auto* encoders = reinterpret_cast<Gdiplus::ImageCodecInfo*>(storage.data());
    if (Gdiplus::GetImageEncoders(count, bytes, encoders) != Gdiplus::Ok)
        return -1;
    for (UINT i = 0; i < count; ++i) {
        if (encoders[i].MimeType && wcscmp(encoders[i].MimeType, mimeType) == 0) {
            if (clsid)
                *clsid = encoders[i].Clsid;
            return static_cast<int>(i);
        }
    }
    return -1;
}

std::string WideToAnsiString(CString text)
{
    if (text.IsEmpty())
        return std::string();
    const int length = WideCharToMultiByte(CP_ACP, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (length <= 0)
        return std::string();
    std::vector<char> narrow(static_cast<size_t>(length), '\0');
    if (WideCharToMultiByte(CP_ACP, 0, text, -1, narrow.data(), length, nullptr, nullptr) <= 0)
        return std::string();
    return std::string(narrow.data());
}

namespace {
// The frame as three 8-bit channels, converted into holder when it has another layout;
// null when there is no such conversion.
const cv::Mat* asBgr(const cv::Mat& frame, cv::Mat& holder)
{
    switch (frame.channels()) {
    case 3:
        return &frame;
    case 1:
        cv::cvtColor(frame, holder, cv::COLOR_GRAY2BGR);
        return &holder;
    case 4:
        cv::cvtColor(frame, holder, cv::COLOR_BGRA2BGR);
        return &holder;
    default:
        return nullptr;
    }
}
} // namespace

Gdiplus::Bitmap* MatToBitmap(cv::Mat& frame)
{
    if (frame.empty())
        return nullptr;
    cv::Mat holder;
    const cv::Mat* bgr = asBgr(frame, holder);
    if (!bgr)
        return nullptr;
    std::unique_ptr<Gdiplus::Bitmap> bitmap(new Gdiplus::Bitmap(bgr->cols, bgr->rows, PixelFormat24bppRGB));
    if (bitmap->GetLastStatus() != Gdiplus::Ok)
        return nullptr;
    Gdiplus::Rect whole(0, 0, bgr->cols, bgr->rows);
    Gdiplus::BitmapData data {};
    if (bitmap->LockBits(&whole, Gdiplus::ImageLockModeWrite, PixelFormat24bppRGB, &data) != Gdiplus::Ok)
        return nullptr;
    const size_t rowBytes = static_cast<size_t>(bgr->cols) * 3;
    for (int row = 0; row < bgr->rows; ++row)
        memcpy(static_cast<BYTE*>(data.Scan0) + static_cast<ptrdiff_t>(row) * data.Stride, bgr->ptr(row), rowBytes);
    bitmap->UnlockBits(&data);
    return bitmap.release();
}

void DrawHandImage(Gdiplus::Graphics& g, Gdiplus::Image* image, int width, int height, Gdiplus::PointF pivot,
                   float degrees, float pivotOffset)
{
    if (!image)
        return;
    const double radians = degrees * 3.14159265358979 / 180;
    const double c = std::cos(radians);
    const double s = std::sin(radians);
    const double left = -width * 0.5;
    const double top = pivotOffset - height;
    // The corners (0, 0), (width, 0) and (0, height) of the image, upright on the pivot, turned.
    const double corners[3][2] = { { left, top }, { left + width, top }, { left, top + height } };
    Gdiplus::Point target[3];
    for (int i = 0; i < 3; ++i) {
        const double x = corners[i][0] * c - corners[i][1] * s + pivot.X;
        const double y = corners[i][0] * s + corners[i][1] * c + pivot.Y;
        target[i] = Gdiplus::Point(static_cast<INT>(std::lround(x)), static_cast<INT>(std::lround(y)));
    }
    g.DrawImage(image, target, 3);
}

bool IsShownOnScreen(MControl& control)
{
    PaintManager* manager = control.GetManager();
    if (!control.IsVisible() || !control.IsParentVisible() || !manager)
        return false;
    const HWND window = manager->GetPaintWnd();
    return window && ::IsWindowVisible(window) && !::IsIconic(window);
}

bool IsPictureTooLarge(long long width, long long height)
{
    return width > kLargestPictureSide || height > kLargestPictureSide || width * height > kMostPicturePixels;
}

} // namespace KOVA
