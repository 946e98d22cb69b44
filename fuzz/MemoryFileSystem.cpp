#include "MemoryFileSystem.h"

#include <cstdio>
#include <vector>

#include "platform/FileSystem.h"
#include "platform/PathEncoding.h"

namespace {

// `path` made absolute against the current folder `current`.
std::string Absolute(const std::string& current, const std::string& path) {
    return path.front() == '/' ? path : current + "/" + path;
}

// Applies one component to the folders walked so far: "." stays, ".." goes up (never above
// the root). True when the component was a name that went down into `parts`.
bool Walk(std::vector<std::string>& parts, const std::string& name) {
    if (name == ".") {
        return false;
    }
    if (name == "..") {
        if (!parts.empty()) {
            parts.pop_back();
        }
        return false;
    }
    parts.push_back(name);
    return true;
}

std::string KeyOf(const std::vector<std::string>& parts) {
    std::string key;
    for (const std::string& part : parts) {
        key += '/';
        key += part;
    }
    return key.empty() ? std::string("/") : key;
}

}  // namespace

CMemoryFileSystem& CMemoryFileSystem::Instance() {
    static CMemoryFileSystem instance;
    return instance;
}

void CMemoryFileSystem::Reset() {
    m_nodes.clear();
    m_replaced.clear();
    m_nodes["/"].isFolder = true;
    m_current.assign(1, '/');  // (assigning "/" trips a false -Wrestrict in g++ 12)
}

void CMemoryFileSystem::AddFolder(const std::string& path) {
    for (size_t slash = path.find('/', 1); slash != std::string::npos;
         slash = path.find('/', slash + 1)) {
        m_nodes[path.substr(0, slash)].isFolder = true;
    }
    if (path.size() > 1) {
        m_nodes[path].isFolder = true;
    }
}

void CMemoryFileSystem::AddFile(const std::string& path, const std::string& data, bool writable) {
    AddFolder(ParentOf(path));
    Node& node = m_nodes[path];
    node.data = data;
    node.writable = writable;
}

bool CMemoryFileSystem::Contains(const std::string& data) const {
    for (const auto& [key, node] : m_nodes) {
        if (!node.isFolder && node.data == data) {
            return true;
        }
    }
    return false;
}

std::string CMemoryFileSystem::ParentOf(const std::string& key) {
    const size_t slash = key.rfind('/');
    return slash == 0 || slash == std::string::npos ? std::string("/") : key.substr(0, slash);
}

// Walks the components the way path resolution does: each one that is followed by another
// (a name or "..") must be an existing folder; the last one may be missing.
CMemoryFileSystem::Resolved CMemoryFileSystem::Resolve(const std::string& path) const {
    Resolved result;
    if (path.empty()) {
        return result;  // the empty path names nothing
    }
    const std::string full = Absolute(m_current, path);
    const std::vector<std::string> components = kestrel::platform::SplitSystemPath(full);
    std::vector<std::string> parts;
    for (size_t i = 0; i < components.size(); ++i) {
        const bool last = i + 1 == components.size();
        if (Walk(parts, components[i]) && !last) {
            const auto found = m_nodes.find(KeyOf(parts));
            if (found == m_nodes.end() || !found->second.isFolder) {
                return result;
            }
        }
    }
    result.reachable = true;
    result.wantsFolder =
        full.back() == '/' ||
        (!components.empty() && (components.back() == "." || components.back() == ".."));
    result.key = KeyOf(parts);
    return result;
}

const CMemoryFileSystem::Node* CMemoryFileSystem::Find(const Resolved& where) const {
    if (!where.reachable) {
        return nullptr;
    }
    const auto found = m_nodes.find(where.key);
    if (found == m_nodes.end() || (where.wantsFolder && !found->second.isFolder)) {
        return nullptr;
    }
    return &found->second;
}

CMemoryFileSystem::EKind CMemoryFileSystem::KindOf(const std::string& path) const {
    const Node* node = Find(Resolve(path));
    if (node == nullptr) {
        return EKind::Missing;
    }
    return node->isFolder ? EKind::Folder : EKind::File;
}

bool CMemoryFileSystem::MakeFolder(const std::string& path) {
    const Resolved where = Resolve(path);
    if (!where.reachable || m_nodes.count(where.key) != 0) {
        return false;
    }
    const auto parent = m_nodes.find(ParentOf(where.key));
    if (parent == m_nodes.end() || !parent->second.isFolder) {
        return false;
    }
    m_nodes[where.key].isFolder = true;
    return true;
}

bool CMemoryFileSystem::RemoveFile(const std::string& path) {
    const Resolved where = Resolve(path);
    const Node* node = Find(where);
    if (node == nullptr || node->isFolder || where.wantsFolder) {
        return false;
    }
    m_nodes.erase(where.key);
    return true;
}

bool CMemoryFileSystem::SetWritable(const std::string& path, bool writable) {
    const Resolved where = Resolve(path);
    if (Find(where) == nullptr) {
        return false;
    }
    m_nodes[where.key].writable = writable;
    return true;
}

const CMemoryFileSystem::Node* CMemoryFileSystem::FindFile(const std::string& path) const {
    const Node* node = Find(Resolve(path));
    return node == nullptr || node->isFolder ? nullptr : node;
}

// A name containing "locked" stands for a file a running program holds: it cannot be
// replaced, which is what makes the list ask Retry or Cancel.
bool CMemoryFileSystem::Copy(const std::string& source, const std::string& target) {
    const Node* from = FindFile(source);
    if (from == nullptr || target.empty() || target.back() == '/') {
        return false;
    }
    const Resolved where = Resolve(target);
    if (!where.reachable || where.wantsFolder || where.key == "/" ||
        where.key.find("locked") != std::string::npos) {
        return false;
    }
    const auto parent = m_nodes.find(ParentOf(where.key));
    if (parent == m_nodes.end() || !parent->second.isFolder) {
        return false;
    }
    const std::string temporary =
        where.key + kestrel::platform::ToSystemBytes(kestrel::platform::kCopySuffix);
    const auto leftover = m_nodes.find(temporary);
    if (leftover != m_nodes.end()) {
        if (leftover->second.isFolder) {
            return false;  // unlink(2) refuses a folder, and O_EXCL then fails
        }
        m_nodes.erase(leftover);
    }
    Node copy = *from;
    const auto existing = m_nodes.find(where.key);
    if (existing != m_nodes.end()) {
        if (existing->second.isFolder) {
            return false;
        }
        copy.writable = existing->second.writable;
        m_replaced.insert(existing->second.data);
    }
    // Made whole under the temporary name, then renamed over the target.
    m_nodes[temporary] = copy;
    m_nodes[where.key] = copy;
    m_nodes.erase(temporary);
    return true;
}

bool CMemoryFileSystem::Normalize(const std::string& path, std::string& key) const {
    if (path.empty()) {
        return false;
    }
    std::vector<std::string> parts;
    for (const std::string& name : kestrel::platform::SplitSystemPath(Absolute(m_current, path))) {
        Walk(parts, name);
    }
    key = KeyOf(parts);
    return true;
}

bool CMemoryFileSystem::ChangeFolder(const std::string& path) {
    const Resolved where = Resolve(path);
    const Node* node = Find(where);
    if (node == nullptr || !node->isFolder) {
        return false;
    }
    m_current = where.key;
    return true;
}

bool CMemoryFileSystem::List(const std::string& path, std::map<std::string, bool>& entries) const {
    const Resolved where = Resolve(path);
    const Node* node = Find(where);
    if (node == nullptr || !node->isFolder) {
        return false;
    }
    const std::string prefix = where.key == "/" ? "/" : where.key + "/";
    for (auto it = m_nodes.lower_bound(prefix); it != m_nodes.end(); ++it) {
        if (it->first.compare(0, prefix.size(), prefix) != 0) {
            break;
        }
        const std::string name = it->first.substr(prefix.size());
        if (!name.empty() && name.find('/') == std::string::npos) {
            entries[name] = it->second.isFolder;
        }
    }
    return true;
}

// The file layer Kestrel's core calls, over the tree above.
namespace kestrel::platform {

namespace {

CMemoryFileSystem& Tree() {
    return CMemoryFileSystem::Instance();
}

}  // namespace

PathKind GetPathKind(const std::wstring& path) {
    switch (Tree().KindOf(ToSystemPath(path))) {
        case CMemoryFileSystem::EKind::File:
            return PathKind::File;
        case CMemoryFileSystem::EKind::Folder:
            return PathKind::Folder;
        case CMemoryFileSystem::EKind::Missing:
            break;
    }
    return PathKind::Missing;
}

bool PathExists(const std::wstring& path) {
    return GetPathKind(path) != PathKind::Missing;
}

bool MakeFolder(const std::wstring& path) {
    return Tree().MakeFolder(ToSystemPath(path));
}

bool RemoveFile(const std::wstring& path) {
    return Tree().RemoveFile(ToSystemPath(path));
}

bool MakeWritable(const std::wstring& path) {
    return Tree().SetWritable(ToSystemPath(path), true);
}

bool MakeReadOnly(const std::wstring& path) {
    return Tree().SetWritable(ToSystemPath(path), false);
}

bool CopyFileReplacing(const std::wstring& source, const std::wstring& target) {
    return Tree().Copy(ToSystemPath(source), ToSystemPath(target));
}

const wchar_t kCopySuffix[] = L".kestrel-copy";

bool ResolveRealName(const std::wstring& path, std::wstring& resolved) {
    std::string key;
    if (!Tree().Normalize(ToSystemPath(path), key) || key.find('\\') != std::string::npos) {
        return false;
    }
    resolved = FromSystemBytes(key);
    return true;
}

bool IsInsideFolder(const std::wstring& folder, const std::wstring& path) {
    std::string outer;
    std::string inner;
    if (!Tree().Normalize(ToSystemPath(folder), outer) ||
        !Tree().Normalize(ToSystemPath(path), inner)) {
        return false;
    }
    if (outer == "/") {
        return true;
    }
    return inner.compare(0, outer.size(), outer) == 0 &&
           (inner.size() == outer.size() || inner[outer.size()] == '/');
}

bool IsSameFile(const std::wstring& first, const std::wstring& second) {
    std::string one;
    std::string two;
    return Tree().Normalize(ToSystemPath(first), one) &&
           Tree().Normalize(ToSystemPath(second), two) && one == two &&
           Tree().FindFile(one) != nullptr;
}

// A stream over the node's bytes; the node must outlive the stream, which holds while the
// caller reads the file and closes it before the tree changes. An empty file gives no stream,
// which callers treat like the empty file it is.
std::FILE* OpenForReading(const std::wstring& path) {
    const CMemoryFileSystem::Node* node = Tree().FindFile(ToSystemPath(path));
    if (node == nullptr || node->data.empty()) {
        return nullptr;
    }
    return fmemopen(const_cast<char*>(node->data.data()), node->data.size(), "rb");
}

std::wstring GetCurrentFolder() {
    return FromSystemBytes(Tree().CurrentFolder());
}

bool SetCurrentFolder(const std::wstring& path) {
    return Tree().ChangeFolder(ToSystemPath(path));
}

std::wstring GetExecutablePath() {
    return L"/prog/Kestrel";
}

bool ReadFolder(const std::wstring& path, std::vector<FolderEntry>& entries) {
    entries.clear();
    std::map<std::string, bool> names;
    if (!Tree().List(ToSystemPath(path), names)) {
        return false;
    }
    for (const auto& [name, isFolder] : names) {
        entries.push_back(FolderEntry{FromSystemBytes(name), isFolder, false});
    }
    return true;
}

}  // namespace kestrel::platform
