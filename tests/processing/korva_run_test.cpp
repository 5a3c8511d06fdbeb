// Runs over KORVA record files: the shots are the scan numbers, the run ends at
// the last record, single-trace reads go through the worker in single-trace
// mode, and KORVA 2.0 output reads back at the same times.
#include "core/byte_order.h"
#include "core/error.h"
#include "core/session.h"
#include "formats/file_open.h"
#include "formats/korva_reader.h"
#include "formats/korva_writer.h"
#include "processing/processor.h"
#include "support/korva_fixture.h"
#include "support/segy_fixture.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <iterator>
#include <limits>
#include <memory>

using namespace tarnix;
using namespace tarnix::test;

namespace {

class TraceKeeper : public RunHooks {
public:
    void paintColumn(int, const TraceBuffer& t, int n) override {
        traces.emplace_back(t.begin(), t.begin() + std::max(n, 0));
    }
    std::vector<std::vector<long double>> traces;
};

// Opened and its shot range confirmed as the windows do it.
std::unique_ptr<Session> openRecords(const std::string& path, int start, int end) {
    auto s = std::make_unique<Session>();
    s->EndSweep.set(end);
    openCommand(*s, path);
    s->StartSweep.set(start);
    selectShotsOk(*s);
    return s;
}

void setRow(Session& s, int row, std::initializer_list<const char*> cells) {
    s.sequence.cell(row, 0) = std::to_string(row);
    int c = 1;
    for (const char* t : cells) s.sequence.cell(row, c++) = t;
}

Bytes fileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

SynthKorvaRecord line(uint32_t first) {
    SynthKorvaRecord r;
    r.scan = first;
    r.rateIndex = 5; // 8 kHz
    r.trigDelay = 37;
    r.navText = "nav of the line";
    return r;
}

} // namespace

TEST(KorvaRun, EveryRecordOnceThenTheEnd) {
    TempDir dir;
    writeBytes(dir.file("l.D02"), korvaFile(line(1000), 4, 16384));
    auto s = openRecords(dir.file("l.D02"), 10, 30);
    s->HdrSelect.set(2);
    Processor p(*s);
    TraceKeeper painted;
    RunResult r = p.run(painted);
    ASSERT_EQ(r.end, RunEnd::Normal) << r.message;
    ASSERT_EQ(painted.traces.size(), 4u);
    // round(10 x 8) - 37 = 43: slot 0 of shot 1002 is sample 43 of its record.
    EXPECT_EQ(painted.traces[2][0], korvaValue(1002, 43));
    EXPECT_EQ(s->Memo2[3], "Read 1004 Traces");
    EXPECT_EQ(s->Memo2[5], "Normal Completion");
    // Rows for the first shot and every second: 1000 and 1002.
    EXPECT_EQ(s->RunTraceCount, 2);
    EXPECT_EQ(s->navigationGrid[1], "nav of the line");

    // One shot more than the file holds: the end of the data, not a repeat.
    s->shots.EndShot.set(1005);
    selectShotsOk(*s);
    TraceKeeper more;
    r = p.run(more);
    EXPECT_EQ(r.end, RunEnd::EndOfData);
    EXPECT_EQ(more.traces.size(), 4u);
    EXPECT_NE(s->Memo2.back().find("End of input data at shot 1004"), std::string::npos);
}

TEST(KorvaRun, ScansAboveFortyThousandRun) {
    TempDir dir;
    writeBytes(dir.file("l.D02"), korvaFile(line(120000), 3, 16384));
    auto s = openRecords(dir.file("l.D02"), 0, 20);
    s->HdrSelect.set(1);
    Processor p(*s);
    TraceKeeper painted;
    RunResult r = p.run(painted);
    ASSERT_EQ(r.end, RunEnd::Normal) << r.message;
    EXPECT_EQ(painted.traces.size(), 3u);
    EXPECT_EQ(s->Memo2[3], "Read 120003 Traces");
    EXPECT_EQ(s->RunTraceCount, 3);
    EXPECT_EQ(s->navigationGrid[3], "nav of the line");
    EXPECT_TRUE(p.READ_A_TRACE(120001));
}

TEST(KorvaRun, SingleTraceReadsTheScanAskedForInSingleTraceMode) {
    TempDir dir;
    writeBytes(dir.file("l.D05"), korvaFile(line(500), 6, 4096));
    auto s = openRecords(dir.file("l.D05"), 10, 20);
    // The band-pass row leaves its redesign flag at (first shot || single-trace mode).
    setRow(*s, 1, {"FLTM", "100.00", "1000.00", "0", "0", "16"});
    Processor p(*s);
    ASSERT_TRUE(p.READ_A_TRACE(503));
    EXPECT_TRUE(p.filterRedesign());
    EXPECT_FALSE(s->SingleTraceMode);
    s->sequence.clearAll();
    ASSERT_TRUE(p.READ_A_TRACE(503));
    // Shot 503 is record 3, not record 503 - 500 + 500.
    EXPECT_EQ(s->current[0], korvaValue(503, 80 - 37));
    EXPECT_THROW(p.READ_A_TRACE(506), EndOfData);
}

TEST(KorvaRun, MeanTraceOfTheRecordsBeforeTheRun) {
    TempDir dir;
    writeBytes(dir.file("l.D02"), korvaFile(line(10), 5, 16384));
    auto s = openRecords(dir.file("l.D02"), 10, 20);
    s->RMSFlag = true;
    Processor p(*s);
    TraceKeeper painted;
    ASSERT_EQ(p.run(painted).end, RunEnd::Normal);
    // NumTraces - 2 = 3 records from the first: scans 10, 11 and 12.
    const long double mean = (korvaValue(10, 43) + korvaValue(11, 43) + korvaValue(12, 43)) / 3.0L;
    EXPECT_EQ(s->meanTrace[0], mean);
    // The run itself still starts at the first record.
    EXPECT_EQ(painted.traces[0][0], korvaValue(10, 43));
}

TEST(KorvaWrite, RecordsReadBackAtTheSameTimes) {
    TempDir dir;
    writeBytes(dir.file("in.D02"), korvaFile(line(300), 5, 16384));
    for (int start : {10, 0}) {
        const std::string out = dir.file("out" + std::to_string(start) + ".d02");
        auto s = openRecords(dir.file("in.D02"), start, start + 30);
        s->shots.StartShot.set(301);
        s->shots.EndShot.set(304);
        selectShotsOk(*s);
        setRow(*s, 1, {"WKORVA2", out.c_str(), "1"});
        Processor p(*s);
        TraceKeeper painted;
        ASSERT_EQ(p.run(painted).end, RunEnd::Normal);
        EXPECT_FALSE(s->OutputKorvaOpen); // closed by RESET_FILES
        ASSERT_EQ(painted.traces.size(), 3u);

        const Bytes f = fileBytes(out);
        ASSERT_EQ(f.size(), 3u * 33056);
        const unsigned char* h = f.data() + 33056; // the second record: shot 302
        EXPECT_EQ(getU32LE(h + 4), 302u);          // the shot, not the row number
        EXPECT_EQ(getU32LE(h + 12), start ? 79u : 0u);
        EXPECT_EQ(getU16LE(h + 26), 5);
        EXPECT_EQ(h[28], 16);
        EXPECT_EQ(h[29], 1);
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(h + 33), h[32]), "nav of the line");
        EXPECT_EQ(h[200], 0xA5); // the bytes no one interprets come along

        auto back = openRecords(out, start, start + 30);
        EXPECT_EQ(back->shots.StartShot(), 301);
        Processor q(*back);
        TraceKeeper reread;
        ASSERT_EQ(q.run(reread).end, RunEnd::Normal);
        ASSERT_EQ(reread.traces.size(), 3u);
        for (size_t t = 0; t < 3; ++t)
            for (size_t j = 0; j < painted.traces[t].size(); ++j) {
                // From time 0 slot 0 has no sample to go to.
                const long double want = start == 0 && j == 0 ? 0 : painted.traces[t][j];
                ASSERT_EQ(reread.traces[t][j], want) << "start " << start << " slot " << j;
            }
    }
}

TEST(KorvaWrite, BigEndianSegyWithMulClampsAndNeverWraps) {
    TempDir dir;
    SynthSegy seg;
    seg.bigEndian = true;
    seg.binaryNs = 200;
    seg.binaryInterval = 100;
    for (int t = 0; t < 3; ++t) {
        SynthTrace& tr = seg.addTrace(40 + t, 200, 100); // 10 kHz
        tr.samples[1] = 30000;                           // x 2 = 60000
        tr.samples[2] = -20000;                          // x 2 = -40000
        tr.samples[3] = 123;
    }
    seg.write(dir.file("in.sgy"));
    auto s = std::make_unique<Session>();
    openCommand(*s, dir.file("in.sgy"));
    s->segy.SEGYRadio = SegyOptions::BigEndian;
    s->shots.MUL = "2";
    s->EndSweep.set(20);
    segyOptionsOk(*s);
    selectShotsOk(*s);
    const std::string out = dir.file("o.d02");
    setRow(*s, 1, {"WKORVA2", out.c_str(), "1"});
    Processor p(*s);
    TraceKeeper painted;
    ASSERT_EQ(p.run(painted).end, RunEnd::Normal);
    ASSERT_EQ(painted.traces.size(), 3u);
    EXPECT_EQ(painted.traces[0][1], 32767); // clamped in the trace too
    EXPECT_EQ(painted.traces[0][2], -32768);

    const Bytes f = fileBytes(out);
    ASSERT_EQ(f.size(), 3u * 33056);
    const unsigned char* h = f.data() + 2 * 33056;
    EXPECT_EQ(getU32LE(h + 4), 2u); // shot 2 of the run
    EXPECT_EQ(getU16LE(h + 26), 99);
    EXPECT_EQ(getF32LE(h), 10.0f);
    EXPECT_EQ(h[28], 16);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(h + 33), h[32]), std::string(81, ' '));
    // From time 0, slot k is sample k: slot 0 is lost.
    EXPECT_EQ(getU32LE(h + 12), 0u);
    EXPECT_EQ(getI16LE(h + 288), 32767); // slot 1
    EXPECT_EQ(getI16LE(h + 290), -32768);
    EXPECT_EQ(getI16LE(h + 292), 246);
}

TEST(KorvaWrite, ClampToFullScaleNanAndTruncation) {
    TempDir dir;
    Session s;
    s.SampleRate = 8;
    s.FullScale = 512; // as a bitmap leaves it
    OPEN_OUT_KORVA2(s, dir.file("c.d02"));
    s.current.fill(0);
    const Sample in[] = {std::numeric_limits<Sample>::quiet_NaN(), 1000, -1000, 12.7L, -12.7L};
    std::copy(std::begin(in), std::end(in), s.current.begin());
    writeKorva2Record(s, 7, 10, s.current); // round(80) - 1: slot k - 1 is sample k
    s.korvaOut->close();
    EXPECT_EQ(s.current[0], 0);
    EXPECT_EQ(s.current[1], 512);
    EXPECT_EQ(s.current[2], -512);
    EXPECT_EQ(s.current[3], 12.7L);
    const Bytes f = fileBytes(dir.file("c.d02"));
    ASSERT_EQ(f.size(), 33056u);
    const int16_t want[] = {0, 512, -512, 12, -12};
    for (int k = 0; k < 5; ++k) EXPECT_EQ(getI16LE(f.data() + 288 + 2 * k), want[k]) << k;
    EXPECT_EQ(getU32LE(f.data() + 12), 79u);
    EXPECT_EQ(getU32LE(f.data() + 4), 7u);
}

TEST(KorvaWrite, EveryOpenStartsFromAFreshTemplate) {
    TempDir dir;
    writeBytes(dir.file("in.D02"), korvaFile(line(1), 2, 16384));
    auto s = openRecords(dir.file("in.D02"), 0, 10);
    s->input->readRunTrace(*s, 2);
    EXPECT_EQ(s->korva.record20[32], 15); // "nav of the line"

    SynthSegy seg;
    seg.bigEndian = false;
    seg.addTrace(9, 50, 125);
    seg.write(dir.file("le.sgy"));
    openCommand(*s, dir.file("le.sgy"));
    s->segy.SEGYRadio = SegyOptions::LittleEndian;
    segyOptionsOk(*s);
    // A little-endian read sets only the scan number and bit count.
    EXPECT_EQ(s->korva.record20[32], 0);
    EXPECT_EQ(s->korva.record20[200], 0);
    EXPECT_EQ(getU32LE(s->korva.record20.data() + 4), 9u);
    EXPECT_EQ(s->korva.record05[28], 16);
}
