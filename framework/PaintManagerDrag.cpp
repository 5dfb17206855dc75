// OLE drag and drop of a window: registration as a drop target, dropped pictures turned into
// an HBITMAP for the window, pictures of controls, and the outgoing drag of a control.
//
// Everything here runs on the window's thread; OLE calls back into it during DoDragDrop.
#include "platform/Win32.h"

#include <shellapi.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "framework/CIDataObject.h"
#include "framework/CIDropSource.h"
#include "framework/MControl.h"
#include "framework/MRender.h"
#include "framework/MRenderInternal.h"
#include "framework/PaintManager.h"

namespace KOVA {

using detail::ScopedSelection;
using detail::UniqueBitmap;
using detail::UniqueDC;

namespace {

FORMATETC formatOf(CLIPFORMAT clipFormat, DWORD tymed)
{
    return FORMATETC { clipFormat, nullptr, DVASPECT_CONTENT, -1, tymed };
}

// The formats a window takes, in the order a drag that offers several is read.
const struct {
    CLIPFORMAT clipFormat;
    DWORD tymed;
} kAcceptedFormats[] = {
    { CF_BITMAP, TYMED_GDI },
    { CF_DIB, TYMED_HGLOBAL },
    { CF_HDROP, TYMED_HGLOBAL },
    { CF_ENHMETAFILE, TYMED_ENHMF },
};

// A metafile may claim any bounds; a dropped picture never needs more than this a side.
constexpr LONG kLargestDroppedSide = 4096;
// The longest first path read from a dropped file list, in characters.
constexpr UINT kDroppedPathLength = 520;

struct ComRelease {
    void operator()(IUnknown* object) const { object->Release(); }
};

// A device context to build pictures against: the window's when there is one, else the screen's.
class ReferenceDC {
public:
    explicit ReferenceDC(HDC window) : m_dc(window ? window : GetDC(nullptr)), m_screen(!window) {}
    ~ReferenceDC()
    {
        if (m_screen && m_dc)
            ReleaseDC(nullptr, m_dc);
    }
    ReferenceDC(const ReferenceDC&) = delete;
    ReferenceDC& operator=(const ReferenceDC&) = delete;
    HDC get() const { return m_dc; }

private:
    HDC m_dc;
    bool m_screen;
};

class LockedGlobal {
public:
    explicit LockedGlobal(HGLOBAL global)
        : m_global(global), m_data(global ? static_cast<const BYTE*>(GlobalLock(global)) : nullptr),
          m_size(m_data ? GlobalSize(global) : 0)
    {
    }
    ~LockedGlobal()
    {
        if (m_data)
            GlobalUnlock(m_global);
    }
    LockedGlobal(const LockedGlobal&) = delete;
    LockedGlobal& operator=(const LockedGlobal&) = delete;
    const BYTE* data() const { return m_data; }
    SIZE_T size() const { return m_size; }

private:
    HGLOBAL m_global;
    const BYTE* m_data;
    SIZE_T m_size;
};

// ---- DIBs: every size the header announces is checked against the block before it is read.

struct DibShape {
    int64_t width { 0 };
    int64_t height { 0 };
    int bitCount { 0 };
    DWORD compression { BI_RGB };
    uint64_t sizeImage { 0 };
    uint64_t headerBytes { 0 };
    uint64_t tableBytes { 0 };
};

uint64_t paletteEntries(int bitCount)
{
    return bitCount == 1 || bitCount == 4 || bitCount == 8 ? uint64_t { 1 } << bitCount : 0;
}

bool readCoreShape(const BYTE* block, SIZE_T size, DibShape& shape)
{
    BITMAPCOREHEADER core {};
    if (size < sizeof core)
        return false;
    std::memcpy(&core, block, sizeof core);
    shape = { core.bcWidth, core.bcHeight, core.bcBitCount, BI_RGB, 0, sizeof core,
              paletteEntries(core.bcBitCount) * sizeof(RGBTRIPLE) };
    return true;
}

bool readInfoShape(const BYTE* block, SIZE_T size, DWORD headerSize, DibShape& shape)
{
    BITMAPINFOHEADER info {};
    if (headerSize < sizeof info || headerSize > size)
        return false;
    std::memcpy(&info, block, sizeof info);
    const uint64_t entries = info.biClrUsed ? info.biClrUsed : paletteEntries(info.biBitCount);
    // Only the plain header keeps its colour masks after itself; V4 and V5 hold them inside.
    const bool masksFollow = info.biCompression == BI_BITFIELDS && headerSize == sizeof info;
    shape = { info.biWidth, info.biHeight, info.biBitCount, info.biCompression, info.biSizeImage, headerSize,
              entries * sizeof(RGBQUAD) + (masksFollow ? 3 * sizeof(DWORD) : 0) };
    return true;
}

bool readShape(const BYTE* block, SIZE_T size, DibShape& shape)
{
    DWORD headerSize = 0;
    if (size < sizeof headerSize)
        return false;
    std::memcpy(&headerSize, block, sizeof headerSize);
    if (headerSize == sizeof(BITMAPCOREHEADER))
        return readCoreShape(block, size, shape);
    return readInfoShape(block, size, headerSize, shape);
}

// Bytes of pixel data the shape needs; 0 when it describes no valid picture.
uint64_t imageBytes(const DibShape& shape)
{
    if (shape.width <= 0 || shape.height == 0)
        return 0;
    if (shape.compression != BI_RGB && shape.compression != BI_BITFIELDS)
        return shape.sizeImage; // compressed: only the header knows
    switch (shape.bitCount) {
    case 1: case 4: case 8: case 16: case 24: case 32:
        break;
    default:
        return 0;
    }
    const uint64_t stride = ((static_cast<uint64_t>(shape.width) * shape.bitCount + 31) / 32) * 4;
    return stride * static_cast<uint64_t>(std::llabs(shape.height));
}

// The start of the pixels inside block, or null when the block does not hold the whole DIB.
const BYTE* locateBits(const BYTE* block, SIZE_T size)
{
    DibShape shape;
    if (!readShape(block, size, shape))
        return nullptr;
    const uint64_t image = imageBytes(shape);
    const uint64_t offset = shape.headerBytes + shape.tableBytes;
    if (image == 0 || offset > size || image > size - offset)
        return nullptr;
    return block + offset;
}

HBITMAP bitmapFromDib(HGLOBAL global)
{
    LockedGlobal dib(global);
    if (!dib.data())
        return nullptr;
    const BYTE* bits = locateBits(dib.data(), dib.size());
    if (!bits)
        return nullptr;
    const auto* info = reinterpret_cast<const BITMAPINFO*>(dib.data());
    ReferenceDC screen(nullptr);
    return CreateDIBitmap(screen.get(), &info->bmiHeader, CBM_INIT, bits, info, DIB_RGB_COLORS);
}

// ---- enhanced metafiles

LONG clampSide(LONG side)
{
    return side < kLargestDroppedSide ? side : kLargestDroppedSide;
}

// The frame (0.01 mm) in pixels of the reference device. Integer division would make every
// scale 0 and the picture blank.
RECT frameInPixels(const RECTL& frame, HDC reference)
{
    const int widthMm = GetDeviceCaps(reference, HORZSIZE);
    const int heightMm = GetDeviceCaps(reference, VERTSIZE);
    const double perX = widthMm > 0 ? GetDeviceCaps(reference, HORZRES) / (widthMm * 100.0) : 0.0;
    const double perY = heightMm > 0 ? GetDeviceCaps(reference, VERTRES) / (heightMm * 100.0) : 0.0;
    return RECT { static_cast<LONG>(frame.left * perX), static_cast<LONG>(frame.top * perY),
                  static_cast<LONG>(frame.right * perX), static_cast<LONG>(frame.bottom * perY) };
}

HBITMAP bitmapFromMetafile(HENHMETAFILE metafile, HDC reference)
{
    ENHMETAHEADER header {};
    if (!metafile || !reference || !GetEnhMetaFileHeader(metafile, sizeof header, &header))
        return nullptr;
    const LONG width = clampSide(header.rclBounds.right);
    const LONG height = clampSide(header.rclBounds.bottom);
    if (width <= 0 || height <= 0)
        return nullptr;
    UniqueBitmap picture(CreateCompatibleBitmap(reference, width, height));
    UniqueDC canvas(CreateCompatibleDC(reference));
    if (!picture || !canvas)
        return nullptr;
    {
        ScopedSelection drawn(canvas.get(), picture.get());
        const RECT frame = frameInPixels(header.rclFrame, reference);
        PlayEnhMetaFile(canvas.get(), metafile, &frame);
    }
    return picture.release();
}

// ---- dropped files

// DragQueryFile trusts the block: the offset and the first name's end are checked here.
bool firstNameFits(HGLOBAL global)
{
    LockedGlobal list(global);
    if (!list.data() || list.size() < sizeof(DROPFILES))
        return false;
    DROPFILES files {};
    std::memcpy(&files, list.data(), sizeof files);
    const SIZE_T charSize = files.fWide ? sizeof(wchar_t) : sizeof(char);
    if (files.pFiles < sizeof files || files.pFiles >= list.size())
        return false;
    for (SIZE_T at = files.pFiles; at + charSize <= list.size(); at += charSize) {
        const BYTE* unit = list.data() + at;
        if (unit[0] == 0 && (charSize == 1 || unit[1] == 0))
            return true;
    }
    return false;
}

// Only bitmap files load: any other image gives no picture.
HBITMAP bitmapFromFileList(HGLOBAL global)
{
    if (!firstNameFits(global))
        return nullptr;
    wchar_t path[kDroppedPathLength] = {};
    if (!DragQueryFileW(static_cast<HDROP>(global), 0, path, kDroppedPathLength))
        return nullptr;
    return static_cast<HBITMAP>(
        LoadImageW(nullptr, path, IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_DEFAULTSIZE));
}

// ---- the outgoing drag

// The data object keeps its own duplicate; the one returned is for the drag image.
HBITMAP offerBitmap(CIDataObject& data, HBITMAP picture, SIZE& size)
{
    auto duplicate = static_cast<HBITMAP>(OleDuplicateData(picture, CF_BITMAP, 0));
    if (!duplicate)
        return nullptr;
    FORMATETC format = formatOf(CF_BITMAP, TYMED_GDI);
    STGMEDIUM medium {};
    medium.tymed = TYMED_GDI;
    medium.hBitmap = duplicate;
    data.SetData(&format, &medium, FALSE);
    BITMAP info {};
    GetObjectW(duplicate, sizeof info, &info);
    size = { info.bmWidth, info.bmHeight };
    return duplicate;
}

// Recorded from the picture's pixels rather than blitted from a memory DC: Wine's metafile
// recorder leaks two GDI objects for every BitBlt whose source is a device-dependent bitmap.
void recordPicture(HDC recorder, HBITMAP picture, SIZE size, HDC reference)
{
    if (size.cx <= 0 || size.cy <= 0)
        return;
    BITMAPINFO info {};
    info.bmiHeader = { sizeof(BITMAPINFOHEADER), size.cx, size.cy, 1, 32, BI_RGB, 0, 0, 0, 0, 0 };
    std::vector<DWORD> pixels(static_cast<size_t>(size.cx) * size.cy);
    if (GetDIBits(reference, picture, 0, size.cy, pixels.data(), &info, DIB_RGB_COLORS))
        StretchDIBits(recorder, 0, 0, size.cx, size.cy, 0, 0, size.cx, size.cy, pixels.data(), &info,
                      DIB_RGB_COLORS, SRCCOPY);
}

void offerMetafile(CIDataObject& data, HBITMAP picture, SIZE size, HDC reference)
{
    HDC recorder = CreateEnhMetaFileW(reference, nullptr, nullptr, nullptr);
    if (!recorder)
        return;
    recordPicture(recorder, picture, size, reference);
    HENHMETAFILE metafile = CloseEnhMetaFile(recorder);
    if (!metafile)
        return;
    FORMATETC format = formatOf(CF_ENHMETAFILE, TYMED_ENHMF);
    STGMEDIUM medium {};
    medium.tymed = TYMED_ENHMF;
    medium.hEnhMetaFile = metafile;
    if (FAILED(data.SetData(&format, &medium, TRUE)))
        DeleteEnhMetaFile(metafile);
}

} // namespace

// ---- registration

int PaintManager::InitDragDrop()
{
    RevokeDropTarget();
    if (!isLiveWindow())
        return 0;
    SetTargetWnd(m_hWnd);
    if (FAILED(RegisterDragDrop(m_hWnd, static_cast<IDropTarget*>(this))))
        return 0;
    *m_dropWindow = m_hWnd;
    ClearSupportedFormats();
    for (const auto& accepted : kAcceptedFormats) {
        FORMATETC format = formatOf(accepted.clipFormat, accepted.tymed);
        AddSuportedFormat(format);
    }
    return 1;
}

void PaintManager::RevokeDropTarget()
{
    HWND window = *m_dropWindow;
    *m_dropWindow = nullptr;
    if (window && ::IsWindow(window))
        RevokeDragDrop(window);
}

// ---- drops

bool PaintManager::deliverPicture(HBITMAP picture)
{
    if (!picture || !isLiveWindow())
        return false;
    *m_pictureRoute = 0;
    const auto previous = reinterpret_cast<HBITMAP>(
        SendMessageW(STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(picture)));
    if (previous && previous != picture)
        DeleteObject(previous);
    // The picture is the taker's: a control's, or the window's when it answers the message
    // itself (with the picture it had, null the first time). Only when the message went
    // through this paint manager to the default handling did nobody take it.
    return previous || *m_pictureRoute != 1;
}

void PaintManager::deliverMadePicture(HBITMAP picture)
{
    if (picture && !deliverPicture(picture))
        DeleteObject(picture);
}

bool PaintManager::OnDrop(FORMATETC* format, STGMEDIUM& medium, DWORD*)
{
    if (!format)
        return true;
    POINT cursor {};
    GetCursorPos(&cursor);
    Frame frame(*this);
    SendMessageW(WM_LBUTTONUP, 0, MAKELPARAM(cursor.x, cursor.y));
    // A host may delete its window object from that click: the medium then goes back unused.
    if (!frame.Alive())
        return true;
    switch (format->cfFormat) {
    case CF_DIB:
        if (medium.tymed == TYMED_HGLOBAL)
            deliverMadePicture(bitmapFromDib(medium.hGlobal));
        return true;
    case CF_BITMAP:
        // Delivered, the bitmap belongs to the window and the medium must not free it.
        return medium.tymed != TYMED_GDI || !deliverPicture(medium.hBitmap);
    case CF_ENHMETAFILE:
        if (medium.tymed == TYMED_ENHMF)
            deliverMadePicture(bitmapFromMetafile(medium.hEnhMetaFile, GetPaintDC()));
        return true;
    case CF_HDROP:
        if (medium.tymed == TYMED_HGLOBAL)
            deliverMadePicture(bitmapFromFileList(medium.hGlobal));
        return true;
    default:
        return true;
    }
}

// ---- pictures of controls

HBITMAP PaintManager::snapshot(MControl* control, CSize canvas, const CRect& source)
{
    if (!control || canvas.cx <= 0 || canvas.cy <= 0 || source.Width() <= 0 || source.Height() <= 0)
        return nullptr;
    ReferenceDC reference(GetPaintDC());
    UniqueDC drawing(CreateCompatibleDC(reference.get()));
    UniqueBitmap drawn(CreateCompatibleBitmap(reference.get(), canvas.cx, canvas.cy));
    UniqueDC copying(CreateCompatibleDC(reference.get()));
    HBITMAP picture = MRender::CreateARGB32Bitmap(reference.get(), source.Width(), source.Height(), nullptr);
    if (!drawing || !drawn || !copying || !picture) {
        if (picture)
            DeleteObject(picture);
        return nullptr;
    }
    {
        ScopedSelection intoDrawing(drawing.get(), drawn.get());
        ScopedSelection intoCopy(copying.get(), picture);
        HDC dc = drawing.get();
        control->Draw(dc, control->GetRect());
        BitBlt(copying.get(), 0, 0, source.Width(), source.Height(), dc, source.left, source.top, SRCCOPY);
        GdiFlush();
    }
    return picture;
}

HBITMAP PaintManager::GetDropBitmap(MControl* control, const CRect& part, COLORREF)
{
    if (!control)
        return nullptr;
    const CRect place = control->GetRect();
    CRect source = part;
    source.OffsetRect(place.left, place.top);
    return snapshot(control, CSize(place.right, place.bottom), source);
}

HBITMAP PaintManager::GenerateBitmap(MControl* control, const CRect& rect, DWORD argb)
{
    HBITMAP picture = snapshot(control, CSize(rect.right, rect.bottom), rect);
    // Only a colour with some alpha tints: a plain COLORREF leaves the picture as it is.
    if (picture && argb > 0x00FFFFFF) {
        UniqueDC tinting(CreateCompatibleDC(nullptr));
        ScopedSelection held(tinting.get(), picture);
        MRender::DrawColor(tinting.get(), RECT { 0, 0, rect.Width(), rect.Height() }, argb);
    }
    return picture;
}

// ---- the outgoing drag of a control

void PaintManager::runControlDrag()
{
    HBITMAP picture = *m_dragBitmap;
    // Disarmed first: moves dispatched inside DoDragDrop must not start a second drag.
    m_dragArmed = 0;
    if (!picture || !isLiveWindow())
        return;
    std::unique_ptr<CIDropSource, ComRelease> source(new CIDropSource);
    source->AddRef();
    std::unique_ptr<CIDataObject, ComRelease> data(new CIDataObject(source.get()));
    data->AddRef();
    SIZE size {};
    HBITMAP dragImage = offerBitmap(*data, picture, size);
    if (!dragImage)
        return;
    offerMetafile(*data, dragImage, size, GetPaintDC());
    CDragSourceHelper helper;
    POINT hotSpot { size.cx / 2, size.cy / 2 };
    RECT frame { 0, 0, size.cx, size.cy };
    // Taken, the shell owns the picture; refused (or no shell object), it is still ours.
    if (FAILED(helper.InitializeFromBitmap(dragImage, hotSpot, frame, data.get(), GetSysColor(COLOR_WINDOW))))
        DeleteObject(dragImage);
    DWORD effect = DROPEFFECT_NONE;
    DoDragDrop(data.get(), source.get(), DROPEFFECT_COPY | DROPEFFECT_MOVE, &effect);
}

} // namespace KOVA
