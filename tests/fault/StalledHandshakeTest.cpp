// A server that accepts TCP but never answers the TLS handshake holds the caller for the whole
// connect budget of 15 s; the terminal's other threads and its queued requests must come
// through it untouched.

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "FaultFixture.h"

namespace {

using StalledHandshakeTest = FaultFixture;

TEST_F(StalledHandshakeTest, GettersAndQueuedRequestsSurviveTheFailedConnect) {
    ASSERT_TRUE(manager->ReqLogin(L"queued", L"pw"));  // no connection yet: it waits in the queue
    server.SetStall(true);
    CBackgroundLoop reader([&] { EXPECT_GE(StoreSnapshot(Center()).size(), 10u); });
    EXPECT_FALSE(Connect());
    EXPECT_GT(reader.Stop(), 0);
    EXPECT_FALSE(manager->IsConnected());
    EXPECT_EQ(sink.Lines(), (std::vector<std::string>{"OnErrorCode code=5"}));
    EXPECT_EQ(manager->SendQueueSize(), 1u);

    // A server that answers: the request queued before the stall goes out first.
    CTestTlsServer live;
    ASSERT_TRUE(live.Start());
    CServer target;
    target.Address = L"127.0.0.1";
    target.Port = live.Port();
    ASSERT_TRUE(manager->ConnectServer(target));
    ASSERT_TRUE(live.WaitForLines(1, kWait));
    EXPECT_NE(live.Lines()[0].find("8000\x03queued\x01"), std::string::npos);
    manager->DisConnect();
}

}  // namespace
