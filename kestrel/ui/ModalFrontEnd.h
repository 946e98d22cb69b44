#pragma once
// What every front-end keeps about the end of its modal loop: whether the running dialog has
// ended, and whether a quit has been posted with which code. A toolkit whose loop sleeps inside
// the toolkit overrides StopLoop to wake it; the others test the flags after every event.
//
// Threading: the front-end's one thread, as for every member of IDialogFrontEnd. The flags are
// written by handlers and the loop on that thread only.
#include "ui/DialogFrontEnd.h"

namespace kestrel::ui {

class CModalFrontEnd : public IDialogFrontEnd {
  public:
    void EndModal() override;
    // The first quit's code stands; a later one changes nothing.
    void PostQuit(int exitCode) override;
    bool IsQuitPosted() const final { return m_quitPosted; }
    int GetQuitCode() const final { return m_quitCode; }

  protected:
    // Makes the running modal loop see the flags.
    virtual void StopLoop() {}

    bool m_endModal = false;  // the running dialog has ended; RunModal clears it
    bool m_quitPosted = false;
    int m_quitCode = 0;
};

}  // namespace kestrel::ui
