#pragma once
// A connection object with a recording sink, and a loopback TLS server to talk to.

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <string>

#include "ConnectionTestSink.h"
#include "LoopbackConnectionTest.h"
#include "connection/SocketManager.h"

using namespace std::chrono_literals;

// The connection object's internals that tests drive directly.
struct SocketManagerTestAccess {
    static CForexProtocol& Protocol(CSocketManager& manager) { return *manager.m_pProtocol; }
    static void AddSendData(CSocketManager& manager, const std::string& frame) {
        manager.AddSendData(frame);
    }
    static int MessagesPerPass(const CSocketManager& manager) { return manager.m_messagesPerPass; }
    static void Receive(CSocketManager& manager, const std::string& bytes) {
        CScopedLock guard(manager.m_csRecvBuffer);
        manager.m_recvBuffer.Append(bytes);
    }
    static void ProcessingPass(CSocketManager& manager) { manager.CallBackThreadPara(); }
    static std::uint64_t WakeUps(const CSocketManager& manager) { return manager.m_wakeUps.load(); }
};

class ConnectionFixture : public LoopbackConnectionTest<CConnectionTestSink> {};
