// The dialog's flow against a scripted front-end and a scripted machine: start-up refusals, the
// waiting loop, apply / delete / restart, the failure messages and the exit question.
#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "ScriptedFrontEnd.h"
#include "app/KestrelApp.h"
#include "app/KestrelDlg.h"
#include "app/KestrelResources.h"

namespace kestrel::test {
namespace {

using namespace kestrel::core;

using app::CKestrelDlg;
using ui::IDCANCEL;
using ui::IDNO;
using ui::IDOK;
using ui::IDRETRY;
using ui::IDYES;

const std::wstring kFolder = L"/opt/Client/";
const std::wstring kSelf = kFolder + L"Kestrel";
const std::wstring kOsprey = kFolder + L"Osprey.exe";
const std::wstring kList = L".\\Osprey\\UpCoverFileList.xml";

class CFakeSystem final : public app::IKestrelSystem {
  public:
    std::wstring CommandLine = L"\"/opt/Client/Kestrel\" abc";
    int OtherKestrels = 0;       // besides this one
    int OspreyRunningTicks = 0;  // how many checks still find Osprey.exe
    bool ApplyResult = true;
    bool LaunchResult = true;
    std::function<bool(IMessageBox&)> ApplyHook;

    std::vector<std::wstring> Log;  // every effect on the machine, in order
    std::vector<std::pair<std::wstring, int>> Counts;

    bool SetCurrentDirToProgramFolder() override {
        Log.push_back(L"chdir");
        return true;
    }
    std::wstring GetProgramPath() override { return kSelf; }
    std::wstring GetProgramFolder() override { return kFolder; }
    std::wstring GetCommandLine() override { return CommandLine; }
    int CountProcessesWithModule(const std::wstring& path, int stopAfter) override {
        Counts.emplace_back(path, stopAfter);
        if (path == kSelf) {
            return 1 + OtherKestrels;
        }
        if (path == kOsprey && OspreyRunningTicks > 0) {
            --OspreyRunningTicks;
            return 1;
        }
        return 0;
    }
    bool ApplyCoverFileList(const std::wstring& listPath, IMessageBox& owner) override {
        Log.push_back(L"apply " + listPath);
        return ApplyHook ? ApplyHook(owner) : ApplyResult;
    }
    bool DeleteFileForced(const std::wstring& path) override {
        Log.push_back(L"delete " + path);
        return true;
    }
    bool LaunchProgram(const std::wstring& application, const std::wstring& tail) override {
        Log.push_back(L"launch " + application + L"|" + tail);
        return LaunchResult;
    }
};

class KestrelDlgTest : public ::testing::Test {
  protected:
    int Run() {
        CKestrelDlg dialog(System);
        const int result = dialog.DoModal(FrontEnd);
        RestartArgs = dialog.GetRestartArgs();
        return result;
    }
    // Delivers the first check and then rechecks until the dialog stops waiting.
    void ScriptTicksUntilDone() {
        FrontEnd.Script = [](CScriptedFrontEnd& f) {
            for (int i = 0; i < 100 && f.Tick(CKestrelDlg::kWaitTimerId);) {
                ++i;
            }
        };
    }

    CFakeSystem System;
    CScriptedFrontEnd FrontEnd;
    std::wstring RestartArgs;
};

TEST_F(KestrelDlgTest, StartWithoutArgumentEndsSilentlyBeforeShowing) {
    System.CommandLine = L"\"/opt/Client/Kestrel\"   ";
    EXPECT_EQ(Run(), IDCANCEL);
    EXPECT_FALSE(FrontEnd.WasShown);
    EXPECT_TRUE(FrontEnd.IsQuitPosted());
    EXPECT_EQ(FrontEnd.GetQuitCode(), 0);
    EXPECT_TRUE(FrontEnd.TimerStarts.empty());
    EXPECT_TRUE(FrontEnd.MessageBoxes.empty());
    EXPECT_EQ(System.Log, std::vector<std::wstring>{L"chdir"});
}

TEST_F(KestrelDlgTest, SecondInstanceFromSameFileEndsSilentlyAndStopsScanAtTwo) {
    System.OtherKestrels = 3;
    EXPECT_EQ(Run(), IDCANCEL);
    EXPECT_FALSE(FrontEnd.WasShown);
    EXPECT_EQ(FrontEnd.GetQuitCode(), 0);
    EXPECT_TRUE(FrontEnd.MessageBoxes.empty());
    ASSERT_EQ(System.Counts.size(), 1U);
    EXPECT_EQ(System.Counts[0], std::make_pair(kSelf, 2));
    EXPECT_EQ(System.Log, std::vector<std::wstring>{L"chdir"});
}

TEST_F(KestrelDlgTest, StartShowsWaitingTextAndFirstCheckComesAfterOneSecond) {
    FrontEnd.Script = [](CScriptedFrontEnd& f) {
        EXPECT_EQ(f.GetControlText(app::IDC_STATUS_TEXT), app::kStatusWaiting);
        f.Command(IDOK);  // the exit question, answered Yes
    };
    FrontEnd.Answers = {IDYES};
    EXPECT_EQ(Run(), IDOK);
    EXPECT_TRUE(FrontEnd.WasShown);
    ASSERT_EQ(FrontEnd.TimerStarts.size(), 1U);
    EXPECT_EQ(FrontEnd.TimerStarts[0], std::make_pair(1U, 1000U));
    EXPECT_EQ(FrontEnd.StatusHistory, std::vector<std::wstring>{L"正在等待Osprey.exe退出!"});
    EXPECT_EQ(RestartArgs, L"abc Kestrel");
}

TEST_F(KestrelDlgTest, WaitsWhileOspreyRunsThenAppliesDeletesAndRestarts) {
    System.OspreyRunningTicks = 3;
    ScriptTicksUntilDone();
    EXPECT_EQ(Run(), -1);  // ended by the quit message, not by EndDialog

    // Every check looks for the program folder's Osprey.exe and stops at the first hit.
    ASSERT_EQ(System.Counts.size(), 5U);  // own path, then 3 hits and the miss
    for (size_t i = 1; i < System.Counts.size(); ++i) {
        EXPECT_EQ(System.Counts[i], std::make_pair(kOsprey, 1));
    }
    // Rechecks are asked for at 1 ms and raised to the 10 ms floor.
    const std::vector<std::pair<unsigned, unsigned>> starts = {
        {1, 1000}, {1, 10}, {1, 10}, {1, 10}};
    EXPECT_EQ(FrontEnd.TimerStarts, starts);
    EXPECT_TRUE(FrontEnd.Timers.empty());

    const std::vector<std::wstring> effects = {L"chdir", L"apply " + kList, L"delete " + kList,
                                               L"launch " + kOsprey + L"|abc Kestrel"};
    EXPECT_EQ(System.Log, effects);
    const std::vector<std::wstring> status = {L"正在等待Osprey.exe退出!", L"正在应用更新..."};
    EXPECT_EQ(FrontEnd.StatusHistory, status);
    EXPECT_TRUE(FrontEnd.MessageBoxes.empty());
    EXPECT_EQ(FrontEnd.GetQuitCode(), 0);
}

TEST_F(KestrelDlgTest, FailedListShowsFailureKeepsListAndDoesNotRestart) {
    System.ApplyResult = false;
    FrontEnd.Answers = {IDOK};
    ScriptTicksUntilDone();
    Run();
    EXPECT_EQ(System.Log, (std::vector<std::wstring>{L"chdir", L"apply " + kList}));
    ASSERT_EQ(FrontEnd.MessageBoxes.size(), 1U);
    EXPECT_EQ(FrontEnd.MessageBoxes[0].Text,
              L"更新应用失败, 程序无法启动! 你可以需要重新安装本程序.");
    EXPECT_EQ(FrontEnd.MessageBoxes[0].Caption, L"提示");
    EXPECT_EQ(FrontEnd.MessageBoxes[0].Style, ui::MB_OK);
    EXPECT_TRUE(FrontEnd.IsQuitPosted());
}

TEST_F(KestrelDlgTest, LaunchFailureShowsErrorWithIconAfterListIsDeleted) {
    System.LaunchResult = false;
    ScriptTicksUntilDone();
    Run();
    EXPECT_EQ(System.Log.size(), 4U);
    EXPECT_EQ(System.Log[2], L"delete " + kList);
    ASSERT_EQ(FrontEnd.MessageBoxes.size(), 1U);
    EXPECT_EQ(FrontEnd.MessageBoxes[0].Text, L"运行更新进程失败, 你可能需要重新安装本软件");
    EXPECT_EQ(FrontEnd.MessageBoxes[0].Caption, L"错误");
    EXPECT_EQ(FrontEnd.MessageBoxes[0].Style, ui::MB_OK | ui::MB_ICONERROR);
    EXPECT_EQ(FrontEnd.GetQuitCode(), 0);
}

TEST_F(KestrelDlgTest, ListPromptsAppearAsTheDialogsOwnMessageBoxes) {
    std::vector<EMessageResult> answers;
    System.ApplyHook = [&](IMessageBox& owner) {
        answers.push_back(owner.Show(L"文件[x]无法替换, 你可能需要重新启动电脑", L"提示",
                                     EMessageButtons::RetryCancel, EMessageIcon::None));
        answers.push_back(
            owner.Show(L"q", L"c", EMessageButtons::YesNoCancel, EMessageIcon::Error));
        answers.push_back(owner.Show(L"q", L"c", EMessageButtons::Ok, EMessageIcon::None));
        return true;
    };
    FrontEnd.Answers = {IDRETRY, IDNO};  // the third box "fails to show"
    ScriptTicksUntilDone();
    Run();
    EXPECT_EQ(answers, (std::vector<EMessageResult>{EMessageResult::Retry, EMessageResult::No,
                                                    EMessageResult::Failed}));
    ASSERT_EQ(FrontEnd.MessageBoxes.size(), 3U);
    EXPECT_EQ(FrontEnd.MessageBoxes[0].Style, ui::MB_RETRYCANCEL);
    EXPECT_EQ(FrontEnd.MessageBoxes[1].Style, ui::MB_YESNOCANCEL | ui::MB_ICONERROR);
}

TEST_F(KestrelDlgTest, ArgumentIsQuotedTrimmedCutTo255AndOnlyTheFirstIsKept) {
    System.CommandLine = L"\"/opt/Client/Kestrel\" \"  x y  \" second third";
    FrontEnd.Answers = {IDYES};
    FrontEnd.Script = [](CScriptedFrontEnd& f) { f.Command(IDOK); };
    Run();
    EXPECT_EQ(RestartArgs, L"x y Kestrel");

    CFakeSystem longSystem;
    longSystem.CommandLine = L"Kestrel " + std::wstring(300, L'a');
    CScriptedFrontEnd frontEnd;
    frontEnd.Answers = {IDYES};
    frontEnd.Script = [](CScriptedFrontEnd& f) { f.Command(IDOK); };
    CKestrelDlg dialog(longSystem);
    dialog.DoModal(frontEnd);
    EXPECT_EQ(dialog.GetRestartArgs(), std::wstring(255, L'a') + L" Kestrel");
}

// The button (and Enter) send IDOK; Esc and the close box send IDCANCEL. All ask first.
class KestrelExitQuestionTest : public KestrelDlgTest, public ::testing::WithParamInterface<int> {};

TEST_P(KestrelExitQuestionTest, OnlyYesEndsAndNothingIsApplied) {
    const int command = GetParam();
    FrontEnd.Answers = {IDNO, IDCANCEL, 0, IDYES};
    std::vector<bool> runningAfter;
    FrontEnd.Script = [&](CScriptedFrontEnd& f) {
        for (int i = 0; i < 4; ++i) {
            runningAfter.push_back(f.Command(command));
        }
    };
    EXPECT_EQ(Run(), IDOK);
    EXPECT_EQ(runningAfter, (std::vector<bool>{true, true, true, false}));
    ASSERT_EQ(FrontEnd.MessageBoxes.size(), 4U);
    for (const CShownMessageBox& box : FrontEnd.MessageBoxes) {
        EXPECT_EQ(box.Text, L"确定要退出吗?");
        EXPECT_EQ(box.Caption, L"提示");
        EXPECT_EQ(box.Style, ui::MB_YESNOCANCEL);
    }
    EXPECT_FALSE(FrontEnd.IsQuitPosted());
    EXPECT_EQ(System.Log, std::vector<std::wstring>{L"chdir"});
}

INSTANTIATE_TEST_SUITE_P(ButtonEscAndCloseBox, KestrelExitQuestionTest,
                         ::testing::Values(IDOK, IDCANCEL));

// The question's own loop goes on delivering the wait's ticks. While Osprey.exe runs the
// question stays and its answer counts; once it has ended the question closes itself, its
// answer is never taken, and the update goes on exactly as without it.
TEST_F(KestrelDlgTest, ExitQuestionOpenWhenOspreyEndsClosesItselfAndTheUpdateGoesOn) {
    System.OspreyRunningTicks = 3;
    FrontEnd.Answers = {IDNO, IDYES};
    std::vector<bool> timerRunningInBox;
    FrontEnd.WhileMessageBoxOpen = [&](CScriptedFrontEnd& f) {
        if (f.MessageBoxes.size() == 1) {
            f.Tick(CKestrelDlg::kWaitTimerId);  // Osprey.exe still runs: the box stays
        } else {
            f.Tick(CKestrelDlg::kWaitTimerId);  // still runs
            f.Tick(CKestrelDlg::kWaitTimerId);  // gone: the box is closed
            timerRunningInBox.push_back(f.Timers.count(CKestrelDlg::kWaitTimerId) != 0);
            f.Tick(CKestrelDlg::kWaitTimerId);  // nothing more is checked
        }
    };
    FrontEnd.Script = [](CScriptedFrontEnd& f) {
        f.Tick(CKestrelDlg::kWaitTimerId);
        f.Command(IDCANCEL);  // answered No: keeps waiting
        f.Command(IDOK);      // closed when Osprey.exe ends
    };
    EXPECT_EQ(Run(), -1);

    ASSERT_EQ(FrontEnd.MessageBoxes.size(), 2U);
    EXPECT_EQ(FrontEnd.MessageBoxes[1].Text, L"确定要退出吗?");
    EXPECT_EQ(FrontEnd.ClosedMessageBoxes, 1);
    EXPECT_EQ(FrontEnd.Answers, std::deque<int>{IDYES});
    EXPECT_EQ(timerRunningInBox, std::vector<bool>{false});
    EXPECT_EQ(System.Counts.size(), 5U);  // own path, then 3 hits and the miss
    const std::vector<std::wstring> effects = {L"chdir", L"apply " + kList, L"delete " + kList,
                                               L"launch " + kOsprey + L"|abc Kestrel"};
    EXPECT_EQ(System.Log, effects);
    const std::vector<std::wstring> status = {L"正在等待Osprey.exe退出!", L"正在应用更新..."};
    EXPECT_EQ(FrontEnd.StatusHistory, status);
    EXPECT_TRUE(FrontEnd.IsQuitPosted());
    EXPECT_EQ(FrontEnd.GetQuitCode(), 0);
}

TEST_F(KestrelDlgTest, ApplicationRunsTheDialogAndExitsWithQuitCodeZero) {
    System.CommandLine = L"Kestrel";
    app::CKestrelApp application(System);
    EXPECT_EQ(application.Run(FrontEnd), 0);
    EXPECT_TRUE(FrontEnd.IsQuitPosted());
}

}  // namespace
}  // namespace kestrel::test
