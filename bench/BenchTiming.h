#pragma once
// Timing and scratch-folder helpers shared by the bench tools.
#include <fcntl.h>
#include <ftw.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <string>

namespace qv::bench {

using Wall = std::chrono::steady_clock;

// CPU seconds of this process: other work on a shared machine does not count.
inline double CpuNow()
{
    timespec ts{};
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return ts.tv_sec + ts.tv_nsec / 1e9;
}

struct Stamp {
    Wall::time_point wall = Wall::now();
    double cpu = CpuNow();
    double WallSeconds() const { return std::chrono::duration<double>(Wall::now() - wall).count(); }
};

// "cpu s (wall s)"
inline std::string Seconds(const Stamp& since)
{
    char buf[64];
    std::snprintf(buf, sizeof buf, "%7.3f s cpu (%7.3f s wall)", CpuNow() - since.cpu, since.WallSeconds());
    return buf;
}

inline long FileBytes(const std::string& path)
{
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? static_cast<long>(st.st_size) : -1;
}

// files small files spread over folders ("Folder 0000".."Folder nnnn") under tree, each of
// bytes bytes that differ from file to file.
inline void MakeFileTree(const std::string& tree, int files, int folders, size_t bytes)
{
    ::mkdir(tree.c_str(), 0777);
    for (int d = 0; d < folders; ++d) {
        char name[64];
        std::snprintf(name, sizeof name, "/Folder %04d", d);
        ::mkdir((tree + name).c_str(), 0777);
    }
    std::string data(bytes, 'x');
    for (int n = 0; n < files; ++n) {
        char name[96];
        std::snprintf(name, sizeof name, "/Folder %04d/Data file %07d.bin", n % folders, n);
        const int fd = ::open((tree + name).c_str(), O_CREAT | O_WRONLY | O_TRUNC | O_CLOEXEC, 0644);
        if (fd < 0) continue;
        if (!data.empty()) data[static_cast<size_t>(n) % data.size()] = static_cast<char>(n);
        if (::write(fd, data.data(), data.size()) < 0) std::perror(name);
        ::close(fd);
    }
}

// Removes a scratch folder and everything in it.
inline void RemoveTree(const std::string& root)
{
    ::nftw(root.c_str(), [](const char* path, const struct stat*, int type, struct FTW*) {
        return type == FTW_DP ? ::rmdir(path) : ::unlink(path);
    }, 16, FTW_DEPTH | FTW_PHYS);
}

}  // namespace qv::bench
