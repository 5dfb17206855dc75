#include "platform/CString.h"

#include <gtest/gtest.h>

#include <climits>

static void PrintTo(const CString& text, std::ostream* out)
{
    *out << ::testing::PrintToString(text.GetString());
}

TEST(CStringConstruct, NullIsEmptyTextAnsiIsWidenedCountsStopAtTheNul)
{
    const CString null(static_cast<const wchar_t*>(nullptr));
    ASSERT_NE(static_cast<const wchar_t*>(null), nullptr);
    EXPECT_EQ(L'\0', static_cast<const wchar_t*>(null)[0]);
    EXPECT_TRUE(CString(static_cast<const char*>(nullptr)).IsEmpty());
    EXPECT_EQ(L"fan 3", CString("fan 3"));
    EXPECT_EQ(L"abc", CString(L"abcdef", 3));
    EXPECT_EQ(L"ab", CString(L"ab", 1000));
    EXPECT_TRUE(CString(L"abc", -4).IsEmpty());
}

TEST(CStringAccess, OutOfRangeIndicesAreClamped)
{
    CString text(L"ab");
    EXPECT_EQ(L'\0', text.GetAt(2));
    EXPECT_EQ(L'\0', text[-1]);
    text.SetAt(5, L'x');
    text.SetAt(1, L'B');
    EXPECT_EQ(L"aB", text);
    const CString six(L"abcdef");
    EXPECT_EQ(L"ab", six.Mid(-3, 2));
    EXPECT_EQ(L"ef", six.Mid(4, INT_MAX));
    EXPECT_TRUE(six.Mid(10).IsEmpty());
    EXPECT_TRUE(six.Mid(2, -1).IsEmpty());
    EXPECT_EQ(L"abcdef", six.Left(100));
    EXPECT_EQ(L"abcdef", six.Right(100));
    EXPECT_EQ(L"ef", six.Right(2));
    EXPECT_TRUE(six.Right(-2).IsEmpty());
}

TEST(CStringBuffer, HoldsTheRequestedLengthAndEndsAtTheFirstNulOrTheClampedLength)
{
    CString path;
    const DWORD length = GetModuleFileNameW(nullptr, path.GetBuffer(MAX_PATH), MAX_PATH);
    path.ReleaseBuffer();
    EXPECT_EQ(static_cast<int>(length), path.GetLength());
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

TEST(CStringFormat, ArgumentsFollowTheMicrosoftRuntime)
{
    CString text;
    text.Format(L"[%s|%S]", L"\x6e29\x5ea6", "narrow");
    EXPECT_EQ(L"[\x6e29\x5ea6|narrow]", text) << "%s is wide";
    text.Format(L"%s%d%s", CString(L"CPU"), 42, CString(L"%"));
    EXPECT_EQ(L"CPU42%", text) << "a CString passes its characters";
    text.Format(L"%d %u %x %X %.2f %c %ld %lu %%", -7, 4000000000u, 255, 255, 3.14159, L'W', -8L, 9UL);
    EXPECT_EQ(L"-7 4000000000 ff FF 3.14 W -8 9 %", text);
    text.Format(L"%I64d %lld %llu", -1234567890123LL, -1234567890123LL, 18446744073709551615ULL);
    EXPECT_EQ(L"-1234567890123 -1234567890123 18446744073709551615", text);
}

TEST(CStringFormat, LongOutputIsWholeTheTextMayReadItselfAndNullGivesEmpty)
{
    CString text;
    text.Format(L"<%s>", CString(L'x', 10000));
    EXPECT_EQ(10002, text.GetLength());
    EXPECT_EQ(L'>', text[10001]);
    text = L"abc";
    text.Format(L"<%s>", text);
    EXPECT_EQ(L"<abc>", text);
    text.AppendFormat(L"%s", text);
    EXPECT_EQ(L"<abc><abc>", text);
    text.Format(nullptr);
    EXPECT_TRUE(text.IsEmpty());
}

TEST(CStringSearch, FindRejectsBadStartsAndTokenizeSkipsDelimiterRuns)
{
    const CString text(L"a.b.c");
    EXPECT_EQ(3, text.Find(L'.', 2));
    EXPECT_EQ(3, text.Find(L".c"));
    EXPECT_EQ(-1, text.Find(L'.', 99));
    EXPECT_EQ(-1, text.Find(L"a", -1));
    EXPECT_EQ(-1, text.Find(static_cast<const wchar_t*>(nullptr)));
    EXPECT_EQ(3, text.ReverseFind(L'.'));
    EXPECT_EQ(-1, text.ReverseFind(L'x'));

    const CString list(L";;12;;3;");
    int start = 0;
    EXPECT_EQ(L"12", list.Tokenize(L";", start));
    EXPECT_EQ(L"3", list.Tokenize(L";", start));
    EXPECT_TRUE(list.Tokenize(L";", start).IsEmpty());
    EXPECT_EQ(-1, start);
    start = 1;
    EXPECT_EQ(L" b", CString(L"a b").Tokenize(L"", start)) << "no delimiters: the rest, once";
    EXPECT_TRUE(CString(L"a b").Tokenize(L"", start).IsEmpty());
    EXPECT_EQ(-1, start);
}

TEST(CStringEdit, ReplaceInsertAndDeleteNeverRescanAndMayUseTheStringItself)
{
    CString text(L"aXa");
    EXPECT_EQ(2, text.Replace(L"a", L"aa"));
    EXPECT_EQ(L"aaXaa", text);
    EXPECT_EQ(2, text.Replace(L"aa", L""));
    EXPECT_EQ(0, text.Replace(L"", L"y"));
    text = L"<>";
    EXPECT_EQ(1, text.Replace(L">", text));
    EXPECT_EQ(L"<<>", text);
    EXPECT_EQ(4, text.Insert(1, text.Left(1)));
    EXPECT_EQ(L"<<<>", text);
    text = L"a-b-c";
    EXPECT_EQ(2, text.Replace(L'-', L'+'));
    EXPECT_EQ(2, text.Remove(L'+'));
    EXPECT_EQ(4, text.Insert(99, L'd'));
    EXPECT_EQ(6, text.Insert(-5, L"<>"));
    EXPECT_EQ(L"<>abcd", text);
    EXPECT_EQ(4, text.Delete(4, INT_MAX));
    EXPECT_EQ(3, text.Delete(-1));
    EXPECT_EQ(3, text.Delete(10, 2));
    EXPECT_EQ(L">ab", text);
}

TEST(CStringEdit, CaseMappingAndTrimCoverNonAscii)
{
    CString text(L"\x00c4pfel \x0416");
    EXPECT_EQ(L"\x00e4pfel \x0436", text.MakeLower());
    EXPECT_EQ(L"\x00c4PFEL \x0416", text.MakeUpper());
    CString spaced(L" \t\x3000" L"a b\r\n");
    EXPECT_EQ(L"a b", spaced.Trim());
    EXPECT_EQ(L"1.5", CString(L"001.500").Trim(L'0'));
    EXPECT_EQ(L"path", CString(L"\\/path/").Trim(L"\\/"));
    EXPECT_EQ(L"x  ", CString(L"  x  ").TrimLeft());
}

TEST(CStringCompare, OperatorsCompareContentsOnBothSidesAndNoCaseFoldsNonAscii)
{
    const CString a(L"a"), b(L"b");
    EXPECT_TRUE(a < b && b > a && !(b < a) && !(a > b));
    EXPECT_TRUE(L"a" == a && a != L"b" && L"a" < b && b >= L"b" && a == CString(L"a"));
    EXPECT_EQ(0, CString(L"\x00c4PFEL.PNG").CompareNoCase(L"\x00e4pfel.png"));
    EXPECT_LT(CString(L"a").CompareNoCase(L"B"), 0);
    EXPECT_GT(CString(L"a").Compare(L"B"), 0);
    EXPECT_EQ(0, CString().Compare(nullptr));
}

TEST(CStringConcat, EveryPairingJoinsInOrder)
{
    const CString mid(L"b");
    CString text = L"a" + mid + L"c" + L'd';
    text = L'<' + text + mid;
    text += L'>';
    text += text;
    EXPECT_EQ(L"<abcdb><abcdb>", text);
    text += static_cast<const wchar_t*>(nullptr);
    EXPECT_EQ(14, text.GetLength());
}
