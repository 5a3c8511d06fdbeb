#include "core/session.h"
#include "display/profile_layout.h"
#include "display/profile_renderer.h"

#include <QGuiApplication>
#include <gtest/gtest.h>
#include <memory>

using namespace tarnix;

namespace {

// 10 shots from 1 to 11 at two columns each, 0..20 ms over 41 rows, delay 12.7 ms.
std::unique_ptr<Session> smallLine() {
    auto s = std::make_unique<Session>();
    s->shots.StartShot.set(1);
    s->shots.EndShot.set(11);
    s->NumTraces = 10;
    s->display.Rep.set(2);
    s->display.NVP.set(41);
    s->display.ShotFreq.set(5);
    s->display.TimeFreq.set(10);
    s->display.SoundSpeedEdit.set(1500);
    s->StartSweep.set(0);
    s->EndSweep.set(20);
    s->header.Delay = 12.7;
    s->InputFileName = "/data/lines/L042.sgy";
    setupProfileGeometry(*s);
    return s;
}

std::vector<std::string> textsAt(const AnnotationLayout& L, int x) {
    std::vector<std::string> out;
    for (const auto& t : L.texts)
        if (t.x == x) out.push_back(t.text + "@" + std::to_string(t.y));
    return out;
}

bool hasLine(const AnnotationLayout& L, AnnotationLine want) {
    for (const auto& l : L.lines)
        if (l.x1 == want.x1 && l.y1 == want.y1 && l.x2 == want.x2 && l.y2 == want.y2) return true;
    return false;
}

} // namespace

TEST(Annotation, LabelPositionsOnASmallImage) {
    auto s = smallLine();
    ASSERT_EQ(s->ImageRows, 41);
    ASSERT_EQ(s->ImageColumns, 20);
    AnnotationLayout L = annotationLayout(*s);

    // Shots: the first, the last and multiples of 5, at (s - 1) * 2 + 50.
    std::vector<std::string> top;
    for (const auto& t : L.texts)
        if (t.y == 25) top.push_back(t.text + "@" + std::to_string(t.x));
    EXPECT_EQ(top, (std::vector<std::string>{"1@50", "5@58", "10@68", "11@70"}));
    EXPECT_TRUE(hasLine(L, {58, 50, 58, 43}));

    // Left: times plus truncate(delay) = 12; 10 ms lies at truncate(10 / (20 / 41)) = 20.
    std::vector<std::string> left = textsAt(L, 10);
    ASSERT_EQ(left.size(), 3u);
    EXPECT_EQ(left[0], "12@50");
    EXPECT_EQ(left[1], "22@70");
    EXPECT_TRUE(left[2] == "32@91" || left[2] == "32@90") << left[2];
    EXPECT_TRUE(hasLine(L, {50, 70, 43, 70}));

    // Right: depths. d0 = round(9.525) div 2 = 5; dS = 5, dE = 5 + 15 = 20; labels
    // at 5, 10 and 20, shown as d0 + d, 15 / 41 m per row.
    std::vector<std::string> right = textsAt(L, 20 + 50 + 12);
    ASSERT_EQ(right.size(), 3u);
    EXPECT_EQ(right[0], "(10)@50");
    EXPECT_EQ(right[1], "(15)@63");
    EXPECT_TRUE(right[2] == "(25)@91" || right[2] == "(25)@90") << right[2];
    EXPECT_TRUE(hasLine(L, {71, 63, 77, 63}));

    EXPECT_TRUE(hasLine(L, {50, 91, 43, 91})); // bottom tick
    EXPECT_EQ(L.dataArea.x1, 50);
    EXPECT_EQ(L.dataArea.x2, 71);
    EXPECT_EQ(L.dataArea.y2, 92);
    EXPECT_FALSE(hasLine(L, {50, 70, 77, 70})); // no grid yet

    s->display.Grid.set(1);
    s->display.DlabelCheck = false;
    L = annotationLayout(*s);
    EXPECT_TRUE(hasLine(L, {50, 70, 77, 70})); // to Rep * NumTraces + 57
    right = textsAt(L, 82);
    ASSERT_EQ(right.size(), 3u);
    EXPECT_EQ(right[1], "10@70"); // right-hand times carry no delay
}

TEST(Annotation, ZeroIntervalsAndEmptyScalesDoNotDivide) {
    auto s = smallLine();
    s->display.ShotFreq.set(0);
    s->display.TimeFreq.set(0);
    s->display.SoundSpeedEdit.set(0);
    AnnotationLayout L = annotationLayout(*s);
    EXPECT_EQ(textsAt(L, 10).size(), 2u); // only the ends
    auto right = textsAt(L, 82);
    ASSERT_EQ(right.size(), 1u); // dS = dE
    EXPECT_EQ(right[0], "(10)@50");

    s->display.NVP.set(0);
    setupProfileGeometry(*s);
    ASSERT_EQ(s->ImageRows, -1);
    L = annotationLayout(*s);
    EXPECT_TRUE(L.texts.empty());
    EXPECT_EQ(L.lines.size(), 1u); // the bottom tick only
}

TEST(Annotation, RunEndDrawsTicksFrameAndCaption) {
    auto s = smallLine();
    ProfileRenderer r(*s);
    r.createImage();
    r.runEnd(QFont("DejaVu Sans", 8));
    const QImage& pic = r.picture();
    ASSERT_EQ(pic.width(), 120);
    ASSERT_EQ(pic.height(), 141);
    auto dark = [&](int x, int y) { return qRed(pic.pixel(x, y)) < 128; };
    // Outer frame on all four edges.
    EXPECT_TRUE(dark(0, 0) && dark(119, 0) && dark(0, 140) && dark(119, 140));
    // Shot tick at x = 58 from row 50 up to 44; row 43 is its end point.
    for (int y = 44; y <= 50; ++y) EXPECT_TRUE(dark(58, y)) << y;
    EXPECT_FALSE(dark(58, 42));
    // Data-area outline covers columns 50..70 and rows 50..91.
    EXPECT_TRUE(dark(50, 60) && dark(70, 60) && dark(60, 91));
    EXPECT_FALSE(dark(71, 60));
    // Some ink in the label and caption places.
    auto inkIn = [&](int x0, int y0, int x1, int y1) {
        for (int y = y0; y <= y1; ++y)
            for (int x = x0; x <= x1; ++x)
                if (dark(x, y)) return true;
        return false;
    };
    EXPECT_TRUE(inkIn(50, 25, 60, 40));    // "1"
    EXPECT_TRUE(inkIn(10, 70, 30, 85));    // "22"
    EXPECT_TRUE(inkIn(50, 103, 110, 118)); // "TARNIX v.1.1"
    EXPECT_FALSE(inkIn(60, 60, 65, 65));   // data area untouched
    EXPECT_EQ(lineNameCaption(s->InputFileName), "Line Name :L042");
}
