// GUI thread only: looks are rendered and shown while the window paints.
#include "controls/basic/LookPainting.h"

#include "framework/FontCache.h"
#include "framework/MRender.h"

namespace KOVA {

bool BeginCachedLooks(MControl& control, const MemoryPicture& picture, HDC& dc, int frameCount)
{
    const CRect rect = control.GetRect();
    const int width = rect.Width();
    const int height = rect.Height();
    if (control.GetUpdate() && picture.width() == frameCount * width && picture.height() == height)
        return false;
    control.UpdateMemDC(dc, frameCount * width, height);
    for (int frame = 0; frame < frameCount; ++frame)
        MRender::BitBlt(picture.dc(), frame * width, 0, width, height, dc, rect.left, rect.top);
    return true;
}

void ShowCachedLook(const MControl& control, const MemoryPicture& picture, HDC& dc, int frame)
{
    const CRect rect = control.GetRect();
    const int width = rect.Width();
    MRender::BitBlt(dc, rect.left, rect.top, width, rect.Height(), picture.dc(), frame * width, 0);
}

const Gdiplus::StringFormat* KeptFormat::Get(Gdiplus::StringAlignment horizontal)
{
    if (!m_format) {
        m_format = std::make_unique<Gdiplus::StringFormat>(Gdiplus::StringFormatFlagsNoWrap
                                                           | Gdiplus::StringFormatFlagsMeasureTrailingSpaces);
        m_format->SetAlignment(horizontal);
        m_format->SetLineAlignment(Gdiplus::StringAlignmentCenter);
    }
    return m_format.get();
}

void DrawTextLine(Gdiplus::Graphics& graphics, const CString& text, const Gdiplus::Font* font,
                  const Gdiplus::RectF& layout, const Gdiplus::Brush& brush, Gdiplus::TextRenderingHint hint,
                  Gdiplus::StringAlignment horizontal)
{
    if (text.IsEmpty() || !font)
        return;
    Gdiplus::StringFormat format;
    format.SetFormatFlags(Gdiplus::StringFormatFlagsNoWrap | Gdiplus::StringFormatFlagsMeasureTrailingSpaces);
    format.SetAlignment(horizontal);
    format.SetLineAlignment(Gdiplus::StringAlignmentCenter);
    graphics.SetTextRenderingHint(hint);
    graphics.DrawString(text, text.GetLength(), TextFont(font, text), layout, &format, &brush);
}

} // namespace KOVA
