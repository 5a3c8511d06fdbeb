#pragma once
// Synthetic SEG-Y lines at 1 sample per ms opened as the open command and the
// Select Shots window would, sequence rows typed as texts, and the trace dump
// of tarnix-run read back.
#include "core/session.h"
#include "processing/run_hooks.h"
#include "support/run_tool.h"

#include <algorithm>
#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

namespace tarnix::test {

class TempDir;

using SampleFn = std::function<int(int trace, int sample)>; // trace from 0, sample from 1

// `traces` big-endian traces of `ns` 16-bit samples at 1 ms, recorded after
// `delayMs`; trace k has field record number k + 1.
std::string writeLine(const TempDir& dir, const std::string& name, int traces, int ns,
                      const SampleFn& f, int delayMs = 0);

// The line opened big-endian with the window 0..ns ms (or from..to given) and
// the shots from..to - 1 selected.
std::unique_ptr<Session> openLine(const std::string& path, int ns, int fromShot, int toShot,
                                  int startSweep = 0);

// Run hooks that keep every painted trace (its first n samples).
class TraceKeeper : public RunHooks {
public:
    void paintColumn(int, const TraceBuffer& t, int n) override {
        traces.emplace_back(t.begin(), t.begin() + std::max(n, 0));
    }
    std::vector<std::vector<long double>> traces;
};

// Sequence rows from texts: code, p1, p2, ...; row numbers 1, 2, ...
void setRows(Session& s, std::initializer_list<std::vector<std::string>> rows);

// The values of a --dump-trace output; its times go into `times` when given.
std::vector<long double> dumpValues(const std::string& out, std::vector<long double>* times);

// tarnix-run with the sequence file `seq` (rows after the heading), the window
// `window` ("0:200") and --dump-trace `shot` on `line`.
ToolResult runDump(const TempDir& dir, const std::string& seq, const std::string& line, int shot,
                   const std::string& window);

} // namespace tarnix::test
