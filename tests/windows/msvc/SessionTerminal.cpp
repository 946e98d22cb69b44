// A trading terminal as a customer writes one: the installed headers, C headers and
// <windows.h> only, no C++ standard library, Tradewire.dll through an import library. The test
// builds this one source twice, with Microsoft's ABI (clang-cl, Tradewire.lib) and with MinGW
// (libTradewire.dll.a), runs both against SessionServer.cpp and compares their logs: every
// callback with its arguments, every getter's result, and the checks of the shared heap.
//
// Usage: session_terminal <port> <log file>. Exit status 0 when every step worked and the
// process heap is sound at the end.

#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <wchar.h>
#include <windows.h>

#include <tradewire/Tradewire.h>

#include "InterfaceLayout.h"

namespace {

const DWORD kWaitMs = 30000;

CRITICAL_SECTION g_logLock;
FILE* g_log = nullptr;
volatile LONG g_step = -1;         // the last "step N" text received
volatile LONG g_socketErrors = 0;  // OnSocketError calls so far

void Log(const char* format, ...) {
    EnterCriticalSection(&g_logLock);
    va_list args;
    va_start(args, format);
    vfprintf(g_log, format, args);
    va_end(args);
    fputc('\n', g_log);
    fflush(g_log);
    LeaveCriticalSection(&g_logLock);
}

// The session's texts are ASCII; anything else would print as '?' on both builds alike.
class CNarrow {
  public:
    explicit CNarrow(const CString& text) {
        int i = 0;
        for (; i < text.GetLength() && i < static_cast<int>(sizeof(m_text)) - 1; ++i) {
            const wchar_t ch = text.GetAt(i);
            m_text[i] = ch >= 0x20 && ch < 0x7f ? static_cast<char>(ch) : '?';
        }
        m_text[i] = '\0';
    }
    const char* Get() const { return m_text; }

  private:
    char m_text[128];
};

void LogOrder(const char* what, const COrderInfo& o) {
    Log("%s #%d %s kind=%d in=%d bargain=%d close=%d tp=%g/%g", what, o.OrderNo,
        CNarrow(o.MerchCode).Get(), o.OrderKind, o.InternalNo, o.BargainNo, o.CloseFlag,
        o.TriggerPrice1, o.TriggerPrice2);
}

void LogBargain(const char* what, const CBargain& b) {
    Log("%s #%d %s open=#%d in=%d dir=%d close=%d lots=%g price=%g tp=%g/%g", what, b.BargainNo,
        CNarrow(b.MerchCode).Get(), b.OpenBargainNo, b.InternalNo, b.Direction, b.CloseFlag, b.Lots,
        b.Price, b.TriggerPrice1, b.TriggerPrice2);
}

void LogMerch(const char* what, const CForexMerch& m) {
    Log("%s %s no=%d min=%g unit=%g bid=%g ask=%g stamp=%s", what, CNarrow(m.MerchCode).Get(),
        m.MerchNo, m.MinSpread, m.PriceUnit, m.RealtimePrice.Bid, m.RealtimePrice.Ask,
        CNarrow(m.RealtimePrice.QuoteStamp).Get());
}

void LogHistory(const char* what, const CHistoryOrderInfo& h) {
    Log("%s #%d open=#%d %s lots=%g in=%d/%d price=%g/%g profit=%g credit=%g charge=%g", what,
        h.BargainNo, h.OpenBargainNo, CNarrow(h.MerchCode).Get(), h.Lots, h.OpenInternalNo,
        h.InternalNo, h.OpenPrice, h.ClosePrice, h.Profit, h.Credit, h.Charge);
}

void LogAccount(const char* what, const CAccountInfo& a) {
    Log("%s %s funds=%d merchs=%d internal=%d balance=%g", what, CNarrow(a.AccountCode).Get(),
        static_cast<int>(a.Funds.GetSize()), static_cast<int>(a.Merchs.GetSize()), a.InternalNo,
        a.Funds.IsEmpty() ? 0.0 : a.Funds[0].Balance);
}

void LogCurrencies(const char* what, const CArray<CCurrency, CCurrency&>& list) {
    Log("%s n=%d", what, static_cast<int>(list.GetSize()));
    for (INT_PTR i = 0; i < list.GetSize(); ++i) {
        Log("  %s usd=%g", CNarrow(list[i].CurrencyCode).Get(), list[i].UsdRate);
    }
}

template <class TYPE>
void LogList(const char* what, const CArray<TYPE, TYPE&>& list,
             void (*logOne)(const char*, const TYPE&)) {
    Log("%s n=%d", what, static_cast<int>(list.GetSize()));
    for (INT_PTR i = 0; i < list.GetSize(); ++i) {
        logOne(" ", list[i]);
    }
}

void LogGroup(const char* what, const CGroup& g) {
    Log("%s %s v2=%d v3=%s v5=%d", what, CNarrow(g.Value1).Get(), g.Value2, CNarrow(g.Value3).Get(),
        g.Value5);
}

void LogBase(const char* what, const CBaseInfo& b) {
    Log("%s switch=%g", what, b.BaseRateSwitch);
}

void LogBroadCast(const char* what, const CBroadCast& b) {
    Log("%s %d %g %g %s", what, b.Value1, b.Value2, b.Value3, CNarrow(b.Value4).Get());
}

// Every callback, logged with what it received.
class CSessionSink : public CForexNotifyAdapter {
  public:
    void OnErrorCode(int code) override { Log("OnErrorCode %d", code); }
    void OnTextMessage(const CString& text) override {
        Log("OnTextMessage \"%s\"", CNarrow(text).Get());
        const wchar_t* raw = text.GetString();
        if (text.GetLength() > 5 && wcsncmp(raw, L"step ", 5) == 0) {
            InterlockedExchange(&g_step, static_cast<LONG>(wcstol(raw + 5, nullptr, 10)));
        }
    }
    void OnLoginReply() override { Log("OnLoginReply"); }
    void OnSpareA() override { Log("OnSpareA"); }
    void OnAccountInfo(CAccountInfo& account) override { LogAccount("OnAccountInfo", account); }
    void OnCurrencysInfo(CArray<CCurrency, CCurrency&>& list) override {
        LogCurrencies("OnCurrencysInfo", list);
    }
    void OnForexMerchs(CArray<CForexMerch, CForexMerch&>& list) override {
        LogList("OnForexMerchs", list, LogMerch);
    }
    void OnBargainsInfo(CArray<CBargain, CBargain&>& list) override {
        LogList("OnBargainsInfo", list, LogBargain);
    }
    void OnOrdersInfo(CArray<COrderInfo, COrderInfo&>& list) override {
        LogList("OnOrdersInfo", list, LogOrder);
    }
    void OnHistoryOrderInfo(CArray<CHistoryOrderInfo, CHistoryOrderInfo&>& list) override {
        LogList("OnHistoryOrderInfo", list, LogHistory);
    }
    void OnGroupInfo(CGroup& group) override { LogGroup("OnGroupInfo", group); }
    void OnBaseInfo(CBaseInfo& baseInfo) override { LogBase("OnBaseInfo", baseInfo); }
    void OnBroadCast(CBroadCast& broadCast) override { LogBroadCast("OnBroadCast", broadCast); }
    void OnRealtimePrice(const CForexMerch& merch) override {
        // A copy made here and destroyed here: the terminal's own code on the DLL's record.
        CForexMerch copy = merch;
        LogMerch("OnRealtimePrice", copy);
    }
    void OnSocketError(unsigned long error) override {
        // Only the first: the send and receive threads may both see the broken connection.
        if (InterlockedIncrement(&g_socketErrors) == 1) {
            Log("OnSocketError %lu", error);
        }
    }
    void OnBargainOpened(const CBargain& b) override { LogBargain("OnBargainOpened", b); }
    void OnOpenRefused(const COrderInfo& o) override { LogOrder("OnOpenRefused", o); }
    void OnBargainClosed(const CBargain& b) override { LogBargain("OnBargainClosed", b); }
    void OnCloseRefused(const COrderInfo& o) override { LogOrder("OnCloseRefused", o); }
    void OnOrderAdded(const COrderInfo& o) override { LogOrder("OnOrderAdded", o); }
    void OnOrderRefused(const COrderInfo& o) override { LogOrder("OnOrderRefused", o); }
    void OnOrderChanged(const COrderInfo& o) override { LogOrder("OnOrderChanged", o); }
    void OnChangeRefused(const COrderInfo& o) override { LogOrder("OnChangeRefused", o); }
    void OnOrderDeleted(const COrderInfo& o) override { LogOrder("OnOrderDeleted", o); }
    void OnDeleteRefused(const COrderInfo& o) override { LogOrder("OnDeleteRefused", o); }
    void OnSpareB() override { Log("OnSpareB"); }
};

bool WaitUntil(volatile LONG* value, LONG wanted) {
    for (DWORD waited = 0; waited < kWaitMs; waited += 10) {
        if (InterlockedCompareExchange(value, 0, 0) >= wanted) {
            return true;
        }
        Sleep(10);
    }
    Log("timed out waiting for %ld", static_cast<long>(wanted));
    return false;
}

bool HeapIsSound(const char* when) {
    const BOOL sound = HeapValidate(GetProcessHeap(), 0, nullptr);
    Log("HeapValidate %s: %s", when, sound ? "sound" : "CORRUPT");
    return sound != FALSE;
}

// A request for EURUSD on ACC1 with the next internal number, as a terminal fills one.
COrderInfo Request(CForexDataCenter& center, int kind, int orderNo, int bargainNo, float tp1,
                   float tp2) {
    COrderInfo order;
    order.AccountCode = L"ACC1";
    order.MerchCode = L"EURUSD";
    order.InternalNo = center.GetInternalNo();
    order.OrderKind = kind;
    order.OrderNo = orderNo;
    order.BargainNo = bargainNo;
    order.CloseFlag = kind == 62 ? 1 : 0;
    order.TriggerPrice1 = tp1;
    order.TriggerPrice2 = tp2;
    return order;
}

// The requests the server's script expects, each followed by its "step N".
bool Trade(CAbsForexManager& manager, CForexDataCenter& center) {
    struct {
        int kind, orderNo, bargainNo;
        float tp1, tp2;
    } const orders[] = {
        {60, 0, 0, 0, 0},  {62, 0, 11, 0, 0}, {64, 21, 0, 1.1f, 1.3f}, {68, 21, 0, 1.05f, 1.3f},
        {69, 21, 0, 0, 0}, {60, 0, 0, 0, 0},  {62, 0, 11, 0, 0},       {65, 0, 0, 1.1f, 1.4f},
        {68, 21, 0, 1, 2}, {69, 21, 0, 0, 0},
    };
    LONG step = 1;
    for (const auto& o : orders) {
        const COrderInfo order = Request(center, o.kind, o.orderNo, o.bargainNo, o.tp1, o.tp2);
        if (!manager.CommitBill(order) || !WaitUntil(&g_step, ++step)) {
            return false;
        }
    }
    // The first two days of 2020, UTC.
    return manager.ReqHistoryOrderInfo(1577836800L, 1578009600L) && WaitUntil(&g_step, ++step);
}

// Every getter, each into a fresh object the terminal owns and destroys.
void ReadEverything(CAbsForexManager& manager, CForexDataCenter& center) {
    CBaseInfo base;
    center.GetBaseInfo(base);
    LogBase("GetBaseInfo", base);
    CArray<CCurrency, CCurrency&> currencies;
    center.GetCurrencysInfo(currencies);
    LogCurrencies("GetCurrencysInfo", currencies);
    CGroup group;
    center.GetGroupInfo(group);
    LogGroup("GetGroupInfo", group);
    CBroadCast broadCast;
    center.GetBroadCast(broadCast);
    LogBroadCast("GetBroadCast", broadCast);
    CAccountInfo account;
    center.GetAccountInfo(account);
    LogAccount("GetAccountInfo", account);
    CArray<CBargain, CBargain&> bargains;
    center.GetBargainsInfo(bargains);
    LogList("GetBargainsInfo", bargains, LogBargain);
    CArray<COrderInfo, COrderInfo&> orders;
    center.GetOrdersInfo(orders);
    LogList("GetOrdersInfo", orders, LogOrder);
    CArray<CHistoryOrderInfo, CHistoryOrderInfo&> history;
    center.GetHistoryOrderInfo(history);
    LogList("GetHistoryOrderInfo", history, LogHistory);
    Log("GetErrorCode %d", static_cast<int>(center.GetErrorCode()));
    Log("GetInternalNo %d", center.GetInternalNo());
    CServer server;
    manager.GetServer(server);
    Log("GetServer %s", CNarrow(server.Address).Get());
}

void CopyMerchsBackAndForth(CForexDataCenter& center) {
    CArray<CForexMerch, CForexMerch&>* merchs = new CArray<CForexMerch, CForexMerch&>();
    merchs->SetSize(5);
    merchs->ElementAt(4).MerchName = L"made by the terminal, dropped by the DLL";
    center.GetForexMerchs(*merchs);
    LogList("GetForexMerchs", *merchs, LogMerch);
    CForexMerch extra = merchs->GetAt(0);
    extra.MerchCode = L"GBPUSD";
    merchs->Add(extra);
    merchs->SetSize(merchs->GetSize() + 40);  // moves the DLL's elements into a new buffer
    CArray<CForexMerch, CForexMerch&> copy;
    copy.Copy(*merchs);
    Log("grown to %d, copied %d", static_cast<int>(merchs->GetSize()),
        static_cast<int>(copy.GetSize()));
    center.GetForexMerchs(copy);  // the DLL drops the terminal's elements of the copy
    delete merchs;
}

// Bytes in use on the process heap, where every CString and CArray buffer lives.
SIZE_T HeapBytesInUse() {
    HANDLE heap = GetProcessHeap();
    SIZE_T bytes = 0;
    PROCESS_HEAP_ENTRY entry;
    entry.lpData = nullptr;
    HeapLock(heap);
    while (HeapWalk(heap, &entry)) {
        if ((entry.wFlags & PROCESS_HEAP_ENTRY_BUSY) != 0) {
            bytes += entry.cbData;
        }
    }
    HeapUnlock(heap);
    return bytes;
}

// The instrument list, whose records carry a virtual destructor, crossing both ways: elements
// the terminal made are overwritten and dropped by the DLL, elements the DLL made are grown,
// copied and destroyed by the terminal. Runs with the connection closed, so that nothing else
// allocates meanwhile: the heap must hold as many bytes afterwards as before.
bool MerchsCrossTheBoundary(CForexDataCenter& center) {
    const SIZE_T before = HeapBytesInUse();
    CopyMerchsBackAndForth(center);
    const SIZE_T after = HeapBytesInUse();
    Log("instrument lists: %s", after == before ? "every byte freed" : "LEAKED");
    if (after != before) {
        fprintf(stderr, "heap bytes in use: %zu before, %zu after\n", static_cast<size_t>(before),
                static_cast<size_t>(after));
    }
    return HeapIsSound("after the instrument lists") && after == before;
}

bool Run(CAbsForexManager& manager, unsigned port) {
    CSessionSink sink;
    manager.SetNotify(&sink);
    CForexDataCenter* center = manager.GetDataCenter();
    if (center == nullptr) {
        Log("no data center");
        return false;
    }
    CServer server;
    server.Address = L"127.0.0.1";
    server.Port = port;
    if (!manager.ConnectServer(server) || !WaitUntil(&g_step, 0)) {
        return false;
    }
    if (!manager.ReqLogin(L"trader", L"secret") || !WaitUntil(&g_step, 1)) {
        return false;
    }
    if (!Trade(manager, *center)) {
        return false;
    }
    if (!manager.ReqLogOut(L"trader", L"") || !WaitUntil(&g_socketErrors, 1)) {
        return false;
    }
    ReadEverything(manager, *center);
    manager.DisConnect();
    const bool merchsSound = MerchsCrossTheBoundary(*center);
    manager.UnSetNotify();
    manager.ReleaseObj();
    return merchsSound;
}

void LogLayout(const char* name, const char* field, size_t actual, size_t expected) {
    if (actual == expected) {
        Log("layout %s %s %u", name, field, static_cast<unsigned>(actual));
    } else {
        Log("layout %s %s %u, the widths give %u", name, field, static_cast<unsigned>(actual),
            static_cast<unsigned>(expected));
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        fprintf(stderr, "usage: %s <port> <log file>\n", argv[0]);
        return 2;
    }
    g_log = fopen(argv[2], "wb");  // line ends as on Linux, for grep and diff
    if (g_log == nullptr) {
        fprintf(stderr, "cannot write %s\n", argv[2]);
        return 2;
    }
    InitializeCriticalSection(&g_logLock);
    CAbsForexManager* manager = GetAbsTradewire();
    if (manager == nullptr) {
        Log("no connection object");
        return 1;
    }
    // The layout this compiler made of the headers, against the one the widths give.
    const bool laidOut = CheckInterfaceLayout(LogLayout) == 0;
    const bool worked = laidOut && Run(*manager, static_cast<unsigned>(atoi(argv[1])));
    const bool sound = HeapIsSound("at the end");
    Log("%s", worked && sound ? "session complete" : "session FAILED");
    fclose(g_log);
    return worked && sound ? 0 : 1;
}
