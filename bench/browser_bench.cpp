// Figures for the folder browser against a large history: filling the file view, the bulk
// check against a 5 MB comparison text, the bulk duplicate check, a folder of 200,000 entries.
// Usage: browser_bench [records=1000000] [files=20000] [bigFolder=200000]
// (files go to a fresh folder under /tmp and are removed)
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "BrowserData.h"
#include "browser/BulkCheck.h"
#include "browser/DuplicateCheck.h"
#include "browser/FileView.h"
#include "history/HashHistory.h"
#include "platform/Attributes.h"
#include "platform/DirSearch.h"
#include "platform/Paths.h"

using namespace qv;

namespace {

constexpr uint32_t kFileMask = 33;

// Best and median wall time of several runs, in milliseconds.
void Report(const char* what, int runs, const std::function<void()>& work)
{
    std::vector<double> ms;
    for (int i = 0; i < runs; ++i) {
        const auto start = std::chrono::steady_clock::now();
        work();
        ms.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    }
    std::sort(ms.begin(), ms.end());
    std::printf("%-52s best %9.1f ms   median %9.1f ms   (%d runs)\n", what, ms.front(), ms[ms.size() / 2], runs);
}

}  // namespace

int main(int argc, char** argv)
{
    const int records = argc > 1 ? std::atoi(argv[1]) : 1000000;
    const int files = argc > 2 ? std::atoi(argv[2]) : 20000;
    const int bigFolder = argc > 3 ? std::atoi(argv[3]) : 200000;
    char rootBuffer[] = "/tmp/qv-browser-bench-XXXXXX";
    if (!::mkdtemp(rootBuffer)) return 1;
    const std::string root = rootBuffer, folder = root + "/Folder";
    std::printf("browser_bench: %d history records, %d files in the folder, %d entries in the big one\n",
                records, files, bigFolder);
    if (!bench::MakeFiles(folder, files, "Data file %06d.dat")) return 1;

    HashHistory history;
    bench::BuildHistory(history, root, folder, records);
    std::mt19937_64 rng(2);
    std::printf("history ready: %d records\n\n", history.Count());

    FolderContents view;
    Report("enumeration only (ListFolder)", 5, [&] {
        std::vector<FoundEntry> found;
        ListFolder(folder, "*", kFileMask, found);
    });
    Report("fill the file view (ReadFolder: list, look up, texts)", 5,
           [&] { view = ReadFolder(folder, history, kFileMask); });
    Report("sort by size, then by name again", 5, [&] {
        SortRows(view, FileColumn::Size);
        SortRows(view, FileColumn::Name);
    });
    int withCodes = 0;
    for (const FileRow& row : view.rows) withCodes += row.valid ? 1 : 0;
    std::printf("  rows %zu, showing codes %d\n\n", view.rows.size(), withCodes);

    // A checksum list naming every second file with its MD5, every fourth with its CRC on
    // another line, then other files' lines up to 5,000,000 bytes.
    std::string text;
    for (size_t i = 0; i < view.rows.size(); ++i) {
        const FileRow& row = view.rows[i];
        if (i % 2 == 0) text += row.md5 + " *" + row.name + "\r\n";
        else if (i % 4 == 1) text += row.name + "\r\n" + row.crc + "\r\n";
    }
    for (int n = 0; text.size() < 5000000; ++n) text += bench::Hex(rng, 32) + " *Listed elsewhere " + std::to_string(n) + ".bin\r\n";
    text.resize(5000000);
    BulkCheckResult checked;
    Report("bulk check: all rows x 5,000,000-byte checksum list", 3,
           [&] { checked = BulkCheck(view.rows, text, BulkCheckOptions{}); });
    std::printf("  %s, %zu ranges to mark\n", checked.status.c_str(), checked.highlights.size());
    std::string hexText;
    while (hexText.size() < 5000000) hexText += bench::Hex(rng, 1 + rng() % 200) + (rng() % 8 ? " " : "\r\n");
    Report("bulk check: all rows x 5,000,000 bytes of hex runs", 3,
           [&] { checked = BulkCheck(view.rows, hexText, BulkCheckOptions{}); });
    std::printf("  %s\n\n", checked.status.c_str());

    FolderContents tenThousand = view;
    tenThousand.rows.resize(std::min<size_t>(tenThousand.rows.size(), 10000));
    DuplicateCheckResult duplicates;
    Report("bulk duplicate check: 10,000 rows x the history", 5,
           [&] { duplicates = BulkDuplicateCheck(tenThousand, history); });
    std::printf("  %s\n\n", duplicates.status.c_str());

    const std::string big = root + "/Big";
    if (bigFolder > 0 && bench::MakeFiles(big, bigFolder, "e%07d")) {
        FolderContents bigView;
        Report("fill the file view from a folder of many entries", 3,
               [&] { bigView = ReadFolder(big, history, kFileMask); });
        std::printf("  %s\n", FolderContentsStatus(bigView).c_str());
    }

    history.ClearHistory();
    const std::string remove = "rm -rf '" + root + "'";
    return std::system(remove.c_str()) == 0 ? 0 : 1;
}
