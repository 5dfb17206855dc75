// GUI thread only: the fonts come from the window's font cache.
#include "framework/TextFont.h"

#include "framework/PaintManager.h"

namespace KOVA {

std::unique_ptr<Gdiplus::Font> MakeTextFont(const MControlFont& control, float size, int style)
{
    PaintManager* manager = control.GetManager();
    // The cache keeps the family; the font holds a reference of its own.
    const Gdiplus::FontFamily* family = manager ? manager->FindTempFontOrFallback(control.GetTextFont()) : nullptr;
    if (!family)
        return nullptr;
    std::unique_ptr<Gdiplus::Font> font(new Gdiplus::Font(family, size, style, Gdiplus::UnitPixel));
    if (font->GetLastStatus() != Gdiplus::Ok)
        return nullptr;
    return font;
}

std::unique_ptr<Gdiplus::Font> MakeTextFont(const MControlFont& control, float size)
{
    return MakeTextFont(control, size, control.GetFontStyle());
}

const Gdiplus::Font* KeptFont::Get(const MControlFont& control, float size, int style)
{
    if (m_font && m_face == control.GetTextFont() && m_size == size && m_style == style)
        return m_font.get();
    m_font = MakeTextFont(control, size, style);
    if (!m_font)
        return nullptr;
    m_face = control.GetTextFont();
    m_size = size;
    m_style = style;
    return m_font.get();
}

} // namespace KOVA
