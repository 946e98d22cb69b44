#include "core/FileOps.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <memory>

#include "KestrelTestFiles.h"

namespace kestrel::test {

using namespace kestrel::core;

namespace fs = std::filesystem;

TEST(MakeDirsForPath, CreatesEveryFolderButTheLastComponent) {
    CTempFolder temp;
    EXPECT_TRUE(MakeDirsForPath(Wide(temp.Path() + "\\a\\b\\c.txt")));
    EXPECT_TRUE(fs::is_directory(temp / "a/b"));
    EXPECT_FALSE(fs::exists(temp / "a/b/c.txt"));
    EXPECT_TRUE(MakeDirsForPath(Wide(temp.Path() + "/x/y/")));
    EXPECT_TRUE(fs::is_directory(temp / "x/y"));
    // An existing path is true at once.
    EXPECT_TRUE(MakeDirsForPath(Wide(temp.Path() + "/x")));
}

TEST(MakeDirsForPath, ReportsFailureButCreatesWhatItCan) {
    CTempFolder temp;
    WriteTextFile(temp / "file", "x");
    // "file" is in the way of the first folder, so "file/sub" cannot be made either.
    EXPECT_FALSE(MakeDirsForPath(Wide(temp.Path() + "/file/sub/leaf")));
}

TEST(CopyFileOver, AReplacedTargetKeepsItsBitsANewOneTakesTheSources) {
    CTempFolder temp;
    WriteTextFile(temp / "new.bin", "new contents");
    ::chmod((temp / "new.bin").c_str(), 0750);
    WriteTextFile(temp / "old.bin", "old");
    ::chmod((temp / "old.bin").c_str(), 0444);
    ASSERT_TRUE(CopyFileOver(Wide(temp / "new.bin"), Wide(temp / "old.bin")));
    EXPECT_EQ(ReadTextFile(temp / "old.bin"), "new contents");
    EXPECT_EQ(PermissionBits(temp / "old.bin"), 0444u);
    ASSERT_TRUE(CopyFileOver(Wide(temp / "new.bin"), Wide(temp / "fresh.bin")));
    EXPECT_EQ(PermissionBits(temp / "fresh.bin"), 0750u);
    EXPECT_EQ(ReadTextFile(temp / "new.bin"), "new contents");
    // Only the three files remain: the temporary copies took the targets' names.
    EXPECT_EQ(std::distance(fs::directory_iterator(temp.Path()), fs::directory_iterator()), 3);
}

// A killed run leaves "<target>.kestrel-copy" behind; the next copy clears it, even when it is
// a link, whose target stays as it was.
TEST(CopyFileOver, ClearsTheLeftoverOfAKilledCopy) {
    CTempFolder temp;
    WriteTextFile(temp / "src", "new");
    WriteTextFile(temp / "target.kestrel-copy", "half a copy");
    ASSERT_TRUE(CopyFileOver(Wide(temp / "src"), Wide(temp / "target")));
    EXPECT_EQ(ReadTextFile(temp / "target"), "new");
    EXPECT_FALSE(FileExists(temp / "target.kestrel-copy"));

    WriteTextFile(temp / "elsewhere", "kept");
    fs::create_symlink(temp / "elsewhere", temp / "other.kestrel-copy");
    ASSERT_TRUE(CopyFileOver(Wide(temp / "src"), Wide(temp / "other")));
    EXPECT_EQ(ReadTextFile(temp / "other"), "new");
    EXPECT_EQ(ReadTextFile(temp / "elsewhere"), "kept");
    EXPECT_FALSE(FileExists(temp / "other.kestrel-copy"));
}

// Neither making a file writable nor copying follows a link: the file it names, possibly
// outside the program folder, keeps its bits and contents.
TEST(CopyFileOver, LinksAreNotFollowed) {
    CTempFolder temp;
    WriteTextFile(temp / "outside.txt", "outside");
    ::chmod((temp / "outside.txt").c_str(), 0444);
    fs::create_symlink(temp / "outside.txt", temp / "link.txt");
    EXPECT_FALSE(CopyFileOver(Wide(temp / "link.txt"), Wide(temp / "copy.txt")));
    EXPECT_FALSE(FileExists(temp / "copy.txt"));
    EXPECT_TRUE(DeleteFileForced(Wide(temp / "link.txt")));  // the link goes, not its target
    EXPECT_EQ(PermissionBits(temp / "outside.txt"), 0444u);
    EXPECT_EQ(ReadTextFile(temp / "outside.txt"), "outside");
}

TEST(NameTheSameFile, ComparesFilesOnDiskNotSpellings) {
    CTempFolder temp;
    WriteTextFile(temp / "a/f", "x");
    WriteTextFile(temp / "g", "x");
    fs::create_hard_link(temp / "a/f", temp / "hard");
    EXPECT_TRUE(NameTheSameFile(Wide(temp / "a/f"), Wide(temp.Path() + "\\a\\..\\a\\.\\f")));
    EXPECT_TRUE(NameTheSameFile(Wide(temp / "a/f"), Wide(temp / "hard")));
    EXPECT_FALSE(NameTheSameFile(Wide(temp / "a/f"), Wide(temp / "g")));
    EXPECT_FALSE(NameTheSameFile(Wide(temp / "a/f"), Wide(temp / "missing")));
    EXPECT_TRUE(HaveSameContents(Wide(temp / "a/f"), Wide(temp / "g")));
    WriteTextFile(temp / "g", "xy");
    EXPECT_FALSE(HaveSameContents(Wide(temp / "a/f"), Wide(temp / "g")));
    EXPECT_FALSE(HaveSameContents(Wide(temp / "a/f"), Wide(temp / "missing")));
}

TEST(CopyFileOver, FailsWithoutTouchingTheTargetOrLeavingLitter) {
    CTempFolder temp;
    WriteTextFile(temp / "target", "kept");
    EXPECT_FALSE(CopyFileOver(Wide(temp / "missing"), Wide(temp / "target")));
    EXPECT_EQ(ReadTextFile(temp / "target"), "kept");

    WriteTextFile(temp / "src", "data");
    EXPECT_FALSE(CopyFileOver(Wide(temp / "src"), Wide(temp / "no/such/folder/t")));
    // A target that is a folder (an empty Dest joined to the program folder) cannot be replaced.
    fs::create_directory(temp / "dir");
    EXPECT_FALSE(CopyFileOver(Wide(temp / "src"), Wide(temp / "dir")));
    EXPECT_FALSE(CopyFileOver(Wide(temp / "src"), Wide(temp.Path() + "/")));
    EXPECT_EQ(std::distance(fs::directory_iterator(temp.Path()), fs::directory_iterator()), 3);
}

TEST(CopyFileOver, KeepsTheOldFileForAProgramStillReadingIt) {
    CTempFolder temp;
    WriteTextFile(temp / "lib.so", "old image");
    std::ifstream held(temp / "lib.so", std::ios::binary);
    WriteTextFile(temp / "lib.so.new", "new image");
    ASSERT_TRUE(CopyFileOver(Wide(temp / "lib.so.new"), Wide(temp / "lib.so")));
    std::string seen;
    std::getline(held, seen);
    EXPECT_EQ(seen, "old image");
    EXPECT_EQ(ReadTextFile(temp / "lib.so"), "new image");
}

TEST(DeleteFileForced, RemovesReadOnlyFilesButNotFolders) {
    CTempFolder temp;
    WriteTextFile(temp / "ro.txt", "x");
    SetReadOnly(temp / "ro.txt");
    EXPECT_TRUE(DeleteFileForced(Wide(temp / "ro.txt")));
    EXPECT_FALSE(FileExists(temp / "ro.txt"));
    EXPECT_FALSE(DeleteFileForced(Wide(temp / "ro.txt")));
    fs::create_directory(temp / "dir");
    EXPECT_FALSE(DeleteFileForced(Wide(temp / "dir")));
}

TEST(IsExistingFile, IsFalseForFoldersAndMissingPaths) {
    CTempFolder temp;
    WriteTextFile(temp / "a\\b.txt", "x");  // a backslash in a file name on disk
    WriteTextFile(temp / "a/b.txt", "x");
    EXPECT_TRUE(IsExistingFile(Wide(temp.Path() + "\\a\\b.txt")));  // read as separators
    EXPECT_FALSE(IsExistingFile(Wide(temp / "a")));
    EXPECT_FALSE(IsExistingFile(Wide(temp / "missing")));
}

TEST(ReadWholeFile, ReturnsDataFollowedByFourZeroBytes) {
    CTempFolder temp;
    WriteTextFile(temp / "list.xml", std::string("ab\0c", 4));
    long size = -1;
    std::unique_ptr<char[]> data(ReadWholeFile(Wide(temp / "list.xml"), size));
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(size, 4);
    EXPECT_EQ(std::string(data.get(), 4), std::string("ab\0c", 4));
    for (int i = 4; i < 8; ++i) {
        EXPECT_EQ(data[i], '\0');
    }
}

TEST(ReadWholeFile, GivesNullForEmptyMissingOrFolder) {
    CTempFolder temp;
    WriteTextFile(temp / "empty", "");
    long size = -1;
    EXPECT_EQ(ReadWholeFile(Wide(temp / "empty"), size), nullptr);
    EXPECT_EQ(size, 0);
    EXPECT_EQ(ReadWholeFile(Wide(temp / "missing"), size), nullptr);
    EXPECT_EQ(ReadWholeFile(Wide(temp.Path()), size), nullptr);
}

TEST(GetFileSize, KeepsTheStreamPosition) {
    CTempFolder temp;
    WriteTextFile(temp / "f", "0123456789");
    std::FILE* file = std::fopen((temp / "f").c_str(), "rb");
    ASSERT_NE(file, nullptr);
    std::fseek(file, 3, SEEK_SET);
    EXPECT_EQ(GetFileSize(file), 10);
    EXPECT_EQ(std::ftell(file), 3);
    std::fclose(file);
    EXPECT_EQ(GetFileSize(nullptr), 0);
}

}  // namespace kestrel::test
