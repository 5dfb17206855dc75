#include "platform/CString.h"

#include <gtest/gtest.h>

#include <climits>

static void PrintTo(const CString& text, std::ostream* out)
{
    *out << ::testing::PrintToString(text.GetString());
}

TEST(CStringConstruct, NullGivesEmptyTextThatIsNotANullPointer)
{
    const CString text(static_cast<const wchar_t*>(nullptr));
    EXPECT_TRUE(text.IsEmpty());
    ASSERT_NE(static_cast<const wchar_t*>(text), nullptr);
    EXPECT_EQ(L'\0', static_cast<const wchar_t*>(text)[0]);
}

TEST(CStringConstruct, AnsiTextIsWidened)
{
    EXPECT_EQ(L"fan 3", CString("fan 3"));
    EXPECT_TRUE(CString(static_cast<const char*>(nullptr)).IsEmpty());
}

TEST(CStringConstruct, CountedTextStopsAtItsNul)
{
    EXPECT_EQ(L"abc", CString(L"abcdef", 3));
    EXPECT_EQ(L"ab", CString(L"ab", 1000));
    EXPECT_TRUE(CString(L"abc", -4).IsEmpty());
}

TEST(CStringAccess, OutOfRangeReadsNulAndWritesNothing)
{
    CString text(L"ab");
    EXPECT_EQ(L'\0', text.GetAt(2));
    EXPECT_EQ(L'\0', text[-1]);
    text.SetAt(5, L'x');
    text.SetAt(1, L'B');
    EXPECT_EQ(L"aB", text);
}

TEST(CStringBuffer, HoldsRequestedLengthForAWin32Call)
{
    CString path;
    const DWORD length = GetModuleFileNameW(nullptr, path.GetBuffer(MAX_PATH), MAX_PATH);
    path.ReleaseBuffer();
    EXPECT_EQ(static_cast<int>(length), path.GetLength());
    EXPECT_EQ(path.GetLength() - 4, path.Find(L".exe"));
}

TEST(CStringBuffer, KeepsExistingTextAndEndsAtFirstNul)
{
    CString text(L"abc");
    wchar_t* buffer = text.GetBuffer(10);
    buffer[3] = L'd';
    buffer[4] = L'\0';
    text.ReleaseBuffer();
    EXPECT_EQ(L"abcd", text);
}

TEST(CStringBuffer, ExplicitLengthIsClampedToTheBuffer)
{
    CString text(L"abc");
    text.GetBuffer();
    text.ReleaseBuffer(50);
    EXPECT_EQ(L"abc", text);
    wmemcpy(text.GetBufferSetLength(5), L"vwxyz", 5);
    text.ReleaseBuffer(2);
    EXPECT_EQ(L"vw", text);
}

TEST(CStringFormat, WideStringArgumentIsWide)
{
    CString text;
    text.Format(L"[%s|%S]", L"\x6e29\x5ea6", "narrow");
    EXPECT_EQ(L"[\x6e29\x5ea6|narrow]", text);
}

TEST(CStringFormat, CStringArgumentPassesItsCharacters)
{
    const CString title(L"CPU");
    CString text;
    text.Format(L"%s%d%s", title, 42, CString(L"%"));
    EXPECT_EQ(L"CPU42%", text);
}

TEST(CStringFormat, NumbersFollowTheMicrosoftRuntime)
{
    CString text;
    text.Format(L"%d %u %x %X %.2f %c %ld %lu %%", -7, 4000000000u, 255, 255, 3.14159, L'W', -8L, 9UL);
    EXPECT_EQ(L"-7 4000000000 ff FF 3.14 W -8 9 %", text);
    text.Format(L"%I64d %lld %llu", -1234567890123LL, -1234567890123LL, 18446744073709551615ULL);
    EXPECT_EQ(L"-1234567890123 -1234567890123 18446744073709551615", text);
}

TEST(CStringFormat, LongOutputIsNotTruncated)
{
    const CString longText(L'x', 10000);
    CString text;
    text.Format(L"<%s>", longText);
    EXPECT_EQ(10002, text.GetLength());
    EXPECT_EQ(L'>', text[10001]);
}

TEST(CStringFormat, MayReadItsOwnText)
{
    CString text(L"abc");
    text.Format(L"<%s>", text);
    EXPECT_EQ(L"<abc>", text);
    text.AppendFormat(L"%s", text);
    EXPECT_EQ(L"<abc><abc>", text);
}

TEST(CStringFormat, NullFormatGivesEmptyText)
{
    CString text(L"old");
    text.Format(nullptr);
    EXPECT_TRUE(text.IsEmpty());
}

TEST(CStringSearch, FindHonoursStartAndRejectsBadOnes)
{
    const CString text(L"a.b.c");
    EXPECT_EQ(3, text.Find(L'.', 2));
    EXPECT_EQ(3, text.Find(L".c"));
    EXPECT_EQ(-1, text.Find(L'.', 99));
    EXPECT_EQ(-1, text.Find(L"a", -1));
    EXPECT_EQ(-1, text.Find(static_cast<const wchar_t*>(nullptr)));
    EXPECT_EQ(3, text.ReverseFind(L'.'));
    EXPECT_EQ(-1, text.ReverseFind(L'x'));
}

TEST(CStringSlice, OutOfRangeArgumentsAreClamped)
{
    const CString text(L"abcdef");
    EXPECT_EQ(L"ab", text.Mid(-3, 2));
    EXPECT_EQ(L"ef", text.Mid(4, INT_MAX));
    EXPECT_TRUE(text.Mid(10).IsEmpty());
    EXPECT_TRUE(text.Mid(2, -1).IsEmpty());
    EXPECT_EQ(L"abcdef", text.Left(100));
    EXPECT_EQ(L"abcdef", text.Right(100));
    EXPECT_EQ(L"ef", text.Right(2));
    EXPECT_TRUE(text.Right(-2).IsEmpty());
}

TEST(CStringTokenize, SkipsDelimiterRunsAndEndsWithMinusOne)
{
    const CString text(L";;12;;3;");
    int start = 0;
    EXPECT_EQ(L"12", text.Tokenize(L";", start));
    EXPECT_EQ(L"3", text.Tokenize(L";", start));
    EXPECT_TRUE(text.Tokenize(L";", start).IsEmpty());
    EXPECT_EQ(-1, start);
}

TEST(CStringTokenize, NoDelimitersGivesTheRestOnce)
{
    const CString text(L"a b");
    int start = 1;
    EXPECT_EQ(L" b", text.Tokenize(L"", start));
    EXPECT_TRUE(text.Tokenize(L"", start).IsEmpty());
    EXPECT_EQ(-1, start);
}

TEST(CStringEdit, ReplaceDoesNotRescanWhatItInserted)
{
    CString text(L"aXa");
    EXPECT_EQ(2, text.Replace(L"a", L"aa"));
    EXPECT_EQ(L"aaXaa", text);
    EXPECT_EQ(2, text.Replace(L"aa", L""));
    EXPECT_EQ(L"X", text);
    EXPECT_EQ(0, text.Replace(L"", L"y"));
}

TEST(CStringEdit, ReplacementMayBeTheStringItself)
{
    CString text(L"<>");
    EXPECT_EQ(1, text.Replace(L">", text));
    EXPECT_EQ(L"<<>", text);
    EXPECT_EQ(4, text.Insert(1, text.Left(1)));
    EXPECT_EQ(L"<<<>", text);
}

TEST(CStringEdit, CharEditsCountTheirChanges)
{
    CString text(L"a-b-c");
    EXPECT_EQ(2, text.Replace(L'-', L'+'));
    EXPECT_EQ(2, text.Remove(L'+'));
    EXPECT_EQ(L"abc", text);
}

TEST(CStringEdit, InsertAndDeleteClampTheirArguments)
{
    CString text(L"abc");
    EXPECT_EQ(4, text.Insert(99, L'd'));
    EXPECT_EQ(6, text.Insert(-5, L"<>"));
    EXPECT_EQ(L"<>abcd", text);
    EXPECT_EQ(4, text.Delete(4, INT_MAX));
    EXPECT_EQ(3, text.Delete(-1));
    EXPECT_EQ(L">ab", text);
    EXPECT_EQ(3, text.Delete(10, 2));
}

TEST(CStringEdit, CaseMappingCoversNonAscii)
{
    CString text(L"\x00c4pfel \x0416");
    EXPECT_EQ(L"\x00e4pfel \x0436", text.MakeLower());
    EXPECT_EQ(L"\x00c4PFEL \x0416", text.MakeUpper());
}

TEST(CStringEdit, TrimStripsOnlyTheEnds)
{
    CString text(L" \t\x3000" L"a b\r\n");
    EXPECT_EQ(L"a b", text.Trim());
    EXPECT_EQ(L"1.5", CString(L"001.500").Trim(L'0'));
    EXPECT_EQ(L"path", CString(L"\\/path/").Trim(L"\\/"));
    EXPECT_EQ(L"x  ", CString(L"  x  ").TrimLeft());
}

TEST(CStringCompare, OperatorsCompareContentsOnBothSides)
{
    const CString a(L"a");
    const CString b(L"b");
    EXPECT_TRUE(a < b);
    EXPECT_FALSE(b < a);
    EXPECT_TRUE(b > a);
    EXPECT_FALSE(a > b);
    EXPECT_TRUE(L"a" == a);
    EXPECT_TRUE(a != L"b");
    EXPECT_TRUE(L"a" < b);
    EXPECT_TRUE(b >= L"b");
    EXPECT_TRUE(a == CString(L"a"));
}

TEST(CStringCompare, NoCaseFoldsNonAscii)
{
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
