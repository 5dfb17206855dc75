// GUI thread only: the group walk reads the sibling list without its lock, which only
// changes on that thread.
#include "controls/basic/CColorButton.h"

#include "framework/MRender.h"
#include "framework/Manager.h"

namespace KOVA {

namespace {
constexpr DWORD kRingWhite = 0xFFFFFFFF;
constexpr DWORD kRingSelected = 0xFFBD30FF;
constexpr UINT kRadioCaptionFormat = DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_WORD_ELLIPSIS;
} // namespace

// ---- swatches

CColorButton::CColorButton(MObject* parent, UINT id, CRect rect, int visible, int enabled)
    : ButtonBase(parent, id, rect, L"", visible, enabled)
{
    m_handCursor = true;
}

const wchar_t* CColorButton::GetClassNameW() const { return L"ColorButton"; }

Gdiplus::Color CColorButton::SwatchColour() const
{
    return Gdiplus::Color(255, GetRValue(m_colour), GetGValue(m_colour), GetBValue(m_colour));
}

void CColorButton::SetColor(COLORREF colour)
{
    if (colour == m_colour)
        return;
    m_colour = colour;
    Repaint(1);
}

int CColorButton::OnControlLButtonDown(UINT, CPoint pt)
{
    const int before = GetState();
    if (!BeginPress(pt).taken)
        return 0;
    m_check = 1;
    ResetGroupCheck();
    return Conclude(before, 1, 1);
}

int CColorButton::SetCheck(int check)
{
    if (!m_enabled)
        return m_check;
    const int before = m_check;
    m_check = check;
    HoldLook(check != 0);
    if (m_check != before) {
        ResetGroupCheck();
        Repaint(1);
    }
    return m_check;
}

void CColorButton::SetControlCheck(int check)
{
    m_check = check;
    HoldLook(check != 0);
    Repaint(1);
}

int CColorButton::ResetGroupCheck()
{
    return WalkGroup<CColorButton>(m_groupName, true, [](CColorButton& member) {
        member.m_check = 0;
        member.HoldLook(false);
        member.Repaint(1);
    });
}

void CColorButton::DrawControl(HDC& dc, CRect)
{
    DrawSwatch(dc, [&](Gdiplus::Graphics& graphics, int width, int height) {
        if (m_image) {
            StretchFrame(graphics, m_image, CRect(0, 0, width, height), 0, 1);
            return;
        }
        const Gdiplus::Pen ring(Gdiplus::Color(m_check ? kRingSelected : kRingWhite), 2.0f);
        graphics.DrawEllipse(&ring, 0, 0, width - 1, height - 1);
        const Gdiplus::SolidBrush fill(SwatchColour());
        graphics.FillEllipse(&fill, 3, 3, width - 7, height - 7);
    });
}

CColorButton2::CColorButton2(MObject* parent, UINT id, CRect rect, int visible, int enabled)
    : CColorButton(parent, id, rect, visible, enabled)
{
}

const wchar_t* CColorButton2::GetClassNameW() const { return L"CColorButton2"; }

void CColorButton2::DrawControl(HDC& dc, CRect)
{
    DrawSwatch(dc, [&](Gdiplus::Graphics& graphics, int width, int height) {
        if (m_colour == 0) {
            StretchFrame(graphics, m_image, CRect(0, 0, width, height), 0, 1);
            return;
        }
        const Gdiplus::SolidBrush fill(SwatchColour());
        graphics.FillEllipse(&fill, 0, 0, width, height);
        if (m_check) {
            const Gdiplus::Pen ring(Manager::GetSelectColor(), 2.0f);
            graphics.DrawEllipse(&ring, 1, 1, width - 3, height - 3);
        }
    });
}

CColorButton3::CColorButton3(MObject* parent, UINT id, CRect rect, int visible, int enabled)
    : CColorButton(parent, id, rect, visible, enabled)
{
}

const wchar_t* CColorButton3::GetClassNameW() const { return L"CColorButton3"; }

void CColorButton3::DrawControl(HDC& dc, CRect)
{
    DrawSwatch(dc, [&](Gdiplus::Graphics& graphics, int width, int height) {
        const Gdiplus::SolidBrush fill(SwatchColour());
        graphics.FillEllipse(&fill, 0, 0, width, height);
    });
}

// ---- CRadioButton2

CRadioButton2::CRadioButton2(MObject* parent, UINT id, CRect rect, const wchar_t* title, int visible, int enabled)
    : CRadioButton(parent, id, rect, title, visible, enabled), m_colour(Manager::GetSelectColor())
{
    m_singleLook = true;
}

const wchar_t* CRadioButton2::GetClassNameW() const { return L"CRadioButton2"; }

int CRadioButton2::SetControlFocus(int focus)
{
    return MControl::SetControlFocus(focus);
}

int CRadioButton2::OnControlKeyDown(UINT key, UINT repeat, UINT modifiers)
{
    return MControl::OnControlKeyDown(key, repeat, modifiers);
}

void CRadioButton2::SetColor(Gdiplus::Color colour)
{
    m_colour = colour;
    Repaint(1);
}

void CRadioButton2::DrawControl(HDC& dc, CRect)
{
    DrawStrip(dc, 1, 0, [&](Gdiplus::Graphics& graphics) {
        const int width = m_rect.Width();
        const int height = m_rect.Height();
        const Gdiplus::SolidBrush frame(m_check ? Manager::GetSelectColor() : Gdiplus::Color(0xFFFFFFFF));
        graphics.FillRectangle(&frame, width / 2 - 11, height - 25, 22, 22);
        const Gdiplus::SolidBrush swatch(m_colour);
        graphics.FillRectangle(&swatch, width / 2 - 10, height - 24, 20, 20);
        if (m_title.IsEmpty())
            return;
        HDC dcOfGraphics = graphics.GetHDC();
        CRect caption(0, 0, width, 25);
        MRender::DrawTextW(dcOfGraphics, caption, m_title, m_textColor.ToCOLORREF(), GetGDIFont(), kRadioCaptionFormat);
        graphics.ReleaseHDC(dcOfGraphics);
    });
}

} // namespace KOVA
