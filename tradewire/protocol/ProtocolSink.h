#pragma once
// The sink a parser reports to: the data center's, read at the moment of the call, or none when
// the protocol object has no data center. Parsers run on the processing thread only.

#include <memory>

#include "datacenter/DataCenterAccess.h"

inline CAbsForexNotify* ProtocolSink(const std::unique_ptr<CForexDataCenter>& center) {
    return center == nullptr ? nullptr : CDataCenterAccess(*center).Notify();
}
