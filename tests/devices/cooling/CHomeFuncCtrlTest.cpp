#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "GdiObjectCount.h"
#include "HomeTestKit.h"
#include "NotedDialog.h"
#include "PumpUntil.h"
#include "ScratchFile.h"
#include "ScratchStrip.h"
#include "devices/cooling/CHomeFuncCtrl.h"
#include "framework/AppPaths.h"
#include "framework/MRender.h"
#include "framework/MRenderLayer.h"

using namespace KOVA;
using namespace KOVA::test;

namespace {

const auto* const host = ::testing::AddGlobalTestEnvironment(new LibraryHost);

constexpr UINT kPageId = 7;
constexpr DWORD kCardColour = 0x3060C0;
const CRect kPage(0, 0, 1520, 900);

// The language file the host ships beside its program, UTF-16LE.
std::vector<BYTE> languageFile(const std::wstring& text)
{
    std::vector<BYTE> bytes { 0xFF, 0xFE };
    for (wchar_t c : text) {
        bytes.push_back(static_cast<BYTE>(c & 0xFF));
        bytes.push_back(static_cast<BYTE>(c >> 8));
    }
    return bytes;
}

class HomePage : public ::testing::Test {
protected:
    HomePage()
    {
        // The real pointer stays off the dialog: a move of it there would take the hover.
        ::SetCursorPos(1910, 1070);
        page = dialog.create<CHomeFuncCtrl>(L"CHomeFuncCtrl", kPageId, kPage);
    }
    MControl* child(UINT id) { return page->GetControl(id); }
    CString title(UINT id) { return dynamic_cast<MControlFont*>(child(id))->GetTitle(); }
    void layOut()
    {
        page->SetRect(CRect(0, 0, 1520, 899));
        page->SetRect(kPage);
    }
    int position() { return page->GetScrollVertical()->GetScrollCurrentPos(); }
    void showTiles()
    {
        for (int i = 0; i < 6; ++i)
            page->SetDeviceState(i, L"Device", true, L"");
        UpdateWindow(dialog.GetSafeHwnd());
    }
    // The page drawn whole into the canvas, as a window paint does.
    // Over a plain backdrop, or one whose lower half is another colour.
    void paint(bool striped = false)
    {
        canvas.fill(0xFF000000 | kBackdrop);
        if (striped)
            MRender::FillSolidRect(canvas.dc(), 0, 450, 1520, 450, RGB(10, 90, 10));
        page->SetUpdate(0, 0);
        page->Draw(canvas.dc(), kPage);
    }
    bool heard(UINT id, UINT code, UINT wParam, LONG lParam)
    {
        return pumpUntil([&] {
            for (const Notification& n : dialog.notes)
                if (n.id == id && n.code == code && n.wParam == wParam && n.lParam == lParam)
                    return true;
            return false;
        });
    }

    NotedDialog dialog { kPage };
    CHomeFuncCtrl* page { nullptr };
    DibCanvas canvas { 1520, 900 };
};

TEST_F(HomePage, ChildrenWaitForANewRectangleThenStandInTheirRows)
{
    ASSERT_NE(nullptr, page);
    page->SetRect(kPage);
    EXPECT_TRUE(child(40)->GetRect().IsRectEmpty()) << "the same rectangle again does nothing";
    layOut();
    struct Place {
        UINT id;
        CRect rect;
    };
    const Place places[] {
        { 40, CRect(285, 910, 585, 1161) },   // web site, product, feedback
        { 39, CRect(595, 910, 895, 1161) },   { 41, CRect(905, 910, 1205, 1161) },
        { 35, CRect(200, 280, 1320, 940) },   { 44, CRect(200, 1200, 1320, 1660) },
        { 45, CRect(1260, 1590, 1360, 1620) }, { 46, CRect(1370, 1590, 1470, 1620) },
        { 32, CRect(80, 170, 280, 200) },     { 1, CRect(1515, 0, 1520, 900) },
        { 48, CRect() },
    };
    for (const Place& place : places) {
        SCOPED_TRACE(place.id);
        EXPECT_EQ(place.rect, child(place.id)->GetRect());
    }
    EXPECT_EQ(CHomeFuncCtrl::kContentHeight, page->GetVirtualHeight());
}

TEST_F(HomePage, AttachedAgainItKeepsItsChildrenAndHandsThemTheNewManager)
{
    ASSERT_NE(nullptr, page);
    const size_t built = page->GetControls().size();
    MControl* const devices = child(35);
    MControl* const restore = child(45);
    PaintManager other;
    struct Attach {
        const char* name;
        PaintManager* manager;
    };
    for (const Attach& attach : { Attach { "detached", nullptr }, Attach { "another window", &other },
                                  Attach { "its window again", dialog.GetPaintManager() },
                                  Attach { "the same window once more", dialog.GetPaintManager() } }) {
        SCOPED_TRACE(attach.name);
        page->SetManager(attach.manager);
        EXPECT_EQ(built, page->GetControls().size());
        EXPECT_EQ(devices, child(35));
        EXPECT_EQ(restore, child(45));
        EXPECT_EQ(attach.manager, devices->GetManager());
        EXPECT_EQ(attach.manager, restore->GetManager());
    }
    // Back in its window, the page's children take the pointer as before.
    layOut();
    showTiles();
    dialog.notes.clear();
    dialog.post({ WM_MOUSEMOVE, WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP }, CPoint(300, 300));
    EXPECT_TRUE(heard(kPageId, 35, 2, 0));
}

TEST_F(HomePage, PostedClicksReachTheHostRemappedBeforeAndAfterScrolling)
{
    layOut();
    showTiles();
    dialog.post({ WM_MOUSEMOVE, WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP }, CPoint(300, 300));
    EXPECT_TRUE(heard(kPageId, 35, 1, 0));
    EXPECT_TRUE(heard(kPageId, 35, 2, 0));

    page->SetVirtualTop(2100 - 900);
    EXPECT_EQ(CHomeFuncCtrl::kBarRange, position());
    UpdateWindow(dialog.GetSafeHwnd());
    // Content rows 1200 and 1590 now stand at 0 and 390.
    dialog.post({ WM_MOUSEMOVE, WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP }, CPoint(600, 10));
    EXPECT_TRUE(heard(kPageId, 44, 2, 1));
    dialog.post({ WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP }, CPoint(1300, 405));
    EXPECT_TRUE(heard(kPageId, 45, 2, 0));

    // Dragging the bar's thumb up from the bottom.
    dialog.post({ WM_MOUSEMOVE, WM_LBUTTONDOWN }, CPoint(1517, 880));
    dialog.post({ WM_MOUSEMOVE, WM_LBUTTONUP }, CPoint(1517, 300));
    EXPECT_TRUE(pumpUntil([&] {
        for (const Notification& n : dialog.notes)
            if (n.id == 1 && n.code == 8 && n.lParam == 0 && static_cast<int>(n.wParam) == position())
                return position() < CHomeFuncCtrl::kBarRange;
        return false;
    })) << noteLine(dialog.notes);

    // A tile's unavailable check (lParam 10) is dropped on the way up.
    dialog.notes.clear();
    page->OnBaseMessage(35, 2, 3, 10);
    EXPECT_EQ("7:35:2:3", noteLine(dialog.notes));
}

TEST_F(HomePage, WheelAndVirtualTopMoveTheBarWithinItsRange)
{
    layOut();
    const CPoint over(700, 500);
    struct Step {
        int direction;
        int position;
    };
    const Step steps[] { { 1, 100 }, { 1, 200 }, { 0, 100 }, { 0, 0 }, { 0, 0 } };
    for (const Step& step : steps) {
        EXPECT_EQ(1, page->OnScroll(1, step.direction, over));
        EXPECT_EQ(step.position, position());
    }
    EXPECT_EQ(0, page->OnScroll(1, 1, CPoint(1600, 500))) << "a point off the page";
    for (int i = 0; i < 40; ++i)
        page->OnScroll(1, 1, over);
    EXPECT_EQ(CHomeFuncCtrl::kBarRange, position());
    // A real wheel turned toward the user.
    page->SetVirtualTop(0);
    EXPECT_EQ(0, position());
    POINT screen { 700, 500 };
    ClientToScreen(dialog.GetSafeHwnd(), &screen);
    PostMessageW(dialog.GetSafeHwnd(), WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA)),
                 MAKELPARAM(screen.x, screen.y));
    EXPECT_TRUE(pumpUntil([&] { return position() == 100; }));
    // A page as tall as its content has no room to scroll.
    page->SetRect(CRect(0, 0, 1520, 2200));
    page->SetVirtualTop(50);
    EXPECT_EQ(0, position());
}

TEST_F(HomePage, ChildrenShowAtTheirContentRowLessTheOffset)
{
    // A page made once the card background exists; the file outlives the image caches.
    static const ScratchStrip cards { GetSkinPath(), L"img_button2.png", 10, 10,
                                      { 0xFF000000 | kCardColour, 0xFF000000 | kCardColour } };
    page->SetVisible(0);
    page = dialog.create<CHomeFuncCtrl>(L"CHomeFuncCtrl", kPageId + 1, kPage);
    layOut();
    struct Case {
        int position;
        int cardTop;
    };
    // Offset = (2100 − 900) × position / 2700.
    const Case cases[] { { 2700, 0 }, { 1350, 600 }, { 1800, 400 }, { 2700, 0 } };
    for (const bool striped : { false, true })
    for (const Case& c : cases) {
        SCOPED_TRACE(c.position + striped * 10000);
        page->GetScrollVertical()->SetScrollCurrentPos(c.position);
        paint(striped);
        if (striped) {
            EXPECT_TRUE(nearColor(canvas.rgb(10, 460), 0x0A5A0A, 2)) << "the backdrop shows beside the content";
        }
        EXPECT_TRUE(nearColor(canvas.rgb(285 + 40, c.cardTop + 40), kCardColour, 2));
        if (c.cardTop > 0) {
            EXPECT_FALSE(nearColor(canvas.rgb(285 + 40, c.cardTop - 3), kCardColour, 2)) << "nothing above the card";
        }
    }
    page->GetScrollVertical()->SetScrollCurrentPos(0);
    paint();
    EXPECT_FALSE(nearColor(canvas.rgb(285 + 40, 40), kCardColour, 2));
}

TEST_F(HomePage, LanguageFilesRetitleTheNineHeadingsAndButtons)
{
    layOut();
    const ScratchFile file(GetExePath() + L"language\\", L"1033.lan",
                           languageFile(L"[LAN]\r\n110=Devices\r\n111=Service\r\n112=Saved\r\n113=Maybe\r\n"
                                        L"145=Product\r\n146=Web\r\n147=Feedback\r\n138=Restore\r\n139=Reset\r\n"));
    ASSERT_TRUE(file.written());
    page->AddArchived(L"Card", L"", 3, L"");
    page->ResetLanguage(1033);
    struct Title {
        UINT id;
        const wchar_t* text;
    };
    const Title titles[] { { 32, L"Devices" }, { 38, L"Service" }, { 43, L"Saved" },   { 48, L"Maybe" },
                           { 39, L"Product" }, { 40, L"Web" },     { 41, L"Feedback" }, { 45, L"Restore" },
                           { 46, L"Reset" } };
    for (const Title& t : titles)
        EXPECT_EQ(CString(t.text), title(t.id)) << t.id;
    page->ResetLanguage(4242);
    for (const Title& t : titles)
        EXPECT_TRUE(title(t.id).IsEmpty()) << t.id;
    auto* archive = dynamic_cast<ArchivedCtrl*>(child(44));
    EXPECT_EQ(CString(L"Card"), archive->GetItemText(6)) << "cards keep their texts";
}

TEST_F(HomePage, ForwardingWithoutChildrenDoesNothing)
{
    OrderParent parent;
    CHomeFuncCtrl bare(&parent, 3, kPage, 1, 1);
    int first = -5, second = -5;
    bare.GetCurDeviceInfo(first, second);
    EXPECT_EQ(-5, first);
    EXPECT_EQ(-1, bare.GetArchivedCurItem());
    EXPECT_EQ(0, bare.GetArchivedCurProfile());
    bare.SetDeviceState(0, L"x", true, L"");
    bare.AddArchived(L"a", L"b", 1, L"c");
    bare.ClearArchived();
    bare.SetArchivedCurProfile(1);
    bare.ResetLanguage(1033);
    bare.SetVirtualTop(10);
    EXPECT_EQ(-1, bare.GetArchivedCurItem());
    // Through the page, the archive answers.
    page->SetArchivedCurProfile(1);
    EXPECT_EQ(0, page->GetArchivedCurItem());
    EXPECT_EQ(1, page->GetArchivedCurProfile());
}

TEST_F(HomePage, ScrolledPaintsKeepGdiObjectsFlat)
{
    // 300 rows high, offset 1800 × position / 2700: the archive comes into view and goes.
    page->SetRect(CRect(0, 0, 1520, 300));
    int round = 0;
    expectNoGdiGrowth(
        [&] {
            page->GetScrollVertical()->SetScrollCurrentPos((round++ % 2) ? 1900 : 2700);
            paint();
        },
        1000);
}

TEST_F(HomePage, BothFactoriesMakeTheCoolingClassesByName)
{
    const wchar_t* windowNames[] { L"MLevelCtrl", L"CDeviceCtrl", L"CHomeFuncCtrl" };
    const wchar_t* panelNames[] { L"MLevelCtrl",    L"CDeviceCtrl",   L"ArchivedCtrl",     L"LightCtrl",
                                  L"CHomeFuncCtrl", L"LightLayer",    L"DevSelectCtrl",    L"UsageRateCtrl",
                                  L"CHardwareInfoBkg", L"CHardwareInfo", L"SysInfoCtrl",   L"SysInfo2Ctrl",
                                  L"Fan2CoolMode" };
    UINT id = 500;
    for (const wchar_t* name : windowNames) {
        MControl* control = dialog.CreateControl(name, id++, CRect(0, 0, 10, 10), L"", 0, 1);
        ASSERT_NE(nullptr, control) << name;
        EXPECT_STREQ(name, control->GetClassNameW());
    }
    for (const wchar_t* name : panelNames) {
        MControl* control = page->CreateControl(name, id++, CRect(0, 0, 10, 10), L"", 0, 1);
        ASSERT_NE(nullptr, control) << name;
        EXPECT_STREQ(name, control->GetClassNameW());
    }
    EXPECT_EQ(nullptr, dialog.CreateControl(L"LightLayer", id, CRect(), L"", 0, 1)) << "a panel-only name";
}


// ---- kept looks: the page keeps its children's looks over nothing and lays the band in view
// over its ground. What it shows must be the children drawn from scratch over that ground at
// their content rows less the offset, over any ground, after scrolling, and after a child's
// look changed since it was kept. Where a child draws one translucent element over another (a
// caption on a translucent plate) the two blends may round one step apart; nowhere more.
// (Here, not in a program of its own: the skin files are the page's fixed names, shared by
// every program of this folder.)

constexpr int kBar = 5;
constexpr DWORD kGround = 0xFF202028;
constexpr int kRounding = 1;

// Skins with translucent plates and edges, so that the looks blend over the ground. The card
// and link button plates are the ones the tests above show: a file another test leaves behind
// (GDI+ may still hold it when it is deleted) must not change what they see.
struct Skins {
    ScratchStrip cards { GetSkinPath(), L"img_button2.png", 10, 10, { 0xFF000000 | kCardColour, 0xFF000000 | kCardColour } };
    ScratchStrip tiles { GetSkinPath(), L"img_dev_bkg.png", 30, 44, { 0xFF343440, 0x90603070 } };
    ScratchStrip buttons { GetSkinPath(), L"img_button.png", 20, 20, { 0xFF404050, 0x80A0A0F0, 0xFF202030, 0x40808080 } };
    ScratchPng arrow { GetSkinPath() + L"icon\\", L"icon_arrow_down.png", 23, 18, { { 0, 0, 23, 18, 0x80BD30FF },
                                                                                   { 6, 0, 11, 12, 0xFFBD30FF } } };
    ScratchPng device { GetSkinPath() + L"device\\", L"img_gpu2.png", 120, 100, { { 20, 10, 40, 80, 0xFF5AC878 },
                                                                                  { 80, 10, 40, 80, 0x705AC878 } } };
};

// What lies under the page: one colour, a picture, or one colour below and another above.
void paintGround(DibCanvas& canvas, int kind)
{
    canvas.fill(kGround);
    if (kind == 1)
        MRender::DrawGradient(canvas.dc(), CRect(kPage), 0xFF202030, 0xFF902060, true, 64);
    else if (kind == 2)
        MRender::FillSolidRect(canvas.dc(), 0, 450, 1520, 450, RGB(10, 90, 10));
}

std::unique_ptr<CHomeFuncCtrl> makePage(PaintManager& manager)
{
    auto page = std::make_unique<CHomeFuncCtrl>(nullptr, 1, CRect(), 1, 1);
    page->SetManager(&manager);
    page->SetRect(kPage);
    for (int i = 0; i < 6; ++i)
        page->SetDeviceState(i, i % 2 ? L"Fan" : L"Screen", i != 4, L"");
    return page;
}

// The children drawn anew straight over the ground moved with the content, the band in view
// copied onto the page's place.
void drawFromScratch(CHomeFuncCtrl& page, DibCanvas& canvas, int kind)
{
    const int offset = page.GetScrollOffset().y;
    DibCanvas content(kPage.Width() - kBar, CHomeFuncCtrl::kContentHeight);
    paintGround(canvas, kind);
    MRender::BitBlt(content.dc(), 0, offset, kPage.Width() - kBar, kPage.Height(), canvas.dc(), 0, 0);
    for (MControl* child : page.GetControls()) {
        if (!child || !child->IsVisible() || child == page.GetScrollVertical() || child == page.GetScrollHorizontal())
            continue;
        child->SetUpdate(0, 0);
        child->Draw(content.dc(), CRect(0, 0, content.width(), content.height()));
    }
    MRender::BitBlt(canvas.dc(), 0, 0, kPage.Width() - kBar, kPage.Height(), content.dc(), 0, offset);
}

void drawByPage(CHomeFuncCtrl& page, DibCanvas& canvas, int kind)
{
    paintGround(canvas, kind);
    page.SetUpdate(0, 0);
    page.Draw(canvas.dc(), kPage);
}

struct Case {
    const char* name;
    int ground;
    // Done between a first paint and the paint compared.
    std::function<void(CHomeFuncCtrl&)> between;
};

TEST(HomePageLooks, ThePageShowsItsChildrenAsDrawnFromScratchOverTheGround)
{
    ASSERT_TRUE(LookLayer::BlendsAlike()) << "this platform's GDI+ draws straight; the page does too";
    const Skins skins;
    const auto notch = [](int down) { return [down](CHomeFuncCtrl& page) { page.OnScroll(1, down, CPoint(700, 450)); }; };
    const Case cases[] = {
        { "a picture at the top", 1, {} },
        { "two colours, tiles and buttons in view, a notch down", 2,
          [&](CHomeFuncCtrl& page) {
              page.SetVirtualTop(577);
              notch(1)(page);
          } },
        { "a picture, the archive in view, a card selected", 1,
          [](CHomeFuncCtrl& page) {
              page.SetVirtualTop(1200);
              page.AddArchived(L"Quiet", L"Low fans", 7, L"2024");
              page.SetArchivedCurProfile(7);
          } },
        { "one colour, a tile renamed after it was kept", 0,
          [](CHomeFuncCtrl& page) { page.SetDeviceState(1, L"Renamed", true, L""); } },
        { "a picture, buttons retitled and the page scrolled back", 1,
          [&](CHomeFuncCtrl& page) {
              page.SetVirtualTop(700);
              page.ResetLanguage(9999);
              notch(0)(page);
          } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PaintManager manager;
        auto shown = makePage(manager);
        auto reference = makePage(manager);
        DibCanvas byPage(kPage.Width(), kPage.Height());
        DibCanvas fromScratch(kPage.Width(), kPage.Height());
        drawByPage(*shown, byPage, c.ground);
        if (c.between) {
            c.between(*shown);
            c.between(*reference);
        }
        drawByPage(*shown, byPage, c.ground);
        drawFromScratch(*reference, fromScratch, c.ground);
        DibCanvas ground(kPage.Width(), kPage.Height());
        paintGround(ground, c.ground);
        int differing = 0;
        int drawn = 0;
        for (int y = 0; y < kPage.Height(); ++y)
            for (int x = 0; x < kPage.Width() - kBar; ++x) {
                differing += !nearColor(byPage.rgb(x, y), fromScratch.rgb(x, y), kRounding);
                drawn += fromScratch.rgb(x, y) != ground.rgb(x, y);
            }
        EXPECT_EQ(0, differing);
        // Looks that drew nothing prove nothing.
        EXPECT_GT(drawn, 20000);
    }
}

} // namespace
