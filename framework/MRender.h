#pragma once
// The drawing routines every control and window shares instead of calling GDI and GDI+
// directly for the recurring jobs. Images, icons, DCs and bitmaps they return belong to the
// caller. GDI+ colours are ARGB; GDI colours are COLORREF (0x00BBGGRR).
#include "platform/Win32.h"

#include "platform/CPoint.h"
#include "platform/CRect.h"
#include "platform/CString.h"
#include "platform/KovaExport.h"

namespace KOVA {

class KOVA_API MRender {
public:
    // While a run is open on a DC, the routines here leave the font, pen and brush they select
    // in it for the next call instead of putting the previous ones back after each one: a run
    // of captions in one font selects it once. The run's end selects back what the DC held at
    // its start. A paint manager opens one over its back buffer for the whole paint. Runs
    // belong to the thread that opens them and nest, innermost first.
    class KOVA_API SelectionRun {
    public:
        explicit SelectionRun(HDC dc);
        ~SelectionRun();
        SelectionRun(const SelectionRun&) = delete;
        SelectionRun& operator=(const SelectionRun&) = delete;

        // The innermost run open on dc on this thread, null when there is none.
        static SelectionRun* On(HDC dc);

    private:
        HDC m_dc;
        HGDIOBJ m_font;
        HGDIOBJ m_pen;
        HGDIOBJ m_brush;
        SelectionRun* m_outer;
    };

    // Image loading: null on failure, except that a resource which does not decode still
    // gives an image whose last status is the error. A file is read whole and closed before
    // the call returns: the image decodes from a copy and holds no file.
    static Gdiplus::Image* LoadImageFromFile(CString path);
    // A thumbnail of width × height, or of the image's own size when both are 0.
    static Gdiplus::Image* LoadImageFromFileEx(CString path, int width, int height);
    static Gdiplus::Image* LoadImageFromIDResource(UINT id, CString type, HINSTANCE module);
    // The icon of the file, or of the program associated with it.
    static HICON LoadIconFromFile(CString path);
    // The frames along the image's first frame dimension (a GIF's time); 0 for null or for an
    // image with no frame dimension.
    static int GetFirstDimensionFrameCount(Gdiplus::Image* image);

    // Device contexts and bitmaps
    static HDC CreateCompatibleDC(HDC dc);
    static HBITMAP CreateCompatibleBitmap(HDC dc, int width, int height);
    static BOOL BitBlt(HDC dst, int x, int y, int width, int height, HDC src, int srcX, int srcY);
    static BOOL BitBlt(HDC dst, int x, int y, int width, int height, HDC src, int srcX, int srcY, DWORD rop);
    // A 32 bpp DIB section, bottom-up for a positive height; its pixels are stored through bits.
    static HBITMAP CreateARGB32Bitmap(HDC dc, int width, int height, BYTE** bits);

    // Solid fills. FillSolidRect leaves the colour as the DC's background colour.
    static void FillSolidRect(HDC& dc, const RECT* rect, COLORREF color);
    static void FillSolidRect(HDC& dc, int x, int y, int width, int height, COLORREF color);
    // The rectangle filled with fill, its outermost pixels with frame: the same pixels as a
    // fill of frame and a fill of the rectangle one pixel inside it, in one GDI call. Leaves
    // the DC's colours as they were.
    static void FillFramedRect(HDC& dc, const RECT& rect, COLORREF fill, COLORREF frame);
    // Draws nothing for a colour whose alpha byte is 0.
    static void DrawColor(HDC dc, const RECT& rect, DWORD argb);
    // Black of any alpha becomes blue 1, so that it no longer reads as "no colour".
    static void CheckAlphaColor(DWORD& color);
    static void DrawRectangle(HDC& dc, const CRect& rect, int, int, int);

    // Nine-grid drawing of the source rectangle: corners 1:1, edges stretched along their
    // length, the centre both ways, every destination pixel sampled from its own piece only.
    static void DrawImageFrame(Gdiplus::Graphics& graphics, Gdiplus::Image* image, const CRect& dst,
                               int srcX, int srcY, int srcWidth, int srcHeight, int border);
    static void DrawImageFrameMID(Gdiplus::Graphics& graphics, Gdiplus::Image* image, const CRect& dst,
                                  int srcX, int srcY, int srcWidth, int srcHeight,
                                  int left, int top, int right, int bottom);
    // A part of an image drawn into dst without sampling anything outside the part: a frame of
    // a strip shows nothing of its neighbours, and a stretched part keeps its own edge pixels out
    // to the destination's edges. Only what meets the graphics' visible clip is drawn.
    static void DrawImagePart(Gdiplus::Graphics& graphics, Gdiplus::Image* image, const CRect& dst, int srcX,
                              int srcY, int srcWidth, int srcHeight);
    // The same part stretched to width × height (pixel centres onto pixel centres) as a 32 bpp
    // premultiplied bitmap of the caller's, for one that draws it often; null when the part is empty, does not lie inside the image, or
    // the image is not a bitmap.
    static Gdiplus::Bitmap* StretchImagePart(Gdiplus::Image* image, int srcX, int srcY, int srcWidth, int srcHeight,
                                             int width, int height);
    // Frame frameIndex of an image strip of frameCount equal frames side by side, as a
    // nine-grid. Returns 0 and draws nothing when there is no such frame.
    static int DrawImageStripFrame(Gdiplus::Graphics& graphics, Gdiplus::Image* image, const CRect& dst,
                                   int frameIndex, int frameCount, int border);

    // Fades of src over dst with a constant alpha per row (column) going linearly from
    // 255 − 2.55 × startPercent to 255 − 2.55 × endPercent. Return the last alpha used,
    // 255 for an empty rectangle.
    static int DrawVerticalTransition(HDC& dst, HDC& src, const CRect& dstRect, const CRect& srcRect,
                                      int startPercent, int endPercent);
    static int DrawHorizontalTransition(HDC& dst, HDC& src, const CRect& dstRect, const CRect& srcRect,
                                        int startPercent, int endPercent);
    // A quarter-circle fade of src over the bottom-right size × size square of rc, measured
    // from the DCs' origin.
    static void DrawRightBottomTransition(HDC& dst, HDC& src, CRect rc, int size, DWORD);

    // Text
    static Gdiplus::Size GetTextBounds(const Gdiplus::Font& font, const Gdiplus::StringFormat& format,
                                       const CString& text);
    static Gdiplus::Size GetTextBounds(const Gdiplus::Font& font, const Gdiplus::StringFormat& format,
                                       int width, const CString& text);
    // Single line, near-aligned, trailing spaces measured.
    static Gdiplus::Size GetTextBounds(const Gdiplus::Font& font, const CString& text);
    // Alignments are DrawText flags: DT_CENTER / DT_RIGHT, DT_VCENTER / DT_BOTTOM.
    static CPoint GetOriginPoint(int areaWidth, int areaHeight, int itemWidth, int itemHeight,
                                 UINT hAlign, UINT vAlign);
    static CPoint GetOriginPoint(CRect area, int itemWidth, int itemHeight, UINT hAlign, UINT vAlign);
    // DrawText's pixels. A single line in pixel units whose text needs none of DrawText's own
    // processing (prefixes, tabs, ellipses, breaks) is placed from a measure kept since the
    // same text was last drawn in the same font, and drawn with one ExtTextOutW.
    // Leaves the DC's background mode transparent; restores its text colour and font (the font
    // at the end of a SelectionRun).
    static void DrawTextW(HDC dc, CRect& rect, const wchar_t* text, COLORREF color, HFONT font, UINT format);

    // Colours are 0xAARRGGBB; the blend uses the mean of the two alphas.
    static void DrawGradient(HDC dc, const RECT& rect, DWORD first, DWORD second, bool vertical, int steps);

    // Rounded shapes and geometry
    static void DrawRoundRectange(Gdiplus::Graphics& graphics, float x, float y, float width, float height,
                                  float divisor, Gdiplus::Color penColor, float penWidth, bool fill,
                                  Gdiplus::Color fillColor);
    static void DrawRoundRectange(Gdiplus::Graphics& graphics, float x, float y, float width, float height,
                                  float radius, Gdiplus::Color fillColor);
    static void AddRoundedRectangle(Gdiplus::GraphicsPath& path, float x, float y, float width, float height,
                                    float radius);
    static void RotatePoint(Gdiplus::PointF& point, float angleDegrees, const Gdiplus::PointF& center);
    // Where an image is shown inside an area: scaled down to fit when larger, centred.
    static CRect GetImageRect(int imageWidth, int imageHeight, CRect area);
    // Writes the bitmap as a BMP file at the display's colour depth (24 bpp above 8).
    static BOOL SaveBitmapToFile(HBITMAP bitmap, CString path);
};

} // namespace KOVA
