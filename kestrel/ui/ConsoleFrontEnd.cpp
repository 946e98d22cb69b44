#include "ui/ConsoleFrontEnd.h"

#include <algorithm>
#include <cctype>
#include <iostream>
#include <thread>
#include <vector>

#include "common/text/Utf8.h"
#include "ui/Dialog.h"

namespace kestrel::ui {

using common::text::WideToUtf8;

namespace {

struct CChoice {
    char Letter;
    int Answer;
};

struct CButtonSet {
    const char* Prompt;
    std::vector<CChoice> Choices;
};

const CButtonSet& ButtonSetFor(unsigned style) {
    static const CButtonSet yesNoCancel{"[Y]es [N]o [C]ancel",
                                        {{'y', IDYES}, {'n', IDNO}, {'c', IDCANCEL}}};
    static const CButtonSet retryCancel{"[R]etry [C]ancel", {{'r', IDRETRY}, {'c', IDCANCEL}}};
    static const CButtonSet ok{"[O]K", {{'o', IDOK}}};
    switch (style & MB_TYPEMASK) {
        case MB_YESNOCANCEL:
            return yesNoCancel;
        case MB_RETRYCANCEL:
            return retryCancel;
        default:
            return ok;
    }
}

// The answer a typed line stands for, or 0 when it names none of the choices. Leading blanks
// are forgiven; the first letter decides whatever follows it ("yes", "Y", "y!" all choose Yes).
int AnswerFor(const std::string& line, const CButtonSet& buttons) {
    const auto first = line.find_first_not_of(" \t\r");
    if (first == std::string::npos) {
        return 0;
    }
    const char letter = static_cast<char>(std::tolower(static_cast<unsigned char>(line[first])));
    for (const CChoice& choice : buttons.Choices) {
        if (choice.Letter == letter) {
            return choice.Answer;
        }
    }
    return 0;
}

}  // namespace

CConsoleFrontEnd::CConsoleFrontEnd() : CConsoleFrontEnd(std::cin, std::cerr) {}

CConsoleFrontEnd::CConsoleFrontEnd(std::istream& input, std::ostream& output)
    : m_input(input), m_output(output) {}

void CConsoleFrontEnd::RunModal(CDialog& dialog, const CDialogTemplate& dialogTemplate) {
    m_dialog = &dialog;
    m_endModal = false;
    m_shown = false;
    m_timers.clear();
    m_controlTexts.clear();
    m_isTextControl.clear();
    for (const CDialogControl& control : dialogTemplate.Controls) {
        m_controlTexts[control.Id] = control.Text;
        m_isTextControl[control.Id] = control.Kind == EControlKind::CentredText;
    }

    dialog.HandleInitDialog();
    if (!m_endModal && !m_quitPosted) {
        ShowWindow(dialogTemplate);
    }
    while (!m_endModal && !m_quitPosted) {
        if (m_timers.empty()) {
            std::this_thread::sleep_for(std::chrono::seconds(1));
            continue;
        }
        FireNextTimer();
    }
    m_timers.clear();
    m_shown = false;
    m_dialog = nullptr;
}

void CConsoleFrontEnd::ShowWindow(const CDialogTemplate& dialogTemplate) {
    m_shown = true;
    WriteLine(dialogTemplate.Caption);
    for (const CDialogControl& control : dialogTemplate.Controls) {
        if (control.Kind == EControlKind::CentredText) {
            WriteLine(m_controlTexts[control.Id]);
        }
    }
}

void CConsoleFrontEnd::FireNextTimer() {
    auto next = m_timers.begin();
    for (auto it = m_timers.begin(); it != m_timers.end(); ++it) {
        if (it->second.Due < next->second.Due) {
            next = it;
        }
    }
    const unsigned id = next->first;
    const CTimer fired = next->second;
    std::this_thread::sleep_until(fired.Due);

    m_dialog->HandleTimer(id);

    // The handler may have killed or restarted the timer; only an untouched one is re-armed.
    const auto still = m_timers.find(id);
    if (still == m_timers.end() || still->second.Generation != fired.Generation) {
        return;
    }
    // Like a system timer, ticks that fell due while the handler ran collapse into one.
    still->second.Due = std::max(fired.Due + fired.Elapse, Clock::now());
}

void CConsoleFrontEnd::SetTimer(unsigned id, unsigned elapseMs) {
    CTimer& timer = m_timers[id];
    timer.Elapse = std::chrono::milliseconds(elapseMs);
    timer.Due = Clock::now() + timer.Elapse;
    timer.Generation = m_nextGeneration++;
}

void CConsoleFrontEnd::KillTimer(unsigned id) {
    m_timers.erase(id);
}

void CConsoleFrontEnd::SetControlText(int controlId, const std::wstring& text) {
    std::wstring& current = m_controlTexts[controlId];
    const bool changed = current != text;
    current = text;
    if (m_shown && changed && m_isTextControl[controlId]) {
        WriteLine(text);
    }
}

std::wstring CConsoleFrontEnd::GetControlText(int controlId) const {
    const auto it = m_controlTexts.find(controlId);
    return it == m_controlTexts.end() ? std::wstring() : it->second;
}

int CConsoleFrontEnd::MessageBox(const std::wstring& text, const std::wstring& caption,
                                 unsigned style) {
    const CButtonSet& buttons = ButtonSetFor(style);
    m_output << WideToUtf8(caption) << ": " << WideToUtf8(text) << '\n';
    for (;;) {
        m_output << buttons.Prompt << " " << std::flush;
        std::string line;
        if (!std::getline(m_input, line)) {
            m_output << '\n' << std::flush;
            return SafeMessageBoxAnswer(style);
        }
        if (const int answer = AnswerFor(line, buttons)) {
            return answer;
        }
    }
}

void CConsoleFrontEnd::WriteLine(const std::wstring& text) {
    m_output << WideToUtf8(text) << '\n' << std::flush;
}

}  // namespace kestrel::ui
