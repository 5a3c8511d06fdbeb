#include "core/extended.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <random>
#include <vector>

using namespace tarnix;

TEST(WholeToSamples, SameValuesAndBitsAsTheConversion) {
    const int32_t lo = std::numeric_limits<int32_t>::min(),
                  hi = std::numeric_limits<int32_t>::max();
    std::vector<int32_t> v = {
        0, 1, -1, 2, -2, 3, 32767, -32768, 65535, -65536, 1 << 30, -(1 << 30) - 7, hi, lo};
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

TEST(DoublesToSamples, EveryKindOfDoubleAsTheConversionGivesIt) {
    const double inf = std::numeric_limits<double>::infinity();
    std::vector<double> v = {0.0,       -0.0,    1.0,   -1.5,
                             0.1,       -1e-300, 1e300, std::numeric_limits<double>::denorm_min(),
                             -4.9e-320, inf,     -inf,  std::numeric_limits<double>::max(),
                             32767.25,  -32768.0};
    std::mt19937_64 rng(3);
    std::uniform_real_distribution<double> u(-40000, 40000);
    for (int i = 0; i < 3000; ++i) v.push_back(u(rng));
    v.push_back(std::nan("")); // a block with a NaN goes the slow way and stays a NaN
    std::vector<Sample> got(v.size());
    doublesToSamples(v.data(), static_cast<int>(v.size()), got.data());
    for (size_t i = 0; i + 1 < v.size(); ++i) {
        const Sample want = static_cast<Sample>(v[i]);
        ASSERT_EQ(std::memcmp(&got[i], &want, 10), 0) << v[i];
    }
    EXPECT_TRUE(std::isnan(got.back()));
    EXPECT_TRUE(std::signbit(got[1])); // -0 keeps its sign
}

// Both ways of converting, where the processor has the wider one.
class SamplesToDoubles : public ::testing::TestWithParam<bool> {
protected:
    void SetUp() override { allowWideConversions(GetParam()); }
    void TearDown() override { allowWideConversions(true); }
};
INSTANTIATE_TEST_SUITE_P(Widths, SamplesToDoubles, ::testing::Bool());

TEST_P(SamplesToDoubles, RoundsAsTheConversionDoes) {
    std::vector<Sample> v = {
        0.0L,      -0.0L,    1.0L,    -1.0L,    0.1L,
        -1e-300L,  1e300L,   1e-320L, -1e4000L, std::numeric_limits<Sample>::infinity(),
        32767.25L, -32768.0L};
    // Significands whose dropped 11 bits are just below, at and above half,
    // with an even and an odd kept part, also where rounding carries into the
    // exponent.
    for (uint64_t low : {0x3ffULL, 0x400ULL, 0x401ULL, 0x7ffULL, 0xbffULL, 0xc00ULL, 0xc01ULL})
        for (long double base : {1.0L, 1.5L, 1.999L, 12345.678L, -3e10L}) {
            const long double ulp = std::ldexp(1.0L, std::ilogb(base) - 63);
            v.push_back(std::floor(base / ulp / 4096) * 4096 * ulp + low * ulp);
        }
    v.push_back(std::nextafter(2.0L, 0.0L)); // all 64 bits set: rounds up to 2
    std::mt19937_64 rng(5);
    for (int i = 0; i < 3000; ++i)
        v.push_back(
            std::ldexp(static_cast<long double>(rng() | (1ULL << 63)), int(rng() % 80) - 90) *
            (i % 2 ? 1 : -1));
    v.push_back(std::nanl(""));
    std::vector<double> got(v.size());
    samplesToDoubles(v.data(), static_cast<int>(v.size()), got.data());
    for (size_t i = 0; i + 1 < v.size(); ++i) {
        const double want = static_cast<double>(v[i]);
        ASSERT_EQ(std::memcmp(&got[i], &want, 8), 0) << double(v[i]) << " at " << i;
    }
    EXPECT_TRUE(std::isnan(got.back()));
    // Scaled by a power of two: the same values times it, also where the
    // product falls below the normal range.
    for (double scale : {0x1p-10, 0x1p20, 0x1p-1000}) {
        std::vector<double> scaled(v.size());
        double top = 0;
        const int count = static_cast<int>(v.size()) - 1; // without the NaN
        const double got = samplesToScaledDoublesLargest(v.data(), count, scale, scaled.data());
        for (int i = 0; i < count; ++i) {
            const double want = static_cast<double>(v[i]) * scale;
            ASSERT_EQ(std::memcmp(&scaled[i], &want, 8), 0) << double(v[i]) << ' ' << scale;
            top = std::max(top, std::fabs(want));
        }
        EXPECT_EQ(got, top) << scale;
    }
}

TEST_P(SamplesToDoubles, LargestMagnitudeWhereverItIsAndPastNotANumber) {
    std::mt19937_64 rng(11);
    std::uniform_real_distribution<double> u(-1000, 1000);
    const int n = 101; // three blocks of 32 and a tail
    for (int at : {0, 31, 32, 63, 95, 96, 100}) {
        for (Sample special : {0.0L, std::nanl(""), 1e-320L, -1e-4000L}) {
            std::vector<Sample> v(n);
            for (auto& s : v) s = u(rng);
            v[at] = -1e6L - 0.3L;
            // The special value in another block than the largest, or in the same.
            v[(at + 40) % n] = special;
            v[std::min(at ^ 1, n - 2)] = special;
            std::vector<double> got(n);
            const double top = samplesToDoublesLargest(v.data(), n, got.data());
            EXPECT_EQ(top, 1e6 + 0.3) << at;
            for (int i = 0; i < n; ++i) {
                const double want = static_cast<double>(v[i]);
                ASSERT_EQ(std::memcmp(&got[i], &want, 8), 0) << at << ' ' << i;
            }
        }
    }
    std::vector<Sample> v(40, 2.0L);
    v[35] = -std::numeric_limits<Sample>::infinity();
    std::vector<double> got(40);
    EXPECT_EQ(samplesToDoublesLargest(v.data(), 40, got.data()), HUGE_VAL);
    v[35] = 1e400L; // beyond double: infinite once rounded, as the conversion gives it
    EXPECT_EQ(samplesToDoublesLargest(v.data(), 40, got.data()), HUGE_VAL);
    EXPECT_EQ(samplesToDoublesLargest(v.data(), 0, got.data()), 0.0);
    EXPECT_EQ(samplesToDoublesLargest(v.data(), 3, got.data()), 2.0);
}

// Bit patterns as a file or an earlier stage may leave them: any padding
// above the ten value bytes, exponents at the ends of the double's range,
// significands just off a tie, the explicit bit clear.
TEST(SamplesToDoubles, AnyBitPatternAsTheConversionGivesIt) {
    std::mt19937_64 rng(17);
    const uint16_t ends[] = {15360, 15361, 15362, 16383, 17405, 17406, 17407};
    const uint64_t lows[] = {0x3ff, 0x400, 0x401, 0x7ff, 0xc00, 0};
    const int n = 32 * 96 + 5;
    std::vector<Sample> v(n);
    for (int i = 0; i < n; ++i) {
        // Blocks of 32 all within the double's range, anything at all, or within
        // it but for one value just outside.
        const int kind = (i / 32) % 3;
        uint64_t mant = rng();
        if (rng() % 2) mant = (mant & ~uint64_t(0x7ff)) | lows[rng() % 6];
        if (rng() % 8 == 0) mant |= ~uint64_t(0x7ff); // rounds up into the exponent
        uint16_t e = ends[rng() % 7];
        if (kind == 1) {
            if (rng() % 4 == 0) e = static_cast<uint16_t>(rng());
        } else {
            mant |= uint64_t(1) << 63;
            e = static_cast<uint16_t>(15361 + rng() % 2046);
            if (rng() % 4 == 0) e = ends[1 + rng() % 4];
            if (kind == 2 && i % 32 == (i / 96) % 32) {
                const int odd = (i / 96) % 4;
                if (odd == 0) mant &= ~(uint64_t(1) << 63); // explicit bit clear
                if (odd == 1) e = 15360;                    // below the double's normals
                if (odd == 2) e = 17407;                    // above its largest
                if (odd == 3) e = 0;                        // zero exponent, not zero
            }
        }
        const uint16_t signExp = static_cast<uint16_t>(e | ((rng() % 2) << 15));
        unsigned char bytes[sizeof(Sample)];
        const uint64_t padding = rng();
        std::memcpy(bytes, &mant, 8);
        std::memcpy(bytes + 8, &signExp, 2);
        std::memcpy(bytes + 10, &padding, sizeof(Sample) - 10);
        std::memcpy(static_cast<void*>(&v[i]), bytes, sizeof(Sample));
    }
    v[100] = 0.0L, v[101] = -0.0L; // zeros within a block of the fast kind
    std::vector<double> got(n), again(n);
    samplesToDoubles(v.data(), n, got.data());
    const double top = samplesToDoublesLargest(v.data(), n, again.data());
    double want = 0;
    for (int i = 0; i < n; ++i) {
        const double w = static_cast<double>(v[i]);
        ASSERT_EQ(std::memcmp(&got[i], &w, 8), 0) << i << ' ' << w;
        ASSERT_EQ(std::memcmp(&again[i], &w, 8), 0) << i << ' ' << w;
        want = std::max(want, std::fabs(w));
    }
    EXPECT_EQ(top, want);
}
