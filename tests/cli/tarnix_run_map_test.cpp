// tarnix-run's map options: a map bitmap, lines plotted on it, positions looked up.
#include "core/numtext.h"
#include "support/run_tool.h"
#include "support/temp_dir.h"

#include <QImage>
#include <gtest/gtest.h>

#include <sstream>

using tarnix::test::readTextFile;
using tarnix::test::TempDir;
using tarnix::test::writeTextFile;

namespace {

tarnix::test::ToolResult run(const TempDir& dir, const std::string& args) {
    return tarnix::test::runTarnixRun(dir, args, "XDG_CACHE_HOME=" + dir.path().string());
}

void whiteBitmap(const std::string& path, int w, int h) {
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(0xFFFFFFFFu);
    ASSERT_TRUE(img.save(QString::fromStdString(path), "BMP"));
}

// Shot i of the synthetic line: eastwards along 40.5 N, rising slowly.
double lonOf(int i) {
    return 29.1 + i * 0.002;
}
double latOf(int i) {
    return 40.4 + i * 0.0005;
}

std::pair<int, int> pointOf(const TempDir& dir, const std::string& map, double lon, double lat) {
    auto r = run(dir, "--map " + map + " --map-point " + tarnix::fixedText(lon, 8) + " " +
                          tarnix::fixedText(lat, 8));
    EXPECT_EQ(r.status, 0) << r.err;
    std::istringstream in(r.out);
    int x = -1, y = -1;
    in >> x >> y;
    return {x, y};
}

} // namespace

TEST(TarnixRunMap, ShotPointsLandWhereMapPointSaysTheyAre) {
    TempDir dir;
    whiteBitmap(dir.file("m.bmp"), 400, 300);
    writeTextFile(dir.file("m.bnd"), "41\n40\n29\n30\n0\n400\n0\n300\n");
    std::string nav = "# synthetic line\n";
    for (int i = 1; i <= 300; ++i)
        nav += std::to_string(i) + " 2026 100 10 0 0 " + tarnix::fixedText(latOf(i), 8) + " " +
               tarnix::fixedText(lonOf(i), 8) + "\n";
    writeTextFile(dir.file("L12.nav"), nav);
    auto r =
        run(dir, "--map " + dir.file("m.bmp") + " --plot-nav " + dir.file("L12.nav") +
                     " --label-spacing 100 --point-spacing 10 --map-image " + dir.file("out.png"));
    ASSERT_EQ(r.status, 0) << r.err;
    QImage out(QString::fromStdString(dir.file("out.png")));
    ASSERT_EQ(out.size(), QSize(400, 300));
    auto black = [&](int x, int y) { return (out.pixel(x, y) & 0xFFFFFF) == 0; };
    for (int shot : {100, 200, 300}) {
        const auto [x, y] = pointOf(dir, dir.file("m.bmp"), lonOf(shot), latOf(shot));
        EXPECT_EQ(x, static_cast<int>(tarnix::roundHalfEven((lonOf(shot) - 29) * 400)));
        for (int dy = -2; dy <= 1; ++dy)
            for (int dx = -2; dx <= 1; ++dx) EXPECT_TRUE(black(x + dx, y + dy)) << shot;
    }
    // Every tenth shot a small cross, the others nothing.
    const auto [x50, y50] = pointOf(dir, dir.file("m.bmp"), lonOf(50), latOf(50));
    EXPECT_TRUE(black(x50 - 1, y50));
    EXPECT_TRUE(black(x50, y50 - 1));
    EXPECT_FALSE(black(x50 - 2, y50 - 2));
    const auto [x55, y55] = pointOf(dir, dir.file("m.bmp"), lonOf(55), latOf(55));
    EXPECT_FALSE(black(x55, y55 - 1));

    // The same with the track joined: the pixels between two shot points inked.
    r = run(dir, "--map " + dir.file("m.bmp") + " --plot-nav " + dir.file("L12.nav") +
                     " --point-spacing 1000 --label-spacing 1000000 --connect-points"
                     " --map-image " +
                     dir.file("track.bmp"));
    ASSERT_EQ(r.status, 0) << r.err;
    QImage track(QString::fromStdString(dir.file("track.bmp")));
    ASSERT_EQ(track.size(), QSize(400, 300));
    EXPECT_EQ(track.pixel(x55, y55) & 0xFFFFFF, 0u);
}

TEST(TarnixRunMap, PositionsWithoutAFileAndTheUpperCaseSideFile) {
    TempDir dir;
    whiteBitmap(dir.file("chart.bmp"), 100, 100);
    writeTextFile(dir.file("chart.BND"), "40.783\n40.6667\n29.25\n30\n0\n1000\n0\n1000\n");
    writeTextFile(dir.file("w.bnd"), "51\n50\n-5\n-4\n0\n1000\n0\n1000\n");
    auto r = run(dir, "--map " + dir.file("chart.bmp") + " --map-point 29.625 40.72485");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "500 500\n");
    r = run(dir, "--bnd " + dir.file("w.bnd") + " --map-point 355.5 50.5");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "500 500\n");
    r = run(dir, "--bnd " + dir.file("w.bnd") + " --map-point -3.5 50.5");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "-3.5 50.5: outside the map limits\n");
    // No side file: borders 1..width, 1..height.
    whiteBitmap(dir.file("bare.bmp"), 101, 51);
    r = run(dir, "--map " + dir.file("bare.bmp") + " --map-point 29.25 40.783");
    EXPECT_EQ(r.out, "1 1\n");

    // A bad boundary file and a refused box are errors; plotting needs a map.
    writeTextFile(dir.file("bad.bnd"), "51\n50\n-5\n");
    r = run(dir, "--bnd " + dir.file("bad.bnd") + " --map-point 1 2");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("line 4"), std::string::npos) << r.err;
    writeTextFile(dir.file("flat.bnd"), "51\n50\n-5\n-4\n0\n0\n0\n1000\n");
    r = run(dir, "--bnd " + dir.file("flat.bnd") + " --map-point 1 2");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("X min and X max"), std::string::npos) << r.err;
    r = run(dir, "--plot-nav x.nav --map-image o.png");
    EXPECT_EQ(r.status, 2);
}

TEST(TarnixRunMap, XyzSamplesOfABitmapWithoutSideFile) {
    TempDir dir;
    QImage img(5, 4, QImage::Format_RGB32);
    img.fill(0xFFFFFFFFu);
    img.setPixel(0, 0, qRgb(100, 0, 0));
    img.setPixel(4, 2, qRgb(55, 9, 9)); // the last column
    img.setPixel(1, 2, qRgb(10, 0, 0)); // odd column: skipped
    ASSERT_TRUE(img.save(QString::fromStdString(dir.file("s.bmp")), "BMP"));
    auto r = run(dir, "--map " + dir.file("s.bmp") + " --map-xyz " + dir.file("s.xyz"));
    ASSERT_EQ(r.status, 0) << r.err;
    // Borders 1..5 x 1..4 of the start box: column 5 lies past the bitmap and is
    // never read; (0, 0) lies outside the box.
    EXPECT_EQ(readTextFile(dir.file("s.xyz")), "29.81250000 40.74423333 200\n");
}
