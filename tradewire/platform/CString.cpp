#include "tradewire/CString.h"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <cwchar>
#include <new>
#include <string>
#include <string_view>

#include "TextCodec.h"

// Format runs every conversion twice, first counting, then writing into a block of exactly
// the counted size: one allocation, and no retry loop that grows a buffer on a bad format.
// Numbers go through the C library's narrow snprintf without their width, which is applied
// here, so a hostile width costs nothing until it is known to fit.

namespace {

constexpr int kInvalidFormat = -1;
constexpr int kOutOfMemory = -2;
constexpr size_t kMaxLength = static_cast<size_t>(CString::kMaxLength);

enum class ArgSize { Default, Char, Short, Long, LongLong, IntMax, Size, PtrDiff, LongDouble };

struct ConversionSpec {
    bool leftAlign = false;
    bool zeroPad = false;
    std::string flags;  // the flags snprintf keeps: + space #
    size_t width = 0;
    int precision = -1;
    ArgSize size = ArgSize::Default;
    bool wide = false;    // an explicit l or w
    bool narrow = false;  // an explicit h
    wchar_t conversion = 0;
};

// Counts when it has no target, writes when it has one. A total beyond the limit stops the
// run: CString's limit when counting, the counted length when writing (an argument that
// changed between the two runs cannot write past the block).
class FormatOutput {
  public:
    FormatOutput(wchar_t* target, size_t limit) : m_target(target), m_limit(limit) {}

    bool Put(const wchar_t* text, size_t count) {
        return Take(count, [&](wchar_t* at) { std::wmemcpy(at, text, count); });
    }
    bool PutAscii(const char* text, size_t count) {
        return Take(count, [&](wchar_t* at) {
            for (size_t i = 0; i < count; ++i) {
                at[i] = static_cast<wchar_t>(static_cast<unsigned char>(text[i]));
            }
        });
    }
    bool Fill(wchar_t ch, size_t count) {
        return Take(count, [&](wchar_t* at) { std::wmemset(at, ch, count); });
    }
    size_t Length() const { return m_length; }

  private:
    // Counts `count` more characters, which write(at) puts at `at` when there is a target.
    template <class Write>
    bool Take(size_t count, Write write) {
        if (count > m_limit - m_length) {
            return false;
        }
        if (m_target != nullptr && count > 0) {
            write(m_target + m_length);
        }
        m_length += count;
        return true;
    }

    wchar_t* m_target;
    size_t m_limit;
    size_t m_length = 0;
};

enum class Step { Done, Invalid, TooLong };

// Digits of a width or precision; false when they do not fit an int length.
bool ReadNumber(const wchar_t*& p, size_t& value) {
    value = 0;
    for (; *p >= L'0' && *p <= L'9'; ++p) {
        value = value * 10 + static_cast<size_t>(*p - L'0');
        if (value > kMaxLength) {
            return false;
        }
    }
    return true;
}

bool ReadFlagsAndWidth(const wchar_t*& p, va_list& args, ConversionSpec& spec) {
    for (;; ++p) {
        if (*p == L'-') {
            spec.leftAlign = true;
        } else if (*p == L'0') {
            spec.zeroPad = true;
        } else if (*p == L'+' || *p == L' ' || *p == L'#') {
            spec.flags += static_cast<char>(*p);
        } else {
            break;
        }
    }
    if (*p != L'*') {
        return ReadNumber(p, spec.width);
    }
    ++p;
    const int width = va_arg(args, int);
    if (width < 0) {
        spec.leftAlign = true;
        if (width == INT32_MIN) {
            return false;
        }
    }
    spec.width = static_cast<size_t>(width < 0 ? -width : width);
    return spec.width <= kMaxLength;
}

bool ReadPrecision(const wchar_t*& p, va_list& args, ConversionSpec& spec) {
    if (*p != L'.') {
        return true;
    }
    ++p;
    if (*p == L'*') {
        ++p;
        const int precision = va_arg(args, int);
        spec.precision = precision < 0 ? -1 : precision;
        return spec.precision <= static_cast<int>(kMaxLength);
    }
    size_t precision = 0;
    if (!ReadNumber(p, precision)) {
        return false;
    }
    spec.precision = static_cast<int>(precision);
    return true;
}

// A length modifier before the conversion letter: the argument's size, and whether it names
// the width of a character or string argument.
struct SizePrefix {
    std::wstring_view text;
    ArgSize size;
    bool narrow = false;  // h, hh
    bool wide = false;    // l, w
};

// Where one prefix begins another, the longer comes first. MFC's I64, I32 and I stand for a
// 64-bit, a 32-bit and a pointer-sized argument.
constexpr SizePrefix kSizePrefixes[] = {
    {L"I64", ArgSize::LongLong},
    {L"I32", ArgSize::Default},
    {L"I", ArgSize::Size},
    {L"hh", ArgSize::Char, true},
    {L"h", ArgSize::Short, true},
    {L"ll", ArgSize::LongLong},
    {L"q", ArgSize::LongLong},
    {L"l", ArgSize::Long, false, true},
    {L"w", ArgSize::Long, false, true},
    {L"L", ArgSize::LongDouble},
    {L"j", ArgSize::IntMax},
    {L"z", ArgSize::Size},
    {L"t", ArgSize::PtrDiff},
};

void ReadSize(const wchar_t*& p, ConversionSpec& spec) {
    for (const SizePrefix& prefix : kSizePrefixes) {
        // wcsncmp stops at the format's terminator, which no prefix holds.
        if (std::wcsncmp(p, prefix.text.data(), prefix.text.size()) == 0) {
            spec.size = prefix.size;
            spec.narrow = prefix.narrow;
            spec.wide = prefix.wide;
            p += prefix.text.size();
            return;
        }
    }
}

long long SignedArgument(va_list& args, ArgSize size) {
    switch (size) {
        case ArgSize::Char:
            return static_cast<signed char>(va_arg(args, int));
        case ArgSize::Short:
            return static_cast<short>(va_arg(args, int));
        case ArgSize::Long:
            return va_arg(args, long);
        case ArgSize::LongLong:
            return va_arg(args, long long);
        case ArgSize::IntMax:
            return static_cast<long long>(va_arg(args, intmax_t));
        case ArgSize::Size:
        case ArgSize::PtrDiff:
            return static_cast<long long>(va_arg(args, ptrdiff_t));
        default:
            return va_arg(args, int);
    }
}

unsigned long long UnsignedArgument(va_list& args, ArgSize size) {
    switch (size) {
        case ArgSize::Char:
            return static_cast<unsigned char>(va_arg(args, unsigned int));
        case ArgSize::Short:
            return static_cast<unsigned short>(va_arg(args, unsigned int));
        case ArgSize::Long:
            return va_arg(args, unsigned long);
        case ArgSize::LongLong:
            return va_arg(args, unsigned long long);
        case ArgSize::IntMax:
            return static_cast<unsigned long long>(va_arg(args, uintmax_t));
        case ArgSize::Size:
        case ArgSize::PtrDiff:
            return static_cast<unsigned long long>(va_arg(args, size_t));
        default:
            return va_arg(args, unsigned int);
    }
}

// The snprintf format for one number: its flags and precision, never its width.
std::string NumberFormat(const ConversionSpec& spec, const char* size) {
    std::string format = "%" + spec.flags;
    if (spec.precision >= 0) {
        format += "." + std::to_string(spec.precision);
    }
    format += size;
    format += static_cast<char>(spec.conversion);
    return format;
}

template <class Value>
bool FormatNumber(const std::string& format, Value value, std::string& text) {
    const int length = std::snprintf(nullptr, 0, format.c_str(), value);
    if (length < 0) {
        return false;
    }
    text.resize(static_cast<size_t>(length) + 1);
    std::snprintf(text.data(), text.size(), format.c_str(), value);
    text.resize(static_cast<size_t>(length));
    return true;
}

bool NumberText(const ConversionSpec& spec, va_list& args, std::string& text) {
    switch (spec.conversion) {
        case L'd':
        case L'i':
            return FormatNumber(NumberFormat(spec, "ll"), SignedArgument(args, spec.size), text);
        case L'u':
        case L'o':
        case L'x':
        case L'X':
            return FormatNumber(NumberFormat(spec, "ll"), UnsignedArgument(args, spec.size), text);
        case L'p':
            return FormatNumber(NumberFormat(spec, ""), va_arg(args, void*), text);
        default:
            if (spec.size == ArgSize::LongDouble) {
                return FormatNumber(NumberFormat(spec, "L"), va_arg(args, long double), text);
            }
            return FormatNumber(NumberFormat(spec, ""), va_arg(args, double), text);
    }
}

// Zeros go after the sign and after a 0x prefix, and only where the C library would put them:
// not for infinities and NaNs, not for integers with a precision.
size_t ZeroInsertionPoint(const ConversionSpec& spec, const std::string& text, bool& zeros) {
    const bool integer = std::wcschr(L"diuoxXp", spec.conversion) != nullptr;
    zeros = spec.zeroPad && !spec.leftAlign && !(integer && spec.precision >= 0) &&
            text.find_first_of("infINF") == std::string::npos;
    size_t at = (!text.empty() && (text[0] == '-' || text[0] == '+' || text[0] == ' ')) ? 1 : 0;
    if (text.size() >= at + 2 && text[at] == '0' && (text[at + 1] == 'x' || text[at + 1] == 'X')) {
        at += 2;
    }
    return at;
}

bool PutNumber(const ConversionSpec& spec, const std::string& text, FormatOutput& out) {
    const size_t padding = spec.width > text.size() ? spec.width - text.size() : 0;
    bool zeros = false;
    const size_t at = ZeroInsertionPoint(spec, text, zeros);
    if (zeros) {
        return out.PutAscii(text.data(), at) && out.Fill(L'0', padding) &&
               out.PutAscii(text.data() + at, text.size() - at);
    }
    if (spec.leftAlign) {
        return out.PutAscii(text.data(), text.size()) && out.Fill(L' ', padding);
    }
    return out.Fill(L' ', padding) && out.PutAscii(text.data(), text.size());
}

bool PutPadded(const ConversionSpec& spec, const wchar_t* text, size_t length, FormatOutput& out) {
    const size_t padding = spec.width > length ? spec.width - length : 0;
    if (spec.leftAlign) {
        return out.Put(text, length) && out.Fill(L' ', padding);
    }
    return out.Fill(L' ', padding) && out.Put(text, length);
}

size_t BoundedLength(const wchar_t* text, int precision) {
    size_t length = 0;
    while ((precision < 0 || length < static_cast<size_t>(precision)) && text[length] != 0) {
        ++length;
    }
    return length;
}

bool IsNarrow(const ConversionSpec& spec) {
    const bool upper = spec.conversion == L'S' || spec.conversion == L'C';
    return upper ? !spec.wide : spec.narrow;
}

bool PutText(const ConversionSpec& spec, va_list& args, FormatOutput& out) {
    const bool character = spec.conversion == L'c' || spec.conversion == L'C';
    if (character) {
        const int value = va_arg(args, int);
        if (!IsNarrow(spec)) {
            const wchar_t ch = static_cast<wchar_t>(value);
            return PutPadded(spec, &ch, 1, out);
        }
        const char byte = static_cast<char>(value);
        const std::wstring wide = CTextCodec::System().ToWide(std::string_view(&byte, 1));
        return PutPadded(spec, wide.data(), wide.size(), out);
    }
    if (!IsNarrow(spec)) {
        const wchar_t* text = va_arg(args, const wchar_t*);
        text = text == nullptr ? L"(null)" : text;
        return PutPadded(spec, text, BoundedLength(text, spec.precision), out);
    }
    const char* bytes = va_arg(args, const char*);
    const std::wstring wide = CTextCodec::System().ToWide(bytes == nullptr ? "(null)" : bytes);
    return PutPadded(spec, wide.c_str(), BoundedLength(wide.c_str(), spec.precision), out);
}

Step PutConversion(const wchar_t*& p, va_list& args, FormatOutput& out) {
    ConversionSpec spec;
    if (!ReadFlagsAndWidth(p, args, spec) || !ReadPrecision(p, args, spec)) {
        return Step::Invalid;
    }
    ReadSize(p, spec);
    spec.conversion = *p;
    if (spec.conversion == 0 || std::wcschr(L"diuoxXeEfFgGaApcCsS", spec.conversion) == nullptr) {
        return Step::Invalid;
    }
    ++p;
    if (std::wcschr(L"cCsS", spec.conversion) != nullptr) {
        return PutText(spec, args, out) ? Step::Done : Step::TooLong;
    }
    std::string text;
    if (!NumberText(spec, args, text)) {
        return Step::Invalid;
    }
    return PutNumber(spec, text, out) ? Step::Done : Step::TooLong;
}

Step Run(const wchar_t* format, va_list& args, FormatOutput& out) {
    for (const wchar_t* p = format; *p != 0;) {
        if (*p != L'%') {
            const wchar_t* end = p;
            while (*end != 0 && *end != L'%') {
                ++end;
            }
            if (!out.Put(p, static_cast<size_t>(end - p))) {
                return Step::TooLong;
            }
            p = end;
            continue;
        }
        ++p;
        if (*p == L'%') {
            ++p;
            if (!out.Put(L"%", 1)) {
                return Step::TooLong;
            }
            continue;
        }
        const Step step = PutConversion(p, args, out);
        if (step != Step::Done) {
            return step;
        }
    }
    return Step::Done;
}

Step Measure(const wchar_t* format, va_list args, size_t& length) {
    va_list attempt;
    va_copy(attempt, args);
    FormatOutput counter(nullptr, kMaxLength);
    const Step step = Run(format, attempt, counter);
    va_end(attempt);
    length = counter.Length();
    return step;
}

int FormatInto(wchar_t** text, const wchar_t* format, va_list args) {
    size_t length = 0;
    const Step step = Measure(format, args, length);
    if (step != Step::Done) {
        return step == Step::Invalid ? kInvalidFormat : kOutOfMemory;
    }
    if (length == 0) {
        return 0;
    }
    const size_t bytes = sizeof(CStringData) + (length + 1) * sizeof(wchar_t);
    auto* data = static_cast<CStringData*>(TradewireHeapAlloc(bytes));
    if (data == nullptr) {
        return kOutOfMemory;
    }
    data->nDataLength = static_cast<int>(length);
    data->nAllocLength = static_cast<int>(length);
    auto* characters = reinterpret_cast<wchar_t*>(data + 1);
    va_list attempt;
    va_copy(attempt, args);
    FormatOutput writer(characters, length);
    Run(format, attempt, writer);
    va_end(attempt);
    characters[length] = 0;
    *text = characters;
    return static_cast<int>(length);
}

}  // namespace

int TradewireFormatV(wchar_t** text, const wchar_t* format, va_list args) {
    *text = nullptr;
    if (format == nullptr) {
        return kInvalidFormat;
    }
    try {
        return FormatInto(text, format, args);
    } catch (const std::bad_alloc&) {
        return kOutOfMemory;
    }
}
