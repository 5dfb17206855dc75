#include "ScratchGif.h"
#include "ScratchStrip.h"

#include <memory>

namespace KOVA::test {

namespace {
const CLSID kPngEncoder = { 0x557cf406, 0x1a04, 0x11d3, { 0x9a, 0x73, 0x00, 0x00, 0xf8, 0x1e, 0xf3, 0x2e } };
const CLSID kGifEncoder = { 0x557cf402, 0x1a04, 0x11d3, { 0x9a, 0x73, 0x00, 0x00, 0xf8, 0x1e, 0xf3, 0x2e } };

// GDI+ writes broken GIFs from 32 bpp frames: each frame goes to 8 bpp indexed first.
std::unique_ptr<Gdiplus::Bitmap> indexedFrame(int width, int height, DWORD argb)
{
    Gdiplus::Bitmap frame(width, height, PixelFormat32bppARGB);
    {
        Gdiplus::Graphics graphics(&frame);
        graphics.Clear(Gdiplus::Color(argb));
    }
    return std::unique_ptr<Gdiplus::Bitmap>(frame.Clone(0, 0, width, height, PixelFormat8bppIndexed));
}

// The first frame opens a multi-frame file, the others are added as pages (GDI+ refuses
// the time dimension here under Wine; readers still see the frames in time).
bool writeFrames(const CString& path, int width, int height, const std::vector<DWORD>& frameColors)
{
    ULONG flag = Gdiplus::EncoderValueMultiFrame;
    Gdiplus::EncoderParameters parameters {};
    parameters.Count = 1;
    parameters.Parameter[0].Guid = Gdiplus::EncoderSaveFlag;
    parameters.Parameter[0].Type = Gdiplus::EncoderParameterValueTypeLong;
    parameters.Parameter[0].NumberOfValues = 1;
    parameters.Parameter[0].Value = &flag;

    std::unique_ptr<Gdiplus::Bitmap> first;
    for (DWORD color : frameColors) {
        auto frame = indexedFrame(width, height, color);
        if (!frame)
            return false;
        if (!first) {
            if (frame->Save(path, &kGifEncoder, &parameters) != Gdiplus::Ok)
                return false;
            first = std::move(frame);
            continue;
        }
        flag = Gdiplus::EncoderValueFrameDimensionPage;
        if (first->SaveAdd(frame.get(), &parameters) != Gdiplus::Ok)
            return false;
    }
    flag = Gdiplus::EncoderValueFlush;
    return first && first->SaveAdd(&parameters) == Gdiplus::Ok;
}

std::vector<FilledRect> stripFills(int frameWidth, int height, const std::vector<DWORD>& frameColors)
{
    std::vector<FilledRect> fills;
    for (size_t frame = 0; frame < frameColors.size(); ++frame)
        fills.push_back({ static_cast<int>(frame) * frameWidth, 0, frameWidth, height, frameColors[frame] });
    return fills;
}
} // namespace

ScratchGif::ScratchGif(const CString& folder, const CString& name, int width, int height,
                       const std::vector<DWORD>& frameColors)
    : ScratchFile(folder, name)
{
    m_written = writeFrames(m_path, width, height, frameColors);
}

ScratchPng::ScratchPng(const CString& folder, const CString& name, int width, int height, const std::vector<FilledRect>& fills)
    : ScratchFile(folder, name)
{
    Gdiplus::Bitmap picture(width, height, PixelFormat32bppARGB);
    {
        Gdiplus::Graphics graphics(&picture);
        for (const FilledRect& fill : fills) {
            Gdiplus::SolidBrush brush { Gdiplus::Color(fill.argb) };
            graphics.FillRectangle(&brush, fill.x, fill.y, fill.width, fill.height);
        }
    }
    m_written = picture.Save(m_path, &kPngEncoder, nullptr) == Gdiplus::Ok;
}

ScratchStrip::ScratchStrip(const CString& folder, const CString& name, int frameWidth, int height,
                           const std::vector<DWORD>& frameColors)
    : ScratchPng(folder, name, frameWidth * static_cast<int>(frameColors.size()), height, stripFills(frameWidth, height, frameColors))
{
}

} // namespace KOVA::test
