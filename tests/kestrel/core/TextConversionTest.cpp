#include "core/TextConversion.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/PathEncoding.h"

namespace kestrel::test {

using namespace kestrel::core;

TEST(MultiByteToWideString, ConvertsUtf8AndReplacesInvalidBytes) {
    std::wstring out = L"old";
    EXPECT_TRUE(MultiByteToWideString(kCodePageUtf8, "", out));
    EXPECT_EQ(out, L"");
    EXPECT_TRUE(MultiByteToWideString(kCodePageUtf8, "Osprey\\更新.dll", out));
    EXPECT_EQ(out, L"Osprey\\更新.dll");
    EXPECT_TRUE(MultiByteToWideString(kCodePageUtf8,
                                      "a\xff"
                                      "b\xe6\x9b",
                                      out));
    EXPECT_EQ(out,
              L"a\xFFFD"
              L"b\xFFFD\xFFFD");
    EXPECT_FALSE(MultiByteToWideString(kCodePageUtf8, nullptr, out));
}

TEST(MultiByteToWideString, KnowsCodePagesByNumberAndRefusesUnknownOnes) {
    std::wstring out;
    EXPECT_TRUE(MultiByteToWideString(936, "\xb8\xfc\xd0\xc2", out));  // GBK
    EXPECT_EQ(out, L"更新");
    out = L"old";
    EXPECT_FALSE(MultiByteToWideString(123456, "abc", out));
    EXPECT_EQ(out, L"");
    EXPECT_TRUE(MultiByteToWideString(kCodePageAnsi, "2024-01-02 03:04:05", out));
    EXPECT_EQ(out, L"2024-01-02 03:04:05");
}

TEST(SystemBytes, InvalidUtf8InNamesSurvivesTheRoundTrip) {
    const std::string name("user-\xff\xfe-\xe6\x9b\xb4", 11);
    const std::wstring wide = kestrel::platform::FromSystemBytes(name);
    EXPECT_EQ(wide.substr(wide.size() - 1), L"更");
    EXPECT_EQ(kestrel::platform::ToSystemBytes(wide), name);
    EXPECT_EQ(kestrel::platform::ToSystemPath(L"a\\b/c"), "a/b/c");
    using Names = std::vector<std::string>;
    EXPECT_EQ(kestrel::platform::SplitSystemPath("/a//b/"), (Names{"a", "b"}));
    EXPECT_EQ(kestrel::platform::SplitSystemPath("a"), (Names{"a"}));
    EXPECT_EQ(kestrel::platform::SplitSystemPath("/"), Names{});
}

}  // namespace kestrel::test
