// Calls every operation of CForexDataCenter, so that its undefined symbols name each one as the
// compiler that built it decorates it. scripts/msvc-exports.sh compiles it with clang-cl for
// the Microsoft ABI and with MinGW g++, and pairs the two lists into Tradewire.dll's aliases.
// Never linked. When CForexDataCenter gains an operation, the build stops until it is called
// here too.

#include <tradewire/Tradewire.h>

void CallEveryDataCenterOperation(CForexDataCenter& center, CAbsForexNotify* sink,
                                  const CForexRealtimePrice& quote) {
    center.SetNotify(sink);
    center.UnSetNotify();
    (void)center.GetInternalNo();
    CBaseInfo baseInfo;
    center.GetBaseInfo(baseInfo);
    CArray<CCurrency, CCurrency&> currencys;
    center.GetCurrencysInfo(currencys);
    CGroup group;
    center.GetGroupInfo(group);
    CBroadCast broadCast;
    center.GetBroadCast(broadCast);
    CAccountInfo account;
    center.GetAccountInfo(account);
    CArray<CForexMerch, CForexMerch&> merchs;
    center.GetForexMerchs(merchs);
    CArray<CBargain, CBargain&> bargains;
    center.GetBargainsInfo(bargains);
    CArray<COrderInfo, COrderInfo&> orders;
    center.GetOrdersInfo(orders);
    CArray<CHistoryOrderInfo, CHistoryOrderInfo&> history;
    center.GetHistoryOrderInfo(history);
    (void)center.GetErrorCode();
    center.OnRealtimePriceUpdate(quote);
}
