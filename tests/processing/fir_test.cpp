#include "processing/modules/fir.h"

#include "core/error.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <numbers>
#include <random>
#include <vector>

using namespace tarnix;
using namespace tarnix::modules;

namespace {

constexpr double kPi = std::numbers::pi;

std::unique_ptr<TraceBuffer> randomTrace(int n, unsigned seed) {
    auto t = std::make_unique<TraceBuffer>();
    t->fill(0);
    std::mt19937 gen(seed);
    std::normal_distribution<double> g(0, 2000);
    for (int i = 0; i < n; ++i) (*t)[i] = std::round(g(gen));
    return t;
}

std::vector<long double> design(int length, int taper, int type, double hi, double lo,
                                long double rate) {
    std::vector<long double> c;
    std::vector<double> half(20000);
    designFir(length, taper, type, hi, lo, rate, c, half.data());
    return c;
}

} // namespace

TEST(FirDesign, ThreePointBandPass) {
    // 1 kHz sampling, 100..200 Hz: wl = 0.1, wh = 0.2; Hamming N = 3 gives w[2] = 0.08.
    const auto c = design(3, kHamming, kBandPass, 200, 100, 1);
    ASSERT_EQ(c.size(), 3u);
    EXPECT_NEAR(double(c[1]), 2 * (0.2 - 0.1), 1e-15);
    const double side = (std::sin(2 * kPi * 0.2) - std::sin(2 * kPi * 0.1)) / kPi * 0.08;
    EXPECT_NEAR(double(c[0]), side, 1e-15);
    EXPECT_EQ(c[0], c[2]);
}

TEST(FirDesign, BandPassMatchesWindowedIdealResponse) {
    // The ideal band-pass as a difference of two sincs on t = -64..64, times the
    // Hamming window written over n = 0..N-1.
    const int L = 129;
    const double fs = 4000, lo = 300, hi = 900;
    const auto c = design(128, kHamming, kBandPass, hi, lo, fs / 1000);
    ASSERT_EQ(int(c.size()), L);
    for (int n = 0; n < L; ++n) {
        const int t = n - 64;
        const double ideal =
            t == 0
                ? 2 * (hi - lo) / fs
                : (std::sin(2 * kPi * hi / fs * t) - std::sin(2 * kPi * lo / fs * t)) / (kPi * t);
        const double w = 0.54 - 0.46 * std::cos(2 * kPi * n / (L - 1));
        ASSERT_NEAR(double(c[n]), ideal * w, 1e-15) << n;
    }
    // Its response: about 1 in the pass band, about 0 at DC and far above.
    auto gainAt = [&](double f) {
        std::complex<double> s = 0;
        for (int n = 0; n < L; ++n) s += double(c[n]) * std::polar(1.0, -2 * kPi * f / fs * n);
        return std::abs(s);
    };
    EXPECT_NEAR(gainAt(600), 1, 0.01);
    EXPECT_LT(gainAt(0), 0.01);
    EXPECT_LT(gainAt(1800), 0.01);
}

TEST(FirDesign, HighPassCentreAndTapers) {
    for (int taper = kHamming; taper <= kKaiser; ++taper) {
        const auto c = design(65, taper, kHighPass, 0, 250, 2);
        EXPECT_NEAR(double(c[32]), 1 - 2 * 250.0 / 2000, 1e-15) << taper;
        EXPECT_EQ(taperValue(taper, 1, 33), 1);
    }
    EXPECT_NEAR(taperValue(kHamming, 33, 33), 0.08, 1e-15);
    EXPECT_NEAR(taperValue(kTriangular, 33, 33), 1 - 32.0 / 33, 1e-15);
    // Kaiser, beta 6: the outermost value is 1 / I0(6).
    EXPECT_NEAR(taperValue(kKaiser, 33, 33), 1 / 67.23440697647798, 1e-12);
    for (int k = 2; k <= 33; ++k)
        EXPECT_LT(taperValue(kKaiser, k, 33), taperValue(kKaiser, k - 1, 33));
    // A one-point filter has no 0 / 0 in its taper.
    const auto one = design(1, kCosine, kLowPass, 100, 0, 1);
    ASSERT_EQ(one.size(), 1u);
    EXPECT_NEAR(double(one[0]), 0.2, 1e-15);
}

TEST(Convolution, AlignmentAndFastPathAgree) {
    // L = 1, c = 1, alignment: s = 1, the trace moves one sample earlier.
    ModuleState st;
    std::vector<long double> x = {1, 2, 3, 4}, y(5, -1);
    const long double one = 1;
    convolve(4, 1, 5, &one, 1, x.data(), true, y.data());
    EXPECT_EQ(y[0], 2);
    EXPECT_EQ(y[2], 4);
    EXPECT_EQ(y[3], 0);
    std::vector<long double> yf(5, -1);
    convolveFast(4, 1, 5, &one, 1, x.data(), true, yf.data(), st);
    EXPECT_EQ(yf, y);

    const int n = 5000;
    auto t = randomTrace(n, 11);
    for (int L : {3, 17, 128, 129, 700}) {
        const auto c = design(L, kHanning, kBandPass, 1200, 100, 8);
        for (bool align : {true, false}) {
            std::vector<long double> ref(n + L), fast(n + L);
            convolve(n, L, n + L, c.data(), int(c.size()), t->data(), align, ref.data());
            convolveFast(n, L, n + L, c.data(), int(c.size()), t->data(), align, fast.data(), st);
            long double peak = 0, worst = 0;
            for (int k = 0; k < n + L; ++k) {
                peak = std::max(peak, std::fabs(ref[k]));
                worst = std::max(worst, std::fabs(ref[k] - fast[k]));
            }
            EXPECT_LT(worst, 1e-9L * peak) << L;
        }
    }
}

TEST(Fltm, NotchWithEqualCutsPassesTheTrace) {
    ModuleState st;
    auto t = randomTrace(3000, 4);
    auto orig = std::make_unique<TraceBuffer>(*t);
    fltm(*t, 1, 3000, kHamming, true, 128, 50, 50, kNotch, 4, st);
    for (int i = 0; i < 3000; ++i) ASSERT_EQ((*t)[i], (*orig)[i]) << i;
    // The tail keeps the unshifted full convolution: the last 64 samples again.
    for (int i = 0; i < 64; ++i) ASSERT_EQ((*t)[3000 + i], (*orig)[2936 + i]) << i;
    for (int i = 3064; i < 3128; ++i) ASSERT_EQ((*t)[i], 0) << i;
    EXPECT_EQ((*t)[3128], 0);
    EXPECT_EQ(st.fltmType, kNotch);
}

TEST(Fltm, KeepsEachRowsFilterUntilRedesigned) {
    ModuleState st;
    const auto src = randomTrace(2000, 8);
    auto run = [&](int row, bool redesign, double hi) {
        auto t = std::make_unique<TraceBuffer>(*src);
        fltm(*t, row, 2000, kHamming, redesign, 64, hi, 10, kLowPass, 4, st);
        return t;
    };
    const auto a = run(2, true, 200);
    const auto b = run(3, true, 900);
    EXPECT_EQ(*run(2, false, 900), *a); // row 2 still holds the 200 Hz design
    EXPECT_EQ(*run(2, true, 900), *b);
    EXPECT_NE(*a, *b);
    // A row never designed is designed on its first call whatever the flag.
    EXPECT_EQ(*run(4, false, 900), *b);
}

TEST(Fltm, RefusesWhatDoesNotFitAndLeavesTheTrace) {
    ModuleState st;
    auto t = randomTrace(1000, 2);
    const TraceBuffer orig = *t;
    EXPECT_THROW(fltm(*t, 11, 1000, kHamming, true, 128, 200, 10, kBandPass, 4, st), Error);
    EXPECT_THROW(fltm(*t, 0, 1000, kHamming, true, 128, 200, 10, kBandPass, 4, st), Error);
    EXPECT_THROW(fltm(*t, 1, 1000, kHamming, true, 128, 200, 10, kBandPass, 0, st), Error);
    EXPECT_THROW(fltm(*t, 1, 1000, kHamming, true, 0, 200, 10, kBandPass, 4, st), Error);
    EXPECT_THROW(fltm(*t, 1, 1000, kHamming, true, 31767, 200, 10, kBandPass, 4, st), Error);
    EXPECT_THROW(fltm(*t, 1, 1000, 7, true, 128, 200, 10, kBandPass, 4, st), Error);
    EXPECT_THROW(fltm(*t, 1, 1000, kHamming, true, 128, 200, 10, 4, 4, st), Error);
    EXPECT_EQ(*t, orig);
    // The largest filter that fits: 1000 + 31766 = 32766 slots.
    EXPECT_NO_THROW(fltm(*t, 1, 1000, kHamming, true, 31766, 200, 10, kBandPass, 4, st));
    for (int i = 0; i < 1000; ++i) ASSERT_TRUE(std::isfinite((*t)[i]));
}
