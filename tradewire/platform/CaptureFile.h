#pragma once
// The file a connection's capture is written to: made new (never an existing file opened),
// readable and writable by its owner only (0600; on Windows the folder's permissions apply), and
// written from one thread at a time. Closed when the object ends.

#include <cstddef>
#include <cstdint>
#include <string>

class CCaptureFile {
  public:
    CCaptureFile() = default;
    ~CCaptureFile();
    CCaptureFile(const CCaptureFile&) = delete;
    CCaptureFile& operator=(const CCaptureFile&) = delete;

    // Makes `folder`/`name` (UTF-8); false when the folder cannot be written or the file exists.
    bool Create(const std::string& folder, const std::string& name);
    // Writes all of `size` bytes; false when the system would not take them.
    bool Write(const char* data, size_t size);
    bool IsOpen() const { return m_handle != kNone; }

    // The wall clock in UTC as "YYYYMMDD-HHMMSS", for file names and the capture's header.
    static std::string UtcStamp();
    static std::uint32_t ProcessId();

  private:
    static constexpr std::intptr_t kNone = -1;
    std::intptr_t m_handle = kNone;
};
