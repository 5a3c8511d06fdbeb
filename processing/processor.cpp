#include "processing/processor.h"

#include "core/error.h"
#include "core/extended.h"
#include "core/numtext.h"
#include "formats/format_table.h"
#include "formats/reflectivity_file.h"
#include "navigation/nav_list.h"
#include "processing/module_state.h"
#include "processing/module_table.h"
#include "processing/rms_trace.h"
#include "processing/row_context.h"

#include <algorithm>
#include <climits>
#include <filesystem>

namespace tarnix {

namespace {

bool startsInDouble(const Session& s) {
    const ModuleEntry* m = findModule(s.sequence.cell(1, 1));
    return m && m->handler && m->inDouble;
}

} // namespace

Processor::Processor(Session& session) : s_(session), modules_(std::make_unique<ModuleState>()) {}
Processor::~Processor() = default;

void Processor::dispatch(RowContext& row, const ModuleEntry* m) {
    if (!m->inDouble) storeDoubles(true); // this row reads and writes the current trace
    m->handler(row);
    switch (m->writes) {
    case Writes::Everything:
        row.wrote(kTraceSlots);
        break;
    case Writes::Nothing:
        row.wrote(0);
        break;
    case Writes::N:
        row.wrote(row.n());
        break;
    case Writes::ND:
        row.wrote(row.nd());
        break;
    case Writes::Reported:
        break;
    }
}

void Processor::storeDoubles(bool forget) {
    ModuleState& m = *modules_;
    completeCurrent(s_); // the read trace under the rows' work
    doublesToSamples(m.mirror.data(), m.mirrorDirty, s_.current.data());
    m.mirrorDirty = 0;
    if (forget) m.mirrorValid = 0;
}

void Processor::ProcessTrace(int shot) {
    UpDate_PosString(s_);
    writtenEnd_ = 0;
    // Only a resampling row of this trace decimates it; rows before it and a
    // later sequence without one see whole traces.
    s_.Decimation = 1;
    ++modules_->workerCalls;
    // Rows that work in double precision (the table says which) share one double
    // copy of the trace: it is loaded from the current trace when the first of
    // them needs it and stored back before any other row runs and when the
    // worker ends, also by an error, so that nothing else ever sees the trace
    // without their work.
    struct StoreAtEnd {
        Processor& p;
        bool pending = false;
        ~StoreAtEnd() {
            if (!pending) p.storeDoubles(true);
        }
    } storeAtEnd{*this};
    const bool first = (shot == s_.shots.StartShot()) || s_.SingleTraceMode;
    if (s_.pendingDoubles.values) completeCurrent(s_);
    modules_->mirrorValid = modules_->mirrorDirty = 0;
    // A first row in double precision loads a deferred read's whole numbers itself.
    if (!s_.sequence.cell(1, 1).empty() && !startsInDouble(s_)) completeCurrent(s_);
    for (int row = 1; row < SequenceTable::kRows && !s_.sequence.cell(row, 1).empty(); ++row) {
        RowContext ctx{s_, *modules_, row, shot, first, running_};
        // A code that names no module is a mistake in the sequence, not a row to skip.
        const ModuleEntry* m = findModule(ctx.code());
        if (!m || !m->handler)
            throw Error("row " + std::to_string(row) + ": '" + ctx.code() +
                        "' is not a processing module");
        try {
            dispatch(ctx, m);
            writtenEnd_ = std::max(writtenEnd_, ctx.written);
        } catch (const ConversionError& e) {
            throw ConversionError("row " + std::to_string(row) + " (" + ctx.code() +
                                  "): " + e.what());
        } catch (const Error& e) {
            throw Error("row " + std::to_string(row) + " (" + ctx.code() + "): " + e.what());
        }
    }
    // Every row worked in double over a deferred read: the samples stay in the
    // double copy, painted from there, and are written out only if the trace
    // is looked at before the next read.
    if (s_.deferred.held() && running_) {
        ModuleState& m = *modules_;
        if (m.mirrorDirty > 0) s_.pendingDoubles = {m.mirror.data(), m.mirrorDirty};
        m.mirrorDirty = 0;
        storeAtEnd.pending = true;
    }
}

namespace {

// Whether run reads may keep their traces as whole numbers: nothing but the
// painting looks at them, or rows in double precision load them first.
bool runMayDefer(const Session& s, const RunHooks& hooks) {
    if (!hooks.paintsWholeColumns()) return false;
    return s.sequence.cell(1, 1).empty() || (hooks.paintsDoubleColumns() && startsInDouble(s));
}

// Float samples are kept as doubles only for a run without rows.
bool runMayDeferDoubles(const Session& s, const RunHooks& hooks) {
    return hooks.paintsWholeColumns() && hooks.paintsDoubleColumns() &&
           s.sequence.cell(1, 1).empty();
}

bool sequenceNeedsMeanTrace(const Session& s) {
    for (int row = 1; row < SequenceTable::kRows && !s.sequence.cell(row, 1).empty(); ++row)
        if (const ModuleEntry* m = findModule(s.sequence.cell(row, 1)); m && m->panel.setsRmsFlag)
            return true;
    return false;
}

// The window copy recounts NumSamples on every read; a trace never holds more
// than the readers fill, so the run's limit is applied after each read too.
void clampRunSamples(Session& s) {
    if (s.NumSamples > kMaxRunSamples) s.NumSamples = kMaxRunSamples;
}

} // namespace

RunResult Processor::run(RunHooks& hooks) {
    Session& s = s_;
    RunResult result;
    hooks.runState(true);
    hooks.progress(0);
    s.SingleTraceMode = false;
    s.RunTraceCount = 0;
    int shot = s.shots.StartShot();
    struct Running {
        bool& flag;
        explicit Running(bool& f) : flag(f) { flag = true; }
        ~Running() { flag = false; }
    } running{running_};
    try {
        prepareRun(hooks);
        processShots(hooks, shot);
        result.end = s.StopRequested ? RunEnd::Stopped : RunEnd::Normal;
    } catch (const EndOfData& e) {
        result.end = RunEnd::EndOfData;
        result.message = e.what();
    } catch (const std::exception& e) {
        result.end = RunEnd::Failed;
        result.message = e.what();
    }
    result.finalShot = shot;
    try {
        completeCurrent(s);
    } catch (const std::exception& e) {
        if (result.end != RunEnd::Failed) result.message = e.what();
        result.end = RunEnd::Failed;
    }
    s.zeros.forget();
    writeReport(result);
    // The close-out runs whatever happened above, so the window leaves its running state.
    closeOut(hooks, result);
    hooks.runState(false);
    return result;
}

void Processor::prepareRun(RunHooks& hooks) {
    Session& s = s_;
    long long ns = roundHalfEven(s.EndSweep() * s.SampleRate - s.StartSweep() * s.SampleRate);
    if (ns > kMaxRunSamples) ns = kMaxRunSamples;
    s.NumSamples = static_cast<int32_t>(ns);
    // The mean trace: for record files when "RMS" is ticked, and for any input
    // when a row of the sequence needs it.
    meanNote_.clear();
    modules_->notes.clear();
    modules_->rccmNoted.fill(false);
    const FormatEntry* f = formatEntryOf(s.InputFileName);
    if ((f && f->meanTraceBeforeRun && s.RMSFlag) || sequenceNeedsMeanTrace(s))
        meanNote_ = "Mean trace: average of " + std::to_string(CALCULATE_RMSTRACE(s)) +
                    " traces, computed before the first shot";
    setupProfileGeometry(s);
    hooks.createImage();
    s.zeros.forget();
    s.StopRequested = false;
}

void Processor::processShots(RunHooks& hooks, int& shot) {
    using Clock = std::chrono::steady_clock;
    Session& s = s_;
    auto lastPump = Clock::now();
    const int startShot = s.shots.StartShot();
    const int endShot = s.shots.EndShot();
    int columnCounter = 0;
    // With no rows, or rows in double precision only, nothing but the painting
    // looks at a trace before the next read replaces it, so the reader may
    // leave it as whole numbers; it is written out before events are served
    // and when the run ends.
    struct MayDefer {
        Session& s;
        ~MayDefer() { s.runMayDefer = s.runMayDeferDoubles = false; }
    } mayDefer{s};
    s.runMayDefer = runMayDefer(s, hooks);
    s.runMayDeferDoubles = runMayDeferDoubles(s, hooks);
    // The test follows the first pass: a range with EndShot <= StartShot runs one shot.
    do {
        if (shot % 100 == 0 || Clock::now() - lastPump > std::chrono::milliseconds(100)) {
            completeCurrent(s);
            s.zeros.forget(); // an event handler may touch the trace
            hooks.shotsDone(shot - startShot, s.NumTraces);
            hooks.pumpEvents();
            lastPump = Clock::now();
            s.runMayDefer = runMayDefer(s, hooks);
            s.runMayDeferDoubles = runMayDeferDoubles(s, hooks);
        }
        (void)s.shotIndex(shot);
        if (!s.input) throw IoError("No input file is open");
        s.pendingDoubles = {}; // the read replaces the trace they belong to
        s.zeros.beginRead();
        s.input->readRunTrace(s, shot);
        s.zeros.endRead();
        clampRunSamples(s);
        ProcessTrace(shot);
        ADD_NAV_FIX(s, shot);
        hooks.shotProcessed(shot);
        if (shot % 10 == 0 && s.NumTraces > 0)
            hooks.progress(static_cast<int>(
                truncate(static_cast<long double>(shot - startShot) / s.NumTraces * 100)));
        shot += 1;
        const int n = s.NumSamples / (s.Decimation > 0 ? s.Decimation : 1);
        for (int r = 1; r <= s.display.Rep(); ++r) {
            columnCounter += 1;
            const ModuleState& m = *modules_;
            if (s.deferred.held() && s.pendingDoubles.values && m.mirrorValid >= n)
                hooks.paintDoubleColumn(columnCounter + 50, m.mirror.data(), n);
            else if (s.deferred.doubles && !s.pendingDoubles.values)
                hooks.paintDoubleColumn(columnCounter + 50, s.deferred.doubles, n);
            else if (s.deferred.values && !s.pendingDoubles.values)
                hooks.paintWholeColumn(columnCounter + 50, s.deferred, n);
            else {
                completeCurrent(s);
                hooks.paintColumn(columnCounter + 50, s.current, n);
            }
        }
        // The zeros the window copy wrote above the samples are still there
        // unless a row wrote that far: the next copy need not write them again.
        s.zeros.afterWorker(writtenEnd_);
    } while (!(endShot <= shot || s.StopRequested));
    hooks.shotsDone(shot - startShot, s.NumTraces);
}

void Processor::writeReport(const RunResult& result) {
    Session& s = s_;
    const std::string shot = std::to_string(result.finalShot);
    s.Memo2 = {"Tarnix v. 1.2.1", "", "Data File : " + s.InputFileName, "Read " + shot + " Traces",
               ""};
    switch (result.end) {
    case RunEnd::Normal:
        s.Memo2.push_back("Normal Completion");
        break;
    case RunEnd::Stopped:
        s.Memo2.push_back("Stopped by user");
        break;
    case RunEnd::EndOfData:
        s.Memo2.push_back("End of input data at shot " + shot + ": " + result.message);
        break;
    case RunEnd::Failed:
        s.Memo2.push_back("Run stopped at shot " + shot + ": " + result.message);
        break;
    }
    if (!meanNote_.empty()) s.Memo2.push_back(meanNote_);
    for (const std::string& note : modules_->notes) s.Memo2.push_back(note);
}

void Processor::closeOut(RunHooks& hooks, RunResult& result) {
    Session& s = s_;
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
        // Its lines are buffered: a failing close loses some of them, which
        // the report must say.
        std::unique_ptr<OutputFile> out = std::move(s.refOut);
        if (out) {
            try {
                out->close();
                if (auto* ref = dynamic_cast<ReflectivityOutput*>(out.get()))
                    s.Memo2.push_back("Reflectivity file " + ref->path() + ": " +
                                      std::to_string(ref->lines()) + " lines");
            } catch (const std::exception& e) {
                s.Memo2.push_back(std::string("Closing the reflectivity file failed: ") + e.what());
                if (result.end == RunEnd::Normal || result.end == RunEnd::Stopped) {
                    result.end = RunEnd::Failed;
                    result.message = e.what();
                }
            }
        }
    }
}

bool Processor::filterRedesign() const {
    return modules_->filterRedesign;
}

bool Processor::READ_A_TRACE(int shot) {
    if (!s_.input) return false;
    if (!s_.input->readSingleTrace(s_, shot)) return false;
    clampRunSamples(s_);
    if (!s_.input->singleTraceWorker()) {
        ProcessTrace(shot);
        return true;
    }
    // The flag goes back to what it was, so the Analysis page keeps its own.
    const bool single = s_.SingleTraceMode;
    s_.SingleTraceMode = true;
    try {
        ProcessTrace(shot);
    } catch (...) {
        s_.SingleTraceMode = single;
        throw;
    }
    s_.SingleTraceMode = single;
    return true;
}

} // namespace tarnix
