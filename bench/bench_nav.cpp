// Navigation: import with interpolation of a whole line's fixes, and extraction
// of a 40,000-trace line's trace headers.
#include "core/numtext.h"
#include "core/session.h"
#include "formats/demo_line.h"
#include "navigation/nav_extract.h"
#include "navigation/nav_file.h"

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

} // namespace

BENCHMARK_MAIN();
