#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "GdiplusEnvironment.h"
#include "KOVA.h"
#include "TestWindow.h"
#include "framework/AppPaths.h"
#include "framework/FontCache.h"

using namespace KOVA;
using namespace KOVA::test;

namespace {

const auto* const gdiplus = ::testing::AddGlobalTestEnvironment(new GdiplusEnvironment);

const CLSID kPngEncoder = { 0x557cf406, 0x1a04, 0x11d3, { 0x9a, 0x73, 0x00, 0x00, 0xf8, 0x1e, 0xf3, 0x2e } };
const wchar_t* const kUnknownFace = L"Kova No Such Family 7";
const std::wstring kBravik = L"BRAVIK 1.2";
const char* const kNoRemoval = "RemoveFontMemResourceEx does not remove fonts here (a stub under Wine)";

std::vector<BYTE> resourceBytes(UINT id, const wchar_t* type)
{
    HMODULE module = GetModuleHandleW(nullptr);
    HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(id), type);
    HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
    const auto* data = static_cast<const BYTE*>(loaded ? LockResource(loaded) : nullptr);
    if (!data)
        return {};
    return std::vector<BYTE>(data, data + SizeofResource(module, found));
}

std::vector<BYTE> embeddedFont()
{
    return resourceBytes(106, L"ttf");
}

// Files and folders a test makes beside the test program (where the library looks for its
// skins and fonts), removed again in reverse order. Folders that were there stay.
class ScratchFiles {
public:
    ScratchFiles() = default;
    ScratchFiles(const ScratchFiles&) = delete;
    ScratchFiles& operator=(const ScratchFiles&) = delete;
    ~ScratchFiles()
    {
        for (auto made = m_made.rbegin(); made != m_made.rend(); ++made)
            made->second ? RemoveDirectoryW(made->first) : DeleteFileW(made->first);
    }

    void folder(const CString& path)
    {
        if (CreateDirectoryW(path, nullptr))
            m_made.emplace_back(path, true);
    }

    void bytes(const CString& path, const std::vector<BYTE>& data)
    {
        HANDLE file = CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(INVALID_HANDLE_VALUE, file);
        DWORD written = 0;
        WriteFile(file, data.data(), static_cast<DWORD>(data.size()), &written, nullptr);
        CloseHandle(file);
        ASSERT_EQ(data.size(), written);
        m_made.emplace_back(path, false);
    }

    void png(const CString& path, int width, int height)
    {
        Gdiplus::Bitmap image(width, height, PixelFormat32bppARGB);
        Gdiplus::Graphics(&image).Clear(Gdiplus::Color(255, 90, 30, 200));
        ASSERT_EQ(Gdiplus::Ok, image.Save(path, &kPngEncoder, nullptr));
        m_made.emplace_back(path, false);
    }

    // Deletes a file now (the caches no longer hold it).
    void remove(const CString& path) { ASSERT_TRUE(DeleteFileW(path)); }

private:
    std::vector<std::pair<CString, bool>> m_made;
};

std::wstring familyName(const Gdiplus::FontFamily* family)
{
    WCHAR name[LF_FACESIZE] {};
    family->GetFamilyName(name);
    return name;
}

// Dark pixels after drawing a word in black on white with the family: 0 when nothing shows.
int gdiplusInk(const Gdiplus::FontFamily* family)
{
    Gdiplus::Bitmap canvas(160, 48, PixelFormat32bppARGB);
    Gdiplus::Graphics graphics(&canvas);
    graphics.Clear(Gdiplus::Color(255, 255, 255, 255));
    Gdiplus::Font font(family, 28, Gdiplus::FontStyleRegular, Gdiplus::UnitPixel);
    if (font.GetLastStatus() != Gdiplus::Ok)
        return 0;
    Gdiplus::SolidBrush black(Gdiplus::Color(255, 0, 0, 0));
    graphics.DrawString(L"BRAVIK", -1, &font, Gdiplus::PointF(2, 2), &black);
    int ink = 0;
    for (UINT y = 0; y < canvas.GetHeight(); ++y) {
        for (UINT x = 0; x < canvas.GetWidth(); ++x) {
            Gdiplus::Color pixel;
            canvas.GetPixel(x, y, &pixel);
            ink += pixel.GetR() < 128;
        }
    }
    return ink;
}

// A GDI font of the face selected into a memory DC, for what GDI makes of the face.
class GdiText {
public:
    explicit GdiText(const wchar_t* face)
    {
        const LOGFONTW logFont = MakeLogFont(face, -24, 0);
        m_font = CreateFontIndirectW(&logFont);
        m_dc = CreateCompatibleDC(nullptr);
        m_previous = SelectObject(m_dc, m_font);
    }
    ~GdiText()
    {
        SelectObject(m_dc, m_previous);
        DeleteDC(m_dc);
        DeleteObject(m_font);
    }
    GdiText(const GdiText&) = delete;
    GdiText& operator=(const GdiText&) = delete;

    // The face GDI actually chose: the requested one only when it is registered.
    std::wstring face() const
    {
        wchar_t name[LF_FACESIZE] {};
        GetTextFaceW(m_dc, LF_FACESIZE, name);
        return name;
    }

private:
    HFONT m_font { nullptr };
    HDC m_dc { nullptr };
    HGDIOBJ m_previous { nullptr };
};

// Whether a font removed from GDI is gone: under Wine a registered font stays for the whole
// process, so what the library removes cannot be seen there. Once asked, the process's GDI
// may know the embedded font for good.
bool gdiRemovesMemoryFonts()
{
    static const bool removes = [] {
        std::vector<BYTE> font = embeddedFont();
        DWORD count = 0;
        HANDLE handle = AddFontMemResourceEx(font.data(), static_cast<DWORD>(font.size()), nullptr, &count);
        if (!handle)
            return false;
        RemoveFontMemResourceEx(handle);
        return GdiText(kBravik.c_str()).face() != kBravik;
    }();
    return removes;
}

// ---- image cache

class ImageCache : public ::testing::Test {
protected:
    // A PNG of one colour in the skin folder; returns the skin-relative name.
    CString skinImage(const wchar_t* name, int width, int height)
    {
        files.folder(GetExePath() + L"skins");
        files.folder(GetSkinPath());
        files.png(GetSkinPath() + name, width, height);
        return name;
    }

    ScratchFiles files;
    PaintManager manager;
};

TEST_F(ImageCache, SamePathTwiceGivesTheRecordOfTheFirstLoad)
{
    const CString name = skinImage(L"cache_test_same.png", 400, 30);
    ImgResInfo* first = manager.AddImgResInfo(name, 4);
    ASSERT_NE(nullptr, first);
    Gdiplus::Image* image = first->m_pImage;

    ImgResInfo* second = manager.AddImgResInfo(name, 3);
    EXPECT_EQ(first, second);
    EXPECT_EQ(image, second->m_pImage);
    EXPECT_EQ(4, second->m_nFrameCount);
    EXPECT_EQ(100, second->m_nWidth);
}

TEST_F(ImageCache, RecordHoldsFrameWidthHeightCountAndKey)
{
    const CString four = skinImage(L"cache_test_four.png", 400, 30);
    const CString three = skinImage(L"cache_test_three.png", 400, 30);

    ImgResInfo* byFour = manager.AddImgResInfo(four, 4);
    ASSERT_NE(nullptr, byFour);
    EXPECT_EQ(100, byFour->m_nWidth);
    EXPECT_EQ(30, byFour->m_nHeight);
    EXPECT_EQ(4, byFour->m_nFrameCount);
    EXPECT_EQ(four, byFour->m_strPath);
    EXPECT_EQ(0u, byFour->m_uResID);

    ImgResInfo* byThree = manager.AddImgResInfo(three, 3);
    ASSERT_NE(nullptr, byThree);
    EXPECT_EQ(133, byThree->m_nWidth);
}

TEST_F(ImageCache, FrameCountBelowOneFailsAndCachesNothing)
{
    const CString name = skinImage(L"cache_test_zero.png", 400, 30);
    EXPECT_EQ(nullptr, manager.AddImgResInfo(name, 0));
    EXPECT_EQ(nullptr, manager.AddImgResInfo(name, -2));
    EXPECT_EQ(nullptr, manager.AddImgResInfo(101, L"PNG", 0, 0));

    // Had the failed calls cached a record, this would return it with their count.
    ImgResInfo* record = manager.AddImgResInfo(name, 2);
    ASSERT_NE(nullptr, record);
    EXPECT_EQ(2, record->m_nFrameCount);
    EXPECT_EQ(200, record->m_nWidth);
}

TEST_F(ImageCache, PathKeyIsExact)
{
    const CString name = skinImage(L"cache_test_case.png", 40, 10);
    ImgResInfo* lower = manager.AddImgResInfo(name, 1);
    ImgResInfo* upper = manager.AddImgResInfo(L"CACHE_TEST_CASE.png", 2);
    ASSERT_NE(nullptr, lower);
    ASSERT_NE(nullptr, upper);
    EXPECT_NE(lower, upper);
    EXPECT_EQ(20, upper->m_nWidth);
}

TEST_F(ImageCache, MissingFileCachesNothingSoALaterCallLoadsIt)
{
    EXPECT_EQ(nullptr, manager.AddImgResInfo(L"cache_test_late.png", 1));
    skinImage(L"cache_test_late.png", 40, 10);
    ImgResInfo* record = manager.AddImgResInfo(L"cache_test_late.png", 1);
    ASSERT_NE(nullptr, record);
    EXPECT_EQ(40, record->m_nWidth);
}

TEST_F(ImageCache, HostAndLibraryResourcesAreSeparateCaches)
{
    // Linked statically, host module and library module are both this program.
    Manager::SetInstance(GetModuleHandleW(nullptr));
    ImgResInfo* host = manager.AddImgResInfo(101, L"PNG", 4, 1);
    ImgResInfo* library = manager.AddImgResInfo(101, L"PNG", 2, 0);
    ASSERT_NE(nullptr, host);
    ASSERT_NE(nullptr, library);
    EXPECT_NE(host, library);
    EXPECT_EQ(4, host->m_nFrameCount);
    EXPECT_EQ(2, library->m_nFrameCount);
    EXPECT_EQ(host, manager.AddImgResInfo(101, L"PNG", 4, 1));
    EXPECT_EQ(library, manager.AddImgResInfo(101, L"PNG", 4, 0));
}

TEST_F(ImageCache, UnknownOrUndecodableResourceFails)
{
    EXPECT_EQ(nullptr, manager.AddImgResInfo(9999, L"PNG", 1, 0));
    EXPECT_EQ(nullptr, manager.AddImgResInfo(106, L"PNG", 1, 0));
    EXPECT_EQ(nullptr, manager.AddImgResInfo(106, L"ttf", 1, 0));
}

TEST_F(ImageCache, ClearForgetsEveryRecord)
{
    const CString name = skinImage(L"cache_test_clear.png", 40, 10);
    ASSERT_NE(nullptr, manager.AddImgResInfo(name, 1));
    ASSERT_NE(nullptr, manager.AddImgResInfo(101, L"PNG", 4, 0));
    manager.ClearImgResInfo();

    // With the image released the file can go; only a cached record could answer now.
    files.remove(GetSkinPath() + name);
    EXPECT_EQ(nullptr, manager.AddImgResInfo(name, 1));
    EXPECT_NE(nullptr, manager.AddImgResInfo(101, L"PNG", 4, 0));
}

// ---- the library's scroll-bar strips

struct Strip {
    UINT id;
    UINT width;
    UINT height;
};

class ScrollStrip : public ::testing::TestWithParam<Strip> {
protected:
    PaintManager manager;
};

TEST_P(ScrollStrip, LoadsFromTheLibraryModuleAsFourFrames)
{
    const Strip strip = GetParam();
    ImgResInfo* record = manager.AddImgResInfo(strip.id, L"PNG", 4, 0);
    ASSERT_NE(nullptr, record);
    EXPECT_EQ(strip.width, record->m_pImage->GetWidth());
    EXPECT_EQ(strip.height, record->m_pImage->GetHeight());
    EXPECT_EQ(static_cast<int>(strip.width / 4), record->m_nWidth);
    EXPECT_EQ(static_cast<int>(strip.height), record->m_nHeight);
    EXPECT_EQ(4, record->m_nFrameCount);
    EXPECT_EQ(strip.id, record->m_uResID);
    EXPECT_TRUE(record->m_strPath.IsEmpty());
}

// The bars read the vertical strip in thirds of its width (track, hover, rest) and the
// horizontal one in quarters of its height, the thumb in the left third: every piece they
// read must have something in its middle and nothing in its corner.
TEST_P(ScrollStrip, EveryPieceTheBarsReadHoldsAThumb)
{
    const Strip strip = GetParam();
    ImgResInfo* record = manager.AddImgResInfo(strip.id, L"PNG", 4, 0);
    ASSERT_NE(nullptr, record);
    Gdiplus::Bitmap image(strip.width, strip.height, PixelFormat32bppARGB);
    {
        Gdiplus::Graphics graphics(&image);
        graphics.SetCompositingMode(Gdiplus::CompositingModeSourceCopy);
        graphics.DrawImage(record->m_pImage, 0, 0, strip.width, strip.height);
    }
    const bool vertical = strip.id == 102;
    const int pieces = vertical ? 3 : 4;
    const int pieceWidth = static_cast<int>(strip.width) / 3;
    const int pieceHeight = vertical ? static_cast<int>(strip.height) : static_cast<int>(strip.height) / 4;
    for (int piece = 0; piece < pieces; ++piece) {
        const int left = vertical ? piece * pieceWidth : 0;
        const int top = vertical ? 0 : piece * pieceHeight;
        Gdiplus::Color middle;
        Gdiplus::Color corner;
        image.GetPixel(left + pieceWidth / 2, top + pieceHeight / 2, &middle);
        image.GetPixel(left, top, &corner);
        EXPECT_GT(middle.GetA(), 150) << "piece " << piece;
        EXPECT_EQ(0, corner.GetA()) << "piece " << piece;
    }
}

INSTANTIATE_TEST_SUITE_P(Library, ScrollStrip,
                         ::testing::Values(Strip { 101, 144, 48 }, Strip { 102, 36, 48 }),
                         [](const auto& info) { return info.param.id == 101 ? "Horizontal" : "Vertical"; });

// ---- font cache

class FontCacheTest : public ::testing::Test {
protected:
    CString fontFile(const CString& path)
    {
        files.bytes(path, embeddedFont());
        return path;
    }
    CString tempFontFile()
    {
        wchar_t folder[MAX_PATH] {};
        GetTempPathW(MAX_PATH, folder);
        return fontFile(CString(folder) + L"kova_cache_test.ttf");
    }

    ScratchFiles files;
    PaintManager manager;
};

TEST_F(FontCacheTest, FontFileIsFoundUnderTheGivenName)
{
    const CString path = tempFontFile();
    ASSERT_EQ(nullptr, manager.FindTempFont(L"Kova Test Key"));

    Gdiplus::FontFamily* added = manager.AddTempFont(L"Kova Test Key", path);
    ASSERT_NE(nullptr, added);
    EXPECT_EQ(kBravik, familyName(added));
    EXPECT_EQ(added, manager.FindTempFont(L"Kova Test Key"));
}

TEST_F(FontCacheTest, FamilyFromAFileStillDrawsAfterTheCall)
{
    Gdiplus::FontFamily* family = manager.AddTempFont(L"Kova Test Key", tempFontFile());
    ASSERT_NE(nullptr, family);
    EXPECT_GT(gdiplusInk(family), 50);
}

TEST_F(FontCacheTest, EmbeddedFontResourceIsAFamilyToo)
{
    Gdiplus::FontFamily* family = manager.AddTempFont(L"Kova Resource Key", 106u);
    ASSERT_NE(nullptr, family);
    EXPECT_EQ(kBravik, familyName(family));
    EXPECT_GT(gdiplusInk(family), 50);
    EXPECT_EQ(nullptr, manager.AddTempFont(L"Kova Resource Key 2", 9999u));
}

TEST_F(FontCacheTest, NameAddedAgainGivesTheNewerFamily)
{
    Gdiplus::FontFamily* older = manager.AddTempFont(L"Kova Test Key", tempFontFile());
    Gdiplus::FontFamily* newer = manager.AddTempFont(L"Kova Test Key", 106u);
    ASSERT_NE(nullptr, older);
    ASSERT_NE(nullptr, newer);
    EXPECT_EQ(newer, manager.FindTempFont(L"Kova Test Key"));
    EXPECT_GT(gdiplusInk(newer), 50);
}

TEST_F(FontCacheTest, WhatIsNotAFontGivesNothing)
{
    wchar_t folder[MAX_PATH] {};
    GetTempPathW(MAX_PATH, folder);
    const CString notAFont = CString(folder) + L"kova_cache_test.txt";
    files.bytes(notAFont, std::vector<BYTE>(64, 'x'));

    EXPECT_EQ(nullptr, manager.AddTempFont(L"Kova Test Key", notAFont));
    EXPECT_EQ(nullptr, manager.AddTempFont(L"Kova Test Key", CString(folder) + L"kova_missing.ttf"));
    EXPECT_EQ(nullptr, manager.AddTempFont(nullptr, notAFont));
    EXPECT_EQ(nullptr, manager.FindTempFont(L"Kova Test Key"));
}

TEST_F(FontCacheTest, InstalledFamilyIsCreatedOnce)
{
    Gdiplus::FontFamily* first = manager.FindTempFont(L"DejaVu Sans");
    ASSERT_NE(nullptr, first);
    EXPECT_EQ(first, manager.FindTempFont(L"DejaVu Sans"));
}

TEST_F(FontCacheTest, UnknownFaceIsNotFoundAndNotCached)
{
    EXPECT_EQ(nullptr, manager.FindTempFont(kUnknownFace));
    EXPECT_EQ(nullptr, manager.FindTempFont(kUnknownFace));
    EXPECT_EQ(nullptr, manager.FindTempFont(nullptr));
}

TEST_F(FontCacheTest, FallbackDrawsTextForAnUnknownFace)
{
    Gdiplus::FontFamily* family = manager.FindTempFontOrFallback(kUnknownFace);
    ASSERT_NE(nullptr, family);
    EXPECT_GT(gdiplusInk(family), 50);
    EXPECT_EQ(family, manager.FindTempFontOrFallback(nullptr));
    // The fallback answers the helper only: the face itself stays unknown.
    EXPECT_EQ(nullptr, manager.FindTempFont(kUnknownFace));
}

TEST_F(FontCacheTest, FallbackHelperPrefersTheRealFamily)
{
    Gdiplus::FontFamily* added = manager.AddTempFont(L"Kova Test Key", tempFontFile());
    ASSERT_NE(nullptr, added);
    EXPECT_EQ(added, manager.FindTempFontOrFallback(L"Kova Test Key"));
}

TEST_F(FontCacheTest, ClearForgetsEveryFamily)
{
    ASSERT_NE(nullptr, manager.AddTempFont(L"Kova Test Key", tempFontFile()));
    ASSERT_NE(nullptr, manager.FindTempFontOrFallback(kUnknownFace));
    manager.ClearTempFont();
    EXPECT_EQ(nullptr, manager.FindTempFont(L"Kova Test Key"));
    // Usable again after a clear.
    EXPECT_NE(nullptr, manager.FindTempFontOrFallback(kUnknownFace));
}

// First of the tests that register the embedded font with GDI: before it nothing has.
TEST_F(FontCacheTest, EmbeddedFontServesGdi)
{
    manager.AddGDITempFont(106);
    EXPECT_EQ(kBravik, GdiText(L"BRAVIK 1.2").face());
}

TEST_F(FontCacheTest, ClearTempFontRemovesTheGdiRegistration)
{
    if (!gdiRemovesMemoryFonts())
        GTEST_SKIP() << kNoRemoval;
    ASSERT_NE(kBravik, GdiText(L"BRAVIK 1.2").face());
    manager.AddGDITempFont(106);
    ASSERT_EQ(kBravik, GdiText(L"BRAVIK 1.2").face());
    manager.ClearTempFont();
    EXPECT_NE(kBravik, GdiText(L"BRAVIK 1.2").face());
}

TEST_F(FontCacheTest, MissingFontResourceRegistersNothing)
{
    if (!gdiRemovesMemoryFonts())
        GTEST_SKIP() << kNoRemoval;
    manager.AddGDITempFont(9999);
    manager.AddGDITempFont(101);
    EXPECT_NE(kBravik, GdiText(L"BRAVIK 1.2").face());
}

// What the paint manager keeps of its GDI registrations, seen where Wine cannot show it.
TEST(FontCacheRegistrations, OnlyFontsAreKeptAndClearLetsEveryOneGo)
{
    const std::vector<BYTE> font = embeddedFont();
    const std::vector<BYTE> notAFont(256, 'x');
    FontCache cache;
    EXPECT_TRUE(cache.registerWithGdi(font.data(), static_cast<DWORD>(font.size())));
    EXPECT_TRUE(cache.registerWithGdi(font.data(), static_cast<DWORD>(font.size())));
    EXPECT_FALSE(cache.registerWithGdi(notAFont.data(), static_cast<DWORD>(notAFont.size())));
    EXPECT_FALSE(cache.registerWithGdi(nullptr, 100));
    EXPECT_EQ(2, cache.gdiRegistrationCount());
    cache.clear();
    EXPECT_EQ(0, cache.gdiRegistrationCount());
}

// ---- binding: the font folder and the embedded font

class BoundFonts : public ::testing::Test {
protected:
    ScratchFiles files;
    TestWindow window;
    PaintManager manager;
};

TEST_F(BoundFonts, InitLoadsTheFontFolderAndRegistersTheEmbeddedFont)
{
    files.folder(GetExePath() + L"font");
    files.bytes(GetExePath() + L"font\\Alibaba-PuHuiTi-Regular.ttf", embeddedFont());
    ASSERT_EQ(nullptr, manager.FindTempFont(L"Alibaba-PuHuiTi"));

    manager.Init(window.hwnd(), nullptr);

    Gdiplus::FontFamily* regular = manager.FindTempFont(L"Alibaba-PuHuiTi");
    ASSERT_NE(nullptr, regular);
    EXPECT_EQ(kBravik, familyName(regular));
    EXPECT_EQ(nullptr, manager.FindTempFont(L"Alibaba-PuHuiTi-Medium"));
    EXPECT_EQ(kBravik, GdiText(L"BRAVIK 1.2").face());
}

TEST_F(BoundFonts, DestroyDataEmptiesBothCaches)
{
    files.folder(GetExePath() + L"font");
    files.bytes(GetExePath() + L"font\\Alibaba-PuHuiTi-Medium.ttf", embeddedFont());
    manager.Init(window.hwnd(), nullptr);
    ASSERT_NE(nullptr, manager.FindTempFont(L"Alibaba-PuHuiTi-Medium"));
    ImgResInfo* strip = manager.AddImgResInfo(102, L"PNG", 4, 0);
    ASSERT_NE(nullptr, strip);

    manager.DestroyData();

    if (gdiRemovesMemoryFonts()) {
        EXPECT_NE(kBravik, GdiText(L"BRAVIK 1.2").face());
    }
    // The font file is no longer held: only a cached family could answer.
    files.remove(GetExePath() + L"font\\Alibaba-PuHuiTi-Medium.ttf");
    EXPECT_EQ(nullptr, manager.FindTempFont(L"Alibaba-PuHuiTi-Medium"));
}

// ---- LOGFONT

TEST(LogFont, LongFaceNameIsCutAndTerminated)
{
    const std::wstring face(40, L'F');
    LOGFONTW font;
    memset(&font, 0x55, sizeof(font));
    SetLogFontFace(font, face.c_str());
    EXPECT_EQ(31u, wcslen(font.lfFaceName));
    EXPECT_EQ(std::wstring(31, L'F'), std::wstring(font.lfFaceName));

    const LOGFONTW made = MakeLogFont(face.c_str(), -12, 0);
    EXPECT_EQ(L'\0', made.lfFaceName[LF_FACESIZE - 1]);
    EXPECT_EQ(31u, wcslen(made.lfFaceName));

    SetLogFontFace(font, nullptr);
    EXPECT_EQ(L'\0', font.lfFaceName[0]);
}

TEST(LogFont, StartsFromTheStockFontWithHeightStyleAndCharset)
{
    LOGFONTW stock {};
    GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof(stock), &stock);

    const LOGFONTW plain = MakeLogFont(L"BRAVIK 1.2", -18, 0);
    EXPECT_EQ(-18, plain.lfHeight);
    EXPECT_EQ(stock.lfWeight, plain.lfWeight);
    EXPECT_FALSE(plain.lfItalic);
    EXPECT_FALSE(plain.lfUnderline);
    EXPECT_EQ(DEFAULT_CHARSET, plain.lfCharSet);
    EXPECT_EQ(std::wstring(L"BRAVIK 1.2"), plain.lfFaceName);

    const LOGFONTW styled = MakeLogFont(L"BRAVIK 1.2", -18, FontStyleBold | FontStyleItalic | FontStyleUnderline);
    EXPECT_EQ(stock.lfWeight + 700, styled.lfWeight);
    EXPECT_TRUE(styled.lfItalic);
    EXPECT_TRUE(styled.lfUnderline);
}

} // namespace
