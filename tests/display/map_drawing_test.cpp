// Shot points, line names and tracks on the map bitmap.
#include "display/map_drawing.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace tarnix;

namespace {

QImage white(int w, int h) {
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(0xFFFFFFFFu);
    return img;
}

bool ink(const QImage& img, int x, int y) {
    return (img.pixel(x, y) & 0xFFFFFF) != 0xFFFFFF;
}

int inked(const QImage& img, QRect r) {
    int n = 0;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x) n += ink(img, x, y);
    return n;
}

// One degree on 200 x 200 pixels: 0.005 degrees a pixel, (0, 0) at the top left.
struct Map {
    QImage img = white(200, 200);
    MapLimits limits{"41", "40", "30", "29", "0", "200", "0", "200"};
    MapBox box = MapBox::parse(limits);
    MapPlotSettings settings;
    MapPlotter plotter{img, box, settings};
    static double lon(int x) { return 29 + x * 0.005; }
    static double lat(int y) { return 41 - y * 0.005; }
};

} // namespace

TEST(MapDrawing, ShotPointsFollowPointAndLabelSpacing) {
    Map m;
    m.settings.Labelspacing.set(100);
    m.settings.pointspacing.set(10);
    // Every tenth shot a small cross, whose lines stop short of their ends.
    EXPECT_TRUE(m.plotter.DRAW_POINT_ONMAP("110", Map::lon(50), Map::lat(50), false));
    EXPECT_TRUE(ink(m.img, 49, 50));
    EXPECT_TRUE(ink(m.img, 50, 50));
    EXPECT_TRUE(ink(m.img, 50, 49));
    EXPECT_FALSE(ink(m.img, 51, 50));
    EXPECT_FALSE(ink(m.img, 50, 51));
    EXPECT_EQ(inked(m.img, QRect(40, 40, 30, 30)), 3);

    // Shot 105 draws nothing.
    m.plotter.DRAW_POINT_ONMAP("105", Map::lon(100), Map::lat(100), false);
    EXPECT_EQ(inked(m.img, QRect(90, 90, 40, 40)), 0);

    // Shot 200: the black 4 x 4 square from x - 2 to x + 1 and its number below right.
    m.plotter.setPenColour(Qt::red);
    m.plotter.DRAW_POINT_ONMAP("200", Map::lon(100), Map::lat(100), false);
    for (int y = 98; y <= 101; ++y)
        for (int x = 98; x <= 101; ++x) EXPECT_EQ(m.img.pixel(x, y) & 0xFFFFFF, 0u) << x << y;
    EXPECT_FALSE(ink(m.img, 102, 100));
    EXPECT_FALSE(ink(m.img, 97, 100));
    EXPECT_FALSE(ink(m.img, 100, 102));
    EXPECT_GT(inked(m.img, QRect(103, 103, 30, 20)), 5);
    EXPECT_EQ(inked(m.img, QRect(60, 60, 30, 30)), 0);

    // A non-number label in normal mode, and a position with no place, draw nothing.
    m.img.fill(0xFFFFFFFFu);
    EXPECT_FALSE(m.plotter.DRAW_POINT_ONMAP("W1", Map::lon(20), Map::lat(20), false));
    EXPECT_FALSE(m.plotter.DRAW_POINT_ONMAP("100", NAN, 40.5, false));
    EXPECT_EQ(inked(m.img, m.img.rect()), 0);
}

TEST(MapDrawing, LabelledCrossesAndLineNames) {
    Map m;
    EXPECT_TRUE(m.plotter.DRAW_POINT_ONMAP("W1 ", Map::lon(50), Map::lat(50), true));
    for (int d = -3; d <= 3; ++d) EXPECT_TRUE(ink(m.img, 50 + d, 50)) << d;
    for (int d = -2; d <= 3; ++d) EXPECT_TRUE(ink(m.img, 50, 50 + d)) << d;
    EXPECT_FALSE(ink(m.img, 50, 46));
    EXPECT_FALSE(ink(m.img, 54, 50));
    EXPECT_GT(inked(m.img, QRect(53, 53, 20, 20)), 5); // "W1" below right
    EXPECT_EQ(inked(m.img, QRect(0, 0, 46, 46)), 0);

    m.img.fill(0xFFFFFFFFu);
    EXPECT_TRUE(m.plotter.DRAW_LINE_LABEL("L7", Map::lon(100), Map::lat(100)));
    EXPECT_GT(inked(m.img, QRect(95, 95, 30, 20)), 5);
    EXPECT_EQ(inked(m.img, QRect(0, 0, 200, 95)), 0);
    EXPECT_EQ(inked(m.img, QRect(0, 0, 95, 200)), 0);
    // Far off the map: nothing, and no endless walk.
    EXPECT_FALSE(m.plotter.DRAW_POINT_ONMAP("1", 29.5, -60, true));
}

TEST(MapDrawing, LinesGetTheirNameAndOptionallyTheirTrack) {
    Map m;
    m.settings.pointspacing.set(1);
    MapLine line{"L1", {{"1", Map::lon(20), Map::lat(100)}, {"2", Map::lon(180), Map::lat(100)}}};
    m.plotter.plotLine(line);
    EXPECT_EQ(inked(m.img, QRect(60, 95, 80, 10)), 0); // no track by default
    EXPECT_GT(inked(m.img, QRect(15, 95, 20, 15)), 6); // the name from 5 pixels above left
    m.settings.connectPoints = true;
    m.plotter.plotLine(line);
    for (int x = 21; x < 179; ++x) EXPECT_TRUE(ink(m.img, x, 100)) << x;
}
