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

struct TokenCase {
    const wchar_t* line;
    int index;
    const wchar_t* token;  // "<none>" when there is none
};

TEST(GetCommandLineArg, CutsTokensAtSpacesAndQuotesAndTrimsQuotedSpaces) {
    const TokenCase cases[] = {
        {L"\"C:\\My Dir\\Kestrel.exe\" abc def", 0, L"C:\\My Dir\\Kestrel.exe"},
        {L"\"C:\\My Dir\\Kestrel.exe\" abc def", 1, L"abc"},
        {L"\"C:\\My Dir\\Kestrel.exe\" abc def", 2, L"def"},
        {L"\"C:\\My Dir\\Kestrel.exe\" abc def", 3, L"<none>"},
        {L"prog \"a b\" c", 1, L"a b"},
        {L"prog \"a b\" c", 2, L"c"},
        {L"prog", 1, L"<none>"},
        {L"   prog    x   ", 1, L"x"},
        // A quote inside a plain token does not start a quoted one.
        {L"prog a\"b c", 1, L"a\"b"},
        {L"prog a\"b c", 2, L"c"},
        {L"prog \"  x  \"", 1, L"x"},
        {L"prog \"   \"", 1, L""},
        {L"prog \"\" y", 1, L""},
        {L"prog \"\" y", 2, L"y"},
        // An unclosed quote runs to the end; a lone quote at the very end is no token.
        {L"prog \"a b", 1, L"a b"},
        {L"prog \"", 1, L"<none>"},
    };
    for (const TokenCase& c : cases) {
        EXPECT_EQ(Arg(c.line, c.index), c.token) << "token " << c.index;
    }
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
