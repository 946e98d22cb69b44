#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <string>
#include <utility>
#include <vector>

#include "datacenter/DataCenterAccess.h"
#include "protocol/ForexProtocol.h"

namespace {

// The fields of a one-record outbound frame, each without its 0x01.
std::vector<std::string> BodyFields(const std::string& frame) {
    const size_t header = frame.find('\x03');
    std::string body = frame.substr(header + 1);
    EXPECT_EQ(body.back(), '\x04');
    body.pop_back();
    std::vector<std::string> fields;
    size_t start = 0;
    for (size_t end = body.find('\x01'); end != std::string::npos; end = body.find('\x01', start)) {
        fields.push_back(body.substr(start, end - start));
        start = end + 1;
    }
    EXPECT_EQ(start, body.size()) << "every field ends in 0x01";
    return fields;
}

// The frame's fields that `expected` names (counted from 0), in a frame of `count` fields.
void ExpectFields(const std::string& frame, size_t count,
                  const std::vector<std::pair<size_t, std::string>>& expected) {
    const std::vector<std::string> fields = BodyFields(frame);
    ASSERT_EQ(fields.size(), count);
    for (const auto& [at, text] : expected) {
        EXPECT_EQ(fields[at], text) << "field " << at + 1;
    }
}

int LengthField(const std::string& frame) {
    return std::atoi(frame.substr(0, 6).c_str());
}

// Sets TZ for one test and puts the previous value back.
class CTimeZone {
  public:
    explicit CTimeZone(const char* zone) {
        const char* previous = std::getenv("TZ");
        m_hadPrevious = previous != nullptr;
        m_previous = m_hadPrevious ? previous : "";
        ::setenv("TZ", zone, 1);
        ::tzset();
    }
    ~CTimeZone() {
        if (m_hadPrevious) {
            ::setenv("TZ", m_previous.c_str(), 1);
        } else {
            ::unsetenv("TZ");
        }
        ::tzset();
    }

  private:
    bool m_hadPrevious = false;
    std::string m_previous;
};

class RequestBuilders : public ::testing::Test {
  protected:
    CForexProtocol m_protocol;
};

}  // namespace

TEST_F(RequestBuilders, LoginFrameIsExactToTheByte) {
    const std::string expected =
        "000039000000"
        "8000\x03"
        "u\x01u\x01p\x01"
        "0\x01"
        "-1\x01"
        "2\x01"
        "1.0.0.1\x01"
        "\x04";
    EXPECT_EQ(m_protocol.BuildLogin(L"u", L"p"), expected);
}

TEST_F(RequestBuilders, LogoutFrameHoldsTheUserTwice) {
    const std::string expected =
        "000022000000"
        "8001\x03"
        "u\x01u\x01"
        "\x04";
    const std::string frame = m_protocol.BuildLogout(L"u");
    EXPECT_EQ(frame, expected);
    EXPECT_EQ(LengthField(frame), 22);
}

TEST_F(RequestBuilders, OrderSendsThirtyTwoFieldsAndMarksNoneAsEmpty) {
    COrderInfo order;
    order.AccountCode = L"A1";
    order.MerchCode = L"EURUSD";
    order.InternalNo = 17;
    order.OrderNo = 0;
    order.BargainNo = 0;
    order.OrderKind = 60;
    order.Value10 = -1;
    order.Value14 = 1234.6f;
    order.Value15 = 0.4f;
    order.Value16 = -2.5f;
    order.Value28 = L"note";
    order.Value29 = 7.5f;
    order.Value20 = 99.0f;  // not sent
    const std::string frame = m_protocol.BuildCommitBill(order);
    EXPECT_EQ(frame.substr(12, 5), "7001\x03");
    EXPECT_EQ(LengthField(frame), static_cast<int>(frame.size()));

    // OrderNo 0, BargainNo 0 and Value10 -1 go empty (6, 7, 10); an exact half rounds to even.
    ExpectFields(frame, 32,
                 {{0, "A1"}, {1, "A1"},    {2, "EURUSD"}, {4, "17"}, {6, ""},    {7, ""},
                  {8, "60"}, {10, ""},     {14, "1235"},  {15, "0"}, {16, "-2"}, {20, "0"},
                  {21, "0"}, {22, ""},     {23, ""},      {24, ""},  {25, ""},   {26, ""},
                  {27, ""},  {28, "note"}, {29, "8"},     {30, "0"}, {31, "0"}});
}

TEST_F(RequestBuilders, OrderNumbersThatAreSetAreSentAndValueTenZeroReadsZero) {
    COrderInfo order;
    order.OrderNo = 5;
    order.BargainNo = -3;
    order.Value10 = 0;
    ExpectFields(m_protocol.BuildCommitBill(order), 32, {{6, "5"}, {7, "-3"}, {10, "0"}});
}

TEST_F(RequestBuilders, CommittingAnOrderKeepsItAsTheLastCommittedOrder) {
    COrderInfo order;
    order.InternalNo = 42;
    order.MerchCode = L"USDJPY";
    m_protocol.BuildCommitBill(order);
    EXPECT_EQ(m_protocol.LastCommittedOrder.InternalNo(), 42);
    EXPECT_EQ(m_protocol.LastCommittedOrder.Load().MerchCode, CString(L"USDJPY"));
}

TEST_F(RequestBuilders, HistoryRequestUsesLocalDatesAndTheAccountCode) {
    CTimeZone zone("CST-8");  // UTC+8 all year
    // 2024-03-01 00:30 and 23:30 in UTC+8; the first is still 29 February in UTC.
    const long from = 1709224200L;
    const long to = 1709307000L;
    std::vector<std::string> fields = BodyFields(m_protocol.BuildHistoryRequest(from, to));
    ASSERT_EQ(fields.size(), 4u);
    EXPECT_EQ(fields[0], "");  // no account message yet
    EXPECT_EQ(fields[1], "");
    EXPECT_EQ(fields[2], "20240301");
    EXPECT_EQ(fields[3], "20240301");

    CDataCenterAccess access(*m_protocol.GetDataCenter());
    access.AccountInfo().AccountCode = L"ACC9";
    fields = BodyFields(m_protocol.BuildHistoryRequest(0, from));
    EXPECT_EQ(fields[0], "ACC9");
    EXPECT_EQ(fields[1], "ACC9");
    EXPECT_EQ(fields[2], "19700101");
}

TEST_F(RequestBuilders, HistoryRequestKeepsTimesBeyondThirtyTwoBits) {
    CTimeZone zone("UTC");
    const long year2100 = 4102444800L;  // 2100-01-01 00:00 UTC
    const std::vector<std::string> fields =
        BodyFields(m_protocol.BuildHistoryRequest(year2100, year2100));
    EXPECT_EQ(fields[2], "21000101");
}

TEST_F(RequestBuilders, EmptyTextsBecomeEmptyFields) {
    const std::string frame = m_protocol.BuildLogin(CString(), CString());
    EXPECT_EQ(frame.substr(17, 3), "\x01\x01\x01");
    EXPECT_EQ(LengthField(frame), static_cast<int>(frame.size()));
}
