// SEG-Y trace reads (big- and little-endian, window copy included) and trace
// writes of 4,000-sample traces: traces per second.
#include "core/session.h"
#include "formats/demo_line.h"
#include "formats/file_open.h"
#include "formats/segy_reader.h"
#include "formats/segy_writer.h"

#include <benchmark/benchmark.h>
#include <filesystem>
#include <memory>

using namespace tarnix;

namespace {

constexpr int kShots = 2000;

std::unique_ptr<Session> openLine() {
    DemoLineOptions opt;
    opt.shots = kShots;
    opt.samples = 4000;
    auto s = std::make_unique<Session>();
    openCommand(*s, demoLinePath(opt));
    s->segy.HeadType = SegyOptions::Ascii;
    s->EndSweep.set(opt.samples * opt.intervalUs / 1000);
    segyOptionsOk(*s);
    return s;
}

void BM_SegyReadBigEndian(benchmark::State& state) {
    auto s = openLine();
    int shot = 0;
    for (auto _ : state) {
        s->input->readRunTrace(*s, shot);
        shot = (shot + 1) % kShots;
        benchmark::DoNotOptimize(s->current[0]);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_SegyReadBigEndian);

void BM_SegyWrite(benchmark::State& state) {
    auto s = openLine();
    const std::string out =
        (std::filesystem::temp_directory_path() / "tarnix-bench-out.sgy").string();
    s->shots.StartShot.set(1);
    OPEN_OUT_SEGY(*s, out);
    int shot = 1;
    for (auto _ : state) {
        if (state.range(0))
            writeSegyTraceBE(*s, 1, shot, s->StartSweep(), s->current, s->EndSweep());
        else
            writeSegyTraceLE(*s, 1, shot, s->StartSweep(), s->current, s->EndSweep());
        shot = shot % kShots + 1;
    }
    s->segyOut->close();
    std::filesystem::remove(out);
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_SegyWrite)->Arg(1)->Arg(0)->ArgName("bigEndian");

} // namespace

BENCHMARK_MAIN();
