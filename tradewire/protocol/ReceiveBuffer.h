#pragma once
// The bytes read from the server and not yet cut into messages. The receive thread appends,
// the processing thread consumes from the front by moving a read position (no erase from the
// front per message). Not synchronised: the connection's receive-buffer lock guards it.

#include <string>
#include <string_view>
#include <vector>

class CReceiveBuffer {
  public:
    size_t Size() const { return m_bytes.size() - m_readPos; }
    bool IsEmpty() const { return Size() == 0; }
    std::string_view View() const { return std::string_view(m_bytes).substr(m_readPos); }

    // Appends the bytes, less those still owed to an earlier Consume or EraseAt.
    void Append(std::string_view bytes);
    // Drops `count` bytes from the front. Bytes that have not arrived yet are owed: the next
    // appends drop them, so where the stream was cut never changes what remains.
    void Consume(size_t count);
    // Removes `count` bytes at `offset` from the front, joining what is on either side; bytes
    // past the end are owed as for Consume. An offset at or past the end removes nothing.
    void EraseAt(size_t offset, size_t count);
    // Removes the `count`-byte separators that start at each of `offsets` (ascending, from the
    // front), joining the pieces between them; the last separator's missing bytes are owed as
    // for EraseAt. Moves whichever side is shorter, the bytes before the last separator or
    // those after the first, so joining as bytes arrive costs their number, not the buffer's
    // size each time. The bytes up to the last separator must hold no byte FindLineEnd seeks.
    void EraseSeparators(const std::vector<size_t>& offsets, size_t count);
    // Keeps only the first `count` bytes and gives back the storage the rest held. What is owed
    // stays owed.
    void KeepFront(size_t count);
    // Empties the buffer, gives back its storage and forgets what was owed (a new connection
    // starts afresh).
    void Clear();
    // The bytes of storage held, consumed ones and spare room included.
    size_t Capacity() const { return m_bytes.capacity(); }
    // Offset from the front of the first `lineEnd` byte, npos if none. Bytes already searched
    // are not searched again, so asking once per read or per pass while a long message
    // arrives costs its length once, not once per ask. Always searches for the same byte.
    size_t FindLineEnd(char lineEnd);

  private:
    std::string m_bytes;
    size_t m_readPos = 0;
    size_t m_owed = 0;  // bytes still to drop from the front of what is appended next
    // The first m_searched bytes from the front hold no line end. Every change to the front
    // or to bytes already searched lowers it to what is still known.
    size_t m_searched = 0;
};
