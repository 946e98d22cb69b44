// Kestrel's primitives and cover-file list on the Windows build, on real files and processes:
// read-only attributes, backslash paths, Toolhelp snapshots and CreateProcessW.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "WindowsTestFolder.h"
#include "common/text/Utf8.h"
#include "core/CoverFileList.h"
#include "core/FileOps.h"
#include "core/FolderLister.h"
#include "core/LaunchProgram.h"
#include "core/MessageBox.h"
#include "core/ProcessModules.h"
#include "core/ProgramLocation.h"

using namespace kestrel::core;

namespace {

using namespace std::chrono_literals;

std::wstring Widen(const char* text) {
    return common::text::Utf8ToWide(text);
}

std::string Narrow(const std::wstring& text) {
    return common::text::WideToUtf8(text);
}

std::wstring Upper(std::wstring text) {
    std::transform(text.begin(), text.end(), text.begin(), ::towupper);
    return text;
}

bool WaitFor(const std::wstring& path, std::chrono::milliseconds limit) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (!FileExists(path)) {
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        std::this_thread::sleep_for(10ms);
    }
    return true;
}

class CEnvironmentSetting {
  public:
    CEnvironmentSetting(const wchar_t* name, const std::wstring& value) : m_name(name) {
        ::SetEnvironmentVariableW(name, value.c_str());
    }
    ~CEnvironmentSetting() { ::SetEnvironmentVariableW(m_name, nullptr); }
    CEnvironmentSetting(const CEnvironmentSetting&) = delete;
    CEnvironmentSetting& operator=(const CEnvironmentSetting&) = delete;

  private:
    const wchar_t* m_name;
};

class CRefusingBox : public IMessageBox {
  public:
    int shown = 0;
    EMessageResult Show(const std::wstring&, const std::wstring&, EMessageButtons,
                        EMessageIcon) override {
        ++shown;
        return EMessageResult::Cancel;
    }
};

}  // namespace

TEST(KestrelWindowsFiles, CopyAndDeleteGetPastReadOnlyFiles) {
    CWindowsTestFolder folder;
    WriteText(folder / L"new.txt", "new");
    WriteText(folder / L"old.txt", "old");
    SetReadOnly(folder / L"old.txt");
    ASSERT_TRUE(IsReadOnly(folder / L"old.txt"));

    EXPECT_TRUE(CopyFileOver(folder / L"new.txt", folder / L"old.txt"));
    EXPECT_EQ(ReadText(folder / L"old.txt"), "new");
    EXPECT_TRUE(IsReadOnly(folder / L"old.txt"));  // a replaced file keeps its attributes
    EXPECT_TRUE(CopyFileOver(folder / L"new.txt", folder / L"fresh.txt"));
    EXPECT_FALSE(IsReadOnly(folder / L"fresh.txt"));
    EXPECT_FALSE(CopyFileOver(folder / L"absent.txt", folder / L"old.txt"));
    EXPECT_EQ(ReadText(folder / L"old.txt"), "new");

    SetReadOnly(folder / L"old.txt");
    EXPECT_TRUE(DeleteFileForced(folder / L"old.txt"));
    EXPECT_FALSE(FileExists(folder / L"old.txt"));
    EXPECT_FALSE(DeleteFileForced(folder / L"old.txt"));
}

TEST(KestrelWindowsFiles, FoldersAreMadeAndListedWithEitherSeparator) {
    CWindowsTestFolder folder;
    EXPECT_TRUE(MakeDirsForPath(folder / L"a/b\\c\\file.txt"));
    EXPECT_TRUE(FileExists(folder / L"a\\b\\c"));
    EXPECT_FALSE(FileExists(folder / L"a\\b\\c\\file.txt"));
    WriteText(folder / L"a\\b\\c\\file.txt", "x");
    WriteText(folder / Widen("a\\更新.txt"), "y");

    CFolderLister lister;
    lister.List(folder / L"a", true, CFolderLister::kFiles, true);
    std::vector<std::wstring> files;
    for (size_t i = 0; i < lister.GetCount(); ++i) {
        files.emplace_back(lister.GetItem(i));
    }
    std::sort(files.begin(), files.end());
    const std::vector<std::wstring> expected{folder / L"a\\b\\c\\file.txt",
                                             folder / Widen("a\\更新.txt")};
    EXPECT_EQ(files, expected);

    lister.List(folder / L"a", true, CFolderLister::kFolders, true);
    EXPECT_EQ(lister.GetCount(), 2u);  // b and b\c
}

TEST(KestrelWindowsFiles, ReadWholeFileTerminatesTheDataTwice) {
    CWindowsTestFolder folder;
    WriteText(folder / L"list.xml", "abc");
    long size = 0;
    char* data = ReadWholeFile(folder / L"list.xml", size);
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(size, 3);
    EXPECT_EQ(std::string(data), "abc");
    EXPECT_EQ(data[3] | data[4] | data[5] | data[6], 0);
    delete[] data;
    WriteText(folder / L"empty.xml", "");
    EXPECT_EQ(ReadWholeFile(folder / L"empty.xml", size), nullptr);
}

TEST(KestrelWindowsProcesses, ProgramFolderIsTheExecutablesFolder) {
    const std::wstring path = GetProgramPath();
    EXPECT_GT(path.size(), 4u);
    EXPECT_EQ(Upper(path.substr(path.size() - 4)), L".EXE");
    const std::wstring folder = GetProgramFolder();
    EXPECT_EQ(folder, path.substr(0, path.find_last_of(L'\\') + 1));
}

// One stand-in started by LaunchProgram (CreateProcessW) is found by a Toolhelp scan under its
// path in any case and with either separator, and when remembered as the holder; it no longer
// counts once it has ended, even while a handle keeps its process object.
TEST(KestrelWindowsProcesses, LaunchedProgramIsCountedUntilItEnds) {
    CWindowsTestFolder folder;
    const std::wstring osprey = folder / L"Osprey.exe";
    ASSERT_TRUE(::CopyFileW(Widen(OSPREY_STANDIN).c_str(), osprey.c_str(), FALSE));
    const std::wstring stopFile = folder / L"stop";
    int pid = 0;
    {
        CEnvironmentSetting stay(L"OSPREY_STANDIN_STAY", stopFile);
        ASSERT_TRUE(LaunchProgram(osprey, L"", &pid));
    }
    EXPECT_GT(pid, 0);
    ASSERT_TRUE(WaitFor(stopFile + L".ready", 20s));

    std::wstring spelledOtherwise = Upper(osprey);
    std::replace(spelledOtherwise.begin(), spelledOtherwise.end(), L'\\', L'/');
    EXPECT_EQ(CountProcessesWithModule(osprey), 1);
    EXPECT_EQ(CountProcessesWithModule(spelledOtherwise, 1), 1);
    EXPECT_EQ(CountProcessesWithModule(folder / L"Other.exe"), 0);
    // Remembered, it is asked first and found again.
    int holder = 0;
    EXPECT_EQ(CountProcessesWithModule(osprey, 1, holder), 1);
    EXPECT_EQ(holder, pid);
    EXPECT_EQ(CountProcessesWithModule(spelledOtherwise, 1, holder), 1);
    EXPECT_EQ(holder, pid);

    // A handle held to it keeps the ended process's object alive: the remembered process must
    // still not count once it has ended.
    HANDLE kept = ::OpenProcess(SYNCHRONIZE, FALSE, static_cast<DWORD>(pid));
    WriteText(stopFile, "");
    const auto deadline = std::chrono::steady_clock::now() + 20s;
    while (CountProcessesWithModule(osprey, 1, holder) != 0 &&
           std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(20ms);
    }
    EXPECT_EQ(CountProcessesWithModule(osprey, 1, holder), 0);
    EXPECT_EQ(holder, 0);
    EXPECT_EQ(CountProcessesWithModule(osprey), 0);
    if (kept != nullptr) {
        EXPECT_EQ(::WaitForSingleObject(kept, 0), WAIT_OBJECT_0);
        ::CloseHandle(kept);
    }
}

TEST(KestrelWindowsProcesses, LaunchHandsTheCommandLineAndTheProgramsFolder) {
    CWindowsTestFolder folder;
    const std::wstring programFolder = folder / Widen("程序 目录\\");
    ::CreateDirectoryW(programFolder.c_str(), nullptr);
    const std::wstring osprey = programFolder + L"Osprey.exe";
    ASSERT_TRUE(::CopyFileW(Widen(OSPREY_STANDIN).c_str(), osprey.c_str(), FALSE));

    ASSERT_TRUE(LaunchProgram(osprey, L"-update 7 Kestrel"));
    ASSERT_TRUE(WaitFor(programFolder + L"osprey-launch.txt", 20s));
    // The name may show a moment before Wine lets the renamed file be read.
    std::string record;
    for (int attempt = 0; attempt < 100 && record.empty(); ++attempt) {
        record = ReadText(programFolder + L"osprey-launch.txt");
        std::this_thread::sleep_for(20ms);
    }
    // Working folder (the program's own), whole command line, then each argument.
    const std::string folderText = Narrow(programFolder.substr(0, programFolder.size() - 1));
    const std::string commandLine = "\"" + Narrow(osprey) + "\" -update 7 Kestrel";
    EXPECT_EQ(record, folderText + "\n" + commandLine + "\n-update\n7\nKestrel\n");

    EXPECT_FALSE(LaunchProgram(folder / L"absent.exe", L"x"));
    EXPECT_FALSE(LaunchProgram(osprey, std::wstring(800, L'x')));
}

TEST(KestrelWindowsCoverList, AppliesOverReadOnlyFilesAndBacksUpPrivateCopies) {
    CWindowsTestFolder folder;
    WriteText(folder / L"Osprey.exe", "old exe");
    SetReadOnly(folder / L"Osprey.exe");
    WriteText(folder / L"Osprey\\new\\Osprey.exe", "new exe");
    WriteText(folder / Widen("Osprey\\new\\更新.ini"), "common");
    WriteText(folder / Widen("private\\alice\\config\\更新.ini"), "alice's");
    WriteText(folder / L"Osprey\\UpCoverFileList.xml",
              "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Root><List UpdateTime=\"2024-05-06 "
              "07:08:09\"><File><Src>Osprey\\new\\Osprey.exe</Src><Dest>Osprey.exe</Dest></File>"
              "<File><Src>Osprey/new/更新.ini</Src><Dest>config\\更新.ini</Dest>"
              "<ImpactUserPrivate>1</ImpactUserPrivate></File></List></Root>");

    CRefusingBox box;
    ASSERT_TRUE(ApplyCoverFileList(folder / L"Osprey\\UpCoverFileList.xml", box, folder.Path()));
    EXPECT_EQ(box.shown, 0);
    EXPECT_EQ(ReadText(folder / L"Osprey.exe"), "new exe");
    EXPECT_EQ(ReadText(folder / Widen("config\\更新.ini")), "common");
    EXPECT_FALSE(FileExists(folder / L"Osprey\\new\\Osprey.exe"));
    EXPECT_EQ(ReadText(folder / Widen("update_backup\\2024-05-06 07_08_09\\private\\alice\\config\\"
                                      "更新.ini")),
              "alice's");
    EXPECT_FALSE(FileExists(folder / Widen("private\\alice\\config\\更新.ini")));
}

// Windows refuses to replace a file that a running program holds open without sharing; the
// list then asks Retry or Cancel, and Cancel leaves the installed file as it was.
TEST(KestrelWindowsCoverList, ALockedTargetAsksAndCancelKeepsIt) {
    CWindowsTestFolder folder;
    WriteText(folder / L"locked.dll", "old");
    WriteText(folder / L"new\\locked.dll", "new");
    WriteText(folder / L"list.xml",
              "<Root><List><File><Src>new\\locked.dll</Src><Dest>locked.dll</Dest></File></List>"
              "</Root>");
    HANDLE held = ::CreateFileW((folder / L"locked.dll").c_str(), GENERIC_READ, 0, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    CRefusingBox box;
    EXPECT_FALSE(ApplyCoverFileList(folder / L"list.xml", box, folder.Path()));
    ::CloseHandle(held);
    EXPECT_EQ(box.shown, 1);
    EXPECT_EQ(ReadText(folder / L"locked.dll"), "old");
}

namespace {

std::string ListOf(const std::string& attributes, const std::string& entries) {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Root><List" + attributes + ">" + entries +
           "</List></Root>";
}

std::string Entry(const std::string& src, const std::string& dest, bool impact = false) {
    return "<File><Src>" + src + "</Src><Dest>" + dest + "</Dest>" +
           (impact ? "<ImpactUserPrivate>1</ImpactUserPrivate>" : "") + "</File>";
}

}  // namespace

// Lists that climb out of the program folder with "..", in Src, Dest or UpdateTime: nothing
// outside changes, the entries inside are applied, and the private copy sits in its backup.
TEST(KestrelWindowsCoverList, ClimbingListsChangeNothingOutsideTheProgramFolder) {
    CWindowsTestFolder folder;
    const std::wstring prog = folder / L"prog\\";
    WriteText(folder / L"outside\\victim.txt", "victim");
    WriteText(folder / L"outside\\user.doc", "outside doc");
    WriteText(prog + L"new\\evil.txt", "evil");
    WriteText(prog + L"new\\user.doc", "common doc");
    WriteText(prog + L"private\\alice\\user.doc", "alice's doc");
    WriteText(prog + L"list.xml",
              ListOf(" UpdateTime=\"..\\..\\outside\\bk\"",
                     Entry("..\\outside\\victim.txt", "moved.txt") +
                         Entry("new\\evil.txt", "..\\outside\\evil.txt") +
                         Entry("new\\user.doc", "..\\..\\..\\outside\\user.doc", true) +
                         Entry("new\\user.doc", "user.doc", true)));

    CRefusingBox box;
    ASSERT_TRUE(ApplyCoverFileList(prog + L"list.xml", box, prog));
    EXPECT_EQ(box.shown, 0);
    EXPECT_EQ(ReadText(folder / L"outside\\victim.txt"), "victim");
    EXPECT_EQ(ReadText(folder / L"outside\\user.doc"), "outside doc");
    EXPECT_FALSE(FileExists(folder / L"outside\\evil.txt"));
    EXPECT_FALSE(FileExists(folder / L"outside\\bk"));
    EXPECT_FALSE(FileExists(prog + L"moved.txt"));
    EXPECT_EQ(ReadText(prog + L"new\\evil.txt"), "evil");
    EXPECT_EQ(ReadText(prog + L"user.doc"), "common doc");
    EXPECT_EQ(ReadText(prog + L"update_backup\\.._.._outside_bk\\private\\alice\\user.doc"),
              "alice's doc");
    EXPECT_FALSE(FileExists(prog + L"private\\alice\\user.doc"));
}

// Src and Dest naming one file in another spelling: nothing is copied, nothing deleted.
TEST(KestrelWindowsCoverList, SrcAndDestNamingOneFileAreLeftAlone) {
    CWindowsTestFolder folder;
    WriteText(folder / L"Osprey.exe", "installed");
    WriteText(folder / L"list.xml", ListOf("", Entry("Osprey.exe", "OSPREY.EXE") +
                                                   Entry("sub\\..\\Osprey.exe", "./osprey.exe")));
    CRefusingBox box;
    ASSERT_TRUE(ApplyCoverFileList(folder / L"list.xml", box, folder.Path()));
    EXPECT_EQ(box.shown, 0);
    EXPECT_EQ(ReadText(folder / L"Osprey.exe"), "installed");
}

// Two updates under one stamp: the second backup goes beside the first, never over it.
TEST(KestrelWindowsCoverList, ASecondBackupUnderTheSameStampGoesBesideTheFirst) {
    CWindowsTestFolder folder;
    const std::wstring stamp = folder / L"update_backup\\1970-00-00 00_00_00";
    for (const char* alice : {"alice 1", "alice 2"}) {
        WriteText(folder / L"new\\a.ini", "common");
        WriteText(folder / L"private\\alice\\a.ini", alice);
        WriteText(folder / L"list.xml", ListOf("", Entry("new\\a.ini", "a.ini", true)));
        CRefusingBox box;
        ASSERT_TRUE(ApplyCoverFileList(folder / L"list.xml", box, folder.Path()));
        EXPECT_FALSE(FileExists(folder / L"private\\alice\\a.ini"));
    }
    EXPECT_EQ(ReadText(stamp + L"\\private\\alice\\a.ini"), "alice 1");
    EXPECT_EQ(ReadText(stamp + L" (2)\\private\\alice\\a.ini"), "alice 2");
}
