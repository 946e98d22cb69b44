#pragma once
// A file the user named that another library is to read by its path (the TLS library's trust
// file). It is opened without waiting, so a FIFO or a device at that path can never hold the
// caller, accepted only when it is a regular file, and held open while the other library reads
// it: ReadPath() names that very file, so nothing put in its place meanwhile is read.
// One thread at a time; closed when the object ends.

#include <cstdint>
#include <string>

#include "common/base/NonCopyable.h"

class CHeldFile : NonCopyable {
  public:
    CHeldFile() = default;
    ~CHeldFile();

    // Opens `path` (UTF-8); false when it cannot be opened or is no regular file.
    bool Open(const std::string& path);
    // The path to hand the other library while this object lives: on Linux the held
    // descriptor's own name under /proc/self/fd (the path as given where that is missing); on
    // Windows the path as given, which nobody can replace, rename or delete while it is held.
    const std::string& ReadPath() const { return m_readPath; }

  private:
    static constexpr std::intptr_t kNone = -1;
    std::intptr_t m_handle = kNone;
    std::string m_readPath;
};
