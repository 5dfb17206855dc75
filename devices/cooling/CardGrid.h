#pragma once
// What the home page's device tiles and profile cards share: cells of one fixed, unscaled size
// in a grid centred as for three cells with 10-pixel gaps, rows touching, each cell over the
// control image's two-frame background (frame 1 while hovered or selected) stretched over it.
// A paint draws only the cells that meet the part of the control being painted: a grid of a
// thousand cells shows a handful at once. Each background frame is stretched once per image
// and kept; each cell drawn is kept, plain and lit, for the cells of the last few screens only,
// so that a repaint, as the home page's scrolling asks for, mostly copies kept cells.
// A press on a cell selects it and reports (1, index, 0) with no repaint; the subclasses draw
// what stands on a cell and decide what a release does.
//
// GUI thread only; the item lock is held while the cells are drawn.
#include "platform/Win32.h"

#include <memory>
#include <vector>

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
    // The cells laid out by the last paint: those meeting the control.
    void HitRange(int& first, int& last) const override;
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
    // What every kept cell and background frame was drawn with.
    struct LookSource {
        const Gdiplus::Image* image { nullptr };
        int frames { 0 };
        CString face;
        int size { 0 };
        int style { 0 };
        int hint { 0 };
        bool operator==(const LookSource& other) const;
    };
    LookSource currentSource() const;
    GridPen gridPen() const;
    // Under the item lock.
    size_t cellsOnControl() const;
    void layOut(size_t count);
    bool pictureHolds(const CRect& view) const;
    // Remakes the memory picture over view (window coordinates) and draws the cells meeting it.
    void drawView(HDC& dc, const CRect& view);
    Gdiplus::Bitmap* lookOf(int index, ListItem& item, bool lit);
    // A background frame stretched to a cell (null when the image cannot be read that way), and
    // whether it covers every pixel: it and the looks over it then carry no alpha, so that a look
    // goes onto the picture as a plain copy; a blended cell costs as much as the rest of a paint
    // here.
    struct Background {
        std::unique_ptr<Gdiplus::Bitmap> picture;
        bool opaque { false };
    };
    const Background& backgroundOf(bool lit);
    void keepLook(int index);
    void dropOldestLooks(size_t kept);

    LookSource m_lookSource;
    NotCopied<Background> m_backgrounds[2];
    // Where the memory picture lies, in window coordinates.
    CRect m_pictureView;
    // Indices of the cells with kept looks, the least recently drawn first.
    NotCopied<std::vector<int>> m_keptLooks;
    // Items whose cells the last paint laid out, from the first.
    size_t m_laidCells { 0 };
    // The most cells one paint has drawn: a screen's worth.
    size_t m_screenCells { 0 };
};

} // namespace KOVA
