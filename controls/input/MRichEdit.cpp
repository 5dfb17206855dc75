#include "controls/input/MRichEdit.h"

namespace KOVA {

MRichEdit::MRichEdit(MObject* parent, UINT id, CRect rect, const wchar_t*, int visible, int)
    : MControl(parent, id, rect, visible, 1, 1)
{
}

const wchar_t* MRichEdit::GetClassNameW() const { return L"MRichEdit"; }

// The text services draw the content; until they are hosted there is nothing to draw.
void MRichEdit::DrawControl(HDC&, CRect) {}

void MRichEdit::SetTextColor(Gdiplus::Color color)
{
    m_textColor = color;
    m_textColorRef = color.ToCOLORREF();
}

} // namespace KOVA
