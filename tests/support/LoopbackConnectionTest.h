#pragma once
// A connection object, a sink of the test's choosing and a loopback TLS server for it to reach:
// the base of the connection and fault fixtures. The test's thread owns all three; the sink
// hears callbacks on the connection's own threads, so SINK must be safe for that.

#include <gtest/gtest.h>

#include <cstdint>

#include "TestTlsServer.h"
#include "connection/SocketManager.h"

inline CServer LoopbackServer(std::uint16_t port) {
    CServer server;
    server.Address = L"127.0.0.1";
    server.Port = port;
    return server;
}

template <class SINK>
class LoopbackConnectionTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(server.Start());
        manager = new CSocketManager();
        manager->SetNotify(&sink);
    }

    // Disconnects before releasing, so a test that ends mid-session leaves no thread behind
    // that still reports to the sink.
    void TearDown() override {
        if (manager != nullptr) {
            manager->DisConnect();
            manager->ReleaseObj();
        }
        server.Stop();
    }

    bool Connect() { return manager->ConnectServer(LoopbackServer(server.Port())); }

    CTestTlsServer server;
    SINK sink;
    CSocketManager* manager = nullptr;
};
