// The real Kestrel binary in scratch program folders, console front-end, with a stand-in
// Osprey.exe: waiting, applying, deleting the list, restarting, and the refusals and failures.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "TestProcess.h"

namespace kestrel::test {
namespace {

namespace fs = std::filesystem;
using std::chrono::milliseconds;
using std::chrono::seconds;

const char* const kWaitingText = "正在等待Osprey.exe退出!";
const char* const kApplyingText = "正在应用更新...";
const char* const kApplyFailedText = "更新应用失败, 程序无法启动! 你可以需要重新安装本程序.";
const char* const kLaunchFailedText = "错误: 运行更新进程失败, 你可能需要重新安装本软件";

std::string ListOf(const std::string& entries) {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Root><List "
           "UpdateTime=\"2024-05-01 10:20:30\">" +
           entries + "</List></Root>\n";
}

std::string Entry(const std::string& src, const std::string& dest) {
    return "<File><Src>" + src + "</Src><Dest>" + dest + "</Dest></File>";
}

// A list that reads fine and applies nothing: its only source file does not exist.
const std::string kNothingToApply = ListOf(Entry("Osprey\\new\\absent.txt", "absent.txt"));

// One program folder: Kestrel, optionally Osprey.exe, and the cover-file list.
class CProgramFolder {
  public:
    explicit CProgramFolder(const fs::path& folder, bool withOsprey = true) : m_folder(folder) {
        fs::create_directories(folder);
        fs::copy_file(KESTREL_BINARY, Kestrel());
        if (withOsprey) {
            fs::copy_file(OSPREY_STANDIN, Osprey());
        }
    }
    fs::path Kestrel() const { return m_folder / "Kestrel"; }
    fs::path Osprey() const { return m_folder / "Osprey.exe"; }
    fs::path List() const { return m_folder / "Osprey" / "UpCoverFileList.xml"; }
    fs::path LaunchRecord() const { return m_folder / "osprey-launch.txt"; }
    fs::path StopFile() const { return m_folder / "osprey-stop"; }
    fs::path Stderr(const std::string& name = "kestrel") const {
        return m_folder.parent_path() / (m_folder.filename().string() + "-" + name + ".err");
    }
    const fs::path& Path() const { return m_folder; }

    // An Osprey.exe of this folder that keeps running until StopOsprey.
    std::unique_ptr<CChildProcess> StartWaitingOsprey() const {
        CChildOptions options;
        options.SetEnv["OSPREY_STANDIN_STAY"] = StopFile().string();
        auto osprey = std::make_unique<CChildProcess>(Osprey(), options);
        EXPECT_TRUE(WaitForFile(StopFile().string() + ".ready", seconds(10)));
        return osprey;
    }
    void StopOsprey(CChildProcess& osprey) const {
        WriteFile(StopFile(), "");
        EXPECT_TRUE(osprey.WaitExit(seconds(10)).has_value());
    }

    // Kestrel on the console front-end, started from "/" so that it must find its folder.
    std::unique_ptr<CChildProcess> StartKestrel(const std::vector<std::string>& arguments,
                                                const std::string& input = "",
                                                const std::string& name = "kestrel") const {
        CChildOptions options;
        options.Arguments = arguments;
        options.UnsetEnv = {"DISPLAY", "WAYLAND_DISPLAY", "OSPREY_STANDIN_STAY"};
        options.StandardInput = input;
        options.StandardError = Stderr(name);
        return std::make_unique<CChildProcess>(Kestrel(), options);
    }

  private:
    fs::path m_folder;
};

void ExpectExitsWithZero(CChildProcess& kestrel) {
    const auto status = kestrel.WaitExit(seconds(20));
    ASSERT_TRUE(status.has_value()) << "Kestrel did not end";
    EXPECT_EQ(*status, 0);
}

TEST(KestrelEndToEndTest, WaitsForOspreyThenAppliesDeletesListAndRestartsIt) {
    CScratchFolder scratch;
    CProgramFolder program(scratch.Path() / "Client Dir");
    WriteFile(program.Path() / "data" / "data.txt", "old");
    WriteFile(program.Path() / "Osprey" / "new" / "data.txt", "new");
    // The new Osprey.exe differs from the running one by a few trailing bytes, and came down
    // without the execute bit: the installed one's bits stay, so the restart still works.
    fs::copy_file(OSPREY_STANDIN, program.Path() / "Osprey" / "new" / "Osprey.exe");
    { std::ofstream(program.Path() / "Osprey" / "new" / "Osprey.exe", std::ios::app) << "v2"; }
    fs::permissions(program.Path() / "Osprey" / "new" / "Osprey.exe",
                    fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read |
                        fs::perms::others_read);
    const fs::perms installedBits = fs::status(program.Osprey()).permissions();
    const std::string newOsprey = ReadFile(program.Path() / "Osprey" / "new" / "Osprey.exe");
    WriteFile(program.List(), ListOf(Entry("Osprey\\new\\data.txt", "data\\data.txt") +
                                     Entry("Osprey\\new\\Osprey.exe", "Osprey.exe")));

    const auto osprey = program.StartWaitingOsprey();
    const auto kestrel = program.StartKestrel({"quoted arg", "second"});

    // Well past the first check: still waiting, nothing touched.
    ASSERT_TRUE(WaitForText(program.Stderr(), kWaitingText, seconds(10)));
    std::this_thread::sleep_for(milliseconds(1500));
    EXPECT_TRUE(kestrel->IsRunning());
    EXPECT_EQ(ReadFile(program.Path() / "data" / "data.txt"), "old");
    EXPECT_TRUE(fs::exists(program.List()));

    program.StopOsprey(*osprey);
    ExpectExitsWithZero(*kestrel);

    EXPECT_EQ(ReadFile(program.Path() / "data" / "data.txt"), "new");
    EXPECT_EQ(ReadFile(program.Osprey()), newOsprey);
    EXPECT_EQ(fs::status(program.Osprey()).permissions(), installedBits);
    EXPECT_FALSE(fs::exists(program.Path() / "Osprey" / "new" / "data.txt"));
    EXPECT_FALSE(fs::exists(program.List()));
    EXPECT_EQ(ReadFile(program.Stderr()),
              std::string("更新更新程序\n") + kWaitingText + "\n" + kApplyingText + "\n");

    // The restarted Osprey.exe runs in the program folder with argument 1, unquoted and so cut
    // in two, followed by the marker; the second argument is not handed back.
    ASSERT_TRUE(WaitForFile(program.LaunchRecord(), seconds(10)));
    const std::vector<std::string> record = {program.Path().string(), "quoted", "arg", "Kestrel"};
    EXPECT_EQ(ReadLines(program.LaunchRecord()), record);
}

TEST(KestrelEndToEndTest, LongArgumentIsCutTo255AndOspreyElsewhereDoesNotHoldKestrelUp) {
    CScratchFolder scratch;
    CProgramFolder program(scratch.Path() / "prog");
    CProgramFolder elsewhere(scratch.Path() / "other");
    WriteFile(program.List(), kNothingToApply);
    const auto foreignOsprey = elsewhere.StartWaitingOsprey();

    const auto kestrel = program.StartKestrel({std::string(300, 'a')});
    ExpectExitsWithZero(*kestrel);

    ASSERT_TRUE(WaitForFile(program.LaunchRecord(), seconds(10)));
    const std::vector<std::string> record = {program.Path().string(), std::string(255, 'a'),
                                             "Kestrel"};
    EXPECT_EQ(ReadLines(program.LaunchRecord()), record);
    EXPECT_FALSE(fs::exists(program.List()));
    elsewhere.StopOsprey(*foreignOsprey);
}

TEST(KestrelEndToEndTest, NoArgumentOrSecondInstanceQuitsAtOnceButACopyElsewhereRuns) {
    CScratchFolder scratch;
    CProgramFolder program(scratch.Path() / "prog");
    CProgramFolder copy(scratch.Path() / "copy");
    WriteFile(program.List(), kNothingToApply);
    WriteFile(copy.List(), kNothingToApply);

    // Without an argument nothing is shown, applied, deleted or started.
    const auto bare = program.StartKestrel({}, "", "bare");
    ExpectExitsWithZero(*bare);
    EXPECT_EQ(ReadFile(program.Stderr("bare")), "");
    EXPECT_TRUE(fs::exists(program.List()));

    const auto osprey = program.StartWaitingOsprey();
    const auto first = program.StartKestrel({"x"}, "", "first");
    ASSERT_TRUE(WaitForText(program.Stderr("first"), kWaitingText, seconds(10)));

    const auto second = program.StartKestrel({"x"}, "", "second");
    ExpectExitsWithZero(*second);
    EXPECT_EQ(ReadFile(program.Stderr("second")), "");

    const auto other = copy.StartKestrel({"y"});
    ExpectExitsWithZero(*other);
    ASSERT_TRUE(WaitForFile(copy.LaunchRecord(), seconds(10)));
    EXPECT_EQ(ReadLines(copy.LaunchRecord()).back(), "Kestrel");

    // The first one is still waiting on its own Osprey.exe.
    EXPECT_TRUE(first->IsRunning());
    first->Terminate();
    program.StopOsprey(*osprey);
    EXPECT_TRUE(fs::exists(program.List()));
    EXPECT_FALSE(fs::exists(program.LaunchRecord()));
}

TEST(KestrelEndToEndTest, ReplaceFailureCancelledKeepsListShowsFailureAndStartsNothing) {
    CScratchFolder scratch;
    CProgramFolder program(scratch.Path() / "prog");
    WriteFile(program.Path() / "Osprey" / "new" / "a.txt", "new");
    // An empty Dest makes the program folder itself the target: the copy fails and asks.
    WriteFile(program.List(), ListOf(Entry("Osprey\\new\\a.txt", "")));

    // An unknown answer asks again, Retry tries again, the end of input cancels.
    const auto kestrel = program.StartKestrel({"x"}, "?\nr\n");
    ExpectExitsWithZero(*kestrel);

    const std::string output = ReadFile(program.Stderr());
    size_t prompts = 0;
    for (size_t at = output.find("[R]etry [C]ancel"); at != std::string::npos;
         at = output.find("[R]etry [C]ancel", at + 1)) {
        ++prompts;
    }
    EXPECT_EQ(prompts, 3U) << output;
    EXPECT_NE(output.find("a.txt]无法替换, 你可能需要重新启动电脑"), std::string::npos) << output;
    EXPECT_NE(output.find(std::string("提示: ") + kApplyFailedText + "\n[O]K"), std::string::npos)
        << output;
    EXPECT_TRUE(fs::exists(program.List()));
    EXPECT_TRUE(fs::exists(program.Path() / "Osprey" / "new" / "a.txt"));
    std::this_thread::sleep_for(milliseconds(200));
    EXPECT_FALSE(fs::exists(program.LaunchRecord()));
}

TEST(KestrelEndToEndTest, MissingOspreyAtRestartShowsLaunchFailureAfterDeletingList) {
    CScratchFolder scratch;
    CProgramFolder program(scratch.Path() / "prog", /*withOsprey=*/false);
    WriteFile(program.List(), kNothingToApply);

    const auto kestrel = program.StartKestrel({"x"});
    ExpectExitsWithZero(*kestrel);

    EXPECT_NE(ReadFile(program.Stderr()).find(kLaunchFailedText), std::string::npos)
        << ReadFile(program.Stderr());
    EXPECT_FALSE(fs::exists(program.List()));
}

}  // namespace
}  // namespace kestrel::test
