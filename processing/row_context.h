#pragma once
// One row of the sequence table as the worker decodes it for one trace. The
// parameters stay texts in the table and are converted here, on every trace.
#include "core/error.h"
#include "core/extended.h"
#include "core/numtext.h"
#include "core/session.h"
#include "core/trace.h"
#include "processing/module_state.h"

#include <algorithm>
#include <climits>
#include <string>

namespace tarnix {

struct RowContext {
    Session& s;
    ModuleState& m;
    int row; // grid row
    int shot;
    bool first;         // first-trace flag: (shot = StartShot) or SingleTraceMode
    bool inRun = false; // the worker runs for GO, not for a single-trace read
    // Slots of the trace the row may have written, 0..written-1.
    int written = kTraceSlots;
    void wrote(long long end) {
        written = static_cast<int>(std::clamp<long long>(end, 0, kTraceSlots));
    }
    TraceBuffer& trace() const { return s.current; }
    int n() const { return s.NumSamples; }
    int nd() const { return s.NumSamples / (s.Decimation > 0 ? s.Decimation : 1); }
    // Samples per ms of the trace as the row sees it (resampling divides the rate).
    long double rate() const { return s.SampleRate / (s.Decimation > 0 ? s.Decimation : 1); }
    // The trace in double precision for rows that work in double, its first n
    // slots loaded; `doublesWritten` records what such a row wrote.
    // A trace the reader kept as whole numbers loads straight from them.
    double* doubles(int n) const {
        n = std::clamp(n, 0, kTraceSlots);
        if (m.mirrorValid < n) {
            double* d = m.mirror.data();
            const WholeWindow& w = s.deferred;
            if (w.values && n <= w.end) {
                const int live = std::clamp(w.live, m.mirrorValid, n);
                for (int i = m.mirrorValid; i < live; ++i) d[i] = w.values[i];
                std::fill(d + live, d + n, 0.0);
            } else {
                completeCurrent(s);
                samplesToDoubles(s.current.data() + m.mirrorValid, n - m.mirrorValid,
                                 d + m.mirrorValid);
            }
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
    bool pTrue(int k) const { return p(k) == "TRUE"; }
    // A 32-bit integer field: a number beyond it is as wrong as no number.
    static int toInt(const std::string& t) {
        const long long v = parseInt(t);
        if (v < INT_MIN || v > INT_MAX)
            throw ConversionError("'" + t + "' is not a valid integer value");
        return static_cast<int>(v);
    }
};

} // namespace tarnix
