// tarnix-run driving GO: the demo line, a sequence file, the image and the report.
#include "support/run_tool.h"
#include "support/temp_dir.h"

#include <QImage>
#include <algorithm>
#include <gtest/gtest.h>

using tarnix::test::TempDir;

namespace {

tarnix::test::ToolResult runGo(const TempDir& dir, const std::string& args) {
    // The demo line is written into the test's own cache directory.
    return tarnix::test::runTarnixRun(dir, args, "XDG_CACHE_HOME=" + dir.path().string());
}

} // namespace

TEST(TarnixRunGo, DemoRunWritesTheProfileReportAndNavigation) {
    TempDir dir;
    auto r = runGo(dir, "--demo --image " + dir.file("p.png") + " --report --nav " +
                            dir.file("line.nav") + " --rep 2 --nvp 200");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out,
              "Tarnix v. 1.2.1\n\nData File : " + dir.path().string() +
                  "/tarnix/demo-line-1200-2500-50.sgy\nRead 1200 Traces\n\nNormal Completion\n");
    QImage img(QString::fromStdString(dir.file("p.png")));
    ASSERT_FALSE(img.isNull());
    EXPECT_EQ(img.width(), 2 * 1200 + 100); // Rep x NumTraces + 100
    EXPECT_EQ(img.height(), 199 + 100);     // NVP 200 made odd + 100
    const std::string nav = tarnix::test::readTextFile(dir.file("line.nav"));
    // Every 10th shot from 0 (the run's first shot is one of them): 120 rows.
    EXPECT_EQ(std::count(nav.begin(), nav.end(), '\n'), 120);
    EXPECT_EQ(nav.substr(0, nav.find('\n')),
              "0 2026 142 8 30 0 59.85000000 24.50000000            ");
}

TEST(TarnixRunGo, BadSequenceTextFailsWithTheRowAndShot) {
    TempDir dir;
    tarnix::test::writeTextFile(dir.file("s.seq"),
                                "# Module p1 p2 p3 p4 p5 p6 \n1 AGCM 12x      \n");
    auto r = runGo(dir, "--demo --sequence " + dir.file("s.seq") + " --report");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.out.find("Run stopped at shot 0: row 1 (AGCM): '12x' is not a valid integer value"),
              std::string::npos)
        << r.out;
    EXPECT_NE(r.err.find("'12x'"), std::string::npos);
}

TEST(TarnixRunGo, DumpTraceGoesThroughTheSequence) {
    TempDir dir;
    tarnix::test::writeTextFile(dir.file("s.seq"),
                                "# Module p1 p2 p3 p4 p5 p6 \n1 ABSM       \n2 LING -1      \n");
    auto r = runGo(dir, "--demo --sequence " + dir.file("s.seq") + " --dump-trace 5");
    ASSERT_EQ(r.status, 0) << r.err;
    // |x| then x -1: no sample is above zero, and the first time is one interval.
    EXPECT_EQ(r.out.substr(0, 11), "0.05000000 ");
    size_t lines = 0, positive = 0, pos = 0;
    while ((pos = r.out.find('\n', pos)) != std::string::npos) {
        ++lines;
        ++pos;
        if (pos < r.out.size()) {
            const size_t blank = r.out.find(' ', pos);
            if (r.out[blank + 1] != '-' && r.out.compare(blank + 1, 10, "0.00000000") != 0)
                ++positive;
        }
    }
    EXPECT_EQ(lines, 2500u);
    EXPECT_EQ(positive, 0u);
}

TEST(TarnixRunGo, PicksAreDrawnOntoTheProfileImageWithTheirPen) {
    TempDir dir;
    // 10 ms after the delay on 399 rows of 0-100 ms: row 39.9 + 50, rounded 90.
    tarnix::test::writeTextFile(dir.file("h.MUT"), "600 10.0\n100 10.0\n");
    auto r = runGo(dir, "--demo --rep 1 --nvp 400 --window 0:100 --image " + dir.file("p.png") +
                            " --picks " + dir.file("h.MUT") + " --pick-pen red,3");
    ASSERT_EQ(r.status, 0) << r.err;
    QImage img(QString::fromStdString(dir.file("p.png")));
    ASSERT_FALSE(img.isNull());
    auto red = [&img](int x, int y) { return (img.pixel(x, y) & 0xFFFFFF) == 0xFF0000u; };
    // From shot 600 (column 650) back to shot 100 (column 150), both ends inked.
    for (int x : {150, 400, 650})
        for (int y : {89, 90, 91}) EXPECT_TRUE(red(x, y)) << x << "," << y;
    EXPECT_FALSE(red(400, 93));
    EXPECT_FALSE(red(149 - 2, 90));

    // A point file is not a horizon; a bad pen is a usage error.
    tarnix::test::writeTextFile(dir.file("p.xy"), "1 24.5 60.1\n");
    r = runGo(dir, "--demo --image " + dir.file("q.png") + " --picks " + dir.file("p.xy"));
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find(".MUT or .DGT"), std::string::npos) << r.err;
    r = runGo(dir, "--demo --image " + dir.file("q.png") + " --picks " + dir.file("h.MUT") +
                       " --pick-pen red,7");
    EXPECT_EQ(r.status, 2);
    r = runGo(dir, "--demo --picks " + dir.file("h.MUT"));
    EXPECT_EQ(r.status, 2);
}
