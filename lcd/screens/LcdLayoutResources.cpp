// The shared pieces of the system-information layouts: their GDI+ objects, the background,
// the corner image, the texts of the three-value panels and the value table of the gauges.
//
// Runs inside a render with the renderer's render lock held, from the frame's snapshot (LEDModeCtrl.cpp).
#include "lcd/screens/LcdLayoutResources.h"

#include <cwchar>
#include <iterator>

#include "lcd/renderer/LEDModeCtrl.h"
#include "lcd/renderer/LcdTextStamps.h"
#include "lcd/screens/LcdScreenResources.h"

namespace KOVA {

namespace {
constexpr float kOf128Gb = 0.0078125f;
const Gdiplus::ARGB kDarkTemperature = 0xFF050505;
const wchar_t* const kTemperatureUnit = nullptr; // stands for this frame's sign

Gdiplus::Color opaque(Gdiplus::Color c)
{
    return Gdiplus::Color(255, c.GetR(), c.GetG(), c.GetB());
}
} // namespace

// ---- the drawing resources

LcdLayoutResources::LcdLayoutResources()
    : m_brush(new Gdiplus::SolidBrush(Gdiplus::Color())),
      m_pen(new Gdiplus::Pen(Gdiplus::Color(), 1.0f)),
      m_format(new Gdiplus::StringFormat(Gdiplus::StringFormatFlagsNoWrap | Gdiplus::StringFormatFlagsMeasureTrailingSpaces)),
      m_frameEllipse(new Gdiplus::GraphicsPath),
      m_fullPie(new Gdiplus::GraphicsPath),
      m_freshPath(new Gdiplus::GraphicsPath)
{
    m_format->SetAlignment(Gdiplus::StringAlignmentCenter);
    m_format->SetLineAlignment(Gdiplus::StringAlignmentCenter);
}

LcdLayoutResources::~LcdLayoutResources() = default;

bool LcdLayoutResources::FontsStale(const CString& face, float scale, unsigned managerSerial) const
{
    return !m_haveFamilies || scale != m_scale || managerSerial != m_managerSerial || !(face == m_faceName);
}

void LcdLayoutResources::SetFamilies(std::unique_ptr<Gdiplus::FontFamily> face, std::unique_ptr<Gdiplus::FontFamily> brand,
                               const CString& faceName, float scale, unsigned managerSerial)
{
    m_fonts.clear();
    m_face = std::move(face);
    m_brand = std::move(brand);
    m_faceName = faceName;
    m_scale = scale;
    m_managerSerial = managerSerial;
    m_haveFamilies = true;
}

const Gdiplus::Font* LcdLayoutResources::Font(int nominal, Gdiplus::FontStyle style, bool brandFace)
{
    for (const FontEntry& entry : m_fonts)
        if (entry.nominal == nominal && entry.style == style && entry.brand == brandFace)
            return entry.font.get();
    FontEntry entry;
    entry.nominal = nominal;
    entry.style = style;
    entry.brand = brandFace;
    if (const Gdiplus::FontFamily* family = brandFace ? m_brand.get() : m_face.get()) {
        const float size = static_cast<float>(static_cast<int>(static_cast<float>(nominal) * m_scale));
        entry.font.reset(new Gdiplus::Font(family, size, style, Gdiplus::UnitPixel));
        if (entry.font->GetLastStatus() != Gdiplus::Ok)
            entry.font.reset();
    }
    // A font that cannot be made is remembered as missing, so it is not tried every frame.
    m_fonts.push_back(std::move(entry));
    return m_fonts.back().font.get();
}

Gdiplus::SolidBrush& LcdLayoutResources::Brush(Gdiplus::Color colour)
{
    m_brush->SetColor(colour);
    return *m_brush;
}

Gdiplus::Pen& LcdLayoutResources::Pen(Gdiplus::Color colour, float width, Gdiplus::DashStyle dash)
{
    m_pen->SetColor(colour);
    m_pen->SetWidth(width);
    m_pen->SetDashStyle(dash);
    return *m_pen;
}

const Gdiplus::GraphicsPath& LcdLayoutResources::FrameEllipse(int width, int height)
{
    if (width != m_ellipseWidth || height != m_ellipseHeight) {
        m_frameEllipse->Reset();
        m_frameEllipse->AddEllipse(Gdiplus::Rect(0, 0, width, height));
        m_ellipseWidth = width;
        m_ellipseHeight = height;
    }
    return *m_frameEllipse;
}

const Gdiplus::GraphicsPath& LcdLayoutResources::FullPie(const Gdiplus::Rect& rect)
{
    if (!rect.Equals(m_pieRect) || m_fullPie->GetPointCount() == 0) {
        m_fullPie->Reset();
        m_fullPie->AddPie(rect, 0.0f, 360.0f);
        m_pieRect = rect;
    }
    return *m_fullPie;
}

Gdiplus::LinearGradientBrush& LcdLayoutResources::Gradient(int slot, const Gdiplus::Rect& rect, Gdiplus::Color from,
                                                     Gdiplus::Color to)
{
    GradientEntry& entry = m_gradients[slot];
    if (!entry.brush || !rect.Equals(entry.rect) || from.GetValue() != entry.from || to.GetValue() != entry.to) {
        entry.brush.reset(new Gdiplus::LinearGradientBrush(rect, from, to, Gdiplus::LinearGradientModeForwardDiagonal));
        entry.brush->SetWrapMode(Gdiplus::WrapModeTile);
        entry.rect = rect;
        entry.from = from.GetValue();
        entry.to = to.GetValue();
    }
    return *entry.brush;
}

Gdiplus::GraphicsPath& LcdLayoutResources::FreshPath()
{
    m_freshPath->Reset();
    return *m_freshPath;
}

bool LcdCoverKey::operator==(const LcdCoverKey& o) const
{
    return layout == o.layout && width == o.width && height == o.height && round == o.round
        && background == o.background && value == o.value && accent == o.accent && scale == o.scale
        && interpolation == o.interpolation;
}

HDC LcdLayoutResources::CoverToDraw(Gdiplus::Graphics& g, const LcdCoverKey& key)
{
    if (m_coverDrawn && key == m_coverKey)
        return nullptr;
    if (!m_cover)
        m_cover = std::make_unique<LcdKeptPixels>();
    // What GDI+ has queued must be on the surface before GDI copies it.
    g.Flush(Gdiplus::FlushIntentionSync);
    const HDC surface = g.GetHDC();
    const HDC copy = m_cover->Keep(surface, key.width, key.height);
    g.ReleaseHDC(surface);
    m_coverDrawn = copy != nullptr;
    m_coverKey = key;
    return copy;
}

void LcdLayoutResources::ShowCover(Gdiplus::Graphics& g, const Gdiplus::GraphicsPath& shape)
{
    if (!m_coverDrawn)
        return;
    const LcdUniqueRegion region(Gdiplus::Region(&shape).GetHRGN(&g));
    if (!region)
        return;
    g.Flush(Gdiplus::FlushIntentionSync);
    const HDC surface = g.GetHDC();
    m_cover->CopyThrough(surface, region.get());
    g.ReleaseHDC(surface);
}

void LcdLayoutResources::Text(Gdiplus::Graphics& g, const wchar_t* text, const Gdiplus::Font* font,
                        const Gdiplus::RectF& rect, Gdiplus::Color colour)
{
    DrawStampedText(m_stamps, g, text, -1, font, rect, m_format.get(), Brush(colour));
}

// ---- shared steps

void SetLayoutQuality(Gdiplus::Graphics& g, const LcdLayoutScene& scene)
{
    g.SetTextRenderingHint(scene.hint);
    g.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
}

void FillLayoutBackground(Gdiplus::Graphics& g, LcdLayoutResources& resources, const LcdLayoutScene& scene, bool ellipse)
{
    Gdiplus::SolidBrush& brush = resources.Brush(opaque(scene.background));
    const Gdiplus::Rect whole(0, 0, scene.width, scene.height);
    if (ellipse)
        g.FillEllipse(&brush, whole);
    else
        g.FillRectangle(&brush, whole);
}

Gdiplus::Point CornerImagePlace(const LcdLayoutScene& scene)
{
    if (!scene.controlImage.image)
        return Gdiplus::Point(0, 0);
    return Gdiplus::Point(scene.width - scene.controlFrameWidth, scene.height - scene.controlImage.height);
}

void DrawCornerImage(Gdiplus::Graphics& g, const LcdLayoutScene& scene)
{
    const LcdPicture& strip = scene.controlImage;
    if (!strip.image)
        return;
    const Gdiplus::Point corner = CornerImagePlace(scene);
    g.DrawImage(strip.image.get(), Gdiplus::Rect(corner.X, corner.Y, scene.controlFrameWidth, strip.height), 0, 0,
                scene.controlFrameWidth, strip.height, Gdiplus::UnitPixel);
}

void DrawPicture(Gdiplus::Graphics& g, const LcdPicture& picture, const Gdiplus::Rect& rect)
{
    if (picture.image)
        g.DrawImage(picture.image.get(), rect);
}

bool RectsMeet(const Gdiplus::RectF& a, const Gdiplus::RectF& b)
{
    return a.X < b.X + b.Width && b.X < a.X + a.Width && a.Y < b.Y + b.Height && b.Y < a.Y + a.Height;
}

// ---- three-value panels

namespace {
enum class PanelText { Device, Temperature, Load, Clock, Usage, ClockCaption, Centigrade };
enum class Across { Left, Centre, Right };
enum class Ink { Label, Value, Dark };

struct PanelLine {
    PanelText text;
    Across across; // x counts from the left edge, the middle or the right edge
    int x, y, width, height;
    bool fromBottom; // y counts from the bottom edge
    int font;        // 0 large, 1 caption, 2 value
    Ink ink;
};

struct PanelFont {
    int nominal;
    Gdiplus::FontStyle style;
};

constexpr Gdiplus::FontStyle kRegular = Gdiplus::FontStyleRegular;
constexpr Gdiplus::FontStyle kBold = Gdiplus::FontStyleBold;
constexpr Gdiplus::FontStyle kBoldItalic = Gdiplus::FontStyleBoldItalic;
constexpr auto L = Across::Left;
constexpr auto C = Across::Centre;
constexpr auto R = Across::Right;

// Layouts 11 and 21 place the same texts.
const PanelLine kCentredLines[] = {
    { PanelText::Device, C, -100, 50, 200, 60, false, 2, Ink::Label },
    { PanelText::Temperature, C, -100, 120, 200, 120, false, 0, Ink::Value },
    { PanelText::Load, C, -100, 251, 200, 40, false, 2, Ink::Value },
    { PanelText::Usage, C, -100, 305, 200, 20, false, 1, Ink::Label },
    { PanelText::Clock, C, -100, 340, 200, 40, false, 2, Ink::Value },
    { PanelText::ClockCaption, C, -100, 390, 200, 20, false, 1, Ink::Label },
};
const PanelLine kBubbleLines[] = {
    { PanelText::Device, C, -100, 80, 200, 60, true, 2, Ink::Value },
    { PanelText::Temperature, C, -80, 110, 160, 50, false, 0, Ink::Value },
    { PanelText::Load, L, 60, 310, 160, 50, false, 2, Ink::Value },
    { PanelText::Clock, R, -220, 310, 160, 50, false, 2, Ink::Value },
    { PanelText::Usage, L, 90, 350, 100, 30, false, 1, Ink::Label },
    { PanelText::ClockCaption, L, 290, 350, 100, 30, false, 1, Ink::Label },
    { PanelText::Centigrade, L, 190, 150, 100, 30, false, 1, Ink::Label },
};
const PanelLine kBandLines[] = {
    { PanelText::Device, C, -100, 50, 200, 60, false, 2, Ink::Label },
    { PanelText::Temperature, C, -100, 120, 200, 120, false, 0, Ink::Dark },
    { PanelText::Load, L, 80, 300, 200, 50, false, 2, Ink::Value },
    { PanelText::Clock, L, 260, 300, 200, 50, false, 2, Ink::Value },
    { PanelText::Usage, L, 120, 350, 100, 50, false, 1, Ink::Label },
    { PanelText::ClockCaption, L, 300, 350, 100, 50, false, 1, Ink::Label },
};
const PanelLine kWideBubbleLines[] = {
    { PanelText::Temperature, C, -70, 90, 160, 60, false, 0, Ink::Value },
    { PanelText::Load, L, 120, 310, 160, 60, false, 2, Ink::Value },
    { PanelText::Clock, L, 360, 310, 160, 60, false, 2, Ink::Value },
    { PanelText::Centigrade, L, 280, 130, 100, 30, false, 1, Ink::Label },
    { PanelText::Usage, L, 150, 350, 100, 30, false, 1, Ink::Label },
    { PanelText::ClockCaption, L, 390, 350, 100, 30, false, 1, Ink::Label },
};
const PanelLine kWideBandLines[] = {
    { PanelText::Device, C, -100, 50, 200, 60, false, 2, Ink::Value },
    { PanelText::Temperature, C, -100, 140, 200, 120, false, 0, Ink::Label },
    { PanelText::Load, L, 80, 300, 200, 50, false, 2, Ink::Value },
    { PanelText::Clock, L, 340, 300, 200, 50, false, 2, Ink::Value },
    { PanelText::Usage, L, 130, 350, 100, 50, false, 1, Ink::Value },
    { PanelText::ClockCaption, L, 380, 350, 100, 50, false, 1, Ink::Value },
};

struct Panel {
    int layout;
    PanelFont fonts[3];
    bool tenths; // load with one decimal, clock in GHz
    const PanelLine* lines;
    int count;
};

template <size_t N>
constexpr int countOf(const PanelLine (&)[N])
{
    return static_cast<int>(N);
}

const Panel kPanels[] = {
    { 11, { { 60, kBoldItalic }, { 20, kRegular }, { 30, kRegular } }, false, kCentredLines, countOf(kCentredLines) },
    { 21, { { 60, kBold }, { 20, kRegular }, { 30, kRegular } }, false, kCentredLines, countOf(kCentredLines) },
    { 15, { { 30, kBoldItalic }, { 15, kRegular }, { 30, kRegular } }, true, kBubbleLines, countOf(kBubbleLines) },
    { 16, { { 60, kBoldItalic }, { 20, kRegular }, { 30, kRegular } }, false, kBandLines, countOf(kBandLines) },
    { 25, { { 30, kBold }, { 15, kRegular }, { 30, kRegular } }, false, kWideBubbleLines, countOf(kWideBubbleLines) },
    { 26, { { 60, kBoldItalic }, { 20, kRegular }, { 30, kRegular } }, false, kWideBandLines, countOf(kWideBandLines) },
};

enum class Device { Cpu, Gpu, Memory };

Device deviceOf(int item)
{
    if (item >= HardwareCpuTemperature && item <= HardwareCpuLoad)
        return Device::Cpu;
    if (item >= HardwareGpuTemperature && item <= HardwareGpuLoad)
        return Device::Gpu;
    return Device::Memory;
}

bool isValue(PanelText text)
{
    return text == PanelText::Temperature || text == PanelText::Load || text == PanelText::Clock;
}

Gdiplus::RectF placeOf(const PanelLine& line, const LcdLayoutScene& scene)
{
    const int origin = line.across == L ? 0 : line.across == C ? scene.cx() : scene.width;
    const int top = line.fromBottom ? scene.height - line.y : line.y;
    return Gdiplus::RectF(static_cast<float>(origin + line.x), static_cast<float>(top), static_cast<float>(line.width),
                          static_cast<float>(line.height));
}

Gdiplus::Color inkOf(Ink ink, const LcdLayoutScene& scene)
{
    return ink == Ink::Label ? scene.label : ink == Ink::Value ? scene.value : Gdiplus::Color(kDarkTemperature);
}

// The words of a text; the figures of a value are formatted into buffer.
const wchar_t* panelWords(PanelText text, const Panel& panel, const LcdLayoutScene& scene, wchar_t* buffer, size_t size)
{
    static const wchar_t* const kDevices[] = { L"CPU", L"GPU", L"Memory" };
    const Device device = deviceOf(scene.item);
    switch (text) {
    case PanelText::Device:
        return kDevices[static_cast<int>(device)];
    case PanelText::Usage:
        return L"Usage";
    case PanelText::ClockCaption:
        return L"Clock";
    case PanelText::Centigrade:
        return L"Centigrade";
    default:
        break;
    }
    const HARDWARE_INFO& v = *scene.values;
    const float temperature[] = { v.cpuTemperature, v.gpuTemperature, v.memoryTemperature };
    const float load[] = { v.cpuLoad, v.gpuLoad, v.memoryLoad };
    const float clock[] = { v.cpuClock, v.gpuClock, v.memoryClock };
    const int d = static_cast<int>(device);
    if (text == PanelText::Temperature)
        swprintf(buffer, size, device == Device::Memory ? L"%3.f%ls" : L"%02.f%ls", static_cast<double>(temperature[d]),
                 scene.sign);
    else if (text == PanelText::Load)
        swprintf(buffer, size, panel.tenths ? L"%02.01f%%" : L"%02.f%%", static_cast<double>(load[d]));
    else if (panel.tenths)
        swprintf(buffer, size, L"%3.01fGHz", static_cast<double>(clock[d] / 1000.0f));
    else
        swprintf(buffer, size, L"%3.fMHz", static_cast<double>(clock[d]));
    return buffer;
}
} // namespace

void DrawPanelTexts(Gdiplus::Graphics& g, LcdLayoutResources& resources, const LcdLayoutScene& scene, int layout, LayoutPart part)
{
    const Panel* panel = nullptr;
    for (const Panel& candidate : kPanels)
        if (candidate.layout == layout)
            panel = &candidate;
    if (!panel)
        return;
    Gdiplus::RectF movingSoFar[7];
    int moving = 0;
    wchar_t buffer[48];
    for (int i = 0; i < panel->count; ++i) {
        const PanelLine& line = panel->lines[i];
        const Gdiplus::RectF place = placeOf(line, scene);
        // A caption under a value drawn before it must follow that value every frame.
        bool movesWithValue = isValue(line.text);
        for (int m = 0; m < moving && !movesWithValue; ++m)
            movesWithValue = RectsMeet(place, movingSoFar[m]);
        if (movesWithValue)
            movingSoFar[moving++] = place;
        if (movesWithValue != (part == LayoutPart::Moving))
            continue;
        const PanelFont& font = panel->fonts[line.font];
        resources.Text(g, panelWords(line.text, *panel, scene, buffer, std::size(buffer)), resources.Font(font.nominal, font.style),
                 place, inkOf(line.ink, scene));
    }
}

// ---- gauges

namespace {
enum class Quantity { None, CpuTemperature, CpuClock, CpuLoad, GpuTemperature, GpuClock, GpuLoad, TotalOf128, Total,
                      MemoryTemperature, MemoryClock, MemoryPercentage };

struct GaugeCell {
    Quantity quantity;
    const wchar_t* format;
    const wchar_t* unit; // kTemperatureUnit: this frame's sign
};

const GaugeCell kNone { Quantity::None, L"", L"" };

// Rows: the gauge families 2, 3 and 4; columns: items 1 to 10.
const GaugeCell kGaugeTable[3][10] = {
    { { Quantity::CpuTemperature, L"%02.f", kTemperatureUnit }, { Quantity::CpuClock, L"%3.f", L"MHz" },
      { Quantity::CpuLoad, L"%02.f", L"%" }, { Quantity::GpuTemperature, L"%02.f", kTemperatureUnit },
      { Quantity::GpuClock, L"%3.f", L"MHz" }, { Quantity::GpuLoad, L"%02.f", L"%" },
      { Quantity::TotalOf128, L"%2.02f", L"%" }, kNone, kNone, { Quantity::MemoryPercentage, L"%02.f", L"%" } },
    { kNone, { Quantity::CpuClock, L"%02.f", L"MHz" }, kNone, kNone, { Quantity::GpuClock, L"%02.f", L"MHz" }, kNone,
      { Quantity::Total, L"%2.02f", L"GB" }, { Quantity::MemoryTemperature, L"%02.f", kTemperatureUnit },
      { Quantity::MemoryClock, L"%4.f", L"MHz" }, { Quantity::MemoryPercentage, L"%3.f%%", L"%" } },
    { { Quantity::CpuTemperature, L"%02.f", kTemperatureUnit }, { Quantity::CpuClock, L"%3.f", L"MHz" },
      { Quantity::CpuLoad, L"%02.f", L"%" }, { Quantity::GpuTemperature, L"%02.f", kTemperatureUnit },
      { Quantity::GpuClock, L"%3.f", L"MHz" }, { Quantity::GpuLoad, L"%02.f", L"%" }, kNone,
      { Quantity::MemoryTemperature, L"%02.f", kTemperatureUnit }, kNone, { Quantity::MemoryPercentage, L"%02.f", L"%" } },
};

const GaugeCell& gaugeCell(int family, int item)
{
    if (family < 2 || family > 4 || item < 1 || item > 10)
        return kNone;
    return kGaugeTable[family - 2][item - 1];
}

float quantityOf(Quantity quantity, const LcdLayoutScene& scene)
{
    const HARDWARE_INFO& v = *scene.values;
    switch (quantity) {
    case Quantity::CpuTemperature: return v.cpuTemperature;
    case Quantity::CpuClock: return v.cpuClock;
    case Quantity::CpuLoad: return v.cpuLoad;
    case Quantity::GpuTemperature: return v.gpuTemperature;
    case Quantity::GpuClock: return v.gpuClock;
    case Quantity::GpuLoad: return v.gpuLoad;
    case Quantity::TotalOf128: return (v.memoryUsed + v.memoryFree) * kOf128Gb * 100.0f;
    case Quantity::Total: return v.memoryUsed + v.memoryFree;
    case Quantity::MemoryTemperature: return v.memoryTemperature;
    case Quantity::MemoryClock: return v.memoryClock;
    case Quantity::MemoryPercentage: return scene.memoryPercent;
    default: return 0.0f;
    }
}
} // namespace

bool GaugeShows(int family, int item)
{
    return gaugeCell(family, item).quantity != Quantity::None;
}

GaugeReading ReadGauge(int family, const LcdLayoutScene& scene)
{
    GaugeReading reading;
    const GaugeCell& cell = gaugeCell(family, scene.item);
    if (cell.quantity == Quantity::None || !scene.values)
        return reading;
    swprintf(reading.value, std::size(reading.value), cell.format,
             static_cast<double>(quantityOf(cell.quantity, scene)));
    reading.unit = cell.unit == kTemperatureUnit ? scene.sign : cell.unit;
    return reading;
}

Gdiplus::RectF GaugeValueRect(const LcdLayoutScene& scene, int left)
{
    return Gdiplus::RectF(static_cast<float>(left), static_cast<float>(scene.cy() - 40),
                          static_cast<float>(scene.width - 20), 60.0f);
}

Gdiplus::RectF GaugeUnitRect(const LcdLayoutScene& scene, int left)
{
    return Gdiplus::RectF(static_cast<float>(left), static_cast<float>(scene.cy() + 20),
                          static_cast<float>(scene.width - 20), 30.0f);
}

void DrawGaugeTexts(LayoutPart part, Gdiplus::Graphics& g, LcdLayoutResources& resources, const LcdLayoutScene& scene, int family,
                    int largeSize, int left, Gdiplus::Color valueColour, const GaugeCaption& caption)
{
    const bool moving = part == LayoutPart::Moving;
    const GaugeReading reading = ReadGauge(family, scene);
    if (moving && reading.shown()) {
        resources.Text(g, reading.value, resources.Font(largeSize, Gdiplus::FontStyleBoldItalic), GaugeValueRect(scene, left),
                 valueColour);
        resources.Text(g, reading.unit, resources.Font(20, Gdiplus::FontStyleRegular), GaugeUnitRect(scene, left), scene.label);
    }
    if (!caption.text || !GaugeShows(family, scene.item))
        return;
    const Gdiplus::RectF place(10.0f, static_cast<float>(scene.height - 60), static_cast<float>(scene.width - 20),
                               caption.height);
    const bool captionMoves =
        RectsMeet(place, GaugeValueRect(scene, left)) || RectsMeet(place, GaugeUnitRect(scene, left));
    if (captionMoves == moving)
        resources.Text(g, caption.text, caption.font, place, scene.label);
}

bool DialMoves(int family, int item)
{
    switch (item) {
    case HardwareCpuClock:
    case HardwareGpuClock:
    case HardwareMemoryLoad:
        return family >= 2 && family <= 4;
    case HardwareCpuTemperature:
    case HardwareCpuLoad:
    case HardwareGpuTemperature:
    case HardwareGpuLoad:
        return family == 2 || family == 4;
    case HardwareMemoryCapacity:
        return family == 3;
    default:
        return false;
    }
}

bool DialMarked(int family, int item)
{
    return family == 2 || DialMoves(family, item);
}

float DialSweep(int family, const LcdLayoutScene& scene)
{
    if (!DialMoves(family, scene.item) || !scene.values)
        return family == 2 ? kDialFullScale : 0.0f;
    const HARDWARE_INFO& v = *scene.values;
    // Temperatures fill the needle's scale at 100 and the pie's at 212 (Fahrenheit's boiling point).
    const float temperatureScale = family == 4 ? 212.0f : 100.0f;
    switch (scene.item) {
    case HardwareCpuTemperature:
        return v.cpuTemperature * 300.0f / temperatureScale;
    case HardwareGpuTemperature:
        return v.gpuTemperature * 300.0f / temperatureScale;
    case HardwareCpuLoad:
        return v.cpuLoad * 300.0f / 100.0f;
    case HardwareGpuLoad:
        return v.gpuLoad * 300.0f / 100.0f;
    case HardwareCpuClock:
        return scene.clockAngle(v.cpuClock);
    case HardwareGpuClock:
        return scene.clockAngle(v.gpuClock);
    case HardwareMemoryCapacity:
        return (v.memoryUsed + v.memoryFree) * kOf128Gb * 100.0f * 300.0f * kOf128Gb;
    default: {
        // The needle divides used by the total itself; arc and pie go through the percentage.
        if (family != 2)
            return scene.memoryPercent * 300.0f / 100.0f;
        const float total = v.memoryUsed + v.memoryFree;
        return total > 0.0f ? 300.0f * v.memoryUsed / total : 0.0f;
    }
    }
}

void DrawLayoutPart(int layout, LayoutPart part, Gdiplus::Graphics& g, LcdLayoutResources& resources, const LcdLayoutScene& scene)
{
    if (layout >= 11 && layout <= 16)
        DrawRoundLayout(layout, part, g, resources, scene);
    else if (layout >= 21 && layout <= 26)
        DrawPlainLayout(layout, part, g, resources, scene);
}

} // namespace KOVA
