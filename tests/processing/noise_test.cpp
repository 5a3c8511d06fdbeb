// The noise and editing kernels on hand-computed traces.
#include "core/error.h"
#include "processing/modules/noise.h"

#include <gtest/gtest.h>
#include <memory>
#include <vector>

using namespace tarnix;
using namespace tarnix::modules;

namespace {

std::unique_ptr<TraceBuffer> traceOf(std::initializer_list<long double> v, Sample rest = 0) {
    auto t = std::make_unique<TraceBuffer>();
    t->fill(rest);
    std::copy(v.begin(), v.end(), t->begin());
    return t;
}

} // namespace

TEST(NoiseKernels, SpikeFilterRemovesOnlyPositiveSpikesUpToN) {
    auto t = traceOf({3276, 3275, -5000, 3277, 40000}, 9999);
    EXPECT_EQ(spfm(*t, 4, 3276), 4);
    EXPECT_EQ((*t)[0], 0);
    EXPECT_EQ((*t)[1], 3275);
    EXPECT_EQ((*t)[2], -5000);
    EXPECT_EQ((*t)[3], 0);
    EXPECT_EQ((*t)[4], 40000); // beyond n
    EXPECT_THROW(spfm(*t, kTraceSlots + 1, 1), Error);
}

TEST(NoiseKernels, RandomNoiseFilterPicksTheFirstSampleNotRejected) {
    // a against b and c, per sample: T = 20.
    auto a = traceOf({100, -1, 50, 50, 10, 100, 100});
    std::vector<Sample> b = {0, -1, 0, 100, 25, 0, -1};
    std::vector<Sample> c = {5, -1, 100, 0, 45, 200, -1};
    EXPECT_EQ(rnfm(*a, 7, b.data(), c.data(), 20), 7);
    EXPECT_EQ((*a)[0], 0);  // a rejected, b - c = -5 rejects nothing: b
    EXPECT_EQ((*a)[1], -1); // a trace of -1 stays -1
    EXPECT_EQ((*a)[2], 0);  // c - b > 20 rejects c: b
    EXPECT_EQ((*a)[3], 0);  // b - c > 20 rejects b: c
    EXPECT_EQ((*a)[4], 10); // within 20 of b: kept
    EXPECT_EQ((*a)[5], 0);  // rejected a, rejected c: b = 0
    EXPECT_EQ((*a)[6], -1); // a rejected; b is -1 and not rejected: -1
    EXPECT_EQ((*a)[7], 0);
    // A negative threshold rejects all three.
    auto z = traceOf({5});
    std::vector<Sample> same = {5};
    rnfm(*z, 1, same.data(), same.data(), -1);
    EXPECT_EQ((*z)[0], 0);
}

TEST(NoiseKernels, HorizontalBandsSubtractWholeMultiplesOfTheMean) {
    auto mean = traceOf({10, -4, 2});
    struct Case {
        int percent;
        long double y0, y1;
    } cases[] = {{100, 90, 104}, {50, 80, 108}, {30, 70, 112}, {150, 100, 100}, {-50, 120, 92}};
    for (const Case& c : cases) {
        auto t = traceOf({100, 100, 100});
        EXPECT_EQ(hbfm(*t, 2, c.percent, *mean), 2);
        EXPECT_EQ((*t)[0], c.y0) << c.percent;
        EXPECT_EQ((*t)[1], c.y1) << c.percent;
        EXPECT_EQ((*t)[2], 100) << c.percent;
    }
    auto t = traceOf({100});
    EXPECT_THROW(hbfm(*t, 1, 0, *mean), Error);
    EXPECT_EQ((*t)[0], 100);
}

TEST(NoiseKernels, HeaveCorrectionMovesTheStrongestPeakOntoThePick) {
    // Peak 5 samples after the pick (sample 30): the trace moves 5 samples earlier.
    auto t = std::make_unique<TraceBuffer>();
    for (int i = 0; i < kTraceSlots; ++i) (*t)[i] = i % 7 == 0 ? 1 : 0;
    (*t)[34] = 500; // sample 35
    (*t)[31] = 300;
    const auto before = *t;
    EXPECT_EQ(swellShift(*t, 100, 30, 10), -5);
    EXPECT_EQ(swell(*t, 100, 30, 10), 100);
    EXPECT_EQ((*t)[29], 500);
    for (int k = 0; k < 100; ++k) EXPECT_EQ((*t)[k], before[k + 5]) << k;
    EXPECT_EQ((*t)[100], before[100]);

    // Peak before the pick: later by 4, samples 1..4 keep their values.
    auto u = traceOf({9, 8, 7, 6, 5, 0, 0, 0, 0, 0, 0, 0, 3, 0, 0, 0, 0, 0, 0, 0});
    EXPECT_EQ(swellShift(*u, 30, 17, 4), 4);
    swell(*u, 30, 17, 4);
    EXPECT_EQ((*u)[0], 9);
    EXPECT_EQ((*u)[3], 6);
    EXPECT_EQ((*u)[4], 9);
    EXPECT_EQ((*u)[16], 3);
    // Ties go to the first; a window reaching sample 0 or n, or without a
    // positive sample, moves nothing.
    auto v = traceOf({0, 0, 4, 0, 4, 0, 0, 0, 0, 0});
    EXPECT_EQ(swellShift(*v, 10, 5, 2), 2);
    EXPECT_EQ(swellShift(*v, 10, 2, 2), 0);
    EXPECT_EQ(swellShift(*v, 10, 8, 2), 0);
    auto w = traceOf({-1, -2, -3, -4, -5, -6, -7, -8, -9, -10});
    EXPECT_EQ(swellShift(*w, 10, 5, 2), 0);
}

TEST(NoiseKernels, MixingDividesByTheTracesMixed) {
    auto t = traceOf({3, 6, 9, 100});
    std::vector<Sample> n1 = {0, 3, 3}, n2 = {6, 0, 0};
    const Sample* both[] = {n1.data(), n2.data()};
    EXPECT_EQ(tmxm(*t, 3, both), 3);
    EXPECT_EQ((*t)[0], 3);
    EXPECT_EQ((*t)[1], 3);
    EXPECT_EQ((*t)[2], 4);
    EXPECT_EQ((*t)[3], 100);
    EXPECT_EQ(tmxm(*t, 3, std::span<const Sample* const>()), 0);
    EXPECT_EQ((*t)[2], 4);
}

TEST(NoiseKernels, MuteZeroesThroughThePickedSample) {
    auto t = traceOf({}, 7);
    EXPECT_EQ(mutm(*t, 100, 50), 50);
    EXPECT_EQ((*t)[49], 0);
    EXPECT_EQ((*t)[50], 7);
    auto u = traceOf({}, 7);
    EXPECT_EQ(mutm(*u, 100, 500), 100);
    EXPECT_EQ((*u)[99], 0);
    EXPECT_EQ((*u)[100], 7);
    EXPECT_EQ(mutm(*u, 100, -3), 0);
}

TEST(NoiseKernels, ResamplingAveragesBlocks) {
    auto t = traceOf({1, 3, 5, 7});
    EXPECT_EQ(resm(*t, 4, 2), 2);
    EXPECT_EQ((*t)[0], 2);
    EXPECT_EQ((*t)[1], 6);
    EXPECT_EQ((*t)[2], 5);
    EXPECT_EQ((*t)[3], 7);
    // x = 2i - 1 (i from 1) by 2 gives 4j - 2; an odd count leaves the last sample.
    auto u = std::make_unique<TraceBuffer>();
    for (int i = 1; i <= 1001; ++i) (*u)[i - 1] = 2 * i - 1;
    EXPECT_EQ(resm(*u, 1001, 2), 500);
    for (int j = 1; j <= 500; ++j) ASSERT_EQ((*u)[j - 1], 4 * j - 2) << j;
    EXPECT_EQ((*u)[500], 1001);
    EXPECT_EQ((*u)[1000], 2001);
    // By 3: (1 + 3 + 5) / 3 = 3.
    auto v = traceOf({1, 3, 5, 7, 9, 11, 13});
    EXPECT_EQ(resm(*v, 7, 3), 2);
    EXPECT_EQ((*v)[0], 3);
    EXPECT_EQ((*v)[1], 9);
    EXPECT_EQ(resm(*v, 7, 1), 7);
    EXPECT_EQ((*v)[0], 3);
    EXPECT_THROW(resm(*v, 7, 0), Error);
    EXPECT_THROW(resm(*v, 7, -2), Error);
}
