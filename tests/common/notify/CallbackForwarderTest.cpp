// Every slot of the notification interface, called as the library calls it, reaches the
// handler for its kind of argument under its own name, with the very object it was given.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/notify/CallbackForwarder.h"

namespace {

class CHandlerLog : public CCallbackForwarder<CHandlerLog> {
  public:
    std::vector<std::string> calls;
    std::vector<const void*> objects;

    void OnPlain(const char* name) { calls.push_back(std::string("plain ") + name); }
    template <class Number>
    void OnValue(const char* name, const char* field, Number value) {
        calls.push_back(std::string("value ") + name + " " + field + "=" + std::to_string(value));
    }
    void OnValue(const char* name, const char* field, const CString& text) {
        calls.push_back(std::string("value ") + name + " " + field);
        objects.push_back(&text);
    }
    template <class Record>
    void OnRecord(const char* name, const Record& record) {
        calls.push_back(std::string("record ") + name);
        objects.push_back(&record);
    }
    template <class Record>
    void OnList(const char* name, const CArray<Record, Record&>& list) {
        calls.push_back(std::string("list ") + name);
        objects.push_back(&list);
    }
};

TEST(CallbackForwarder, EverySlotReachesItsHandlerByNameWithItsOwnArgument) {
    CHandlerLog log;
    CAbsForexNotify& sink = log;
    const CString text(L"t");
    CAccountInfo account;
    CCurrencyArray currencys;
    CForexMerchArray merchs;
    CBargainArray bargains;
    COrderInfoArray orders;
    CHistoryOrderInfoArray history;
    CGroup group;
    CBaseInfo baseInfo;
    CBroadCast broadCast;
    const CForexMerch merch;
    const CBargain bargain;
    const COrderInfo order;

    sink.OnErrorCode(7);
    sink.OnTextMessage(text);
    sink.OnLoginReply();
    sink.OnSpareA();
    sink.OnAccountInfo(account);
    sink.OnCurrencysInfo(currencys);
    sink.OnForexMerchs(merchs);
    sink.OnBargainsInfo(bargains);
    sink.OnOrdersInfo(orders);
    sink.OnHistoryOrderInfo(history);
    sink.OnGroupInfo(group);
    sink.OnBaseInfo(baseInfo);
    sink.OnBroadCast(broadCast);
    sink.OnRealtimePrice(merch);
    sink.OnSocketError(10054);
    sink.OnBargainOpened(bargain);
    sink.OnOpenRefused(order);
    sink.OnBargainClosed(bargain);
    sink.OnCloseRefused(order);
    sink.OnOrderAdded(order);
    sink.OnOrderRefused(order);
    sink.OnOrderChanged(order);
    sink.OnChangeRefused(order);
    sink.OnOrderDeleted(order);
    sink.OnDeleteRefused(order);
    sink.OnSpareB();

    const std::vector<std::string> expected = {"value OnErrorCode code=7",
                                               "value OnTextMessage text",
                                               "plain OnLoginReply",
                                               "plain OnSpareA",
                                               "record OnAccountInfo",
                                               "list OnCurrencysInfo",
                                               "list OnForexMerchs",
                                               "list OnBargainsInfo",
                                               "list OnOrdersInfo",
                                               "list OnHistoryOrderInfo",
                                               "record OnGroupInfo",
                                               "record OnBaseInfo",
                                               "record OnBroadCast",
                                               "record OnRealtimePrice",
                                               "value OnSocketError error=10054",
                                               "record OnBargainOpened",
                                               "record OnOpenRefused",
                                               "record OnBargainClosed",
                                               "record OnCloseRefused",
                                               "record OnOrderAdded",
                                               "record OnOrderRefused",
                                               "record OnOrderChanged",
                                               "record OnChangeRefused",
                                               "record OnOrderDeleted",
                                               "record OnDeleteRefused",
                                               "plain OnSpareB"};
    EXPECT_EQ(log.calls, expected);
    // Not copied: a record handler may keep the address of a live store while it runs.
    const std::vector<const void*> passedOn = {
        &text,  &account,  &currencys, &merchs, &bargains, &orders, &history,
        &group, &baseInfo, &broadCast, &merch,  &bargain,  &order,  &bargain,
        &order, &order,    &order,     &order,  &order,    &order,  &order};
    EXPECT_EQ(log.objects, passedOn);
}

}  // namespace
