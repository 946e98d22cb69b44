#include "core/CoverFileList.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <deque>
#include <filesystem>
#include <functional>
#include <vector>

#include "FileStepLimit.h"
#include "KestrelTestFiles.h"
#include "core/MessageBox.h"

namespace kestrel::test {

using namespace kestrel::core;

namespace fs = std::filesystem;

namespace {

// Answers prompts from a script (Cancel once it runs out) and remembers what it was shown.
class CScriptedBox : public IMessageBox {
  public:
    struct CPrompt {
        std::wstring text;
        std::wstring caption;
        EMessageButtons buttons;
    };

    std::deque<EMessageResult> answers;
    std::function<void()> onShow;
    std::vector<CPrompt> prompts;

    EMessageResult Show(const std::wstring& text, const std::wstring& caption,
                        EMessageButtons buttons, EMessageIcon) override {
        prompts.push_back({text, caption, buttons});
        if (onShow) {
            onShow();
        }
        if (answers.empty()) {
            return EMessageResult::Cancel;
        }
        const EMessageResult answer = answers.front();
        answers.pop_front();
        return answer;
    }
};

std::string Entry(const std::string& src, const std::string& dest, const std::string& extra = "") {
    return "<File><Src>" + src + "</Src><Dest>" + dest + "</Dest>" + extra + "</File>";
}

// A program folder "prog" with a neighbour "outside" that no list may reach.
class CoverFileListTest : public ::testing::Test {
  protected:
    CoverFileListTest() {
        fs::create_directories(m_temp / "prog");
        fs::create_directories(m_temp / "outside");
    }

    std::wstring ProgramFolder() const { return Wide(m_temp / "prog/"); }
    std::string ListPath() const { return At("Osprey/UpCoverFileList.xml"); }

    void WriteList(const std::string& entries, const std::string& listAttributes = "") {
        WriteTextFile(ListPath(), "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Root><FileList" +
                                      listAttributes + ">" + entries + "</FileList></Root>");
    }

    bool Apply() { return ApplyCoverFileList(Wide(ListPath()), m_box, ProgramFolder()); }

    std::string At(const std::string& relative) const { return m_temp / ("prog/" + relative); }
    std::string Outside(const std::string& relative) const {
        return m_temp / ("outside/" + relative);
    }
    std::string Contents(const std::string& relative) const { return ReadTextFile(At(relative)); }
    void Put(const std::string& relative, const std::string& text) {
        WriteTextFile(At(relative), text);
    }

    CTempFolder m_temp;
    CScriptedBox m_box;
};

}  // namespace

TEST_F(CoverFileListTest, AppliesOnceAndChangesNothingTheSecondTime) {
    Put("Osprey.exe", "old exe");
    SetReadOnly(At("Osprey.exe"));
    Put("Osprey/new/Osprey.exe", "new exe");
    Put("Osprey/new/a.dll", "new dll");
    SetReadOnly(At("Osprey/new/a.dll"));
    Put("Osprey/new/更新.txt", "new text");
    WriteList(Entry("Osprey\\new\\Osprey.exe", "Osprey.exe") +
              Entry("Osprey\\new\\a.dll", "lib\\sub\\a.dll") +
              Entry("Osprey/new/更新.txt", "文档\\更新.txt"));

    ASSERT_TRUE(Apply());
    EXPECT_TRUE(m_box.prompts.empty());
    EXPECT_EQ(Contents("Osprey.exe"), "new exe");
    EXPECT_EQ(Contents("lib/sub/a.dll"), "new dll");
    EXPECT_EQ(Contents("文档/更新.txt"), "new text");
    EXPECT_FALSE(FileExists(At("Osprey/new/Osprey.exe")));
    EXPECT_FALSE(FileExists(At("Osprey/new/a.dll")));
    EXPECT_FALSE(FileExists(At("Osprey/new/更新.txt")));

    EXPECT_TRUE(Apply());
    EXPECT_TRUE(m_box.prompts.empty());
    EXPECT_EQ(Contents("Osprey.exe"), "new exe");
    EXPECT_EQ(Contents("lib/sub/a.dll"), "new dll");
}

TEST_F(CoverFileListTest, SkipsEntriesThatAreIncompleteMisnamedOrWithoutSource) {
    for (const char* name : {"s1", "s2", "s3", "s4", "s5", "s6", "s7"}) {
        Put(std::string("new/") + name, name);
    }
    WriteList(
        "<File><Src>new\\s1</Src></File>"                          // no Dest
        "<File><Dest>d2</Dest></File>"                             // no Src
        + Entry("new\\missing", "d3")                              // no source file
        + "<file><Src>new\\s3</Src><Dest>d3</Dest></file>"         // wrong case entry
        + "<File><src>new\\s4</src><Dest>d4</Dest></File>"         // wrong case child
        + "<Other><Src>new\\s5</Src><Dest>d5</Dest></Other>"       // not an entry
        + "<File/><File>text only</File>"                          // no child elements
        + "<File><Dest>d6</Dest><Note/><Src>new\\s6</Src></File>"  // any order
        + Entry("new\\s1", "ignored", "<Src>new\\s7</Src>")        // last Src wins
        + Entry("", "d8"));                                        // empty Src
    ASSERT_TRUE(Apply());
    EXPECT_TRUE(m_box.prompts.empty());
    EXPECT_EQ(Contents("d6"), "s6");
    EXPECT_EQ(Contents("ignored"), "s7");
    for (const char* dest : {"d2", "d3", "d4", "d5", "d8"}) {
        EXPECT_FALSE(FileExists(At(dest))) << dest;
    }
    for (const char* kept : {"s1", "s3", "s4", "s5"}) {
        EXPECT_EQ(Contents(std::string("new/") + kept), kept);
    }
}

TEST_F(CoverFileListTest, ReadsOnlyTheFirstListElement) {
    Put("new/a", "a");
    Put("new/b", "b");
    WriteTextFile(ListPath(), "<Root><First>" + Entry("new\\a", "a") + "</First><Second>" +
                                  Entry("new\\b", "b") + "</Second></Root>");
    ASSERT_TRUE(Apply());
    EXPECT_EQ(Contents("a"), "a");
    EXPECT_FALSE(FileExists(At("b")));
}

TEST_F(CoverFileListTest, UnusableListsReturnFalseAndChangeNothing) {
    Put("new/a", "a");
    const std::vector<std::string> lists = {
        "",                                           // empty
        "this is not XML",                            // no root
        "<Root/>",                                    // no list element
        "<Root><FileList UpdateTime=\"x\"/></Root>",  // no entries
        "<Root><FileList>only text</FileList></Root>",
    };
    EXPECT_FALSE(Apply()) << "missing list";
    for (const std::string& list : lists) {
        WriteTextFile(ListPath(), list);
        EXPECT_FALSE(Apply()) << list;
    }
    EXPECT_EQ(Contents("new/a"), "a");
    EXPECT_TRUE(m_box.prompts.empty());
}

TEST_F(CoverFileListTest, EmptyDestPromptsAndCancelLeavesLaterEntriesUntouched) {
    Put("new/a", "a");
    Put("new/b", "b");
    WriteList(Entry("new\\a", "") + Entry("new\\b", "b"));
    m_box.answers = {EMessageResult::Cancel};
    EXPECT_FALSE(Apply());
    ASSERT_EQ(m_box.prompts.size(), 1u);
    EXPECT_EQ(m_box.prompts[0].text,
              L"文件[" + ProgramFolder() + L"new\\a]无法替换, 你可能需要重新启动电脑");
    EXPECT_EQ(m_box.prompts[0].caption, L"提示");
    EXPECT_EQ(m_box.prompts[0].buttons, EMessageButtons::RetryCancel);
    EXPECT_EQ(Contents("new/a"), "a");
    EXPECT_EQ(Contents("new/b"), "b");
    EXPECT_FALSE(FileExists(At("b")));
}

TEST_F(CoverFileListTest, RetryRepeatsTheWholeAttemptUntilItSucceeds) {
    Put("new/a", "a");
    fs::create_directories(At("blocked"));  // a folder where the file must go
    WriteList(Entry("new\\a", "blocked"));
    m_box.answers = {EMessageResult::Retry, EMessageResult::Retry};
    m_box.onShow = [&] {
        if (m_box.prompts.size() == 2) {
            fs::remove(At("blocked"));
        }
    };
    EXPECT_TRUE(Apply());
    EXPECT_EQ(m_box.prompts.size(), 2u);
    EXPECT_EQ(Contents("blocked"), "a");
    EXPECT_FALSE(FileExists(At("new/a")));
}

TEST_F(CoverFileListTest, ABoxThatCannotBeShownMovesOnToTheNextEntry) {
    Put("new/a", "a");
    Put("new/b", "b");
    WriteList(Entry("new\\a", "") + Entry("new\\b", "b"));
    m_box.answers = {EMessageResult::Failed};
    EXPECT_TRUE(Apply());
    EXPECT_EQ(Contents("b"), "b");
    EXPECT_EQ(Contents("new/a"), "a");
}

TEST_F(CoverFileListTest, PathsThatDoNotFit260CharactersAreFailuresNotCut) {
    const size_t room = 259 - Narrow(ProgramFolder()).size();
    const std::string fitting = "new/" + std::string(room - 4, 'f');
    const std::string longDest = std::string(room + 1, 'd');
    Put(fitting, "fits");
    WriteList(Entry(fitting, longDest));
    m_box.answers = {EMessageResult::Cancel};
    EXPECT_FALSE(Apply());
    EXPECT_EQ(m_box.prompts.size(), 1u);
    EXPECT_EQ(Contents(fitting), "fits");
    // The cut name (259 characters) must not have been written either.
    EXPECT_FALSE(FileExists(At(longDest.substr(0, room))));

    m_box.prompts.clear();
    WriteList(Entry(fitting, "ok"));
    EXPECT_TRUE(Apply());
    EXPECT_TRUE(m_box.prompts.empty());
    EXPECT_EQ(Contents("ok"), "fits");
}

TEST_F(CoverFileListTest, PrivateCopiesAreBackedUpUnderTheStampAndRemoved) {
    Put("new/user.ini", "common");
    Put("private/alice/config/user.ini", "alice's");
    Put("private/bob/other.ini", "bob's");
    Put("private/carol/config/user.ini", "carol's");
    WriteList(
        Entry("new\\user.ini", "config\\user.ini", "<ImpactUserPrivate>1</ImpactUserPrivate>"),
        " UpdateTime=\"2024-05-06 07:08:09\"");
    ASSERT_TRUE(Apply());
    EXPECT_EQ(Contents("config/user.ini"), "common");
    const std::string backup = "update_backup/2024-05-06 07_08_09/private/";
    EXPECT_EQ(Contents(backup + "alice/config/user.ini"), "alice's");
    EXPECT_EQ(Contents(backup + "carol/config/user.ini"), "carol's");
    EXPECT_FALSE(FileExists(At("private/alice/config/user.ini")));
    EXPECT_FALSE(FileExists(At("private/carol/config/user.ini")));
    EXPECT_EQ(Contents("private/bob/other.ini"), "bob's");
    EXPECT_FALSE(FileExists(At(backup + "bob")));
}

TEST_F(CoverFileListTest, MissingUpdateTimeUsesThe1970Stamp) {
    Put("new/a.ini", "common");
    Put("private/alice/a.ini", "alice's");
    WriteList(Entry("new\\a.ini", "a.ini", "<ImpactUserPrivate>7</ImpactUserPrivate>"));
    ASSERT_TRUE(Apply());
    EXPECT_EQ(Contents("update_backup/1970-00-00 00_00_00/private/alice/a.ini"), "alice's");
    EXPECT_FALSE(FileExists(At("private/alice/a.ini")));
}

TEST_F(CoverFileListTest, ImpactUserPrivateZeroMissingOrNotANumberTouchesNothing) {
    Put("private/alice/a", "a");
    Put("private/alice/b", "b");
    Put("private/alice/c", "c");
    Put("private/alice/d", "d");
    for (const char* name : {"a", "b", "c", "d"}) {
        Put(std::string("new/") + name, "common");
    }
    WriteList(Entry("new\\a", "a", "<ImpactUserPrivate>0</ImpactUserPrivate>") +
              Entry("new\\b", "b") +
              Entry("new\\c", "c", "<ImpactUserPrivate>yes</ImpactUserPrivate>") +
              Entry("new\\d", "d", "<ImpactUserPrivate> 2nd</ImpactUserPrivate>"));
    ASSERT_TRUE(Apply());
    EXPECT_EQ(Contents("private/alice/a"), "a");
    EXPECT_EQ(Contents("private/alice/b"), "b");
    EXPECT_EQ(Contents("private/alice/c"), "c");
    // Leading digits count, as atoi reads them.
    EXPECT_FALSE(FileExists(At("private/alice/d")));
}

TEST_F(CoverFileListTest, APrivateCopyWhoseBackupFailsIsKept) {
    Put("new/a.ini", "common");
    Put("private/alice/a.ini", "alice's");
    Put("update_backup", "a file where the backup folder should be");
    WriteList(Entry("new\\a.ini", "a.ini", "<ImpactUserPrivate>1</ImpactUserPrivate>"));
    ASSERT_TRUE(Apply());
    EXPECT_EQ(Contents("a.ini"), "common");
    EXPECT_EQ(Contents("private/alice/a.ini"), "alice's");
}

TEST_F(CoverFileListTest, APrivateCopyWhoseBackupPathDoesNotFitIsKept) {
    Put("new/a.ini", "common");
    Put("private/alice/a.ini", "alice's");
    const std::string stamp(240, 's');  // update_backup\<stamp>\private\alice\a.ini > 259
    WriteList(Entry("new\\a.ini", "a.ini", "<ImpactUserPrivate>1</ImpactUserPrivate>"),
              " UpdateTime=\"" + stamp + "\"");
    ASSERT_TRUE(Apply());
    EXPECT_EQ(Contents("private/alice/a.ini"), "alice's");
    EXPECT_FALSE(FileExists(At("update_backup")));
}

TEST_F(CoverFileListTest, DestPrefixedWithTheProgramFolderInAnyCaseIsMadeRelative) {
    Put("private/alice/cfg/a.ini", "alice's");
    std::wstring dest = ProgramFolder() + L"cfg\\a.ini";
    for (wchar_t& ch : dest) {
        ch = static_cast<wchar_t>(std::towupper(ch));
    }
    // Upper case reaches the program folder's name only; the relative part must match on disk.
    dest = dest.substr(0, ProgramFolder().size()) + L"cfg\\a.ini";
    ApplyUserPrivateCopies(dest, true, L"t:1", ProgramFolder());
    EXPECT_EQ(Contents("update_backup/t_1/private/alice/cfg/a.ini"), "alice's");
    EXPECT_FALSE(FileExists(At("private/alice/cfg/a.ini")));
}

TEST_F(CoverFileListTest, WithoutBackupPrivateCopiesAreOnlyDeleted) {
    Put("private/alice/a.ini", "alice's");
    ApplyUserPrivateCopies(L"a.ini", false, L"", ProgramFolder());
    EXPECT_FALSE(FileExists(At("private/alice/a.ini")));
    EXPECT_FALSE(FileExists(At("update_backup")));
}

namespace {

const std::string kImpact = "<ImpactUserPrivate>1</ImpactUserPrivate>";

size_t CountOf(const std::string& text, const std::string& part) {
    size_t count = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
        ++count;
    }
    return count;
}

}  // namespace

// Lists that climb out with "..", through linked folders or through UpdateTime: outside the
// program folder nothing changes, each skipped entry is named on standard error, and every
// private copy is either in place or in a backup.
TEST_F(CoverFileListTest, HostileListsChangeNothingOutsideTheProgramFolder) {
    WriteTextFile(Outside("victim.txt"), "victim");
    WriteTextFile(Outside("user.doc"), "outside doc");
    WriteTextFile(Outside("ro.txt"), "read-only");
    ::chmod(Outside("ro.txt").c_str(), 0444);
    Put("new/evil.sh", "evil");
    Put("new/planted.txt", "planted");
    Put("new/user.doc", "common doc");
    Put("new/ro.txt", "new ro");
    Put("private/alice/cfg/user.doc", "alice's doc");
    WriteTextFile(Outside("cfg/user.doc"), "outside cfg doc");
    fs::create_directories(At("private/mallory"));
    fs::create_symlink(m_temp / "outside", At("private/mallory/cfg"));
    fs::create_symlink(m_temp / "outside", At("private/linked-user"));
    fs::create_symlink(m_temp / "outside", At("linked"));
    fs::create_symlink(Outside("ro.txt"), At("ro-link.txt"));
    fs::create_symlink(Outside("ro.txt"), At("new/ro-src.txt"));
    const auto outsideBefore = SnapshotTree(m_temp / "outside");

    WriteList(Entry("..\\outside\\victim.txt", "moved.txt") +      // Src outside
                  Entry("new\\evil.sh", "..\\outside\\evil.sh") +  // Dest outside
                  Entry("new\\user.doc", "..\\..\\..\\outside\\user.doc", kImpact) +
                  Entry("new\\planted.txt", "linked\\planted.txt") +  // through a linked folder
                  Entry("new\\ro.txt", "ro-link.txt") +               // a link as Dest
                  Entry("new\\ro-src.txt", "taken.txt") +             // a link as Src
                  Entry("new\\user.doc", "cfg\\user.doc", kImpact),   // inside: applied
              " UpdateTime=\"..\\..\\outside\\bk\"");
    testing::internal::CaptureStderr();
    ASSERT_TRUE(Apply());
    const std::string errors = testing::internal::GetCapturedStderr();

    EXPECT_EQ(SnapshotTree(m_temp / "outside"), outsideBefore);
    EXPECT_EQ(PermissionBits(Outside("ro.txt")), 0444u);
    EXPECT_TRUE(m_box.prompts.empty());
    EXPECT_EQ(CountOf(errors, "outside the program folder"), 6u) << errors;
    EXPECT_EQ(CountOf(errors, "private copy left alone"), 1u) << errors;
    EXPECT_NE(errors.find("..\\outside\\victim.txt"), std::string::npos) << errors;
    // Skipped entries keep their sources; the one inside entry is applied.
    for (const char* kept : {"new/evil.sh", "new/planted.txt", "new/ro.txt"}) {
        EXPECT_TRUE(FileExists(At(kept))) << kept;
    }
    EXPECT_FALSE(FileExists(At("moved.txt")));
    EXPECT_FALSE(FileExists(At("taken.txt")));
    EXPECT_EQ(Contents("cfg/user.doc"), "common doc");
    EXPECT_EQ(Contents("update_backup/.._.._outside_bk/private/alice/cfg/user.doc"), "alice's doc");
    EXPECT_FALSE(FileExists(At("private/alice/cfg/user.doc")));
    EXPECT_EQ(SnapshotTree(At("update_backup")).size(), 5u);  // alice's backup alone
}

// Links inside the program folder that lead to a user's file: a Src or Dest that is a link is
// deleted or replaced as the link (the new file is read through it), and a Src or Dest under a
// linked folder is skipped like one outside. No user's file is changed or lost.
TEST_F(CoverFileListTest, LinksToAUsersFileAreActedOnAsLinksNeverThroughThem) {
    Put("private/alice/data.txt", "alice's data");
    Put("private/alice/notes.txt", "alice's notes");
    Put("new/notes.txt", "common notes");
    Put("new/planted.txt", "planted");
    fs::create_directories(At("lib"));
    fs::create_symlink(At("private/alice/data.txt"), At("new/data-link.txt"));
    fs::create_symlink(At("private/alice/notes.txt"), At("lib/notes.txt"));
    fs::create_symlink(At("private/alice"), At("alice-link"));
    const auto aliceBefore = SnapshotTree(At("private/alice"));

    WriteList(Entry("new\\data-link.txt", "data.txt") +               // Src a link
              Entry("new\\notes.txt", "lib\\notes.txt") +             // Dest a link
              Entry("alice-link\\data.txt", "taken.txt") +            // Src under a link
              Entry("new\\planted.txt", "alice-link\\planted.txt") +  // Dest under a link
              Entry("lib\\..\\alice-link\\notes.txt", "taken.txt"));  // and through ".."
    testing::internal::CaptureStderr();
    ASSERT_TRUE(Apply());
    const std::string errors = testing::internal::GetCapturedStderr();

    EXPECT_EQ(SnapshotTree(At("private/alice")), aliceBefore);
    EXPECT_FALSE(fs::exists(fs::symlink_status(At("new/data-link.txt")))) << "the link stays";
    EXPECT_EQ(Contents("data.txt"), "alice's data");
    EXPECT_FALSE(fs::is_symlink(At("lib/notes.txt")));
    EXPECT_EQ(Contents("lib/notes.txt"), "common notes");
    EXPECT_FALSE(FileExists(At("new/notes.txt")));
    EXPECT_FALSE(FileExists(At("taken.txt")));
    EXPECT_TRUE(FileExists(At("new/planted.txt")));
    EXPECT_EQ(CountOf(errors, "under a linked folder"), 3u) << errors;
    EXPECT_TRUE(m_box.prompts.empty());
}

// A private copy that is a link to another of the user's files: the copy was backed up and then
// deleted through the link, which took the other file with it.
TEST_F(CoverFileListTest, APrivateCopyThatIsALinkIsRemovedAsTheLink) {
    Put("new/b.ini", "common");
    Put("private/alice/keep.txt", "alice's keep");
    fs::create_symlink(At("private/alice/keep.txt"), At("private/alice/b.ini"));
    WriteList(Entry("new\\b.ini", "b.ini", kImpact));
    ASSERT_TRUE(Apply());
    EXPECT_EQ(Contents("private/alice/keep.txt"), "alice's keep");
    EXPECT_FALSE(fs::exists(fs::symlink_status(At("private/alice/b.ini"))));
    EXPECT_EQ(Contents("update_backup/1970-00-00 00_00_00/private/alice/b.ini"), "alice's keep");
}

// UpdateTime "..": the backup once landed on the private copy itself, which was then deleted.
TEST_F(CoverFileListTest, UpdateTimeBecomesOneFolderName) {
    // As written in the list's XML, and the folder each becomes.
    const std::vector<std::pair<std::string, std::string>> stamps = {
        {"..", "__"},         {".", "_"},      {"a/b\\c", "a_b_c"},
        {"end. .", "end___"}, {"nul", "nul_"}, {"x&lt;&gt;&quot;|?*:y", "x_______y"}};
    for (const auto& [stamp, folder] : stamps) {
        Put("new/a.ini", "common");
        Put("private/alice/a.ini", "alice's " + folder);
        WriteList(Entry("new\\a.ini", "a.ini", kImpact), " UpdateTime=\"" + stamp + "\"");
        ASSERT_TRUE(Apply()) << stamp;
        EXPECT_EQ(Contents("update_backup/" + folder + "/private/alice/a.ini"),
                  "alice's " + folder);
        EXPECT_FALSE(FileExists(At("private/alice/a.ini"))) << stamp;
    }
}

TEST_F(CoverFileListTest, AProgramFolderBehindALinkIsResolvedFirst) {
    fs::create_symlink(m_temp / "prog", m_temp / "prog-link");
    Put("new/a.dll", "new dll");
    Put("private/alice/lib/a.dll", "alice's");
    WriteList(Entry("new\\a.dll", "lib\\a.dll", kImpact));
    ASSERT_TRUE(ApplyCoverFileList(Wide(ListPath()), m_box, Wide(m_temp / "prog-link/")));
    EXPECT_EQ(Contents("lib/a.dll"), "new dll");
    EXPECT_EQ(Contents("update_backup/1970-00-00 00_00_00/private/alice/lib/a.dll"), "alice's");
    EXPECT_FALSE(FileExists(At("new/a.dll")));
}

// Copied onto itself and then deleted as the source, the installed file used to vanish.
TEST_F(CoverFileListTest, SrcAndDestNamingOneFileChangeNothing) {
    Put("Osprey.exe", "installed");
    Put("private/alice/Osprey.exe", "alice's");
    fs::create_hard_link(At("Osprey.exe"), At("hard.exe"));
    const auto before = SnapshotTree(m_temp / "prog");
    WriteList(Entry("Osprey.exe", "Osprey.exe", kImpact) +
              Entry(".\\Osprey.exe", "sub\\..\\Osprey.exe", kImpact) +
              Entry("hard.exe", "Osprey.exe", kImpact));
    testing::internal::CaptureStderr();
    ASSERT_TRUE(Apply());
    const std::string errors = testing::internal::GetCapturedStderr();
    EXPECT_TRUE(m_box.prompts.empty());
    EXPECT_EQ(CountOf(errors, "Src and Dest are one file"), 3u) << errors;
    auto after = SnapshotTree(m_temp / "prog");
    after.erase("Osprey");  // the list itself
    after.erase("Osprey/UpCoverFileList.xml");
    EXPECT_EQ(after, before);
}

// Backups are per file: a different file of the same name under the stamp sends the new one
// to "<stamp> (2)", then "(3)"; an identical one is the same backup and serves again.
TEST_F(CoverFileListTest, UpdatesWithTheSameStampNeverOverwriteABackup) {
    const std::string stamp = "update_backup/1970-00-00 00_00_00";
    const auto update = [&](const std::string& alice, const std::string& bob) {
        Put("new/user.ini", "common");
        Put("private/alice/user.ini", alice);
        if (!bob.empty()) {
            Put("private/bob/user.ini", bob);
        }
        WriteList(Entry("new\\user.ini", "user.ini", kImpact));
        ASSERT_TRUE(Apply());
        EXPECT_FALSE(FileExists(At("private/alice/user.ini")));
        EXPECT_FALSE(FileExists(At("private/bob/user.ini")));
    };
    update("alice 1", "");
    update("alice 2", "bob 1");
    update("alice 3", "");
    update("alice 2", "");  // the same as the backup in (2): nothing new is written
    EXPECT_EQ(Contents(stamp + "/private/alice/user.ini"), "alice 1");
    EXPECT_EQ(Contents(stamp + " (2)/private/alice/user.ini"), "alice 2");
    EXPECT_EQ(Contents(stamp + " (3)/private/alice/user.ini"), "alice 3");
    EXPECT_EQ(Contents(stamp + "/private/bob/user.ini"), "bob 1");
    EXPECT_FALSE(FileExists(At(stamp + " (4)")));
}

// A replaced file keeps its permission bits, so a downloaded Osprey.exe without the execute
// bit still starts; a new file takes its source's bits.
TEST_F(CoverFileListTest, ReplacedFilesKeepTheirPermissionBits) {
    Put("Osprey.exe", "old exe");
    ::chmod(At("Osprey.exe").c_str(), 0755);
    Put("readonly.txt", "old");
    ::chmod(At("readonly.txt").c_str(), 0444);
    for (const char* name : {"Osprey.exe", "readonly.txt", "fresh.txt"}) {
        Put(std::string("new/") + name, std::string("new ") + name);
        ::chmod(At(std::string("new/") + name).c_str(), 0640);
    }
    WriteList(Entry("new\\Osprey.exe", "Osprey.exe") + Entry("new\\readonly.txt", "readonly.txt") +
              Entry("new\\fresh.txt", "fresh.txt"));
    ASSERT_TRUE(Apply());
    EXPECT_EQ(Contents("Osprey.exe"), "new Osprey.exe");
    EXPECT_EQ(PermissionBits(At("Osprey.exe")), 0755u);
    EXPECT_EQ(Contents("readonly.txt"), "new readonly.txt");
    EXPECT_EQ(PermissionBits(At("readonly.txt")), 0444u);
    EXPECT_EQ(PermissionBits(At("fresh.txt")), 0640u);
}

// A run stopped after each file call in turn (as by a kill), then run again to the end, leaves
// what one uninterrupted run leaves, without temporary files.
TEST_F(CoverFileListTest, ARerunFinishesARunKilledAtAnyStep) {
    const auto plant = [](const CTempFolder& temp) {
        const std::string prog = temp / "prog/";
        WriteTextFile(prog + "Osprey.exe", "old exe");
        ::chmod((prog + "Osprey.exe").c_str(), 0755);
        WriteTextFile(prog + "Osprey/new/Osprey.exe", "new exe");
        ::chmod((prog + "Osprey/new/Osprey.exe").c_str(), 0644);
        WriteTextFile(prog + "Osprey/new/user.ini", "common");
        WriteTextFile(prog + "private/alice/cfg/user.ini", "alice's");
        ::chmod((prog + "private/alice/cfg/user.ini").c_str(), 0444);
        WriteTextFile(prog + "private/bob/cfg/user.ini", "bob's");
        WriteTextFile(prog + "update_backup/t_1/private/bob/cfg/user.ini", "bob's older");
        WriteTextFile(
            prog + "Osprey/UpCoverFileList.xml",
            "<Root><List UpdateTime=\"t:1\">" + Entry("Osprey\\new\\Osprey.exe", "Osprey.exe") +
                Entry("Osprey\\new\\user.ini", "cfg\\user.ini", kImpact) + "</List></Root>");
    };
    const auto apply = [](const CTempFolder& temp) {
        CScriptedBox box;
        return ApplyCoverFileList(Wide(temp / "prog/Osprey/UpCoverFileList.xml"), box,
                                  Wide(temp / "prog/"));
    };

    CTempFolder whole(MemoryBackedFolder());
    plant(whole);
    ASSERT_TRUE(apply(whole));
    const auto expected = SnapshotTree(whole.Path());
    ASSERT_EQ(expected.at("prog/Osprey.exe"), "755:new exe");

    int steps = 1;
    for (;; ++steps) {
        CTempFolder killed(MemoryBackedFolder());
        plant(killed);
        if (!RunStoppedAfterFileSteps(steps, [&] { apply(killed); })) {
            break;  // the run needed fewer steps: every stopping point has been tried
        }
        ASSERT_TRUE(apply(killed)) << "rerun after step " << steps;
        EXPECT_EQ(SnapshotTree(killed.Path()), expected) << "stopped after step " << steps;
    }
    EXPECT_GT(steps, 20);
}

}  // namespace kestrel::test
