#include "ui/WinApp.h"

#include "ui/ConsoleFrontEnd.h"
#include "ui/win32/Win32FrontEnd.h"

namespace kestrel::ui {

namespace {

// KESTREL_CONSOLE=1 keeps the program on the console even where windows could be shown: the
// headless runs of the test suite read its status lines and answer its message boxes there.
bool ConsoleRequested() {
    wchar_t value[8];
    const DWORD length = ::GetEnvironmentVariableW(L"KESTREL_CONSOLE", value, 8);
    return length > 0 && length < 8 && value[0] != L'0';
}

}  // namespace

int CWinApp::Run(IDialogFrontEnd& frontEnd) {
    m_frontEnd = &frontEnd;
    InitInstance();
    m_frontEnd = nullptr;
    return frontEnd.IsQuitPosted() ? frontEnd.GetQuitCode() : 0;
}

std::unique_ptr<IDialogFrontEnd> CreateFrontEnd() {
    if (!ConsoleRequested()) {
        if (auto windows = CWin32FrontEnd::TryCreate()) {
            return windows;
        }
    }
    return std::make_unique<CConsoleFrontEnd>();
}

int RunWinApp(CWinApp& app) {
    const auto frontEnd = CreateFrontEnd();
    return app.Run(*frontEnd);
}

}  // namespace kestrel::ui
