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
#include "core/ProgramLocation.h"
#include "core/TextConversion.h"

namespace {

const wchar_t kDefaultStamp[] = L"1970-00-00 00_00_00";
const wchar_t kPromptCaption[] = L"提示";

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

// One attempt at an entry. A joined path that would not fit 260 characters counts as a failed
// copy, so the user hears of it instead of the update being half applied in silence.
EAttempt AttemptEntry(const CCoverEntry& entry, const std::wstring& folder,
                      const std::wstring& stamp, std::wstring& src) {
    std::wstring dest;
    MultiByteToWideString(kCodePageUtf8, entry.src.c_str(), src);
    MultiByteToWideString(kCodePageUtf8, entry.dest.c_str(), dest);
    std::wstring fullSrc;
    std::wstring fullDest;
    if (!JoinBoundedPath(folder, src, fullSrc)) {
        return EAttempt::Failed;
    }
    if (!IsExistingFile(fullSrc)) {
        return EAttempt::Skipped;
    }
    if (!JoinBoundedPath(folder, dest, fullDest)) {
        return EAttempt::Failed;
    }
    MakeDirsForPath(fullDest);
    if (!CopyFileOver(fullSrc, fullDest)) {
        return EAttempt::Failed;
    }
    DeleteFileForced(fullSrc);
    if (entry.impactUserPrivate != 0) {
        ApplyUserPrivateCopies(dest, true, stamp, folder);
    }
    return EAttempt::Applied;
}

// Applies one entry, asking Retry/Cancel while it fails; false when the user cancels.
bool ApplyEntry(const CCoverEntry& entry, const std::wstring& folder, const std::wstring& stamp,
                IMessageBox& owner) {
    for (;;) {
        std::wstring src;
        if (AttemptEntry(entry, folder, stamp, src) != EAttempt::Failed) {
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
    for (const TiXmlElement* entry = first; entry != nullptr; entry = entry->NextSiblingElement()) {
        if (entry->FirstChildElement() == nullptr || std::strcmp(entry->Value(), "File") != 0) {
            continue;
        }
        const CCoverEntry fields = ReadEntry(*entry);
        if (!fields.hasSrc || !fields.hasDest) {
            continue;
        }
        if (!ApplyEntry(fields, folder, stamp, owner)) {
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
    std::wstring stampText = stamp.empty() ? std::wstring(kDefaultStamp) : stamp;
    ReplaceChar(stampText, L':', L'_');
    const std::wstring relative =
        StartsWithPathNoCase(destPath, folder) ? destPath.substr(folder.size()) : destPath;

    CFolderLister users;
    users.List(folder + L"private", false, CFolderLister::kFolders, true);
    for (size_t i = 0; i < users.GetCount(); ++i) {
        // private\<user>, as the backup tree repeats it.
        const std::wstring userFolder = WithSeparator(std::wstring(users.GetItem(i)));
        const std::wstring candidate = userFolder + relative;
        if (!IsExistingFile(candidate)) {
            continue;
        }
        if (makeBackup) {
            std::wstring backup;
            const std::wstring tail = userFolder.substr(folder.size()) + relative;
            if (!JoinBoundedPath(L"update_backup\\" + stampText + L"\\", tail, backup)) {
                continue;  // a backup path that does not fit: keep the private copy
            }
            backup.insert(0, folder);
            MakeDirsForPath(backup);
            if (!CopyFileOver(candidate, backup)) {
                continue;  // nothing a user made is lost: no backup, no deletion
            }
        }
        DeleteFileForced(candidate);
    }
}
