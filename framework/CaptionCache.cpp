#include "framework/CaptionCache.h"

#include <cstring>

namespace KOVA::detail {

CaptionCache& CaptionCache::Shared()
{
    static CaptionCache cache;
    return cache;
}

bool CaptionCache::Measure(HDC dc, const wchar_t* text, int length, SIZE& extent)
{
    // The description as well as the handle: a deleted font's handle may come back for another.
    HFONT font = static_cast<HFONT>(::GetCurrentObject(dc, OBJ_FONT));
    LOGFONTW face {};
    if (!font || !::GetObjectW(font, sizeof(face), &face))
        return false;
    const unsigned set = setOf(font, text, length);
    Entry* const ways = &m_entries[set * kWays];
    {
        ScopedLock lock(m_lock);
        for (int way = 0; way < kWays; ++way)
            if (holds(ways[way], font, face, text, length)) {
                extent = ways[way].extent;
                return true;
            }
    }
    if (!::GetTextExtentExPointW(dc, text, length, 0, nullptr, nullptr, &extent))
        return false;
    ScopedLock lock(m_lock);
    Entry& entry = ways[m_nextWay[set]];
    m_nextWay[set] = static_cast<unsigned char>((m_nextWay[set] + 1) % kWays);
    entry.font = font;
    entry.face = face;
    entry.length = length;
    memcpy(entry.text, text, length * sizeof(wchar_t));
    entry.extent = extent;
    return true;
}

bool CaptionCache::holds(const Entry& entry, HFONT font, const LOGFONTW& face, const wchar_t* text, int length)
{
    return entry.font == font && entry.length == length && memcmp(entry.text, text, length * sizeof(wchar_t)) == 0
        && memcmp(&entry.face, &face, sizeof(face)) == 0;
}

// FNV-1a over the font handle and the characters.
unsigned CaptionCache::setOf(HFONT font, const wchar_t* text, int length)
{
    unsigned hash = 2166136261u ^ static_cast<unsigned>(reinterpret_cast<UINT_PTR>(font));
    for (int i = 0; i < length; ++i)
        hash = (hash ^ text[i]) * 16777619u;
    return (hash ^ (hash >> 16)) % kSets;
}

} // namespace KOVA::detail
