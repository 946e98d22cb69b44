// A minimal terminal built only against the installed headers and library: it implements the
// sink, reads every store of a fresh data center and asks the factory for a connection object.
#include <tradewire/Tradewire.h>

#include <cstdio>

namespace {

class QuietSink : public CAbsForexNotify {
  public:
    void OnErrorCode(int) override {}
    void OnTextMessage(const CString&) override {}
    void OnLoginReply() override {}
    void OnSpareA() override {}
    void OnAccountInfo(CAccountInfo&) override {}
    void OnCurrencysInfo(CArray<CCurrency, CCurrency&>&) override {}
    void OnForexMerchs(CArray<CForexMerch, CForexMerch&>&) override {}
    void OnBargainsInfo(CArray<CBargain, CBargain&>&) override {}
    void OnOrdersInfo(CArray<COrderInfo, COrderInfo&>&) override {}
    void OnHistoryOrderInfo(CArray<CHistoryOrderInfo, CHistoryOrderInfo&>&) override {}
    void OnGroupInfo(CGroup&) override {}
    void OnBaseInfo(CBaseInfo&) override {}
    void OnBroadCast(CBroadCast&) override {}
    void OnRealtimePrice(const CForexMerch&) override {}
    void OnSocketError(unsigned long) override {}
    void OnBargainOpened(const CBargain&) override {}
    void OnOpenRefused(const COrderInfo&) override {}
    void OnBargainClosed(const CBargain&) override {}
    void OnCloseRefused(const COrderInfo&) override {}
    void OnOrderAdded(const COrderInfo&) override {}
    void OnOrderRefused(const COrderInfo&) override {}
    void OnOrderChanged(const COrderInfo&) override {}
    void OnChangeRefused(const COrderInfo&) override {}
    void OnOrderDeleted(const COrderInfo&) override {}
    void OnDeleteRefused(const COrderInfo&) override {}
    void OnSpareB() override {}
};

}  // namespace

int main() {
    QuietSink sink;
    CForexDataCenter center;
    center.SetNotify(&sink);

    CBaseInfo base;
    CArray<CCurrency, CCurrency&> currencys;
    CGroup group;
    CBroadCast broadCast;
    CAccountInfo account;
    CArray<CForexMerch, CForexMerch&> merchs;
    CArray<CBargain, CBargain&> bargains;
    CArray<COrderInfo, COrderInfo&> orders;
    CArray<CHistoryOrderInfo, CHistoryOrderInfo&> history;
    center.GetBaseInfo(base);
    center.GetCurrencysInfo(currencys);
    center.GetGroupInfo(group);
    center.GetBroadCast(broadCast);
    center.GetAccountInfo(account);
    center.GetForexMerchs(merchs);
    center.GetBargainsInfo(bargains);
    center.GetOrdersInfo(orders);
    center.GetHistoryOrderInfo(history);
    const int first = center.GetInternalNo();
    const int second = center.GetInternalNo();
    center.UnSetNotify();

    if (second != first + 1 || center.GetErrorCode() != EC_NoError || !merchs.IsEmpty()) {
        std::puts("unexpected data-center state");
        return 1;
    }
    CAbsForexManager* manager = GetAbsTradewire();
    if (manager != nullptr) {
        manager->SetNotify(&sink);
        manager->ReleaseObj();
    }
    std::puts("installed terminal ran");
    return 0;
}
