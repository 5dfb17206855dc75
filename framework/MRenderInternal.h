#pragma once
// Shared by the MRender sources (and their tests): scoped owners of the GDI handles the
// routines create, and DrawGradient with its msimg32 entry points handed in.
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
