#include "ScratchStrip.h"

namespace KOVA::test {

namespace {
const CLSID kPngEncoder = { 0x557cf406, 0x1a04, 0x11d3, { 0x9a, 0x73, 0x00, 0x00, 0xf8, 0x1e, 0xf3, 0x2e } };

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
    : ScratchFile(folder, name)
{
    const int frames = static_cast<int>(frameColors.size());
    Gdiplus::Bitmap strip(frameWidth * frames, height, PixelFormat32bppARGB);
    fillFrames(strip, frameWidth, height, frameColors);
    m_written = strip.Save(m_path, &kPngEncoder, nullptr) == Gdiplus::Ok;
}

} // namespace KOVA::test
