#pragma once
#include <string>
#include <string_view>

namespace qv {

// Folder of a path without trailing '/', except the root "/" ("/a" -> "/", "/a/b" -> "/a").
std::string FolderOf(std::string_view path);
// Folder of a path with a trailing '/' ("/a/b" -> "/a/"), as the reports show it.
std::string FolderWithSlash(std::string_view path);
// Name part after the last '/'.
std::string NameOf(std::string_view path);
// Extension of the name part from its last '.', dot included; "" when none.
std::string ExtensionOf(std::string_view path);
// Joins a folder and a name with exactly one '/'.
std::string JoinPath(std::string_view folder, std::string_view name);
// True when path lies under folder (or is folder itself when orSelf). "/" holds every
// absolute path, itself included.
bool IsUnderFolder(std::string_view path, std::string_view folder, bool orSelf = false);

// Path keys: equality is byte for byte; ordering folds ASCII letters, exact bytes break ties.
bool PathKeysEqual(std::string_view a, std::string_view b);
int ComparePathKeys(std::string_view a, std::string_view b);   // <0, 0, >0
struct PathKeyLess {
    bool operator()(std::string_view a, std::string_view b) const { return ComparePathKeys(a, b) < 0; }
};
// Case-folded equality (ASCII letters only), where a rule says "ignoring letter case".
bool PathsEqualIgnoringCase(std::string_view a, std::string_view b);

// Absolute form with "." and ".." removed lexically, relative to cwd (current directory when empty).
std::string ExpandLongPath(std::string_view path, std::string_view cwd = {});
std::string CurrentDirectory();
// The final target of a symbolic link (links stand for shortcuts here), or of a plain path its
// canonical form; "" when the link dangles.
std::string FollowSymlinks(const std::string& path);

}  // namespace qv
