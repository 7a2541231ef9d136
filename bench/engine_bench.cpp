// Hashes files through the reader thread and the three banks, as the per-file job does, and
// prints size, time, throughput and both codes. --hash-only times the hashing alone over the
// same bank-sized pieces, from memory, to show what the overlap with reading costs.

#include <sys/stat.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "engine/BankExchange.h"
#include "engine/Hash.h"
#include "engine/ReadThread.h"
#include "platform/Files.h"

namespace {

struct Options {
    int64_t bufferSize = 65536;
    bool noCache = false;
    bool hashOnly = false;
    bool quiet = false;
    int repeat = 1;
    int priority = 3;
    std::vector<std::string> files;
};

void Usage()
{
    std::fprintf(stderr,
                 "usage: engine_bench [--buffer-size N] [--no-cache] [--repeat N] [--priority 1..5]\n"
                 "                    [--hash-only] [--quiet] [--list PATHS-FILE] FILE...\n"
                 "  --quiet prints only the per-run summary lines\n");
}

bool ParseArgs(int argc, char** argv, Options& options)
{
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const auto value = [&](int64_t& out) {
            if (i + 1 >= argc) return false;
            char* end = nullptr;
            out = std::strtoll(argv[++i], &end, 10);
            return end && *end == '\0';
        };
        int64_t number = 0;
        if (arg == "--buffer-size") {
            if (!value(options.bufferSize)) return false;
        } else if (arg == "--repeat") {
            if (!value(number) || number < 1) return false;
            options.repeat = static_cast<int>(number);
        } else if (arg == "--priority") {
            if (!value(number)) return false;
            options.priority = static_cast<int>(number);
        } else if (arg == "--list") {
            // Many small files: their paths one per line, beyond the command-line limit.
            if (i + 1 >= argc) return false;
            FILE* list = std::fopen(argv[++i], "r");
            if (!list) return false;
            char line[4200];
            while (std::fgets(line, sizeof line, list)) {
                std::string path(line);
                while (!path.empty() && (path.back() == '\n' || path.back() == '\r')) path.pop_back();
                if (!path.empty()) options.files.push_back(path);
            }
            std::fclose(list);
        } else if (arg == "--no-cache") {
            options.noCache = true;
        } else if (arg == "--hash-only") {
            options.hashOnly = true;
        } else if (arg == "--quiet") {
            options.quiet = true;
        } else if (arg == "--help" || arg == "-h" || (arg.size() > 1 && arg[0] == '-')) {
            return false;
        } else {
            options.files.push_back(arg);
        }
    }
    return !options.files.empty();
}

double Seconds(std::chrono::steady_clock::time_point since)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

double MBps(int64_t bytes, double seconds) { return seconds > 0 ? bytes / 1e6 / seconds : 0.0; }

std::string CodesOf(qv::HashContext& ctx)
{
    uint8_t digest[16];
    uint32_t crc = 0;
    qv::HashFinal(ctx, digest, crc);
    return qv::CrcText(crc) + " " + qv::Md5Text(digest);
}

// Hashing alone: the file is loaded first, then folded in bank-sized pieces.
int HashOnly(const Options& options, int64_t bank)
{
    double best = 0;
    for (const std::string& file : options.files) {
        std::string bytes, error;
        if (!qv::ReadWholeFile(file, bytes, error)) {
            std::fprintf(stderr, "%s: %s\n", file.c_str(), error.c_str());
            return 1;
        }
        for (int run = 0; run < options.repeat; ++run) {
            qv::HashContext ctx;
            const auto start = std::chrono::steady_clock::now();
            qv::HashInit(ctx);
            for (size_t at = 0; at < bytes.size(); at += static_cast<size_t>(bank)) {
                const size_t length = std::min(bytes.size() - at, static_cast<size_t>(bank));
                qv::HashUpdate(ctx, bytes.data() + at, static_cast<uint32_t>(length));
            }
            const std::string codes = CodesOf(ctx);
            const double seconds = Seconds(start);
            const double rate = MBps(static_cast<int64_t>(bytes.size()), seconds);
            if (rate > best) best = rate;
            std::printf("hash-only %lld bytes %.4f s %.1f MB/s %s %s\n", static_cast<long long>(bytes.size()),
                        seconds, rate, codes.c_str(), file.c_str());
        }
    }
    std::printf("best %.1f MB/s\n", best);
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    Options options;
    if (!ParseArgs(argc, argv, options)) {
        Usage();
        return 2;
    }
    qv::ReadEngineOptions engineOptions;
    engineOptions.bufferSizeSetting = options.bufferSize;
    bool allocationFailed = false;
    qv::ReadEngine engine(engineOptions, [&](const std::string& text) {
        std::fprintf(stderr, "%s\n", text.c_str());
        allocationFailed = true;
    });
    if (allocationFailed) return 1;
    if (options.hashOnly) return HashOnly(options, engine.BufferSize());

    std::vector<int64_t> sizes;
    for (const std::string& file : options.files) {
        struct stat st {};
        if (::stat(file.c_str(), &st) != 0) {
            std::fprintf(stderr, "%s: %s\n", file.c_str(), std::strerror(errno));
            return 1;
        }
        sizes.push_back(st.st_size);
    }
    const bool many = options.files.size() > 1;
    if (!options.quiet) {
        std::printf("bank %lld bytes%s, %zu file(s), %d run(s)\n", static_cast<long long>(engine.BufferSize()),
                    options.noCache ? ", no cache" : "", options.files.size(), options.repeat);
    }

    double bestRate = 0, bestFiles = 0;
    int status = 0;
    for (int run = 0; run < options.repeat; ++run) {
        // One reader per batch, as the driver does.
        auto reader = std::make_unique<qv::TReadThread>(engine, qv::ReadOpenFlags(options.noCache),
                                                        options.priority);
        int64_t total = 0;
        const auto batchStart = std::chrono::steady_clock::now();
        for (size_t i = 0; i < options.files.size(); ++i) {
            qv::HashContext ctx;
            const auto start = std::chrono::steady_clock::now();
            qv::HashInit(ctx);
            const int32_t code = qv::ExchangeBanks(engine, options.files[i], sizes[i], ctx);
            const std::string codes = CodesOf(ctx);
            const double seconds = Seconds(start);
            if (code != 0) {
                std::fprintf(stderr, "%s: error %d%s%s\n", options.files[i].c_str(), code,
                             code > 0 ? " " : "", code > 0 ? qv::PlatformErrorText(code).c_str() : "");
                status = 1;
                break;
            }
            total += sizes[i];
            if (!options.quiet && !many) {
                std::printf("%lld bytes %.4f s %.1f MB/s %s %s\n", static_cast<long long>(sizes[i]), seconds,
                            MBps(sizes[i], seconds), codes.c_str(), options.files[i].c_str());
            }
        }
        const double seconds = Seconds(batchStart);
        reader->Terminate();
        reader->WaitFor(5000);
        reader.reset();
        if (status != 0) break;
        const double rate = MBps(total, seconds);
        const double filesPerSecond = seconds > 0 ? options.files.size() / seconds : 0;
        if (rate > bestRate) bestRate = rate;
        if (filesPerSecond > bestFiles) bestFiles = filesPerSecond;
        if (many || options.quiet) {
            std::printf("run %d: %zu files %lld bytes %.4f s %.1f MB/s %.0f files/s\n", run + 1,
                        options.files.size(), static_cast<long long>(total), seconds, rate, filesPerSecond);
        }
    }
    if (status == 0 && many) std::printf("best %.1f MB/s %.0f files/s\n", bestRate, bestFiles);
    else if (status == 0) std::printf("best %.1f MB/s\n", bestRate);
    return status;
}
