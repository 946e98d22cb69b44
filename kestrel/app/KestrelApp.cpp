#include "app/KestrelApp.h"

#include "app/KestrelDlg.h"

namespace kestrel::app {

CKestrelApp::CKestrelApp() : m_system(m_machine) {}

CKestrelApp::CKestrelApp(IKestrelSystem& system) : m_system(system) {}

bool CKestrelApp::InitInstance() {
    CKestrelDlg dialog(m_system);
    m_pMainWnd = &dialog;
    dialog.DoModal(FrontEnd());
    m_pMainWnd = nullptr;
    return false;
}

}  // namespace kestrel::app
