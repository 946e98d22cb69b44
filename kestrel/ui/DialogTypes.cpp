#include "ui/DialogTypes.h"

namespace kestrel::ui {

int SafeMessageBoxAnswer(unsigned style) {
    switch (style & MB_TYPEMASK) {
        case MB_YESNOCANCEL:
        case MB_RETRYCANCEL:
            return IDCANCEL;
        default:
            return IDOK;
    }
}

}  // namespace kestrel::ui
