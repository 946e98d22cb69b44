#pragma once
// Kestrel's resources: the dialog template, its texts, the icon and the version, in one place.
// Every user-visible text of the program is here, byte for byte as users see it.
#include <string>

#include "ui/DialogTemplate.h"

namespace kestrel::app {

inline constexpr int IDD_KESTREL_DIALOG = 102;
inline constexpr int IDC_STATUS_TEXT = 1000;
inline constexpr int IDR_MAINFRAME = 128;

inline constexpr const wchar_t* kFileVersion = L"1.0.1.2";
inline constexpr const wchar_t* kProductVersion = L"1.0.1.2";

inline constexpr const wchar_t* kCaption = L"更新更新程序";
inline constexpr const wchar_t* kExitButtonText = L"退出(&E)";
inline constexpr const wchar_t* kStatusApplying = L"正在应用更新...";
inline constexpr const wchar_t* kStatusWaiting = L"正在等待Osprey.exe退出!";

inline constexpr const wchar_t* kPromptCaption = L"提示";
inline constexpr const wchar_t* kErrorCaption = L"错误";
inline constexpr const wchar_t* kExitQuestion = L"确定要退出吗?";
inline constexpr const wchar_t* kApplyFailedText =
    L"更新应用失败, 程序无法启动! 你可以需要重新安装本程序.";
inline constexpr const wchar_t* kLaunchFailedText = L"运行更新进程失败, 你可能需要重新安装本软件";

// Names the flow is built from.
inline constexpr const wchar_t* kOspreyFileName = L"Osprey.exe";
inline constexpr const wchar_t* kCoverFileListPath = L".\\Osprey\\UpCoverFileList.xml";
inline constexpr const wchar_t* kRestartMarker = L" Kestrel";

// Dialog 102: caption, 241 x 78 units, the exit button (command 1, default) and the centred
// status text (control 1000) with the template's own text.
const ui::CDialogTemplate& KestrelDialogTemplate();

// Icon 128, the application icon (the same picture as the installed kestrel.svg).
const ui::CDialogIcon& KestrelIcon();

}  // namespace kestrel::app
