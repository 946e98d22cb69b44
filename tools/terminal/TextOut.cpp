#include "TextOut.h"

#include <unistd.h>

#include <cstdio>
#include <mutex>

namespace term {

namespace {

std::mutex g_outputLock;
bool g_progressShown = false;  // guarded by g_outputLock

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

}  // namespace

std::string Utf8(const wchar_t* text) {
    std::string out;
    for (const wchar_t* p = text; p != nullptr && *p != 0; ++p) {
        const auto c = static_cast<char32_t>(*p);
        if (c < 0x20 || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
            continue;
        }
        AppendUtf8(out, c);
    }
    return out;
}

std::string Utf8(const CString& text) {
    return Utf8(text.GetString());
}

CString Wide(const std::string& ascii) {
    std::wstring wide;
    for (const char c : ascii) {
        wide += static_cast<wchar_t>(static_cast<unsigned char>(c));
    }
    return CString(wide);
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
