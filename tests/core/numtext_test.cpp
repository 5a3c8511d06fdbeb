#include "core/error.h"
#include "core/numtext.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <limits>
#include <random>
#include <sstream>
#include <vector>

using namespace tarnix;

TEST(NumText, RoundsHalvesToEven) {
    EXPECT_EQ(roundHalfEven(0.5L), 0);
    EXPECT_EQ(roundHalfEven(1.5L), 2);
    EXPECT_EQ(roundHalfEven(2.5L), 2);
    EXPECT_EQ(roundHalfEven(127.5L), 128);
    EXPECT_EQ(roundHalfEven(-0.5L), 0);
    EXPECT_EQ(roundHalfEven(-1.5L), -2);
    EXPECT_EQ(roundHalfEven(-2.5L), -2);
    EXPECT_EQ(roundHalfEven(2.5000001L), 3);
    EXPECT_EQ(roundHalfEven(0.8L), 1);
    EXPECT_EQ(truncate(-2.7L), -2);
    EXPECT_EQ(truncate(2.7L), 2);
}

TEST(NumText, FixedTextWidthsAndDecimals) {
    EXPECT_EQ(fixedText(12.5, 1, 3), "12.5");
    EXPECT_EQ(fixedText(0, 1, 3), "0.0");
    EXPECT_EQ(fixedText(5, 1, 5), "  5.0");
    EXPECT_EQ(fixedText(10, 2, 4), "10.00");
    EXPECT_EQ(fixedText(100000, 2, 4), "100000.00");
    EXPECT_EQ(fixedText(-5.25, 8), "-5.25000000");
    EXPECT_EQ(intText(7, 3), "  7");
    EXPECT_EQ(floatText(0.7L), "0.7");
    EXPECT_EQ(floatText(100), "100");
    EXPECT_EQ(floatText(1e-5L), "1E-5");
    EXPECT_EQ(floatText(-2.5L), "-2.5");
}

TEST(NumText, ExponentTextIsTwentyThreeCharacters) {
    EXPECT_EQ(exponentText(1250), " 1.25000000000000E+0003");
    EXPECT_EQ(exponentText(-0.5L), "-5.00000000000000E-0001");
    EXPECT_EQ(exponentText(0), " 0.00000000000000E+0000");
    EXPECT_EQ(exponentText(32767), " 3.27670000000000E+0004");
    // Rounding at the 15th digit carries into the exponent.
    EXPECT_EQ(exponentText(9.999999999999996), " 1.00000000000000E+0001");
    EXPECT_EQ(exponentText(1.0000000000000049), " 1.00000000000000E+0000");
    // Extended values beyond a double, and the exponent's four digits.
    EXPECT_EQ(exponentText(1e-300L * 1e-300L), " 1.00000000000000E-0600");
    EXPECT_EQ(exponentText(1.0L / 3), " 3.33333333333333E-0001");
    EXPECT_EQ(exponentText(-1e308), "-1.00000000000000E+0308");
    for (long double v : {1.0L, -1.0L, 123456.789L, -1e-7L, 1e4000L})
        EXPECT_EQ(exponentText(v).size(), 23u) << static_cast<double>(v);
    EXPECT_EQ(exponentText(std::numeric_limits<long double>::infinity()),
              "                    INF");
}

TEST(NumText, FixedTextAsPrintfWritesIt) {
    // The quick path for doubles against printf: halves at the last digit (to
    // even), tiny and huge values, signs, widths, values beyond a double.
    auto printed = [](long double x, int d, int w) {
        char b[512];
        const int n = std::snprintf(b, sizeof b, "%*.*Lf", w, d, x);
        return n < 128 ? std::string(b, n) : std::string(w > 0 ? w : 1, '*');
    };
    std::vector<long double> v = {0.125L, 0.375L,         2.5L,  3.5L,     -2.5L,   1e-9L,
                                  5e-9L,  1.5e-8L,        -0.0L, 0.0L,     1e22L,   5e-324L,
                                  1e300L, 359.999999995L, 0.1L,  -1e-300L, 1.0L / 3};
    v.push_back(std::numeric_limits<long double>::infinity());
    std::mt19937_64 rng(9);
    std::uniform_real_distribution<double> u(-400, 400);
    for (int i = 0; i < 20000; ++i) {
        const double x = u(rng);
        v.push_back(x);
        v.push_back(std::round(x * 1e8) / 1e8 + 0.5e-8); // near a half at the 8th decimal
    }
    for (long double x : v)
        for (int d : {0, 1, 2, 8})
            for (int w : {0, 4, 14}) ASSERT_EQ(fixedText(x, d, w), printed(x, d, w)) << double(x);
}

TEST(NumText, FreeFormatReadingAndBadTexts) {
    EXPECT_EQ(parseInt(" 42 "), 42);
    EXPECT_EQ(parseInt("-7"), -7);
    EXPECT_DOUBLE_EQ(static_cast<double>(parseFloat("0.0000072")), 0.0000072);
    EXPECT_DOUBLE_EQ(static_cast<double>(parseFloat("1e3")), 1000.0);
    EXPECT_THROW(parseInt("12a"), ConversionError);
    EXPECT_THROW(parseInt(""), ConversionError);
    EXPECT_THROW(parseInt("1.5"), ConversionError);
    EXPECT_THROW(parseFloat("abc"), ConversionError);
    EXPECT_THROW(parseFloat("nan"), ConversionError);
    try {
        parseInt("x1");
        FAIL();
    } catch (const ConversionError& e) {
        EXPECT_STREQ(e.what(), "'x1' is not a valid integer value");
    }
    std::istringstream in("  12\n\n -3   4.5\r\n7 bad");
    NumberReader r(in);
    long long a, b, d;
    long double c;
    ASSERT_TRUE(r.next(a));
    ASSERT_TRUE(r.next(b));
    ASSERT_TRUE(r.next(c));
    ASSERT_TRUE(r.next(d));
    EXPECT_EQ(a, 12);
    EXPECT_EQ(b, -3);
    EXPECT_DOUBLE_EQ(static_cast<double>(c), 4.5);
    EXPECT_EQ(d, 7);
    EXPECT_THROW(r.next(a), ConversionError);
    EXPECT_FALSE(r.next(a));
}
