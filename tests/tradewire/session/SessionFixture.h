#pragma once
// One terminal connected to the loopback TLS server with a recording sink: the server plays
// its part line by line and the test reads the callbacks each step caused.

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "RecordingSink.h"
#include "SessionWire.h"
#include "TestTlsServer.h"
#include "WireBuilder.h"
#include "connection/SocketManager.h"
#include "tradewire/ForexDataCenter.h"

class SessionTest : public ::testing::Test {
  protected:
    using Lines = std::vector<std::string>;
    static constexpr std::chrono::seconds kWait{15};

    void SetUp() override {
        ASSERT_TRUE(server.Start());
        manager = new CSocketManager();
        manager->SetNotify(&sink);
        CServer target;
        target.Address = L"127.0.0.1";
        target.Port = server.Port();
        ASSERT_TRUE(manager->ConnectServer(target));
        ASSERT_TRUE(server.WaitForHandshakes(1, kWait));
        // The terminal speaks only after the server's greeting has been read: the send and
        // receive threads share one TLS connection, and a write made while the receive thread
        // is still reading the server's post-handshake messages can be lost (a known limit
        // of sharing one connection).
        ASSERT_TRUE(server.Send(InboundLine(9002, "welcome")));
        ASSERT_TRUE(sink.WaitFor(1, kWait));
        sink.Clear();
    }

    void TearDown() override {
        if (manager != nullptr) {
            manager->DisConnect();
            manager->ReleaseObj();
        }
        server.Stop();
    }

    CForexDataCenter& Center() { return *manager->GetDataCenter(); }

    // Sends the lines and returns the callbacks they caused, once `expected` of them arrived.
    Lines Play(const std::vector<std::string>& serverLines, size_t expected) {
        const size_t before = sink.Lines().size();
        for (const std::string& line : serverLines) {
            EXPECT_TRUE(server.Send(line));
        }
        EXPECT_TRUE(sink.WaitFor(before + expected, kWait));
        const Lines all = sink.Lines();
        return Lines(all.begin() + static_cast<std::ptrdiff_t>(before), all.end());
    }

    // The login lines of SessionWire: five callbacks.
    Lines PlayLogin() { return Play(LoginLines(), 5); }

    // Commits the order and waits until the server has read its frame.
    void Commit(const COrderInfo& order) {
        const size_t before = server.Lines().size();
        ASSERT_TRUE(manager->CommitBill(order));
        ASSERT_TRUE(server.WaitForLines(before + 1, kWait));
        EXPECT_NE(server.Lines().back().find("7001\x03"), std::string::npos);
    }

    // A request of `kind` for EURUSD with the next internal number.
    COrderInfo Request(int kind) { return SessionRequest(kind, Center().GetInternalNo()); }

    CTestTlsServer server;
    CRecordingSink sink;
    CSocketManager* manager = nullptr;
};
