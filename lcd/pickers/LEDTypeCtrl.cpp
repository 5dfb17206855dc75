// GUI thread only; the item lock is let go before a repaint request.
#include "lcd/pickers/LEDTypeCtrl.h"

#include "framework/AppPaths.h"

namespace KOVA {

namespace {
constexpr int kFirstCell = 10;
// The three cells share the width left by the margins and the gaps between them.
constexpr int kMargins = 60;
constexpr int kColumns = 3;
constexpr int kColumnGap = 20;
constexpr int kRowGap = 10;
} // namespace

LEDTypeCtrl::LEDTypeCtrl(MObject* parent, UINT id, CRect rect, int visible, int enabled)
    : LcdPickerGrid(parent, id, rect, visible, enabled)
{
}

LEDTypeCtrl::LEDTypeCtrl(const LEDTypeCtrl& other) = default;
LEDTypeCtrl& LEDTypeCtrl::operator=(const LEDTypeCtrl& other) = default;
LEDTypeCtrl::~LEDTypeCtrl() = default;

const wchar_t* LEDTypeCtrl::GetClassNameW() const { return L"LEDTypeCtrl"; }

void LEDTypeCtrl::AddItem(CString imageFile, int type)
{
    auto item = std::make_unique<LEDTypeItemInfo>();
    item->imageFile = imageFile;
    item->type = type;
    item->LoadImage(GetSkinPath() + imageFile);
    AppendItem(std::move(item));
    UpdateControl(1, 0);
}

int LEDTypeCtrl::GetCurrentType()
{
    ScopedLock lock(m_itemsLock);
    const auto* item = static_cast<const LEDTypeItemInfo*>(ItemAt(m_selected));
    return item ? item->type : 0;
}

void LEDTypeCtrl::SetControlRect(CRect rect)
{
    m_rect = rect;
    UpdateControl(1, 0);
}

void LEDTypeCtrl::DrawControl(HDC& dc, CRect)
{
    const int width = m_rect.Width();
    const int cellWidth = (width - kMargins) / kColumns;
    const int cellHeight = CellHeight(cellWidth);
    DrawGrid(dc, width, [&](Gdiplus::Graphics& graphics, auto& items) {
        int x = kFirstCell;
        int y = kFirstCell;
        for (size_t i = 0; i < items.size(); ++i) {
            DrawCell(graphics, *items[i], static_cast<int>(i), CRect(x, y, x + cellWidth, y + cellHeight));
            x += cellWidth + kColumnGap;
            if (x > width) {
                x = kFirstCell;
                y += cellHeight + kRowGap;
            }
        }
    });
}

} // namespace KOVA
