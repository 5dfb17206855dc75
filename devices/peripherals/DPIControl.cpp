// GUI thread only. The tile's children are created once, by its own factory, when it is
// attached; a notification goes out after the repaint request it follows, as a handler may
// delete the tile.
#include "devices/peripherals/DPIControl.h"

#include "controls/basic/ButtonBase.h"
#include "controls/basic/CCheckButton.h"
#include "controls/basic/CColorButton.h"
#include "controls/basic/LookPainting.h"
#include "controls/input/EditFont.h"
#include "devices/peripherals/CDPIEditWnd.h"
#include "framework/MRender.h"
#include "framework/PaintManager.h"

namespace KOVA {

namespace {
constexpr UINT kCheckId = 30;
constexpr UINT kColorId = 31;
constexpr UINT kPressCode = 1;
constexpr UINT kReleaseCode = 2;
constexpr LONG kFromCheck = 1;
constexpr LONG kFromColor = 2;
constexpr LONG kFromBody = 3;
constexpr COLORREF kValueSelected = 0x0051CA;
constexpr COLORREF kWhite = 0xFFFFFF;
constexpr UINT kTextFormat = DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_WORD_ELLIPSIS;
constexpr int kFrameBorder = 4;
constexpr int kFontSize = 13;
// The body (where a press selects the tile and the frame is drawn), relative to the tile.
constexpr int kBodyLeft = 2;
constexpr int kBodyTop = 35;
constexpr int kBodyRightInset = 22;
constexpr int kBodyBottomInset = 5;
} // namespace

DPIControl::DPIControl(MObject* parent, UINT id, CRect rect, int visible) : MPanel(parent, id, rect, visible)
{
    m_fontSize = kFontSize;
}

DPIControl::DPIControl(const DPIControl& other) = default;
DPIControl& DPIControl::operator=(const DPIControl& other) = default;

DPIControl::~DPIControl()
{
    // The window is destroyed and its object goes with it, reaching nothing of this tile.
    NativeEditWindow::Dispose(m_editWindow.get());
}

const wchar_t* DPIControl::GetClassNameW() const
{
    return L"DPIControl";
}

void DPIControl::InitControl(PaintManager* manager)
{
    MPanel::InitControl(manager);
    if (!*m_checkButton) {
        *m_checkButton = dynamic_cast<CCheckButton*>(CreateControl(L"CCheckButton", kCheckId, CRect(), L"", 1, 1));
        if (*m_checkButton) {
            (*m_checkButton)->SetImage(L"btn_checkbox.png", 8);
            (*m_checkButton)->SetCheck(1);
            (*m_checkButton)->SetVisible(0);
        }
    }
    if (!*m_colorButton) {
        *m_colorButton = dynamic_cast<CColorButton*>(CreateControl(L"CColorButton", kColorId, CRect(), L"", 1, 1));
        if (*m_colorButton) {
            (*m_colorButton)->SetColor(m_color);
            (*m_colorButton)->SetCheck(1);
        }
    }
    SetControlRect(m_rect);
}

void DPIControl::SetControlRect(CRect rect)
{
    MPanel::SetControlRect(rect);
    if (*m_checkButton)
        (*m_checkButton)->SetRect(CRect(rect.left, rect.top + 30, rect.left + 24, rect.bottom));
    if (*m_colorButton)
        (*m_colorButton)->SetRect(CRect(rect.right - 20, rect.top + 35, rect.right, rect.bottom - 5));
}

// ---- values

void DPIControl::SetColor(COLORREF color)
{
    m_color = color;
    if (*m_colorButton && (*m_colorButton)->GetColor() != color)
        (*m_colorButton)->SetColor(color);
}

void DPIControl::SetEditWindow(CDPIEditWnd* edit)
{
    if (edit == *m_editWindow)
        return;
    NativeEditWindow::Dispose(m_editWindow.get());
    *m_editWindow = edit;
}

void DPIControl::ForgetEditWindow(const CDPIEditWnd* edit)
{
    if (*m_editWindow == edit)
        *m_editWindow = nullptr;
}

bool DPIControl::editShown() const
{
    return *m_editWindow && (*m_editWindow)->IsShown();
}

int DPIControl::GetDPIValue()
{
    if (editShown()) {
        m_dpiValue = _wtoi((*m_editWindow)->GetText());
    }
    return m_dpiValue;
}

void DPIControl::SetDPIValue(int value)
{
    if (value == m_dpiValue)
        return;
    m_dpiValue = value;
    if (editShown())
        (*m_editWindow)->SetWindowTextW(GetTitleEx());
    if (m_visible)
        UpdateControl(1, 0);
}

CString DPIControl::GetTitleEx() const
{
    CString text;
    text.Format(L"%d", m_dpiValue);
    return text;
}

int DPIControl::SetCheckState(int state)
{
    if (state == m_checkState)
        return 1;
    // Stored before the group is walked: a tile of the group that is also selected clears
    // only the others and never calls back into this one.
    m_checkState = state;
    if (state)
        ResetGroupCheck();
    // Both looks are in the picture: showing the other half needs no rebuild.
    if (m_visible)
        UpdateControl(0, 0);
    return 1;
}

int DPIControl::GetCheck() const
{
    return *m_checkButton ? (*m_checkButton)->GetCheck() : 0;
}

int DPIControl::SetCheck(int check)
{
    return *m_checkButton ? (*m_checkButton)->SetCheck(check) : 0;
}

int DPIControl::ResetGroupCheck()
{
    std::vector<MControl*>* siblings = SiblingsOf(*this);
    if (!siblings)
        return 0;
    for (MControl* sibling : *siblings) {
        auto* tile = dynamic_cast<DPIControl*>(sibling);
        if (tile && tile != this && sibling->IsClass(GetClassNameW()) && tile->m_groupName == m_groupName)
            tile->SetCheckState(0);
    }
    return 1;
}

// ---- edit and font

CRect DPIControl::CalcTextRect(int force)
{
    if (m_textRect.IsRectEmpty() || force)
        m_textRect = CRect(m_rect.left + 5, m_rect.top + 36, m_rect.right - 30, m_rect.bottom - 8);
    return m_textRect;
}

CRect DPIControl::GetTextRect()
{
    return CalcTextRect(1);
}

HFONT DPIControl::GetDefaultFont()
{
    if (!*m_defaultFont)
        *m_defaultFont = CreateEditFont(m_textFont, -m_fontSize, m_fontStyle);
    return m_defaultFont->get();
}

int DPIControl::SetControlFocus(int)
{
    if (!m_enabled)
        return 0;
    if (m_visible)
        UpdateControl(1, 0);
    return 1;
}

// ---- input and children

LONG DPIControl::OnMessage(UINT id, UINT code, UINT wParam, LONG lParam)
{
    if (id == kCheckId) {
        if (!m_checkState) {
            ResetGroupCheck();
            m_checkState = 1;
            if (m_visible)
                UpdateControl(0, 0);
        }
        SendMessageW(code, 0, kFromCheck);
    } else if (id == kColorId) {
        SendMessageW(code, 0, kFromColor);
    }
    return m_parent ? m_parent->OnBaseMessage(id, code, wParam, lParam) : 0;
}

bool DPIControl::inBody(CPoint pt) const
{
    const CRect body(m_rect.left + kBodyLeft, m_rect.top + kBodyTop, m_rect.right - kBodyRightInset,
                     m_rect.bottom - kBodyBottomInset);
    return body.PtInRect(pt) != 0;
}

int DPIControl::OnControlMouseMove(UINT, CPoint)
{
    return 0;
}

int DPIControl::OnControlLButtonDown(UINT, CPoint pt)
{
    if (!m_enabled || !inBody(pt))
        return 0;
    ResetGroupCheck();
    m_checkState = 1;
    if (m_visible)
        UpdateControl(0, 0);
    SendMessageW(kPressCode, 0, kFromBody);
    return 0;
}

int DPIControl::OnControlLButtonUp(UINT, CPoint pt)
{
    if (m_enabled && inBody(pt))
        SendMessageW(kReleaseCode, 0, kFromBody);
    return 0;
}

// ---- drawing

void DPIControl::DrawControl(HDC& dc, CRect)
{
    const int width = m_rect.Width();
    const int height = m_rect.Height();
    if (BeginCachedLooks(*this, m_memPicture, dc, 2)) {
        HDC picture = m_memPicture.dc();
        if (m_image && m_imageCount > 0) {
            Gdiplus::Graphics graphics(picture);
            const int frameWidth = GetFrameWidth();
            for (int half = 0; half < 2; ++half)
                MRender::DrawImageFrame(graphics, m_image,
                                        CRect(half * width + kBodyLeft, kBodyTop,
                                              half * width + width - kBodyRightInset, height - kBodyBottomInset),
                                        half * frameWidth, 0, frameWidth, m_imageHeight, kFrameBorder);
        }
        if (!m_title.IsEmpty()) {
            const CRect text = CalcTextRect(0);
            const CString value = GetTitleEx();
            ::SetBkMode(picture, TRANSPARENT);
            for (int half = 0; half < 2; ++half) {
                CRect titleBox(half * width, 15, half * width + width, 35);
                MRender::DrawTextW(picture, titleBox, m_title, kWhite, GetDefaultFont(), kTextFormat);
                CRect valueBox(text);
                valueBox.OffsetRect(half * width - m_rect.left, 1 - m_rect.top);
                MRender::DrawTextW(picture, valueBox, value, half ? kValueSelected : kWhite, GetDefaultFont(),
                                   kTextFormat);
            }
        }
    }
    // Any selected state shows the selected half: the picture has no third.
    ShowCachedLook(*this, m_memPicture, dc, m_checkState ? 1 : 0);
}

} // namespace KOVA
