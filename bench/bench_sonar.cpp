// XTF ping reads (window copy and navigation text included) and SEG-2 gather
// opens, on the real files beside the checkout: pings and gathers per second.
#include "core/session.h"
#include "formats/seg2_reader.h"
#include "formats/xtf_reader.h"

#include <benchmark/benchmark.h>
#include <filesystem>
#include <memory>

using namespace tarnix;

namespace {

std::string peerFile(const char* name) {
    const auto p = std::filesystem::path(TARNIX_TESTDATA_DIR) / "peer" / name;
    return std::filesystem::exists(p) ? p.string() : std::string();
}

void BM_XtfReadPing(benchmark::State& state) {
    const std::string path = peerFile("cidco-scotsman-iver2.xtf");
    if (path.empty()) {
        state.SkipWithError("peer XTF file not present");
        return;
    }
    auto s = std::make_unique<Session>();
    s->EndSweep.set(40);
    s->shots.chan_to_display.set(static_cast<int>(state.range(0)));
    OPEN_XTF(*s, path);
    const int pings = s->NumTraces;
    int shot = 1;
    for (auto _ : state) {
        s->input->readRunTrace(*s, shot);
        shot = shot % pings + 1;
        benchmark::DoNotOptimize(s->current[0]);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_XtfReadPing)->Arg(1)->Arg(2);

void BM_Seg2OpenGather(benchmark::State& state) {
    const std::string path = peerFile("refrapy-field_example_02-1.dat");
    if (path.empty()) {
        state.SkipWithError("peer SEG-2 file not present");
        return;
    }
    auto s = std::make_unique<Session>();
    for (auto _ : state) {
        OPEN_SEG2(*s, path);
        benchmark::DoNotOptimize(s->gather.samples.data());
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_Seg2OpenGather);

} // namespace

BENCHMARK_MAIN();
