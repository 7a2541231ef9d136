#include "history/HashHistory.h"

#include <algorithm>

#include "history/KeyOrder.h"
#include "platform/DirSearch.h"
#include "platform/NumberFormat.h"
#include "platform/Paths.h"

namespace qv {

bool IsValidHistoryKey(std::string_view path)
{
    return !path.empty() && path.size() <= kMaxHistoryPathBytes &&
           path.find('\0') == std::string_view::npos;
}

bool HashHistory::Find(std::string_view path, int32_t& index) const
{
    const auto it = std::lower_bound(
        entries_.begin(), entries_.end(), path,
        [](const EntryPtr& e, std::string_view key) { return CompareHistoryKeys(e->path, key) < 0; });
    index = static_cast<int32_t>(it - entries_.begin());
    return it != entries_.end() && PathKeysEqual((*it)->path, path);
}

int32_t HashHistory::Insert(std::string_view path, HistoryRecord record)
{
    if (!IsValidHistoryKey(path)) return -1;
    int32_t index = 0;
    if (Find(path, index)) return index;
    auto entry = std::make_unique<Entry>();
    entry->path = std::string(path);
    entry->record = std::move(record);
    entries_.insert(entries_.begin() + index, std::move(entry));
    return index;
}

void HashHistory::RemoveAt(int32_t index)
{
    (void)entries_.at(Slot(index));   // out of range throws, as PathAt and RecordAt do
    entries_.erase(entries_.begin() + static_cast<std::ptrdiff_t>(Slot(index)));
}

bool HashHistory::RemoveByPath(std::string_view path)
{
    int32_t index = 0;
    if (!Find(path, index)) return false;
    RemoveAt(index);
    return true;
}

void HashHistory::ClearHistory() { entries_.clear(); }

int32_t HashHistory::CommitRemovals()
{
    const size_t before = entries_.size();
    std::erase_if(entries_, [](const EntryPtr& e) { return e->marked; });
    return static_cast<int32_t>(before - entries_.size());
}

bool HashHistory::InspectHistory(uint32_t fileMask, WorkHooks& ui)
{
    const int32_t count = Count();
    ui.ProgressMax(count);
    ui.ProgressPos(0);
    bool cancelled = false;
    FoundEntry found;
    for (int32_t i = count - 1; i >= 0; --i) {
        if (ui.RefreshDue()) {
            const double done = static_cast<double>(count - i) * 100.0 / count;
            ui.Status(FormatNumber(done, "履歴データ検査中 0.0%"));
            ui.ProgressPos(count - i);
            ui.Pump();
            ui.ScheduleRefresh();
            if (ui.StopRequested()) {
                cancelled = true;
                break;
            }
        }
        Entry& e = *entries_[Slot(i)];
        if (!FindPath(e.path, fileMask, found) || found.size != e.record.Size ||
            found.stamp != e.record.FileTime)
            e.marked = true;
    }
    if (cancelled) {
        ui.Status("履歴データ検査中止");
        CommitRemovals();
        return false;
    }
    ui.Status("履歴データソート中");
    ui.ProgressPos(count);
    CommitRemovals();
    return Count() > 0;
}

int32_t RecordHashResult(HashHistory& store, std::string_view path, int64_t size, double stamp,
                         double now, const std::string& md5, const std::string& crc, bool* added)
{
    HistoryRecord fresh{size, stamp, now, md5.substr(0, kMd5TextLength), crc.substr(0, kCrcTextLength)};
    if (added) *added = false;
    int32_t index = 0;
    if (store.Find(path, index)) {
        store.RecordAt(index) = std::move(fresh);
        return index;
    }
    index = store.Insert(path, std::move(fresh));
    if (added) *added = index >= 0;
    return index;
}

std::vector<std::string> HashHistory::CollectHistoryFolders() const
{
    std::vector<std::string> folders;
    std::string previous;
    bool havePrevious = false;
    for (const EntryPtr& e : entries_) {
        std::string folder = FolderOf(e->path);
        if (havePrevious && folder == previous) continue;
        folders.push_back(folder);
        previous = std::move(folder);
        havePrevious = true;
    }
    // Entries come in key order, yet a folder recurs after its subfolders ("/a/1", "/a/b/2",
    // "/a/c" give "/a", "/a/b", "/a"), so one sort and one sweep finish the list.
    std::sort(folders.begin(), folders.end(), PathKeyLess{});
    folders.erase(std::unique(folders.begin(), folders.end()), folders.end());
    return folders;
}

}  // namespace qv
