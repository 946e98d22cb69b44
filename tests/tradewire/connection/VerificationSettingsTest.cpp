#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "connection/VerificationSettings.h"

namespace {

// 0x00 0x01 ... 0x1f, the digest every well-formed spelling below stands for.
CPinDigest Counting() {
    CPinDigest digest{};
    for (size_t i = 0; i < digest.size(); ++i) {
        digest[i] = static_cast<unsigned char>(i);
    }
    return digest;
}

const std::string kHex = "000102030405060708090a0b0c0d0e0f101112131415161718191a1b1c1d1e1f";
const std::string kColons =
    "00:01:02:03:04:05:06:07:08:09:0A:0B:0C:0D:0E:0F:10:11:12:13:14:15:16:17:18:19:1a:1b:1c:1d:"
    "1e:1f";
const std::string kBase64 = "AAECAwQFBgcICQoLDA0ODxAREhMUFRYXGBkaGxwdHh8=";

struct CPinCase {
    const char* what;
    std::string text;
    size_t count;  // digests expected; 0: malformed
};

}  // namespace

TEST(VerificationSettings, PinListsReadEveryAllowedSpellingAndRejectTheRest) {
    const std::string upper = "000102030405060708090A0B0C0D0E0F101112131415161718191A1B1C1D1E1F";
    const std::vector<CPinCase> cases = {
        {"lower-case hex", kHex, 1},
        {"upper-case hex", upper, 1},
        {"hex with colons, mixed case", kColons, 1},
        {"base64", kBase64, 1},
        {"prefixed hex", "sha256//" + kHex, 1},
        {"prefixed base64", "sha256//" + kBase64, 1},
        {"several, spaces around the commas", kHex + " , sha256//" + kBase64 + ",\t" + kColons, 3},
        {"empty", "", 0},
        {"empty item", kHex + ",", 0},
        {"empty item between", kHex + ",," + kBase64, 0},
        {"one hex digit short", kHex.substr(1), 0},
        {"one hex digit long", kHex + "0", 0},
        {"not a hex digit", "g" + kHex.substr(1), 0},
        {"colon out of place", "0:00" + kColons.substr(3), 0},
        {"colons and no colons mixed", kColons.substr(0, 30) + kHex.substr(20), 0},
        {"base64 without padding", kBase64.substr(0, 43), 0},
        {"base64 with a non-zero unused bit", kBase64.substr(0, 42) + "9=", 0},
        {"base64url alphabet", "-" + kBase64.substr(1), 0},
        {"prefix of another digest", "sha1//" + kHex, 0},
        {"prefix in upper case", "SHA256//" + kHex, 0},
        {"prefix alone", "sha256//", 0},
        {"one bad among good ones", kHex + ",nonsense," + kBase64, 0},
    };
    for (const CPinCase& row : cases) {
        SCOPED_TRACE(row.what);
        std::vector<CPinDigest> pins;
        const bool read = CVerificationSettings::ParsePins(row.text, pins);
        EXPECT_EQ(read, row.count > 0);
        if (read) {
            EXPECT_EQ(pins, std::vector<CPinDigest>(row.count, Counting()));
        }
    }
}

TEST(VerificationSettings, ServerNamesMustBeDnsNames) {
    for (const char* good : {"trading.test", "a", "A-1.example.", "xn--bcher-kva.example"}) {
        EXPECT_TRUE(CVerificationSettings::IsDnsName(good)) << good;
    }
    const std::string longLabel(64, 'a');
    const std::string longName = std::string(250, 'a').insert(63, ".").insert(127, ".") + ".test";
    // The last four are addresses: no top-level domain is all digits.
    for (const std::string& bad :
         {std::string(""), std::string("."), std::string("a..b"), std::string("-a.test"),
          std::string("a-.test"), std::string("a b.test"), std::string("a_b.test"),
          std::string("*.test"), longLabel, longName, std::string("127.0.0.1"),
          std::string("127.0.0.1."), std::string("2130706433"), std::string("0x7f.0.0.1")}) {
        EXPECT_FALSE(CVerificationSettings::IsDnsName(bad)) << bad;
    }
}

TEST(VerificationSettings, NothingSetAsksForNoCheckAndAnyBadValueFailsTheRead) {
    CVerificationSettings settings;
    EXPECT_TRUE(settings.Read("", "", ""));
    EXPECT_FALSE(settings.AnyCheck());

    EXPECT_TRUE(settings.Read("", "trading.test", ""));
    EXPECT_TRUE(settings.AnyCheck());
    EXPECT_TRUE(settings.Read("/some/file.pem", "", ""));
    EXPECT_TRUE(settings.AnyCheck());
    EXPECT_TRUE(settings.Read("", "", kHex));
    EXPECT_EQ(settings.Pins().size(), 1u);

    // One trailing dot is dropped: the certificate and the SNI carry the name without it.
    EXPECT_TRUE(settings.Read("", "trading.test.", ""));
    EXPECT_EQ(settings.ServerName(), "trading.test");

    EXPECT_FALSE(settings.Read("", "not a name", ""));
    EXPECT_FALSE(settings.Read("/some/file.pem", "", "nonsense"));
}
