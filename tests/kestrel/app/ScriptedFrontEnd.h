#pragma once
// A front-end driven by the test instead of a toolkit: it records what the dialog asks for
// (timers, texts, message boxes, ending) and lets the test deliver timer ticks and commands.
// Message boxes take their answers from a queue; an empty queue gives 0 (a box that failed).
// WhileMessageBoxOpen runs while a box is open (ticks may be delivered from there, as a box's
// own loop does); a box closed from there gives the safe answer and takes none from the queue.
#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "ui/DialogFrontEnd.h"

namespace kestrel::test {

struct CShownMessageBox {
    std::wstring Text;
    std::wstring Caption;
    unsigned Style = 0;
};

class CScriptedFrontEnd final : public ui::IDialogFrontEnd {
  public:
    // Runs once the dialog is initialised and shown (not when it ended during init); returns
    // when the script is done or the dialog ended.
    std::function<void(CScriptedFrontEnd&)> Script;
    std::deque<int> Answers;
    std::function<void(CScriptedFrontEnd&)> WhileMessageBoxOpen;

    // What happened.
    bool WasShown = false;
    std::map<unsigned, unsigned> Timers;  // running timers: id -> interval
    std::vector<std::pair<unsigned, unsigned>> TimerStarts;
    std::vector<std::wstring> StatusHistory;  // every SetControlText of a text control
    std::vector<CShownMessageBox> MessageBoxes;
    int ClosedMessageBoxes = 0;  // boxes closed by CloseMessageBox

    // Test actions; they return false once the dialog has ended.
    bool Tick(unsigned timerId);
    bool Command(int commandId);

    void RunModal(ui::CDialog& dialog, const ui::CDialogTemplate& dialogTemplate) override;
    void EndModal() override { m_endModal = true; }
    void PostQuit(int exitCode) override;
    bool IsQuitPosted() const override { return m_quitPosted; }
    int GetQuitCode() const override { return m_quitCode; }
    void SetTimer(unsigned id, unsigned elapseMs) override;
    void KillTimer(unsigned id) override { Timers.erase(id); }
    void SetControlText(int controlId, const std::wstring& text) override;
    std::wstring GetControlText(int controlId) const override;
    int MessageBox(const std::wstring& text, const std::wstring& caption, unsigned style) override;
    void CloseMessageBox() override;

    bool IsRunning() const { return m_dialog != nullptr && !m_endModal && !m_quitPosted; }

  private:
    ui::CDialog* m_dialog = nullptr;
    std::map<int, std::wstring> m_texts;
    std::map<int, bool> m_isButton;
    int m_openBoxes = 0;
    bool m_closeRequested = false;
    bool m_endModal = false;
    bool m_quitPosted = false;
    int m_quitCode = -1;
};

}  // namespace kestrel::test
