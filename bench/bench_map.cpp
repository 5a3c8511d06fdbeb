// Maps: 100 navigation lines of 4,000 fixes plotted on a 4000 x 4000 map, and
// the XYZ sampling of that map.
#include "core/numtext.h"
#include "core/session.h"
#include "display/map_document.h"
#include "gui_bench_main.h"

#include <filesystem>
#include <fstream>
#include <memory>

using namespace tarnix;

namespace {

constexpr int kLines = 100, kFixes = 4000, kSide = 4000;

std::filesystem::path benchDir() {
    return std::filesystem::temp_directory_path() / "tarnix-bench-map";
}

// Parallel lines running north-east across the map, one fix every shot.
std::vector<std::string> writeLines() {
    std::filesystem::create_directories(benchDir());
    std::vector<std::string> paths;
    for (int l = 0; l < kLines; ++l) {
        const std::string path = (benchDir() / ("L" + std::to_string(l) + ".nav")).string();
        std::ofstream out(path, std::ios::trunc);
        for (int shot = 1; shot <= kFixes; ++shot)
            out << shot << " 2026 142 8 " << shot / 60 % 60 << ' ' << shot % 60 << ' '
                << fixedText(40.05 + l * 0.009 + shot * 1e-5, 8) << ' '
                << fixedText(29.02 + shot * 2.3e-4, 8) << " \n";
        paths.push_back(path);
    }
    return paths;
}

// A shaded map: every pixel a grey that sampling writes.
void setUpMap(Session& s, MapDocument& doc) {
    s.mapLimits = MapLimits{"41", "40", "29", "30", "0", "4000", "0", "4000"};
    QImage img(kSide, kSide, QImage::Format_RGB32);
    for (int y = 0; y < kSide; ++y) {
        auto* row = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < kSide; ++x) {
            const int g = 1 + (x + y) % 253;
            row[x] = qRgb(g, g, g);
        }
    }
    doc.image() = img;
    doc.setLinePlotting(true);
}

void BM_PlotLines(benchmark::State& state) {
    const std::vector<std::string> paths = writeLines();
    auto s = std::make_unique<Session>();
    MapDocument doc(*s);
    setUpMap(*s, doc);
    const auto files = MapDocument::lineSelection(paths);
    for (auto _ : state) benchmark::DoNotOptimize(doc.plotLines(files));
    state.SetItemsProcessed(state.iterations() * kLines * kFixes);
}
BENCHMARK(BM_PlotLines)->Unit(benchmark::kMillisecond);

void BM_SampleXyz(benchmark::State& state) {
    auto s = std::make_unique<Session>();
    MapDocument doc(*s);
    setUpMap(*s, doc);
    const std::string out = (benchDir() / "map.xyz").string();
    std::filesystem::create_directories(benchDir());
    long long lines = 0;
    for (auto _ : state) lines = doc.sampleXyz(out);
    state.counters["lines"] = static_cast<double>(lines);
    state.SetItemsProcessed(state.iterations() * (kSide / 2) * (kSide / 2));
}
BENCHMARK(BM_SampleXyz)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    const int r = runGuiBenchmarks(argc, argv);
    std::filesystem::remove_all(benchDir());
    return r;
}
