// UTF-8 as the front-ends, the terminal and Kestrel's system paths use it.
#include "common/text/Utf8.h"

#include <gtest/gtest.h>

namespace common::text {
namespace {

TEST(Utf8TextTest, EncodesAndDecodesEveryLength) {
    const std::wstring text = L"A\u00E9\u66F4\U0001F600";
    const std::string utf8 = "A\xC3\xA9\xE6\x9B\xB4\xF0\x9F\x98\x80";
    EXPECT_EQ(WideToUtf8(text), utf8);
    EXPECT_EQ(Utf8ToWide(utf8), text);
}

TEST(Utf8TextTest, BadInputBecomesReplacementAndDecodingGoesOn) {
    EXPECT_EQ(Utf8ToWide("a\xFF"
                         "b"),
              L"a\uFFFDb");
    EXPECT_EQ(Utf8ToWide("a\xE6\x9B"), L"a\uFFFD\uFFFD");  // cut at the end
    EXPECT_EQ(Utf8ToWide("\xE6\x9B"
                         "b"),
              L"\uFFFDb");                               // cut before ASCII
    EXPECT_EQ(Utf8ToWide("\xC0\xAF"), L"\uFFFD\uFFFD");  // overlong slash
    EXPECT_EQ(Utf8ToWide("\xED\xA0\x80"), L"\uFFFD");    // surrogate
    EXPECT_EQ(WideToUtf8(std::wstring(1, static_cast<wchar_t>(0xD800))), "\xEF\xBF\xBD");
}

TEST(Utf8TextTest, SkipModeLeavesOutWhatHasNoUtf8Form) {
    const std::wstring text{L'a', static_cast<wchar_t>(0xDFFF), L'b'};
    EXPECT_EQ(WideToUtf8(text, Unencodable::Skip), "ab");
}

TEST(Utf8TextTest, EscapedBytesComeBackAsTheSameBytes) {
    // Stray bytes, a cut sequence, an overlong form and an encoded surrogate, among valid text.
    const std::string bytes("a\xFF\xFE-\xE6\x9B-\xC0\xAF-\xED\xA0\x80-\xE6\x9B\xB4", 17);
    const std::wstring wide = BytesToEscapedWide(bytes);
    EXPECT_EQ(wide.substr(0, 3),
              (std::wstring{L'a', static_cast<wchar_t>(0xDCFF), static_cast<wchar_t>(0xDCFE)}));
    EXPECT_EQ(wide.back(), L'\u66F4');
    EXPECT_EQ(EscapedWideToBytes(wide), bytes);
    // A lone surrogate outside the escape range has no byte form.
    EXPECT_EQ(EscapedWideToBytes(std::wstring(1, static_cast<wchar_t>(0xD800))), "?");
}

}  // namespace
}  // namespace common::text
