#pragma once
// The system half of choosing a front-end: whether the console was asked for, and the
// system's windowed front-end (GTK on POSIX desktops, Win32 on Windows). Called on the thread
// that will run the dialogs.
#include <memory>

#include "ui/DialogFrontEnd.h"

namespace kestrel::ui {

// KESTREL_CONSOLE set to anything but an empty value or one starting with '0'.
bool ConsoleRequested();

// Null when this process cannot show windows here: the caller then falls back to the console.
std::unique_ptr<IDialogFrontEnd> TryCreateWindowedFrontEnd();

}  // namespace kestrel::ui
