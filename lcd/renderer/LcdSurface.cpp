#include "lcd/renderer/LcdSurface.h"

namespace KOVA {

LcdSurface::~LcdSurface()
{
    reset();
}

BITMAPINFO LcdSurface::TopDownHeader(int width, int height, WORD bitCount)
{
    BITMAPINFO info {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = bitCount;
    info.bmiHeader.biCompression = BI_RGB;
    return info;
}

HBITMAP LcdSurface::CreateSection(HDC dc, int width, int height, BYTE** bits)
{
    const BITMAPINFO info = TopDownHeader(width, height);
    void* pixels = nullptr;
    HBITMAP section = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &pixels, nullptr, 0);
    if (bits)
        *bits = section ? static_cast<BYTE*>(pixels) : nullptr;
    return section;
}

bool LcdSurface::Prepare(HDC reference, int width, int height)
{
    if (Fits(width, height))
        return true;
    reset();
    if (width <= 0 || height <= 0)
        return false;
    m_dc.reset(CreateCompatibleDC(reference));
    m_bitmap.reset(CreateSection(reference, width, height, &m_bits));
    if (!m_dc || !m_bitmap || !m_bits) {
        reset();
        return false;
    }
    m_previous = SelectObject(m_dc.get(), m_bitmap.get());
    m_width = width;
    m_height = height;
    return true;
}

// The bitmap is put out of the DC before either is deleted: a bitmap still selected into a
// DC is not freed.
void LcdSurface::reset()
{
    if (m_dc && m_previous)
        SelectObject(m_dc.get(), m_previous);
    m_previous = nullptr;
    m_bitmap.reset();
    m_dc.reset();
    m_bits = nullptr;
    m_width = m_height = 0;
}

} // namespace KOVA
