#pragma once
// Shared by the library's drawing code (and its tests): scoped owners of the GDI handles it
// creates, and DrawGradient with its msimg32 entry points handed in.
#include "platform/Win32.h"

#include <memory>
#include <type_traits>

namespace KOVA::detail {

struct DCDeleter {
    void operator()(HDC dc) const { DeleteDC(dc); }
};
struct GdiObjectDeleter {
    void operator()(HGDIOBJ object) const { DeleteObject(object); }
};

using UniqueDC = std::unique_ptr<std::remove_pointer_t<HDC>, DCDeleter>;
using UniqueBitmap = std::unique_ptr<std::remove_pointer_t<HBITMAP>, GdiObjectDeleter>;
using UniqueBrush = std::unique_ptr<std::remove_pointer_t<HBRUSH>, GdiObjectDeleter>;

// A 32-bit BI_RGB DIB section, bottom-up as GDI draws it or top-down in screen order; bits
// receives its pixels (null with the bitmap on failure).
HBITMAP CreateDib32(HDC dc, int width, int height, bool topDown, void** bits);

// A top-down 32-bit DIB section selected into a memory DC of its own: GDI and GDI+ draw into
// dc, code reads and writes bits. Empty (every member null or 0) until Make succeeds.
struct DibSurface {
    DibSurface() = default;
    ~DibSurface() { Release(); }
    DibSurface(const DibSurface&) = delete;
    DibSurface& operator=(const DibSurface&) = delete;
    // Makes it width x height, giving up what it held; false, and empty, when GDI cannot.
    bool Make(int width, int height);
    void Release();
    HDC dc { nullptr };
    HBITMAP bitmap { nullptr };
    HGDIOBJ previous { nullptr };
    DWORD* bits { nullptr };
    int width { 0 };
    int height { 0 };
};

// Keeps an object selected into a DC for a scope, then puts the previous one back.
class ScopedSelection {
public:
    ScopedSelection(HDC dc, HGDIOBJ object) : m_dc(dc), m_previous(object ? SelectObject(dc, object) : nullptr) {}
    ~ScopedSelection()
    {
        if (m_previous && m_previous != HGDI_ERROR)
            SelectObject(m_dc, m_previous);
    }
    ScopedSelection(const ScopedSelection&) = delete;
    ScopedSelection& operator=(const ScopedSelection&) = delete;

private:
    HDC m_dc;
    HGDIOBJ m_previous;
};

// Selects an object into a DC for one drawing routine and puts the previous one back at the
// scope's end, unless a selection run is open on the DC (MRender::SelectionRun), which keeps
// it for the next routine. An object already selected is not selected again; null selects
// nothing. type is the object's OBJ_ kind.
class RoutineSelection {
public:
    RoutineSelection(HDC dc, HGDIOBJ object, UINT type);
    ~RoutineSelection();
    RoutineSelection(const RoutineSelection&) = delete;
    RoutineSelection& operator=(const RoutineSelection&) = delete;

private:
    HDC m_dc;
    HGDIOBJ m_previous { nullptr };
};

// One logical unit is one pixel and rectangles exclude their right and bottom edges: MM_TEXT
// in the compatible graphics mode, where a routine may stand in for GDI's own placement.
bool DrawsInPixels(HDC dc);

// A DC of a window (null: the screen), released with the scope.
class WindowDC {
public:
    explicit WindowDC(HWND window) : m_window(window), m_dc(::GetDC(window)) {}
    ~WindowDC()
    {
        if (m_dc)
            ::ReleaseDC(m_window, m_dc);
    }
    WindowDC(const WindowDC&) = delete;
    WindowDC& operator=(const WindowDC&) = delete;
    HDC get() const { return m_dc; }

private:
    HWND m_window;
    HDC m_dc;
};

// BeginPaint to EndPaint. Outside WM_PAINT it is harmless; inside it, it validates the window
// so that the message stops coming.
class PaintSession {
public:
    explicit PaintSession(HWND window) : m_window(window) { m_dc = ::BeginPaint(window, &m_paint); }
    ~PaintSession() { ::EndPaint(m_window, &m_paint); }
    PaintSession(const PaintSession&) = delete;
    PaintSession& operator=(const PaintSession&) = delete;
    HDC get() const { return m_dc; }
    // The part of the client area this paint must draw; empty when nothing is invalid.
    const RECT& area() const { return m_paint.rcPaint; }

private:
    HWND m_window;
    PAINTSTRUCT m_paint {};
    HDC m_dc { nullptr };
};

using AlphaBlendFn = BOOL(WINAPI*)(HDC, int, int, int, int, HDC, int, int, int, int, BLENDFUNCTION);
using GradientFillFn = BOOL(WINAPI*)(HDC, PTRIVERTEX, ULONG, PVOID, ULONG, ULONG);

// msimg32's entry points as resolved at run time; a null one is replaced in software.
struct GradientFunctions {
    GradientFillFn gradientFill { nullptr };
    AlphaBlendFn alphaBlend { nullptr };
};

void DrawGradientWith(const GradientFunctions& functions, HDC dc, const RECT& rect, DWORD first, DWORD second,
                      bool vertical, int steps);

// AlphaBlend's arguments and result, computed on DIB copies of both rectangles.
BOOL WINAPI SoftwareAlphaBlend(HDC dst, int x, int y, int width, int height, HDC src, int srcX, int srcY,
                               int srcWidth, int srcHeight, BLENDFUNCTION blend);

} // namespace KOVA::detail
