// Neighbour traces: a reader of their own, one read per trace, the session untouched.
#include "core/session.h"
#include "formats/file_open.h"
#include "processing/neighbours.h"
#include "support/segy_fixture.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>
#include <memory>

using namespace tarnix;

namespace {

// Shots of two interleaved channels, 40 samples at 1 ms: 1000 shot + 100 channel + i.
std::unique_ptr<Session> twoChannelLine(const test::TempDir& dir, int shots) {
    test::SynthSegy seg;
    for (int k = 0; k < shots; ++k)
        for (int ch = 1; ch <= 2; ++ch) {
            test::SynthTrace& t = seg.addTrace(k + 1, 40, 1000);
            for (int i = 0; i < 40; ++i)
                t.samples[i] = static_cast<int16_t>(1000 * k + 100 * ch + i);
        }
    seg.write(dir.file("two.sgy"));
    auto s = std::make_unique<Session>();
    openCommand(*s, dir.file("two.sgy"));
    s->segy.NumofChanRadio = 1;
    s->shots.chan_to_display.set(2);
    s->StartSweep.set(5);
    s->EndSweep.set(40);
    segyOptionsOk(*s);
    return s;
}

} // namespace

TEST(Neighbours, SameChannelAndWindowEachTraceReadOnce) {
    test::TempDir dir;
    auto s = twoChannelLine(dir, 6);
    s->shots.chan_to_display.set(2);
    s->input->readRunTrace(*s, 2);
    const auto header = s->segyTraceHeader;
    const long double rate = s->SampleRate;
    s->current[0] = 42;
    NeighbourReader nb;
    nb.start(*s);
    // Three traces mixed with the current one along the line: shots 1..8 asked for.
    for (int shot = 0; shot < 6; ++shot)
        for (int t = 1; t <= 2; ++t) {
            const Sample* x = nb.trace(*s, shot + t, 35, 2);
            if (shot + t >= 6) {
                EXPECT_EQ(x, nullptr) << shot + t;
                continue;
            }
            ASSERT_NE(x, nullptr) << shot + t;
            EXPECT_EQ(x[0], 1000 * (shot + t) + 200 + 5);
            EXPECT_EQ(x[34], 1000 * (shot + t) + 200 + 39);
        }
    EXPECT_EQ(nb.reads(), 7); // shots 1 to 7, each once
    EXPECT_EQ(s->current[0], 42);
    EXPECT_EQ(s->segyTraceHeader, header);
    EXPECT_EQ(s->SampleRate, rate);
    // A new start reads again with the settings of the day.
    s->shots.chan_to_display.set(1);
    nb.start(*s);
    EXPECT_EQ(nb.trace(*s, 3, 35, 2)[0], 3105);
    EXPECT_EQ(nb.reads(), 1);
}

TEST(Neighbours, InputsWithoutAReaderHaveNone) {
    Session s;
    s.InputFileName = "/data/line.bin";
    NeighbourReader nb;
    EXPECT_EQ(nb.trace(s, 1, 10, 2), nullptr);
    s.InputFileName.clear();
    EXPECT_EQ(nb.trace(s, 1, 10, 2), nullptr);
}
