#include "app/KestrelResources.h"

#include "ui/DialogTypes.h"

namespace kestrel::app {

namespace {

// 32 x 32: a circular update arrow around an orange dot on a blue tile (kestrel.svg drawn small).
const ui::CDialogIcon kIcon{{"32 32 4 1",
                             "  c None",
                             "b c #1E6FD9",
                             "w c #FFFFFF",
                             "o c #F28C28",
                             "    bbbbbbbbbbbbbbbbbbbbbbbb    ",
                             "  bbbbbbbbbbbbbbbbbbbbbbbbbbbb  ",
                             " bbbbbbbbbbbbbbbbbbbbbbbbbbbbbb ",
                             " bbbbbbbbbbbbbbbbbbbbbbbbbbbbbb ",
                             "bbbbbbbbbbbbbbbbbbbbbbwbbbbbbbbb",
                             "bbbbbbbbbbbbbwwwwwwwwwbbbbbbbbbb",
                             "bbbbbbbbbbwwwwwwwwwwwbbbbbbbbbbb",
                             "bbbbbbbbbwwwwwwwwwwwwbbbbbbbbbbb",
                             "bbbbbbbbwwwwwwwwwwwwbbbbbbbbbbbb",
                             "bbbbbbbwwwwwbbbbbbwwbbbbbbbbbbbb",
                             "bbbbbbwwwwwbbbbbbbwbbbbbbbbbbbbb",
                             "bbbbbbwwwwbbbbbbbbwbbbbbbbbbbbbb",
                             "bbbbbbwwwbbbbbbbbbbbbbbbbbbbbbbb",
                             "bbbbbwwwwbbbbboooobbbbbbbbbbbbbb",
                             "bbbbbwwwwbbbboooooobbbbbbwwbbbbb",
                             "bbbbbwwwwbbbboooooobbbbwwwwbbbbb",
                             "bbbbbwwwwbbbboooooobbbbwwwwbbbbb",
                             "bbbbbwwwwbbbboooooobbbbwwwwbbbbb",
                             "bbbbbwwwwbbbbboooobbbbbwwwwbbbbb",
                             "bbbbbbwwwbbbbbbbbbbbbbbwwwbbbbbb",
                             "bbbbbbwwwwbbbbbbbbbbbbwwwwbbbbbb",
                             "bbbbbbwwwwwbbbbbbbbbbwwwwwbbbbbb",
                             "bbbbbbbwwwwwbbbbbbbbwwwwwbbbbbbb",
                             "bbbbbbbbwwwwwwwwwwwwwwwwbbbbbbbb",
                             "bbbbbbbbbwwwwwwwwwwwwwwbbbbbbbbb",
                             "bbbbbbbbbbwwwwwwwwwwwwbbbbbbbbbb",
                             "bbbbbbbbbbbbbwwwwwwbbbbbbbbbbbbb",
                             "bbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbb",
                             " bbbbbbbbbbbbbbbbbbbbbbbbbbbbbb ",
                             " bbbbbbbbbbbbbbbbbbbbbbbbbbbbbb ",
                             "  bbbbbbbbbbbbbbbbbbbbbbbbbbbb  ",
                             "    bbbbbbbbbbbbbbbbbbbbbbbb    "}};

ui::CDialogTemplate MakeDialogTemplate() {
    ui::CDialogTemplate dialog;
    dialog.Caption = kCaption;
    dialog.Width = 241;
    dialog.Height = 78;
    dialog.Icon = &kIcon;
    dialog.ResourceId = IDD_KESTREL_DIALOG;
    dialog.IconResourceId = IDR_MAINFRAME;
    dialog.Controls.push_back(
        {ui::IDOK, ui::EControlKind::PushButton, kExitButtonText, 95, 45, 50, 16, true});
    dialog.Controls.push_back(
        {IDC_STATUS_TEXT, ui::EControlKind::CentredText, kStatusApplying, 0, 20, 241, 8, false});
    return dialog;
}

}  // namespace

const ui::CDialogTemplate& KestrelDialogTemplate() {
    static const ui::CDialogTemplate dialog = MakeDialogTemplate();
    return dialog;
}

const ui::CDialogIcon& KestrelIcon() {
    return kIcon;
}

}  // namespace kestrel::app
