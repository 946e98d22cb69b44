#pragma once
// CDialog: a modal dialog built from a template, MFC-style. Subclasses override the handlers;
// the operations (timers, texts, message boxes, ending) are valid only while DoModal runs and
// only on the front-end's thread.
#include <string>

#include "ui/DialogFrontEnd.h"
#include "ui/DialogTemplate.h"
#include "ui/DialogTypes.h"

namespace kestrel::ui {

class CDialog {
  public:
    // The template is not copied: it must outlive the dialog (resources are static data).
    explicit CDialog(const CDialogTemplate& dialogTemplate);
    virtual ~CDialog() = default;
    CDialog(const CDialog&) = delete;
    CDialog& operator=(const CDialog&) = delete;

    // Shows the dialog through the front-end and returns the EndDialog result, or -1 when the
    // loop ended by a quit message without EndDialog.
    int DoModal(IDialogFrontEnd& frontEnd);

    // Entry points for front-ends.
    void HandleInitDialog();
    void HandleTimer(unsigned id);
    // A command from a push button (its control id), Enter (the default button's id), or the
    // cancel gestures (Esc, the close box), which all arrive as IDCANCEL.
    void HandleCommand(int commandId);
    bool HasEnded() const { return m_ended; }

  protected:
    // Called before the window is first shown. The return value says whether the front-end
    // should give the default focus (always honoured by showing the window as built).
    virtual bool OnInitDialog() { return true; }
    // Base behaviours: end the dialog with IDOK / IDCANCEL.
    virtual void OnOK();
    virtual void OnCancel();
    virtual void OnTimer(unsigned id);

    // Intervals below USER_TIMER_MINIMUM are raised to it. Restarting a running timer replaces
    // it. Returns the timer id, or 0 outside DoModal.
    unsigned SetTimer(unsigned id, unsigned elapseMs);
    bool KillTimer(unsigned id);
    void SetDlgItemText(int controlId, const std::wstring& text);
    std::wstring GetDlgItemText(int controlId) const;
    int MessageBox(const std::wstring& text, const std::wstring& caption, unsigned style = MB_OK);
    // From a handler that runs while one of this dialog's message boxes is open: closes that
    // box unanswered; its MessageBox returns the safe answer (IDCANCEL, else IDNO, else IDOK).
    void CloseMessageBox();
    void EndDialog(int result);
    void PostQuitMessage(int exitCode);

    IDialogFrontEnd* FrontEnd() const { return m_frontEnd; }

  private:
    const CDialogTemplate& m_template;
    IDialogFrontEnd* m_frontEnd = nullptr;
    int m_result = -1;
    bool m_ended = false;
};

}  // namespace kestrel::ui
