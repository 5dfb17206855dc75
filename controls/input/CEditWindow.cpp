// GUI thread only.
#include "controls/input/CEditWindow.h"

#include "framework/MControlFont.h"

namespace KOVA {

namespace {
constexpr COLORREF kBackColor = 0x363B3E;
constexpr COLORREF kTextColor = 0xFFFFFF;
constexpr int kSideInset = 6;
} // namespace

CEditWindow::CEditWindow()
{
    SetBrushColors(kBackColor, kTextColor);
}

int CEditWindow::SetColors(COLORREF back, COLORREF text)
{
    SetBrushColors(back, text);
    return 1;
}

HFONT CEditWindow::GetEditFont()
{
    if (!m_font && m_owner)
        m_font = CreateEditFont(m_owner->GetTextFont(), m_owner->GetFontWidth() + 6, m_owner->GetFontStyle());
    return m_font.get();
}

void CEditWindow::Init(MControlFont* owner, CRect rect)
{
    if (!owner)
        return;
    m_owner = owner;
    if (rect.IsRectEmpty()) {
        const CRect place = owner->GetRect();
        const int line = owner->GetFontWidth() + 2;
        rect.left = place.left + kSideInset;
        rect.right = place.right - kSideInset;
        rect.top = place.top + (place.Height() - line) / 2;
        rect.bottom = rect.top + line;
    }
    UINT align = 0;
    UINT vertical = 0;
    owner->GetAlignment(align, vertical);
    Setup setup;
    setup.rect = rect;
    setup.font = GetEditFont();
    setup.limit = m_limit;
    setup.align = align;
    setup.password = m_password != 0;
    setup.passwordChar = m_passwordChar;
    setup.enabled = owner->IsEnabled() == 1;
    setup.readOnly = m_readOnly == 1;
    setup.numberOnly = m_numberOnly != 0;
    setup.text = owner->GetTitle();
    Open(owner, setup);
}

int CEditWindow::UpdateOwnerText()
{
    if (!IsCreated() || !m_owner)
        return 0;
    const CString text = GetText();
    if (text != m_owner->GetTitle()) {
        m_owner->SetTitle(text);
        NotifyOwner(26, 0, 0);
        RepaintOwner();
    }
    return 1;
}

void CEditWindow::OnEditReturn()
{
    m_owner->SetControlFocus(0);
}

void CEditWindow::ForgetOwner()
{
    if (m_ownerSlot)
        *m_ownerSlot = nullptr;
    m_ownerSlot = nullptr;
}

} // namespace KOVA
