#include "core/ProgramLocation.h"

#include "core/PathText.h"
#include "platform/FileSystem.h"

namespace kestrel::core {

std::wstring GetProgramPath() {
    std::wstring path = kestrel::platform::GetExecutablePath();
    // Paths are at most 259 characters; a longer one is refused whole, since cutting it would
    // name another file.
    if (path.size() > kMaxPathChars - 1) {
        return std::wstring();
    }
    return path;
}

void GetProgramFolder(wchar_t* buffer, size_t capacity) {
    BoundedCopy(buffer, capacity, GetProgramFolder().c_str());
}

std::wstring GetProgramFolder() {
    const std::wstring path = GetProgramPath();
    const size_t separator = path.find_last_of(L"\\/");
    if (separator == std::wstring::npos) {
        return std::wstring();
    }
    return path.substr(0, separator + 1);
}

bool SetCurrentDirToProgramFolder() {
    wchar_t folder[kMaxPathChars + 1] = {};
    GetProgramFolder(folder, kMaxPathChars + 1);
    return kestrel::platform::SetCurrentFolder(folder);
}

}  // namespace kestrel::core
