// Runs over ASCII tables, headerless sample files and scanned profiles, and the
// run's ASCII output.
#include "core/error.h"
#include "core/session.h"
#include "formats/ascii_reader.h"
#include "formats/bmp_image.h"
#include "formats/file_open.h"
#include "processing/processor.h"
#include "support/image_fixture.h"
#include "support/line_fixture.h"
#include "support/sonar_fixture.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

using namespace tarnix;
using namespace tarnix::test;

namespace {

// Columns 100 x k + 10 x j for trace k, line j (both from 1), 3 traces of 4 lines.
std::unique_ptr<Session> openTable(const TempDir& dir, const std::string& rate) {
    std::string text;
    for (int j = 1; j <= 4; ++j) {
        for (int k = 1; k <= 3; ++k) text += std::to_string(100 * k + 10 * j) + " ";
        text += "\n";
    }
    writeTextFile(dir.file("table.TXT"), text);
    auto s = std::make_unique<Session>();
    openCommand(*s, dir.file("table.TXT"));
    s->EndSweep.set(1);
    s->ascii.S_Redit = rate;
    asciiSelectOk(*s);
    selectShotsOk(*s);
    return s;
}

} // namespace

TEST(AsciiRun, EveryColumnIsOneShotAndTheTextOutputHasItsExactLines) {
    TempDir dir;
    auto s = openTable(dir, "3");
    setRows(*s, {{"WASCII", "out.txt", "7"}});
    s->asciiOutPath = dir.file("out.txt");
    Processor p(*s);
    TraceKeeper painted;
    const RunResult r = p.run(painted);
    ASSERT_EQ(r.end, RunEnd::Normal) << r.message;
    ASSERT_EQ(painted.traces.size(), 3u); // the last column too
    EXPECT_EQ(painted.traces[2], (std::vector<long double>{310, 320, 330}));
    std::string expected = "3\n7\n";
    for (int k = 1; k <= 3; ++k)
        for (int j = 1; j <= 3; ++j)
            expected += std::string(j == 1   ? "0.33333333"
                                    : j == 2 ? "0.66666667"
                                             : "1.00000000") +
                        " " + std::to_string(100 * k + 10 * j) + ".00000000\n";
    EXPECT_EQ(readTextFile(dir.file("out.txt")), expected);
}

TEST(AsciiRun, TextOutputWithoutPathOrRateIsRefused) {
    TempDir dir;
    auto s = openTable(dir, "2");
    setRows(*s, {{"WASCII", "", "1"}});
    Processor p(*s);
    TraceKeeper painted;
    RunResult r = p.run(painted);
    EXPECT_EQ(r.end, RunEnd::Failed);
    EXPECT_NE(r.message.find("no ASCII output file"), std::string::npos) << r.message;

    setRows(*s, {{"WASCII", "o.txt", "1"}});
    s->asciiOutPath = dir.file("o.txt");
    s->SampleRate = 0;
    r = p.run(painted);
    EXPECT_EQ(r.end, RunEnd::Failed);
    EXPECT_NE(r.message.find("sample rate is 0"), std::string::npos) << r.message;
    EXPECT_FALSE(std::filesystem::exists(dir.file("o.txt")));
}

TEST(BinaryRun, TheDisplayedChannelOfEveryShotAndTheEndOfTheData) {
    TempDir dir;
    // 4 samples, 2 channels, 3 shots: sample i of shot n channel c is 100n + 10c + i.
    Bytes b;
    for (int n = 0; n < 3; ++n)
        for (int c = 1; c <= 2; ++c)
            for (int i = 0; i < 4; ++i) {
                const int v = 100 * n + 10 * c + i;
                b.push_back(static_cast<unsigned char>(v & 0xff));
                b.push_back(static_cast<unsigned char>(v >> 8));
            }
    writeBytes(dir.file("two.bin"), b);
    Session s;
    s.binary.samples_per_sweep.set(4);
    s.binary.channelsIndex = 1;
    s.binary.Sampling_frequency.set(2000);
    s.shots.chan_to_display.set(2);
    s.EndSweep.set(2);
    openCommand(s, dir.file("two.bin"));
    formatInfo(InputFormat::Binary).open(s);
    EXPECT_EQ(s.NumTraces, 3);
    s.shots.EndShot.set(5); // beyond the file: the run ends at its end
    selectShotsOk(s);
    Processor p(s);
    TraceKeeper painted;
    const RunResult r = p.run(painted);
    EXPECT_EQ(r.end, RunEnd::EndOfData) << r.message;
    ASSERT_EQ(painted.traces.size(), 3u);
    EXPECT_EQ(painted.traces[1], (std::vector<long double>{120, 121, 122, 123}));
    // A channel the file does not have stops the run with the reason.
    s.shots.chan_to_display.set(3);
    selectShotsOk(s);
    const RunResult bad = p.run(painted);
    EXPECT_EQ(bad.end, RunEnd::Failed);
    EXPECT_NE(bad.message.find("channel 3"), std::string::npos) << bad.message;
}

TEST(BitmapRun, ColumnsBecomeShotsFromTheSideFile) {
    TempDir dir;
    const RgbImage img = redRamp(7, 6, 0x00ffff);
    writeBytes(dir.file("p.bmp"), encodeBmp24(img));
    writeTextFile(dir.file("p.bnd"), "0\n4\n1\n6\n0\n5\n0\n4\n");
    Session s;
    openCommand(s, dir.file("p.bmp"));
    Processor p(s);
    TraceKeeper painted;
    const RunResult r = p.run(painted);
    ASSERT_EQ(r.end, RunEnd::Normal) << r.message;
    ASSERT_EQ(painted.traces.size(), 5u);
    // Shot 3 is column 2, rows 1..4.
    EXPECT_EQ(painted.traces[2], (std::vector<long double>{234, 233, 232, 231}));
}

TEST(AsciiRun, MixingTakesTheNextColumnsAsNeighbours) {
    TempDir dir;
    auto s = openTable(dir, "4");
    setRows(*s, {{"TMXM", "2", "0", "0", "FALSE"}});
    Processor p(*s);
    TraceKeeper painted;
    const RunResult r = p.run(painted);
    ASSERT_EQ(r.end, RunEnd::Normal) << r.message;
    ASSERT_EQ(painted.traces.size(), 3u);
    // Trace 1 with trace 2 (110 + 210) / 2; the last column has no neighbour.
    EXPECT_EQ(painted.traces[0][0], 160);
    EXPECT_EQ(painted.traces[2][0], 310);
}
