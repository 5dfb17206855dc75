// GUI thread only.
#include "controls/input/MEditEx.h"

#include "controls/input/CTxtWinHost.h"

namespace KOVA {

namespace {
constexpr DWORD kSingleLineStyle = WS_HSCROLL | ES_AUTOHSCROLL;
constexpr int kTipDrop = 2;
} // namespace

MEditEx::MEditEx(MObject* parent, UINT id, CRect rect, const wchar_t* title, int visible, int enabled)
    : MRichEdit(parent, id, rect, title, visible, enabled)
{
    m_winStyle = kSingleLineStyle;
}

const wchar_t* MEditEx::GetClassNameW() const { return L"MEditEx"; }

void MEditEx::SetControlRect(CRect rect)
{
    m_rect = rect;
    if (!Host())
        return;
    CentreLine(rect);
    LayOutTextArea(rect, true);
}

void MEditEx::DrawControl(HDC& dc, CRect paintRect)
{
    DrawStrip(dc, m_rect.Width(), [this](Gdiplus::Graphics& graphics, const CRect& slot) {
        DrawTip(graphics, slot, Gdiplus::StringAlignmentCenter, kTipDrop);
    });
    DrawText(dc, paintRect);
}

} // namespace KOVA
