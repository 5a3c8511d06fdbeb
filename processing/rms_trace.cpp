#include "processing/rms_trace.h"

#include "core/error.h"

#include <algorithm>

namespace tarnix {

int CALCULATE_RMSTRACE(Session& s) {
    // A stale sum from an earlier pre-pass would bias every later run.
    ++s.meanTraceVersion;
    s.meanTrace.fill(0);
    if (!s.input) throw IoError("No input file is open");
    const int n = std::clamp(s.NumSamples, 0, kTraceSlots);
    const int wanted = s.NumTraces - 2;
    int added = 0;
    s.input->rewind(s);
    try {
        for (int k = 0; k < wanted; ++k) {
            try {
                s.input->readRunTrace(s, s.shots.StartShot() + k);
            } catch (const EndOfData&) {
                break;
            }
            for (int i = 0; i < n; ++i) s.meanTrace[i] += s.current[i];
            ++added;
        }
    } catch (...) {
        s.meanTrace.fill(0);
        s.input->rewind(s);
        throw;
    }
    // Divided by the number of traces summed, so the result is their mean.
    if (added > 0)
        for (int i = 0; i < n; ++i) s.meanTrace[i] /= added;
    s.input->rewind(s);
    return added;
}

} // namespace tarnix
