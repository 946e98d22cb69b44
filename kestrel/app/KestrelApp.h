#pragma once
// CKestrelApp: the application object. InitInstance runs the dialog modally and always returns
// false, so the program ends when the dialog ends. One global instance lives in main.cpp.
#include "app/KestrelSystem.h"
#include "ui/WinApp.h"

namespace kestrel::app {

class CKestrelApp final : public ui::CWinApp {
  public:
    // Runs against this machine.
    CKestrelApp();
    // Runs against `system` (not owned; must outlive the application).
    explicit CKestrelApp(IKestrelSystem& system);

    bool InitInstance() override;

  private:
    CKestrelSystem m_machine;
    IKestrelSystem& m_system;
};

}  // namespace kestrel::app
