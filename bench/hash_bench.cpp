// Throughput of the hash primitives on one buffer already in cache (64 KiB, a bank) and
// on 1 MiB. Compare "md5" with `openssl speed -evp md5 -bytes 65536`.

#include "engine/Crc32.h"
#include "engine/Hash.h"
#include "engine/Md5.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

namespace {

std::vector<uint8_t> Buffer(size_t n) {
    std::mt19937 rng(42);
    std::vector<uint8_t> bytes(n);
    for (auto& b : bytes) b = static_cast<uint8_t>(rng());
    return bytes;
}

void BenchCrcKernel(benchmark::State& state, qv::Crc32Function function) {
    const auto data = Buffer(static_cast<size_t>(state.range(0)));
    uint32_t crc = 0xFFFFFFFFu;
    for (auto _ : state) {
        crc = function(crc, data.data(), data.size());
        benchmark::DoNotOptimize(crc);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * state.range(0));
}

void BM_CrcFast(benchmark::State& state) {
    state.SetLabel(qv::Crc32FastKernelName());
    BenchCrcKernel(state, &qv::Crc32Fast);
}
BENCHMARK(BM_CrcFast)->Arg(64 << 10)->Arg(1 << 20);

void BM_Md5(benchmark::State& state) {
    const auto data = Buffer(static_cast<size_t>(state.range(0)));
    uint32_t md5[4] = {0x67452301u, 0xEFCDAB89u, 0x98BADCFEu, 0x10325476u};
    for (auto _ : state) {
        qv::Md5Blocks(md5, data.data(), data.size() / 64);
        benchmark::DoNotOptimize(md5);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * state.range(0));
}
BENCHMARK(BM_Md5)->Arg(64 << 10)->Arg(1 << 20);

void BM_HashUpdate(benchmark::State& state) {
    const auto data = Buffer(static_cast<size_t>(state.range(0)));
    qv::HashContext ctx;
    qv::HashInit(ctx);
    for (auto _ : state) {
        qv::HashUpdate(ctx, data.data(), static_cast<uint32_t>(data.size()));
        benchmark::DoNotOptimize(ctx);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * state.range(0));
}
BENCHMARK(BM_HashUpdate)->Arg(64 << 10)->Arg(1 << 20);

// The two strategies of HashUpdate side by side; on 64 MiB the data comes from memory.
void BM_HashUpdateWith(benchmark::State& state, bool fused) {
    if (fused && !qv::Md5Crc32BlocksSupported()) {
        state.SkipWithError("no PCLMULQDQ");
        return;
    }
    const auto data = Buffer(static_cast<size_t>(state.range(0)));
    const size_t piece = static_cast<size_t>(state.range(1));
    qv::HashContext ctx;
    qv::HashInit(ctx);
    for (auto _ : state) {
        for (size_t done = 0; done < data.size(); done += piece)
            qv::HashUpdateWith(ctx, data.data() + done, static_cast<uint32_t>(piece), fused);
        benchmark::DoNotOptimize(ctx);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * state.range(0));
}
BENCHMARK_CAPTURE(BM_HashUpdateWith, chunked, false)->Args({64 << 10, 64 << 10})->Args({64 << 20, 1 << 20});
BENCHMARK_CAPTURE(BM_HashUpdateWith, fused, true)->Args({64 << 10, 64 << 10})->Args({64 << 20, 1 << 20});

// One entry per kernel this CPU can run, "table" first: the reference for the speed-up.
const bool kKernelsRegistered = [] {
    for (const auto& kernel : qv::Crc32Kernels()) {
        if (!kernel.supported) continue;
        const std::string name = std::string("BM_Crc/") + kernel.name;
        benchmark::RegisterBenchmark(name.c_str(), BenchCrcKernel, kernel.function)->Arg(64 << 10)->Arg(1 << 20);
    }
    return true;
}();

}  // namespace
