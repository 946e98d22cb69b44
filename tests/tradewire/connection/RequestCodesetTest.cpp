#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/TextCodec.h"
#include "protocol/ForexProtocol.h"

namespace {

// The wire codeset is read once per process, so this executable fixes it before any test runs.
const bool kGbkChosen = ::setenv("TRADEWIRE_CODESET", "GBK", 1) == 0;

}  // namespace

TEST(RequestCodeset, LengthFieldCountsTheBytesOfTwoByteCharacters) {
    ASSERT_TRUE(kGbkChosen);
    ASSERT_EQ(CTextCodec::System().Codeset(), "GBK");
    CForexProtocol protocol;
    const std::string frame = protocol.BuildLogout(L"\u4E2D\u6587");  // two characters
    // 12 + "8001" + 0x03 + 2 x (4 bytes + 0x01) + 0x04
    EXPECT_EQ(frame.size(), 28u);
    EXPECT_EQ(frame.substr(0, 6), "000028");
    EXPECT_EQ(frame.substr(17, 5), "\xD6\xD0\xCE\xC4\x01");
}

TEST(RequestCodeset, CharactersTheCodesetLacksAreSentAsQuestionMarks) {
    CForexProtocol protocol;
    const std::string frame = protocol.BuildLogout(L"a\u20A9");
    EXPECT_EQ(frame.substr(17, 3), "a?\x01");
    EXPECT_EQ(std::atoi(frame.substr(0, 6).c_str()), static_cast<int>(frame.size()));
}
