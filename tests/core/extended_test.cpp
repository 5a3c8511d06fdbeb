#include "core/extended.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <vector>

using namespace tarnix;

TEST(WholeToSamples, SameValuesAndBitsAsTheConversion) {
    std::vector<int32_t> v = {0,     1,      -1,    2,     -2,         3,
                              32767, -32768, 65535, -65536, 1 << 30,  -(1 << 30) - 7,
                              std::numeric_limits<int32_t>::max(),
                              std::numeric_limits<int32_t>::min()};
    std::mt19937 rng(7);
    for (int i = 0; i < 3001; ++i) v.push_back(static_cast<int32_t>(rng()) >> (i % 32));
    std::vector<Sample> got(v.size()), want(v.size());
    std::memset(static_cast<void*>(got.data()), 0xAB, got.size() * sizeof(Sample));
    wholeToSamples(v.data(), static_cast<int>(v.size()), got.data());
    for (size_t i = 0; i < v.size(); ++i) {
        want[i] = static_cast<Sample>(v[i]);
        ASSERT_EQ(got[i], want[i]) << v[i];
        // The 10 value bytes of the x87 format: no other bit pattern for the value.
        ASSERT_EQ(std::memcmp(&got[i], &want[i], 10), 0) << v[i];
    }
    EXPECT_FALSE(std::signbit(got[0])); // +0, not -0
    // Counts that leave a remainder after the blocks of four, and none at all.
    for (int n : {0, 1, 3, 5, 7}) {
        std::vector<Sample> out(8, -9.0L);
        wholeToSamples(v.data() + 1, n, out.data());
        for (int i = 0; i < 8; ++i)
            EXPECT_EQ(out[i], i < n ? static_cast<Sample>(v[1 + i]) : -9.0L) << n << ' ' << i;
    }
}
