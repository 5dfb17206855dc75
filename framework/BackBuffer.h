#pragma once
// The 32-bit back buffer a paint manager draws a window into: a memory DC with a bottom-up
// DIB section selected, kept from paint to paint and made anew only when the size changes.
#include "platform/Win32.h"
#include "platform/KovaExport.h"

namespace KOVA {

class KOVA_API BackBuffer {
public:
    BackBuffer() = default;
    ~BackBuffer() { Release(); }
    BackBuffer(const BackBuffer&) {}
    BackBuffer& operator=(const BackBuffer&) { return *this; }

    // A buffer of width × height compatible with dc; false when it cannot be made.
    bool Ensure(HDC dc, int width, int height);
    void Release();

    HDC dc() const { return m_dc; }
    BYTE* bits() const { return m_bits; }

private:
    HDC m_dc { nullptr };
    HBITMAP m_bitmap { nullptr };
    HGDIOBJ m_previous { nullptr };
    BYTE* m_bits { nullptr };
    int m_width { 0 };
    int m_height { 0 };
};

} // namespace KOVA
