// Read on the fast-timer thread by timer-driven subclasses while they draw; the setters run
// on the GUI thread. No lock of its own: the paint manager's caches lock themselves.
#include "framework/MControlFont.h"

#include "framework/FontCache.h"
#include "framework/ImgResInfo.h"
#include "framework/Manager.h"
#include "framework/PaintManager.h"

namespace KOVA {

namespace {
Gdiplus::StringAlignment horizontalAlignment(UINT horizontal)
{
    switch (horizontal) {
    case DT_CENTER:
        return Gdiplus::StringAlignmentCenter;
    case DT_RIGHT:
        return Gdiplus::StringAlignmentFar;
    default:
        return Gdiplus::StringAlignmentNear;
    }
}

Gdiplus::StringAlignment verticalAlignment(UINT vertical)
{
    switch (vertical) {
    case DT_VCENTER:
        return Gdiplus::StringAlignmentCenter;
    case DT_BOTTOM:
        return Gdiplus::StringAlignmentFar;
    default:
        return Gdiplus::StringAlignmentNear;
    }
}

Gdiplus::RectF layoutRect(const CRect& rect)
{
    return Gdiplus::RectF(static_cast<Gdiplus::REAL>(rect.left), static_cast<Gdiplus::REAL>(rect.top),
                          static_cast<Gdiplus::REAL>(rect.Width()), static_cast<Gdiplus::REAL>(rect.Height()));
}

// Puts the caller's rendering hint back: the Graphics is shared by the whole paint.
class ScopedTextRenderingHint {
public:
    ScopedTextRenderingHint(Gdiplus::Graphics& graphics, Gdiplus::TextRenderingHint hint)
        : m_graphics(graphics), m_previous(graphics.GetTextRenderingHint())
    {
        m_graphics.SetTextRenderingHint(hint);
    }
    ~ScopedTextRenderingHint() { m_graphics.SetTextRenderingHint(m_previous); }
    ScopedTextRenderingHint(const ScopedTextRenderingHint&) = delete;
    ScopedTextRenderingHint& operator=(const ScopedTextRenderingHint&) = delete;

private:
    Gdiplus::Graphics& m_graphics;
    Gdiplus::TextRenderingHint m_previous;
};
} // namespace

MControlFont::MControlFont(MObject* parent, UINT id, CRect rect, const wchar_t* title, int visible, int enabled,
                           int response)
    : MControl(parent, id, rect, visible, enabled, response),
      m_title(title ? title : L""),
      m_textFont(Manager::GetFontName()),
      m_fontSize(Manager::GetFontWidth())
{
    replaceTextBrush(m_textColor);
}

MControlFont::MControlFont(const MControlFont& other) : MControl(other)
{
    copyValuesFrom(other);
}

MControlFont& MControlFont::operator=(const MControlFont& other)
{
    if (this != &other) {
        MControl::operator=(other);
        copyValuesFrom(other);
    }
    return *this;
}

MControlFont::~MControlFont() = default;

void MControlFont::copyValuesFrom(const MControlFont& other)
{
    m_title = other.m_title;
    m_textFont = other.m_textFont;
    m_imagePath = other.m_imagePath;
    m_fontSize = other.m_fontSize;
    replaceTextBrush(other.m_textColor);
    m_fontStyle = other.m_fontStyle;
    m_fontFamily = nullptr;
    m_hAlign = other.m_hAlign;
    m_vAlign = other.m_vAlign;
    m_textRenderingHint = other.m_textRenderingHint;
    ClearGDIFont();
    m_image = other.m_image;
    m_imageWidth = other.m_imageWidth;
    m_imageHeight = other.m_imageHeight;
    m_imageCount = other.m_imageCount;
}

// ---- title

void MControlFont::SetControlTitle(const wchar_t* title)
{
    m_title = title ? title : L"";
}

CString MControlFont::GetControlTitle()
{
    return m_title;
}

void MControlFont::SetTitle(const wchar_t* title)
{
    ClearGDIFont();
    SetControlTitle(title);
    requestRepaint();
}

// ---- font

void MControlFont::SetTextFont(CString face)
{
    m_textFont = face;
}

void MControlFont::SetFont(const wchar_t* face, int size, Gdiplus::FontStyle style)
{
    m_textFont = face ? face : L"";
    m_fontSize = size;
    m_fontStyle = style;
}

HFONT MControlFont::GetGDIFont()
{
    if (!m_gdiFont) {
        // GDI maps a missing face to a font of its own choosing, so the library-wide name is
        // safe here even where it is not installed.
        const LOGFONTW font = MakeLogFont(Manager::GetFontName(), -m_fontSize, m_fontStyle);
        m_gdiFont.reset(CreateFontIndirectW(&font));
    }
    return m_gdiFont.get();
}

void MControlFont::ClearGDIFont()
{
    m_gdiFont.reset();
}

const Gdiplus::FontFamily* MControlFont::sharedFamily(const wchar_t* face) const
{
    return m_manager ? m_manager->FindTempFontOrFallback(face) : nullptr;
}

Gdiplus::FontFamily* MControlFont::GetFontFamily(const wchar_t* face)
{
    const Gdiplus::FontFamily* shared = sharedFamily(face);
    m_fontFamily = shared ? shared->Clone() : nullptr;
    return m_fontFamily;
}

std::unique_ptr<Gdiplus::Font> MControlFont::CreateTextFont() const
{
    const Gdiplus::FontFamily* family = sharedFamily(m_textFont);
    if (!family)
        return nullptr;
    // The font keeps its own reference to the family: the cache's copy is not retained.
    std::unique_ptr<Gdiplus::Font> font(
        new Gdiplus::Font(family, static_cast<Gdiplus::REAL>(m_fontSize), m_fontStyle, Gdiplus::UnitPixel));
    if (font->GetLastStatus() != Gdiplus::Ok)
        return nullptr;
    return font;
}

// ---- colour and alignment

void MControlFont::SetTextColor(Gdiplus::Color color)
{
    replaceTextBrush(color);
}

void MControlFont::replaceTextBrush(Gdiplus::Color color)
{
    m_textBrush.reset();
    m_textColor = color;
    m_textBrush.reset(new Gdiplus::SolidBrush(color));
    if (m_textBrush->GetLastStatus() != Gdiplus::Ok)
        m_textBrush.reset();
}

void MControlFont::SetAlignment(UINT horizontal)
{
    SetAlignment(horizontal, m_vAlign);
}

void MControlFont::SetVAlignment(UINT vertical)
{
    SetAlignment(m_hAlign, vertical);
}

void MControlFont::SetAlignment(UINT horizontal, UINT vertical)
{
    if (horizontal == m_hAlign && vertical == m_vAlign)
        return;
    m_hAlign = horizontal;
    m_vAlign = vertical;
    requestRepaint();
}

void MControlFont::GetAlignment(UINT& horizontal, UINT& vertical) const
{
    horizontal = m_hAlign;
    vertical = m_vAlign;
}

void MControlFont::ApplyAlignment(Gdiplus::StringFormat& format) const
{
    format.SetAlignment(horizontalAlignment(m_hAlign));
    format.SetLineAlignment(verticalAlignment(m_vAlign));
}

int MControlFont::DrawString(Gdiplus::Graphics& graphics, const CString& text, const CRect& rect) const
{
    const std::unique_ptr<Gdiplus::Font> font = CreateTextFont();
    if (!font || !m_textBrush)
        return 0;
    Gdiplus::StringFormat format;
    ApplyAlignment(format);
    ScopedTextRenderingHint hint(graphics, m_textRenderingHint);
    const Gdiplus::Status status =
        graphics.DrawString(text, text.GetLength(), TextFont(font.get(), text),
                            layoutRect(rect), &format, m_textBrush.get());
    return status == Gdiplus::Ok ? 1 : 0;
}

// ---- image strip

void MControlFont::SetImageCount(int count)
{
    if (count >= 1)
        m_imageCount = count;
}

int MControlFont::SetImage(const wchar_t* path, int count)
{
    return canTakeImage(count) ? takeImage(m_manager->AddImgResInfo(path, count), count) : 0;
}

int MControlFont::SetImage(UINT resourceId, CString type, int count)
{
    return canTakeImage(count) ? takeImage(m_manager->AddImgResInfo(resourceId, type, count, 1), count) : 0;
}

bool MControlFont::canTakeImage(int count) const
{
    return m_manager && count >= 1;
}

int MControlFont::takeImage(const ImgResInfo* record, int count)
{
    if (!record || !record->m_pImage)
        return 0;
    m_imageCount = count;
    m_image = record->m_pImage;
    // The record's frame width follows the count of whoever loaded the image first; this
    // control cuts the whole strip by its own count.
    m_imageWidth = static_cast<int>(m_image->GetWidth());
    m_imageHeight = record->m_nHeight;
    requestRepaint();
    return 1;
}

} // namespace KOVA
