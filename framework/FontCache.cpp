#include "framework/FontCache.h"

#include <utility>

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
