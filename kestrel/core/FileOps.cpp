#include "core/FileOps.h"

#include <memory>
#include <new>

#include "core/PathText.h"
#include "platform/FileSystem.h"

namespace {

constexpr size_t kWorkingPathChars = 512;

}  // namespace

bool MakeDirsForPath(const std::wstring& path) {
    if (KestrelOs::PathExists(path)) {
        return true;
    }
    const std::wstring copy = path.substr(0, kWorkingPathChars - 1);
    bool result = true;
    // A separator in the first place is the root (or a drive-relative start), never a cut.
    for (size_t i = 1; i < copy.size(); ++i) {
        if (!IsPathSeparator(copy[i])) {
            continue;
        }
        const std::wstring prefix = copy.substr(0, i);
        if (!KestrelOs::PathExists(prefix) && !KestrelOs::MakeFolder(prefix)) {
            result = false;
        }
    }
    return result;
}

bool CopyFileOver(const std::wstring& source, const std::wstring& target) {
    KestrelOs::MakeWritable(target);
    return KestrelOs::CopyFileReplacing(source, target);
}

bool DeleteFileForced(const std::wstring& path) {
    KestrelOs::MakeWritable(path);
    return KestrelOs::RemoveFile(path);
}

bool IsExistingFile(const std::wstring& path) {
    return KestrelOs::GetPathKind(path) == KestrelOs::PathKind::File;
}

long GetFileSize(std::FILE* stream) {
    if (stream == nullptr) {
        return 0;
    }
    const long position = std::ftell(stream);
    if (position < 0 || std::fseek(stream, 0, SEEK_END) != 0) {
        return 0;
    }
    const long size = std::ftell(stream);
    if (std::fseek(stream, position, SEEK_SET) != 0) {
        return 0;  // a stream that cannot go back would be read from the wrong place
    }
    return size < 0 ? 0 : size;
}

char* ReadWholeFile(const std::wstring& path, long& size) {
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(KestrelOs::OpenForReading(path),
                                                         &std::fclose);
    if (!file) {
        return nullptr;
    }
    size = GetFileSize(file.get());
    if (size <= 0) {
        return nullptr;
    }
    const size_t length = static_cast<size_t>(size);
    std::unique_ptr<char[]> buffer(new (std::nothrow) char[length + 4]);
    if (!buffer) {
        return nullptr;
    }
    if (std::fread(buffer.get(), length, 1, file.get()) != 1) {
        return nullptr;
    }
    for (size_t i = 0; i < 4; ++i) {
        buffer[length + i] = '\0';
    }
    return buffer.release();
}
