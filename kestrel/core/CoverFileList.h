#pragma once
// Applying the cover-file list that Osprey leaves behind: each entry's new file replaces the
// installed one, the new file is removed, and users' private copies of replaced files are
// backed up under update_backup\ and removed. Runs on the user-interface thread (its prompts
// block it); holds no state between calls. What was applied stays applied.

#include <string>

namespace kestrel::core {

class IMessageBox;

// Applies the list at `listPath` (relative paths against the current folder). Src and Dest of
// each entry are taken against `programFolder` (which ends in a separator); the one-argument
// form uses GetProgramFolder(). A copy that fails, or a Src/Dest path that would not fit 260
// characters, asks "文件[<path>]无法替换, 你可能需要重新启动电脑" through `owner` with Retry and
// Cancel. An entry whose Src or Dest leads outside the program folder (".." and links
// resolved) or lies under a linked folder, or whose Src and Dest are one file, is skipped like
// one whose Src is missing, and named in one line on standard error. A Src or Dest that is
// itself a link is deleted or replaced as the link, never through it. Within an entry the Src is
// deleted last, after the copy and the private copies, so a rerun finishes a run that was killed.
// True when the list was read and every entry applied or skipped; false when the list is missing,
// empty or has no entries, the program folder cannot be resolved, or the user chose Cancel (later
// entries untouched).
bool ApplyCoverFileList(const std::wstring& listPath, IMessageBox& owner);
bool ApplyCoverFileList(const std::wstring& listPath, IMessageBox& owner,
                        const std::wstring& programFolder);

// For each user folder under <programFolder>private\ holding a copy of `destPath` (relative,
// or prefixed by the program folder in any case): when makeBackup is set, copies it to
// <programFolder>update_backup\<stamp>\private\<user>\<destPath>, then deletes it. The stamp is
// made one folder name (ToSingleFolderName: ":" becomes "_" and nothing can climb out); an
// empty stamp is "1970-00-00 00_00_00". Where a different file already holds that backup name,
// the backup goes under "<stamp> (2)", "(3)" and so on; an identical one is kept as this
// copy's backup. Only user folders that are real folders count (not links), and only copies
// that stay inside their user folder; a Dest that climbs out with ".." touches nothing. A
// private copy whose backup fails, or whose backup path would not fit 260 characters, is kept.
void ApplyUserPrivateCopies(const std::wstring& destPath, bool makeBackup,
                            const std::wstring& stamp);
void ApplyUserPrivateCopies(const std::wstring& destPath, bool makeBackup,
                            const std::wstring& stamp, const std::wstring& programFolder);

}  // namespace kestrel::core
