// Text plumbing every front-end relies on: UTF-8 both ways and Windows mnemonics.
#include <gtest/gtest.h>

#include "ui/DialogTemplate.h"
#include "ui/Utf8Text.h"

namespace kestrel::test {
namespace {

using namespace kestrel::ui;

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

TEST(DialogTemplateTest, MnemonicsBecomeGtkFormOrDisappear) {
    EXPECT_EQ(ToGtkMnemonic(L"退出(&E)"), L"退出(_E)");
    EXPECT_EQ(StripMnemonic(L"退出(&E)"), L"退出(E)");
    EXPECT_EQ(ToGtkMnemonic(L"a_b && c"), L"a__b & c");
    EXPECT_EQ(StripMnemonic(L"a_b && c&"), L"a_b & c&");
}

}  // namespace
}  // namespace kestrel::test
