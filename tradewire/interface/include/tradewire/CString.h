#pragma once
// Wide text of the interface and of every record, with the member names an MFC caller knows.
// A plain value: each thread works on its own copies; nothing is shared between instances.

#include <cstdarg>
#include <string>

#include "tradewire/TradewireExport.h"

class TRADEWIRE_EXPORT CString {
  public:
    CString() = default;
    CString(const CString&) = default;
    CString(CString&&) noexcept = default;
    CString(const wchar_t* text);  // NOLINT(google-explicit-constructor): MFC converts implicitly
    CString(const wchar_t* text, int length);
    explicit CString(std::wstring text) : m_text(std::move(text)) {}
    ~CString() = default;

    CString& operator=(const CString&) = default;
    CString& operator=(CString&&) noexcept = default;
    CString& operator=(const wchar_t* text);

    int GetLength() const { return static_cast<int>(m_text.size()); }
    bool IsEmpty() const { return m_text.empty(); }
    void Empty() { m_text.clear(); }
    const wchar_t* GetString() const { return m_text.c_str(); }
    operator const wchar_t*() const {
        return m_text.c_str();
    }  // NOLINT(google-explicit-constructor)
    wchar_t GetAt(int index) const { return m_text[static_cast<size_t>(index)]; }
    const std::wstring& GetStdString() const { return m_text; }

    CString& operator+=(const CString& text);
    CString& operator+=(const wchar_t* text);
    CString& operator+=(wchar_t ch);

    // MFC formatting: %s and %c take wide arguments, %S and %C narrow ones. The text grows
    // until it fits.
    void Format(const wchar_t* format, ...);
    void FormatV(const wchar_t* format, va_list args);

    int Compare(const wchar_t* text) const;
    int CompareNoCase(const wchar_t* text) const;
    int Find(wchar_t ch, int start = 0) const;
    int Find(const wchar_t* text, int start = 0) const;
    CString Left(int count) const;
    CString Mid(int first) const;
    CString Mid(int first, int count) const;
    CString Right(int count) const;
    int Replace(wchar_t from, wchar_t to);
    int Replace(const wchar_t* from, const wchar_t* to);
    CString& MakeUpper();
    CString& MakeLower();

    friend TRADEWIRE_EXPORT CString operator+(const CString& a, const CString& b);
    friend TRADEWIRE_EXPORT CString operator+(const CString& a, const wchar_t* b);
    friend TRADEWIRE_EXPORT CString operator+(const wchar_t* a, const CString& b);
    friend bool operator==(const CString& a, const CString& b) { return a.m_text == b.m_text; }
    friend bool operator==(const CString& a, const wchar_t* b) { return a.Compare(b) == 0; }
    friend bool operator!=(const CString& a, const CString& b) { return !(a == b); }
    friend bool operator!=(const CString& a, const wchar_t* b) { return !(a == b); }
    friend bool operator<(const CString& a, const CString& b) { return a.m_text < b.m_text; }

  private:
    std::wstring m_text;
};
