#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "history/HistoryRecord.h"
#include "platform/WorkHooks.h"

namespace qv {

class HistoryMerge;

// The sorted per-path store. Keys are compared exactly; the order folds ASCII letters with
// the exact bytes as tie-break (ComparePathKeys), so two names that differ only in case are
// two entries, side by side. Indexes are 0-based and hold until the next insert or removal.
class HashHistory {
public:
    HashHistory() = default;
    HashHistory(const HashHistory&) = delete;
    HashHistory& operator=(const HashHistory&) = delete;

    int32_t Count() const { return static_cast<int32_t>(entries_.size()); }
    const std::string& PathAt(int32_t index) const { return entries_.at(Slot(index))->path; }
    HistoryRecord& RecordAt(int32_t index) { return entries_.at(Slot(index))->record; }
    const HistoryRecord& RecordAt(int32_t index) const { return entries_.at(Slot(index))->record; }

    // Binary search. Not found: index is where the key would be inserted.
    bool Find(std::string_view path, int32_t& index) const;
    // Index of the entry. An existing key keeps its record (the given one is dropped);
    // a key no file form can carry (empty, over 4096 bytes, NUL) is refused with -1.
    int32_t Insert(std::string_view path, HistoryRecord record);
    void RemoveAt(int32_t index);
    bool RemoveByPath(std::string_view path);   // true when an entry went
    void ClearHistory();

    // Bulk removal in linear time: marked entries stay addressable (indexes unchanged)
    // until CommitRemovals drops them all in one pass. Returns how many went.
    void MarkForRemoval(int32_t index) { entries_.at(Slot(index))->marked = true; }
    bool IsMarkedForRemoval(int32_t index) const { return entries_.at(Slot(index))->marked; }
    int32_t CommitRemovals();

    // The stale-record sweep: entries whose file the search (with fileMask) does not find,
    // or finds with another size or stamp, are removed. False when cancelled or empty after.
    bool InspectHistory(uint32_t fileMask, WorkHooks& ui);

    // Sorted (path-key order), duplicate-free folders that hold recorded files.
    std::vector<std::string> CollectHistoryFolders() const;

private:
    friend class HistoryMerge;

    struct Entry {
        std::string path;
        HistoryRecord record;
        bool marked = false;
    };
    using EntryPtr = std::unique_ptr<Entry>;

    static size_t Slot(int32_t index) { return static_cast<size_t>(index); }

    // Entries point to heap records so an insert in the middle moves pointers only.
    std::vector<EntryPtr> entries_;
};

// The update after a file was hashed without error: an existing entry gets the stamp, the
// codes and now as RegisteredAt; otherwise a new entry is inserted. Returns its index (-1 for
// a key no file form can carry); added tells the caller to offer the folder to its list.
int32_t RecordHashResult(HashHistory& store, std::string_view path, int64_t size, double stamp,
                         double now, const std::string& md5, const std::string& crc,
                         bool* added = nullptr);

}  // namespace qv
