#pragma once
// What the system-information layouts of the LCD renderer draw with and from: the GDI+ objects
// they share (fonts, one brush, one pen, the string format, fixed paths and gradients), built
// once and rebuilt only when what they are made of changes, and one frame's scene, the view of
// the frame's snapshot a layout reads. The still part of a layout gets a scene without sensor
// values, so it cannot read one. Used inside the renders only (the render lock is held).
#include "platform/Win32.h"

#include <memory>
#include <vector>

#include "lcd/renderer/LcdFrameSnapshot.h"
#include "platform/CString.h"

namespace KOVA {

class LcdKeptPixels;
class LcdTextStamps;

// What one layout reads for one frame: the frame's snapshot under the layouts' names, and the
// frame size and item the layout is drawn for.
struct LcdLayoutScene {
    explicit LcdLayoutScene(const LcdFrameSnapshot& frame)
        : background(frame.background), label(frame.label), value(frame.value), accent(frame.accent),
          hint(frame.hint), controlImage(frame.strip), cpuScale(frame.cpuScale), gpuScale(frame.gpuScale),
          memoryScale(frame.memoryScale), sign(frame.sign())
    {
    }
    int width { 0 };
    int height { 0 };
    int item { 0 };
    bool round { false };             // screen type 1
    const Gdiplus::Color& background;
    const Gdiplus::Color& label;
    const Gdiplus::Color& value;
    const Gdiplus::Color& accent;
    Gdiplus::TextRenderingHint hint;
    const LcdPicture& controlImage;   // the whole strip
    int controlFrameWidth { 0 };      // its first frame's width
    const LcdPicture (&cpuScale)[2];
    const LcdPicture (&gpuScale)[2];
    const LcdPicture (&memoryScale)[2];
    const wchar_t* sign;              // the temperature sign of this frame
    float (*clockAngle)(float mhz) { nullptr }; // the renderer's one clock-to-dial rule
    const HARDWARE_INFO* values { nullptr }; // null in a still part
    float memoryPercent { 0 };        // used over used + free, 0 without figures; moving part only

    int cx() const { return width / 2; }
    int cy() const { return height / 2; }
};

// What a dial's covered copy (LcdLayoutResources::CoverToDraw) shows: the layout and every input its
// still part draws with under the dial's mark.
struct LcdCoverKey {
    int layout { 0 };
    int width { 0 };
    int height { 0 };
    bool round { false };
    Gdiplus::ARGB background { 0 };
    Gdiplus::ARGB value { 0 };
    Gdiplus::ARGB accent { 0 };
    const Gdiplus::Image* scale { nullptr };
    Gdiplus::InterpolationMode interpolation { Gdiplus::InterpolationModeDefault };
    bool operator==(const LcdCoverKey& other) const;
};

class LcdLayoutResources {
public:
    LcdLayoutResources();
    ~LcdLayoutResources();
    LcdLayoutResources(const LcdLayoutResources&) = delete;
    LcdLayoutResources& operator=(const LcdLayoutResources&) = delete;

    // True when the fonts were made for another face, scale or paint manager (its serial).
    bool FontsStale(const CString& face, float scale, unsigned managerSerial) const;
    // Takes the families of the control's face and of the brand face (either may be null:
    // its texts are not drawn) and forgets every font made of the old ones.
    void SetFamilies(std::unique_ptr<Gdiplus::FontFamily> face, std::unique_ptr<Gdiplus::FontFamily> brand,
                     const CString& faceName, float scale, unsigned managerSerial);

    // The font of nominal size trunc(nominal × scale) pixels; null when it cannot be made.
    const Gdiplus::Font* Font(int nominal, Gdiplus::FontStyle style, bool brandFace = false);
    // One brush and one pen, given their look at each use.
    Gdiplus::SolidBrush& Brush(Gdiplus::Color colour);
    Gdiplus::Pen& Pen(Gdiplus::Color colour, float width, Gdiplus::DashStyle dash = Gdiplus::DashStyleSolid);
    // Centred both ways, no wrapping, trailing spaces measured.
    const Gdiplus::StringFormat& Format() const { return *m_format; }
    // The ellipse inscribed in a frame of width × height.
    const Gdiplus::GraphicsPath& FrameEllipse(int width, int height);
    // A full pie over rect (0° sweeping 360°), as a path.
    const Gdiplus::GraphicsPath& FullPie(const Gdiplus::Rect& rect);
    // A linear gradient over rect, forward diagonal, tiled; slot keeps one per use.
    Gdiplus::LinearGradientBrush& Gradient(int slot, const Gdiplus::Rect& rect, Gdiplus::Color from, Gdiplus::Color to);
    // A path emptied for the caller.
    Gdiplus::GraphicsPath& FreshPath();

    // A dial whose moving mark lies under a cover that does not move keeps the cover in its still
    // layer and a copy of itself as it shows wherever the mark lies (the mark's colour over the
    // dial, the cover over both); each frame shows that copy through the mark's shape. Solid
    // colours blend alike wherever they land, and Wine's GDI+ fills a path through the region
    // of its shape, so the pixels are those of the mark drawn under the cover.
    // The DC to draw the copy for key on, holding g's pixels, when the kept copy was drawn for
    // another key or forgotten; null when it is current or cannot be made.
    HDC CoverToDraw(Gdiplus::Graphics& g, const LcdCoverKey& key);
    // The still part the copy repeats was drawn again: the copy is drawn again at its next use.
    void ForgetCover() { m_coverDrawn = false; }
    // Shows the copy on g wherever shape lies.
    void ShowCover(Gdiplus::Graphics& g, const Gdiplus::GraphicsPath& shape);

    // The stamps Text draws through from now on; null: it draws straight.
    void UseStamps(LcdTextStamps* stamps) { m_stamps = stamps; }
    // Draws text centred in rect; nothing when font is null.
    void Text(Gdiplus::Graphics& g, const wchar_t* text, const Gdiplus::Font* font, const Gdiplus::RectF& rect,
              Gdiplus::Color colour);

private:
    struct FontEntry {
        int nominal { 0 };
        Gdiplus::FontStyle style { Gdiplus::FontStyleRegular };
        bool brand { false };
        std::unique_ptr<Gdiplus::Font> font;
    };
    struct GradientEntry {
        Gdiplus::Rect rect;
        Gdiplus::ARGB from { 0 };
        Gdiplus::ARGB to { 0 };
        std::unique_ptr<Gdiplus::LinearGradientBrush> brush;
    };

    std::unique_ptr<Gdiplus::FontFamily> m_face;
    std::unique_ptr<Gdiplus::FontFamily> m_brand;
    CString m_faceName;
    float m_scale { 0 };
    unsigned m_managerSerial { 0 };
    bool m_haveFamilies { false };
    std::vector<FontEntry> m_fonts;

    std::unique_ptr<Gdiplus::SolidBrush> m_brush;
    std::unique_ptr<Gdiplus::Pen> m_pen;
    std::unique_ptr<Gdiplus::StringFormat> m_format;
    std::unique_ptr<Gdiplus::GraphicsPath> m_frameEllipse;
    int m_ellipseWidth { -1 };
    int m_ellipseHeight { -1 };
    std::unique_ptr<Gdiplus::GraphicsPath> m_fullPie;
    Gdiplus::Rect m_pieRect;
    GradientEntry m_gradients[2];
    std::unique_ptr<Gdiplus::GraphicsPath> m_freshPath;
    std::unique_ptr<LcdKeptPixels> m_cover;
    LcdCoverKey m_coverKey;
    bool m_coverDrawn { false };
    LcdTextStamps* m_stamps { nullptr };
};

// ---- what the layouts share

// The hint of the control and anti-aliasing, as every layout but 13 and 23 sets them.
void SetLayoutQuality(Gdiplus::Graphics& g, const LcdLayoutScene& scene);
// The frame's background in the opaque background colour: the inscribed ellipse when asked
// (the round screen), else the whole rectangle.
void FillLayoutBackground(Gdiplus::Graphics& g, LcdLayoutResources& resources, const LcdLayoutScene& scene, bool ellipse);
// Where the control's first frame sits at its own size in the bottom-right corner: its
// top-left corner, or (0, 0) without an image.
Gdiplus::Point CornerImagePlace(const LcdLayoutScene& scene);
void DrawCornerImage(Gdiplus::Graphics& g, const LcdLayoutScene& scene);
// A picture stretched over rect; nothing without one.
void DrawPicture(Gdiplus::Graphics& g, const LcdPicture& picture, const Gdiplus::Rect& rect);
// Whether two layout rectangles share a pixel.
bool RectsMeet(const Gdiplus::RectF& a, const Gdiplus::RectF& b);

// ---- the three-value panels (11, 15, 16, 21, 25, 26)

// Which part of a layout is drawn: the still layer, or what each frame adds over it.
enum class LayoutPart { Still, Moving };
// Draws the panel texts of layout that belong to part: a text showing a value is moving, a
// caption is still unless an earlier moving text can reach its pixels.
void DrawPanelTexts(Gdiplus::Graphics& g, LcdLayoutResources& resources, const LcdLayoutScene& scene, int layout, LayoutPart part);

// ---- the single-value gauges (12/22, 13/23, 14/24)

// The value and unit a gauge shows; empty value: nothing is shown.
struct GaugeReading {
    wchar_t value[40] {};
    const wchar_t* unit { L"" };
    bool shown() const { return value[0] != 0; }
};
// family: the units digit of the layout, 2, 3 or 4. Whether the item shows a value at all.
bool GaugeShows(int family, int item);
GaugeReading ReadGauge(int family, const LcdLayoutScene& scene);
// The value rectangle (left, H/2 - 40, W - 20, 60) and the unit rectangle under it.
Gdiplus::RectF GaugeValueRect(const LcdLayoutScene& scene, int left);
Gdiplus::RectF GaugeUnitRect(const LcdLayoutScene& scene, int left);
// A gauge's texts in part: the value in the large font and valueColour and the unit in 20
// regular and the label colour (moving), then, for an item that shows a value, a caption under
// them ("ZEDIVER", "BRAVIK") in the label colour: still unless the texts before it can reach it.
struct GaugeCaption {
    const wchar_t* text { nullptr };
    const Gdiplus::Font* font { nullptr };
    float height { 0 }; // at (10, H - 60), W - 20 wide
};
void DrawGaugeTexts(LayoutPart part, Gdiplus::Graphics& g, LcdLayoutResources& resources, const LcdLayoutScene& scene, int family,
                    int largeSize, int left, Gdiplus::Color valueColour, const GaugeCaption& caption = {});

// Dials start at 120° and run clockwise; full scale is 300°.
constexpr float kDialStart = 120.0f;
constexpr float kDialFullScale = 300.0f;
// Whether the dial mark of the item (needle 2, arc 3, pie 4) follows a value each frame.
bool DialMoves(int family, int item);
// Whether the item has a dial mark at all (the needle always has one).
bool DialMarked(int family, int item);
// The mark's sweep from the start, in degrees; the needle of an item without a value stands
// at full scale. Not clamped: a value past full scale sweeps past it.
float DialSweep(int family, const LcdLayoutScene& scene);

// ---- the layouts, each split into its two parts (LEDModeCtrlLayouts1x.cpp, 2x.cpp)

// Draws part of layout (11 to 16, 21 to 26); nothing for any other number.
void DrawLayoutPart(int layout, LayoutPart part, Gdiplus::Graphics& g, LcdLayoutResources& resources, const LcdLayoutScene& scene);
void DrawRoundLayout(int layout, LayoutPart part, Gdiplus::Graphics& g, LcdLayoutResources& resources, const LcdLayoutScene& scene);
void DrawPlainLayout(int layout, LayoutPart part, Gdiplus::Graphics& g, LcdLayoutResources& resources, const LcdLayoutScene& scene);

} // namespace KOVA
