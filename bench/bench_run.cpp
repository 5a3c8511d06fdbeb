// A whole run (GO) over the demo line at 10,000 shots x 4,000 samples with an
// empty sequence, the annotated profile written as BMP: shots per second.
#include "core/session.h"
#include "display/profile_renderer.h"
#include "display/profile_run_hooks.h"
#include "formats/demo_line.h"
#include "formats/file_open.h"
#include "processing/processor.h"

#include "gui_bench_main.h"

#include <QGuiApplication>
#include <benchmark/benchmark.h>
#include <filesystem>
#include <memory>

using namespace tarnix;

namespace {

DemoLineOptions benchLine() {
    DemoLineOptions opt;
    opt.shots = 10000;
    opt.samples = 4000;
    opt.intervalUs = 50;
    return opt;
}

void BM_WholeRunEmptySequence(benchmark::State& state) {
    const DemoLineOptions opt = benchLine();
    const std::string line = demoLinePath(opt); // written once, kept in the cache
    const std::string image =
        (std::filesystem::temp_directory_path() / "tarnix-bench-run.bmp").string();
    for (auto _ : state) {
        auto s = std::make_unique<Session>();
        openCommand(*s, line);
        s->segy.HeadType = SegyOptions::Ascii;
        s->StartSweep.set(0);
        s->EndSweep.set(opt.samples * opt.intervalUs / 1000);
        segyOptionsOk(*s);
        s->shots.StartShot.set(0);
        s->shots.EndShot.set(opt.shots);
        selectShotsOk(*s);
        s->display.NVP.set(1000);
        Processor p(*s);
        ProfileRenderer renderer(*s);
        ProfileRunHooks hooks(renderer, QGuiApplication::font());
        RunResult r = p.run(hooks);
        if (r.end != RunEnd::Normal) state.SkipWithError(r.message.c_str());
        saveProfileImage(renderer.picture(), image);
    }
    std::filesystem::remove(image);
    state.SetItemsProcessed(state.iterations() * opt.shots);
    state.SetBytesProcessed(state.iterations() * opt.shots *
                            static_cast<int64_t>(240 + 2 * opt.samples));
}
BENCHMARK(BM_WholeRunEmptySequence)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

int main(int argc, char** argv) {
    return runGuiBenchmarks(argc, argv);
}
