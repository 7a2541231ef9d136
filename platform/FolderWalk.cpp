#include "platform/FolderWalk.h"

#include "platform/Attributes.h"
#include "platform/DirSearch.h"
#include "platform/Paths.h"

#include <deque>
#include <vector>

namespace qv {
namespace {

void WalkOne(const std::string& folder, uint32_t folderMask, uint32_t fileMask,
             const WalkFileVisitor& onFile, std::deque<std::string>& queue,
             std::vector<FoundEntry>& entries)
{
    entries.clear();
    // An unreadable folder simply adds nothing, as a search that finds nothing.
    ListFolder(folder, "*", kAttrAny, entries);
    for (const FoundEntry& entry : entries) {
        if ((entry.attributes & kAttrDirectory) != 0) {
            if (!entry.link && !IsRestricted(entry.attributes, folderMask))
                queue.push_back(JoinPath(folder, entry.name));
        } else if (!IsRestricted(entry.attributes, fileMask) && onFile) {
            onFile(JoinPath(folder, entry.name), entry);
        }
    }
}

}  // namespace

bool WalkFolderTree(const std::string& folder, uint32_t folderMask, uint32_t fileMask,
                    const WalkFileVisitor& onFile, const WalkFolderStep& afterFolder)
{
    std::string start = folder;
    while (start.size() > 1 && start.back() == '/') start.pop_back();
    std::deque<std::string> queue;
    std::vector<FoundEntry> entries;
    if (start == "/") WalkOne(start, folderMask, fileMask, onFile, queue, entries);
    else queue.push_back(start);

    while (!queue.empty()) {
        const std::string current = std::move(queue.front());
        queue.pop_front();
        FoundEntry self;
        if (FindPath(current, folderMask, self))
            WalkOne(current, folderMask, fileMask, onFile, queue, entries);
        if (afterFolder && !afterFolder()) return false;
    }
    return true;
}

}  // namespace qv
