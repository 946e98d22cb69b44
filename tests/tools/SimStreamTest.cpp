// The simulator's request stream, command line and capture replay feed.

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <string>
#include <vector>

#include "ReplayFeed.h"
#include "SimOptions.h"
#include "TempFolder.h"
#include "WireFormat.h"
#include "vocabulary/CaptureLine.h"

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

// A request as a capture's send record: escaped, without its line end.
std::string SentRecord(int ms, int code) {
    std::string line = RequestLine(code,
                                   "demo\x01"
                                   "demo\x01");
    line.pop_back();
    std::string record = std::to_string(ms) + " send ";
    capture::AppendEscaped(record, line);
    return record + "\n";
}

// A login, two chunks answering it, an order whose answer was recorded before its frame (the
// receive thread can record first), a history request and a logout. Three gates.
std::string GatedCapture() {
    return "TWCAP 2 start=20261210-000000 pass=1\n" + SentRecord(10, 8000) +
           "20 recv login-answer\n"
           "30 recv account\n"
           "100 commit after=2 AccountCode=demo\n"
           "105 recv deal\n" +
           SentRecord(106, 7001) + "110 recv quote\n" + SentRecord(200, 7900) +
           "230 recv history\n" + SentRecord(300, 8001) + "301 recv logged-out\n";
}

class ReplayFeedTest : public ::testing::Test {
  protected:
    using Clock = ReplayFeed::Clock;

    void Load(bool fast) {
        const std::string path = m_folder.Path() + "/gated.twcap";
        std::ofstream(path, std::ios::binary) << GatedCapture();
        std::string error;
        ASSERT_TRUE(m_feed.Load(path, fast, error)) << error;
        m_feed.Begin(kSession, m_start);
    }
    // The chunks due `ms` after the login arrived that were not taken yet.
    std::vector<std::string> Due(int ms) {
        std::vector<std::string> sent;
        m_feed.SendDue(At(ms), [&sent](int session, const std::string& bytes) {
            EXPECT_EQ(session, kSession);
            sent.push_back(bytes);
        });
        return sent;
    }
    Clock::time_point At(int ms) const { return m_start + std::chrono::milliseconds(ms); }

    static constexpr int kSession = 4;
    CTempFolder m_folder{"tw-replay-feed"};
    ReplayFeed m_feed;
    Clock::time_point m_start = Clock::now();
};

TEST_F(ReplayFeedTest, EachCapturedAnswerWaitsForItsRequestThenKeepsItsCapturedDelay) {
    Load(false);
    EXPECT_EQ(m_feed.GateCount(), 3u);
    EXPECT_EQ(Due(9), std::vector<std::string>{});
    EXPECT_EQ(Due(10), std::vector<std::string>{"login-answer"});
    // A client that makes no request gets what came before the first one, and then waits.
    EXPECT_EQ(Due(60000), std::vector<std::string>{"account"});
    EXPECT_TRUE(m_feed.IsHeld());
    EXPECT_EQ(m_feed.Wait(At(60000), std::chrono::milliseconds(50)), std::chrono::milliseconds(50));
    m_feed.OnRequest(kSession + 1, 7001, At(60000));  // not the served client
    m_feed.OnRequest(kSession, 1234, At(60000));      // no request a capture gates
    EXPECT_EQ(Due(70000), std::vector<std::string>{});

    // The order's gate is its commit: the deal recorded before the frame waits for it too, and
    // leaves as long after the request as it came after the commit.
    m_feed.OnRequest(kSession, 7001, At(70000));
    EXPECT_FALSE(m_feed.IsHeld());
    EXPECT_EQ(m_feed.Wait(At(70000), std::chrono::milliseconds(50)), std::chrono::milliseconds(5));
    EXPECT_EQ(Due(70004), std::vector<std::string>{});
    EXPECT_EQ(Due(70010), (std::vector<std::string>{"deal", "quote"}));
    EXPECT_TRUE(m_feed.IsHeld());

    m_feed.OnRequest(kSession, 7900, At(80000));
    EXPECT_EQ(Due(80029), std::vector<std::string>{});
    EXPECT_EQ(Due(80030), std::vector<std::string>{"history"});
    m_feed.OnRequest(kSession, 8001, At(90000));
    m_feed.OnRequest(kSession, 8001, At(90000));  // one more than the capture made changes nothing
    EXPECT_EQ(m_feed.GatesOpened(), 3u);
    EXPECT_EQ(Due(90001), std::vector<std::string>{"logged-out"});
    EXPECT_FALSE(m_feed.IsHeld());
}

TEST_F(ReplayFeedTest, FastServesEachGatesChunksAsItOpens) {
    Load(true);
    EXPECT_EQ(Due(0), (std::vector<std::string>{"login-answer", "account"}));
    EXPECT_EQ(Due(1000), std::vector<std::string>{});
    m_feed.OnRequest(kSession, 7001, At(1000));
    EXPECT_EQ(Due(1000), (std::vector<std::string>{"deal", "quote"}));
}

}  // namespace
}  // namespace sim
