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

// Callbacks come on the library's processing thread: each keeps what came and wakes main().
class Sink : public CForexNotifyAdapter {
  public:
    void OnErrorCode(int code) override { Note(errors, code, error); }
    // The login's snapshot brings the position list, even an empty one.
    void OnBargainsInfo(CBargainArray&) override { Note(snapshot); }
    void OnRealtimePrice(const CForexMerch& m) override {
        if (quotes < 3) {  // only this thread writes it
            Note(quotes, m, quote[quotes]);
        }
    }
    void OnBargainOpened(const CBargain& b) override { Note(opened, b, deal); }
    void OnBargainClosed(const CBargain& b) override { Note(closed, b, deal); }
    void OnOpenRefused(const COrderInfo& r) override { Note(errors, r.Value28, text); }
    void OnCloseRefused(const COrderInfo& r) override { Note(errors, r.Value28, text); }
    void OnTextMessage(const CString& t) override { Note(texts, t, text); }

    // Waits for `count` to reach `least`; false when an error comes first or 10 s pass.
    bool Wait(const int& count, int least) {
        std::unique_lock<std::mutex> lock(m_lock);
        m_changed.wait_for(lock, std::chrono::seconds(10),
                           [&] { return count >= least || errors; });
        return count >= least && !errors;
    }
    int Count(const int& count) {
        const std::lock_guard<std::mutex> guard(m_lock);
        return count;
    }
    int errors = 0, snapshot = 0, quotes = 0, opened = 0, closed = 0, texts = 0;  // under m_lock
    int error = 0;
    CForexMerch quote[3];
    CBargain deal;
    CString text;  // a text message, or the reason of a refusal

  private:
    template <class Record>
    void Note(int& count, const Record& record, Record& into) {
        const std::lock_guard<std::mutex> guard(m_lock);
        into = record;
        ++count;
        m_changed.notify_all();
    }
    void Note(int& count) {
        int unused = 0;
        Note(count, 0, unused);
    }
    std::mutex m_lock;
    std::condition_variable m_changed;
};

static bool Session(CAbsForexManager& manager, Sink& sink, const CServer& server) {
    if (!manager.ConnectServer(server) || !manager.ReqLogin(L"demo", L"demo") ||
        !sink.Wait(sink.snapshot, 1)) {
        return false;
    }
    CForexDataCenter& center = *manager.GetDataCenter();
    CAccountInfo account;
    center.GetAccountInfo(account);
    std::printf("balance %.2f\n", account.Funds.IsEmpty() ? 0.0 : account.Funds[0].Balance);
    for (int i = 0; i < 3 && sink.Wait(sink.quotes, i + 1); ++i) {
        const CForexMerch& m = sink.quote[i];
        std::printf("quote %ls %g/%g\n", m.MerchCode.GetString(), m.RealtimePrice.Bid,
                    m.RealtimePrice.Ask);
    }
    COrderInfo order;  // buy 0.01 lot at the market
    order.AccountCode = account.AccountCode;
    order.MerchCode = sink.quote[0].MerchCode;
    order.InternalNo = center.GetInternalNo();
    order.OrderKind = tradewire::kOpenMarket;
    order.Value10 = tradewire::kBuy;
    order.Value11 = tradewire::kHundredthsPerLot / 100;
    if (!manager.CommitBill(order) || !sink.Wait(sink.opened, 1)) {
        return false;
    }
    std::printf("opened #%d %ls at %g\n", sink.deal.BargainNo, sink.deal.MerchCode.GetString(),
                sink.deal.Price);
    order.InternalNo = center.GetInternalNo();  // then close that position, whole
    order.OrderKind = tradewire::kCloseMarket;
    order.BargainNo = sink.deal.BargainNo;
    order.Value10 = tradewire::OppositeSide(sink.deal.Direction);
    order.CloseFlag = tradewire::kClosesPosition;
    if (!manager.CommitBill(order) || !sink.Wait(sink.closed, 1)) {
        return false;
    }
    std::printf("closed #%d at %g\n", sink.deal.OpenBargainNo, sink.deal.Price);
    const int texts = sink.Count(sink.texts);  // the server's next text message confirms the logout
    return manager.ReqLogOut(L"demo", L"") && sink.Wait(sink.texts, texts + 1);
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
    CServer server;
    server.Address = L"127.0.0.1";
    server.Port = static_cast<uint32_t>(std::atoi(argv[1]));
    const bool done = Session(*manager, sink, server);
    manager->DisConnect();  // never from a callback: it waits for the library's threads
    manager->ReleaseObj();
    const char* error = sink.error != 0 ? tradewire::ErrorCodeName(sink.error) : "";
    std::printf("%s: %ls%s\n", done ? "done" : "failed", sink.text.GetString(), error);
    return done ? 0 : 1;
}
