#pragma once
// Finds an instrument by code for the profit calculation. The code matches case-insensitively
// (unlike a quote, which must match exactly). The instrument list gives the instrument and its
// last quote; an entry of the account's own instrument list with the same code then overlays
// everything but that quote. Runs on the processing thread; takes the account lock and, inside
// it, the instrument lock (the data center's lock order), both recursive, so it may be called
// while the account lock is already held.

#include "datacenter/DataCenterAccess.h"

class CInstrumentLookup {
  public:
    explicit CInstrumentLookup(CDataCenterAccess center) : m_center(center) {}

    // False when the instrument list is empty or holds no instrument with this code; the
    // result is then left as it was.
    bool Find(const CString& code, CForexMerch& result);

  private:
    bool FindInInstrumentList(const CString& code, CForexMerch& result);

    CDataCenterAccess m_center;
};
