#include "ui/ModalFrontEnd.h"

namespace kestrel::ui {

void CModalFrontEnd::EndModal() {
    m_endModal = true;
    StopLoop();
}

void CModalFrontEnd::PostQuit(int exitCode) {
    if (m_quitPosted) {
        return;
    }
    m_quitPosted = true;
    m_quitCode = exitCode;
    StopLoop();
}

}  // namespace kestrel::ui
