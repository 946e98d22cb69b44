#include "ui/WinApp.h"

#include <cstdlib>

#include "ui/ConsoleFrontEnd.h"
#include "ui/GtkFrontEnd.h"

namespace kestrel::ui {

namespace {

// KESTREL_CONSOLE=1 keeps the program on the console even where a display could be opened:
// support staff and scripts can then read its status lines and answer its message boxes on a
// desktop too. Any value but an empty one or one starting with '0' counts.
bool ConsoleRequested() {
    const char* value = std::getenv("KESTREL_CONSOLE");
    return value != nullptr && value[0] != '\0' && value[0] != '0';
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
        if (auto gtk = CGtkFrontEnd::TryCreate()) {
            return gtk;
        }
    }
    return std::make_unique<CConsoleFrontEnd>();
}

int RunWinApp(CWinApp& app) {
    const auto frontEnd = CreateFrontEnd();
    return app.Run(*frontEnd);
}

}  // namespace kestrel::ui
