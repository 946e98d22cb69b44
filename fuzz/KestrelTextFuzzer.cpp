// Kestrel's command-line and path primitives on arbitrary wide text. Every fixed-size buffer is
// its own heap block of exactly the capacity passed, so a write or read one cell too far is
// caught; the results are checked against the contracts the callers rely on.

#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cwchar>
#include <memory>
#include <string>
#include <vector>

#include "core/CommandLine.h"
#include "core/PathText.h"

using namespace kestrel::core;

namespace {

void Require(bool condition) {
    if (!condition) {
        std::abort();
    }
}

// Text of a length the input chooses, two bytes per code unit, never a zero; the few
// characters the primitives care about are the small values, so they come up often.
std::wstring ConsumeWide(FuzzedDataProvider& input, size_t maxLength) {
    static constexpr wchar_t kInteresting[] = {L' ', L'"', L'\\', L'/', L'.', L':', L'A', L'a'};
    const size_t length = input.ConsumeIntegralInRange<size_t>(0, maxLength);
    std::wstring text;
    while (text.size() < length && input.remaining_bytes() > 0) {
        const auto low = input.ConsumeIntegral<std::uint8_t>();
        const auto high = input.ConsumeIntegral<std::uint8_t>();
        wchar_t ch = static_cast<wchar_t>(low | (high << 8));
        if (high == 0 && low < sizeof(kInteresting) / sizeof(wchar_t)) {
            ch = kInteresting[low];
        }
        text += ch;
    }
    return text;
}

// A heap buffer of exactly `capacity` cells holding as much of `text` as fits with its zero.
std::unique_ptr<wchar_t[]> MakeBuffer(const std::wstring& text, size_t capacity) {
    std::unique_ptr<wchar_t[]> buffer(new wchar_t[capacity]);
    if (capacity > 0) {
        const size_t count = text.size() < capacity - 1 ? text.size() : capacity - 1;
        std::wmemcpy(buffer.get(), text.data(), count);
        buffer[count] = L'\0';
    }
    return buffer;
}

bool IsTerminatedWithin(const wchar_t* buffer, size_t capacity) {
    for (size_t i = 0; i < capacity; ++i) {
        if (buffer[i] == L'\0') {
            return true;
        }
    }
    return false;
}

void FuzzCommandLine(const std::wstring& line, int index, size_t capacity) {
    const std::unique_ptr<wchar_t[]> source = MakeBuffer(line, line.size() + 1);
    const std::unique_ptr<wchar_t[]> output(new wchar_t[capacity]);
    const bool found = GetCommandLineArg(source.get(), index, output.get(), capacity);
    const std::vector<std::wstring> tokens = SplitCommandLine(line);
    const bool exists = index >= 0 && static_cast<size_t>(index) < tokens.size();
    Require(found == (exists && capacity > 0));
    if (!found) {
        return;
    }
    Require(IsTerminatedWithin(output.get(), capacity));
    std::wstring expected = tokens[static_cast<size_t>(index)].substr(0, capacity - 1);
    Require(std::wstring(output.get()) == TrimSpaces(expected));
}

void FuzzBufferPrimitives(const std::wstring& text, size_t capacity) {
    const std::unique_ptr<wchar_t[]> withSeparator = MakeBuffer(text, capacity);
    AppendPathSeparator(withSeparator.get(), capacity);
    Require(capacity == 0 || IsTerminatedWithin(withSeparator.get(), capacity));

    const std::unique_ptr<wchar_t[]> source = MakeBuffer(text, text.size() + 1);
    const std::unique_ptr<wchar_t[]> copy(new wchar_t[capacity]);
    Require(BoundedCopy(copy.get(), capacity, source.get()));
    if (capacity > 1) {
        Require(IsTerminatedWithin(copy.get(), capacity));
        Require(std::wstring(copy.get()) == text.substr(0, capacity - 1));
    }

    const std::unique_ptr<wchar_t[]> folder(new wchar_t[capacity]);
    const std::unique_ptr<wchar_t[]> baseName(new wchar_t[capacity]);
    const std::unique_ptr<wchar_t[]> extension(new wchar_t[capacity]);
    SplitPath(source.get(), folder.get(), capacity, baseName.get(), capacity, extension.get(),
              capacity);
    if (capacity > 0) {
        Require(IsTerminatedWithin(baseName.get(), capacity));
        Require(IsTerminatedWithin(extension.get(), capacity));
    }

    std::wstring trimmed = text;
    TrimSpaces(trimmed);
    Require(std::wstring(TrimSpaces(source.get())) == trimmed);
    Require(trimmed.empty() || (trimmed.front() != L' ' && trimmed.back() != L' '));
}

void FuzzPathText(const std::wstring& first, const std::wstring& second) {
    std::wstring joined = L"untouched";
    if (JoinBoundedPath(first, second, joined)) {
        Require(joined == first + second && joined.size() <= kMaxPathChars - 1);
    } else {
        Require(joined == L"untouched" && first.size() + second.size() > kMaxPathChars - 1);
    }

    Require(StartsWithPathNoCase(first, first));
    Require(EqualPathsNoCase(first, second) == EqualPathsNoCase(second, first));
    Require(!EqualPathsNoCase(first, second) || StartsWithPathNoCase(first, second));

    std::wstring replaced = first;
    ReplaceChar(replaced, L'\\', L'/');
    const std::unique_ptr<wchar_t[]> buffer = MakeBuffer(first, first.size() + 1);
    ReplaceChar(buffer.get(), L'\\', L'/');
    Require(replaced == buffer.get());
    Require(EqualPathsNoCase(first, replaced));

    std::wstring withSeparator = first;
    AppendPathSeparator(withSeparator);
    Require(first.empty() ? withSeparator.empty() : IsPathSeparator(withSeparator.back()));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    FuzzedDataProvider input(data, size);
    const int index = input.ConsumeIntegralInRange<int>(-1, 8);
    const size_t capacity = input.ConsumeIntegralInRange<size_t>(0, kMaxPathChars + 8);
    const std::wstring first = ConsumeWide(input, 600);
    const std::wstring second = ConsumeWide(input, 600);

    FuzzCommandLine(first, index, capacity);
    FuzzBufferPrimitives(first, capacity);
    FuzzPathText(first, second);
    return 0;
}
