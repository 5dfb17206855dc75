// GUI thread only; see MouseItemList for the locks.
#include "devices/peripherals/MouseKeyCtrl.h"

#include "framework/FontCache.h"
#include "framework/PaintManager.h"

namespace KOVA {

namespace {
constexpr Gdiplus::ARGB kRowFill = 0xFF6D6D6D;
constexpr Gdiplus::ARGB kSelectedText = 0xFF050505;
constexpr Gdiplus::ARGB kText = 0xFFFFFFFF;
constexpr float kHoverPenWidth = 2.0f;
// Unscaled: the name starts 10 px in and is 70 px wide, the description starts at 80.
constexpr float kNameLeft = 10.0f;
constexpr float kNameWidth = 70.0f;
constexpr float kDescriptionLeft = 80.0f;
constexpr int kDescriptionInset = 80;
constexpr float kRowGap = 5.0f;
} // namespace

MouseKeyCtrl::MouseKeyCtrl(MObject* parent, UINT id, CRect rect, int visible)
    : MouseItemList(parent, id, rect, visible)
{
}

MouseKeyCtrl::MouseKeyCtrl(const MouseKeyCtrl& other) = default;
MouseKeyCtrl& MouseKeyCtrl::operator=(const MouseKeyCtrl& other) = default;
MouseKeyCtrl::~MouseKeyCtrl() = default;

const wchar_t* MouseKeyCtrl::GetClassNameW() const
{
    return L"MouseKeyCtrl";
}

void MouseKeyCtrl::SetControlRect(CRect rect)
{
    MouseItemList::SetControlRect(rect);
    RepaintIfShown();
}

int MouseKeyCtrl::AddItem(CString keyName, CString description, int keyValue)
{
    auto row = std::make_unique<MouseKeyItem>();
    row->text = keyName;
    row->description = description;
    row->keyValue = keyValue;
    return AddEntry(std::move(row));
}

int MouseKeyCtrl::SetItemKeyDesc(int keyValue, CString description)
{
    {
        ScopedLock lock(m_itemsLock);
        for (int i = 0; MouseKeyItem* row = EntryAt<MouseKeyItem>(i); ++i)
            if (row->keyValue == keyValue) {
                row->description = description;
                break;
            }
    }
    RepaintIfShown();
    return 1;
}

void MouseKeyCtrl::ShowItemTip(int index)
{
    CString description;
    CRect place;
    {
        ScopedLock lock(m_itemsLock);
        const MouseKeyItem* row = EntryAt<MouseKeyItem>(index);
        if (!row)
            return;
        description = row->description;
        place = PlaceOf(*row);
    }
    SetTooltip(description, place);
}

void MouseKeyCtrl::HideItemTip()
{
    // Every control hears every move: only this view's own tooltip is taken down.
    if (m_manager && m_manager->GetTooltipCtrlID() == static_cast<int>(m_uControlID))
        ClearTooltip();
}

void MouseKeyCtrl::DrawItems(Gdiplus::Graphics& graphics, const Gdiplus::Font* font)
{
    const int width = m_rect.Width();
    const float s = m_scale;
    const int rowHeight = static_cast<int>(m_rowHeight * s);
    Gdiplus::SolidBrush selectedFill(m_selectColor);
    Gdiplus::SolidBrush rowFill { Gdiplus::Color(kRowFill) };
    Gdiplus::SolidBrush selectedText { Gdiplus::Color(kSelectedText) };
    Gdiplus::SolidBrush text { Gdiplus::Color(kText) };
    Gdiplus::Pen hoverPen(m_selectColor, kHoverPenWidth);
    int y = 0;
    for (int i = 0; MouseKeyItem* row = EntryAt<MouseKeyItem>(i); ++i) {
        row->cell = CRect(0, y, width, y + rowHeight);
        const bool selected = i == m_selected;
        graphics.FillRectangle(selected ? &selectedFill : &rowFill, 0, y, width, rowHeight);
        if (!selected && i == m_hover)
            graphics.DrawRectangle(&hoverPen, 1, y, width - 3, rowHeight);
        const Gdiplus::SolidBrush* ink = selected ? &selectedText : &text;
        const auto nameLeft = static_cast<float>(static_cast<int>(kNameLeft * s));
        const auto nameRight = static_cast<float>(static_cast<int>(kNameWidth * s + kNameLeft * s));
        const auto top = static_cast<float>(y);
        const auto height = static_cast<float>(static_cast<int>(m_rowHeight * s + y)) - top;
        if (font) {
            graphics.DrawString(row->text, row->text.GetLength(), TextFont(font, row->text),
                                Gdiplus::RectF(nameLeft, top, nameRight - nameLeft, height), TextFormat(), ink);
            if (!row->description.IsEmpty())
                graphics.DrawString(row->description, row->description.GetLength(), TextFont(font, row->description),
                                    Gdiplus::RectF(static_cast<float>(static_cast<int>(kDescriptionLeft * s)), top,
                                                   static_cast<float>(width - kDescriptionInset), height),
                                    TextFormat(), ink);
        }
        y += static_cast<int>(m_rowHeight * s + kRowGap);
    }
}

} // namespace KOVA
