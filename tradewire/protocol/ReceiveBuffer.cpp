#include "protocol/ReceiveBuffer.h"

#include <algorithm>

void CReceiveBuffer::Append(std::string_view bytes) {
    // A line end cut in two by the network: its second byte arrives after the message it
    // closes has been taken, and must not become the first byte of the next one.
    const size_t owed = std::min(m_owed, bytes.size());
    bytes.remove_prefix(owed);
    m_owed -= owed;
    // Reclaim the consumed front only when it is at least half the storage, so the copy this
    // costs is paid for by the appends that came before it.
    if (m_readPos > 0 && m_readPos >= m_bytes.size() / 2) {
        m_bytes.erase(0, m_readPos);
        m_readPos = 0;
    }
    m_bytes.append(bytes);
}

void CReceiveBuffer::Consume(size_t count) {
    const size_t present = std::min(count, Size());
    m_owed += count - present;
    m_readPos += present;
    m_searched = m_searched > present ? m_searched - present : 0;
    if (m_readPos == m_bytes.size()) {
        m_bytes.clear();  // not Clear(): what is owed stays owed
        m_readPos = 0;
    }
}

void CReceiveBuffer::EraseAt(size_t offset, size_t count) {
    if (offset >= Size()) {
        return;
    }
    const size_t present = std::min(count, Size() - offset);
    m_owed += count - present;
    m_bytes.erase(m_readPos + offset, present);
    m_searched = std::min(m_searched, offset);
}

void CReceiveBuffer::KeepFront(size_t count) {
    // A fresh string of the exact size: clear() and shrink_to_fit() may keep the old storage.
    std::string kept(View().substr(0, count));
    m_bytes.swap(kept);
    m_readPos = 0;
    m_searched = std::min(m_searched, Size());
}

void CReceiveBuffer::Clear() {
    std::string().swap(m_bytes);
    m_readPos = 0;
    m_owed = 0;
    m_searched = 0;
}

size_t CReceiveBuffer::FindLineEnd(char lineEnd) {
    const std::string_view pending = View();
    const size_t found = pending.find(lineEnd, m_searched);
    m_searched = found == std::string_view::npos ? pending.size() : found;
    return found;
}
