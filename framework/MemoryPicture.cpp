#include "framework/MemoryPicture.h"

namespace KOVA {

void MemoryPicture::Create(HDC dc, int width, int height)
{
    Release();
    m_width = width;
    m_height = height;
    m_dc = CreateCompatibleDC(dc);
    if (!m_dc)
        return;
    m_bitmap = CreateCompatibleBitmap(dc, width, height);
    if (m_bitmap)
        m_previous = SelectObject(m_dc, m_bitmap);
}

void MemoryPicture::Release()
{
    if (m_dc && m_previous)
        SelectObject(m_dc, m_previous);
    if (m_dc)
        DeleteDC(m_dc);
    if (m_bitmap)
        DeleteObject(m_bitmap);
    m_dc = nullptr;
    m_bitmap = nullptr;
    m_previous = nullptr;
}

} // namespace KOVA
