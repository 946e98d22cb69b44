#pragma once
// The connection object as the terminal sees it. Obtain one with GetAbsTradewire and end it
// only with ReleaseObj (there is no public destructor). All operations run on the caller's
// thread (requests may also be made from a sink callback); ConnectServer and DisConnect are
// serialised by the caller, and neither DisConnect nor ReleaseObj may be called from inside a
// sink callback. No operation sets an error code but ConnectServer.

#include "tradewire/AbsForexNotify.h"
#include "tradewire/Records.h"
#include "tradewire/Server.h"
#include "tradewire/TradewireExport.h"

class CForexDataCenter;

// The order of the virtual functions is the binary interface; never reorder.
class TRADEWIRE_EXPORT CAbsForexManager {
  public:
    CAbsForexManager() = default;
    CAbsForexManager(const CAbsForexManager&) = default;
    CAbsForexManager& operator=(const CAbsForexManager&) = default;

    // Disconnects, joins the worker threads and frees the object. Never from a sink callback.
    virtual void ReleaseObj() = 0;  // 0
    // Hands the sink to the connection and the data center; not owned. A null sink is
    // ignored. Change it only while disconnected: a callback under way may still use the old.
    virtual void SetNotify(CAbsForexNotify* notify) = 0;  // 1
    // Clears the sink of both; from then on no callback is made.
    virtual void UnSetNotify() = 0;  // 2
    // Connects over TCP and TLS within 15 000 ms in all, then starts the three worker threads.
    // False on failure, whose E_ErrorCode reaches OnErrorCode on this thread (1: no OpenSSL,
    // 2: TLS objects, 3: empty address or port 0, 5: connect or handshake, 6: threads).
    // The address is dotted IPv4 text; only the port's low 16 bits are used.
    virtual bool ConnectServer(const CServer& server) = 0;  // 3
    // Closes the connection and waits for the worker threads. The data center, the sink and
    // requests not yet sent survive. Never from a sink callback.
    virtual void DisConnect() = 0;  // 4
    // Queues the login (message 8000); the reply arrives as OnLoginReply. True means queued,
    // not sent: a request made while disconnected goes out after the next ConnectServer.
    // False when user or password is empty or the object has no protocol (no OpenSSL).
    virtual bool ReqLogin(const CString& user, const CString& password) = 0;  // 5
    // Queues the logout (8001). The second text is not read. True means queued; false when
    // the user is empty or there is no protocol.
    virtual bool ReqLogOut(const CString& user, const CString& unused) = 0;  // 6
    // Queues the order (7001) and keeps it as the last committed order, whose InternalNo
    // (take one from CForexDataCenter::GetInternalNo) ties the replies to it: OnBargainOpened,
    // OnOrderAdded, ... or the matching *Refused callback. True means queued; the fields are
    // not checked. False only when there is no protocol.
    virtual bool CommitBill(const COrderInfo& order) = 0;  // 7
    // Queues a request for the history lines between two times, each in seconds since
    // 1 January 1970 UTC, sent as local dates; the lines arrive as OnHistoryOrderInfo. True
    // means queued; the range is not checked. False only when there is no protocol.
    virtual bool ReqHistoryOrderInfo(long from, long to) = 0;  // 8
    // The data center, owned by this object: the same pointer for its whole life, valid until
    // ReleaseObj. Null when the object has no protocol (OpenSSL did not load).
    virtual CForexDataCenter* GetDataCenter() = 0;  // 9
    // Copies the server of the last ConnectServer that passed the address and port check
    // (empty address and port 0 before any). May throw CMemoryException, as any copy.
    virtual void GetServer(CServer& server) = 0;  // 10

  protected:
    ~CAbsForexManager() = default;
};

// The one exported factory: a new connection object, or null when memory ran out.
extern "C" TRADEWIRE_EXPORT CAbsForexManager* GetAbsTradewire();
