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
