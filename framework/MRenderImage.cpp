#include "framework/MRender.h"

#include <array>
#include <cstring>
#include <memory>
#include <vector>

#include "framework/MRenderInternal.h"

namespace KOVA {

using detail::UniqueDC;

namespace {

struct GlobalFreer {
    void operator()(HGLOBAL block) const { GlobalFree(block); }
};
struct ComReleaser {
    void operator()(IUnknown* object) const { object->Release(); }
};
struct HandleCloser {
    void operator()(HANDLE handle) const { CloseHandle(handle); }
};
using UniqueFile = std::unique_ptr<void, HandleCloser>;

// Larger than any picture a 32-bit process could decode: refused before memory is asked for it.
constexpr LONGLONG kLargestPictureFile = 1LL << 30;

class ScreenDC {
public:
    ScreenDC() : m_dc(GetDC(nullptr)) {}
    ~ScreenDC()
    {
        if (m_dc)
            ReleaseDC(nullptr, m_dc);
    }
    ScreenDC(const ScreenDC&) = delete;
    ScreenDC& operator=(const ScreenDC&) = delete;
    HDC get() const { return m_dc; }

private:
    HDC m_dc;
};

// GDI+ objects come from GdipAlloc, which returns null instead of throwing.
Gdiplus::Image* keptIfLoaded(std::unique_ptr<Gdiplus::Image> image)
{
    if (!image || image->GetLastStatus() != Gdiplus::Ok)
        return nullptr;
    return image.release();
}

// GDI+ may read the stream for as long as the image lives, so the bytes are a block of their
// own that the stream frees once its last reference (the image's) goes. Null when no stream
// could be made; otherwise the image, whatever GDI+ made of the bytes.
std::unique_ptr<Gdiplus::Image> imageOverBlock(std::unique_ptr<void, GlobalFreer> block)
{
    IStream* rawStream = nullptr;
    if (FAILED(CreateStreamOnHGlobal(block.get(), TRUE, &rawStream)))
        return nullptr;
    block.release();
    std::unique_ptr<IStream, ComReleaser> stream(rawStream);
    return std::unique_ptr<Gdiplus::Image>(new Gdiplus::Image(stream.get()));
}

// The file's bytes in a block of their own, read with the file open for the call only and
// shared with writers and deleters meanwhile. Returns the size, 0 for a file that is missing,
// empty, unreadable or too large to hold.
DWORD readWholeFile(const CString& path, std::unique_ptr<void, GlobalFreer>& block)
{
    HANDLE opened = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (opened == INVALID_HANDLE_VALUE)
        return 0;
    UniqueFile file(opened);
    LARGE_INTEGER size {};
    if (!GetFileSizeEx(file.get(), &size) || size.QuadPart <= 0 || size.QuadPart > kLargestPictureFile)
        return 0;
    const DWORD wanted = static_cast<DWORD>(size.QuadPart);
    block.reset(GlobalAlloc(GMEM_FIXED, wanted));
    DWORD read = 0;
    if (!block || !ReadFile(file.get(), block.get(), wanted, &read, nullptr) || read != wanted) {
        block.reset();
        return 0;
    }
    return wanted;
}

WORD displayBitCount()
{
    UniqueDC display(CreateDCW(L"DISPLAY", nullptr, nullptr, nullptr));
    const int depth = display ? GetDeviceCaps(display.get(), PLANES) * GetDeviceCaps(display.get(), BITSPIXEL) : 0;
    if (depth <= 1)
        return 1;
    if (depth <= 4)
        return 4;
    return depth <= 8 ? 8 : 24;
}

// The bitmap as a DIB of bitCount bits per pixel: header and colour table, then the rows.
bool readDib(HBITMAP bitmap, WORD bitCount, std::vector<BYTE>& info, std::vector<BYTE>& pixels)
{
    BITMAP shape {};
    if (!GetObjectW(bitmap, sizeof shape, &shape))
        return false;
    const size_t tableEntries = bitCount <= 8 ? size_t { 1 } << bitCount : 0;
    info.assign(sizeof(BITMAPINFOHEADER) + tableEntries * sizeof(RGBQUAD), 0);
    auto* header = reinterpret_cast<BITMAPINFOHEADER*>(info.data());
    header->biSize = sizeof(BITMAPINFOHEADER);
    header->biWidth = shape.bmWidth;
    header->biHeight = shape.bmHeight;
    header->biPlanes = 1;
    header->biBitCount = bitCount;
    header->biCompression = BI_RGB;
    const size_t stride = (static_cast<size_t>(shape.bmWidth) * bitCount + 31) / 32 * 4;
    pixels.assign(stride * shape.bmHeight, 0);

    ScreenDC screen;
    if (!screen.get())
        return false;
    // The stock palette gives an indexed file the standard system colours.
    HPALETTE previous = SelectPalette(screen.get(), static_cast<HPALETTE>(GetStockObject(DEFAULT_PALETTE)), FALSE);
    RealizePalette(screen.get());
    const int rows = GetDIBits(screen.get(), bitmap, 0, shape.bmHeight, pixels.data(),
                               reinterpret_cast<BITMAPINFO*>(info.data()), DIB_RGB_COLORS);
    if (previous)
        SelectPalette(screen.get(), previous, TRUE);
    return rows == shape.bmHeight;
}

bool writeAll(HANDLE file, const void* data, size_t size)
{
    DWORD written = 0;
    return WriteFile(file, data, static_cast<DWORD>(size), &written, nullptr) && written == size;
}

} // namespace

int MRender::GetFirstDimensionFrameCount(Gdiplus::Image* image)
{
    const UINT dimensions = image ? image->GetFrameDimensionsCount() : 0;
    if (dimensions == 0)
        return 0;
    std::vector<GUID> list(dimensions);
    if (image->GetFrameDimensionsList(list.data(), dimensions) != Gdiplus::Ok)
        return 0;
    return static_cast<int>(image->GetFrameCount(&list[0]));
}

Gdiplus::Image* MRender::LoadImageFromFile(CString path)
{
    // GDI+ keeps a file it decodes open for as long as the image lives, and a host must stay
    // free to overwrite or delete a picture the library shows: the image reads from a copy.
    std::unique_ptr<void, GlobalFreer> block;
    const DWORD size = readWholeFile(path, block);
    return size ? keptIfLoaded(imageOverBlock(std::move(block))) : nullptr;
}

Gdiplus::Image* MRender::LoadImageFromFileEx(CString path, int width, int height)
{
    std::unique_ptr<Gdiplus::Image> image(LoadImageFromFile(path));
    if (!image)
        return nullptr;
    if (width == 0 && height == 0) {
        width = static_cast<int>(image->GetWidth());
        height = static_cast<int>(image->GetHeight());
    }
    return keptIfLoaded(std::unique_ptr<Gdiplus::Image>(image->GetThumbnailImage(width, height, nullptr, nullptr)));
}

Gdiplus::Image* MRender::LoadImageFromIDResource(UINT id, CString type, HINSTANCE module)
{
    HRSRC resource = FindResourceW(module, MAKEINTRESOURCEW(id), type);
    if (!resource)
        return nullptr;
    const DWORD size = SizeofResource(module, resource);
    HGLOBAL loaded = LoadResource(module, resource);
    const void* bytes = loaded ? LockResource(loaded) : nullptr;
    if (!bytes)
        return nullptr;
    std::unique_ptr<void, GlobalFreer> block(GlobalAlloc(GMEM_FIXED, size));
    if (!block)
        return nullptr;
    std::memcpy(block.get(), bytes, size);
    return imageOverBlock(std::move(block)).release();
}

HICON MRender::LoadIconFromFile(CString path)
{
    // The call may write the associated program's path back, which can be longer than ours.
    std::array<wchar_t, MAX_PATH> buffer {};
    lstrcpynW(buffer.data(), path, MAX_PATH);
    WORD index = 0;
    return ExtractAssociatedIconW(nullptr, buffer.data(), &index);
}

BOOL MRender::SaveBitmapToFile(HBITMAP bitmap, CString path)
{
    std::vector<BYTE> info;
    std::vector<BYTE> pixels;
    if (!readDib(bitmap, displayBitCount(), info, pixels))
        return FALSE;
    HANDLE created = CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                 FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (created == INVALID_HANDLE_VALUE)
        return FALSE;
    UniqueFile file(created);
    BITMAPFILEHEADER fileHeader {};
    fileHeader.bfType = 0x4D42; // "BM"
    fileHeader.bfOffBits = static_cast<DWORD>(sizeof fileHeader + info.size());
    fileHeader.bfSize = static_cast<DWORD>(fileHeader.bfOffBits + pixels.size());
    const bool written = writeAll(file.get(), &fileHeader, sizeof fileHeader)
                         && writeAll(file.get(), info.data(), info.size())
                         && writeAll(file.get(), pixels.data(), pixels.size());
    file.reset();
    // A truncated picture would pass for a saved one.
    if (!written)
        DeleteFileW(path);
    return written ? TRUE : FALSE;
}

} // namespace KOVA
