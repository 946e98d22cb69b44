#pragma once
// The seam between the dialog framework and a toolkit. A front-end turns a template into a
// window, runs the modal loop and feeds the dialog its events (init, timers, commands); the
// dialog's logic is written once against CDialog and never sees the toolkit.
//
// Threading: a front-end and the dialogs it shows live on one thread, the thread that made it.
// Every member is called on that thread, the dialog's handlers run on it, and nothing here
// blocks that thread except the loop itself and a message box waiting for its answer.
#include <string>

#include "ui/DialogTemplate.h"

namespace kestrel::ui {

class CDialog;

class IDialogFrontEnd {
  public:
    virtual ~IDialogFrontEnd() = default;

    // Builds the dialog's window from its template (not yet visible), calls
    // dialog.HandleInitDialog(), shows the window unless the dialog has already ended, and then
    // dispatches timers and commands to the dialog until EndModal or PostQuit. Handlers may call
    // any member below, EndModal and PostQuit included; the loop stops once they return. The
    // window is gone when this returns. One modal dialog at a time.
    virtual void RunModal(CDialog& dialog, const CDialogTemplate& dialogTemplate) = 0;

    // Ends the current modal loop (EndDialog).
    virtual void EndModal() = 0;
    // Ends the current modal loop and every later one; the code becomes the program's exit code.
    virtual void PostQuit(int exitCode) = 0;
    virtual bool IsQuitPosted() const = 0;
    virtual int GetQuitCode() const = 0;

    // Starts or restarts timer `id`; the first and every later tick come `elapseMs` apart until
    // KillTimer. Intervals below USER_TIMER_MINIMUM have been raised by the caller.
    virtual void SetTimer(unsigned id, unsigned elapseMs) = 0;
    virtual void KillTimer(unsigned id) = 0;

    virtual void SetControlText(int controlId, const std::wstring& text) = 0;
    virtual std::wstring GetControlText(int controlId) const = 0;

    // Shows a message box owned by the current dialog (or by nothing outside a dialog) and
    // waits for the answer: one of IDOK, IDCANCEL, IDRETRY, IDYES, IDNO.
    virtual int MessageBox(const std::wstring& text, const std::wstring& caption,
                           unsigned style) = 0;
    // Closes the message box that is waiting for its answer, unanswered, for a handler that runs
    // while it is open (its loop goes on delivering timers). That MessageBox call returns the
    // safe answer (SafeMessageBoxAnswer), as when the user dismisses a box, once control is
    // back in the box's loop. The innermost box when boxes are nested; nothing when none is open.
    virtual void CloseMessageBox() = 0;
};

}  // namespace kestrel::ui
