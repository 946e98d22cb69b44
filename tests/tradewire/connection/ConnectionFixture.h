#pragma once
// A connection object with a recording sink, and a loopback TLS server to talk to.

#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "ConnectionTestSink.h"
#include "TestTlsServer.h"
#include "connection/SocketManager.h"

using namespace std::chrono_literals;

inline CServer LoopbackServer(std::uint16_t port) {
    CServer server;
    server.Address = L"127.0.0.1";
    server.Port = port;
    return server;
}

// The connection object's internals that tests drive directly.
struct SocketManagerTestAccess {
    static CForexProtocol& Protocol(CSocketManager& manager) { return *manager.m_pProtocol; }
    static void AddSendData(CSocketManager& manager, const std::string& frame) {
        manager.AddSendData(frame);
    }
};

class ConnectionFixture : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(m_server.Start());
        m_manager = new CSocketManager();
        m_manager->SetNotify(&m_sink);
    }
    void TearDown() override {
        if (m_manager != nullptr) {
            m_manager->ReleaseObj();
        }
    }
    bool Connect() { return m_manager->ConnectServer(LoopbackServer(m_server.Port())); }

    CTestTlsServer m_server;
    CConnectionTestSink m_sink;
    CSocketManager* m_manager = nullptr;
};
