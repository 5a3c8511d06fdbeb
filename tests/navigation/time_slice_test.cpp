// Time slices over synthetic lines: the table's exact texts, the refusals that
// leave an existing table alone, and a session that is left as it was.
#include "core/error.h"
#include "core/session.h"
#include "formats/file_open.h"
#include "formats/format_table.h"
#include "formats/segy_header.h"
#include "navigation/time_slice.h"
#include "support/segy_fixture.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <memory>
#include <sstream>

using namespace tarnix;
using tarnix::test::readTextFile;
using tarnix::test::SynthSegy;
using tarnix::test::TempDir;
using tarnix::test::writeTextFile;

namespace {

// n traces of 20 samples at 1 ms; trace i of a line with first record r has
// sample j = (r + i) * 100 + j - 500 and source X 1000 + i, Y 5000 + 2 i
// (scaler -10, units 1).
SynthSegy line(int n, int firstRecord, bool bigEndian) {
    SynthSegy f;
    f.bigEndian = bigEndian;
    for (int i = 0; i < n; ++i)
        f.addTrace(firstRecord + i, 20, 1000)
            .set(segy::CoordScaler, -10)
            .set(segy::CoordUnits, 1)
            .set(segy::SourceX, 1000 + i)
            .set(segy::SourceY, 5000 + 2 * i);
    return f;
}

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string l; std::getline(in, l);) out.push_back(l);
    return out;
}

struct TimeSlice : ::testing::Test {
    TempDir dir;
    std::unique_ptr<Session> s = std::make_unique<Session>();
    void SetUp() override {
        s->StartSweep.set(0);
        s->EndSweep.set(20); // 20 samples at 1 ms
    }
};

} // namespace

TEST_F(TimeSlice, TwoLinesInFileOrderWithExactTexts) {
    line(3, 7, true).write(dir.file("a.sgy"));
    line(2, 20, false).write(dir.file("b.SEG"));
    s->segy.SEGYRadio = SegyOptions::Detect;
    const TimeSliceResult r =
        extractTimeSlice(*s, {dir.file("b.SEG"), dir.file("a.sgy")}, "5", dir.file("out.txt"));
    EXPECT_EQ(r.lines, 5);
    EXPECT_EQ(r.perFile, (std::vector<long long>{2, 3}));
    // Sample 5 is slot 4: record * 100 - 496.
    EXPECT_EQ(
        linesOf(readTextFile(dir.file("out.txt"))),
        (std::vector<std::string>{
            " 1.50400000000000E+0003 0 100.00000000 500.00000000  1.50400000000000E+0003 b.SEG",
            " 1.60400000000000E+0003 1 100.10000000 500.20000000  1.60400000000000E+0003 b.SEG",
            " 2.04000000000000E+0002 0 100.00000000 500.00000000  2.04000000000000E+0002 a.sgy",
            " 3.04000000000000E+0002 1 100.10000000 500.20000000  3.04000000000000E+0002 a.sgy",
            " 4.04000000000000E+0002 2 100.20000000 500.40000000  4.04000000000000E+0002 a.sgy",
        }));
    EXPECT_EQ(s->SEGYmemo.size(), 45u); // the last line's textual header
}

TEST_F(TimeSlice, LevelCountsFromTheWindowStartAndTheLastTraceIsWritten) {
    line(12, 1, true).write(dir.file("l.sgy"));
    s->StartSweep.set(3);
    s->EndSweep.set(13); // samples 1..10 are slots 3..12
    s->shots.MUL = "2";
    s->shots.ADD = "1";
    extractTimeSlice(*s, {dir.file("l.sgy")}, "10", dir.file("out.txt"));
    const auto lines = linesOf(readTextFile(dir.file("out.txt")));
    ASSERT_EQ(lines.size(), 12u);
    // Slot 12 of trace 0 (record 1): (100 + 12 - 500 + 1) x 2.
    EXPECT_EQ(lines[0].substr(0, 23), "-7.74000000000000E+0002");
    EXPECT_EQ(lines[11].substr(23, 4), " 11 ");
    EXPECT_THROW(extractTimeSlice(*s, {dir.file("l.sgy")}, "11", dir.file("o2.txt")), Error);
}

TEST_F(TimeSlice, ADeepLevelOfWideSamplesIsReadOnItsOwn) {
    // 32-bit samples, 16384 of them: the level's sample lies beyond one read.
    SynthSegy f;
    f.formatCode = 2;
    for (int i = 0; i < 2; ++i) {
        auto& t = f.addTrace(1 + i, 16384, 1000);
        t.samples.back() = static_cast<int16_t>(-31000 + i);
        t.samples[99] = static_cast<int16_t>(1234 + i);
    }
    f.write(dir.file("w.sgy"));
    s->EndSweep.set(20000);
    extractTimeSlice(*s, {dir.file("w.sgy")}, "16384", dir.file("deep.txt"));
    extractTimeSlice(*s, {dir.file("w.sgy")}, "100", dir.file("near.txt"));
    EXPECT_EQ(linesOf(readTextFile(dir.file("deep.txt")))[1].substr(0, 23),
              "-3.09990000000000E+0004");
    EXPECT_EQ(linesOf(readTextFile(dir.file("near.txt")))[1].substr(0, 23),
              " 1.23500000000000E+0003");
    // A level past the reader's 16384 slots finds nothing there: 0.
    s->StartSweep.set(10);
    extractTimeSlice(*s, {dir.file("w.sgy")}, "16380", dir.file("past.txt"));
    EXPECT_EQ(linesOf(readTextFile(dir.file("past.txt")))[0].substr(0, 23),
              " 0.00000000000000E+0000");
}

TEST_F(TimeSlice, RefusalsWriteNothingAndKeepAnExistingTable) {
    line(4, 1, true).write(dir.file("a.sgy"));
    writeTextFile(dir.file("b.txt"), "not a line");
    writeTextFile(dir.file("old.txt"), "kept\n");
    const std::string out = dir.file("old.txt");
    // 1957 on a 20-sample window, 0, a text, a name that is no SEG-Y, no selection.
    for (const char* level : {"1957", "0", "-3", "21", "x"})
        EXPECT_THROW(extractTimeSlice(*s, {dir.file("a.sgy")}, level, out), Error) << level;
    EXPECT_THROW(extractTimeSlice(*s, {dir.file("a.sgy"), dir.file("b.txt")}, "5", out), Error);
    EXPECT_THROW(extractTimeSlice(*s, {}, "5", out), Error);
    // A missing second file is found before the first is written.
    EXPECT_THROW(extractTimeSlice(*s, {dir.file("a.sgy"), dir.file("none.sgy")}, "5", out),
                 IoError);
    EXPECT_EQ(readTextFile(out), "kept\n");
    try {
        extractTimeSlice(*s, {dir.file("a.sgy")}, "1957", out);
    } catch (const Error& e) {
        EXPECT_NE(std::string(e.what()).find("samples 1 to 20"), std::string::npos) << e.what();
    }
    // The upper-cased extension decides: ".sgy" and ".Seg" are SEG-Y names.
    line(2, 1, true).write(dir.file("c.Seg"));
    EXPECT_EQ(extractTimeSlice(*s, {dir.file("c.Seg")}, "20", out).lines, 2);
}

TEST_F(TimeSlice, TheSessionInputFileHeaderAndGoStayAsTheyWere) {
    line(5, 40, true).write(dir.file("open.sgy"));
    line(3, 1, true).write(dir.file("other.sgy"));
    s->segy.HeadType = SegyOptions::Ascii;
    openCommand(*s, dir.file("open.sgy"));
    segyOptionsOk(*s);
    selectShotsOk(*s);
    const InputFile* input = s->input.get();
    const auto header = s->segyFileHeader;
    const auto traceHeader = s->segyTraceHeader;
    const bool go = s->goEnabled;
    const Sample first = s->current[3];
    const int traces = s->NumTraces;
    const long double rate = s->SampleRate;
    extractTimeSlice(*s, {dir.file("other.sgy")}, "4", dir.file("out.txt"));
    EXPECT_EQ(s->input.get(), input);
    EXPECT_EQ(s->segyFileHeader, header);
    EXPECT_EQ(s->segyTraceHeader, traceHeader);
    EXPECT_EQ(s->goEnabled, go);
    EXPECT_EQ(s->current[3], first);
    EXPECT_EQ(s->NumTraces, traces);
    EXPECT_EQ(s->SampleRate, rate);
}

TEST_F(TimeSlice, BigEndianChannelsAreReadAsTheTraceReaderReadsThem) {
    // Six traces are three shots of two channels; channel 2 is records 2, 4, 6.
    line(6, 1, true).write(dir.file("two.sgy"));
    s->segy.NumofChanRadio = 1;
    s->shots.chan_to_display.set(2);
    EXPECT_EQ(extractTimeSlice(*s, {dir.file("two.sgy")}, "1", dir.file("out.txt")).lines, 3);
    const auto lines = linesOf(readTextFile(dir.file("out.txt")));
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[2].substr(0, 26), " 1.00000000000000E+0002 2 ");
    EXPECT_EQ(lines[2].substr(26, 25), "100.50000000 501.00000000");
}
