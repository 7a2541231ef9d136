#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <ftw.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace qv {
namespace {

// Gives folders back their permissions so a test that locked one cannot block the clean-up.
int Unlock(const char* path, const struct stat* st, int type, struct FTW*)
{
    if (type == FTW_D || type == FTW_DNR) ::chmod(path, (st->st_mode & 07777) | S_IRWXU);
    return 0;
}


}  // namespace

TempDir::TempDir()
{
    char templ[] = "/tmp/qv-test-XXXXXX";
    if (!::mkdtemp(templ)) {
        ADD_FAILURE() << "cannot create a temporary folder: " << std::strerror(errno);
        return;
    }
    path_ = templ;
}

TempDir::~TempDir()
{
    if (path_.empty()) return;
    ::nftw(path_.c_str(), Unlock, 16, FTW_PHYS);
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);   // symbolic links are removed, never followed
}

std::string TempDir::Path(std::string_view relative) const
{
    while (!relative.empty() && relative.front() == '/') relative.remove_prefix(1);
    if (relative.empty()) return path_;
    return path_ + "/" + std::string(relative);
}

std::string TempDir::WriteFile(std::string_view relative, std::string_view bytes) const
{
    const std::string full = Path(relative);
    std::error_code ignored;
    std::filesystem::create_directories(std::filesystem::path(full).parent_path(), ignored);
    std::ofstream out(full, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) ADD_FAILURE() << "cannot write " << full;
    return full;
}

std::string TempDir::MakeFolder(std::string_view relative) const
{
    const std::string full = Path(relative);
    std::error_code ignored;
    std::filesystem::create_directories(full, ignored);
    if (!std::filesystem::is_directory(full, ignored)) ADD_FAILURE() << "cannot create folder " << full;
    return full;
}

void TempDir::SetMtime(const std::string& absolutePath, time_t mtime)
{
    const timespec times[2] = {{mtime, 0}, {mtime, 0}};
    if (::utimensat(AT_FDCWD, absolutePath.c_str(), times, 0) != 0)
        ADD_FAILURE() << "cannot set the time of " << absolutePath << ": " << std::strerror(errno);
}

std::string TempDir::ReadFile(const std::string& absolutePath)
{
    std::ifstream in(absolutePath, std::ios::binary);
    std::ostringstream buffer;
    buffer << in.rdbuf();
    return buffer.str();
}

std::vector<std::string> TempDir::Names() const
{
    std::vector<std::string> names;
    std::error_code ignored;
    for (const auto& entry : std::filesystem::directory_iterator(path_, ignored))
        names.push_back(entry.path().filename());
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace qv
