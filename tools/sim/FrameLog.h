#pragma once
// An optional log of every frame in and out, one line each, control bytes shown as <01>.
// Used by the simulator's loop thread only.

#include <cstdio>
#include <string>
#include <string_view>

namespace sim {

class FrameLog {
  public:
    FrameLog() = default;
    ~FrameLog();
    FrameLog(const FrameLog&) = delete;
    FrameLog& operator=(const FrameLog&) = delete;

    bool Open(const std::string& path);
    // direction: '>' from the client, '<' to the client.
    void Write(int session, char direction, std::string_view frame);

  private:
    std::FILE* m_file = nullptr;
};

}  // namespace sim
