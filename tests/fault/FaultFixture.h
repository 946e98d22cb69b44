#pragma once
// One connection object against the loopback TLS server, with a recording sink. The fault tests
// script the server's misbehaviour; the fixture only connects, greets and plays lines.

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "BackgroundLoop.h"
#include "FaultScript.h"
#include "LoopbackConnectionTest.h"
#include "RecordingSink.h"
#include "TestTlsServer.h"
#include "WireBuilder.h"
#include "connection/SocketManager.h"

class FaultFixture : public LoopbackConnectionTest<CRecordingSink> {
  protected:
    static constexpr std::chrono::seconds kWait{20};

    // Replaces the connection object with one whose receive buffer holds at most `ceiling`
    // bytes, so a test can reach the ceiling without sending 64 MiB.
    void UseReceiveCeiling(size_t ceiling) {
        manager->ReleaseObj();
        manager = new CSocketManager(ceiling);
        manager->SetNotify(&sink);
    }

    // Connects and waits until the server's greeting was processed, so that the terminal never
    // writes while the reader still handles the server's first TLS messages; the sink is then
    // cleared.
    void ConnectAndGreet() {
        const int before = server.HandshakeCount();
        ASSERT_TRUE(Connect());
        ASSERT_TRUE(server.WaitForHandshakes(before + 1, kWait));
        const size_t logged = sink.Lines().size();
        ASSERT_TRUE(server.Send(InboundLine(9002, "welcome")));
        ASSERT_TRUE(sink.WaitFor(logged + 1, kWait));
        sink.Clear();
    }

    // Plays the script: lines go out from the server, commits through the connection object.
    // Before commit k the sink must have heard callbacksBeforeCommit[k] callbacks: the reply to
    // the previous commit is merged against the last committed order, so a commit may not
    // overtake it. Each commit is waited for at the server.
    void PlayScript(const std::vector<CScriptStep>& steps,
                    const std::vector<size_t>& callbacksBeforeCommit) {
        size_t commits = 0;
        for (const CScriptStep& step : steps) {
            if (!step.IsCommit()) {
                ASSERT_TRUE(server.Send(step.line));
                continue;
            }
            ASSERT_LT(commits, callbacksBeforeCommit.size());
            ASSERT_TRUE(sink.WaitFor(callbacksBeforeCommit[commits++], kWait));
            const size_t before = server.Lines().size();
            ASSERT_TRUE(manager->CommitBill(step.commit));
            ASSERT_TRUE(server.WaitForLines(before + 1, kWait));
        }
    }

    CForexDataCenter& Center() { return *manager->GetDataCenter(); }
};
