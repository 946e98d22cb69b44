#include <gtest/gtest.h>

#include "connection/SocketManager.h"

namespace {

class Requests : public ::testing::Test {
  protected:
    void TearDown() override { manager->ReleaseObj(); }
    CSocketManager* manager = new CSocketManager();
};

}  // namespace

TEST_F(Requests, EmptyUserOrPasswordIsRefusedAndQueuesNothing) {
    EXPECT_FALSE(manager->ReqLogin(L"", L"p"));
    EXPECT_FALSE(manager->ReqLogin(L"u", L""));
    EXPECT_FALSE(manager->ReqLogOut(L"", L"x"));
    EXPECT_EQ(manager->SendQueueSize(), 0u);
    EXPECT_EQ(manager->GetErrorCode(), EC_NoError);  // a refused request sets no error
}

TEST_F(Requests, RequestsAreQueuedWhileDisconnected) {
    EXPECT_TRUE(manager->ReqLogin(L"u", L"p"));
    EXPECT_TRUE(manager->ReqLogOut(L"u", L""));  // the second text is not looked at
    EXPECT_TRUE(manager->CommitBill(COrderInfo()));
    EXPECT_TRUE(manager->ReqHistoryOrderInfo(-1, 0));  // the range is not checked
    EXPECT_EQ(manager->SendQueueSize(), 4u);
    EXPECT_FALSE(manager->IsConnected());
}
