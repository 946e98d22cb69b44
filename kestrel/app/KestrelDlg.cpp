#include "app/KestrelDlg.h"

#include "app/KestrelResources.h"
#include "core/CommandLine.h"

using namespace kestrel::core;

namespace kestrel::app {

namespace {

unsigned ToMessageBoxStyle(EMessageButtons buttons, EMessageIcon icon) {
    unsigned style = ui::MB_OK;
    if (buttons == EMessageButtons::YesNoCancel) {
        style = ui::MB_YESNOCANCEL;
    } else if (buttons == EMessageButtons::RetryCancel) {
        style = ui::MB_RETRYCANCEL;
    }
    // The framework draws the error icon only; the other icons are shown as plain boxes.
    if (icon == EMessageIcon::Error) {
        style |= ui::MB_ICONERROR;
    }
    return style;
}

EMessageResult ToMessageResult(int answer) {
    switch (answer) {
        case ui::IDOK:
            return EMessageResult::Ok;
        case ui::IDCANCEL:
            return EMessageResult::Cancel;
        case ui::IDRETRY:
            return EMessageResult::Retry;
        case ui::IDYES:
            return EMessageResult::Yes;
        case ui::IDNO:
            return EMessageResult::No;
        default:
            return EMessageResult::Failed;
    }
}

}  // namespace

CKestrelDlg::CKestrelDlg(IKestrelSystem& system)
    : ui::CDialog(KestrelDialogTemplate()), m_system(system) {}

bool CKestrelDlg::OnInitDialog() {
    ui::CDialog::OnInitDialog();
    // From here on every relative path (the list, its entries, private\, update_backup\)
    // resolves against the program folder, wherever Osprey started us from.
    m_system.SetCurrentDirToProgramFolder();

    bool startFailed = false;
    // Our own process is one; a second means another Kestrel from this very file is running.
    // Stopping at two keeps the scan short.
    if (m_system.CountProcessesWithModule(m_system.GetProgramPath(), 2) > 1) {
        startFailed = true;
    }
    wchar_t argument[kArgumentCapacity] = {};
    const std::wstring commandLine = m_system.GetCommandLine();
    if (!GetCommandLineArg(commandLine.c_str(), 1, argument, kArgumentCapacity)) {
        startFailed = true;
    } else {
        m_strRestartArgs = argument;
    }

    if (startFailed) {
        EndDialog(ui::IDCANCEL);
        PostQuitMessage(0);
        return true;
    }
    m_strRestartArgs += kRestartMarker;
    SetTimer(kWaitTimerId, kFirstCheckMs);
    SetStatusText(kStatusWaiting);
    return true;
}

void CKestrelDlg::OnTimer(unsigned id) {
    if (id == kWaitTimerId) {
        OnWaitTimer();
    }
    ui::CDialog::OnTimer(id);
}

void CKestrelDlg::OnWaitTimer() {
    // Only "is any process using it" matters, so the scan stops at the first hit.
    if (m_system.CountProcessesWithModule(GetOspreyPath(), 1) > 0) {
        SetTimer(kWaitTimerId, kRecheckMs);
        return;
    }
    // Stopped before applying, so a slow list can never run this handler twice.
    KillTimer(kWaitTimerId);
    if (m_askingToExit) {
        // The exit question's loop delivered this tick. The question has lost its reason: it
        // is closed unanswered, and the update goes on once its loop has returned (OnOK), so
        // that the list's own prompts never open on top of it.
        m_waitEndedWhileAsking = true;
        CloseMessageBox();
        return;
    }
    ApplyAndRestart();
}

void CKestrelDlg::ApplyAndRestart() {
    SetStatusText(kStatusApplying);
    if (m_system.ApplyCoverFileList(kCoverFileListPath, *this)) {
        m_system.DeleteFileForced(kCoverFileListPath);
        RestartOsprey();
    } else {
        MessageBox(kApplyFailedText, kPromptCaption, ui::MB_OK);
    }
    PostQuitMessage(0);
}

void CKestrelDlg::RestartOsprey() {
    if (!m_system.LaunchProgram(GetOspreyPath(), m_strRestartArgs)) {
        MessageBox(kLaunchFailedText, kErrorCaption, ui::MB_OK | ui::MB_ICONERROR);
    }
}

void CKestrelDlg::OnOK() {
    m_askingToExit = true;
    const int answer = MessageBox(kExitQuestion, kPromptCaption, ui::MB_YESNOCANCEL);
    m_askingToExit = false;
    // Osprey.exe ended while the question was open: whatever came back, the update goes on.
    if (m_waitEndedWhileAsking) {
        m_waitEndedWhileAsking = false;
        ApplyAndRestart();
        return;
    }
    if (answer == ui::IDYES) {
        ui::CDialog::OnOK();
    }
}

// Esc and the close box ask the same question as the button.
void CKestrelDlg::OnCancel() {
    OnOK();
}

void CKestrelDlg::SetStatusText(const std::wstring& text) {
    SetDlgItemText(IDC_STATUS_TEXT, text);
}

const std::wstring& CKestrelDlg::GetOspreyPath() {
    if (m_ospreyPath.empty()) {
        m_ospreyPath = m_system.GetProgramFolder() + kOspreyFileName;
    }
    return m_ospreyPath;
}

EMessageResult CKestrelDlg::Show(const std::wstring& text, const std::wstring& caption,
                                 EMessageButtons buttons, EMessageIcon icon) {
    return ToMessageResult(MessageBox(text, caption, ToMessageBoxStyle(buttons, icon)));
}

}  // namespace kestrel::app
