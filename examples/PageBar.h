#pragma once
// The sample host's page switch: one caption per page across the top of the window, in as
// many rows as it takes for every caption to keep a legible width. A click on a caption
// reports the page's index (code kPageChosen, wParam the index); the host shows that page
// and marks it here.
#include "KOVA.h"

#include <vector>

class PageBar : public KOVA::MControlFont {
public:
    static constexpr UINT kPageChosen = 1;

    PageBar(KOVA::MObject* parent, UINT id, CRect rect, std::vector<const wchar_t*> captions);

    void Select(size_t index);
    size_t GetSelected() const { return m_selected; }
    // Where the caption of a page sits, in client coordinates.
    CRect CaptionRect(size_t index) const;

    void DrawControl(HDC& dc, CRect paintRect) override;
    int OnControlLButtonUp(UINT keys, CPoint pt) override;

private:
    static constexpr int kCaptionWidth = 150;
    // Narrower than this a caption such as "lcd-layouts" no longer fits: the bar takes a
    // second row instead.
    static constexpr int kMinCaptionWidth = 100;

    int rowCount() const;

    std::vector<const wchar_t*> m_captions;
    size_t m_selected { 0 };
};
