// tarnix-run --time-slice over several lines and --ref-curve on the file an
// RCCM run writes.
#include "support/line_fixture.h"
#include "support/temp_dir.h"

#include <QImage>

#include <gtest/gtest.h>

using namespace tarnix;
using tarnix::test::readTextFile;
using tarnix::test::TempDir;
using tarnix::test::writeLine;
using tarnix::test::writeTextFile;

namespace {

// Sample j (from 1) of trace k is 100 (k + 1) + j, 10 for the second line.
tarnix::test::SampleFn ramp(int scale) {
    return [scale](int k, int j) { return scale * (100 * (k + 1) + j); };
}

} // namespace

TEST(TarnixRunSlice, EveryFileIsALineAndRefusalsWriteNothing) {
    TempDir dir;
    const std::string a = writeLine(dir, "a.sgy", 4, 50, ramp(1));
    const std::string b = writeLine(dir, "b.SEG", 2, 50, ramp(-1));
    const std::string out = dir.file("slice.txt");
    auto r = test::runTarnixRun(dir, "--big-endian --window 10:60 --time-slice 7 " + out + " " + a +
                                         " " + b);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "Time slice " + out + ": 6 lines from 2 files\n");
    const std::string text = readTextFile(out);
    // Level 7 from 10 ms is sample 17.
    EXPECT_EQ(text.substr(0, text.find('\n')),
              " 1.17000000000000E+0002 0 0.00000000 0.00000000  1.17000000000000E+0002 a.sgy");
    EXPECT_NE(text.find("\n-2.17000000000000E+0002 1 0.00000000 0.00000000 "
                        "-2.17000000000000E+0002 b.SEG\n"),
              std::string::npos)
        << text;

    writeTextFile(dir.file("notes.txt"), "x");
    for (const std::string& args :
         {"--window 0:100 --time-slice 1957 " + out + " " + a,
          "--window 0:100 --time-slice 5 " + out + " " + a + " " + dir.file("notes.txt")}) {
        r = test::runTarnixRun(dir, args);
        EXPECT_EQ(r.status, 1) << args;
        EXPECT_NE(r.err.find("nothing was written"), std::string::npos) << r.err;
        EXPECT_EQ(readTextFile(out), text);
    }
    EXPECT_EQ(test::runTarnixRun(dir, "--time-slice x " + out + " " + a).status, 2);
    EXPECT_EQ(test::runTarnixRun(dir, "--time-slice 5 " + out + " --report " + a).status, 2);
}

TEST(TarnixRunSlice, TheCurveOfAnRccmRunAndOfAFlatFile) {
    TempDir dir;
    // The pulse at 0 ms and the sea floor at 50 ms, as the RCCM row tests use.
    const std::string line = writeLine(dir, "rc.sgy", 8, 200, [](int, int i) {
        const int slot = i - 1;
        return slot <= 2 ? 1000 : slot >= 49 && slot <= 52 ? 500 : 0;
    });
    writeTextFile(dir.file("floor.mut"), "0 50.000000\n");
    writeTextFile(dir.file("s.seq"), "# Module p1 p2 p3 p4 p5 p6 \n1 RCCM floor.mut " +
                                         dir.file("rc.REF") + " 3 FALSE 0.0000072 \n");
    auto r = test::runTarnixRun(dir, "--sequence " + dir.file("s.seq") +
                                         " --window 0:200 --shots 1:7 --sound-speed 1500 "
                                         "--report " +
                                         line);
    ASSERT_EQ(r.status, 0) << r.err;
    r = test::runTarnixRun(dir, "--ref-curve " + dir.file("rc.REF") + " " + dir.file("c.png"));
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "MAX 0.500000\nMIN 0.500000\nLines: 6\n");
    QImage img(QString::fromStdString(dir.file("c.png")));
    ASSERT_EQ(img.width(), 6);
    ASSERT_EQ(img.height(), 170);
    EXPECT_EQ(img.pixel(0, 0), qRgb(0, 0, 0));
    EXPECT_EQ(img.pixel(3, 0), qRgb(0, 0, 0)); // every line at the top: c = MAX
    EXPECT_EQ(img.pixel(3, 1), qRgb(255, 255, 0));

    writeTextFile(dir.file("zero.ref"),
                  "50001 2026 1 0 0 0 1 2 0.0 3\n50002 2026 1 0 0 1 1 2 0 3\n");
    r = test::runTarnixRun(dir, "--ref-curve " + dir.file("zero.ref") + " " + dir.file("z.bmp"));
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(QImage(QString::fromStdString(dir.file("z.bmp"))).pixel(1, 169), qRgb(0, 0, 0));
    writeTextFile(dir.file("empty.ref"), "");
    r = test::runTarnixRun(dir, "--ref-curve " + dir.file("empty.ref") + " " + dir.file("e.png"));
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("no reflectivity line"), std::string::npos) << r.err;
}
