#include "ScriptedFrontEnd.h"

#include "ui/Dialog.h"

namespace kestrel::test {

void CScriptedFrontEnd::RunModal(ui::CDialog& dialog, const ui::CDialogTemplate& dialogTemplate) {
    m_dialog = &dialog;
    m_endModal = false;
    for (const ui::CDialogControl& control : dialogTemplate.Controls) {
        m_texts[control.Id] = control.Text;
        m_isButton[control.Id] = control.Kind == ui::EControlKind::PushButton;
    }
    dialog.HandleInitDialog();
    if (IsRunning()) {
        WasShown = true;
        if (Script) {
            Script(*this);
        }
    }
    m_dialog = nullptr;
    Timers.clear();
}

bool CScriptedFrontEnd::Tick(unsigned timerId) {
    if (!IsRunning()) {
        return false;
    }
    if (Timers.count(timerId) != 0) {
        m_dialog->HandleTimer(timerId);
    }
    return IsRunning();
}

bool CScriptedFrontEnd::Command(int commandId) {
    if (!IsRunning()) {
        return false;
    }
    m_dialog->HandleCommand(commandId);
    return IsRunning();
}

void CScriptedFrontEnd::PostQuit(int exitCode) {
    if (!m_quitPosted) {
        m_quitPosted = true;
        m_quitCode = exitCode;
    }
}

void CScriptedFrontEnd::SetTimer(unsigned id, unsigned elapseMs) {
    Timers[id] = elapseMs;
    TimerStarts.emplace_back(id, elapseMs);
}

void CScriptedFrontEnd::SetControlText(int controlId, const std::wstring& text) {
    m_texts[controlId] = text;
    if (!m_isButton[controlId]) {
        StatusHistory.push_back(text);
    }
}

std::wstring CScriptedFrontEnd::GetControlText(int controlId) const {
    const auto it = m_texts.find(controlId);
    return it == m_texts.end() ? std::wstring() : it->second;
}

int CScriptedFrontEnd::MessageBox(const std::wstring& text, const std::wstring& caption,
                                  unsigned style) {
    MessageBoxes.push_back({text, caption, style});
    if (WhileMessageBoxOpen) {
        ++m_openBoxes;
        m_closeRequested = false;
        WhileMessageBoxOpen(*this);
        --m_openBoxes;
        if (m_closeRequested) {
            m_closeRequested = false;
            ++ClosedMessageBoxes;
            return ui::SafeMessageBoxAnswer(style);
        }
    }
    if (Answers.empty()) {
        return 0;
    }
    const int answer = Answers.front();
    Answers.pop_front();
    return answer;
}

void CScriptedFrontEnd::CloseMessageBox() {
    if (m_openBoxes > 0) {
        m_closeRequested = true;
    }
}

}  // namespace kestrel::test
