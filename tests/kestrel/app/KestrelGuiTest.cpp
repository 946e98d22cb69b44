// Kestrel on the GTK front-end under a private Xvfb display: the real binary's window with its
// caption, the exit question on Esc and its closing itself once Osprey.exe has exited,
// screenshots for people to look at, the console kept on request beside a display, and (in
// process) the status text and button label as GTK holds them. Skipped when Xvfb is not
// installed.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <memory>
#include <sstream>
#include <string>
#include <thread>

#include "TestProcess.h"
#include "app/KestrelDlg.h"
#include "app/KestrelResources.h"
#include "ui/GtkFrontEnd.h"

namespace kestrel::test {
namespace {

using namespace kestrel::core;

namespace fs = std::filesystem;
using std::chrono::milliseconds;
using std::chrono::seconds;

std::string Trimmed(std::string text) {
    while (!text.empty() && (text.back() == '\n' || text.back() == ' ')) {
        text.pop_back();
    }
    return text;
}

class KestrelGuiTest : public ::testing::Test {
  protected:
    void SetUp() override {
        if (Trimmed(RunAndRead("command -v Xvfb")).empty()) {
            GTEST_SKIP() << "Xvfb is not installed: the GTK window cannot be checked "
                            "(scripts/install-deps.sh installs it)";
        }
        // Xvfb picks a free display itself and names it on descriptor 3 once it takes clients:
        // numbers picked by the tests themselves could meet on one server when two ran at once,
        // and a socket shows before its server answers. -noreset: by default the server resets
        // when its last client leaves, and an xdotool search leaving just as Kestrel connected
        // made Kestrel's handshake fail, so it fell back to its console.
        m_displayFile = m_scratch.Path() / "display";
        CChildOptions options;
        options.Arguments = {
            "-c",
            "exec \"$0\" -displayfd 3 -noreset -nolisten tcp -screen 0 640x400x24 3>'" +
                m_displayFile.string() + "'",
            Trimmed(RunAndRead("command -v Xvfb"))};
        options.StandardError = m_scratch.Path() / "xvfb.err";
        m_xvfb = std::make_unique<CChildProcess>("/bin/sh", options);
        ASSERT_TRUE(WaitForText(m_displayFile, "\n", seconds(20))) << "Xvfb did not start";
        m_display = ":" + Trimmed(ReadFile(m_displayFile));
    }
    void TearDown() override {
        if (m_xvfb) {
            m_xvfb->Terminate();
        }
    }

    std::string X(const std::string& command) const {
        return Trimmed(
            RunAndRead("DISPLAY=" + m_display + " LANG=C.UTF-8 " + command + " 2>/dev/null"));
    }
    // The id of the visible Kestrel window whose title is `title`, waiting for it to appear.
    // GTK sets a CJK title only as _NET_WM_NAME, which xdotool's name search does not read, so
    // windows are found by class and their titles read with xprop. The first GTK program on a
    // fresh machine builds the font caches (the CJK fonts are large), which takes tens of
    // seconds on a loaded machine, hence the generous wait.
    std::string FindWindow(const std::string& title) const {
        const std::string wanted = "_NET_WM_NAME(UTF8_STRING) = \"" + title + "\"";
        const auto deadline = std::chrono::steady_clock::now() + seconds(90);
        while (std::chrono::steady_clock::now() < deadline) {
            std::istringstream ids(X("xdotool search --onlyvisible --class Kestrel"));
            for (std::string id; std::getline(ids, id);) {
                if (X("xprop -id " + id + " _NET_WM_NAME") == wanted) {
                    return id;
                }
            }
            std::this_thread::sleep_for(milliseconds(50));
        }
        return {};
    }
    // Saves the whole screen under the build folder and gives its size in bytes (0 when no
    // picture could be taken). `import` now and then fails to read a freshly mapped window on
    // a loaded machine, so it is given a few tries.
    std::uintmax_t Screenshot(const std::string& name) const {
        const fs::path shot = fs::path(KESTREL_SCREENSHOT_FOLDER) / name;
        for (int attempt = 0; attempt < 5; ++attempt) {
            X("import -window root '" + shot.string() + "'");
            std::error_code error;
            const std::uintmax_t size = fs::file_size(shot, error);
            if (!error && size > 0) {
                return size;
            }
            std::this_thread::sleep_for(milliseconds(500));
        }
        return 0;
    }

    CScratchFolder m_scratch;
    std::filesystem::path m_displayFile;
    std::string m_display;
    std::unique_ptr<CChildProcess> m_xvfb;
};

TEST_F(KestrelGuiTest, WindowAsksOnEscAndAnOpenQuestionClosesItselfWhenOspreyExits) {
    CScratchFolder scratch;
    const fs::path program = scratch.Path() / "prog";
    fs::create_directories(program);
    fs::copy_file(KESTREL_BINARY, program / "Kestrel");
    fs::copy_file(OSPREY_STANDIN, program / "Osprey.exe");
    WriteFile(program / "data.txt", "old");
    WriteFile(program / "Osprey" / "new" / "data.txt", "new");
    WriteFile(program / "Osprey" / "UpCoverFileList.xml",
              "<Root><List><File><Src>Osprey\\new\\data.txt</Src><Dest>data.txt</Dest></File>"
              "</List></Root>");

    CChildOptions ospreyOptions;
    ospreyOptions.SetEnv["OSPREY_STANDIN_STAY"] = (program / "stop").string();
    CChildProcess osprey(program / "Osprey.exe", ospreyOptions);
    ASSERT_TRUE(WaitForFile(program / "stop.ready", seconds(10)));

    CChildOptions options;
    options.Arguments = {"gui"};
    options.SetEnv["DISPLAY"] = m_display;
    options.UnsetEnv = {"WAYLAND_DISPLAY", "OSPREY_STANDIN_STAY"};
    options.StandardError = scratch.Path() / "kestrel.err";
    CChildProcess kestrel(program / "Kestrel", options);

    const std::string window = FindWindow("更新更新程序");
    ASSERT_FALSE(window.empty()) << "no Kestrel window on " << m_display
                                 << "; Kestrel said: " << ReadFile(scratch.Path() / "kestrel.err")
                                 << "; Xvfb running " << m_xvfb->IsRunning()
                                 << " said: " << ReadFile(m_scratch.Path() / "xvfb.err");
    std::this_thread::sleep_for(milliseconds(1500));  // past the first check, drawn
    EXPECT_GT(Screenshot("kestrel-gui.png"), 0U) << "no screenshot of the window";

    // Esc asks the exit question; Esc on the question is Cancel, so Kestrel keeps waiting.
    X("xdotool windowfocus --sync " + window + " key Escape");
    const std::string question = FindWindow("提示");
    ASSERT_FALSE(question.empty()) << "Esc did not ask the exit question";
    std::this_thread::sleep_for(milliseconds(300));
    EXPECT_GT(Screenshot("kestrel-gui-exit-question.png"), 0U) << "no screenshot of the question";
    X("xdotool windowfocus --sync " + question + " key Escape");
    std::this_thread::sleep_for(milliseconds(300));
    EXPECT_TRUE(kestrel.IsRunning());

    // Asked again, and left unanswered while Osprey.exe exits: the question goes by itself and
    // the update goes on as if it had not been asked.
    X("xdotool windowfocus --sync " + window + " key Escape");
    ASSERT_FALSE(FindWindow("提示").empty()) << "Esc did not ask the exit question again";
    WriteFile(program / "stop", "");
    ASSERT_TRUE(osprey.WaitExit(seconds(10)).has_value());
    const auto status = kestrel.WaitExit(seconds(20));
    ASSERT_TRUE(status.has_value()) << "Kestrel still waits for an answer";
    EXPECT_EQ(*status, 0);
    EXPECT_EQ(X("xdotool search --onlyvisible --class Kestrel"), "");
    EXPECT_EQ(ReadFile(program / "data.txt"), "new");
    EXPECT_FALSE(fs::exists(program / "Osprey" / "UpCoverFileList.xml"));
    EXPECT_TRUE(WaitForFile(program / "osprey-launch.txt", seconds(10)));
    // The GTK front-end was used: nothing went to the console.
    EXPECT_EQ(ReadFile(scratch.Path() / "kestrel.err").find("正在等待"), std::string::npos);
}

// KESTREL_CONSOLE=1 keeps Kestrel on the console although a display is there: its texts go to
// standard error and its answers come from standard input.
TEST_F(KestrelGuiTest, ConsoleRequestedBesideADisplayWritesAndReadsTheConsole) {
    CScratchFolder scratch;
    const fs::path program = scratch.Path() / "prog";
    fs::create_directories(program);
    fs::copy_file(KESTREL_BINARY, program / "Kestrel");
    // No cover-file list: the failure message waits for its OK on standard input.
    CChildOptions options;
    options.Arguments = {"console"};
    options.SetEnv["DISPLAY"] = m_display;
    options.SetEnv["KESTREL_CONSOLE"] = "1";
    options.UnsetEnv = {"WAYLAND_DISPLAY"};
    options.StandardInput = "o\n";
    options.StandardError = scratch.Path() / "kestrel.err";
    CChildProcess kestrel(program / "Kestrel", options);
    const auto status = kestrel.WaitExit(seconds(30));
    ASSERT_TRUE(status.has_value());
    EXPECT_EQ(*status, 0);

    const std::string output = ReadFile(scratch.Path() / "kestrel.err");
    EXPECT_EQ(output.rfind("更新更新程序\n正在等待Osprey.exe退出!\n", 0), 0U) << output;
    EXPECT_NE(output.find("提示: 更新应用失败, 程序无法启动! 你可以需要重新安装本程序.\n[O]K"),
              std::string::npos)
        << output;
    EXPECT_EQ(X("xdotool search --onlyvisible --class Kestrel"), "");
}

// A machine on which Osprey.exe never exits.
class COspreyKeepsRunning final : public app::IKestrelSystem {
  public:
    bool SetCurrentDirToProgramFolder() override { return true; }
    std::wstring GetProgramPath() override { return L"/x/Kestrel"; }
    std::wstring GetProgramFolder() override { return L"/x/"; }
    std::wstring GetCommandLine() override { return L"Kestrel arg"; }
    int CountProcessesWithModule(const std::wstring& path, int) override {
        return path == L"/x/Osprey.exe" ? 1 : 1;
    }
    bool ApplyCoverFileList(const std::wstring&, IMessageBox&) override { return false; }
    bool DeleteFileForced(const std::wstring&) override { return false; }
    bool LaunchProgram(const std::wstring&, const std::wstring&) override { return false; }
};

// Reads the window's texts back from GTK at the first check, then leaves.
class CProbeDlg final : public app::CKestrelDlg {
  public:
    using app::CKestrelDlg::CKestrelDlg;
    std::wstring Status;
    std::wstring Button;

  protected:
    void OnTimer(unsigned id) override {
        app::CKestrelDlg::OnTimer(id);
        Status = GetDlgItemText(app::IDC_STATUS_TEXT);
        Button = GetDlgItemText(ui::IDOK);
        EndDialog(ui::IDOK);
    }
};

TEST_F(KestrelGuiTest, GtkWindowHoldsWaitingStatusAndMnemonicButton) {
    ::setenv("DISPLAY", m_display.c_str(), 1);
    ::unsetenv("WAYLAND_DISPLAY");
    const auto frontEnd = ui::CGtkFrontEnd::TryCreate();
    ASSERT_NE(frontEnd, nullptr);
    COspreyKeepsRunning machine;
    CProbeDlg dialog(machine);
    EXPECT_EQ(dialog.DoModal(*frontEnd), ui::IDOK);
    EXPECT_EQ(dialog.Status, L"正在等待Osprey.exe退出!");
    EXPECT_EQ(dialog.Button, L"退出(_E)");
}

}  // namespace
}  // namespace kestrel::test
