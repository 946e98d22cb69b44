#include "platform/CaseFold.h"

#include <windows.h>

namespace kestrel::platform {

wchar_t FoldCase(wchar_t ch) {
    if (ch < 0x80) {
        return (ch >= L'A' && ch <= L'Z') ? static_cast<wchar_t>(ch + (L'a' - L'A')) : ch;
    }
    // The single-character form of CharLowerW: Unicode's mapping, not the thread's locale.
    const ULONG_PTR lowered = reinterpret_cast<ULONG_PTR>(
        ::CharLowerW(reinterpret_cast<LPWSTR>(static_cast<ULONG_PTR>(static_cast<unsigned>(ch)))));
    return static_cast<wchar_t>(lowered & 0xFFFF);
}

}  // namespace kestrel::platform
