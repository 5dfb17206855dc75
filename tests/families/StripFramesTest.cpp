// Every class that draws a frame of an image strip, stretched or as a nine-grid, shows that
// frame alone: no column of the neighbouring frame at its edges, no transparent seam where a
// piece is stretched by a ratio that is not whole, no fade at its outer edge.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "KOVA.h"
#include "LibraryHost.h"
#include "NotedDialog.h"
#include "ScratchStrip.h"
#include "framework/AppPaths.h"

using namespace KOVA;
using namespace KOVA::test;

namespace {

const auto* const host = ::testing::AddGlobalTestEnvironment(new LibraryHost);

constexpr DWORD kGrey = 0x808080;
constexpr DWORD kMagenta = 0xFF00FF;

// Whether a pixel shows colour, within GDI+'s rounding.
bool shows(const DibCanvas& picture, int x, int y, DWORD colour)
{
    return nearColor(picture.rgb(x, y), colour, 4);
}

// What is wrong with region: a pixel of the neighbouring frame anywhere, or a row or column
// mostly without the frame's colour (a seam, or an edge faded toward what lies under it).
std::string frameFault(const DibCanvas& picture, const CRect& region, DWORD frame, DWORD neighbour)
{
    std::vector<int> rows(region.Height()), columns(region.Width());
    for (int y = region.top; y < region.bottom; ++y)
        for (int x = region.left; x < region.right; ++x) {
            if (shows(picture, x, y, neighbour))
                return "the neighbouring frame at (" + std::to_string(x) + ", " + std::to_string(y) + ")";
            if (shows(picture, x, y, frame)) {
                ++rows[y - region.top];
                ++columns[x - region.left];
            }
        }
    for (int i = 0; i < region.Height(); ++i)
        if (rows[i] * 2 < region.Width())
            return "row " + std::to_string(region.top + i) + " is not the frame's";
    for (int i = 0; i < region.Width(); ++i)
        if (columns[i] * 2 < region.Height())
            return "column " + std::to_string(region.left + i) + " is not the frame's";
    return "";
}

struct StripCase {
    const char* name;
    const wchar_t* className;
    CRect place;
    // Makes the control show the strip; false when it would not take it.
    std::function<bool(MControl&)> setUp;
    // Where in the dialog the frame alone must show.
    CRect region;
};

template <class T>
bool withImage(MControl& control, const wchar_t* file, int frames)
{
    auto* typed = dynamic_cast<T*>(&control);
    return typed && typed->SetImage(file, frames) == 1;
}

} // namespace

TEST(StripFrames, EveryClassShowsItsFrameAloneOutToItsEdges)
{
    // Frame 0 grey, frame 1 magenta: 24 × 24 each, so that nine-grids have room for margins.
    ScratchStrip strip(GetSkinPath(), L"strip_frames_two.png", 24, 24, { 0xFF000000 | kGrey, 0xFF000000 | kMagenta });
    ScratchStrip four(GetSkinPath(), L"strip_frames_four.png", 24, 24,
                      { 0xFF000000 | kGrey, 0xFF000000 | kMagenta, 0xFF000000 | kMagenta, 0xFF000000 | kMagenta });
    ASSERT_TRUE(strip.written() && four.written());
    const auto picture = [](enumShowMode mode, int value) {
        return [=](MControl& control) {
            auto* shown = dynamic_cast<MPicture*>(&control);
            return shown && shown->SetImage(L"strip_frames_two.png", 2) == 1 && shown->SetShowMode(mode, value) >= 0;
        };
    };
    const std::vector<StripCase> cases = {
        { "a button stretched by a ratio that is not whole", L"MButton", CRect(10, 10, 154, 40),
          [](MControl& c) { return withImage<MButton>(c, L"strip_frames_four.png", 4); }, CRect(10, 10, 154, 40) },
        { "a button at 1:1", L"MButton", CRect(10, 50, 34, 74),
          [](MControl& c) { return withImage<MButton>(c, L"strip_frames_four.png", 4); }, CRect(10, 50, 34, 74) },
        { "a picture stretched", L"MPicture", CRect(170, 10, 231, 47), picture(ShowModeStretch, 0), CRect(170, 10, 231, 47) },
        { "a picture as a nine-grid", L"MPicture", CRect(240, 10, 301, 47), picture(ShowModeNineGrid, 8),
          CRect(240, 10, 301, 47) },
        { "system-information tiles", L"SysInfo2Ctrl", CRect(0, 100, 330, 400),
          [](MControl& c) {
              auto* tiles = dynamic_cast<SysInfo2Ctrl*>(&c);
              if (!tiles || tiles->SetImage(L"strip_frames_two.png", 2) != 1)
                  return false;
              for (int type = 50; type < 54; ++type)
                  tiles->AddItem(L"", L"unused", type);
              return true;
          },
          // The second tile of the first row: 150 × 60 at (170, 10) in the list.
          CRect(170, 110, 320, 170) },
    };
    for (const StripCase& c : cases) {
        SCOPED_TRACE(c.name);
        NotedDialog dialog(CRect(300, 300, 700, 720));
        // In a panel, whose table also holds the classes of the cooling pages.
        auto* page = dialog.adopt(new MPanel(&dialog, 90, CRect(0, 0, 400, 420), 1));
        MControl* control = page->CreateControl(c.className, 7, c.place, L"", 1, 1);
        ASSERT_NE(nullptr, control);
        ASSERT_TRUE(c.setUp(*control));
        const auto shot = dialog.shot();
        // A lit tile shows the strip's second frame: then the first is the neighbour.
        const CPoint middle = c.region.CenterPoint();
        const bool lit = shows(*shot, middle.x, middle.y, kMagenta);
        EXPECT_EQ("", frameFault(*shot, c.region, lit ? kMagenta : kGrey, lit ? kGrey : kMagenta));
    }
}
