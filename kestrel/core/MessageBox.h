#pragma once
// The message box that Kestrel's file operations show when they need the user to decide.
// The dialog implements it; tests script it. Called on the user-interface thread only.

#include <string>

namespace kestrel::core {

enum class EMessageButtons { Ok, YesNoCancel, RetryCancel };
enum class EMessageIcon { None, Information, Warning, Error };

// The numbers are the Windows dialog results; Failed (0) means the box could not be shown.
enum class EMessageResult { Failed = 0, Ok = 1, Cancel = 2, Retry = 4, Yes = 6, No = 7 };

class IMessageBox {
  public:
    virtual ~IMessageBox() = default;
    // Shows the text under the caption and blocks until the user chooses one of the buttons.
    virtual EMessageResult Show(const std::wstring& text, const std::wstring& caption,
                                EMessageButtons buttons, EMessageIcon icon) = 0;
};

}  // namespace kestrel::core
