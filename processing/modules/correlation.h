#pragma once
// Cross-correlation of a trace with a reference kept between traces, through
// real transforms of split real and imaginary arrays with exact twiddle tables.
// It is separate from the shared transform, whose results other rows must keep
// bit for bit: callers of this one check the lags that matter by direct sums.
#include <vector>

namespace tarnix::modules {

class RealCorrelation {
public:
    // Largest transform of 2^m real points (n up to 16384 samples).
    static constexpr int kMaxPoints = 32768;

    RealCorrelation();

    // The reference m[0..n-1]; its transform is kept until the next call.
    // n from 1 to kMaxPoints / 2.
    void setReference(const long double* m, int n);
    int length() const { return n_; }
    int log2Points() const { return log2N_; }

    // c[lag] = sum over i < n - lag of x[i + lag] * m[i], for lags 0..n-1, in
    // double precision; returns the sum of the squares of x[0..n-1].
    double correlate(const long double* x, double* c);

private:
    void plan(int N);
    double pack(const long double* v);

    int n_ = 0, N_ = 0, log2N_ = 0;
    // e^(-2 pi i j / 2L) at L - 1 + j for L = 1, 2, .. N/4, and the inverse's conjugates.
    std::vector<double> stageRe_, stageIm_, stageImInverse_;
    std::vector<double> unpackRe_, unpackIm_; // e^(-2 pi i k / N), k = 0..N/2
    std::vector<int> reversed_;               // bit reversal of 0..N/2 - 1
    std::vector<double> refRe_, refIm_;       // the reference's bins 0..N/2, divided by N
    std::vector<double> re_, im_;
};

} // namespace tarnix::modules
