// GUI thread only.
#include "controls/basic/MText.h"

#include "controls/basic/LookPainting.h"
#include "framework/FontCache.h"
#include "framework/Manager.h"

namespace KOVA {

namespace {
constexpr UINT kCodePositionChanged = 8;
constexpr UINT kScrollBarId = 1;

CString orEmpty(const wchar_t* text)
{
    return CString(text ? text : L"");
}
} // namespace

MText::MText(MObject* parent, UINT id, CRect rect, const wchar_t* title, int visible)
    : MControlFont(parent, id, rect, title, visible, 0, 1)
{
}

LONG MText::OnBaseMessage(UINT id, UINT code, UINT wParam, LONG lParam)
{
    OnMessage(id, code, wParam, lParam);
    return 0;
}

LONG MText::OnMessage(UINT id, UINT code, UINT, LONG)
{
    if (id == kScrollBarId && code == kCodePositionChanged)
        Repaint();
    return 0;
}

int MText::OnControlScroll(int, UINT, CPoint)
{
    return 1;
}

// ---- texts

bool MText::StoreTitle(const wchar_t* title)
{
    const CString text = orEmpty(title);
    if (text == m_title)
        return false;
    SetControlTitle(text);
    return true;
}

bool MText::StoreMark(const wchar_t* mark)
{
    const CString text = orEmpty(mark);
    if (text == m_markText)
        return false;
    m_markText = text;
    return true;
}

bool MText::StoreMarkLook(Gdiplus::Color colour, int flag)
{
    if (colour.GetValue() == m_markColour.GetValue() && flag == m_markFlag)
        return false;
    m_markColour = colour;
    m_markFlag = flag;
    return true;
}

void MText::SetMarkText(const wchar_t* mark)
{
    if (StoreMark(mark))
        Repaint();
}

void MText::SetMarkText(const wchar_t* mark, Gdiplus::Color colour, int flag)
{
    // Both are stored whichever changed.
    const bool markChanged = StoreMark(mark);
    if (StoreMarkLook(colour, flag) || markChanged)
        Repaint();
}

void MText::SetTitleMarkText(const wchar_t* title, const wchar_t* mark, int)
{
    const bool titleChanged = StoreTitle(title);
    if (StoreMark(mark) || titleChanged)
        Repaint();
}

void MText::SetMarkText(const wchar_t* title, const wchar_t* mark, Gdiplus::Color colour, int flag)
{
    const bool titleChanged = StoreTitle(title);
    const bool markChanged = StoreMark(mark);
    if (StoreMarkLook(colour, flag) || titleChanged || markChanged)
        Repaint();
}

void MText::EnableTextBack(int enable, Gdiplus::Color colour)
{
    if (enable != m_textBack) {
        m_textBack = enable;
        m_textBackColour = colour;
    }
    Repaint();
}

// ---- drawing

void MText::FormatLines(Gdiplus::StringFormat& format) const
{
    ApplyAlignment(format);
    if (!m_multiLine) {
        format.SetFormatFlags(Gdiplus::StringFormatFlagsNoWrap | Gdiplus::StringFormatFlagsMeasureTrailingSpaces);
        return;
    }
    format.SetFormatFlags(Gdiplus::StringFormatFlagsNoClip | Gdiplus::StringFormatFlagsMeasureTrailingSpaces);
    if (m_vCenter)
        format.SetLineAlignment(Gdiplus::StringAlignmentCenter);
}

void MText::DrawControl(HDC& dc, CRect)
{
    DrawCachedLooks(*this, m_memPicture, dc, 1, 0, [&](Gdiplus::Graphics& graphics) {
        const int width = m_rect.Width();
        const int height = m_rect.Height();
        if (m_textBack) {
            const Gdiplus::SolidBrush back(m_textBackColour);
            graphics.FillRectangle(&back, 0, 0, width, height);
        }
        const auto font = MakeTextFont(*this, static_cast<float>(static_cast<int>(m_fontSize * Manager::GetScaleValue())));
        const Gdiplus::Brush* brush = GetTextBrush();
        if (!font || !brush || m_title.IsEmpty())
            return;
        Gdiplus::StringFormat format;
        FormatLines(format);
        graphics.SetTextRenderingHint(Gdiplus::TextRenderingHintClearTypeGridFit);
        graphics.SetSmoothingMode(Gdiplus::SmoothingModeHighQuality);
        graphics.DrawString(m_title, m_title.GetLength(), TextFont(font.get(), m_title),
                            Gdiplus::RectF(0.0f, 0.0f, static_cast<Gdiplus::REAL>(width),
                                           static_cast<Gdiplus::REAL>(height)),
                            &format, brush);
    });
}

} // namespace KOVA
