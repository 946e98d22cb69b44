#pragma once
// Wide text of the interface and of every record, with the member names an MFC caller knows.
// A plain value: each thread works on its own copies; nothing is shared between instances.
//
// One handle: the only member points at the characters of a shared-heap block that starts with
// a CStringData header (length, capacity) just before them; an empty string holds null.
// All code is inline, so both compilers run the same code on the same layout; only Format
// calls into the library (see there). A failed allocation or a length beyond kMaxLength
// throws CMemoryException before anything changes; the string keeps its value.

#include <limits.h>
#include <stdarg.h>
#include <stddef.h>
#include <wchar.h>
#include <wctype.h>

#include "tradewire/MemoryException.h"
#include "tradewire/SharedHeap.h"
#include "tradewire/TradewireExport.h"

// The header of a CString's block, just before its characters. Lengths count characters, the
// terminating zero not included.
struct CStringData {
    int nDataLength;
    int nAllocLength;
};

// Formats with MFC's meaning of the conversions (%s and %c wide, %S and %C narrow, %I64 and
// %I32 size prefixes) into a new CString block (*text, null for an empty result) and returns
// its length. Returns -1, with *text null, for a null or invalid format (a lone '%', a missing
// conversion, %n, a width or precision beyond kMaxLength, a result longer than that), and -2
// when memory ran out. Narrow text converts leniently: bytes that do not convert become '?'.
// Lives in the library because the C runtimes disagree on what %s means in a wide format.
// Any thread may call it.
extern "C" TRADEWIRE_EXPORT int TradewireFormatV(wchar_t** text, const wchar_t* format,
                                                 va_list args);

class CString {
  public:
    // The longest text: its block stays below 2 GB, so no size computation can overflow.
    static constexpr int kMaxLength =
        static_cast<int>((INT_MAX - sizeof(CStringData)) / sizeof(wchar_t)) - 1;

    CString() = default;
    CString(const CString& source) { Assign(source.m_pchData, source.GetLength()); }
    CString(CString&& source) noexcept : m_pchData(source.m_pchData) { source.m_pchData = nullptr; }
    CString(const wchar_t* text) {  // NOLINT(google-explicit-constructor): MFC converts implicitly
        Assign(text, LengthOf(text));
    }
    CString(const wchar_t* text, int length) {
        if (text != nullptr && length > 0) {
            Assign(text, length);
        }
    }
    ~CString() { FreeBlock(m_pchData); }

    CString& operator=(const CString& source) {
        if (this != &source) {
            Assign(source.m_pchData, source.GetLength());
        }
        return *this;
    }
    CString& operator=(CString&& source) noexcept {
        if (this != &source) {
            FreeBlock(m_pchData);
            m_pchData = source.m_pchData;
            source.m_pchData = nullptr;
        }
        return *this;
    }
    CString& operator=(const wchar_t* text) {
        Assign(text, LengthOf(text));
        return *this;
    }

    int GetLength() const { return m_pchData == nullptr ? 0 : Data(m_pchData)->nDataLength; }
    // Characters the string holds room for without a new allocation (0 when empty).
    int GetAllocLength() const { return Capacity(); }
    bool IsEmpty() const { return m_pchData == nullptr; }
    void Empty() {
        FreeBlock(m_pchData);
        m_pchData = nullptr;
    }
    const wchar_t* GetString() const { return m_pchData == nullptr ? L"" : m_pchData; }
    operator const wchar_t*() const { return GetString(); }  // NOLINT(google-explicit-constructor)
    wchar_t GetAt(int index) const { return GetString()[index]; }

    CString& operator+=(const CString& text) {
        Append(text.m_pchData, text.GetLength());
        return *this;
    }
    CString& operator+=(const wchar_t* text) {
        Append(text, LengthOf(text));
        return *this;
    }
    CString& operator+=(wchar_t ch) {
        Append(&ch, 1);
        return *this;
    }

    // MFC formatting: %s and %c take wide arguments, %S and %C narrow ones. A null or invalid
    // format empties the string; running out of memory throws and keeps it.
    void Format(const wchar_t* format, ...) {
        va_list args;
        va_start(args, format);
        FormatV(format, args);
        va_end(args);
    }
    void FormatV(const wchar_t* format, va_list args) {
        wchar_t* text = nullptr;
        if (TradewireFormatV(&text, format, args) == -2) {
            TradewireThrowMemoryException();
        }
        FreeBlock(m_pchData);
        m_pchData = text;
    }

    // Both compare up to the first zero character, as the C library does.
    int Compare(const wchar_t* text) const { return wcscmp(GetString(), OrEmpty(text)); }
    int CompareNoCase(const wchar_t* text) const {
        const wchar_t* left = GetString();
        const wchar_t* right = OrEmpty(text);
        for (;; ++left, ++right) {
            const wint_t a = towlower(static_cast<wint_t>(*left));
            const wint_t b = towlower(static_cast<wint_t>(*right));
            if (a != b) {
                return a < b ? -1 : 1;
            }
            if (a == 0) {
                return 0;
            }
        }
    }

    // -1 when absent or when start lies outside [0, GetLength()].
    int Find(wchar_t ch, int start = 0) const {
        const int length = GetLength();
        if (start < 0 || start >= length) {
            return -1;
        }
        const wchar_t* hit = wmemchr(m_pchData + start, ch, static_cast<size_t>(length - start));
        return hit == nullptr ? -1 : static_cast<int>(hit - m_pchData);
    }
    int Find(const wchar_t* text, int start = 0) const {
        const int length = GetLength();
        if (text == nullptr || start < 0 || start > length) {
            return -1;
        }
        const int textLength = LengthOf(text);
        if (textLength == 0) {
            return start;
        }
        for (int at = start; textLength <= length - at; ++at) {
            if (wmemcmp(m_pchData + at, text, static_cast<size_t>(textLength)) == 0) {
                return at;
            }
        }
        return -1;
    }

    CString Left(int count) const {
        const int length = GetLength();
        if (count <= 0) {
            return CString();
        }
        return CString(m_pchData, count < length ? count : length);
    }
    CString Mid(int first) const { return Mid(first, GetLength()); }
    CString Mid(int first, int count) const {
        const int length = GetLength();
        if (first < 0) {
            first = 0;
        }
        if (count <= 0 || first >= length) {
            return CString();
        }
        const int available = length - first;
        return CString(m_pchData + first, count < available ? count : available);
    }
    CString Right(int count) const {
        const int length = GetLength();
        if (count <= 0) {
            return CString();
        }
        if (count >= length) {
            return *this;
        }
        return CString(m_pchData + (length - count), count);
    }

    int Replace(wchar_t from, wchar_t to) {
        const int length = GetLength();
        int replaced = 0;
        for (int i = 0; i < length; ++i) {
            if (m_pchData[i] == from) {
                m_pchData[i] = to;
                ++replaced;
            }
        }
        return replaced;
    }
    int Replace(const wchar_t* from, const wchar_t* to) {
        const int fromLength = LengthOf(from);
        if (fromLength == 0) {
            return 0;
        }
        const wchar_t* replacement = OrEmpty(to);
        const int toLength = LengthOf(to);
        CString result;
        int replaced = 0;
        int pos = 0;
        for (int hit = Find(from, 0); hit >= 0; hit = Find(from, pos)) {
            result.Append(m_pchData + pos, hit - pos);
            result.Append(replacement, toLength);
            pos = hit + fromLength;
            ++replaced;
        }
        if (replaced > 0) {
            result.Append(m_pchData + pos, GetLength() - pos);
            *this = static_cast<CString&&>(result);
        }
        return replaced;
    }
    CString& MakeUpper() {
        const int length = GetLength();
        for (int i = 0; i < length; ++i) {
            m_pchData[i] = static_cast<wchar_t>(towupper(static_cast<wint_t>(m_pchData[i])));
        }
        return *this;
    }
    CString& MakeLower() {
        const int length = GetLength();
        for (int i = 0; i < length; ++i) {
            m_pchData[i] = static_cast<wchar_t>(towlower(static_cast<wint_t>(m_pchData[i])));
        }
        return *this;
    }

    friend CString operator+(const CString& a, const CString& b) {
        CString result;
        result.Concatenate(a.m_pchData, a.GetLength(), b.m_pchData, b.GetLength());
        return result;
    }
    friend CString operator+(const CString& a, const wchar_t* b) {
        CString result;
        result.Concatenate(a.m_pchData, a.GetLength(), b, LengthOf(b));
        return result;
    }
    friend CString operator+(const wchar_t* a, const CString& b) {
        CString result;
        result.Concatenate(a, LengthOf(a), b.m_pchData, b.GetLength());
        return result;
    }

    // Between two strings, equality and order look at every character, zeros inside the text
    // included; against a C string, they stop at its terminating zero, as Compare does. Every
    // form is spelled out, so no comparison goes through the conversion to const wchar_t*.
    friend bool operator==(const CString& a, const CString& b) { return Order(a, b) == 0; }
    friend bool operator!=(const CString& a, const CString& b) { return Order(a, b) != 0; }
    friend bool operator<(const CString& a, const CString& b) { return Order(a, b) < 0; }
    friend bool operator>(const CString& a, const CString& b) { return Order(a, b) > 0; }
    friend bool operator<=(const CString& a, const CString& b) { return Order(a, b) <= 0; }
    friend bool operator>=(const CString& a, const CString& b) { return Order(a, b) >= 0; }
    friend bool operator==(const CString& a, const wchar_t* b) { return a.Compare(b) == 0; }
    friend bool operator!=(const CString& a, const wchar_t* b) { return a.Compare(b) != 0; }
    friend bool operator<(const CString& a, const wchar_t* b) { return a.Compare(b) < 0; }
    friend bool operator>(const CString& a, const wchar_t* b) { return a.Compare(b) > 0; }
    friend bool operator<=(const CString& a, const wchar_t* b) { return a.Compare(b) <= 0; }
    friend bool operator>=(const CString& a, const wchar_t* b) { return a.Compare(b) >= 0; }
    friend bool operator==(const wchar_t* a, const CString& b) { return b.Compare(a) == 0; }
    friend bool operator!=(const wchar_t* a, const CString& b) { return b.Compare(a) != 0; }
    friend bool operator<(const wchar_t* a, const CString& b) { return b.Compare(a) > 0; }
    friend bool operator>(const wchar_t* a, const CString& b) { return b.Compare(a) < 0; }
    friend bool operator<=(const wchar_t* a, const CString& b) { return b.Compare(a) >= 0; }
    friend bool operator>=(const wchar_t* a, const CString& b) { return b.Compare(a) <= 0; }

  private:
    static CStringData* Data(wchar_t* characters) {
        return reinterpret_cast<CStringData*>(characters) - 1;
    }
    static const CStringData* Data(const wchar_t* characters) {
        return reinterpret_cast<const CStringData*>(characters) - 1;
    }
    int Capacity() const { return m_pchData == nullptr ? 0 : Data(m_pchData)->nAllocLength; }

    static int LengthOf(const wchar_t* text) {
        if (text == nullptr) {
            return 0;
        }
        const size_t length = wcslen(text);
        if (length > static_cast<size_t>(kMaxLength)) {
            TradewireThrowMemoryException();
        }
        return static_cast<int>(length);
    }
    static const wchar_t* OrEmpty(const wchar_t* text) { return text == nullptr ? L"" : text; }

    static int Order(const CString& a, const CString& b) {
        const int aLength = a.GetLength();
        const int bLength = b.GetLength();
        const int common = aLength < bLength ? aLength : bLength;
        const int order =
            common == 0 ? 0 : wmemcmp(a.m_pchData, b.m_pchData, static_cast<size_t>(common));
        if (order != 0) {
            return order;
        }
        return aLength == bLength ? 0 : (aLength < bLength ? -1 : 1);
    }

    static void FreeBlock(wchar_t* characters) {
        if (characters != nullptr) {
            TradewireHeapFree(Data(characters));
        }
    }

    // A new block with room for `capacity` characters and `length` of them in use; the
    // characters are the caller's to fill. Throws when the capacity is beyond kMaxLength or
    // memory ran out.
    static wchar_t* NewBlock(int capacity, int length) {
        if (capacity < 1 || capacity > kMaxLength) {
            TradewireThrowMemoryException();
        }
        const size_t bytes =
            sizeof(CStringData) + (static_cast<size_t>(capacity) + 1) * sizeof(wchar_t);
        CStringData* data = static_cast<CStringData*>(TradewireHeapAlloc(bytes));
        if (data == nullptr) {
            TradewireThrowMemoryException();
        }
        data->nDataLength = length;
        data->nAllocLength = capacity;
        wchar_t* characters = reinterpret_cast<wchar_t*>(data + 1);
        characters[length] = L'\0';
        return characters;
    }

    // Growth at least doubles, so a string built by appending is copied O(log n) times.
    int GrownCapacity(int needed) const {
        const int capacity = Capacity();
        const int doubled = capacity > kMaxLength / 2 ? kMaxLength : capacity * 2;
        return needed > doubled ? needed : doubled;
    }

    void SetLength(int length) {
        Data(m_pchData)->nDataLength = length;
        m_pchData[length] = L'\0';
    }

    // The text may point into this string's own buffer.
    void Assign(const wchar_t* text, int length) {
        if (text == nullptr || length <= 0) {
            Empty();
            return;
        }
        if (length <= Capacity()) {
            wmemmove(m_pchData, text, static_cast<size_t>(length));
            SetLength(length);
            return;
        }
        wchar_t* characters = NewBlock(length, length);
        wmemcpy(characters, text, static_cast<size_t>(length));
        FreeBlock(m_pchData);
        m_pchData = characters;
    }

    // The text may point into this string's own buffer.
    void Append(const wchar_t* text, int length) {
        if (text == nullptr || length <= 0) {
            return;
        }
        const int current = GetLength();
        if (length > kMaxLength - current) {
            TradewireThrowMemoryException();
        }
        const int total = current + length;
        if (total <= Capacity()) {
            wmemmove(m_pchData + current, text, static_cast<size_t>(length));
            SetLength(total);
            return;
        }
        wchar_t* characters = NewBlock(GrownCapacity(total), total);
        if (current > 0) {
            wmemcpy(characters, m_pchData, static_cast<size_t>(current));
        }
        wmemcpy(characters + current, text, static_cast<size_t>(length));
        FreeBlock(m_pchData);
        m_pchData = characters;
    }

    // One allocation for both parts of a sum; this string starts empty.
    void Concatenate(const wchar_t* a, int aLength, const wchar_t* b, int bLength) {
        if (bLength > kMaxLength - aLength) {
            TradewireThrowMemoryException();
        }
        const int total = aLength + bLength;
        if (total == 0) {
            return;
        }
        m_pchData = NewBlock(total, total);
        if (aLength > 0) {
            wmemcpy(m_pchData, a, static_cast<size_t>(aLength));
        }
        if (bLength > 0) {
            wmemcpy(m_pchData + aLength, b, static_cast<size_t>(bLength));
        }
    }

    wchar_t* m_pchData = nullptr;
};
