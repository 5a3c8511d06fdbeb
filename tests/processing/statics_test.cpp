// The static-shift and reflection-coefficient kernels on hand-made traces.
#include "core/error.h"
#include "processing/modules/correlation.h"
#include "processing/modules/decon.h"
#include "processing/modules/statics.h"

#include <cmath>
#include <gtest/gtest.h>
#include <memory>
#include <random>
#include <vector>

using namespace tarnix;
using namespace tarnix::modules;

namespace {

// Slot k holds k + 1 (sample numbers counted from 1), the whole buffer.
std::unique_ptr<TraceBuffer> ramp() {
    auto t = std::make_unique<TraceBuffer>();
    for (int k = 0; k < kTraceSlots; ++k) (*t)[k] = k + 1;
    return t;
}

std::unique_ptr<TraceBuffer> zeros() {
    auto t = std::make_unique<TraceBuffer>();
    t->fill(0);
    return t;
}

ModuleState& state() {
    static ModuleState m;
    return m;
}

// The first lag of the largest positive direct sum, plus one (0 for none or n).
int directShift(const TraceBuffer& x, int n, const TraceBuffer& m) {
    std::vector<long double> r(n);
    correlate(n, n, n, r.data(), m.data(), x.data());
    int best = -1;
    long double top = 0;
    for (int k = 0; k < n; ++k)
        if (r[k] > top) top = r[k], best = k;
    return best < 0 || best + 1 >= n ? 0 : best + 1;
}

} // namespace

TEST(StaticShift, ConstantShiftCoversTheRunLengthAndClearsOnlyWhenLater) {
    // +1 ms at 10 samples per ms: y[k] = x[k + 10].
    auto t = ramp();
    EXPECT_EQ(stam(*t, shiftSamples(1, 10)), 16383);
    EXPECT_EQ((*t)[0], 11);
    EXPECT_EQ((*t)[16382], 16393);
    EXPECT_EQ((*t)[16383], 16384); // beyond the 16383 samples the shift covers

    // -2 ms: y[21..16383] = x[1..16363], y[1..20] = 0.
    t = ramp();
    EXPECT_EQ(stam(*t, shiftSamples(-2, 10)), 16383);
    EXPECT_EQ((*t)[19], 0);
    EXPECT_EQ((*t)[20], 1);
    EXPECT_EQ((*t)[16382], 16363);
    EXPECT_EQ((*t)[16383], 16384);

    // The largest shifts that stay inside the buffer, and the first that do not.
    t = ramp();
    EXPECT_EQ(stam(*t, 16383), 16383);
    EXPECT_EQ((*t)[16382], kTraceSlots);
    t = ramp();
    EXPECT_EQ(stam(*t, -kTraceSlots), kTraceSlots);
    EXPECT_EQ((*t)[kTraceSlots - 1], 0);
    t = ramp();
    EXPECT_THROW(stam(*t, 16384), Error);
    EXPECT_THROW(stam(*t, -kTraceSlots - 1), Error);
    EXPECT_EQ((*t)[0], 1); // a refused shift leaves the trace alone
    EXPECT_EQ(stam(*t, 0), 0);
}

TEST(StaticShift, TimesRoundToTheNearestSample) {
    EXPECT_EQ(shiftSamples(0.35L, 8), 3);                  // 2.8 samples, not truncated to 2
    EXPECT_EQ(shiftSamples(-0.35L, 8), -3);                // the same later
    EXPECT_EQ(shiftSamples(0.3L, 8), 2);                   // 2.4
    EXPECT_EQ(shiftSamples(0.3125L, 8), 2);                // 2.5: halves to even
    EXPECT_EQ(shiftSamples(0.4375L, 8), 4);                // 3.5
    EXPECT_EQ(shiftSamples(1e30L, 8), 1000000000000000LL); // clamped, then refused by the kernel
    // Absolute: a 30 ms pick in a window from 10 ms at 5 samples per ms is 100
    // samples; relative to the earliest pick of 12 ms, 90; half of it with c = 0.5.
    EXPECT_EQ(trendShift(30, 10, 5, 1), 100);
    EXPECT_EQ(trendShift(30, 12, 5, 1), 90);
    EXPECT_EQ(trendShift(30, 12, 5, 0.5L), 45);
    EXPECT_EQ(trendShift(8, 10, 5, 1), -10); // a pick above the window moves the trace later
}

TEST(StaticShift, TrendShiftMovesOnlyTheFirstNSamplesAndKeepsTheTop) {
    auto t = ramp();
    EXPECT_EQ(sttm(*t, 500, 100), 500);
    EXPECT_EQ((*t)[0], 101);
    EXPECT_EQ((*t)[499], 600);
    EXPECT_EQ((*t)[500], 501); // slots beyond n untouched

    // Later: the uncovered top keeps what it held (it is not cleared).
    t = ramp();
    EXPECT_EQ(sttm(*t, 500, -3), 500);
    EXPECT_EQ((*t)[0], 1);
    EXPECT_EQ((*t)[2], 3);
    EXPECT_EQ((*t)[3], 1);
    EXPECT_EQ((*t)[499], 497);

    // A shift later than the whole trace, or none, changes nothing.
    t = ramp();
    EXPECT_EQ(sttm(*t, 500, -500), 0);
    EXPECT_EQ(sttm(*t, 500, 0), 0);
    EXPECT_EQ((*t)[499], 500);
    // Reading past the buffer is refused.
    EXPECT_EQ(sttm(*t, 16383, kTraceSlots - 16383), 16383);
    t = ramp();
    EXPECT_THROW(sttm(*t, 16383, kTraceSlots - 16382), Error);
}

TEST(AutomaticStatic, ZeroLagMovesOneSampleAndADelayedCopyOneMore) {
    const int n = 1000; // through the transform
    auto mean = zeros();
    std::mt19937 gen(3);
    std::uniform_int_distribution<int> d(-3000, 3000);
    for (int i = 0; i < n; ++i) (*mean)[i] = d(gen);

    auto t = std::make_unique<TraceBuffer>(*mean);
    EXPECT_EQ(astmShift(*t, n, *mean, state()), 1);
    EXPECT_EQ(astm(*t, n, *mean, state()), n);
    EXPECT_EQ((*t)[0], (*mean)[1]);
    EXPECT_EQ((*t)[n - 1], 0); // slot n, read from the buffer as it is

    // Delayed by 7 samples: the largest correlation is at lag 7, the shift 8.
    t = zeros();
    for (int i = 7; i < n; ++i) (*t)[i] = (*mean)[i - 7];
    EXPECT_EQ(astmShift(*t, n, *mean, state()), 8);
    astm(*t, n, *mean, state());
    EXPECT_EQ((*t)[0], (*mean)[1]);

    // No positive correlation (a dead trace, one sample of the opposite sign):
    // no shift; nor when the shift would be the whole trace.
    auto dead = zeros();
    EXPECT_EQ(astm(*dead, n, *mean, state()), 0);
    t = zeros();
    (*t)[0] = -(*mean)[0];
    EXPECT_EQ(astmShift(*t, 1, *mean, state()), 0);
    (*t)[0] = (*mean)[0];
    EXPECT_EQ(astmShift(*t, 1, *mean, state()), 0);
    EXPECT_EQ(astmShift(*t, 2, *mean, state()), (*mean)[0] * (*mean)[0] > 0 ? 1 : 0);
}

TEST(AutomaticStatic, TransformPicksTheSameFirstMaximumAsTheDirectSums) {
    std::mt19937 gen(11);
    std::uniform_int_distribution<int> d(-20000, 20000);
    for (int n : {200, 257, 1000, 4000, 9000}) {
        auto mean = zeros(), x = zeros();
        for (int i = 0; i < n; ++i) (*mean)[i] = d(gen);
        const int delay = n / 3;
        for (int i = 0; i < n; ++i) (*x)[i] = (i >= delay ? (*mean)[i - delay] : 0) + d(gen) / 4;
        EXPECT_EQ(astmShift(*x, n, *mean, state()), directShift(*x, n, *mean)) << n;
        EXPECT_EQ(astmShift(*x, n, *mean, state()), delay + 1) << n;
    }
    // Exact ties: a period of 4 in both gives equal sums at lags 0 and 4 only
    // when the overlap is the same, so take a mean that is zero after slot 4.
    const int n = 2000;
    auto mean = zeros(), x = zeros();
    (*mean)[0] = 3;
    (*mean)[1] = -1;
    for (int i = 100; i < n; i += 400)
        (*x)[i] = 3, (*x)[i + 1] = -1; // equal peaks at 100, 500, ...
    EXPECT_EQ(directShift(*x, n, *mean), 101);
    EXPECT_EQ(astmShift(*x, n, *mean, state()), 101);
    // The mean's transform is kept between traces and renewed when the mean changes.
    (*mean)[0] = -3;
    (*mean)[1] = 1;
    for (int i = 0; i < n; ++i) (*x)[i] = -(*x)[i];
    EXPECT_EQ(astmShift(*x, n, *mean, state()), 101);
}

TEST(AutomaticStatic, FarFromUnitAmplitudesAndNearTiesKeepTheDirectSumsLag) {
    // The transform works in float: traces and means outside float's range must
    // be scaled, not flushed or overflowed, and near-equal peaks re-summed.
    std::mt19937 gen(29);
    std::uniform_int_distribution<int> d(-20000, 20000);
    const int n = 1500;
    for (long double xs : {1e30L, 1e-30L, 1e300L, 1e-300L, 1e-2000L, 1e2000L}) {
        for (long double ms : {1.0L, xs}) {
            auto mean = zeros(), x = zeros();
            for (int i = 0; i < n; ++i) (*mean)[i] = d(gen) * ms;
            for (int i = 0; i < n; ++i)
                (*x)[i] = ((i >= 40 ? (*mean)[i - 40] / ms : 0) + d(gen) / 4) * xs;
            const int want = directShift(*x, n, *mean);
            EXPECT_EQ(want, 41) << static_cast<double>(xs);
            EXPECT_EQ(astmShift(*x, n, *mean, state()), want) << static_cast<double>(xs);
        }
    }
    // A constant trace against a constant mean: sums fall by one overlap per lag,
    // so the first lag wins over a long run of close candidates.
    auto mean = zeros(), x = zeros();
    for (int i = 0; i < n; ++i) (*mean)[i] = 7, (*x)[i] = 5;
    EXPECT_EQ(astmShift(*x, n, *mean, state()), directShift(*x, n, *mean));
}

TEST(ReflectionCoefficient, WindowsOfExactlyWSamplesFromThePick) {
    auto t = zeros();
    for (int k = 0; k <= 2; ++k) (*t)[k] = 1000;
    for (int k = 49; k <= 52; ++k) (*t)[k] = -500;
    auto e = reflectionCoefficient(*t, 200, 50, 3, false, 0, 0);
    EXPECT_TRUE(e.fits);
    EXPECT_EQ(e.coefficient, 0.5L); // slots 50..52, not 49..52 over 3
    // With the spherical-divergence correction: times distance and scale.
    e = reflectionCoefficient(*t, 200, 50, 3, true, 75, 0.01L);
    EXPECT_NEAR(static_cast<double>(e.coefficient), 0.375, 1e-15);

    // A pick at the window start reads the first W samples, not slot -1.
    e = reflectionCoefficient(*t, 200, 0, 3, false, 0, 0);
    EXPECT_TRUE(e.fits);
    EXPECT_EQ(e.coefficient, 1);
    // Windows that leave the trace: 0, and said so.
    for (long long pick : {-1LL, 198LL, 10000LL}) {
        e = reflectionCoefficient(*t, 200, pick, 3, false, 0, 0);
        EXPECT_FALSE(e.fits) << pick;
        EXPECT_EQ(e.coefficient, 0) << pick;
    }
    EXPECT_TRUE(reflectionCoefficient(*t, 200, 197, 3, false, 0, 0).fits);
    EXPECT_FALSE(reflectionCoefficient(*t, 2, 0, 3, false, 0, 0).fits); // pulse window
    // No outgoing pulse: coefficient 0, the windows fit.
    (*t)[0] = (*t)[1] = (*t)[2] = 0;
    e = reflectionCoefficient(*t, 200, 50, 3, false, 0, 0);
    EXPECT_TRUE(e.fits);
    EXPECT_EQ(e.coefficient, 0);
}

TEST(AutomaticStatic, CorrelationTransformMatchesDirectSumsAtEveryLengthAndLag) {
    // Lengths across the transform sizes' edges, each sum against the direct one.
    std::mt19937 gen(5);
    std::uniform_real_distribution<double> d(-1, 1);
    modules::RealCorrelation corr;
    std::vector<long double> x(16383), m(16383);
    std::vector<double> c(16383);
    for (int n : {1, 2, 3, 4, 5, 8, 9, 257, 2048, 2049, 4000, 16383}) {
        for (int i = 0; i < n; ++i) x[i] = d(gen), m[i] = d(gen);
        corr.setReference(m.data(), n);
        long double xx = 0;
        for (int i = 0; i < n; ++i) xx += x[i] * x[i];
        EXPECT_NEAR(corr.correlate(x.data(), c.data()), static_cast<double>(xx), 1e-12 * n);
        double worst = 0;
        for (int lag = 0; lag < n; ++lag) {
            long double s = 0;
            for (int i = 0; i + lag < n; ++i) s += x[i + lag] * m[i];
            worst = std::max(worst, std::fabs(static_cast<double>(s) - c[lag]));
        }
        EXPECT_LT(worst, 1e-12 * n) << n; // the sums' norm bound is n here
    }
}
