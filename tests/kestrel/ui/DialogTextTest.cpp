// Text plumbing every front-end relies on: Windows mnemonics.
#include <gtest/gtest.h>

#include "ui/DialogTemplate.h"

namespace kestrel::test {
namespace {

using namespace kestrel::ui;

TEST(DialogTemplateTest, MnemonicsBecomeGtkFormOrDisappear) {
    EXPECT_EQ(ToGtkMnemonic(L"退出(&E)"), L"退出(_E)");
    EXPECT_EQ(StripMnemonic(L"退出(&E)"), L"退出(E)");
    EXPECT_EQ(ToGtkMnemonic(L"a_b && c"), L"a__b & c");
    EXPECT_EQ(StripMnemonic(L"a_b && c&"), L"a_b & c&");
}

}  // namespace
}  // namespace kestrel::test
