#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <future>
#include <thread>

#include "ConnectionFixture.h"
#include "Eventually.h"
#include "platform/SteadyClock.h"

TEST_F(ConnectionFixture, FramesQueuedWhileDisconnectedLeaveInOrderAfterConnecting) {
    ASSERT_TRUE(manager->ReqLogin(L"alice", L"secret"));
    ASSERT_TRUE(manager->ReqHistoryOrderInfo(0, 0));
    ASSERT_TRUE(manager->ReqLogOut(L"alice", L""));
    EXPECT_EQ(manager->SendQueueSize(), 3u);
    CForexProtocol& protocol = SocketManagerTestAccess::Protocol(*manager);

    ASSERT_TRUE(Connect());
    ASSERT_TRUE(server.WaitForLines(3, 5s));
    const std::vector<std::string> lines = server.Lines();
    EXPECT_EQ(lines[0], protocol.BuildLogin(L"alice", L"secret"));
    EXPECT_EQ(lines[1], protocol.BuildHistoryRequest(0, 0));
    EXPECT_EQ(lines[2], protocol.BuildLogout(L"alice"));
    // Each frame ends in exactly one line feed.
    EXPECT_EQ(server.Received(), lines[0] + "\n" + lines[1] + "\n" + lines[2] + "\n");
    EXPECT_TRUE(Eventually([&] { return manager->SendQueueSize() == 0; }));
}

TEST_F(ConnectionFixture, AFrameLongerThanTheWriteBufferArrivesWhole) {
    ASSERT_TRUE(Connect());
    const std::string frame = CForexProtocol::PackMessage(9002, std::string(2000, 'x') + '\x01');
    SocketManagerTestAccess::AddSendData(*manager, frame);
    SocketManagerTestAccess::AddSendData(*manager, std::string());  // ignored
    ASSERT_TRUE(server.WaitForLines(1, 5s));
    EXPECT_EQ(server.Received(), frame + "\n");
}

TEST_F(ConnectionFixture, AZeroByteEndsWhatAChunkDeliversAndTheRestOfTheStreamJoins) {
    ASSERT_TRUE(Connect());
    ASSERT_TRUE(server.WaitForHandshakes(1, 5s));
    ASSERT_TRUE(server.Send(std::string("AB\0CD", 5)));
    ASSERT_TRUE(server.Send("EF"));
    // No 0x0D yet, so the processing thread leaves the bytes in place.
    EXPECT_TRUE(Eventually([&] { return manager->CopyReceiveBuffer() == "ABEF"; }));
}

TEST_F(ConnectionFixture, CompleteMessagesAreCutOffTheBufferOnePerPass) {
    ASSERT_TRUE(Connect());
    ASSERT_TRUE(server.WaitForHandshakes(1, 5s));
    const std::string line = CForexProtocol::PackMessage(9999, "1\x01") + "\r\n";
    ASSERT_TRUE(server.Send(line + line + "tail"));
    EXPECT_TRUE(Eventually([&] { return manager->CopyReceiveBuffer() == "tail"; }));
}

// The pace is read at each connect and, once raised, lets one pass take several messages but
// never wait for one that is incomplete.
TEST_F(ConnectionFixture, APassTakesAsManyMessagesAsTheEnvironmentAsksAtConnect) {
    ::setenv("TRADEWIRE_MESSAGES_PER_PASS", "3", 1);
    ASSERT_TRUE(Connect());
    ::unsetenv("TRADEWIRE_MESSAGES_PER_PASS");
    EXPECT_EQ(SocketManagerTestAccess::MessagesPerPass(*manager), 3);
    manager->DisConnect();

    const std::string line = CForexProtocol::PackMessage(9999, "1\x01") + "\r\n";
    SocketManagerTestAccess::Receive(*manager, line + line + line + line + "tail");
    SocketManagerTestAccess::ProcessingPass(*manager);
    EXPECT_EQ(manager->CopyReceiveBuffer(), line + "tail");
    SocketManagerTestAccess::ProcessingPass(*manager);
    EXPECT_EQ(manager->CopyReceiveBuffer(), "tail");

    ASSERT_TRUE(Connect());
    EXPECT_EQ(SocketManagerTestAccess::MessagesPerPass(*manager), 1);
}

// Counted, not timed: at the immediate pace a connected object that neither sends nor receives
// has every worker asleep, while the paced one keeps waking for its passes.
TEST_F(ConnectionFixture, AnIdleConnectionWakesNoWorkerAtTheImmediatePace) {
    ::setenv("TRADEWIRE_PACE", "immediate", 1);
    ASSERT_TRUE(Connect());
    ::unsetenv("TRADEWIRE_PACE");
    ASSERT_TRUE(server.WaitForHandshakes(1, 5s));
    // One message each way first, so every worker has had its work and gone back to sleep;
    // the start of a second message stays behind.
    const std::string line = CForexProtocol::PackMessage(9999, "1\x01") + "\r\n";
    const std::string head = line.substr(0, 5);
    ASSERT_TRUE(server.Send(line + head));
    SocketManagerTestAccess::AddSendData(*manager, "ping");
    ASSERT_TRUE(server.WaitForLines(1, 5s));
    ASSERT_TRUE(Eventually([&] { return manager->CopyReceiveBuffer() == head; }));
    std::this_thread::sleep_for(50ms);
    const std::uint64_t settled = SocketManagerTestAccess::WakeUps(*manager);
    std::this_thread::sleep_for(300ms);
    EXPECT_EQ(SocketManagerTestAccess::WakeUps(*manager), settled);

    // Woken by work, it still does it.
    ASSERT_TRUE(server.Send(line.substr(5)));
    ASSERT_TRUE(Eventually([&] { return manager->CopyReceiveBuffer().empty(); }));
    SocketManagerTestAccess::AddSendData(*manager, "pong");
    ASSERT_TRUE(server.WaitForLines(2, 5s));
    EXPECT_GT(SocketManagerTestAccess::WakeUps(*manager), settled);

    manager->DisConnect();
    ASSERT_TRUE(Connect());
    const std::uint64_t paced = SocketManagerTestAccess::WakeUps(*manager);
    EXPECT_TRUE(
        Eventually([&] { return SocketManagerTestAccess::WakeUps(*manager) >= paced + 5; }));
}

TEST_F(ConnectionFixture, DisConnectWakesTheBlockedReaderWithoutASocketError) {
    ASSERT_TRUE(Connect());
    ASSERT_TRUE(server.WaitForHandshakes(1, 5s));
    std::this_thread::sleep_for(150ms);  // the reader is now blocked in its read
    auto done = std::async(std::launch::async, [&] { manager->DisConnect(); });
    ASSERT_EQ(done.wait_for(5s), std::future_status::ready);
    EXPECT_FALSE(manager->IsConnected());
    EXPECT_TRUE(sink.SocketErrors().empty());
    EXPECT_TRUE(server.WaitForClientGone(5s));
}

TEST_F(ConnectionFixture, APeerThatClosesProducesSocketErrorsUntilDisConnect) {
    ASSERT_TRUE(Connect());
    ASSERT_TRUE(server.WaitForHandshakes(1, 5s));
    server.CloseClient();
    ASSERT_TRUE(sink.WaitForSocketErrors(3, 5s));
    EXPECT_TRUE(manager->IsConnected());  // an error does not leave the connected state
    manager->DisConnect();
    const size_t reported = sink.SocketErrors().size();
    std::this_thread::sleep_for(250ms);
    EXPECT_EQ(sink.SocketErrors().size(), reported);
}

// Without passes to space them, the reports of a broken connection still come no faster than
// the paced reader's, and a write that fails is reported once per attempt, tried again no
// sooner than the paced sender would.
TEST_F(ConnectionFixture, AtTheImmediatePaceABrokenConnectionIsReportedNoFasterThanPaced) {
    ::setenv("TRADEWIRE_PACE", "immediate", 1);
    ASSERT_TRUE(Connect());
    ::unsetenv("TRADEWIRE_PACE");
    ASSERT_TRUE(server.WaitForHandshakes(1, 5s));
    server.CloseClient();
    ASSERT_TRUE(sink.WaitForSocketErrors(1, 5s));
    const auto first = std::chrono::steady_clock::now();
    ASSERT_TRUE(sink.WaitForSocketErrors(4, 5s));
    EXPECT_GE(std::chrono::steady_clock::now() - first, 290ms);
    manager->DisConnect();
    for (const unsigned long error : sink.SocketErrors()) {
        EXPECT_EQ(error, 0u);  // the clean close, from the reader only
    }
}

TEST_F(ConnectionFixture, AResetPeerReportsWinsockNumbersAndTheProcessSurvivesTheBrokenPipe) {
    ASSERT_TRUE(Connect());
    ASSERT_TRUE(server.WaitForHandshakes(1, 5s));
    server.ResetClient();
    // Writes to the reset connection raise EPIPE / SIGPIPE; the frame stays queued.
    ASSERT_TRUE(manager->ReqLogOut(L"u", L""));
    ASSERT_TRUE(sink.WaitForSocketErrors(4, 5s));
    EXPECT_TRUE(Eventually([&] {
        for (unsigned long error : sink.SocketErrors()) {
            if (error == 10054) {
                return true;
            }
        }
        return false;
    }));
    EXPECT_EQ(manager->SendQueueSize(), 1u);
}

// A sink that queues a request from inside the error report must never wait on the send
// thread, nor may the send thread's report keep other callers from queueing.
TEST_F(ConnectionFixture, AnErrorReportDoesNotHoldTheSendQueue) {
    ASSERT_TRUE(Connect());
    ASSERT_TRUE(server.WaitForHandshakes(1, 5s));
    std::atomic<int> stuck{0};
    std::atomic<int> reports{0};
    sink.SetOnSocketError([&](unsigned long) {
        if (reports.fetch_add(1) > 6) {
            return;
        }
        EXPECT_TRUE(manager->ReqLogOut(L"inside", L""));
        auto other = std::async(std::launch::async, [&] { manager->ReqLogOut(L"other", L""); });
        if (other.wait_for(2s) != std::future_status::ready) {
            ++stuck;
        }
    });
    server.ResetClient();
    ASSERT_TRUE(manager->ReqLogOut(L"u", L""));
    ASSERT_TRUE(sink.WaitForSocketErrors(6, 10s));
    manager->DisConnect();
    EXPECT_EQ(stuck.load(), 0);
}

TEST_F(ConnectionFixture, ReconnectingEmptiesTheReceiveBufferAndKeepsTheSendQueue) {
    ASSERT_TRUE(Connect());
    ASSERT_TRUE(server.WaitForHandshakes(1, 5s));
    ASSERT_TRUE(server.Send("partial"));
    ASSERT_TRUE(Eventually([&] { return manager->CopyReceiveBuffer() == "partial"; }));
    manager->DisConnect();
    ASSERT_TRUE(manager->ReqLogOut(L"later", L""));
    EXPECT_EQ(manager->SendQueueSize(), 1u);

    ASSERT_TRUE(Connect());
    EXPECT_EQ(manager->CopyReceiveBuffer(), "");
    ASSERT_TRUE(server.WaitForLines(1, 5s));
    EXPECT_EQ(server.Lines()[0], SocketManagerTestAccess::Protocol(*manager).BuildLogout(L"later"));
    EXPECT_EQ(server.HandshakeCount(), 2);
}

TEST_F(ConnectionFixture, ReleasingAConnectedObjectJoinsItsThreadsAndClosesTheConnection) {
    ASSERT_TRUE(Connect());
    ASSERT_TRUE(server.WaitForHandshakes(1, 5s));
    manager->ReleaseObj();
    manager = nullptr;
    EXPECT_TRUE(server.WaitForClientGone(5s));
    EXPECT_TRUE(sink.SocketErrors().empty());
}
