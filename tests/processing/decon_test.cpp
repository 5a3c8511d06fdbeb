#include "processing/modules/decon.h"

#include "core/error.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <random>
#include <vector>

using namespace tarnix;
using namespace tarnix::modules;

namespace {

std::unique_ptr<TraceBuffer> noise(int n, unsigned seed, double sd) {
    auto t = std::make_unique<TraceBuffer>();
    t->fill(0);
    std::mt19937 gen(seed);
    std::normal_distribution<double> g(0, sd);
    for (int i = 0; i < n; ++i) (*t)[i] = std::round(g(gen)) + 400 * std::sin(i * 0.2);
    return t;
}

// Gaussian elimination with partial pivoting on the full matrix.
std::vector<long double> gaussSolve(std::vector<std::vector<long double>> A,
                                    std::vector<long double> b) {
    const int n = int(b.size());
    for (int c = 0; c < n; ++c) {
        int p = c;
        for (int r = c + 1; r < n; ++r)
            if (std::fabs(A[r][c]) > std::fabs(A[p][c])) p = r;
        std::swap(A[c], A[p]);
        std::swap(b[c], b[p]);
        for (int r = c + 1; r < n; ++r) {
            const long double f = A[r][c] / A[c][c];
            for (int k = c; k < n; ++k) A[r][k] -= f * A[c][k];
            b[r] -= f * b[c];
        }
    }
    std::vector<long double> x(n);
    for (int r = n - 1; r >= 0; --r) {
        long double s = b[r];
        for (int k = r + 1; k < n; ++k) s -= A[r][k] * x[k];
        x[r] = s / A[r][r];
    }
    return x;
}

} // namespace

TEST(Correlation, LagsByHandAndFastPaths) {
    const long double a[] = {1, 2, 3}, b[] = {1, 0, -1};
    long double r[3];
    correlate(3, 3, 3, r, a, a);
    EXPECT_EQ(std::vector<long double>(r, r + 3), (std::vector<long double>{14, 8, 3}));
    correlate(3, 3, 2, r, b, a); // r[k] = sum a[i + k] b[i]
    EXPECT_EQ(std::vector<long double>(r, r + 2), (std::vector<long double>{-2, 2}));

    ModuleState st;
    const auto x = noise(6000, 1, 1000);
    for (int K : {200, 6000}) { // direct, then by transform
        std::vector<long double> ref(K), fast(K);
        correlate(6000, 6000, K, ref.data(), x->data(), x->data());
        autocorrelate(6000, K, fast.data(), x->data(), st);
        for (int k = 0; k < K; ++k)
            ASSERT_NEAR(double(fast[k]), double(ref[k]), 1e-12 * double(ref[0]));
    }
}

TEST(Levinson, FourByFourAgainstElimination) {
    // Positive definite, then indefinite with every leading block regular.
    const std::vector<std::vector<long double>> cases = {{4, 1, 0.5, 0.2}, {1, 2, 0.5, 0.3}};
    const std::vector<long double> g = {1, 2, 3, 4};
    std::vector<long double> f(4), work(8);
    for (const auto& r : cases) {
        std::vector<std::vector<long double>> A(4, std::vector<long double>(4));
        for (int i = 0; i < 4; ++i)
            for (int j = 0; j < 4; ++j) A[i][j] = r[std::abs(i - j)];
        const auto ref = gaussSolve(A, g);
        solveToeplitz(4, r.data(), g.data(), f.data(), work.data());
        for (int i = 0; i < 4; ++i) EXPECT_NEAR(double(f[i]), double(ref[i]), 1e-15) << i;
    }
    const long double ones[] = {1, 1, 1, 1};
    EXPECT_THROW(solveToeplitz(4, ones, g.data(), f.data(), work.data()), Error);
}

TEST(Decm, OperatorAndGapRules) {
    ModuleState st;
    const auto src = noise(600, 3, 500);
    auto decon = [&](int n, int op, int gap) {
        auto t = std::make_unique<TraceBuffer>(*src);
        decm(*t, n, op, gap, 0.01L, st);
        return t;
    };
    EXPECT_EQ(*decon(600, 1, 0), *decon(600, 128, 1)); // operator 1 -> 128, gap 0 -> 1
    EXPECT_NE(*decon(600, 128, 1), *src);
    // 200 samples: 100 + 128 > 200 makes the gap 1, while a gap of 50 fits.
    EXPECT_EQ(*decon(200, 128, 100), *decon(200, 128, 1));
    EXPECT_NE(*decon(200, 128, 50), *decon(200, 128, 1));
    // Gaps near the int limit fall back to 1 as well, without overflowing gap + L.
    EXPECT_EQ(*decon(600, 0, 2147483647), *decon(600, 128, 1));
    EXPECT_EQ(*decon(600, 128, 2147483647 - 100), *decon(600, 128, 1));
}

TEST(Decm, SpikeAndDeadTracePassUnchanged) {
    ModuleState st;
    auto t = std::make_unique<TraceBuffer>();
    t->fill(0);
    (*t)[49] = 1234; // every lag but 0 is 0, so f = 0 and d = (1, 0, ...)
    const TraceBuffer orig = *t;
    decm(*t, 300, 128, 1, 0.01L, st);
    EXPECT_EQ(*t, orig);
    (*t)[49] = 0; // a dead trace is passed, not divided by its zero energy
    EXPECT_NO_THROW(decm(*t, 300, 128, 1, 0.01L, st));
    EXPECT_EQ(std::count(t->begin(), t->end(), 0.0L), kTraceSlots);
    (*t)[10] = std::nanl("");
    EXPECT_THROW(decm(*t, 300, 128, 1, 0.01L, st), Error);
}

TEST(Decm, SpikingDeconWhitensMinimumPhaseWavelet) {
    // 0.8^k (one pole inside the unit circle) is predicted by f = (0.8, 0, ...):
    // the operator collapses it to a spike, leaving little of the 1.78 of energy
    // it had after its first sample.
    ModuleState st;
    auto t = std::make_unique<TraceBuffer>();
    t->fill(0);
    for (int i = 0; i < 400; ++i) (*t)[i] = std::pow(0.8L, i);
    decm(*t, 400, 10, 1, 0.01L, st);
    EXPECT_NEAR(double((*t)[0]), 1, 1e-12);
    long double rest = 0;
    for (int i = 1; i < 400; ++i) rest += (*t)[i] * (*t)[i];
    EXPECT_LT(rest, 0.002);
}

TEST(Acfm, DivisorBelowOneActsAsOneAndOutputStaysInRange) {
    ModuleState st;
    const auto src = noise(2000, 4, 3000);
    auto a = std::make_unique<TraceBuffer>(*src), b = std::make_unique<TraceBuffer>(*src);
    acfm(*a, 2000, 2000, 0, 32768, 20, true, st);
    acfm(*b, 2000, 2000, 1, 32768, 20, false, st);
    EXPECT_EQ(*a, *b);
    EXPECT_GT(*std::max_element(a->begin(), a->begin() + 2000), 8192); // scaled to 0..16384
    EXPECT_LE(*std::max_element(a->begin(), a->begin() + 2000), 16384);
    EXPECT_EQ(*std::min_element(a->begin(), a->begin() + 2000), 0);
    EXPECT_EQ((*a)[2000], (*src)[2000]);       // beyond n untouched
    EXPECT_EQ(st.filters[1].coef.size(), 33u); // row 1's store holds the 32-point design

    auto z = std::make_unique<TraceBuffer>();
    z->fill(0);
    acfm(*z, 2000, 2000, 10, 32768, 20, true, st);
    EXPECT_EQ(std::count(z->begin(), z->end(), 0.0L), kTraceSlots);
    EXPECT_THROW(acfm(*z, 2000, 2000, 10, 32768, 0, true, st), Error);
}
