// GUI thread only. The item lock is taken below the paint manager's list locks.
#include "lcd/pickers/LcdPickerGrid.h"

#include "controls/basic/LookPainting.h"
#include "framework/MRender.h"
#include "framework/Manager.h"
#include "lcd/renderer/LEDModeCtrl.h"

namespace KOVA {

namespace {
constexpr float kOutlineWidth = 2.0f;
// The outline sits one pixel inside the cell and is three pixels narrower, so that the pen's
// width stays on the cell.
constexpr int kOutlineInset = 1;
constexpr int kOutlineShrink = 3;
} // namespace

LcdPickerGrid::LcdPickerGrid(MObject* parent, UINT id, CRect rect, int visible, int enabled)
    : ItemList(parent, id, rect, visible, enabled)
{
}

LcdPickerGrid::LcdPickerGrid(const LcdPickerGrid& other) = default;
LcdPickerGrid& LcdPickerGrid::operator=(const LcdPickerGrid& other) = default;
LcdPickerGrid::~LcdPickerGrid() = default;

// ---- drawing

int LcdPickerGrid::CellHeight(int cellWidth) const
{
    return m_screenType == LEDScreenWide ? static_cast<int>(cellWidth * 480.0 / 640.0) : cellWidth;
}

bool LcdPickerGrid::beginRepaint(HDC& dc)
{
    if (!BeginCachedLooks(*this, m_memPicture, dc, 1))
        return false;
    ::SetBkMode(m_memPicture.dc(), TRANSPARENT);
    return true;
}

void LcdPickerGrid::showPicture(HDC& dc, int shownWidth) const
{
    MRender::BitBlt(dc, m_rect.left, m_rect.top, shownWidth, m_rect.Height(), m_memPicture.dc(), 0, 0);
}

void LcdPickerGrid::ClipToCell(Gdiplus::Graphics& graphics, const CRect& cell) const
{
    if (m_screenType != LEDScreenCircle)
        return;
    Gdiplus::GraphicsPath ellipse;
    ellipse.AddEllipse(cell.left, cell.top, cell.Width(), cell.Height());
    graphics.SetClip(&ellipse, Gdiplus::CombineModeReplace);
}

void LcdPickerGrid::DrawCell(Gdiplus::Graphics& graphics, ListItem& item, int index, const CRect& cell)
{
    item.cell = cell;
    ClipToCell(graphics, cell);
    DrawStretched(graphics, item, cell);
    if (IsHighlighted(index))
        DrawOutline(graphics, cell);
}

void LcdPickerGrid::DrawOutline(Gdiplus::Graphics& graphics, const CRect& cell)
{
    // Made once, and again only when the host changed the selection colour.
    const Gdiplus::ARGB colour = Manager::GetSelectColor().GetValue();
    if (!*m_outlinePen || colour != m_outlineColour) {
        *m_outlinePen = std::make_unique<Gdiplus::Pen>(Gdiplus::Color(colour), kOutlineWidth);
        m_outlineColour = colour;
    }
    const int x = cell.left + kOutlineInset;
    const int y = cell.top + kOutlineInset;
    const int width = cell.Width() - kOutlineShrink;
    const int height = cell.Height() - kOutlineShrink;
    if (m_screenType == LEDScreenCircle)
        graphics.DrawEllipse(m_outlinePen->get(), x, y, width, height);
    else
        graphics.DrawRectangle(m_outlinePen->get(), x, y, width, height);
}

void LcdPickerGrid::DrawStretched(Gdiplus::Graphics& graphics, ListItem& item, const CRect& target)
{
    const int width = target.Width();
    const int height = target.Height();
    if (!item.image || width < 1 || height < 1)
        return;
    auto& scaled = item.scaled;
    if (!scaled || static_cast<int>(scaled->GetWidth()) != width || static_cast<int>(scaled->GetHeight()) != height)
        scaled.reset(MRender::StretchImagePart(item.image.get(), 0, 0, item.imageWidth, item.imageHeight, width, height));
    if (scaled)
        graphics.DrawImage(scaled.get(), target.left, target.top, width, height);
}

} // namespace KOVA
