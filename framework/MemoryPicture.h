#pragma once
// A compatible memory DC with its own bitmap selected into it: the picture a control keeps
// of itself between paints. Released on every path; a copy starts empty.
#include <windows.h>

namespace KOVA {

class MemoryPicture {
public:
    MemoryPicture() = default;
    ~MemoryPicture() { Release(); }
    MemoryPicture(const MemoryPicture&) {}
    MemoryPicture& operator=(const MemoryPicture&) { return *this; }

    // Replaces the picture by a new one of width × height compatible with dc.
    void Create(HDC dc, int width, int height);
    void Release();

    HDC dc() const { return m_dc; }
    HBITMAP bitmap() const { return m_bitmap; }
    int width() const { return m_width; }
    int height() const { return m_height; }

private:
    HBITMAP m_bitmap { nullptr };
    HDC m_dc { nullptr };
    HGDIOBJ m_previous { nullptr };
    int m_width { 0 };
    int m_height { 0 };
};

} // namespace KOVA
