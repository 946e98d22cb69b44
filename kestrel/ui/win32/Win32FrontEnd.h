#pragma once
// The Win32 front-end: the dialog resource compiled into the executable, shown with
// DialogBoxParamW, its timers as SetTimer/WM_TIMER, its message boxes as MessageBoxW. The
// window procedure paints the icon while the window is minimised (WM_PAINT) and hands it out
// for dragging (WM_QUERYDRAGICON).
//
// Threading: as every front-end, one thread: the one that made it runs every member and every
// handler of the dialog.
#include <windows.h>
// windows.h spells MessageBox as a macro; the framework's member of that name must stay itself.
#undef MessageBox

#include <memory>

#include "ui/ModalFrontEnd.h"

namespace kestrel::ui {

class CWin32FrontEnd final : public CModalFrontEnd {
  public:
    // Null when this process cannot show windows (no window station, or Wine without a
    // display): the caller then falls back to the console.
    static std::unique_ptr<CWin32FrontEnd> TryCreate();

    void RunModal(CDialog& dialog, const CDialogTemplate& dialogTemplate) override;
    // As PostQuitMessage: the latest code stands.
    void PostQuit(int exitCode) override;
    void SetTimer(unsigned id, unsigned elapseMs) override;
    void KillTimer(unsigned id) override;
    void SetControlText(int controlId, const std::wstring& text) override;
    std::wstring GetControlText(int controlId) const override;
    int MessageBox(const std::wstring& text, const std::wstring& caption, unsigned style) override;
    void CloseMessageBox() override;

  private:
    CWin32FrontEnd() = default;

    static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void OnInitDialog(HWND window);
    bool OnPaint();
    // Closes the window once a handler has ended the dialog or posted a quit.
    void EndIfDone();

    HWND m_window = nullptr;
    unsigned m_openBoxStyle = 0;  // style of the innermost open message box
    int m_openBoxes = 0;          // message boxes of this dialog waiting for an answer
    HICON m_icon = nullptr;       // shared resource icon: never destroyed
    CDialog* m_dialog = nullptr;
    const CDialogTemplate* m_template = nullptr;
};

}  // namespace kestrel::ui
