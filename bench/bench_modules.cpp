// Processing module kernels on full-length traces (16,383 samples).
#include "processing/module_state.h"
#include "processing/modules/gain.h"

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

} // namespace

BENCHMARK_MAIN();
