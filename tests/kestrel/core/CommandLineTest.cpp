#include "core/CommandLine.h"

#include <gtest/gtest.h>

#include <string>

namespace kestrel::test {

using namespace kestrel::core;

namespace {

// Token `index` read with the capacity the program uses, or "<none>".
std::wstring Arg(const wchar_t* line, int index, size_t capacity = 256) {
    wchar_t out[300] = L"<junk>";
    return GetCommandLineArg(line, index, out, capacity) ? std::wstring(out) : L"<none>";
}

}  // namespace

TEST(GetCommandLineArg, CutsTokensAtSpacesAndQuotes) {
    const wchar_t* line = L"\"C:\\My Dir\\Kestrel.exe\" abc def";
    EXPECT_EQ(Arg(line, 0), L"C:\\My Dir\\Kestrel.exe");
    EXPECT_EQ(Arg(line, 1), L"abc");
    EXPECT_EQ(Arg(line, 2), L"def");
    EXPECT_EQ(Arg(line, 3), L"<none>");
    EXPECT_EQ(Arg(L"prog \"a b\" c", 1), L"a b");
    EXPECT_EQ(Arg(L"prog \"a b\" c", 2), L"c");
    EXPECT_EQ(Arg(L"prog", 1), L"<none>");
    EXPECT_EQ(Arg(L"   prog    x   ", 1), L"x");
    // A quote inside a plain token does not start a quoted one.
    EXPECT_EQ(Arg(L"prog a\"b c", 1), L"a\"b");
    EXPECT_EQ(Arg(L"prog a\"b c", 2), L"c");
}

TEST(GetCommandLineArg, TrimsQuotedSpacesAndHandlesUnclosedQuotes) {
    EXPECT_EQ(Arg(L"prog \"  x  \"", 1), L"x");
    EXPECT_EQ(Arg(L"prog \"   \"", 1), L"");
    EXPECT_EQ(Arg(L"prog \"\" y", 1), L"");
    EXPECT_EQ(Arg(L"prog \"\" y", 2), L"y");
    // An unclosed quote runs to the end; a lone quote at the very end is no token.
    EXPECT_EQ(Arg(L"prog \"a b", 1), L"a b");
    EXPECT_EQ(Arg(L"prog \"", 1), L"<none>");
}

TEST(GetCommandLineArg, CutsLongTokensToCapacityAndRefusesNull) {
    const std::wstring longToken(300, L'z');
    const std::wstring line = L"prog " + longToken;
    EXPECT_EQ(Arg(line.c_str(), 1, 256), std::wstring(255, L'z'));
    EXPECT_EQ(Arg(L"prog abc", 1, 1), L"");
    wchar_t out[8];
    EXPECT_FALSE(GetCommandLineArg(nullptr, 0, out, 8));
}

TEST(SplitCommandLine, GivesTheSameTokensUntrimmed) {
    const auto tokens = SplitCommandLine(L"\"/opt/My Dir/Osprey.exe\" \" a \" b Kestrel");
    ASSERT_EQ(tokens.size(), 4u);
    EXPECT_EQ(tokens[0], L"/opt/My Dir/Osprey.exe");
    EXPECT_EQ(tokens[1], L" a ");
    EXPECT_EQ(tokens[2], L"b");
    EXPECT_EQ(tokens[3], L"Kestrel");
    EXPECT_TRUE(SplitCommandLine(L"   ").empty());
}

}  // namespace kestrel::test
