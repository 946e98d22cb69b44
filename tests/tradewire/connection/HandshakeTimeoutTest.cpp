#include "ConnectionFixture.h"

#include <cstdio>

// Each takes the full connect budget of 15 s on purpose.

TEST_F(ConnectionFixture, AServerThatNeverAnswersTlsFailsWithFiveAfterTheBudget) {
    server.SetStall(true);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(Connect());
    const auto took = std::chrono::steady_clock::now() - start;
    EXPECT_EQ(sink.ErrorCodes(), (std::vector<int>{EC_ConnectFailed}));
    EXPECT_GE(took, 14s);
    EXPECT_LT(took, 20s);
    EXPECT_FALSE(manager->IsConnected());
}

// Every single read gets a byte well within any per-read limit; only the one deadline from
// connect to the end of the handshake ends the attempt.
TEST_F(ConnectionFixture, AServerThatTricklesItsHandshakeFailsWithFiveWithinTheBudget) {
    server.SetTrickle(true);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(Connect());
    const auto took = std::chrono::steady_clock::now() - start;
    std::printf("trickled handshake gave up after %lld ms\n",
                static_cast<long long>(
                    std::chrono::duration_cast<std::chrono::milliseconds>(took).count()));
    EXPECT_EQ(sink.ErrorCodes(), (std::vector<int>{EC_ConnectFailed}));
    EXPECT_GE(took, 14s);
    EXPECT_LT(took, 17s);
    EXPECT_GE(server.TrickledBytes(), 5);
    EXPECT_FALSE(manager->IsConnected());

    // The failed attempt left nothing behind: the next server is reached as usual.
    server.SetTrickle(false);
    EXPECT_TRUE(Connect());
    EXPECT_TRUE(server.WaitForHandshakes(1, 5s));
    manager->DisConnect();
}
