#pragma once
// What the home page's device tiles and profile cards share: cells of one fixed, unscaled size
// in a grid centred as for three cells with 10-pixel gaps, rows touching, each cell over the
// control image's two-frame background (frame 1 while hovered or selected) stretched over it.
// A press on a cell selects it and reports (1, index, 0) with no repaint; the subclasses draw
// what stands on a cell and decide what a release does.
//
// GUI thread only; the item lock is held while the cells are drawn.
#include "platform/Win32.h"

#include <memory>

#include "framework/ItemList.h"
#include "platform/KovaExport.h"
#include "platform/NotCopied.h"

namespace KOVA {

class KOVA_API CardGrid : public ItemList {
public:
    CardGrid(MObject* parent, UINT id, CRect rect, int visible, int enabled, int cellWidth, int cellHeight);
    // A copy takes the value fields, a lock of its own and no items.
    CardGrid(const CardGrid& other);
    CardGrid& operator=(const CardGrid& other);
    ~CardGrid() override;

    void DrawControl(HDC& dc, CRect paintRect) override;

    static constexpr int kGap = 10;

protected:
    void PressItem(int index, CPoint pt) override;
    // Fonts and the like, fetched before the item lock is taken.
    virtual void PrepareCards() {}
    // What stands on a cell over its background; under the item lock.
    virtual void DrawCard(Gdiplus::Graphics& graphics, ListItem& item, const CRect& cell, bool lit) = 0;

    int m_cellWidth;
    int m_cellHeight;

private:
    void drawBackground(Gdiplus::Graphics& graphics, const CRect& cell, bool lit);

    // Both background frames stretched to the cell once: a stretch per cell and paint costs
    // milliseconds here. Made again when the control image changes.
    NotCopied<std::unique_ptr<Gdiplus::Bitmap>> m_normalBackground;
    NotCopied<std::unique_ptr<Gdiplus::Bitmap>> m_litBackground;
    NotCopied<const Gdiplus::Image*> m_backgroundSource;
};

} // namespace KOVA
