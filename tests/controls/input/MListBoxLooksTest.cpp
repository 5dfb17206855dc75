// The list box's kept row looks: a wheel notch lays the rows it shows from looks drawn once
// over nothing. After any run of scrolling, hovering, selecting and changes, a paint must
// show what a list given the same rows and state and painted for the first time shows (every
// row then drawn anew), over any ground. (A look laid over a ground gives the pixels of the
// look drawn there: tests/framework/LookLayerTest.)
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

#include "DibCanvas.h"
#include "LibraryHost.h"
#include "RecordingControl.h"
#include "framework/MRender.h"
#include "framework/MRenderLayer.h"

using namespace KOVA;
using namespace KOVA::test;

namespace {

const auto* const host = ::testing::AddGlobalTestEnvironment(new LibraryHost);

const CRect kPlace(10, 10, 210, 250);
constexpr int kRows = 60;
constexpr DWORD kGround = 0xFF303040;

void paintGround(DibCanvas& canvas, bool picture)
{
    canvas.fill(kGround);
    if (picture)
        MRender::DrawGradient(canvas.dc(), CRect(0, 0, canvas.width(), canvas.height()), 0xFF103050, 0xFFB04020,
                              true, 64);
}

// The hovered row in reach: a list never painted has no rows to hover yet.
class OpenList : public MListBox {
public:
    using MListBox::MListBox;
    int hovered() const { return m_hover; }
    void hover(int index) { m_hover = index; }
};

// A list with rows of their own texts, placed and bound.
struct List {
    explicit List(PaintManager& manager) : view(std::make_unique<OpenList>(&parent, 5, kPlace, 1))
    {
        view->SetManager(&manager);
        view->SetControlRect(kPlace);
        for (int i = 0; i < kRows; ++i)
            view->AddString((L"Row " + std::to_wstring(i)).c_str(), -1);
    }
    void paint(DibCanvas& canvas, bool picture)
    {
        paintGround(canvas, picture);
        view->SetUpdate(0, 0);
        view->Draw(canvas.dc(), CRect(0, 0, canvas.width(), canvas.height()));
    }
    RecordingParent parent;
    std::unique_ptr<OpenList> view;
};

struct Case {
    const char* name;
    bool picture;
    // Brings a list to the state compared; the list under test has been painted at each step.
    std::vector<std::function<void(MListBox&)>> steps;
};

void notch(MListBox& list, int down) { list.OnScroll(1, down, CPoint(50, 50)); }

TEST(MListBoxLooks, RowsLaidFromKeptLooksShowWhatRowsDrawnAnewShow)
{
    ASSERT_TRUE(LookLayer::BlendsAlike()) << "this platform's GDI+ draws straight; the list does too";
    const auto down = [](MListBox& list) { notch(list, 1); };
    const auto up = [](MListBox& list) { notch(list, 0); };
    const Case cases[] = {
        { "notches down and back", true, { down, down, up } },
        { "a row hovered, then another", false,
          { [](MListBox& list) { list.OnMouseMove(0, CPoint(60, kPlace.top + 45)); },
            [](MListBox& list) { list.OnMouseMove(0, CPoint(60, kPlace.top + 75)); } } },
        { "a row selected, then scrolled past", true,
          { [](MListBox& list) { list.SetCurSel(3); }, down, up } },
        { "a row's text changed", false,
          { down, [](MListBox& list) { list.ModifyItemString(12, L"Renamed row"); } } },
        { "a row inserted above the rows shown", true,
          { down, [](MListBox& list) { list.InsertString(0, L"First", -1, 0); } } },
        { "another text colour", false,
          { [](MListBox& list) { list.SetTextColor(Gdiplus::Color(0xFFFFC040)); } } },
        { "taller rows", true, { down, [](MListBox& list) { list.SetItemHeight(40); } } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PaintManager manager;
        List shown(manager);
        DibCanvas byKeptLooks(220, 260);
        shown.paint(byKeptLooks, c.picture);
        for (const auto& step : c.steps) {
            step(*shown.view);
            shown.paint(byKeptLooks, c.picture);
        }
        List fresh(manager);
        for (const auto& step : c.steps)
            step(*fresh.view);
        fresh.view->hover(shown.view->hovered());
        DibCanvas drawnAnew(220, 260);
        fresh.paint(drawnAnew, c.picture);
        DibCanvas ground(220, 260);
        paintGround(ground, c.picture);
        int differing = 0;
        int drawn = 0;
        for (int y = kPlace.top; y < kPlace.bottom; ++y)
            for (int x = kPlace.left; x < kPlace.right; ++x) {
                differing += byKeptLooks.rgb(x, y) != drawnAnew.rgb(x, y);
                drawn += drawnAnew.rgb(x, y) != ground.rgb(x, y);
            }
        EXPECT_EQ(0, differing);
        // Rows that drew nothing prove nothing.
        EXPECT_GT(drawn, 1000);
    }
}

} // namespace
