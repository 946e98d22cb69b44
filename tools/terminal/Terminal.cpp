#include "Terminal.h"

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <future>
#include <thread>

#include <unistd.h>

#include "OrderBuilder.h"
#include "Tables.h"
#include "TextOut.h"

namespace term {

namespace {

using std::chrono::milliseconds;
using std::chrono::seconds;

constexpr auto kReplyLimit = seconds(5);
constexpr auto kLoginLimit = seconds(10);
// Messages are taken one per 30 ms pass; the order list follows the bargain list.
constexpr auto kLoginSettle = milliseconds(150);
constexpr auto kLogoutSettle = milliseconds(300);
constexpr long kSecondsPerDay = 24 * 3600;

std::string Elapsed(std::chrono::steady_clock::time_point since) {
    const auto ms =
        std::chrono::duration_cast<milliseconds>(std::chrono::steady_clock::now() - since).count();
    return FormatPrice(static_cast<double>(ms) / 1000.0, 2) + " s";
}

// What the library checked of the server before it reported the connection.
std::string CheckedText(const TermOptions& options) {
    std::string checked;
    if (!options.caFile.empty()) {
        checked = " Certificate verified for " +
                  (options.serverName.empty() ? options.host : options.serverName) + ".";
    }
    if (!options.pin.empty()) {
        checked += " Server key matches the pin.";
    }
    return checked;
}

// The capture file of this process's latest connection: the library names each one
// tradewire-<UTC start>-<process id>-<sequence>.twcap.
std::string NewestCaptureFile(const std::string& folder) {
    const std::string mark = "-" + std::to_string(getpid()) + "-";
    std::string newest;
    long newestSequence = -1;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
        const std::string name = entry.path().filename().string();
        const size_t at = name.rfind(mark);
        if (name.rfind("tradewire-", 0) != 0 || at == std::string::npos || name.size() < 6 ||
            name.compare(name.size() - 6, 6, ".twcap") != 0) {
            continue;
        }
        const long sequence = std::strtol(name.c_str() + at + mark.size(), nullptr, 10);
        if (sequence > newestSequence) {
            newestSequence = sequence;
            newest = entry.path().string();
        }
    }
    return newest;
}

// The record a command names by number, or by 'last': the one numbered `lastNumber` (the
// last one the sink heard of), or when that is 0 the list's last record. A number not in our
// list stands as a record of that number alone: the server may know it better than we do.
// False only for a 'last' that names nothing.
template <class Record>
bool PickNumbered(CArray<Record, Record&>& list, int Record::*number, const Command& command,
                  int lastNumber, Record& picked) {
    const int wanted = command.useLast ? lastNumber : command.number;
    if (command.useLast && wanted == 0 && !list.IsEmpty()) {
        picked = list[list.GetSize() - 1];
        return true;
    }
    for (INT_PTR index = 0; index < list.GetSize(); ++index) {
        if (list[index].*number == wanted) {
            picked = list[index];
            return true;
        }
    }
    if (command.useLast) {
        return false;
    }
    picked = Record();
    picked.*number = wanted;
    return true;
}

}  // namespace

Terminal::Terminal(CAbsForexManager& manager, TerminalSink& sink, TermOptions options)
    : m_manager(manager),
      m_dataCenter(manager.GetDataCenter()),
      m_sink(sink),
      m_options(std::move(options)) {}

bool Terminal::Connect() {
    if (m_dataCenter == nullptr) {
        PrintLine("The library could not load its TLS support; cannot connect.");
        return false;
    }
    CServer server;
    for (const char ch : m_options.host) {
        server.Address += static_cast<wchar_t>(static_cast<unsigned char>(ch));
    }
    server.Port = m_options.port;
    const std::string target = m_options.host + ":" + std::to_string(m_options.port);
    const auto started = std::chrono::steady_clock::now();
    // ConnectServer blocks for up to 15 s; it runs aside so the progress line can move.
    std::future<bool> attempt =
        std::async(std::launch::async, [this, server] { return m_manager.ConnectServer(server); });
    static const char spinner[] = {'|', '/', '-', '\\'};
    int turn = 0;
    while (attempt.wait_for(milliseconds(100)) != std::future_status::ready) {
        PrintProgress("Connecting to " + target + " " + spinner[turn++ % 4] + " " +
                      Elapsed(started));
    }
    m_connected = attempt.get();
    if (!m_connected) {
        PrintLine("Could not connect to " + target + " (after " + Elapsed(started) + ").");
        return false;
    }
    PrintLine("Connected to " + target + " in " + Elapsed(started) + "." + CheckedText(m_options));
    if (!m_options.captureDir.empty()) {
        const std::string file = NewestCaptureFile(m_options.captureDir);
        PrintLine(file.empty() ? "No capture is being written (the reason is above)."
                               : "Capturing to " + file + ".");
    }
    return true;
}

bool Terminal::Login() {
    m_sink.BeginLogin();
    PrintLine("Logging in as " + m_options.user + " ...");
    if (!m_manager.ReqLogin(Wide(m_options.user), Wide(m_options.password))) {
        PrintLine("The login request could not be made.");
        return false;
    }
    const bool answered = m_sink.WaitUntil(
        [this] {
            return (m_sink.LoggedIn() && m_sink.BargainListSeen()) || m_sink.LastError() != 0 ||
                   m_sink.ConnectionLost();
        },
        kLoginLimit);
    if (!answered ||
        !m_sink.WaitUntil([this] { return m_sink.BargainListSeen(); }, milliseconds(0))) {
        PrintLine(answered ? "Login failed." : "No answer to the login within 10 s.");
        return false;
    }
    std::this_thread::sleep_for(kLoginSettle);
    m_loggedIn = true;
    return true;
}

void Terminal::ShowOverview() {
    RunLine("account");
    RunLine("instruments");
}

bool Terminal::RunLine(const std::string& line) {
    const ParsedCommand parsed = ParseCommand(line);
    if (!parsed.ok) {
        PrintLine("! " + parsed.error);
        return true;
    }
    return Execute(parsed.command);
}

bool Terminal::Execute(const Command& command) {
    CForexMerchArray merchs;
    if (m_dataCenter != nullptr) {
        m_dataCenter->GetForexMerchs(merchs);
    }
    switch (command.kind) {
        case CommandKind::Nothing:
            return true;
        case CommandKind::Help:
            PrintLine(CommandHelp());
            return true;
        case CommandKind::Quit:
            return false;
        case CommandKind::Wait:
            std::this_thread::sleep_for(
                milliseconds(static_cast<long long>(command.seconds * 1000)));
            return true;
        default:
            break;
    }
    if (!m_loggedIn) {
        PrintLine("! not logged in");
        return true;
    }
    switch (command.kind) {
        case CommandKind::Account: {
            CAccountInfo account;
            CBargainArray bargains;
            COrderInfoArray orders;
            m_dataCenter->GetAccountInfo(account);
            m_dataCenter->GetBargainsInfo(bargains);
            m_dataCenter->GetOrdersInfo(orders);
            PrintLine(AccountTable(account, static_cast<int>(bargains.GetSize()),
                                   static_cast<int>(orders.GetSize())));
            break;
        }
        case CommandKind::Instruments:
            PrintLine(InstrumentTable(merchs));
            break;
        case CommandKind::Quotes:
            PrintLine(QuoteTable(merchs));
            break;
        case CommandKind::Positions: {
            CBargainArray bargains;
            MarketCopy market;
            m_dataCenter->GetBargainsInfo(bargains);
            m_dataCenter->GetCurrencysInfo(market.currencys);
            m_dataCenter->GetBaseInfo(market.baseInfo);
            market.merchs = merchs;
            PrintLine(PositionTable(bargains, market));
            break;
        }
        case CommandKind::Orders: {
            COrderInfoArray orders;
            m_dataCenter->GetOrdersInfo(orders);
            PrintLine(OrderTable(orders, merchs));
            break;
        }
        case CommandKind::Ticks:
            m_sink.ShowTicks(command.count);
            break;
        case CommandKind::Buy:
        case CommandKind::Sell:
            MarketOrder(command);
            break;
        case CommandKind::Close:
            CloseOrder(command);
            break;
        case CommandKind::Trigger:
            TriggerOrder(command);
            break;
        case CommandKind::Pending:
            PendingOrder(command);
            break;
        case CommandKind::Modify:
            ChangeOrder(command);
            break;
        case CommandKind::Delete:
            DeleteOrder(command);
            break;
        case CommandKind::History:
            History(command);
            break;
        case CommandKind::Latency:
            Latency(command);
            break;
        case CommandKind::Logout:
            Logout();
            break;
        default:
            break;
    }
    return true;
}

void Terminal::Submit(const COrderInfo& order, const char* what) {
    m_sink.ExpectReply(order.InternalNo);
    if (!m_manager.CommitBill(order)) {
        PrintLine(std::string("! the ") + what + " request could not be made");
        return;
    }
    if (!m_sink.WaitUntil([this] { return m_sink.ReplyArrived(); }, kReplyLimit)) {
        PrintLine(std::string("! no answer to the ") + what + " request within 5 s");
    }
}

void Terminal::MarketOrder(const Command& command) {
    CForexMerch merch;
    if (!FindMerch(Wide(command.symbol), merch)) {
        return;
    }
    Submit(BuildMarketOrder(command, AccountCode(), merch, m_dataCenter->GetInternalNo()), "open");
}

void Terminal::CloseOrder(const Command& command) {
    CBargain bargain;
    if (!FindBargain(command, bargain)) {
        return;
    }
    Submit(BuildCloseOrder(bargain, command.lotsHundredths, AccountCode(),
                           m_dataCenter->GetInternalNo()),
           "close");
}

void Terminal::TriggerOrder(const Command& command) {
    CBargain bargain;
    CForexMerch merch;
    if (!FindBargain(command, bargain)) {
        return;
    }
    // Trigger prices travel in points of the position's instrument, so we must know it.
    if (bargain.MerchCode.IsEmpty()) {
        PrintLine("! no open position #" + std::to_string(bargain.BargainNo) + "; see positions");
        return;
    }
    if (!FindMerch(bargain.MerchCode, merch)) {
        return;
    }
    Submit(BuildTriggerOrder(bargain, merch, command.stopLoss, command.takeProfit, AccountCode(),
                             m_dataCenter->GetInternalNo()),
           "trigger-price");
}

void Terminal::PendingOrder(const Command& command) {
    CForexMerch merch;
    if (!FindMerch(Wide(command.symbol), merch)) {
        return;
    }
    Submit(BuildPendingOrder(command, AccountCode(), merch, m_dataCenter->GetInternalNo()),
           "pending-order");
}

void Terminal::ChangeOrder(const Command& command) {
    COrderInfo order;
    CForexMerch merch;
    if (!FindOrder(command, order) || !FindMerch(order.MerchCode, merch)) {
        return;
    }
    Submit(BuildChangeOrder(order, merch, command, AccountCode(), m_dataCenter->GetInternalNo()),
           "change");
}

void Terminal::DeleteOrder(const Command& command) {
    COrderInfo order;
    if (!FindOrder(command, order)) {
        return;
    }
    Submit(BuildDeleteOrder(order, AccountCode(), m_dataCenter->GetInternalNo()), "delete");
}

void Terminal::History(const Command& command) {
    const std::time_t now = std::time(nullptr);
    const long from = static_cast<long>(now) - (command.days - 1) * kSecondsPerDay;
    m_sink.ExpectHistory();
    if (!m_manager.ReqHistoryOrderInfo(from, static_cast<long>(now))) {
        PrintLine("! the history request could not be made");
        return;
    }
    if (!m_sink.WaitUntil([this] { return m_sink.HistoryArrived(); }, kReplyLimit)) {
        PrintLine("! no history within 5 s");
        return;
    }
    CHistoryOrderInfoArray history;
    CForexMerchArray merchs;
    m_dataCenter->GetHistoryOrderInfo(history);
    m_dataCenter->GetForexMerchs(merchs);
    PrintLine(HistoryTable(history, merchs));
}

// The pace the library was asked for at connect, by --pace or by the caller's environment.
std::string Terminal::PaceName() {
    const char* pace = std::getenv("TRADEWIRE_PACE");
    return pace != nullptr && std::string(pace) == "immediate" ? "immediate pace" : "paced default";
}

void Terminal::Latency(const Command& command) {
    const auto count = static_cast<size_t>(command.count);
    PrintLine("Measuring the latency of " + std::to_string(count) + " quotes ...");
    m_sink.StartLatency(count);
    const bool done = m_sink.WaitUntil([this] { return m_sink.LatencyDone(); },
                                       seconds(30) + milliseconds(500) * command.count);
    const LatencyFigures figures = m_sink.TakeLatency();
    if (!done) {
        PrintLine("! only " + std::to_string(figures.count) + " quotes arrived");
    }
    PrintLine("Quote latency (" + PaceName() + "), server send to OnRealtimePrice, over " +
              std::to_string(figures.count) + " quotes: median " +
              FormatPrice(figures.medianMs, 1) + " ms, 90th percentile " +
              FormatPrice(figures.p90Ms, 1) + " ms, worst " + FormatPrice(figures.worstMs, 1) +
              " ms.");
}

void Terminal::Logout() {
    if (!m_loggedIn) {
        PrintLine("! not logged in");
        return;
    }
    m_manager.ReqLogOut(Wide(m_options.user), CString());
    std::this_thread::sleep_for(kLogoutSettle);
    m_loggedIn = false;
    PrintLine("Logged out.");
}

void Terminal::Finish() {
    if (m_loggedIn) {
        Logout();
    }
    if (m_connected) {
        m_manager.DisConnect();
        m_connected = false;
        PrintLine("Disconnected.");
    }
}

bool Terminal::FindMerch(const CString& code, CForexMerch& merch) {
    CForexMerchArray merchs;
    m_dataCenter->GetForexMerchs(merchs);
    for (INT_PTR index = 0; index < merchs.GetSize(); ++index) {
        if (merchs[index].MerchCode == code) {
            merch = merchs[index];
            return true;
        }
    }
    PrintLine("! unknown instrument '" + Utf8(code) + "'; see instruments");
    return false;
}

bool Terminal::FindBargain(const Command& command, CBargain& bargain) {
    CBargainArray bargains;
    m_dataCenter->GetBargainsInfo(bargains);
    if (PickNumbered(bargains, &CBargain::BargainNo, command, m_sink.LastBargainNo(), bargain)) {
        return true;
    }
    PrintLine("! no open position to use as 'last'");
    return false;
}

bool Terminal::FindOrder(const Command& command, COrderInfo& order) {
    COrderInfoArray orders;
    m_dataCenter->GetOrdersInfo(orders);
    if (PickNumbered(orders, &COrderInfo::OrderNo, command, m_sink.LastOrderNo(), order)) {
        return true;
    }
    PrintLine("! no pending order to use as 'last'");
    return false;
}

CString Terminal::AccountCode() {
    CAccountInfo account;
    m_dataCenter->GetAccountInfo(account);
    return account.AccountCode;
}

}  // namespace term
