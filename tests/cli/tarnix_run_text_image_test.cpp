// tarnix-run on ASCII tables, headerless sample files and scanned profiles:
// their options, a trace dump of each, and Export Ascii of a record file.
#include "formats/bmp_image.h"
#include "support/image_fixture.h"
#include "support/korva_fixture.h"
#include "support/run_tool.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <string>

using namespace tarnix;
using namespace tarnix::test;

TEST(TarnixRunTextImage, AsciiTableAtTheGivenRate) {
    TempDir dir;
    writeTextFile(dir.file("t.txt"), "1,2,3,\n4,5,6,\n7,8,9,\n");
    auto r =
        runTarnixRun(dir, "--ascii-rate 2 --window 0:1 --info --dump-trace 3 " + dir.file("t.txt"));
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("NumTraces: 3\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("SampleRate: 2\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("0.50000000 3.00000000\n1.00000000 6.00000000\n"), std::string::npos)
        << r.out;
    auto bad = runTarnixRun(dir, "--ascii-rate 0 " + dir.file("t.txt"));
    EXPECT_EQ(bad.status, 2);
}

TEST(TarnixRunTextImage, BinaryWithTheDialogsSettings) {
    TempDir dir;
    Bytes b;
    for (int v = 0; v < 12; ++v) {
        b.push_back(static_cast<unsigned char>(v));
        b.push_back(0);
    }
    writeBytes(dir.file("r.bin"), b);
    auto r = runTarnixRun(dir, "--bin-samples 3 --bin-bits 16 --bin-rate 1000 --bin-channels 2 "
                               "--channel 2 --window 0:3 --info --dump-trace 1 " +
                                   dir.file("r.bin"));
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("NumTraces: 2\n"), std::string::npos) << r.out;
    // Shot 1, channel 2: samples 9, 10, 11.
    EXPECT_NE(r.out.find("1.00000000 9.00000000\n2.00000000 10.00000000\n3.00000000 11.00000000\n"),
              std::string::npos)
        << r.out;
    EXPECT_EQ(runTarnixRun(dir, "--bin-samples 20000 " + dir.file("r.bin")).status, 2);
    EXPECT_EQ(runTarnixRun(dir, "--bin-bits 12 " + dir.file("r.bin")).status, 2);
}

TEST(TarnixRunTextImage, ScannedProfileWithItsSideFileOrBnd) {
    TempDir dir;
    const RgbImage img = redRamp(7, 6, 0x0000ff);
    writeBytes(dir.file("p.bmp"), encodeBmp24(img));
    writeTextFile(dir.file("p.bnd"), "0\n2\n1\n6\n0\n5\n0\n2\n");
    writeTextFile(dir.file("other.bnd"), "0\n1\n1\n6\n1\n5\n3\n4\n");
    auto r = runTarnixRun(dir, "--dump-trace 2 " + dir.file("p.bmp"));
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "1.00000000 244.00000000\n2.00000000 243.00000000\n");
    r = runTarnixRun(dir,
                     "--bnd " + dir.file("other.bnd") + " --dump-trace 2 " + dir.file("p.bmp"));
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "1.00000000 231.00000000\n"); // column 2, row 4: red 24
}

TEST(TarnixRunTextImage, ExportAsciiOfTheSelectedShots) {
    TempDir dir;
    SynthKorvaRecord rec;
    rec.scan = 1;
    writeBytes(dir.file("l.d02"), korvaFile(rec, 3, 16384));
    auto r = runTarnixRun(dir, "--window 0:1 --shots 1:3 --export-ascii " + dir.file("o.txt") +
                                   " " + dir.file("l.d02"));
    ASSERT_EQ(r.status, 0) << r.err;
    const std::string text = readTextFile(dir.file("o.txt"));
    // 8 samples per ms; shots 1 and 2, each value followed by a comma.
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 8);
    EXPECT_EQ(std::count(text.begin(), text.end(), ','), 16);
    writeTextFile(dir.file("t.txt"), "1\n");
    auto bad = runTarnixRun(dir, "--export-ascii " + dir.file("x.txt") + " " + dir.file("t.txt"));
    EXPECT_EQ(bad.status, 1);
    EXPECT_NE(bad.err.find("Export Ascii reads KORVA 2.0"), std::string::npos) << bad.err;
}
