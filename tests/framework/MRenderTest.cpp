// The drawing routines: loading pictures and icons, fills, nine-grids and strips, transitions,
// text, gradients with and without msimg32, rounded shapes, geometry, saving bitmaps, and the
// image list that cuts strips into icons.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "DibCanvas.h"
#include "GdiObjectCount.h"
#include "InkScan.h"
#include "KOVA.h"
#include "LibraryHost.h"
#include "ScratchFile.h"
#include "ScratchStrip.h"
#include "framework/AppPaths.h"
#include "framework/MRender.h"
#include "framework/MRenderInternal.h"

using namespace KOVA;
using namespace KOVA::test;

namespace {

const auto* const host = ::testing::AddGlobalTestEnvironment(new LibraryHost);

constexpr DWORD kRed = 0xFFFF0000, kGreen = 0xFF00FF00, kBlue = 0xFF0000FF, kWhite = 0xFFFFFFFF, kBlack = 0xFF000000;
const wchar_t* const kFace = L"DejaVu Sans";

// An 8 × 4 PNG, red on the left half and blue on the right, as bytes.
std::vector<BYTE> redBluePng()
{
    return ScratchStrip(GetExePath(), L"kova-mrender-redblue.png", 4, 4, { kRed, kBlue }).read();
}

// The image drawn 1:1 on a canvas of its size.
std::unique_ptr<DibCanvas> painted(Gdiplus::Image& image)
{
    auto canvas = std::make_unique<DibCanvas>(image.GetWidth(), image.GetHeight());
    Gdiplus::Graphics(canvas->dc()).DrawImage(&image, 0, 0, canvas->width(), canvas->height());
    return canvas;
}

template <class Draw>
void drawOn(DibCanvas& canvas, Draw draw)
{
    Gdiplus::Graphics graphics(canvas.dc());
    draw(graphics);
}

// Committed private memory: where a leaked heap block stays.
size_t committedPrivateBytes()
{
    size_t total = 0;
    MEMORY_BASIC_INFORMATION region {};
    for (UINT_PTR at = 0; VirtualQuery(reinterpret_cast<void*>(at), &region, sizeof region) && at + region.RegionSize > at;
         at += region.RegionSize)
        total += region.State == MEM_COMMIT && region.Type == MEM_PRIVATE ? region.RegionSize : 0;
    return total;
}

} // namespace

TEST(MRenderLoad, FileGivesTheDecodedImageOrAThumbnailOrNull)
{
    ScratchFile file(GetExePath(), L"kova-mrender-load.png", redBluePng());
    ScratchFile text(GetExePath(), L"kova-mrender-text.png", { 'n', 'o', 't' });
    std::unique_ptr<Gdiplus::Image> image(MRender::LoadImageFromFile(file.path()));
    ASSERT_NE(nullptr, image);
    expectPixels(*painted(*image), { { 1, 2, 0xFF0000 }, { 6, 2, 0x0000FF } });
    std::unique_ptr<Gdiplus::Image> small(MRender::LoadImageFromFileEx(file.path(), 4, 2));
    ASSERT_NE(nullptr, small);
    EXPECT_EQ(CSize(4, 2), CSize(small->GetWidth(), small->GetHeight()));
    EXPECT_TRUE(!MRender::LoadImageFromFile(text.path()) && !MRender::LoadImageFromFileEx(file.path() + L".missing", 4, 2));
}

// A copy of this program carrying a "PNG" resource 7: a small picture followed by 4 MB that
// decoding never reads, so each copy of the bytes kept shows. The call releases its stream: the
// image must still reach the bytes, and they go with the image.
TEST(MRenderLoad, ResourceDecodesFromItsModuleAndItsBytesAreFreedWithTheImage)
{
    std::vector<BYTE> bytes = redBluePng();
    bytes.resize(bytes.size() + (4 << 20), 0x5A);
    ScratchFile copy(GetExePath(), L"kova-mrender-resources7.exe", {});
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    CopyFileW(self, copy.path(), FALSE);
    HANDLE update = BeginUpdateResourceW(copy.path(), TRUE);
    UpdateResourceW(update, L"PNG", MAKEINTRESOURCEW(7), 0, bytes.data(), bytes.size());
    EndUpdateResourceW(update, FALSE);
    HINSTANCE module = LoadLibraryExW(copy.path(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    const auto load = [&] { return std::unique_ptr<Gdiplus::Image>(MRender::LoadImageFromIDResource(7, L"PNG", module)); };
    expectPixels(*painted(*load()), { { 0, 0, 0xFF0000 }, { 7, 3, 0x0000FF } });
    const size_t before = committedPrivateBytes();
    for (int i = 0; i < 20; ++i)
        ASSERT_EQ(8u, load()->GetWidth());
    EXPECT_LT(committedPrivateBytes(), before + (20 << 20));
    EXPECT_TRUE(!MRender::LoadImageFromIDResource(8, L"PNG", module) && !MRender::LoadImageFromIDResource(7, L"GIF", module));
    FreeLibrary(module);
}

TEST(MRenderLoad, IconComesFromTheFileAndARelativeNameIsSafe)
{
    wchar_t system[MAX_PATH];
    GetSystemDirectoryW(system, MAX_PATH);
    HICON icon = MRender::LoadIconFromFile(CString(system) + L"\\notepad.exe");
    ASSERT_NE(nullptr, icon);
    DestroyIcon(icon);
    // The call writes a program's full path over the relative name it is given.
    ScratchFile document(GetExePath(), L"kova-mrender-document.txt", { 'x' });
    SetCurrentDirectoryW(GetExePath());
    if (HICON associated = MRender::LoadIconFromFile(L"kova-mrender-document.txt"))
        DestroyIcon(associated);
    HANDLE heaps[64];
    for (DWORD i = 0, count = GetProcessHeaps(64, heaps); i < count && i < 64; ++i)
        EXPECT_TRUE(HeapValidate(heaps[i], 0, nullptr)) << "heap " << i;
}

TEST(MRenderFill, SolidRectAndTranslucentColour)
{
    DibCanvas canvas(20, 20, kWhite);
    MRender::FillSolidRect(canvas.dc(), 5, 5, 10, 4, RGB(0x10, 0x20, 0x30));
    expectPixels(canvas, { { 14, 8, 0x102030 }, { 15, 8, 0xFFFFFF }, { 14, 9, 0xFFFFFF } });
    EXPECT_EQ(RGB(0x10, 0x20, 0x30), GetBkColor(canvas.dc()));
    canvas.fill(kWhite);
    MRender::DrawColor(canvas.dc(), RECT { 0, 0, 20, 20 }, 0x00FF0000);
    EXPECT_TRUE(canvas.untouchedSinceFill());
    MRender::DrawColor(canvas.dc(), RECT { 2, 2, 6, 6 }, 0x80FF0000);
    MRender::DrawColor(canvas.dc(), RECT { 0, 0, 1, 1 }, 0x01FF0000);
    expectPixels(canvas, { { 3, 3, 0xFF7F7F }, { 7, 7, 0xFFFFFF } }, 1);
    EXPECT_NE(0xFFFFFFu, canvas.rgb(0, 0)) << "alpha 1 is almost, not entirely, transparent";
}

// A 16 × 16 source of nine regions of distinct colours for a border of 4, drawn into
// (10, 10, 82, 50). Nearest-neighbour sampling gives exact piece boundaries; the middle is
// stretched 8 times (64 / 8) and 4 times (32 / 8).
TEST(MRenderNineGrid, CornersKeepTheirSizeEdgesStretchAlongAndMarginsMayDiffer)
{
    constexpr DWORD g[3][3] = { { 0x800000, 0x008000, 0x000080 }, { 0x808000, 0x008080, 0x800080 }, { 0xC00000, 0x00C000, 0x0000C0 } };
    Gdiplus::Bitmap source(16, 16);
    const auto region = [](int v) { return v < 4 ? 0 : v < 12 ? 1 : 2; };
    for (int x = 0; x < 16; ++x)
        for (int y = 0; y < 16; ++y)
            source.SetPixel(x, y, Gdiplus::Color(0xFF000000 | g[region(y)][region(x)]));
    const CRect dst(10, 10, 82, 50);
    const auto drawn = [&](auto draw) {
        auto canvas = std::make_unique<DibCanvas>(92, 60, kWhite);
        Gdiplus::Graphics graphics(canvas->dc());
        graphics.SetInterpolationMode(Gdiplus::InterpolationModeNearestNeighbor);
        graphics.SetPixelOffsetMode(Gdiplus::PixelOffsetModeHalf);
        draw(graphics);
        return canvas;
    };
    expectPixels(*drawn([&](Gdiplus::Graphics& gr) { MRender::DrawImageFrame(gr, &source, dst, 0, 0, 16, 16, 4); }),
                 { { 13, 13, g[0][0] }, { 14, 10, g[0][1] }, { 77, 13, g[0][1] }, { 78, 13, g[0][2] }, { 81, 45, g[1][2] },
                   { 78, 46, g[2][2] }, { 82, 50, 0xFFFFFF }, { 14, 14, g[1][1] }, { 77, 45, g[1][1] } });
    // A top row of 12: source rows 0..11 unstretched, leaving the middle row none.
    expectPixels(*drawn([&](Gdiplus::Graphics& gr) { MRender::DrawImageFrameMID(gr, &source, dst, 0, 0, 16, 16, 4, 12, 4, 4); }),
                 { { 10, 13, g[0][0] }, { 10, 21, g[1][0] }, { 60, 21, g[1][1] }, { 10, 30, 0xFFFFFF }, { 60, 30, 0xFFFFFF },
                   { 10, 46, g[2][0] } });
}

namespace {

constexpr DWORD kNeighbour = 0xFF00FF;
constexpr DWORD kUnder = 0x202020;

// Frame 0 of a two-frame strip: nine regions of distinct colours for a border of 4 (the
// middle ones 8 wide), beside a magenta frame that nothing of frame 0 may show.
struct NineRegionStrip {
    static constexpr DWORD colour[3][3] = { { 0x800000, 0x008000, 0x000080 },
                                            { 0x808000, 0x008080, 0x800080 },
                                            { 0xC00000, 0x00C000, 0x0000C0 } };
    static int region(int v) { return v < 4 ? 0 : v < 12 ? 1 : 2; }
    NineRegionStrip() : bitmap(32, 16, PixelFormat32bppARGB)
    {
        for (int x = 0; x < 32; ++x)
            for (int y = 0; y < 16; ++y)
                bitmap.SetPixel(x, y, Gdiplus::Color(0xFF000000 | (x < 16 ? colour[region(y)][region(x)] : kNeighbour)));
    }
    // The colour the pixel at (x, y) of a nine-grid over dst must have: its piece's.
    static DWORD expected(const CRect& dst, int x, int y)
    {
        const auto piece = [](int v, int start, int end) { return v < start + 4 ? 0 : v >= end - 4 ? 2 : 1; };
        return colour[piece(y, dst.top, dst.bottom)][piece(x, dst.left, dst.right)];
    }
    Gdiplus::Bitmap bitmap;
};

// The first pixel of the canvas inside dst that is not its piece's colour (tolerance 2, for
// GDI+'s rounding), or outside dst that is not kUnder; "" when there is none.
std::string firstStray(const DibCanvas& canvas, const CRect& dst, DWORD (*expected)(const CRect&, int, int))
{
    for (int y = 0; y < canvas.height(); ++y)
        for (int x = 0; x < canvas.width(); ++x) {
            const bool inside = dst.PtInRect(CPoint(x, y)) != FALSE;
            const DWORD want = inside ? expected(dst, x, y) : kUnder;
            if (!nearColor(canvas.rgb(x, y), want, 2))
                return "(" + std::to_string(x) + ", " + std::to_string(y) + ") is " + std::to_string(canvas.rgb(x, y))
                    + ", not " + std::to_string(want);
        }
    return "";
}

} // namespace

// Every pixel of a nine-grid comes from its own piece: no seam where a piece is stretched by a
// ratio that is not whole, no column of the neighbouring frame, no fade at the outer edge,
// whatever the size, the sampling and the pixel offset, and where the canvas cuts it off.
TEST(MRenderNineGrid, EveryPixelComesFromItsOwnPieceAtAnySizeAndSampling)
{
    NineRegionStrip strip;
    const std::vector<CRect> places = { CRect(10, 10, 154, 40), CRect(5, 7, 66, 44), CRect(3, 3, 26, 22),
                                        CRect(10, 10, 82, 50), CRect(-30, -9, 120, 33) };
    const std::vector<Gdiplus::InterpolationMode> samplings = {
        Gdiplus::InterpolationModeDefault, Gdiplus::InterpolationModeBilinear,
        Gdiplus::InterpolationModeHighQualityBicubic, Gdiplus::InterpolationModeNearestNeighbor
    };
    for (const CRect& dst : places)
        for (const auto sampling : samplings)
            for (const auto offset : { Gdiplus::PixelOffsetModeDefault, Gdiplus::PixelOffsetModeHalf }) {
                DibCanvas canvas(164, 50, 0xFF000000 | kUnder);
                drawOn(canvas, [&](Gdiplus::Graphics& graphics) {
                    graphics.SetInterpolationMode(sampling);
                    graphics.SetPixelOffsetMode(offset);
                    MRender::DrawImageFrame(graphics, &strip.bitmap, dst, 0, 0, 16, 16, 4);
                });
                EXPECT_EQ("", firstStray(canvas, dst, &NineRegionStrip::expected))
                    << "into " << dst.Width() << " x " << dst.Height() << " at " << dst.left << ", sampling " << sampling
                    << ", offset " << offset;
            }
}

// A stretched part of a strip, drawn or kept, shows its own pixels out to every edge and
// nothing of its neighbour; unscaled it is a plain copy.
TEST(MRenderNineGrid, AStretchedPartShowsOnlyItsOwnPixels)
{
    NineRegionStrip strip;
    const auto middle = [](const CRect&, int, int) { return NineRegionStrip::colour[1][1]; };
    const auto rightEdge = [](const CRect&, int, int) { return NineRegionStrip::colour[1][2]; };
    struct Case {
        const char* name;
        CRect dst;
        int srcX, srcY, srcWidth, srcHeight;
        DWORD (*expected)(const CRect&, int, int);
        bool kept;
    };
    const std::vector<Case> cases = {
        // The middle region of frame 0 (4..12 both ways): one colour.
        { "stretched by a ratio that is not whole", CRect(3, 4, 150, 45), 4, 4, 8, 8, middle, false },
        { "shrunk", CRect(3, 4, 8, 7), 4, 4, 8, 8, middle, false },
        { "unscaled", CRect(20, 20, 28, 28), 4, 4, 8, 8, middle, false },
        { "kept as a bitmap", CRect(0, 0, 147, 41), 4, 4, 8, 8, middle, true },
        // Frame 0's last column, whose neighbour to the right is magenta.
        { "the frame's last column", CRect(10, 10, 30, 40), 15, 4, 1, 8, rightEdge, false },
        { "the frame's last column kept", CRect(10, 10, 30, 40), 15, 4, 1, 8, rightEdge, true },
    };
    for (const Case& c : cases) {
        DibCanvas canvas(164, 50, 0xFF000000 | kUnder);
        drawOn(canvas, [&](Gdiplus::Graphics& graphics) {
            if (!c.kept) {
                MRender::DrawImagePart(graphics, &strip.bitmap, c.dst, c.srcX, c.srcY, c.srcWidth, c.srcHeight);
                return;
            }
            std::unique_ptr<Gdiplus::Bitmap> look(MRender::StretchImagePart(
                &strip.bitmap, c.srcX, c.srcY, c.srcWidth, c.srcHeight, c.dst.Width(), c.dst.Height()));
            ASSERT_TRUE(look);
            graphics.DrawImage(look.get(), c.dst.left, c.dst.top, c.dst.Width(), c.dst.Height());
        });
        EXPECT_EQ("", firstStray(canvas, c.dst, c.expected)) << c.name;
    }
    // Margins wider than the frame: the pieces that would reach outside it are left out, and
    // the corners still show frame 0 only.
    DibCanvas narrow(40, 40, 0xFF000000 | kUnder);
    drawOn(narrow, [&](Gdiplus::Graphics& graphics) {
        MRender::DrawImageFrameMID(graphics, &strip.bitmap, CRect(0, 0, 30, 30), 0, 0, 16, 16, 10, 10, 20, 4);
    });
    expectPixels(narrow, { { 0, 0, NineRegionStrip::colour[0][0] }, { 35, 35, kUnder } });
    // A part reaching outside the image, an empty one or none gives no kept bitmap.
    EXPECT_EQ(nullptr, MRender::StretchImagePart(&strip.bitmap, 20, 0, 16, 16, 10, 10));
    EXPECT_EQ(nullptr, MRender::StretchImagePart(&strip.bitmap, 0, 0, 0, 16, 10, 10));
    EXPECT_EQ(nullptr, MRender::StretchImagePart(nullptr, 0, 0, 16, 16, 10, 10));
}

TEST(MRenderNineGrid, StripFrameIsSelectedAndAMissingFrameDrawsNothing)
{
    DibCanvas canvas(92, 60, kWhite);
    const CRect dst(10, 10, 82, 50);
    ScratchStrip file(GetExePath(), L"kova-mrender-strip.png", 16, 16, { kRed, kGreen, kBlue });
    Gdiplus::Bitmap strip(file.path());
    drawOn(canvas, [&](Gdiplus::Graphics& graphics) {
        // Frame 0 of none, frame 3 or -1 of three, and no image.
        EXPECT_EQ(0, MRender::DrawImageStripFrame(graphics, &strip, dst, 0, 0, 4) + MRender::DrawImageStripFrame(graphics, &strip, dst, 3, 3, 4)
                         + MRender::DrawImageStripFrame(graphics, &strip, dst, -1, 3, 4) + MRender::DrawImageStripFrame(graphics, nullptr, dst, 0, 1, 4));
    });
    EXPECT_TRUE(canvas.untouchedSinceFill());
    drawOn(canvas, [&](Gdiplus::Graphics& graphics) { EXPECT_EQ(1, MRender::DrawImageStripFrame(graphics, &strip, dst, 1, 3, 4)); });
    expectPixels(canvas, { { 10, 10, 0x00FF00 }, { 81, 49, 0x00FF00 }, { 82, 30, 0xFFFFFF } });
}

// White faded over black: a pixel's grey level is the alpha it was blended with.
TEST(MRenderTransition, FadesStepRowByRowColumnByColumnOrInAQuarterCircle)
{
    const CRect rect(0, 0, 4, 10);
    const int fadingOut[] = { 255, 229, 204, 178, 153, 127, 102, 76, 51, 25 };
    for (const bool out : { true, false }) {
        DibCanvas dst(4, 10, kBlack), src(4, 10, kWhite);
        EXPECT_EQ(out ? 25 : 229, MRender::DrawVerticalTransition(dst.dc(), src.dc(), rect, rect, out ? 0 : 100, out ? 100 : 0));
        for (int row = 0; row < 10; ++row)
            EXPECT_NEAR(out ? fadingOut[row] : 255 - fadingOut[row], channel(dst.rgb(2, row), 8), 1) << "row " << row;
    }
    DibCanvas empty(4, 4, kBlack), white(4, 4, kWhite);
    EXPECT_EQ(255, MRender::DrawVerticalTransition(empty.dc(), white.dc(), CRect(0, 2, 4, 2), rect, 0, 50));
    EXPECT_TRUE(empty.untouchedSinceFill());

    DibCanvas across(14, 4, kBlack), half(20, 4, kBlack);
    MRender::FillSolidRect(half.dc(), 10, 0, 10, 4, RGB(255, 255, 255));
    EXPECT_EQ(25, MRender::DrawHorizontalTransition(across.dc(), half.dc(), CRect(4, 0, 14, 4), CRect(10, 0, 20, 4), 0, 100));
    expectPixels(across, { { 3, 1, 0 }, { 4, 1, 0xFFFFFF }, { 9, 1, 0x7F7F7F }, { 13, 1, 0x191919 } }, 1);

    DibCanvas corner(30, 30, kBlack), source(30, 30, kWhite);
    MRender::DrawRightBottomTransition(corner.dc(), source.dc(), CRect(5, 5, 25, 25), 0, 0);
    EXPECT_TRUE(corner.untouchedSinceFill());
    MRender::DrawRightBottomTransition(corner.dc(), source.dc(), CRect(5, 5, 25, 25), 10, 0);
    expectPixels(corner, { { 10, 10, 0xFFFFFF }, { 15, 10, 0x7F7F7F }, { 19, 10, 0x191919 }, { 19, 19, 0 }, { 9, 9, 0 }, { 20, 20, 0 } }, 1);
}

// The height is the font's, padded (by 1 when whole); the width that of the ink.
TEST(MRenderText, BoundsAreTheFontHeightPaddedAndAsWideAsTheInk)
{
    const auto padded = [](float height, float padding) { return static_cast<int>(height + (height != std::trunc(height) ? padding : 1)); };
    Gdiplus::StringFormat singleLine;
    singleLine.SetFormatFlags(Gdiplus::StringFormatFlagsNoWrap | Gdiplus::StringFormatFlagsMeasureTrailingSpaces);
    for (const float size : { 16.0f, 17.5f, 20.0f }) {
        const Gdiplus::Font font(kFace, size, Gdiplus::FontStyleRegular, Gdiplus::UnitPixel);
        const Gdiplus::Size bounds = MRender::GetTextBounds(font, L"Ag");
        EXPECT_EQ(padded(font.GetHeight(0.0f), 4), bounds.Height) << size;
        EXPECT_EQ(MRender::GetTextBounds(font, singleLine, L"Ag").Width, bounds.Width) << "the default format is a single line";
        // One line in a layout width (Wine lays out no more of a path string).
        EXPECT_EQ(padded(font.GetHeight(0.0f), 2) + 1, MRender::GetTextBounds(font, singleLine, 500, L"Ag").Height);
    }
    const Gdiplus::Size bounds = MRender::GetTextBounds(Gdiplus::Font(kFace, 24, Gdiplus::FontStyleRegular, Gdiplus::UnitPixel), L"Hello");
    DibCanvas canvas(200, 60, kWhite);
    drawOn(canvas, [](Gdiplus::Graphics& graphics) {
        Gdiplus::GraphicsPath path;
        const Gdiplus::FontFamily family(kFace);
        const Gdiplus::StringFormat format;
        path.AddString(L"Hello", -1, &family, Gdiplus::FontStyleRegular, 24, Gdiplus::PointF(0, 0), &format);
        const Gdiplus::SolidBrush black { Gdiplus::Color(kBlack) };
        graphics.FillPath(&black, &path);
    });
    const int inkWidth = scanInk(canvas, CRect(0, 0, 200, 60), 0xFFFFFF, 0).bounds.Width() + 1;
    EXPECT_TRUE(inkWidth >= bounds.Width - 2 && inkWidth <= bounds.Width + 1) << inkWidth << " " << bounds.Width;
}

// Red glyphs only, no background box, nothing outside the rectangle; the DC's font, text
// colour are restored and it is left transparent.
TEST(MRenderText, DrawTextPaintsTransparentlyInsideAndRestoresTheDc)
{
    DibCanvas canvas(120, 50, kWhite);
    HFONT font = CreateFontW(-30, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                             NONANTIALIASED_QUALITY, DEFAULT_PITCH, kFace);
    HGDIOBJ stockFont = GetCurrentObject(canvas.dc(), OBJ_FONT);
    SetTextColor(canvas.dc(), RGB(1, 2, 3));
    SetBkMode(canvas.dc(), OPAQUE);
    CRect rect(10, 5, 110, 45);
    MRender::DrawTextW(canvas.dc(), rect, nullptr, RGB(255, 0, 0), font, 0);
    EXPECT_TRUE(canvas.untouchedSinceFill());
    MRender::DrawTextW(canvas.dc(), rect, L"HH", RGB(255, 0, 0), font, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    const Ink all = scanInk(canvas, CRect(0, 0, 120, 50), 0xFFFFFF, 0xFF0000, 0);
    EXPECT_GT(all.matching, 50);
    EXPECT_EQ((std::vector<int> { all.pixels, all.pixels }), (std::vector<int> { all.matching, scanInk(canvas, rect, 0xFFFFFF, 0xFF0000, 0).pixels }));
    EXPECT_TRUE(stockFont == GetCurrentObject(canvas.dc(), OBJ_FONT) && GetTextColor(canvas.dc()) == RGB(1, 2, 3)
                && GetBkMode(canvas.dc()) == TRANSPARENT);
    DeleteObject(font);
}

namespace {

constexpr DWORD kTextGround = 0xFF204060;

HFONT makeFont(int height, int weight, DWORD quality)
{
    return CreateFontW(height, 0, 0, 0, weight, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                       quality, DEFAULT_PITCH, kFace);
}

// What the system's DrawTextW draws, as MRender::DrawTextW sets the DC up for it.
void systemDrawText(DibCanvas& canvas, CRect rect, const wchar_t* text, HFONT font, UINT format)
{
    SetBkMode(canvas.dc(), TRANSPARENT);
    SetTextColor(canvas.dc(), RGB(255, 240, 0));
    const HGDIOBJ previous = SelectObject(canvas.dc(), font);
    ::DrawTextW(canvas.dc(), text, -1, &rect, format);
    SelectObject(canvas.dc(), previous);
}

// MRender's caption on a fresh canvas, pixel for pixel the system's; true when the system drew
// something at all.
bool expectSystemsCaption(CRect rect, const wchar_t* text, HFONT font, UINT format)
{
    DibCanvas expected(120, 60, kTextGround), drawn(120, 60, kTextGround);
    systemDrawText(expected, rect, text, font, format);
    MRender::DrawTextW(drawn.dc(), rect, text, RGB(255, 240, 0), font, format);
    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 120; ++x)
            if (drawn.rgb(x, y) != expected.rgb(x, y)) {
                ADD_FAILURE() << std::wstring(text).size() << " characters, format " << std::hex << format << ", differs at "
                              << std::dec << x << ", " << y;
                return true;
            }
    return !expected.untouchedSinceFill();
}

} // namespace

// Captions placed from a kept measure must land exactly where DrawText puts them: odd and even
// sizes, every alignment, clipped or not, off the canvas's origin, and anything DrawText does
// on its own (prefixes, several lines, long texts) handed to it. Each case is drawn twice: the
// second from the kept measure, the second font a sharp bold one.
TEST(MRenderText, CaptionsGetTheSystemsPixelsFirstAndFromTheKeptMeasure)
{
    struct Case {
        const wchar_t* text;
        CRect rect;
        UINT format;
    };
    constexpr UINT kCentred = DT_CENTER | DT_VCENTER | DT_SINGLELINE;
    const Case cases[] = {
        { L"B110", CRect(4, 4, 60, 56), kCentred },
        { L"Wg", CRect(3, 5, 40, 28), kCentred },
        { L"Wg", CRect(3, 5, 41, 29), kCentred },
        { L"Right", CRect(10, 10, 90, 40), DT_RIGHT | DT_BOTTOM | DT_SINGLELINE },
        { L"Top left", CRect(5, 5, 95, 45), DT_SINGLELINE },
        { L"Not centred", CRect(5, 5, 95, 45), DT_CENTER | DT_VCENTER },
        { L"Wider than its cell", CRect(30, 20, 70, 40), kCentred },
        { L"Wider than its cell", CRect(30, 20, 70, 40), kCentred | DT_NOCLIP },
        { L"Cut", CRect(-15, -6, 30, 20), kCentred },
        { L"A&B", CRect(5, 5, 95, 45), kCentred },
        { L"A&B", CRect(5, 5, 95, 45), kCentred | DT_NOPREFIX },
        { L"two\nlines", CRect(5, 5, 95, 55), DT_CENTER },
        { L"one\nline", CRect(5, 5, 95, 55), kCentred | DT_WORDBREAK },
        { L"More characters than a kept measure holds", CRect(0, 20, 120, 40), DT_SINGLELINE },
    };
    const HFONT fonts[] = { makeFont(-13, FW_NORMAL, DEFAULT_QUALITY), makeFont(-17, FW_BOLD, NONANTIALIASED_QUALITY) };
    for (HFONT font : fonts)
        for (const Case& c : cases) {
            EXPECT_TRUE(expectSystemsCaption(c.rect, c.text, font, c.format));
            EXPECT_TRUE(expectSystemsCaption(c.rect, c.text, font, c.format));
        }
    DibCanvas untouched(20, 20, kTextGround);
    CRect rect(0, 0, 20, 20);
    MRender::DrawTextW(untouched.dc(), rect, L"", RGB(255, 240, 0), fonts[0], kCentred);
    EXPECT_TRUE(untouched.untouchedSinceFill());
    for (HFONT font : fonts)
        DeleteObject(font);
}

// A kept measure belongs to its text and its font: the same caption in a new font, a new text
// in the same font, and a new font that got a deleted font's very handle back (a handle slot
// comes back with the same value after 254 generations) are each measured anew.
TEST(MRenderText, KeptMeasureFollowsTheTextAndTheFont)
{
    const CRect cell(0, 0, 120, 60);
    constexpr UINT kCentred = DT_CENTER | DT_VCENTER | DT_SINGLELINE;
    HFONT small = makeFont(-12, FW_NORMAL, DEFAULT_QUALITY);
    HFONT large = makeFont(-26, FW_NORMAL, DEFAULT_QUALITY);
    EXPECT_TRUE(expectSystemsCaption(cell, L"Mm", small, kCentred));
    EXPECT_TRUE(expectSystemsCaption(cell, L"Mm", large, kCentred));
    EXPECT_TRUE(expectSystemsCaption(cell, L"MmMm", small, kCentred));
    DeleteObject(small);
    HFONT reused = nullptr;
    for (int i = 0; i < 1000 && !reused; ++i) {
        HFONT next = makeFont(-30, FW_NORMAL, DEFAULT_QUALITY);
        if (next == small)
            reused = next;
        else
            DeleteObject(next);
    }
    ASSERT_NE(nullptr, reused);
    EXPECT_TRUE(expectSystemsCaption(cell, L"Mm", reused, kCentred));
    DeleteObject(reused);
    DeleteObject(large);
}

// Inside a run the routines leave their font, pen and brush selected for the next call; the
// run's end, or a routine outside any run, selects back what the DC held. A run belongs to its
// DC only.
TEST(MRenderRun, SelectionsStayForTheRunOnItsDcOnly)
{
    DibCanvas canvas(40, 20), other(40, 20);
    HDC dc = canvas.dc();
    const HGDIOBJ font = GetCurrentObject(dc, OBJ_FONT), pen = GetCurrentObject(dc, OBJ_PEN), brush = GetCurrentObject(dc, OBJ_BRUSH);
    HFONT caption = makeFont(-12, FW_NORMAL, DEFAULT_QUALITY);
    CRect rect(0, 0, 40, 20);
    auto drawBoth = [&](HDC& target) {
        MRender::FillFramedRect(target, rect, RGB(1, 2, 3), RGB(4, 5, 6));
        MRender::DrawTextW(target, rect, L"Run", RGB(255, 255, 255), caption, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    };
    {
        MRender::SelectionRun run(dc);
        EXPECT_EQ(&run, MRender::SelectionRun::On(dc));
        EXPECT_EQ(nullptr, MRender::SelectionRun::On(other.dc()));
        drawBoth(dc);
        EXPECT_EQ((std::vector<HGDIOBJ> { caption, GetStockObject(DC_PEN), GetStockObject(DC_BRUSH) }),
                  (std::vector<HGDIOBJ> { GetCurrentObject(dc, OBJ_FONT), GetCurrentObject(dc, OBJ_PEN), GetCurrentObject(dc, OBJ_BRUSH) }));
        const HGDIOBJ otherFont = GetCurrentObject(other.dc(), OBJ_FONT);
        drawBoth(other.dc());
        EXPECT_EQ(otherFont, GetCurrentObject(other.dc(), OBJ_FONT));
    }
    EXPECT_EQ(nullptr, MRender::SelectionRun::On(dc));
    EXPECT_EQ((std::vector<HGDIOBJ> { font, pen, brush }),
              (std::vector<HGDIOBJ> { GetCurrentObject(dc, OBJ_FONT), GetCurrentObject(dc, OBJ_PEN), GetCurrentObject(dc, OBJ_BRUSH) }));
    drawBoth(dc);
    EXPECT_EQ((std::vector<HGDIOBJ> { font, pen, brush }),
              (std::vector<HGDIOBJ> { GetCurrentObject(dc, OBJ_FONT), GetCurrentObject(dc, OBJ_PEN), GetCurrentObject(dc, OBJ_BRUSH) }));
    DeleteObject(caption);
}

// The framed fill is the frame colour's fill with the fill colour's one pixel inside it, also
// for cells too small to have an inside and on DCs where one Rectangle would draw otherwise (a
// raster operation, scaled units, inclusive rectangles); the DC's colours are left as they were.
TEST(MRenderFill, FramedRectIsTheTwoFillsItStandsFor)
{
    enum class Setup { Plain, XorPen, Scaled, Advanced };
    const CRect rects[] = { CRect(3, 2, 30, 17), CRect(5, 5, 7, 15), CRect(9, 9, 10, 10), CRect(4, 4, 4, 12) };
    for (Setup setup : { Setup::Plain, Setup::XorPen, Setup::Scaled, Setup::Advanced })
        for (const CRect& rect : rects) {
            DibCanvas expected(40, 40, kTextGround), drawn(40, 40, kTextGround);
            for (DibCanvas* canvas : { &expected, &drawn }) {
                HDC dc = canvas->dc();
                if (setup == Setup::XorPen)
                    SetROP2(dc, R2_XORPEN);
                if (setup == Setup::Scaled) {
                    SetMapMode(dc, MM_ANISOTROPIC);
                    SetWindowExtEx(dc, 1, 1, nullptr);
                    SetViewportExtEx(dc, 2, 1, nullptr);
                }
                if (setup == Setup::Advanced)
                    SetGraphicsMode(dc, GM_ADVANCED);
                SetDCPenColor(dc, RGB(7, 8, 9));
                SetDCBrushColor(dc, RGB(10, 11, 12));
            }
            const CRect inside(rect.left + 1, rect.top + 1, rect.right - 1, rect.bottom - 1);
            if (!rect.IsRectEmpty()) {
                MRender::FillSolidRect(expected.dc(), &rect, RGB(0xA0, 0xC4, 0xE8));
                if (!inside.IsRectEmpty())
                    MRender::FillSolidRect(expected.dc(), &inside, RGB(0x3A, 0x6E, 0xA5));
            }
            MRender::FillFramedRect(drawn.dc(), rect, RGB(0x3A, 0x6E, 0xA5), RGB(0xA0, 0xC4, 0xE8));
            for (int y = 0; y < 40; ++y)
                for (int x = 0; x < 40; ++x)
                    ASSERT_EQ(expected.rgb(x, y), drawn.rgb(x, y)) << static_cast<int>(setup) << " rect " << rect.left << "," << rect.top
                                                                    << " at " << x << ", " << y;
            EXPECT_EQ(RGB(7, 8, 9), GetDCPenColor(drawn.dc()));
            EXPECT_EQ(RGB(10, 11, 12), GetDCBrushColor(drawn.dc()));
        }
}

namespace {

// msimg32's entry points as DrawGradient would find them, or missing.
detail::GradientFunctions msimg(bool gradientFill, bool alphaBlend)
{
    return { gradientFill ? GradientFill : nullptr, alphaBlend ? AlphaBlend : nullptr };
}

} // namespace

// With msimg32 or, without its GradientFill, in strips (strip 0 at the far end in the second
// colour; 100 steps give 64 strips, one a column, under 4 steps 2): from the first colour at
// the start to the second at the end, and nothing outside the rectangle.
TEST(MRenderGradient, RunsFromTheFirstColourToTheSecondInsideTheRectangle)
{
    struct Case { bool strips; int width, height; RECT rect; DWORD from, to; bool vertical; int steps; std::vector<PixelAt> expected; };
    const Case cases[] = {
        { false, 100, 10, { 0, 0, 100, 10 }, kRed, kBlue, false, 64, { { 0, 5, 0xFF0000 }, { 99, 5, 0x0000FF }, { 50, 0, 0x800080 }, { 50, 9, 0x800080 } } },
        { false, 10, 120, { 2, 10, 8, 110 }, kWhite, kRed, true, 64,
          { { 5, 10, 0xFFFFFF }, { 5, 109, 0xFF0000 }, { 5, 9, 0 }, { 5, 110, 0 }, { 1, 50, 0 }, { 8, 50, 0 } } },
        { true, 40, 4, { 0, 0, 40, 4 }, kBlue, kRed, false, 4,
          { { 39, 1, 0xFF0000 }, { 30, 1, 0xFF0000 }, { 29, 1, 0xBF003F }, { 15, 1, 0x7F007F }, { 0, 1, 0x3F00BF } } },
        { true, 4, 80, { 0, 0, 4, 80 }, kWhite, kBlack, true, 5, { { 1, 79, 0 }, { 1, 59, 0x3F3F3F }, { 1, 0, 0xBFBFBF } } },
        { true, 64, 4, { 0, 0, 64, 4 }, kBlack, kWhite, false, 100, { { 62, 1, 0xFBFBFB }, { 0, 1, 0x030303 } } },
        { true, 64, 4, { 0, 0, 64, 4 }, kBlack, kWhite, false, 0, { { 32, 1, 0xFFFFFF }, { 31, 1, 0x7F7F7F } } },
    };
    for (const Case& c : cases) {
        DibCanvas canvas(c.width, c.height, kBlack);
        detail::DrawGradientWith(msimg(!c.strips, true), canvas.dc(), c.rect, c.from, c.to, c.vertical, c.steps);
        expectPixels(canvas, c.expected, c.strips ? 0 : 4);
    }
}

// Without msimg32's GradientFill the gradient is drawn in strips, without its AlphaBlend it is
// blended in software: every way gives the mean alpha of both ends, and no GDI object is left.
// The software blend matches AlphaBlend's, weighs by the source pixel's alpha, stretches, and
// leaves alpha 0.
TEST(MRenderGradient, AlphaIsTheMeanOfBothEndsHoweverItIsDrawn)
{
    DibCanvas canvas(40, 10, kBlack);
    expectNoGdiGrowth([&] {
        canvas.fill(kBlack);
        MRender::DrawGradient(canvas.dc(), RECT { 0, 0, 40, 10 }, 0x00FF0000, 0x000000FF, false, 8);
        MRender::DrawGradient(canvas.dc(), RECT { 0, 0, 40, 10 }, 0x01FFFFFF, 0x00FFFFFF, false, 8);
        EXPECT_TRUE(canvas.untouchedSinceFill());
        for (const bool gradientFill : { true, false })
            for (const bool alphaBlend : { true, false }) {
                canvas.fill(kBlack);
                detail::DrawGradientWith(msimg(gradientFill, alphaBlend), canvas.dc(), RECT { 0, 0, 40, 10 }, kWhite, 0x00FFFFFF, false, 8);
                SCOPED_TRACE(testing::Message() << "GradientFill " << gradientFill << ", AlphaBlend " << alphaBlend);
                expectPixels(canvas, { { 0, 5, 0x7F7F7F }, { 20, 5, 0x7F7F7F }, { 39, 5, 0x7F7F7F } }, 1);
            }
        // Too large for its bitmap: nothing drawn, nothing left behind.
        MRender::DrawGradient(canvas.dc(), RECT { 0, 0, 200000, 200000 }, kWhite, 0x00FFFFFF, false, 8);
        EXPECT_FALSE(detail::SoftwareAlphaBlend(canvas.dc(), 0, 0, 200000, 200000, canvas.dc(), 0, 0, 4, 4, { AC_SRC_OVER, 0, 255, AC_SRC_ALPHA }));
    }, 1);
    DibCanvas withMsimg(40, 4, 0xFF204080), inSoftware(40, 4, 0xFF204080);
    for (auto* drawn : { &withMsimg, &inSoftware })
        detail::DrawGradientWith(msimg(true, drawn == &withMsimg), drawn->dc(), RECT { 0, 0, 40, 4 }, 0xC0FF0000, 0x8000FF00, false, 8);
    EXPECT_NE(0x204080u, inSoftware.rgb(20, 1));
    for (const int x : { 0, 13, 26, 39 })
        EXPECT_TRUE(nearColor(withMsimg.rgb(x, 1), inSoftware.rgb(x, 1), 2)) << x;
    DibCanvas dst(4, 4, kBlack), src(2, 2, 0x80FFFFFF);
    EXPECT_TRUE(detail::SoftwareAlphaBlend(dst.dc(), 0, 0, 4, 4, src.dc(), 0, 0, 2, 2, { AC_SRC_OVER, 0, 255, AC_SRC_ALPHA }));
    EXPECT_EQ(0x00808080u, dst.pixel(3, 3));
}

TEST(MRenderShape, RoundedFillAndOutlineLeaveTheCornersOut)
{
    DibCanvas filled(100, 80, kWhite), outlined(100, 80, kWhite), wide(220, 60, kWhite);
    drawOn(filled, [](Gdiplus::Graphics& g) { MRender::DrawRoundRectange(g, 10, 10, 80, 60, 15, Gdiplus::Color(kRed)); });
    expectPixels(filled, { { 50, 11, 0xFF0000 }, { 11, 40, 0xFF0000 }, { 16, 16, 0xFF0000 }, { 11, 11, 0xFFFFFF }, { 88, 68, 0xFFFFFF } });
    drawOn(outlined, [](Gdiplus::Graphics& g) { MRender::DrawRoundRectange(g, 10, 10, 80, 60, 4, Gdiplus::Color(kBlue), 3, false, Gdiplus::Color(kRed)); });
    expectPixels(outlined, { { 50, 10, 0x0000FF }, { 10, 40, 0x0000FF }, { 50, 40, 0xFFFFFF }, { 11, 11, 0xFFFFFF } });
    // 200 × 40 with divisor 2: radii 50 and 10 are more than 10 apart and both become 10.
    drawOn(wide, [](Gdiplus::Graphics& g) { MRender::DrawRoundRectange(g, 10, 10, 200, 40, 2, Gdiplus::Color(kRed), 1, true, Gdiplus::Color(kRed)); });
    EXPECT_EQ(0xFF0000u, wide.rgb(22, 12)) << "inside a round corner of 10, outside a 50 × 10 oval one";
}

// Rotation turns clockwise on the screen about the centre. A larger image is fitted and
// centred, a smaller one keeps its size; an empty image or area divides by nothing.
TEST(MRenderGeometry, RotatePointAndImageRect)
{
    Gdiplus::PointF point(20, 10);
    MRender::RotatePoint(point, 90, Gdiplus::PointF(10, 10));
    EXPECT_TRUE(point.Equals(Gdiplus::PointF(10, 20)));
    struct Case { int width, height; CRect area, expected; };
    for (const Case& c : std::initializer_list<Case> { { 800, 600, { 0, 0, 400, 400 }, { 0, 50, 400, 350 } },
                                                       { 600, 601, { 0, 0, 400, 400 }, { 0, 0, 399, 400 } }, // 399.3 truncated
                                                       { 200, 100, { 0, 0, 400, 400 }, { 100, 150, 300, 250 } },
                                                       { 480, 854, { 0, 0, 480, 480 }, { 105, 0, 374, 480 } }, // one side equal
                                                       { 0, 200, { 0, 0, 100, 100 }, { 50, -50, 50, 150 } },
                                                       { 300, 20, { 0, 0, 100, 0 }, { 50, 0, 50, 0 } } })
        EXPECT_EQ(c.expected, MRender::GetImageRect(c.width, c.height, c.area)) << c.width << " x " << c.height;
}

namespace {

// 5 × 3, so that 24-bit rows carry padding; pixel i in memory is 0x101010 × i + 0xF00.
HBITMAP testPicture()
{
    BYTE* bits = nullptr;
    HBITMAP bitmap = MRender::CreateARGB32Bitmap(nullptr, 5, 3, &bits);
    for (DWORD i = 0; i < 15; ++i)
        reinterpret_cast<DWORD*>(bits)[i] = 0x101010 * i + 0xF00;
    return bitmap;
}

} // namespace

TEST(MRenderSave, RoundTripKeepsThePixelsAndClosesTheFile)
{
    HBITMAP bitmap = testPicture();
    ScratchFile file(GetExePath(), L"kova-mrender-saved.bmp", {});
    ASSERT_TRUE(MRender::SaveBitmapToFile(bitmap, file.path()));
    DeleteObject(bitmap);
    ASSERT_EQ(54u + 3 * 16, file.read().size());
    {
        Gdiplus::Bitmap loaded(file.path());
        Gdiplus::Color bottomLeft, topRight;
        loaded.GetPixel(0, 2, &bottomLeft);
        loaded.GetPixel(4, 0, &topRight);
        EXPECT_EQ(std::make_pair(0xFF000F00u, 0xFFE0EFE0u), std::make_pair(UINT(bottomLeft.GetValue()), UINT(topRight.GetValue())));
    }
    EXPECT_TRUE(DeleteFileW(file.path())) << "only once the routine's own handle is closed";
}

TEST(MRenderSave, UnwritablePathInvalidBitmapOrAShortWriteFailsWithoutLeaking)
{
    HBITMAP bitmap = testPicture();
    const CString path = GetExePath() + L"kova-mrender-invalid.bmp";
    expectNoGdiGrowth([&] {
        EXPECT_FALSE(MRender::SaveBitmapToFile(bitmap, path + L"\\no-such-dir\\saved.bmp") || MRender::SaveBitmapToFile(nullptr, path));
    }, 1);
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(path));
    // A pipe whose reader takes the 14-byte file header and hangs up.
    const std::wstring name = L"\\\\.\\pipe\\kova-mrender-" + std::to_wstring(GetCurrentProcessId());
    HANDLE server = CreateNamedPipeW(name.c_str(), PIPE_ACCESS_INBOUND, PIPE_TYPE_BYTE | PIPE_WAIT, 1, 16, 16, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, server);
    char received[14] {};
    DWORD count = 0;
    std::thread reader([&] {
        ConnectNamedPipe(server, nullptr);
        ReadFile(server, received, sizeof received, &count, nullptr);
        CloseHandle(server);
    });
    EXPECT_FALSE(MRender::SaveBitmapToFile(bitmap, name.c_str()));
    reader.join();
    DeleteObject(bitmap);
    EXPECT_EQ(std::make_pair(14ul, 'B'), std::make_pair(count, received[0]));
}

namespace {

const DWORD kRedRgb = 0xFF0000, kGreenRgb = 0x00FF00, kBlueRgb = 0x0000FF;

class ImageList : public ::testing::Test {
protected:
    CString missing() const { return GetExePath() + L"mimagelist_missing.png"; }

    // The colour the record at index leaves in the middle of a 32 × 32 icon.
    DWORD drawn(int index, int frame)
    {
        DibCanvas canvas(32, 32);
        Gdiplus::Graphics graphics(canvas.dc());
        list.DrawItemIcon(graphics, CRect(0, 0, 32, 32), index, frame);
        return canvas.rgb(16, 16);
    }

    // Declared first so that the list releases its images before the file goes.
    ScratchStrip strip { GetExePath(), L"mimagelist_strip.png", 32, 32, { 0xFF000000 | kRedRgb, 0xFF000000 | kGreenRgb, 0xFF000000 | kBlueRgb } };
    MImageList list;
};

} // namespace

TEST_F(ImageList, StripIsCutIntoEqualFramesDrawnClampedAndARefusedCountAddsNothing)
{
    ASSERT_TRUE(strip.written());
    EXPECT_EQ((std::vector<int> { -1, -1, 0, 1 }), (std::vector<int> { list.AddImage(strip.path(), 5, 0), list.InsertImage(-1, strip.path(), 5, -2),
                                                                       list.AddImage(strip.path(), 5, 3), list.AddImage(strip.path(), 6, 1) }));
    EXPECT_EQ((std::vector<int> { 32, 32, 3, 96 }),
              (std::vector<int> { list.GetItemImageData(0)->m_nWidth, list.GetItemImageData(0)->m_nHeight,
                                  list.GetItemImageData(0)->m_nFrameCount, list.GetItemImageData(1)->m_nWidth }));
    EXPECT_EQ((std::vector<DWORD> { kGreenRgb, kBlueRgb, kRedRgb }), (std::vector<DWORD> { drawn(0, 1), drawn(0, 7), drawn(0, -4) }));
    // Without a frame: the first, stretched into the whole rectangle and nowhere else.
    DibCanvas canvas(100, 60);
    Gdiplus::Graphics graphics(canvas.dc());
    list.DrawItemIcon(graphics, CRect(20, 10, 84, 50), 0);
    expectPixels(canvas, { { 22, 12, kRedRgb }, { 81, 47, kRedRgb }, { 90, 30, 0 } });
}

TEST_F(ImageList, RecordsAreFoundByPositionAndIdAndInsertTakesOnlyExistingPositions)
{
    EXPECT_EQ(-1, list.InsertImage(0, missing(), 1, 1)) << "an empty list only appends";
    // A missing file keeps a record that draws nothing, as does an index past the end.
    EXPECT_EQ(0, list.AddImage(missing(), 7, 2));
    EXPECT_EQ(nullptr, list.GetItemImageData(0)->m_pImage);
    EXPECT_EQ((std::vector<DWORD> { 0, 0 }), (std::vector<DWORD> { drawn(0, 1), drawn(3, 0) }));
    list.AddImage(L"b.png", 7, 1);
    EXPECT_EQ(-1, list.InsertImage(0, missing(), 3, 1));
    for (const int position : { 3, -2 })
        EXPECT_EQ(-1, list.InsertImage(position, missing(), 4, 1)) << position;
    EXPECT_EQ(-1, list.InsertImage(-1, nullptr, 4, 1));
    ASSERT_EQ(3, list.GetImageCount());
    EXPECT_EQ(3, list.GetItemImageData(0)->m_nID);
    EXPECT_TRUE(list.GetItemImageData(1) == list.GetImageDataByID(7) && !list.GetImageDataByID(9) && !list.GetItemImageData(3));
    EXPECT_STREQ(L"", list.GetImagePath(-1));
    EXPECT_STREQ(L"", list.GetImagePathByID(9));
}

TEST_F(ImageList, CopiesTakeTheDrawSizeButNotTheImagesAndDelAllReleasesThem)
{
    list.AddImage(strip.path(), 1, 3);
    EXPECT_EQ(1, list.SetDrawImgSize(16, 12));
    {
        MImageList copy(list);
        EXPECT_EQ(CSize(16, 12), copy.GetIconSize());
        EXPECT_EQ(0, copy.GetImageCount());
    }
    EXPECT_EQ(kGreenRgb, drawn(0, 1)) << "the original's image must survive the copy";
    EXPECT_EQ(1, list.DelAllImages());
    EXPECT_EQ(0, list.GetImageCount());
    EXPECT_TRUE(DeleteFileW(strip.path())) << "GDI+ holds a loaded file open";
}
