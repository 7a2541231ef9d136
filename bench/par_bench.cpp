// Report building speed on in-memory PAR files. Recovery volumes are mostly slice data the
// walk skips; index files are dense with file descriptions and slice checksums, the worst
// case for report text. Figures are bytes of parity file per second.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>

#include "verify/ParReport.h"

namespace {

void PutLe(std::string& out, uint64_t value, unsigned width)
{
    for (unsigned i = 0; i < width; ++i) out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

void PutId(std::string& out, uint64_t n)
{
    PutLe(out, n * 0x9E3779B97F4A7C15ULL, 8);
    PutLe(out, n ^ 0xA5A5A5A5A5A5A5A5ULL, 8);
}

std::string Packet(std::string_view name, std::string_view body)
{
    std::string type("PAR 2.0\0", 8);
    type += name;
    type.resize(16, '\0');
    std::string p("PAR2\0PKT", 8);
    PutLe(p, 64 + body.size(), 8);
    p.append(16, '\0');
    p.append(16, '\x5A');   // recovery set ID
    p += type;
    p += body;
    return p;
}

// A set of `files` files of `slicesPerFile` slices: main, one description and one slice-checksum
// packet per file, a creator packet, and `recoverySlices` recovery packets of sliceSize bytes.
std::string BuildPar2(int files, int slicesPerFile, int recoverySlices, size_t sliceSize)
{
    std::string out;
    std::string main;
    PutLe(main, sliceSize, 8);
    PutLe(main, static_cast<uint64_t>(files), 4);
    for (int f = 0; f < files; ++f) PutId(main, static_cast<uint64_t>(f));
    out += Packet("Main", main);
    for (int f = 0; f < files; ++f) {
        std::string desc;
        PutId(desc, static_cast<uint64_t>(f));
        PutId(desc, static_cast<uint64_t>(f) + 1000000);
        PutId(desc, static_cast<uint64_t>(f) + 2000000);
        PutLe(desc, static_cast<uint64_t>(slicesPerFile) * sliceSize, 8);
        desc += "folder/file number " + std::to_string(f) + ".bin";
        desc.resize((desc.size() + 3) / 4 * 4, '\0');
        out += Packet("FileDesc", desc);
        std::string ifsc;
        PutId(ifsc, static_cast<uint64_t>(f));
        for (int s = 0; s < slicesPerFile; ++s) {
            PutId(ifsc, static_cast<uint64_t>(s) * 7919);
            PutLe(ifsc, static_cast<uint64_t>(s) * 2654435761u, 4);
        }
        out += Packet("IFSC", ifsc);
    }
    out += Packet("Creator", "Quenvarlith par bench");
    std::string recovery;
    for (int r = 0; r < recoverySlices; ++r) {
        recovery.assign(4 + sliceSize, static_cast<char>(r));
        out += Packet("RecvSlic", recovery);
    }
    return out;
}

std::string BuildPar1(int entries)
{
    std::string list;
    for (int i = 0; i < entries; ++i) {
        const std::string digits = std::to_string(i);
        const std::u16string name = u"ファイル" + std::u16string(digits.begin(), digits.end()) + u".dat";
        PutLe(list, 56 + name.size() * 2, 8);
        PutLe(list, 3, 8);
        PutLe(list, static_cast<uint64_t>(i) * 1000, 8);
        PutId(list, static_cast<uint64_t>(i));
        PutId(list, static_cast<uint64_t>(i) + 1);
        for (char16_t c : name) PutLe(list, c, 2);
    }
    std::string out("PAR\0\0\0\0\0", 8);
    out.append(8, '\1');
    out.append(32, '\2');
    PutLe(out, 0, 8);
    PutLe(out, static_cast<uint64_t>(entries), 8);
    PutLe(out, 96, 8);
    PutLe(out, list.size(), 8);
    PutLe(out, 96 + list.size(), 8);
    PutLe(out, 0, 8);
    return out + list;
}

void RunPar2(benchmark::State& state, const std::string& bytes, bool extend)
{
    qv::ParReportOptions options;
    options.par2ExtendReport = extend;
    size_t lines = 0;
    for (auto _ : state) {
        const qv::ParReport report = qv::BuildPar2Report("/bench/set.par2", bytes, 45000.5, options);
        lines = report.lines.size();
        benchmark::DoNotOptimize(report.lines.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(bytes.size()));
    state.counters["MiB"] = static_cast<double>(bytes.size()) / (1 << 20);
    state.counters["lines"] = static_cast<double>(lines);
}

// 1 GiB recovery volume: 16,384 packets of 64 KiB slices after the critical packets.
void BM_Par2RecoveryVolume(benchmark::State& state)
{
    static const std::string bytes = BuildPar2(200, 40, 16384, 65536);
    RunPar2(state, bytes, state.range(0) != 0);
}
BENCHMARK(BM_Par2RecoveryVolume)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// Index file of 20,000 files with 50 slices each (about 20 MiB of descriptions and checksums).
void BM_Par2DenseIndex(benchmark::State& state)
{
    static const std::string bytes = BuildPar2(20000, 50, 0, 4096);
    RunPar2(state, bytes, state.range(0) != 0);
}
BENCHMARK(BM_Par2DenseIndex)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// Delivered text (report + CR LF join) for the dense index with the extended report.
void BM_Par2DeliveredText(benchmark::State& state)
{
    static const std::string bytes = BuildPar2(20000, 50, 0, 4096);
    qv::ParReportOptions options;
    options.par2ExtendReport = true;
    for (auto _ : state) benchmark::DoNotOptimize(qv::ParReportText("/bench/set.par2", bytes, 45000.5, options).size());
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(bytes.size()));
}
BENCHMARK(BM_Par2DeliveredText)->Unit(benchmark::kMillisecond);

// PAR 1.0 file list of 200,000 entries.
void BM_Par1Entries(benchmark::State& state)
{
    static const std::string bytes = BuildPar1(200000);
    size_t lines = 0;
    for (auto _ : state) {
        const qv::ParReport report = qv::BuildParReport("/bench/set.par", bytes, 45000.5);
        lines = report.lines.size();
        benchmark::DoNotOptimize(report.lines.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(bytes.size()));
    state.counters["lines"] = static_cast<double>(lines);
}
BENCHMARK(BM_Par1Entries)->Unit(benchmark::kMillisecond);

}  // namespace
