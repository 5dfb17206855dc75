#include "framework/FontCache.h"

#include <algorithm>
#include <cwchar>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "framework/MRenderInternal.h"
#include "platform/CriticalSection.h"

namespace KOVA {

namespace {
std::unique_ptr<Gdiplus::FontFamily> usable(std::unique_ptr<Gdiplus::FontFamily> family)
{
    if (!family || !family->IsAvailable() || family->GetLastStatus() != Gdiplus::Ok)
        return nullptr;
    return family;
}

std::unique_ptr<Gdiplus::FontFamily> installedFamily(const wchar_t* name)
{
    return usable(std::make_unique<Gdiplus::FontFamily>(name));
}

// Where GDI+ has no generic sans-serif family (a Wine prefix without its own fonts), these
// are what a Linux desktop most likely has installed.
const wchar_t* const kFallbackFaces[] = { L"DejaVu Sans", L"Liberation Sans" };

// Faces a text falls back to, as Windows and Linux desktops name them. WenQuanYi Micro Hei and
// the CJK faces before it have Latin letters and the degree signs too; Droid Sans Fallback has
// only CJK.
const wchar_t* const kCjkFaces[] = { L"Microsoft YaHei", L"Microsoft YaHei UI", L"SimHei", L"SimSun",
                                     L"Noto Sans CJK SC", L"Source Han Sans SC", L"WenQuanYi Micro Hei",
                                     L"WenQuanYi Zen Hei", L"Droid Sans Fallback" };
const wchar_t* const kSansFaces[] = { L"Segoe UI", L"Tahoma", L"Arial", L"DejaVu Sans", L"Liberation Sans" };

// Whatever face a font falls back to has these, so a text of them alone is never looked at.
bool isPlainAscii(const std::wstring_view text)
{
    return std::all_of(text.begin(), text.end(), [](wchar_t c) { return c < 0x80; });
}

// Controls are not drawn and surrogate pairs lie beyond what GDI reports a face has.
bool needsGlyph(wchar_t c)
{
    return c >= 0x20 && (c < 0xD800 || c > 0xDFFF);
}

bool isCjk(wchar_t c)
{
    return (c >= 0x2E80 && c < 0xA000) || (c >= 0xAC00 && c < 0xD7B0) || (c >= 0xF900 && c < 0xFB00)
        || (c >= 0xFE30 && c < 0xFE50) || (c >= 0xFF00 && c < 0xFFF0);
}

std::wstring_view textView(const wchar_t* text, int length)
{
    if (!text)
        return {};
    return std::wstring_view(text, length < 0 ? std::wcslen(text) : static_cast<size_t>(length));
}

// The characters each face GDI knows has, asked once per face for the process.
class FaceCoverage {
public:
    static FaceCoverage& Shared()
    {
        static FaceCoverage coverage;
        return coverage;
    }

    // How many characters of the text the face lacks; nothing when GDI does not know the face.
    std::optional<int> missing(const std::wstring& face, std::wstring_view text)
    {
        ScopedLock lock(m_lock);
        auto known = m_faces.find(face);
        if (known == m_faces.end())
            known = m_faces.emplace(face, read(face.c_str())).first;
        if (!known->second)
            return std::nullopt;
        const std::vector<WCRANGE>& ranges = *known->second;
        return static_cast<int>(std::count_if(text.begin(), text.end(), [&](wchar_t c) {
            return needsGlyph(c) && !holds(ranges, c);
        }));
    }

private:
    static bool holds(const std::vector<WCRANGE>& ranges, wchar_t c)
    {
        auto after = std::upper_bound(ranges.begin(), ranges.end(), c,
                                      [](wchar_t value, const WCRANGE& range) { return value < range.wcLow; });
        return after != ranges.begin() && c < std::prev(after)->wcLow + std::prev(after)->cGlyphs;
    }

    static std::optional<std::vector<WCRANGE>> read(const wchar_t* face)
    {
        // GDI keeps the face it first mapped a description to: an unusual height keeps this
        // probe clear of the descriptions the library draws with.
        const LOGFONTW description = MakeLogFont(face, -61, 0);
        const detail::UniqueDC dc(CreateCompatibleDC(nullptr));
        const std::unique_ptr<std::remove_pointer_t<HFONT>, detail::GdiObjectDeleter> font(
            CreateFontIndirectW(&description));
        if (!dc || !font)
            return std::nullopt;
        const detail::ScopedSelection selection(dc.get(), font.get());
        wchar_t chosen[LF_FACESIZE] {};
        // A face GDI does not have is mapped to another: what that one has says nothing.
        if (!GetTextFaceW(dc.get(), LF_FACESIZE, chosen) || lstrcmpiW(chosen, description.lfFaceName) != 0)
            return std::nullopt;
        return rangesOf(dc.get());
    }

    static std::optional<std::vector<WCRANGE>> rangesOf(HDC dc)
    {
        const DWORD size = GetFontUnicodeRanges(dc, nullptr);
        if (size < sizeof(GLYPHSET))
            return std::nullopt;
        std::vector<BYTE> buffer(size);
        auto* set = reinterpret_cast<GLYPHSET*>(buffer.data());
        if (!GetFontUnicodeRanges(dc, set))
            return std::nullopt;
        return std::vector<WCRANGE>(set->ranges, set->ranges + set->cRanges);
    }

    CriticalSection m_lock;
    std::map<std::wstring, std::optional<std::vector<WCRANGE>>> m_faces;
};

CString fallbackFace(const std::wstring& face, std::wstring_view text)
{
    if (isPlainAscii(text))
        return CString();
    FaceCoverage& coverage = FaceCoverage::Shared();
    const std::optional<int> own = coverage.missing(face, text);
    if (!own || *own == 0)
        return CString();
    const bool cjk = std::any_of(text.begin(), text.end(), isCjk);
    std::vector<const wchar_t*> candidates;
    const auto append = [&](const auto& faces) {
        candidates.insert(candidates.end(), std::begin(faces), std::end(faces));
    };
    if (cjk) {
        append(kCjkFaces);
        append(kSansFaces);
    } else {
        append(kSansFaces);
        append(kCjkFaces);
    }
    // The first that has every character, else the first of those that lack the fewest.
    const wchar_t* best = nullptr;
    int fewest = *own;
    for (const wchar_t* candidate : candidates) {
        const std::optional<int> lacks = coverage.missing(candidate, text);
        if (lacks && *lacks < fewest) {
            best = candidate;
            fewest = *lacks;
            if (fewest == 0)
                break;
        }
    }
    return best ? CString(best) : CString();
}
} // namespace

Gdiplus::FontFamily* FontCache::addFile(const CString& name, const wchar_t* path)
{
    if (!path)
        return nullptr;
    Entry entry;
    entry.collection = std::make_unique<Gdiplus::PrivateFontCollection>();
    if (entry.collection->GetLastStatus() != Gdiplus::Ok || entry.collection->AddFontFile(path) != Gdiplus::Ok)
        return nullptr;
    return store(name, std::move(entry));
}

Gdiplus::FontFamily* FontCache::addMemory(const CString& name, const void* data, int size)
{
    if (!data || size <= 0)
        return nullptr;
    Entry entry;
    // GDI+ reads a memory font from the caller's buffer for as long as the collection lives.
    const auto* bytes = static_cast<const BYTE*>(data);
    entry.data.assign(bytes, bytes + size);
    entry.collection = std::make_unique<Gdiplus::PrivateFontCollection>();
    if (entry.collection->GetLastStatus() != Gdiplus::Ok
        || entry.collection->AddMemoryFont(entry.data.data(), size) != Gdiplus::Ok)
        return nullptr;
    return store(name, std::move(entry));
}

Gdiplus::FontFamily* FontCache::store(const CString& name, Entry entry)
{
    if (entry.collection->GetFamilyCount() < 1)
        return nullptr;
    auto family = std::make_unique<Gdiplus::FontFamily>();
    int found = 0;
    if (entry.collection->GetFamilies(1, family.get(), &found) != Gdiplus::Ok || found < 1)
        return nullptr;
    entry.family = usable(std::move(family));
    if (!entry.family)
        return nullptr;
    m_families.erase(name);
    return m_families.emplace(name, std::move(entry)).first->second.family.get();
}

Gdiplus::FontFamily* FontCache::find(const CString& name)
{
    auto cached = m_families.find(name);
    if (cached != m_families.end())
        return cached->second.family.get();
    if (name.IsEmpty())
        return nullptr;
    Entry entry;
    entry.family = installedFamily(name);
    if (!entry.family)
        return nullptr;
    return m_families.emplace(name, std::move(entry)).first->second.family.get();
}

Gdiplus::FontFamily* FontCache::findOrFallback(const CString& name)
{
    if (Gdiplus::FontFamily* family = find(name))
        return family;
    return fallback();
}

Gdiplus::FontFamily* FontCache::fallback()
{
    if (m_fallback)
        return m_fallback.get();
    if (const Gdiplus::FontFamily* generic = Gdiplus::FontFamily::GenericSansSerif())
        m_fallback = usable(std::unique_ptr<Gdiplus::FontFamily>(generic->Clone()));
    for (const wchar_t* face : kFallbackFaces) {
        if (m_fallback)
            break;
        m_fallback = installedFamily(face);
    }
    return m_fallback.get();
}

bool FontCache::registerWithGdi(const void* data, DWORD size)
{
    if (!data || size == 0)
        return false;
    DWORD fonts = 0;
    // GDI copies the data: the caller's buffer may go once this returns.
    GdiFontRegistration registration(AddFontMemResourceEx(const_cast<void*>(data), size, nullptr, &fonts));
    if (!registration)
        return false;
    m_gdiFonts.push_back(std::move(registration));
    return true;
}

void FontCache::clear()
{
    m_families.clear();
    m_fallback.reset();
    m_gdiFonts.clear();
}

// ---- the face a text is drawn in

CString FallbackFaceFor(const wchar_t* face, const wchar_t* text, int length)
{
    return fallbackFace(face ? face : L"", textView(text, length));
}

TextFont::TextFont(const Gdiplus::Font* font, const wchar_t* text, int length) : m_font(font)
{
    const std::wstring_view view = textView(text, length);
    if (!font || isPlainAscii(view))
        return;
    // A family of its own: GetFamily does not let go of one it filled before.
    Gdiplus::FontFamily family;
    wchar_t name[LF_FACESIZE] {};
    if (font->GetFamily(&family) != Gdiplus::Ok || family.GetFamilyName(name) != Gdiplus::Ok)
        return;
    const CString face = fallbackFace(name, view);
    if (face.IsEmpty())
        return;
    auto standIn = std::make_unique<Gdiplus::Font>(face, font->GetSize(), font->GetStyle(), font->GetUnit());
    if (standIn->GetLastStatus() == Gdiplus::Ok)
        m_standIn = std::move(standIn);
}

GdiTextFont::GdiTextFont(HDC dc, const wchar_t* text, int length) : m_dc(dc)
{
    const std::wstring_view view = textView(text, length);
    if (!dc || isPlainAscii(view))
        return;
    wchar_t chosen[LF_FACESIZE] {};
    LOGFONTW description {};
    const HGDIOBJ current = GetCurrentObject(dc, OBJ_FONT);
    if (!GetTextFaceW(dc, LF_FACESIZE, chosen) || !current || !GetObjectW(current, sizeof(description), &description))
        return;
    const CString face = fallbackFace(chosen, view);
    if (face.IsEmpty())
        return;
    SetLogFontFace(description, face);
    m_standIn.reset(CreateFontIndirectW(&description));
    if (m_standIn)
        m_previous = SelectObject(dc, m_standIn.get());
}

GdiTextFont::~GdiTextFont()
{
    if (m_previous)
        SelectObject(m_dc, m_previous);
}

void SetLogFontFace(LOGFONTW& font, const wchar_t* face)
{
    lstrcpynW(font.lfFaceName, face ? face : L"", LF_FACESIZE);
}

LOGFONTW MakeLogFont(const wchar_t* face, LONG height, int style)
{
    LOGFONTW font {};
    GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof(font), &font);
    SetLogFontFace(font, face);
    font.lfHeight = height;
    if (style & FontStyleBold)
        font.lfWeight += 700;
    font.lfItalic = (style & FontStyleItalic) ? TRUE : FALSE;
    font.lfUnderline = (style & FontStyleUnderline) ? TRUE : FALSE;
    font.lfCharSet = DEFAULT_CHARSET;
    return font;
}

} // namespace KOVA
