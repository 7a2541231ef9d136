// The matching pass and the other walks over a full viewer: a CSV checksum list of 5,000,000
// characters (some file names full-width) in which 5,000 lines carry the current CRC and MD5,
// 10,000 code occurrences. The pass figure includes the conversion of every mark to document
// positions; the widget's own formatting is not part of it.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <random>
#include <string>

#include "verify/ComparisonText.h"
#include "verify/Matching.h"
#include "verify/ViewerNavigation.h"

namespace {

const std::string kCrc = "1A2B3C4D";
const std::string kMd5 = "00112233445566778899AABBCCDDEEFF";
const std::string kName = "target.bin";

std::string Hex(std::mt19937& rng, int n)
{
    std::string s;
    while (n-- > 0) s += "0123456789ABCDEF"[rng() % 16];
    return s;
}

const std::string& ListText()
{
    static const std::string text = [] {
        std::mt19937 rng(1);
        std::string s;
        char name[64];
        for (int line = 0; s.size() < 5000000 - 100; ++line) {
            const bool target = line % 14 == 0 && line / 14 < 5000;
            if (target) std::snprintf(name, sizeof name, "%s", kName.c_str());
            else if (line % 3 == 0) std::snprintf(name, sizeof name, "ファイル_%06d.bin", line);
            else std::snprintf(name, sizeof name, "file_%06d.bin", line);
            s.append("\"").append(name).append("\",1024,");
            s.append(target ? kCrc : Hex(rng, 8)).append(",");
            s.append(target ? kMd5 : Hex(rng, 32)).append("\r\n");
        }
        return s;
    }();
    return text;
}

void BM_MatchingPass(benchmark::State& state)
{
    const qv::ComparisonText text(ListText());
    size_t marks = 0;
    for (auto _ : state) {
        const qv::MatchOutcome out = qv::MatchComparisonText(text, {kCrc, kMd5, kName}, {});
        marks = out.marks.size();
        benchmark::DoNotOptimize(out.marks.data());
    }
    state.counters["marks"] = static_cast<double>(marks);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.Size()));
}
BENCHMARK(BM_MatchingPass)->Unit(benchmark::kMillisecond);

// Without marks one search per code decides (highlighting switched off).
void BM_MatchingPassNoMarks(benchmark::State& state)
{
    const qv::ComparisonText text(ListText());
    const std::string absent = "0F1E2D3C4B5A69788796A5B4C3D2E1F0";
    for (auto _ : state)
        benchmark::DoNotOptimize(qv::MatchComparisonText(text, {kCrc, absent, kName}, {false, false, false}));
}
BENCHMARK(BM_MatchingPassNoMarks)->Unit(benchmark::kMillisecond);

// Once per load: validation, the folded copy and the position checkpoints.
void BM_LoadComparisonText(benchmark::State& state)
{
    for (auto _ : state) benchmark::DoNotOptimize(qv::ComparisonText(ListText()));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * ListText().size()));
}
BENCHMARK(BM_LoadComparisonText)->Unit(benchmark::kMillisecond);

// A list file's bytes to text (valid UTF-8, LF breaks turned into CR LF).
void BM_DecodeList(benchmark::State& state)
{
    std::string bytes = ListText();
    std::erase(bytes, '\r');
    for (auto _ : state) benchmark::DoNotOptimize(qv::DecodeComparisonBytes(bytes));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes.size()));
}
BENCHMARK(BM_DecodeList)->Unit(benchmark::kMillisecond);

// Tab with no code after the caret: the scan runs to the end of the text.
void BM_TabToTheEnd(benchmark::State& state)
{
    const std::string text(ListText().size(), 'x');
    for (auto _ : state) benchmark::DoNotOptimize(qv::SelectNextCode(text, 0, 0));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_TabToTheEnd)->Unit(benchmark::kMillisecond);

}  // namespace
