#pragma once
// A name that holds whoever opens and reads it as a plain file: a FIFO that nobody writes to
// (on Windows, a named pipe whose server never writes). For tests that a file named by the
// user can never hold the library. Made by the constructor, removed by the destructor; any
// thread may read the path.

#include <string>

#include "common/base/NonCopyable.h"

class CBlockingFile : NonCopyable {
  public:
    CBlockingFile();
    ~CBlockingFile();

    bool IsMade() const { return m_made; }
    // UTF-8.
    const std::string& Path() const { return m_path; }

  private:
    std::string m_path;
    bool m_made = false;
    void* m_pipe = nullptr;  // the Windows pipe's server end
};
