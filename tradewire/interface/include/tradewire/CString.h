#pragma once
// Wide text of the interface and of every record, with the member names an MFC caller knows.
// A plain value: each thread works on its own copies; nothing is shared between instances.
//
// The layout is fixed here, not by any library: a buffer from the shared heap, the length and
// the capacity (both in characters, the terminating zero not counted). An empty string may
// hold no buffer at all. All code is inline, so a terminal built with another compiler runs
// the same code on the same layout; only Format calls into the library (see there).
// Failed allocations leave the string as it was.

#include <stdarg.h>
#include <stddef.h>
#include <wchar.h>
#include <wctype.h>

#include "tradewire/SharedHeap.h"
#include "tradewire/TradewireExport.h"

// Formats with MFC's meaning of the conversions (%s and %c wide, %S and %C narrow) into a
// buffer from the shared heap, which the caller frees with TradewireHeapFree; stores the
// length in *length. Null when the format is null or the text cannot be made. Lives in the
// library because the C runtimes disagree on what %s means in a wide format: one dialect for
// every caller keeps Format's result the same whichever compiler built the terminal.
extern "C" TRADEWIRE_EXPORT wchar_t* TradewireFormatV(const wchar_t* format, va_list args,
                                                      int* length);

class CString {
  public:
    CString() = default;
    CString(const CString& source) { Assign(source.m_pData, source.m_nLength); }
    CString(CString&& source) noexcept
        : m_pData(source.m_pData), m_nLength(source.m_nLength), m_nCapacity(source.m_nCapacity) {
        source.Release();
    }
    CString(const wchar_t* text) {  // NOLINT(google-explicit-constructor): MFC converts implicitly
        Assign(text, LengthOf(text));
    }
    CString(const wchar_t* text, int length) {
        if (text != nullptr && length > 0) {
            Assign(text, length);
        }
    }
    ~CString() { TradewireHeapFree(m_pData); }

    CString& operator=(const CString& source) {
        if (this != &source) {
            Assign(source.m_pData, source.m_nLength);
        }
        return *this;
    }
    CString& operator=(CString&& source) noexcept {
        if (this != &source) {
            TradewireHeapFree(m_pData);
            m_pData = source.m_pData;
            m_nLength = source.m_nLength;
            m_nCapacity = source.m_nCapacity;
            source.Release();
        }
        return *this;
    }
    CString& operator=(const wchar_t* text) {
        Assign(text, LengthOf(text));
        return *this;
    }

    int GetLength() const { return m_nLength; }
    bool IsEmpty() const { return m_nLength == 0; }
    void Empty() { SetLength(0); }
    const wchar_t* GetString() const { return m_pData == nullptr ? L"" : m_pData; }
    operator const wchar_t*() const { return GetString(); }  // NOLINT(google-explicit-constructor)
    wchar_t GetAt(int index) const { return GetString()[index]; }

    CString& operator+=(const CString& text) {
        Append(text.m_pData, text.m_nLength);
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

    // MFC formatting: %s and %c take wide arguments, %S and %C narrow ones. A null format
    // empties the string.
    void Format(const wchar_t* format, ...) {
        va_list args;
        va_start(args, format);
        FormatV(format, args);
        va_end(args);
    }
    void FormatV(const wchar_t* format, va_list args) {
        int length = 0;
        wchar_t* text = TradewireFormatV(format, args, &length);
        if (text == nullptr) {
            Empty();
            return;
        }
        TradewireHeapFree(m_pData);
        m_pData = text;
        m_nLength = length;
        m_nCapacity = length;
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
        if (start < 0 || start >= m_nLength) {
            return -1;
        }
        const wchar_t* hit = wmemchr(m_pData + start, ch, static_cast<size_t>(m_nLength - start));
        return hit == nullptr ? -1 : static_cast<int>(hit - m_pData);
    }
    int Find(const wchar_t* text, int start = 0) const {
        if (text == nullptr || start < 0 || start > m_nLength) {
            return -1;
        }
        const int length = LengthOf(text);
        if (length == 0) {
            return start;
        }
        for (int at = start; at + length <= m_nLength; ++at) {
            if (wmemcmp(m_pData + at, text, static_cast<size_t>(length)) == 0) {
                return at;
            }
        }
        return -1;
    }

    CString Left(int count) const {
        if (count <= 0) {
            return CString();
        }
        return CString(m_pData, count < m_nLength ? count : m_nLength);
    }
    CString Mid(int first) const { return Mid(first, m_nLength); }
    CString Mid(int first, int count) const {
        if (first < 0) {
            first = 0;
        }
        if (count <= 0 || first >= m_nLength) {
            return CString();
        }
        const int available = m_nLength - first;
        return CString(m_pData + first, count < available ? count : available);
    }
    CString Right(int count) const {
        if (count <= 0) {
            return CString();
        }
        if (count >= m_nLength) {
            return *this;
        }
        return CString(m_pData + (m_nLength - count), count);
    }

    int Replace(wchar_t from, wchar_t to) {
        int replaced = 0;
        for (int i = 0; i < m_nLength; ++i) {
            if (m_pData[i] == from) {
                m_pData[i] = to;
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
            result.Append(m_pData + pos, hit - pos);
            result.Append(replacement, toLength);
            pos = hit + fromLength;
            ++replaced;
        }
        if (replaced > 0) {
            result.Append(m_pData + pos, m_nLength - pos);
            *this = static_cast<CString&&>(result);
        }
        return replaced;
    }
    CString& MakeUpper() {
        for (int i = 0; i < m_nLength; ++i) {
            m_pData[i] = static_cast<wchar_t>(towupper(static_cast<wint_t>(m_pData[i])));
        }
        return *this;
    }
    CString& MakeLower() {
        for (int i = 0; i < m_nLength; ++i) {
            m_pData[i] = static_cast<wchar_t>(towlower(static_cast<wint_t>(m_pData[i])));
        }
        return *this;
    }

    friend CString operator+(const CString& a, const CString& b) {
        CString result;
        result.Concatenate(a.m_pData, a.m_nLength, b.m_pData, b.m_nLength);
        return result;
    }
    friend CString operator+(const CString& a, const wchar_t* b) {
        CString result;
        result.Concatenate(a.m_pData, a.m_nLength, b, LengthOf(b));
        return result;
    }
    friend CString operator+(const wchar_t* a, const CString& b) {
        CString result;
        result.Concatenate(a, LengthOf(a), b.m_pData, b.m_nLength);
        return result;
    }
    // Equality and order look at every character, zeros inside the text included.
    friend bool operator==(const CString& a, const CString& b) {
        return a.m_nLength == b.m_nLength &&
               (a.m_nLength == 0 ||
                wmemcmp(a.m_pData, b.m_pData, static_cast<size_t>(a.m_nLength)) == 0);
    }
    friend bool operator==(const CString& a, const wchar_t* b) { return a.Compare(b) == 0; }
    friend bool operator!=(const CString& a, const CString& b) { return !(a == b); }
    friend bool operator!=(const CString& a, const wchar_t* b) { return !(a == b); }
    friend bool operator<(const CString& a, const CString& b) {
        const int common = a.m_nLength < b.m_nLength ? a.m_nLength : b.m_nLength;
        const int order =
            common == 0 ? 0 : wmemcmp(a.m_pData, b.m_pData, static_cast<size_t>(common));
        return order != 0 ? order < 0 : a.m_nLength < b.m_nLength;
    }

  private:
    static int LengthOf(const wchar_t* text) {
        return text == nullptr ? 0 : static_cast<int>(wcslen(text));
    }
    static const wchar_t* OrEmpty(const wchar_t* text) { return text == nullptr ? L"" : text; }

    void Release() {
        m_pData = nullptr;
        m_nLength = 0;
        m_nCapacity = 0;
    }

    void SetLength(int length) {
        m_nLength = length;
        if (m_pData != nullptr) {
            m_pData[length] = L'\0';
        }
    }

    // A new buffer of at least `capacity` characters holding the first `keep` of the current
    // ones; the old buffer is handed back for the caller to free once it has read from it,
    // since the text being added may live inside it. Null and no change when memory ran out.
    wchar_t* Regrow(int capacity, int keep, bool& ok) {
        const int doubled = m_nCapacity * 2;
        const int target = capacity > doubled ? capacity : doubled;
        wchar_t* buffer = static_cast<wchar_t*>(
            TradewireHeapAlloc((static_cast<size_t>(target) + 1) * sizeof(wchar_t)));
        ok = buffer != nullptr;
        if (!ok) {
            return nullptr;
        }
        if (keep > 0) {
            wmemcpy(buffer, m_pData, static_cast<size_t>(keep));
        }
        wchar_t* old = m_pData;
        m_pData = buffer;
        m_nCapacity = target;
        return old;
    }

    // The text may point into this string's own buffer.
    void Assign(const wchar_t* text, int length) {
        if (length > m_nCapacity) {
            bool ok = false;
            wchar_t* old = Regrow(length, 0, ok);
            if (!ok) {
                return;
            }
            wmemcpy(m_pData, text, static_cast<size_t>(length));
            TradewireHeapFree(old);
        } else if (length > 0) {
            wmemmove(m_pData, text, static_cast<size_t>(length));
        }
        SetLength(length);
    }

    // The text may point into this string's own buffer.
    void Append(const wchar_t* text, int length) {
        if (text == nullptr || length <= 0) {
            return;
        }
        const int total = m_nLength + length;
        if (total > m_nCapacity) {
            bool ok = false;
            wchar_t* old = Regrow(total, m_nLength, ok);
            if (!ok) {
                return;
            }
            wmemcpy(m_pData + m_nLength, text, static_cast<size_t>(length));
            TradewireHeapFree(old);
        } else {
            wmemmove(m_pData + m_nLength, text, static_cast<size_t>(length));
        }
        SetLength(total);
    }

    // One allocation for both parts of a sum; this string starts empty.
    void Concatenate(const wchar_t* a, int aLength, const wchar_t* b, int bLength) {
        const int total = aLength + bLength;
        if (total == 0) {
            return;
        }
        bool ok = false;
        Regrow(total, 0, ok);
        if (!ok) {
            return;
        }
        if (aLength > 0) {
            wmemcpy(m_pData, a, static_cast<size_t>(aLength));
        }
        if (bLength > 0) {
            wmemcpy(m_pData + aLength, b, static_cast<size_t>(bLength));
        }
        SetLength(total);
    }

    wchar_t* m_pData = nullptr;
    int m_nLength = 0;
    int m_nCapacity = 0;
};
