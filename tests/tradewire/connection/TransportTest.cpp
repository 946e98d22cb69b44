#include <atomic>
#include <future>
#include <thread>

#include "ConnectionFixture.h"
#include "Eventually.h"
#include "platform/SteadyClock.h"

TEST_F(ConnectionFixture, FramesQueuedWhileDisconnectedLeaveInOrderAfterConnecting) {
    ASSERT_TRUE(m_manager->ReqLogin(L"alice", L"secret"));
    ASSERT_TRUE(m_manager->ReqHistoryOrderInfo(0, 0));
    ASSERT_TRUE(m_manager->ReqLogOut(L"alice", L""));
    EXPECT_EQ(m_manager->SendQueueSize(), 3u);
    CForexProtocol& protocol = SocketManagerTestAccess::Protocol(*m_manager);

    ASSERT_TRUE(Connect());
    ASSERT_TRUE(m_server.WaitForLines(3, 5s));
    const std::vector<std::string> lines = m_server.Lines();
    EXPECT_EQ(lines[0], protocol.BuildLogin(L"alice", L"secret"));
    EXPECT_EQ(lines[1], protocol.BuildHistoryRequest(0, 0));
    EXPECT_EQ(lines[2], protocol.BuildLogout(L"alice"));
    // Each frame ends in exactly one line feed.
    EXPECT_EQ(m_server.Received(), lines[0] + "\n" + lines[1] + "\n" + lines[2] + "\n");
    EXPECT_TRUE(Eventually([&] { return m_manager->SendQueueSize() == 0; }));
}

TEST_F(ConnectionFixture, AFrameLongerThanTheWriteBufferArrivesWhole) {
    ASSERT_TRUE(Connect());
    const std::string frame = CForexProtocol::PackMessage(9002, std::string(2000, 'x') + '\x01');
    SocketManagerTestAccess::AddSendData(*m_manager, frame);
    SocketManagerTestAccess::AddSendData(*m_manager, std::string());  // ignored
    ASSERT_TRUE(m_server.WaitForLines(1, 5s));
    EXPECT_EQ(m_server.Received(), frame + "\n");
}

TEST_F(ConnectionFixture, AZeroByteEndsWhatAChunkDeliversAndTheRestOfTheStreamJoins) {
    ASSERT_TRUE(Connect());
    ASSERT_TRUE(m_server.WaitForHandshakes(1, 5s));
    ASSERT_TRUE(m_server.Send(std::string("AB\0CD", 5)));
    ASSERT_TRUE(m_server.Send("EF"));
    // No 0x0D yet, so the processing thread leaves the bytes in place.
    EXPECT_TRUE(Eventually([&] { return m_manager->CopyReceiveBuffer() == "ABEF"; }));
}

TEST_F(ConnectionFixture, CompleteMessagesAreCutOffTheBufferOnePerPass) {
    ASSERT_TRUE(Connect());
    ASSERT_TRUE(m_server.WaitForHandshakes(1, 5s));
    const std::string line = CForexProtocol::PackMessage(9999, "1\x01") + "\r\n";
    ASSERT_TRUE(m_server.Send(line + line + "tail"));
    EXPECT_TRUE(Eventually([&] { return m_manager->CopyReceiveBuffer() == "tail"; }));
}

TEST_F(ConnectionFixture, DisConnectWakesTheBlockedReaderWithoutASocketError) {
    ASSERT_TRUE(Connect());
    ASSERT_TRUE(m_server.WaitForHandshakes(1, 5s));
    std::this_thread::sleep_for(150ms);  // the reader is now blocked in its read
    auto done = std::async(std::launch::async, [&] { m_manager->DisConnect(); });
    ASSERT_EQ(done.wait_for(5s), std::future_status::ready);
    EXPECT_FALSE(m_manager->IsConnected());
    EXPECT_TRUE(m_sink.SocketErrors().empty());
    EXPECT_TRUE(m_server.WaitForClientGone(5s));
}

TEST_F(ConnectionFixture, APeerThatClosesProducesSocketErrorsUntilDisConnect) {
    ASSERT_TRUE(Connect());
    ASSERT_TRUE(m_server.WaitForHandshakes(1, 5s));
    m_server.CloseClient();
    ASSERT_TRUE(m_sink.WaitForSocketErrors(3, 5s));
    EXPECT_TRUE(m_manager->IsConnected());  // an error does not leave the connected state
    m_manager->DisConnect();
    const size_t reported = m_sink.SocketErrors().size();
    std::this_thread::sleep_for(250ms);
    EXPECT_EQ(m_sink.SocketErrors().size(), reported);
}

TEST_F(ConnectionFixture, AResetPeerReportsWinsockNumbersAndTheProcessSurvivesTheBrokenPipe) {
    ASSERT_TRUE(Connect());
    ASSERT_TRUE(m_server.WaitForHandshakes(1, 5s));
    m_server.ResetClient();
    // Writes to the reset connection raise EPIPE / SIGPIPE; the frame stays queued.
    ASSERT_TRUE(m_manager->ReqLogOut(L"u", L""));
    ASSERT_TRUE(m_sink.WaitForSocketErrors(4, 5s));
    EXPECT_TRUE(Eventually([&] {
        for (unsigned long error : m_sink.SocketErrors()) {
            if (error == 10054) {
                return true;
            }
        }
        return false;
    }));
    EXPECT_EQ(m_manager->SendQueueSize(), 1u);
}

// A sink that queues a request from inside the error report must never wait on the send
// thread, nor may the send thread's report keep other callers from queueing.
TEST_F(ConnectionFixture, AnErrorReportDoesNotHoldTheSendQueue) {
    ASSERT_TRUE(Connect());
    ASSERT_TRUE(m_server.WaitForHandshakes(1, 5s));
    std::atomic<int> stuck{0};
    std::atomic<int> reports{0};
    m_sink.SetOnSocketError([&](unsigned long) {
        if (reports.fetch_add(1) > 6) {
            return;
        }
        EXPECT_TRUE(m_manager->ReqLogOut(L"inside", L""));
        auto other = std::async(std::launch::async, [&] { m_manager->ReqLogOut(L"other", L""); });
        if (other.wait_for(2s) != std::future_status::ready) {
            ++stuck;
        }
    });
    m_server.ResetClient();
    ASSERT_TRUE(m_manager->ReqLogOut(L"u", L""));
    ASSERT_TRUE(m_sink.WaitForSocketErrors(6, 10s));
    m_manager->DisConnect();
    EXPECT_EQ(stuck.load(), 0);
}

TEST_F(ConnectionFixture, ReconnectingEmptiesTheReceiveBufferAndKeepsTheSendQueue) {
    ASSERT_TRUE(Connect());
    ASSERT_TRUE(m_server.WaitForHandshakes(1, 5s));
    ASSERT_TRUE(m_server.Send("partial"));
    ASSERT_TRUE(Eventually([&] { return m_manager->CopyReceiveBuffer() == "partial"; }));
    m_manager->DisConnect();
    ASSERT_TRUE(m_manager->ReqLogOut(L"later", L""));
    EXPECT_EQ(m_manager->SendQueueSize(), 1u);

    ASSERT_TRUE(Connect());
    EXPECT_EQ(m_manager->CopyReceiveBuffer(), "");
    ASSERT_TRUE(m_server.WaitForLines(1, 5s));
    EXPECT_EQ(m_server.Lines()[0],
              SocketManagerTestAccess::Protocol(*m_manager).BuildLogout(L"later"));
    EXPECT_EQ(m_server.HandshakeCount(), 2);
}

TEST_F(ConnectionFixture, ReleasingAConnectedObjectJoinsItsThreadsAndClosesTheConnection) {
    ASSERT_TRUE(Connect());
    ASSERT_TRUE(m_server.WaitForHandshakes(1, 5s));
    m_manager->ReleaseObj();
    m_manager = nullptr;
    EXPECT_TRUE(m_server.WaitForClientGone(5s));
    EXPECT_TRUE(m_sink.SocketErrors().empty());
}
