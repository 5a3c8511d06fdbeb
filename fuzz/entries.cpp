#include "fuzz/entries.h"

#include "core/defaults_file.h"
#include "core/error.h"
#include "core/recent_files.h"
#include "core/session.h"
#include "formats/ascii_reader.h"
#include "formats/bitmap_input.h"
#include "formats/boundary_file.h"
#include "formats/demo_line.h"
#include "formats/file_open.h"
#include "formats/pick_file.h"
#include "formats/reflectivity_file.h"
#include "formats/seg2_reader.h"
#include "formats/segy_reader.h"
#include "formats/segy_samples.h"
#include "formats/trace_text.h"
#include "formats/xtf_reader.h"
#include "navigation/map_box.h"
#include "navigation/nav_extract.h"
#include "navigation/nav_file.h"
#include "navigation/notebook.h"
#include "navigation/time_slice.h"
#include "processing/processor.h"
#include "processing/sequence_file.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <unistd.h>

namespace tarnix::fuzz {

namespace {

namespace fs = std::filesystem;

// Traces read per input: enough for every code path between traces, few
// enough that a fuzzer stays at hundreds of inputs a second.
constexpr int kMaxShots = 24;

// A private directory, so that inputs, outputs and side files stay inside it.
const fs::path& workDir() {
    static const fs::path dir = [] {
        const char* tmp = std::getenv("TMPDIR");
        std::string tmpl = std::string(tmp && *tmp ? tmp : "/tmp") + "/tarnix-fuzz-XXXXXX";
        if (!mkdtemp(tmpl.data())) std::abort();
        std::atexit([] {
            std::error_code ec;
            fs::remove_all(workDir(), ec);
        });
        return fs::path(tmpl);
    }();
    return dir;
}

std::string writeInput(const std::string& name, const uint8_t* data, size_t size) {
    const std::string path = (workDir() / name).string();
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) std::abort();
    if (size > 0 && std::fwrite(data, 1, size, f) != size) std::abort();
    if (std::fclose(f) != 0) std::abort();
    return path;
}

// The choices a user makes in the options windows, taken from the input's own
// bytes so that every input is read the same way every time.
struct Choices {
    uint64_t bits;
    explicit Choices(const uint8_t* data, size_t size) : bits(1469598103934665603ull) {
        for (size_t i = 0; i < size; ++i) bits = (bits ^ data[i]) * 1099511628211ull;
    }
    int take(int count) {
        const int v = static_cast<int>(bits % static_cast<uint64_t>(count));
        bits /= static_cast<uint64_t>(count);
        return v;
    }
};

// The project's errors are what a bad file should give; the rest propagates.
// TARNIX_FUZZ_VERBOSE shows them, to see how far a seed gets.
template <class F> void expected(F&& f) {
    static const bool verbose = std::getenv("TARNIX_FUZZ_VERBOSE") != nullptr;
    try {
        f();
    } catch (const Error& e) {
        if (verbose) std::fprintf(stderr, "  expected: %s\n", e.what());
    }
}

void capShots(Session& s) {
    if (s.shots.EndShot() > s.shots.StartShot() + kMaxShots)
        s.shots.EndShot.set(s.shots.StartShot() + kMaxShots);
}

// Select Shots' OK, every selected trace read as READ_A_TRACE reads it, and a
// run over them without a sequence.
void readSelected(Session& s, bool headerListing) {
    capShots(s);
    selectShotsOk(s);
    if (!s.input) return;
    Processor p(s);
    for (int shot = s.shots.StartShot(); shot <= s.shots.EndShot(); ++shot) {
        expected([&] { p.READ_A_TRACE(shot); });
        if (headerListing) expected([&] { showSegyHeaderListing(s); });
    }
    RunHooks hooks;
    const RunResult r = p.run(hooks);
    if (std::getenv("TARNIX_FUZZ_VERBOSE"))
        std::fprintf(stderr, "  run: shots %d..%d, %s\n", s.shots.StartShot(), s.shots.EndShot(),
                     r.message.empty() ? "normal" : r.message.c_str());
}

// Each input is read once, with the options windows left as they open (half
// the inputs) or with options taken from its bytes: a session costs more to
// build than most inputs take to read.
void segy(const uint8_t* data, size_t size) {
    const std::string path = writeInput("in.sgy", data, size);
    Choices c(data, size);
    auto s = std::make_unique<Session>();
    const bool chosen = c.take(2);
    expected([&] {
        openCommand(*s, path);
        if (chosen) { // every option that changes decoding
            static constexpr int kFormats[] = {0, 1, 2, 3, 5, 8, 4};
            s->segy.SEGYRadio = c.take(3);
            s->segy.dataFormatCode = kFormats[c.take(7)];
            s->segy.DataFormatRadio = segyDataFormatItem(s->segy.dataFormatCode);
            s->segy.NumofChanRadio = c.take(3);
            s->segy.HeadType = c.take(2);
            if (c.take(2)) {
                s->segy.ChangeBox = true;
                s->segy.S_REdit = std::to_string(c.take(4) * 250);
            }
            s->segy.Z_scaler = c.take(2);
            static const char* kFactors[] = {"1", "0", "-1", "100", "9223372036854775807", "x"};
            s->shots.MUL = kFactors[c.take(6)];
            s->shots.ADD = kFactors[c.take(6)];
            s->segy.XEditscaler = kFactors[c.take(6)];
            s->segy.YEditScaler = kFactors[c.take(6)];
            s->shots.chan_to_display.set(1 + c.take(3));
            s->StartSweep.set(c.take(8) * 25);
            s->EndSweep.set(s->StartSweep() + 1 + c.take(8) * 100);
        }
        segyOptionsOk(*s);
        readSelected(*s, true);
    });
    // The navigation extraction reads the file through a reader of its own.
    if (c.take(4) == 0) expected([&] { extractNavigation(*s, {path}); });
}

void openAndRead(const std::string& name, const uint8_t* data, size_t size, int channels) {
    const std::string path = writeInput(name, data, size);
    Choices c(data, size);
    auto s = std::make_unique<Session>();
    const bool chosen = c.take(2);
    expected([&] {
        const InputFormat f = openCommand(*s, path);
        if (f == InputFormat::None || !s->input) return;
        if (chosen) { // Select Shots' channel and a window, shown as the window shows them
            s->shots.chan_to_display.set(1 + c.take(channels));
            s->StartSweep.set(c.take(8) * 25);
            s->EndSweep.set(s->StartSweep() + 1 + c.take(8) * 100);
            s->input->readSingleTrace(*s, s->shots.StartShot());
        }
        readSelected(*s, false);
    });
}

void korva(const uint8_t* data, size_t size) {
    openAndRead(Choices(data, size).take(2) ? "in.D05" : "in.D02", data, size, 1);
}

void xtf(const uint8_t* data, size_t size) {
    openAndRead("in.xtf", data, size, 4);
}

void seg2(const uint8_t* data, size_t size) {
    // ".DAT" is SEG-2 only when the file says so.
    Choices c(data, size);
    if (c.take(3) == 0) { // the refraction view's own open and trace reads
        const std::string path = writeInput("in.sg2", data, size);
        auto gather = std::make_unique<ShotGather>();
        expected([&] {
            Seg2File file(*gather, path);
            for (int k = 1; k <= file.traceCount(); ++k) expected([&] { file.readTrace(k); });
        });
        return;
    }
    openAndRead(c.take(2) ? "in.dat" : "in.sg2", data, size, 1);
}

// The binary options window's settings come from the input's bytes: without
// them no two files of the same size would read differently.
void binary(const uint8_t* data, size_t size) {
    const std::string path = writeInput("in.bin", data, size);
    Choices c(data, size);
    auto s = std::make_unique<Session>();
    expected([&] {
        openCommand(*s, path);
        static constexpr int kBits[] = {8, 16, 24, 32, 12};
        static constexpr int kSamples[] = {1, 2, 7, 64, 100, 1000, 16384, 16385};
        s->binary.samples_per_sweep.set(kSamples[c.take(8)]);
        s->binary.bits_per_sample.set(kBits[c.take(5)]);
        s->binary.Sampling_frequency.set(1 + c.take(100000));
        s->binary.channelsIndex = c.take(4);
        if (c.take(2)) s->shots.chan_to_display.set(1 + c.take(5));
        formatInfo(InputFormat::Binary).open(*s);
        readSelected(*s, false);
    });
}

void ascii(const uint8_t* data, size_t size) {
    const std::string path = writeInput("in.txt", data, size);
    Choices c(data, size);
    auto s = std::make_unique<Session>();
    expected([&] {
        openCommand(*s, path);
        static const char* kRates[] = {"2.0", "0.5", "16", "1e-3", "0", "x"};
        s->ascii.S_Redit = kRates[c.take(6)];
        asciiSelectOk(*s);
        readSelected(*s, false);
    });
}

// The window's calibration texts are the ones a side file or a user gives.
void bitmap(const uint8_t* data, size_t size) {
    const std::string path = writeInput("in.bmp", data, size);
    Choices c(data, size);
    auto s = std::make_unique<Session>();
    expected([&] {
        openCommand(*s, path);
        if (c.take(2)) {
            static const char* kTexts[] = {"0", "1", "25", "1000", "-5", "40000", "x", ""};
            for (std::string* f : boundaryFields(s->bmp.bounds)) *f = kTexts[c.take(8)];
        }
        applyBitmapForm(*s);
        readSelected(*s, false);
    });
}

// Time slices read SEG-Y lines through a reader of their own.
void timeSlice(const uint8_t* data, size_t size) {
    const std::string path = writeInput("in.sgy", data, size);
    Choices c(data, size);
    auto s = std::make_unique<Session>();
    s->StartSweep.set(c.take(4) * 10);
    s->EndSweep.set(s->StartSweep() + 1 + c.take(8) * 50);
    s->segy.SEGYRadio = c.take(3);
    static const char* kLevels[] = {"1", "2", "10", "100", "0", "-1", "2147483648", "x"};
    expected([&] {
        extractTimeSlice(*s, {path, path}, kLevels[c.take(8)], (workDir() / "slice.xyz").string());
    });
}

std::string_view text(const uint8_t* data, size_t size) {
    return {reinterpret_cast<const char*>(data), size};
}

void navigation(const uint8_t* data, size_t size) {
    const std::string path = writeInput("in.nav", data, size);
    std::vector<NavFix> fixes;
    expected([&] { parseNavigation(text(data, size), path, fixes); });
    auto s = std::make_unique<Session>();
    expected([&] { IMPORT_NAV(*s, path); });
    // An image's side file and the map's line plot take the same file.
    expected([&] { importSideNavigation(*s, (workDir() / "in.bmp").string()); });
    MapLine line;
    expected([&] { readLineFile(path, LineFileKind::Navigation, line); });
}

void boundary(const uint8_t* data, size_t size) {
    const std::string path = writeInput("in.bnd", data, size);
    MapLimits m;
    expected([&] {
        loadBoundaryFile(path, m);
        const MapBox box = MapBox::parse(m);
        Choices c(data, size);
        for (int i = 0; i < 4; ++i) {
            (void)box.LongLatToYX(c.take(721) - 360, c.take(181) - 90);
            (void)box.YXToLongLat(c.take(2001) - 1000, c.take(2001) - 1000);
        }
    });
    expected([&] { (void)mapReadout(m, 10, 10); });
}

void points(const uint8_t* data, size_t size) {
    std::vector<MapPoint> pts;
    expected([&] { parsePointFile(text(data, size), "in.xy", pts); });
}

void picks(const uint8_t* data, size_t size) {
    const std::string path = writeInput("in.mut", data, size);
    auto table = std::make_unique<PickTable>();
    expected([&] {
        table->read(1, path);
        Choices c(data, size);
        const long double start = c.take(1000), rate = 1 + c.take(100);
        // The first shots, where small files have their gaps, and a few anywhere.
        for (int shot = 0; shot < 100; ++shot) (void)pickSample(*table, 1, shot, start, rate);
        for (int i = 0; i < 8; ++i) {
            const int shot = c.take(PickTable::kMaxShot + 1);
            (void)table->time(1, shot);
            (void)pickSample(*table, 1, shot, start, rate);
        }
        (void)table->minTime(1);
        (void)table->maxTime(1);
    });
}

void reflectivity(const uint8_t* data, size_t size) {
    const std::string path = writeInput("in.ref", data, size);
    expected([&] { (void)readReflectivityFile(path); });
    MapLine line;
    expected([&] { readLineFile(path, LineFileKind::Reflectivity, line); });
}

void notebook(const uint8_t* data, size_t size) {
    const std::string t(text(data, size));
    Choices c(data, size);
    ProfileGeometry g;
    g.startShot = c.take(100);
    g.rep = 1 + c.take(4);
    g.startSweep = c.take(100);
    g.endSweep = g.startSweep + c.take(1000);
    g.imageRows = c.take(2000);
    g.pictureWidth = c.take(2000);
    for (const char* name : {"a.mut", "a.dgt", "a.txt"}) {
        const NotebookKind kind = notebookKindOf(name);
        expected([&] { (void)notebookFileText(t, kind); });
        expected([&] { (void)notebookPolyline(t, kind, g); });
    }
}

void defaults(const uint8_t* data, size_t size) {
    const std::string path = writeInput("defaults", data, size);
    auto s = std::make_unique<Session>();
    expected([&] { loadDefaults(*s, path); });
    SegyOptions o;
    applySegyOptionsText(std::string(text(data, size)), o);
}

// A short line on disk, written once, and pick files the rows can name.
const std::string& sequenceLine() {
    static const std::string path = [] {
        const std::string p = (workDir() / "line.sgy").string();
        DemoLineOptions o;
        o.shots = 6;
        o.samples = 400;
        o.intervalUs = 1000;
        writeDemoLine(p, o);
        for (const char* name : {"p.mut", "p.dgt", "p.bot"}) {
            const std::string text = "1 20\n3 35.5\n5 50\n";
            writeInput(name, reinterpret_cast<const uint8_t*>(text.data()), text.size());
        }
        return p;
    }();
    return path;
}

void sequence(const uint8_t* data, size_t size) {
    const std::string& line = sequenceLine();
    const std::string path = writeInput("in.seq", data, size);
    auto s = std::make_unique<Session>();
    expected([&] {
        openCommand(*s, line);
        s->EndSweep.set(400);
        segyOptionsOk(*s);
        selectShotsOk(*s);
        loadSequenceFile(s->sequence, path);
    });
    if (!s->input) return;
    // Row files and outputs stay in the private directory: the run's working
    // directory is the process's, so no cell may name another.
    for (int r = 1; r < SequenceTable::kRows; ++r)
        for (int col = 0; col < SequenceTable::kCols; ++col)
            std::replace(s->sequence.cell(r, col).begin(), s->sequence.cell(r, col).end(), '/',
                         '_');
    std::error_code ec;
    const fs::path here = fs::current_path(ec);
    fs::current_path(workDir(), ec);
    Processor p(*s);
    expected([&] { p.READ_A_TRACE(s->shots.StartShot()); });
    RunHooks hooks;
    const RunResult r = p.run(hooks);
    if (std::getenv("TARNIX_FUZZ_VERBOSE"))
        std::fprintf(stderr, "  run: %s\n", r.message.empty() ? "normal" : r.message.c_str());
    expected([&] { p.READ_A_TRACE(s->shots.StartShot() + 1); });
    s->input.reset();
    fs::current_path(here, ec);
}

// File > Recent Files: the options line kept with the path is put back, then
// the line is opened as the options window's OK opens it. What the line gives
// must come back from the line it writes, or a reopened file would read
// differently from the second time on.
void recent(const uint8_t* data, size_t size) {
    const std::string& line = sequenceLine();
    auto s = std::make_unique<Session>();
    applySegyOptionsText(std::string(text(data, size)), s->segy);
    const std::string once = segyOptionsText(s->segy);
    SegyOptions again;
    applySegyOptionsText(once, again);
    if (segyOptionsText(again) != once) {
        std::fprintf(stderr, "options line does not come back:\n  %s\n  %s\n", once.c_str(),
                     segyOptionsText(again).c_str());
        std::abort();
    }
    expected([&] {
        openCommand(*s, line);
        segyOptionsOk(*s);
        readSelected(*s, true);
    });
}

// File > Export Ascii of a KORVA 2.0 input, with a shot range and a window
// taken from the input's bytes, as Select Shots and the sweep boxes give them.
void exportAsciiTarget(const uint8_t* data, size_t size) {
    const std::string path = writeInput("in.D02", data, size);
    Choices c(data, size);
    auto s = std::make_unique<Session>();
    expected([&] {
        if (openCommand(*s, path) == InputFormat::None || !s->input) return;
        const int how = c.take(3); // as opened, Select Shots' OK, or a range chosen first
        if (how == 2) {
            s->shots.StartShot.set(c.take(4));
            s->shots.EndShot.set(s->shots.StartShot() + c.take(6) - 1);
            static constexpr int kEnds[] = {0, 1, 25, 400, 2000, 100000};
            s->StartSweep.set(c.take(3) * 10);
            s->EndSweep.set(kEnds[c.take(6)]);
        }
        if (how > 0) selectShotsOk(*s);
        const AsciiExport e = exportAscii(*s, (workDir() / "export.txt").string());
        if (std::getenv("TARNIX_FUZZ_VERBOSE"))
            std::fprintf(stderr, "  export: %d shots x %d samples %s\n", e.columns, e.rows,
                         e.note.c_str());
    });
}

constexpr size_t kKorva20 = 33056;

const Target kTargets[] = {
    {"segy", segy, 64 * 1024},
    {"korva", korva, 3 * kKorva20},
    {"xtf", xtf, 64 * 1024},
    {"seg2", seg2, 32 * 1024},
    {"navigation", navigation, 8 * 1024},
    {"boundary", boundary, 1024},
    {"points", points, 8 * 1024},
    {"picks", picks, 8 * 1024},
    {"reflectivity", reflectivity, 8 * 1024},
    {"notebook", notebook, 8 * 1024},
    {"defaults", defaults, 2 * 1024},
    {"sequence", sequence, 4 * 1024},
    {"binary", binary, 16 * 1024},
    {"ascii", ascii, 16 * 1024},
    {"bitmap", bitmap, 16 * 1024},
    {"timeslice", timeSlice, 32 * 1024},
    {"recent", recent, 1024},
    {"exportascii", exportAsciiTarget, 3 * kKorva20},
};

} // namespace

std::span<const Target> targets() {
    return kTargets;
}

const Target* targetNamed(std::string_view name) {
    for (const Target& t : kTargets)
        if (name == t.name) return &t;
    return nullptr;
}

} // namespace tarnix::fuzz
