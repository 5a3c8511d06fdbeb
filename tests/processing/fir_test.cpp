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

std::unique_ptr<TraceBuffer> noise(int n, unsigned seed) {
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

TEST(FirDesign, BandPassMatchesWindowedIdealResponse) {
    // L = 3 at 1 kHz, 100..200 Hz: centre 2 (wh - wl), sides tapered by w[2] = 0.08.
    auto c = design(3, kHamming, kBandPass, 200, 100, 1);
    ASSERT_EQ(c.size(), 3u);
    EXPECT_NEAR(double(c[1]), 0.2, 1e-15);
    EXPECT_NEAR(double(c[0]), (std::sin(2 * kPi * 0.2) - std::sin(2 * kPi * 0.1)) / kPi * 0.08,
                1e-15);
    EXPECT_EQ(c[0], c[2]);

    // 128 points (129 designed): the ideal band-pass as a difference of two
    // sincs at t = -64..64, times the Hamming window written over n = 0..128.
    const double fs = 4000, lo = 300, hi = 900;
    c = design(128, kHamming, kBandPass, hi, lo, fs / 1000);
    ASSERT_EQ(c.size(), 129u);
    for (int n = 0; n < 129; ++n) {
        const int t = n - 64;
        const double ideal =
            t == 0
                ? 2 * (hi - lo) / fs
                : (std::sin(2 * kPi * hi / fs * t) - std::sin(2 * kPi * lo / fs * t)) / (kPi * t);
        ASSERT_NEAR(double(c[n]), ideal * (0.54 - 0.46 * std::cos(2 * kPi * n / 128)), 1e-15) << n;
    }
}

TEST(FirDesign, HighPassCentreAndTapers) {
    for (int taper = kHamming; taper <= kKaiser; ++taper)
        EXPECT_NEAR(double(design(65, taper, kHighPass, 0, 250, 2)[32]), 1 - 2 * 0.125, 1e-15);
    // Kaiser, beta 6: 1 at the centre falling to 1 / I0(6) at the end.
    EXPECT_NEAR(taperValue(kKaiser, 33, 33), 1 / 67.23440697647796, 1e-12);
    for (int k = 2; k <= 33; ++k)
        EXPECT_LT(taperValue(kKaiser, k, 33), taperValue(kKaiser, k - 1, 33));
    // A one-point filter has no 0 / 0 in its taper.
    EXPECT_NEAR(double(design(1, kCosine, kLowPass, 100, 0, 1).at(0)), 0.2, 1e-15);
}

TEST(Convolution, AlignmentAndFastPathAgreeWithDirectSum) {
    // L = 1, c = 1, alignment: s = 1, the trace moves one sample earlier.
    ModuleState st;
    std::vector<long double> x = {1, 2, 3, 4}, y(5, -1), yf(5, -1);
    const long double one = 1;
    convolve(4, 1, 5, &one, 1, x.data(), true, y.data());
    convolveFast(4, 1, 5, &one, 1, x.data(), true, yf.data(), st);
    EXPECT_EQ(y, (std::vector<long double>{2, 3, 4, 0, 0}));
    EXPECT_EQ(yf, y);

    // FLTM's path against the direct extended sum, to 1e-9 of the trace's peak.
    const int n = 16383;
    const auto src = noise(n, 11);
    for (int L : {3, 128, 129, 700}) {
        auto t = std::make_unique<TraceBuffer>(*src);
        fltm(*t, 1, n, kHanning, true, L, 1200, 100, kBandPass, 8, st);
        std::vector<long double> ref(n + L);
        const auto& c = st.filters[1].coef;
        convolve(n, L, n + L, c.data(), int(c.size()), src->data(), true, ref.data());
        long double peak = 0;
        for (int k = 0; k < n; ++k) peak = std::max(peak, std::fabs((*src)[k]));
        for (int k = 0; k < n + L; ++k) ASSERT_LT(std::fabs(ref[k] - (*t)[k]), 1e-9L * peak) << L;
    }
}

TEST(Fltm, NotchWithEqualCutsPassesTheTrace) {
    ModuleState st;
    auto t = noise(3000, 4);
    const auto orig = std::make_unique<TraceBuffer>(*t);
    fltm(*t, 1, 3000, kHamming, true, 128, 50, 50, kNotch, 4, st);
    for (int i = 0; i < 3000; ++i) ASSERT_EQ((*t)[i], (*orig)[i]) << i;
    // The tail keeps the unshifted full convolution: the last 64 samples again.
    for (int i = 0; i < 64; ++i) ASSERT_EQ((*t)[3000 + i], (*orig)[2936 + i]) << i;
    EXPECT_EQ(st.fltmType, kNotch);
}

TEST(Fltm, KeepsEachRowsFilterUntilRedesigned) {
    ModuleState st;
    const auto src = noise(2000, 8);
    auto run = [&](int row, bool redesign, double hi) {
        auto t = std::make_unique<TraceBuffer>(*src);
        fltm(*t, row, 2000, kHamming, redesign, 64, hi, 10, kLowPass, 4, st);
        return t;
    };
    const auto a = run(2, true, 200), b = run(3, true, 900);
    EXPECT_NE(*a, *b);
    EXPECT_EQ(*run(2, false, 900), *a); // row 2 still holds the 200 Hz design
    EXPECT_EQ(*run(2, true, 900), *b);
    EXPECT_EQ(*run(4, false, 900), *b); // a row never designed is designed now
}

TEST(Fltm, RefusesWhatDoesNotFitAndLeavesTheTrace) {
    ModuleState st;
    auto t = noise(1000, 2);
    const TraceBuffer orig = *t;
    auto call = [&](int row, int taper, int length, int type, long double rate) {
        fltm(*t, row, 1000, taper, true, length, 200, 10, type, rate, st);
    };
    EXPECT_THROW(call(11, kHamming, 128, kBandPass, 4), Error); // no filter store
    EXPECT_THROW(call(0, kHamming, 128, kBandPass, 4), Error);
    EXPECT_THROW(call(1, kHamming, 128, kBandPass, 0), Error); // zero sample rate
    EXPECT_THROW(call(1, kHamming, 0, kBandPass, 4), Error);
    EXPECT_THROW(call(1, kHamming, 31767, kBandPass, 4), Error); // 1000 + 31767 > 32766
    EXPECT_THROW(call(1, 7, 128, kBandPass, 4), Error);
    EXPECT_THROW(call(1, kHamming, 128, 4, 4), Error);
    EXPECT_THROW(fltm(*t, 1, 1000, kHamming, true, 128, NAN, 10, kBandPass, 4, st), Error);
    EXPECT_EQ(*t, orig);
    EXPECT_NO_THROW(call(1, kHamming, 31766, kBandPass, 4)); // exactly fills the buffer
}

TEST(Convolution, EveryOutputSummedTheSameWayWhereverItFalls) {
    // Outputs fall in blocks of 20, blocks of 4 or alone depending on n and
    // their place; the same samples under the same taps must give the same
    // bits in each, and short filters (phases without taps) and lengths at
    // the block edges must agree with the direct sum.
    ModuleState st;
    std::mt19937 gen(5);
    std::normal_distribution<double> g(0, 1000);
    for (int taps : {1, 2, 3, 4, 5, 6, 9, 21, 24, 25, 129}) {
        std::vector<long double> c(taps);
        for (auto& v : c) v = g(gen) / 1000;
        std::vector<double> x(70);
        for (auto& v : x) v = std::round(g(gen));
        const int n = 44;
        std::vector<double> base(n + taps + 64), moved(n + taps + 64);
        convolveFast(n, taps, n + taps - 1, c.data(), taps, x.data() + 20, false, base.data(), st);
        for (int shift = 1; shift <= 20; ++shift) {
            // The same samples start `shift` later; the first outputs see the zeros before them.
            std::vector<double> xs(n + shift, 0.0);
            std::copy(x.begin() + 20, x.begin() + 20 + n, xs.begin() + shift);
            convolveFast(n + shift, taps, n + shift + taps - 1, c.data(), taps, xs.data(), false,
                         moved.data(), st);
            for (int k = 0; k < n + taps - 1; ++k)
                ASSERT_EQ(moved[k + shift], base[k]) << taps << " shift " << shift << " k " << k;
        }
        for (int m : {1, 3, 4, 19, 20, 21, 23, 40, 41}) {
            std::vector<long double> xl(x.begin(), x.begin() + m), want(m + taps - 1);
            std::vector<double> got(m + taps + 64);
            convolve(m, taps, m + taps - 1, c.data(), taps, xl.data(), false, want.data());
            convolveFast(m, taps, m + taps - 1, c.data(), taps, x.data(), false, got.data(), st);
            for (int k = 0; k < m + taps - 1; ++k)
                ASSERT_NEAR(got[k], double(want[k]), 1e-9 * 1000 * taps) << taps << " n " << m;
        }
    }
}
