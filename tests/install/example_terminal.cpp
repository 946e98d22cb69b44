// A minimal terminal built only against the installed headers and library: its sink
// derives from the do-nothing base; it reads every store of a fresh data center and asks the
// factory for a connection object.
#include <tradewire/Tradewire.h>

#include <cstdio>

namespace {

// Listens to one slot only; the base gives the other callbacks their empty bodies.
class QuietSink : public CForexNotifyAdapter {
  public:
    void OnLoginReply() override { ++logins; }
    int logins = 0;
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

    if (second != first + 1 || sink.logins != 0 || center.GetErrorCode() != EC_NoError ||
        !merchs.IsEmpty()) {
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
