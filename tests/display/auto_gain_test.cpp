#include "core/session.h"
#include "display/auto_gain.h"
#include "display/profile_layout.h"

#include <gtest/gtest.h>

using namespace tarnix;

TEST(AutoGain, NearestRankPercentileOfAbsoluteValues) {
    std::vector<double> v;
    for (int i = 1; i <= 100; ++i) v.push_back(i % 2 ? -i : i);
    EXPECT_DOUBLE_EQ(absPercentile(v, 0.98), 98);
    std::vector<double> one{-7};
    EXPECT_DOUBLE_EQ(absPercentile(one, 0.98), 7);
    std::vector<double> none;
    EXPECT_DOUBLE_EQ(absPercentile(none, 0.98), 0);
}

TEST(AutoGain, GainFirstThenTheClipLevelBeyondOneToTen) {
    Session s; // 16-bit full scale: half range 16384
    // 5000 x 10 / 16384 = 3.05: position 3 (factor 3.33) paints 5000 at full colour.
    AutoGain g = autoGainFor(s, 5000);
    EXPECT_EQ(g.gain, 3);
    EXPECT_EQ(g.clipLevel, 0);
    EXPECT_GE(5000.0 * 10 / g.gain, 16384);
    // Exactly half range at factor 1: position 10, no clip.
    g = autoGainFor(s, 16384);
    EXPECT_EQ(g.gain, 10);
    EXPECT_EQ(g.clipLevel, 0);
    // A quiet line (the F3 case): even factor 10 leaves 120 far below; the clip
    // level comes down to 1200 at position 1.
    g = autoGainFor(s, 120);
    EXPECT_EQ(g.gain, 1);
    EXPECT_EQ(g.clipLevel, 1200);
    // Louder than full scale: position 10 and the clip raised to the percentile.
    g = autoGainFor(s, 40000);
    EXPECT_EQ(g.gain, 10);
    EXPECT_EQ(g.clipLevel, 40000);
    // All zero: the start settings.
    g = autoGainFor(s, 0);
    EXPECT_EQ(g.gain, 10);
    EXPECT_EQ(g.clipLevel, 0);
    // A full scale taken from the data is mapped onto 16 bits first.
    s.FullScaleFromData = true;
    s.FullScale = 2;
    g = autoGainFor(s, 0.25); // 0.25 x 16384 = 4096: 4096 x 10 / 16384 = 2.5
    EXPECT_EQ(g.gain, 2);
}

TEST(AutoGain, BlankShareOfTheDataArea) {
    Session s;
    s.NumTraces = 10;
    s.display.NVP.set(21);
    setupProfileGeometry(s);
    QImage img(profileImageWidth(s), profileImageHeight(s), QImage::Format_RGB32);
    img.fill(Qt::white);
    EXPECT_DOUBLE_EQ(blankShare(s, img), 1.0);
    // The outline covers the first and last data rows and the last column:
    // nine columns of 20 rows are left, and it does not count itself.
    const AnnotationLine a = annotationLayout(s).dataArea;
    ASSERT_EQ(a.x2 - 1, 50 + s.ImageColumns);
    ASSERT_EQ(a.y2 - 1, 50 + s.ImageRows);
    for (int x = a.x1; x < a.x2; ++x)
        img.setPixel(x, a.y1, 0xFF000000u), img.setPixel(x, a.y2 - 1, 0xFF000000u);
    for (int y = a.y1; y < a.y2; ++y)
        img.setPixel(a.x1, y, 0xFF000000u), img.setPixel(a.x2 - 1, y, 0xFF000000u);
    EXPECT_DOUBLE_EQ(blankShare(s, img), 1.0);
    EXPECT_EQ(strongColour(s, img), 0);
    // One of the nine columns black; margins do not count.
    for (int y = 50; y <= 50 + s.ImageRows; ++y) img.setPixel(51, y, 0xFF000000u);
    img.setPixel(5, 5, 0xFF000000u);
    EXPECT_DOUBLE_EQ(blankShare(s, img), 8.0 / 9);
    // A ninth of the pixels black: the strongest 2% are at full colour.
    EXPECT_EQ(strongColour(s, img), 255);
    for (int y = 50; y <= 50 + s.ImageRows; ++y) img.setPixel(51, y, 0xFFA0A0A0u);
    EXPECT_EQ(strongColour(s, img), 95); // light grey only: nearly blank
    // Palette 2 shows zero as mid-grey, so a white picture is no blank one there.
    s.display.PaletteBar.set(2);
    EXPECT_LT(blankShare(s, img), 0.01);
}

TEST(AutoGain, GridLinesAreNoSignal) {
    Session s;
    s.NumTraces = 300;
    s.display.NVP.set(101);
    s.display.Grid.set(1);
    setupProfileGeometry(s);
    QImage img(profileImageWidth(s), profileImageHeight(s), QImage::Format_RGB32);
    img.fill(Qt::white);
    int gridRows = 0;
    for (const AnnotationLine& l : annotationLayout(s).lines)
        if (l.y1 == l.y2 && l.x2 > 60 && l.y1 > 50 && l.y1 < 50 + s.ImageRows) {
            for (int x = 51; x < 50 + s.ImageColumns; ++x) img.setPixel(x, l.y1, 0xFF000000u);
            ++gridRows;
        }
    ASSERT_GE(gridRows, 3); // more than 2% of the rows
    EXPECT_EQ(strongColour(s, img), 0);
}

TEST(AutoGain, LargePicturesAreSampledWithoutMissingStripes) {
    // 6,000 x 400 data pixels: the check looks at every third pixel of a row.
    Session s;
    s.NumTraces = 6000;
    s.display.NVP.set(401);
    setupProfileGeometry(s);
    QImage img(profileImageWidth(s), profileImageHeight(s), QImage::Format_RGB32);
    img.fill(Qt::white);
    const AnnotationLine a = annotationLayout(s).dataArea;
    // Every third column black, in step with the stride: a third of the area.
    for (int x = a.x1 + 1; x < a.x2 - 1; x += 3)
        for (int y = a.y1 + 1; y < a.y2 - 1; ++y) img.setPixel(x, y, 0xFF000000u);
    EXPECT_NEAR(blankShare(s, img), 2.0 / 3, 0.01);
    EXPECT_EQ(strongColour(s, img), 255);
    // Bands 16 columns wide, one in three, in step with runs of 16 pixels
    // taken one in three.
    img.fill(Qt::white);
    for (int x = a.x1 + 1; x < a.x2 - 1; ++x)
        if ((x - a.x1 - 1) / 16 % 3 == 0)
            for (int y = a.y1 + 1; y < a.y2 - 1; ++y) img.setPixel(x, y, 0xFF000000u);
    EXPECT_NEAR(blankShare(s, img), 2.0 / 3, 0.01);
    // Strong rows, every third one, are seen too.
    img.fill(Qt::white);
    for (int y = a.y1 + 1; y < a.y2 - 1; y += 3)
        for (int x = a.x1 + 1; x < a.x2 - 1; ++x) img.setPixel(x, y, 0xFF000000u);
    EXPECT_NEAR(blankShare(s, img), 2.0 / 3, 0.01);
}

TEST(AutoGain, WholeTraceWindowEnd) {
    EXPECT_EQ(wholeTraceEnd(462, 0.25L), 1848); // F3: 462 samples every 4 ms
    EXPECT_EQ(wholeTraceEnd(1000, 1000.0L / 125), 125);
    EXPECT_EQ(wholeTraceEnd(3, 2), 2); // 1.5 ms rounds up
    EXPECT_EQ(wholeTraceEnd(16384, 0.01L), 100000);
    EXPECT_EQ(wholeTraceEnd(0, 4), 0);
    EXPECT_EQ(wholeTraceEnd(100, 0), 0);
}
