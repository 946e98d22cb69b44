#pragma once
// The bytes read from the server and not yet cut into messages. The receive thread appends,
// the processing thread consumes from the front by moving a read position (no erase from the
// front per message). Not synchronised: the connection's receive-buffer lock guards it.

#include <string>
#include <string_view>

class CReceiveBuffer {
public:
    size_t Size() const { return m_bytes.size() - m_readPos; }
    bool IsEmpty() const { return Size() == 0; }
    std::string_view View() const { return std::string_view(m_bytes).substr(m_readPos); }

    void Append(std::string_view bytes);
    // Drops up to `count` bytes from the front.
    void Consume(size_t count);
    // Removes up to `count` bytes at `offset` from the front, joining what is on either side.
    void EraseAt(size_t offset, size_t count);
    void Clear();

private:
    std::string m_bytes;
    size_t m_readPos = 0;
};
