#include "core/error.h"
#include "core/session.h"
#include "processing/rms_trace.h"

#include <gtest/gtest.h>
#include <memory>
#include <vector>

using namespace tarnix;

namespace {

// A small synthetic line read in sequence: trace k (from 1) holds k * (i + 1)
// in sample i, so the mean of traces 1..m is (m + 1) / 2 * (i + 1).
class LineInput : public InputFile {
public:
    explicit LineInput(int traces) : traces_(traces) {}
    void rewind(Session&) override {
        next_ = 1;
        ++rewinds;
    }
    void readRunTrace(Session& s, int shot) override {
        if (next_ > traces_) throw EndOfData("line: no trace " + std::to_string(shot));
        shots.push_back(shot);
        s.current.fill(-1); // beyond the window: must not reach the mean
        for (int i = 0; i < s.NumSamples; ++i) s.current[i] = next_ * (i + 1.0L);
        ++next_;
    }
    bool readSingleTrace(Session&, int) override { return false; }
    int rewinds = 0;
    std::vector<int> shots;

private:
    int traces_;
    int next_ = 1;
};

struct Line {
    std::unique_ptr<Session> s = std::make_unique<Session>();
    LineInput* in = nullptr;
    Line(int traces, int numTraces) {
        auto input = std::make_unique<LineInput>(traces);
        in = input.get();
        s->input = std::move(input);
        s->NumSamples = 4;
        s->NumTraces = numTraces;
        s->shots.StartShot.set(10);
    }
};

} // namespace

TEST(MeanTrace, AveragesTheTracesItReadsAndRewindsForTheRun) {
    Line line(20, 6); // reads NumTraces - 2 = 4 traces
    EXPECT_EQ(CALCULATE_RMSTRACE(*line.s), 4);
    EXPECT_EQ(line.in->shots, (std::vector<int>{10, 11, 12, 13}));
    for (int i = 0; i < 4; ++i) EXPECT_DOUBLE_EQ(double(line.s->meanTrace[i]), 2.5 * (i + 1)) << i;
    EXPECT_EQ(line.s->meanTrace[4], 0); // only NumSamples samples are summed
    EXPECT_EQ(line.in->rewinds, 2);     // before the pre-pass and after it

    // A second pre-pass starts from a cleared buffer, not from the first sums.
    EXPECT_EQ(CALCULATE_RMSTRACE(*line.s), 4);
    EXPECT_DOUBLE_EQ(double(line.s->meanTrace[3]), 10.0);
}

TEST(MeanTrace, AShortFileIsAveragedOverWhatItHas) {
    Line line(3, 12); // wants 10 traces, the file ends after 3
    EXPECT_EQ(CALCULATE_RMSTRACE(*line.s), 3);
    EXPECT_DOUBLE_EQ(double(line.s->meanTrace[0]), 2.0);
    EXPECT_DOUBLE_EQ(double(line.s->meanTrace[2]), 6.0);

    Line tiny(5, 2); // no trace to read: the mean trace stays zero, nothing divides by 0
    tiny.s->meanTrace.fill(7);
    EXPECT_EQ(CALCULATE_RMSTRACE(*tiny.s), 0);
    EXPECT_EQ(tiny.s->meanTrace[0], 0);
}
