#pragma once
// Gain and amplitude modules. Each works on the current trace in place; n counts
// samples from slot 0. The module table holds the worker's call for each row
// (normalise's mode 1 is the autocorrelation filter's).
//
// A count above the buffer's 32766 slots throws tarnix::Error; a negative count
// is treated as 0. the gain control with a window <= 0, and it and debias with n = 0, leave the
// trace unchanged.
#include "core/trace.h"
#include "processing/module_state.h"

namespace tarnix::modules {

// Automatic gain control over a window of `window` samples (even widths grow by
// one). The running window value carries from one output sample to the next.
void agcm(TraceBuffer& trace, int n, int window, ModuleState& state);
// y[i] = i * slope * x[i], i counted from 1.
void tvgm(TraceBuffer& trace, int n, double slope);
// y = x * gain, clipped above (only) at fullScale.
void ling(TraceBuffer& trace, int n, double gain, int fullScale);
// Scales by fullScale / (|min| + max); mode 1 scales to fullScale div 2 and
// clips to 0 .. fullScale div 2. A range of 0 leaves the trace unchanged.
void normalise(TraceBuffer& trace, int n, int mode, int fullScale);
// Removes the mean of the first n samples.
void dbas(TraceBuffer& trace, int n);
// The same in double precision through the state's scratch (the worker's call).
void dbas(TraceBuffer& trace, int n, ModuleState& state);
// y[i] = x[i] - x[i+1]; the last sample keeps its value.
void derv(TraceBuffer& trace, int n);
void absm(TraceBuffer& trace, int n);
// Local-line transform in 64-bit floating point; the last two samples keep theirs.
void grad(TraceBuffer& trace, int n);

// The same kernels on a plain array (the autocorrelation filter normalises its
// work arrays with them).
void normalise(long double* x, int n, int mode, int fullScale);
void dbas(long double* x, int n);

// agcm and dbas on the trace in double precision, x[0..n-1]; they return how
// many samples they wrote (from 0). The worker keeps the trace in double while
// such rows follow one another; the entry points above convert on every call.
int agcm(double* x, int n, int window, ModuleState& state);
int dbas(double* x, int n);

} // namespace tarnix::modules
