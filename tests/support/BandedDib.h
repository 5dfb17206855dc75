#pragma once
// A small picture of two colour bands, the upper half kUpperBand and the lower half
// kLowerBand, built as the bytes of a packed DIB in a chosen header layout (painted by GDI
// in that DIB's own format), written as a .bmp file, and read back from any HBITMAP: for
// tests of code that decodes, copies or hands on pictures, where one pixel of each band
// tells size, orientation and colour decoding apart.
#include <memory>
#include <vector>

#include "DibCanvas.h"
#include "platform/Win32.h"
#include "platform/CString.h"

namespace KOVA::test {

constexpr DWORD kUpperBand = 0xFF0000; // 0x00RRGGBB: red
constexpr DWORD kLowerBand = 0x0000FF; // blue

struct DibLayout {
    const char* name;
    DWORD headerSize;       // 12 (core), 40, 108 or 124
    WORD bitCount;
    DWORD compression;      // BI_RGB or BI_BITFIELDS; V4/V5 headers carry 0xFF0000/0xFF00/0xFF masks
    LONG heightSign;        // -1: top-down
    DWORD colorsUsed;
    std::vector<BYTE> table; // what follows the header: colour table or masks
};

// Each value as 4 bytes: RGBQUAD entries (0x00RRGGBB) or colour masks.
std::vector<BYTE> quads(std::initializer_list<DWORD> values);
// The 256 RGBTRIPLEs of an 8-bit core DIB: entry 0 the upper band, entry 1 the lower.
std::vector<BYTE> coreBandPalette();

void fillBands(HDC dc, int width, int height);
// The bands as a device-dependent 32-bit bitmap.
HBITMAP bandBitmap(int width, int height);
// The bands recorded as an enhanced metafile; a scale of 2 makes its header claim a device of
// half the screen's resolution.
HENHMETAFILE recordBands(int width, int height, LONG scale = 1);
// Header, table, then the pixels; empty when GDI cannot make such a DIB.
std::vector<BYTE> buildDib(const DibLayout& layout, int width, int height);
// A .bmp file of a packed DIB whose header is 40 bytes.
bool writeBitmapFile(const CString& path, const std::vector<BYTE>& dib);
// The bitmap's pixels at its own size; null for anything that is not a bitmap.
std::unique_ptr<DibCanvas> readBitmap(HBITMAP bitmap);

} // namespace KOVA::test
