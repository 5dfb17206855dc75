#pragma once
// The texts an LCD screen draws frame after frame, kept as what they lay over the frame.
// GDI+ draws a string on a 32-bit surface by blending one premultiplied picture of it over the
// pixels there, a picture that depends only on the string and how it is drawn: drawn once on
// a transparent surface, it is that picture, and blending it again gives the pixels drawing
// the string gives, at a tenth of the cost (most of a string's cost is laying out and
// rasterising its glyphs). A sensor value changes a few times a second while frames come 30
// times, so most frames find every text kept.
//
// A string is drawn straight when its Graphics is turned or scaled, draws over anything but a
// 32-bit DIB section, or replaces rather than blends, and a ClearType string where the system
// smooths text with ClearType: GDI+ then smooths it against the pixels it lands on, which no
// picture made alone holds. Used under the renderer's state lock only.
#include "platform/Win32.h"

#include <memory>
#include <string>
#include <vector>

#include "framework/MRenderInternal.h"
#include "lcd/renderer/LcdSurface.h"

namespace KOVA {

class LcdTextStamps {
public:
    LcdTextStamps();
    ~LcdTextStamps();
    LcdTextStamps(const LcdTextStamps&) = delete;
    LcdTextStamps& operator=(const LcdTextStamps&) = delete;

    // g.DrawString(text, length, font, rect, format, brush), from the kept picture when the same
    // string was drawn alike before.
    void Draw(Gdiplus::Graphics& g, const wchar_t* text, int length, const Gdiplus::Font* font,
              const Gdiplus::RectF& rect, const Gdiplus::StringFormat* format, const Gdiplus::SolidBrush& brush);

    // Enough for every value a few layouts show while their sensors swing; the longest unused
    // makes way.
    static constexpr size_t kStamps = 192;

private:
    // Everything the picture of a string depends on.
    struct Key {
        std::wstring text;
        std::wstring family;
        float size { 0 };
        INT style { 0 };
        Gdiplus::Unit unit { Gdiplus::UnitPixel };
        Gdiplus::RectF rect;
        INT formatFlags { 0 };
        Gdiplus::StringAlignment alignment { Gdiplus::StringAlignmentNear };
        Gdiplus::StringAlignment lineAlignment { Gdiplus::StringAlignmentNear };
        Gdiplus::StringTrimming trimming { Gdiplus::StringTrimmingNone };
        bool hasFormat { false };
        Gdiplus::ARGB colour { 0 };
        Gdiplus::TextRenderingHint hint { Gdiplus::TextRenderingHintSystemDefault };
        UINT contrast { 0 };
        Gdiplus::Unit pageUnit { Gdiplus::UnitDisplay };
        float pageScale { 1 };
        Gdiplus::PixelOffsetMode pixelOffset { Gdiplus::PixelOffsetModeDefault };
        int width { 0 };
        int height { 0 };
        bool operator==(const Key& other) const;
    };
    struct Stamp {
        Key key;
        RECT box { 0, 0, 0, 0 };
        std::vector<DWORD> pixels;
        unsigned lastUse { 0 };
    };
    // A 32-bit top-down DIB section in a memory DC of its own, transparent black until drawn on.

    bool drawsAlike(Gdiplus::Graphics& g);
    bool describe(Gdiplus::Graphics& g, const wchar_t* text, int length, const Gdiplus::Font* font,
                  const Gdiplus::RectF& rect, const Gdiplus::StringFormat* format, const Gdiplus::SolidBrush& brush,
                  int width, int height);
    Stamp* find();
    Stamp* make(Gdiplus::Graphics& g, HDC surface, const wchar_t* text, int length, const Gdiplus::Font* font,
                const Gdiplus::StringFormat* format, const Gdiplus::SolidBrush& brush);
    void blend(const Stamp& stamp, HDC surface, Gdiplus::Graphics& g);

    std::vector<std::unique_ptr<Stamp>> m_stamps;
    unsigned m_uses { 0 };
    // The key of the string being drawn, reused from call to call.
    Key m_key;
    std::unique_ptr<Gdiplus::Matrix> m_transform;
    std::unique_ptr<Gdiplus::Region> m_clip;
    // The system smooths text with ClearType (read when the stamps are made).
    bool m_systemClearType { false };
    // The string is drawn on the first, the kept picture blended from the second.
    LcdSurface m_drawing;
    LcdSurface m_source;
};

// Through stamps, or straight when there are none.
void DrawStampedText(LcdTextStamps* stamps, Gdiplus::Graphics& g, const wchar_t* text, int length,
                     const Gdiplus::Font* font, const Gdiplus::RectF& rect, const Gdiplus::StringFormat* format,
                     const Gdiplus::SolidBrush& brush);

} // namespace KOVA
