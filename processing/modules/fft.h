#pragma once
// Transforms and the two transform-based sequence modules.
// The module table holds the worker's call for each row.
//
// The analysis views take a spectrum with powerOfTwo, secondFft and spectrum.
// Transform sizes above 16384 throw tarnix::Error (a run never has more than
// 16383 samples).
#include "core/trace.h"
#include "processing/module_state.h"

#include <complex>
#include <string_view>

namespace tarnix::modules {

struct PowerOfTwo {
    int N; // smallest power of two >= n, at least 1
    int m; // log2 N
};
PowerOfTwo powerOfTwo(int n);

// Radix-2 transform with the twiddle factors advanced by a rotation recurrence.
// Forward: unscaled, kernel e^(+2 pi i jk/N). Inverse: kernel e^(-2 pi i jk/N),
// divided by N. N is a power of two; `in` and `out` are distinct arrays of N.
void fftForward(const std::complex<double>* in, std::complex<double>* out, int N);
void fftInverse(const std::complex<double>* in, std::complex<double>* out, int N);

// Transform of the real samples x[0..numSamples-1], zero-padded to N = 2^m, in
// extended precision, kernel e^(+2 pi i jk/N), unscaled. re and im hold N values.
void secondFft(const long double* x, int numSamples, int m, int N, long double* re,
               long double* im);

// Amplitude and phase of the first numSamples bins. Amplitudes are divided by
// the largest of bins 2..N/2 (counted from 1; the zero-frequency bin is scaled
// but not searched) and bins above N/2 become 0; a zero peak gives all zeros.
// amp and phase hold max(N, numSamples) values.
void spectrum(int N, int numSamples, const long double* re, const long double* im, long double* amp,
              long double* phase);

// Spectral mask: "LP" keeps bins below `cutoff`, any other text bins above it
// (bins counted from 1, bin `cutoff` removed in both cases).
void fftf(TraceBuffer& trace, int numSamples, int cutoff, std::string_view type,
          ModuleState& state);
// y[k] = sqrt(|Re X[k]| + |Im X[k]|) of the forward transform.
void fftm(TraceBuffer& trace, int numSamples, ModuleState& state);

} // namespace tarnix::modules
