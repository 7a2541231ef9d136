#include <algorithm>

#include "history/HistoryFiles.h"
#include "history/KeyOrder.h"
#include "platform/Paths.h"

namespace qv {

HistoryMerge::HistoryMerge(HashHistory& store, const HistoryReadOptions& options, double now)
    : store_(store),
      options_(options),
      mergeMode_(store.Count() > 0),
      cutOff_(now - options.keepDays)
{
}

HistoryMerge::~HistoryMerge() { Finish(); }

void HistoryMerge::MergeRecord(std::string_view path, const HistoryRecord& record)
{
    if (!IsValidHistoryKey(path)) return;
    if (mergeMode_) {
        int32_t index = 0;
        if (store_.Find(path, index)) {
            HistoryRecord& stored = store_.RecordAt(index);
            if (!(stored.RegisteredAt >= record.RegisteredAt)) stored = record;
            return;
        }
    }
    const bool admitted = !(record.Size < options_.sizeLimit || record.RegisteredAt < cutOff_);
    // Without merge mode a refused record can never matter again; with it, a later record
    // of the same key may still be compared with an earlier admitted one (see Finish).
    if (!admitted && !mergeMode_) return;
    auto entry = std::make_unique<HashHistory::Entry>();
    entry->path = std::string(path);
    entry->record = record;
    if (pendingSorted_ && !pending_.empty() &&
        CompareHistoryKeys(pending_.back().entry->path, entry->path) >= 0)
        pendingSorted_ = false;
    pending_.push_back(Pending{std::move(entry), admitted});
}

void HistoryMerge::Finish()
{
    if (pending_.empty()) return;
    if (!pendingSorted_)
        std::stable_sort(pending_.begin(), pending_.end(), [](const Pending& a, const Pending& b) {
            return CompareHistoryKeys(a.entry->path, b.entry->path) < 0;
        });

    // Settle each run of equal keys as record-by-record merging would have: the first
    // admitted record is inserted, and in merge mode every later one replaces it when it
    // was registered later.
    std::vector<HashHistory::EntryPtr> fresh;
    fresh.reserve(pending_.size());
    for (size_t i = 0; i < pending_.size();) {
        size_t j = i + 1;
        while (j < pending_.size() && PathKeysEqual(pending_[j].entry->path, pending_[i].entry->path))
            ++j;
        size_t base = i;
        while (base < j && !pending_[base].admitted) ++base;
        if (base < j) {
            HistoryRecord& kept = pending_[base].entry->record;
            for (size_t k = base + 1; mergeMode_ && k < j; ++k)
                if (!(kept.RegisteredAt >= pending_[k].entry->record.RegisteredAt))
                    kept = pending_[k].entry->record;
            fresh.push_back(std::move(pending_[base].entry));
        }
        i = j;
    }
    pending_.clear();
    pendingSorted_ = true;

    auto& entries = store_.entries_;
    if (entries.empty()) {
        entries = std::move(fresh);
        return;
    }
    std::vector<HashHistory::EntryPtr> joined;
    joined.reserve(entries.size() + fresh.size());
    size_t a = 0, b = 0;
    while (a < entries.size() && b < fresh.size()) {
        const int c = CompareHistoryKeys(entries[a]->path, fresh[b]->path);
        if (c < 0) {
            joined.push_back(std::move(entries[a++]));
        } else if (c > 0) {
            joined.push_back(std::move(fresh[b++]));
        } else {
            // The stored entry stays, as Insert keeps an existing key.
            joined.push_back(std::move(entries[a++]));
            ++b;
        }
    }
    for (; a < entries.size(); ++a) joined.push_back(std::move(entries[a]));
    for (; b < fresh.size(); ++b) joined.push_back(std::move(fresh[b]));
    entries = std::move(joined);
}

}  // namespace qv
