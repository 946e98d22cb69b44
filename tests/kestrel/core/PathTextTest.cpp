#include "core/PathText.h"

#include <gtest/gtest.h>

#include <cwchar>
#include <string>
#include <vector>

namespace kestrel::test {

using namespace kestrel::core;

namespace {

// `text` after AppendPathSeparator in a buffer of `capacity` characters; "<overrun>" when the
// character just past the buffer was written.
std::wstring Appended(const wchar_t* text, size_t capacity) {
    std::vector<wchar_t> buffer(capacity + 1, L'#');
    std::wcscpy(buffer.data(), text);
    AppendPathSeparator(buffer.data(), capacity);
    return buffer[capacity] == L'#' ? std::wstring(buffer.data()) : L"<overrun>";
}

}  // namespace

TEST(AppendPathSeparator, AddsBackslashOnlyWhenMissingAndRoomLeft) {
    EXPECT_EQ(Appended(L"C:\\a", 16), L"C:\\a\\");
    EXPECT_EQ(Appended(L"C:\\a\\", 16), L"C:\\a\\");
    EXPECT_EQ(Appended(L"C:\\a/", 16), L"C:\\a/");
    // Length 4 is not below capacity 6 - 2: nothing is appended, nothing written past.
    EXPECT_EQ(Appended(L"abcd", 6), L"abcd");

    std::wstring empty;
    AppendPathSeparator(empty);
    EXPECT_EQ(empty, L"");
    std::wstring text = L"/opt/app";
    AppendPathSeparator(text);
    EXPECT_EQ(text, L"/opt/app\\");
}

TEST(BoundedCopy, TerminatesWhatDoesNotFitAndRefusesNull) {
    wchar_t small[4] = {L'x', L'x', L'x', L'x'};
    EXPECT_TRUE(BoundedCopy(small, 4, L"abcdef"));
    EXPECT_STREQ(small, L"abc");
    wchar_t exact[4];
    EXPECT_TRUE(BoundedCopy(exact, 4, L"abc"));
    EXPECT_STREQ(exact, L"abc");
    EXPECT_FALSE(BoundedCopy(nullptr, 4, L"a"));
    EXPECT_FALSE(BoundedCopy(exact, 4, nullptr));
}

TEST(SplitPath, SplitsFolderBaseAndExtension) {
    wchar_t folder[32] = L"untouched";
    wchar_t base[32] = {};
    wchar_t ext[32] = {};
    SplitPath(L"C:\\dir\\name.ext", folder, 32, base, 32, ext, 32);
    EXPECT_STREQ(folder, L"C:\\dir");
    EXPECT_STREQ(base, L"name");
    EXPECT_STREQ(ext, L"ext");

    std::wcscpy(folder, L"untouched");
    SplitPath(L"name", folder, 32, base, 32, ext, 32);
    EXPECT_STREQ(folder, L"untouched");
    EXPECT_STREQ(base, L"name");
    EXPECT_STREQ(ext, L"");

    // A dot in a folder name is not the extension; '/' separates when there is no '\'.
    SplitPath(L"/opt/v1.2/Osprey", folder, 32, base, 32, ext, 32);
    EXPECT_STREQ(folder, L"/opt/v1.2");
    EXPECT_STREQ(base, L"Osprey");
    EXPECT_STREQ(ext, L"");
    // Outputs are cut to their capacity, never overrun.
    wchar_t tiny[4];
    SplitPath(L"/a/longname.txt", nullptr, 0, tiny, 4, nullptr, 0);
    EXPECT_STREQ(tiny, L"lon");
}

TEST(TrimSpaces, RemovesOnlyOuterSpaces) {
    wchar_t text[16] = L"  a b  ";
    EXPECT_EQ(TrimSpaces(text), text);
    EXPECT_STREQ(text, L"a b");
    wchar_t blank[8] = L"   ";
    EXPECT_STREQ(TrimSpaces(blank), L"");
    wchar_t tab[8] = L"\tx ";
    EXPECT_STREQ(TrimSpaces(tab), L"\tx");
    std::wstring s = L"  x  ";
    EXPECT_EQ(TrimSpaces(s), L"x");
}

TEST(ReplaceChar, ReplacesEveryOccurrence) {
    std::wstring stamp = L"2024-01-02 03:04:05";
    ReplaceChar(stamp, L':', L'_');
    EXPECT_EQ(stamp, L"2024-01-02 03_04_05");
}

TEST(JoinBoundedPath, RefusesResultsLongerThan259Characters) {
    std::wstring out = L"unchanged";
    EXPECT_TRUE(JoinBoundedPath(std::wstring(200, L'a'), std::wstring(59, L'b'), out));
    EXPECT_EQ(out.size(), 259u);
    out = L"unchanged";
    EXPECT_FALSE(JoinBoundedPath(std::wstring(200, L'a'), std::wstring(60, L'b'), out));
    EXPECT_EQ(out, L"unchanged");
}

TEST(PathComparison, IgnoresCaseAndSeparatorKind) {
    EXPECT_TRUE(EqualPathsNoCase(L"C:\\APP\\X.EXE", L"c:\\app\\x.exe"));
    EXPECT_TRUE(EqualPathsNoCase(L"/opt/App/Osprey.exe", L"\\OPT\\app\\osprey.EXE"));
    EXPECT_TRUE(EqualPathsNoCase(L"/opt/Ärger.exe", L"/opt/ärger.exe"));
    EXPECT_FALSE(EqualPathsNoCase(L"/opt/app/x.exe", L"/opt/app/x.exe2"));
    EXPECT_TRUE(StartsWithPathNoCase(L"/PROG/dir/a.txt", L"/prog/"));
    EXPECT_FALSE(StartsWithPathNoCase(L"/prog", L"/prog/"));
}

TEST(ToSingleFolderName, LeavesNothingThatCouldLeaveTheFolderOrThatWindowsRefuses) {
    EXPECT_EQ(ToSingleFolderName(L"2024-01-02 03:04:05"), L"2024-01-02 03_04_05");
    EXPECT_EQ(ToSingleFolderName(L".."), L"__");
    EXPECT_EQ(ToSingleFolderName(L"."), L"_");
    EXPECT_EQ(ToSingleFolderName(L"..\\..\\x/y"), L".._.._x_y");
    EXPECT_EQ(ToSingleFolderName(L"a<b>c\"d|e?f*g\th"), L"a_b_c_d_e_f_g_h");
    EXPECT_EQ(ToSingleFolderName(L"v1. . "), L"v1____");
    EXPECT_EQ(ToSingleFolderName(L"...x"), L"...x");  // leading dots are a plain name
    EXPECT_EQ(ToSingleFolderName(L"Com1.txt"), L"Com1.txt_");
    EXPECT_EQ(ToSingleFolderName(L"CON"), L"CON_");
    EXPECT_EQ(ToSingleFolderName(L"CONSOLE"), L"CONSOLE");
    EXPECT_EQ(ToSingleFolderName(L"更新 1"), L"更新 1");
    EXPECT_EQ(ToSingleFolderName(L""), L"");
}

TEST(PathParts, SplitsAtEitherSeparatorAndDropsEmptyPartsAndDots) {
    using Parts = std::vector<std::wstring>;
    EXPECT_EQ(PathParts(L"a/./b\\..\\c"), (Parts{L"a", L"b", L"..", L"c"}));
    EXPECT_EQ(PathParts(L"\\\\a//b\\"), (Parts{L"a", L"b"}));
    EXPECT_EQ(PathParts(L"..."), (Parts{L"..."}));
    EXPECT_EQ(PathParts(L"./"), Parts{});
    EXPECT_EQ(PathParts(L""), Parts{});
}

TEST(NormalizeRelativePath, TakesDotsAsTextAndRefusesToClimbOut) {
    std::wstring out = L"unchanged";
    EXPECT_TRUE(NormalizeRelativePath(L"a/./b\\..\\c", out));
    EXPECT_EQ(out, L"a\\c");
    EXPECT_TRUE(NormalizeRelativePath(L"\\\\a//b\\", out));
    EXPECT_EQ(out, L"a\\b");
    out = L"unchanged";
    EXPECT_FALSE(NormalizeRelativePath(L"..\\prog\\a", out));
    EXPECT_FALSE(NormalizeRelativePath(L"a\\..\\..\\a", out));
    EXPECT_FALSE(NormalizeRelativePath(L"a\\..", out));
    EXPECT_FALSE(NormalizeRelativePath(L"", out));
    EXPECT_EQ(out, L"unchanged");
}

}  // namespace kestrel::test
