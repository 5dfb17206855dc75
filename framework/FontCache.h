#pragma once
// The font half of a paint manager's caches, and the one place the library builds a GDI
// LOGFONT from a face name, and the one place that chooses a face for a text whose font lacks
// some of its characters.
//
// FontCache is the library's own (hosts reach fonts through PaintManager) and is not locked
// itself: the paint manager calls it under its font lock. Every special member is implicit
// and inline, because hosts construct and copy the exported PaintManager that holds one.
#include "platform/Win32.h"

#include <map>
#include <memory>
#include <type_traits>
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

// A font falls back to a face that has the text's characters where its own face lacks them:
// a face that is not installed gives a generic sans-serif family (or whatever face GDI maps
// it to), which has no CJK glyphs, so Chinese captions would come out as boxes. Neither GDI+
// nor this platform's GDI links fonts for us. What a face has is asked of GDI once per face and
// kept for the process; safe on any thread.

// The face to draw the text in instead of face: empty when face has every character of the
// text, when GDI does not know face (a private collection's own family), or when no other
// face has more of them. The usual CJK faces come first for a text with CJK characters, the
// usual sans-serif faces first for any other. length -1: up to the terminator.
CString FallbackFaceFor(const wchar_t* face, const wchar_t* text, int length = -1);

// GDI+: the font to draw a text with: font itself, or the same size, style and unit in the
// fallback face of the text. Lives for one drawing call.
class TextFont {
public:
    TextFont(const Gdiplus::Font* font, const wchar_t* text, int length = -1);
    TextFont(const TextFont&) = delete;
    TextFont& operator=(const TextFont&) = delete;

    const Gdiplus::Font* get() const { return m_standIn ? m_standIn.get() : m_font; }
    operator const Gdiplus::Font*() const { return get(); }

private:
    const Gdiplus::Font* m_font;
    std::unique_ptr<Gdiplus::Font> m_standIn;
};

// GDI: for a scope, the DC's font in the fallback face of the text, when the face GDI chose
// for the selected font lacks characters of it; the previous font comes back at the end.
class GdiTextFont {
public:
    GdiTextFont(HDC dc, const wchar_t* text, int length = -1);
    ~GdiTextFont();
    GdiTextFont(const GdiTextFont&) = delete;
    GdiTextFont& operator=(const GdiTextFont&) = delete;

private:
    struct FontDeleter {
        void operator()(HFONT font) const { DeleteObject(font); }
    };
    HDC m_dc;
    std::unique_ptr<std::remove_pointer_t<HFONT>, FontDeleter> m_standIn;
    HGDIOBJ m_previous { nullptr };
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
