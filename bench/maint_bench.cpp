// Figures for bulk registration of a cached tree (100,000 small files in 1,000 folders): the
// walk and queueing alone, the terminal mode's --register against its plain hashing run on the
// same files, and registering the unchanged tree again (no file may be read).
// Usage: maint_bench [files] [folders]   (the tree goes to a fresh folder under /tmp and is removed)
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "BenchTiming.h"
#include "cli/TerminalMode.h"
#include "engine/FileSource.h"
#include "history/Maintenance.h"
#include "platform/Attributes.h"

using namespace qv;
using namespace qv::bench;

namespace {

std::atomic<int> opens{0};

// The real reader, counting the files it opens.
class CountingSource final : public FileSource {
public:
    int Open(const std::string& path, uint32_t flags) override
    {
        ++opens;
        return real_->Open(path, flags);
    }
    int Seek(int64_t position) override { return real_->Seek(position); }
    int Read(void* buffer, uint32_t length, uint32_t enough, uint32_t& got) override
    {
        return real_->Read(buffer, length, enough, got);
    }
    void Close() override { real_->Close(); }

private:
    std::unique_ptr<FileSource> real_ = MakePosixFileSource();
};

// One terminal run over its own data folder; prints the figures of it.
void Run(const char* label, const std::string& home, const std::vector<std::string>& args, int files)
{
    HeadlessEnv env;
    std::string err;
    env.out = [](std::string_view) {};
    env.err = [&err](std::string_view text) { err += text; };
    env.dataFolder = home;
    env.cwd = home;   // every operand is absolute
    env.fileSource = [] { return std::make_unique<CountingSource>(); };
    opens = 0;
    const Stamp start;
    const int code = RunHeadless(args, env);
    const double wall = start.WallSeconds();
    std::printf("%-36s %s  %8.0f files/s  (%d files read, exit %d)\n", label, Seconds(start).c_str(),
                files / wall, opens.load(), code);
    if (!err.empty()) std::printf("  %s\n", err.substr(0, 200).c_str());
}

}  // namespace

int main(int argc, char** argv)
{
    const int files = argc > 1 ? std::atoi(argv[1]) : 100000;
    const int folders = std::max(1, argc > 2 ? std::atoi(argv[2]) : 1000);
    char folder[] = "/tmp/qv-maint-bench-XXXXXX";
    if (!::mkdtemp(folder)) return 1;
    const std::string root = folder, tree = root + "/Tree", plain = root + "/plain", reg = root + "/register";
    ::mkdir(plain.c_str(), 0777);
    ::mkdir(reg.c_str(), 0777);

    Stamp start;
    MakeFileTree(tree, files, folders, 1500);
    std::printf("%d files of 1,500 bytes in %d folders     %s\n", files, folders, Seconds(start).c_str());
    std::vector<std::string> cacheAll{"--no-gui"};
    for (int d = 0; d < folders; ++d) {
        char name[64];
        std::snprintf(name, sizeof name, "/Folder %04d", d);
        cacheAll.push_back(tree + name);
    }
    // Cached: every file read once before the figures.
    ::mkdir((root + "/warm").c_str(), 0777);
    Run("warm-up (plain hashing)", root + "/warm", cacheAll, files);

    HashHistory empty;
    WorkHooks ui;
    start = Stamp();
    const TreeScan scan = ScanTree(empty, tree, kAttrAny, kAttrAny, false, ui);
    std::printf("walk and queueing (ScanTree)         %s  (%zu files queued)\n", Seconds(start).c_str(),
                scan.toHash.size());

    Run("plain terminal hashing, 1,000 folders", plain, cacheAll, files);
    Run("--register (empty history)", reg, {"--no-gui", "--register", tree}, files);
    Run("--register again (unchanged tree)", reg, {"--no-gui", "--register", tree}, files);
    RemoveTree(root);
    return 0;
}
