#include "core/session.h"
#include "display/profile_cursor.h"
#include "display/profile_layout.h"

#include <gtest/gtest.h>
#include <memory>
#include <random>

using namespace tarnix;

namespace {
std::unique_ptr<Session> readoutSession() {
    auto s = std::make_unique<Session>();
    s->goEnabled = true;
    s->shots.StartShot.set(1);
    s->shots.EndShot.set(101);
    s->NumTraces = 100;
    s->display.Rep.set(2);
    s->display.NVP.set(400);
    s->display.SoundSpeedEdit.set(1500);
    s->StartSweep.set(0);
    s->EndSweep.set(100);
    s->SampleRate = 4;
    setupProfileGeometry(*s);
    return s;
}
} // namespace

TEST(CursorReadout, ShotTimeDepthAndTextsOfAPoint) {
    auto s = readoutSession();
    ASSERT_EQ(s->ImageColumns, 200);
    ASSERT_EQ(s->ImageRows, 399);
    s->navText[51] = "51 2024 12 1 2 3 60.1 25.2";
    DataArea area = profileDataArea(profileImageWidth(*s), profileImageHeight(*s));
    PointTexts out;
    ASSERT_TRUE(calcPointAttributes(*s, 55, area, 399, 100, out));
    EXPECT_EQ(s->cursor.CursorShot, 51);
    EXPECT_EQ(s->cursor.CursorTimeText, "100.000000");
    EXPECT_EQ(s->cursor.CursorDepthText, "75.000000");
    EXPECT_EQ(s->cursor.CursorSample, 400);
    EXPECT_EQ(s->cursor.CursorAmp, 200);
    EXPECT_EQ(out.image, "Image: (150, 449)");
    EXPECT_EQ(out.profile,
              "Shot :51   TWT  :100.000000 msec   Depth:75.000000 m  Sam:400   Amp:200");
    EXPECT_EQ(s->Edit3, "51 2024 12 1 2 3 60.1 25.2");

    // The delay counts in whole milliseconds and is left out of the plain time text.
    s->header.Delay = 12.9;
    ASSERT_TRUE(calcPointAttributes(*s, 255, area, 0, 0, out));
    EXPECT_EQ(s->cursor.CursorShot, 1);
    EXPECT_EQ(s->cursor.CursorTimeText, "12.000000");
    EXPECT_EQ(s->cursor.CursorTimeNoDelayText, "0.000000");

    // Half a shot rounds to the even neighbour: 100 * 1 / 200 = 0.5 -> 0; 3 / 200 * 100 = 1.5 -> 2.
    calcPointAttributes(*s, 0, area, 0, 1, out);
    EXPECT_EQ(s->cursor.CursorShot, 1);
    calcPointAttributes(*s, 0, area, 0, 3, out);
    EXPECT_EQ(s->cursor.CursorShot, 3);

    // A shot beyond the shot tables reads an empty navigation text.
    s->shots.EndShot.set(200000);
    calcPointAttributes(*s, 0, area, 0, 200, out);
    EXPECT_EQ(s->cursor.CursorShot, 200000);
    EXPECT_EQ(s->Edit3, "");
}

TEST(CursorReadout, PanelTextAndSkippedReadouts) {
    EXPECT_EQ(profilePanelText(120, 35.25, 26.4375, 1410, 200),
              "Shot :120   TWT  :35.250000 msec   Depth:26.437500 m  Sam:1410   Amp:200");
    auto s = readoutSession();
    PointTexts out;
    EXPECT_FALSE(calcPointAttributes(*s, 0, {50, 50, 50, 250}, 0, 0, out)); // no rows
    EXPECT_FALSE(calcPointAttributes(*s, 0, {50, 449, 50, 50}, 0, 0, out)); // no columns
    s->goEnabled = false;
    EXPECT_FALSE(calcPointAttributes(*s, 0, {50, 449, 50, 250}, 0, 0, out));
    EXPECT_TRUE(out.profile.empty());
}

TEST(CursorReadout, DataAreaAndThickness) {
    auto s = readoutSession();
    EXPECT_TRUE(inProfileDataArea(*s, 50, 50));
    EXPECT_TRUE(inProfileDataArea(*s, 249, 449));
    EXPECT_FALSE(inProfileDataArea(*s, 250, 100)); // X - 50 < ImageColumns
    EXPECT_FALSE(inProfileDataArea(*s, 100, 450));
    EXPECT_FALSE(inProfileDataArea(*s, 49, 100));
    s->cursor.DragStartDepth = 10;
    s->header.Delay = 0.5; // the thickness uses the delay as it is
    // t = 100 / 399 * 399 + 0.5 = 100.5 ms -> 75.375 m
    EXPECT_EQ(thicknessText(*s, 449), "Thick. :65.375 m");
    s->ImageRows = 0;
    EXPECT_EQ(thicknessText(*s, 449), "");
}

namespace {
// The split search written out directly: every window summed afresh.
int directSplit(const std::vector<int>& v, int W) {
    int best = 0;
    double bestDiff = 0;
    for (int k = 1; k <= W - 1; ++k) {
        double up = 0, low = 0;
        for (int j = 1; j <= k; ++j) up += v[j];
        for (int j = k; j <= W - 1; ++j) low += v[j];
        double d = up / k - low / (W - k);
        if (d > bestDiff) {
            bestDiff = d;
            best = k;
        }
    }
    return best;
}
} // namespace

TEST(BottomTracking, SplitMatchesDirectSearch) {
    // Strong above weak: v[1..4] = 200, the rest 0. k = 4 gives 200 - 200/6.
    std::vector<int> step(11, 0);
    for (int j = 1; j <= 4; ++j) step[j] = 200;
    EXPECT_EQ(bottomSplit(step, 10), 4);
    std::vector<int> flat(11, 7);
    EXPECT_EQ(bottomSplit(flat, 10), 0); // no difference above 0
    std::vector<int> rising(11);
    for (int j = 0; j <= 10; ++j) rising[j] = j;
    EXPECT_EQ(bottomSplit(rising, 10), 0);
    std::mt19937 gen(7);
    for (int round = 0; round < 200; ++round) {
        int W = 3 + static_cast<int>(gen() % 60);
        std::vector<int> v(W + 1);
        for (int j = 1; j <= W; ++j) v[j] = static_cast<int>(gen() % 4) * 60; // many ties
        EXPECT_EQ(bottomSplit(v, W), directSplit(v, W)) << W;
    }
}

TEST(BottomTracking, PickRowShotTimeAndStoreRule) {
    auto s = readoutSession();
    s->SampleRate = 50; // lag = truncate(4.0) = 4 rows
    BottomPick p = bottomPick(*s, 100, 200, 6, 0);
    EXPECT_EQ(p.row, 200 + 6 + 50 - 4);
    EXPECT_EQ(p.shot, 51);
    EXPECT_EQ(p.timeText, "50.626566"); // 100 / 399 * 202
    EXPECT_TRUE(p.store);
    s->Edit3 = "51 nav";
    EXPECT_EQ(bottomPickLine(*s, p, true), "51 50.626566");
    EXPECT_EQ(bottomPickLine(*s, p, false), "51 nav 50.626566");
    s->cursor.LastPickedShot = 51; // not above the previous pick
    EXPECT_FALSE(bottomPick(*s, 100, 200, 6, 0).store);
    s->cursor.LastPickedShot = 0;
    EXPECT_FALSE(bottomPick(*s, 100, 200, 6, 51).store); // the notebook's lower limit
    EXPECT_FALSE(bottomPick(*s, 100, 0, 0, 0).store);    // time not above 0
}

TEST(Zoom, StepsLabelsAndSizes) {
    double f = 1.0;
    for (int i = 0; i < 3; ++i) f = nextZoomFactor(f, -1);
    EXPECT_EQ(zoomLabel(f), "0.70");
    EXPECT_EQ(zoomedSize(400, f), 350);
    EXPECT_EQ(nextZoomFactor(f, 0), 1.0);
    EXPECT_EQ(zoomLabel(nextZoomFactor(1.0, 1)), "1.10");
    for (int i = 0; i < 20; ++i) f = nextZoomFactor(f, -1);
    EXPECT_GT(f, 0.05); // never zero or below
    EXPECT_GT(zoomedSize(0, f), 0);
}

TEST(InteractiveMapping, Edit4Text) {
    auto s = readoutSession();
    s->shotPosition[7] = {24.5, 60.125};
    EXPECT_EQ(interactiveMappingText(*s, 7), "24.50000000 60.12500000 I.M.");
    EXPECT_EQ(interactiveMappingText(*s, 50000), "0.00000000 0.00000000 I.M.");
}
