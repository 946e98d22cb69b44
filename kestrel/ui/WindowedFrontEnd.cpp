#include "ui/WindowedFrontEnd.h"

#include <cstdlib>

#include "ui/GtkFrontEnd.h"

namespace kestrel::ui {

// KESTREL_CONSOLE=1 keeps the program on the console even where a display could be opened:
// support staff and scripts can then read its status lines and answer its message boxes on a
// desktop too.
bool ConsoleRequested() {
    const char* value = std::getenv("KESTREL_CONSOLE");
    return value != nullptr && value[0] != '\0' && value[0] != '0';
}

std::unique_ptr<IDialogFrontEnd> TryCreateWindowedFrontEnd() {
    return CGtkFrontEnd::TryCreate();
}

}  // namespace kestrel::ui
