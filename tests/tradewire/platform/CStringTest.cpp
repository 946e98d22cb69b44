#include <gtest/gtest.h>

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

// The layout a terminal compiles against: buffer, length, capacity.
static_assert(sizeof(CString) == sizeof(wchar_t*) + 2 * sizeof(int));
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
