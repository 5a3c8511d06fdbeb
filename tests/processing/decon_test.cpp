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

std::unique_ptr<TraceBuffer> zeroTrace() {
    auto t = std::make_unique<TraceBuffer>();
    t->fill(0);
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

// Normalised autocorrelation at lag k of x[0..n-1].
double lagCoefficient(const TraceBuffer& x, int n, int k) {
    long double s0 = 0, sk = 0;
    for (int i = 0; i < n; ++i) s0 += x[i] * x[i];
    for (int i = 0; i + k < n; ++i) sk += x[i] * x[i + k];
    return double(sk / s0);
}

} // namespace

TEST(Correlation, LagsByHandAndFastPaths) {
    const long double a[] = {1, 2, 3};
    long double r[3];
    correlate(3, 3, 3, r, a, a);
    EXPECT_EQ(r[0], 14);
    EXPECT_EQ(r[1], 8);
    EXPECT_EQ(r[2], 3);
    const long double b[] = {1, 0, -1};
    correlate(3, 3, 2, r, b, a); // r[k] = sum a[i + k] * b[i]
    EXPECT_EQ(r[0], -2);
    EXPECT_EQ(r[1], 2);

    ModuleState st;
    std::mt19937 gen(1);
    std::normal_distribution<double> g(0, 1000);
    std::vector<long double> x(6000);
    for (auto& v : x) v = std::round(g(gen));
    for (int K : {1, 200, 6000}) { // direct path, then by transform
        std::vector<long double> ref(K), fast(K + 5, -1);
        correlate(6000, 6000, K, ref.data(), x.data(), x.data());
        autocorrelate(6000, K, fast.data(), x.data(), st);
        for (int k = 0; k < K; ++k)
            ASSERT_NEAR(double(fast[k]), double(ref[k]), 1e-12 * double(ref[0]));
    }
    std::vector<long double> r2(10, -1);
    autocorrelate(4, 10, r2.data(), x.data(), st); // lags past the trace are 0
    EXPECT_EQ(r2[4], 0);
    EXPECT_EQ(r2[9], 0);
}

TEST(Levinson, FourByFourAgainstElimination) {
    const std::vector<std::vector<long double>> cases = {
        {4, 1, 0.5, 0.2}, // positive definite
        {1, 2, 0.5, 0.3}, // indefinite but every leading block regular
    };
    const std::vector<long double> g = {1, 2, 3, 4};
    for (const auto& r : cases) {
        std::vector<std::vector<long double>> A(4, std::vector<long double>(4));
        for (int i = 0; i < 4; ++i)
            for (int j = 0; j < 4; ++j) A[i][j] = r[std::abs(i - j)];
        const auto ref = gaussSolve(A, g);
        std::vector<long double> f(4), work(8);
        solveToeplitz(4, r.data(), g.data(), f.data(), work.data());
        for (int i = 0; i < 4; ++i) EXPECT_NEAR(double(f[i]), double(ref[i]), 1e-15) << i;
    }
    const long double ones[] = {1, 1, 1, 1};
    std::vector<long double> f(4), work(8);
    EXPECT_THROW(solveToeplitz(4, ones, g.data(), f.data(), work.data()), Error);
}

TEST(Decm, OperatorAndGapRules) {
    ModuleState st;
    std::mt19937 gen(3);
    std::normal_distribution<double> g(0, 500);
    auto src = zeroTrace();
    for (int i = 0; i < 600; ++i) (*src)[i] = std::round(g(gen)) + 400 * std::sin(i * 0.2);

    auto a = std::make_unique<TraceBuffer>(*src), b = std::make_unique<TraceBuffer>(*src);
    decm(*a, 600, 1, 0, 0.01L, st); // operator 1 -> 128, gap 0 -> 1
    decm(*b, 600, 128, 1, 0.01L, st);
    EXPECT_EQ(*a, *b);
    EXPECT_NE(*a, *src);

    // 200 samples: gap 100 + 128 > 200, so the gap becomes 1.
    a = std::make_unique<TraceBuffer>(*src), b = std::make_unique<TraceBuffer>(*src);
    decm(*a, 200, 128, 100, 0.01L, st);
    decm(*b, 200, 128, 1, 0.01L, st);
    EXPECT_EQ(*a, *b);
    // ...while gap 50 fits and gives another result.
    b = std::make_unique<TraceBuffer>(*src);
    decm(*b, 200, 128, 50, 0.01L, st);
    EXPECT_NE(*a, *b);
}

TEST(Decm, SpikeAndDeadTracePassUnchanged) {
    ModuleState st;
    auto t = zeroTrace();
    (*t)[49] = 1234;
    const TraceBuffer orig = *t;
    decm(*t, 300, 128, 1, 0.01L, st);
    EXPECT_EQ(*t, orig);

    auto z = zeroTrace();
    EXPECT_NO_THROW(decm(*z, 300, 128, 1, 0.01L, st));
    for (int i = 0; i < 500; ++i) ASSERT_EQ((*z)[i], 0);

    (*t)[10] = std::nanl("");
    EXPECT_THROW(decm(*t, 300, 128, 1, 0.01L, st), Error);
}

TEST(Decm, SpikingDeconWhitensMinimumPhaseWavelet) {
    // The wavelet 0.8^k (minimum phase, one pole) is predicted by f = (0.8, 0, ...):
    // the operator collapses it to a spike.
    ModuleState st;
    auto t = zeroTrace();
    for (int i = 0; i < 400; ++i) (*t)[i] = std::pow(0.8L, i);
    decm(*t, 400, 10, 1, 0.01L, st);
    EXPECT_NEAR(double((*t)[0]), 1, 1e-12);
    long double rest = 0; // 1.78 before
    for (int i = 1; i < 400; ++i) rest += (*t)[i] * (*t)[i];
    EXPECT_LT(rest, 0.002);

    // A sparse reflectivity series through a two-pole minimum-phase wavelet:
    // strongly coloured before, nearly white after.
    std::mt19937 gen(9);
    std::uniform_real_distribution<double> u(-1, 1);
    std::vector<double> refl(4000, 0.0);
    for (int i = 0; i < 4000; i += 7) refl[i] = u(gen);
    auto s = zeroTrace();
    for (int i = 0; i < 4000; ++i) {
        long double v = refl[i] * 1000;
        if (i >= 1) v += 1.2L * (*s)[i - 1];
        if (i >= 2) v -= 0.5L * (*s)[i - 2]; // poles inside the unit circle
        (*s)[i] = v;
    }
    EXPECT_GT(lagCoefficient(*s, 4000, 1), 0.5);
    decm(*s, 4000, 32, 1, 0.01L, st);
    for (int k = 1; k <= 10; ++k) EXPECT_LT(std::fabs(lagCoefficient(*s, 4000, k)), 0.1) << k;
}

TEST(Acfm, DivisorBelowOneActsAsOneAndOutputStaysInRange) {
    ModuleState st;
    std::mt19937 gen(4);
    std::normal_distribution<double> g(0, 3000);
    auto src = zeroTrace();
    for (int i = 0; i < 2000; ++i) (*src)[i] = std::round(g(gen));
    auto a = std::make_unique<TraceBuffer>(*src), b = std::make_unique<TraceBuffer>(*src);
    acfm(*a, 2000, 2000, 0, 32768, 20, true, st);
    acfm(*b, 2000, 2000, 1, 32768, 20, false, st);
    EXPECT_EQ(*a, *b);
    long double top = 0;
    for (int i = 0; i < 2000; ++i) {
        ASSERT_GE((*a)[i], 0);
        ASSERT_LE((*a)[i], 16384);
        top = std::max(top, (*a)[i]);
    }
    EXPECT_GT(top, 0);
    EXPECT_EQ((*a)[2000], 0); // beyond n untouched
    EXPECT_TRUE(st.filters[1].designed);
    EXPECT_EQ(st.filters[1].coef.size(), 33u);

    auto z = zeroTrace();
    acfm(*z, 2000, 2000, 10, 32768, 20, true, st);
    for (int i = 0; i < 2100; ++i) ASSERT_EQ((*z)[i], 0);
    EXPECT_THROW(acfm(*z, 2000, 2000, 10, 32768, 0, true, st), Error);
}
