#include "platform/CString.h"

#include <algorithm>
#include <cwchar>
#include <cwctype>

namespace {

// Brings an int argument into [0, limit]; the public calls take ints that may be anything.
int clampTo(int value, int limit)
{
    return std::min(std::max(value, 0), limit);
}

int positionOrNone(std::wstring::size_type position)
{
    return position == std::wstring::npos ? -1 : static_cast<int>(position);
}

const wchar_t* orEmpty(const wchar_t* text)
{
    return text ? text : L"";
}

// Reads no further than `limit` characters, even when no NUL comes before that.
std::wstring::size_type lengthWithin(const wchar_t* text, std::wstring::size_type limit)
{
    const wchar_t* nul = std::char_traits<wchar_t>::find(text, limit, L'\0');
    return nul ? nul - text : limit;
}

std::wstring fromAnsi(const char* text)
{
    if (!text || !*text)
        return {};
    const int size = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
    if (size <= 1)
        return {};
    std::wstring wide(size, L'\0');
    MultiByteToWideChar(CP_ACP, 0, text, -1, &wide[0], size);
    wide.resize(size - 1);
    return wide;
}

// The underscore-named printf functions stay the Microsoft runtime's even when MinGW's C99
// printf replaces the standard names, and only they read %s in a wide format as a wide string.
// Measuring first means no output is ever cut short, whatever its length.
std::wstring formatted(const wchar_t* format, va_list args)
{
    if (!format)
        return {};
    va_list measuring;
    va_copy(measuring, args);
    const int length = _vscwprintf(format, measuring);
    va_end(measuring);
    if (length <= 0)
        return {};
    std::wstring text(length + 1, L'\0');
    const int written = _vsnwprintf(&text[0], text.size(), format, args);
    text.resize(clampTo(written, length));
    return text;
}

bool isSpace(wchar_t ch)
{
    return std::iswspace(ch) != 0;
}

auto isChar(wchar_t target)
{
    return [target](wchar_t ch) { return ch == target; };
}

auto isAnyOf(const wchar_t* targets)
{
    return [targets](wchar_t ch) { return ch != L'\0' && targets && std::wcschr(targets, ch); };
}

template <typename Strip>
void stripFront(std::wstring& text, Strip strip)
{
    text.erase(text.begin(), std::find_if_not(text.begin(), text.end(), strip));
}

template <typename Strip>
void stripBack(std::wstring& text, Strip strip)
{
    text.erase(std::find_if_not(text.rbegin(), text.rend(), strip).base(), text.end());
}

} // namespace

CString::CString(const wchar_t* text) : m_text(orEmpty(text)) {}

CString::CString(const char* ansiText) : m_text(fromAnsi(ansiText)) {}

CString::CString(const wchar_t* text, int length)
    : m_text(orEmpty(text), text ? lengthWithin(text, std::max(length, 0)) : 0)
{
}

CString::CString(wchar_t ch, int repeat) : m_text(std::max(repeat, 0), ch) {}

wchar_t CString::GetAt(int index) const
{
    return index >= 0 && index < GetLength() ? m_text[index] : L'\0';
}

void CString::SetAt(int index, wchar_t ch)
{
    if (index >= 0 && index < GetLength())
        m_text[index] = ch;
}

wchar_t* CString::GetBuffer()
{
    return &m_text[0];
}

wchar_t* CString::GetBuffer(int minLength)
{
    if (minLength > GetLength())
        m_text.resize(minLength);
    return &m_text[0];
}

wchar_t* CString::GetBufferSetLength(int length)
{
    m_text.resize(std::max(length, 0));
    return &m_text[0];
}

void CString::ReleaseBuffer(int newLength)
{
    if (newLength < 0)
        m_text.resize(lengthWithin(m_text.c_str(), m_text.size()));
    else
        m_text.resize(clampTo(newLength, GetLength()));
}

void CString::FormatV(const wchar_t* format, va_list args)
{
    m_text = formatted(format, args);
}

void CString::AppendFormatV(const wchar_t* format, va_list args)
{
    m_text += formatted(format, args);
}

void CString::FormatArguments(const wchar_t* format, ...)
{
    va_list args;
    va_start(args, format);
    FormatV(format, args);
    va_end(args);
}

void CString::AppendFormatArguments(const wchar_t* format, ...)
{
    va_list args;
    va_start(args, format);
    AppendFormatV(format, args);
    va_end(args);
}

int CString::Find(wchar_t ch, int start) const
{
    if (start < 0)
        return -1;
    return positionOrNone(m_text.find(ch, start));
}

int CString::Find(const wchar_t* text, int start) const
{
    if (!text || start < 0 || start > GetLength())
        return -1;
    return positionOrNone(m_text.find(text, start));
}

int CString::ReverseFind(wchar_t ch) const
{
    return positionOrNone(m_text.rfind(ch));
}

CString CString::Mid(int first) const
{
    return Mid(first, GetLength());
}

CString CString::Mid(int first, int count) const
{
    const int from = clampTo(first, GetLength());
    return CString(m_text.substr(from, clampTo(count, GetLength() - from)));
}

CString CString::Left(int count) const
{
    return Mid(0, count);
}

CString CString::Right(int count) const
{
    return Mid(GetLength() - clampTo(count, GetLength()));
}

CString CString::Tokenize(const wchar_t* delimiters, int& start) const
{
    const std::wstring stops(orEmpty(delimiters));
    const auto first = start < 0 ? std::wstring::npos : m_text.find_first_not_of(stops, start);
    if (first == std::wstring::npos) {
        start = -1;
        return CString();
    }
    // With no delimiters the rest is one token, and the next call ends the walk.
    const auto end = std::min(m_text.find_first_of(stops, first), m_text.size());
    start = static_cast<int>(end) + 1;
    return CString(m_text.substr(first, end - first));
}

int CString::Replace(wchar_t oldChar, wchar_t newChar)
{
    const auto count = std::count(m_text.begin(), m_text.end(), oldChar);
    std::replace(m_text.begin(), m_text.end(), oldChar, newChar);
    return static_cast<int>(count);
}

int CString::Replace(const wchar_t* oldText, const wchar_t* newText)
{
    // Copied first: either argument may point into this very string.
    const std::wstring from(orEmpty(oldText));
    const std::wstring to(orEmpty(newText));
    if (from.empty())
        return 0;
    std::wstring result;
    int count = 0;
    std::wstring::size_type done = 0;
    for (auto hit = m_text.find(from); hit != std::wstring::npos; hit = m_text.find(from, done)) {
        result.append(m_text, done, hit - done).append(to);
        done = hit + from.size();
        ++count;
    }
    result.append(m_text, done, std::wstring::npos);
    m_text.swap(result);
    return count;
}

int CString::Remove(wchar_t ch)
{
    const auto kept = std::remove(m_text.begin(), m_text.end(), ch);
    const auto count = m_text.end() - kept;
    m_text.erase(kept, m_text.end());
    return static_cast<int>(count);
}

int CString::Insert(int index, wchar_t ch)
{
    m_text.insert(m_text.begin() + clampTo(index, GetLength()), ch);
    return GetLength();
}

int CString::Insert(int index, const wchar_t* text)
{
    const std::wstring inserted(orEmpty(text));
    m_text.insert(clampTo(index, GetLength()), inserted);
    return GetLength();
}

int CString::Delete(int index, int count)
{
    const int from = clampTo(index, GetLength());
    m_text.erase(from, clampTo(count, GetLength() - from));
    return GetLength();
}

// The user32 case mappings cover all of Unicode; the C runtime's cover ASCII alone in the
// default locale, which would leave accented and Cyrillic names unchanged.
CString& CString::MakeLower()
{
    if (!m_text.empty())
        CharLowerBuffW(&m_text[0], static_cast<DWORD>(m_text.size()));
    return *this;
}

CString& CString::MakeUpper()
{
    if (!m_text.empty())
        CharUpperBuffW(&m_text[0], static_cast<DWORD>(m_text.size()));
    return *this;
}

CString& CString::Trim()
{
    return TrimRight().TrimLeft();
}

CString& CString::Trim(wchar_t target)
{
    return TrimRight(target).TrimLeft(target);
}

CString& CString::Trim(const wchar_t* targets)
{
    return TrimRight(targets).TrimLeft(targets);
}

CString& CString::TrimLeft()
{
    stripFront(m_text, isSpace);
    return *this;
}

CString& CString::TrimLeft(wchar_t target)
{
    stripFront(m_text, isChar(target));
    return *this;
}

CString& CString::TrimLeft(const wchar_t* targets)
{
    stripFront(m_text, isAnyOf(targets));
    return *this;
}

CString& CString::TrimRight()
{
    stripBack(m_text, isSpace);
    return *this;
}

CString& CString::TrimRight(wchar_t target)
{
    stripBack(m_text, isChar(target));
    return *this;
}

CString& CString::TrimRight(const wchar_t* targets)
{
    stripBack(m_text, isAnyOf(targets));
    return *this;
}

int CString::Compare(const wchar_t* other) const
{
    const int order = m_text.compare(orEmpty(other));
    return (order > 0) - (order < 0);
}

// Ordinal, so it agrees with Compare about which strings are equal, yet folds case over all
// of Unicode as file names do.
int CString::CompareNoCase(const wchar_t* other) const
{
    return CompareStringOrdinal(m_text.c_str(), GetLength(), orEmpty(other), -1, TRUE) - CSTR_EQUAL;
}

CString& CString::operator+=(const CString& text)
{
    m_text += text.m_text;
    return *this;
}

CString& CString::operator+=(const wchar_t* text)
{
    m_text += orEmpty(text);
    return *this;
}

CString& CString::operator+=(wchar_t ch)
{
    m_text += ch;
    return *this;
}

CString CString::Joined(const CString& a, const CString& b)
{
    return CString(a.m_text + b.m_text);
}
