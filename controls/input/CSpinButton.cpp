// GUI thread only.
#include "controls/input/CSpinButton.h"

#include <algorithm>
#include <cwchar>

#include "controls/basic/MButton.h"
#include "controls/input/CTxtWinHost.h"

namespace KOVA {

namespace {
constexpr DWORD kNumberStyle = WS_HSCROLL | ES_NUMBER | ES_AUTOHSCROLL;
constexpr int kArrowColumn = 15;
constexpr int kArrowInset = 4;
} // namespace

CSpinButton::CSpinButton(MObject* parent, UINT id, CRect rect, int visible, int)
    : MRichEdit(parent, id, rect, L"", visible, 1)
{
    MControlFont::SetTextColor(Gdiplus::Color(0xFE050505));
    m_winStyle = kNumberStyle;
}

const wchar_t* CSpinButton::GetClassNameW() const { return L"CSpinButton"; }

// Made once, however often the framework initialises the control.
void CSpinButton::InitControl(PaintManager* manager)
{
    MRichEdit::InitControl(manager);
    if (!*m_up) {
        *m_up = static_cast<CImageButton*>(CreateControl(L"CImageButton", kUpId, CRect(), L"", 1, 1));
        *m_down = static_cast<CImageButton*>(CreateControl(L"CImageButton", kDownId, CRect(), L"", 1, 1));
        if (*m_up)
            (*m_up)->SetImage(L"img_spin_up.png", 4);
        if (*m_down)
            (*m_down)->SetImage(L"img_spin_down.png", 4);
    }
    SetControlRect(m_rect);
}

void CSpinButton::placeArrows()
{
    const int mid = m_rect.top + m_rect.Height() / 2;
    if (CImageButton* up = *m_up)
        up->SetRect(CRect(m_rect.right - up->GetFrameWidth() - kArrowInset, mid - up->GetImageHeight() - 1,
                          m_rect.right - kArrowInset, mid - 1));
    if (CImageButton* down = *m_down)
        down->SetRect(CRect(m_rect.right - down->GetFrameWidth() - kArrowInset, mid + 1, m_rect.right - kArrowInset,
                            mid + 1 + down->GetImageHeight()));
}

void CSpinButton::SetControlRect(CRect rect)
{
    m_rect = rect;
    if (!Host())
        return;
    CentreLine(rect);
    LayOutTextArea(CRect(rect.left, rect.top, rect.right - kArrowColumn, rect.bottom), true);
    placeArrows();
}

void CSpinButton::SetRange(int minimum, int maximum)
{
    m_min = minimum;
    m_max = maximum;
}

void CSpinButton::SetCurValue(int value)
{
    if (value == m_value)
        return;
    m_value = value;
    CString text;
    text.Format(L"%d", value);
    ClearGDIFont();
    SetControlTitle(text);
    UpdateControl(1, 0);
}

LONG CSpinButton::OnMessage(UINT id, UINT code, UINT, LONG)
{
    if (code != 2 || (id != kUpId && id != kDownId))
        return 0;
    // Compared before the step: a value at the end of int steps to the other end of the range.
    if (id == kUpId)
        SetCurValue(m_value >= m_max ? m_min : m_value + 1);
    else
        SetCurValue(m_value <= m_min ? m_max : m_value - 1);
    SendMessageW(kValueChanged, 0, 0);
    return 1;
}

// A value is typed digit by digit: raising it to the minimum at each keystroke would make
// 50 impossible to type in 10..100. The maximum holds as it is typed, the minimum once the
// field is left.
void CSpinButton::OnTxNotify(DWORD code, void*)
{
    if (code != EN_CHANGE)
        return;
    const CString text = GetControlTitle();
    const int typed = text.IsEmpty() ? 0 : _wtoi(text);
    SetCurValue(std::min(typed, m_max));
}

int CSpinButton::SetControlFocus(int focus)
{
    const int changed = MRichEdit::SetControlFocus(focus);
    if (!focus)
        SetCurValue(std::clamp(m_value, m_min, std::max(m_min, m_max)));
    return changed;
}

void CSpinButton::SetControlEnabled(int enabled)
{
    m_enabled = enabled;
    for (CImageButton* arrow : { *m_up, *m_down }) {
        if (!arrow || arrow->IsEnabled() == enabled)
            continue;
        arrow->SetControlEnabled(enabled);
        arrow->UpdateControl(1, 0);
    }
}

void CSpinButton::DrawControl(HDC& dc, CRect paintRect)
{
    DrawStrip(dc, m_rect.Width() - kArrowColumn, nullptr);
    DrawText(dc, paintRect);
}

} // namespace KOVA
