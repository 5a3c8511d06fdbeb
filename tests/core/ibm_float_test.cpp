#include "core/ibm_float.h"
#include "support/segy_fixture.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>
#include <vector>

using namespace tarnix;

using tarnix::test::slowIbm;

TEST(IbmFloat, KnownValuesAndRangeEnds) {
    EXPECT_EQ(ibmToDouble(0x42640000u), 100.0);
    EXPECT_EQ(ibmToDouble(0xC276A000u), -118.625);
    EXPECT_EQ(ibmToDouble(0x41100000u), 1.0);
    EXPECT_EQ(ibmToDouble(0x40800000u), 0.5);
    EXPECT_EQ(ibmToDouble(0x00000000u), 0.0);
    EXPECT_EQ(ibmToDouble(0x40000001u), std::ldexp(1.0, -24));        // not normalised, still exact
    EXPECT_EQ(ibmToDouble(0x00100000u), std::ldexp(1.0, -260));       // smallest normalised: 16^-65
    EXPECT_EQ(ibmToDouble(0x7FFFFFFFu), std::ldexp(16777215.0, 228)); // largest
    EXPECT_EQ(ibmToDouble(0xFFFFFFFFu), -std::ldexp(16777215.0, 228));
}

TEST(IbmFloat, BulkConversionIsExactAgainstADigitByDigitDecoding) {
    std::mt19937 rng(22);
    std::vector<uint32_t> w = {0, 0x80000000u, 0x00000001u, 0x7F000001u, 0x3F123456u};
    for (int i = 0; i < 20000; ++i) w.push_back(static_cast<uint32_t>(rng()));
    std::vector<double> d(w.size());
    // Odd counts and offsets: no remainder is left out.
    ibmToDoubles(w.data(), 3, d.data());
    ibmToDoubles(w.data() + 3, static_cast<int>(w.size()) - 3, d.data() + 3);
    for (size_t i = 0; i < w.size(); ++i) {
        ASSERT_EQ(static_cast<long double>(d[i]), slowIbm(w[i])) << std::hex << w[i];
        ASSERT_EQ(d[i], ibmToDouble(w[i]));
    }
}

TEST(IbmFloat, SignsAndEveryExponentInBulkAsOneByOne) {
    // Zero fractions keep their sign (-0 for 0x80000000), and each exponent
    // gives its own power of sixteen at both ends of the fraction.
    std::vector<uint32_t> w;
    for (uint32_t e = 0; e < 128; ++e)
        for (uint32_t f : {0u, 1u, 0x100000u, 0xFFFFFFu})
            for (uint32_t sign : {0u, 0x80000000u}) w.push_back(sign | e << 24 | f);
    std::vector<double> d(w.size());
    ibmToDoubles(w.data(), static_cast<int>(w.size()), d.data());
    for (size_t i = 0; i < w.size(); ++i) {
        const double one = ibmToDouble(w[i]);
        ASSERT_EQ(std::signbit(d[i]), (w[i] >> 31) != 0) << std::hex << w[i];
        ASSERT_EQ(d[i], one) << std::hex << w[i];
        ASSERT_EQ(std::fabs(d[i]), std::ldexp(static_cast<double>(w[i] & 0xFFFFFFu),
                                              4 * int((w[i] >> 24) & 0x7F) - 280));
    }
}

TEST(IbmFloat, WordsFromBytesInEitherOrder) {
    std::mt19937 rng(7);
    std::vector<uint32_t> w = {0x80000000u, 0x7FFFFFFFu, 0x00100000u, 0xC276A000u};
    for (int i = 0; i < 1001; ++i) w.push_back(static_cast<uint32_t>(rng()));
    std::vector<unsigned char> be(4 * w.size()), le(4 * w.size());
    for (size_t i = 0; i < w.size(); ++i)
        for (int k = 0; k < 4; ++k) {
            be[4 * i + k] = static_cast<unsigned char>(w[i] >> (24 - 8 * k));
            le[4 * i + k] = static_cast<unsigned char>(w[i] >> (8 * k));
        }
    const int n = static_cast<int>(w.size());
    std::vector<double> a(w.size() + 1, 7.0), b(w.size() + 1, 7.0);
    ibmBytesToDoubles(be.data(), n, true, a.data());
    ibmBytesToDoubles(le.data(), n, false, b.data());
    for (size_t i = 0; i < w.size(); ++i) {
        const double one = ibmToDouble(w[i]);
        ASSERT_EQ(std::memcmp(&a[i], &one, sizeof one), 0) << i;
        ASSERT_EQ(std::memcmp(&b[i], &one, sizeof one), 0) << i;
    }
    EXPECT_EQ(a[w.size()], 7.0); // nothing past n
    EXPECT_EQ(b[w.size()], 7.0);
}
