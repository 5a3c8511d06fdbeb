#include "processing/modules/gain.h"

#include "core/error.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <random>

using namespace tarnix;
using namespace tarnix::modules;

namespace {

// Samples v, then 7 in every slot a module must not touch.
std::unique_ptr<TraceBuffer> trace(std::initializer_list<long double> v) {
    auto t = std::make_unique<TraceBuffer>();
    t->fill(7);
    std::copy(v.begin(), v.end(), t->begin());
    return t;
}

std::unique_ptr<TraceBuffer> noise(int n, unsigned seed) {
    auto t = std::make_unique<TraceBuffer>();
    t->fill(0);
    std::mt19937 gen(seed);
    std::normal_distribution<double> g(0, 1000);
    for (int i = 0; i < n; ++i) (*t)[i] = std::round(g(gen) * (1 + i / 500.0));
    for (int i = n / 3; i < n / 3 + 400 && i < n; ++i) (*t)[i] = 0; // a quiet stretch
    return t;
}

// AGCM with every window summed anew.
void agcmDirect(TraceBuffer& y, int n, int w) {
    if (w % 2 == 0) ++w;
    const int h = w / 2, first = h + 1, last = n - h;
    const TraceBuffer x = y;
    long double level = 0, a = 0;
    for (int i = 0; i < n; ++i) level += std::fabs(x[i]) / n;
    for (int j = first; j <= last; ++j) {
        long double s = 0;
        int c = 0;
        for (int k = j - h; k <= j + h; ++k) s += std::fabs(x[k - 1]), c += x[k - 1] != 0;
        a = c > 0 ? (a + s) / c : 0;
        const long double g = a != 0 ? level / a : level;
        y[j - 1] = x[j - 1] * g;
        for (int i = 1; j == first && i < first; ++i) y[i - 1] *= g;
        for (int i = last + 1; j == last && i <= n; ++i) y[i - 1] *= g;
    }
}

} // namespace

TEST(Agcm, RunningSumsAgreeWithWindowSums) {
    ModuleState st;
    for (int w : {1, 2, 5, 129, 1000}) {
        auto t = noise(3000, w), ref = noise(3000, w);
        agcm(*t, 3000, w, st);
        agcmDirect(*ref, 3000, w);
        for (int i = 0; i <= 3000; ++i) ASSERT_NEAR(double((*t)[i]), double((*ref)[i]), 1e-9) << w;
    }
    // W = 128 acts as 129; with n = 100 no window of 129 fits; W <= 0 and n = 0 do nothing.
    auto a = noise(500, 1), b = noise(500, 1);
    agcm(*a, 500, 128, st);
    agcm(*b, 500, 129, st);
    EXPECT_EQ(*a, *b);
    const auto orig = noise(100, 2);
    auto c = noise(100, 2);
    agcm(*c, 100, 129, st);
    agcm(*c, 0, 5, st);
    agcm(*c, 100, 0, st);
    EXPECT_EQ(*c, *orig);
}

TEST(Agcm, LoudBurstThenFaintSignalStaysWithinAPartInABillion) {
    // Running sums in double over a burst near full scale and then a signal
    // 10^8 times weaker: the result against the window sums taken anew in
    // extended precision, relative to the output's peak.
    ModuleState st;
    for (int w : {129, 501}) {
        auto t = std::make_unique<TraceBuffer>(), ref = std::make_unique<TraceBuffer>();
        t->fill(0);
        for (int i = 0; i < 4000; ++i)
            (*t)[i] = i < 900 ? 30000.0L * std::sin(0.3L * i) + 0.25L
                              : 3e-4L * std::sin(0.17L * i) + 1e-5L * std::cos(2.1L * i);
        *ref = *t;
        agcm(*t, 4000, w, st);
        agcmDirect(*ref, 4000, w);
        long double peak = 0;
        for (int i = 0; i < 4000; ++i) peak = std::max(peak, std::fabs((*ref)[i]));
        for (int i = 0; i < 4000; ++i)
            ASSERT_LE(std::fabs((*t)[i] - (*ref)[i]), 1e-9L * peak) << w << " sample " << i;
    }
}

TEST(Agcm, TraceZeroExceptOneWindow) {
    // n = 40, W = 5, samples 20..24 equal 3: windows centred 18..26 hold 1..5..1
    // non-zero samples and the running value A carries from one to the next.
    ModuleState st;
    auto t = std::make_unique<TraceBuffer>();
    t->fill(0);
    for (int i = 20; i <= 24; ++i) (*t)[i - 1] = 3;
    agcm(*t, 40, 5, st);
    const long double level = 15.0L / 40;
    const int counts[] = {1, 2, 3, 4, 5, 4, 3, 2, 1};
    long double a = 0;
    for (int j = 18; j <= 26; ++j) {
        a = (a + 3.0L * counts[j - 18]) / counts[j - 18];
        if (j >= 20 && j <= 24) {
            EXPECT_NEAR(double((*t)[j - 1]), double(3 * level / a), 1e-12) << j;
        }
    }
    for (int i = 1; i <= 40; ++i) {
        if (i < 20 || i > 24) {
            EXPECT_EQ((*t)[i - 1], 0) << i;
        }
    }
}

TEST(GainModules, WorkedExamples) {
    auto t = trace({20000, -20000, 16384, 10});
    ling(*t, 3, 2, 32768);
    EXPECT_EQ(*t, *trace({32768, -40000, 32768, 10})); // only the top clips

    t = trace({1, 4, 9});
    derv(*t, 3);
    EXPECT_EQ(*t, *trace({-3, -5, 9}));

    t = trace({10, 10, 10, 10});
    tvgm(*t, 4, 0.5);
    EXPECT_EQ(*t, *trace({5, 10, 15, 20}));

    t = trace({6, 6, 6, 6, 6});
    grad(*t, 5); // d = 0: y = q a - p b = -6; the last two keep theirs
    EXPECT_EQ(*t, *trace({-6, -6, -6, 6, 6}));

    t = trace({-3, 0, 2.5});
    absm(*t, 2);
    EXPECT_EQ(*t, *trace({3, 0, 2.5}));

    t = trace({5, 5, 5, 5});
    normalise(*t, 4, 0, 32768); // R = 5 + 5
    EXPECT_EQ(*t, *trace({16384, 16384, 16384, 16384}));
    t = trace({0, 0, 0});
    normalise(*t, 3, 0, 32768);
    EXPECT_EQ(*t, *trace({0, 0, 0}));
    t = trace({-2, 6, 4}); // mode 1: R = 8, scale 16384, negatives 0
    normalise(*t, 3, 1, 32768);
    EXPECT_EQ(*t, *trace({0, 12288, 8192}));

    t = trace({1, 2, 3, 6});
    dbas(*t, 4);
    EXPECT_EQ(*t, *trace({-2, -1, 0, 3}));
    dbas(*t, 0); // no samples: unchanged instead of 0 / 0
    EXPECT_EQ(*t, *trace({-2, -1, 0, 3}));

    EXPECT_THROW(agcm(*t, kTraceSlots + 1, 5, *std::make_unique<ModuleState>()), Error);
    EXPECT_THROW(tvgm(*t, 40000, 1), Error);
}

TEST(Agcm, BlockSumsAtTheRangeEndsAgreeWithWindowSums) {
    // Windows of 1 to 13 (summed directly below 5, in blocks of 4 to 12 from
    // 5 on), lengths around the block and vector edges, the window just
    // fitting, zero windows that reset the carried value, isolated zeros,
    // and amplitudes 1e-200 next to 1e200 (no subtraction may leave the loud
    // samples' rounding in the faint ones).
    ModuleState st;
    std::mt19937 gen(9);
    std::normal_distribution<double> g(0, 1);
    for (int kind = 0; kind < 4; ++kind)
        for (int w : {1, 3, 5, 7, 8, 9, 12, 13, 129})
            for (int n : {w, w + 1, w + 2, w + 3, w + 4, 2 * w + 3, 403}) {
                auto t = std::make_unique<TraceBuffer>();
                t->fill(7);
                for (int i = 0; i < n; ++i) {
                    double v = std::round(g(gen) * 1000);
                    if (kind == 1 && i % 5 == 2) v = 0;
                    if (kind == 2 && (i / 20) % 3 == 1) v = 0;
                    if (kind == 3) v = g(gen) * ((i / 30) % 2 ? 1e-200 : 1e200);
                    (*t)[i] = v;
                }
                auto ref = std::make_unique<TraceBuffer>(*t);
                agcm(*t, n, w, st);
                agcmDirect(*ref, n, w);
                long double peak = 0;
                for (int i = 0; i < n; ++i) peak = std::max(peak, std::fabs((*ref)[i]));
                for (int i = 0; i < n; ++i)
                    ASSERT_LE(std::fabs((*t)[i] - (*ref)[i]), 1e-12L * peak)
                        << "kind " << kind << " w " << w << " n " << n << " i " << i;
                ASSERT_EQ((*t)[n], 7) << "kind " << kind << " w " << w << " n " << n;
            }
}
