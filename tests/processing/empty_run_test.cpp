// A run with no rows lets the SEG-Y and KORVA readers keep each trace as whole
// numbers for the painting: the painted samples, the traces seen when events are served
// and the traces left after the run are those of a run that converts every
// trace.
#include "core/session.h"
#include "formats/file_open.h"
#include "processing/processor.h"
#include "support/korva_fixture.h"
#include "support/line_fixture.h"
#include "support/segy_fixture.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

using namespace tarnix;
using namespace tarnix::test;

namespace {

// Keeps the painted samples and the current trace at every event pump.
class Keeper : public RunHooks {
public:
    Keeper(const Session& s, bool whole) : s_(s), whole_(whole) {}
    bool paintsWholeColumns() const override { return whole_; }
    void paintColumn(int, const TraceBuffer& t, int n) override {
        painted.emplace_back(t.begin(), t.begin() + n);
    }
    void paintWholeColumn(int, const WholeWindow& t, int n) override {
        std::vector<long double> v(static_cast<size_t>(n), 0.0L);
        for (int i = 0; i < n && i < t.live; ++i) v[i] = t.values[i];
        painted.push_back(std::move(v));
        ++wholeColumns;
    }
    bool paintsDoubleColumns() const override { return whole_; }
    void paintDoubleColumn(int, const double* v, int n) override {
        painted.emplace_back(v, v + n);
        ++doubleColumns;
    }
    void pumpEvents() override {
        pumped.emplace_back(s_.current.begin(), s_.current.begin() + s_.NumSamples);
    }
    std::vector<std::vector<long double>> painted, pumped;
    int wholeColumns = 0, doubleColumns = 0;

private:
    const Session& s_;
    bool whole_;
};

int sampleOf(int trace, int i) {
    if (i % 97 == 0) return trace % 2 ? -32768 : 32767;
    return (trace * 131 + i * 17) % 60001 - 30000;
}

} // namespace

TEST(EmptyRun, WholeNumberTracesPaintAndLeaveWhatConvertedTracesDo) {
    TempDir dir;
    const std::string line = writeLine(dir, "l.sgy", 250, 300, sampleOf);
    // From time 0 past the recorded samples, and from 20 ms on.
    for (int start : {0, 20}) {
        for (int end : {300, 340}) {
            std::unique_ptr<Session> a = openLine(line, end, 0, 250, start);
            std::unique_ptr<Session> b = openLine(line, end, 0, 250, start);
            Keeper ka(*a, false), kb(*b, true);
            Processor pa(*a), pb(*b);
            EXPECT_EQ(pa.run(ka).end, RunEnd::Normal);
            EXPECT_EQ(pb.run(kb).end, RunEnd::Normal);
            EXPECT_EQ(kb.wholeColumns, 250);
            ASSERT_EQ(ka.painted.size(), 250u);
            EXPECT_EQ(ka.painted, kb.painted) << start << " " << end;
            ASSERT_GE(ka.pumped.size(), 3u);
            EXPECT_EQ(ka.pumped, kb.pumped) << start << " " << end;
            EXPECT_TRUE(a->current == b->current) << start << " " << end;
            EXPECT_TRUE(a->raw == b->raw) << start << " " << end;
            EXPECT_EQ(a->NumSamples, b->NumSamples);
            EXPECT_FALSE(b->deferred.held());
            EXPECT_FALSE(b->runMayDefer);
        }
    }
}

TEST(EmptyRun, FloatTracesPaintFromTheirDoublesAndLeaveWhatConvertedTracesDo) {
    TempDir dir;
    for (int code : {1, 5}) { // IBM and IEEE floats, with fractions and a wide range
        SynthSegy f;
        f.formatCode = code;
        f.binaryNs = 300;
        f.binaryInterval = 1000;
        for (int t = 0; t < 250; ++t) {
            SynthTrace& tr = f.addTrace(t + 1, 300, 1000);
            tr.reals.resize(300);
            for (int i = 0; i < 300; ++i)
                tr.reals[i] = std::ldexp(sampleOf(t, i + 1) / 3.0, (t + i) % 40 - 20);
        }
        const std::string line = dir.file("f" + std::to_string(code) + ".sgy");
        f.write(line);
        for (int start : {0, 20}) {
            for (int end : {300, 340}) {
                std::unique_ptr<Session> a = openLine(line, end, 0, 250, start);
                std::unique_ptr<Session> b = openLine(line, end, 0, 250, start);
                Keeper ka(*a, false), kb(*b, true);
                Processor pa(*a), pb(*b);
                EXPECT_EQ(pa.run(ka).end, RunEnd::Normal);
                EXPECT_EQ(pb.run(kb).end, RunEnd::Normal);
                EXPECT_EQ(kb.doubleColumns, 250);
                ASSERT_EQ(ka.painted.size(), 250u);
                EXPECT_EQ(ka.painted, kb.painted) << code << " " << start << " " << end;
                ASSERT_GE(ka.pumped.size(), 3u);
                EXPECT_EQ(ka.pumped, kb.pumped);
                EXPECT_TRUE(a->current == b->current);
                EXPECT_TRUE(a->raw == b->raw);
                EXPECT_FALSE(b->deferred.held());
                EXPECT_FALSE(b->runMayDeferDoubles);
            }
        }
    }
}

TEST(EmptyRun, ARunWithRowsConvertsEveryTrace) {
    TempDir dir;
    const std::string line = writeLine(dir, "l.sgy", 20, 100, sampleOf);
    std::unique_ptr<Session> s = openLine(line, 100, 0, 20);
    setRows(*s, {{"AGCM", "9"}});
    Keeper k(*s, true);
    Processor p(*s);
    EXPECT_EQ(p.run(k).end, RunEnd::Normal);
    EXPECT_EQ(k.wholeColumns, 0);
    EXPECT_EQ(k.painted.size(), 20u);
}

TEST(EmptyRun, RowsInDoublePaintFromTheirCopyAndLeaveWhatConvertedTracesDo) {
    TempDir dir;
    const std::string line = writeLine(dir, "l.sgy", 250, 300, sampleOf);
    // In double to the end; a row on the extended trace after them; a row
    // that writes nothing.
    for (int k = 0; k < 3; ++k) {
        std::unique_ptr<Session> a = openLine(line, 340, 0, 250, 20);
        std::unique_ptr<Session> b = openLine(line, 340, 0, 250, 20);
        for (Session* s : {a.get(), b.get()}) {
            if (k == 0)
                setRows(*s, {{"DBAS"}, {"FLTM", "10", "100", "0", "0", "16"}, {"AGCM", "9"}});
            if (k == 1)
                setRows(*s, {{"DBAS"}, {"FLTM", "10", "100", "0", "0", "16"}, {"LING", "2"}});
            if (k == 2) setRows(*s, {{"AGCM", "0"}});
        }
        Keeper ka(*a, false), kb(*b, true);
        Processor pa(*a), pb(*b);
        EXPECT_EQ(pa.run(ka).end, RunEnd::Normal);
        EXPECT_EQ(pb.run(kb).end, RunEnd::Normal);
        ASSERT_EQ(ka.painted.size(), 250u);
        EXPECT_EQ(ka.painted, kb.painted) << k;
        ASSERT_GE(ka.pumped.size(), 3u);
        EXPECT_EQ(ka.pumped, kb.pumped);
        EXPECT_TRUE(a->current == b->current);
        EXPECT_TRUE(a->raw == b->raw);
        EXPECT_FALSE(b->deferred.held());
        EXPECT_EQ(kb.doubleColumns, k == 0 ? 250 : 0) << k;
    }
}

TEST(EmptyRun, KorvaRecordsPaintAndLeaveWhatConvertedRecordsDo) {
    TempDir dir;
    SynthKorvaRecord r;
    r.scan = 0;
    r.trigDelay = 200; // from time 0, slots 0..200 come before the record
    writeBytes(dir.file("l.D05"), korvaFile(r, 250, 4096));
    // Windows (ms at 8 kHz) starting before the record, inside it, and
    // reaching past its end; shots past the last record end the run.
    struct Case {
        int start, end, lastShot;
    };
    for (const Case c : {Case{0, 100, 250}, Case{10, 30, 250}, Case{500, 600, 260}}) {
        auto open = [&] {
            auto s = std::make_unique<Session>();
            s->EndSweep.set(c.end);
            openCommand(*s, dir.file("l.D05"));
            s->StartSweep.set(c.start);
            s->shots.StartShot.set(0);
            s->shots.EndShot.set(c.lastShot);
            selectShotsOk(*s);
            s->current.fill(7); // slots above the record's are never written
            return s;
        };
        std::unique_ptr<Session> a = open(), b = open();
        Keeper ka(*a, false), kb(*b, true);
        Processor pa(*a), pb(*b);
        const RunEnd end = c.lastShot > 250 ? RunEnd::EndOfData : RunEnd::Normal;
        EXPECT_EQ(pa.run(ka).end, end);
        EXPECT_EQ(pb.run(kb).end, end);
        EXPECT_EQ(kb.wholeColumns, 250) << c.start;
        ASSERT_EQ(ka.painted.size(), 250u);
        EXPECT_EQ(ka.painted, kb.painted) << c.start;
        ASSERT_GE(ka.pumped.size(), 3u);
        EXPECT_EQ(ka.pumped, kb.pumped) << c.start;
        EXPECT_TRUE(a->current == b->current) << c.start;
        EXPECT_EQ(b->current[kReadSlots], 7);
        EXPECT_FALSE(b->deferred.held());
    }
}
