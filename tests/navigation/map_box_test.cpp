// The map box: conversion both ways, refusals, boundary files, read-out texts,
// point and line files, XYZ sampling.
#include "core/error.h"
#include "navigation/map_box.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

using namespace tarnix;
using tarnix::test::readTextFile;
using tarnix::test::TempDir;
using tarnix::test::writeTextFile;

namespace {

MapLimits limits(std::string t, std::string b, std::string l, std::string r, std::string x0,
                 std::string x1, std::string y0, std::string y1) {
    return MapLimits{std::move(t),  std::move(b),  std::move(r),  std::move(l),
                     std::move(x0), std::move(x1), std::move(y0), std::move(y1)};
}

MapPixel pixel(const MapLimits& m, double lon, double lat) {
    const std::optional<MapPixel> p = MapBox::parse(m).LongLatToYX(lon, lat);
    EXPECT_TRUE(p.has_value());
    return p.value_or(MapPixel{-99999, -99999});
}

std::string refusal(const MapLimits& m) {
    std::string why;
    EXPECT_FALSE(MapBox::tryParse(m, &why).has_value());
    return why;
}

} // namespace

TEST(MapBox, StartTextsAndWorkedExamples) {
    MapLimits m;
    EXPECT_EQ(m.Top, "40.783");
    EXPECT_EQ(m.Bottom, "40.6667");
    EXPECT_EQ(m.Left, "29.25");
    EXPECT_EQ(m.Right, "30");
    EXPECT_EQ(m.xmin + m.xmax + m.ymin + m.ymax, "0000");
    m.xmax = "1000";
    m.ymax = "1000";
    const MapPixel p = pixel(m, 29.625, 40.72485);
    EXPECT_EQ(p.x, 500);
    EXPECT_EQ(p.y, 500);

    // Exactly half-way pixels go to the even neighbour: 2.5 -> 2.
    const MapLimits half = limits("41", "40", "29", "30", "100", "1124", "50", "1074");
    const MapPixel q = pixel(half, 29.00244140625, 40.99755859375);
    EXPECT_EQ(q.x, 102);
    EXPECT_EQ(q.y, 52);
    // 3.5 -> 4.
    const MapPixel r = pixel(half, 29 + 3.5 / 1024, 41 - 3.5 / 1024);
    EXPECT_EQ(r.x, 104);
    EXPECT_EQ(r.y, 54);
    // The box corners land on the borders.
    const MapPixel c = pixel(half, 30, 40);
    EXPECT_EQ(c.x, 1124);
    EXPECT_EQ(c.y, 1074);
}

TEST(MapBox, SouthernStraddlingAndWestOfGreenwichBoxes) {
    EXPECT_EQ(pixel(limits("-10", "-20", "0", "10", "0", "100", "0", "100"), 5, -15).y, 50);
    EXPECT_EQ(pixel(limits("5", "-5", "0", "10", "0", "100", "0", "100"), 5, 0).y, 50);

    // West of Greenwich typed with negative longitudes: not mirrored.
    const MapLimits west = limits("51", "50", "-5", "-4", "0", "1000", "0", "1000");
    EXPECT_EQ(pixel(west, -4.5, 50.5).x, 500);
    EXPECT_EQ(pixel(west, 355.5, 50.5).x, 500); // the same place in 0..360
    EXPECT_EQ(pixel(west, -4.9, 50.5).x, 100);
    // The same box typed in 0..360.
    const MapLimits west360 = limits("51", "50", "355", "356", "0", "1000", "0", "1000");
    EXPECT_EQ(pixel(west360, -4.5, 50.5).x, 500);
    EXPECT_EQ(pixel(west360, 355.5, 50.5).x, 500);
    // Across Greenwich and across the date line, in both conventions.
    const MapLimits across = limits("51", "50", "-1", "1", "0", "200", "0", "100");
    EXPECT_EQ(pixel(across, 359.5, 50.5).x, 50);
    EXPECT_EQ(pixel(across, 0.5, 50.5).x, 150);
    const MapLimits mixed = limits("51", "50", "359", "1", "0", "200", "0", "100");
    EXPECT_EQ(pixel(mixed, -0.5, 50.5).x, 50);
    EXPECT_EQ(pixel(mixed, 0.5, 50.5).x, 150);
    const MapLimits dateLine = limits("10", "0", "170", "-170", "0", "200", "0", "100");
    EXPECT_EQ(pixel(dateLine, 180, 5).x, 100);
    EXPECT_EQ(pixel(dateLine, -175, 5).x, 150);
    // Positions outside the box are still placed, west of it on the left.
    EXPECT_EQ(pixel(west, -5.5, 50.5).x, -500);
    // Eastings and northings are never wrapped.
    const MapLimits utm =
        limits("4510000", "4500000", "500000", "510000", "0", "1000", "0", "1000");
    EXPECT_EQ(pixel(utm, 500000, 4510000).x, 0);
    EXPECT_EQ(pixel(utm, 505000, 4505000).x, 500);
}

TEST(MapBox, PixelToPositionIsTheInverse) {
    const MapBox b = MapBox::parse(limits("41", "40", "29", "30", "100", "1124", "50", "1074"));
    const GeoPoint g = b.YXToLongLat(2, 3);
    EXPECT_DOUBLE_EQ(g.lon, 29 + 3.0 / 1024);
    EXPECT_DOUBLE_EQ(g.lat, 41 - 2.0 / 1024);
    const MapBox w = MapBox::parse(limits("51", "50", "-5", "-4", "0", "1000", "0", "1000"));
    EXPECT_DOUBLE_EQ(w.YXToLongLat(0, 500).lon, -4.5);
    const MapBox m = MapBox::parse(limits("51", "50", "359", "1", "0", "200", "0", "100"));
    EXPECT_NEAR(m.YXToLongLat(0, 150).lon, 0.5, 1e-12);
    EXPECT_NEAR(m.YXToLongLat(0, 50).lon, 359.5, 1e-12);
}

TEST(MapBox, BoxesThatCannotPlaceAnythingAreRefused) {
    EXPECT_NE(refusal(limits("40", "41", "29", "30", "0", "10", "0", "10")).find("Top"),
              std::string::npos);
    refusal(limits("0", "0", "29", "30", "0", "10", "0", "10"));
    refusal(limits("-1", "1", "29", "30", "0", "10", "0", "10")); // T <= 0 <= B
    EXPECT_NE(refusal(limits("41", "40", "30", "30", "0", "10", "0", "10")).find("Right"),
              std::string::npos);
    EXPECT_NE(refusal(limits("41", "40", "29", "30", "0", "0", "0", "10")).find("X min"),
              std::string::npos);
    EXPECT_NE(refusal(limits("41", "40", "29", "30", "0", "10", "5", "5")).find("Y min"),
              std::string::npos);
    EXPECT_NE(refusal(limits("41", "north", "29", "30", "0", "10", "0", "10")).find("Bottom"),
              std::string::npos);
    refusal(limits("41", "40", "29", "30", "0", "1.5", "0", "10"));
    EXPECT_THROW(MapBox::parse(limits("41", "40", "29", "30", "0", "0", "0", "10")),
                 ConversionError);

    // Positions that cannot be placed give no pixel.
    const MapBox b = MapBox::parse(limits("41", "40", "29", "30", "0", "10", "0", "10"));
    EXPECT_FALSE(b.LongLatToYX(NAN, 40.5).has_value());
    EXPECT_FALSE(b.LongLatToYX(29.5, INFINITY).has_value());
    const MapBox tiny = MapBox::parse(limits("41", "40.9999999", "29", "30", "0", "1", "0", "1"));
    EXPECT_FALSE(tiny.LongLatToYX(29.5, -80).has_value());
    // Edges a double cannot hold are refused; edges near its limits place nothing
    // rather than dividing infinities.
    EXPECT_NE(refusal(limits("4.5e312", "40", "29", "30", "0", "10", "0", "10")).find("Top"),
              std::string::npos);
    const MapBox huge =
        MapBox::parse(limits("1e308", "-1e308", "-1e308", "1e308", "0", "1", "0", "1"));
    EXPECT_FALSE(huge.LongLatToYX(1e308, 0).has_value());
    EXPECT_FALSE(huge.LongLatToYX(0, -1e308).has_value());
}

TEST(BoundaryFile, RoundTripsByteForByteAndLoadsAllOrNothing) {
    TempDir dir;
    const std::string text = "41.000\n 40\n-5\n-4.0e0\n0\n1000\n0\n1000\n";
    writeTextFile(dir.file("a.bnd"), text);
    MapLimits m;
    loadBoundaryFile(dir.file("a.bnd"), m);
    EXPECT_EQ(m.Top, "41.000");
    EXPECT_EQ(m.Bottom, " 40");
    EXPECT_EQ(m.Right, "-4.0e0");
    EXPECT_EQ(m.ymax, "1000");
    saveBoundaryFile(dir.file("b.bnd"), m);
    EXPECT_EQ(readTextFile(dir.file("b.bnd")), text);

    // CR line ends load; lines past the eighth are ignored.
    writeTextFile(dir.file("cr.bnd"), "10\r\n0\r\n1\r\n2\r\n3\r\n4\r\n5\r\n6\r\nextra\r\n");
    loadBoundaryFile(dir.file("cr.bnd"), m);
    EXPECT_EQ(m.Top, "10");
    EXPECT_EQ(m.ymax, "6");

    auto failure = [&](const std::string& body) {
        writeTextFile(dir.file("bad.bnd"), body);
        MapLimits before = m;
        std::string what = "no error";
        try {
            loadBoundaryFile(dir.file("bad.bnd"), m);
        } catch (const IoError& e) {
            what = e.what();
        }
        EXPECT_EQ(boundaryFields(m).size(), 8u);
        for (size_t i = 0; i < 8; ++i)
            EXPECT_EQ(*boundaryFields(m)[i], *boundaryFields(before)[i]) << body;
        return what;
    };
    EXPECT_NE(failure("41\n40\n29\n30\n0\n100\n0\n").find("line 8"), std::string::npos);
    EXPECT_NE(failure("41\n40\nabc\n30\n0\n100\n0\n100\n").find("line 3"), std::string::npos);
    EXPECT_NE(failure("41\n40\n29\n30\n0\n10.5\n0\n100\n").find("line 6"), std::string::npos);
    EXPECT_NE(failure("").find("line 1"), std::string::npos);
    EXPECT_THROW(loadBoundaryFile(dir.file("missing.bnd"), m), IoError);
}

TEST(BoundaryFile, SideFileTakesTheLowerCaseNameFirst) {
    TempDir dir;
    writeTextFile(dir.file("chart.bmp"), "");
    EXPECT_EQ(boundarySidePath(dir.file("chart.bmp")), "");
    writeTextFile(dir.file("chart.BND"), "x");
    EXPECT_EQ(boundarySidePath(dir.file("chart.bmp")), dir.file("chart.BND"));
    writeTextFile(dir.file("chart.bnd"), "x");
    EXPECT_EQ(boundarySidePath(dir.file("chart.bmp")), dir.file("chart.bnd"));
}

TEST(MapReadout, InsideIsMeasuredAgainstThePixelExtent) {
    const MapLimits m = limits("41", "40", "29", "30", "100", "1124", "50", "1074");
    MapReadout r = mapReadout(m, 101, 51);
    EXPECT_EQ(r.image, "Image: (101, 51)");
    EXPECT_EQ(r.lat, "40.99902344");
    EXPECT_EQ(r.lon, "29.00097656");
    EXPECT_EQ(r.map, "Lat. : 40.99902344   Long.:29.00097656   X/Y:1 1");
    EXPECT_EQ(mapReadout(m, 100, 50).map, "Lat. :    Long.:   X/Y:0 0");
    EXPECT_EQ(mapReadout(m, 1100, 1000).map.substr(0, 7), "Lat. : ");
    // Past the box's right edge, though still left of xmax itself.
    EXPECT_EQ(mapReadout(m, 1150, 1000).map, "Lat. :    Long.:   X/Y:1050 950");
    EXPECT_EQ(mapReadout(m, 1124, 1000).map, "Lat. :    Long.:   X/Y:1024 950");
    const MapReadout bad = mapReadout(limits("41", "40", "29", "30", "0", "0", "0", "1"), 3, 4);
    EXPECT_EQ(bad.image, "Image: (3, 4)");
    EXPECT_TRUE(bad.lat.empty());
    EXPECT_NE(bad.map.find("refused"), std::string::npos);
}

TEST(PointFile, LabelsEndAtTheFirstWhiteSpaceOfAnyLength) {
    std::vector<MapPoint> pts;
    parsePointFile("W1 29.5 40.7\n\n  \r\nABCDEFGHIJKLMNOPQRSTUVWXYZ\t29.25 40.5 ignored rest\r\n"
                   "P3 -4.5 50\n",
                   "p.xy", pts);
    ASSERT_EQ(pts.size(), 3u);
    EXPECT_EQ(pts[0].label, "W1 ");
    EXPECT_DOUBLE_EQ(pts[0].lon, 29.5);
    EXPECT_DOUBLE_EQ(pts[0].lat, 40.7);
    EXPECT_EQ(pts[1].label, "ABCDEFGHIJKLMNOPQRSTUVWXYZ ");
    EXPECT_DOUBLE_EQ(pts[1].lon, 29.25);
    EXPECT_DOUBLE_EQ(pts[1].lat, 40.5);
    EXPECT_DOUBLE_EQ(pts[2].lon, -4.5);

    pts.clear();
    try {
        parsePointFile("A 1 2\nB 3\n", "p.xy", pts);
        FAIL();
    } catch (const IoError& e) {
        EXPECT_NE(std::string(e.what()).find("p.xy: line 2"), std::string::npos);
    }
    EXPECT_EQ(pts.size(), 1u);
}

TEST(LineFiles, NavigationAndReflectivityLines) {
    EXPECT_EQ(lineFileKind("/d/L1.nav"), LineFileKind::Navigation);
    EXPECT_EQ(lineFileKind("L1.NAV"), LineFileKind::Navigation);
    EXPECT_EQ(lineFileKind("L1.Nav"), LineFileKind::None);
    EXPECT_EQ(lineFileKind("L1.ref"), LineFileKind::Reflectivity);
    EXPECT_EQ(lineFileKind("dir.nav/L1"), LineFileKind::None);

    TempDir dir;
    writeTextFile(dir.file("L7.nav"), "# made by hand\n\n10 2020 5 1 2 3 40.5 29.5\n\n"
                                      "20 2020 5 1 2 13 40.6 29.6\r\n");
    MapLine line;
    readLineFile(dir.file("L7.nav"), LineFileKind::Navigation, line);
    EXPECT_EQ(line.name, "L7");
    ASSERT_EQ(line.points.size(), 2u);
    EXPECT_EQ(line.points[1].label, "20");
    EXPECT_DOUBLE_EQ(line.points[1].lon, 29.6);
    EXPECT_DOUBLE_EQ(line.points[1].lat, 40.6);

    writeTextFile(dir.file("R.ref"), "5 2020 5 1 2 3 40.5 29.5 0.25 12\n"
                                     "6 2020 5 1 2 4 40.51 29.51 0.3 12 extra\n"
                                     "7 2020 5 1 2 4.5 40.52 29.52 0.3 12\n");
    EXPECT_THROW(readLineFile(dir.file("R.ref"), LineFileKind::Reflectivity, line), IoError);
    ASSERT_EQ(line.points.size(), 2u);
    EXPECT_EQ(line.name, "R");
    EXPECT_EQ(line.points[0].label, "5");
    EXPECT_DOUBLE_EQ(line.points[1].lat, 40.51);
    EXPECT_DOUBLE_EQ(line.points[1].lon, 29.51);
}

TEST(XyzSampling, EvenPixelsWithKnownRedsAndNothingOutsideTheBitmap) {
    // 5 x 4 bitmap; red = 10 * x + y except a white and a black pixel.
    const int w = 5, h = 4;
    auto red = [&](int x, int y) {
        EXPECT_GE(x, 0);
        EXPECT_LT(x, w);
        EXPECT_GE(y, 0);
        EXPECT_LT(y, h);
        if (x == 2 && y == 2) return 255;
        if (x == 4 && y == 0) return 0;
        return 10 * x + y;
    };
    // Without a side file the borders reach one past the last column and row.
    const MapBox b = MapBox::parse(limits("1", "0", "10", "11", "0", "5", "0", "4"));
    std::ostringstream out;
    const long long n = sampleXyz(b, w, h, red, out);
    EXPECT_EQ(out.str(), "10.00000000 0.50000000 253\n"
                         "10.40000000 1.00000000 235\n"
                         "10.80000000 0.50000000 213\n");
    EXPECT_EQ(n, 3);
    // An odd first column starts at the next even one.
    const MapBox odd = MapBox::parse(limits("1", "0", "10", "11", "1", "5", "1", "4"));
    std::ostringstream out2;
    sampleXyz(odd, w, h, red, out2);
    EXPECT_EQ(out2.str(), "10.75000000 0.66666667 213\n");
}
