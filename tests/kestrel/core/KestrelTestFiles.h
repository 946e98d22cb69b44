#pragma once
// Helpers for Kestrel's tests: a temporary folder removed at the end of the test, small file
// writers and readers on narrow paths, and child processes started from copies of the test
// child program.

#include <sys/types.h>

#include <map>
#include <string>
#include <vector>

class CTempFolder {
  public:
    // Creates a fresh folder under the system's temporary folder (or under `parent`), its links
    // resolved, so the path is what the kernel reports for files inside it.
    explicit CTempFolder(const std::string& parent = std::string());
    ~CTempFolder();
    CTempFolder(const CTempFolder&) = delete;
    CTempFolder& operator=(const CTempFolder&) = delete;

    // The folder without a trailing separator.
    const std::string& Path() const { return m_path; }
    // Path() + "/" + relative.
    std::string operator/(const std::string& relative) const { return m_path + "/" + relative; }
    // The wide form, ending in '/', as a program folder.
    std::wstring Folder() const;

  private:
    std::string m_path;
};

// A folder in memory (/dev/shm) where there is one, else the temporary folder: for tests that
// make many small files, fsync and all.
std::string MemoryBackedFolder();

std::wstring Wide(const std::string& utf8);
std::string Narrow(const std::wstring& wide);

// Writes the file, creating missing folders along its path.
void WriteTextFile(const std::string& path, const std::string& contents);
// The file's contents, or "<missing>" when it cannot be read.
std::string ReadTextFile(const std::string& path);
bool FileExists(const std::string& path);
bool IsWritableByOwner(const std::string& path);
void SetReadOnly(const std::string& path);
unsigned PermissionBits(const std::string& path);

// Every entry below `root`, by relative path: "folder", "link -> <target>", or a file's
// permission bits in octal, a colon and its contents. Links are not followed.
std::map<std::string, std::string> SnapshotTree(const std::string& root);

// Copies the test child program to `target` (folders created) and makes it executable; gives
// back `target`.
std::string InstallTestChild(const std::string& target);

// A child process that sleeps until this object ends it (SIGKILL and reap).
class CSleepingChild {
  public:
    // Runs "program sleep", or "program map <mapped>" when a file to map is given.
    explicit CSleepingChild(const std::string& program, const std::string& mapped = "");
    ~CSleepingChild();
    CSleepingChild(const CSleepingChild&) = delete;
    CSleepingChild& operator=(const CSleepingChild&) = delete;

    pid_t Pid() const { return m_pid; }
    bool IsRunning() const { return m_pid > 0; }

  private:
    pid_t m_pid = -1;
};

// Waits (up to 10 s) for a file to appear; true when it did.
bool WaitForFile(const std::string& path);
