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

void CReceiveBuffer::EraseSeparators(const std::vector<size_t>& offsets, size_t count) {
    if (offsets.empty() || offsets.back() >= Size()) {
        return;
    }
    const size_t last = offsets.back();
    const size_t lastPresent = std::min(count, Size() - last);
    const size_t removed = count * (offsets.size() - 1) + lastPresent;
    char* const front = &m_bytes[m_readPos];
    if (last <= Size() - offsets.front()) {
        // The pieces before the last separator move back, toward it; the front advances.
        size_t to = last + lastPresent;
        for (size_t i = offsets.size(); i-- > 0;) {
            const size_t start = i == 0 ? 0 : offsets[i - 1] + count;
            const size_t length = offsets[i] - start;
            to -= length;
            std::copy_backward(front + start, front + start + length, front + to + length);
        }
        m_readPos += removed;
    } else {
        // The pieces after the first separator move forward, the rest of the buffer with them.
        size_t to = offsets.front();
        for (size_t i = 0; i < offsets.size(); ++i) {
            const size_t start = offsets[i] + (i + 1 == offsets.size() ? lastPresent : count);
            const size_t end = i + 1 == offsets.size() ? Size() : offsets[i + 1];
            std::copy(front + start, front + end, front + to);
            to += end - start;
        }
        m_bytes.resize(m_readPos + to);
    }
    m_owed += count - lastPresent;
    // What now lies before the last separator's place was searched and holds no line end.
    m_searched = last + lastPresent - removed;
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
