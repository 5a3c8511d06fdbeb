// Painting a whole profile: 40,000 shots of 1,000 samples into 1,000 rows at one
// column per shot, and the run-end annotation of that image.
#include "core/session.h"
#include "display/profile_renderer.h"

#include "gui_bench_main.h"

#include <QGuiApplication>
#include <benchmark/benchmark.h>
#include <cmath>
#include <memory>
#include <vector>

using namespace tarnix;

namespace {

constexpr int kShots = 40000;
constexpr int kSamples = 1000;

std::unique_ptr<Session> bigLine(int palette) {
    auto s = std::make_unique<Session>();
    s->NumTraces = kShots;
    s->shots.StartShot.set(1);
    s->shots.EndShot.set(kShots + 1);
    s->display.NVP.set(1000); // 999 rows: 1,000 painted per column
    s->display.Rep.set(1);
    s->display.PaletteBar.set(palette);
    s->EndSweep.set(250);
    return s;
}

void fillTrace(TraceBuffer& t, int shot) {
    for (int k = 0; k < kSamples; ++k)
        t[k] = 20000.0L * std::sin(0.05L * k + 0.001L * shot) * std::exp(-0.002L * k);
}

void BM_PaintWholeProfile(benchmark::State& state) {
    auto s = bigLine(static_cast<int>(state.range(0)));
    ProfileRenderer r(*s);
    r.createImage();
    auto traces = std::make_unique<std::array<TraceBuffer, 16>>();
    for (int i = 0; i < 16; ++i) fillTrace((*traces)[i], i);
    for (auto _ : state) {
        for (int shot = 1; shot <= kShots; ++shot)
            r.DRAW_PROFILE(50 + shot, (*traces)[shot % 16], kSamples);
        benchmark::DoNotOptimize(r.bitmap().constBits());
    }
    state.counters["pixels/s"] = benchmark::Counter(
        static_cast<double>(kShots) * kSamples * state.iterations(), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_PaintWholeProfile)->Arg(0)->Arg(4)->Arg(8)->Unit(benchmark::kMillisecond);

// Columns painted from doubles at one row per sample, as a processed run does:
// 10,000 shots of 4,000 samples.
void BM_PaintDoubleColumns(benchmark::State& state) {
    constexpr int kFullShots = 10000, kFullSamples = 4000;
    Session s;
    s.NumTraces = kFullShots;
    s.shots.StartShot.set(1);
    s.shots.EndShot.set(kFullShots + 1);
    s.display.NVP.set(kFullSamples);
    s.display.Rep.set(1);
    s.display.PaletteBar.set(static_cast<int>(state.range(0)));
    s.EndSweep.set(200);
    ProfileRenderer r(s);
    r.createImage();
    std::vector<std::vector<double>> traces(16, std::vector<double>(kFullSamples));
    for (int i = 0; i < 16; ++i)
        for (int k = 0; k < kFullSamples; ++k)
            traces[i][k] = 20000.0 * std::sin(0.05 * k + 0.37 * i) * std::exp(-0.0005 * k);
    for (auto _ : state) {
        for (int shot = 1; shot <= kFullShots; ++shot)
            r.drawDoubleColumn(50 + shot, traces[shot % 16].data(), kFullSamples);
        benchmark::DoNotOptimize(r.bitmap().constBits());
    }
    state.counters["pixels/s"] =
        benchmark::Counter(static_cast<double>(kFullShots) * kFullSamples * state.iterations(),
                           benchmark::Counter::kIsRate);
}
BENCHMARK(BM_PaintDoubleColumns)->Arg(0)->Arg(4)->Unit(benchmark::kMillisecond);

void BM_CreateImage(benchmark::State& state) {
    auto s = bigLine(0);
    ProfileRenderer r(*s);
    for (auto _ : state) r.createImage();
}
BENCHMARK(BM_CreateImage)->Unit(benchmark::kMillisecond);

// Run end on the whole profile: the bitmap becomes the picture, labels every 50 shots and
// 10 ms, grid, caption and frame.
void BM_RunEndAnnotation(benchmark::State& state) {
    auto s = bigLine(0);
    s->display.Grid.set(1);
    ProfileRenderer r(*s);
    const QFont font("DejaVu Sans", 8);
    for (auto _ : state) {
        state.PauseTiming();
        r.createImage(); // the run end takes the bitmap over
        state.ResumeTiming();
        r.runEnd(font);
    }
}
BENCHMARK(BM_RunEndAnnotation)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    return runGuiBenchmarks(argc, argv);
}
