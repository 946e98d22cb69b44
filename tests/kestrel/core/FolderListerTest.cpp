#include "core/FolderLister.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <vector>

#include "KestrelTestFiles.h"

namespace kestrel::test {

using namespace kestrel::core;

namespace {

std::vector<std::string> Items(const CFolderLister& lister, const CTempFolder& temp) {
    std::vector<std::string> items;
    for (size_t i = 0; i < lister.GetCount(); ++i) {
        // Relative to the temporary folder, for readable expectations.
        items.push_back(Narrow(lister.GetItem(i)).substr(temp.Path().size() + 1));
    }
    return items;
}

size_t IndexOf(const std::vector<std::string>& items, const std::string& item) {
    return static_cast<size_t>(std::find(items.begin(), items.end(), item) - items.begin());
}

}  // namespace

TEST(CFolderLister, ListsFoldersOnlyWithTheBackslashPrefix) {
    CTempFolder temp;
    WriteTextFile(temp / "private/alice/a.txt", "x");
    WriteTextFile(temp / "private/bob/b.txt", "x");
    WriteTextFile(temp / "private/loose.txt", "x");
    CFolderLister lister;
    lister.List(Wide(temp.Path() + "/private"), false, CFolderLister::kFolders, true);
    auto items = Items(lister, temp);
    std::sort(items.begin(), items.end());
    EXPECT_EQ(items, (std::vector<std::string>{"private\\alice", "private\\bob"}));
}

TEST(CFolderLister, RecursiveListingPutsContentsRightAfterTheirFolder) {
    CTempFolder temp;
    WriteTextFile(temp / "r/a/x.txt", "x");
    WriteTextFile(temp / "r/a/deep/y.txt", "x");
    WriteTextFile(temp / "r/b/z.txt", "x");
    WriteTextFile(temp / "r/top.txt", "x");
    CFolderLister lister;
    lister.List(Wide(temp / "r"), true, CFolderLister::kFiles | CFolderLister::kFolders, true);
    const auto items = Items(lister, temp);
    ASSERT_EQ(items.size(), 7u);
    // Depth first: every path follows its folder, and a folder's subtree is contiguous.
    const size_t a = IndexOf(items, "r\\a");
    const size_t deep = IndexOf(items, "r\\a\\deep");
    EXPECT_LT(a, deep);
    EXPECT_EQ(IndexOf(items, "r\\a\\deep\\y.txt"), deep + 1);
    for (const char* path : {"r\\a\\x.txt", "r\\a\\deep", "r\\a\\deep\\y.txt"}) {
        EXPECT_GT(IndexOf(items, path), a);
        EXPECT_LE(IndexOf(items, path), a + 3);
    }
    EXPECT_EQ(IndexOf(items, "r\\b\\z.txt"), IndexOf(items, "r\\b") + 1);
}

TEST(CFolderLister, FlagsZeroOnlyClearsAndClearFirstFalseAppends) {
    CTempFolder temp;
    WriteTextFile(temp / "d/f.txt", "x");
    CFolderLister lister;
    lister.List(Wide(temp / "d"), false, CFolderLister::kFiles, true);
    lister.List(Wide(temp / "d"), false, CFolderLister::kFiles, false);
    EXPECT_EQ(lister.GetCount(), 2u);
    lister.List(Wide(temp / "d"), false, 0, false);
    EXPECT_EQ(lister.GetCount(), 2u);
    lister.List(Wide(temp / "d"), false, 0, true);
    EXPECT_EQ(lister.GetCount(), 0u);
    lister.List(Wide(temp / "missing"), true, CFolderLister::kFiles, true);
    EXPECT_EQ(lister.GetCount(), 0u);
}

TEST(CFolderLister, DoesNotFollowALinkBackUpTheTree) {
    CTempFolder temp;
    WriteTextFile(temp / "t/f.txt", "x");
    ASSERT_EQ(::symlink("..", (temp / "t/up").c_str()), 0);
    CFolderLister lister;
    lister.List(Wide(temp / "t"), true, CFolderLister::kFiles | CFolderLister::kFolders, true);
    auto items = Items(lister, temp);
    std::sort(items.begin(), items.end());
    EXPECT_EQ(items, (std::vector<std::string>{"t\\f.txt", "t\\up"}));
}

}  // namespace kestrel::test
