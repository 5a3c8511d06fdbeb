#include "processing/run_progress.h"

#include <gtest/gtest.h>

using namespace tarnix;

TEST(RunProgress, ShotsRateAndTimeLeft) {
    EXPECT_EQ(runProgressText(0, 10000, 0), "Shot 0 of 10000");
    EXPECT_EQ(runProgressText(50, 10000, 0.05), "Shot 50 of 10000"); // too early for a rate
    EXPECT_EQ(runProgressText(1200, 10000, 1.5), "Shot 1200 of 10000   800 shots/s   0:11 left");
    // The time left rounds up: 1 shot at 800 shots/s is still "0:01".
    EXPECT_EQ(runProgressText(9999, 10000, 9999 / 800.0),
              "Shot 9999 of 10000   800 shots/s   0:01 left");
    EXPECT_EQ(runProgressText(10000, 10000, 12.5), "Shot 10000 of 10000   800 shots/s");
    EXPECT_EQ(runProgressText(100, 40000, 100), "Shot 100 of 40000   1 shots/s   11:05:00 left");
    EXPECT_EQ(runProgressText(30, 0, 1), "Shot 30   30 shots/s");
}
