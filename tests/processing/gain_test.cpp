#include "processing/modules/gain.h"

#include "core/error.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <random>

using namespace tarnix;
using namespace tarnix::modules;

namespace {

std::unique_ptr<TraceBuffer> makeTrace(std::initializer_list<long double> v) {
    auto t = std::make_unique<TraceBuffer>();
    t->fill(7); // slots past the samples must keep their values
    int i = 0;
    for (long double s : v) (*t)[i++] = s;
    return t;
}

std::unique_ptr<TraceBuffer> randomTrace(int n, unsigned seed) {
    auto t = std::make_unique<TraceBuffer>();
    t->fill(0);
    std::mt19937 gen(seed);
    std::normal_distribution<double> g(0, 1000);
    for (int i = 0; i < n; ++i) (*t)[i] = std::round(g(gen) * (1 + i / 500.0));
    return t;
}

// AGCM as the window sums are written out: every window summed anew.
void agcmDirect(TraceBuffer& y, int n, int w) {
    if (w <= 0 || n <= 0) return;
    if (w % 2 == 0) ++w;
    const int h = w / 2, first = h + 1, last = n - h;
    const TraceBuffer x = y;
    long double level = 0;
    for (int i = 0; i < n; ++i) level += std::fabs(x[i]);
    level /= n;
    long double a = 0;
    for (int j = first; j <= last; ++j) {
        long double s = 0;
        int c = 0;
        for (int k = j - h; k <= j + h; ++k) {
            s += std::fabs(x[k - 1]);
            c += x[k - 1] != 0;
        }
        a = c > 0 ? (a + s) / c : 0;
        const long double g = a != 0 ? level / a : level;
        y[j - 1] = x[j - 1] * g;
        if (j == first)
            for (int i = 1; i < first; ++i) y[i - 1] *= g;
        if (j == last)
            for (int i = last + 1; i <= n; ++i) y[i - 1] *= g;
    }
}

void expectClose(const TraceBuffer& a, const TraceBuffer& b, int n, long double tol) {
    for (int i = 0; i < n; ++i)
        ASSERT_NEAR(double(a[i]), double(b[i]), double(tol)) << "slot " << i;
}

} // namespace

TEST(Agcm, RunningSumsAgreeWithWindowSums) {
    ModuleState st;
    for (int w : {1, 2, 5, 129, 1000}) {
        auto t = randomTrace(3000, w);
        // quiet stretches: windows with few or no non-zero samples
        for (int i = 1000; i < 1400; ++i) (*t)[i] = 0;
        auto ref = std::make_unique<TraceBuffer>(*t);
        agcm(*t, 3000, w, st);
        agcmDirect(*ref, 3000, w);
        expectClose(*t, *ref, 3000, 1e-9L);
        EXPECT_EQ((*t)[3000], 0); // beyond n untouched
    }
}

TEST(Agcm, EvenWindowGrowsByOneAndShortTraceIsUnchanged) {
    ModuleState st;
    auto a = randomTrace(500, 1), b = randomTrace(500, 1);
    agcm(*a, 500, 128, st);
    agcm(*b, 500, 129, st);
    expectClose(*a, *b, 500, 0);

    auto c = randomTrace(100, 2), orig = randomTrace(100, 2);
    agcm(*c, 100, 129, st); // h = 64: no full window fits
    expectClose(*c, *orig, 100, 0);
    agcm(*c, 0, 5, st);
    agcm(*c, 100, 0, st);
    agcm(*c, 100, -3, st);
    expectClose(*c, *orig, 100, 0);
}

TEST(Agcm, TraceZeroExceptOneWindow) {
    // n = 40, W = 5, samples 20..24 (one window) equal 3.
    ModuleState st;
    auto t = std::make_unique<TraceBuffer>();
    t->fill(0);
    for (int i = 20; i <= 24; ++i) (*t)[i - 1] = 3;
    agcm(*t, 40, 5, st);
    const long double level = 15.0L / 40;
    // Windows centred at 18..26 see 1..5..1 non-zero samples; A carries.
    long double a = 0;
    const int counts[] = {1, 2, 3, 4, 5, 4, 3, 2, 1};
    for (int j = 18; j <= 26; ++j) {
        const int c = counts[j - 18];
        a = (a + 3.0L * c) / c;
        if (j >= 20 && j <= 24) {
            EXPECT_NEAR(double((*t)[j - 1]), double(3 * level / a), 1e-12) << j;
        }
    }
    for (int i = 1; i <= 40; ++i)
        if (i < 20 || i > 24) {
            EXPECT_EQ((*t)[i - 1], 0) << i;
        }
}

TEST(GainModules, WorkedExamples) {
    auto t = makeTrace({20000, -20000, 16384, 10});
    ling(*t, 3, 2, 32768);
    EXPECT_EQ((*t)[0], 32768);
    EXPECT_EQ((*t)[1], -40000); // only the positive side is clipped
    EXPECT_EQ((*t)[2], 32768);  // equal to full scale counts as clipped
    EXPECT_EQ((*t)[3], 10);     // beyond n

    t = makeTrace({1, 4, 9});
    derv(*t, 3);
    EXPECT_EQ((*t)[0], -3);
    EXPECT_EQ((*t)[1], -5);
    EXPECT_EQ((*t)[2], 9);

    t = makeTrace({10, 10, 10, 10});
    tvgm(*t, 4, 0.5);
    EXPECT_EQ((*t)[0], 5);
    EXPECT_EQ((*t)[1], 10);
    EXPECT_EQ((*t)[3], 20);

    t = makeTrace({6, 6, 6, 6, 6});
    grad(*t, 5);
    for (int i = 0; i < 3; ++i) EXPECT_EQ((*t)[i], -6) << i;
    EXPECT_EQ((*t)[3], 6); // the last two keep their values
    EXPECT_EQ((*t)[4], 6);

    t = makeTrace({2, 5});
    grad(*t, 3); // d = -3, c = 5*1 - 2*2 = 1
    EXPECT_NEAR(double((*t)[0]), std::cos(std::atan(-1.0 / 3)), 1e-15);

    t = makeTrace({-3, 0, 2.5});
    absm(*t, 2);
    EXPECT_EQ((*t)[0], 3);
    EXPECT_EQ((*t)[2], 2.5);
}

TEST(GainModules, NormaliseAndDebias) {
    auto t = makeTrace({5, 5, 5, 5});
    normalise(*t, 4, 0, 32768);
    for (int i = 0; i < 4; ++i) EXPECT_EQ((*t)[i], 16384);

    t = makeTrace({0, 0, 0});
    normalise(*t, 3, 0, 32768);
    EXPECT_EQ((*t)[0], 0);
    EXPECT_EQ((*t)[3], 7);

    // Mode 1: range |−2| + 6 = 8, scale to 16384, negatives become 0.
    t = makeTrace({-2, 6, 4});
    normalise(*t, 3, 1, 32768);
    EXPECT_EQ((*t)[0], 0);
    EXPECT_EQ((*t)[1], 12288);
    EXPECT_EQ((*t)[2], 8192);

    t = makeTrace({1, 2, 3, 6});
    dbas(*t, 4);
    EXPECT_EQ((*t)[0], -2);
    EXPECT_EQ((*t)[3], 3);
    dbas(*t, 0); // no samples: unchanged rather than 0 / 0
    EXPECT_EQ((*t)[0], -2);
}

TEST(GainModules, CountsBeyondTheBufferAreRefused) {
    ModuleState st;
    auto t = makeTrace({1});
    EXPECT_THROW(agcm(*t, kTraceSlots + 1, 5, st), Error);
    EXPECT_THROW(tvgm(*t, 40000, 1), Error);
    EXPECT_NO_THROW(absm(*t, -5));
    EXPECT_EQ((*t)[0], 1);
}
