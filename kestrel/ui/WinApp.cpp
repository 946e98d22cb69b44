#include "WinApp.h"

#include "ConsoleFrontEnd.h"
#include "GtkFrontEnd.h"

namespace kestrel::ui {

int CWinApp::Run(IDialogFrontEnd& frontEnd) {
    m_frontEnd = &frontEnd;
    InitInstance();
    m_frontEnd = nullptr;
    return frontEnd.IsQuitPosted() ? frontEnd.GetQuitCode() : 0;
}

std::unique_ptr<IDialogFrontEnd> CreateFrontEnd() {
    if (auto gtk = CGtkFrontEnd::TryCreate()) {
        return gtk;
    }
    return std::make_unique<CConsoleFrontEnd>();
}

int RunWinApp(CWinApp& app) {
    const auto frontEnd = CreateFrontEnd();
    return app.Run(*frontEnd);
}

}  // namespace kestrel::ui
