#pragma once
// Identifiers and styles shared by the dialog framework, its front-ends and the dialogs built on
// it. The values are the ones Windows uses, so a Win32 front-end can pass them straight through.

namespace kestrel::ui {

// Results of a modal dialog or a message box, and the command identifiers of the standard
// buttons.
inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;
inline constexpr int IDRETRY = 4;
inline constexpr int IDYES = 6;
inline constexpr int IDNO = 7;

// Message box styles: one button set, optionally combined (|) with one icon.
inline constexpr unsigned MB_OK = 0x0;
inline constexpr unsigned MB_YESNOCANCEL = 0x3;
inline constexpr unsigned MB_RETRYCANCEL = 0x5;
inline constexpr unsigned MB_TYPEMASK = 0xF;
inline constexpr unsigned MB_ICONERROR = 0x10;
inline constexpr unsigned MB_ICONMASK = 0xF0;

// Windows raises every timer interval to this floor; both front-ends keep it.
inline constexpr unsigned USER_TIMER_MINIMUM = 10;

// The answer a message box gives when the user cannot or will not choose (end of input, Esc,
// the box's close button): Cancel where the box has one, else No, else OK.
int SafeMessageBoxAnswer(unsigned style);

}  // namespace kestrel::ui
