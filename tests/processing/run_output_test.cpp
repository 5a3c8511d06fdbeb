// Whole runs over a SEG-Y line: the sequence rows change the traces, and a WSEG
// row writes what the run painted.
#include "core/session.h"
#include "formats/demo_line.h"
#include "formats/file_open.h"
#include "processing/processor.h"
#include "processing/sequence_file.h"
#include "support/temp_dir.h"

#include <cmath>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

using namespace tarnix;

namespace {

class TraceKeeper : public RunHooks {
public:
    void paintColumn(int, const TraceBuffer& t, int n) override {
        traces.emplace_back(t.begin(), t.begin() + std::max(n, 0));
    }
    std::vector<std::vector<long double>> traces;
};

std::unique_ptr<Session> openLine(const std::string& path, bool littleEndian, int from, int to) {
    auto s = std::make_unique<Session>();
    openCommand(*s, path);
    s->segy.HeadType = SegyOptions::Ascii;
    s->segy.SEGYRadio = littleEndian ? SegyOptions::LittleEndian : SegyOptions::BigEndian;
    s->StartSweep.set(0);
    s->EndSweep.set(40);
    segyOptionsOk(*s);
    s->shots.StartShot.set(from);
    s->shots.EndShot.set(to);
    selectShotsOk(*s);
    return s;
}

} // namespace

TEST(RunOutput, SequenceFileWithDbasAgcmWsegWritesWhatWasPainted) {
    test::TempDir dir;
    DemoLineOptions opt;
    opt.shots = 12;
    opt.samples = 400;
    opt.intervalUs = 100;
    writeDemoLine(dir.file("line.sgy"), opt);
    const std::string out = dir.file("out.sgy");

    for (const char* order : {"BE", "LE"}) {
        test::writeTextFile(dir.file("seq.txt"), "# Module p1 p2 p3 p4 p5 p6 \n"
                                                 "1 DBAS       \n"
                                                 "2 AGCM 51      \n"
                                                 "3 WSEG " +
                                                     out + " " + order + " 2    \n");
        auto s = openLine(dir.file("line.sgy"), false, 1, 11);
        loadSequenceFile(s->sequence, dir.file("seq.txt"));
        Processor p(*s);
        TraceKeeper painted;
        RunResult r = p.run(painted);
        ASSERT_EQ(r.end, RunEnd::Normal) << r.message;
        ASSERT_EQ(painted.traces.size(), 10u);
        EXPECT_FALSE(s->OutputSegyOpen);

        // Read the output back with the reader of its byte order: shot k of the
        // run is trace k - StartShot (counted from 0) of the output.
        auto back = openLine(out, std::string(order) == "LE", 0, 10);
        Processor q(*back);
        TraceKeeper reread;
        q.run(reread);
        ASSERT_EQ(reread.traces.size(), 10u) << order;
        for (size_t k = 0; k < 10; ++k) {
            ASSERT_EQ(reread.traces[k].size(), painted.traces[k].size());
            for (size_t i = 0; i < painted.traces[k].size(); ++i)
                ASSERT_EQ(reread.traces[k][i], std::trunc(painted.traces[k][i]))
                    << order << " trace " << k << " sample " << i;
        }
        // AGC balanced the trace: the processed peak is far from the raw one.
    }
}
