// The paint manager's caches: image records of files and resources, GDI+ font families of
// files, resources and installed faces with their fallback, GDI registrations of the embedded
// font, what binding loads and what clearing lets go of.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "DibCanvas.h"
#include "LibraryHost.h"
#include "InkScan.h"
#include "KOVA.h"
#include "ScratchStrip.h"
#include "TestWindow.h"
#include "framework/AppPaths.h"
#include "framework/FontCache.h"

using namespace KOVA;
using namespace KOVA::test;

namespace {

const auto* const host = ::testing::AddGlobalTestEnvironment(new LibraryHost);

const wchar_t* const kUnknownFace = L"Kova No Such Family 7";
const wchar_t* const kKey = L"Kova Test Key";
const std::wstring kBravik = L"BRAVIK 1.2";

std::vector<BYTE> embeddedFont()
{
    HMODULE module = GetModuleHandleW(nullptr);
    HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(106), L"ttf");
    const auto* data = static_cast<const BYTE*>(found ? LockResource(LoadResource(module, found)) : nullptr);
    return data ? std::vector<BYTE>(data, data + SizeofResource(module, found)) : std::vector<BYTE>();
}

std::wstring familyName(const Gdiplus::FontFamily* family)
{
    WCHAR name[LF_FACESIZE] {};
    family->GetFamilyName(name);
    return name;
}

// Dark pixels of a word drawn in black on white with the family: 0 when nothing shows.
int gdiplusInk(const Gdiplus::FontFamily* family)
{
    DibCanvas canvas(160, 48, 0xFFFFFFFF);
    Gdiplus::Font font(family, 28, Gdiplus::FontStyleRegular, Gdiplus::UnitPixel);
    if (font.GetLastStatus() != Gdiplus::Ok)
        return 0;
    Gdiplus::SolidBrush black(Gdiplus::Color(255, 0, 0, 0));
    Gdiplus::Graphics(canvas.dc()).DrawString(L"BRAVIK", -1, &font, Gdiplus::PointF(2, 2), &black);
    return scanInk(canvas, CRect(0, 0, 160, 48), 0xFFFFFF, 0, 127).matching;
}

// The face GDI chooses for a LOGFONT naming it: the face itself only when it is registered.
// Wine keeps the face it once chose for a LOGFONT, registered since or not: every call asks
// with a height of its own.
std::wstring gdiFace(const std::wstring& face)
{
    static LONG height = -20;
    const LOGFONTW logFont = MakeLogFont(face.c_str(), --height, 0);
    HFONT font = CreateFontIndirectW(&logFont);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ previous = SelectObject(dc, font);
    wchar_t name[LF_FACESIZE] {};
    GetTextFaceW(dc, LF_FACESIZE, name);
    SelectObject(dc, previous);
    DeleteDC(dc);
    DeleteObject(font);
    return name;
}

class Caches : public ::testing::Test {
protected:
    // A one-colour PNG in the skin folder; returns its skin-relative name.
    CString skinImage(const wchar_t* name, int width, int height)
    {
        files.push_back(std::make_unique<ScratchStrip>(GetSkinPath(), name, width, height, std::vector<DWORD> { 0xFF5A1EC8 }));
        EXPECT_TRUE(files.back()->written());
        return name;
    }
    ScratchFile& file(const CString& folder, const CString& name, const std::vector<BYTE>& bytes = embeddedFont())
    {
        files.push_back(std::make_unique<ScratchFile>(folder, name, bytes));
        EXPECT_TRUE(files.back()->written());
        return *files.back();
    }

    // Declared first: the manager lets go of every file before the files go.
    std::vector<std::unique_ptr<ScratchFile>> files;
    PaintManager manager;
};

} // namespace

// First of all: a family of a font file or of font data registers the font with GDI too, and
// Wine never removes a registration (its removal is a stub: what a clear lets go of is seen in
// FontCacheRegistrations); until this case nothing has registered it.
TEST_F(Caches, GdiServesTheEmbeddedFontFromItsRegistration)
{
    manager.AddGDITempFont(9999);
    manager.AddGDITempFont(101);
    EXPECT_NE(kBravik, gdiFace(kBravik)) << "what is missing or not a font registers nothing";
    manager.AddGDITempFont(106);
    EXPECT_EQ(kBravik, gdiFace(kBravik));
}

// A file's record is cut by the first count asked for and keyed by the exact path (the file
// system ignores case, the cache does not); resources are keyed by module too. Refused counts
// and what is missing cache nothing, so a file is loaded once it is there; a clear forgets all.
TEST_F(Caches, ImageRecordsAreCutByTheFirstCountAndKeyedByExactlyWhatTheyCameFrom)
{
    const CString name = skinImage(L"cache_test.png", 400, 30);
    EXPECT_TRUE(!manager.AddImgResInfo(name, 0) && !manager.AddImgResInfo(name, -2));
    ImgResInfo* record = manager.AddImgResInfo(name, 4);
    ASSERT_NE(nullptr, record);
    EXPECT_EQ((std::vector<int> { 100, 30, 4 }), (std::vector<int> { record->m_nWidth, record->m_nHeight, record->m_nFrameCount }));
    EXPECT_EQ(record, manager.AddImgResInfo(name, 3));
    EXPECT_EQ(4, record->m_nFrameCount);
    ImgResInfo* upper = manager.AddImgResInfo(L"CACHE_TEST.png", 3);
    ASSERT_TRUE(upper && upper != record);
    EXPECT_EQ(133, upper->m_nWidth);
    EXPECT_EQ(nullptr, manager.AddImgResInfo(L"cache_test_late.png", 1));
    skinImage(L"cache_test_late.png", 40, 10);
    ASSERT_NE(nullptr, manager.AddImgResInfo(L"cache_test_late.png", 1));
    EXPECT_EQ(40, manager.AddImgResInfo(L"cache_test_late.png", 1)->m_nWidth);

    // Linked statically, host module and library module are both this program.
    Manager::SetInstance(GetModuleHandleW(nullptr));
    ImgResInfo* host = manager.AddImgResInfo(101, L"PNG", 4, 1);
    ImgResInfo* library = manager.AddImgResInfo(101, L"PNG", 2, 0);
    ASSERT_TRUE(host && library);
    EXPECT_EQ((std::vector<int> { 4, 2 }), (std::vector<int> { host->m_nFrameCount, library->m_nFrameCount }));
    EXPECT_TRUE(host == manager.AddImgResInfo(101, L"PNG", 4, 1) && library == manager.AddImgResInfo(101, L"PNG", 4, 0));
    // Unknown, not an image, of another type, or a refused count.
    EXPECT_TRUE(!manager.AddImgResInfo(9999, L"PNG", 1, 0) && !manager.AddImgResInfo(106, L"PNG", 1, 0)
                && !manager.AddImgResInfo(106, L"ttf", 1, 0) && !manager.AddImgResInfo(102, L"PNG", 0, 0));

    manager.ClearImgResInfo();
    // With the image released the file can go; only a cached record could answer now.
    ASSERT_TRUE(files.back()->remove());
    EXPECT_EQ(nullptr, manager.AddImgResInfo(L"cache_test_late.png", 1));
    EXPECT_NE(nullptr, manager.AddImgResInfo(101, L"PNG", 4, 0));
}

// A family from a file or the resource still reaches its font after the call and draws; the
// newer of one name wins; what is missing or not a font gives nothing.
TEST_F(Caches, FontFromAFileOrTheResourceDrawsAndTheNewerOfOneNameWins)
{
    const CString path = file(GetExePath(), L"kova_cache_test.ttf").path();
    const CString notAFont = file(GetExePath(), L"kova_cache_test.txt", std::vector<BYTE>(64, 'x')).path();
    EXPECT_TRUE(!manager.AddTempFont(kKey, notAFont) && !manager.AddTempFont(kKey, GetExePath() + L"kova_missing.ttf")
                && !manager.AddTempFont(nullptr, notAFont) && !manager.AddTempFont(L"Kova Resource Key", 9999u));
    ASSERT_EQ(nullptr, manager.FindTempFont(kKey));
    Gdiplus::FontFamily* fromFile = manager.AddTempFont(kKey, path);
    ASSERT_NE(nullptr, fromFile);
    EXPECT_EQ(kBravik, familyName(fromFile));
    EXPECT_EQ(fromFile, manager.FindTempFontOrFallback(kKey));
    EXPECT_GT(gdiplusInk(fromFile), 50);
    Gdiplus::FontFamily* fromResource = manager.AddTempFont(kKey, 106u);
    ASSERT_NE(nullptr, fromResource);
    EXPECT_EQ(kBravik, familyName(fromResource));
    EXPECT_EQ(fromResource, manager.FindTempFont(kKey));
    EXPECT_GT(gdiplusInk(fromResource), 50);
}

// The fallback answers the helper only: the unknown face itself stays unknown.
TEST_F(Caches, InstalledFamilyIsKeptUnknownFacesFallBackAndClearForgetsAll)
{
    Gdiplus::FontFamily* installed = manager.FindTempFont(L"DejaVu Sans");
    ASSERT_NE(nullptr, installed);
    EXPECT_TRUE(installed == manager.FindTempFont(L"DejaVu Sans") && !manager.FindTempFont(nullptr));
    Gdiplus::FontFamily* fallback = manager.FindTempFontOrFallback(kUnknownFace);
    ASSERT_NE(nullptr, fallback);
    EXPECT_GT(gdiplusInk(fallback), 50);
    EXPECT_TRUE(fallback == manager.FindTempFontOrFallback(nullptr) && !manager.FindTempFont(kUnknownFace));
    ASSERT_NE(nullptr, manager.AddTempFont(kKey, 106u));
    manager.ClearTempFont();
    EXPECT_EQ(nullptr, manager.FindTempFont(kKey));
    EXPECT_NE(nullptr, manager.FindTempFontOrFallback(kUnknownFace)) << "usable again after a clear";
}

// What the paint manager keeps of its GDI registrations, seen where Wine cannot show it.
TEST(FontCacheRegistrations, OnlyFontsAreKeptAndClearLetsEveryOneGo)
{
    const std::vector<BYTE> font = embeddedFont(), notAFont(256, 'x');
    const DWORD size = static_cast<DWORD>(font.size());
    FontCache cache;
    EXPECT_EQ((std::vector<bool> { true, true, false, false }),
              (std::vector<bool> { cache.registerWithGdi(font.data(), size), cache.registerWithGdi(font.data(), size),
                                   cache.registerWithGdi(notAFont.data(), 256), cache.registerWithGdi(nullptr, 100) }));
    EXPECT_EQ(2, cache.gdiRegistrationCount());
    cache.clear();
    EXPECT_EQ(0, cache.gdiRegistrationCount());
}

// ---- binding: the font folder and the embedded font

class BoundFonts : public Caches {
protected:
    // The font folder beside the executable is this program's alone.
    bool bindAndFind(const wchar_t* family)
    {
        manager.Init(window.hwnd(), nullptr);
        return manager.FindTempFont(family) != nullptr;
    }

    TestWindow window;
};

TEST_F(BoundFonts, InitLoadsTheFontFolderAndRegistersTheEmbeddedFont)
{
    file(GetExePath() + L"font\\", L"Alibaba-PuHuiTi-Regular.ttf");
    ASSERT_EQ(nullptr, manager.FindTempFont(L"Alibaba-PuHuiTi"));
    ASSERT_TRUE(bindAndFind(L"Alibaba-PuHuiTi"));
    EXPECT_EQ(kBravik, familyName(manager.FindTempFont(L"Alibaba-PuHuiTi")));
    EXPECT_EQ(nullptr, manager.FindTempFont(L"Alibaba-PuHuiTi-Medium"));
    EXPECT_EQ(kBravik, gdiFace(kBravik));
}

TEST_F(BoundFonts, DestroyDataEmptiesBothCaches)
{
    ScratchFile& medium = file(GetExePath() + L"font\\", L"Alibaba-PuHuiTi-Medium.ttf");
    ASSERT_TRUE(bindAndFind(L"Alibaba-PuHuiTi-Medium"));
    ASSERT_NE(nullptr, manager.AddImgResInfo(102, L"PNG", 4, 0));
    manager.DestroyData();
    // Nothing holds the font file any more: only a cached family could answer now.
    ASSERT_TRUE(medium.remove());
    EXPECT_EQ(nullptr, manager.FindTempFont(L"Alibaba-PuHuiTi-Medium"));
}
