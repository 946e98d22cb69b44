#include <cstdlib>

#include "ConnectionFixture.h"
#include "RefusingPort.h"

namespace {

// Points the module search at the given names for the life of the object.
class CModuleOverride {
  public:
    CModuleOverride(const char* ssl, const char* crypto) {
        ::setenv("TRADEWIRE_SSL_MODULE", ssl, 1);
        ::setenv("TRADEWIRE_CRYPTO_MODULE", crypto, 1);
    }
    ~CModuleOverride() {
        ::unsetenv("TRADEWIRE_SSL_MODULE");
        ::unsetenv("TRADEWIRE_CRYPTO_MODULE");
    }
};

}  // namespace

TEST_F(ConnectionFixture, ConnectsToALoopbackTlsServerAndRemembersTheServer) {
    ASSERT_TRUE(Connect());
    EXPECT_TRUE(manager->IsConnected());
    EXPECT_TRUE(server.WaitForHandshakes(1, 5s));
    CServer stored;
    manager->GetServer(stored);
    EXPECT_EQ(stored.Address, CString(L"127.0.0.1"));
    EXPECT_EQ(stored.Port, server.Port());
    EXPECT_TRUE(sink.ErrorCodes().empty());
}

TEST_F(ConnectionFixture, WhileConnectedReturnsTrueAtOnceAndKeepsTheOldServer) {
    ASSERT_TRUE(Connect());
    CServer other = LoopbackServer(1);
    EXPECT_TRUE(manager->ConnectServer(other));
    CServer stored;
    manager->GetServer(stored);
    EXPECT_EQ(stored.Port, server.Port());
    EXPECT_TRUE(server.WaitForHandshakes(1, 5s));
    std::this_thread::sleep_for(50ms);
    EXPECT_EQ(server.HandshakeCount(), 1);
}

TEST_F(ConnectionFixture, EmptyAddressOrPortZeroGivesThreeAndLeavesTheServerUnchanged) {
    CServer stored;
    manager->GetServer(stored);
    EXPECT_TRUE(stored.Address.IsEmpty());
    EXPECT_EQ(stored.Port, 0u);

    ASSERT_TRUE(Connect());
    manager->DisConnect();
    CServer noAddress;
    noAddress.Port = 4000;
    EXPECT_FALSE(manager->ConnectServer(noAddress));
    EXPECT_FALSE(manager->ConnectServer(LoopbackServer(0)));
    EXPECT_EQ(sink.ErrorCodes(), (std::vector<int>{EC_InvalidServer, EC_InvalidServer}));
    EXPECT_EQ(manager->GetErrorCode(), EC_InvalidServer);
    manager->GetServer(stored);
    EXPECT_EQ(stored.Port, server.Port());
}

TEST_F(ConnectionFixture, OnlyTheLowSixteenBitsOfThePortAreUsed) {
    CServer wide = LoopbackServer(0);
    wide.Port = 0x10000u + server.Port();
    EXPECT_TRUE(manager->ConnectServer(wide));
    EXPECT_TRUE(server.WaitForHandshakes(1, 5s));
}

TEST_F(ConnectionFixture, ARefusedPortOrUnreadableAddressGivesFiveAndDisConnectStaysHarmless) {
    const CRefusingPort refusing;
    ASSERT_TRUE(refusing.IsOpen());
    EXPECT_FALSE(manager->ConnectServer(LoopbackServer(refusing.Port())));
    CServer garbage;
    garbage.Address = L"not an address";
    garbage.Port = server.Port();
    EXPECT_FALSE(manager->ConnectServer(garbage));
    EXPECT_EQ(sink.ErrorCodes(), (std::vector<int>{EC_ConnectFailed, EC_ConnectFailed}));
    // The attempt passed the server check, so it is stored even though it failed.
    CServer stored;
    manager->GetServer(stored);
    EXPECT_EQ(stored.Address, garbage.Address);
    manager->DisConnect();
    EXPECT_FALSE(manager->IsConnected());
    // A failed attempt leaves nothing that stands in the way of the next one.
    EXPECT_TRUE(Connect());
}

TEST(ConnectionModules, MissingTlsModulesGiveAnObjectThatFailsWithOne) {
    CModuleOverride override("/nonexistent/libssl.so", "/nonexistent/libcrypto.so");
    CConnectionTestSink sink;
    CSocketManager* manager = new CSocketManager();
    manager->SetNotify(&sink);
    EXPECT_EQ(manager->GetDataCenter(), nullptr);
    EXPECT_FALSE(manager->ConnectServer(LoopbackServer(4000)));
    EXPECT_EQ(sink.ErrorCodes(), (std::vector<int>{EC_NotInitialized}));
    EXPECT_FALSE(manager->ReqLogin(L"u", L"p"));
    EXPECT_FALSE(manager->ReqLogOut(L"u", L""));
    EXPECT_FALSE(manager->CommitBill(COrderInfo()));
    EXPECT_FALSE(manager->ReqHistoryOrderInfo(0, 0));
    EXPECT_EQ(manager->SendQueueSize(), 0u);
    manager->DisConnect();
    manager->ReleaseObj();
}

TEST(ConnectionModules, TheOverrideNamesTheModulesToLoad) {
    CModuleOverride override("libssl.so.3", "libcrypto.so.3");
    CSocketManager* manager = new CSocketManager();
    CForexDataCenter* center = manager->GetDataCenter();
    EXPECT_NE(center, nullptr);
    CTestTlsServer server;
    ASSERT_TRUE(server.Start());
    EXPECT_TRUE(manager->ConnectServer(LoopbackServer(server.Port())));
    EXPECT_EQ(manager->GetDataCenter(), center);
    manager->DisConnect();
    EXPECT_EQ(manager->GetDataCenter(), center);
    manager->ReleaseObj();
}

TEST(ConnectionModules, ANullSinkIsIgnoredAndUnSetNotifyStopsTheCallbacks) {
    CConnectionTestSink sink;
    CSocketManager* manager = new CSocketManager();
    manager->SetNotify(&sink);
    manager->SetNotify(nullptr);
    EXPECT_FALSE(manager->ConnectServer(LoopbackServer(0)));
    EXPECT_EQ(sink.ErrorCodes().size(), 1u);
    manager->UnSetNotify();
    EXPECT_FALSE(manager->ConnectServer(LoopbackServer(0)));
    EXPECT_EQ(sink.ErrorCodes().size(), 1u);
    manager->ReleaseObj();
}
