// GUI thread only: the group walk reads the sibling list without its lock, which only
// changes on that thread.
#include "controls/basic/CIconButton.h"

#include "framework/MRender.h"
#include "framework/PaintManager.h"

namespace KOVA {

namespace {
constexpr int kSkinCorner = 20;
constexpr DWORD kQuietCaption = 0xFEC8C8C8;
constexpr DWORD kTipsStyle = 0x96000080;
} // namespace

CIconButton::CIconButton(MObject* parent, UINT id, CRect rect, const wchar_t* title, int visible, int enabled)
    : ButtonBase(parent, id, rect, title, visible, enabled)
{
    m_hAlign = DT_CENTER;
    m_handCursor = true;
    m_pressHoldsLook = false;
}

CIconButton::~CIconButton() = default;

const wchar_t* CIconButton::GetClassNameW() const { return L"IconButton"; }

void CIconButton::TipsDeleter::operator()(CKeyboardTips* tips) const
{
    tips->DestroyWindow();
    delete tips;
}

int CIconButton::OnControlMouseMove(UINT, CPoint pt)
{
    const int before = GetState();
    if (!TrackPointer(pt).taken)
        return 0;
    SetTips(Contains(pt));
    return Conclude(before, 0);
}

int CIconButton::OnControlLButtonDown(UINT, CPoint pt)
{
    const int before = GetState();
    if (!BeginPress(pt).taken)
        return 0;
    m_down = 1;
    return Conclude(before, 0, 1);
}

int CIconButton::OnControlLButtonUp(UINT, CPoint pt)
{
    const int before = GetState();
    if (!EndPress(pt).click)
        return Conclude(before, 0);
    m_down = 1;
    ResetGroupCheck();
    SetLook(LookPressed);
    return Conclude(before, 0, 2);
}

int CIconButton::SetCheck(int check)
{
    m_check = check;
    m_down = 0;
    SetLook(m_enabled ? LookNormal : LookDisabled);
    Repaint(1);
    return 1;
}

int CIconButton::SetDownState(int)
{
    m_down = 0;
    SetLook(m_enabled ? LookNormal : LookDisabled);
    Repaint(1);
    return 1;
}

void CIconButton::SetControlCheck(int down)
{
    m_down = down;
    SetLook(down ? LookPressed : LookNormal);
    Repaint(0);
}

int CIconButton::ResetGroupCheck()
{
    return WalkGroup<CIconButton>(m_groupName, true, [](CIconButton& member) {
        member.m_down = 0;
        member.SetLook(LookNormal);
        member.Repaint(0);
    });
}

void CIconButton::SetTips(CString heading, CString second, CString third)
{
    m_tipHeading = heading;
    m_tipSecond = second;
    m_tipThird = third;
}

CKeyboardTips* CIconButton::Tips()
{
    if (!*m_tips && m_manager && m_manager->GetPaintWnd()) {
        m_tips->reset(new CKeyboardTips);
        (*m_tips)->Create(m_manager->GetPaintWnd(), L"KeyboardTip Window", kTipsStyle, 0, CRect());
        (*m_tips)->LoadBKImage(CString(L"img_tip_bk.png"));
    }
    return m_tips->get();
}

void CIconButton::SetTips(bool show)
{
    if (!m_showTips)
        return;
    CKeyboardTips* tips = Tips();
    if (!tips)
        return;
    if (!show) {
        tips->ShowWindow(SW_HIDE);
        return;
    }
    POINT anchor { m_rect.left + m_rect.Width() / 2, m_rect.top + 10 };
    ::ClientToScreen(m_manager->GetPaintWnd(), &anchor);
    tips->SetAirBladderMsg(m_tipHeading, m_tipSecond, m_tipThird, anchor);
    tips->ShowWindow(SW_SHOW);
}

void CIconButton::DrawControl(HDC& dc, CRect)
{
    const int shown = m_check ? static_cast<int>(LookDisabled) : (m_down ? static_cast<int>(LookHover) : GetState());
    DrawStrip(dc, 4, shown, [&](Gdiplus::Graphics& graphics) {
        const auto font = MakeFont(static_cast<float>(m_fontSize), m_fontStyle);
        const auto largeFont = MakeFont(static_cast<float>(m_fontSize) + 2.0f, m_fontStyle);
        for (int frame = 0; frame < 4; ++frame) {
            const CRect frameRect = FrameRect(frame);
            MRender::DrawImageStripFrame(graphics, m_image, frameRect, frame, m_imageCount, kSkinCorner);
            const Gdiplus::Font* frameFont = frame == 0 ? font.get() : largeFont.get();
            if (m_textRect.IsRectEmpty()) {
                DrawCaption(graphics, m_title, frameFont, frameRect, m_textColor, m_textRenderingHint);
                continue;
            }
            CRect layout = m_textRect;
            layout.OffsetRect(frameRect.left, 0);
            const Gdiplus::Color colour = frame == LookHover ? m_textColor : Gdiplus::Color(kQuietCaption);
            DrawCaption(graphics, m_title, frameFont, PressedShift(layout, frame), colour, m_textRenderingHint);
        }
    });
}

} // namespace KOVA
