#include "core/error.h"
#include "core/session.h"
#include "processing/processor.h"

#include <gtest/gtest.h>
#include <memory>
#include <vector>

using namespace tarnix;

namespace {

// An input whose trace k holds the value k in every sample.
class FakeInput : public InputFile {
public:
    explicit FakeInput(int traces) : traces_(traces) {}
    void rewind(Session&) override { ++rewinds; }
    void readRunTrace(Session& s, int shot) override {
        if (shot > traces_) throw EndOfData("fake: no trace " + std::to_string(shot));
        reads.push_back(shot);
        s.raw.fill(shot);
        windowCopy(s);
        s.navText[shot] = "nav " + std::to_string(shot);
    }
    bool readSingleTrace(Session& s, int shot) override {
        s.raw.fill(shot);
        windowCopy(s);
        return true;
    }
    std::optional<std::string> navRow(const Session& s, int shot) const override {
        return s.navText[shot];
    }
    int rewinds = 0;
    std::vector<int> reads;

private:
    int traces_;
};

class CountingHooks : public RunHooks {
public:
    explicit CountingHooks(Session& s, const std::vector<int>* reads = nullptr)
        : s_(s), reads_(reads) {}
    void runState(bool running) override { states.push_back(running); }
    void pumpEvents() override {
        ++pumps;
        // STOP pressed once shot `stopAfter` has been read.
        if (reads_ && stopAfter && !reads_->empty() && reads_->back() >= stopAfter - 1)
            s_.StopRequested = true;
    }
    void createImage() override { ++images; }
    void paintColumn(int x, const TraceBuffer& t, int n) override {
        columns.push_back(x);
        values.push_back(t[0]);
        lastN = n;
    }
    void runEnd() override { ++ends; }
    std::vector<bool> states;
    std::vector<int> columns;
    std::vector<long double> values;
    int pumps = 0, stopAfter = 0, images = 0, ends = 0, lastN = -1;

private:
    Session& s_;
    const std::vector<int>* reads_;
};

struct Fixture {
    std::unique_ptr<Session> s = std::make_unique<Session>();
    FakeInput* in = nullptr;
    Fixture(int traces, int from, int to) {
        auto input = std::make_unique<FakeInput>(traces);
        in = input.get();
        s->input = std::move(input);
        s->InputOpen = true;
        s->InputFileName = "/data/line7.sgy";
        s->SampleRate = 10;
        s->shots.StartShot.set(from);
        s->shots.EndShot.set(to);
        s->NumTraces = to - from;
    }
};

} // namespace

TEST(RunLoop, ProcessesStartToEndMinusOneAndReportsTheFinalShot) {
    Fixture f(100, 10, 12);
    f.s->display.Rep.set(3);
    CountingHooks hooks(*f.s);
    Processor p(*f.s);
    RunResult r = p.run(hooks);
    EXPECT_EQ(r.end, RunEnd::Normal);
    EXPECT_EQ(f.in->reads, (std::vector<int>{10, 11}));
    ASSERT_EQ(f.s->Memo2.size(), 6u);
    EXPECT_EQ(f.s->Memo2[0], "Tarnix v. 1.2.1");
    EXPECT_EQ(f.s->Memo2[2], "Data File : /data/line7.sgy");
    EXPECT_EQ(f.s->Memo2[3], "Read 12 Traces");
    EXPECT_EQ(f.s->Memo2[5], "Normal Completion");
    // Rep 3: each trace in three adjacent columns from 51.
    EXPECT_EQ(hooks.columns, (std::vector<int>{51, 52, 53, 54, 55, 56}));
    EXPECT_EQ(hooks.values[3], 11);
    EXPECT_EQ(f.s->ImageColumns, 6);
    EXPECT_EQ(f.s->ImageRows, 99); // NVP 100 made odd
    EXPECT_EQ(hooks.images, 1);
    EXPECT_EQ(hooks.ends, 1);
    EXPECT_EQ(f.in->rewinds, 1);
    EXPECT_EQ(hooks.states, (std::vector<bool>{true, false}));
}

TEST(RunLoop, EndShotNotAboveStartStillProcessesOneShot) {
    Fixture f(100, 7, 7);
    CountingHooks hooks(*f.s);
    Processor p(*f.s);
    p.run(hooks);
    EXPECT_EQ(f.in->reads, (std::vector<int>{7}));
    EXPECT_EQ(f.s->Memo2[3], "Read 8 Traces");
}

TEST(RunLoop, ClampsTheWindowTo16383Samples) {
    Fixture f(100, 1, 3);
    f.s->SampleRate = 20;
    f.s->EndSweep.set(1000); // 20000 samples
    CountingHooks hooks(*f.s);
    Processor p(*f.s);
    p.run(hooks);
    // The window copy counts 20000 again on every read; the run keeps 16383.
    EXPECT_EQ(hooks.lastN, 16383);
    EXPECT_EQ(f.s->NumSamples, 16383);
    EXPECT_TRUE(p.READ_A_TRACE(2));
    EXPECT_EQ(f.s->NumSamples, 16383);
}

TEST(RunLoop, BadParameterTextStopsTheRunCleanly) {
    Fixture f(100, 1, 50);
    f.s->sequence.cell(1, 0) = "1";
    f.s->sequence.cell(1, 1) = "AGCM";
    f.s->sequence.cell(1, 2) = "12x";
    CountingHooks hooks(*f.s);
    Processor p(*f.s);
    RunResult r = p.run(hooks);
    EXPECT_EQ(r.end, RunEnd::Failed);
    EXPECT_EQ(f.in->reads, (std::vector<int>{1}));
    EXPECT_EQ(f.s->Memo2.back(),
              "Run stopped at shot 1: row 1 (AGCM): '12x' is not a valid integer value");
    // The window leaves its running state and the input is rewound all the same.
    EXPECT_EQ(hooks.states, (std::vector<bool>{true, false}));
    EXPECT_EQ(hooks.ends, 1);
    EXPECT_EQ(f.in->rewinds, 1);
}

TEST(RunLoop, StopEndsAfterTheCurrentShotAndSaysSo) {
    Fixture f(1000, 1, 1000);
    CountingHooks hooks(*f.s, &f.in->reads);
    hooks.stopAfter = 100; // events are served before shot 100 is read
    Processor p(*f.s);
    RunResult r = p.run(hooks);
    EXPECT_EQ(r.end, RunEnd::Stopped);
    EXPECT_EQ(f.in->reads.back(), 100);
    EXPECT_EQ(f.s->Memo2[3], "Read 101 Traces");
    EXPECT_EQ(f.s->Memo2[5], "Stopped by user");
}

TEST(RunLoop, EndOfInputEndsTheRunAndNamesTheShot) {
    Fixture f(20, 15, 30);
    CountingHooks hooks(*f.s);
    Processor p(*f.s);
    RunResult r = p.run(hooks);
    EXPECT_EQ(r.end, RunEnd::EndOfData);
    EXPECT_EQ(f.in->reads.back(), 20);
    EXPECT_EQ(f.s->Memo2.back(), "End of input data at shot 21: fake: no trace 21");
}

TEST(RunLoop, NavigationRowsEveryHdrSelectShots) {
    Fixture f(100, 5, 25);
    f.s->HdrSelect.set(10);
    CountingHooks hooks(*f.s);
    Processor p(*f.s);
    p.run(hooks);
    EXPECT_EQ(f.s->RunTraceCount, 3);
    EXPECT_EQ(f.s->navigationGrid[0], "Navigation String");
    EXPECT_EQ(f.s->navigationGrid[1], "nav 5");
    EXPECT_EQ(f.s->navigationGrid[2], "nav 10");
    EXPECT_EQ(f.s->navigationGrid[3], "nav 20");
}

TEST(RunLoop, ShotsPastTheTablesStopTheRun) {
    Fixture f(50000, 39999, 40005);
    CountingHooks hooks(*f.s);
    Processor p(*f.s);
    RunResult r = p.run(hooks);
    EXPECT_EQ(r.end, RunEnd::Failed);
    EXPECT_EQ(f.in->reads, (std::vector<int>{39999, 40000}));
    EXPECT_NE(f.s->Memo2.back().find("Shot 40001"), std::string::npos);
}

TEST(Worker, SnimDecodesItsColumnsAndUnknownCodesStopTheRun) {
    Fixture f(100, 3, 3);
    auto& q = f.s->sequence;
    q.cell(1, 0) = "1";
    q.cell(1, 1) = "SNIM";
    q.cell(1, 3) = "4";
    Processor p(*f.s);
    EXPECT_NO_THROW(p.ProcessTrace(3));
    q.cell(1, 3) = "four";
    EXPECT_THROW(p.ProcessTrace(3), ConversionError);
    q.cell(1, 3) = "4";

    // A hand-edited code that names no module (ATTM is no module either).
    for (const char* code : {"FLMT", "ATTM", "POSM", "agcm"}) {
        q.cell(2, 0) = "2";
        q.cell(2, 1) = code;
        try {
            p.ProcessTrace(3);
            ADD_FAILURE() << code;
        } catch (const Error& e) {
            EXPECT_EQ(std::string(e.what()),
                      std::string("row 2: '") + code + "' is not a processing module");
        }
    }
    CountingHooks hooks(*f.s);
    q.cell(2, 1) = "FLMT";
    RunResult r = p.run(hooks);
    EXPECT_EQ(r.end, RunEnd::Failed);
    EXPECT_EQ(f.s->Memo2.back(), "Run stopped at shot " + std::to_string(f.s->shots.StartShot()) +
                                     ": row 2: 'FLMT' is not a processing module");
    EXPECT_TRUE(hooks.values.empty()); // nothing was painted
}

TEST(Worker, RowsRunInOrderOnTheCurrentTrace) {
    Fixture f(100, 1, 3);
    auto& q = f.s->sequence;
    // LING 2 doubles the constant trace, DBAS then removes it entirely.
    q.cell(1, 0) = "1";
    q.cell(1, 1) = "LING";
    q.cell(1, 2) = "2";
    CountingHooks hooks(*f.s);
    Processor p(*f.s);
    p.run(hooks);
    EXPECT_EQ(hooks.values[1], 4); // shot 2 doubled
    q.cell(2, 0) = "2";
    q.cell(2, 1) = "DBAS";
    hooks.values.clear();
    p.run(hooks);
    EXPECT_EQ(hooks.values[1], 0);
}

#include "processing/module_state.h"
#include "processing/modules/fir.h"

TEST(Worker, FirstTraceOfEveryRunUsesThisRunsFilter) {
    Fixture f(100, 1, 3);
    f.s->SampleRate = 10;
    f.s->EndSweep.set(20); // 200 samples
    auto& q = f.s->sequence;
    auto fltmRow = [&](const char* high) {
        q.cell(1, 0) = "1";
        q.cell(1, 1) = "FLTM";
        q.cell(1, 2) = "10.00";
        q.cell(1, 3) = high;
        q.cell(1, 4) = "0";
        q.cell(1, 5) = "1";
        q.cell(1, 6) = "31";
    };
    Processor p(*f.s);
    fltmRow("3000.00");
    p.ProcessTrace(2); // designs, and leaves the redesign flag down
    EXPECT_FALSE(p.filterRedesign());
    fltmRow("500.00");
    // The first shot of a new run: its own parameters must apply.
    f.s->raw.fill(0);
    f.s->raw[50] = 1000;
    windowCopy(*f.s);
    p.ProcessTrace(1);
    auto expected = std::make_unique<TraceBuffer>();
    expected->fill(0);
    (*expected)[50] = 1000;
    auto m = std::make_unique<ModuleState>();
    modules::fltm(*expected, 1, 200, 0, true, 31, 500.0, 10.0, 1, 10, *m);
    for (int i = 0; i < 200; ++i) ASSERT_EQ(f.s->current[i], (*expected)[i]) << i;
}
