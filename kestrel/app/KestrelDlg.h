#pragma once
// CKestrelDlg: Kestrel's one window. It refuses a second instance and a missing argument,
// waits (by timer, never by blocking) until no process has <program folder>Osprey.exe loaded,
// applies and deletes the cover-file list, and starts Osprey.exe again with the argument it
// was given followed by "Kestrel". Every way of closing it asks first; a question still open
// when the wait ends closes itself, and the update goes on as if it had not been asked.
//
// Threading: the front-end's thread only. The dialog is also the owner of the cover-file
// list's prompts (IMessageBox), which it shows as its own message boxes.
#include <string>

#include "app/KestrelSystem.h"
#include "core/MessageBox.h"
#include "ui/Dialog.h"

namespace kestrel::app {

class CKestrelDlg : public ui::CDialog, private core::IMessageBox {
  public:
    inline static constexpr unsigned kWaitTimerId = 1;
    inline static constexpr unsigned kFirstCheckMs = 1000;
    // Asked for as 1 ms; the framework raises it to its 10 ms floor.
    inline static constexpr unsigned kRecheckMs = 1;
    // Argument 1 is read into this many characters, terminator included.
    inline static constexpr size_t kArgumentCapacity = 256;

    // `system` is not owned and must outlive the dialog.
    explicit CKestrelDlg(IKestrelSystem& system);

    // Argument 1 followed by " Kestrel" once the start succeeded; empty before.
    const std::wstring& GetRestartArgs() const { return m_strRestartArgs; }

  protected:
    bool OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;
    void OnTimer(unsigned id) override;

  private:
    void OnWaitTimer();
    void ApplyAndRestart();
    void RestartOsprey();
    void SetStatusText(const std::wstring& text);
    const std::wstring& GetOspreyPath();
    core::EMessageResult Show(const std::wstring& text, const std::wstring& caption,
                              core::EMessageButtons buttons, core::EMessageIcon icon) override;

    IKestrelSystem& m_system;
    std::wstring m_strRestartArgs;
    // <program folder>Osprey.exe, made once: the wait asks for it a hundred times a second.
    std::wstring m_ospreyPath;
    bool m_askingToExit = false;          // the exit question is open
    bool m_waitEndedWhileAsking = false;  // ... and Osprey.exe ended meanwhile
};

}  // namespace kestrel::app
