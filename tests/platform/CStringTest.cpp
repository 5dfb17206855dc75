#include "platform/CString.h"

#include <gtest/gtest.h>

#include <climits>
#include <utility>

static void PrintTo(const CString& text, std::ostream* out)
{
    *out << ::testing::PrintToString(text.GetString());
}

// Null text, negative or too large counts and indices: empty or clamped, never out of bounds.
TEST(CString, NullTextAndOutOfRangeCountsAndIndicesAreClamped)
{
    EXPECT_EQ(L'\0', static_cast<const wchar_t*>(CString(static_cast<const wchar_t*>(nullptr)))[0]);
    EXPECT_TRUE(CString(static_cast<const char*>(nullptr)).IsEmpty());
    EXPECT_EQ(L"fan 3", CString("fan 3"));
    const CString six(L"abcdef");
    const std::pair<CString, const wchar_t*> cases[] = {
        { CString(L"ab", 1000), L"ab" }, { CString(L"abc", -4), L"" },   { six.Mid(-3, 2), L"ab" },
        { six.Mid(4, INT_MAX), L"ef" },  { six.Mid(10), L"" },           { six.Mid(2, -1), L"" },
        { six.Left(100), L"abcdef" },    { six.Right(100), L"abcdef" }, { six.Right(-2), L"" },
    };
    for (const auto& [got, expected] : cases)
        EXPECT_EQ(expected, got);
    CString text(L"ab");
    EXPECT_EQ(L'\0', text.GetAt(2));
    EXPECT_EQ(L'\0', text[-1]);
    text.SetAt(5, L'x');
    text.SetAt(1, L'B');
    text += static_cast<const wchar_t*>(nullptr);
    EXPECT_EQ(L"aB", text);
}

TEST(CString, ReleasedBufferEndsAtTheFirstNulOrTheClampedLength)
{
    CString text(L"abc");
    wchar_t* buffer = text.GetBuffer(10);
    buffer[3] = L'd';
    buffer[4] = L'\0';
    text.ReleaseBuffer();
    EXPECT_EQ(L"abcd", text);
    text.GetBuffer();
    text.ReleaseBuffer(50);
    EXPECT_EQ(L"abcd", text);
    wmemcpy(text.GetBufferSetLength(5), L"vwxyz", 5);
    text.ReleaseBuffer(2);
    EXPECT_EQ(L"vw", text);
}

// %s is wide and %S narrow as in the Microsoft runtime; the output grows as needed and may
// be formatted from the string itself.
TEST(CString, FormatFollowsTheMicrosoftRuntimeAndMayReadItself)
{
    CString text;
    text.Format(L"[%s|%S|%s%I64d]", L"\x6e29\x5ea6", "narrow", CString(L"CPU"), -1234567890123LL);
    EXPECT_EQ(L"[\x6e29\x5ea6|narrow|CPU-1234567890123]", text);
    text.Format(L"<%s>", CString(L'x', 10000));
    EXPECT_EQ(10002, text.GetLength());
    EXPECT_EQ(L'>', text[10001]);
    text = L"abc";
    text.Format(L"<%s>", text);
    text.AppendFormat(L"%s", text);
    EXPECT_EQ(L"<abc><abc>", text);
    text.Format(nullptr);
    EXPECT_TRUE(text.IsEmpty());
}

TEST(CString, FindRejectsBadStartsAndTokenizeSkipsDelimiterRuns)
{
    const CString text(L"a.b.c");
    EXPECT_EQ(3, text.Find(L'.', 2));
    EXPECT_EQ(-1, text.Find(L'.', 99));
    EXPECT_EQ(-1, text.Find(L"a", -1));
    EXPECT_EQ(-1, text.Find(static_cast<const wchar_t*>(nullptr)));

    const CString list(L";;12;;3;");
    int start = 0;
    EXPECT_EQ(L"12", list.Tokenize(L";", start));
    EXPECT_EQ(L"3", list.Tokenize(L";", start));
    EXPECT_TRUE(list.Tokenize(L";", start).IsEmpty());
    EXPECT_EQ(-1, start);
    start = 1;
    EXPECT_EQ(L" b", CString(L"a b").Tokenize(L"", start)) << "no delimiters: the rest, once";
    EXPECT_TRUE(CString(L"a b").Tokenize(L"", start).IsEmpty());
}

TEST(CString, ReplaceInsertAndDeleteNeverRescanClampAndMayUseTheStringItself)
{
    CString text(L"aXa");
    EXPECT_EQ(2, text.Replace(L"a", L"aa"));
    EXPECT_EQ(L"aaXaa", text);
    EXPECT_EQ(0, text.Replace(L"", L"y"));
    text = L"<>";
    EXPECT_EQ(1, text.Replace(L">", text));
    EXPECT_EQ(4, text.Insert(1, text.Left(1)));
    EXPECT_EQ(L"<<<>", text);
    text = L"abc";
    EXPECT_EQ(4, text.Insert(99, L'd'));
    EXPECT_EQ(6, text.Insert(-5, L"<>"));
    EXPECT_EQ(4, text.Delete(4, INT_MAX));
    EXPECT_EQ(3, text.Delete(-1));
    EXPECT_EQ(3, text.Delete(10, 2));
    EXPECT_EQ(L">ab", text);
}

TEST(CString, CaseTrimAndComparisonCoverNonAsciiAndBothOperandOrders)
{
    CString text(L"\x00c4pfel \x0416");
    EXPECT_EQ(L"\x00e4pfel \x0436", text.MakeLower());
    EXPECT_EQ(L"\x00c4PFEL \x0416", text.MakeUpper());
    EXPECT_EQ(L"a b", CString(L" \t\x3000" L"a b\r\n").Trim());
    EXPECT_EQ(L"path", CString(L"\\/path/").Trim(L"\\/"));
    EXPECT_EQ(0, CString(L"\x00c4PFEL.PNG").CompareNoCase(L"\x00e4pfel.png"));
    EXPECT_GT(CString(L"a").Compare(L"B"), 0);
    EXPECT_EQ(0, CString().Compare(nullptr));
    const CString a(L"a"), b(L"b");
    EXPECT_TRUE(L"a" < b && b > L"a" && L"b" >= b && L"b" > a && !(L"b" < a) && L"a" != b);
}
