#include "platform/CaptureFile.h"

#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>

#include "common/base/WriteAll.h"

namespace {

// The two strerror_r the C libraries offer: the GNU one returns the text, the POSIX one fills
// the buffer and returns 0. Only one of the two is called on a given system.
[[maybe_unused]] const char* ErrorText(const char* text, const char* /*buffer*/) {
    return text;
}
[[maybe_unused]] const char* ErrorText(int result, const char* buffer) {
    return result == 0 ? buffer : "unknown error";
}

std::string SystemReason(int error) {
    char buffer[256] = "";
    return ErrorText(::strerror_r(error, buffer, sizeof buffer), buffer);
}

// Makes every missing folder along `folder`, the last one included, for its owner only: a
// capture holds balances and account numbers. The error of the first that could not be made,
// 0 when none failed.
int MakeFolders(const std::string& folder) {
    int firstError = 0;
    for (size_t at = 1; at <= folder.size(); ++at) {
        if (at < folder.size() && folder[at] != '/') {
            continue;
        }
        if (::mkdir(folder.substr(0, at).c_str(), 0700) != 0 && errno != EEXIST &&
            firstError == 0) {
            firstError = errno;
        }
    }
    return firstError;
}

}  // namespace

CCaptureFile::~CCaptureFile() {
    if (m_handle != kNone) {
        ::close(static_cast<int>(m_handle));
    }
}

bool CCaptureFile::Create(const std::string& folder, const std::string& name) {
    m_failure.clear();
    const int folderError = MakeFolders(folder);
    const std::string path =
        folder.empty() || folder.back() == '/' ? folder + name : folder + "/" + name;
    // O_EXCL: a name that exists (or a link planted under it) is never written through.
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0) {
        // A folder that is missing is best explained by why it could not be made.
        m_failure = SystemReason(errno == ENOENT && folderError != 0 ? folderError : errno);
        return false;
    }
    m_handle = fd;
    return true;
}

bool CCaptureFile::Write(const char* data, size_t size) {
    return size == 0 || (m_handle != kNone && WriteAll(static_cast<int>(m_handle), data, size));
}

std::string CCaptureFile::UtcStamp() {
    const time_t now = ::time(nullptr);
    struct tm utc {};
    ::gmtime_r(&now, &utc);
    char text[32];
    (void)std::snprintf(text, sizeof text, "%04d%02d%02d-%02d%02d%02d", utc.tm_year + 1900,
                        utc.tm_mon + 1, utc.tm_mday, utc.tm_hour, utc.tm_min, utc.tm_sec);
    return text;
}

std::uint32_t CCaptureFile::ProcessId() {
    return static_cast<std::uint32_t>(::getpid());
}
