#include "platform/TextCodec.h"

#include <algorithm>

#include "common/text/CodesetConversion.h"
#include "common/text/SystemCodeset.h"
#include "vocabulary/WideText.h"

namespace {

bool IsAscii(std::wstring_view text) {
    return std::all_of(text.begin(), text.end(),
                       [](wchar_t ch) { return static_cast<unsigned>(ch) < 0x80; });
}

bool IsAscii(std::string_view bytes) {
    return std::all_of(bytes.begin(), bytes.end(),
                       [](char ch) { return static_cast<unsigned char>(ch) < 0x80; });
}

std::wstring_view UpToZero(std::wstring_view text) {
    return text.substr(0, std::min(text.size(), text.find(L'\0')));
}

std::string_view UpToZero(std::string_view bytes) {
    return bytes.substr(0, std::min(bytes.size(), bytes.find('\0')));
}

}  // namespace

CTextCodec::CTextCodec(std::string codeset) : m_codeset(std::move(codeset)) {
    if (!common::text::IsKnownCodeset(m_codeset)) {
        m_codeset = "UTF-8";
        return;
    }
    // Codesets such as UTF-16 do not keep ASCII as single bytes; those take the slow road.
    m_asciiCompatible = (ToBytes(L"A") == "A");
}

std::string CTextCodec::ToBytes(std::wstring_view text) const {
    text = UpToZero(text);
    if (text.empty() || (m_asciiCompatible && IsAscii(text))) {
        return std::string(text.begin(), text.end());
    }
    std::string out;
    common::text::EncodeCodeset(m_codeset, text, out);  // empty when the system fails
    return out;
}

std::wstring CTextCodec::ToWide(std::string_view bytes) const {
    bytes = UpToZero(bytes);
    if (m_asciiCompatible && IsAscii(bytes)) {
        return std::wstring(bytes.begin(), bytes.end());
    }
    std::wstring out;
    common::text::DecodeCodeset(m_codeset, bytes, out);
    return out;
}

const CTextCodec& CTextCodec::System() {
    static const CTextCodec codec(common::text::SystemCodeset());
    return codec;
}

std::string WideToAnsi(const CString& text) {
    return CTextCodec::System().ToBytes(WideView(text));
}

CString AnsiToWide(std::string_view bytes) {
    // Nearly every field on the wire is a short ASCII code, number or stamp: widened on the
    // stack and copied once into the string, with no wide temporary on the heap.
    constexpr size_t kShort = 128;
    bytes = UpToZero(bytes);
    if (bytes.size() <= kShort && CTextCodec::System().KeepsAsciiAsBytes() && IsAscii(bytes)) {
        wchar_t wide[kShort];
        std::copy(bytes.begin(), bytes.end(), wide);
        return CString(wide, static_cast<int>(bytes.size()));
    }
    return ToCString(CTextCodec::System().ToWide(bytes));
}
