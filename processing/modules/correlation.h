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

    // The reference m[0..n-1]; its transforms are kept until the next call.
    // n from 1 to kMaxPoints / 2.
    void setReference(const long double* m, int n);
    int length() const { return n_; }
    int log2Points() const { return log2N_; }

    // c[lag] = sum over i < n - lag of x[i + lag] * m[i], for lags 0..n-1, in
    // double precision; returns the sum of the squares of x[0..n-1].
    double correlate(const long double* x, double* c);

    // The single-precision search for the lags whose extended-precision sums
    // (two interleaved accumulators, as the direct search sums them) may be the
    // largest. Returns their count with the lags in lags[] ascending (0: no sum
    // can be above 0), or one of the two answers below. Lags the float search
    // leaves are summed once more in double, and kept only where that sum's
    // bound does not put them below another lag or at most 0; surelyPositive
    // when one is left and it is surely above 0.
    static constexpr int kUseDouble = -1; // more than maxCount lags
    static constexpr int kUseDirect = -2; // values the transforms cannot hold
    int candidates(const long double* x, int* lags, int maxCount, bool& surelyPositive);

private:
    void plan(int N);
    double pack(const long double* v);
    void setFloatReference(const long double* m);
    int narrow(int* lags, int count, double P, bool& surelyPositive);

    int n_ = 0, N_ = 0, log2N_ = 0;
    // e^(-2 pi i j / 2L) at L - 1 + j for L = 1, 2, .. N/4, and the inverse's conjugates.
    std::vector<double> stageRe_, stageIm_, stageImInverse_;
    std::vector<double> unpackRe_, unpackIm_; // e^(-2 pi i k / N), k = 0..N/2
    std::vector<int> reversed_;               // bit reversal of 0..N/2 - 1
    std::vector<double> refRe_, refIm_;       // the reference's bins 0..N/2, divided by N
    std::vector<double> re_, im_;

    // Single precision: the same stage tables; the unpacking twiddles and the
    // reference's bins by the place the forward transform leaves each bin in
    // (bin h = N/2 apart), the reference scaled by 2^-refExp_ and divided by 2N.
    std::vector<float> stageReF_, stageImF_, stageImInverseF_;
    std::vector<float> unpackReF_, unpackImF_;
    std::vector<float> refReF_, refImF_;
    float refHalfReF_ = 0, refHalfImF_ = 0;
    // The eight-lane transforms of 64 places or more keep each 64 transposed
    // between the forward and the inverse; the tables above follow (floatPlace).
    bool transposed_ = false;
    int floatPlace(int p) const;
    int refExp_ = 0;
    bool refZero_ = true, refUsable_ = false;
    double refNorm2_ = 0; // of the scaled reference
    // The float places, real parts and then imaginary ones half a page further
    // on than a whole number of pages: at equal offsets within pages the loads
    // of one wait for the stores of the other.
    static constexpr int kImaginaryOffset = 512;
    std::vector<float> workF_;
    std::vector<double> values_; // the trace in double, scaled as the float one
    std::vector<double> refD_;   // the scaled reference in double
    std::vector<double> lagSums_;
    std::vector<long double> wide_; // the trace or reference scaled in extended precision
    // The power of two the last trace was scaled down by, tried first on the next.
    static constexpr int kNoScale = 1 << 30;
    int lastExp_ = kNoScale;
};

// For tests: false keeps to eight lanes where sixteen would be used.
void allowWideTransforms(bool allow);

} // namespace tarnix::modules
