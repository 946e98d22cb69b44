#include <gtest/gtest.h>

#include <climits>
#include <cstddef>
#include <cstdint>
#include <type_traits>

#include "tradewire/CString.h"
#include "tradewire/SharedHeap.h"

namespace {

TEST(CString, FormatReadsPercentSAsWideTextLikeMfc) {
    CString text;
    text.Format(L"%s=%d [%5s] %c %S %hs %%", L"name", 42, L"ab", L'z', "narrow", "also");
    EXPECT_EQ(text, L"name=42 [   ab] z narrow also %");
}

TEST(CString, FormatGrowsUntilALongTextFits) {
    const std::wstring longText(5000, L'x');
    CString text;
    text.Format(L"<%s>", longText.c_str());
    EXPECT_EQ(text.GetLength(), 5002);
}

TEST(CString, SubstringsStayInsideTheText) {
    const CString text(L"abcdef");
    EXPECT_EQ(text.Left(2), L"ab");
    EXPECT_EQ(text.Left(99), L"abcdef");
    EXPECT_EQ(text.Mid(4), L"ef");
    EXPECT_EQ(text.Mid(2, 2), L"cd");
    EXPECT_EQ(text.Mid(10), L"");
    EXPECT_EQ(text.Right(2), L"ef");
    EXPECT_EQ(text.Right(-1), L"");
    EXPECT_EQ(text.Find(L'c'), 2);
    EXPECT_EQ(text.Find(L"de"), 3);
    EXPECT_EQ(text.Find(L'a', 1), -1);
    EXPECT_EQ(text.Find(L'a', 50), -1);
}

TEST(CString, ComparesReplacesAndChangesCase) {
    CString text(L"EurUsd:EurUsd");
    EXPECT_EQ(text.CompareNoCase(L"eurusd:EURUSD"), 0);
    EXPECT_NE(text.Compare(L"eurusd:EURUSD"), 0);
    EXPECT_EQ(text.Replace(L"Usd", L"JPY"), 2);
    EXPECT_EQ(text, L"EurJPY:EurJPY");
    EXPECT_EQ(text.Replace(L':', L'_'), 1);
    EXPECT_EQ(text.MakeUpper(), L"EURJPY_EURJPY");
    EXPECT_EQ(CString(L"A") + L"b" + CString(L"c"), L"Abc");
    EXPECT_TRUE(CString(L"a") < CString(L"b"));
}

TEST(CString, NullPointersReadAsEmptyText) {
    CString text(nullptr);
    EXPECT_TRUE(text.IsEmpty());
    text = static_cast<const wchar_t*>(nullptr);
    EXPECT_EQ(text.GetLength(), 0);
    EXPECT_EQ(CString(L"abc", 2), L"ab");
    EXPECT_STREQ(static_cast<const wchar_t*>(text), L"");
}

// The layout a terminal compiles against: one handle.
static_assert(sizeof(CString) == sizeof(wchar_t*));
static_assert(std::is_standard_layout_v<CString>);

TEST(CString, GrowsByAppendingAndKeepsEveryCharacter) {
    CString text;
    for (int i = 0; i < 1000; ++i) {
        text += static_cast<wchar_t>(L'a' + i % 26);
    }
    ASSERT_EQ(text.GetLength(), 1000);
    EXPECT_EQ(text.GetAt(999), L'a' + 999 % 26);
    EXPECT_EQ(text.GetString()[1000], L'\0');
    text.Empty();
    EXPECT_STREQ(text.GetString(), L"");
    text += L"again";
    EXPECT_EQ(text, L"again");
}

TEST(CString, SourcesInsideItsOwnBufferAreReadBeforeTheyMove) {
    CString text(L"abcdefgh");
    text += text;  // grows while reading itself
    EXPECT_EQ(text, L"abcdefghabcdefgh");
    const CString& alias = text;
    text = alias;
    EXPECT_EQ(text, L"abcdefghabcdefgh");
    text = text.GetString() + 8;  // a tail of its own buffer
    EXPECT_EQ(text, L"abcdefgh");
    text += text.GetString() + 4;
    EXPECT_EQ(text, L"abcdefghefgh");
    text.Format(L"<%s>", text.GetString());
    EXPECT_EQ(text, L"<abcdefghefgh>");
    EXPECT_EQ(text.Replace(L"efgh", text.GetString() + 9), 2);
    EXPECT_EQ(text, L"<abcdefgh>efgh>>");
}

// The library's Format hands over a buffer of the shared heap; this side grows and frees it,
// and frees on its own a buffer taken from the shared heap directly.
TEST(CString, BuffersFromTheLibraryAreGrownAndFreedByTheCaller) {
    CString text;
    text.Format(L"%d", 12345);
    for (int i = 0; i < 64; ++i) {
        text += L"0123456789";
    }
    EXPECT_EQ(text.GetLength(), 5 + 640);
    CString moved(static_cast<CString&&>(text));
    EXPECT_TRUE(text.IsEmpty());
    EXPECT_EQ(moved.Left(5), L"12345");
    void* raw = TradewireHeapAlloc(16);
    ASSERT_NE(raw, nullptr);
    TradewireHeapFree(raw);
    TradewireHeapFree(nullptr);
}

TEST(CString, EqualityAndOrderSeeZerosInsideTheText) {
    const CString withZero(L"a\0b", 3);
    EXPECT_EQ(withZero.GetLength(), 3);
    EXPECT_NE(withZero, CString(L"a"));
    EXPECT_EQ(withZero, L"a");  // a C string ends at the zero
    EXPECT_TRUE(CString(L"a") < withZero);
    EXPECT_FALSE(withZero < withZero);
    EXPECT_EQ(withZero.Find(L'b'), 2);
    EXPECT_EQ(CString().Find(L""), 0);
    EXPECT_EQ(CString(L"ab").Find(L"", 2), 2);
    EXPECT_EQ(CString(L"ab").Find(L"", 3), -1);
    EXPECT_LT(CString(L"abc").CompareNoCase(L"ABD"), 0);
    EXPECT_GT(CString(L"abc").CompareNoCase(L"AB"), 0);
}

}  // namespace

namespace {

TEST(CString, ComparesWithCStringsOnEitherSide) {
    const CString b(L"b");
    EXPECT_TRUE(L"b" == b && b == L"b" && !(L"a" == b));
    EXPECT_TRUE(L"a" != b && b != L"a");
    EXPECT_TRUE(L"a" < b && b < L"c" && !(b < L"b"));
    EXPECT_TRUE(L"c" > b && b > L"a");
    EXPECT_TRUE(L"b" <= b && b <= L"b" && L"b" >= b && b >= L"b");
    EXPECT_TRUE(CString(L"a") <= b && b >= CString(L"a") && b > CString());
}

// Sizes beyond the limit are refused before memory is touched, and the string keeps its value.
TEST(CString, LengthsBeyondTheLimitThrowAndChangeNothing) {
    EXPECT_THROW(CString(L"x", INT_MAX), CMemoryException);
    EXPECT_THROW(CString(L"x", CString::kMaxLength + 1), CMemoryException);
    CString kept(L"kept");
    const wchar_t* before = kept.GetString();
    EXPECT_THROW(kept = CString(L"y", CString::kMaxLength + 1), CMemoryException);
    EXPECT_EQ(kept, L"kept");
    EXPECT_EQ(kept.GetString(), before);
}

TEST(CString, FormatFailsFastOnHostileFormatsAndTranslatesSizes) {
    CString text(L"before");
    for (const wchar_t* hostile :
         {L"%", L"abc%", L"%l", L"%ll", L"%5", L"%n", L"%y", L"%2147483647d", L"%2147483648d",
          L"%99999999999d", L"%.99999999999f"}) {
        text = L"before";
        text.Format(hostile, 1);
        EXPECT_TRUE(text.IsEmpty()) << hostile;
    }
    // Widths that fit a string, whose sum does not: an allocation that cannot be made.
    text = L"kept";
    EXPECT_THROW(text.Format(L"x%*d", CString::kMaxLength, 1), CMemoryException);
    EXPECT_THROW(
        text.Format(L"%*s%*s", CString::kMaxLength / 2 + 1, L"", CString::kMaxLength / 2 + 1, L""),
        CMemoryException);
    EXPECT_EQ(text, L"kept");

    text.Format(L"%I64d|%I32d|%I64x|%Iu", 1LL << 40, -5, 0xABCDEF012LL, static_cast<size_t>(7));
    EXPECT_EQ(text, L"1099511627776|-5|abcdef012|7");
    // Every length modifier: the argument is read at its size, then cut to it where C does.
    text.Format(L"%hhd|%hd|%lld|%qd|%ld|%jd|%zu|%td|%.1Lf|%ls|%ws|%hs", 300, 70000, -9000000000LL,
                5LL, -7L, static_cast<std::intmax_t>(8), static_cast<size_t>(9),
                static_cast<std::ptrdiff_t>(-10), 1.5L, L"wide", L"w2", "nar");
    EXPECT_EQ(text, L"44|4464|-9000000000|5|-7|8|9|-10|1.5|wide|w2|nar");
    text.Format(L"[%-6.2f][%+05d][%#x][%05s][%.2s][%3c]", 2.5, 42, 255, L"ab", L"xyz", L'q');
    EXPECT_EQ(text, L"[2.50  ][+0042][0xff][   ab][xy][  q]");
    text.Format(L"[%08.3f][%-4d][%*d][%.*s]", -3.14159, 7, 4, 9, 1, L"zz");
    EXPECT_EQ(text, L"[-003.142][7   ][   9][z]");
    text.Format(L"%s|%S", static_cast<const wchar_t*>(nullptr), static_cast<const char*>(nullptr));
    EXPECT_EQ(text, L"(null)|(null)");
    text.Format(L"");
    EXPECT_TRUE(text.IsEmpty());
}

TEST(CString, FormatConvertsNarrowTextLenientlyWhateverItsBytes) {
    CString text;
    text.Format(L"<%S>",
                "a\xff\xfe"
                "b");
    ASSERT_EQ(text.GetLength(), 6);
    EXPECT_EQ(text.GetAt(1), L'a');
    EXPECT_EQ(text.GetAt(4), L'b');
    EXPECT_EQ(text.GetAt(5), L'>');
}

}  // namespace
