#include "ReceiveBuffer.h"

#include <algorithm>

void CReceiveBuffer::Append(std::string_view bytes) {
    // Reclaim the consumed front only when it is at least half the storage, so the copy this
    // costs is paid for by the appends that came before it.
    if (m_readPos > 0 && m_readPos >= m_bytes.size() / 2) {
        m_bytes.erase(0, m_readPos);
        m_readPos = 0;
    }
    m_bytes.append(bytes);
}

void CReceiveBuffer::Consume(size_t count) {
    m_readPos += std::min(count, Size());
    if (m_readPos == m_bytes.size()) {
        Clear();
    }
}

void CReceiveBuffer::EraseAt(size_t offset, size_t count) {
    if (offset >= Size()) {
        return;
    }
    m_bytes.erase(m_readPos + offset, std::min(count, Size() - offset));
}

void CReceiveBuffer::Clear() {
    m_bytes.clear();
    m_readPos = 0;
}
