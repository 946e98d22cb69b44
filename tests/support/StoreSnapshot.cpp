#include "StoreSnapshot.h"

#include "RecordingSink.h"

std::vector<std::string> StoreSnapshot(CForexDataCenter& center) {
    // The recording sink's formats describe each store; fed by hand, it is only a formatter.
    CRecordingSink text;
    CAccountInfo account;
    center.GetAccountInfo(account);
    text.OnAccountInfo(account);
    CForexMerchArray merchs;
    center.GetForexMerchs(merchs);
    text.OnForexMerchs(merchs);
    for (INT_PTR i = 0; i < merchs.GetSize(); ++i) {
        text.OnRealtimePrice(merchs[i]);
    }
    CCurrencyArray currencys;
    center.GetCurrencysInfo(currencys);
    text.OnCurrencysInfo(currencys);
    CBargainArray bargains;
    center.GetBargainsInfo(bargains);
    text.OnBargainsInfo(bargains);
    COrderInfoArray orders;
    center.GetOrdersInfo(orders);
    text.OnOrdersInfo(orders);
    CHistoryOrderInfoArray history;
    center.GetHistoryOrderInfo(history);
    text.OnHistoryOrderInfo(history);
    CGroup group;
    center.GetGroupInfo(group);
    text.OnGroupInfo(group);
    CBaseInfo baseInfo;
    center.GetBaseInfo(baseInfo);
    text.OnBaseInfo(baseInfo);
    CBroadCast broadCast;
    center.GetBroadCast(broadCast);
    text.OnBroadCast(broadCast);
    text.OnErrorCode(static_cast<int>(center.GetErrorCode()));
    text.OnForexMerchs(account.Merchs);
    return text.Lines();
}
