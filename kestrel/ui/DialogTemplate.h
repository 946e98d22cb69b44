#pragma once
// A dialog template: what a Windows dialog resource holds, as plain data. Positions and sizes
// are in dialog units (a quarter of the font's average character width horizontally, an eighth
// of its height vertically), so every front-end lays the window out in the same proportions.
// Texts may carry one '&' before the mnemonic letter, as in Windows resources.
#include <string>
#include <vector>

namespace kestrel::ui {

enum class EControlKind {
    PushButton,
    CentredText,
};

struct CDialogControl {
    int Id = 0;
    EControlKind Kind = EControlKind::CentredText;
    std::wstring Text;
    int X = 0;
    int Y = 0;
    int Width = 0;
    int Height = 0;
    bool IsDefault = false;  // the push button Enter presses
};

// An icon as XPM lines (a format every GTK build reads without loaders); empty for none.
struct CDialogIcon {
    std::vector<const char*> XpmLines;
};

struct CDialogTemplate {
    std::wstring Caption;
    int Width = 0;
    int Height = 0;
    std::vector<CDialogControl> Controls;
    const CDialogIcon* Icon = nullptr;  // not owned; static resource data
    // The dialog and icon resources compiled into a Windows executable from the same texts;
    // 0 when there are none (the Win32 front-end then has nothing to show).
    int ResourceId = 0;
    int IconResourceId = 0;
};

// Pixel size of dialog units for the font the front-ends approximate (8 pt at 96 dpi: an
// average character 6 pixels wide and 13 high).
inline constexpr int DialogUnitsToPixelsX(int units) {
    return units * 6 / 4;
}
inline constexpr int DialogUnitsToPixelsY(int units) {
    return units * 13 / 8;
}

// The text with the Windows mnemonic marker removed ("退出(&E)" -> "退出(E)"); "&&" is a
// literal '&'.
std::wstring StripMnemonic(const std::wstring& text);

// The text in GTK's mnemonic form ("退出(&E)" -> "退出(_E)"); literal underscores doubled.
std::wstring ToGtkMnemonic(const std::wstring& text);

}  // namespace kestrel::ui
