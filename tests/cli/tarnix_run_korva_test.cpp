// tarnix-run on KORVA record files: the info lines, the header grid, a trace
// dump by scan number, a run, and a file it cannot read.
#include "support/korva_fixture.h"
#include "support/run_tool.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

using namespace tarnix::test;

namespace {

std::string writeRecords(const TempDir& dir, const std::string& name, int samples) {
    SynthKorvaRecord r;
    r.scan = 1000;
    r.rateIndex = 9; // 16.5 kHz
    r.trigDelay = 33;
    r.navText = "1000 2024 65 10 20 30 43.50000000 7.25000000";
    writeBytes(dir.file(name), korvaFile(r, 3, samples));
    return dir.file(name);
}

std::string line(const std::string& text, int n) {
    size_t start = 0;
    for (int i = 0; i < n; ++i) start = text.find('\n', start) + 1;
    return text.substr(start, text.find('\n', start) - start);
}

} // namespace

TEST(TarnixRunKorva, InfoAndTheHeaderGrid) {
    TempDir dir;
    const std::string path = writeRecords(dir, "l.D02", 16384);
    auto r = runTarnixRun(dir, "--info --file-header " + path);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("SampleRate: 16.5\nDelay: 2\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("Records: 3\nFirst scan: 1000\nTrigger delay: 33 samples\n"),
              std::string::npos)
        << r.out;
    const size_t grid = r.out.find("Field\tValue\tComment\n");
    ASSERT_NE(grid, std::string::npos) << r.out;
    const std::string g = r.out.substr(grid);
    EXPECT_EQ(std::count(g.begin(), g.end(), '\n'), 14);
    EXPECT_EQ(line(g, 1), "scan_marker\t\tmarks scan beginning");
    EXPECT_EQ(line(g, 9), "SamFreqIdx\t9 - 16.5000 Khz\tsampling frequency");
}

TEST(TarnixRunKorva, DumpByScanNumberAndARun) {
    TempDir dir;
    // The lower-case spelling of the half variant opens too.
    const std::string path = writeRecords(dir, "l.d05", 4096);
    auto d = runTarnixRun(dir, "--window 2:3 --dump-trace 1002 " + path);
    ASSERT_EQ(d.status, 0) << d.err;
    // round(2 x 16.5) - 33 = 0: slot 0 holds nothing, slot 1 is sample 1.
    EXPECT_EQ(line(d.out, 0), "0.06060606 0.00000000");
    EXPECT_EQ(line(d.out, 1), "0.12121212 " + std::to_string(korvaValue(1002, 1)) + ".00000000");

    auto r = runTarnixRun(dir, "--window 0:20 --hdr-select 1 --report --nav " + dir.file("l.nav") +
                                   " --image " + dir.file("l.png") + " " + path);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("Read 1003 Traces\n\nNormal Completion"), std::string::npos) << r.out;
    const std::string nav = readTextFile(dir.file("l.nav"));
    EXPECT_EQ(std::count(nav.begin(), nav.end(), '\n'), 3);
    EXPECT_EQ(line(nav, 0).substr(0, 44), "1000 2024 65 10 20 30 43.50000000 7.25000000");
}

TEST(TarnixRunKorva, UnreadableFileExitsWithTheReason) {
    TempDir dir;
    SynthKorvaRecord r;
    r.rateIndex = 11;
    writeBytes(dir.file("bad.D02"), korvaFile(r, 1, 16384));
    auto res = runTarnixRun(dir, "--info " + dir.file("bad.D02"));
    EXPECT_EQ(res.status, 1);
    EXPECT_NE(res.err.find("sampling frequency index 11 names no rate"), std::string::npos)
        << res.err;
}
