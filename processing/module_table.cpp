#include "processing/module_table.h"

#include "core/error.h"
#include "core/numtext.h"
#include "core/session.h"
#include "formats/korva_writer.h"
#include "formats/reflectivity_file.h"
#include "formats/segy_writer.h"
#include "processing/modules/decon.h"
#include "processing/modules/fft.h"
#include "processing/modules/fir.h"
#include "processing/modules/gain.h"
#include "processing/modules/noise.h"
#include "processing/modules/statics.h"
#include "processing/modules/text_out.h"
#include "processing/row_context.h"
#include "processing/sequence_editor.h"

#include <algorithm>
#include <filesystem>

namespace tarnix {

namespace {

using C = ColumnKind;
using D = FileDialogKind;
using W = Writes;

// --- the worker's calls ---

void absm(RowContext& r) {
    (void)r.rowNumber();
    modules::absm(r.trace(), r.n());
}
void fftf(RowContext& r) {
    const int cutoff = r.pInt(1);
    (void)r.rowNumber();
    modules::fftf(r.trace(), r.n(), cutoff, r.p(2), r.m);
}
void fftm(RowContext& r) {
    (void)r.rowNumber();
    modules::fftm(r.trace(), r.n(), r.m);
}
// The trace `ahead` places after the current one, nullptr where there is none.
const Sample* neighbour(RowContext& r, int ahead, int keep) {
    NeighbourReader& nb = r.m.neighbours;
    nb.prepare(r.s, r.first, r.m.workerCalls);
    return nb.trace(r.s, r.shot + ahead, r.n(), keep);
}
void tmxm(RowContext& r) {
    const int traces = r.pInt(1);
    (void)r.pInt(2); // the minimum weight and the weighted flag change nothing
    (void)r.rowNumber();
    (void)r.pTrue(4);
    if (traces < 1 || traces > NeighbourReader::kMaxTraces + 1)
        throw Error("the number of traces to mix is 1 to " +
                    std::to_string(NeighbourReader::kMaxTraces + 1) + ", not " +
                    std::to_string(traces));
    // Only the traces that exist are mixed, and the sum is divided by their count.
    std::array<const Sample*, NeighbourReader::kMaxTraces> mixed;
    int count = 0;
    for (int t = 1; t < traces; ++t) {
        const Sample* x = neighbour(r, t, traces - 1);
        if (!x) break;
        mixed[count++] = x;
    }
    r.wrote(modules::tmxm(r.trace(), r.n(), std::span<const Sample* const>(mixed.data(), count)));
}
void rnfm(RowContext& r) {
    const int threshold = r.pInt(1);
    // A trace without both neighbours has nothing to be compared with.
    const Sample* b = neighbour(r, 1, 2);
    const Sample* c = b ? neighbour(r, 2, 2) : nullptr;
    r.wrote(b && c ? modules::rnfm(r.trace(), r.n(), b, c, threshold) : 0);
}
// The file a row names in its cell: the path the editor chose when the cell
// holds that file's name (or is empty), else the cell itself; a bare name that
// is not in the working directory is looked for beside the input file.
std::string rowFile(const RowContext& r, const std::string& cell, const char* what) {
    namespace fs = std::filesystem;
    const std::string& chosen = r.s.rowFiles.at(r.row);
    if (trim(cell).empty()) {
        if (!chosen.empty()) return chosen;
        throw Error(std::string("the row names no ") + what + " (column 2 is empty)");
    }
    if (!chosen.empty() && (chosen == cell || fs::path(chosen).filename().string() == cell))
        return chosen;
    const fs::path p(cell);
    std::error_code ec;
    if (p.is_relative() && !fs::exists(p, ec) && !r.s.InputFileName.empty()) {
        const fs::path beside = fs::path(r.s.InputFileName).parent_path() / p;
        if (fs::exists(beside, ec)) return beside.string();
    }
    return cell;
}
// Picks are read on a run's first trace, and whenever the row names another file
// than the one its picks came from (a single read before any run).
void readPicks(RowContext& r, int row, const std::string& path) {
    if (r.first || r.m.picks.source(row) != path) r.m.picks.read(row, path);
}
long long pickOf(RowContext& r, int row) {
    return pickSample(r.m.picks, row, r.shot, r.s.StartSweep(), r.rate());
}
void swell(RowContext& r) {
    const int row = r.rowNumber();
    const int halfWindow = r.pInt(2);
    readPicks(r, row, rowFile(r, r.p(1), "bottom file"));
    r.wrote(modules::swell(r.trace(), r.nd(), pickOf(r, row), halfWindow));
}
void acfm(RowContext& r) {
    const int p = r.pInt(1);
    // A run's first trace designs with this run's parameters.
    modules::acfm(r.trace(), r.n(), r.nd(), p, r.s.FullScale, r.rate(),
                  r.m.filterRedesign || r.first, r.m);
    r.m.filterRedesign = r.s.SingleTraceMode;
}
void spfm(RowContext& r) {
    const int percent = r.pInt(1);
    const long long threshold = truncate(r.s.FullScale / 100.0L * percent);
    (void)r.rowNumber();
    r.wrote(modules::spfm(r.trace(), r.n(), threshold));
}
void hbfm(RowContext& r) {
    (void)r.rowNumber();
    r.wrote(modules::hbfm(r.trace(), r.n(), r.pInt(2), r.s.meanTrace));
}
void astm(RowContext& r) {
    (void)r.rowNumber();
    // Within a run only the pre-pass writes the mean; a first trace (a run's,
    // or a single-trace read) looks at it byte for byte once more.
    r.wrote(
        modules::astm(r.trace(), r.n(), r.s.meanTrace, r.m, r.first ? -1 : r.s.meanTraceVersion));
}
void stam(RowContext& r) {
    const long long shift = modules::shiftSamples(r.pFloat(1), r.rate());
    (void)r.rowNumber();
    r.wrote(modules::stam(r.trace(), shift));
}
void resm(RowContext& r) {
    const int factor = r.pInt(1);
    r.wrote(modules::resm(r.trace(), r.n(), factor));
    r.s.Decimation = factor;
}
void mutm(RowContext& r) {
    const int row = r.rowNumber();
    readPicks(r, row, rowFile(r, r.p(1), "mute file"));
    r.wrote(modules::mutm(r.trace(), r.nd(), pickOf(r, row)));
}
// The grid holds the output's name without its directory; when the editor chose
// that file, its full path is kept so the output lands where the user asked.
std::string outputPath(const std::string& cell, const std::string& chosen) {
    if (!chosen.empty() && std::filesystem::path(chosen).filename().string() == cell) return chosen;
    return cell;
}
void wseg(RowContext& r) {
    Session& s = r.s;
    // After resampling the file gets the samples left and their interval.
    struct Decimated {
        Session& s;
        int32_t n;
        long double rate;
        ~Decimated() {
            s.NumSamples = n;
            s.SampleRate = rate;
        }
    } restore{s, s.NumSamples, s.SampleRate};
    if (s.Decimation > 1) {
        s.NumSamples = r.nd();
        s.SampleRate = r.rate();
    }
    s.segyOutPath = outputPath(r.p(1), s.segyOutPath);
    if (r.shot == s.shots.StartShot()) {
        OPEN_OUT_SEGY(s, s.segyOutPath);
        s.OutputSegyOpen = true;
    }
    const int row = r.rowNumber();
    (void)static_cast<int16_t>(r.pInt(3)); // coordinate type: the writer fills the field anew
    const std::string& order = r.p(2);
    // Sequence files from before the float column leave it empty: 16-bit samples.
    const std::string& kind = r.p(4);
    if (!kind.empty() && kind != "IEEE")
        throw ConversionError("Row " + std::to_string(row) + " (WSEG): sample format '" + kind +
                              "' is neither IEEE nor empty (16-bit)");
    const SegyOutSamples samples = kind.empty() ? SegyOutSamples::Int16 : SegyOutSamples::Ieee;
    if (s.OutputSegyOpen) {
        if (order == "BE")
            writeSegyTraceBE(s, row, r.shot, s.StartSweep(), s.current, s.EndSweep(), samples);
        else if (order == "LE")
            writeSegyTraceLE(s, row, r.shot, s.StartSweep(), s.current, s.EndSweep(), samples);
    }
    if (r.shot == s.shots.EndShot()) s.sequence.clearAll();
}
void wascii(RowContext& r) {
    Session& s = r.s;
    const int firstRecord = r.pInt(2);
    (void)r.rowNumber();
    s.asciiOutPath = outputPath(r.p(1), s.asciiOutPath);
    modules::writeTextTrace(s, s.asciiOutPath, firstRecord, r.shot == s.shots.StartShot(), r.nd(),
                            r.rate());
}
void wkorva2(RowContext& r) {
    Session& s = r.s;
    (void)r.pInt(2);
    if (r.shot == s.shots.StartShot()) {
        s.korvaOutPath = outputPath(r.p(1), s.korvaOutPath);
        OPEN_OUT_KORVA2(s, s.korvaOutPath);
        s.OutputKorvaOpen = true;
    }
    (void)r.rowNumber();
    if (s.OutputKorvaOpen) writeKorva2Record(s, r.shot, s.StartSweep(), s.current);
}
// The reflectivity file is GO's: a single-trace read mutes the trace as a run
// would but leaves the last run's file alone.
void rccm(RowContext& r) {
    Session& s = r.s;
    const int row = r.rowNumber();
    const long double windowMs = r.pFloat(3);
    const bool spherical = r.pTrue(4);
    const long double scale = r.pFloat(5);
    readPicks(r, row, rowFile(r, r.p(1), "sea-floor pick file"));
    const long double rate = r.rate();
    if (!(rate > 0)) throw Error("the sample rate is " + floatText(rate) + " samples per ms");
    const long long window =
        truncate(std::clamp<long double>(windowMs * rate, -1, kTraceSlots + 1));
    if (window < 1)
        throw Error("a window of " + floatText(windowMs) + " ms holds no sample at " +
                    floatText(rate) + " samples per ms");
    if (r.inRun && r.first && !s.OutputOpen) {
        if (trim(r.p(2)).empty())
            throw Error("the row names no reflectivity file (column 3 is empty)");
        s.refOutPath = outputPath(r.p(2), s.refOutPath);
        s.refOut = std::make_unique<ReflectivityOutput>(s.refOutPath);
        s.OutputOpen = true;
    }
    const int n = r.nd();
    const long long pick = pickOf(r, row);
    // Sound travels from the shot, not from the window start or the first sample.
    const long double pickMs = r.m.picks.time(row, r.shot);
    const long double distance = s.display.SoundSpeedEdit() * (pickMs + s.header.Delay) / 1000;
    const auto est = modules::reflectionCoefficient(r.trace(), n, pick, static_cast<int>(window),
                                                    spherical, distance, scale);
    if (!est.fits && r.inRun && !r.m.rccmNoted[row]) {
        r.m.rccmNoted[row] = true;
        r.m.notes.push_back("Reflection coefficient (row " + std::to_string(row) + "): at shot " +
                            std::to_string(r.shot) + " the " + std::to_string(window) +
                            "-sample windows do not fit the " + std::to_string(n) +
                            "-sample trace (pick at sample " + std::to_string(pick) +
                            "); such shots get coefficient 0");
    }
    if (r.inRun && s.OutputOpen)
        if (auto* out = dynamic_cast<ReflectivityOutput*>(s.refOut.get()))
            out->append(s.positionString, est.coefficient, distance / 2);
    r.wrote(modules::mutm(r.trace(), n, pick));
}
void snim(RowContext& r) {
    (void)r.pInt(2);
    (void)r.rowNumber();
}
// Relative: each trace moves by its pick's distance from the file's earliest
// pick, so the earliest trace stays where it is.
void sttm(RowContext& r) {
    const long double c = r.pFloat(2);
    const bool relative = r.p(3) == "RELATIVE";
    const int row = r.rowNumber();
    readPicks(r, row, rowFile(r, r.p(1), "pick file"));
    const long double origin = relative ? r.m.picks.minTime(row) : r.s.StartSweep();
    const long long shift = modules::trendShift(r.m.picks.time(row, r.shot), origin, r.rate(), c);
    r.wrote(modules::sttm(r.trace(), r.nd(), shift));
}
void agcm(RowContext& r) {
    const int window = r.pInt(1);
    r.doublesWritten(modules::agcm(r.doubles(r.nd()), r.nd(), window, r.m));
}
void tvgm(RowContext& r) {
    modules::tvgm(r.trace(), r.n(), static_cast<double>(r.pFloat(1)));
}
void norm(RowContext& r) {
    modules::normalise(r.trace(), r.nd(), 0, r.s.FullScale);
}
void grad(RowContext& r) {
    modules::grad(r.trace(), r.n());
}
void dbas(RowContext& r) {
    r.doublesWritten(modules::dbas(r.doubles(r.nd()), r.nd()));
}
void ling(RowContext& r) {
    const double gain = static_cast<double>(r.pFloat(1));
    modules::ling(r.trace(), r.nd(), gain, r.s.FullScale);
}
void derv(RowContext& r) {
    modules::derv(r.trace(), r.n());
}
void fltm(RowContext& r) {
    const int row = r.rowNumber();
    const double high = static_cast<double>(r.pFloat(2));
    const double low = static_cast<double>(r.pFloat(1));
    const int taper = r.pInt(3);
    const int type = r.pInt(4);
    const int length = r.pInt(5);
    // A run's first trace designs with this run's parameters, not the last run's.
    r.doublesWritten(modules::fltm(r.doubles(r.nd()), row, r.nd(), taper,
                                   r.m.filterRedesign || r.first, length, high, low, type, r.rate(),
                                   r.m));
    r.wrote(static_cast<long long>(r.nd()) + length); // the convolution's tail follows the trace
    r.m.filterRedesign = (r.shot == r.s.shots.StartShot()) || r.s.SingleTraceMode;
}
void decm(RowContext& r) {
    const int gap = r.pInt(1);
    const int op = r.pInt(2);
    // Deconvolution works on NumSamples itself, not on NumSamples div Decimation.
    modules::decm(r.trace(), r.n(), op, gap, 0.01L, r.m);
}

// --- editor panels and columns the table cannot describe ---

void filterPanel(SequenceEditor& ed, const std::string&) {
    EditorState& st = ed.state();
    st.filterTypeVisible = true;
    st.taperVisible = true;
    st.pictureVisible = true;
    ed.FilterTypeChange(st.filterType);
}

void filterColumns(const SequenceEditor& ed, std::array<std::string, 5>& p) {
    const EditorState& st = ed.state();
    long double high = static_cast<long double>(parseInt(st.highCut.text));
    long double low = static_cast<long double>(parseInt(st.lowCut.text));
    const long long length = parseInt(st.edits[0].text);
    high = std::clamp<long double>(high, 0, 100000);
    low = std::clamp<long double>(low, 0, 5000);
    p[0] = fixedText(low, 2, 4);
    p[1] = fixedText(high, 2, 4);
    p[2] = std::to_string(std::clamp(st.taper, 0, 4));
    p[3] = std::to_string(std::clamp(st.filterType, 0, 3));
    p[4] = std::to_string(length);
}

void deconPanel(SequenceEditor& ed, const std::string&) {
    ed.state().deconTypeVisible = true;
    ed.DeconTypeChange(ed.state().deconType);
}

// Largest gap worth computing in samples; keeps the rounding inside long long.
constexpr long double kGapLimit = 1e9L;

void deconColumns(const SequenceEditor& ed, std::array<std::string, 5>& p) {
    const EditorState& st = ed.state();
    const Session& s = ed.session();
    long long gap = 1;
    if (st.deconType == 1) {
        const long double g = s.SampleRate * parseFloat(st.edits[0].text);
        gap = roundHalfEven(std::clamp(g, -kGapLimit, kGapLimit));
    }
    long long op = std::min(parseInt(st.edits[1].text), 1024LL);
    const long long half = s.NumSamples / 2;
    if (half < gap) gap = half;
    if (op < 16) op = 16;
    if (gap < 1) gap = 1;
    p[0] = std::to_string(gap);
    p[1] = std::to_string(op);
}

// The reflection-coefficient row shows the ".REF" file derived from its input.
void reflectivityPanel(SequenceEditor& ed, const std::string& path) {
    if (ed.dialogConfirmed()) ed.session().refOutPath = changeFileExt(path, ".REF");
    ed.state().edits[0].text = path.empty() ? std::string() : changeFileExt(path, ".REF");
}

constexpr ColumnSpec text(int field) {
    return {.kind = C::Text, .field = field};
}
constexpr ColumnSpec number(int field) {
    return {.kind = C::Number, .field = field};
}
constexpr ColumnSpec fileName(int field) {
    return {.kind = C::FileName, .field = field};
}
constexpr ColumnSpec check(const char* yes = "TRUE", const char* no = "FALSE") {
    return {.kind = C::Check, .yes = yes, .no = no};
}
constexpr ColumnSpec computed() {
    return {.kind = C::Computed};
}

// Each entry names only what it uses; the members left out keep their defaults.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
constexpr ModuleEntry kModules[] = {
    {.code = "AGCM",
     .button = {"AGCM", "AGCButt", "AGCButtClick", "Gain", "Automatic Gain Control", "AGCM",
                "AGCM.html"},
     .panel = {.fields = {{{"Window Length (pt)", "128"}}}},
     .columns = {{{.kind = C::Integer, .field = 0, .lo = 2, .hi = 12000}}},
     .handler = agcm,
     .inDouble = true,
     .writes = W::ND},
    {.code = "LING",
     .button = {"LGAIN", "LinButt", "LinButtClick", "Gain", "", "Linear Gain", "LING.html"},
     .panel = {.fields = {{{"Gain", "1.0"}}}},
     .columns = {text(0)},
     .handler = ling,
     .writes = W::ND},
    {.code = "TVGM",
     .button = {"TVGM", "TVGButt", "TVGButtClick", "Gain", "Time Varinat Gain", "TVG", "TVGM.html"},
     .panel = {.fields = {{{"Slope (increment/samples)", "-"}}}},
     .columns = {text(0)},
     .handler = tvgm,
     .writes = W::N},
    {.code = "NORM",
     .button = {"NORM", "NormaButt", "NormaButtClick", "Gain", "", "Normalize", "NORM.html"},
     .handler = norm,
     .writes = W::ND},
    {.code = "FLTM",
     .button = {"FLTM", "FilterButt", "FilterButtClick", "Filter", "", "FLTM", "FLTM.html"},
     .panel = {.fields = {{{"Filter Length (points)", "128"}}}, .customSelect = filterPanel},
     .columns = {computed(), computed(), computed(), computed(), computed()},
     .computeColumns = filterColumns,
     .handler = fltm,
     .inDouble = true,
     .writes = W::Reported},
    {.code = "FFTF",
     .button = {"FFTF", "FFTFilterButt", "FFTFilterButtClick", "Filter", "High-Pass Filter",
                "FFTF-Filter", "FFTF.html"},
     .panel = {.fields = {{{"Cut-off freq.(samples)", "500"}, {"Filter type (LP HP)", "LP"}}}},
     .columns = {text(0), text(1)},
     .handler = fftf},
    {.code = "ACFM",
     .button = {"ACFM", "Button1", "Button1Click", "Filter", "Autocorrelation Filtering",
                "Auto-Correlation Filter", "ACFM.html"},
     .panel = {.fields = {{{"1/% of Filtering", "10"}}}},
     .columns = {text(0)},
     .handler = acfm},
    {.code = "SPFM",
     .button = {"SPKM", "Button3", "Button3Click", "Filter", "Spike Filter", "Spike-Noise Filter",
                "SPKM.html"},
     .panel = {.fields = {{{"diff (%)", "10"}}}},
     .columns = {text(0)},
     .handler = spfm,
     .writes = W::Reported},
    {.code = "DECM",
     .button = {"DECM", "DeconButt", "DeconButtClick", "Filter",
                "Spike and Predictive Deconvolution", "DECM", "DECM.html"},
     .panel = {.customSelect = deconPanel},
     .columns = {computed(), computed()},
     .computeColumns = deconColumns,
     .handler = decm},
    {.code = "RNFM",
     .button = {"RNFM", "RNFButt", "RNFButtClick", "Filter", "Apply Random Noise Filter",
                "Random Noise Filter", "RNFM.html"},
     .panel = {.fields = {{{"Threshold", "20"}}}},
     .columns = {text(0)},
     .handler = rnfm,
     .writes = W::Reported},
    {.code = "HBFM",
     .button = {"HBFM", "HBFButt", "HBFButtClick", "Filter", "", "Horizontal Bands Filter",
                "HBFM.html"},
     .panel = {.fields = {{{"% of filtering", "100"}}}, .setsRmsFlag = true},
     .columns = {ColumnSpec{}, text(0)},
     .handler = hbfm,
     .writes = W::Reported},
    {.code = "DBAS",
     .button = {"DBAS", "DebiasButt", "DebiasButtClick", "Misc.", "Remove DC component", "Debias",
                "DBAS.html"},
     .handler = dbas,
     .inDouble = true,
     .writes = W::ND},
    {.code = "DERV",
     .button = {"DERV", "DervButt", "DervButtClick", "Misc.", "Derivative", "Derivative",
                "DERV.html"},
     .handler = derv,
     .writes = W::N},
    {.code = "MUTM",
     .button = {"MUTM", "MuteButt", "MuteButtClick", "Misc.", "", "Mute", "MUTM.html", D::Mute},
     .panel = {.fields = {{{"Mute File"}}}, .fileField = 0},
     .columns = {fileName(0)},
     .rowFile = RowFileSource::Field,
     .handler = mutm,
     .writes = W::Reported},
    {.code = "RESM",
     .button = {"RESAM", "ResamButt", "ResamButtClick", "Misc.", "Resampling", "Resampling",
                "RESM.html"},
     .panel = {.resample = true},
     .columns = {{{.kind = C::Spin}}},
     .handler = resm,
     .writes = W::Reported},
    {.code = "TMXM",
     .button = {"TMIX", "TMIX", "TMIXClick", "Misc.", "Trace Mixing", "Trace Mixing", "TMXM.html"},
     .panel = {.fields = {{{"N. of traces", "3"}, {"Minimum weight", "25"}}},
               .checkLabel = "Weighted"},
     .columns = {text(0), text(1), ColumnSpec{}, check()},
     .handler = tmxm,
     .writes = W::Reported},
    {.code = "FFTM",
     .button = {"FFT", "Button6", "Button6Click", "Misc.", "", "FFT", "FFTM.html", D::None, true,
                false},
     .handler = fftm},
    {.code = "RCCM",
     .button = {"RCCM", "Button7", "Button7Click", "Misc.", "", "Reflection Coeff. estimate",
                "RCCM.html", D::Mute},
     .panel = {.fields = {{{"Input File"},
                           {"window length (msec)", "3"},
                           {"scale factor", "0.0000072"}}},
               .checkLabel = "Spher.Diver.correction",
               .customSelect = reflectivityPanel},
     .columns = {ColumnSpec{.kind = C::DialogName}, fileName(0), number(1), check(), number(2)},
     .rowFile = RowFileSource::Dialog,
     .handler = rccm,
     .writes = W::Reported},
    {.code = "ABSM",
     .button = {"ABS", "Button2", "Button2Click", "Misc.", "", "Absolute Value", "ABSM.html"},
     .handler = absm,
     .writes = W::N},
    {.code = "WSEG",
     .button = {"WSEGY", "Button5", "Button5Click", "I/O", "Write SEGY Output File",
                "Writing SEGY File", "WSEGY.html", D::Segy, false},
     .panel = {.fields = {{{"SEGY Outfile Name : "},
                           {"SEGY Type (LittleE/BigE)", "BE"},
                           {"Coord. Type (1=m 2=sec.)", "2"}}},
               .fileField = 0,
               .output = OutputPath::Segy,
               .checkLabel = "IEEE",
               .checkCleared = true},
     .columns = {fileName(0), text(1), text(2), check("IEEE", "")},
     .handler = wseg,
     .writes = W::Nothing},
    {.code = "WASCII",
     .button = {"WASCII", "ASCIIWriteButt", "ASCIIWriteButtClick", "I/O", "Trace Export",
                "Write ASCII Seismic File ", "WASCII.html", D::KorvaSave, false},
     .panel = {.fields = {{{"ASCII Outfile Name"}, {"Number of first record", "1"}}},
               .fileField = 0,
               .output = OutputPath::Ascii},
     .columns = {fileName(0), text(1)},
     .handler = wascii,
     .writes = W::Nothing},
    {.code = "WKORVA2",
     .button = {"WKORVA2.0", "WKORVA2BUTT", "WKORVA2BUTTClick", "I/O", "Trace Export",
                "Write KORVA2.0 File ", "WKORVA2.html", D::KorvaSave},
     .panel = {.fields = {{{"Korva 2.0 Outfile Name : "}, {"Number of first record", "1"}}},
               .fileField = 0,
               .output = OutputPath::Korva},
     .columns = {fileName(0), text(1)},
     .handler = wkorva2,
     .writes = W::Nothing}, // its clamp leaves zeros as they are
    {.code = "SWELL",
     .button = {"SWELL", "Button4", "Button4Click", "Editing", "Point by Point Static Correction",
                "SWELL Filter", "SWELL.html", D::Mute},
     .panel = {.fields = {{{"Bottom File Name"}, {"window length (points)", "10"}}},
               .fileField = 0},
     .columns = {text(0), text(1)},
     .rowFile = RowFileSource::Field,
     .handler = swell,
     .writes = W::Reported},
    {.code = "STAM",
     .button = {"STAM", "Statbutt", "StatbuttClick", "Editing", "", "Statics", "STAM.html"},
     .panel = {.fields = {{{"Time Shift (msec)", "0"}}}},
     .columns = {text(0), text(1)},
     .handler = stam,
     .writes = W::Reported},
    {.code = "STTM",
     .button = {"STRM", "statrendbutt", "statrendbuttClick", "Editing", "Static Trend Remove",
                "Remove Static Trend", "STRM.html", D::Mute},
     .panel = {.fields = {{{"Corr. coefficent", "1.0"}, {"Input File"}}},
               .fileField = 1,
               .checkLabel = "relative",
               .checkCleared = true},
     .columns = {fileName(1), number(0), check("RELATIVE", "ABSOLUTE")},
     .rowFile = RowFileSource::Field,
     .rowFileField = 1,
     .handler = sttm,
     .writes = W::Reported},
    {.code = "ASTM",
     .button = {"ASTM", "Autostatbutt", "AutostatbuttClick", "Editing", "Automatic Static Removal",
                "Automatic Statics", "ASTM.html"},
     .panel = {.setsRmsFlag = true},
     .handler = astm,
     .writes = W::Reported},
    {.code = "POSM",
     .button = {"POSM", "POSMButt", "POSMButtClick", "Editing", "", "Reconstruct Position",
                "POSM.html"},
     .rowNumberOnly = true},
    // Codes no button writes: typed into the grid or loaded from a file.
    {.code = "GRAD", .handler = grad, .writes = W::N},
    {.code = "SNIM", .handler = snim, .writes = W::Nothing},
};
#pragma GCC diagnostic pop

const DisabledButton kDisabled[] = {
    {"Filter", "FK1M"}, {"Filter", "FK2M"}, {"Filter", "SFXM"}, {"Filter", "FLGM"},
    {"Filter", "FXXM"}, {"Filter", "DFTM"}, {"Misc.", "SMIG"},  {"Misc.", "KMIG"},
};

const std::array<const char*, 4> kFilterTypes = {"Band Pass", "Low Pass", "High Pass", "Notch"};
const std::array<const char*, 5> kTapers = {"Hamming", "Hanning", "Cosine", "Triangular", "Kaiser"};
const std::array<const char*, 2> kDeconTypes = {"Spiking Decon", "Predictive Decon"};

constexpr bool codesAreUnique() {
    for (const ModuleEntry& a : kModules)
        for (const ModuleEntry& b : kModules)
            if (&a != &b && std::string_view(a.code) == b.code) return false;
    return true;
}
static_assert(codesAreUnique(), "two table entries share a module code");

} // namespace

std::span<const ModuleEntry> moduleTable() {
    return kModules;
}

const ModuleEntry* findModule(std::string_view code) {
    for (const ModuleEntry& m : kModules)
        if (code == m.code) return &m;
    return nullptr;
}

const ModuleEntry* moduleByHandler(std::string_view handler) {
    for (const ModuleEntry& m : kModules)
        if (m.button.caption && handler == m.button.handler) return &m;
    return nullptr;
}

const ModuleEntry& module(std::string_view code) {
    if (const ModuleEntry* m = findModule(code)) return *m;
    throw Error("'" + std::string(code) + "' is not a processing module");
}

std::span<const DisabledButton> disabledButtons() {
    return kDisabled;
}
const std::array<const char*, 4>& filterTypeNames() {
    return kFilterTypes;
}
const std::array<const char*, 5>& taperNames() {
    return kTapers;
}
const std::array<const char*, 2>& deconTypeNames() {
    return kDeconTypes;
}

} // namespace tarnix
