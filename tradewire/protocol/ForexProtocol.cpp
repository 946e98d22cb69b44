#include "protocol/ForexProtocol.h"

#include <new>

CForexProtocol::CForexProtocol(CSocketManager* owner)
    : m_pDataCenter(new (std::nothrow) CForexDataCenter()), m_pOwner(owner) {}

CForexProtocol::~CForexProtocol() {
    delete m_pDataCenter;
}
