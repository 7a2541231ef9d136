#include "platform/Paths.h"

#include <unistd.h>

#include <climits>
#include <cstdlib>

#include <vector>

#include "platform/Text.h"

namespace qv {

std::string FolderOf(std::string_view path)
{
    const size_t slash = path.rfind('/');
    if (slash == std::string_view::npos) return {};
    if (slash == 0) return "/";
    return std::string(path.substr(0, slash));
}

std::string FolderWithSlash(std::string_view path)
{
    const size_t slash = path.rfind('/');
    if (slash == std::string_view::npos) return {};
    return std::string(path.substr(0, slash + 1));
}

std::string NameOf(std::string_view path)
{
    const size_t slash = path.rfind('/');
    return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

std::string ExtensionOf(std::string_view path)
{
    const size_t slash = path.rfind('/');
    const std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
    const size_t dot = name.rfind('.');
    if (dot == std::string_view::npos) return {};
    return std::string(name.substr(dot));
}

std::string JoinPath(std::string_view folder, std::string_view name)
{
    while (!name.empty() && name.front() == '/') name.remove_prefix(1);
    std::string out(folder);
    while (out.size() > 1 && out.back() == '/') out.pop_back();
    if (out.empty()) return std::string(name);
    if (out.back() != '/') out += '/';
    out += name;
    return out;
}

bool IsUnderFolder(std::string_view path, std::string_view folder, bool orSelf)
{
    while (folder.size() > 1 && folder.back() == '/') folder.remove_suffix(1);
    // The root plays the part of a drive root: every absolute path lies under it.
    if (folder == "/") return !path.empty() && path.front() == '/';
    if (path.size() == folder.size()) return orSelf && path == folder;
    return path.size() > folder.size() && path.substr(0, folder.size()) == folder &&
           path[folder.size()] == '/';
}

bool PathKeysEqual(std::string_view a, std::string_view b) { return a == b; }

int ComparePathKeys(std::string_view a, std::string_view b)
{
    if (const int folded = CompareAsciiFolded(a, b); folded != 0) return folded;
    const int exact = a.compare(b);
    return exact < 0 ? -1 : (exact > 0 ? 1 : 0);
}

bool PathsEqualIgnoringCase(std::string_view a, std::string_view b) { return EqualsAsciiFolded(a, b); }

std::string CurrentDirectory()
{
    std::vector<char> buf(4096);
    for (int tries = 0; tries < 8; ++tries) {
        if (getcwd(buf.data(), buf.size())) return std::string(buf.data());
        buf.resize(buf.size() * 2);
    }
    return "/";
}

std::string ExpandLongPath(std::string_view path, std::string_view cwd)
{
    std::string full;
    if (!path.empty() && path.front() == '/') {
        full = std::string(path);
    } else {
        full = cwd.empty() ? CurrentDirectory() : std::string(cwd);
        full += '/';
        full += path;
    }
    std::vector<std::string_view> parts;
    std::string_view rest(full);
    while (!rest.empty()) {
        const size_t slash = rest.find('/');
        const std::string_view part = rest.substr(0, slash);
        rest = slash == std::string_view::npos ? std::string_view{} : rest.substr(slash + 1);
        if (part.empty() || part == ".") continue;
        if (part == "..") {
            if (!parts.empty()) parts.pop_back();
            continue;
        }
        parts.push_back(part);
    }
    if (parts.empty()) return "/";
    std::string out;
    for (const auto& part : parts) {
        out += '/';
        out += part;
    }
    return out;
}

std::string FollowSymlinks(const std::string& path)
{
    char resolved[PATH_MAX];
    return ::realpath(path.c_str(), resolved) ? std::string(resolved) : std::string();
}

}  // namespace qv
