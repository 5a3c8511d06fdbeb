#pragma once
// Static shifts and the sea-floor reflection coefficient: a constant shift, a
// shift per shot from a pick file (the picked horizon flattened), a shift found
// by correlating the trace with the mean trace, and the coefficient of the
// picked sea-floor reflection against the outgoing pulse.
//
// Shifts are whole samples, positive moving the trace earlier. Each kernel
// works on the trace in place and returns how many slots (from 0) it may have
// written; a shift that would read or clear beyond the buffer throws
// tarnix::Error and leaves the trace as it was.
#include "core/trace.h"
#include "processing/module_state.h"

namespace tarnix::modules {

// Samples a time shift of `ms` is worth at `rate` samples per ms, rounded to
// the nearest sample (halves to even).
long long shiftSamples(long double ms, long double rate);

// Constant shift over the first 16383 samples whatever the trace's length; a
// shift later clears the samples it uncovers at the top.
int stam(TraceBuffer& trace, long long shift);

// Static trend: the first n samples move `shift` samples earlier; for a shift
// later the top samples it uncovers keep their values.
int sttm(TraceBuffer& trace, int n, long long shift);

// The trend shift of a pick at `pickMs`: c x (pickMs - originMs) x rate, to the
// nearest sample. The origin is the window start (absolute) or the row's
// earliest pick (relative).
long long trendShift(long double pickMs, long double originMs, long double rate, long double c);

// The automatic static of the trace against the mean (first n samples of
// each): 1 + the lag of the first largest positive correlation
// sum x[i + lag] * mean[i], 0 when no correlation is positive or the shift
// would be n. The correlation goes through the transform; the lags within
// its rounding of the maximum are summed directly, so the first maximum is the
// direct sums' own.
// meanVersion: a count the caller raises whenever the mean may have changed;
// while it stays the same the mean is not compared again. Negative: unknown,
// the mean is compared with the one the transform was made from.
int astmShift(const TraceBuffer& trace, int n, const TraceBuffer& mean, ModuleState& state,
              long long meanVersion = -1);
// The trace moves astmShift samples earlier (n samples written).
int astm(TraceBuffer& trace, int n, const TraceBuffer& mean, ModuleState& state,
         long long meanVersion = -1);

// The reflection-coefficient estimate of one trace.
struct ReflectionEstimate {
    long double coefficient = 0;
    bool fits = true; // false: a window left the trace, the coefficient is 0
};
// Mean absolute amplitude of the first `window` samples (the outgoing pulse)
// and of the `window` samples from the pick on (the sea-floor reflection);
// coefficient = reflection / pulse, times `distance` x `scale` with the
// spherical-divergence correction. 0 when the pulse is 0 or a window does not
// lie within the first n samples.
ReflectionEstimate reflectionCoefficient(const TraceBuffer& trace, int n, long long pick,
                                         int window, bool spherical, long double distance,
                                         long double scale);

} // namespace tarnix::modules
