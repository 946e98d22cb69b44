#include "core/ProcessModules.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cwctype>
#include <memory>

#include "KestrelTestFiles.h"
#include "core/FileOps.h"
#include "core/ProgramLocation.h"

namespace kestrel::test {

using namespace kestrel::core;

namespace {

std::wstring Upper(std::wstring text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](wchar_t ch) { return static_cast<wchar_t>(std::towupper(ch)); });
    return text;
}

}  // namespace

TEST(CountProcessesWithModule, CountsAChildByItsPathInAnyCaseButNotACopyElsewhere) {
    CTempFolder temp;
    const std::string app = InstallTestChild(temp / "app/Osprey.exe");
    const std::string other = InstallTestChild(temp / "other/Osprey.exe");
    EXPECT_EQ(CountProcessesWithModule(Wide(app)), 0);
    EXPECT_EQ(CountProcessesWithModule(L""), 0);

    CSleepingChild first(app);
    CSleepingChild elsewhere(other);
    ASSERT_TRUE(first.IsRunning() && elsewhere.IsRunning());
    EXPECT_EQ(CountProcessesWithModule(Wide(app)), 1);
    EXPECT_EQ(CountProcessesWithModule(Upper(Wide(app))), 1);
    // The path as a list written for Windows spells it.
    std::wstring backslashed = Wide(app);
    std::replace(backslashed.begin(), backslashed.end(), L'/', L'\\');
    EXPECT_EQ(CountProcessesWithModule(backslashed), 1);

    // A program shows in exe and several times in maps, yet each process adds 1.
    CSleepingChild second(app);
    EXPECT_EQ(CountProcessesWithModule(Wide(app)), 2);
    EXPECT_EQ(CountProcessesWithModule(Wide(app), 1), 1);
    EXPECT_EQ(CountProcessesWithModule(Wide(other)), 1);
}

// A wait asks about one file over and over. The process that had it is checked first and alone;
// a full scan runs only once that process has ended or does not have the file, and it finds
// whoever has the file now.
TEST(CountProcessesWithModule, RemembersTheHolderChecksItFirstAndScansOnceItHasGone) {
    CTempFolder temp;
    const std::string app = InstallTestChild(temp / "app/Osprey.exe");
    const std::string other = InstallTestChild(temp / "other/Other.exe");
    auto one = std::make_unique<CSleepingChild>(app);
    auto two = std::make_unique<CSleepingChild>(app);
    CSleepingChild unrelated(other);
    ASSERT_TRUE(one->IsRunning() && two->IsRunning() && unrelated.IsRunning());

    int holder = 0;
    ASSERT_EQ(CountProcessesWithModule(Wide(app), 1, holder), 1);
    ASSERT_TRUE(holder == one->Pid() || holder == two->Pid());
    // The one a scan meets second is remembered: it is asked first, so it stays the holder.
    const int scannedFirst = holder;
    const int scannedSecond = holder == one->Pid() ? two->Pid() : one->Pid();
    holder = scannedSecond;
    EXPECT_EQ(CountProcessesWithModule(Upper(Wide(app)), 1, holder), 1);
    EXPECT_EQ(holder, scannedSecond);
    // A full count is never cut short by the remembered process.
    EXPECT_EQ(CountProcessesWithModule(Wide(app), 0, holder), 2);

    // A remembered process without the file (or this test's own) leads to a scan.
    for (const int without : {static_cast<int>(unrelated.Pid()), static_cast<int>(::getpid())}) {
        holder = without;
        EXPECT_EQ(CountProcessesWithModule(Wide(app), 1, holder), 1);
        EXPECT_EQ(holder, scannedFirst);
    }

    // The remembered process ends: the scan finds the other one, then nobody.
    holder = scannedSecond;
    (scannedSecond == one->Pid() ? one : two).reset();
    EXPECT_EQ(CountProcessesWithModule(Wide(app), 1, holder), 1);
    EXPECT_EQ(holder, scannedFirst);
    one.reset();
    two.reset();
    EXPECT_EQ(CountProcessesWithModule(Wide(app), 1, holder), 0);
    EXPECT_EQ(holder, 0);
    EXPECT_EQ(CountProcessesWithModule(L"", 1, holder), 0);
}

TEST(CountProcessesWithModule, KeepsCountingAProgramWhoseFileWasReplacedOrDeleted) {
    CTempFolder temp;
    const std::string replaced = InstallTestChild(temp / "a/Osprey.exe");
    const std::string deleted = InstallTestChild(temp / "b/Osprey.exe");
    CSleepingChild fromReplaced(replaced);
    CSleepingChild fromDeleted(deleted);
    ASSERT_TRUE(fromReplaced.IsRunning() && fromDeleted.IsRunning());

    WriteTextFile(temp / "a/new.exe", "a new build");
    ASSERT_TRUE(CopyFileOver(Wide(temp / "a/new.exe"), Wide(replaced)));
    ASSERT_TRUE(DeleteFileForced(Wide(deleted)));
    // The kernel now shows the old files as "<path> (deleted)".
    EXPECT_EQ(CountProcessesWithModule(Wide(replaced)), 1);
    EXPECT_EQ(CountProcessesWithModule(Wide(deleted)), 1);
    EXPECT_EQ(CountProcessesWithModule(Wide(deleted + " (deleted)")), 0);
}

TEST(CountProcessesWithModule, CountsAFileLoadedWithoutBeingTheExecutable) {
    CTempFolder temp;
    InstallTestChild(temp / "host");
    WriteTextFile(temp / "app/Osprey.dll", "mapped like a library");
    CSleepingChild loader(temp / "host", temp / "app/Osprey.dll");
    ASSERT_TRUE(loader.IsRunning());
    // The child maps the file after it starts; give it a moment to get there.
    int count = 0;
    for (int i = 0; i < 500 && count == 0; ++i) {
        count = CountProcessesWithModule(Wide(temp / "app/osprey.DLL"));
        if (count == 0) {
            ::usleep(10000);
        }
    }
    EXPECT_EQ(count, 1);
    // Remembered, it is still found through its mapped files alone.
    int holder = 0;
    ASSERT_EQ(CountProcessesWithModule(Wide(temp / "app/Osprey.dll"), 1, holder), 1);
    EXPECT_EQ(holder, loader.Pid());
    EXPECT_EQ(CountProcessesWithModule(Wide(temp / "app/Osprey.dll"), 1, holder), 1);
    EXPECT_EQ(holder, loader.Pid());
    ASSERT_TRUE(DeleteFileForced(Wide(temp / "app/Osprey.dll")));
    EXPECT_EQ(CountProcessesWithModule(Wide(temp / "app/Osprey.dll")), 1);
}

TEST(CountProcessesWithModule, FindsAProgramStartedThroughALinkedFolder) {
    CTempFolder temp;
    InstallTestChild(temp / "real/Osprey.exe");
    ASSERT_EQ(::symlink((temp / "real").c_str(), (temp / "link").c_str()), 0);
    CSleepingChild child(temp / "link/Osprey.exe");
    ASSERT_TRUE(child.IsRunning());
    EXPECT_EQ(CountProcessesWithModule(Wide(temp / "link/Osprey.exe")), 1);
    EXPECT_EQ(CountProcessesWithModule(Wide(temp / "real/Osprey.exe")), 1);
}

// Another user's processes cannot be inspected: they add nothing, while the caller's own
// still count. Needs root to start a scanner under another user.
TEST(CountProcessesWithModule, ProcessesWhoseFilesCannotBeReadAddNothing) {
    if (::geteuid() != 0) {
        GTEST_SKIP() << "needs root to run the scan as the user nobody";
    }
    CTempFolder temp;
    ::chmod(temp.Path().c_str(), 0755);
    const std::string app = InstallTestChild(temp / "app/Osprey.exe");
    CSleepingChild rootChild(app);
    ASSERT_TRUE(rootChild.IsRunning());
    ASSERT_EQ(CountProcessesWithModule(Wide(app)), 1);

    const std::wstring ownProgram = GetProgramPath();
    const pid_t scanner = ::fork();
    ASSERT_GE(scanner, 0);
    if (scanner == 0) {
        if (::setgid(65534) != 0 || ::setuid(65534) != 0) {
            ::_exit(100);
        }
        // Exit code: 10 * (count of the root child's program) + count of our own program.
        const int unreadable = CountProcessesWithModule(Wide(app));
        const int own = CountProcessesWithModule(ownProgram);
        ::_exit(std::min(unreadable, 9) * 10 + std::min(own, 9));
    }
    int status = 0;
    ASSERT_EQ(::waitpid(scanner, &status, 0), scanner);
    ASSERT_TRUE(WIFEXITED(status));
    ASSERT_NE(WEXITSTATUS(status), 100) << "could not become nobody";
    EXPECT_EQ(WEXITSTATUS(status) / 10, 0) << "a root process was counted by nobody";
    // This test process is root's (as is any other copy of it running now): only the forked
    // scanner itself is readable to nobody.
    EXPECT_EQ(WEXITSTATUS(status) % 10, 1);
}

}  // namespace kestrel::test
