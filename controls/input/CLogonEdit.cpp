// GUI thread only.
#include "controls/input/CLogonEdit.h"

#include "controls/basic/LookPainting.h"
#include "controls/input/CTxtWinHost.h"
#include "framework/FontCache.h"

namespace KOVA {

namespace {
constexpr DWORD kSingleLineStyle = WS_HSCROLL | ES_AUTOHSCROLL;
constexpr int kFontSize = 16;
constexpr RECT kPadding { 50, 16, 5, 5 };
constexpr int kTextTop = 14;
constexpr int kTextBottom = 5;
constexpr DWORD kRuleColor = 0xFE898989;
constexpr int kIconX = 5;
constexpr int kIconY = 16;
constexpr int kTipHeight = 16;
constexpr int kTipMargin = 60;
constexpr float kPlaceholderSize = 14.0f;
constexpr float kCaptionSize = 9.0f;
} // namespace

CLogonEdit::CLogonEdit(MObject* parent, UINT id, CRect rect, const wchar_t* title, int visible, int enabled)
    : MRichEdit(parent, id, rect, title, visible, enabled)
{
    m_winStyle = kSingleLineStyle;
    m_fontSize = kFontSize;
    m_padding = kPadding;
}

const wchar_t* CLogonEdit::GetClassNameW() const { return L"CLogonEdit"; }

void CLogonEdit::SetControlRect(CRect rect)
{
    m_rect = rect;
    if (!Host())
        return;
    m_padding.top = kTextTop;
    m_padding.bottom = kTextBottom;
    LayOutTextArea(rect, true);
}

int CLogonEdit::OnControlMouseMove(UINT, CPoint) { return 0; }

void CLogonEdit::drawFace(Gdiplus::Graphics& graphics, int width, int height)
{
    if (m_icon && m_icon->GetLastStatus() == Gdiplus::Ok)
        graphics.DrawImage(m_icon, kIconX, kIconY, m_iconWidth, m_iconHeight);
    Gdiplus::Pen rule { Gdiplus::Color(kRuleColor), 1.0f };
    graphics.DrawLine(&rule, 0, height - 1, width, height - 1);
    if (m_tip.IsEmpty())
        return;
    // Empty: a placeholder in the middle of the text area; with text: a caption above it.
    const bool empty = m_title.IsEmpty();
    const auto font = MakeTextFont(*this, empty ? kPlaceholderSize : kCaptionSize);
    if (!font)
        return;
    const int paddedHeight = height - m_padding.top - m_padding.bottom;
    const float x = empty ? static_cast<float>(m_padding.left) : 2.0f;
    const float y = empty ? static_cast<float>(m_padding.top + (paddedHeight - kTipHeight) / 2 + 1) : 0.0f;
    Gdiplus::SolidBrush brush { Gdiplus::Color(kRuleColor) };
    Gdiplus::StringFormat format;
    format.SetFormatFlags(Gdiplus::StringFormatFlagsNoWrap | Gdiplus::StringFormatFlagsMeasureTrailingSpaces);
    format.SetAlignment(Gdiplus::StringAlignmentNear);
    format.SetLineAlignment(Gdiplus::StringAlignmentCenter);
    graphics.SetTextRenderingHint(Gdiplus::TextRenderingHintClearTypeGridFit);
    graphics.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
    const Gdiplus::RectF layout(x, y, static_cast<float>(width - kTipMargin), static_cast<float>(kTipHeight));
    graphics.DrawString(m_tip, m_tip.GetLength(), TextFont(font.get(), m_tip), layout, &format, &brush);
}

void CLogonEdit::DrawControl(HDC& dc, CRect paintRect)
{
    const int width = m_rect.Width();
    const int height = m_rect.Height();
    if (BeginCachedLooks(*this, m_memPicture, dc, 1)) {
        Gdiplus::Graphics graphics(m_memPicture.dc());
        drawFace(graphics, width, height);
    }
    ShowCachedLook(*this, m_memPicture, dc, 0);
    DrawText(dc, paintRect);
}

} // namespace KOVA
