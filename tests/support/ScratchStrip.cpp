#include "ScratchStrip.h"

namespace KOVA::test {

namespace {
const CLSID kPngEncoder = { 0x557cf406, 0x1a04, 0x11d3, { 0x9a, 0x73, 0x00, 0x00, 0xf8, 0x1e, 0xf3, 0x2e } };

// Folders are left in place: another test program may be writing into them at the same time.
void makeFolder(const CString& folder)
{
    CString parent = folder.Left(folder.GetLength() - 1);
    parent = parent.Left(parent.ReverseFind(L'\\') + 1);
    if (!parent.IsEmpty() && GetFileAttributesW(parent) == INVALID_FILE_ATTRIBUTES)
        CreateDirectoryW(parent, nullptr);
    CreateDirectoryW(folder, nullptr);
}

void fillFrames(Gdiplus::Bitmap& strip, int frameWidth, int height, const std::vector<DWORD>& frameColors)
{
    Gdiplus::Graphics graphics(&strip);
    for (size_t frame = 0; frame < frameColors.size(); ++frame) {
        Gdiplus::SolidBrush brush { Gdiplus::Color(frameColors[frame]) };
        graphics.FillRectangle(&brush, static_cast<int>(frame) * frameWidth, 0, frameWidth, height);
    }
}
} // namespace

ScratchStrip::ScratchStrip(const CString& folder, const CString& name, int frameWidth, int height,
                           const std::vector<DWORD>& frameColors)
    : m_path(folder + name)
{
    makeFolder(folder);
    const int frames = static_cast<int>(frameColors.size());
    Gdiplus::Bitmap strip(frameWidth * frames, height, PixelFormat32bppARGB);
    fillFrames(strip, frameWidth, height, frameColors);
    m_written = strip.Save(m_path, &kPngEncoder, nullptr) == Gdiplus::Ok;
}

ScratchStrip::~ScratchStrip()
{
    DeleteFileW(m_path);
}

} // namespace KOVA::test
