#include "core/LaunchProgram.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <sstream>

#include "KestrelTestFiles.h"
#include "platform/FileSystem.h"

namespace kestrel::test {

using namespace kestrel::core;

namespace {

struct CRecord {
    std::string workingFolder;
    std::string commandLine;
};

CRecord ParseRecord(const std::string& text) {
    std::istringstream in(text);
    CRecord record;
    std::getline(in, record.workingFolder);
    std::getline(in, record.commandLine);
    return record;
}

void Reap(int pid) {
    if (pid > 0) {
        ::waitpid(pid, nullptr, 0);
    }
}

}  // namespace

TEST(LaunchProgram, StartsInTheProgramFolderWithTheWindowsCommandLine) {
    CTempFolder temp;
    const std::string folder = temp / "My Dir";
    const std::string program = InstallTestChild(folder + "/Osprey.exe");
    const std::string record = folder + "/record.txt";
    int pid = -1;
    ASSERT_TRUE(LaunchProgram(Wide(program), Wide("record \"" + record + "\" abc Kestrel"), &pid));
    ASSERT_TRUE(WaitForFile(record));
    Reap(pid);
    const CRecord seen = ParseRecord(ReadTextFile(record));
    EXPECT_EQ(seen.workingFolder, folder);
    // Quotes group tokens and are gone in argv; the rebuilt line quotes what holds a space.
    EXPECT_EQ(seen.commandLine, "\"" + program + "\" record \"" + record + "\" abc Kestrel");
}

TEST(LaunchProgram, TakesARelativeProgramPathAgainstTheCallersFolder) {
    CTempFolder temp;
    InstallTestChild(temp / "sub/Osprey.exe");
    const std::wstring before = kestrel::platform::GetCurrentFolder();
    ASSERT_TRUE(kestrel::platform::SetCurrentFolder(Wide(temp.Path())));
    int pid = -1;
    const bool started = LaunchProgram(L"sub\\Osprey.exe", Wide("record " + temp / "r.txt"), &pid);
    kestrel::platform::SetCurrentFolder(before);
    ASSERT_TRUE(started);
    ASSERT_TRUE(WaitForFile(temp / "r.txt"));
    Reap(pid);
    EXPECT_EQ(ParseRecord(ReadTextFile(temp / "r.txt")).workingFolder, temp / "sub");
}

TEST(LaunchProgram, RefusesAMissingProgramOrACommandLineOver780Characters) {
    CTempFolder temp;
    EXPECT_FALSE(LaunchProgram(Wide(temp / "missing.exe"), L"x"));

    const std::string program = InstallTestChild(temp / "Osprey.exe");
    const std::string record = temp / "r.txt";
    const std::wstring head = L"\"" + Wide(program) + L"\" ";
    std::wstring tail = Wide("record " + record + " ");
    // 779 characters fit the 780-character buffer with its terminator; 780 do not.
    tail += std::wstring(kMaxCommandLineChars - 1 - head.size() - tail.size() + 1, L'x');
    EXPECT_FALSE(LaunchProgram(Wide(program), tail));
    tail.pop_back();
    int pid = -1;
    EXPECT_TRUE(LaunchProgram(Wide(program), tail, &pid));
    EXPECT_TRUE(WaitForFile(record));
    Reap(pid);
}

}  // namespace kestrel::test
