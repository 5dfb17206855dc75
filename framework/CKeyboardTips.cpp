#include "framework/CKeyboardTips.h"

#include "framework/MRender.h"
#include "framework/Manager.h"

namespace KOVA {

namespace {
constexpr COLORREF kFrameColour = 0x505050;
constexpr COLORREF kCardColour = 0x141414;
constexpr COLORREF kHeadingColour = 0xE6E6E6;
constexpr COLORREF kLineColour = 0xFFFFFF;
constexpr LONG kSmallFontHeight = -14;
constexpr LONG kLargeFontHeight = -18;
constexpr UINT kLineFormat = DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_WORD_ELLIPSIS;
constexpr int kThirdLineDrop = 28;

const wchar_t* orEmpty(const wchar_t* text)
{
    return text ? text : L"";
}
} // namespace

CKeyboardTips::~CKeyboardTips()
{
    // Before the fonts and the image go: nothing may reach a half-destroyed tip.
    Unbind();
}

LRESULT CKeyboardTips::OnWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam)
{
    return detail::DispatchTipMessage(*this, msg, wParam, lParam);
}

BOOL CKeyboardTips::PreTranslateMessage(MSG*) { return 0; }

BOOL CKeyboardTips::OnInitDialog()
{
    LoadTempFont();
    return 1;
}

void CKeyboardTips::LoadTempFont()
{
    *m_fontFamily = detail::LoadTipFont(*m_fonts);
}

// ---- handlers

LRESULT CKeyboardTips::OnUserCloseWindow(WPARAM wParam, LPARAM lParam)
{
    return PostClose(wParam, lParam);
}

void CKeyboardTips::CloseWindow()
{
    PostClose(0, 0);
}

int CKeyboardTips::OnCreate(CREATESTRUCTW*)
{
    StripCaptionAndFrame();
    detail::KeepOnlyToolWindowStyle(*this);
    return 1;
}

int CKeyboardTips::OnSize(UINT, int, int)
{
    detail::FollowTipSize(*this);
    return 1;
}

void CKeyboardTips::SetupRegion(int corner)
{
    SetRoundRegion(corner);
}

void CKeyboardTips::OnTimer(UINT id)
{
    detail::HideTipOnTimer(*this, id);
}

int CKeyboardTips::OnKillFocus(MWindow*)
{
    detail::HideTipOnFocusLoss(*this, m_mode);
    return 1;
}

int CKeyboardTips::OnMouseMove(UINT, CPoint) { return 0; }
int CKeyboardTips::OnMouseLeave(WPARAM, LPARAM) { return 0; }
int CKeyboardTips::OnMouseHover(WPARAM, LPARAM) { return 0; }
int CKeyboardTips::OnMouseWheel(UINT, short, CPoint) { return 0; }
int CKeyboardTips::OnLButtonDown(UINT, CPoint) { return 0; }
int CKeyboardTips::OnLButtonUp(UINT, CPoint) { return 0; }
int CKeyboardTips::OnLButtonDblClk(UINT, CPoint) { return 0; }
int CKeyboardTips::OnRButtonDown(UINT, CPoint) { return 0; }
int CKeyboardTips::OnRButtonUp(UINT, CPoint) { return 0; }
int CKeyboardTips::OnRButtonDblClk(UINT, CPoint) { return 0; }
int CKeyboardTips::OnKeyDown(UINT, UINT, UINT) { return 0; }
int CKeyboardTips::OnNcHitTest(CPoint) { return 0; }
int CKeyboardTips::OnGetMinMaxInfo(MINMAXINFO*) { return 0; }
int CKeyboardTips::OnNcCalcSize(BOOL, NCCALCSIZE_PARAMS*) { return 0; }
int CKeyboardTips::OnNcActivate(BOOL) { return 1; }
int CKeyboardTips::OnSetFocus(MWindow*) { return 0; }
int CKeyboardTips::OnWindowPosChanging(WINDOWPOS*) { return 0; }
int CKeyboardTips::OnWindowPosChanged(WINDOWPOS*) { return 0; }
int CKeyboardTips::OnNcPaint() { return 0; }
int CKeyboardTips::OnClose() { return 1; }
int CKeyboardTips::PostNcDestroy() { return 0; }
int CKeyboardTips::OnDestroy() { return 0; }

// ---- image, settings and fonts

int CKeyboardTips::LoadBKImage(CString file) { return m_background->load(file); }
int CKeyboardTips::LoadBKImage(UINT id, CString type) { return m_background->load(id, type); }

void CKeyboardTips::SetBackMode(enumBackMode mode, int border)
{
    m_backMode = mode;
    m_border = border;
}

HFONT CKeyboardTips::GetGDIFont11() { return fontOfHeight(*m_smallFont, kSmallFontHeight); }
HFONT CKeyboardTips::GetGDIFont2() { return fontOfHeight(*m_largeFont, kLargeFontHeight); }

HFONT CKeyboardTips::fontOfHeight(detail::OwnedTipFont& font, LONG height)
{
    if (!font) {
        const LOGFONTW description = MakeLogFont(Manager::GetFontName(), height, 0);
        font.reset(::CreateFontIndirectW(&description));
    }
    return font.get();
}

// ---- texts and placement

int CKeyboardTips::SetAirBladderMsg(const wchar_t* heading, const wchar_t* second, const wchar_t* third,
                                    POINT anchor)
{
    heading = orEmpty(heading);
    second = orEmpty(second);
    third = orEmpty(third);
    if (m_heading == heading && m_second == second && m_third == third && anchor.x == m_anchorX
        && anchor.y == m_anchorY)
        return 1;
    m_heading = heading;
    m_second = second;
    m_third = third;
    m_anchorX = anchor.x;
    m_anchorY = anchor.y;
    m_type = AirBladderTypeButton;
    m_mode = AirBladderModeAbove;
    AutoFit();
    return 1;
}

void CKeyboardTips::AutoFit()
{
    if (m_heading.IsEmpty())
        return;
    if (IsLive())
        MoveWindow(m_anchorX - kWidth / 2, m_anchorY - kHeight, kWidth, kHeight, TRUE);
    OnPaint();
}

// ---- painting

int CKeyboardTips::OnPaint()
{
    detail::PaintWithBackBuffer(*this, [this](HDC screen, HDC memory, const CRect& client) {
        RenderTips(memory, client);
        MRender::BitBlt(screen, 0, 0, client.Width(), client.Height(), memory, 0, 0, SRCCOPY);
    });
    return 0;
}

void CKeyboardTips::RenderTips(HDC dc, const CRect& client)
{
    const int saved = ::SaveDC(dc);
    MRender::FillSolidRect(dc, &client, kFrameColour);
    // One grey pixel on the left and top, two on the right and bottom.
    const CRect card(1, 1, client.Width() - 2, client.Height() - 2);
    MRender::FillSolidRect(dc, &card, kCardColour);
    if (!m_heading.IsEmpty())
        drawLines(dc, client);
    ::RestoreDC(dc, saved);
}

void CKeyboardTips::drawLines(HDC dc, const CRect& client)
{
    const int right = client.Width() - 20;
    CRect line(10, 10, right, 23);
    MRender::DrawTextW(dc, line, m_heading, kHeadingColour, GetGDIFont11(), kLineFormat);
    line = CRect(10, 39, right, 59);
    MRender::DrawTextW(dc, line, m_second, kLineColour, GetGDIFont11(), kLineFormat);
    line.OffsetRect(0, kThirdLineDrop);
    MRender::DrawTextW(dc, line, m_third, kLineColour, GetGDIFont2(), kLineFormat);
}

} // namespace KOVA
