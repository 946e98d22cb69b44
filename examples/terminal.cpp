// A whole session in one file: connect (checking the server's key when a pin is given), log in,
// show the balance and three quotes, buy 0.01 lot at the market, close it and log out.
// usage: example-terminal PORT [PIN]      (a server on 127.0.0.1, such as tradewire-sim)
#include <tradewire/Tradewire.h>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>

// Callbacks come on the library's processing thread: each keeps what came and counts it under
// the lock; main() waits for a count to grow, then reads what was kept.
class Sink : public CForexNotifyAdapter {
  public:
    void OnErrorCode(int code) override { Keep(failed, error, tradewire::ErrorCodeName(code)); }
    void OnTextMessage(const CString& t) override { Keep(texts, text, t); }
    // The login's snapshot brings the position list, even an empty one.
    void OnBargainsInfo(CBargainArray& list) override { Keep(snapshot, positions, list); }
    void OnRealtimePrice(const CForexMerch& m) override {
        if (quotes < 3) {  // only this thread writes it
            Keep(quotes, quote[quotes], m);
        }
    }
    void OnBargainOpened(const CBargain& b) override { Keep(deals, deal, b); }
    void OnBargainClosed(const CBargain& b) override { Keep(deals, deal, b); }
    void OnOpenRefused(const COrderInfo& r) override { Keep(failed, text, r.Value28); }
    void OnCloseRefused(const COrderInfo& r) override { Keep(failed, text, r.Value28); }

    // Waits for `count` to pass `seen`; false when a failure comes first or 10 s pass.
    bool Wait(const int& count, int seen = 0) {
        std::unique_lock<std::mutex> lock(m_lock);
        m_changed.wait_for(lock, std::chrono::seconds(10), [&] { return count > seen || failed; });
        return count > seen && !failed;
    }
    int Now(const int& count) {
        const std::lock_guard<std::mutex> guard(m_lock);
        return count;
    }
    int failed = 0, snapshot = 0, quotes = 0, deals = 0, texts = 0;  // under m_lock
    const char* error = "";
    CBargainArray positions;
    CForexMerch quote[3];
    CBargain deal;  // the last deal
    CString text;   // a text message, or the reason of a refusal

  private:
    template <class Value>
    void Keep(int& count, Value& into, const Value& value) {
        const std::lock_guard<std::mutex> guard(m_lock);
        into = value;
        ++count;
        m_changed.notify_all();
    }
    std::mutex m_lock;
    std::condition_variable m_changed;
};

static bool Session(CAbsForexManager& manager, Sink& sink, int port) {
    CServer server;
    server.Address = L"127.0.0.1";
    server.Port = static_cast<uint32_t>(port);
    if (!manager.ConnectServer(server) || !manager.ReqLogin(L"demo", L"demo") ||
        !sink.Wait(sink.snapshot)) {
        return false;
    }
    CForexDataCenter& center = *manager.GetDataCenter();
    CAccountInfo account;
    center.GetAccountInfo(account);
    std::printf("balance %.2f\n", account.Funds.IsEmpty() ? 0.0 : account.Funds[0].Balance);
    for (int i = 0; i < 3 && sink.Wait(sink.quotes, i); ++i) {
        const CForexRealtimePrice& q = sink.quote[i].RealtimePrice;
        std::printf("quote %ls %g/%g\n", q.MerchCode.GetString(), q.Bid, q.Ask);
    }
    COrderInfo order;  // buy 0.01 lot at the market
    order.AccountCode = account.AccountCode;
    order.MerchCode = sink.quote[0].MerchCode;
    order.InternalNo = center.GetInternalNo();
    order.OrderKind = tradewire::kOpenMarket;
    order.Value10 = tradewire::kBuy;
    order.Value11 = tradewire::kHundredthsPerLot / 100;
    if (!manager.CommitBill(order) || !sink.Wait(sink.deals)) {
        return false;
    }
    const CBargain& deal = sink.deal;  // the opening deal, then the closing one
    std::printf("opened #%d %ls at %g\n", deal.BargainNo, deal.MerchCode.GetString(), deal.Price);
    order.InternalNo = center.GetInternalNo();  // then close that position, whole
    order.OrderKind = tradewire::kCloseMarket;
    order.BargainNo = deal.BargainNo;
    order.Value10 = tradewire::OppositeSide(deal.Direction);
    order.CloseFlag = tradewire::kClosesPosition;
    if (!manager.CommitBill(order) || !sink.Wait(sink.deals, 1)) {
        return false;
    }
    std::printf("closed #%d at %g\n", deal.OpenBargainNo, deal.Price);
    const int texts = sink.Now(sink.texts);  // the server's next text message confirms the logout
    return manager.ReqLogOut(L"demo", L"") && sink.Wait(sink.texts, texts);
}

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s PORT [PIN]\n", argv[0]);
        return 2;
    }
    static std::string pin = std::string("TRADEWIRE_PIN_SHA256=") + (argc > 2 ? argv[2] : "");
    putenv(&pin[0]);  // read by ConnectServer; empty: no check
    Sink sink;
    CAbsForexManager* manager = GetAbsTradewire();
    manager->SetNotify(&sink);
    const bool done = Session(*manager, sink, std::atoi(argv[1]));
    manager->DisConnect();  // never from a callback: it waits for the library's threads
    manager->ReleaseObj();
    std::printf("%s: %ls%s\n", done ? "done" : "failed", sink.text.GetString(), sink.error);
    return done ? 0 : 1;
}
