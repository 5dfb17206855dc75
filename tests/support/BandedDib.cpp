#include "BandedDib.h"

#include <cstring>

namespace KOVA::test {

namespace {
void fillBand(HDC dc, RECT band, DWORD color)
{
    HBRUSH brush = CreateSolidBrush(RGB(color >> 16, (color >> 8) & 0xFF, color & 0xFF));
    FillRect(dc, &band, brush);
    DeleteObject(brush);
}

std::vector<BYTE> dibHeader(const DibLayout& layout, int width, int height)
{
    std::vector<BYTE> header(layout.headerSize);
    if (layout.headerSize == sizeof(BITMAPCOREHEADER)) {
        const BITMAPCOREHEADER core { sizeof core, static_cast<WORD>(width), static_cast<WORD>(height), 1,
                                      layout.bitCount };
        std::memcpy(header.data(), &core, sizeof core);
        return header;
    }
    BITMAPV5HEADER v5 {};
    v5.bV5Size = layout.headerSize;
    v5.bV5Width = width;
    v5.bV5Height = height * layout.heightSign;
    v5.bV5Planes = 1;
    v5.bV5BitCount = layout.bitCount;
    v5.bV5Compression = layout.compression;
    v5.bV5ClrUsed = layout.colorsUsed;
    v5.bV5RedMask = 0xFF0000;
    v5.bV5GreenMask = 0xFF00;
    v5.bV5BlueMask = 0xFF;
    std::memcpy(header.data(), &v5, layout.headerSize);
    return header;
}
} // namespace

std::vector<BYTE> quads(std::initializer_list<DWORD> values)
{
    std::vector<BYTE> bytes(values.size() * sizeof(DWORD));
    std::memcpy(bytes.data(), values.begin(), bytes.size());
    return bytes;
}

std::vector<BYTE> coreBandPalette()
{
    std::vector<BYTE> bytes(256 * sizeof(RGBTRIPLE), 0);
    const RGBTRIPLE upper { kUpperBand & 0xFF, (kUpperBand >> 8) & 0xFF, kUpperBand >> 16 };
    const RGBTRIPLE lower { kLowerBand & 0xFF, (kLowerBand >> 8) & 0xFF, kLowerBand >> 16 };
    std::memcpy(bytes.data(), &upper, sizeof upper);
    std::memcpy(bytes.data() + sizeof upper, &lower, sizeof lower);
    return bytes;
}

void fillBands(HDC dc, int width, int height)
{
    fillBand(dc, RECT { 0, 0, width, height / 2 }, kUpperBand);
    fillBand(dc, RECT { 0, height / 2, width, height }, kLowerBand);
}

HBITMAP bandBitmap(int width, int height)
{
    std::vector<DWORD> bits(static_cast<size_t>(width) * (height / 2), kUpperBand);
    bits.resize(static_cast<size_t>(width) * height, kLowerBand);
    return CreateBitmap(width, height, 1, 32, bits.data());
}

HENHMETAFILE recordBands(int width, int height, LONG scale)
{
    HDC screen = GetDC(nullptr);
    HDC recorder = CreateEnhMetaFileW(screen, nullptr, nullptr, nullptr);
    ReleaseDC(nullptr, screen);
    fillBands(recorder, width, height);
    HENHMETAFILE metafile = CloseEnhMetaFile(recorder);
    std::vector<BYTE> bits(GetEnhMetaFileBits(metafile, 0, nullptr));
    GetEnhMetaFileBits(metafile, static_cast<UINT>(bits.size()), bits.data());
    DeleteEnhMetaFile(metafile);
    auto* header = reinterpret_cast<ENHMETAHEADER*>(bits.data());
    for (LONG* extent : { &header->szlMillimeters.cx, &header->szlMillimeters.cy, &header->szlMicrometers.cx,
                          &header->szlMicrometers.cy })
        *extent *= scale;
    return SetEnhMetaFileBits(static_cast<UINT>(bits.size()), bits.data());
}

std::vector<BYTE> buildDib(const DibLayout& layout, int width, int height)
{
    std::vector<BYTE> dib = dibHeader(layout, width, height);
    dib.insert(dib.end(), layout.table.begin(), layout.table.end());
    void* bits = nullptr;
    HBITMAP section = CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(dib.data()), DIB_RGB_COLORS, &bits,
                                       nullptr, 0);
    if (!section)
        return {};
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ previous = SelectObject(dc, section);
    fillBands(dc, width, height);
    GdiFlush();
    const size_t stride = ((width * layout.bitCount + 31) / 32) * 4;
    const auto* first = static_cast<const BYTE*>(bits);
    dib.insert(dib.end(), first, first + stride * height);
    SelectObject(dc, previous);
    DeleteDC(dc);
    DeleteObject(section);
    return dib;
}

bool writeBitmapFile(const CString& path, const std::vector<BYTE>& dib)
{
    BITMAPFILEHEADER file {};
    file.bfType = 0x4D42; // "BM"
    file.bfSize = static_cast<DWORD>(sizeof file + dib.size());
    file.bfOffBits = sizeof file + sizeof(BITMAPINFOHEADER);
    HANDLE out = CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (out == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    const bool ok = WriteFile(out, &file, sizeof file, &written, nullptr)
        && WriteFile(out, dib.data(), static_cast<DWORD>(dib.size()), &written, nullptr);
    CloseHandle(out);
    return ok;
}

std::unique_ptr<DibCanvas> readBitmap(HBITMAP bitmap)
{
    BITMAP info {};
    if (!bitmap || GetObjectType(bitmap) != OBJ_BITMAP || !GetObjectW(bitmap, sizeof info, &info))
        return nullptr;
    auto canvas = std::make_unique<DibCanvas>(info.bmWidth, info.bmHeight);
    HDC source = CreateCompatibleDC(nullptr);
    HGDIOBJ previous = SelectObject(source, bitmap);
    BitBlt(canvas->dc(), 0, 0, info.bmWidth, info.bmHeight, source, 0, 0, SRCCOPY);
    SelectObject(source, previous);
    DeleteDC(source);
    return canvas;
}

} // namespace KOVA::test
