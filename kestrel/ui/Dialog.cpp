#include "ui/Dialog.h"

#include <algorithm>

namespace kestrel::ui {

CDialog::CDialog(const CDialogTemplate& dialogTemplate) : m_template(dialogTemplate) {}

int CDialog::DoModal(IDialogFrontEnd& frontEnd) {
    m_frontEnd = &frontEnd;
    m_result = -1;
    m_ended = false;
    // A quit posted earlier ends every later loop at once, as WM_QUIT does in a modal loop.
    if (!frontEnd.IsQuitPosted()) {
        frontEnd.RunModal(*this, m_template);
    }
    m_frontEnd = nullptr;
    return m_result;
}

void CDialog::HandleInitDialog() {
    OnInitDialog();
}

void CDialog::HandleTimer(unsigned id) {
    if (m_ended) {
        return;
    }
    OnTimer(id);
}

void CDialog::HandleCommand(int commandId) {
    if (m_ended) {
        return;
    }
    if (commandId == IDOK) {
        OnOK();
    } else if (commandId == IDCANCEL) {
        OnCancel();
    }
}

void CDialog::OnOK() {
    EndDialog(IDOK);
}

void CDialog::OnCancel() {
    EndDialog(IDCANCEL);
}

void CDialog::OnTimer(unsigned) {}

unsigned CDialog::SetTimer(unsigned id, unsigned elapseMs) {
    if (m_frontEnd == nullptr) {
        return 0;
    }
    m_frontEnd->SetTimer(id, std::max(elapseMs, USER_TIMER_MINIMUM));
    return id;
}

bool CDialog::KillTimer(unsigned id) {
    if (m_frontEnd == nullptr) {
        return false;
    }
    m_frontEnd->KillTimer(id);
    return true;
}

void CDialog::SetDlgItemText(int controlId, const std::wstring& text) {
    if (m_frontEnd != nullptr) {
        m_frontEnd->SetControlText(controlId, text);
    }
}

std::wstring CDialog::GetDlgItemText(int controlId) const {
    return m_frontEnd == nullptr ? std::wstring() : m_frontEnd->GetControlText(controlId);
}

int CDialog::MessageBox(const std::wstring& text, const std::wstring& caption, unsigned style) {
    if (m_frontEnd == nullptr) {
        return 0;
    }
    return m_frontEnd->MessageBox(text, caption, style);
}

void CDialog::CloseMessageBox() {
    if (m_frontEnd != nullptr) {
        m_frontEnd->CloseMessageBox();
    }
}

void CDialog::EndDialog(int result) {
    if (m_frontEnd == nullptr) {
        return;
    }
    m_result = result;
    m_ended = true;
    m_frontEnd->EndModal();
}

void CDialog::PostQuitMessage(int exitCode) {
    if (m_frontEnd != nullptr) {
        m_frontEnd->PostQuit(exitCode);
    }
}

}  // namespace kestrel::ui
