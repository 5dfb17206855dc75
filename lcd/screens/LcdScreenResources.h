#pragma once
// What the weather, water-cooling and dial screens of the LCD renderer draw with, made once
// and made again only when what it depends on changes: the fonts (face, style, scale), the
// gradient brushes (colours and square), the water screen's rings of dots (frame centre) and
// the weather gauges' marks (round or wide layout). A frame reuses all of it, so drawing a
// screen allocates nothing. Used inside the renderer's renders only, with its render lock held.
#include "platform/Win32.h"

#include <memory>
#include <type_traits>

#include "framework/MRenderInternal.h"
#include "lcd/renderer/LEDModeCtrl.h"
#include "lcd/renderer/LcdSurface.h"
#include "platform/CString.h"

namespace KOVA {

struct LcdFrameSnapshot;

// The dark grey of the gauges' empty tracks.
constexpr Gdiplus::ARGB kLcdTrackGrey = 0xFF242527;

// The red, green and blue of colour with its alpha replaced.
inline Gdiplus::Color LcdWithAlpha(Gdiplus::Color colour, BYTE alpha)
{
    return Gdiplus::Color(alpha, colour.GetR(), colour.GetG(), colour.GetB());
}

// The sizes and styles the screens write in; each is a font of the control's face.
enum class LcdFontRole {
    Value50,     // memory dial value, water "N/A": bold italic
    Value60,     // CPU and GPU dial values: bold italic
    Unit20,      // dial units and "ZEDIVER": regular
    Place20,     // weather place: bold
    Small18,     // weather values: the control's style
    Large30,     // weather temperature: the control's style
    Count,
};

// One gauge of the weather page: 16 marks on a quarter ring, and all of them as one track.
struct LcdGaugeMarks {
    Gdiplus::GraphicsPath marks[16];
    Gdiplus::GraphicsPath track;
};

// A copy of a frame's pixels kept beside the layer, for a moving part that must show them
// again under something it draws. GDI copies in and out, so either row order of a frame works.
class LcdKeptPixels {
public:
    LcdKeptPixels() = default;
    LcdKeptPixels(const LcdKeptPixels&) = delete;
    LcdKeptPixels& operator=(const LcdKeptPixels&) = delete;

    // Copies width × height pixels of from; returns the DC of the copy to draw on, null when
    // no copy could be made.
    HDC Keep(HDC from, int width, int height);
    // Copies the kept pixels onto to wherever region (coordinates of to) lies.
    void CopyThrough(HDC to, HRGN region) const;

private:
    LcdSurface m_copy;
    bool m_kept { false };
};

using LcdUniqueRegion = std::unique_ptr<std::remove_pointer_t<HRGN>, detail::GdiObjectDeleter>;

struct LcdScreenResources {
    LcdScreenResources();
    LcdScreenResources(const LcdScreenResources&) = delete;
    LcdScreenResources& operator=(const LcdScreenResources&) = delete;

    // Makes the fonts for the frame's paint manager, face, style and scale unless they were
    // made for them; true when they were made anew (what was drawn with the old ones is stale).
    bool PrepareFonts(const LcdFrameSnapshot& frame);
    // Null when the face could not be resolved or the size truncates to nothing.
    const Gdiplus::Font* Font(LcdFontRole role) const { return m_fonts[static_cast<int>(role)].get(); }

    // A forward-diagonal gradient over square from one colour to another; slot 0 or 1 keeps
    // one such brush each.
    Gdiplus::Brush* Gradient(int slot, const Gdiplus::Rect& square, Gdiplus::Color from, Gdiplus::Color to);
    // The 8 rings of 45 dots about (cx, cy).
    const Gdiplus::GraphicsPath& Dots(int cx, int cy);
    // The four weather gauges of a layout, in the order A, B, D, C.
    const LcdGaugeMarks* Gauges(bool round);

    // Reused with a new colour (and width and dash) for every fill and line.
    Gdiplus::SolidBrush brush { Gdiplus::Color(0xFF000000) };
    Gdiplus::Pen pen { Gdiplus::Color(0xFF000000), 1.0f };
    // The shape of this frame's gauge, and the dials as they show wherever their gauge covers
    // them: the GPU dial, and the CPU dial with each of its two scale images. The layers of a
    // carousel's items stay cached side by side, so each dial that differs keeps its own copy.
    Gdiplus::GraphicsPath gauge;
    LcdKeptPixels withGauge[3];
    // Centred both ways, one line, trailing spaces measured.
    Gdiplus::StringFormat centred { Gdiplus::StringFormatFlagsNoWrap | Gdiplus::StringFormatFlagsMeasureTrailingSpaces };

private:
    struct GradientSlot {
        std::unique_ptr<Gdiplus::LinearGradientBrush> brush;
        Gdiplus::Rect square;
        Gdiplus::ARGB from { 0 };
        Gdiplus::ARGB to { 0 };
    };

    std::unique_ptr<Gdiplus::Font> m_fonts[static_cast<int>(LcdFontRole::Count)];
    unsigned m_fontManagerSerial { 0 };
    CString m_fontFace;
    Gdiplus::FontStyle m_fontStyle { Gdiplus::FontStyleRegular };
    float m_fontScale { 0 };
    bool m_fontsMade { false };

    GradientSlot m_gradients[2];

    Gdiplus::GraphicsPath m_dots;
    Gdiplus::Point m_dotsCentre { -1, -1 };

    LcdGaugeMarks m_gauges[4];
    int m_gaugeLayout { -1 }; // 1 round, 0 wide, -1 not made
};

} // namespace KOVA
