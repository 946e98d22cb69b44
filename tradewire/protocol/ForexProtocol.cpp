#include "protocol/ForexProtocol.h"

#include <new>

CForexProtocol::CForexProtocol() : m_pDataCenter(new (std::nothrow) CForexDataCenter()) {}

CForexProtocol::~CForexProtocol() = default;
