// The static-shift and reflection-coefficient kernels on hand-made traces.
#include "core/error.h"
#include "processing/modules/correlation.h"
#include "processing/modules/decon.h"
#include "processing/modules/statics.h"

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <limits>
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

TEST(AutomaticStatic, TracesOfEveryAmplitudeInTurnKeepTheDirectSumsLag) {
    // Each trace is scaled as the last one was where that fits it: near the
    // last amplitude, far above and below it, and back.
    const int n = 3000;
    std::mt19937 gen(9);
    std::uniform_int_distribution<int> d(-20000, 20000);
    auto mean = zeros(), shape = zeros(), x = zeros();
    for (int i = 0; i < n; ++i) (*mean)[i] = d(gen);
    for (int i = 0; i < n; ++i) (*shape)[i] = (i >= 40 ? (*mean)[i - 40] : 0) + d(gen) / 3;
    ModuleState m;
    for (long double scale : {1.0L, 3.0L, 0.3L, 15.0L, 17.0L, 0x1p40L, 0x1p-50L, 1e-300L, 1.0L}) {
        for (int i = 0; i < n; ++i) (*x)[i] = (*shape)[i] * scale;
        EXPECT_EQ(astmShift(*x, n, *mean, m, 1), 41) << static_cast<double>(scale);
    }
}

TEST(AutomaticStatic, AVersionCountStandsForTheMeanUntilItChanges) {
    const int n = 1500;
    std::mt19937 gen(5);
    std::uniform_int_distribution<int> d(-3000, 3000);
    auto a = zeros(), b = zeros(), x = zeros();
    for (int i = 0; i < n; ++i) (*a)[i] = d(gen);
    for (int i = 3; i < n; ++i) (*b)[i] = (*a)[i - 3]; // a delayed by 3
    for (int i = 7; i < n; ++i) (*x)[i] = (*a)[i - 7]; // a delayed by 7
    ModuleState m;
    auto mean = std::make_unique<TraceBuffer>(*a);
    EXPECT_EQ(astmShift(*x, n, *mean, m, 1), 8);
    // A new count: the mean is looked at again.
    *mean = *b;
    EXPECT_EQ(astmShift(*x, n, *mean, m, 2), 5);
    // The same count: taken on trust, the mean's transform is the one of b.
    *mean = *a;
    EXPECT_EQ(astmShift(*x, n, *mean, m, 2), 5);
    // No count, or another length: compared once more.
    EXPECT_EQ(astmShift(*x, n, *mean, m), 8);
    *mean = *b;
    EXPECT_EQ(astmShift(*x, n, *mean, m, 2), 5);
    EXPECT_EQ(astmShift(*x, n - 1, *mean, m, 2), 5);
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

namespace {

// The direct search as the row sums it for short traces: every lag in extended
// precision with two interleaved accumulators; the first of the largest above 0.
int directSearchShift(const TraceBuffer& x, int n, const TraceBuffer& m) {
    int best = -1;
    long double top = 0;
    for (int k = 0; k < n; ++k) {
        long double s0 = 0, s1 = 0;
        int i = 0;
        for (; i + 2 <= n - k; i += 2) s0 += x[i + k] * m[i], s1 += x[i + k + 1] * m[i + 1];
        if (i < n - k) s0 += x[i + k] * m[i];
        if (s0 + s1 > top) top = s0 + s1, best = k;
    }
    return best < 0 || best + 1 >= n ? 0 : best + 1;
}

} // namespace

TEST(AutomaticStatic, RandomTracesAndBuiltNearTiesMatchTheDirectSearch) {
    std::mt19937 gen(2026);
    // Most traces short, every fourth up to 6000 samples (the direct sums are O(n^2)).
    std::uniform_int_distribution<int> shortLength(1, 1500), longLength(1501, 6000);
    std::uniform_int_distribution<int> sample(-30000, 30000), kind(0, 3);
    std::uniform_real_distribution<double> unit(-1, 1), decade(-6, 6);
    for (int t = 0; t < 200; ++t) {
        const int n = t % 4 == 3 ? longLength(gen) : shortLength(gen);
        const int delay = std::uniform_int_distribution<int>(0, n - 1)(gen);
        const int form = kind(gen);
        auto mean = zeros(), x = zeros();
        const long double scale = std::pow(10.0L, decade(gen));
        for (int i = 0; i < n; ++i) (*mean)[i] = form == 0 ? unit(gen) * scale : sample(gen);
        for (int i = delay; i < n; ++i) (*x)[i] = (*mean)[i - delay];
        if (form == 0) {
            for (int i = 0; i < n; ++i) (*x)[i] += unit(gen) * scale * 0.3;
        } else if (form == 1) {
            for (int i = 0; i < n; ++i) (*x)[i] += sample(gen) / 2;
        } else {
            // A second copy at another delay: equal peaks when the overlaps
            // match (a mean that ends early), else a near-tie; form 3 moves
            // one sum by a single unit.
            const int end = std::max(1, n / 8), other = std::min(n - 1, delay + end + 3);
            for (int i = end; i < n; ++i) (*mean)[i] = 0;
            for (int i = 0; i < n; ++i) (*x)[i] = 0;
            for (int i = 0; i < end && i + delay < n; ++i) (*x)[i + delay] = (*mean)[i];
            for (int i = 0; i < end && i + other < n; ++i) (*x)[i + other] += (*mean)[i];
            if (form == 3 && other + 1 < n) (*x)[other] += (*mean)[0] > 0 ? 1 : -1;
        }
        ASSERT_EQ(astmShift(*x, n, *mean, state()), directSearchShift(*x, n, *mean))
            << "trace " << t << " n " << n << " delay " << delay << " form " << form;
    }
}

TEST(AutomaticStatic, PeaksAtTheFirstAndLastLagsAcrossTransformSizes) {
    // Lengths just below, at and above a transform size change, the peak at
    // lag 0, n - 2 or n - 1 (the last lag sits in the last place the inverse
    // makes); small noise elsewhere.
    std::mt19937 gen(77);
    std::uniform_real_distribution<double> noise(-1e-3, 1e-3);
    modules::RealCorrelation corr;
    int lags[16];
    for (int n : {257, 511, 512, 513, 1024, 1025, 2047, 2048, 2049, 4096, 4097}) {
        for (int peakLag : {0, n - 2, n - 1}) {
            auto mean = zeros(), x = zeros();
            for (int i = 0; i < n; ++i) (*mean)[i] = noise(gen), (*x)[i] = noise(gen);
            (*mean)[0] += 1;
            (*x)[peakLag] += 1;
            if (peakLag == 0)
                for (int i = 0; i < n; ++i) (*x)[i] = (*mean)[i];
            const int want = directSearchShift(*x, n, *mean);
            EXPECT_EQ(want, peakLag + 1 >= n ? 0 : peakLag + 1);
            EXPECT_EQ(astmShift(*x, n, *mean, state()), want) << n << " " << peakLag;
            corr.setReference(mean->data(), n);
            bool sure = false;
            const int found = corr.candidates(x->data(), lags, 16, sure);
            ASSERT_GE(found, 1) << n << " " << peakLag;
            EXPECT_EQ(lags[0], peakLag) << n;
        }
    }
}

TEST(AutomaticStatic, TracesLeftToTheDoubleSearchMatchTheDirectSearch) {
    // A one-sample mean makes each sum the trace's own sample: twenty lags a
    // few units apart on a large value are too many for the float search.
    const int n = 1000;
    auto mean = zeros(), x = zeros();
    (*mean)[0] = 1;
    for (int k = 300; k < 320; ++k) (*x)[k] = 1000000 + (k * 7919) % 13;
    const int want = directSearchShift(*x, n, *mean);
    EXPECT_EQ(want, 305 + 1); // 12 at lags 305 and 318: the first
    EXPECT_EQ(astmShift(*x, n, *mean, state()), want);

    // Not a number, or an infinity, among the samples.
    std::mt19937 gen(4);
    std::uniform_int_distribution<int> d(-20000, 20000);
    for (int i = 0; i < n; ++i) (*mean)[i] = d(gen);
    for (long double odd : {std::numeric_limits<long double>::quiet_NaN(),
                            std::numeric_limits<long double>::infinity(),
                            -std::numeric_limits<long double>::infinity()}) {
        for (int i = 0; i < n; ++i) (*x)[i] = i >= 30 ? (*mean)[i - 30] : 0;
        (*x)[500] = odd;
        EXPECT_EQ(astmShift(*x, n, *mean, state()), directSearchShift(*x, n, *mean))
            << static_cast<double>(odd);
    }
}

// Eight lanes and, where the processor has them, sixteen.
class TransformLanes : public ::testing::TestWithParam<bool> {
protected:
    void SetUp() override { allowWideTransforms(GetParam()); }
    void TearDown() override { allowWideTransforms(true); }
};
INSTANTIATE_TEST_SUITE_P(Widths, TransformLanes, ::testing::Bool());

TEST_P(TransformLanes, CandidatesHoldTheFirstMaximumAtEveryLength) {
    // Every transform size from 8 points to 1024, where the float places change
    // their order within each 64 and where blocks pair with themselves; then
    // longer ones.
    std::mt19937 gen(21);
    std::uniform_int_distribution<int> d(-1000, 1000);
    modules::RealCorrelation corr;
    int lags[16];
    std::vector<int> lengths;
    for (int n = 1; n <= 520; n += n < 140 ? 1 : 7) lengths.push_back(n);
    for (int n : {1000, 2049, 4000, 8193}) lengths.push_back(n);
    for (int n : lengths) {
        // A delayed copy of the mean under noise, and noise alone (the largest
        // sum barely above the next).
        for (bool copy : {true, false}) {
            std::vector<long double> m(n), x(n, 0);
            for (auto& v : m) v = d(gen);
            const int delay = n / 3;
            for (int i = 0; i < n; ++i)
                x[i] = (copy && i >= delay ? m[i - delay] : 0) + d(gen) / (copy ? 8 : 1);
            std::vector<long double> r(n);
            correlate(n, n, n, r.data(), m.data(), x.data());
            const int want = static_cast<int>(std::max_element(r.begin(), r.end()) - r.begin());
            long double xx = 0, mm = 0;
            for (int i = 0; i < n; ++i) xx += x[i] * x[i], mm += m[i] * m[i];
            corr.setReference(m.data(), n);
            bool sure = false;
            const int found = corr.candidates(x.data(), lags, 16, sure);
            if (!copy && found == modules::RealCorrelation::kUseDouble) continue;
            if (r[want] <= 0) continue;
            ASSERT_GE(found, 1) << n << ' ' << copy;
            EXPECT_NE(std::find(lags, lags + found, want), lags + found) << n << ' ' << copy;
            if (sure) EXPECT_EQ(lags[0], want) << n;
            // None far below the largest: the float search is within its bound.
            for (int k = 0; k < found; ++k)
                EXPECT_GE(r[lags[k]], r[want] - 1e-4L * std::sqrt(xx * mm)) << n << ' ' << k;
        }
    }
}

TEST(AutomaticStatic, CandidateLagsAtTheSmallestLengthsAndExactTies) {
    modules::RealCorrelation corr;
    int lags[16];
    bool sure = true;
    // n = 2, sums 1 and 1: an exact tie stays for the extended sums.
    long double m2[] = {1, 0}, x2[] = {1, 1};
    corr.setReference(m2, 2);
    ASSERT_EQ(corr.candidates(x2, lags, 16, sure), 2);
    EXPECT_EQ(lags[0], 0);
    EXPECT_EQ(lags[1], 1);
    EXPECT_FALSE(sure);
    // n = 2, sums 2 and 1: one lag, surely above 0.
    long double m3[] = {1, 1};
    corr.setReference(m3, 2);
    ASSERT_EQ(corr.candidates(x2, lags, 16, sure), 1);
    EXPECT_EQ(lags[0], 0);
    EXPECT_TRUE(sure);
    // n = 1: a negative product leaves nothing; a positive one its lag.
    long double m1[] = {-3}, x1[] = {2};
    corr.setReference(m1, 1);
    EXPECT_EQ(corr.candidates(x1, lags, 16, sure), 0);
    x1[0] = -2;
    ASSERT_EQ(corr.candidates(x1, lags, 16, sure), 1);
    EXPECT_EQ(lags[0], 0);
    EXPECT_TRUE(sure);
    // Sums of 2^43 and 2^43 - 1: within the double sums' bound of each other,
    // so both go on to the extended sums; 2^43 and 2^43 - 2^20: below float's
    // resolution, parted by the double sums.
    const int n = 600;
    std::vector<long double> m(n, 0), x(n, 0);
    m[0] = 1 << 20, m[1] = 1;
    x[100] = 1 << 23;
    x[400] = (1 << 23) - 1, x[401] = (1 << 20) - 1;
    corr.setReference(m.data(), n);
    ASSERT_EQ(corr.candidates(x.data(), lags, 16, sure), 2);
    EXPECT_EQ(lags[0], 100);
    EXPECT_EQ(lags[1], 400);
    EXPECT_FALSE(sure);
    auto tx = zeros(), tm = zeros();
    std::copy(x.begin(), x.end(), tx->begin());
    std::copy(m.begin(), m.end(), tm->begin());
    EXPECT_EQ(astmShift(*tx, n, *tm, state()), 101);
    x[401] = 0;
    ASSERT_EQ(corr.candidates(x.data(), lags, 16, sure), 1);
    EXPECT_EQ(lags[0], 100);
    EXPECT_TRUE(sure);
}
