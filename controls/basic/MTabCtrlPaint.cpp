// The tab control's bar and page slide. The bar is rendered once per look into the control's
// memory picture, so that a hover or a selection costs a few block copies: a row keeps band 0
// (every tab normal) above band 1 (every tab highlighted, frame 1), a column keeps bands 0, 1
// and 2 (frames 0, 1 and 2) side by side. A row with extra buttons keeps a clean copy of its
// bands below them and lays the buttons' states over the bands at each paint.
#include "controls/basic/MTabCtrl.h"

#include <algorithm>
#include <initializer_list>

#include "framework/MRender.h"

namespace KOVA {

namespace {
// Row tabs are drawn this far below the top of their band.
constexpr int kRowImageDrop = 10;
constexpr int kRowBands = 2;
constexpr int kColumnBands = 3;

// Frame of a band: the band's own, or the strip's last when it has fewer.
int frameForBand(int band, int frameCount)
{
    return std::min(band, std::max(frameCount, 1) - 1);
}
} // namespace

bool MTabCtrl::cacheHolds(int width, int height) const
{
    return GetUpdate() && m_memPicture.width() == width && m_memPicture.height() == height;
}

void MTabCtrl::DrawControl(HDC& dc, CRect)
{
    if (isRow())
        drawRow(dc);
    else if (isColumn())
        drawColumn(dc);
}

void MTabCtrl::showTabFromCache(HDC& dc, int index, int bandX, int bandY)
{
    const TabRecord* record = m_tabs.At(index);
    if (!record || !record->info.visible)
        return;
    const CRect& tab = record->info.itemRect;
    MRender::BitBlt(dc, tab.left, tab.top, tab.Width(), tab.Height(), m_memPicture.dc(), tab.left - m_rect.left + bandX,
                    tab.top - m_rect.top + bandY);
}

// ---- row

void MTabCtrl::buildRowCache(HDC& dc, int width, int height)
{
    const int bandsHeight = kRowBands * height;
    UpdateMemDC(dc, width, m_buttonImage.Image() ? 2 * bandsHeight : bandsHeight);
    HDC cache = m_memPicture.dc();
    Gdiplus::Graphics graphics(cache);
    for (int band = 0; band < kRowBands; ++band) {
        MRender::BitBlt(cache, 0, band * height, width, height, dc, m_rect.left, m_rect.top);
        // A strip taller than the bar stays inside its own band.
        graphics.SetClip(Gdiplus::Rect(0, band * height, width, height));
        for (const auto& record : m_tabs) {
            const TabItemInfo& tab = record->info;
            if (!tab.visible)
                continue;
            const int x = tab.itemRect.left - m_rect.left + (tab.itemRect.Width() - tab.frameWidth) / 2;
            const int y = tab.itemRect.top - m_rect.top + band * height + kRowImageDrop;
            record->strip.DrawFrame(graphics, frameForBand(band, tab.frameCount), x, y);
        }
    }
    if (m_buttonImage.Image())
        MRender::BitBlt(cache, 0, bandsHeight, width, bandsHeight, cache, 0, 0);
}

void MTabCtrl::overlayButtons(int barHeight)
{
    HDC cache = m_memPicture.dc();
    const int width = m_memPicture.width();
    const int bandsHeight = kRowBands * barHeight;
    MRender::BitBlt(cache, 0, 0, width, bandsHeight, cache, 0, bandsHeight);
    Gdiplus::Graphics graphics(cache);
    for (int band = 0; band < kRowBands; ++band)
        for (const auto& record : m_tabs) {
            const TabItemInfo& tab = record->info;
            if (!tab.buttonRect.IsRectEmpty())
                m_buttonImage.DrawFrame(graphics, tab.buttonState, tab.buttonRect.left, tab.buttonRect.top + band * barHeight);
        }
}

void MTabCtrl::drawRow(HDC& dc)
{
    const int width = m_rect.Width();
    const int height = m_barHeight;
    if (width <= 0 || height <= 0)
        return;
    const int cacheHeight = (m_buttonImage.Image() ? 2 : 1) * kRowBands * height;
    if (!cacheHolds(width, cacheHeight))
        buildRowCache(dc, width, height);
    if (m_buttonImage.Image())
        overlayButtons(height);
    MRender::BitBlt(dc, m_rect.left, m_rect.top, width, height, m_memPicture.dc(), 0, 0);
    // Hovered and selected tabs both show the highlighted band.
    showTabFromCache(dc, m_hover, 0, height);
    showTabFromCache(dc, m_selected, 0, height);
}

// ---- column

void MTabCtrl::buildColumnCache(HDC& dc, int width, int height)
{
    UpdateMemDC(dc, kColumnBands * width, height);
    HDC cache = m_memPicture.dc();
    Gdiplus::Graphics graphics(cache);
    for (int band = 0; band < kColumnBands; ++band) {
        MRender::BitBlt(cache, band * width, 0, width, height, dc, m_rect.left, m_rect.top);
        graphics.SetClip(Gdiplus::Rect(band * width, 0, width, height));
        for (const auto& record : m_tabs) {
            const TabItemInfo& tab = record->info;
            if (!tab.visible || !tab.image)
                continue;
            const int x = tab.itemRect.left - m_rect.left + band * width + (tab.itemRect.Width() - tab.frameWidth) / 2;
            const int y = tab.itemRect.top - m_rect.top + (tab.itemRect.Height() - tab.frameHeight) / 2;
            record->strip.DrawFrame(graphics, frameForBand(band, tab.frameCount), x, y);
        }
    }
}

void MTabCtrl::drawColumn(HDC& dc)
{
    const int width = m_columnWidth;
    const int height = m_rect.Height();
    if (width <= 0 || height <= 0)
        return;
    if (!cacheHolds(kColumnBands * width, height))
        buildColumnCache(dc, width, height);
    MRender::BitBlt(dc, m_rect.left, m_rect.top, width, height, m_memPicture.dc(), 0, 0);
    showTabFromCache(dc, m_hover, width, 0);
    showTabFromCache(dc, m_selected, 2 * width, 0);
}

// ---- the slide

int MTabCtrl::DrawSubControls(HDC& dc, CRect paintRect)
{
    MControl* leaving = pageOf(m_previousSelected);
    MControl* entering = pageOf(m_selected);
    if (!m_run || !leaving || !entering || leaving == entering)
        return MControl::DrawSubControls(dc, paintRect);
    drawSlide(dc, *leaving, *entering);
    return 1;
}

void MTabCtrl::copyLeavingPage(HDC& dc, HDC source, const CRect& page)
{
    const int left = m_rect.left;
    const int top = m_rect.top;
    const int width = m_rect.Width();
    const int height = m_rect.Height();
    if (isRow()) {
        const int d = m_slideOffsetX;
        const int rows = m_rect.bottom - page.top;
        if (d > 0)
            MRender::BitBlt(dc, left, page.top, width - d, rows, source, left + d, page.top);
        else
            MRender::BitBlt(dc, left - d, page.top, width + d, rows, source, left, page.top);
        return;
    }
    const int d = m_slideOffsetY;
    const int columns = m_rect.right - page.left;
    if (d > 0)
        MRender::BitBlt(dc, page.left, top, columns, height - d, source, page.left, top + d);
    else
        MRender::BitBlt(dc, page.left, top - d, columns, height + d, source, page.left, top);
}

void MTabCtrl::copyEnteringPage(HDC& dc, HDC source, const CRect& page)
{
    const int left = m_rect.left;
    const int top = m_rect.top;
    const int width = m_rect.Width();
    const int height = m_rect.Height();
    if (isRow()) {
        const int d = m_slideOffsetX;
        const int rows = m_rect.bottom - page.top;
        if (d > 0)
            MRender::BitBlt(dc, left + width - d, page.top, d, rows, source, left, page.top);
        else
            MRender::BitBlt(dc, left, page.top, -d, rows, source, left + width + d, page.top);
        return;
    }
    const int d = m_slideOffsetY;
    const int columns = m_rect.right - page.left;
    if (d > 0)
        MRender::BitBlt(dc, page.left, top + height - d, columns, d, source, page.left, top);
    else
        MRender::BitBlt(dc, page.left, top, columns, -d, source, page.left, top + height + d);
}

void MTabCtrl::drawSlide(HDC& dc, MControl& leaving, MControl& entering)
{
    // Pages draw at their client coordinates: the pictures reach the control's bottom-right
    // corner. They are kept for the whole slide and released when it ends.
    const int right = m_rect.right;
    const int bottom = m_rect.bottom;
    for (MemoryPicture* picture : { &m_leavingPicture, &m_enteringPicture }) {
        if (picture->width() != right || picture->height() != bottom)
            picture->Create(dc, right, bottom);
        MRender::BitBlt(picture->dc(), m_rect.left, m_rect.top, m_rect.Width(), m_rect.Height(), dc, m_rect.left,
                        m_rect.top);
    }
    HDC leavingDc = m_leavingPicture.dc();
    HDC enteringDc = m_enteringPicture.dc();
    // Each page is drawn while it alone is shown; the new page is the shown one afterwards.
    leaving.SetControlVisible(1);
    entering.SetControlVisible(0);
    leaving.Draw(leavingDc, m_rect);
    copyLeavingPage(dc, leavingDc, leaving.GetRect());
    leaving.SetControlVisible(0);
    entering.SetControlVisible(1);
    entering.Draw(enteringDc, m_rect);
    copyEnteringPage(dc, enteringDc, entering.GetRect());
}

} // namespace KOVA
