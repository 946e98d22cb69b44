#include "ui/WindowedFrontEnd.h"

#include "ui/win32/Win32FrontEnd.h"

namespace kestrel::ui {

// KESTREL_CONSOLE=1 keeps the program on the console even where windows could be shown: the
// headless runs of the test suite read its status lines and answer its message boxes there.
bool ConsoleRequested() {
    wchar_t value[8];
    const DWORD length = ::GetEnvironmentVariableW(L"KESTREL_CONSOLE", value, 8);
    return length > 0 && length < 8 && value[0] != L'0';
}

std::unique_ptr<IDialogFrontEnd> TryCreateWindowedFrontEnd() {
    return CWin32FrontEnd::TryCreate();
}

}  // namespace kestrel::ui
