#include "ui/WinApp.h"

#include "ui/ConsoleFrontEnd.h"
#include "ui/WindowedFrontEnd.h"

namespace kestrel::ui {

int CWinApp::Run(IDialogFrontEnd& frontEnd) {
    m_frontEnd = &frontEnd;
    InitInstance();
    m_frontEnd = nullptr;
    return frontEnd.IsQuitPosted() ? frontEnd.GetQuitCode() : 0;
}

std::unique_ptr<IDialogFrontEnd> CreateFrontEnd() {
    if (!ConsoleRequested()) {
        if (auto windowed = TryCreateWindowedFrontEnd()) {
            return windowed;
        }
    }
    return std::make_unique<CConsoleFrontEnd>();
}

int RunWinApp(CWinApp& app) {
    const auto frontEnd = CreateFrontEnd();
    return app.Run(*frontEnd);
}

}  // namespace kestrel::ui
