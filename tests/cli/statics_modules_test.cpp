// The static-shift and reflection-coefficient rows through the worker, the run
// and tarnix-run --sequence ... --dump-trace, on synthetic lines at 1 ms.
#include "core/error.h"
#include "formats/reflectivity_file.h"
#include "processing/processor.h"
#include "support/line_fixture.h"
#include "support/temp_dir.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <gtest/gtest.h>
#include <random>

using namespace tarnix;
using tarnix::test::dumpValues;
using tarnix::test::openLine;
using tarnix::test::readTextFile;
using tarnix::test::runDump;
using tarnix::test::setRows;
using tarnix::test::TempDir;
using tarnix::test::TraceKeeper;
using tarnix::test::writeLine;
using tarnix::test::writeTextFile;

namespace {

int rampValue(int, int i) {
    return i; // sample i (from 1) holds i
}

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> out;
    size_t pos = 0, nl;
    while ((nl = text.find('\n', pos)) != std::string::npos) {
        out.push_back(text.substr(pos, nl - pos));
        pos = nl + 1;
    }
    return out;
}

bool endsWith(const std::string& s, const std::string& tail) {
    return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

} // namespace

TEST(StaticRows, ConstantShiftOnARampBothWays) {
    TempDir dir;
    const std::string line = writeLine(dir, "ramp.sgy", 3, 200, rampValue);
    auto s = openLine(line, 200, 0, 3);
    Processor p(*s);
    setRows(*s, {{"STAM", "5"}});
    ASSERT_TRUE(p.READ_A_TRACE(1));
    EXPECT_EQ(s->current[0], 6);
    EXPECT_EQ(s->current[194], 200);
    EXPECT_EQ(s->current[195], 0); // from beyond the recorded samples
    setRows(*s, {{"STAM", "-3"}});
    p.READ_A_TRACE(1);
    EXPECT_EQ(s->current[2], 0);
    EXPECT_EQ(s->current[3], 1);
    EXPECT_EQ(s->current[199], 197);
    // 0.6 ms at 1 sample per ms is one sample (rounded, not truncated to none).
    setRows(*s, {{"STAM", "0.6"}});
    p.READ_A_TRACE(1);
    EXPECT_EQ(s->current[0], 2);

    auto r = runDump(dir, "1 STAM 5      \n", line, 1, "0:200");
    ASSERT_EQ(r.status, 0) << r.err;
    auto v = dumpValues(r.out, nullptr);
    ASSERT_EQ(v.size(), 200u);
    EXPECT_EQ(v[0], 6);
    EXPECT_EQ(v[194], 200);
    r = runDump(dir, "1 STAM -3      \n", line, 1, "0:200");
    ASSERT_EQ(r.status, 0) << r.err;
    v = dumpValues(r.out, nullptr);
    EXPECT_EQ(v[0], 0);
    EXPECT_EQ(v[2], 0);
    EXPECT_EQ(v[3], 1);
    EXPECT_EQ(v[199], 197);

    // A shift beyond the buffer stops the run with the row named.
    setRows(*s, {{"STAM", "20000"}});
    TraceKeeper k;
    RunResult res = p.run(k);
    EXPECT_EQ(res.end, RunEnd::Failed);
    EXPECT_NE(res.message.find("row 1 (STAM)"), std::string::npos) << res.message;
}

TEST(StaticRows, TrendFromPicksAbsoluteAndRelative) {
    TempDir dir;
    const std::string line = writeLine(dir, "ramp.sgy", 6, 300, rampValue);
    // The window starts at 10 ms: current slot 0 holds sample 11.
    writeTextFile(dir.file("flat.mut"), "0 30.000000\n");
    auto s = openLine(line, 300, 0, 5, 10);
    setRows(*s, {{"STTM", "flat.mut", "1.0", "ABSOLUTE"}});
    Processor p(*s);
    ASSERT_TRUE(p.READ_A_TRACE(2));
    EXPECT_EQ(s->current[0], 31); // the 30 ms pick is now the top of the window
    EXPECT_EQ(s->current[269], 300);

    auto r = runDump(dir, "1 STTM flat.mut 1.0 ABSOLUTE    \n", line, 2, "10:300");
    ASSERT_EQ(r.status, 0) << r.err;
    auto v = dumpValues(r.out, nullptr);
    ASSERT_EQ(v.size(), 290u);
    EXPECT_EQ(v[0], 31);

    // Relative: picks 30, 32, ... 38 ms on shots 0..4; the earliest trace stays
    // where it is (the window start does not move it), the others follow.
    writeTextFile(dir.file("trend.mut"), "0 30.000000\n4 38.000000\n");
    for (const char* c : {"1.0", "0.5"}) {
        setRows(*s, {{"STTM", "trend.mut", c, "RELATIVE"}});
        TraceKeeper k;
        RunResult res = p.run(k);
        ASSERT_EQ(res.end, RunEnd::Normal) << res.message;
        ASSERT_EQ(k.traces.size(), 5u);
        const int per = std::string(c) == "1.0" ? 2 : 1;
        for (int shot = 0; shot < 5; ++shot)
            EXPECT_EQ(k.traces[shot][0], 11 + per * shot) << "c " << c << ", shot " << shot;
    }
    r = runDump(dir, "1 STTM trend.mut 1.0 RELATIVE    \n", line, 3, "10:300");
    ASSERT_EQ(r.status, 0) << r.err;
    v = dumpValues(r.out, nullptr);
    EXPECT_EQ(v[0], 17);
}

TEST(StaticRows, AutomaticStaticAgainstTheRunsMeanTrace) {
    TempDir dir;
    std::mt19937 gen(5);
    std::uniform_int_distribution<int> d(-2000, 2000);
    std::vector<int> wave(400);
    for (int& w : wave) w = d(gen);
    // Every trace the same: the mean is that trace, and each moves one sample.
    const std::string line =
        writeLine(dir, "same.sgy", 6, 400, [&](int, int i) { return wave[i - 1]; });
    auto s = openLine(line, 400, 0, 6);
    setRows(*s, {{"ASTM"}});
    Processor p(*s);
    TraceKeeper k;
    RunResult res = p.run(k);
    ASSERT_EQ(res.end, RunEnd::Normal) << res.message;
    ASSERT_EQ(k.traces.size(), 6u);
    for (const auto& t : k.traces) {
        EXPECT_EQ(t[0], wave[1]);
        EXPECT_EQ(t[398], wave[399]);
    }
    // The mean stays after the run: a trace delayed by 7 samples moves 8.
    const std::string late =
        writeLine(dir, "late.sgy", 2, 400, [&](int, int i) { return i > 7 ? wave[i - 8] : 0; });
    auto s2 = openLine(late, 400, 0, 2);
    s2->meanTrace = s->meanTrace;
    setRows(*s2, {{"ASTM"}});
    Processor p2(*s2);
    ASSERT_TRUE(p2.READ_A_TRACE(1));
    EXPECT_EQ(s2->current[0], wave[1]);
    EXPECT_EQ(s2->current[390], wave[391]);

    // Through tarnix-run: GO computes the mean, the dump after it uses it.
    writeTextFile(dir.file("s.seq"), "# Module p1 p2 p3 p4 p5 p6 \n1 ASTM       \n");
    auto r = test::runTarnixRun(dir, "--sequence " + dir.file("s.seq") +
                                         " --window 0:400 --report --dump-trace 2 " + line);
    ASSERT_EQ(r.status, 0) << r.err;
    // The dump follows the report; its first value is sample 2 of the wave.
    const size_t at = r.out.find("\n1.00000000 ");
    ASSERT_NE(at, std::string::npos) << r.out;
    EXPECT_EQ(std::stold(r.out.substr(at + 12, r.out.find('\n', at + 1) - at - 12)), wave[1]);
}

namespace {

// 1000 in slots 0-2 (the outgoing pulse), 500 in slots 49-52 (the sea floor
// at 50 ms), shifted by `from` ms.
tarnix::test::SampleFn pulseAndFloor(int from = 0) {
    return [from](int, int i) {
        const int slot = i - 1 - from;
        return slot >= 0 && slot <= 2 ? 1000 : slot >= 49 && slot <= 52 ? 500 : 0;
    };
}

} // namespace

TEST(ReflectionRow, OneLinePerShotOfTheRunAndTheWaterColumnMuted) {
    TempDir dir;
    const std::string line = writeLine(dir, "rc.sgy", 8, 200, pulseAndFloor());
    writeTextFile(dir.file("floor.mut"), "0 50.000000\n");
    writeTextFile(dir.file("s.seq"), "# Module p1 p2 p3 p4 p5 p6 \n1 RCCM floor.mut " +
                                         dir.file("rc.ref") + " 3 FALSE 0.0000072 \n");
    // GO over shots 1..6, then one Analysis step (the dump) on shot 3.
    auto r = test::runTarnixRun(dir, "--sequence " + dir.file("s.seq") +
                                         " --window 0:200 --shots 1:7 --sound-speed 1500"
                                         " --report --dump-trace 3 " +
                                         line);
    ASSERT_EQ(r.status, 0) << r.err;
    const auto ref = lines(readTextFile(dir.file("rc.ref")));
    ASSERT_EQ(ref.size(), 6u);
    for (size_t k = 0; k < ref.size(); ++k) {
        EXPECT_TRUE(endsWith(ref[k], "  0.5000000000 37.50")) << ref[k];
        const ReflectivityRecord rec = parseReflectivityLine(ref[k]);
        EXPECT_EQ(rec.shot(), static_cast<long long>(k) + 2); // field record numbers of shots 1..6
        EXPECT_DOUBLE_EQ(rec.coefficient, 0.5);
    }
    EXPECT_NE(r.out.find("Reflectivity file " + dir.file("rc.ref") + ": 6 lines"),
              std::string::npos)
        << r.out;
    // The dumped trace: slots up to the pick muted, the sea floor kept.
    const size_t at = r.out.find("\n1.00000000 ");
    ASSERT_NE(at, std::string::npos);
    auto v = dumpValues(r.out.substr(at + 1), nullptr);
    ASSERT_EQ(v.size(), 200u);
    EXPECT_EQ(std::count(v.begin(), v.begin() + 50, 0.0L), 50);
    EXPECT_EQ(v[50], 500);
    EXPECT_EQ(v[52], 500);
}

TEST(ReflectionRow, SingleTraceReadsLeaveTheFileAndDepthCountsFromTheShot) {
    TempDir dir;
    // Window from 10 ms: the pulse is recorded at 10-12 ms, the floor at 59-62.
    const std::string line = writeLine(dir, "rc.sgy", 5, 200, pulseAndFloor(10));
    writeTextFile(dir.file("floor.mut"), "0 60.000000\n");
    auto s = openLine(line, 200, 0, 4, 10);
    s->display.SoundSpeedEdit.set(1500);
    setRows(*s, {{"RCCM", "floor.mut", dir.file("out.ref"), "3", "FALSE", "0.0000072"}});
    Processor p(*s);
    // Before any run a single read writes nothing.
    ASSERT_TRUE(p.READ_A_TRACE(0));
    EXPECT_FALSE(std::filesystem::exists(dir.file("out.ref")));
    TraceKeeper k;
    RunResult res = p.run(k);
    ASSERT_EQ(res.end, RunEnd::Normal) << res.message;
    auto ref = lines(readTextFile(dir.file("out.ref")));
    ASSERT_EQ(ref.size(), 4u);
    // 60 ms from the shot at 1500 m/s: 45 m, whatever the window start.
    EXPECT_TRUE(endsWith(ref[0], " 0.5000000000 45.00")) << ref[0];
    // Analysis steps after the run, on the first shot and in single-trace mode.
    p.READ_A_TRACE(0);
    s->SingleTraceMode = true;
    p.READ_A_TRACE(2);
    s->SingleTraceMode = false;
    EXPECT_EQ(lines(readTextFile(dir.file("out.ref"))).size(), 4u);
    EXPECT_EQ(s->current[49], 0);
    EXPECT_EQ(s->current[50], 500); // window slot 50 is 60 ms

    // A recording delay of 20 ms: a 50 ms pick is 70 ms from the shot.
    const std::string delayed = writeLine(dir, "late.sgy", 3, 200, pulseAndFloor(), 20);
    writeTextFile(dir.file("floor.mut"), "0 50.000000\n");
    auto s2 = openLine(delayed, 200, 0, 2);
    s2->display.SoundSpeedEdit.set(1500);
    setRows(*s2, {{"RCCM", "floor.mut", dir.file("late.ref"), "3", "TRUE", "0.01"}});
    Processor p2(*s2);
    ASSERT_EQ(p2.run(k).end, RunEnd::Normal);
    ref = lines(readTextFile(dir.file("late.ref")));
    ASSERT_EQ(ref.size(), 2u);
    // Spherical divergence: 0.5 x the two-way distance of 105 m x 0.01.
    EXPECT_TRUE(endsWith(ref[1], " 0.5250000000 52.50")) << ref[1];
}

TEST(ReflectionRow, WindowsOutsideTheTraceGiveZeroAndOneNote) {
    TempDir dir;
    const std::string line = writeLine(dir, "rc.sgy", 6, 200, pulseAndFloor());
    // Shots 0-1 at 50 ms, then beyond the 200-sample window.
    writeTextFile(dir.file("floor.mut"), "0 50\n1 50\n2 250\n5 250\n");
    auto s = openLine(line, 200, 0, 6);
    s->display.SoundSpeedEdit.set(1500);
    setRows(*s, {{"RCCM", "floor.mut", dir.file("o.ref"), "3", "FALSE", "1"}});
    Processor p(*s);
    TraceKeeper k;
    RunResult res = p.run(k);
    ASSERT_EQ(res.end, RunEnd::Normal) << res.message;
    const auto ref = lines(readTextFile(dir.file("o.ref")));
    ASSERT_EQ(ref.size(), 6u);
    EXPECT_TRUE(endsWith(ref[1], " 0.5000000000 37.50")) << ref[1];
    EXPECT_TRUE(endsWith(ref[4], " 0.0000000000 187.50")) << ref[4];
    EXPECT_EQ(std::count_if(
                  s->Memo2.begin(), s->Memo2.end(),
                  [](const std::string& m) { return m.find("do not fit") != std::string::npos; }),
              1);
    EXPECT_EQ(k.traces[1][50], 500);
    EXPECT_EQ(k.traces[4][50], 0); // muted to the end

    // A window shorter than a sample, and a file that cannot be created, stop the run.
    setRows(*s, {{"RCCM", "floor.mut", dir.file("o.ref"), "0.5", "FALSE", "1"}});
    res = p.run(k);
    EXPECT_EQ(res.end, RunEnd::Failed);
    EXPECT_NE(res.message.find("holds no sample"), std::string::npos) << res.message;
    setRows(*s, {{"RCCM", "floor.mut", dir.file("no/dir/o.ref"), "3", "FALSE", "1"}});
    res = p.run(k);
    EXPECT_EQ(res.end, RunEnd::Failed);
    EXPECT_NE(res.message.find("no/dir/o.ref"), std::string::npos) << res.message;
    EXPECT_FALSE(s->OutputOpen);
}
