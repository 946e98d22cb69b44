#pragma once
// The connection object as the terminal sees it. Obtain one with GetAbsTradewire and end it
// only with ReleaseObj (there is no public destructor). All operations run on the caller's
// thread; ConnectServer and DisConnect are serialised by the caller, and neither DisConnect
// nor ReleaseObj may be called from inside a sink callback.

#include "tradewire/AbsForexNotify.h"
#include "tradewire/Records.h"
#include "tradewire/Server.h"
#include "tradewire/TradewireExport.h"

class CForexDataCenter;

class TRADEWIRE_EXPORT CAbsForexManager {
  public:
    CAbsForexManager() = default;
    CAbsForexManager(const CAbsForexManager&) = default;
    CAbsForexManager& operator=(const CAbsForexManager&) = default;

    virtual void ReleaseObj() = 0;                                            // 0
    virtual void SetNotify(CAbsForexNotify* notify) = 0;                      // 1
    virtual void UnSetNotify() = 0;                                           // 2
    virtual bool ConnectServer(const CServer& server) = 0;                    // 3
    virtual void DisConnect() = 0;                                            // 4
    virtual bool ReqLogin(const CString& user, const CString& password) = 0;  // 5
    virtual bool ReqLogOut(const CString& user, const CString& unused) = 0;   // 6
    virtual bool CommitBill(const COrderInfo& order) = 0;                     // 7
    virtual bool ReqHistoryOrderInfo(long from, long to) = 0;                 // 8
    virtual CForexDataCenter* GetDataCenter() = 0;                            // 9
    virtual void GetServer(CServer& server) = 0;                              // 10

  protected:
    ~CAbsForexManager() = default;
};

// The one exported factory: a new connection object, or null when memory ran out.
extern "C" TRADEWIRE_EXPORT CAbsForexManager* GetAbsTradewire();
