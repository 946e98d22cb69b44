#include "core/CoverFileList.h"

#include <gtest/gtest.h>

#include <deque>
#include <filesystem>
#include <functional>
#include <vector>

#include "KestrelTestFiles.h"
#include "core/MessageBox.h"

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

class CoverFileListTest : public ::testing::Test {
  protected:
    std::string ListPath() const { return m_temp / "Osprey/UpCoverFileList.xml"; }

    void WriteList(const std::string& entries, const std::string& listAttributes = "") {
        WriteTextFile(ListPath(), "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Root><FileList" +
                                      listAttributes + ">" + entries + "</FileList></Root>");
    }

    bool Apply() { return ApplyCoverFileList(Wide(ListPath()), m_box, m_temp.Folder()); }

    std::string At(const std::string& relative) const { return m_temp / relative; }
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
              L"文件[" + m_temp.Folder() + L"new\\a]无法替换, 你可能需要重新启动电脑");
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
    const size_t room = 259 - Narrow(m_temp.Folder()).size();
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
    std::wstring dest = m_temp.Folder() + L"cfg\\a.ini";
    for (wchar_t& ch : dest) {
        ch = static_cast<wchar_t>(std::towupper(ch));
    }
    // Upper case reaches the program folder's name only; the relative part must match on disk.
    dest = dest.substr(0, m_temp.Folder().size()) + L"cfg\\a.ini";
    ApplyUserPrivateCopies(dest, true, L"t:1", m_temp.Folder());
    EXPECT_EQ(Contents("update_backup/t_1/private/alice/cfg/a.ini"), "alice's");
    EXPECT_FALSE(FileExists(At("private/alice/cfg/a.ini")));
}

TEST_F(CoverFileListTest, WithoutBackupPrivateCopiesAreOnlyDeleted) {
    Put("private/alice/a.ini", "alice's");
    ApplyUserPrivateCopies(L"a.ini", false, L"", m_temp.Folder());
    EXPECT_FALSE(FileExists(At("private/alice/a.ini")));
    EXPECT_FALSE(FileExists(At("update_backup")));
}
