#include "display/view_zoom.h"

#include <gtest/gtest.h>

using namespace tarnix;

TEST(ViewZoom, EveryWidgetPointOfAnEnlargedPixelReadsThatPixel) {
    // At 2x, widget 0 and 1 are pixel 0, 898 and 899 pixel 449.
    EXPECT_EQ(viewToPicture(0, 2.0), 0);
    EXPECT_EQ(viewToPicture(1, 2.0), 0);
    EXPECT_EQ(viewToPicture(898, 2.0), 449);
    EXPECT_EQ(viewToPicture(899, 2.0), 449);
    EXPECT_EQ(pictureToView(449, 2.0), 898);
    // At 0.5x a widget point stands for every second pixel.
    EXPECT_EQ(viewToPicture(75, 0.5), 150);
    EXPECT_EQ(viewToPicture(224, 0.5), 448);
    // At 1.25x the pixel edges fall between widget points: 5 pixels, 6.25 points each 4.
    EXPECT_EQ(viewToPicture(4, 1.25), 3);
    EXPECT_EQ(viewToPicture(5, 1.25), 4);
    // 0.1 does not lose an exact edge to rounding: widget 3 is pixel 30.
    EXPECT_EQ(viewToPicture(3, 0.1), 30);
}

TEST(ViewZoom, SizesFitAndLimits) {
    EXPECT_EQ(viewSize(300, 2.0), 600);
    EXPECT_EQ(viewSize(499, 0.5), 250); // 249.5 rounds up, the last row stays reachable
    EXPECT_EQ(viewSize(3, 0.01), 1);    // limited to 1/16, never empty
    EXPECT_EQ(viewSize(0, 2.0), 0);
    EXPECT_DOUBLE_EQ(clampViewZoom(100), kMaxViewZoom);
    EXPECT_DOUBLE_EQ(clampViewZoom(0), kMinViewZoom);
    EXPECT_DOUBLE_EQ(clampViewZoom(0.0 / 0.0), 1.0);
    // A 10,000-shot line in a 1200 x 800 viewport fits by its width.
    EXPECT_DOUBLE_EQ(fitZoom(10100, 600, 1200, 800), 1200.0 / 10100);
    EXPECT_DOUBLE_EQ(fitZoom(300, 499, 600, 998), 2.0);
    EXPECT_DOUBLE_EQ(fitZoom(0, 499, 600, 998), 1.0);
}

TEST(ViewZoom, WheelZoomKeepsThePointUnderTheCursor) {
    EXPECT_DOUBLE_EQ(wheelZoom(1.0, 120), 1.25);
    EXPECT_DOUBLE_EQ(wheelZoom(1.25, -120), 1.0);
    EXPECT_DOUBLE_EQ(wheelZoom(1.0, 240), 1.5625);
    // Picture x 200 is under viewport x 100 with scroll 100 at 1x; at 4x it is at
    // widget 800, so the scroll becomes 700.
    EXPECT_EQ(scrollAfterZoom(100, 100, 1.0, 4.0), 700);
    EXPECT_EQ(scrollAfterZoom(700, 100, 4.0, 1.0), 100);
    // Zooming out near the origin never scrolls before the start.
    EXPECT_EQ(scrollAfterZoom(0, 300, 1.0, 0.5), 0);
}
