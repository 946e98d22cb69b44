#include "core/FileOps.h"

#include <cstring>
#include <memory>
#include <new>

#include "core/PathText.h"
#include "platform/FileSystem.h"

namespace kestrel::core {

namespace {

constexpr size_t kWorkingPathChars = 512;
constexpr size_t kCompareChunk = 16 * 1024;

}  // namespace

bool MakeDirsForPath(const std::wstring& path) {
    if (kestrel::platform::PathExists(path)) {
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
        if (!kestrel::platform::PathExists(prefix) && !kestrel::platform::MakeFolder(prefix)) {
            result = false;
        }
    }
    return result;
}

// The file layer clears a read-only target itself: it alone knows the bits to give back.
bool CopyFileOver(const std::wstring& source, const std::wstring& target) {
    return kestrel::platform::CopyFileReplacing(source, target);
}

bool DeleteFileForced(const std::wstring& path) {
    kestrel::platform::MakeWritable(path);
    return kestrel::platform::RemoveFile(path);
}

bool IsExistingFile(const std::wstring& path) {
    return kestrel::platform::GetPathKind(path) == kestrel::platform::PathKind::File;
}

bool NameTheSameFile(const std::wstring& first, const std::wstring& second) {
    return kestrel::platform::IsSameFile(first, second);
}

bool HaveSameContents(const std::wstring& first, const std::wstring& second) {
    using CStream = std::unique_ptr<std::FILE, int (*)(std::FILE*)>;
    const CStream one(kestrel::platform::OpenForReading(first), &std::fclose);
    const CStream two(kestrel::platform::OpenForReading(second), &std::fclose);
    if (!one || !two) {
        return false;
    }
    char a[kCompareChunk];
    char b[kCompareChunk];
    for (;;) {
        const size_t gotA = std::fread(a, 1, sizeof(a), one.get());
        const size_t gotB = std::fread(b, 1, sizeof(b), two.get());
        if (gotA != gotB || std::memcmp(a, b, gotA) != 0) {
            return false;
        }
        if (gotA < sizeof(a)) {
            return std::ferror(one.get()) == 0 && std::ferror(two.get()) == 0;
        }
    }
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
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(kestrel::platform::OpenForReading(path),
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

}  // namespace kestrel::core
