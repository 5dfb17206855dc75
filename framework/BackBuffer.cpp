#include "framework/BackBuffer.h"

#include "framework/MRender.h"

namespace KOVA {

bool BackBuffer::Ensure(HDC dc, int width, int height)
{
    if (m_dc && width == m_width && height == m_height)
        return true;
    Release();
    if (width <= 0 || height <= 0)
        return false;
    m_dc = ::CreateCompatibleDC(dc);
    m_bitmap = MRender::CreateARGB32Bitmap(dc, width, height, &m_bits);
    if (!m_dc || !m_bitmap) {
        Release();
        return false;
    }
    m_previous = ::SelectObject(m_dc, m_bitmap);
    m_width = width;
    m_height = height;
    return true;
}

void BackBuffer::Release()
{
    if (m_dc && m_previous)
        ::SelectObject(m_dc, m_previous);
    if (m_dc)
        ::DeleteDC(m_dc);
    if (m_bitmap)
        ::DeleteObject(m_bitmap);
    m_dc = nullptr;
    m_bitmap = nullptr;
    m_previous = nullptr;
    m_bits = nullptr;
    m_width = m_height = 0;
}

} // namespace KOVA
