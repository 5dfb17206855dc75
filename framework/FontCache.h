#pragma once
// The font half of a paint manager's caches, and the one place the library builds a GDI
// LOGFONT from a face name.
//
// FontCache is the library's own (hosts reach fonts through PaintManager) and is not locked
// itself: the paint manager calls it under its font lock. Every special member is implicit
// and inline, because hosts construct and copy the exported PaintManager that holds one.
#include "platform/Win32.h"

#include <map>
#include <memory>
#include <vector>

#include "platform/CString.h"
#include "platform/KovaExport.h"

namespace KOVA {

// The family of the library's own font: embedded for the tips, in the font folder for the
// LCD screens, the name the skins write it under either way.
constexpr wchar_t kBrandFontFace[] = L"BRAVIK 1.2";

class FontCache {
public:
    // The first family of a font file, or of font data (copied), stored under the name.
    // A name stored again replaces the older family. Null when the font has no family.
    Gdiplus::FontFamily* addFile(const CString& name, const wchar_t* path);
    Gdiplus::FontFamily* addMemory(const CString& name, const void* data, int size);

    // A stored family, else the installed family of that name (then stored); null when
    // neither exists, and nothing is stored.
    Gdiplus::FontFamily* find(const CString& name);
    // find, else a generic sans-serif family that every face without its font shares.
    Gdiplus::FontFamily* findOrFallback(const CString& name);

    // Makes the font's families available to GDI in this process until clear().
    bool registerWithGdi(const void* data, DWORD size);
    int gdiRegistrationCount() const { return static_cast<int>(m_gdiFonts.size()); }

    // Deletes every family and collection and removes every GDI registration.
    void clear();

private:
    // A family taken from a private collection reads the collection's data: the members are
    // declared so that the family goes first, then its collection, then the font bytes.
    struct Entry {
        std::vector<BYTE> data;
        std::unique_ptr<Gdiplus::PrivateFontCollection> collection;
        std::unique_ptr<Gdiplus::FontFamily> family;
    };
    struct MemoryFontRemover {
        void operator()(HANDLE font) const { RemoveFontMemResourceEx(font); }
    };
    using GdiFontRegistration = std::unique_ptr<void, MemoryFontRemover>;

    Gdiplus::FontFamily* store(const CString& name, Entry entry);
    Gdiplus::FontFamily* fallback();

    std::map<CString, Entry> m_families;
    std::unique_ptr<Gdiplus::FontFamily> m_fallback;
    std::vector<GdiFontRegistration> m_gdiFonts;
};

// Style bits of the library's text fonts.
enum FontStyleBits { FontStyleBold = 1, FontStyleItalic = 2, FontStyleUnderline = 4 };

// Copies a face name into a LOGFONT's face field, cut to the field's 31 characters and
// always terminated (GDI reads an unterminated face past the field). Null gives "".
KOVA_API void SetLogFontFace(LOGFONTW& font, const wchar_t* face);

// The LOGFONT every GDI text font of the library starts from: the stock DEFAULT_GUI_FONT's,
// with the face, the height (negative: character height in pixels), DEFAULT_CHARSET, 700
// added to the weight for FontStyleBold, italic and underline from their bits.
KOVA_API LOGFONTW MakeLogFont(const wchar_t* face, LONG height, int style);

} // namespace KOVA
