#pragma once
// The copy of the last order passed to CommitBill. Written on the caller's thread (or on the
// processing thread when a callback commits), read and reset by the merges on the processing
// thread. Its own lock is a leaf: it is held only while copying or resetting, never while
// another lock is taken or the sink is called.

#include "tradewire/CriticalSection.h"
#include "tradewire/Records.h"

class CLastCommittedOrder {
  public:
    void Store(const COrderInfo& order);
    COrderInfo Load() const;
    int InternalNo() const;
    // Marks the request as answered (InternalNo -1), but only while it is still the request
    // whose reply carried `internalNo`: a newer request committed from a callback stays.
    void ResetIfStill(int internalNo);

  private:
    mutable CCriticalSection m_cs;
    COrderInfo m_order;  // guarded by m_cs
};
