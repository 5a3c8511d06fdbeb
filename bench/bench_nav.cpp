// Navigation: import with interpolation of a whole line's fixes, extraction
// of a 40,000-trace line's trace headers, and a time slice over 20 lines of
// 10,000 traces.
#include "core/numtext.h"
#include "core/session.h"
#include "formats/demo_line.h"
#include "navigation/nav_extract.h"
#include "navigation/nav_file.h"
#include "navigation/time_slice.h"

#include <benchmark/benchmark.h>
#include <filesystem>
#include <fstream>
#include <memory>

using namespace tarnix;

namespace {

constexpr int kTraces = 40000;

// A navigation file with a fix every `step` shots from 0 to 39999.
std::string navFile(int step) {
    const std::string path =
        (std::filesystem::temp_directory_path() / ("tarnix-bench-" + std::to_string(step) + ".nav"))
            .string();
    std::ofstream out(path, std::ios::trunc);
    for (int shot = 0; shot < kTraces; shot += step)
        out << shot << " 2026 142 8 " << shot / 60 % 60 << ' ' << shot % 60 << ' '
            << fixedText(59.85 + shot * 1e-5, 8) << ' ' << fixedText(24.5 + shot * 2e-5, 8)
            << " \n";
    return path;
}

void BM_NavImport(benchmark::State& state) {
    const int step = static_cast<int>(state.range(0));
    const std::string path = navFile(step);
    auto s = std::make_unique<Session>();
    for (auto _ : state) {
        IMPORT_NAV(*s, path);
        benchmark::DoNotOptimize(s->navigationGrid.back());
    }
    std::filesystem::remove(path);
    state.SetItemsProcessed(state.iterations() * kTraces);
}
BENCHMARK(BM_NavImport)->Arg(1)->Arg(10)->Unit(benchmark::kMillisecond);

void BM_NavExtract(benchmark::State& state) {
    DemoLineOptions opt;
    opt.shots = kTraces;
    opt.samples = 1000; // only the trace headers are read
    const std::string line =
        (std::filesystem::temp_directory_path() / "tarnix-bench-nav.sgy").string();
    writeDemoLine(line, opt);
    auto s = std::make_unique<Session>();
    s->HdrSelect.set(static_cast<int>(state.range(0)));
    for (auto _ : state) benchmark::DoNotOptimize(extractNavFile(*s, line));
    std::filesystem::remove(line);
    std::filesystem::remove(navSidePath(line));
    state.SetItemsProcessed(state.iterations() * kTraces);
}
BENCHMARK(BM_NavExtract)->Arg(1)->Arg(10)->Unit(benchmark::kMillisecond);

// The same 10,000-trace line 20 times over (the page cache holds it, as it
// would hold lines read one after the other); 2,000 samples of which the
// slice reads sample 1957.
void BM_TimeSlice(benchmark::State& state) {
    DemoLineOptions opt;
    opt.shots = 10000;
    opt.samples = 2000;
    const std::string line =
        (std::filesystem::temp_directory_path() / "tarnix-bench-slice.sgy").string();
    const std::string out =
        (std::filesystem::temp_directory_path() / "tarnix-bench-slice.txt").string();
    writeDemoLine(line, opt);
    auto s = std::make_unique<Session>();
    s->StartSweep.set(0);
    s->EndSweep.set(100);
    const std::vector<std::string> files(20, line);
    for (auto _ : state) benchmark::DoNotOptimize(extractTimeSlice(*s, files, "1957", out));
    std::filesystem::remove(line);
    std::filesystem::remove(out);
    state.SetItemsProcessed(state.iterations() * 20 * opt.shots);
}
BENCHMARK(BM_TimeSlice)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
