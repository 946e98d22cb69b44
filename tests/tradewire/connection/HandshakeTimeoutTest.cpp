#include "ConnectionFixture.h"

// Takes the full connect budget of 15 s on purpose.
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
