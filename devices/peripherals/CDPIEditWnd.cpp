// GUI thread only: the window's messages arrive on the thread that owns the host window.
#include "devices/peripherals/CDPIEditWnd.h"

#include "devices/peripherals/DPIControl.h"

namespace KOVA {

namespace {
constexpr UINT kChangedCode = 0x1A;
constexpr UINT kFocusLostCode = 0x1D;
constexpr int kTextLimit = 5;
constexpr UINT kCentred = 1;
constexpr COLORREF kTextColour = 0x0051CA;
constexpr COLORREF kBackColour = 0x141414;
} // namespace

CDPIEditWnd::CDPIEditWnd()
{
    SetBrushColors(kBackColour, kTextColour);
}

void CDPIEditWnd::Init(DPIControl* owner)
{
    if (!owner)
        return;
    m_tile = owner;
    Setup setup;
    setup.rect = owner->GetTextRect();
    setup.font = owner->GetDefaultFont();
    setup.limit = kTextLimit;
    setup.align = kCentred;
    setup.enabled = owner->IsEnabled() != 0;
    setup.numberOnly = true;
    setup.text = owner->GetTitleEx();
    Open(owner, setup);
}

void CDPIEditWnd::OnEditChanged()
{
    if (!m_tile || GetText() == m_tile->GetTitleEx())
        return;
    NotifyOwner(kChangedCode, 0, 0);
    RepaintOwner();
}

void CDPIEditWnd::OnEditKillFocus()
{
    NotifyOwner(kFocusLostCode, 0, 0);
}

void CDPIEditWnd::ForgetOwner()
{
    if (m_tile)
        m_tile->ForgetEditWindow(this);
    m_tile = nullptr;
}

} // namespace KOVA
