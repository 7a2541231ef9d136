#include "platform/DirSearch.h"

#include "platform/Attributes.h"
#include "platform/DateTime.h"
#include "platform/Paths.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>

namespace qv {
namespace {

// How a Linux file maps onto the attribute bits.
uint32_t AttributesOf(const std::string& name, const struct stat& st)
{
    uint32_t attributes = 0;
    if ((st.st_mode & S_IWUSR) == 0) attributes |= kAttrReadOnly;
    if (!name.empty() && name.front() == '.') attributes |= kAttrHidden;
    if (S_ISDIR(st.st_mode)) attributes |= kAttrDirectory;
    else if (S_ISREG(st.st_mode)) attributes |= kAttrArchive;
    else attributes |= kAttrSystem;
    return attributes;
}

void FillEntry(const std::string& name, const struct stat& st, FoundEntry& out)
{
    out.name = name;
    out.attributes = AttributesOf(name, st);
    out.size = S_ISDIR(st.st_mode) ? 0 : static_cast<int64_t>(st.st_size);
    out.stamp = StampFromUnix(st.st_mtime);
}

char Fold(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; }

}  // namespace

bool MatchWildcard(const std::string& pattern, const std::string& name)
{
    if (pattern == "*" || pattern == "*.*") return true;
    // Iterative match with one back-track point: linear in practice, never exponential.
    size_t p = 0, n = 0, starP = std::string::npos, starN = 0;
    while (n < name.size()) {
        if (p < pattern.size() && (pattern[p] == '?' || Fold(pattern[p]) == Fold(name[n]))) {
            ++p;
            ++n;
        } else if (p < pattern.size() && pattern[p] == '*') {
            starP = p++;
            starN = n;
        } else if (starP != std::string::npos) {
            p = starP + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*') ++p;
    return p == pattern.size();
}

bool FindPath(const std::string& path, uint32_t mask, FoundEntry& out)
{
    struct stat st {};
    if (path.empty() || ::stat(path.c_str(), &st) != 0) return false;
    std::string name = NameOf(path);
    if (name.empty()) {
        // "/" or a path ending in '/': the folder's own name.
        std::string trimmed = path;
        while (trimmed.size() > 1 && trimmed.back() == '/') trimmed.pop_back();
        name = trimmed == "/" ? std::string() : NameOf(trimmed);
    }
    FoundEntry entry;
    FillEntry(name, st, entry);
    if (!SearchAdmits(entry.attributes, mask)) return false;
    out = std::move(entry);
    return true;
}

bool ListFolder(const std::string& folder, const std::string& pattern, uint32_t mask,
                std::vector<FoundEntry>& out)
{
    DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
    if (!dir) return false;
    for (;;) {
        errno = 0;
        const dirent* ent = ::readdir(dir);
        if (!ent) break;
        const std::string name = ent->d_name;
        if (name == "." || name == "..") continue;
        if (!MatchWildcard(pattern, name)) continue;
        struct stat st {};
        if (::fstatat(::dirfd(dir), name.c_str(), &st, 0) != 0) continue;   // dangling link
        FoundEntry entry;
        FillEntry(name, st, entry);
        if (ent->d_type == DT_LNK) {
            entry.link = true;
        } else if (ent->d_type == DT_UNKNOWN) {
            struct stat own {};
            entry.link = ::fstatat(::dirfd(dir), name.c_str(), &own, AT_SYMLINK_NOFOLLOW) == 0 &&
                         S_ISLNK(own.st_mode);
        }
        if (SearchAdmits(entry.attributes, mask)) out.push_back(std::move(entry));
    }
    const int saved = errno;
    ::closedir(dir);
    errno = saved;
    return true;
}

bool PathExists(const std::string& path)
{
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0;
}

bool FileExists(const std::string& path)
{
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

bool FolderExists(const std::string& path)
{
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

}  // namespace qv
