// SEG-Y trace reads (big- and little-endian, window copy included), sample
// decoding by format and trace writes of 4,000-sample traces: traces per second.
#include "core/session.h"
#include "formats/demo_line.h"
#include "formats/file_open.h"
#include "formats/segy_reader.h"
#include "formats/segy_samples.h"
#include "formats/segy_writer.h"

#include <benchmark/benchmark.h>
#include <filesystem>
#include <memory>
#include <random>
#include <vector>

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

// Samples of one 4,000-sample trace from its bytes into extended precision,
// by format code (3 is the 16-bit path every older line takes).
void BM_SegySampleDecode(benchmark::State& state) {
    const int code = static_cast<int>(state.range(0));
    constexpr int n = 4000;
    std::vector<unsigned char> bytes(4 * n);
    std::mt19937 rng(5);
    for (auto& b : bytes) b = static_cast<unsigned char>(rng());
    if (code == 1)
        for (int i = 0; i < n; ++i) bytes[4 * i] = static_cast<unsigned char>(0x40 + i % 8);
    SegySampleDecoder decoder;
    auto out = std::make_unique<TraceBuffer>();
    for (auto _ : state) {
        decoder.decode(bytes.data(), n, code, true, 1, 0, out->data());
        benchmark::DoNotOptimize((*out)[n - 1]);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_SegySampleDecode)->Arg(3)->Arg(1)->Arg(5)->Arg(2)->Arg(8)->ArgName("code");

} // namespace

BENCHMARK_MAIN();
