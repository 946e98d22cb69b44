#pragma once
// A folder of its own under the system's temporary folder: made empty by the constructor and
// removed, with everything in it, by the destructor. The name carries `name` and a number drawn
// for this object, so test processes running side by side never share one. Owned by the test's
// thread; header-only.

#include <chrono>
#include <filesystem>
#include <random>
#include <string>
#include <system_error>
#include <vector>

class CTempFolder {
  public:
    explicit CTempFolder(const std::string& name) {
        std::random_device random;
        const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
        m_path = std::filesystem::temp_directory_path() /
                 (name + "-" + std::to_string(random()) + "-" + std::to_string(stamp));
        std::filesystem::remove_all(m_path);
        std::filesystem::create_directories(m_path);
    }
    ~CTempFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(m_path, ignored);
    }
    CTempFolder(const CTempFolder&) = delete;
    CTempFolder& operator=(const CTempFolder&) = delete;

    std::string Path() const { return m_path.string(); }
    std::vector<std::filesystem::path> Files() const { return FilesIn(m_path); }
    static std::vector<std::filesystem::path> FilesIn(const std::filesystem::path& folder) {
        std::vector<std::filesystem::path> files;
        for (const auto& entry : std::filesystem::directory_iterator(folder)) {
            files.push_back(entry.path());
        }
        return files;
    }

  private:
    std::filesystem::path m_path;
};
