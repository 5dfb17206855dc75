#pragma once
// What the home page's device tiles and profile cards share: cells of one fixed, unscaled size
// in a grid centred as for three cells with 10-pixel gaps, rows touching, each cell over the
// control image's two-frame background (frame 1 while hovered or selected) stretched over it.
// Each cell is drawn once plain and once lit and kept: a repaint, as the home page's scrolling
// asks for, only puts the kept cells over what lies under the control.
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

    // Every kept cell is drawn again at the next paint (a picture or a font of the control
    // changed); call under the item lock.
    void DropLooks();

private:
    // What every kept cell was drawn with.
    struct LookSource {
        const Gdiplus::Image* image { nullptr };
        CString face;
        int size { 0 };
        int style { 0 };
        int hint { 0 };
        bool operator==(const LookSource& other) const;
    };
    LookSource currentSource() const;
    Gdiplus::Bitmap* lookOf(ListItem& item, bool lit);

    LookSource m_lookSource;
};

} // namespace KOVA
