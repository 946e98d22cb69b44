// The framework's headers come first: windows.h defines IDOK and its kin as macros, which
// would otherwise rewrite the framework's own constants of the same names.
#include "ui/Dialog.h"

// windows.h, through the front-end's own header.
#include "ui/win32/Win32FrontEnd.h"

#include <commctrl.h>

#include <cwchar>
#include <vector>

namespace kestrel::ui {

namespace {

HINSTANCE ThisModule() {
    return ::GetModuleHandleW(nullptr);
}

struct COwnedBoxSearch {
    HWND Owner = nullptr;
    HWND Found = nullptr;
};

// A message box is a dialog of the system's dialog class owned by the window it was shown for.
// Windows are listed topmost first, so the first match is the innermost box.
BOOL CALLBACK FindOwnedBox(HWND window, LPARAM data) {
    auto* search = reinterpret_cast<COwnedBoxSearch*>(data);
    wchar_t className[16] = {};
    if (::GetWindow(window, GW_OWNER) != search->Owner ||
        ::GetClassNameW(window, className, 16) == 0 || std::wcscmp(className, L"#32770") != 0) {
        return TRUE;
    }
    search->Found = window;
    return FALSE;
}

}  // namespace

std::unique_ptr<CWin32FrontEnd> CWin32FrontEnd::TryCreate() {
    // Common controls 6 (through the manifest) draw the themed button; every class is asked for.
    INITCOMMONCONTROLSEX controls{};
    controls.dwSize = sizeof(controls);
    controls.dwICC = 0xFF;
    ::InitCommonControlsEx(&controls);
    // A probe window tells whether windows can exist at all here.
    HWND probe = ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                                   ThisModule(), nullptr);
    if (probe == nullptr) {
        return nullptr;
    }
    ::DestroyWindow(probe);
    return std::unique_ptr<CWin32FrontEnd>(new CWin32FrontEnd());
}

void CWin32FrontEnd::RunModal(CDialog& dialog, const CDialogTemplate& dialogTemplate) {
    if (m_quitPosted) {
        return;
    }
    m_dialog = &dialog;
    m_template = &dialogTemplate;
    m_endModal = false;
    m_icon = nullptr;
    if (dialogTemplate.IconResourceId != 0) {
        m_icon = ::LoadIconW(ThisModule(), MAKEINTRESOURCEW(dialogTemplate.IconResourceId));
    }
    const INT_PTR result =
        ::DialogBoxParamW(ThisModule(), MAKEINTRESOURCEW(dialogTemplate.ResourceId), nullptr,
                          &CWin32FrontEnd::DialogProc, reinterpret_cast<LPARAM>(this));
    if (result == -1) {
        // No resource, or no window: the dialog never ran. It must not look like it is still
        // waiting for an answer.
        m_quitPosted = true;
    }
    m_window = nullptr;
    m_dialog = nullptr;
    m_template = nullptr;
}

void CWin32FrontEnd::PostQuit(int exitCode) {
    m_quitPosted = true;
    m_quitCode = exitCode;
}

void CWin32FrontEnd::SetTimer(unsigned id, unsigned elapseMs) {
    if (m_window != nullptr) {
        ::SetTimer(m_window, id, elapseMs, nullptr);
    }
}

void CWin32FrontEnd::KillTimer(unsigned id) {
    if (m_window != nullptr) {
        ::KillTimer(m_window, id);
    }
}

void CWin32FrontEnd::SetControlText(int controlId, const std::wstring& text) {
    if (m_window != nullptr) {
        ::SetDlgItemTextW(m_window, controlId, text.c_str());
    }
}

std::wstring CWin32FrontEnd::GetControlText(int controlId) const {
    if (m_window == nullptr) {
        return std::wstring();
    }
    HWND control = ::GetDlgItem(m_window, controlId);
    if (control == nullptr) {
        return std::wstring();
    }
    std::vector<wchar_t> buffer(static_cast<size_t>(::GetWindowTextLengthW(control)) + 1);
    const UINT length =
        ::GetDlgItemTextW(m_window, controlId, buffer.data(), static_cast<int>(buffer.size()));
    return std::wstring(buffer.data(), length);
}

int CWin32FrontEnd::MessageBox(const std::wstring& text, const std::wstring& caption,
                               unsigned style) {
    // The styles and answers are Windows' own numbers; they pass straight through.
    const unsigned outerStyle = m_openBoxStyle;
    m_openBoxStyle = style;
    ++m_openBoxes;
    const int answer = ::MessageBoxW(m_window, text.c_str(), caption.c_str(), style);
    --m_openBoxes;
    m_openBoxStyle = outerStyle;
    return answer == 0 ? SafeMessageBoxAnswer(style) : answer;
}

// MessageBoxW's own loop delivers WM_TIMER to the dialog, so this runs on the box's thread
// while the box is open. EndDialog on the box sets its result and ends its loop as soon as the
// current message is handled, whatever buttons it has. A posted WM_CLOSE or Esc would go
// through the box's own procedure, which ignores them when the box has no Cancel button, and
// posting a button's click would give an answer nobody chose.
void CWin32FrontEnd::CloseMessageBox() {
    if (m_openBoxes == 0 || m_window == nullptr) {
        return;
    }
    COwnedBoxSearch search;
    search.Owner = m_window;
    ::EnumThreadWindows(::GetCurrentThreadId(), &FindOwnedBox, reinterpret_cast<LPARAM>(&search));
    if (search.Found != nullptr) {
        ::EndDialog(search.Found, SafeMessageBoxAnswer(m_openBoxStyle));
    }
}

INT_PTR CALLBACK CWin32FrontEnd::DialogProc(HWND window, UINT message, WPARAM wParam,
                                            LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        auto* self = reinterpret_cast<CWin32FrontEnd*>(lParam);
        ::SetWindowLongPtrW(window, DWLP_USER, lParam);
        self->OnInitDialog(window);
        return TRUE;
    }
    auto* self = reinterpret_cast<CWin32FrontEnd*>(::GetWindowLongPtrW(window, DWLP_USER));
    if (self == nullptr || self->m_window != window) {
        return FALSE;
    }
    return self->OnMessage(message, wParam, lParam);
}

void CWin32FrontEnd::OnInitDialog(HWND window) {
    m_window = window;
    if (m_icon != nullptr) {
        ::SendMessageW(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_icon));
        ::SendMessageW(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_icon));
    }
    m_dialog->HandleInitDialog();
    EndIfDone();
}

INT_PTR CWin32FrontEnd::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    (void)lParam;
    switch (message) {
        case WM_TIMER:
            m_dialog->HandleTimer(static_cast<unsigned>(wParam));
            EndIfDone();
            return TRUE;
        case WM_COMMAND:
            // Buttons, Enter (the default button) and Esc or the close box (IDCANCEL).
            if (HIWORD(wParam) == BN_CLICKED || lParam == 0) {
                m_dialog->HandleCommand(LOWORD(wParam));
                EndIfDone();
                return TRUE;
            }
            return FALSE;
        case WM_PAINT:
            return OnPaint() ? TRUE : FALSE;
        case WM_QUERYDRAGICON:
            // One of the messages whose answer the dialog procedure returns directly.
            return reinterpret_cast<INT_PTR>(m_icon);
        default:
            return FALSE;
    }
}

bool CWin32FrontEnd::OnPaint() {
    // Only a minimised window paints itself: the icon, centred. Otherwise the dialog's own
    // painting runs.
    if (!::IsIconic(m_window) || m_icon == nullptr) {
        return false;
    }
    PAINTSTRUCT paint{};
    HDC context = ::BeginPaint(m_window, &paint);
    ::SendMessageW(m_window, WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(context), 0);
    RECT client{};
    ::GetClientRect(m_window, &client);
    const int x = (client.right - client.left - ::GetSystemMetrics(SM_CXICON) + 1) / 2;
    const int y = (client.bottom - client.top - ::GetSystemMetrics(SM_CYICON) + 1) / 2;
    ::DrawIcon(context, x, y, m_icon);
    ::EndPaint(m_window, &paint);
    return true;
}

void CWin32FrontEnd::EndIfDone() {
    if (m_window != nullptr && (m_endModal || m_quitPosted)) {
        ::EndDialog(m_window, m_endModal ? 1 : 0);
    }
}

}  // namespace kestrel::ui
