#pragma once
// Windowed-sinc FIR filters and the linear convolution shared with the
// deconvolution.
// The module table holds the worker's call for each row.
//
// fltm keeps the designed coefficients of each row (1..10) in state.filters and
// redesigns a row when `redesign` is true or the row has never been designed;
// it records `type` in state.fltmType for the autocorrelation filter. The worker owns the redesign
// flag (state.filterRedesign): it passes it in and, after the call, sets it to
// (shot == StartShot) || SingleTraceMode; it should also pass true on the first
// trace of every run, so a run never filters with the previous run's design.
//
// Refused with tarnix::Error (the trace is left unchanged): a row outside
// 1..10, a length below 1, nd + length beyond the 32766-slot buffer, a zero or
// negative SampleRate, a cut-off that is not a finite number, a type outside
// 0..3 or a taper outside 0..4.
#include "core/trace.h"
#include "processing/module_state.h"

#include <vector>

namespace tarnix::modules {

enum FilterType { kBandPass = 0, kLowPass = 1, kHighPass = 2, kNotch = 3 };
enum Taper { kHamming = 0, kHanning = 1, kCosine = 2, kTriangular = 3, kKaiser = 4 };

// Shape parameter of the "Kaiser" taper: about 60 dB of side-lobe suppression,
// between the Hamming (~43 dB) and a rectangular cut.
constexpr double kKaiserBeta = 6.0;

// Taper value w[k], k = 1..M, of the half window of a filter of N = 2M - 1
// points (w[1] at the filter centre, always 1).
double taperValue(int taper, int k, int M);

// Designs a filter of `length` points (an even length gets one more) into
// coef[0..L-1], L odd, coef[(L-1)/2] the centre. Cut-offs in Hz, sampleRate in
// samples per ms. `half` is scratch for at least (L+1)/2 values.
void designFir(int length, int taper, int type, double highCut, double lowCut,
               long double sampleRate, std::vector<long double>& coef, double* half);

// Linear convolution of x[0..n-1] with c[0..L-1] (coefficients beyond cLen are
// zero) into y[0..total-1], total >= n + L - 1. With `align` the first
// s = (L+1) div 2 samples of the full result are dropped from y[0..n-1]; the
// tail y[n..total-1] keeps the unshifted full result. This is the direct sum
// in extended precision.
void convolve(int n, int L, int total, const long double* c, int cLen, const long double* x,
              bool align, long double* y);
// The same result computed in double precision, blocked for speed; agrees with
// convolve() to rounding. x and y may be the same array.
void convolveFast(int n, int L, int total, const long double* c, int cLen, const long double* x,
                  bool align, long double* y, ModuleState& state);
void convolveFast(int n, int L, int total, const long double* c, int cLen, const double* x,
                  bool align, double* y, ModuleState& state);

// fltm on any buffer of at least nd + length slots (the autocorrelation filter
// filters a work copy).
void fltm(long double* x, int row, int nd, int taper, bool redesign, int length, double highCut,
          double lowCut, int type, long double sampleRate, ModuleState& state);
void fltm(TraceBuffer& trace, int row, int nd, int taper, bool redesign, int length, double highCut,
          double lowCut, int type, long double sampleRate, ModuleState& state);
// fltm on the trace in double precision (x of at least nd + length slots, the
// worker's); returns the samples written from 0, nd + length.
int fltm(double* x, int row, int nd, int taper, bool redesign, int length, double highCut,
         double lowCut, int type, long double sampleRate, ModuleState& state);

} // namespace tarnix::modules
