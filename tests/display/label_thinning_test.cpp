#include "core/session.h"
#include "display/profile_layout.h"

#include <gtest/gtest.h>

using namespace tarnix;

TEST(LabelThinning, CloseTimeLabelsAreLeftOutTheEndsStay) {
    // 0 to 1000 ms every 10 ms into 99 rows: a label every row or so.
    Session s;
    s.shots.StartShot.set(0);
    s.shots.EndShot.set(10);
    s.NumTraces = 10;
    s.EndSweep.set(1000);
    s.display.NVP.set(100);
    s.display.DlabelCheck = false;
    setupProfileGeometry(s);
    const AnnotationLayout layout = annotationLayout(s);
    const auto thinned = thinnedTimeLabels(layout.texts, 12);
    std::vector<AnnotationText> left;
    for (const auto& t : thinned)
        if (t.x == 10) left.push_back(t);
    ASSERT_GE(left.size(), 2u);
    EXPECT_EQ(left.front().text, "0");
    EXPECT_EQ(left.back().text, "1000");
    for (size_t i = 1; i < left.size(); ++i) EXPECT_GE(left[i].y - left[i - 1].y, 12);
    EXPECT_LE(left.size(), 9u); // 99 rows hold 8 gaps of 12 at most

    // The layout (the label rule) keeps every label; the shot labels share no column.
    size_t leftInLayout = 0, shots = 0, shotsKept = 0;
    for (const auto& t : layout.texts) {
        if (t.x == 10) ++leftInLayout;
        if (t.y == 25) ++shots;
    }
    for (const auto& t : thinned)
        if (t.y == 25) ++shotsKept;
    EXPECT_EQ(leftInLayout, 101u);
    EXPECT_EQ(shotsKept, shots);
}

TEST(LabelThinning, TheEndLabelReplacesATouchingNeighbour) {
    const std::vector<AnnotationText> texts = {
        {10, 50, "0"}, {10, 70, "10"}, {10, 90, "20"}, {10, 95, "22"}};
    const auto out = thinnedTimeLabels(texts, 12);
    ASSERT_EQ(out.size(), 3u);
    EXPECT_EQ(out[0].text, "0");
    EXPECT_EQ(out[1].text, "10");
    EXPECT_EQ(out[2].text, "22");
    // Labels far enough apart are all kept.
    EXPECT_EQ(thinnedTimeLabels(texts, 5).size(), 4u);
}

TEST(LabelThinning, ShotLabelsThatWouldTouchAreLeftOutTheLastShotStays) {
    // F3's geometry: 414 traces, a shot label every 50, the last one 14 pixels
    // after "400".
    Session s;
    s.shots.StartShot.set(0);
    s.shots.EndShot.set(414);
    s.NumTraces = 414;
    s.display.NVP.set(100);
    setupProfileGeometry(s);
    const auto width = [](const std::string& t) { return 7 * static_cast<int>(t.size()); };
    const AnnotationLayout layout = annotationLayout(s);
    std::vector<std::string> row;
    for (const auto& t : thinnedLabels(layout.texts, 12, width))
        if (t.y == 25) row.push_back(t.text);
    ASSERT_GE(row.size(), 3u);
    EXPECT_EQ(row.front(), "0");
    EXPECT_EQ(row.back(), "414");
    EXPECT_EQ(row[row.size() - 2], "350"); // "400" would run into "414"
    // Time labels sit in columns; the left and right ones share rows but never touch.
    size_t left = 0, right = 0;
    for (const auto& t : thinnedTimeLabels(layout.texts, 12)) {
        if (t.y == 25) continue;
        (t.x == 10 ? left : right) += 1;
    }
    size_t leftKept = 0, rightKept = 0;
    for (const auto& t : thinnedLabels(layout.texts, 12, width)) {
        if (t.y == 25) continue;
        (t.x == 10 ? leftKept : rightKept) += 1;
    }
    EXPECT_EQ(leftKept, left);
    EXPECT_EQ(rightKept, right);
}

TEST(LabelThinning, ARowKeepsLabelsThatFitAndTheFirstWhenOnlyTwoTouch) {
    const auto width = [](const std::string& t) { return 6 * static_cast<int>(t.size()); };
    // 4-pixel gap: "10" at 0 ends at 12, so 16 is the first place for the next.
    const std::vector<AnnotationText> fits = {{0, 25, "10"}, {16, 25, "20"}, {32, 25, "30"}};
    EXPECT_EQ(thinnedLabels(fits, 12, width).size(), 3u);
    const std::vector<AnnotationText> touch = {{0, 25, "10"}, {15, 25, "20"}, {32, 25, "30"}};
    const auto out = thinnedLabels(touch, 12, width);
    ASSERT_EQ(out.size(), 2u);
    EXPECT_EQ(out[1].text, "30");
    // Only two that touch: the first one stays, as with time labels.
    const std::vector<AnnotationText> two = {{0, 25, "10"}, {5, 25, "20"}};
    const auto first = thinnedLabels(two, 12, width);
    ASSERT_EQ(first.size(), 1u);
    EXPECT_EQ(first[0].text, "10");
}
