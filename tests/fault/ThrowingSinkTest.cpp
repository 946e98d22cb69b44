// A terminal's sink that throws from its callbacks: the worker thread must survive it, every
// later callback must still be made, and no store update that follows a callback may be lost.

#include <gtest/gtest.h>

#include <stdexcept>

#include "FaultFixture.h"
#include "SessionWire.h"
#include "protocol/ForexProtocol.h"
#include "protocol/ReceiveBuffer.h"
#include "vocabulary/WireVocabulary.h"

using wire::Result;

namespace {

void ThrowFromEveryCallback(CRecordingSink& sink) {
    sink.SetOnEntry([](const std::string&) { throw std::runtime_error("terminal failure"); });
}

// The script through a protocol object with no connection: commits only build their frames.
// Gives the number of callbacks made before each commit.
std::vector<size_t> RunWithoutConnection(CForexProtocol& protocol, const CRecordingSink& sink,
                                         const std::vector<CScriptStep>& steps) {
    std::vector<size_t> callbacksBeforeCommit;
    CReceiveBuffer buffer;
    for (const CScriptStep& step : steps) {
        if (step.IsCommit()) {
            callbacksBeforeCommit.push_back(sink.Lines().size());
            protocol.BuildCommitBill(step.commit);
            continue;
        }
        buffer.Append(step.line);
        while (protocol.ProcessReceived(buffer) != Result::Incomplete) {
        }
    }
    return callbacksBeforeCommit;
}

struct CReference {
    std::vector<std::string> callbacks;
    std::vector<std::string> stores;
    std::vector<size_t> callbacksBeforeCommit;
};

CReference QuietRun() {
    CForexProtocol protocol;
    CRecordingSink sink;
    protocol.GetDataCenter()->SetNotify(&sink);
    const std::vector<size_t> beforeCommit = RunWithoutConnection(protocol, sink, TradingScript());
    return CReference{sink.Lines(), StoreSnapshot(*protocol.GetDataCenter()), beforeCommit};
}

TEST(ThrowingSinkTest, EveryCallbackAndEveryStoreUpdateSurviveASinkThatAlwaysThrows) {
    const CReference quiet = QuietRun();
    // The script is worth comparing: the close settled its profit and the lists are filled.
    ASSERT_GT(quiet.callbacks.size(), 30u);
    EXPECT_EQ(quiet.stores[0], "OnAccountInfo ACC1 funds=1 merchs=0 internal=100 balance=5003");
    EXPECT_NE(quiet.stores.at(5).find("n=1 [#21 EURUSD"), std::string::npos) << quiet.stores[5];

    CForexProtocol protocol;
    CRecordingSink sink;
    ThrowFromEveryCallback(sink);
    protocol.GetDataCenter()->SetNotify(&sink);
    RunWithoutConnection(protocol, sink, TradingScript());

    EXPECT_EQ(sink.Lines(), quiet.callbacks);
    EXPECT_EQ(StoreSnapshot(*protocol.GetDataCenter()), quiet.stores);
}

using ThrowingSinkSessionTest = FaultFixture;

TEST_F(ThrowingSinkSessionTest, ProcessingThreadCarriesOnAfterEveryThrow) {
    const CReference quiet = QuietRun();
    ConnectAndGreet();
    ThrowFromEveryCallback(sink);

    PlayScript(TradingScript(), quiet.callbacksBeforeCommit);

    ASSERT_TRUE(sink.WaitFor(quiet.callbacks.size(), kWait));
    EXPECT_EQ(sink.Lines(), quiet.callbacks);
    EXPECT_EQ(StoreSnapshot(Center()), quiet.stores);
    for (const CRecordingSink::Entry& entry : sink.Entries()) {
        EXPECT_NE(entry.thread, std::this_thread::get_id()) << entry.line;
    }
}

TEST_F(ThrowingSinkSessionTest, SocketErrorsAndErrorCodesThatThrowAreSwallowed) {
    ConnectAndGreet();
    ThrowFromEveryCallback(sink);

    // Slot 14 from the receive thread, once per failed pass until the terminal disconnects.
    server.CloseClient();
    ASSERT_TRUE(sink.WaitFor(2, kWait));
    for (const std::string& line : sink.Lines()) {
        EXPECT_EQ(line.rfind("OnSocketError", 0), 0u) << line;
    }
    manager->DisConnect();

    // Slot 0 on the caller's thread: a refused connection.
    const std::uint16_t port = server.Port();
    server.Stop();
    sink.Clear();
    CServer target;
    target.Address = L"127.0.0.1";
    target.Port = port;
    EXPECT_FALSE(manager->ConnectServer(target));
    EXPECT_EQ(sink.Lines(), (std::vector<std::string>{"OnErrorCode code=5"}));

    // The connection object is still whole: another server, another session.
    CTestTlsServer next;
    ASSERT_TRUE(next.Start());
    target.Port = next.Port();
    sink.SetOnEntry(nullptr);
    sink.Clear();
    ASSERT_TRUE(manager->ConnectServer(target));
    ASSERT_TRUE(next.WaitForHandshakes(1, kWait));
    ASSERT_TRUE(next.Send(LoginReplyLine()));
    EXPECT_TRUE(sink.WaitFor(1, kWait));
    EXPECT_EQ(sink.Lines().at(0), "OnLoginReply");
    manager->DisConnect();
}

}  // namespace
