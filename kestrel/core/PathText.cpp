#include "core/PathText.h"

#include <cwchar>
#include <cwctype>
#include <utility>
#include <vector>

#include "platform/CaseFold.h"

namespace kestrel::core {

namespace {

constexpr size_t kSplitCopyChars = 512;

wchar_t FoldForPath(wchar_t ch) {
    return ch == L'\\' ? L'/' : kestrel::platform::FoldCase(ch);
}

void WriteBounded(wchar_t* dest, size_t capacity, const wchar_t* begin, size_t length) {
    if (dest == nullptr || capacity == 0) {
        return;
    }
    const size_t count = length < capacity - 1 ? length : capacity - 1;
    std::wmemcpy(dest, begin, count);
    dest[count] = L'\0';
}

}  // namespace

bool IsPathSeparator(wchar_t ch) {
    return ch == L'\\' || ch == L'/';
}

void AppendPathSeparator(wchar_t* buffer, size_t capacity) {
    if (buffer == nullptr || capacity < 3) {
        return;
    }
    const size_t length = std::wcslen(buffer);
    if (length == 0 || length >= capacity - 2 || IsPathSeparator(buffer[length - 1])) {
        return;
    }
    buffer[length] = L'\\';
    buffer[length + 1] = L'\0';
}

void AppendPathSeparator(std::wstring& path) {
    if (!path.empty() && !IsPathSeparator(path.back())) {
        path += L'\\';
    }
}

bool BoundedCopy(wchar_t* dest, size_t capacity, const wchar_t* source) {
    if (dest == nullptr || source == nullptr) {
        return false;
    }
    size_t i = 0;
    for (; i < capacity; ++i) {
        dest[i] = source[i];
        if (source[i] == L'\0') {
            return true;
        }
    }
    if (capacity > 1) {
        dest[capacity - 1] = L'\0';
    }
    return true;
}

void SplitPath(const wchar_t* path, wchar_t* folder, size_t folderCapacity, wchar_t* baseName,
               size_t baseNameCapacity, wchar_t* extension, size_t extensionCapacity) {
    if (path == nullptr) {
        return;
    }
    std::wstring copy(path, wcsnlen(path, kSplitCopyChars - 1));
    size_t separator = copy.rfind(L'\\');
    if (separator == std::wstring::npos) {
        separator = copy.rfind(L'/');
    }
    size_t nameStart = 0;
    if (separator != std::wstring::npos) {
        WriteBounded(folder, folderCapacity, copy.data(), separator);
        nameStart = separator + 1;
    }
    const std::wstring name = copy.substr(nameStart);
    const size_t dot = name.rfind(L'.');
    const size_t baseLength = dot == std::wstring::npos ? name.size() : dot;
    WriteBounded(baseName, baseNameCapacity, name.data(), baseLength);
    if (dot != std::wstring::npos) {
        WriteBounded(extension, extensionCapacity, name.data() + dot + 1, name.size() - dot - 1);
    } else {
        WriteBounded(extension, extensionCapacity, name.data(), 0);
    }
}

void ReplaceChar(std::wstring& text, wchar_t from, wchar_t to) {
    for (wchar_t& ch : text) {
        if (ch == from) {
            ch = to;
        }
    }
}

void ReplaceChar(wchar_t* text, wchar_t from, wchar_t to) {
    if (text == nullptr) {
        return;
    }
    for (; *text != L'\0'; ++text) {
        if (*text == from) {
            *text = to;
        }
    }
}

wchar_t* TrimSpaces(wchar_t* buffer) {
    if (buffer == nullptr) {
        return buffer;
    }
    size_t length = std::wcslen(buffer);
    while (length > 0 && buffer[length - 1] == L' ') {
        buffer[--length] = L'\0';
    }
    size_t lead = 0;
    while (buffer[lead] == L' ') {
        ++lead;
    }
    if (lead > 0) {
        std::wmemmove(buffer, buffer + lead, length - lead + 1);
    }
    return buffer;
}

std::wstring& TrimSpaces(std::wstring& text) {
    const size_t last = text.find_last_not_of(L' ');
    if (last == std::wstring::npos) {
        text.clear();
        return text;
    }
    text.erase(last + 1);
    text.erase(0, text.find_first_not_of(L' '));
    return text;
}

bool JoinBoundedPath(const std::wstring& first, const std::wstring& second, std::wstring& out) {
    if (first.size() + second.size() > kMaxPathChars - 1) {
        return false;
    }
    out = first + second;
    return true;
}

bool StartsWithPathNoCase(const std::wstring& path, const std::wstring& prefix) {
    if (prefix.size() > path.size()) {
        return false;
    }
    for (size_t i = 0; i < prefix.size(); ++i) {
        if (FoldForPath(path[i]) != FoldForPath(prefix[i])) {
            return false;
        }
    }
    return true;
}

bool EqualPathsNoCase(const std::wstring& a, const std::wstring& b) {
    return a.size() == b.size() && StartsWithPathNoCase(a, b);
}

namespace {

bool IsForbiddenInName(wchar_t ch) {
    return ch < 0x20 || IsPathSeparator(ch) || std::wcschr(L":<>\"|?*", ch) != nullptr;
}

// CON, PRN, AUX, NUL, COM1-9 and LPT1-9 name devices on Windows, even with an extension.
bool IsDeviceName(const std::wstring& name) {
    std::wstring stem = name.substr(0, name.find(L'.'));
    for (wchar_t& ch : stem) {
        ch = static_cast<wchar_t>(std::towupper(ch));
    }
    if (stem == L"CON" || stem == L"PRN" || stem == L"AUX" || stem == L"NUL") {
        return true;
    }
    return stem.size() == 4 &&
           (stem.compare(0, 3, L"COM") == 0 || stem.compare(0, 3, L"LPT") == 0) &&
           stem[3] >= L'1' && stem[3] <= L'9';
}

}  // namespace

std::wstring ToSingleFolderName(std::wstring text) {
    for (wchar_t& ch : text) {
        if (IsForbiddenInName(ch)) {
            ch = L'_';
        }
    }
    for (size_t i = text.size(); i > 0 && (text[i - 1] == L'.' || text[i - 1] == L' '); --i) {
        text[i - 1] = L'_';
    }
    if (IsDeviceName(text)) {
        text += L'_';
    }
    return text;
}

std::vector<std::wstring> PathParts(const std::wstring& path) {
    std::vector<std::wstring> parts;
    size_t begin = 0;
    while (begin < path.size()) {
        size_t end = begin;
        while (end < path.size() && !IsPathSeparator(path[end])) {
            ++end;
        }
        std::wstring part = path.substr(begin, end - begin);
        begin = end + 1;
        if (!part.empty() && part != L".") {
            parts.push_back(std::move(part));
        }
    }
    return parts;
}

bool NormalizeRelativePath(const std::wstring& path, std::wstring& normalized) {
    std::vector<std::wstring> parts;
    for (const std::wstring& part : PathParts(path)) {
        if (part == L"..") {
            if (parts.empty()) {
                return false;
            }
            parts.pop_back();
            continue;
        }
        parts.push_back(part);
    }
    if (parts.empty()) {
        return false;
    }
    std::wstring joined = parts.front();
    for (size_t i = 1; i < parts.size(); ++i) {
        joined += L'\\';
        joined += parts[i];
    }
    normalized = joined;
    return true;
}

}  // namespace kestrel::core
