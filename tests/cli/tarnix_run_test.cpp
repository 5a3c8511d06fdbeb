// tarnix-run as a script sees it: whole outputs compared with committed files.
#include "support/run_tool.h"
#include "support/segy_fixture.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

using tarnix::test::SynthSegy;
using tarnix::test::TempDir;

namespace {

using Result = tarnix::test::ToolResult;

Result runTool(const TempDir& dir, const std::string& args) {
    return tarnix::test::runTarnixRun(dir, args);
}

std::string expected(const std::string& name) {
    return tarnix::test::readTextFile(std::string(TARNIX_SOURCE_DIR) + "/tests/cli/expected/" +
                                      name);
}

// Three big-endian shots of 8 samples at 2 ms with a full navigation header.
std::string writeLine(const TempDir& dir, const std::string& name) {
    SynthSegy f;
    const unsigned char title[] = {0xE3, 0xC1, 0xD9, 0xD5, 0xC9, 0xE7,
                                   0x40, 0xE3, 0xC5, 0xE2, 0xE3, 0x4B};
    std::copy(std::begin(title), std::end(title), f.text.begin());
    f.binaryNs = 8;
    f.binaryInterval = 2000;
    for (int t = 0; t < 3; ++t)
        f.addTrace(7 + t, 8, 2000)
            .set(13, 1)
            .set(71, -100)
            .set(89, 2)
            .set(73, -1296000 - t)
            .set(77, 20736000 + t)
            .set(109, 6)
            .set(157, 2024)
            .set(159, 35)
            .set(161, 13)
            .set(163, 45)
            .set(165, 10 + t);
    const std::string path = dir.file(name);
    f.write(path);
    return path;
}

} // namespace

TEST(TarnixRun, InfoHeaderAndTraceDumpMatchExpectedOutput) {
    TempDir dir;
    const std::string path = writeLine(dir, "line.SGY");
    Result r =
        runTool(dir, "--info --header 2 --dump-trace 2 --mul 2 --add 1 --window 0:16 " + path);
    ASSERT_EQ(r.status, 0) << r.err;
    const std::string file = "File: " + path + "\n";
    ASSERT_EQ(r.out.substr(0, file.size()), file);
    EXPECT_EQ(r.out.substr(file.size()), expected("line_info_header_dump.txt"));
    EXPECT_EQ(r.err, "");
}

TEST(TarnixRun, TextualHeaderIs45Lines) {
    TempDir dir;
    const std::string path = writeLine(dir, "line.sgy");
    Result r = runTool(dir, "--textual-header " + path);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 45);
    EXPECT_EQ(r.out.substr(0, 81), std::string("TARNIX TEST ") + std::string(68, ' ') + "\n");
}

TEST(TarnixRun, ExitStatusesAndMessages) {
    TempDir dir;
    const std::string path = writeLine(dir, "line.sgy");
    Result r = runTool(dir, "--dump-trace 3 " + path);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err,
              "tarnix-run: End of data: " + path + ": trace 3 lies past the end of the file\n");

    r = runTool(dir, "--info " + dir.file("missing.sgy"));
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("missing.sgy"), std::string::npos);
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1);

    r = runTool(dir, "--info " + dir.file("line.xyz"));
    EXPECT_EQ(r.status, 1);

    for (const std::string& bad :
         {"--channels 25 " + path, "--shots 1-4 " + path, "--mul x " + path, "--frobnicate " + path,
          path + " " + path, std::string("--header"), std::string()}) {
        r = runTool(dir, bad);
        EXPECT_EQ(r.status, 2) << bad;
        EXPECT_NE(r.err.find("Usage: tarnix-run"), std::string::npos) << bad;
    }
}

TEST(TarnixRun, LittleEndianAndChannelOptions) {
    TempDir dir;
    SynthSegy f;
    f.bigEndian = false;
    for (int t = 0; t < 4; ++t) f.addTrace(t + 1, 4, 1000).set(109, 3);
    f.write(dir.file("le.sgy"));
    Result r =
        runTool(dir, "--little-endian --info --dump-trace 3 --window 0:4 " + dir.file("le.sgy"));
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("NumTraces: 4\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("1.00000000 -100.00000000\n"), std::string::npos) << r.out;

    SynthSegy m;
    for (int t = 0; t < 6; ++t) m.addTrace(t + 1, 4, 1000);
    m.write(dir.file("two.sgy"));
    r = runTool(dir, "--channels 2 --channel 2 --header 1 --multiping 300 --info " +
                         dir.file("two.sgy"));
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("NumTraces: 3\n"), std::string::npos) << r.out; // trunc(6 / 2) + 1 - 1
    EXPECT_NE(r.out.find("Original field record number 4\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("Delay: 396\n"), std::string::npos) << r.out; // trunc(399.99 / 4) x 4
}

TEST(TarnixRun, RealLinesSurviveARunWithOnlyAWsegRow) {
    for (auto [name, order] :
         {std::pair{"peer/segyio-f3.sgy", "BE"}, std::pair{"peer/segyio-Format3lsb.sgy", "LE"}}) {
        const std::string in = tarnix::test::testdataPath(name);
        if (in.empty()) GTEST_SKIP() << "peer test data not present";
        TempDir dir;
        const std::string out = dir.file("copy.sgy");
        tarnix::test::writeTextFile(dir.file("seq.txt"), "# Module p1 p2 p3 p4 p5 p6 \n1 WSEG " +
                                                             out + " " + order + " 2    \n");
        Result r = runTool(dir, std::string(order == std::string("LE") ? "--little-endian " : "") +
                                    "--shots 0:414 --window 0:300 --report --sequence " +
                                    dir.file("seq.txt") + " " + in);
        ASSERT_EQ(r.status, 0) << r.err;
        EXPECT_NE(r.out.find("Normal Completion"), std::string::npos) << r.out;
        const std::string a = tarnix::test::readTextFile(in), b = tarnix::test::readTextFile(out);
        ASSERT_EQ(a.size(), b.size()) << name;
        EXPECT_EQ(a.substr(0, 3600), b.substr(0, 3600));
        for (int t = 0; t < 414; ++t)
            ASSERT_EQ(a.substr(3600 + 390 * t + 240, 150), b.substr(3600 + 390 * t + 240, 150))
                << name << " trace " << t;
    }
}

TEST(TarnixRun, ByteOrderAndDataFormatOptions) {
    TempDir dir;
    SynthSegy f;
    f.bigEndian = false;
    f.formatCode = 5;
    f.headerCode = 0; // a header that does not say
    for (int t = 0; t < 3; ++t) f.addTrace(t + 1, 4, 1000).reals = {0.5, -0.25, 3, 0};
    f.write(dir.file("ieee.sgy"));
    Result r = runTool(dir, "--info " + dir.file("ieee.sgy"));
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("sample format code 0 (bytes 3225-3226, read little-endian)"),
              std::string::npos)
        << r.err;
    r = runTool(dir, "--data-format 5 --info --dump-trace 1 --window 0:4 " + dir.file("ieee.sgy"));
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("Byte order: little-endian (detected)\n"
                         "Data format: IEEE float (format 5) (chosen)\n"),
              std::string::npos)
        << r.out;
    EXPECT_NE(r.out.find("1.00000000 0.50000000\n2.00000000 -0.25000000\n"), std::string::npos)
        << r.out;
    r = runTool(dir, "--big-endian --data-format 5 --info " + dir.file("ieee.sgy"));
    EXPECT_EQ(r.status, 1); // the sample interval makes no sense big-endian
    r = runTool(dir, "--data-format 4 " + dir.file("ieee.sgy"));
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("the format code is 1, 2, 3, 5 or 8"), std::string::npos);
}

TEST(TarnixRun, DefaultRangeReadsEveryTraceAndUnknownCodesFail) {
    const std::string in = tarnix::test::testdataPath("peer/segyio-f3.sgy");
    if (in.empty()) GTEST_SKIP() << "peer test data not present";
    TempDir dir;
    Result r = runTool(dir, "--window 0:300 --report " + in);
    ASSERT_EQ(r.status, 0) << r.err;
    // Traces 0..413: the last one read is the file's last, and the run ends normally.
    EXPECT_NE(r.out.find("Read 414 Traces\n\nNormal Completion\n"), std::string::npos) << r.out;

    tarnix::test::writeTextFile(dir.file("seq.txt"),
                                "# Module p1 p2 p3 p4 p5 p6 \n1 DBAS       \n2 FLMT 1      \n");
    r = runTool(dir, "--window 0:300 --report --sequence " + dir.file("seq.txt") + " " + in);
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.out.find("Run stopped at shot 0: row 2: 'FLMT' is not a processing module"),
              std::string::npos)
        << r.out;
    EXPECT_NE(r.err.find("'FLMT' is not a processing module"), std::string::npos) << r.err;

    // A format with no reader is refused by name.
    tarnix::test::writeTextFile(dir.file("x.xyz"), "");
    r = runTool(dir, "--info " + dir.file("x.xyz"));
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("extension \".XYZ\""), std::string::npos) << r.err;
}

TEST(TarnixRun, FloatLineThroughWsegIeeeKeepsEverySampleBit) {
    const std::string in = tarnix::test::testdataPath("peer/segyio-Format5msb.sgy");
    if (in.empty()) GTEST_SKIP() << "peer test data not present";
    const std::string a = tarnix::test::readTextFile(in);
    for (const std::string order : {"BE", "LE"}) {
        TempDir dir;
        const std::string out = dir.file("copy.sgy");
        tarnix::test::writeTextFile(dir.file("seq.txt"), "# Module p1 p2 p3 p4 p5 p6 \n1 WSEG " +
                                                             out + " " + order + " 2 IEEE   \n");
        Result r = runTool(dir, "--shots 0:414 --window 0:300 --report --sequence " +
                                    dir.file("seq.txt") + " " + in);
        ASSERT_EQ(r.status, 0) << r.err;
        EXPECT_NE(r.out.find("Normal Completion"), std::string::npos) << r.out;
        const std::string b = tarnix::test::readTextFile(out);
        ASSERT_EQ(a.size(), b.size()) << order;
        EXPECT_EQ(b.substr(3224, 2),
                  order == "BE" ? std::string("\0\5", 2) : std::string("\5\0", 2));
        for (int t = 0; t < 414; ++t) {
            const std::string want = a.substr(3600 + 540 * t + 240, 300);
            std::string got = b.substr(3600 + 540 * t + 240, 300);
            if (order == "LE") // the same floats, each stored the other way round
                for (size_t i = 0; i < got.size(); i += 4)
                    std::reverse(got.begin() + i, got.begin() + i + 4);
            ASSERT_EQ(got, want) << order << " trace " << t;
        }
        // And read back as any float file: the dump equals the input's.
        Result x = runTool(dir, "--dump-trace 7 --window 0:300 " + out);
        Result y = runTool(dir, "--dump-trace 7 --window 0:300 " + in);
        ASSERT_EQ(x.status, 0) << x.err;
        EXPECT_EQ(x.out, y.out);
    }
}
