#pragma once
// An optional log of every frame in and out, one line each, control bytes shown as <01>.
// Used by the simulator's loop thread only.

#include <cstdio>
#include <memory>
#include <string>
#include <string_view>

namespace sim {

class FrameLog {
  public:
    bool Open(const std::string& path);
    // direction: '>' from the client, '<' to the client.
    void Write(int session, char direction, std::string_view frame);

  private:
    struct FileCloser {
        void operator()(std::FILE* file) const { (void)std::fclose(file); }
    };
    std::unique_ptr<std::FILE, FileCloser> m_file;  // closed with the log
};

}  // namespace sim
