#include <gtest/gtest.h>

#include "tradewire/CString.h"

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

}  // namespace
