#include "CallbackPrinter.h"

#include <algorithm>

void CCallbackPrinter::SetPrefix(std::string prefix) {
    std::lock_guard<std::mutex> guard(m_mutex);
    m_prefix = std::move(prefix);
}

void CCallbackPrinter::Emit(const std::string& text) {
    std::lock_guard<std::mutex> guard(m_mutex);
    size_t start = 0;
    while (start <= text.size()) {
        const size_t end = std::min(text.find('\n', start), text.size());
        m_output(m_prefix + text.substr(start, end - start));
        start = end + 1;
    }
}

void CCallbackPrinter::OnValue(const char* name, const char* field, const CString& text) {
    std::string line = std::string(name) + " " + field + "=";
    RecordText::AppendText(line, text);
    Emit(line);
}

void CCallbackPrinter::OnRecord(const char* name, const CAccountInfo& account) {
    std::string text = name;
    RecordText::Append(text, account);
    for (INT_PTR i = 0; i < account.Funds.GetSize(); ++i) {
        text += "\n  - fund";
        RecordText::Append(text, account.Funds.GetAt(i));
    }
    for (INT_PTR i = 0; i < account.Merchs.GetSize(); ++i) {
        text += "\n  - merch";
        RecordText::Append(text, account.Merchs.GetAt(i));
    }
    Emit(text);
}
