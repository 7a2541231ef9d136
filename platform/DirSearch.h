#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace qv {

struct FoundEntry {
    std::string name;          // name part only
    uint32_t attributes = 0;   // kAttr* bits
    int64_t size = 0;          // bytes (0 for folders)
    double stamp = 0.0;        // last-write time, whole seconds
    bool link = false;         // ListFolder only: the name is a symbolic link (attributes are its target's)
};

// Look up one path (file or folder) with search semantics (SearchAdmits). Symbolic links
// are followed; a dangling link is not found. Returns false when nothing is found.
bool FindPath(const std::string& path, uint32_t mask, FoundEntry& out);

// Entries of a folder whose names match a wildcard pattern ('*' and '?', "*" or "*.*"
// for all) and that the mask admits; "." and ".." are never returned. Order: as the
// file system gives them. Returns false when the folder cannot be read (errno kept).
bool ListFolder(const std::string& folder, const std::string& pattern, uint32_t mask,
                std::vector<FoundEntry>& out);

// Wildcard match of a name part, ASCII letters compared without regard to case.
bool MatchWildcard(const std::string& pattern, const std::string& name);

bool PathExists(const std::string& path);   // file or folder, links followed
bool FileExists(const std::string& path);   // regular file (or other non-directory)
bool FolderExists(const std::string& path);

}  // namespace qv
