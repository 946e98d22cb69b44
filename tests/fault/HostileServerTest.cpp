// Servers that misbehave: a connection closed in the middle of a frame, garbage, a line of
// 5 MB, a reset in the middle of the terminal's send burst. The terminal must neither crash nor
// hang, must report the failure through the sink and must start the next session clean.

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <functional>
#include <random>
#include <thread>

#include "Eventually.h"
#include "FaultFixture.h"
#include "NonFiniteNumbers.h"
#include "NonFiniteSession.h"
#include "SessionWire.h"
#include "protocol/ForexProtocol.h"
#include "protocol/ReceiveBuffer.h"
#include "vocabulary/WideText.h"
#include "vocabulary/WireVocabulary.h"

using wire::Result;

namespace {

using namespace std::chrono_literals;
using HostileServerTest = FaultFixture;

bool OnlySocketErrors(const std::vector<std::string>& lines) {
    for (const std::string& line : lines) {
        if (line.rfind("OnSocketError", 0) != 0) {
            return false;
        }
    }
    return true;
}

TEST_F(HostileServerTest, CloseInsideAFrameDeliversNothingAndTheNextSessionStartsClean) {
    const std::string account = AccountLine("ACC1", 5000, 100);
    // Inside the length field, inside the body, and between the line end's two bytes.
    for (size_t cut : {size_t{3}, account.size() / 2, account.size() - 1}) {
        SCOPED_TRACE(cut);
        ConnectAndGreet();
        ASSERT_TRUE(server.Send(account.substr(0, cut)));
        server.CloseClient();
        ASSERT_TRUE(sink.WaitFor(1, kWait));
        manager->DisConnect();
        CAccountInfo seen;
        Center().GetAccountInfo(seen);
        if (cut < account.size() - 2) {
            EXPECT_TRUE(OnlySocketErrors(sink.Lines()));
            EXPECT_NE(seen.AccountCode, CString(L"ACC1"));
        } else {
            // The whole message arrived before the close: it is delivered ahead of the error.
            EXPECT_EQ(sink.Lines().at(0).rfind("OnAccountInfo ACC1", 0), 0u);
        }

        // What the closed session left half-read must not join the next session's first line.
        ConnectAndGreet();
        ASSERT_TRUE(server.Send(AccountLine("ACC2", 10, 7)));
        ASSERT_TRUE(sink.WaitFor(1, kWait));
        EXPECT_EQ(sink.Lines().at(0).rfind("OnAccountInfo ACC2 funds=1", 0), 0u);
        manager->DisConnect();
        sink.Clear();
    }
}

// Lines a broken or hostile server might send: random bytes, and frames whose header or body
// is random, with codes the terminal handles.
std::vector<std::string> GarbageLines(std::uint32_t seed, int count) {
    static const int kCodes[] = {8000, 9002, 9501, 9505, 9511, 9512, 9513, 9514, 9515,
                                 9516, 9518, 9524, 9999, 7002, 7003, 7004, 7005, 1};
    static const char kAlphabet[] = "\x01\x01\x01\x03\x04\x04\x05\x05\r\n0123456789.-eE ABZ\xff";
    std::mt19937 random(seed);
    auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    std::vector<std::string> lines;
    for (int i = 0; i < count; ++i) {
        std::string body;
        const int length = pick(400);
        for (int j = 0; j < length; ++j) {
            body += pick(4) == 0 ? static_cast<char>(pick(256))
                                 : kAlphabet[pick(sizeof(kAlphabet) - 1)];
        }
        switch (pick(3)) {
            case 0:
                lines.push_back(body + "\r\n");
                break;
            case 1:
                lines.push_back(InboundLine(kCodes[pick(std::size(kCodes))], body));
                break;
            default:  // a declared length that lies either way
                lines.push_back(InboundMessage(kCodes[pick(std::size(kCodes))], body,
                                               pick(2) == 0 ? 0 : pick(100000)) +
                                "\r\n");
        }
    }
    return lines;
}

TEST_F(HostileServerTest, GarbageNeitherCrashesNorStopsTheNextSession) {
    ConnectAndGreet();
    // A terminal reading its stores while the garbage is applied.
    CBackgroundLoop reader([&] { EXPECT_GE(StoreSnapshot(Center()).size(), 10u); });
    for (const std::string& line : GarbageLines(20261208, 60)) {
        ASSERT_TRUE(server.Send(line));
    }
    // Every line end the garbage holds is worked off, one message a pass.
    EXPECT_TRUE(Eventually(
        [&] { return manager->CopyReceiveBuffer().find('\r') == std::string::npos; }, 30s));
    EXPECT_GT(reader.Stop(), 0);
    manager->DisConnect();

    sink.Clear();
    ConnectAndGreet();
    ASSERT_TRUE(server.Send(AccountLine("ACC2", 10, 7)));
    ASSERT_TRUE(sink.WaitFor(1, kWait));
    // An account line without instruments keeps those the garbage may have left.
    EXPECT_EQ(sink.Lines().at(0).rfind("OnAccountInfo ACC2 funds=1", 0), 0u) << sink.Lines()[0];
}

constexpr size_t kFiveMegabytes = 5u << 20;

TEST_F(HostileServerTest, AFiveMegabyteLineInFlightDoesNotHoldUpDisconnect) {
    ConnectAndGreet();
    const std::string huge = std::string(kFiveMegabytes, 'A') + "\r\n";
    std::thread sender([&] { server.Send(huge); });  // fails once the terminal hangs up

    // The reader keeps taking the line at its own pace while getters are served.
    ASSERT_TRUE(Eventually([&] { return manager->CopyReceiveBuffer().size() > 20000; }, kWait));
    CForexMerchArray merchs;
    Center().GetForexMerchs(merchs);
    manager->DisConnect();
    EXPECT_FALSE(manager->IsConnected());
    server.CloseClient();
    sender.join();
}

// A message that never ends must not take the terminal's memory with it. The ceiling is made
// small here; the real one is 64 MiB.
TEST_F(HostileServerTest, AMessageOutgrowingTheCeilingIsDroppedWithOneMessageSizeError) {
    constexpr size_t kCeiling = 16 * 1024;
    constexpr int kTexts = 40;
    std::string lines;
    for (int i = 0; i < 100; ++i) {
        lines += std::string(38, 'B') + "\r\n";
    }
    struct CEndless {
        const char* name;
        std::string start;  // after the whole messages
        std::string piece;  // sent again and again
    };
    const CEndless forms[] = {
        {"a line without end", "", std::string(4000, 'A')},
        // Every line after it joins the message, as its declared length asks.
        {"a declared length never reached", InboundMessage(9002, "a", 999999) + "\r\n", lines},
    };
    const std::string outgrown = "OnSocketError error=10040";
    for (const CEndless& form : forms) {
        SCOPED_TRACE(form.name);
        UseReceiveCeiling(kCeiling);
        ConnectAndGreet();
        std::string texts;
        for (int i = 0; i < kTexts; ++i) {
            texts += InboundLine(9002, "t" + std::to_string(i));
        }
        std::atomic<size_t> largest{0};
        CBackgroundLoop sampler([&] {
            largest = std::max(largest.load(), manager->CopyReceiveBuffer().size());
            std::this_thread::sleep_for(1ms);
        });
        ASSERT_TRUE(server.Send(texts + form.start));
        for (int i = 0; i < 10; ++i) {
            ASSERT_TRUE(server.Send(form.piece));
        }
        // The whole messages in front of the dropped one all still arrive, in order.
        ASSERT_TRUE(sink.WaitFor(kTexts + 1, kWait));
        sampler.Stop();
        EXPECT_LE(largest.load(), kCeiling);
        EXPECT_LE(manager->ReceiveBufferCapacity(), texts.size());
        ASSERT_TRUE(Eventually([&] { return manager->CopyReceiveBuffer().empty(); }, kWait));

        // From then on nothing is read or reported until the terminal disconnects.
        ASSERT_TRUE(server.Send(form.piece + InboundLine(9002, "late")));
        std::this_thread::sleep_for(400ms);
        std::vector<std::string> seen = sink.Lines();
        EXPECT_EQ(std::count(seen.begin(), seen.end(), outgrown), 1);
        // Reported only once the whole messages in front were delivered: a terminal that
        // disconnects on it has lost none of them.
        const auto reported = std::find(seen.begin(), seen.end(), outgrown);
        EXPECT_EQ(reported - seen.begin(), kTexts);
        if (reported != seen.end()) {
            seen.erase(reported);
        }
        ASSERT_EQ(seen.size(), static_cast<size_t>(kTexts));
        for (int i = 0; i < kTexts; ++i) {
            EXPECT_EQ(seen[i], "OnTextMessage \"t" + std::to_string(i) + "\"");
        }
        EXPECT_TRUE(manager->CopyReceiveBuffer().empty());

        manager->DisConnect();
        EXPECT_LE(manager->ReceiveBufferCapacity(), std::string().capacity());
        // The next session reads again.
        ConnectAndGreet();
        ASSERT_TRUE(server.Send(InboundLine(9002, "again")));
        ASSERT_TRUE(sink.WaitFor(1, kWait));
        EXPECT_EQ(sink.Lines()[0], "OnTextMessage \"again\"");
        manager->DisConnect();
        sink.Clear();
    }
}

TEST(HugeLineTest, AFiveMegabyteMessageIsDispatchedWhole) {
    // About 5 MB of instrument records in one 9511 message.
    CWireBody body;
    int count = 0;
    while (body.Str().size() < kFiveMegabytes) {
        const std::string code = "M" + std::to_string(count++);
        body.Text(code).Int(1).Text(code).Empty(18).Num(1.25).Num(1.5).Empty(65).EndRecord();
    }
    CForexProtocol protocol;
    CReceiveBuffer buffer;
    buffer.Append(InboundLine(9511, body));
    EXPECT_NE(protocol.ProcessReceived(buffer), Result::Incomplete);
    EXPECT_TRUE(buffer.IsEmpty());
    CForexMerchArray merchs;
    protocol.GetDataCenter()->GetForexMerchs(merchs);
    ASSERT_EQ(merchs.GetSize(), count);
    EXPECT_EQ(merchs[count - 1].MerchCode, ToCString(L"M" + std::to_wstring(count - 1)));

    // The same size of noise with one line end: one message, nothing stored from it.
    std::mt19937 random(5);
    std::string noise(kFiveMegabytes, '\0');
    for (char& byte : noise) {
        byte = static_cast<char>(random() % 255 + 1);
        if (byte == '\r') {
            byte = '\n';
        }
    }
    buffer.Append("x" + noise + "\r\n");
    protocol.ProcessReceived(buffer);
    EXPECT_TRUE(buffer.IsEmpty());
}

TEST_F(HostileServerTest, NanAndInfinitiesFromTheServerNeverReachTheBooks) {
    ConnectAndGreet();
    for (const std::string& line : NonFiniteSessionLines()) {
        ASSERT_TRUE(server.Send(line));
    }
    ASSERT_TRUE(server.Send(InboundLine(9002, "done")));
    ASSERT_TRUE(Eventually(
        [&] {
            const std::vector<std::string> lines = sink.Lines();
            return !lines.empty() && lines.back() == "OnTextMessage \"done\"";
        },
        kWait));
    // The history line that divides by a position's 0 lots keeps the IEEE result.
    const std::string zeroLots =
        "history[" + std::to_string(NonFiniteSessionResult::kZeroLotsHistoryLine) + "]";
    EXPECT_EQ(NonFiniteNumbers(Center()),
              (std::vector<std::string>{zeroLots + ".Credit", zeroLots + ".Charge",
                                        zeroLots + ".Value26"}));
    CAccountInfo account;
    Center().GetAccountInfo(account);
    ASSERT_EQ(account.Funds.GetSize(), 1);
    // "nan" on the wire; the closes' "nan" and "inf" fees read as 0, and their profits cannot
    // be computed, since the account's own EURUSD has a price unit of "nan".
    EXPECT_EQ(account.Funds[0].Balance, 0.0);
}

// The user text of the login frames below numbers them: "8000\x03u<n>\x01...".
int LoginNumber(const std::string& line) {
    const size_t at = line.rfind("8000\x03u");
    return at == std::string::npos ? -1 : std::atoi(line.c_str() + at + 6);
}

TEST_F(HostileServerTest, ResetDuringASendBurstKeepsTheUnsentFramesInOrder) {
    ConnectAndGreet();
    constexpr int kHalf = 1500;
    auto queue = [&](int first, int last) {
        for (int i = first; i <= last; ++i) {
            ASSERT_TRUE(manager->ReqLogin(ToCString(L"u" + std::to_wstring(i)), L"pw"));
        }
    };
    queue(1, kHalf);
    ASSERT_TRUE(server.WaitForLines(10, kWait));
    server.ResetClient();
    ASSERT_TRUE(sink.WaitFor(1, kWait));
    // The burst goes on into the broken connection: none of it can be written now.
    queue(kHalf + 1, 2 * kHalf);
    EXPECT_TRUE(OnlySocketErrors(sink.Lines()));
    EXPECT_GE(manager->SendQueueSize(), static_cast<size_t>(kHalf));
    manager->DisConnect();

    // The next session sends what the first could not, in order and each frame once.
    ConnectAndGreet();
    ASSERT_TRUE(Eventually([&] { return manager->SendQueueSize() == 0; }, 30s));
    ASSERT_TRUE(Eventually([&] { return LoginNumber(server.Lines().back()) == 2 * kHalf; }, kWait));
    std::vector<int> numbers;
    for (const std::string& line : server.Lines()) {
        const int number = LoginNumber(line);
        if (number >= 0) {  // a frame the reset tore is no login
            numbers.push_back(number);
        }
    }
    for (size_t i = 1; i < numbers.size(); ++i) {
        ASSERT_GT(numbers[i], numbers[i - 1]) << "frames repeated or out of order";
    }
    const auto secondHalf = std::find(numbers.begin(), numbers.end(), kHalf + 1);
    ASSERT_NE(secondHalf, numbers.end());
    EXPECT_EQ(numbers.end() - secondHalf, kHalf) << "frames of the burst's second half lost";
}

}  // namespace
