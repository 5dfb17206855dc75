#pragma once
#include "platform/KovaExport.h"

#include <windows.h>

#include <cstdarg>
#include <string>
#include <type_traits>
#include <utility>

// The wide text type of every name, caption and path, shaped like the class-library string
// that hosts and ported code are written against. Indices and counts are ints as there;
// out-of-range ones are brought into range instead of reading or writing past the text.
class KOVA_API CString {
public:
    CString() = default;
    CString(const wchar_t* text);
    // ANSI text in the system code page, as narrow Win32 calls return it.
    CString(const char* ansiText);
    // Stops early at a NUL, so a count larger than the text never reads past it.
    CString(const wchar_t* text, int length);
    explicit CString(wchar_t ch, int repeat = 1);

    // Never null: an empty string gives "", so the result can go straight to Win32.
    operator const wchar_t*() const { return m_text.c_str(); }
    const wchar_t* GetString() const { return m_text.c_str(); }

    int GetLength() const { return static_cast<int>(m_text.size()); }
    bool IsEmpty() const { return m_text.empty(); }
    void Empty() { m_text.clear(); }
    // Outside the text these read L'\0' and SetAt does nothing.
    wchar_t GetAt(int index) const;
    wchar_t operator[](int index) const { return GetAt(index); }
    void SetAt(int index, wchar_t ch);

    // The buffer holds at least the requested length plus a terminator; until ReleaseBuffer
    // the length counts the whole buffer. ReleaseBuffer(-1) keeps the text up to its first NUL.
    wchar_t* GetBuffer();
    wchar_t* GetBuffer(int minLength);
    wchar_t* GetBufferSetLength(int length);
    void ReleaseBuffer(int newLength = -1);

    // printf formats with the wide meanings of the Microsoft runtime: %s takes a wide string,
    // %S a narrow one. A CString argument is passed as its characters.
    template <typename... Args>
    void Format(const wchar_t* format, Args&&... args)
    {
        FormatArguments(format, Vararg(std::forward<Args>(args))...);
    }
    template <typename... Args>
    void AppendFormat(const wchar_t* format, Args&&... args)
    {
        AppendFormatArguments(format, Vararg(std::forward<Args>(args))...);
    }
    void FormatV(const wchar_t* format, va_list args);
    void AppendFormatV(const wchar_t* format, va_list args);

    // Positions are -1 when nothing is found.
    int Find(wchar_t ch, int start = 0) const;
    int Find(const wchar_t* text, int start = 0) const;
    int ReverseFind(wchar_t ch) const;

    CString Mid(int first) const;
    CString Mid(int first, int count) const;
    CString Left(int count) const;
    CString Right(int count) const;
    // The next run of characters outside `delimiters` from `start`; `start` moves past it and
    // becomes -1 (with an empty result) once no token is left.
    CString Tokenize(const wchar_t* delimiters, int& start) const;

    // Editing calls return the number of replacements or removals, or the new length.
    int Replace(wchar_t oldChar, wchar_t newChar);
    int Replace(const wchar_t* oldText, const wchar_t* newText);
    int Remove(wchar_t ch);
    int Insert(int index, wchar_t ch);
    int Insert(int index, const wchar_t* text);
    int Delete(int index, int count = 1);
    CString& MakeLower();
    CString& MakeUpper();
    CString& Trim();
    CString& Trim(wchar_t target);
    CString& Trim(const wchar_t* targets);
    CString& TrimLeft();
    CString& TrimLeft(wchar_t target);
    CString& TrimLeft(const wchar_t* targets);
    CString& TrimRight();
    CString& TrimRight(wchar_t target);
    CString& TrimRight(const wchar_t* targets);

    // Ordinal: negative, zero or positive. A null argument counts as empty.
    int Compare(const wchar_t* other) const;
    int CompareNoCase(const wchar_t* other) const;

    CString& operator+=(const CString& text);
    CString& operator+=(const wchar_t* text);
    CString& operator+=(wchar_t ch);

    friend CString operator+(const CString& a, const CString& b) { return Joined(a, b); }
    friend CString operator+(const CString& a, const wchar_t* b) { return Joined(a, b); }
    friend CString operator+(const wchar_t* a, const CString& b) { return Joined(a, b); }
    friend CString operator+(const CString& a, wchar_t b) { return Joined(a, CString(b)); }
    friend CString operator+(wchar_t a, const CString& b) { return Joined(CString(a), b); }

    // Every pairing is spelled out: left to the implicit conversion to a pointer, a
    // comparison would compare addresses.
    friend bool operator==(const CString& a, const CString& b) { return a.Compare(b) == 0; }
    friend bool operator==(const CString& a, const wchar_t* b) { return a.Compare(b) == 0; }
    friend bool operator==(const wchar_t* a, const CString& b) { return b.Compare(a) == 0; }
    friend bool operator!=(const CString& a, const CString& b) { return a.Compare(b) != 0; }
    friend bool operator!=(const CString& a, const wchar_t* b) { return a.Compare(b) != 0; }
    friend bool operator!=(const wchar_t* a, const CString& b) { return b.Compare(a) != 0; }
    friend bool operator<(const CString& a, const CString& b) { return a.Compare(b) < 0; }
    friend bool operator<(const CString& a, const wchar_t* b) { return a.Compare(b) < 0; }
    friend bool operator<(const wchar_t* a, const CString& b) { return b.Compare(a) > 0; }
    friend bool operator>(const CString& a, const CString& b) { return a.Compare(b) > 0; }
    friend bool operator>(const CString& a, const wchar_t* b) { return a.Compare(b) > 0; }
    friend bool operator>(const wchar_t* a, const CString& b) { return b.Compare(a) < 0; }
    friend bool operator<=(const CString& a, const CString& b) { return a.Compare(b) <= 0; }
    friend bool operator<=(const CString& a, const wchar_t* b) { return a.Compare(b) <= 0; }
    friend bool operator<=(const wchar_t* a, const CString& b) { return b.Compare(a) >= 0; }
    friend bool operator>=(const CString& a, const CString& b) { return a.Compare(b) >= 0; }
    friend bool operator>=(const CString& a, const wchar_t* b) { return a.Compare(b) >= 0; }
    friend bool operator>=(const wchar_t* a, const CString& b) { return b.Compare(a) <= 0; }

private:
    explicit CString(std::wstring text) : m_text(std::move(text)) {}
    static CString Joined(const CString& a, const CString& b);

    // C varargs hand a class object over by hidden reference under GCC, so %s would print the
    // object's bytes: pass a CString's characters, and refuse other class types outright.
    static const wchar_t* Vararg(const CString& text) { return text.GetString(); }
    template <typename T, typename = std::enable_if_t<!std::is_base_of_v<CString, std::decay_t<T>>>>
    static std::decay_t<T> Vararg(T&& value)
    {
        static_assert(std::is_scalar_v<std::decay_t<T>>,
            "only numbers, characters, pointers and CStrings can be formatted");
        return value;
    }
    void FormatArguments(const wchar_t* format, ...);
    void AppendFormatArguments(const wchar_t* format, ...);

    std::wstring m_text;
};
