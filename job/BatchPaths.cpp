#include "job/BatchPaths.h"

#include <cerrno>

#include "platform/Attributes.h"
#include "platform/Files.h"
#include "platform/Paths.h"

namespace qv {

PathItem CollectPath(const std::string& path, const PathMasks& masks)
{
    PathItem item;
    item.path = path;
    FoundEntry any;
    errno = 0;
    if (!FindPath(path, kAttrAny, any)) {
        item.problem = PathProblem::Missing;
        item.error = errno != 0 ? errno : ENOENT;
        return item;
    }
    if (any.attributes & kAttrDirectory) {
        if (!SearchAdmits(any.attributes, masks.folder | kAttrDirectory)) {
            item.problem = PathProblem::Masked;
            return item;
        }
        item.folder = true;
        std::vector<FoundEntry> entries;
        if (!ListFolder(path, "*", masks.file & ~static_cast<uint32_t>(kAttrDirectory), entries)) {
            item.problem = PathProblem::Unreadable;
            item.error = errno;
            return item;
        }
        item.files.reserve(entries.size());
        for (const FoundEntry& e : entries) item.files.push_back(JoinPath(path, e.name));
        return item;
    }
    if (!SearchAdmits(any.attributes, masks.file)) {
        item.problem = (any.attributes & kAttrSystem) ? PathProblem::Special : PathProblem::Masked;
        return item;
    }
    item.found = std::move(any);
    item.files.push_back(path);
    return item;
}

PathItem CollectArgument(const std::string& argument, const PathMasks& masks, const std::string& cwd)
{
    // Expanded, "" would name the current folder and hash all of it.
    if (argument.empty()) {
        PathItem item;
        item.problem = PathProblem::Empty;
        return item;
    }
    return CollectPath(ExpandLongPath(argument, cwd), masks);
}

namespace {
template <typename Collect>
CollectedPaths CollectLastToFirst(const std::vector<std::string>& items, Collect collect)
{
    CollectedPaths out;
    for (auto it = items.rbegin(); it != items.rend(); ++it) {
        PathItem item = collect(*it);
        // A folder that could not be listed still counts as the folder dropped.
        if (item.folder) {
            ++out.folders;
            out.lastFolder = item.path;
        }
        if (item.problem != PathProblem::None) {
            out.rejected.push_back(std::move(item));
            continue;
        }
        for (std::string& f : item.files) out.files.push_back(std::move(f));
    }
    return out;
}
}  // namespace

CollectedPaths CollectDropped(const std::vector<std::string>& items, const PathMasks& masks)
{
    return CollectLastToFirst(items, [&](const std::string& p) { return CollectPath(p, masks); });
}

CollectedPaths CollectArguments(const std::vector<std::string>& arguments, const PathMasks& masks,
                                const std::string& cwd)
{
    return CollectLastToFirst(arguments,
                              [&](const std::string& a) { return CollectArgument(a, masks, cwd); });
}

std::string ProblemText(const PathItem& item)
{
    switch (item.problem) {
    case PathProblem::None: break;
    case PathProblem::Empty: return "空の引数です";
    case PathProblem::Missing:
        if (item.error == ENOENT || item.error == ENOTDIR) return "見つかりません";
        return PlatformErrorText(item.error);
    case PathProblem::Special: return "通常のファイルではありません";
    case PathProblem::Masked: return "属性の制限で対象外です";
    case PathProblem::Unreadable: return "フォルダを読み取れません " + PlatformErrorText(item.error);
    case PathProblem::Folder: return "ファイルではなくフォルダです";
    }
    return {};
}

std::string ParameterErrorText(const std::string& shownPath, const PathItem& item)
{
    return "パラメータエラー" + shownPath + "　（" + ProblemText(item) + "）";
}

}  // namespace qv
