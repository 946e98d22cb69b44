#pragma once
// The GTK 3 front-end: a real window laid out from the template (dialog units turned into
// pixels), a push button per button control with its Windows mnemonic shown the GTK way, GLib
// timeouts for timers and GtkMessageDialog for message boxes. Esc and the close box arrive at
// the dialog as IDCANCEL, the buttons as their control id, Enter as the default button.
//
// Threading: GTK's own rule applies: everything on the thread that called TryCreate.
#include <map>
#include <memory>
#include <string>

#include "ui/ModalFrontEnd.h"

typedef struct _GtkWidget GtkWidget;
typedef struct _GMainLoop GMainLoop;

namespace kestrel::ui {

class CGtkFrontEnd final : public CModalFrontEnd {
  public:
    // Null when no display can be opened (no DISPLAY or WAYLAND_DISPLAY, or the server refuses).
    // The process locale is left as it is: GTK is kept from changing it, so the program behaves
    // the same with either front-end.
    static std::unique_ptr<CGtkFrontEnd> TryCreate();
    ~CGtkFrontEnd() override;

    void RunModal(CDialog& dialog, const CDialogTemplate& dialogTemplate) override;
    void SetTimer(unsigned id, unsigned elapseMs) override;
    void KillTimer(unsigned id) override;
    void SetControlText(int controlId, const std::wstring& text) override;
    std::wstring GetControlText(int controlId) const override;
    int MessageBox(const std::wstring& text, const std::wstring& caption, unsigned style) override;
    void CloseMessageBox() override;

  private:
    struct CTimerSource;
    CGtkFrontEnd() = default;

    void BuildWindow(const CDialogTemplate& dialogTemplate);
    void AddControl(GtkWidget* fixed, const struct CDialogControl& control);
    void StopLoop() override;
    void RemoveAllTimers();
    static int OnTimeout(void* data);
    static void OnButtonClicked(GtkWidget* button, void* data);
    static int OnDeleteEvent(GtkWidget* window, void* event, void* data);
    static int OnKeyPress(GtkWidget* window, void* event, void* data);

    CDialog* m_dialog = nullptr;
    GtkWidget* m_window = nullptr;          // owned by GTK; destroyed at the end of RunModal
    GMainLoop* m_loop = nullptr;            // the running modal loop, if any
    std::map<int, GtkWidget*> m_controls;   // control id -> widget inside m_window
    std::map<unsigned, unsigned> m_timers;  // timer id -> GLib source id
    GtkWidget* m_openBox = nullptr;         // the innermost message box in gtk_dialog_run
};

}  // namespace kestrel::ui
