#include "core/ibm_float.h"
#include "support/segy_fixture.h"

#include <gtest/gtest.h>

#include <cmath>
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
