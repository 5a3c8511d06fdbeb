#include "processing/processor.h"

#include "core/error.h"
#include "core/extended.h"
#include "core/numtext.h"
#include "formats/segy_writer.h"
#include "processing/module_state.h"
#include "processing/modules/decon.h"
#include "processing/modules/fft.h"
#include "processing/modules/fir.h"
#include "processing/modules/gain.h"
#include "processing/rms_trace.h"

#include <algorithm>
#include <climits>
#include <filesystem>

namespace tarnix {

// One row of the sequence table as the worker decodes it. Parameters stay texts
// in the table and are converted here, on every trace.
struct RowContext {
    Session& s;
    ModuleState& m;
    int row; // grid row
    int shot;
    bool first; // first-trace flag: (shot = StartShot) or SingleTraceMode
    // Slots of the trace the row may have written, 0..written-1; a handler
    // that does not say so counts as having written the whole buffer.
    int written = kTraceSlots;
    void wrote(long long end) {
        written = static_cast<int>(std::clamp<long long>(end, 0, kTraceSlots));
    }
    TraceBuffer& trace() const { return s.current; }
    int n() const { return s.NumSamples; }
    int nd() const { return s.NumSamples / (s.Decimation > 0 ? s.Decimation : 1); }
    // The trace in double precision for rows that work in double, its first n
    // slots loaded; `doublesWritten` records what such a row wrote.
    double* doubles(int n) const {
        n = std::clamp(n, 0, kTraceSlots);
        if (m.mirrorValid < n) {
            samplesToDoubles(s.current.data() + m.mirrorValid, n - m.mirrorValid,
                             m.mirror.data() + m.mirrorValid);
            m.mirrorValid = n;
        }
        return m.mirror.data();
    }
    void doublesWritten(int count) const {
        m.mirrorValid = std::max(m.mirrorValid, count);
        m.mirrorDirty = std::max(m.mirrorDirty, count);
    }
    const std::string& code() const { return s.sequence.cell(row, 1); }
    const std::string& text(int col) const { return s.sequence.cell(row, col); }
    // p1 is column 2.
    const std::string& p(int k) const { return text(k + 1); }
    int rowNumber() const { return toInt(text(0)); }
    int pInt(int k) const { return toInt(p(k)); }
    long double pFloat(int k) const { return parseFloat(p(k)); }
    // A 32-bit integer field: a number beyond it is as wrong as no number.
    static int toInt(const std::string& t) {
        const long long v = parseInt(t);
        if (v < INT_MIN || v > INT_MAX)
            throw ConversionError("'" + t + "' is not a valid integer value");
        return static_cast<int>(v);
    }
};

Processor::Processor(Session& session) : s_(session), modules_(std::make_unique<ModuleState>()) {}
Processor::~Processor() = default;

namespace {

using Handler = void (*)(RowContext&);

struct DispatchEntry {
    const char* code;
    Handler handler;
    bool inDouble = false; // works on RowContext::doubles, not on the current trace
};

void absm(RowContext& r) {
    (void)r.rowNumber();
    modules::absm(r.trace(), r.n());
    r.wrote(r.n());
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

// Modules whose kernels are not part of this build decode their columns (so a
// bad text still stops the run) and leave the trace as it is.
void tmxm(RowContext& r) {
    (void)r.pInt(1);
    (void)r.pInt(2);
    (void)r.rowNumber();
}
void rnfm(RowContext& r) {
    (void)r.pInt(1);
}
void swell(RowContext& r) {
    (void)r.rowNumber();
    (void)r.pInt(2);
}
void acfm(RowContext& r) {
    const int p = r.pInt(1);
    // A run's first trace designs with this run's parameters.
    modules::acfm(r.trace(), r.n(), r.nd(), p, r.s.FullScale, r.s.SampleRate,
                  r.m.filterRedesign || r.first, r.m);
    r.m.filterRedesign = r.s.SingleTraceMode;
}
void spfm(RowContext& r) {
    (void)r.pInt(1);
    (void)r.rowNumber();
}
void hbfm(RowContext& r) {
    (void)r.rowNumber();
    (void)r.pInt(2);
}
void astm(RowContext& r) {
    (void)r.rowNumber();
}
void stam(RowContext& r) {
    (void)r.pFloat(1);
    (void)r.rowNumber();
}
void resm(RowContext& r) {
    (void)r.pInt(1);
}
void mutm(RowContext& r) {
    int row = r.rowNumber();
    if (row >= 1 && row <= 50) r.s.rowFiles[row] = r.p(1);
}
// The grid holds the output's name without its directory; when the editor chose
// that file, its full path is kept so the output lands where the user asked.
std::string outputPath(const std::string& cell, const std::string& chosen) {
    if (!chosen.empty() && std::filesystem::path(chosen).filename().string() == cell) return chosen;
    return cell;
}

void wseg(RowContext& r) {
    Session& s = r.s;
    s.segyOutPath = outputPath(r.p(1), s.segyOutPath);
    if (r.shot == s.shots.StartShot()) {
        OPEN_OUT_SEGY(s, s.segyOutPath);
        s.OutputSegyOpen = true;
    }
    const int row = r.rowNumber();
    (void)static_cast<int16_t>(r.pInt(3)); // coordinate type: the writer fills the field anew
    const std::string& order = r.p(2);
    if (s.OutputSegyOpen) {
        if (order == "BE")
            writeSegyTraceBE(s, row, r.shot, s.StartSweep(), s.current, s.EndSweep());
        else if (order == "LE")
            writeSegyTraceLE(s, row, r.shot, s.StartSweep(), s.current, s.EndSweep());
    }
    if (r.shot == s.shots.EndShot()) s.sequence.clearAll();
    r.wrote(0);
}
void wascii(RowContext& r) {
    (void)r.pInt(2);
    (void)r.rowNumber();
}
void wkorva2(RowContext& r) {
    (void)r.pInt(2);
    (void)r.rowNumber();
}
void rccm(RowContext& r) {
    (void)r.rowNumber();
    (void)r.pFloat(3);
    (void)r.pFloat(5);
}
void snim(RowContext& r) {
    (void)r.pInt(2);
    (void)r.rowNumber();
}
void sttm(RowContext& r) {
    (void)r.pFloat(2);
    (void)r.rowNumber();
}
void agcm(RowContext& r) {
    const int window = r.pInt(1);
    r.doublesWritten(modules::agcm(r.doubles(r.nd()), r.nd(), window, r.m));
    r.wrote(r.nd());
}
void tvgm(RowContext& r) {
    modules::tvgm(r.trace(), r.n(), static_cast<double>(r.pFloat(1)));
    r.wrote(r.n());
}
void norm(RowContext& r) {
    modules::normalise(r.trace(), r.nd(), 0, r.s.FullScale);
    r.wrote(r.nd());
}
void grad(RowContext& r) {
    modules::grad(r.trace(), r.n());
    r.wrote(r.n());
}
void dbas(RowContext& r) {
    r.doublesWritten(modules::dbas(r.doubles(r.nd()), r.nd()));
    r.wrote(r.nd());
}
void ling(RowContext& r) {
    const double gain = static_cast<double>(r.pFloat(1));
    modules::ling(r.trace(), r.nd(), gain, r.s.FullScale);
    r.wrote(r.nd());
}
void derv(RowContext& r) {
    modules::derv(r.trace(), r.n());
    r.wrote(r.n());
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
                                   r.m.filterRedesign || r.first, length, high, low, type,
                                   r.s.SampleRate, r.m));
    r.wrote(static_cast<long long>(r.nd()) + length); // the convolution's tail follows the trace
    r.m.filterRedesign = (r.shot == r.s.shots.StartShot()) || r.s.SingleTraceMode;
}
void decm(RowContext& r) {
    const int gap = r.pInt(1);
    const int op = r.pInt(2);
    // DECM works on NumSamples itself; the n/d the dispatch passes is unused.
    modules::decm(r.trace(), r.n(), op, gap, 0.01L, r.m);
}

// The order in which the worker tests the codes.
const DispatchEntry kDispatch[] = {
    {"ABSM", absm}, {"FFTF", fftf},       {"FFTM", fftm},     {"TMXM", tmxm},
    {"RNFM", rnfm}, {"SWELL", swell},     {"ACFM", acfm},     {"SPFM", spfm},
    {"HBFM", hbfm}, {"ASTM", astm},       {"STAM", stam},     {"RESM", resm},
    {"MUTM", mutm}, {"WSEG", wseg},       {"WASCII", wascii}, {"WKORVA2", wkorva2},
    {"RCCM", rccm}, {"SNIM", snim},       {"STTM", sttm},     {"AGCM", agcm, true},
    {"TVGM", tvgm}, {"FLTM", fltm, true}, {"DECM", decm},     {"NORM", norm},
    {"GRAD", grad}, {"DBAS", dbas, true}, {"LING", ling},     {"DERV", derv},
};

} // namespace

void Processor::dispatch(RowContext& row) {
    const std::string& code = row.code();
    for (const DispatchEntry& e : kDispatch) {
        if (code == e.code) {
            if (!e.inDouble) storeDoubles(true); // this row reads and writes the current trace
            e.handler(row);
            return;
        }
    }
    // Unknown codes are passed over.
    row.wrote(0);
}

void Processor::storeDoubles(bool forget) {
    ModuleState& m = *modules_;
    doublesToSamples(m.mirror.data(), m.mirrorDirty, s_.current.data());
    m.mirrorDirty = 0;
    if (forget) m.mirrorValid = 0;
}

void Processor::ProcessTrace(int shot) {
    UpDate_PosString(s_);
    writtenEnd_ = 0;
    // Rows that work in double precision (DBAS, FLTM, AGCM) share one double
    // copy of the trace: it is loaded from the current trace when the first of
    // them needs it and stored back before any other row runs and when the
    // worker ends, also by an error, so that nothing else ever sees the trace
    // without their work.
    struct StoreAtEnd {
        Processor& p;
        ~StoreAtEnd() { p.storeDoubles(true); }
    } storeAtEnd{*this};
    const bool first = (shot == s_.shots.StartShot()) || s_.SingleTraceMode;
    for (int row = 1; row < SequenceTable::kRows && !s_.sequence.cell(row, 1).empty(); ++row) {
        RowContext ctx{s_, *modules_, row, shot, first};
        try {
            dispatch(ctx);
            writtenEnd_ = std::max(writtenEnd_, ctx.written);
        } catch (const ConversionError& e) {
            throw ConversionError("row " + std::to_string(row) + " (" + ctx.code() +
                                  "): " + e.what());
        } catch (const Error& e) {
            throw Error("row " + std::to_string(row) + " (" + ctx.code() + "): " + e.what());
        }
    }
}

namespace {

// The window copy recounts NumSamples on every read; a trace never holds more
// than the readers fill, so the run's limit is applied after each read too.
void clampRunSamples(Session& s) {
    if (s.NumSamples > kMaxRunSamples) s.NumSamples = kMaxRunSamples;
}

} // namespace

RunResult Processor::run(RunHooks& hooks) {
    Session& s = s_;
    RunResult result;
    using Clock = std::chrono::steady_clock;

    // 1-2
    hooks.runState(true);
    hooks.progress(0);
    s.SingleTraceMode = false;
    int columnCounter = 0;
    s.RunTraceCount = 0;

    int shot = s.shots.StartShot();
    try {
        // 3
        long long ns = roundHalfEven(s.EndSweep() * s.SampleRate - s.StartSweep() * s.SampleRate);
        if (ns > kMaxRunSamples) ns = kMaxRunSamples;
        s.NumSamples = static_cast<int32_t>(ns);
        // 4: the mean trace HBFM and ASTM need (record files only)
        const std::string ext = upper(std::filesystem::path(s.InputFileName).extension().string());
        if ((ext == ".D02" || ext == ".D05") && s.RMSFlag) CALCULATE_RMSTRACE(s);
        // 5: the profile image for this run
        setupProfileGeometry(s);
        hooks.createImage();
        Session::SlotRange zeros; // current slots known to hold 0 before the next read
        s.copiedZeros = {};
        // 6
        s.StopRequested = false;
        auto lastPump = Clock::now();
        const int startShot = s.shots.StartShot();
        const int endShot = s.shots.EndShot();
        // 7
        do {
            const auto now = Clock::now();
            if (shot % 100 == 0 || now - lastPump > std::chrono::milliseconds(100)) {
                zeros = {}; // an event handler may touch the trace
                hooks.pumpEvents();
                lastPump = Clock::now();
            }
            Session::checkShotIndex(shot);
            if (!s.input) throw IoError("No input file is open");
            s.currentZeros = zeros; // only for the read below
            s.input->readRunTrace(s, shot);
            s.currentZeros = {};
            clampRunSamples(s);
            ProcessTrace(shot);
            if (shot == startShot || shot % s.HdrSelect() == 0) {
                s.RunTraceCount += 1;
                if (static_cast<int>(s.navigationGrid.size()) <= s.RunTraceCount)
                    s.navigationGrid.resize(s.RunTraceCount + 1);
                if (s.navigationGrid.empty()) s.navigationGrid.resize(2);
                s.navigationGrid[0] = "Navigation String";
                s.navigationGrid[s.RunTraceCount] = s.navText[shot];
            }
            if (shot % 10 == 0 && s.NumTraces > 0)
                hooks.progress(static_cast<int>(
                    truncate(static_cast<long double>(shot - startShot) / s.NumTraces * 100)));
            shot += 1;
            const int n = s.NumSamples / (s.Decimation > 0 ? s.Decimation : 1);
            for (int r = 1; r <= s.display.Rep(); ++r) {
                columnCounter += 1;
                hooks.paintColumn(columnCounter + 50, s.current, n);
            }
            // The zeros the window copy wrote above the samples are still there
            // unless a row wrote that far: the next copy need not write them again.
            zeros = {};
            if (s.copiedZeros.from < s.copiedZeros.to)
                zeros = {std::max(s.copiedZeros.from, writtenEnd_), s.copiedZeros.to};
            s.copiedZeros = {};
        } while (!(endShot <= shot || s.StopRequested));
        result.end = s.StopRequested ? RunEnd::Stopped : RunEnd::Normal;
    } catch (const EndOfData& e) {
        result.end = RunEnd::EndOfData;
        result.message = e.what();
    } catch (const std::exception& e) {
        result.end = RunEnd::Failed;
        result.message = e.what();
    }
    result.finalShot = shot;
    s.currentZeros = {};
    s.copiedZeros = {};

    // 8: the completion report
    s.Memo2 = {"Tarnix v. 1.2.1", "", "Data File : " + s.InputFileName,
               "Read " + std::to_string(shot) + " Traces", ""};
    switch (result.end) {
    case RunEnd::Normal:
        s.Memo2.push_back("Normal Completion");
        break;
    case RunEnd::Stopped:
        s.Memo2.push_back("Stopped by user");
        break;
    case RunEnd::EndOfData:
        s.Memo2.push_back("End of input data at shot " + std::to_string(shot) + ": " +
                          result.message);
        break;
    case RunEnd::Failed:
        s.Memo2.push_back("Run stopped at shot " + std::to_string(shot) + ": " + result.message);
        break;
    }

    // 9-11 run whatever happened above, so the window leaves its running state.
    try {
        hooks.runEnd();
    } catch (const std::exception& e) {
        s.Memo2.push_back(std::string("Profile display failed: ") + e.what());
    }
    try {
        RESET_FILES(s);
    } catch (const std::exception& e) {
        s.Memo2.push_back(std::string("Closing the outputs failed: ") + e.what());
        if (result.end == RunEnd::Normal || result.end == RunEnd::Stopped) {
            result.end = RunEnd::Failed;
            result.message = e.what();
        }
    }
    if (s.OutputOpen) {
        s.OutputOpen = false;
        if (s.refOut) {
            try {
                s.refOut->close();
            } catch (const std::exception&) {
                // an error while closing the reflectivity output is ignored
            }
            s.refOut.reset();
        }
    }
    hooks.runState(false);
    return result;
}

bool Processor::filterRedesign() const {
    return modules_->filterRedesign;
}

bool Processor::READ_A_TRACE(int shot) {
    if (!s_.input) return false;
    if (!s_.input->readSingleTrace(s_, shot)) return false;
    clampRunSamples(s_);
    ProcessTrace(shot);
    return true;
}

} // namespace tarnix
