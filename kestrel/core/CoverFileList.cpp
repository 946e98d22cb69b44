#include "core/CoverFileList.h"

#include <tinyxml.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "core/FileOps.h"
#include "core/FolderLister.h"
#include "core/MessageBox.h"
#include "core/PathText.h"
#include "core/ProgramFolderGuard.h"
#include "core/ProgramLocation.h"
#include "core/TextConversion.h"
#include "platform/Diagnostics.h"
#include "platform/FileSystem.h"

namespace kestrel::core {

namespace {

const wchar_t kDefaultStamp[] = L"1970-00-00 00_00_00";
const wchar_t kPromptCaption[] = L"提示";
// How many "<stamp> (n)" folders are tried before a private copy is kept for want of a slot.
constexpr int kMostBackupSlots = 1000;

struct CCoverEntry {
    bool hasSrc = false;
    bool hasDest = false;
    std::string src;
    std::string dest;
    long impactUserPrivate = 0;
};

enum class EAttempt { Applied, Skipped, Failed };

std::wstring WithSeparator(std::wstring folder) {
    AppendPathSeparator(folder);
    return folder;
}

std::string TextOf(const TiXmlElement& element) {
    const char* text = element.GetText();
    return text == nullptr ? std::string() : std::string(text);
}

// Leading digits as atoi reads them (spaces and a sign first); 0 when there are none. Only
// "non-zero" matters, so an out-of-range number keeps its sign rather than overflowing.
long ParseLeadingInteger(const std::string& text) {
    errno = 0;
    return std::strtol(text.c_str(), nullptr, 10);
}

// Picks up Src, Dest and ImpactUserPrivate by exact name; the last occurrence of each wins.
CCoverEntry ReadEntry(const TiXmlElement& entry) {
    CCoverEntry result;
    for (const TiXmlElement* child = entry.FirstChildElement(); child != nullptr;
         child = child->NextSiblingElement()) {
        const char* name = child->Value();
        if (std::strcmp(name, "Src") == 0) {
            result.hasSrc = true;
            result.src = TextOf(*child);
        } else if (std::strcmp(name, "Dest") == 0) {
            result.hasDest = true;
            result.dest = TextOf(*child);
        } else if (std::strcmp(name, "ImpactUserPrivate") == 0) {
            result.impactUserPrivate = ParseLeadingInteger(TextOf(*child));
        }
    }
    return result;
}

void ReportSkippedEntry(const wchar_t* reason, const std::wstring& src, const std::wstring& dest) {
    kestrel::platform::WriteDiagnosticLine(std::wstring(L"Kestrel: cover-file entry skipped, ") +
                                           reason + L": Src \"" + src + L"\" Dest \"" + dest +
                                           L"\"");
}

// Finds the entry `relative` names and what it leads to (ResolveEntry); false, after the line
// on standard error, when the entry is to be skipped.
bool PlaceEntry(const CProgramFolderGuard& guard, const std::wstring& relative,
                std::wstring& entryPath, std::wstring& target, const std::wstring& src,
                const std::wstring& dest) {
    switch (guard.ResolveEntry(relative, entryPath, target)) {
        case EEntryPlace::Inside:
            return true;
        case EEntryPlace::Outside:
            ReportSkippedEntry(L"outside the program folder", src, dest);
            return false;
        case EEntryPlace::UnderLinkedFolder:
            ReportSkippedEntry(L"under a linked folder", src, dest);
            return false;
    }
    return false;
}

// One attempt at an entry. A joined path that would not fit 260 characters counts as a failed
// copy, so the user hears of it instead of the update being half applied in silence. An entry
// whose Src or Dest leads outside the program folder or lies under a linked folder, or whose
// Src and Dest are one file, is skipped like one whose Src is missing: nothing is changed. The
// new file is read through what its Src leads to, but a Src or Dest that is itself a link is
// deleted or replaced as the link: the file it points at may be a user's. The Src goes last,
// after the copy and the private copies, so that a run killed part-way leaves the entry for the
// next run.
EAttempt AttemptEntry(const CCoverEntry& entry, const std::wstring& folder,
                      const CProgramFolderGuard& guard, const std::wstring& stamp,
                      std::wstring& src) {
    std::wstring dest;
    MultiByteToWideString(kCodePageUtf8, entry.src.c_str(), src);
    MultiByteToWideString(kCodePageUtf8, entry.dest.c_str(), dest);
    std::wstring joined;
    std::wstring entrySrc;
    std::wstring entryDest;
    std::wstring realSrc;
    std::wstring realDest;
    if (!JoinBoundedPath(folder, src, joined)) {
        return EAttempt::Failed;
    }
    if (!PlaceEntry(guard, src, entrySrc, realSrc, src, dest)) {
        return EAttempt::Skipped;
    }
    if (!IsExistingFile(realSrc)) {
        return EAttempt::Skipped;
    }
    if (!JoinBoundedPath(folder, dest, joined)) {
        return EAttempt::Failed;
    }
    if (!PlaceEntry(guard, dest, entryDest, realDest, src, dest)) {
        return EAttempt::Skipped;
    }
    // Copied onto itself and then deleted as the source, the installed file would be lost.
    if (NameTheSameFile(realSrc, realDest)) {
        ReportSkippedEntry(L"Src and Dest are one file", src, dest);
        return EAttempt::Skipped;
    }
    MakeDirsForPath(entryDest);
    if (!CopyFileOver(realSrc, entryDest)) {
        return EAttempt::Failed;
    }
    if (entry.impactUserPrivate != 0) {
        ApplyUserPrivateCopies(dest, true, stamp, folder);
    }
    DeleteFileForced(entrySrc);
    return EAttempt::Applied;
}

// Applies one entry, asking Retry/Cancel while it fails; false when the user cancels.
bool ApplyEntry(const CCoverEntry& entry, const std::wstring& folder,
                const CProgramFolderGuard& guard, const std::wstring& stamp, IMessageBox& owner) {
    for (;;) {
        std::wstring src;
        if (AttemptEntry(entry, folder, guard, stamp, src) != EAttempt::Failed) {
            return true;
        }
        std::wstring text = L"文件[";
        text += folder;
        text += src;
        text += L"]无法替换, 你可能需要重新启动电脑";
        const EMessageResult choice =
            owner.Show(text, kPromptCaption, EMessageButtons::RetryCancel, EMessageIcon::None);
        if (choice == EMessageResult::Retry) {
            continue;
        }
        // A box that could not be shown leaves the entry as it is and goes on.
        return choice != EMessageResult::Cancel;
    }
}

// The backup folder's name: UpdateTime made one folder name, or the 1970 stamp.
std::wstring BackupStampName(const std::wstring& stamp) {
    return stamp.empty() ? std::wstring(kDefaultStamp) : ToSingleFolderName(stamp);
}

// Backs `candidate` up as update_backup\<stamp>\<tail>, or, where a different file already has
// that name, as update_backup\<stamp> (2)\<tail>, (3) and so on: no earlier backup is ever
// replaced. An identical file is this very backup from a run killed before it deleted the
// private copy, and serves again. False when no backup is in place (the copy is then kept).
bool BackUpPrivateCopy(const CProgramFolderGuard& guard, const std::wstring& folder,
                       const std::wstring& stampName, const std::wstring& tail,
                       const std::wstring& candidate) {
    for (int slot = 1; slot <= kMostBackupSlots; ++slot) {
        const std::wstring stampFolder =
            slot == 1 ? stampName : stampName + L" (" + std::to_wstring(slot) + L")";
        const std::wstring part = L"update_backup\\" + stampFolder;
        std::wstring relative;
        std::wstring backup;
        if (!JoinBoundedPath(part + L"\\", tail, relative)) {
            return false;  // a backup path that does not fit
        }
        if (!guard.Resolve(folder + relative, backup, part)) {
            return false;
        }
        switch (kestrel::platform::GetPathKind(backup)) {
            case kestrel::platform::PathKind::Missing:
                MakeDirsForPath(backup);
                return CopyFileOver(candidate, backup);
            case kestrel::platform::PathKind::File:
                if (HaveSameContents(candidate, backup)) {
                    return true;
                }
                break;
            case kestrel::platform::PathKind::Folder:
                break;
        }
    }
    return false;
}

}  // namespace

bool ApplyCoverFileList(const std::wstring& listPath, IMessageBox& owner) {
    return ApplyCoverFileList(listPath, owner, GetProgramFolder());
}

bool ApplyCoverFileList(const std::wstring& listPath, IMessageBox& owner,
                        const std::wstring& programFolder) {
    const std::wstring folder = WithSeparator(programFolder);
    long size = 0;
    std::unique_ptr<char[]> contents(ReadWholeFile(listPath, size));
    if (!contents || size < 1) {
        return false;
    }
    TiXmlDocument document;
    document.Parse(contents.get(), nullptr, TIXML_DEFAULT_ENCODING);
    contents.reset();

    const TiXmlElement* root = document.FirstChildElement();
    const TiXmlElement* list = root == nullptr ? nullptr : root->FirstChildElement();
    if (list == nullptr) {
        return false;
    }
    std::wstring stamp;
    if (const char* updateTime = list->Attribute("UpdateTime")) {
        MultiByteToWideString(kCodePageAnsi, updateTime, stamp);
    }
    const TiXmlElement* first = list->FirstChildElement();
    if (first == nullptr) {
        return false;
    }
    // Nothing can be kept inside a folder whose real name is unknown.
    CProgramFolderGuard guard;
    if (!guard.Open(folder)) {
        return false;
    }
    for (const TiXmlElement* entry = first; entry != nullptr; entry = entry->NextSiblingElement()) {
        if (entry->FirstChildElement() == nullptr || std::strcmp(entry->Value(), "File") != 0) {
            continue;
        }
        const CCoverEntry fields = ReadEntry(*entry);
        if (!fields.hasSrc || !fields.hasDest) {
            continue;
        }
        if (!ApplyEntry(fields, folder, guard, stamp, owner)) {
            return false;
        }
    }
    return true;
}

void ApplyUserPrivateCopies(const std::wstring& destPath, bool makeBackup,
                            const std::wstring& stamp) {
    ApplyUserPrivateCopies(destPath, makeBackup, stamp, GetProgramFolder());
}

void ApplyUserPrivateCopies(const std::wstring& destPath, bool makeBackup,
                            const std::wstring& stamp, const std::wstring& programFolder) {
    const std::wstring folder = WithSeparator(programFolder);
    CProgramFolderGuard guard;
    std::wstring relative;
    const std::wstring written =
        StartsWithPathNoCase(destPath, folder) ? destPath.substr(folder.size()) : destPath;
    // A Dest that climbs out and back in would lead into another user's folder.
    if (!guard.Open(folder) || !NormalizeRelativePath(written, relative)) {
        return;
    }
    const std::wstring stampName = BackupStampName(stamp);

    CFolderLister users;
    users.List(folder + L"private", false, CFolderLister::kFolders, true);
    for (size_t i = 0; i < users.GetCount(); ++i) {
        // private\<user>, as the backup tree repeats it.
        const std::wstring userFolder = WithSeparator(std::wstring(users.GetItem(i)));
        const std::wstring userPart =
            userFolder.substr(folder.size(), userFolder.size() - folder.size() - 1);
        if (!guard.IsRealFolder(userPart)) {
            continue;  // a linked user folder: whatever it leads to is not this user's copy
        }
        std::wstring candidate;
        if (!guard.Resolve(userFolder + relative, candidate, userPart)) {
            kestrel::platform::WriteDiagnosticLine(
                L"Kestrel: private copy left alone, it leads outside "
                L"its user folder: " +
                userFolder + relative);
            continue;
        }
        if (!IsExistingFile(candidate)) {
            continue;
        }
        if (makeBackup &&
            !BackUpPrivateCopy(guard, folder, stampName, userPart + L"\\" + relative, candidate)) {
            continue;  // nothing a user made is lost: no backup, no deletion
        }
        // The copy as the user's folder names it: a link is removed, never the file behind it.
        DeleteFileForced(userFolder + relative);
    }
}

}  // namespace kestrel::core
