// Figures for a history of 1,000,000 records: load, save, Find, merge, inspection, the
// keep-period sweep and bulk removal under a folder.
// Usage: history_bench [records]   (files go to a fresh folder under /tmp and are removed)
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "BenchTiming.h"
#include "history/HashHistory.h"
#include "history/HistoryFiles.h"
#include "history/Maintenance.h"
#include "platform/Attributes.h"
#include "platform/DirSearch.h"
#include "platform/Files.h"

using namespace qv;

namespace {

using namespace qv::bench;

std::string PathOf(const std::string& root, int n)
{
    char buf[160];
    std::snprintf(buf, sizeof buf, "%s/Files/Folder%04d/Sub/Data file %07d.bin", root.c_str(),
                  n / 1000, n);
    return buf;
}

HistoryRecord RecordOf(int n, double now)
{
    return HistoryRecord{int64_t{n} * 4099, 45000.0 + n / 86400.0, now - (n % 10),
                         "0123456789ABCDEF0123456789ABCDEF", "89ABCDEF"};
}

}  // namespace

int main(int argc, char** argv)
{
    const int records = argc > 1 ? std::atoi(argv[1]) : 1000000;
    char folder[] = "/tmp/qv-history-bench-XXXXXX";
    if (!::mkdtemp(folder)) return 1;
    const std::string root = folder;
    const std::string dat = root + "/Quenvarlith.dat", csv = root + "/Quenvarlith.csv";
    WorkHooks ui;
    ui.refreshPeriod = 100;
    const double now = ui.Now();
    const HistoryReadOptions options{14, 0};
    std::printf("history_bench: %d records in %s\n", records, root.c_str());

    HashHistory store;
    Stamp t;
    {
        // Shuffled arrival, as hashing would add them.
        std::vector<int> order(records);
        for (int i = 0; i < records; ++i) order[i] = i;
        std::shuffle(order.begin(), order.end(), std::mt19937(1));
        HistoryMerge merge(store, options, now);
        for (int n : order) merge.MergeRecord(PathOf(root, n), RecordOf(n, now));
    }
    std::printf("build store (merge, shuffled)   %s\n", Seconds(t).c_str());

    t = Stamp();
    if (!WriteHistoryFile(store, dat, ui)) return 1;
    std::printf("save binary                     %s  (%ld bytes)\n", Seconds(t).c_str(), FileBytes(dat));

    HashHistory loaded;
    t = Stamp();
    const bool ok = ReadHistoryFile(loaded, dat, options, ui);
    std::printf("load binary into empty store    %s  (%d records, %s)\n", Seconds(t).c_str(),
                loaded.Count(), ok ? "ok" : "FAILED");

    std::mt19937 rng(2);
    std::vector<std::string> probes;
    for (int i = 0; i < 1000000; ++i) probes.push_back(PathOf(root, static_cast<int>(rng() % (2 * records))));
    int found = 0;
    t = Stamp();
    for (const auto& p : probes) {
        int32_t index = 0;
        found += loaded.Find(p, index) ? 1 : 0;
    }
    const double findCpu = CpuNow() - t.cpu;
    std::printf("Find x 1,000,000 (half present) %s  (%.0f ns cpu each, %d found)\n",
                Seconds(t).c_str(), findCpu * 1e9 / 1000000, found);

    t = Stamp();
    // New keys land at random places among the million.
    for (int i = 0; i < 1000; ++i)
        loaded.Insert(PathOf(root, static_cast<int>(rng() % records)) + ".new", RecordOf(i, now));
    std::printf("Insert x 1,000 at random places %s\n", Seconds(t).c_str());

    t = Stamp();
    const bool merged = ReadHistoryFile(loaded, dat, options, ui);
    std::printf("load binary merging into store  %s  (%d records, %s)\n", Seconds(t).c_str(),
                loaded.Count(), merged ? "ok" : "FAILED");

    t = Stamp();
    if (!WriteHistoryText(store, csv, ui)) return 1;
    std::printf("export text                     %s  (%ld bytes)\n", Seconds(t).c_str(), FileBytes(csv));
    HashHistory fromText;
    t = Stamp();
    const bool textOk = ReadHistoryText(fromText, csv, options, ui);
    std::printf("import text into empty store    %s  (%d records, %s)\n", Seconds(t).c_str(),
                fromText.Count(), textOk ? "ok" : "FAILED");
    fromText.ClearHistory();

    // Inspection: every 1000th record's file exists with its size and stamp; the rest are gone.
    int real = 0;
    for (int n = 0; n < records; n += 1000) {
        const std::string p = PathOf(root, n);
        ::mkdir((root + "/Files").c_str(), 0700);
        ::mkdir(p.substr(0, p.rfind("/Sub")).c_str(), 0700);
        ::mkdir(p.substr(0, p.rfind('/')).c_str(), 0700);
        std::string error;
        WriteFileAtomically(p, "x", error);
        FoundEntry f;
        if (!FindPath(p, kAttrAny, f)) continue;
        int32_t index = 0;
        if (loaded.Find(p, index)) {
            loaded.RecordAt(index).Size = f.size;
            loaded.RecordAt(index).FileTime = f.stamp;
            ++real;
        }
    }
    const int32_t before = loaded.Count();
    t = Stamp();
    loaded.InspectHistory(kAttrAny, ui);
    std::printf("InspectHistory                  %s  (%d -> %d records, %d real files)\n",
                Seconds(t).c_str(), before, loaded.Count(), real);

    // Both in one pass over all records: one folder of 1,000 goes, then half of the rest.
    t = Stamp();
    const int32_t forgotten = ForgetFolder(store, root + "/Files/Folder0123", ui);
    std::printf("ForgetFolder (bulk removal)     %s  (%d records removed, %d left)\n", Seconds(t).c_str(),
                forgotten, store.Count());
    t = Stamp();
    const int32_t expired = SweepExpired(store, 5, ui);
    std::printf("SweepExpired (keep period 5)    %s  (%d records removed, %d left)\n", Seconds(t).c_str(),
                expired, store.Count());

    t = Stamp();
    store.ClearHistory();
    loaded.ClearHistory();
    std::printf("clear both stores               %s\n", Seconds(t).c_str());
    RemoveTree(root);
    return 0;
}
