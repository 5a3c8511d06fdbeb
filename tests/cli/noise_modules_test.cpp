// The noise and editing rows through the worker and the run, and through
// tarnix-run --sequence ... --dump-trace, on synthetic SEG-Y lines at 1 ms.
#include "core/error.h"
#include "core/session.h"
#include "formats/file_open.h"
#include "processing/processor.h"
#include "processing/sequence_file.h"
#include "support/line_fixture.h"
#include "support/run_tool.h"
#include "support/temp_dir.h"

#include <algorithm>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <sstream>
#include <vector>

using namespace tarnix;
using tarnix::test::TempDir;
using tarnix::test::writeTextFile;

using tarnix::test::dumpValues;
using tarnix::test::openLine;
using tarnix::test::setRows;
using tarnix::test::TraceKeeper;
using tarnix::test::writeLine;

namespace {

test::ToolResult runDump(const TempDir& dir, const std::string& seq, const std::string& line,
                         int shot, int ns) {
    return test::runDump(dir, seq, line, shot, "0:" + std::to_string(ns));
}

} // namespace

TEST(NoiseRows, SpikeFilterThresholdIsTruncatedFromFullScale) {
    TempDir dir;
    // 10 % of 32768 is 3276.8: a sample of 3276 is a spike, 3275 is not.
    const std::string line = writeLine(dir, "l.sgy", 3, 1000, [](int, int i) {
        return i == 10 ? 3276 : i == 11 ? 3275 : i == 12 ? -5000 : 1000;
    });
    auto s = openLine(line, 1000, 1, 3);
    setRows(*s, {{"SPFM", "10"}});
    Processor p(*s);
    ASSERT_TRUE(p.READ_A_TRACE(1));
    EXPECT_EQ(s->current[9], 0);
    EXPECT_EQ(s->current[10], 3275);
    EXPECT_EQ(s->current[11], -5000);
    EXPECT_EQ(s->current[999], 1000);

    auto r = runDump(dir, "1 SPFM 10      \n", line, 1, 1000);
    ASSERT_EQ(r.status, 0) << r.err;
    auto v = dumpValues(r.out, nullptr);
    ASSERT_EQ(v.size(), 1000u);
    EXPECT_EQ(v[9], 0);
    EXPECT_EQ(v[10], 3275);
    EXPECT_EQ(v[0], 1000);
}

TEST(NoiseRows, MuteFollowsThePicksBetweenShots) {
    TempDir dir;
    const std::string line = writeLine(dir, "l.sgy", 8, 200, [](int, int) { return 100; });
    writeTextFile(dir.file("top.mut"), "5 60.000000\n1 20.000000\n\n");
    auto s = openLine(line, 200, 1, 7);
    // A loaded sequence holds the bare name: it is found beside the input.
    setRows(*s, {{"MUTM", "top.mut"}});
    Processor p(*s);
    TraceKeeper painted;
    RunResult res = p.run(painted);
    ASSERT_EQ(res.end, RunEnd::Normal) << res.message;
    ASSERT_EQ(painted.traces.size(), 6u);
    const int muted[] = {20, 30, 40, 50, 60, 60}; // shots 1..6
    for (int k = 0; k < 6; ++k) {
        const auto& t = painted.traces[k];
        EXPECT_EQ(t[muted[k] - 1], 0) << "shot " << k + 1;
        EXPECT_EQ(t[muted[k]], 100) << "shot " << k + 1;
    }

    // Every run reads its picks again on its first trace.
    writeTextFile(dir.file("top.mut"), "1 5\n");
    painted.traces.clear();
    ASSERT_EQ(p.run(painted).end, RunEnd::Normal);
    EXPECT_EQ(painted.traces[5][4], 0);
    EXPECT_EQ(painted.traces[5][5], 100);

    writeTextFile(dir.file("top.mut"), "5 60.000000\n1 20.000000\n\n");
    auto r = runDump(dir, "1 MUTM top.mut      \n", line, 3, 200);
    ASSERT_EQ(r.status, 0) << r.err;
    auto v = dumpValues(r.out, nullptr);
    ASSERT_EQ(v.size(), 200u);
    EXPECT_EQ(std::count(v.begin(), v.begin() + 40, 0.0L), 40);
    EXPECT_EQ(v[40], 100);

    // A file named nowhere stops the run with its name.
    setRows(*s, {{"MUTM", "gone.mut"}});
    res = p.run(painted);
    EXPECT_EQ(res.end, RunEnd::Failed);
    EXPECT_NE(res.message.find("gone.mut"), std::string::npos) << res.message;
}

TEST(NoiseRows, EditorPathIsKeptWhenTheCellHoldsItsName) {
    TempDir dir;
    const std::string line = writeLine(dir, "l.sgy", 4, 100, [](int, int) { return 7; });
    std::filesystem::create_directories(dir.path() / "picks");
    writeTextFile(dir.file("picks/a.mut"), "0 10\n");
    writeTextFile(dir.file("a.mut"), "0 30\n"); // beside the input: not the one chosen
    auto s = openLine(line, 100, 1, 3);
    setRows(*s, {{"MUTM", "a.mut"}});
    s->rowFiles[1] = dir.file("picks/a.mut");
    s->SingleTraceMode = true;
    Processor p(*s);
    p.READ_A_TRACE(2);
    EXPECT_EQ(s->current[9], 0);
    EXPECT_EQ(s->current[10], 7);
    // An empty cell falls back on the editor's file; without one it is an error.
    s->sequence.cell(1, 2).clear();
    s->rowFiles[1] = dir.file("a.mut");
    p.READ_A_TRACE(2);
    EXPECT_EQ(s->current[29], 0);
    s->rowFiles[1].clear();
    EXPECT_THROW(p.READ_A_TRACE(2), Error);
    // Another name in the cell is that file, whatever the editor chose before.
    s->sequence.cell(1, 2) = "a.mut";
    s->rowFiles[1] = dir.file("picks/b.mut");
    p.READ_A_TRACE(2);
    EXPECT_EQ(s->current[29], 0);
    EXPECT_EQ(s->current[30], 7);
}

TEST(NoiseRows, HeaveCorrectionPutsTheSeaFloorOnThePickedHorizon) {
    TempDir dir;
    // The sea floor at 30 ms jitters by the swell: -3, 0, +5 samples.
    const int swellBy[] = {-3, 0, 5, 2, -1};
    const std::string line = writeLine(dir, "l.sgy", 5, 120, [&](int k, int i) {
        const int floor = 30 + swellBy[k];
        return i == floor ? 900 : i == floor + 1 ? 400 : 10;
    });
    writeTextFile(dir.file("bottom.dgt"),
                  "0 2026 1 0 0 0 59.1 24.1 30.000000\n4 2026 1 0 0 4 59.1 24.1 30.000000\n");
    auto s = openLine(line, 120, 0, 5);
    // The bottom file is the row's own cell, not the row file list.
    setRows(*s, {{"SWELL", dir.file("bottom.dgt"), "10"}});
    s->rowFiles[1] = dir.file("elsewhere.dgt");
    Processor p(*s);
    TraceKeeper painted;
    ASSERT_EQ(p.run(painted).end, RunEnd::Normal);
    ASSERT_EQ(painted.traces.size(), 5u);
    for (int k = 0; k < 5; ++k) {
        EXPECT_EQ(painted.traces[k][29], 900) << k;
        EXPECT_EQ(painted.traces[k][30], 400) << k;
    }

    auto r = runDump(dir, "1 SWELL " + dir.file("bottom.dgt") + " 10     \n", line, 2, 120);
    ASSERT_EQ(r.status, 0) << r.err;
    auto v = dumpValues(r.out, nullptr);
    ASSERT_EQ(v.size(), 120u);
    EXPECT_EQ(v[29], 900); // the peak of sample 35 moved onto the pick
    EXPECT_EQ(v[34], 10);
}

TEST(NoiseRows, ResamplingDecimatesLaterRowsTheWriterAndOnlyItsOwnRun) {
    TempDir dir;
    const std::string line =
        writeLine(dir, "l.sgy", 4, 1000, [](int k, int i) { return 2 * i - 1 + k; });
    writeTextFile(dir.file("m.mut"), "0 40\n");
    const std::string out = dir.file("out.sgy");
    auto s = openLine(line, 1000, 0, 3);
    setRows(*s, {{"RESM", "2"}, {"WSEG", out, "BE", "2"}, {"MUTM", "m.mut"}});
    Processor p(*s);
    TraceKeeper painted;
    RunResult res = p.run(painted);
    ASSERT_EQ(res.end, RunEnd::Normal) << res.message;
    ASSERT_EQ(painted.traces.size(), 3u);
    ASSERT_EQ(painted.traces[0].size(), 500u);
    // Mute after resampling: 40 ms is 20 samples at the halved rate.
    for (int j = 1; j <= 20; ++j) EXPECT_EQ(painted.traces[0][j - 1], 0) << j;
    for (int j = 21; j <= 500; ++j) ASSERT_EQ(painted.traces[0][j - 1], 4 * j - 2) << j;

    // The output holds 500 samples at 2 ms per trace, written before the mute.
    auto back = openLine(out, 1000, 0, 3);
    EXPECT_EQ(back->NumSamples, 500);
    EXPECT_EQ(back->SampleRate, 0.5L);
    Processor q(*back);
    ASSERT_TRUE(q.READ_A_TRACE(1));
    for (int j = 1; j <= 500; ++j) ASSERT_EQ(back->current[j - 1], 4 * j - 2 + 1) << j;

    // The next run without resampling processes whole traces.
    setRows(*s, {{"SPFM", "100"}});
    painted.traces.clear();
    ASSERT_EQ(p.run(painted).end, RunEnd::Normal);
    ASSERT_EQ(painted.traces[0].size(), 1000u);
    EXPECT_EQ(painted.traces[0][999], 1999);

    // A factor below 1 stops the run.
    setRows(*s, {{"RESM", "0"}});
    res = p.run(painted);
    EXPECT_EQ(res.end, RunEnd::Failed);
    EXPECT_NE(res.message.find("at least 1"), std::string::npos) << res.message;

    auto r = runDump(dir, "1 RESM 2      \n", line, 0, 1000);
    ASSERT_EQ(r.status, 0) << r.err;
    std::vector<long double> times;
    auto v = dumpValues(r.out, &times);
    ASSERT_EQ(v.size(), 500u);
    EXPECT_EQ(times[0], 2);
    EXPECT_EQ(times[499], 1000);
    for (int j = 1; j <= 500; ++j) ASSERT_EQ(v[j - 1], 4 * j - 2) << j;
}

TEST(NoiseRows, HorizontalBandsGetTheMeanTraceOfAnyInput) {
    TempDir dir;
    // Trace k holds 10 k + i: the mean of shots 1 and 2 is 15 + i.
    const std::string line =
        writeLine(dir, "l.sgy", 6, 50, [](int k, int i) { return 10 * k + i; });
    auto s = openLine(line, 50, 1, 5);
    ASSERT_FALSE(s->RMSFlag);
    setRows(*s, {{"HBFM", "", "100"}});
    Processor p(*s);
    TraceKeeper painted;
    ASSERT_EQ(p.run(painted).end, RunEnd::Normal);
    ASSERT_EQ(painted.traces.size(), 4u);
    for (int k = 0; k < 4; ++k)
        for (int i = 1; i <= 50; ++i)
            ASSERT_EQ(painted.traces[k][i - 1], 10 * (k + 1) - 15) << k << " " << i;
    EXPECT_NE(std::find(s->Memo2.begin(), s->Memo2.end(),
                        "Mean trace: average of 2 traces, computed before the first shot"),
              s->Memo2.end());
    // 0 % divides by zero: the run stops with the row named.
    setRows(*s, {{"HBFM", "", "0"}});
    RunResult res = p.run(painted);
    EXPECT_EQ(res.end, RunEnd::Failed);
    EXPECT_NE(res.message.find("row 1 (HBFM)"), std::string::npos) << res.message;
}

TEST(NoiseRows, MixingDividesByTheTracesReadAndReachesTheFileEnd) {
    TempDir dir;
    // Trace k holds 1000 k + i; the window starts at 10 ms, so the current
    // trace's first sample is sample 11 and so is every neighbour's.
    const std::string line =
        writeLine(dir, "l.sgy", 6, 100, [](int k, int i) { return 1000 * k + i; });
    auto s = openLine(line, 100, 0, 6);
    s->StartSweep.set(10);
    setRows(*s, {{"TMXM", "3", "25", "", "FALSE"}});
    Processor p(*s);
    TraceKeeper painted;
    RunResult res = p.run(painted);
    ASSERT_EQ(res.end, RunEnd::Normal) << res.message;
    ASSERT_EQ(painted.traces.size(), 6u); // every shot, the last two included
    for (int k = 0; k < 6; ++k) {
        const int mixed = std::min(3, 6 - k);
        long double sum = 0;
        for (int t = 0; t < mixed; ++t) sum += 1000 * (k + t) + 11;
        EXPECT_EQ(painted.traces[k][0], sum / mixed) << "shot " << k;
        EXPECT_EQ(painted.traces[k][89], sum / mixed + 89) << "shot " << k;
    }
    // The current trace's header record and rate are its own.
    s->SingleTraceMode = true;
    ASSERT_TRUE(p.READ_A_TRACE(2));
    EXPECT_EQ(s->current[0], 3011);
    EXPECT_EQ(s->header.ShotNumber, 3);
    EXPECT_EQ(s->SampleRate, 1);

    auto r = runDump(dir, "1 TMXM 3 25  FALSE    \n", line, 1, 100);
    ASSERT_EQ(r.status, 0) << r.err;
    auto v = dumpValues(r.out, nullptr);
    ASSERT_EQ(v.size(), 100u);
    EXPECT_EQ(v[0], 2001);
    // One trace mixes with nothing; no trace is refused.
    r = runDump(dir, "1 TMXM 1 25  FALSE    \n", line, 1, 100);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(dumpValues(r.out, nullptr)[0], 1001);
    r = runDump(dir, "1 TMXM 0 25  FALSE    \n", line, 1, 100);
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("not 0"), std::string::npos) << r.err;
}

TEST(NoiseRows, RandomNoiseFilterComparesWithTheNextTwoTraces) {
    TempDir dir;
    // Trace k holds 100 + k, traces 4 to 6 hold -1, and trace 1 has a burst at sample 5.
    const std::string line = writeLine(dir, "l.sgy", 8, 50, [](int k, int i) {
        if (k >= 4 && k <= 6) return -1;
        return k == 1 && i == 5 ? 5000 : 100 + k;
    });
    auto s = openLine(line, 50, 0, 8);
    setRows(*s, {{"RNFM", "20"}});
    Processor p(*s);
    TraceKeeper painted;
    ASSERT_EQ(p.run(painted).end, RunEnd::Normal);
    ASSERT_EQ(painted.traces.size(), 8u);
    EXPECT_EQ(painted.traces[1][4], 102); // the burst gives way to the next trace
    EXPECT_EQ(painted.traces[1][5], 101);
    EXPECT_EQ(painted.traces[0][4], 100); // within 20 of trace 2
    EXPECT_EQ(painted.traces[3][0], -1);  // rejected against -1 and -1
    EXPECT_EQ(painted.traces[4][0], -1);  // -1 among -1s is a sample, not a rejection
    // Without both neighbours a trace stays as it is.
    EXPECT_EQ(painted.traces[6][0], -1);
    EXPECT_EQ(painted.traces[7][0], 107);

    auto r = runDump(dir, "1 RNFM 20      \n", line, 1, 50);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(dumpValues(r.out, nullptr)[4], 102);
}
