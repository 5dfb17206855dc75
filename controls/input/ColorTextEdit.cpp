// GUI thread only.
#include "controls/input/ColorTextEdit.h"

#include "controls/basic/LookPainting.h"
#include "framework/MRender.h"
#include "framework/Manager.h"

namespace KOVA {

namespace {
constexpr COLORREF kEditBack = 0x505050;
constexpr COLORREF kEditText = 0xFFFFFF;
constexpr int kDefaultFontSize = 15;
} // namespace

ColorEditWindow::ColorEditWindow()
{
    SetBrushColors(kEditBack, kEditText);
}

ColorTextEdit::ColorTextEdit(MObject* parent, UINT id, CRect rect, int visible, int enabled, int limit, COLORREF color)
    : MControlFont(parent, id, rect, L"", visible, enabled, 1), m_limit(limit), m_color(color)
{
    m_tabStop = 1;
    m_textColor = Gdiplus::Color(0xFFFFFFFF);
    m_fontSize = kDefaultFontSize;
}

HFONT ColorTextEdit::GetDefaultFont()
{
    if (!*m_editFont)
        *m_editFont = CreateEditFont(m_textFont, -static_cast<int>(m_fontSize * Manager::GetScaleValue()), m_fontStyle);
    return m_editFont->get();
}

CRect ColorTextEdit::CenteredLine(CRect span) const
{
    const int line = static_cast<int>(m_fontSize * Manager::GetScaleValue());
    span.top += (span.Height() - line) / 2;
    span.bottom = span.top + line;
    return span;
}

void ColorTextEdit::SetSelectColor(COLORREF color)
{
    m_color = color;
    UpdateControl(1, 0);
}

void ColorTextEdit::ReportColor()
{
    UpdateControl(1, 0);
    SendMessageW(kColorCommitted, 0, static_cast<LONG>(m_color));
}

int ColorTextEdit::SetControlFocus(int focus)
{
    if (!m_enabled)
        return 0;
    if (!focus)
        HideEdit();
    return 1;
}

int ColorTextEdit::OnControlMouseMove(UINT, CPoint) { return 0; }
int ColorTextEdit::OnControlLButtonUp(UINT, CPoint) { return 0; }

int ColorTextEdit::OnControlKeyDown(UINT key, UINT, UINT modifiers)
{
    if (!m_enabled)
        return 0;
    return AnswerFieldKey(*this, m_focused, key, modifiers, m_shortcutKey, m_shortcutModifiers);
}

NativeEditWindow::Setup ColorTextEdit::EditSetup(const CRect& rect, const CString& text, bool numberOnly)
{
    UINT align = 0;
    UINT vertical = 0;
    GetAlignment(align, vertical);
    NativeEditWindow::Setup setup;
    setup.rect = rect;
    setup.font = GetDefaultFont();
    setup.limit = m_limit;
    setup.align = align;
    setup.enabled = m_enabled == 1;
    setup.numberOnly = numberOnly;
    setup.text = text;
    return setup;
}

void ColorTextEdit::RevealEdit(NativeEditWindow& window, const CString& text)
{
    window.Reveal(text);
    m_focused = 1;
    SendMessageW(kEditShown, 0, 0);
}

void ColorTextEdit::DrawFrame(Gdiplus::Graphics& graphics, int width, int height)
{
    Gdiplus::Pen pen(Gdiplus::Color(kFrameColor), 1.0f);
    graphics.DrawRectangle(&pen, 0, 0, width - 1, height - 1);
}

void ColorTextEdit::DrawLabel(HDC dc, CRect rect, const CString& text, COLORREF color, UINT format)
{
    ::SetBkMode(dc, TRANSPARENT);
    MRender::DrawTextW(dc, rect, text, color, GetDefaultFont(), format);
}

} // namespace KOVA
