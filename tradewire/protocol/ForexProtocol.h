#pragma once
// The connection's protocol object: frames and builds the four requests, cuts inbound messages
// off the receive buffer and dispatches them to the parsers, which fill the data center and
// call the sink. Owns the data center; made once per connection object and kept across
// reconnections. Builders run on whichever thread makes a request (the caller's, or the
// processing thread inside a callback); ProcessReceived, Dispatch and the parsers run only on
// the processing thread. It never touches a socket: the connection object sends the frames.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "datacenter/LastCommittedOrder.h"
#include "protocol/ReceiveBuffer.h"
#include "tradewire/ForexDataCenter.h"
#include "tradewire/Records.h"
#include "vocabulary/WireVocabulary.h"

// Where some bytes of a built frame lie: `size` bytes from `offset`, counted from the frame's
// first byte. An empty span hides nothing.
struct CFrameSpan {
    size_t offset = 0;
    size_t size = 0;
};

class CForexProtocol {
  public:
    // The data center is made here; a failed allocation leaves it null (Dispatch then gives -1).
    CForexProtocol();
    virtual ~CForexProtocol();
    CForexProtocol(const CForexProtocol&) = delete;
    CForexProtocol& operator=(const CForexProtocol&) = delete;

    CForexDataCenter* GetDataCenter() const { return m_pDataCenter.get(); }

    // Framing.
    static std::string PadLeft(std::string text, size_t width);
    static std::string CutField(std::string& text, char separator);
    static std::string PackMessage(int code, const std::string& body);
    // Cuts at most one message (up to the next 0x0D) off the buffer and dispatches it; a line
    // shorter than it declares is instead joined with the whole lines after it, as many as it
    // takes or as there are. Incomplete when nothing could be cut, Handled after a message was
    // dispatched or a line joined.
    wire::Result ProcessReceived(CReceiveBuffer& buffer);
    // How many bytes at the front of `pending` ProcessReceived cuts into whole messages without
    // waiting for more, joined lines included; what follows is the start of one message still
    // incomplete.
    static size_t WholeMessagesSize(std::string_view pending);
    // True when ProcessReceived would dispatch a message from `pending` without waiting for more
    // bytes: its front is a whole message. Reads no further than that message.
    static bool HasWholeMessage(std::string_view pending);
    // Incomplete: shorter than its declared length (keep and join); NothingRead: no data
    // center; else the handler's result (Handled for codes nobody handles).
    wire::Result Dispatch(std::string_view message);
    // The message code Dispatch reads from `message` (one line, as ProcessReceived cuts it),
    // -1 when Dispatch would keep it to join with the next line instead.
    static int DispatchCode(std::string_view message);
    // The length a message declares, read from the first wire::kLengthFieldSize bytes of its
    // header (the bytes before its first 0x03).
    static int DeclaredLength(std::string_view header);

    // Requests: each returns the complete frame (without its line end).
    // `passwordBytes`, when given, receives exactly the bytes of the frame that carry the
    // password, whatever the user name or the password hold.
    std::string BuildLogin(const CString& user, const CString& password,
                           CFrameSpan* passwordBytes = nullptr);
    std::string BuildLogout(const CString& user);
    std::string BuildCommitBill(const COrderInfo& order);  // also stores LastCommittedOrder
    std::string BuildHistoryRequest(long from, long to);

    // Parsers: Handled, or NothingRead for an empty body (ParseOrdersInfo: also when no order
    // was read). The dispatcher holds the target store's lock around each call.
    wire::Result ParseLoginReply(std::string_view body);
    wire::Result ParseErrorCode(std::string_view body, E_ErrorCode& errorCode);
    wire::Result ParseAccountInfo(std::string_view body, CAccountInfo& account);
    wire::Result ParseForexMerchs(std::string_view body, CArray<CForexMerch, CForexMerch&>& merchs);
    wire::Result ParseCurrencysInfo(std::string_view body,
                                    CArray<CCurrency, CCurrency&>& currencys);
    wire::Result ParseTextEvent(std::string_view body);
    wire::Result ParseBroadCast(std::string_view body, CBroadCast& broadCast);
    wire::Result ParseBargainsInfo(std::string_view body, CArray<CBargain, CBargain&>& bargains);
    wire::Result ParseOrdersInfo(std::string_view body, CArray<COrderInfo, COrderInfo&>& orders);
    wire::Result ParseHistoryOrderInfo(std::string_view body,
                                       CArray<CHistoryOrderInfo, CHistoryOrderInfo&>& history);
    wire::Result ParseGroupInfo(std::string_view body, CGroup& group);
    wire::Result ParseBaseInfo(std::string_view body, CBaseInfo& baseInfo);
    wire::Result ParseRealtimePrices(std::string_view body);

    std::int32_t LoginSerial = -1;  // never changed; sent as login field 5
    CLastCommittedOrder LastCommittedOrder;

  private:
    static void JoinShortLine(CReceiveBuffer& buffer, size_t lineSize);

    // What a parser that still reports its store for an empty body returns.
    static wire::Result BodyResult(std::string_view body) {
        return body.empty() ? wire::Result::NothingRead : wire::Result::Handled;
    }

    std::unique_ptr<CForexDataCenter> m_pDataCenter;
};
