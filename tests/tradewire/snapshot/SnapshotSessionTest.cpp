#include <gtest/gtest.h>

#include <chrono>
#include <set>

#include "RecordingSink.h"
#include "TestTlsServer.h"
#include "WireBuilder.h"
#include "connection/SocketManager.h"

namespace {

using namespace std::chrono_literals;

CWireBody& Merch(CWireBody& body, const char* code, double minSpread, double bid, double ask) {
    body.Text(code).Empty(13).Num(minSpread).Empty(6).Num(bid).Num(ask).Empty(65);
    return body.EndRecord();
}

TEST(SnapshotSession, LoginAndSnapshotArriveInOrderOnTheProcessingThread) {
    CTestTlsServer server;
    ASSERT_TRUE(server.Start());
    CRecordingSink sink;
    CSocketManager* manager = new CSocketManager();
    manager->SetNotify(&sink);
    CServer target;
    target.Address = L"127.0.0.1";
    target.Port = server.Port();
    ASSERT_TRUE(manager->ConnectServer(target));
    ASSERT_TRUE(manager->ReqLogin(L"trader", L"secret"));
    ASSERT_TRUE(server.WaitForLines(1, 5s));
    EXPECT_NE(server.Lines()[0].find("8000\x03trader\x01"), std::string::npos);

    CWireBody account;
    account.Text("ACC").EndSection().Empty(45).EndSection().Num(5000).Empty(13).EndRecord();
    account.EndSection();
    Merch(account, "EURUSD", 0.0003, 1.2, 1.2).EndSection().EndSection().Int(100).EndSection();
    CWireBody merchs;
    Merch(merchs, "EURUSD", 0.0002, 1.2, 1.2001);
    Merch(merchs, "USDJPY", 0.01, 110, 110.5);
    std::string stream = InboundLine(8000, "");
    stream += InboundLine(9501, account);
    stream += InboundLine(9511, merchs);
    stream += InboundLine(9505, CWireBody().Text("USD").Empty(3).Num(1).EndRecord());
    stream += InboundLine(9002, "welcome\x04");
    stream += InboundLine(9999,
                          "\x01"
                          "7");
    // Two writes cut inside a message, so the receive side has to join them.
    const size_t cut = stream.size() / 2;
    ASSERT_TRUE(server.Send(stream.substr(0, cut)));
    ASSERT_TRUE(server.Send(stream.substr(cut)));

    ASSERT_TRUE(sink.WaitFor(7, 10s));
    EXPECT_EQ(sink.Lines(),
              (std::vector<std::string>{
                  "OnLoginReply",
                  "OnForexMerchs n=1 [EURUSD bid=1.2 ask=1.2 min=0.0003]",
                  "OnAccountInfo ACC funds=1 merchs=1 internal=100 balance=5000",
                  "OnForexMerchs n=2 [EURUSD bid=1.2 ask=1.2003 min=0.0002, USDJPY bid=110 "
                  "ask=110.5 min=0.01]",
                  "OnCurrencysInfo n=1 [USD usd=1]",
                  "OnTextMessage \"welcome\\x04\"",
                  "OnErrorCode code=7",
              }));
    std::set<std::thread::id> threads;
    for (const auto& entry : sink.Entries()) {
        threads.insert(entry.thread);
    }
    EXPECT_EQ(threads.size(), 1u);
    EXPECT_EQ(threads.count(std::this_thread::get_id()), 0u);

    CForexDataCenter* center = manager->GetDataCenter();
    ASSERT_NE(center, nullptr);
    CAccountInfo stored;
    center->GetAccountInfo(stored);
    EXPECT_EQ(stored.AccountCode, L"ACC");
    ASSERT_EQ(stored.Funds.GetSize(), 1);
    EXPECT_DOUBLE_EQ(stored.Funds[0].Balance, 5000.0);
    CForexMerchArray instruments;
    center->GetForexMerchs(instruments);
    ASSERT_EQ(instruments.GetSize(), 2);
    EXPECT_FLOAT_EQ(instruments[0].RealtimePrice.Ask, 1.2003f);
    CCurrencyArray currencys;
    center->GetCurrencysInfo(currencys);
    EXPECT_EQ(currencys.GetSize(), 1);
    EXPECT_EQ(center->GetErrorCode(), 7);
    EXPECT_EQ(center->GetInternalNo(), 100);

    manager->ReleaseObj();
}

}  // namespace
