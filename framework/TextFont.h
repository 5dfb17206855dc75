#pragma once
// The GDI+ fonts controls draw their texts with: the control's face through the window's font
// cache and its fallback, at a pixel size.
#include "platform/Win32.h"

#include <memory>

#include "framework/MControlFont.h"
#include "platform/CString.h"

namespace KOVA {

// The control's face at size pixels (not scaled) in style (Gdiplus::FontStyle bits), through
// the window's font fallback; null without a paint manager or without any font.
std::unique_ptr<Gdiplus::Font> MakeTextFont(const MControlFont& control, float size, int style);
// The same in the control's own style bits.
std::unique_ptr<Gdiplus::Font> MakeTextFont(const MControlFont& control, float size);

// A font of a control's face kept between paints: made again only when the face, the size or
// the style asked for changed. Fetch it before taking an item lock (it goes through the
// window's font cache).
class KeptFont {
public:
    // Null without a paint manager or without any font.
    const Gdiplus::Font* Get(const MControlFont& control, float size, int style);

private:
    std::unique_ptr<Gdiplus::Font> m_font;
    CString m_face;
    float m_size { 0.0f };
    int m_style { -1 };
};

} // namespace KOVA
