#pragma once
// The file a connection's capture is written to: made new (never an existing file opened),
// readable and writable by its owner only (0600; on Windows the folder's permissions apply), and
// written from one thread at a time. Closed when the object ends. Its folder is made when it is
// missing, with its missing parents, each for its owner only (0700; on Windows they inherit
// their parent's permissions).

#include <cstddef>
#include <cstdint>
#include <string>

#include "common/base/NonCopyable.h"

class CCaptureFile : NonCopyable {
  public:
    CCaptureFile() = default;
    ~CCaptureFile();

    // Makes `folder` if need be, then `folder`/`name` (UTF-8); false when the folder cannot be
    // made or written or the file exists, with the system's reason in Failure().
    bool Create(const std::string& folder, const std::string& name);
    // Why the last Create failed, in the system's words (UTF-8); empty after a success.
    const std::string& Failure() const { return m_failure; }
    // Writes all of `size` bytes; false when the system would not take them.
    bool Write(const char* data, size_t size);
    bool IsOpen() const { return m_handle != kNone; }

    // The wall clock in UTC as "YYYYMMDD-HHMMSS", for file names and the capture's header.
    static std::string UtcStamp();
    static std::uint32_t ProcessId();

  private:
    static constexpr std::intptr_t kNone = -1;
    std::intptr_t m_handle = kNone;
    std::string m_failure;
};
