#include "ui/GtkFrontEnd.h"

#include <gtk/gtk.h>

#include <cstdlib>

#include "common/text/Utf8.h"
#include "ui/Dialog.h"

namespace kestrel::ui {

using common::text::Utf8ToWide;
using common::text::WideToUtf8;

struct CGtkFrontEnd::CTimerSource {
    CGtkFrontEnd* Self = nullptr;
    unsigned Id = 0;
    unsigned Source = 0;
};

namespace {

bool IsSet(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0';
}

struct CButtonDef {
    const char* Label;
    int Answer;
};

// Button texts as a Chinese desktop labels its message boxes; GTK's mnemonic form.
std::vector<CButtonDef> ButtonsFor(unsigned style) {
    switch (style & MB_TYPEMASK) {
        case MB_YESNOCANCEL:
            return {{"是(_Y)", IDYES}, {"否(_N)", IDNO}, {"取消", IDCANCEL}};
        case MB_RETRYCANCEL:
            return {{"重试(_R)", IDRETRY}, {"取消", IDCANCEL}};
        default:
            return {{"确定", IDOK}};
    }
}

}  // namespace

std::unique_ptr<CGtkFrontEnd> CGtkFrontEnd::TryCreate() {
    if (!IsSet("DISPLAY") && !IsSet("WAYLAND_DISPLAY")) {
        return nullptr;
    }
    gtk_disable_setlocale();
    if (!gtk_init_check(nullptr, nullptr)) {
        return nullptr;
    }
    return std::unique_ptr<CGtkFrontEnd>(new CGtkFrontEnd());
}

CGtkFrontEnd::~CGtkFrontEnd() {
    RemoveAllTimers();
}

void CGtkFrontEnd::RunModal(CDialog& dialog, const CDialogTemplate& dialogTemplate) {
    m_dialog = &dialog;
    m_endModal = false;
    BuildWindow(dialogTemplate);

    dialog.HandleInitDialog();
    if (!m_endModal && !m_quitPosted) {
        gtk_widget_show_all(m_window);
        m_loop = g_main_loop_new(nullptr, FALSE);
        g_main_loop_run(m_loop);
        g_main_loop_unref(m_loop);
        m_loop = nullptr;
    }

    RemoveAllTimers();
    gtk_widget_destroy(m_window);
    m_window = nullptr;
    m_controls.clear();
    m_dialog = nullptr;
    // Let the window actually disappear before the program goes on (or ends).
    while (gtk_events_pending()) {
        gtk_main_iteration_do(FALSE);
    }
}

void CGtkFrontEnd::BuildWindow(const CDialogTemplate& dialogTemplate) {
    m_window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    GtkWindow* window = GTK_WINDOW(m_window);
    gtk_window_set_title(window, WideToUtf8(dialogTemplate.Caption).c_str());
    gtk_window_set_resizable(window, FALSE);
    gtk_window_set_position(window, GTK_WIN_POS_CENTER);
    gtk_widget_set_size_request(m_window, DialogUnitsToPixelsX(dialogTemplate.Width),
                                DialogUnitsToPixelsY(dialogTemplate.Height));
    if (dialogTemplate.Icon != nullptr && !dialogTemplate.Icon->XpmLines.empty()) {
        GdkPixbuf* icon = gdk_pixbuf_new_from_xpm_data(
            const_cast<const char**>(dialogTemplate.Icon->XpmLines.data()));
        if (icon != nullptr) {
            gtk_window_set_icon(window, icon);
            g_object_unref(icon);
        }
    }
    g_signal_connect(m_window, "delete-event", G_CALLBACK(OnDeleteEvent), this);
    g_signal_connect(m_window, "key-press-event", G_CALLBACK(OnKeyPress), this);

    GtkWidget* fixed = gtk_fixed_new();
    gtk_container_add(GTK_CONTAINER(m_window), fixed);
    for (const CDialogControl& control : dialogTemplate.Controls) {
        AddControl(fixed, control);
    }
}

void CGtkFrontEnd::AddControl(GtkWidget* fixed, const CDialogControl& control) {
    GtkWidget* widget = nullptr;
    if (control.Kind == EControlKind::PushButton) {
        widget = gtk_button_new_with_mnemonic(WideToUtf8(ToGtkMnemonic(control.Text)).c_str());
        g_object_set_data(G_OBJECT(widget), "kestrel-command", GINT_TO_POINTER(control.Id));
        g_signal_connect(widget, "clicked", G_CALLBACK(OnButtonClicked), this);
    } else {
        widget = gtk_label_new(WideToUtf8(StripMnemonic(control.Text)).c_str());
        gtk_label_set_justify(GTK_LABEL(widget), GTK_JUSTIFY_CENTER);
        gtk_label_set_xalign(GTK_LABEL(widget), 0.5F);
    }
    gtk_widget_set_size_request(widget, DialogUnitsToPixelsX(control.Width),
                                DialogUnitsToPixelsY(control.Height));
    gtk_fixed_put(GTK_FIXED(fixed), widget, DialogUnitsToPixelsX(control.X),
                  DialogUnitsToPixelsY(control.Y));
    if (control.IsDefault) {
        gtk_widget_set_can_default(widget, TRUE);
        gtk_window_set_default(GTK_WINDOW(m_window), widget);
        gtk_widget_grab_focus(widget);
    }
    m_controls[control.Id] = widget;
}

void CGtkFrontEnd::StopLoop() {
    if (m_loop != nullptr) {
        g_main_loop_quit(m_loop);
    }
}

void CGtkFrontEnd::SetTimer(unsigned id, unsigned elapseMs) {
    KillTimer(id);
    auto* timer = new CTimerSource{this, id, 0};
    timer->Source =
        g_timeout_add_full(G_PRIORITY_DEFAULT, elapseMs, &CGtkFrontEnd::OnTimeout, timer,
                           [](gpointer data) { delete static_cast<CTimerSource*>(data); });
    m_timers[id] = timer->Source;
}

void CGtkFrontEnd::KillTimer(unsigned id) {
    const auto it = m_timers.find(id);
    if (it == m_timers.end()) {
        return;
    }
    g_source_remove(it->second);
    m_timers.erase(it);
}

void CGtkFrontEnd::RemoveAllTimers() {
    for (const auto& [id, source] : m_timers) {
        g_source_remove(source);
    }
    m_timers.clear();
}

int CGtkFrontEnd::OnTimeout(void* data) {
    // The handler may kill or restart this very timer, which frees `data`: copy what is needed.
    const auto* timer = static_cast<CTimerSource*>(data);
    CGtkFrontEnd* self = timer->Self;
    const unsigned id = timer->Id;
    const unsigned source = timer->Source;
    if (self->m_dialog != nullptr) {
        self->m_dialog->HandleTimer(id);
    }
    const auto it = self->m_timers.find(id);
    return it != self->m_timers.end() && it->second == source ? G_SOURCE_CONTINUE : G_SOURCE_REMOVE;
}

void CGtkFrontEnd::OnButtonClicked(GtkWidget* button, void* data) {
    auto* self = static_cast<CGtkFrontEnd*>(data);
    const int command = GPOINTER_TO_INT(g_object_get_data(G_OBJECT(button), "kestrel-command"));
    if (self->m_dialog != nullptr) {
        self->m_dialog->HandleCommand(command);
    }
}

int CGtkFrontEnd::OnDeleteEvent(GtkWidget*, void*, void* data) {
    auto* self = static_cast<CGtkFrontEnd*>(data);
    if (self->m_dialog != nullptr) {
        self->m_dialog->HandleCommand(IDCANCEL);
    }
    return TRUE;  // the dialog decides whether the window goes
}

int CGtkFrontEnd::OnKeyPress(GtkWidget*, void* event, void* data) {
    auto* self = static_cast<CGtkFrontEnd*>(data);
    if (static_cast<GdkEventKey*>(event)->keyval != GDK_KEY_Escape) {
        return FALSE;
    }
    if (self->m_dialog != nullptr) {
        self->m_dialog->HandleCommand(IDCANCEL);
    }
    return TRUE;
}

void CGtkFrontEnd::SetControlText(int controlId, const std::wstring& text) {
    const auto it = m_controls.find(controlId);
    if (it == m_controls.end()) {
        return;
    }
    const std::string utf8 = WideToUtf8(StripMnemonic(text));
    if (GTK_IS_LABEL(it->second)) {
        gtk_label_set_text(GTK_LABEL(it->second), utf8.c_str());
    } else if (GTK_IS_BUTTON(it->second)) {
        gtk_button_set_label(GTK_BUTTON(it->second), WideToUtf8(ToGtkMnemonic(text)).c_str());
    }
}

std::wstring CGtkFrontEnd::GetControlText(int controlId) const {
    const auto it = m_controls.find(controlId);
    if (it == m_controls.end()) {
        return {};
    }
    const char* text = nullptr;
    if (GTK_IS_LABEL(it->second)) {
        text = gtk_label_get_text(GTK_LABEL(it->second));
    } else if (GTK_IS_BUTTON(it->second)) {
        text = gtk_button_get_label(GTK_BUTTON(it->second));
    }
    return text == nullptr ? std::wstring() : Utf8ToWide(text);
}

int CGtkFrontEnd::MessageBox(const std::wstring& text, const std::wstring& caption,
                             unsigned style) {
    const bool isError = (style & MB_ICONMASK) == MB_ICONERROR;
    GtkWidget* box =
        gtk_message_dialog_new(m_window != nullptr ? GTK_WINDOW(m_window) : nullptr,
                               GTK_DIALOG_MODAL, isError ? GTK_MESSAGE_ERROR : GTK_MESSAGE_OTHER,
                               GTK_BUTTONS_NONE, "%s", WideToUtf8(text).c_str());
    gtk_window_set_title(GTK_WINDOW(box), WideToUtf8(caption).c_str());
    const std::vector<CButtonDef> buttons = ButtonsFor(style);
    for (const CButtonDef& button : buttons) {
        gtk_dialog_add_button(GTK_DIALOG(box), button.Label, button.Answer);
    }
    gtk_dialog_set_default_response(GTK_DIALOG(box), buttons.front().Answer);
    // gtk_dialog_run spins a loop of its own, which also serves the dialog's timers: a handler
    // may close this box from there (boxes nest, so the outer one is put back afterwards).
    GtkWidget* const outerBox = m_openBox;
    m_openBox = box;
    const int response = gtk_dialog_run(GTK_DIALOG(box));
    m_openBox = outerBox;
    gtk_widget_destroy(box);
    // Esc and the box's close button give the safe answer, as Windows does.
    return response > 0 ? response : SafeMessageBoxAnswer(style);
}

void CGtkFrontEnd::CloseMessageBox() {
    // GTK_RESPONSE_NONE stops gtk_dialog_run once the handler returns; like Esc it is no
    // button's answer, so the box gives the safe one.
    if (m_openBox != nullptr) {
        gtk_dialog_response(GTK_DIALOG(m_openBox), GTK_RESPONSE_NONE);
    }
}

}  // namespace kestrel::ui
