#pragma once
// A whole file tree held in memory, behind Kestrel's file layer (the kestrel::platform file and
// folder calls of platform/FileSystem.h are defined over it in MemoryFileSystem.cpp and take the
// place of the POSIX ones in the fuzz build). Paths resolve as the kernel would resolve them: '\'
// is a separator, "." and ".." are followed, every folder on the way must exist, and a trailing
// separator demands a folder. The tree has no links, so a resolved name is the path taken as
// text. Nothing reaches the real disk, so a list that climbs out of the program folder only
// moves bytes around in this tree. One instance per process, used from the fuzzer's one thread.

#include <map>
#include <set>
#include <string>

class CMemoryFileSystem {
  public:
    struct Node {
        bool isFolder = false;
        bool writable = true;
        std::string data;
    };

    static CMemoryFileSystem& Instance();

    // Empties the tree down to the root folder "/", with "/" as the current folder.
    void Reset();
    // Adds a file and every folder above it (system paths: '/', absolute).
    void AddFile(const std::string& path, const std::string& data, bool writable = true);
    void AddFolder(const std::string& path);
    void SetCurrentFolder(const std::string& path) { m_current = path; }

    // Contents that a copy replaced; contents gone that way were meant to go.
    const std::multiset<std::string>& Replaced() const { return m_replaced; }
    const std::map<std::string, Node>& Nodes() const { return m_nodes; }
    // True when some file of the tree holds exactly these bytes.
    bool Contains(const std::string& data) const;

    // The file layer's operations on system paths (UTF-8, relative to the current folder).
    enum class EKind { Missing, File, Folder };
    EKind KindOf(const std::string& path) const;
    bool MakeFolder(const std::string& path);
    bool RemoveFile(const std::string& path);
    bool SetWritable(const std::string& path, bool writable);
    // As the real layer copies: through "<target>.kestrel-copy" (a leftover of that name is
    // removed first), a replaced target keeps its writability, a new one takes the source's.
    bool Copy(const std::string& source, const std::string& target);
    // The path as an absolute key with "." and ".." taken as text; false for the empty path.
    bool Normalize(const std::string& path, std::string& key) const;
    const Node* FindFile(const std::string& path) const;
    bool ChangeFolder(const std::string& path);
    const std::string& CurrentFolder() const { return m_current; }
    // Names of the entries right inside a folder; false when it is not one.
    bool List(const std::string& path, std::map<std::string, bool>& entries) const;

  private:
    struct Resolved {
        bool reachable = false;  // every folder on the way exists
        bool wantsFolder = false;
        std::string key;  // "/a/b"; "/" for the root
    };

    Resolved Resolve(const std::string& path) const;
    const Node* Find(const Resolved& where) const;
    static std::string ParentOf(const std::string& key);

    std::map<std::string, Node> m_nodes;
    std::multiset<std::string> m_replaced;
    std::string m_current = "/";
};
