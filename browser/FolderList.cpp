#include "browser/FolderList.h"

#include "platform/Paths.h"

#include <algorithm>

namespace qv {

void FolderList::Assign(std::vector<std::string> folders)
{
    std::sort(folders.begin(), folders.end(), PathKeyLess{});
    folders.erase(std::unique(folders.begin(), folders.end()), folders.end());
    items_ = std::move(folders);
}

FolderList::Slot FolderList::Locate(std::string_view folder) const
{
    const auto at = std::lower_bound(items_.begin(), items_.end(), folder, PathKeyLess{});
    return {static_cast<int>(at - items_.begin()), at != items_.end() && PathKeysEqual(*at, folder)};
}

int FolderList::Add(std::string_view folder)
{
    const Slot slot = Locate(folder);
    if (!slot.present) items_.insert(items_.begin() + slot.index, std::string(folder));
    return slot.index;
}

int FolderList::IndexOf(std::string_view folder) const
{
    const Slot slot = Locate(folder);
    return slot.present ? slot.index : -1;
}

}  // namespace qv
