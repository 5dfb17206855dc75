#include "framework/MRender.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <initializer_list>
#include <iterator>
#include <memory>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "DibCanvas.h"
#include "GdiObjectCount.h"
#include "GdiplusEnvironment.h"
#include "framework/MRenderInternal.h"

using KOVA::MRender;
using KOVA::test::channel;
using KOVA::test::DibCanvas;
namespace detail = KOVA::detail;
using Points = std::initializer_list<std::pair<int, int>>;

static auto* const gdiplus = ::testing::AddGlobalTestEnvironment(new KOVA::test::GdiplusEnvironment);

static void PrintTo(const CRect& r, std::ostream* out)
{
    *out << '(' << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << ')';
}

namespace {

constexpr DWORD kRed = 0xFFFF0000, kGreen = 0xFF00FF00, kBlue = 0xFF0000FF, kWhite = 0xFFFFFFFF, kBlack = 0xFF000000;
const wchar_t* const kFace = L"DejaVu Sans";

// A file in the temporary folder, deleted when the test ends.
class TempFile {
public:
    explicit TempFile(const std::wstring& name)
    {
        wchar_t dir[MAX_PATH];
        GetTempPathW(MAX_PATH, dir);
        path = std::wstring(dir) + L"kova-mrender-" + std::to_wstring(GetCurrentProcessId()) + L"-" + name;
    }
    ~TempFile() { DeleteFileW(path.c_str()); }
    CString cpath() const { return path.c_str(); }
    std::vector<BYTE> read() const
    {
        std::ifstream in(path.c_str(), std::ios::binary);
        return { std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>() };
    }
    void write(const std::vector<BYTE>& bytes) const
    {
        std::ofstream(path.c_str(), std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    }
    std::wstring path;
};

// Columns of the given colours, each columnWidth wide.
std::unique_ptr<Gdiplus::Bitmap> stripes(const std::vector<DWORD>& colors, int columnWidth, int height)
{
    auto bitmap = std::make_unique<Gdiplus::Bitmap>(static_cast<INT>(colors.size()) * columnWidth, height);
    for (int x = 0; x < static_cast<int>(bitmap->GetWidth()); ++x)
        for (int y = 0; y < height; ++y)
            bitmap->SetPixel(x, y, Gdiplus::Color(colors[x / columnWidth]));
    return bitmap;
}

// An 8 × 4 PNG, red on the left half and blue on the right.
std::vector<BYTE> redBluePng()
{
    UINT count = 0, size = 0;
    Gdiplus::GetImageEncodersSize(&count, &size);
    std::vector<BYTE> buffer(size);
    auto* encoder = reinterpret_cast<Gdiplus::ImageCodecInfo*>(buffer.data());
    Gdiplus::GetImageEncoders(count, size, encoder);
    while (std::wstring(encoder->MimeType) != L"image/png")
        ++encoder;
    TempFile file(L"redblue.png");
    stripes({ kRed, kBlue }, 4, 4)->Save(file.path.c_str(), &encoder->Clsid, nullptr);
    return file.read();
}

// The image drawn 1:1 on a canvas of its size.
std::unique_ptr<DibCanvas> painted(Gdiplus::Image& image)
{
    auto canvas = std::make_unique<DibCanvas>(image.GetWidth(), image.GetHeight());
    Gdiplus::Graphics(canvas->dc()).DrawImage(&image, 0, 0, canvas->width(), canvas->height());
    return canvas;
}

// A copy of this program carrying one "PNG" resource, loaded as a data file.
struct ResourceModule {
    ResourceModule(UINT id, const std::vector<BYTE>& bytes) : file(L"resources" + std::to_wstring(id) + L".exe")
    {
        wchar_t self[MAX_PATH];
        GetModuleFileNameW(nullptr, self, MAX_PATH);
        CopyFileW(self, file.path.c_str(), FALSE);
        HANDLE update = BeginUpdateResourceW(file.path.c_str(), TRUE);
        UpdateResourceW(update, L"PNG", MAKEINTRESOURCEW(id), 0, const_cast<BYTE*>(bytes.data()), bytes.size());
        EndUpdateResourceW(update, FALSE);
        module = LoadLibraryExW(file.path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    }
    ~ResourceModule() { FreeLibrary(module); }
    TempFile file;
    HINSTANCE module { nullptr };
};

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

template <class Body>
void expectNoGdiLeak(Body body)
{
    const int before = KOVA::test::countGdiObjects();
    body();
    if (before >= 0) {
        EXPECT_EQ(before, KOVA::test::countGdiObjects()) << "GDI objects leaked";
    }
}

template <class Draw>
void drawOn(DibCanvas& canvas, Draw draw)
{
    Gdiplus::Graphics graphics(canvas.dc());
    draw(graphics);
}

} // namespace

TEST(MRenderLoad, FileGivesTheDecodedImageOrAThumbnailOrNull)
{
    TempFile file(L"load.png");
    file.write(redBluePng());
    std::unique_ptr<Gdiplus::Image> image(MRender::LoadImageFromFile(file.cpath()));
    ASSERT_NE(nullptr, image);
    auto canvas = painted(*image);
    EXPECT_EQ(0xFF0000u, canvas->rgb(1, 2));
    EXPECT_EQ(0x0000FFu, canvas->rgb(6, 2));

    std::unique_ptr<Gdiplus::Image> small(MRender::LoadImageFromFileEx(file.cpath(), 4, 2));
    std::unique_ptr<Gdiplus::Image> own(MRender::LoadImageFromFileEx(file.cpath(), 0, 0));
    ASSERT_TRUE(small && own);
    EXPECT_EQ(std::make_pair(4u, 2u), std::make_pair(small->GetWidth(), small->GetHeight()));
    EXPECT_EQ(std::make_pair(8u, 4u), std::make_pair(own->GetWidth(), own->GetHeight()));

    TempFile text(L"text.png");
    text.write({ 'n', 'o', 't', ' ', 'p', 'n', 'g' });
    EXPECT_EQ(nullptr, MRender::LoadImageFromFile(text.cpath()));
    EXPECT_EQ(nullptr, MRender::LoadImageFromFile(file.cpath() + L".missing"));
    EXPECT_EQ(nullptr, MRender::LoadImageFromFileEx(file.cpath() + L".missing", 4, 2));
}

TEST(MRenderLoad, ResourceOfTheGivenModuleDecodes)
{
    ResourceModule resources(7, redBluePng());
    std::unique_ptr<Gdiplus::Image> image(MRender::LoadImageFromIDResource(7, L"PNG", resources.module));
    ASSERT_NE(nullptr, image);
    // The call released its stream: the image must still reach the bytes.
    auto canvas = painted(*image);
    EXPECT_EQ(0xFF0000u, canvas->rgb(0, 0));
    EXPECT_EQ(0x0000FFu, canvas->rgb(7, 3));

    EXPECT_EQ(nullptr, MRender::LoadImageFromIDResource(8, L"PNG", resources.module));
    EXPECT_EQ(nullptr, MRender::LoadImageFromIDResource(7, L"GIF", resources.module));
    EXPECT_EQ(nullptr, MRender::LoadImageFromIDResource(7, L"PNG", GetModuleHandleW(nullptr)));
    ResourceModule garbage(9, std::vector<BYTE>(64, 0x5A));
    std::unique_ptr<Gdiplus::Image> undecodable(MRender::LoadImageFromIDResource(9, L"PNG", garbage.module));
    ASSERT_NE(nullptr, undecodable);
    EXPECT_NE(Gdiplus::Ok, undecodable->GetLastStatus());
}

TEST(MRenderLoad, ResourceBytesAreFreedWithTheImage)
{
    // A small picture followed by 4 MB that decoding never reads: each copy kept shows.
    std::vector<BYTE> bytes = redBluePng();
    bytes.resize(bytes.size() + (4 << 20), 0x5A);
    ResourceModule resources(10, bytes);
    const auto loadAndDelete = [&] {
        std::unique_ptr<Gdiplus::Image> image(MRender::LoadImageFromIDResource(10, L"PNG", resources.module));
        ASSERT_TRUE(image && image->GetWidth() == 8);
    };
    loadAndDelete();
    const size_t before = committedPrivateBytes();
    for (int i = 0; i < 20; ++i)
        loadAndDelete();
    EXPECT_LT(committedPrivateBytes(), before + (20 << 20));
}

TEST(MRenderLoad, IconComesFromTheFileAndARelativeNameIsSafe)
{
    wchar_t system[MAX_PATH];
    GetSystemDirectoryW(system, MAX_PATH);
    HICON icon = MRender::LoadIconFromFile(CString(system) + L"\\notepad.exe");
    ICONINFO info {};
    ASSERT_TRUE(icon && GetIconInfo(icon, &info));
    EXPECT_NE(nullptr, info.hbmMask);
    DeleteObject(info.hbmMask);
    DeleteObject(info.hbmColor);
    DestroyIcon(icon);

    // The call writes a program's full path over the relative name it is given.
    TempFile document(L"document.txt");
    document.write({ 'x' });
    const size_t slash = document.path.rfind(L'\\');
    SetCurrentDirectoryW(document.path.substr(0, slash).c_str());
    if (HICON associated = MRender::LoadIconFromFile(document.path.substr(slash + 1).c_str()))
        DestroyIcon(associated);
    HANDLE heaps[64];
    for (DWORD i = 0, count = GetProcessHeaps(64, heaps); i < count && i < 64; ++i)
        EXPECT_TRUE(HeapValidate(heaps[i], 0, nullptr)) << "heap " << i;
}

TEST(MRenderBitmap, ARGB32BitmapIsABottomUpDibSection)
{
    BYTE* bits = nullptr;
    HBITMAP bitmap = MRender::CreateARGB32Bitmap(nullptr, 4, 3, &bits);
    DIBSECTION section {};
    ASSERT_EQ(static_cast<int>(sizeof section), GetObjectW(bitmap, sizeof section, &section));
    EXPECT_EQ(32, section.dsBm.bmBitsPixel);
    EXPECT_EQ(bits, section.dsBm.bmBits);

    reinterpret_cast<DWORD*>(bits)[0] = 0x00123456;
    DibCanvas canvas(4, 3, 0xFF204060);
    HDC source = MRender::CreateCompatibleDC(canvas.dc());
    HGDIOBJ previous = SelectObject(source, bitmap);
    EXPECT_TRUE(MRender::BitBlt(canvas.dc(), 0, 0, 4, 3, source, 0, 0));
    EXPECT_EQ(0x123456u, canvas.rgb(0, 2)) << "the first row in memory is the bottom one";
    EXPECT_TRUE(MRender::BitBlt(canvas.dc(), 0, 0, 1, 1, source, 0, 2, NOTSRCCOPY));
    EXPECT_EQ(0xEDCBA9u, canvas.rgb(0, 0));
    SelectObject(source, previous);
    DeleteDC(source);
    DeleteObject(bitmap);
}

TEST(MRenderFill, SolidRectAndTranslucentColour)
{
    DibCanvas canvas(20, 20, kWhite);
    MRender::FillSolidRect(canvas.dc(), 5, 5, 10, 4, RGB(0x10, 0x20, 0x30));
    EXPECT_EQ(0x102030u, canvas.rgb(14, 8));
    EXPECT_EQ(0xFFFFFFu, canvas.rgb(15, 8));
    EXPECT_EQ(0xFFFFFFu, canvas.rgb(14, 9));
    EXPECT_EQ(RGB(0x10, 0x20, 0x30), GetBkColor(canvas.dc()));

    canvas.fill(kWhite);
    MRender::DrawColor(canvas.dc(), RECT { 0, 0, 20, 20 }, 0x00FF0000);
    EXPECT_TRUE(canvas.untouchedSinceFill());
    MRender::DrawColor(canvas.dc(), RECT { 2, 2, 6, 6 }, 0x80FF0000);
    EXPECT_NEAR(127, channel(canvas.rgb(3, 3), 8), 1);
    EXPECT_EQ(0xFFFFFFu, canvas.rgb(7, 7));
    MRender::DrawColor(canvas.dc(), RECT { 0, 0, 1, 1 }, 0x01FF0000);
    EXPECT_NE(0xFFFFFFu, canvas.rgb(0, 0)) << "alpha 1 is almost, not entirely, transparent";
}

TEST(MRenderFill, CheckAlphaColorLiftsOnlyBlack)
{
    for (const auto& [in, out] : std::initializer_list<std::pair<DWORD, DWORD>> {
             { 0xFF000000, 0xFF000001 }, { 0, 1 }, { 0xFF010000, 0xFF010000 }, { 0x100, 0x100 }, { 2, 2 } }) {
        DWORD color = in;
        MRender::CheckAlphaColor(color);
        EXPECT_EQ(out, color) << std::hex << in;
    }
}

namespace {

// A 16 × 16 source of nine regions of distinct colours for a border of 4.
constexpr DWORD kGrid[3][3] = {
    { 0x800000, 0x008000, 0x000080 },
    { 0x808000, 0x008080, 0x800080 },
    { 0xC00000, 0x00C000, 0x0000C0 },
};

// Nearest-neighbour sampling gives exact piece boundaries. The middle is stretched 8 times
// (64 / 8) and 4 times (32 / 8): at some other widths Wine's GDI+ rounds the first column of
// a stretched piece outside its source and leaves it blank.
class MRenderNineGrid : public ::testing::Test {
protected:
    MRenderNineGrid()
    {
        graphics.SetInterpolationMode(Gdiplus::InterpolationModeNearestNeighbor);
        graphics.SetPixelOffsetMode(Gdiplus::PixelOffsetModeHalf);
        const auto region = [](int v) { return v < 4 ? 0 : v < 12 ? 1 : 2; };
        for (int x = 0; x < 16; ++x)
            for (int y = 0; y < 16; ++y)
                source.SetPixel(x, y, Gdiplus::Color(0xFF000000 | kGrid[region(y)][region(x)]));
    }
    DWORD at(int x, int y)
    {
        graphics.Flush(Gdiplus::FlushIntentionSync);
        return canvas.rgb(x, y);
    }

    DibCanvas canvas { 92, 60, kWhite };
    Gdiplus::Graphics graphics { canvas.dc() };
    Gdiplus::Bitmap source { 16, 16 };
    const CRect dst { 10, 10, 82, 50 };
};

} // namespace

TEST_F(MRenderNineGrid, CornersKeepTheirSize)
{
    MRender::DrawImageFrame(graphics, &source, dst, 0, 0, 16, 16, 4);
    EXPECT_EQ(kGrid[0][0], at(10, 10));
    EXPECT_EQ(kGrid[0][0], at(13, 13));
    EXPECT_EQ(kGrid[0][1], at(14, 10));
    EXPECT_EQ(kGrid[1][0], at(10, 14));
    EXPECT_EQ(kGrid[0][1], at(77, 13));
    EXPECT_EQ(kGrid[0][2], at(78, 13));
    EXPECT_EQ(kGrid[2][0], at(13, 46));
    EXPECT_EQ(kGrid[1][2], at(81, 45));
    EXPECT_EQ(kGrid[2][2], at(78, 46));
    EXPECT_EQ(kGrid[2][2], at(81, 49));
    EXPECT_EQ(0xFFFFFFu, at(82, 50));
}

TEST_F(MRenderNineGrid, EdgesStretchAlongTheirLengthAndTheCentreBothWays)
{
    MRender::DrawImageFrame(graphics, &source, dst, 0, 0, 16, 16, 4);
    EXPECT_EQ(kGrid[0][1], at(60, 13));
    EXPECT_EQ(kGrid[1][0], at(10, 30));
    EXPECT_EQ(kGrid[1][2], at(81, 30));
    EXPECT_EQ(kGrid[2][1], at(60, 49));
    for (const auto& [x, y] : Points { { 14, 14 }, { 60, 30 }, { 77, 45 } })
        EXPECT_EQ(kGrid[1][1], at(x, y)) << x << "," << y;
}

TEST_F(MRenderNineGrid, MarginsMayDifferAndAnEmptyMiddleDrawsNothing)
{
    // A top row of 12: source rows 0..11 unstretched, leaving the middle row none.
    MRender::DrawImageFrameMID(graphics, &source, dst, 0, 0, 16, 16, 4, 12, 4, 4);
    EXPECT_EQ(kGrid[0][0], at(10, 13));
    EXPECT_EQ(kGrid[1][0], at(10, 21));
    EXPECT_EQ(kGrid[1][1], at(60, 21));
    EXPECT_EQ(0xFFFFFFu, at(10, 30));
    EXPECT_EQ(0xFFFFFFu, at(60, 30));
    EXPECT_EQ(kGrid[2][0], at(10, 46));
}

TEST_F(MRenderNineGrid, StripFrameIsSelectedAndAMissingFrameDrawsNothing)
{
    auto strip = stripes({ kRed, kGreen, kBlue }, 16, 16);
    for (const auto& [index, count] : Points { { 0, 0 }, { 0, -1 }, { 3, 3 }, { -1, 3 } })
        EXPECT_EQ(0, MRender::DrawImageStripFrame(graphics, strip.get(), dst, index, count, 4)) << index << "/" << count;
    EXPECT_EQ(0, MRender::DrawImageStripFrame(graphics, nullptr, dst, 0, 1, 4));
    graphics.Flush(Gdiplus::FlushIntentionSync);
    EXPECT_TRUE(canvas.untouchedSinceFill());

    EXPECT_EQ(1, MRender::DrawImageStripFrame(graphics, strip.get(), dst, 1, 3, 4));
    for (const auto& [x, y] : Points { { 10, 10 }, { 60, 30 }, { 81, 49 } })
        EXPECT_EQ(0x00FF00u, at(x, y)) << x << "," << y;
    EXPECT_EQ(0xFFFFFFu, at(82, 30));
}

// White faded over black: a pixel's grey level is the alpha it was blended with.
TEST(MRenderTransition, VerticalFadeStepsRowByRowEitherWay)
{
    const CRect rect(0, 0, 4, 10);
    const int fadingOut[] = { 255, 229, 204, 178, 153, 127, 102, 76, 51, 25 };
    const int fadingIn[] = { 0, 25, 51, 76, 102, 127, 153, 178, 204, 229 };
    for (const bool out : { true, false }) {
        DibCanvas dst(4, 10, kBlack), src(4, 10, kWhite);
        EXPECT_EQ(out ? 25 : 229, MRender::DrawVerticalTransition(dst.dc(), src.dc(), rect, rect, out ? 0 : 100, out ? 100 : 0));
        for (int row = 0; row < 10; ++row)
            EXPECT_NEAR((out ? fadingOut : fadingIn)[row], channel(dst.rgb(2, row), 8), 1) << "row " << row;
    }
    DibCanvas dst(4, 4, kBlack), src(4, 4, kWhite);
    EXPECT_EQ(255, MRender::DrawVerticalTransition(dst.dc(), src.dc(), CRect(0, 2, 4, 2), rect, 0, 50));
    EXPECT_TRUE(dst.untouchedSinceFill());
}

TEST(MRenderTransition, HorizontalFadeStepsColumnByColumnFromTheSourceOffset)
{
    DibCanvas dst(14, 4, kBlack), src(20, 4, kBlack);
    MRender::FillSolidRect(src.dc(), 10, 0, 10, 4, RGB(255, 255, 255));
    EXPECT_EQ(25, MRender::DrawHorizontalTransition(dst.dc(), src.dc(), CRect(4, 0, 14, 4), CRect(10, 0, 20, 4), 0, 100));
    EXPECT_EQ(0u, dst.rgb(3, 1));
    EXPECT_NEAR(255, channel(dst.rgb(4, 1), 8), 1);
    EXPECT_NEAR(127, channel(dst.rgb(9, 1), 8), 1);
    EXPECT_NEAR(25, channel(dst.rgb(13, 1), 8), 1);
    EXPECT_EQ(255, MRender::DrawHorizontalTransition(dst.dc(), src.dc(), CRect(3, 0, 1, 4), CRect(10, 0, 20, 4), 0, 50));
}

TEST(MRenderTransition, RightBottomFadeIsAQuarterCircleFromTheDcOrigin)
{
    DibCanvas dst(30, 30, kBlack), src(30, 30, kWhite);
    MRender::DrawRightBottomTransition(dst.dc(), src.dc(), CRect(5, 5, 25, 25), 0, 0);
    EXPECT_TRUE(dst.untouchedSinceFill());
    MRender::DrawRightBottomTransition(dst.dc(), src.dc(), CRect(5, 5, 25, 25), 10, 0);
    EXPECT_EQ(0xFFFFFFu, dst.rgb(10, 10));
    EXPECT_NEAR(127, channel(dst.rgb(15, 10), 8), 1);
    EXPECT_NEAR(25, channel(dst.rgb(19, 10), 8), 1);
    for (const auto& [x, y] : Points { { 19, 19 }, { 9, 9 }, { 20, 20 } })
        EXPECT_EQ(0u, dst.rgb(x, y)) << x << "," << y;
}

namespace {

int padded(float height, float padding)
{
    return static_cast<int>(height + (height != std::trunc(height) ? padding : 1));
}

Gdiplus::Font pixelFont(float size)
{
    return Gdiplus::Font(kFace, size, Gdiplus::FontStyleRegular, Gdiplus::UnitPixel);
}

} // namespace

TEST(MRenderText, BoundsGrowWithTheTextAndTheFont)
{
    const Gdiplus::Size one = MRender::GetTextBounds(pixelFont(20), L"W");
    const Gdiplus::Size four = MRender::GetTextBounds(pixelFont(20), L"WWWW");
    const Gdiplus::Size big = MRender::GetTextBounds(pixelFont(40), L"W");
    EXPECT_GT(one.Width, 10);
    EXPECT_GT(four.Width, 3 * one.Width);
    EXPECT_EQ(one.Height, four.Height);
    EXPECT_GT(big.Width, one.Width);
    EXPECT_GT(big.Height, one.Height);
}

TEST(MRenderText, HeightIsTheFontHeightPaddedAndTheDefaultFormatASingleLine)
{
    Gdiplus::StringFormat singleLine;
    singleLine.SetFormatFlags(Gdiplus::StringFormatFlagsNoWrap | Gdiplus::StringFormatFlagsMeasureTrailingSpaces);
    for (const float size : { 16.0f, 17.5f, 20.0f }) {
        const Gdiplus::Font font = pixelFont(size);
        const Gdiplus::Size bounds = MRender::GetTextBounds(font, L"Ag");
        EXPECT_EQ(padded(font.GetHeight(0.0f), 4), bounds.Height) << size;
        EXPECT_EQ(MRender::GetTextBounds(font, singleLine, L"Ag").Width, bounds.Width);
        // One line in a layout width (Wine lays out no more of a path string).
        EXPECT_EQ(padded(font.GetHeight(0.0f), 2) + 1, MRender::GetTextBounds(font, singleLine, 500, L"Ag").Height);
    }
}

TEST(MRenderText, WidthCoversTheInkOfTheOutline)
{
    const Gdiplus::Size bounds = MRender::GetTextBounds(pixelFont(24), L"Hello");
    DibCanvas canvas(200, 60, kWhite);
    drawOn(canvas, [](Gdiplus::Graphics& graphics) {
        Gdiplus::GraphicsPath path;
        const Gdiplus::FontFamily family(kFace);
        const Gdiplus::StringFormat format;
        path.AddString(L"Hello", -1, &family, Gdiplus::FontStyleRegular, 24, Gdiplus::PointF(0, 0), &format);
        const Gdiplus::SolidBrush black { Gdiplus::Color(kBlack) };
        graphics.FillPath(&black, &path);
    });
    int first = canvas.width(), last = -1;
    for (int x = 0; x < canvas.width(); ++x)
        for (int y = 0; y < canvas.height(); ++y)
            if (canvas.rgb(x, y) != 0xFFFFFF) {
                first = std::min(first, x);
                last = x;
            }
    EXPECT_NEAR(last - first + 1, bounds.Width, 2);
    EXPECT_LE(last - first + 1, bounds.Width + 1);
}

TEST(MRenderText, OriginFollowsTheAlignmentFlags)
{
    EXPECT_EQ(CPoint(0, 0), MRender::GetOriginPoint(100, 40, 20, 10, DT_LEFT, DT_TOP));
    EXPECT_EQ(CPoint(40, 15), MRender::GetOriginPoint(101, 40, 20, 10, DT_CENTER, DT_VCENTER));
    EXPECT_EQ(CPoint(80, 30), MRender::GetOriginPoint(100, 40, 20, 10, DT_RIGHT, DT_BOTTOM));
    EXPECT_EQ(CPoint(-5, -1), MRender::GetOriginPoint(10, 7, 21, 10, DT_CENTER, DT_VCENTER));
    // In an area: offset by its corner and two pixels lower, whatever the alignment.
    EXPECT_EQ(CPoint(50, 27), MRender::GetOriginPoint(CRect(10, 10, 110, 50), 20, 10, DT_CENTER, DT_VCENTER));
    EXPECT_EQ(CPoint(10, 12), MRender::GetOriginPoint(CRect(10, 10, 110, 50), 20, 10, DT_LEFT, DT_TOP));
    EXPECT_EQ(CPoint(90, 42), MRender::GetOriginPoint(CRect(10, 10, 110, 50), 20, 10, DT_RIGHT, DT_BOTTOM));
}

TEST(MRenderText, DrawTextPaintsTransparentlyInsideAndRestoresTheDc)
{
    DibCanvas canvas(120, 50, kWhite);
    HFONT font = CreateFontW(-30, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                             CLIP_DEFAULT_PRECIS, NONANTIALIASED_QUALITY, DEFAULT_PITCH, kFace);
    HGDIOBJ stockFont = GetCurrentObject(canvas.dc(), OBJ_FONT);
    SetTextColor(canvas.dc(), RGB(1, 2, 3));
    SetBkMode(canvas.dc(), OPAQUE);
    CRect rect(10, 5, 110, 45);
    MRender::DrawTextW(canvas.dc(), rect, nullptr, RGB(255, 0, 0), font, 0);
    EXPECT_TRUE(canvas.untouchedSinceFill());
    EXPECT_EQ(OPAQUE, GetBkMode(canvas.dc()));

    MRender::DrawTextW(canvas.dc(), rect, L"HH", RGB(255, 0, 0), font, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    int inside = 0, outside = 0;
    for (int x = 0; x < canvas.width(); ++x)
        for (int y = 0; y < canvas.height(); ++y)
            if (canvas.rgb(x, y) != 0xFFFFFF)
                ++(rect.PtInRect(CPoint(x, y)) && canvas.rgb(x, y) == 0xFF0000 ? inside : outside);
    EXPECT_GT(inside, 50);
    EXPECT_EQ(0, outside) << "red glyphs only, no background box";
    EXPECT_EQ(stockFont, GetCurrentObject(canvas.dc(), OBJ_FONT));
    EXPECT_EQ(RGB(1, 2, 3), GetTextColor(canvas.dc()));
    EXPECT_EQ(TRANSPARENT, GetBkMode(canvas.dc()));
    DeleteObject(font);
}

namespace {

// msimg32's entry points as DrawGradient would find them, or missing.
detail::GradientFunctions msimg(bool gradientFill, bool alphaBlend)
{
    return { gradientFill ? GradientFill : nullptr, alphaBlend ? AlphaBlend : nullptr };
}

} // namespace

TEST(MRenderGradient, RunsFromTheFirstColourToTheSecondInsideTheRectangle)
{
    DibCanvas across(100, 10, kBlack);
    MRender::DrawGradient(across.dc(), RECT { 0, 0, 100, 10 }, kRed, kBlue, false, 64);
    EXPECT_NEAR(255, channel(across.rgb(0, 5), 16), 3);
    EXPECT_NEAR(255, channel(across.rgb(99, 5), 0), 3);
    EXPECT_NEAR(128, channel(across.rgb(50, 5), 16), 4);
    EXPECT_EQ(across.rgb(50, 0), across.rgb(50, 9));

    DibCanvas down(10, 120, kBlack);
    MRender::DrawGradient(down.dc(), RECT { 2, 10, 8, 110 }, kWhite, kRed, true, 64);
    EXPECT_NEAR(255, channel(down.rgb(5, 10), 8), 3);
    EXPECT_NEAR(0, channel(down.rgb(5, 109), 8), 3);
    EXPECT_EQ(down.rgb(2, 60), down.rgb(7, 60));
    for (const auto& [x, y] : Points { { 5, 9 }, { 5, 110 }, { 1, 50 }, { 8, 50 } })
        EXPECT_EQ(0u, down.rgb(x, y)) << x << "," << y;
}

TEST(MRenderGradient, AlphaIsTheMeanOfBothEndsWithOrWithoutMsimg)
{
    DibCanvas canvas(40, 10, kBlack);
    MRender::DrawGradient(canvas.dc(), RECT { 0, 0, 40, 10 }, 0x00FF0000, 0x000000FF, false, 8);
    MRender::DrawGradient(canvas.dc(), RECT { 0, 0, 40, 10 }, 0x01FFFFFF, 0x00FFFFFF, false, 8);
    EXPECT_TRUE(canvas.untouchedSinceFill());
    MRender::DrawGradient(canvas.dc(), RECT { 0, 0, 40, 10 }, kWhite, 0x00FFFFFF, false, 8);
    EXPECT_NEAR(127, channel(canvas.rgb(0, 5), 8), 1);
    EXPECT_NEAR(127, channel(canvas.rgb(39, 5), 8), 1);
    for (const bool gradientFill : { true, false })
        for (const bool alphaBlend : { true, false }) {
            canvas.fill(kBlack);
            detail::DrawGradientWith(msimg(gradientFill, alphaBlend), canvas.dc(), RECT { 0, 0, 40, 10 }, kWhite,
                                     0x00FFFFFF, false, 8);
            EXPECT_NEAR(127, channel(canvas.rgb(20, 5), 8), 1) << gradientFill << alphaBlend;
        }
}

TEST(MRenderGradient, StripsStandInForAMissingGradientFill)
{
    // Four strips of 10, strip 0 at the right in the second colour.
    DibCanvas across(40, 4, kBlack);
    detail::DrawGradientWith(msimg(false, true), across.dc(), RECT { 0, 0, 40, 4 }, kBlue, kRed, false, 4);
    for (const auto& [x, color] : Points { { 39, 0xFF0000 }, { 30, 0xFF0000 }, { 29, 0xBF003F }, { 15, 0x7F007F }, { 0, 0x3F00BF } })
        EXPECT_EQ(static_cast<DWORD>(color), across.rgb(x, 1)) << "x " << x;

    DibCanvas down(4, 80, kBlack);
    detail::DrawGradientWith(msimg(false, true), down.dc(), RECT { 0, 0, 4, 80 }, kWhite, kBlack, true, 5);
    EXPECT_EQ(0x000000u, down.rgb(1, 79));
    EXPECT_EQ(0x3F3F3Fu, down.rgb(1, 59));
    EXPECT_EQ(0xBFBFBFu, down.rgb(1, 0));

    // 100 steps: 64 strips, one a column; below 4 steps: 2 strips.
    DibCanvas fine(64, 4, kBlack), coarse(64, 4, kBlack);
    detail::DrawGradientWith(msimg(false, true), fine.dc(), RECT { 0, 0, 64, 4 }, kBlack, kWhite, false, 100);
    detail::DrawGradientWith(msimg(false, true), coarse.dc(), RECT { 0, 0, 64, 4 }, kBlack, kWhite, false, 0);
    EXPECT_EQ(0xFBFBFBu, fine.rgb(62, 1));
    EXPECT_EQ(0x030303u, fine.rgb(0, 1));
    EXPECT_EQ(0xFFFFFFu, coarse.rgb(32, 1));
    EXPECT_EQ(0x7F7F7Fu, coarse.rgb(31, 1));
}

TEST(MRenderGradient, SoftwareBlendStandsInForAMissingAlphaBlend)
{
    DibCanvas withMsimg(40, 4, 0xFF204080), inSoftware(40, 4, 0xFF204080);
    for (auto* canvas : { &withMsimg, &inSoftware })
        detail::DrawGradientWith(msimg(true, canvas == &withMsimg), canvas->dc(), RECT { 0, 0, 40, 4 }, 0xC0FF0000,
                                 0x8000FF00, false, 8);
    EXPECT_NE(0x204080u, inSoftware.rgb(20, 1));
    for (const int x : { 0, 13, 26, 39 })
        for (const int shift : { 0, 8, 16 })
            EXPECT_NEAR(channel(withMsimg.rgb(x, 1), shift), channel(inSoftware.rgb(x, 1), shift), 2) << x << "/" << shift;

    // Weighted by the source pixel's alpha only with AC_SRC_ALPHA; stretched; alpha byte 0.
    DibCanvas dst(4, 4, kBlack), src(2, 2, 0x80FFFFFF);
    EXPECT_TRUE(detail::SoftwareAlphaBlend(dst.dc(), 0, 0, 4, 4, src.dc(), 0, 0, 2, 2, { AC_SRC_OVER, 0, 255, AC_SRC_ALPHA }));
    EXPECT_EQ(0x00808080u, dst.pixel(0, 0));
    EXPECT_EQ(0x00808080u, dst.pixel(3, 3));
    src.fill(0x00FFFFFF);
    dst.fill(kBlack);
    EXPECT_TRUE(detail::SoftwareAlphaBlend(dst.dc(), 0, 0, 4, 4, src.dc(), 0, 0, 2, 2, { AC_SRC_OVER, 0, 128, 0 }));
    EXPECT_EQ(0x00808080u, dst.pixel(2, 1));
}

TEST(MRenderGradient, LeavesNoGdiObjectBehindAlsoWhenItsBitmapFails)
{
    DibCanvas canvas(40, 10, kBlack);
    expectNoGdiLeak([&] {
        detail::DrawGradientWith(msimg(false, false), canvas.dc(), RECT { 0, 0, 40, 10 }, kWhite, 0x00FFFFFF, false, 8);
        MRender::DrawGradient(canvas.dc(), RECT { 0, 0, 40, 10 }, kWhite, 0x00FFFFFF, false, 8);
        MRender::DrawGradient(canvas.dc(), RECT { 0, 0, 200000, 200000 }, kWhite, 0x00FFFFFF, false, 8);
        EXPECT_FALSE(detail::SoftwareAlphaBlend(canvas.dc(), 0, 0, 200000, 200000, canvas.dc(), 0, 0, 4, 4,
                                                { AC_SRC_OVER, 0, 255, AC_SRC_ALPHA }));
    });
    EXPECT_NEAR(127 + 64, channel(canvas.rgb(5, 5), 8), 2) << "drawn twice at alpha 127";
}

TEST(MRenderShape, RoundedFillLeavesTheCornersOut)
{
    DibCanvas canvas(100, 80, kWhite);
    drawOn(canvas, [](Gdiplus::Graphics& g) { MRender::DrawRoundRectange(g, 10, 10, 80, 60, 15, Gdiplus::Color(kRed)); });
    for (const auto& [x, y] : Points { { 50, 40 }, { 50, 11 }, { 11, 40 }, { 16, 16 } })
        EXPECT_EQ(0xFF0000u, canvas.rgb(x, y)) << x << "," << y;
    for (const auto& [x, y] : Points { { 11, 11 }, { 88, 68 }, { 50, 75 } })
        EXPECT_EQ(0xFFFFFFu, canvas.rgb(x, y)) << x << "," << y;

    Gdiplus::GraphicsPath path;
    MRender::AddRoundedRectangle(path, 10, 20, 60, 40, 8);
    Gdiplus::RectF bounds;
    path.GetBounds(&bounds);
    EXPECT_TRUE(bounds.Equals(Gdiplus::RectF(10, 20, 60, 40)));
    EXPECT_FALSE(path.IsVisible(11, 21) || path.IsVisible(69, 59));
    EXPECT_TRUE(path.IsVisible(40, 21) && path.IsVisible(11, 40));
}

TEST(MRenderShape, OutlineDrawsThePenOverAnOptionalFillWithEvenedRadii)
{
    for (const bool fill : { true, false }) {
        DibCanvas canvas(100, 80, kWhite);
        drawOn(canvas, [fill](Gdiplus::Graphics& g) {
            MRender::DrawRoundRectange(g, 10, 10, 80, 60, 4, Gdiplus::Color(kBlue), 3, fill, Gdiplus::Color(kRed));
        });
        EXPECT_EQ(0x0000FFu, canvas.rgb(50, 10));
        EXPECT_EQ(0x0000FFu, canvas.rgb(10, 40));
        EXPECT_EQ(fill ? 0xFF0000u : 0xFFFFFFu, canvas.rgb(50, 40));
        EXPECT_EQ(0xFFFFFFu, canvas.rgb(11, 11));
    }
    // 200 × 40 with divisor 2: radii 50 and 10 are more than 10 apart and both become 10.
    DibCanvas canvas(220, 60, kWhite);
    drawOn(canvas, [](Gdiplus::Graphics& g) {
        MRender::DrawRoundRectange(g, 10, 10, 200, 40, 2, Gdiplus::Color(kRed), 1, true, Gdiplus::Color(kRed));
    });
    EXPECT_EQ(0xFF0000u, canvas.rgb(22, 12)) << "inside a round corner of 10, outside a 50 × 10 oval one";
}

TEST(MRenderGeometry, RotatePointGivesExactValues)
{
    const auto rotated = [](float angle) {
        Gdiplus::PointF point(20, 10);
        MRender::RotatePoint(point, angle, Gdiplus::PointF(10, 10));
        return point;
    };
    EXPECT_TRUE(rotated(90).Equals(Gdiplus::PointF(10, 20)));
    EXPECT_TRUE(rotated(-90).Equals(Gdiplus::PointF(10, 0)));
    // 3.1415926 falls short of pi: half a turn leaves the point a hair off its axis.
    EXPECT_TRUE(rotated(180).Equals(Gdiplus::PointF(0, std::nextafter(10.0f, 11.0f))));
    const Gdiplus::PointF turned = rotated(37);
    EXPECT_NEAR(10.0, std::hypot(turned.X - 10, turned.Y - 10), 1e-5);
    EXPECT_NEAR(37 * 3.1415926 / 180, std::atan2(turned.Y - 10, turned.X - 10), 1e-6);
}

TEST(MRenderGeometry, LargerImageIsFittedAndCentredSmallerKeepsItsSize)
{
    EXPECT_EQ(CRect(0, 50, 400, 350), MRender::GetImageRect(800, 600, CRect(0, 0, 400, 400)));
    EXPECT_EQ(CRect(50, 0, 350, 400), MRender::GetImageRect(600, 800, CRect(0, 0, 400, 400)));
    EXPECT_EQ(CRect(10, 130, 410, 230), MRender::GetImageRect(800, 200, CRect(10, 20, 410, 340)));
    EXPECT_EQ(CRect(10, 20, 410, 340), MRender::GetImageRect(800, 640, CRect(10, 20, 410, 340)));
    EXPECT_EQ(CRect(0, 0, 399, 400), MRender::GetImageRect(600, 601, CRect(0, 0, 400, 400))) << "399.3 truncated";
    EXPECT_EQ(CRect(100, 150, 300, 250), MRender::GetImageRect(200, 100, CRect(0, 0, 400, 400)));
    EXPECT_EQ(CRect(160, 100, 260, 260), MRender::GetImageRect(100, 160, CRect(10, 20, 410, 340)));
    // Nothing to scale in an empty image, nothing to divide by in an empty area.
    EXPECT_EQ(CRect(50, -50, 50, 150), MRender::GetImageRect(0, 200, CRect(0, 0, 100, 100)));
    EXPECT_EQ(CRect(50, 0, 50, 0), MRender::GetImageRect(300, 20, CRect(0, 0, 100, 0)));
}

TEST(MRenderGeometry, ImageWithOneSideEqualToTheAreaIsStillFitted)
{
    EXPECT_EQ(CRect(105, 0, 374, 480), MRender::GetImageRect(480, 854, CRect(0, 0, 480, 480)));
    EXPECT_EQ(CRect(0, 105, 480, 374), MRender::GetImageRect(854, 480, CRect(0, 0, 480, 480)));
    EXPECT_EQ(CRect(0, 150, 400, 250), MRender::GetImageRect(400, 100, CRect(0, 0, 400, 400)));
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
    TempFile file(L"saved.bmp");
    ASSERT_TRUE(MRender::SaveBitmapToFile(bitmap, file.cpath()));
    DeleteObject(bitmap);

    const std::vector<BYTE> bytes = file.read();
    ASSERT_EQ(54u + 3 * 16, bytes.size());
    const auto* header = reinterpret_cast<const BITMAPFILEHEADER*>(bytes.data());
    EXPECT_EQ(0x4D42, header->bfType);
    EXPECT_EQ(bytes.size(), header->bfSize);
    EXPECT_EQ(54u, header->bfOffBits);
    EXPECT_EQ(24, reinterpret_cast<const BITMAPINFOHEADER*>(bytes.data() + 14)->biBitCount);
    {
        Gdiplus::Bitmap loaded(file.path.c_str());
        Gdiplus::Color bottomLeft, topRight;
        loaded.GetPixel(0, 2, &bottomLeft);
        loaded.GetPixel(4, 0, &topRight);
        EXPECT_EQ(0xFF000F00u, bottomLeft.GetValue());
        EXPECT_EQ(0xFFE0EFE0u, topRight.GetValue());
    }
    // Opened without sharing: only possible once the routine's own handle is closed.
    HANDLE exclusive = CreateFileW(file.path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    EXPECT_NE(INVALID_HANDLE_VALUE, exclusive);
    CloseHandle(exclusive);
}

TEST(MRenderSave, UnwritablePathOrInvalidBitmapFailsWithoutLeaking)
{
    HBITMAP bitmap = testPicture();
    TempFile file(L"invalid.bmp");
    expectNoGdiLeak([&] {
        EXPECT_FALSE(MRender::SaveBitmapToFile(bitmap, file.cpath() + L"\\no-such-dir\\saved.bmp"));
        EXPECT_FALSE(MRender::SaveBitmapToFile(nullptr, file.cpath()));
    });
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(file.path.c_str()));
    DeleteObject(bitmap);
}

TEST(MRenderSave, WriteCutShortIsAFailure)
{
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
    HBITMAP bitmap = testPicture();
    EXPECT_FALSE(MRender::SaveBitmapToFile(bitmap, name.c_str()));
    reader.join();
    DeleteObject(bitmap);
    EXPECT_EQ(14u, count);
    EXPECT_EQ('B', received[0]);
}
