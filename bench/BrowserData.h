#pragma once
// The data both browser benchmarks work on: a folder of empty files and a large history that
// holds every one of them with its true stamp, plus records elsewhere; one in ten files of
// the folder shares its codes with a record elsewhere.
#include <fcntl.h>
#include <unistd.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "history/HashHistory.h"
#include "platform/Attributes.h"
#include "platform/DirSearch.h"
#include "platform/Paths.h"

namespace qv::bench {

inline std::string Hex(std::mt19937_64& rng, size_t digits)
{
    static const char kDigits[] = "0123456789ABCDEF";
    std::string s(digits, '0');
    for (char& c : s) c = kDigits[rng() & 15];
    return s;
}

inline bool MakeFiles(const std::string& folder, int count, const char* pattern)
{
    if (::mkdir(folder.c_str(), 0700) != 0) return false;
    char name[64];
    for (int i = 0; i < count; ++i) {
        std::snprintf(name, sizeof name, pattern, i);
        const int fd = ::open(JoinPath(folder, name).c_str(), O_CREAT | O_WRONLY, 0644);
        if (fd < 0) return false;
        ::close(fd);
    }
    return true;
}

// Fills history with `records` records: the files of folder first, the rest under root/Other.
inline void BuildHistory(HashHistory& history, const std::string& root, const std::string& folder, int records)
{
    std::mt19937_64 rng(1);
    std::vector<std::pair<std::string, HistoryRecord>> entries;
    std::vector<FoundEntry> listed;
    ListFolder(folder, "*", kAttrAny, listed);
    const size_t files = listed.size();
    for (const FoundEntry& f : listed)
        entries.push_back({JoinPath(folder, f.name), {f.size, f.stamp, 45000.0, Hex(rng, 32), Hex(rng, 8)}});
    char other[96];
    for (int n = 0; static_cast<int>(entries.size()) < records; ++n) {
        std::snprintf(other, sizeof other, "%s/Other/Sub%04d/Other file %07d.bin", root.c_str(), n / 1000, n);
        HistoryRecord r{n, 45000.0, 45000.0, Hex(rng, 32), Hex(rng, 8)};
        if (static_cast<size_t>(n) < files && n % 10 == 0) r = entries[size_t(n)].second;
        entries.push_back({other, r});
    }
    std::sort(entries.begin(), entries.end(),
              [](const auto& a, const auto& b) { return ComparePathKeys(a.first, b.first) < 0; });
    for (auto& [path, record] : entries) history.Insert(path, std::move(record));
}

}  // namespace qv::bench
