#pragma once
// A scratch folder under the user's temporary folder for the Windows tests, removed with its
// contents when the object goes. Paths are wide and spelled with backslashes.
#include <string>

#include "common/base/NonCopyable.h"

class CWindowsTestFolder : NonCopyable {
  public:
    CWindowsTestFolder();
    ~CWindowsTestFolder();

    // The folder, ending in a backslash.
    const std::wstring& Path() const { return m_path; }
    std::wstring operator/(const std::wstring& relative) const { return m_path + relative; }

  private:
    std::wstring m_path;
};

// Whole-file helpers on wide paths; ReadText gives "" for a missing file.
void WriteText(const std::wstring& path, const std::string& bytes);
std::string ReadText(const std::wstring& path);
bool FileExists(const std::wstring& path);
bool IsReadOnly(const std::wstring& path);
void SetReadOnly(const std::wstring& path);
