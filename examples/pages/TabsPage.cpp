// The tabs page: two MTabCtrls whose pages slide when another tab is chosen (a row of tabs
// across the top and a column down the side), and the four text tab bars: CTabCtrlEx and
// TabCtrl6 with pages under them, CTabCtrl5's four boxes and CTabCtrl2's rows.
#include "SamplePage.h"

#include <initializer_list>

#include "HostTools.h"

using namespace KOVA;

namespace {

constexpr UINT kFirstId = 5000;
constexpr int kRowTabWidth = 110;
constexpr int kRowTabHeight = 34;
constexpr int kRowBarHeight = 44;
constexpr int kColumnTabWidth = 90;
constexpr int kColumnTabHeight = 40;

const Gdiplus::Color kPurple(255, 189, 48, 255);

// ---- the page's own skin, drawn once into the skin folder

// A tab plate in its three looks (normal, hovered, selected) with a round mark on it.
void writeTabStrip(const wchar_t* name, int width, int height)
{
    const Gdiplus::Color plates[3] { { 255, 52, 52, 58 }, { 255, 76, 76, 86 }, kPurple };
    HostTools::WriteSkinStrip(name, width, height, 3, [&](Gdiplus::Graphics& g, int frame, Gdiplus::Rect r) {
        const Gdiplus::SolidBrush plate(plates[frame]);
        g.FillRectangle(&plate, r.X + 2, r.Y, r.Width - 4, r.Height);
        const Gdiplus::SolidBrush mark(Gdiplus::Color(255, 235, 235, 240));
        const int side = r.Height / 2;
        g.FillEllipse(&mark, r.X + (r.Width - side) / 2, r.Y + (r.Height - side) / 2, side, side);
    });
}

void writeTabSkin()
{
    writeTabStrip(L"sample_tab.png", kRowTabWidth, kRowTabHeight);
    writeTabStrip(L"sample_tab_column.png", kColumnTabWidth - 10, kColumnTabHeight - 6);
    // The highlight plate of the text bars: a nine-grid frame and a small pill.
    HostTools::WriteSkinStrip(L"sample_tab_frame.png", 24, 24, 1, [](Gdiplus::Graphics& g, int, Gdiplus::Rect r) {
        const Gdiplus::SolidBrush fill(Gdiplus::Color(255, 60, 36, 84));
        g.FillRectangle(&fill, r);
        const Gdiplus::Pen border(kPurple, 2.0f);
        g.DrawRectangle(&border, r.X + 1, r.Y + 1, r.Width - 2, r.Height - 2);
    });
    HostTools::WriteSkinStrip(L"sample_tab_pill.png", 18, 18, 1, [](Gdiplus::Graphics& g, int, Gdiplus::Rect r) {
        const Gdiplus::SolidBrush fill(kPurple);
        g.FillEllipse(&fill, r);
    });
}

// ---- pages

// A page of colour with a few captions on it, as a family's page would hold its controls.
void fillPage(MPanel* page, UINT& id, COLORREF colour, const wchar_t* const (&captions)[3])
{
    const CRect rect = page->GetRect();
    auto* back = static_cast<CArea*>(page->CreateControl(L"CArea", id++, rect, L"", 1, 1));
    back->SetTransparent(0, 0, colour);
    for (int i = 0; i < 3; ++i) {
        const int top = rect.top + 20 + i * 44;
        MControl* caption = page->CreateControl(L"MButton", id++, CRect(rect.left + 20, top, rect.left + 220, top + 34),
                                                captions[i], 1, 1);
        static_cast<MControlFont*>(caption)->SetAlignment(0);
    }
}

struct PageText {
    const wchar_t* tab;
    COLORREF colour;
    const wchar_t* captions[3];
};

const PageText kPages[] {
    { L"Fans", RGB(38, 44, 62), { L"Pump 2400 rpm", L"Fan 1 1200 rpm", L"Fan 2 1180 rpm" } },
    { L"Lighting", RGB(58, 34, 70), { L"Mode: breathing", L"Speed: 3", L"Brightness: 80%" } },
    { L"Screen", RGB(30, 56, 52), { L"Clock face 4", L"Carousel: on", L"Rotation: 0" } },
};

// An MTabCtrl with one sliding page per entry of kPages, showing the page of tab shown.
void addTabs(MPanel* page, UINT& id, CRect rect, CRect pageRect, TAB_TYPE type, const wchar_t* strip, int shown)
{
    auto* tabs = static_cast<MTabCtrl*>(page->CreateControl(L"MTabCtrl", id++, rect, L"", 1, 1));
    tabs->SetTabType(type);
    if (type == TabTypeHorizontal) {
        tabs->SetTabCtrlHeight(kRowBarHeight);
    } else {
        tabs->SetTabCtrlWidth(kColumnTabWidth);
        tabs->SetTabCtrlHeight(kColumnTabHeight);
        tabs->SetLeftRightPading(5, 0);
    }
    for (const PageText& text : kPages) {
        auto* tabPage = static_cast<MPanel*>(tabs->CreatePanel(L"MTabLayout", id++, pageRect));
        fillPage(tabPage, id, text.colour, text.captions);
        tabs->InsertItem(id++, text.tab, strip, tabPage, 3, type == TabTypeHorizontal ? kRowTabWidth : 0);
    }
    tabs->SetSelectItem(shown);
    tabs->EnableAnimateChangeTab(1);
    tabs->SetUpdataRect(rect);
}

// ---- the text bars

void addTextBars(MPanel* page, UINT& id, int left, int top)
{
    auto* ex = static_cast<CTabCtrlEx*>(page->CreateControl(L"CTabCtrlEx", id++, CRect(left, top, left + 480, top + 40),
                                                            L"", 1, 1));
    ex->SetImage(L"sample_tab_pill.png", 1);
    for (const wchar_t* text : { L"Device", L"Profile", L"Update" })
        ex->AddItem(text, static_cast<int>(id++), 110, nullptr);
    ex->SetSelectItem(1);

    const CRect sixPages(left, top + 100, left + 480, top + 170);
    auto* six = static_cast<TabCtrl6*>(page->CreateControl(L"TabCtrl6", id++, CRect(left, top + 60, left + 480, top + 96),
                                                           L"", 1, 1));
    const COLORREF sixColours[3] { RGB(70, 40, 40), RGB(40, 70, 40), RGB(40, 40, 80) };
    const wchar_t* const sixTexts[3] { L"CPU", L"GPU", L"Memory" };
    for (int i = 0; i < 3; ++i) {
        auto* sixPage = static_cast<CArea*>(page->CreateControl(L"CArea", id++, sixPages, L"", 1, 1));
        sixPage->SetTransparent(0, 0, sixColours[i]);
        six->AddItem(sixTexts[i], static_cast<int>(id++), 100, sixPage);
    }
    six->SetSelectItem(2);

    auto* boxes = static_cast<CTabCtrl5*>(page->CreateControl(L"CTabCtrl5", id++, CRect(left, top + 190, left + 400, top + 230),
                                                             L"", 1, 1));
    for (const wchar_t* text : { L"1 s", L"5 s", L"10 s", L"30 s" })
        boxes->AddItem(text, static_cast<int>(id++));
    boxes->SetSelectItem(0);

    auto* rows = static_cast<CTabCtrl2*>(page->CreateControl(L"CTabCtrl2", id++, CRect(left, top + 250, left + 200, top + 250 + 4 * 36),
                                                            L"", 1, 1));
    rows->SetImage(L"sample_tab_frame.png", 1);
    rows->SetAlignment(1);
    for (const wchar_t* text : { L"General", L"Language", L"Theme", L"About" })
        rows->AddItem(text, static_cast<int>(id++), nullptr);
    rows->SetSelectItem(1);
}

void build(MPanel* page, const CRect& area)
{
    writeTabSkin();
    UINT id = kFirstId;
    const int left = area.left + 20;
    const int top = area.top + 16;
    const CRect row(left, top, left + 500, top + 270);
    addTabs(page, id, row, CRect(row.left, row.top + kRowBarHeight, row.right, row.bottom), TabTypeHorizontal,
            L"sample_tab.png", 0);
    const CRect column(left, top + 290, left + 500, top + 560);
    addTabs(page, id, column, CRect(column.left + kColumnTabWidth + 10, column.top, column.right, column.bottom),
            TabTypeVertical, L"sample_tab_column.png", 1);
    addTextBars(page, id, area.left + 560, top);
}

} // namespace

extern const SamplePage kTabsPage { L"tabs", build, nullptr, nullptr };
