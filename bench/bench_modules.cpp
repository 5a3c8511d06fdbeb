// Processing module kernels on full-length traces (16,383 samples).
#include "core/extended.h"
#include "core/session.h"
#include "formats/demo_line.h"
#include "formats/file_open.h"
#include "processing/module_state.h"
#include "processing/modules/correlation.h"
#include "processing/modules/decon.h"
#include "processing/modules/fft.h"
#include "processing/modules/fir.h"
#include "processing/modules/gain.h"
#include "processing/modules/noise.h"
#include "processing/modules/statics.h"
#include "processing/neighbours.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>
#include <random>

using namespace tarnix;
using namespace tarnix::modules;

namespace {

constexpr int kN = 16383;

const TraceBuffer& sourceTrace() {
    static const auto t = [] {
        auto b = std::make_unique<TraceBuffer>();
        b->fill(0);
        std::mt19937 gen(7);
        std::normal_distribution<double> g(0, 800);
        for (int i = 0; i < kN; ++i)
            (*b)[i] = std::round(g(gen) * std::exp(-i / 6000.0) + 3000 * std::sin(i * 0.05));
        return b;
    }();
    return *t;
}

ModuleState& state() {
    static ModuleState s;
    return s;
}

// Every iteration starts from the same input; the refill is part of the figure
// (about 16k long double copies) and the same for every module.
template <class F> void runOnTrace(benchmark::State& bs, F f) {
    auto t = std::make_unique<TraceBuffer>();
    for (auto _ : bs) {
        std::copy_n(sourceTrace().begin(), kN, t->begin());
        f(*t);
        benchmark::DoNotOptimize(t->data());
    }
    bs.SetItemsProcessed(bs.iterations()); // items = traces
}

void BM_AGCM(benchmark::State& bs) {
    const int w = static_cast<int>(bs.range(0));
    runOnTrace(bs, [&](TraceBuffer& t) { agcm(t, kN, w, state()); });
}
BENCHMARK(BM_AGCM)->Arg(129)->Arg(12000);

void BM_TVGM(benchmark::State& bs) {
    runOnTrace(bs, [](TraceBuffer& t) { tvgm(t, kN, 0.001); });
}
void BM_LING(benchmark::State& bs) {
    runOnTrace(bs, [](TraceBuffer& t) { ling(t, kN, 2.0, 32768); });
}
void BM_NORM(benchmark::State& bs) {
    runOnTrace(bs, [](TraceBuffer& t) { normalise(t, kN, 0, 32768); });
}
void BM_DBAS(benchmark::State& bs) {
    runOnTrace(bs, [](TraceBuffer& t) { dbas(t, kN); });
}
void BM_DERV(benchmark::State& bs) {
    runOnTrace(bs, [](TraceBuffer& t) { derv(t, kN); });
}
void BM_ABSM(benchmark::State& bs) {
    runOnTrace(bs, [](TraceBuffer& t) { absm(t, kN); });
}
void BM_GRAD(benchmark::State& bs) {
    runOnTrace(bs, [](TraceBuffer& t) { grad(t, kN); });
}
void BM_CopyOnly(benchmark::State& bs) {
    runOnTrace(bs, [](TraceBuffer&) {});
}
BENCHMARK(BM_TVGM);
BENCHMARK(BM_LING);
BENCHMARK(BM_NORM);
BENCHMARK(BM_DBAS);
BENCHMARK(BM_DERV);
BENCHMARK(BM_ABSM);
BENCHMARK(BM_GRAD);
BENCHMARK(BM_CopyOnly);

// FLTM as a run uses it: designed once, then one convolution per trace.
void BM_FLTM(benchmark::State& bs) {
    const int taps = static_cast<int>(bs.range(0));
    bool first = true;
    runOnTrace(bs, [&](TraceBuffer& t) {
        fltm(t, 1, kN, kHamming, first, taps, 900, 150, kBandPass, 8, state());
        first = false;
    });
}
BENCHMARK(BM_FLTM)->Arg(128)->Arg(32)->Arg(512);

// The direct extended-precision sum FLTM's convolution is checked against.
void BM_ConvolveDirect128(benchmark::State& bs) {
    std::vector<long double> c;
    std::vector<double> half(100);
    designFir(128, kHamming, kBandPass, 900, 150, 8, c, half.data());
    std::vector<long double> y(kN + 128);
    runOnTrace(bs, [&](TraceBuffer& t) {
        convolve(kN, 128, kN + 128, c.data(), int(c.size()), t.data(), true, y.data());
    });
}
BENCHMARK(BM_ConvolveDirect128);

void BM_FFTF(benchmark::State& bs) {
    runOnTrace(bs, [](TraceBuffer& t) { fftf(t, kN, 2000, "LP", state()); });
}
void BM_FFTM(benchmark::State& bs) {
    runOnTrace(bs, [](TraceBuffer& t) { fftm(t, kN, state()); });
}
void BM_DECM(benchmark::State& bs) {
    const int op = static_cast<int>(bs.range(0));
    runOnTrace(bs, [&](TraceBuffer& t) { decm(t, kN, op, 1, 0.01L, state()); });
}
void BM_ACFM(benchmark::State& bs) {
    bool first = true;
    runOnTrace(bs, [&](TraceBuffer& t) {
        acfm(t, kN, kN, 10, 32768, 8, first, state());
        first = false;
    });
}
BENCHMARK(BM_FFTF);
BENCHMARK(BM_FFTM);
BENCHMARK(BM_DECM)->Arg(128)->Arg(1024);
BENCHMARK(BM_ACFM);

// The noise and editing kernels on 4,000-sample traces beside the gain control
// on the same length (the figure they are held to).
constexpr int kShort = 4000;

void BM_AGCM4000(benchmark::State& bs) {
    runOnTrace(bs, [](TraceBuffer& t) { agcm(t, kShort, 129, state()); });
}
void BM_SpikeFilter4000(benchmark::State& bs) {
    runOnTrace(bs, [](TraceBuffer& t) { spfm(t, kShort, 3276); });
}
void BM_HorizontalBands4000(benchmark::State& bs) {
    runOnTrace(bs, [](TraceBuffer& t) { hbfm(t, kShort, 100, sourceTrace()); });
}
void BM_HeaveCorrection4000(benchmark::State& bs) {
    runOnTrace(bs, [](TraceBuffer& t) { swell(t, kShort, 1500, 40); });
}
void BM_Mute4000(benchmark::State& bs) {
    runOnTrace(bs, [](TraceBuffer& t) { mutm(t, kShort, 1200); });
}
void BM_Resample4000(benchmark::State& bs) {
    runOnTrace(bs, [](TraceBuffer& t) { resm(t, kShort, 2); });
}
// Neighbours already decoded (the ring's case).
void BM_RandomNoise4000(benchmark::State& bs) {
    const Sample* b = sourceTrace().data() + 7;
    runOnTrace(bs, [&](TraceBuffer& t) { rnfm(t, kShort, b, b + 3, 500); });
}
void BM_TraceMix4000(benchmark::State& bs) {
    const int k = static_cast<int>(bs.range(0));
    std::vector<const Sample*> n;
    for (int t = 1; t < k; ++t) n.push_back(sourceTrace().data() + t);
    runOnTrace(bs, [&](TraceBuffer& t) { tmxm(t, kShort, n); });
}
BENCHMARK(BM_AGCM4000);
BENCHMARK(BM_SpikeFilter4000);
BENCHMARK(BM_HorizontalBands4000);
BENCHMARK(BM_HeaveCorrection4000);
BENCHMARK(BM_Mute4000);
BENCHMARK(BM_Resample4000);
BENCHMARK(BM_RandomNoise4000);
BENCHMARK(BM_TraceMix4000)->Arg(3)->Arg(9);

// The neighbour reads along a line of 4,000-sample traces: K - 1 traces ahead
// asked for at every shot, each decoded once (SEG-Y read and window copy).
void BM_NeighbourReads4000(benchmark::State& bs) {
    const int ahead = static_cast<int>(bs.range(0));
    DemoLineOptions opt;
    opt.shots = 2000;
    opt.samples = kShort;
    opt.intervalUs = 50;
    const std::string line = demoLinePath(opt);
    auto s = std::make_unique<Session>();
    openCommand(*s, line);
    s->segy.HeadType = SegyOptions::Ascii;
    s->StartSweep.set(0);
    s->EndSweep.set(opt.samples * opt.intervalUs / 1000);
    segyOptionsOk(*s);
    NeighbourReader nb;
    nb.start(*s);
    int shot = 0;
    for (auto _ : bs) {
        for (int t = 1; t <= ahead; ++t)
            benchmark::DoNotOptimize(nb.trace(*s, shot + t, kShort, ahead));
        if (++shot + ahead >= opt.shots) shot = 0;
    }
    bs.SetItemsProcessed(bs.iterations());
}
BENCHMARK(BM_NeighbourReads4000)->Arg(2)->Arg(8);

// The statics rows on the same length.
void BM_STAM4000(benchmark::State& bs) {
    runOnTrace(bs, [](TraceBuffer& t) { stam(t, 37); });
}
void BM_STTM4000(benchmark::State& bs) {
    runOnTrace(bs, [](TraceBuffer& t) { sttm(t, kShort, 37); });
}
// The mean: the source trace delayed by 25 samples, its transform kept; as a
// run uses it, the mean is compared on the first trace only.
void BM_ASTM4000(benchmark::State& bs) {
    auto mean = std::make_unique<TraceBuffer>();
    mean->fill(0);
    std::copy_n(sourceTrace().begin(), kShort - 25, mean->begin() + 25);
    bool first = true;
    runOnTrace(bs, [&](TraceBuffer& t) {
        astm(t, kShort, *mean, state(), first ? -1 : 1);
        first = false;
    });
}
// Both on eight lanes at most, as on processors without the sixteen-lane ones.
void BM_AGCM4000EightLanes(benchmark::State& bs) {
    allowWideConversions(false);
    BM_AGCM4000(bs);
    allowWideConversions(true);
}
void BM_ASTM4000EightLanes(benchmark::State& bs) {
    allowWideConversions(false);
    allowWideTransforms(false);
    BM_ASTM4000(bs);
    allowWideConversions(true);
    allowWideTransforms(true);
}
void BM_RCCM4000(benchmark::State& bs) {
    runOnTrace(bs, [](TraceBuffer& t) {
        auto e = reflectionCoefficient(t, kShort, 1100, 60, true, 82.5, 7.2e-6);
        benchmark::DoNotOptimize(e);
        mutm(t, kShort, 1100);
    });
}
BENCHMARK(BM_STAM4000);
BENCHMARK(BM_STTM4000);
BENCHMARK(BM_ASTM4000);
BENCHMARK(BM_AGCM4000EightLanes);
BENCHMARK(BM_ASTM4000EightLanes);
BENCHMARK(BM_RCCM4000);

} // namespace

BENCHMARK_MAIN();
