#pragma once
// Noise and editing modules: spike removal, three-trace random-noise rejection,
// horizontal-band removal, heave correction on the sea-floor pick, trace mixing,
// top mute and resampling. Each works on the trace in place; n counts samples
// from slot 0 and a count beyond the buffer throws tarnix::Error. They return
// how many slots (from 0) they may have written.
//
// The neighbour traces of the mixing and the random-noise filter come from
// processing/neighbours.h; the picks of the mute and the heave correction from
// formats/pick_file.h.
#include "core/trace.h"

#include <span>

namespace tarnix::modules {

// Positive spikes: samples at or above `threshold` become 0.
int spfm(TraceBuffer& trace, int n, long long threshold);

// Random-noise filter with the two traces that follow (b, c: n samples each).
// A sample a differing by more than `threshold` from both b and c is rejected,
// and so is the larger of b and c when they differ by more than it; the first
// of a, b, c not rejected is kept, 0 when all are.
int rnfm(TraceBuffer& trace, int n, const Sample* b, const Sample* c, long long threshold);

// Horizontal bands: y = x - (100 div percent) * mean. Throws Error for 0 %.
int hbfm(TraceBuffer& trace, int n, int percent, const TraceBuffer& mean);

// Heave correction: the strongest positive sample within `halfWindow` of the
// picked sample `pick` (counted from 1) moves onto the pick, the trace with it.
// Returns the shift in samples (positive: later); 0 when the window leaves
// 1..n-1 or holds no positive sample.
int swellShift(const TraceBuffer& trace, int n, long long pick, int halfWindow);
int swell(TraceBuffer& trace, int n, long long pick, int halfWindow);

// Trace mixing: the trace plus every neighbour (n samples each), divided by
// the number of traces mixed.
int tmxm(TraceBuffer& trace, int n, std::span<const Sample* const> neighbours);

// Top mute: samples 1..pick become 0.
int mutm(TraceBuffer& trace, int n, long long pick);

// Resampling by `factor` (at least 1, else Error): the first n div factor
// samples become the averages of consecutive blocks of `factor` samples.
int resm(TraceBuffer& trace, int n, int factor);

} // namespace tarnix::modules
