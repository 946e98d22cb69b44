#include "platform/CaptureFiles.h"

#include <windows.h>

namespace CaptureFiles {

namespace {

void RemoveIfPresent(const wchar_t* path) {
    // The existence test comes first, so a missing file costs no failed delete.
    if (::GetFileAttributesW(path) != INVALID_FILE_ATTRIBUTES) {
        ::DeleteFileW(path);
    }
}

}  // namespace

void RemoveStale() {
    RemoveIfPresent(L"c:\\recv.txt");
    RemoveIfPresent(L"c:\\send.txt");
}

}  // namespace CaptureFiles
