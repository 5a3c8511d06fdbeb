#include "processing/modules/fft.h"

#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <memory>
#include <numbers>
#include <random>
#include <vector>

using namespace tarnix;
using namespace tarnix::modules;
using cd = std::complex<double>;

namespace {

std::vector<cd> randomSignal(int N, unsigned seed) {
    std::mt19937 gen(seed);
    std::uniform_real_distribution<double> u(-1, 1);
    std::vector<cd> v(N);
    for (auto& z : v) z = {u(gen), u(gen)};
    return v;
}

// Textbook DFT with the e^(+2 pi i jk/N) kernel, every term's angle anew.
std::vector<std::complex<long double>> directDft(const std::vector<cd>& x) {
    const int N = static_cast<int>(x.size());
    std::vector<std::complex<long double>> X(N);
    for (int k = 0; k < N; ++k)
        for (int j = 0; j < N; ++j) {
            const long double ang = 2 * std::numbers::pi_v<long double> * ((long(j) * k) % N) / N;
            X[k] += std::complex<long double>(x[j].real(), x[j].imag()) *
                    std::complex<long double>(std::cos(ang), std::sin(ang));
        }
    return X;
}

} // namespace

TEST(PowerOfTwo, SmallestPowerNotBelowN) {
    EXPECT_EQ(powerOfTwo(1000).N, 1024);
    EXPECT_EQ(powerOfTwo(1000).m, 10);
    EXPECT_EQ(powerOfTwo(1024).N, 1024);
    EXPECT_EQ(powerOfTwo(1024).m, 10);
    EXPECT_EQ(powerOfTwo(1025).N, 2048);
    EXPECT_EQ(powerOfTwo(1025).m, 11);
    EXPECT_EQ(powerOfTwo(1).N, 1);
    EXPECT_EQ(powerOfTwo(0).N, 1);
    EXPECT_EQ(powerOfTwo(0).m, 0);
}

TEST(FirstFft, MatchesDirectTransformAndInverts) {
    for (int N : {1, 2, 8, 64, 512}) {
        const auto x = randomSignal(N, N);
        std::vector<cd> X(N), back(N);
        fftForward(x.data(), X.data(), N);
        const auto ref = directDft(x);
        for (int k = 0; k < N; ++k) {
            ASSERT_NEAR(X[k].real(), double(ref[k].real()), 1e-11 * N) << N << " bin " << k;
            ASSERT_NEAR(X[k].imag(), double(ref[k].imag()), 1e-11 * N) << N << " bin " << k;
        }
        fftInverse(X.data(), back.data(), N);
        for (int k = 0; k < N; ++k) ASSERT_LT(std::abs(back[k] - x[k]), 1e-14) << N;
    }
    const int N = 16384;
    const auto x = randomSignal(N, 3);
    std::vector<cd> X(N), back(N);
    fftForward(x.data(), X.data(), N);
    fftInverse(X.data(), back.data(), N);
    double worst = 0;
    for (int k = 0; k < N; ++k) worst = std::max(worst, std::abs(back[k] - x[k]));
    EXPECT_LT(worst, 1e-12);
}

TEST(SecondFft, MatchesFirstFftOnZeroPaddedTrace) {
    const int n = 200, N = 256, m = 8;
    std::vector<long double> x(n), re(N), im(N);
    std::vector<cd> z(N), Z(N);
    std::mt19937 gen(5);
    std::normal_distribution<double> g(0, 100);
    for (int i = 0; i < n; ++i) z[i] = x[i] = std::round(g(gen));
    secondFft(x.data(), n, m, N, re.data(), im.data());
    const auto ref = directDft(z);
    for (int k = 0; k < N; ++k) {
        ASSERT_NEAR(double(re[k]), double(ref[k].real()), 1e-9) << k;
        ASSERT_NEAR(double(im[k]), double(ref[k].imag()), 1e-9) << k;
    }
}

TEST(Spectrum, SinePeaksAtItsBinAndZeroTraceGivesZeros) {
    // 250 Hz sampled at 4 kHz: 64 cycles in 1024 samples, bin 65 counted from 1.
    const int n = 1024;
    const auto p = powerOfTwo(n);
    std::vector<long double> x(n), re(p.N), im(p.N), amp(p.N), ph(p.N);
    for (int i = 0; i < n; ++i)
        x[i] = 1000 * std::sin(2 * std::numbers::pi_v<long double> * 250 * i / 4000) + 300;
    secondFft(x.data(), n, p.m, p.N, re.data(), im.data());
    spectrum(p.N, n, re.data(), im.data(), amp.data(), ph.data());
    int best = 1;
    for (int k = 2; k <= p.N / 2; ++k)
        if (amp[k - 1] > amp[best - 1]) best = k;
    EXPECT_EQ(best, 65);
    EXPECT_DOUBLE_EQ(double(amp[64]), 1.0);
    EXPECT_NEAR(double(amp[0]), 300.0 * 1024 / (1000.0 * 1024 / 2), 1e-9); // DC scaled too
    EXPECT_EQ(amp[p.N / 2], 0);                                            // above N/2
    EXPECT_NEAR(double(ph[64]), -std::numbers::pi / 2, 1e-9); // e^(+i...) kernel: X = +i N/2

    std::fill(x.begin(), x.end(), 0);
    secondFft(x.data(), n, p.m, p.N, re.data(), im.data());
    spectrum(p.N, n, re.data(), im.data(), amp.data(), ph.data());
    for (int k = 0; k < n; ++k) ASSERT_EQ(amp[k], 0) << k;
}

TEST(Fftf, MaskEdgesAndFftm) {
    ModuleState st;
    auto t = std::make_unique<TraceBuffer>();
    t->fill(9);
    for (int i = 0; i < 1000; ++i) (*t)[i] = 100 * std::cos(i * 0.3) + i % 7;
    auto orig = std::make_unique<TraceBuffer>(*t);

    fftf(*t, 1000, 1, "LP", st); // bin 1 itself and all above removed
    for (int i = 0; i < 1000; ++i) ASSERT_EQ((*t)[i], 0) << i;
    EXPECT_EQ((*t)[1000], 9);

    *t = *orig;
    fftf(*t, 1000, 0, "HP", st); // every bin above 0 kept: the trace comes back
    for (int i = 0; i < 1000; ++i) ASSERT_NEAR(double((*t)[i]), double((*orig)[i]), 1e-9) << i;

    // "LP" at 2 keeps only the zero-frequency bin: the mean of the padded trace.
    *t = *orig;
    fftf(*t, 1000, 2, "LP", st);
    long double mean = 0;
    for (int i = 0; i < 1000; ++i) mean += (*orig)[i];
    mean /= 1024;
    for (int i = 0; i < 1000; ++i) ASSERT_NEAR(double((*t)[i]), double(mean), 1e-9);

    t->fill(0);
    fftm(*t, 1000, st);
    for (int i = 0; i < 1000; ++i) ASSERT_EQ((*t)[i], 0);

    // A spike at sample 1: every bin is (16, 0), so y = sqrt(16).
    (*t)[0] = 16;
    fftm(*t, 1000, st);
    for (int i = 0; i < 1000; ++i) ASSERT_DOUBLE_EQ(double((*t)[i]), 4.0) << i;
}
