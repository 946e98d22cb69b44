#include "ConnectionFixture.h"

#include <cstdio>

// Each takes the full connect budget of 15 s on purpose.

TEST_F(ConnectionFixture, AServerThatNeverAnswersTlsFailsWithFiveAfterTheBudget) {
    m_server.SetStall(true);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(Connect());
    const auto took = std::chrono::steady_clock::now() - start;
    EXPECT_EQ(m_sink.ErrorCodes(), (std::vector<int>{EC_ConnectFailed}));
    EXPECT_GE(took, 14s);
    EXPECT_LT(took, 20s);
    EXPECT_FALSE(m_manager->IsConnected());
}

// Every single read gets a byte well within any per-read limit; only the one deadline from
// connect to the end of the handshake ends the attempt.
TEST_F(ConnectionFixture, AServerThatTricklesItsHandshakeFailsWithFiveWithinTheBudget) {
    m_server.SetTrickle(true);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(Connect());
    const auto took = std::chrono::steady_clock::now() - start;
    std::printf("trickled handshake gave up after %lld ms\n",
                static_cast<long long>(
                    std::chrono::duration_cast<std::chrono::milliseconds>(took).count()));
    EXPECT_EQ(m_sink.ErrorCodes(), (std::vector<int>{EC_ConnectFailed}));
    EXPECT_GE(took, 14s);
    EXPECT_LT(took, 17s);
    EXPECT_GE(m_server.TrickledBytes(), 5);
    EXPECT_FALSE(m_manager->IsConnected());

    // The failed attempt left nothing behind: the next server is reached as usual.
    m_server.SetTrickle(false);
    EXPECT_TRUE(Connect());
    EXPECT_TRUE(m_server.WaitForHandshakes(1, 5s));
    m_manager->DisConnect();
}
