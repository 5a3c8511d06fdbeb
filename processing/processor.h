#pragma once
// The processing worker and the run (GO). Both the window and the headless
// command drive a session through one Processor, so a sequence does the same
// thing wherever it runs.
#include "core/session.h"
#include "processing/run_hooks.h"

#include <chrono>
#include <memory>
#include <string>

namespace tarnix {

struct RowContext;
struct ModuleState;
struct ModuleEntry;

// How a run ended.
enum class RunEnd { Normal, Stopped, EndOfData, Failed };

struct RunResult {
    RunEnd end = RunEnd::Normal;
    int finalShot = 0;   // the loop's shot counter when it ended
    std::string message; // the error or end-of-data text, empty on a normal end
};

class Processor {
public:
    explicit Processor(Session& session);
    ~Processor();
    Processor(const Processor&) = delete;
    Processor& operator=(const Processor&) = delete;

    // ProcessTrace: applies the sequence table to the current trace, in place.
    // Throws Error with the shot, row and module named.
    void ProcessTrace(int shot);

    // PlayButtClick: streams StartShot..EndShot-1 through the sequence, paints
    // through the hooks and writes the completion report into Memo2. Never throws:
    // a failure ends the run cleanly and is reported.
    RunResult run(RunHooks& hooks);

    // READ_A_TRACE: reads trace `shot` into the current trace and runs the worker.
    // Returns false when the open format has no single-trace read.
    bool READ_A_TRACE(int shot);

    // The band-pass filter redesign flag (true at program start).
    bool filterRedesign() const;

private:
    // The run's steps.
    void prepareRun(RunHooks& hooks);
    void processShots(RunHooks& hooks, int& shot);
    void writeReport(const RunResult& result);
    void closeOut(RunHooks& hooks, RunResult& result);
    void dispatch(RowContext& row, const ModuleEntry* m);
    // Stores the double copy of the trace the double-precision rows worked on
    // into the current trace; with `forget` the copy is dropped as well.
    void storeDoubles(bool forget);
    Session& s_;
    std::unique_ptr<ModuleState> modules_; // per-row filters and scratch, kept between traces
    std::string meanNote_;                 // the report's line on the mean trace of this run
    bool running_ = false;                 // inside run(): outputs that only GO writes are written
    int writtenEnd_ = 0; // slots of the current trace the last ProcessTrace may have written
};

} // namespace tarnix
