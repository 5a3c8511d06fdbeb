// The Reflectivity page's curve image.
#include "core/session.h"
#include "display/reflectivity_curve.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <memory>

using namespace tarnix;

namespace {

ReflectivityPage pageOf(const std::vector<double>& coefficients) {
    ReflectivityPage p;
    for (size_t i = 0; i < coefficients.size(); ++i) {
        ReflectivityRecord r;
        r.line = static_cast<int>(i);
        r.fields[0] = static_cast<long long>(i) + 1;
        r.coefficient = coefficients[i];
        p.records.push_back(r);
    }
    p.largest = *std::max_element(coefficients.begin(), coefficients.end());
    return p;
}

} // namespace

TEST(ReflectivityCurve, AYellowBitmapWithThePenThroughTheWorkedPoints) {
    const QImage img = reflectivityCurveImage(pageOf({0.1, 0.25, 0.4}));
    ASSERT_EQ(img.width(), 3);
    ASSERT_EQ(img.height(), 170);
    const QRgb black = qRgb(0, 0, 0), yellow = qRgb(255, 255, 0);
    EXPECT_EQ(img.pixel(0, 0), black);
    EXPECT_EQ(img.pixel(1, 128), black);
    EXPECT_EQ(img.pixel(2, 64), black);
    EXPECT_EQ(img.pixel(0, 169), yellow);
    EXPECT_EQ(img.pixel(2, 169), yellow);
    EXPECT_EQ(img.pixel(1, 0), yellow);
}

TEST(ReflectivityCurve, FlatForZerosAndNoImageWithoutLines) {
    const QImage flat = reflectivityCurveImage(pageOf({0, 0, 0, 0}));
    ASSERT_EQ(flat.width(), 4);
    for (int x = 0; x < 4; ++x) {
        EXPECT_EQ(flat.pixel(x, 169), qRgb(0, 0, 0)) << x;
        EXPECT_EQ(flat.pixel(x, 168), qRgb(255, 255, 0)) << x;
    }
    EXPECT_TRUE(reflectivityCurveImage(ReflectivityPage{}).isNull());
}
