// The simulator's request stream and command line.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "SimOptions.h"
#include "WireFormat.h"

namespace sim {
namespace {

std::string RequestLine(int code, const std::string& body) {
    std::string inner = std::to_string(code) + '\x03' + body + '\x04';
    std::string length = std::to_string(inner.size() + 12);
    length.insert(0, 6 - length.size(), '0');
    return length + "000000" + inner + '\n';
}

TEST(SimStreamTest, RequestsSplitAtEveryByteOffsetArriveWhole) {
    const std::string stream = RequestLine(8000,
                                           "u\x01u\x01p\x01"
                                           "0\x01-1\x01"
                                           "2\x01") +
                               RequestLine(8001, "u\x01u\x01");
    for (size_t cut = 0; cut <= stream.size(); ++cut) {
        RequestSplitter splitter;
        std::vector<RequestFrame> frames;
        std::string line;
        for (const std::string_view piece :
             {std::string_view(stream).substr(0, cut), std::string_view(stream).substr(cut)}) {
            splitter.Append(piece);
            while (splitter.Next(line)) {
                RequestFrame frame;
                ASSERT_TRUE(ParseRequestFrame(line, frame)) << "cut at " << cut;
                frames.push_back(frame);
            }
        }
        ASSERT_EQ(frames.size(), 2u) << "cut at " << cut;
        EXPECT_EQ(frames[0].code, 8000);
        EXPECT_TRUE(frames[0].lengthMatches);
        EXPECT_EQ(frames[0].body,
                  "u\x01u\x01p\x01"
                  "0\x01-1\x01"
                  "2\x01");
        EXPECT_EQ(frames[1].code, 8001);
        EXPECT_EQ(splitter.PendingSize(), 0u);
    }
}

TEST(SimStreamTest, MalformedLinesAreToldApartFromFrames) {
    RequestFrame frame;
    EXPECT_FALSE(ParseRequestFrame("", frame));
    EXPECT_FALSE(ParseRequestFrame("garbage without a header end", frame));
    EXPECT_FALSE(ParseRequestFrame("0000\x03", frame));  // header shorter than its fixed part
    ASSERT_TRUE(
        ParseRequestFrame("000099000000"
                          "7001\x03"
                          "a\x01\x04",
                          frame));
    EXPECT_EQ(frame.code, 7001);
    EXPECT_FALSE(frame.lengthMatches);
}

TEST(SimOptionsTest, ValuesAreCheckedAndAccountsDefaulted) {
    SimOptions options;
    std::string message;
    bool help = false;
    const char* const good[] = {"sim",         "--port", "0",         "--seed",      "9",
                                "--tick-rate", "2.5",    "--account", "carol:pw:500"};
    ASSERT_TRUE(ParseSimOptions(9, good, options, message, help)) << message;
    EXPECT_EQ(options.seed, 9u);
    EXPECT_FALSE(options.quiet);
    EXPECT_DOUBLE_EQ(options.tickRate, 2.5);
    ASSERT_EQ(options.accounts.size(), 1u);
    EXPECT_EQ(options.accounts[0].user, "carol");
    EXPECT_DOUBLE_EQ(options.accounts[0].balance, 500);

    SimOptions defaults;
    const char* const none[] = {"sim"};
    ASSERT_TRUE(ParseSimOptions(1, none, defaults, message, help));
    EXPECT_EQ(defaults.accounts.size(), DefaultAccounts().size());

    SimOptions texts;
    const char* const named[] = {"sim",   "--cert", "c.pem",      "--quiet",
                                 "--key", "k.pem",  "--pin-file", "pin.txt"};
    ASSERT_TRUE(ParseSimOptions(8, named, texts, message, help)) << message;
    EXPECT_EQ(texts.certFile, "c.pem");
    EXPECT_EQ(texts.keyFile, "k.pem");
    EXPECT_EQ(texts.pinFile, "pin.txt");
    EXPECT_TRUE(texts.quiet);

    const char* const helpArgs[] = {"sim", "--seed", "3", "-h"};
    EXPECT_FALSE(ParseSimOptions(4, helpArgs, texts, message, help));
    EXPECT_TRUE(help);
    EXPECT_EQ(message, SimUsage());

    const std::vector<std::vector<const char*>> bad = {
        {"sim", "--port", "70000"},     {"sim", "--tick-rate", "0"}, {"sim", "--account", "nopass"},
        {"sim", "--account", "u:p:-5"}, {"sim", "--seed"},           {"sim", "--colour", "red"},
    };
    for (const auto& argv : bad) {
        SimOptions o;
        EXPECT_FALSE(ParseSimOptions(static_cast<int>(argv.size()), argv.data(), o, message, help))
            << argv[1];
        EXPECT_FALSE(help);
    }
}

}  // namespace
}  // namespace sim
