#pragma once
// CWinApp: the application object, MFC-style. The program's main() hands its arguments to
// RunWinApp, which picks a front-end (GTK when a display can be opened, the console otherwise),
// runs InitInstance on the calling thread and returns the exit code.
#include <memory>

#include "ui/DialogFrontEnd.h"

namespace kestrel::ui {

class CDialog;

class CWinApp {
  public:
    CWinApp() = default;
    virtual ~CWinApp() = default;
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    // Returns false when the program should end without a message loop of its own (a dialog
    // program runs its dialog inside InitInstance and then returns false).
    virtual bool InitInstance() = 0;

    // The front-end for this run; valid during InitInstance.
    IDialogFrontEnd& FrontEnd() const { return *m_frontEnd; }

    // Runs the application with the given front-end (tests hand in their own); returns the code
    // of the quit message, 0 when none was posted.
    int Run(IDialogFrontEnd& frontEnd);

  protected:
    CDialog* m_pMainWnd = nullptr;  // not owned

  private:
    IDialogFrontEnd* m_frontEnd = nullptr;
};

// Creates the windowed front-end (GTK, Win32) when it can be shown and KESTREL_CONSOLE does not
// ask for the console, else the console front-end. The
// toolkit never sees the program's arguments: they belong to the program (an argument such as
// "--display" must reach it untouched).
std::unique_ptr<IDialogFrontEnd> CreateFrontEnd();

// main() of a dialog program: CreateFrontEnd, then app.Run.
int RunWinApp(CWinApp& app);

}  // namespace kestrel::ui
