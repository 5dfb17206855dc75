// GUI thread only: the group walk reads the sibling list without its lock, which only
// changes on that thread.
#include "controls/basic/CCheckButton.h"

#include "framework/Manager.h"
#include "framework/MRender.h"

namespace KOVA {

namespace {
constexpr DWORD kDisabledCaption = 0xFE808080;
constexpr int kCheckBoxGap = 8;
constexpr int kRadioGap = 3;

Gdiplus::StringAlignment alignmentOf(UINT value, UINT centre, UINT farValue)
{
    if (value == centre)
        return Gdiplus::StringAlignmentCenter;
    return value == farValue ? Gdiplus::StringAlignmentFar : Gdiplus::StringAlignmentNear;
}
} // namespace

// The state is check × 4 + look.
const ButtonBase::StateTable CCheckButton::kCheckStates { { { 0, 1, 2, 3 }, { 4, 5, 6, 7 } } };

CCheckButton::CCheckButton(MObject* parent, UINT id, CRect rect, const wchar_t* title, int visible, int enabled)
    : ButtonBase(parent, id, rect, title, visible, enabled)
{
    m_states = &kCheckStates;
    m_tabStop = 1;
    m_imageCount = 8;
    m_vAlign = DT_VCENTER;
}

int CCheckButton::SetControlFocus(int focus)
{
    MControl::SetControlFocus(focus);
    if (!m_visible || !m_enabled)
        return 0;
    m_focused = focus;
    Repaint(1);
    return 1;
}

int CCheckButton::OnControlLButtonDown(UINT, CPoint pt)
{
    const int before = GetState();
    if (!BeginPress(pt).taken)
        return 0;
    // A control placed straight in a window is made the focus control without being told.
    if (!m_focused)
        SetControlFocus(1);
    return Conclude(before, 0);
}

int CCheckButton::OnControlLButtonUp(UINT, CPoint pt)
{
    return Release(pt, 0, [this] { m_check = m_check ? 0 : 1; });
}

bool CCheckButton::IsToggleKey(UINT key, UINT modifiers) const
{
    const bool accelerator = m_shortcutKey != 0 && key == m_shortcutKey && modifiers == m_shortcutModifiers;
    return accelerator || (m_focused && key == VK_SPACE && modifiers == 0);
}

int CCheckButton::OnControlKeyDown(UINT key, UINT, UINT modifiers)
{
    if (!IsToggleKey(key, modifiers))
        return 0;
    SetCheck(m_check ? 0 : 1);
    SendMessageW(7, 0, m_check);
    return 1;
}

int CCheckButton::SetCheck(int check)
{
    if (!m_enabled)
        return m_check;
    const int before = GetState();
    m_check = check;
    SetLook(LookNormal);
    Conclude(before, 0);
    return m_check;
}

void CCheckButton::DrawLooks(HDC& dc, float boxScale, float fontSize, int captionGap,
                             const Gdiplus::StringFormat& format)
{
    DrawStrip(dc, 8, GetState(), [&](Gdiplus::Graphics& graphics) {
        const auto font = MakeFont(fontSize, m_fontStyle);
        const int frameWidth = GetFrameWidth();
        const int boxWidth = static_cast<int>(frameWidth * boxScale);
        const int boxHeight = static_cast<int>(m_imageHeight * boxScale);
        for (int frame = 0; frame < 8; ++frame) {
            const CRect frameRect = FrameRect(frame);
            const int top = (frameRect.Height() - boxHeight) / 2;
            if (m_image)
                MRender::DrawImagePart(graphics, m_image, CRect(frameRect.left, top, frameRect.left + boxWidth, top + boxHeight),
                                       frame * frameWidth, 0, frameWidth, m_imageHeight);
            const CRect layout(frameRect.left + frameWidth + kCheckBoxGap, 0,
                               frameRect.right - captionGap + kCheckBoxGap, frameRect.Height());
            const bool disabled = frame % 4 == LookDisabled;
            DrawText(graphics, m_title, font.get(), layout,
                     disabled ? Gdiplus::Color(kDisabledCaption) : m_textColor, m_textRenderingHint, format);
        }
    });
}

void CCheckButton::DrawControl(HDC& dc, CRect)
{
    Gdiplus::StringFormat format;
    SetCaptionFormat(format, Gdiplus::StringAlignmentNear, Gdiplus::StringAlignmentCenter);
    const float fontSize = static_cast<float>(static_cast<int>(m_fontSize * Manager::GetScaleValue()));
    DrawLooks(dc, 1.0f, fontSize, kCheckBoxGap, format);
}

// ---- CRadioButton

CRadioButton::CRadioButton(MObject* parent, UINT id, CRect rect, const wchar_t* title, int visible, int enabled)
    : CCheckButton(parent, id, rect, title, visible, enabled)
{
}

const wchar_t* CRadioButton::GetClassNameW() const { return L"RadioButton"; }

void CRadioButton::DrawControl(HDC& dc, CRect)
{
    Gdiplus::StringFormat format;
    SetCaptionFormat(format, alignmentOf(m_hAlign, DT_CENTER, DT_RIGHT), alignmentOf(m_vAlign, DT_VCENTER, DT_BOTTOM));
    if (m_multiLine)
        format.SetFormatFlags(Gdiplus::StringFormatFlagsNoClip | Gdiplus::StringFormatFlagsMeasureTrailingSpaces);
    DrawLooks(dc, Manager::GetScaleValue(), static_cast<float>(m_fontSize), kRadioGap, format);
}

int CRadioButton::OnControlLButtonUp(UINT, CPoint pt)
{
    return Release(pt, 0, [this] {
        m_check = 1;
        ResetGroupCheck();
    });
}

int CRadioButton::OnControlKeyDown(UINT key, UINT, UINT modifiers)
{
    if (!IsToggleKey(key, modifiers))
        return 0;
    if (m_enabled) {
        const int before = GetState();
        const int wasChecked = m_check;
        m_check = 1;
        SetLook(LookNormal);
        if (!wasChecked)
            ResetGroupCheck();
        Conclude(before, 0);
    }
    SendMessageW(7, 0, m_check);
    return 1;
}

int CRadioButton::SetCheck(int check)
{
    const int before = m_check;
    CCheckButton::SetCheck(check);
    if (m_check != before)
        ResetGroupCheck();
    return m_check;
}

void CRadioButton::SetControlCheck(int check)
{
    m_check = check;
    SetLook(m_enabled ? LookNormal : LookDisabled);
    Repaint(0);
}

int CRadioButton::ResetGroupCheck()
{
    return WalkGroup<CRadioButton>(m_groupName, false, [](CRadioButton& member) {
        member.m_check = 0;
        member.SetLook(member.m_enabled ? LookNormal : LookDisabled);
        member.Repaint(0);
    });
}

} // namespace KOVA
