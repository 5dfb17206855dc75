// GUI thread only.
#include "controls/input/RGBColorEdit.h"

#include <algorithm>
#include <cwchar>

#include "controls/basic/LookPainting.h"
#include "framework/MRender.h"

namespace KOVA {

namespace {
constexpr int kLimit = 3;
constexpr int kFieldCount = 3;
constexpr int kFieldLead = 12;   // room for the field's letter
constexpr COLORREF kLabelColor = 0xA0A0A0;
constexpr UINT kLabelFormat = DT_SINGLELINE | DT_VCENTER | DT_WORD_ELLIPSIS;
constexpr UINT kValueFormat = kLabelFormat | DT_CENTER;
const wchar_t* const kLabels[kFieldCount] = { L"R", L"G", L"B" };

CString decimal(int value)
{
    CString text;
    text.Format(L"%d", value);
    return text;
}
} // namespace

// ---- the edit window's rows

RGBColorEdit* CEditWnd3::owner() const
{
    return static_cast<RGBColorEdit*>(m_owner);
}

void CEditWnd3::Init(RGBColorEdit* owner, CRect rect)
{
    Open(owner, owner->EditSetup(rect, owner->GetTitleEx(), true));
}

void CEditWnd3::OnEditKillFocus()
{
    const CString text = GetText();
    if (IsCreated() && text != owner()->GetTitleEx())
        owner()->SetEditText(text);
}

void CEditWnd3::ForgetOwner()
{
    owner()->SetEditWindow(nullptr);
}

// ---- the control

RGBColorEdit::RGBColorEdit(MObject* parent, UINT id, CRect rect, const wchar_t*, int visible, int enabled)
    : ColorTextEdit(parent, id, rect, visible, enabled, kLimit, 0)
{
    m_hAlign = DT_CENTER;
    // A control made by a factory never gets SetControlRect: its fields come from here.
    layOutFields();
}

RGBColorEdit::~RGBColorEdit()
{
    NativeEditWindow::Dispose(*m_editWindow);
}

const wchar_t* RGBColorEdit::GetClassNameW() const { return L"RGBColorEdit"; }

void RGBColorEdit::layOutFields()
{
    const int third = m_rect.Width() / kFieldCount;
    for (int i = 0; i < kFieldCount; ++i)
        m_fields[i] = CRect(m_rect.left + i * third + kFieldLead, m_rect.top, m_rect.left + (i + 1) * third - 1, m_rect.bottom);
}

void RGBColorEdit::SetControlRect(CRect rect)
{
    if (rect == m_rect)
        return;
    m_rect = rect;
    layOutFields();
}

int RGBColorEdit::component(int field) const
{
    return static_cast<int>((m_color >> (8 * field)) & 0xFF);
}

void RGBColorEdit::SetEditText(const wchar_t* text)
{
    const int typed = text ? static_cast<int>(wcstol(text, nullptr, 10)) : 0;
    const int value = std::clamp(typed, 0, 255);
    if (value != typed)
        if (CEditWnd3* window = *m_editWindow)
            window->SetWindowTextW(decimal(value));
    const int shift = 8 * m_activeField;
    m_color = (m_color & ~(0xFFu << shift)) | (static_cast<COLORREF>(value) << shift);
    ReportColor();
}

CString RGBColorEdit::GetEditText() const
{
    CEditWnd3* window = *m_editWindow;
    return window && window->IsShown() ? window->GetText() : m_title;
}

CRect RGBColorEdit::CalcTextRect(int)
{
    return CenteredLine(m_fields[m_activeField]);
}

void RGBColorEdit::ShowEdit()
{
    if (!m_enabled)
        return;
    const CRect rect = CalcTextRect(1);
    CEditWnd3* window = *m_editWindow;
    if (!window) {
        window = new CEditWnd3;
        *m_editWindow = window;
        window->Init(this, rect);
    } else {
        window->PlaceOver(rect);
    }
    RevealEdit(*window, decimal(component(m_activeField)));
}

void RGBColorEdit::HideEdit()
{
    m_focused = 0;
    CEditWnd3* window = *m_editWindow;
    if (!window || !window->IsShown())
        return;
    SetEditText(window->GetText());
    window->Conceal();
    SendMessageW(kEditEnded, 0, 0);
}

int RGBColorEdit::OnControlLButtonDown(UINT, CPoint pt)
{
    if (!m_enabled)
        return 0;
    for (int i = 0; i < kFieldCount; ++i) {
        if (!m_fields[i].PtInRect(pt))
            continue;
        if (i != m_activeField)
            HideEdit();
        m_activeField = i;
        ShowEdit();
        return 0;
    }
    if (!m_rect.PtInRect(pt))
        HideEdit();
    return 0;
}

void RGBColorEdit::DrawControl(HDC& dc, CRect)
{
    const int width = m_rect.Width();
    const int height = m_rect.Height();
    const int third = width / kFieldCount;
    if (BeginCachedLooks(*this, m_memPicture, dc, 1)) {
        {
            Gdiplus::Graphics graphics(m_memPicture.dc());
            DrawFrame(graphics, width, height);
            Gdiplus::Pen pen(Gdiplus::Color(kFrameColor), 1.0f);
            for (int i = 1; i < kFieldCount; ++i)
                graphics.DrawLine(&pen, i * third, 1, i * third, height - 3);
        }
        for (int i = 0; i < kFieldCount; ++i) {
            DrawLabel(m_memPicture.dc(), CRect(3 + i * third, 0, 20 + i * third, height), kLabels[i], kLabelColor, kLabelFormat);
            CRect field = m_fields[i];
            field.OffsetRect(-m_rect.left, -m_rect.top);
            DrawLabel(m_memPicture.dc(), field, decimal(component(i)), 0xFFFFFF, kValueFormat);
        }
    }
    ShowCachedLook(*this, m_memPicture, dc, 0);
}

} // namespace KOVA
