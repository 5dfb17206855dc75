#pragma once
// The measures of short single-line texts in the fonts they were drawn in, kept until the text
// or the font changes: a caption whose measure is known is placed without asking GDI for the
// font's metrics and the string's extent, two calls that cost DrawText half as much as the
// drawing itself. Shared by every thread that draws text; its lock is taken last of all and no
// other call is made while it is held.
#include "platform/Win32.h"

#include <array>

#include "platform/CriticalSection.h"

namespace KOVA::detail {

class CaptionCache {
public:
    // The longest text kept; callers measure longer ones themselves.
    static constexpr int kLongest = 32;

    static CaptionCache& Shared();

    // GetTextExtentExPointW's extent of text (1 to kLongest characters) in the font selected
    // into dc: the kept one when the same font (handle and description) measured the same text
    // before. False when GDI cannot measure it.
    bool Measure(HDC dc, const wchar_t* text, int length, SIZE& extent);

private:
    struct Entry {
        HFONT font;
        LOGFONTW face;
        int length;
        wchar_t text[kLongest];
        SIZE extent;
    };
    // Four entries per set: two captions that share a set do not evict each other at every
    // paint, as they would in a table of one entry per hash.
    static constexpr int kSets = 256;
    static constexpr int kWays = 4;

    static bool holds(const Entry& entry, HFONT font, const LOGFONTW& face, const wchar_t* text, int length);
    static unsigned setOf(HFONT font, const wchar_t* text, int length);

    CriticalSection m_lock;
    std::array<Entry, kSets * kWays> m_entries {};
    std::array<unsigned char, kSets> m_nextWay {};
};

} // namespace KOVA::detail
