// The cover-file list applied from arbitrary list text, over an in-memory file tree (see
// MemoryFileSystem.h): the fuzzer runs as root, and a list entry such as ..\..\usr\bin\x would
// otherwise copy and delete real system files. The first input byte scripts the answers of the
// Retry/Cancel prompt; the rest is the list file.
//
// Besides the sanitizers: the call always ends (prompts are answered Cancel after a few); nothing
// outside the program folder changes; and no user's private copy or earlier backup is lost: its
// bytes are still somewhere in the tree unless a list entry wrote another file over them.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "MemoryFileSystem.h"
#include "core/CoverFileList.h"
#include "core/MessageBox.h"
#include "platform/Diagnostics.h"

using namespace kestrel::core;

// The lines for support would flood the fuzzer's log; each run checks its own outcome instead.
void kestrel::platform::WriteDiagnosticLine(const std::wstring&) {}

namespace {

constexpr int kMostPrompts = 8;

class CScriptedBox : public IMessageBox {
  public:
    explicit CScriptedBox(std::uint8_t script) : m_script(script) {}

    EMessageResult Show(const std::wstring&, const std::wstring&, EMessageButtons,
                        EMessageIcon) override {
        if (++m_shown > kMostPrompts) {
            return EMessageResult::Cancel;
        }
        static constexpr EMessageResult kAnswers[] = {EMessageResult::Retry, EMessageResult::Cancel,
                                                      EMessageResult::Failed, EMessageResult::Ok};
        const unsigned shift = 2U * static_cast<unsigned>(m_shown % 4);
        return kAnswers[(m_script >> shift) & 3U];
    }

  private:
    std::uint8_t m_script;
    int m_shown = 0;
};

// A program folder with new files waiting in Osprey\, installed files (one read-only, one
// held by a running program), users' private copies, an earlier backup, and a system file
// outside the folder.
std::vector<std::string> PlantTree(CMemoryFileSystem& tree, const std::string& list) {
    tree.Reset();
    tree.AddFile("/usr/bin/x", "system file");
    tree.AddFile("/prog/Kestrel", "kestrel");
    tree.AddFile("/prog/Osprey.exe", "old osprey");
    tree.AddFile("/prog/a.dll", "old a");
    tree.AddFile("/prog/sub/readonly.txt", "old readonly", false);
    tree.AddFile("/prog/locked.dll", "old locked");
    tree.AddFile("/prog/Osprey/UpCoverFileList.xml", list);
    tree.AddFile("/prog/Osprey/new/Osprey.exe", "new osprey");
    tree.AddFile("/prog/Osprey/new/a.dll", "new a");
    tree.AddFile("/prog/Osprey/new/readonly.txt", "new readonly", false);
    tree.AddFile("/prog/Osprey/new/locked.dll", "new locked");
    tree.AddFolder("/prog/update_backup");
    tree.AddFile("/prog/private/not-a-user", "stray file");
    const std::vector<std::pair<std::string, std::string>> privateCopies = {
        {"/prog/private/u1/a.dll", "private u1 a"},
        {"/prog/private/u1/sub/readonly.txt", "private u1 readonly"},
        {"/prog/private/u2/a.dll", "private u2 a"},
        {"/prog/private/u2/Osprey.exe", "private u2 osprey"},
        {"/prog/private/U3/A.DLL", "private u3 a"},
        // An earlier update's backup under the default stamp: a new backup must go beside it.
        {"/prog/update_backup/1970-00-00 00_00_00/private/u1/a.dll", "earlier backup u1 a"},
    };
    std::vector<std::string> contents;
    for (const auto& [path, data] : privateCopies) {
        tree.AddFile(path, data, data.find("readonly") == std::string::npos);
        contents.push_back(data);
    }
    tree.SetCurrentFolder("/prog");
    return contents;
}

// Every node outside the program folder, with its contents.
std::map<std::string, std::string> OutsideTheProgramFolder(const CMemoryFileSystem& tree) {
    std::map<std::string, std::string> outside;
    for (const auto& [key, node] : tree.Nodes()) {
        if (key != "/prog" && key.compare(0, 6, "/prog/") != 0) {
            outside[key] = node.isFolder ? std::string("folder") : node.data;
        }
    }
    return outside;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    if (size == 0) {
        return 0;
    }
    CMemoryFileSystem& tree = CMemoryFileSystem::Instance();
    const std::vector<std::string> privateContents =
        PlantTree(tree, std::string(reinterpret_cast<const char*>(data + 1), size - 1));

    const std::map<std::string, std::string> outsideBefore = OutsideTheProgramFolder(tree);

    CScriptedBox box(data[0]);
    (void)ApplyCoverFileList(L".\\Osprey\\UpCoverFileList.xml", box, L"/prog/");

    if (OutsideTheProgramFolder(tree) != outsideBefore) {
        std::abort();
    }
    for (const std::string& contents : privateContents) {
        if (!tree.Contains(contents) && tree.Replaced().count(contents) == 0) {
            std::abort();
        }
    }
    return 0;
}
