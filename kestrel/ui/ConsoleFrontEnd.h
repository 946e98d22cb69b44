#pragma once
// The console front-end: for runs without a display. The window's caption and status texts are
// written to the error stream as UTF-8 (whatever the locale), one line each time they change;
// a message box writes its caption, text and choices ("[Y]es [N]o [C]ancel") and reads one
// line: its first letter, in either case, chooses; an empty or unknown line asks again; the end
// of input chooses the safe answer (Cancel, else No, else OK). There is no console counterpart
// of Esc, the close box or the push buttons.
//
// Timers are served by the loop itself, which sleeps until the next one is due: waiting costs
// no processor time. A dialog without timers simply stays open, as it would on a desktop.
#include <chrono>
#include <iosfwd>
#include <map>
#include <string>

#include "ui/ModalFrontEnd.h"

namespace kestrel::ui {

class CConsoleFrontEnd final : public CModalFrontEnd {
  public:
    // Writes to std::cerr and reads from std::cin.
    CConsoleFrontEnd();
    // Streams are not owned and must outlive the front-end (tests hand in string streams).
    CConsoleFrontEnd(std::istream& input, std::ostream& output);

    void RunModal(CDialog& dialog, const CDialogTemplate& dialogTemplate) override;
    void SetTimer(unsigned id, unsigned elapseMs) override;
    void KillTimer(unsigned id) override;
    void SetControlText(int controlId, const std::wstring& text) override;
    std::wstring GetControlText(int controlId) const override;
    int MessageBox(const std::wstring& text, const std::wstring& caption, unsigned style) override;
    // A console message box blocks on its input line and serves no timers meanwhile, so no
    // handler can run while one is open: nothing to close.
    void CloseMessageBox() override {}

  private:
    using Clock = std::chrono::steady_clock;
    struct CTimer {
        std::chrono::milliseconds Elapse{};
        Clock::time_point Due{};
        unsigned long long Generation = 0;  // tells a restarted timer from the one that fired
    };

    void ShowWindow(const CDialogTemplate& dialogTemplate);
    void FireNextTimer();
    void WriteLine(const std::wstring& text);

    std::istream& m_input;
    std::ostream& m_output;
    CDialog* m_dialog = nullptr;
    std::map<int, std::wstring> m_controlTexts;
    std::map<int, bool> m_isTextControl;  // only text controls are echoed
    std::map<unsigned, CTimer> m_timers;
    unsigned long long m_nextGeneration = 1;
    bool m_shown = false;
};

}  // namespace kestrel::ui
