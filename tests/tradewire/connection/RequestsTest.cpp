#include <gtest/gtest.h>

#include "connection/SocketManager.h"

namespace {

class Requests : public ::testing::Test {
  protected:
    void TearDown() override { m_manager->ReleaseObj(); }
    CSocketManager* m_manager = new CSocketManager();
};

}  // namespace

TEST_F(Requests, EmptyUserOrPasswordIsRefusedAndQueuesNothing) {
    EXPECT_FALSE(m_manager->ReqLogin(L"", L"p"));
    EXPECT_FALSE(m_manager->ReqLogin(L"u", L""));
    EXPECT_FALSE(m_manager->ReqLogOut(L"", L"x"));
    EXPECT_EQ(m_manager->SendQueueSize(), 0u);
    EXPECT_EQ(m_manager->GetErrorCode(), EC_NoError);  // a refused request sets no error
}

TEST_F(Requests, RequestsAreQueuedWhileDisconnected) {
    EXPECT_TRUE(m_manager->ReqLogin(L"u", L"p"));
    EXPECT_TRUE(m_manager->ReqLogOut(L"u", L""));  // the second text is not looked at
    EXPECT_TRUE(m_manager->CommitBill(COrderInfo()));
    EXPECT_TRUE(m_manager->ReqHistoryOrderInfo(-1, 0));  // the range is not checked
    EXPECT_EQ(m_manager->SendQueueSize(), 4u);
    EXPECT_FALSE(m_manager->IsConnected());
}
