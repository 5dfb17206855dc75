#include "framework/MAirBladder.h"

#include <algorithm>

#include "framework/AppPaths.h"
#include "framework/FontCache.h"
#include "framework/MRender.h"
#include "framework/MRenderInternal.h"
#include "framework/Manager.h"
#include "framework/PaintedWindow.h"

namespace KOVA {

namespace {
constexpr UINT kHideDelayMs = 5000;
constexpr float kTextPixels = 14.0f;
constexpr int kBackgroundBorder = 6;
// Placed to stay, a tip lays out two lines fewer than its text has, and is this much
// shorter than those lines.
constexpr int kStayLinesLeftOut = 2;
constexpr int kStayHeightCut = 35;
constexpr Gdiplus::ARGB kTextColour = 0xFFFFFFFF;
} // namespace

// ---- the balloon tip

MAirBladder::~MAirBladder()
{
    // Before the images and the font go: nothing may reach a half-destroyed tip.
    Unbind();
}

LRESULT MAirBladder::OnWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam)
{
    return detail::DispatchTipMessage(*this, msg, wParam, lParam);
}

BOOL MAirBladder::PreTranslateMessage(MSG*) { return 0; }

BOOL MAirBladder::OnInitDialog()
{
    LoadTempFont();
    return 1;
}

void MAirBladder::LoadTempFont()
{
    *m_fontFamily = detail::LoadTipFont(*m_fonts);
}

// ---- handlers

LRESULT MAirBladder::OnUserCloseWindow(WPARAM wParam, LPARAM lParam)
{
    return PostClose(wParam, lParam);
}

void MAirBladder::CloseWindow()
{
    PostClose(0, 0);
}

int MAirBladder::OnCreate(CREATESTRUCTW*)
{
    StripCaptionAndFrame();
    detail::KeepOnlyToolWindowStyle(*this);
    return 1;
}

int MAirBladder::OnSize(UINT, int, int)
{
    detail::FollowTipSize(*this);
    return 1;
}

void MAirBladder::SetupRegion(int corner)
{
    SetRoundRegion(corner);
}

void MAirBladder::OnTimer(UINT id)
{
    detail::HideTipOnTimer(*this, id);
}

int MAirBladder::OnKillFocus(MWindow*)
{
    detail::HideTipOnFocusLoss(*this, m_mode);
    return 1;
}

int MAirBladder::OnMouseMove(UINT, CPoint) { return 0; }
int MAirBladder::OnMouseLeave(WPARAM, LPARAM) { return 0; }
int MAirBladder::OnMouseHover(WPARAM, LPARAM) { return 0; }
int MAirBladder::OnMouseWheel(UINT, short, CPoint) { return 0; }
int MAirBladder::OnLButtonDown(UINT, CPoint) { return 0; }
int MAirBladder::OnLButtonUp(UINT, CPoint) { return 0; }
int MAirBladder::OnLButtonDblClk(UINT, CPoint) { return 0; }
int MAirBladder::OnRButtonDown(UINT, CPoint) { return 0; }
int MAirBladder::OnRButtonUp(UINT, CPoint) { return 0; }
int MAirBladder::OnRButtonDblClk(UINT, CPoint) { return 0; }
int MAirBladder::OnKeyDown(UINT, UINT, UINT) { return 0; }
int MAirBladder::OnNcHitTest(CPoint) { return 0; }
int MAirBladder::OnGetMinMaxInfo(MINMAXINFO*) { return 0; }
int MAirBladder::OnNcCalcSize(BOOL, NCCALCSIZE_PARAMS*) { return 0; }
int MAirBladder::OnNcActivate(BOOL) { return 1; }
int MAirBladder::OnSetFocus(MWindow*) { return 0; }
int MAirBladder::OnWindowPosChanging(WINDOWPOS*) { return 0; }
int MAirBladder::OnWindowPosChanged(WINDOWPOS*) { return 0; }
int MAirBladder::OnNcPaint() { return 0; }
int MAirBladder::OnClose() { return 1; }
int MAirBladder::PostNcDestroy() { return 0; }
int MAirBladder::OnDestroy() { return 0; }

// ---- images and settings

int MAirBladder::LoadBKImage(CString file) { return m_background->load(file); }
int MAirBladder::LoadArrowLImage(CString file) { return m_arrowLeft->load(file); }
int MAirBladder::LoadArrowRImage(CString file) { return m_arrowRight->load(file); }
int MAirBladder::LoadArrowTImage(CString file) { return m_arrowTop->load(file); }
int MAirBladder::LoadBKImage(UINT id, CString type) { return m_background->load(id, type); }
int MAirBladder::LoadArrowLImage(UINT id, CString type) { return m_arrowLeft->load(id, type); }
int MAirBladder::LoadArrowRImage(UINT id, CString type) { return m_arrowRight->load(id, type); }
int MAirBladder::LoadArrowTImage(UINT id, CString type) { return m_arrowTop->load(id, type); }

void MAirBladder::SetBackMode(enumBackMode mode, int border)
{
    m_backMode = mode;
    m_border = border;
}

// ---- text and placement

int MAirBladder::SetAirBladderMsg(const wchar_t* text, POINT anchor, AIRBLADDER_TYPE type, AIRBLADDER_MODE mode)
{
    const CString newText(text ? text : L"");
    if (newText == m_text && anchor.x == m_anchorX && anchor.y == m_anchorY && type == m_type && mode == m_mode)
        return 1;
    m_alignment = Gdiplus::StringAlignmentNear;
    m_lineAlignment = Gdiplus::StringAlignmentNear;
    m_text = newText;
    m_anchorX = anchor.x;
    m_anchorY = anchor.y;
    m_type = type;
    m_mode = mode;
    AutoFit();
    if (type != AirBladderTypeNoAutoHide && IsLive())
        SetTimer(detail::kTipHideTimerId, kHideDelayMs, nullptr);
    return 1;
}

Gdiplus::FontFamily* MAirBladder::family()
{
    if (*m_fontFamily)
        return *m_fontFamily;
    return m_fonts->findOrFallback(kBrandFontFace);
}

std::unique_ptr<Gdiplus::Font> MAirBladder::textFont()
{
    return std::make_unique<Gdiplus::Font>(family(), kTextPixels, Gdiplus::FontStyleRegular, Gdiplus::UnitPixel);
}

void MAirBladder::makeFormat(Gdiplus::StringFormat& format) const
{
    format.SetAlignment(m_alignment);
    format.SetLineAlignment(m_lineAlignment);
    format.SetFormatFlags(Gdiplus::StringFormatFlagsNoWrap | Gdiplus::StringFormatFlagsMeasureTrailingSpaces);
}

void MAirBladder::AutoFit()
{
    if (m_text.IsEmpty())
        return;
    const auto font = textFont();
    Gdiplus::StringFormat format;
    makeFormat(format);
    const Gdiplus::Size bounds = MRender::GetTextBounds(*font, format, m_text);
    const wchar_t* text = m_text;
    m_lineCount = 1 + static_cast<int>(std::count(text, text + m_text.GetLength(), L'\n'));
    if (m_lineCount == 1 || m_mode == AirBladderModeAbove) {
        m_alignment = Gdiplus::StringAlignmentCenter;
        m_lineAlignment = Gdiplus::StringAlignmentCenter;
    }
    const CRect area = placement(bounds.Width, bounds.Height);
    // Never fewer than the one line a text has.
    if (m_mode == AirBladderModeRightStay)
        m_lineCount = std::max(1, m_lineCount - kStayLinesLeftOut);
    if (IsLive())
        MoveWindow(area.left, area.top, area.Width(), area.Height(), TRUE);
    OnPaint();
}

CRect MAirBladder::placement(int textWidth, int textHeight) const
{
    const int total = m_lineCount * textHeight;
    const int x = m_anchorX;
    const int y = m_anchorY;
    switch (m_mode) {
    case AirBladderModeRight: {
        const int top = y - total / 2 - 10;
        return CRect(x, top, x + textWidth + 40, top + total + 20);
    }
    case AirBladderModeLeft:
        return CRect(x - textWidth - 40, y - 27, x, y - 27 + total + 20);
    case AirBladderModeBelow:
        return CRect(x - 25, y, x - 25 + textWidth + 40, y + total + 30);
    case AirBladderModeAbove: {
        const int left = x - (textWidth + 30) / 2;
        return CRect(left, y - total - 20, left + textWidth + 30, y);
    }
    case AirBladderModeRightStay:
        // At least one line tall: a short text would otherwise give a negative height.
        return CRect(x, y - 10, x + textWidth + 40, y - 10 + std::max(total - kStayHeightCut, textHeight));
    default:
        return CRect(0, 0, 0, 0);
    }
}

// ---- painting

int MAirBladder::OnPaint()
{
    detail::PaintWithBackBuffer(*this, [this](HDC screen, HDC memory, const CRect& client) {
        RenderTip(memory, client);
        present(screen, memory, client);
    });
    return 0;
}

void MAirBladder::RenderTip(HDC dc, const CRect& client)
{
    const int saved = ::SaveDC(dc);
    ::SetBkMode(dc, TRANSPARENT);
    {
        // Gone before the DC is touched again: GDI+ keeps writing to its DC until deleted.
        Gdiplus::Graphics graphics(dc);
        drawBackground(graphics, client);
        drawText(graphics, client);
    }
    ::RestoreDC(dc, saved);
}

void MAirBladder::drawBackground(Gdiplus::Graphics& graphics, const CRect& client)
{
    if (!m_background->drawable())
        return;
    const CRect area(client.left, client.top, client.right - 1, client.bottom - 1);
    MRender::DrawImageFrame(graphics, m_background->image.get(), area, 0, 0, m_background->width,
                            m_background->height, kBackgroundBorder);
}

void MAirBladder::drawText(Gdiplus::Graphics& graphics, const CRect& client)
{
    if (m_text.IsEmpty())
        return;
    const auto font = textFont();
    graphics.SetTextRenderingHint(Gdiplus::TextRenderingHintClearTypeGridFit);
    Gdiplus::StringFormat format;
    makeFormat(format);
    const Gdiplus::Size bounds = MRender::GetTextBounds(*font, format, m_text);
    const int total = m_lineCount * bounds.Height;
    const Gdiplus::RectF layout(8.0f, (client.Height() - total) * 0.5f + m_lineCount - 1,
                                static_cast<float>(client.Width() - 16), static_cast<float>(total + 2));
    const Gdiplus::SolidBrush white { Gdiplus::Color(kTextColour) };
    graphics.DrawString(m_text, m_text.GetLength(), TextFont(font.get(), m_text), layout, &format, &white);
}

void MAirBladder::present(HDC screen, HDC memory, const CRect& client)
{
    ModifyExStyle(0, WS_EX_LAYERED, 0);
    SIZE size { client.Width(), client.Height() };
    POINT source { 0, 0 };
    BLENDFUNCTION blend { AC_SRC_OVER, 0, 255, AC_SRC_ALPHA };
    ::UpdateLayeredWindow(*m_hWnd, screen, nullptr, &size, memory, &source, 0, &blend, ULW_ALPHA);
}

} // namespace KOVA
