#include "FrameLog.h"

#include <chrono>
#include <ctime>

#include "WireFormat.h"

namespace sim {

bool FrameLog::Open(const std::string& path) {
    m_file.reset(std::fopen(path.c_str(), "w"));
    return m_file != nullptr;
}

void FrameLog::Write(int session, char direction, std::string_view frame) {
    if (m_file == nullptr) {
        return;
    }
    const auto now = std::chrono::system_clock::now();
    const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
    const auto millis =
        std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() %
        1000;
    std::tm local{};
    localtime_r(&seconds, &local);
    char clock[32];
    (void)std::strftime(clock, sizeof clock, "%H:%M:%S", &local);
    (void)std::fprintf(m_file.get(), "%s.%03lld #%d %c %s\n", clock, static_cast<long long>(millis),
                       session, direction, Printable(frame).c_str());
    (void)std::fflush(m_file.get());
}

}  // namespace sim
