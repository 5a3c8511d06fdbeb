// tarnix-run on XTF pings and SEG-2 gathers: the same options as for SEG-Y.
#include "support/run_tool.h"
#include "support/sonar_fixture.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>

using namespace tarnix::test;

namespace {

// Three pings of 8 samples over 8 ms: port 1000 n + i, starboard 100 n + i;
// ping 1 has no fix.
std::string writeXtf(const TempDir& dir) {
    const std::vector<SynthXtfChannel> ch = {{1, 2, false, 0}, {2, 2, false, 0}};
    Bytes f = xtfFileHeader(ch);
    for (uint32_t n = 1; n <= 3; ++n) {
        SynthPing p;
        p.pingNumber = n;
        p.timeDuration = 0.008f;
        p.second = static_cast<int>(n);
        if (n > 1) {
            p.sensorX = -70 + 0.001 * n;
            p.sensorY = 45.5;
        }
        p.samples.assign(2, std::vector<double>(8));
        for (int i = 0; i < 8; ++i) {
            p.samples[0][static_cast<size_t>(i)] = 1000 * n + i;
            p.samples[1][static_cast<size_t>(i)] = 100 * n + i;
        }
        append(f, xtfPing(p, ch));
    }
    writeBytes(dir.file("line.xtf"), f);
    return dir.file("line.xtf");
}

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string l; std::getline(in, l);) out.push_back(l);
    return out;
}

} // namespace

TEST(TarnixRunSonar, XtfInfoDumpByChannelAndARunWithNavigation) {
    TempDir dir;
    const std::string path = writeXtf(dir);
    ToolResult r = runTarnixRun(dir, "--info --window 0:8 --channel 2 " + path);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "File: " + path +
                         "\nNumTraces: 3\nNumSamples: 8\nSampleRate: 1\n"
                         "Delay: 0\nChannels: 1 unnamed (16-bit), 2 unnamed (16-bit)\n");

    // Port is reversed: time runs down from the near range.
    r = runTarnixRun(dir, "--window 0:8 --channel 1 --dump-trace 3 " + path);
    ASSERT_EQ(r.status, 0) << r.err;
    auto l = lines(r.out);
    ASSERT_GE(l.size(), 2u);
    EXPECT_NE(l[0].find(" 3007.0"), std::string::npos) << l[0];
    EXPECT_NE(l[1].find(" 3006.0"), std::string::npos) << l[1];
    r = runTarnixRun(dir, "--window 0:8 --channel 2 --dump-trace 2 " + path);
    EXPECT_NE(lines(r.out).at(0).find(" 200.0"), std::string::npos) << r.out;

    r = runTarnixRun(dir, "--channel 3 --dump-trace 1 " + path);
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("ping 1 holds channels 1 to 2; channel 3 was asked for"),
              std::string::npos)
        << r.err;

    // Every ping by default; the ping without a fix gives no navigation row.
    r = runTarnixRun(dir, "--window 0:8 --hdr-select 1 --report --image " + dir.file("p.png") +
                              " --nav " + dir.file("p.nav") + " " + path);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("Normal Completion"), std::string::npos) << r.out;
    EXPECT_TRUE(std::filesystem::exists(dir.file("p.png")));
    const auto nav = lines(readTextFile(dir.file("p.nav")));
    ASSERT_EQ(nav.size(), 2u) << readTextFile(dir.file("p.nav"));
    EXPECT_EQ(nav[0].substr(0, 42), "2 2024 65 10 20 2 45.50000000 290.00200000");
    EXPECT_EQ(nav[1].substr(0, 9), "3 2024 65");
}

TEST(TarnixRunSonar, Seg2ByNameAndByFirstBytes) {
    TempDir dir;
    const Bytes gather = seg2File({{1, {10, -20, 30, 40}, {"SAMPLE_INTERVAL 0.001"}, {}, 0},
                                   {2, {5, 6, 7, 8}, {"CHANNEL_NUMBER 9"}, {}, 0}});
    writeBytes(dir.file("shot.DAT"), gather);
    writeBytes(dir.file("shot.sg2"), gather);
    writeBytes(dir.file("table.dat"), Bytes{'1', ' ', '2', '\n'});
    for (const char* name : {"shot.DAT", "shot.sg2"}) {
        ToolResult r = runTarnixRun(dir, "--info --window 0:4 " + dir.file(name));
        ASSERT_EQ(r.status, 0) << name << r.err;
        EXPECT_EQ(r.out, "File: " + dir.file(name) +
                             "\nNumTraces: 2\nNumSamples: 4\nSampleRate: 1\nDelay: 0\n");
    }
    ToolResult r = runTarnixRun(dir, "--window 0:4 --dump-trace 2 " + dir.file("shot.DAT"));
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(lines(r.out).at(0).find(" 5.0"), std::string::npos) << r.out;
    r = runTarnixRun(dir, "--window 0:4 --report --image " + dir.file("g.png") + " " +
                              dir.file("shot.DAT"));
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("Normal Completion"), std::string::npos) << r.out;

    r = runTarnixRun(dir, "--info " + dir.file("table.dat"));
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("not a file tarnix-run can open"), std::string::npos) << r.err;
    writeBytes(dir.file("text.sg2"), Bytes(64, '7'));
    r = runTarnixRun(dir, "--info " + dir.file("text.sg2"));
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("is not a SEG-2 file"), std::string::npos) << r.err;
}
