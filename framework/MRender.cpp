#include "framework/MRender.h"

#include <algorithm>
#include <cmath>

#include "framework/MRenderInternal.h"

namespace KOVA {

using detail::RoutineSelection;
using detail::ScopedSelection;
using detail::UniqueBitmap;
using detail::UniqueBrush;
using detail::UniqueDC;

namespace {

// FillRect's pixels (the DC brush selected, PatBlt, the brush put back), with the DC brush
// kept selected through a selection run.
void fillWithDCBrush(HDC dc, const RECT& rect, COLORREF color)
{
    RoutineSelection brush(dc, GetStockObject(DC_BRUSH), OBJ_BRUSH);
    const COLORREF previousBrushColor = SetDCBrushColor(dc, color);
    PatBlt(dc, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, PATCOPY);
    SetDCBrushColor(dc, previousBrushColor);
}

BOOL blendWithConstantAlpha(HDC dst, int x, int y, int width, int height, HDC src, int srcX, int srcY, BYTE alpha)
{
    const BLENDFUNCTION blend { AC_SRC_OVER, 0, alpha, 0 };
    return AlphaBlend(dst, x, y, width, height, src, srcX, srcY, width, height, blend);
}

// Blends lineCount lines (rows or columns), each with its own constant alpha; returns the
// last alpha.
template <class BlendLine>
int fadeLines(int lineCount, int startPercent, int endPercent, BlendLine blendLine)
{
    const int low = std::min(startPercent, endPercent);
    const int high = std::max(startPercent, endPercent);
    const bool ascending = endPercent > startPercent;
    const int top = static_cast<int>(255 - low * 255 / 100.0);
    const int bottom = static_cast<int>((100 - high) * 255 / 100.0);
    if (lineCount < 1)
        return 255;
    const double step = static_cast<double>(top - bottom) / lineCount;
    BYTE alpha = 255;
    for (int i = 0; i < lineCount; ++i) {
        alpha = static_cast<BYTE>(static_cast<int>(ascending ? top - i * step : bottom + i * step));
        blendLine(i, alpha);
    }
    return alpha;
}

// msimg32 hands its entry points out as FARPROC; going through void(*)() tells the compiler
// the cast to the real signature is deliberate.
template <class Function>
Function lookUp(HMODULE module, const char* name)
{
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

const detail::GradientFunctions& msimgFunctions()
{
    // msimg32 is loaded already: the library imports AlphaBlend from it.
    static const detail::GradientFunctions functions = [] {
        detail::GradientFunctions found;
        if (HMODULE msimg = GetModuleHandleW(L"msimg32.dll")) {
            found.gradientFill = lookUp<detail::GradientFillFn>(msimg, "GradientFill");
            found.alphaBlend = lookUp<detail::AlphaBlendFn>(msimg, "AlphaBlend");
        }
        return found;
    }();
    return functions;
}

TRIVERTEX vertex(LONG x, LONG y, DWORD argb)
{
    TRIVERTEX result {};
    result.x = x;
    result.y = y;
    result.Red = static_cast<COLOR16>(((argb >> 16) & 0xFF) << 8);
    result.Green = static_cast<COLOR16>(((argb >> 8) & 0xFF) << 8);
    result.Blue = static_cast<COLOR16>((argb & 0xFF) << 8);
    result.Alpha = 0xFF00;
    return result;
}

// 2^shift strips: more steps give finer strips, up to 64.
int stripShift(int steps)
{
    int shift = 6;
    while (shift > 1 && steps < (1 << shift))
        --shift;
    return shift;
}

COLORREF stripColor(DWORD first, DWORD second, int strip, int shift)
{
    const int count = 1 << shift;
    const auto channel = [&](int bitOffset) {
        const int a = (first >> bitOffset) & 0xFF;
        const int b = (second >> bitOffset) & 0xFF;
        return static_cast<BYTE>((b * (count - strip) + a * strip) >> shift);
    };
    return RGB(channel(16), channel(8), channel(0));
}

// Strip 0, in the second colour, lies at the right (bottom) end.
void fillStrips(HDC dc, const RECT& paint, DWORD first, DWORD second, bool vertical, int steps)
{
    const int shift = stripShift(steps);
    const int length = vertical ? paint.bottom - paint.top : paint.right - paint.left;
    const int end = vertical ? paint.bottom : paint.right;
    for (int i = 0; i < (1 << shift); ++i) {
        const int from = end - ((length * (i + 1)) >> shift);
        const int to = end - ((length * i) >> shift);
        if (to <= from)
            continue;
        const RECT strip = vertical ? RECT { paint.left, from, paint.right, to } : RECT { from, paint.top, to, paint.bottom };
        UniqueBrush brush(CreateSolidBrush(stripColor(first, second, i, shift)));
        if (brush)
            FillRect(dc, &strip, brush.get());
    }
}

void paintGradient(const detail::GradientFunctions& functions, HDC dc, const RECT& paint, DWORD first,
                   DWORD second, bool vertical, int steps)
{
    if (!functions.gradientFill) {
        fillStrips(dc, paint, first, second, vertical, steps);
        return;
    }
    TRIVERTEX vertices[2] = { vertex(paint.left, paint.top, first), vertex(paint.right, paint.bottom, second) };
    GRADIENT_RECT mesh { 0, 1 };
    functions.gradientFill(dc, vertices, 2, &mesh, 1, vertical ? GRADIENT_FILL_RECT_V : GRADIENT_FILL_RECT_H);
}

void blendPixels(const RGBQUAD* src, RGBQUAD* dst, int count, const BLENDFUNCTION& blend)
{
    const bool perPixel = (blend.AlphaFormat & AC_SRC_ALPHA) != 0;
    for (int i = 0; i < count; ++i) {
        const int sourceAlpha = perPixel ? src[i].rgbReserved : 255;
        const double a = sourceAlpha * blend.SourceConstantAlpha / 255.0 / 255.0;
        const auto mix = [a](BYTE under, BYTE over) { return static_cast<BYTE>(under * (1 - a) + over * a); };
        dst[i].rgbRed = mix(dst[i].rgbRed, src[i].rgbRed);
        dst[i].rgbGreen = mix(dst[i].rgbGreen, src[i].rgbGreen);
        dst[i].rgbBlue = mix(dst[i].rgbBlue, src[i].rgbBlue);
        dst[i].rgbReserved = 0;
    }
}

void addRoundRectOutline(Gdiplus::GraphicsPath& path, float x, float y, float w, float h, float rx, float ry)
{
    path.AddLine(x + rx, y, x + w - rx, y);
    path.AddArc(x + w - 2 * rx, y, 2 * rx, 2 * ry, 270, 90);
    path.AddLine(x + w, y + ry, x + w, y + h - ry);
    path.AddArc(x + w - 2 * rx, y + h - 2 * ry, 2 * rx, 2 * ry, 0, 90);
    path.AddLine(x + w - rx, y + h, x + rx, y + h);
    path.AddArc(x, y + h - 2 * ry, 2 * rx, 2 * ry, 90, 90);
    path.AddLine(x, y + h - ry, x, y + ry);
    path.AddArc(x, y, 2 * rx, 2 * ry, 180, 90);
}

int scaled(int value, int numerator, int denominator)
{
    return static_cast<int>(static_cast<long long>(value) * numerator / denominator);
}

} // namespace

namespace detail {

void DrawGradientWith(const GradientFunctions& functions, HDC dc, const RECT& rect, DWORD first, DWORD second,
                      bool vertical, int steps)
{
    const DWORD alpha = ((first >> 24) + (second >> 24)) >> 1;
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    if (alpha == 0 || width <= 0 || height <= 0)
        return;
    if (alpha == 255) {
        paintGradient(functions, dc, rect, first, second, vertical, steps);
        return;
    }
    UniqueDC memory(::CreateCompatibleDC(dc));
    UniqueBitmap bitmap(memory ? ::CreateCompatibleBitmap(dc, width, height) : nullptr);
    if (!bitmap)
        return;
    ScopedSelection selection(memory.get(), bitmap.get());
    paintGradient(functions, memory.get(), RECT { 0, 0, width, height }, first, second, vertical, steps);
    // Constant alpha only: GradientFill's pixels are opaque, so AC_SRC_ALPHA would blend them
    // alike, but the brush-filled strips carry alpha 0 and would vanish under it.
    const BLENDFUNCTION blend { AC_SRC_OVER, 0, static_cast<BYTE>(alpha), 0 };
    const AlphaBlendFn alphaBlend = functions.alphaBlend ? functions.alphaBlend : SoftwareAlphaBlend;
    alphaBlend(dc, rect.left, rect.top, width, height, memory.get(), 0, 0, width, height, blend);
}

BOOL WINAPI SoftwareAlphaBlend(HDC dst, int x, int y, int width, int height, HDC src, int srcX, int srcY,
                               int srcWidth, int srcHeight, BLENDFUNCTION blend)
{
    UniqueDC memory(::CreateCompatibleDC(dst));
    BYTE* srcBits = nullptr;
    BYTE* dstBits = nullptr;
    UniqueBitmap srcCopy(MRender::CreateARGB32Bitmap(dst, width, height, &srcBits));
    UniqueBitmap dstCopy(MRender::CreateARGB32Bitmap(dst, width, height, &dstBits));
    if (!memory || !srcCopy || !dstCopy)
        return FALSE;
    {
        ScopedSelection selection(memory.get(), srcCopy.get());
        StretchBlt(memory.get(), 0, 0, width, height, src, srcX, srcY, srcWidth, srcHeight, SRCCOPY);
    }
    ScopedSelection selection(memory.get(), dstCopy.get());
    ::BitBlt(memory.get(), 0, 0, width, height, dst, x, y, SRCCOPY);
    GdiFlush();
    blendPixels(reinterpret_cast<const RGBQUAD*>(srcBits), reinterpret_cast<RGBQUAD*>(dstBits), width * height, blend);
    return ::BitBlt(dst, x, y, width, height, memory.get(), 0, 0, SRCCOPY) ? TRUE : FALSE;
}

} // namespace detail

HDC MRender::CreateCompatibleDC(HDC dc)
{
    return ::CreateCompatibleDC(dc);
}

HBITMAP MRender::CreateCompatibleBitmap(HDC dc, int width, int height)
{
    return ::CreateCompatibleBitmap(dc, width, height);
}

BOOL MRender::BitBlt(HDC dst, int x, int y, int width, int height, HDC src, int srcX, int srcY)
{
    return ::BitBlt(dst, x, y, width, height, src, srcX, srcY, SRCCOPY);
}

BOOL MRender::BitBlt(HDC dst, int x, int y, int width, int height, HDC src, int srcX, int srcY, DWORD rop)
{
    return ::BitBlt(dst, x, y, width, height, src, srcX, srcY, rop);
}

HBITMAP detail::CreateDib32(HDC dc, int width, int height, bool topDown, void** bits)
{
    BITMAPINFO info {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = topDown ? -height : height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* pixels = nullptr;
    HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &pixels, nullptr, 0);
    if (bits)
        *bits = bitmap ? pixels : nullptr;
    return bitmap;
}

bool detail::DibSurface::Make(int newWidth, int newHeight)
{
    Release();
    void* memory = nullptr;
    bitmap = detail::CreateDib32(nullptr, newWidth, newHeight, true, &memory);
    dc = bitmap ? ::CreateCompatibleDC(nullptr) : nullptr;
    if (!dc) {
        Release();
        return false;
    }
    previous = ::SelectObject(dc, bitmap);
    bits = static_cast<DWORD*>(memory);
    width = newWidth;
    height = newHeight;
    return true;
}

void detail::DibSurface::Release()
{
    if (dc && previous)
        ::SelectObject(dc, previous);
    if (dc)
        ::DeleteDC(dc);
    if (bitmap)
        ::DeleteObject(bitmap);
    dc = nullptr;
    bitmap = nullptr;
    previous = nullptr;
    bits = nullptr;
    width = 0;
    height = 0;
}

HBITMAP MRender::CreateARGB32Bitmap(HDC dc, int width, int height, BYTE** bits)
{
    void* pixels = nullptr;
    HBITMAP bitmap = detail::CreateDib32(dc, width, height, false, &pixels);
    if (bits)
        *bits = static_cast<BYTE*>(pixels);
    return bitmap;
}

// Filled through the DC's own brush, whose colour is given back: an opaque ExtTextOut writes
// the same pixels but costs twice as much under Wine, where every fill of a paint counts.
void MRender::FillSolidRect(HDC& dc, const RECT* rect, COLORREF color)
{
    SetBkColor(dc, color);
    if (rect)
        fillWithDCBrush(dc, *rect, color);
}

void MRender::FillSolidRect(HDC& dc, int x, int y, int width, int height, COLORREF color)
{
    const RECT rect { x, y, x + width, y + height };
    FillSolidRect(dc, &rect, color);
}

void MRender::FillFramedRect(HDC& dc, const RECT& rect, COLORREF fill, COLORREF frame)
{
    const RECT inside { rect.left + 1, rect.top + 1, rect.right - 1, rect.bottom - 1 };
    if (IsRectEmpty(&rect))
        return;
    // Rectangle with a one-pixel pen outlines the outermost pixels and fills the rest; where it
    // would not (other units, a raster operation, no inside), the two fills it stands for.
    if (IsRectEmpty(&inside) || !detail::DrawsInPixels(dc) || GetROP2(dc) != R2_COPYPEN) {
        fillWithDCBrush(dc, rect, frame);
        if (!IsRectEmpty(&inside))
            fillWithDCBrush(dc, inside, fill);
        return;
    }
    RoutineSelection pen(dc, GetStockObject(DC_PEN), OBJ_PEN);
    RoutineSelection brush(dc, GetStockObject(DC_BRUSH), OBJ_BRUSH);
    const COLORREF previousPenColor = SetDCPenColor(dc, frame);
    const COLORREF previousBrushColor = SetDCBrushColor(dc, fill);
    Rectangle(dc, rect.left, rect.top, rect.right, rect.bottom);
    SetDCPenColor(dc, previousPenColor);
    SetDCBrushColor(dc, previousBrushColor);
}

void MRender::DrawColor(HDC dc, const RECT& rect, DWORD argb)
{
    if (argb <= 0x00FFFFFF)
        return;
    Gdiplus::Graphics graphics(dc);
    Gdiplus::SolidBrush brush { Gdiplus::Color(argb) };
    graphics.FillRectangle(&brush, static_cast<INT>(rect.left), static_cast<INT>(rect.top),
                           static_cast<INT>(rect.right - rect.left), static_cast<INT>(rect.bottom - rect.top));
}

void MRender::CheckAlphaColor(DWORD& color)
{
    if ((color & 0x00FFFFFF) == 0)
        ++color;
}

// Part of the interface callers are written against; it draws nothing by design.
void MRender::DrawRectangle(HDC&, const CRect&, int, int, int) {}

int MRender::DrawVerticalTransition(HDC& dst, HDC& src, const CRect& dstRect, const CRect& srcRect,
                                    int startPercent, int endPercent)
{
    return fadeLines(dstRect.Height(), startPercent, endPercent, [&](int row, BYTE alpha) {
        blendWithConstantAlpha(dst, dstRect.left, dstRect.top + row, dstRect.Width(), 1, src, srcRect.left,
                               srcRect.top + row, alpha);
    });
}

int MRender::DrawHorizontalTransition(HDC& dst, HDC& src, const CRect& dstRect, const CRect& srcRect,
                                      int startPercent, int endPercent)
{
    return fadeLines(dstRect.Width(), startPercent, endPercent, [&](int column, BYTE alpha) {
        blendWithConstantAlpha(dst, dstRect.left + column, dstRect.top, 1, dstRect.Height(), src,
                               srcRect.left + column, srcRect.top, alpha);
    });
}

void MRender::DrawRightBottomTransition(HDC& dst, HDC& src, CRect rc, int size, DWORD)
{
    for (int i = 0; i < size; ++i) {
        for (int j = 0; j < size; ++j) {
            const double distance = std::sqrt(static_cast<double>(i * i + j * j));
            const auto alpha = static_cast<BYTE>(255 - std::min<double>(size, distance) * 255 / size);
            const int x = rc.Width() - size + i;
            const int y = rc.Height() - size + j;
            blendWithConstantAlpha(dst, x, y, 1, 1, src, x, y, alpha);
        }
    }
}

void MRender::DrawGradient(HDC dc, const RECT& rect, DWORD first, DWORD second, bool vertical, int steps)
{
    detail::DrawGradientWith(msimgFunctions(), dc, rect, first, second, vertical, steps);
}

void MRender::DrawRoundRectange(Gdiplus::Graphics& graphics, float x, float y, float width, float height,
                                float divisor, Gdiplus::Color penColor, float penWidth, bool fill,
                                Gdiplus::Color fillColor)
{
    float rx = width / divisor * 0.5f;
    float ry = height / divisor * 0.5f;
    // A long thin shape keeps round ends rather than flat ovals.
    if (std::fabs(rx - ry) > 10)
        rx = ry = std::min(rx, ry);
    Gdiplus::GraphicsPath path;
    addRoundRectOutline(path, x, y, width, height, rx, ry);
    if (fill) {
        Gdiplus::SolidBrush brush(fillColor);
        graphics.FillPath(&brush, &path);
    }
    Gdiplus::Pen pen(penColor, penWidth);
    graphics.DrawPath(&pen, &path);
}

void MRender::DrawRoundRectange(Gdiplus::Graphics& graphics, float x, float y, float width, float height,
                                float radius, Gdiplus::Color fillColor)
{
    Gdiplus::GraphicsPath path;
    addRoundRectOutline(path, x, y, width, height, radius, radius);
    Gdiplus::SolidBrush brush(fillColor);
    graphics.FillPath(&brush, &path);
}

void MRender::AddRoundedRectangle(Gdiplus::GraphicsPath& path, float x, float y, float width, float height,
                                  float radius)
{
    const float d = 2 * radius;
    path.AddArc(x, y, d, d, 180, 90);
    path.AddLine(x + radius, y, x + width - d, y);
    path.AddArc(x + width - d, y, d, d, 270, 90);
    path.AddLine(x + width, y + radius, x + width, y + height - d);
    path.AddArc(x + width - d, y + height - d, d, d, 0, 90);
    path.AddLine(x + width - d, y + height, x + radius, y + height);
    path.AddArc(x, y + height - d, d, d, 90, 90);
    path.CloseFigure();
}

void MRender::RotatePoint(Gdiplus::PointF& point, float angleDegrees, const Gdiplus::PointF& center)
{
    // This value of pi, not a closer one: rotated positions must land where the layouts expect.
    const double radians = angleDegrees * 3.1415926 / 180;
    const auto c = static_cast<float>(std::cos(radians));
    const auto s = static_cast<float>(std::sin(radians));
    const float dx = point.X - center.X;
    const float dy = point.Y - center.Y;
    point.X = dx * c - dy * s + center.X;
    point.Y = dy * c + dx * s + center.Y;
}

CRect MRender::GetImageRect(int imageWidth, int imageHeight, CRect area)
{
    const int areaWidth = area.Width();
    const int areaHeight = area.Height();
    int width = imageWidth;
    int height = imageHeight;
    if (imageWidth > 0 && imageHeight > 0 && (imageWidth > areaWidth || imageHeight > areaHeight)) {
        // The aspect ratios compared by cross-multiplying: no division by an empty area.
        const bool tallerThanArea = static_cast<long long>(imageWidth) * areaHeight
                                    <= static_cast<long long>(areaWidth) * imageHeight;
        if (tallerThanArea) {
            height = areaHeight;
            width = scaled(areaHeight, imageWidth, imageHeight);
        } else {
            width = areaWidth;
            height = scaled(areaWidth, imageHeight, imageWidth);
        }
    }
    const int left = area.left + (areaWidth - width) / 2;
    const int top = area.top + (areaHeight - height) / 2;
    return CRect(left, top, left + width, top + height);
}

} // namespace KOVA
