#include "TextOut.h"

#include <unistd.h>

#include <cstdio>
#include <mutex>
#include <type_traits>

#include "common/text/Utf8.h"
#include "vocabulary/WideText.h"

namespace term {

namespace {

std::mutex g_outputLock;
bool g_progressShown = false;  // guarded by g_outputLock

}  // namespace

std::string Utf8(const wchar_t* text) {
    std::wstring shown;
    for (const wchar_t* p = text; p != nullptr && *p != 0; ++p) {
        if (static_cast<std::make_unsigned_t<wchar_t>>(*p) >= 0x20) {
            shown += *p;
        }
    }
    return common::text::WideToUtf8(shown, common::text::Unencodable::Skip);
}

std::string Utf8(const CString& text) {
    return Utf8(text.GetString());
}

CString Wide(const std::string& ascii) {
    std::wstring wide;
    for (const char c : ascii) {
        wide += static_cast<wchar_t>(static_cast<unsigned char>(c));
    }
    return ToCString(wide);
}

void PrintLine(const std::string& text) {
    const std::lock_guard<std::mutex> guard(g_outputLock);
    if (g_progressShown) {
        (void)std::fputs("\n", stdout);
        g_progressShown = false;
    }
    (void)std::fputs(text.c_str(), stdout);
    (void)std::fputs("\n", stdout);
    (void)std::fflush(stdout);
}

void PrintProgress(const std::string& text) {
    const std::lock_guard<std::mutex> guard(g_outputLock);
    // Rewriting a line in place only makes sense on a screen; a log gets the first state.
    static const bool onScreen = isatty(STDOUT_FILENO) != 0;
    if (!onScreen) {
        if (!g_progressShown) {
            (void)std::fputs(text.c_str(), stdout);
            (void)std::fflush(stdout);
            g_progressShown = true;
        }
        return;
    }
    (void)std::fputs("\r", stdout);
    (void)std::fputs(text.c_str(), stdout);
    (void)std::fputs("\x1b[K", stdout);
    (void)std::fflush(stdout);
    g_progressShown = true;
}

std::string FormatPrice(double price, int digits) {
    char text[64];
    (void)std::snprintf(text, sizeof text, "%.*f", digits, price);
    return text;
}

std::string FormatTrigger(double price, int digits) {
    return price > 0 ? FormatPrice(price, digits) : "-";
}

std::string FormatMoney(double amount) {
    char text[64];
    (void)std::snprintf(text, sizeof text, "%.2f", amount);
    return text;
}

std::string FormatLots(double lots) {
    char text[64];
    (void)std::snprintf(text, sizeof text, "%.2f", lots);
    return text;
}

}  // namespace term
