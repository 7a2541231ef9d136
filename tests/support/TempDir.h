#pragma once
#include <ctime>
#include <string>
#include <string_view>
#include <vector>

namespace qv {

// A fresh folder under /tmp for one test, removed with everything in it at the end.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& path() const { return path_; }
    // Absolute path of a name (may hold '/') inside the folder.
    std::string Path(std::string_view relative) const;
    // Writes bytes to a file (parent folders created) and returns its absolute path.
    std::string WriteFile(std::string_view relative, std::string_view bytes) const;
    // Creates a folder (and its parents); returns its absolute path.
    std::string MakeFolder(std::string_view relative) const;
    // Sets the modification time (and access time) of a file inside or outside the folder.
    static void SetMtime(const std::string& absolutePath, time_t mtime);
    // Reads a whole file back ("" when it cannot be read).
    static std::string ReadFile(const std::string& absolutePath);
    // Names directly inside the folder (hidden ones too), sorted.
    std::vector<std::string> Names() const;

private:
    std::string path_;
};

}  // namespace qv
