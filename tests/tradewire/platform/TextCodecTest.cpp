#include <gtest/gtest.h>

#include "platform/TextCodec.h"
#include "vocabulary/WideText.h"

namespace {

// 中文 in GBK and in UTF-8.
const std::string kGbkChinese = "\xD6\xD0\xCE\xC4";
const std::string kUtf8Chinese = "\xE4\xB8\xAD\xE6\x96\x87";
const std::wstring kChinese = L"\u4E2D\u6587";

TEST(TextCodec, RoundTripsThroughATwoByteCodePageAndUtf8InOneProcess) {
    const CTextCodec gbk("GBK");
    const CTextCodec utf8("UTF-8");
    EXPECT_EQ(gbk.ToBytes(L"A" + kChinese), "A" + kGbkChinese);
    EXPECT_EQ(gbk.ToWide("A" + kGbkChinese), L"A" + kChinese);
    EXPECT_EQ(utf8.ToBytes(kChinese), kUtf8Chinese);
    EXPECT_EQ(utf8.ToWide(kUtf8Chinese), kChinese);
}

TEST(TextCodec, UnmappableCharactersBecomeQuestionMarks) {
    const CTextCodec gbk("GBK");
    EXPECT_EQ(gbk.ToBytes(L"a\u20A9b"), "a?b");  // the won sign has no GBK code
    const CTextCodec latin1("ISO-8859-1");
    EXPECT_EQ(latin1.ToBytes(kChinese + L"!"),
              "?"
              "?!");
}

TEST(TextCodec, InvalidAndCutBytesBecomeReplacementCharactersAndConversionGoesOn) {
    const CTextCodec utf8("UTF-8");
    EXPECT_EQ(utf8.ToWide("a\xFF"
                          "b"),
              L"a\uFFFDb");
    EXPECT_EQ(utf8.ToWide("ab\xE4\xB8"), L"ab\uFFFD\uFFFD");
    const CTextCodec gbk("GBK");
    EXPECT_EQ(gbk.ToWide("x\xD6"), L"x\uFFFD");
}

TEST(TextCodec, StopsAtTheFirstZeroLikeTheZeroTerminatedPlatformCalls) {
    const CTextCodec utf8("UTF-8");
    EXPECT_EQ(utf8.ToWide(std::string("ab\0cd", 5)), L"ab");
    EXPECT_EQ(utf8.ToBytes(std::wstring(L"ab\0cd", 5)), "ab");
}

TEST(TextCodec, UnknownCodesetFallsBackToUtf8) {
    const CTextCodec unknown("NO-SUCH-CODESET");
    EXPECT_EQ(unknown.Codeset(), "UTF-8");
    EXPECT_EQ(unknown.ToBytes(kChinese), kUtf8Chinese);
}

TEST(TextCodec, ControlBytesOfTheWireSurviveBothWays) {
    const std::string wire = "abc\x01\x04";
    EXPECT_EQ(AnsiToWide(wire), CString(L"abc\x01\x04"));
    EXPECT_EQ(WideToAnsi(CString(L"abc\x01\x04")), wire);
    EXPECT_EQ(WideToAnsi(CString()), "");
}

TEST(TextCodec, WireFieldsWidenWholeAtEveryLengthAndStopAtAZero) {
    for (const size_t length : {0, 1, 127, 128, 129, 1000}) {
        const CString wide = AnsiToWide(std::string(length, 'q'));
        ASSERT_EQ(static_cast<size_t>(wide.GetLength()), length);
        EXPECT_EQ(ToStdWString(wide), std::wstring(length, L'q'));
    }
    EXPECT_EQ(AnsiToWide(std::string("ab\0cd", 5)), CString(L"ab"));
    for (const std::string& mixed :
         {"x" + kUtf8Chinese, "x" + kGbkChinese + std::string(200, 'y')}) {
        EXPECT_EQ(AnsiToWide(mixed), ToCString(CTextCodec::System().ToWide(mixed)));
    }
}

}  // namespace
