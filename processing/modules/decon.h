#pragma once
// Correlation, Wiener prediction-error deconvolution and the autocorrelation
// filter.
// The module table holds the worker's call for each row.
//
// ACFM designs into row 1's filter store with the type in state.fltmType; after
// the call the worker sets state.filterRedesign to (shot == first record of an
// open KORVA 0.5 file, 0 otherwise) || SingleTraceMode.
//
// A trace whose lag-zero autocorrelation is 0 (all zeros) is left unchanged by
// DECM (ACFM's normalisations leave it zero). Samples that are not finite or a
// singular system throw tarnix::Error and leave the trace unchanged.
#include "core/trace.h"
#include "processing/module_state.h"

namespace tarnix::modules {

// r[k] = sum over i < min(nb, na - k) of b[i + k] * a[i], k = 0..K-1 (lag k;
// no normalisation, no mean removal). Direct sum in extended precision.
void correlate(int na, int nb, int K, long double* r, const long double* a, const long double* b);
// correlate(n, n, K, r, x, x) computed faster (double precision; by transform
// when the lags are many). Agrees with the direct sum to about 1e-13 of r[0].
void autocorrelate(int n, int K, long double* r, const long double* x, ModuleState& state);

// r[k] /= r[0] (k >= 1), r[0] := 1 + p, g[j] := r[gap + j] for j < K - gap
// (lags counted from 0, so g[0] is lag `gap`). Returns false, changing
// nothing, when r[0] is 0.
bool normalisePrewhiten(int K, int gap, long double* r, long double* g, long double p);

// Solves sum over j of r[|i - j|] f[j] = g[i], i, j < L, by Levinson's recursion
// (order raised by one per step). work holds L values. Returns the final
// prediction error. Throws Error on a singular leading block.
long double solveToeplitz(int L, const long double* r, const long double* g, long double* f,
                          long double* work);

// d = (1, 0 ... 0, -f[0] ... -f[L-1]) with gap - 1 zeros; returns its length gap + L.
int predictionErrorOperator(int gap, int L, const long double* f, long double* d);

void decm(TraceBuffer& trace, int numSamples, int operatorLength, int gap, long double prewhitening,
          ModuleState& state);

void acfm(TraceBuffer& trace, int numSamples, int nd, int p, int fullScale, long double sampleRate,
          bool redesign, ModuleState& state);

} // namespace tarnix::modules
