#include "core/error.h"
#include "core/session.h"
#include "formats/file_open.h"
#include "formats/segy_header.h"
#include "formats/segy_reader.h"
#include "formats/segy_text.h"
#include "support/segy_fixture.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

using namespace tarnix;
using tarnix::test::SynthSegy;
using tarnix::test::TempDir;

namespace {

std::unique_ptr<Session> openSynth(const SynthSegy& f, const std::string& path,
                                   bool bigEndian = true, int channels = 1, int channel = 1) {
    f.write(path);
    auto s = std::make_unique<Session>();
    s->segy.SEGYRadio = bigEndian ? SegyOptions::BigEndian : SegyOptions::LittleEndian;
    s->segy.NumofChanRadio = channels - 1;
    s->shots.chan_to_display.set(channel);
    s->InputFileName = path;
    segyOptionsOk(*s);
    return s;
}

int32_t field(const Session& s, int byte) {
    return segyGet(s.segyTraceHeader, byte);
}

} // namespace

TEST(SegyRead, InterleavedChannelsLocateShotAndChannel) {
    TempDir dir;
    SynthSegy f;
    for (int t = 0; t < 44; ++t) f.addTrace(t, 1000, 1000);
    auto s = openSynth(f, dir.file("four.sgy"), true, 4, 3);
    EXPECT_EQ(field(*s, segy::FieldRecord), 2); // shot 0, channel 3
    segyInput(*s)->readTrace(*s, 10);
    // 3600 + 2240 x 10 x 4 + 2240 x 2 is trace 42 of the file.
    EXPECT_EQ(field(*s, segy::FieldRecord), 42);
    EXPECT_EQ(s->raw[0], SynthSegy::value(42, 0));
    EXPECT_EQ(s->raw[999], SynthSegy::value(42, 999));
    EXPECT_EQ(s->NumTraces, 44 / 4 + 1);
}

TEST(SegyRead, BothByteOrdersGiveTheSameTrace) {
    TempDir dir;
    for (bool be : {true, false}) {
        SynthSegy f;
        f.bigEndian = be;
        f.addTrace(11, 300, 250)
            .set(1, 77)
            .set(13, 5)
            .set(109, 12)
            .set(71, 1)
            .set(89, 1)
            .set(73, 12)
            .set(77, 56);
        f.addTrace(12, 300, 250).set(1, 78).set(157, 2024).set(159, 200).set(165, 59);
        auto s = openSynth(f, dir.file(be ? "be.sgy" : "le.sgy"), be);
        EXPECT_EQ(s->SampleRate, 4);
        EXPECT_DOUBLE_EQ(s->header.Delay, 12);
        EXPECT_EQ(s->Edit2, "DELAY =12.0");
        EXPECT_EQ(s->header.CoordX, 12);
        segyInput(*s)->readTrace(*s, 1);
        EXPECT_EQ(field(*s, segy::FieldRecord), 12);
        // Only the big-endian read copies the field record number into both sequence numbers.
        EXPECT_EQ(field(*s, segy::SeqLine), be ? 12 : 78);
        EXPECT_EQ(field(*s, segy::SeqReel), be ? 12 : 0);
        EXPECT_EQ(field(*s, segy::Year), 2024);
        EXPECT_EQ(s->header.Day, "200");
        EXPECT_EQ(s->header.Second, "59");
        for (int i : {0, 1, 150, 299}) EXPECT_EQ(s->raw[i], SynthSegy::value(12, i)) << i;
        EXPECT_EQ(segyInput(*s)->posString(), "12 2024 200 0 0 59 56.00000000 12.00000000 ");
    }
}

TEST(SegyRead, MulAndAddApplyToBigEndianOnly) {
    TempDir dir;
    for (bool be : {true, false}) {
        SynthSegy f;
        f.bigEndian = be;
        f.addTrace(1, 10, 1000).samples[3] = -7;
        f.write(dir.file("m.sgy"));
        auto s = std::make_unique<Session>();
        s->segy.SEGYRadio = be ? SegyOptions::BigEndian : SegyOptions::LittleEndian;
        s->shots.MUL = std::string(1, '3');
        s->shots.ADD = std::string(1, '2');
        OPEN_SEGY(*s, dir.file("m.sgy"), 0);
        EXPECT_EQ(s->raw[3], be ? (-7 + 2) * 3 : -7);
    }
}

TEST(SegyRead, CoordinateDecoding) {
    TempDir dir;
    // Source coordinates 0: big-endian takes the group pair, little-endian stays at 0 (not 360).
    for (bool be : {true, false}) {
        SynthSegy f;
        f.bigEndian = be;
        f.addTrace(1, 10, 1000).set(71, -10).set(89, 1).set(81, -1234).set(85, 5678);
        auto s = openSynth(f, dir.file("g.sgy"), be);
        if (be) {
            EXPECT_NEAR(s->header.CoordX, 360 - 123.4, 1e-9);
            EXPECT_NEAR(s->header.CoordY, 567.8, 1e-9);
        } else {
            EXPECT_EQ(s->header.CoordX, 0);
            EXPECT_EQ(s->header.CoordY, 0);
        }
    }
    // Seconds of arc with scaler -100: -1296000 / 100 / 3600 = -3.6, shown as 356.4.
    SynthSegy f;
    f.addTrace(1, 10, 1000).set(71, -100).set(89, 2).set(73, -1296000).set(77, 20736000);
    f.addTrace(2, 10, 1000).set(71, 3).set(89, 7).set(73, 1).set(77, 1); // units 7: nothing decoded
    auto s = openSynth(f, dir.file("arc.sgy"));
    EXPECT_NEAR(s->header.CoordX, 356.4, 1e-9);
    EXPECT_NEAR(s->header.CoordY, 57.6, 1e-9);
    EXPECT_EQ(s->header.CoordXText, "356.40000000");
    s->segy.YEditScaler = "2";
    segyInput(*s)->readTrace(*s, 1);
    EXPECT_NEAR(s->header.CoordX, 356.4, 1e-9);
    EXPECT_NEAR(s->header.CoordY, 115.2, 1e-9); // the extra factor applies again
}

TEST(SegyRead, SampleIntervalAndChangeBox) {
    TempDir dir;
    SynthSegy f;
    f.addTrace(1, 10, 125);
    auto s = openSynth(f, dir.file("r.sgy"));
    EXPECT_EQ(s->SampleRate, 8);
    EXPECT_EQ(s->segy.S_REdit, "125");
    s->segy.ChangeBox = true;
    s->segy.S_REdit = "500";
    segyInput(*s)->readTrace(*s, 0);
    EXPECT_EQ(s->SampleRate, 2);
    EXPECT_EQ(field(*s, segy::SampleInterval), 125); // big-endian keeps the header's interval
    s->segy.S_REdit = "1e-9";                        // a rate beyond 1 GHz
    EXPECT_THROW(segyInput(*s)->readTrace(*s, 0), IoError);
    EXPECT_EQ(s->SampleRate, 2);
}

TEST(SegyRead, MultipingDelay) {
    EXPECT_EQ(multipingDelay(150, 2000, 10), 0);
    EXPECT_EQ(multipingDelay(300, 2000, 10), 200);
    TempDir dir;
    SynthSegy f;
    f.addTrace(1, 2000, 100).set(109, 33);
    f.write(dir.file("mp.sgy"));
    Session s;
    s.segy.Z_scaler = SegyOptions::Multiping;
    s.segy.waterDepth = 300;
    OPEN_SEGY(s, dir.file("mp.sgy"), 0);
    EXPECT_EQ(s.header.Delay, 200);
    EXPECT_EQ(s.Edit2, "DELAY =200.0");
}

TEST(SegyRead, TextualHeaderEbcdicAndAscii) {
    EXPECT_EQ(ebcdicChar(0x4B), ' ');
    EXPECT_EQ(ebcdicChar(0x60), ' ');
    EXPECT_EQ(ebcdicChar(0x40), ' ');
    EXPECT_EQ(ebcdicChar(0xC1), 'A');
    EXPECT_EQ(ebcdicChar(0xE9), 'Z');
    EXPECT_EQ(ebcdicChar(0xA2), 's');
    EXPECT_EQ(ebcdicChar(0xF9), '9');
    EXPECT_EQ(ebcdicChar(0x7F), '"');
    EXPECT_EQ(ebcdicChar(0x6D), '_');
    EXPECT_EQ(ebcdicChar(0x7D), ' ');
    TempDir dir;
    SynthSegy f;
    const unsigned char c01[] = {0xC3, 0xF0, 0xF1, 0x4B, 0x60, 0x81};
    std::copy(std::begin(c01), std::end(c01), f.text.begin() + 80);
    f.addTrace(1, 10, 1000);
    auto s = openSynth(f, dir.file("t.SGY"));
    ASSERT_EQ(s->SEGYmemo.size(), 45u);
    EXPECT_EQ(s->SEGYmemo[1].substr(0, 8), "C01  a  ");
    for (const auto& line : s->SEGYmemo) EXPECT_EQ(line.size(), 80u);
    EXPECT_EQ(s->segyFileHeader[80], 0xC3);

    s->segy.HeadType = SegyOptions::Ascii;
    showSegyTextualHeader(*s);
    EXPECT_EQ(s->SEGYmemo[1][0], '\xC3');
}

TEST(SegyRead, TraceCountAndZeroFill) {
    TempDir dir;
    SynthSegy f;
    f.addTrace(1, 200, 1000);
    f.addTrace(2, 200, 1000).set(115, 100); // shorter trace at the end: file is not a multiple
    f.traces.back().samples.resize(100);
    auto s = openSynth(f, dir.file("c.sgy"));
    EXPECT_EQ(s->NumTraces, (640 + 440) / 640 + 1);
    EXPECT_EQ(s->shots.StartShot(), 0);
    EXPECT_EQ(s->shots.EndShot(), s->NumTraces - 1); // the whole traces, 0..count-2
    EXPECT_EQ(s->shots.Label1, "File:  c.sgy");
    EXPECT_EQ(s->shots.Label2, "Total: 2");
    segyInput(*s)->readTrace(*s, 1);
    EXPECT_EQ(s->raw[99], SynthSegy::value(2, 99));
    EXPECT_EQ(s->raw[100], 0); // the first trace's samples are not carried on
    EXPECT_EQ(s->raw[199], 0);
}

TEST(SegyRead, TruncatedFileAndBadCountsNeverRepeatATrace) {
    TempDir dir;
    SynthSegy f;
    for (int t = 0; t < 3; ++t) f.addTrace(t + 1, 100, 1000);
    f.truncateTo = 3600 + 2 * 440 + 300;
    auto s = openSynth(f, dir.file("cut.sgy"));
    SegyInput* in = segyInput(*s);
    in->readTrace(*s, 1);
    try {
        in->readTrace(*s, 2);
        FAIL() << "a cut trace was read";
    } catch (const EndOfData&) {
        FAIL() << "a cut trace is an error, not the end";
    } catch (const IoError& e) {
        EXPECT_NE(std::string(e.what()).find("cut.sgy: trace 2"), std::string::npos) << e.what();
    }
    EXPECT_THROW(in->readTrace(*s, 3), EndOfData);
    EXPECT_EQ(field(*s, segy::FieldRecord), 2); // nothing of a failed read is kept
    EXPECT_EQ(s->raw[0], SynthSegy::value(2, 0));

    SynthSegy z;
    z.addTrace(1, 100, 1000);
    z.addTrace(2, 0, 1000);
    z.addTrace(3, 20000, 1000).samples.resize(0);
    auto t = openSynth(z, dir.file("zero.sgy"));
    EXPECT_THROW(segyInput(*t)->readTrace(*t, 1), IoError);
    EXPECT_EQ(field(*t, segy::FieldRecord), 1);
    SynthSegy big;
    big.addTrace(1, 20000, 1000);
    big.write(dir.file("big.sgy"));
    openCommand(*t, dir.file("big.sgy"));
    try {
        segyOptionsOk(*t);
        FAIL() << "a trace beyond the buffer was read";
    } catch (const IoError& e) {
        EXPECT_NE(std::string(e.what()).find("big.sgy: trace 0 announces 20000 samples"),
                  std::string::npos);
    }
    EXPECT_FALSE(t->InputOpen);
    tarnix::test::writeTextFile(dir.file("tiny.sgy"), std::string(3000, ' '));
    openCommand(*t, dir.file("tiny.sgy"));
    EXPECT_THROW(segyOptionsOk(*t), IoError);
    openCommand(*t, dir.file("missing.sgy"));
    EXPECT_THROW(segyOptionsOk(*t), IoError);
    EXPECT_FALSE(t->InputOpen);
}

TEST(SegyRead, RunReadsInBlocksKeepEveryByteAndReportCutTracesAsBefore) {
    TempDir dir;
    // 2240-byte traces: trace 116 ends past the first block, which starts at
    // trace 0, while its first 2240 bytes lie inside it; it is the longer last
    // trace of the file. The second file is cut inside trace 150.
    const int longer = static_cast<int>(ReadAhead::kBlockBytes / 2240) - 1;
    ASSERT_LT(2240LL * longer + 2240, ReadAhead::kBlockBytes);
    ASSERT_GT(2240LL * longer + 3240, ReadAhead::kBlockBytes);
    SynthSegy f, cut;
    for (int t = 0; t <= longer; ++t)
        f.addTrace(t + 1, t == longer ? 1500 : 1000, 1000)
            .set(157, 2000 + t)
            .set(165, t % 60)
            .set(71, -100)
            .set(89, 2)
            .set(73, 3600 * 100 * 25 + t)
            .set(77, -3600 * 100 * 60 - 7 * t);
    for (int t = 0; t < 200; ++t) cut.addTrace(t + 1, 1000, 1000);
    cut.truncateTo = 3600 + 2240 * 150 + 1000;
    auto s = openSynth(f, dir.file("blocks.sgy"));
    SegyInput* in = segyInput(*s);
    for (int t = 0; t <= longer; ++t) {
        in->readRunTrace(*s, t);
        const int ns = t == longer ? 1500 : 1000;
        ASSERT_EQ(in->samplesRead(), ns) << t;
        EXPECT_EQ(field(*s, segy::FieldRecord), t + 1);
        for (int i : {0, 1, ns / 2, ns - 1})
            ASSERT_EQ(s->raw[i], SynthSegy::value(t + 1, i)) << t << " " << i;
        EXPECT_EQ(s->raw[ns], 0);
    }
    // Each shot's navigation text is the one its own read gives.
    EXPECT_EQ(s->navText[3], "3 2003 0 0 0 3 -60.00005833 25.00000833");
    EXPECT_EQ(s->navText[longer], segyNavLine(longer, s->header));

    auto c = openSynth(cut, dir.file("cut.sgy"));
    in = segyInput(*c);
    c->navText[3] = "imported";
    EXPECT_EQ(c->navText[3], "imported");
    in->readRunTrace(*c, 3); // a later read replaces an imported text
    EXPECT_EQ(c->navText[3], "3 0 0 0 0 0 0.00000000 0.00000000");
    for (int t = 0; t < 150; ++t) in->readRunTrace(*c, t);
    try {
        in->readRunTrace(*c, 150);
        FAIL() << "a cut trace was read";
    } catch (const EndOfData&) {
        FAIL() << "a cut trace is an error, not the end";
    } catch (const IoError& e) {
        EXPECT_NE(std::string(e.what()).find("cut.sgy: trace 150 is cut short"), std::string::npos)
            << e.what();
    }
    EXPECT_EQ(field(*c, segy::FieldRecord), 150);
    EXPECT_EQ(c->raw[999], SynthSegy::value(150, 999));
    EXPECT_THROW(in->readRunTrace(*c, 151), EndOfData);
}

TEST(SegyRead, HeaderListingAfterBigEndianRead) {
    TempDir dir;
    SynthSegy f;
    f.addTrace(4711, 10, 125).set(1, 3).set(5, 9).set(13, 2).set(29, 1).set(71, -100).set(179, -5);
    auto s = openSynth(f, dir.file("l.sgy"));
    showSegyHeaderListing(*s);
    const auto& m = s->SEGYmemo;
    ASSERT_EQ(m.size(), 72u);
    EXPECT_EQ(m[0], "******************* SHOT HEADER **************************");
    EXPECT_EQ(m[1], "Trace Sequency Number within line 4711");
    EXPECT_EQ(m[2], "Trace Sequency Number within reel 4711");
    EXPECT_EQ(m[3], "Original field record number 4711");
    EXPECT_EQ(m[4], "Channel Number 2");
    EXPECT_EQ(m[8], "Trace ID 1  [1 = seismic, 6 = sweep]");
    EXPECT_EQ(m[21], "Scaler to be applied to all coordinates -100");
    EXPECT_EQ(m[40], "Sample Interval 125 (*microseconds*)");
    EXPECT_EQ(m[50], "Taper Length End  0 (*in ms*)");
    EXPECT_EQ(m[71], "Overtravel -5");
}

TEST(FileOpen, ExtensionDispatchIgnoresCase) {
    EXPECT_EQ(formatOf("/d/line.sgy"), InputFormat::Segy);
    EXPECT_EQ(formatOf("/d/line.Seg"), InputFormat::Segy);
    EXPECT_EQ(formatOf("/d/line.d02"), InputFormat::Korva20);
    EXPECT_EQ(formatOf("/d/line.txt"), InputFormat::Ascii);
    EXPECT_EQ(formatOf("/d/line.sg2"), InputFormat::Seg2);
    EXPECT_EQ(formatOf("/d/line.dat"), InputFormat::None); // no such file: not SEG-2
    EXPECT_EQ(formatOf("/d.sgy/line"), InputFormat::None);

    TempDir dir;
    SynthSegy f;
    f.addTrace(1, 10, 1000);
    f.write(dir.file("a.sgy"));
    Session s;
    s.StartSweep.set(40);
    s.segy.Z_scaler = SegyOptions::Multiping;
    s.segy.ChangeBox = true;
    EXPECT_EQ(openCommand(s, dir.file("a.sgy")), InputFormat::Segy);
    EXPECT_EQ(s.StartSweep(), 0);
    EXPECT_EQ(s.Edit2, "File Name: " + dir.file("a.sgy"));
    EXPECT_EQ(s.segy.Z_scaler, SegyOptions::DelayField);
    EXPECT_FALSE(s.segy.ChangeBox);
    segyOptionsOk(s);
    EXPECT_TRUE(s.InputOpen);
    EXPECT_EQ(s.Edit4,
              "Input File:" + dir.file("a.sgy") + " open (byte order: detect, big-endian)");
    // A cancelled dialog opens the same file again; an unbuilt format closes and opens nothing.
    EXPECT_EQ(openCommand(s, ""), InputFormat::Segy);
    EXPECT_FALSE(s.InputOpen);
    EXPECT_EQ(openCommand(s, dir.file("a.xyz")), InputFormat::None);
    EXPECT_EQ(s.InputFileName, dir.file("a.xyz"));
}

TEST(SelectShots, OkSetsRangeGridAndAsciiRate) {
    Session s;
    s.shots.StartShot.set(5);
    s.shots.EndShot.set(105);
    s.rowFiles[0] = "/x/out.TXT";
    s.ascii.S_Redit = "8";
    selectShotsOk(s);
    EXPECT_EQ(s.NumTraces, 100);
    EXPECT_TRUE(s.goEnabled);
    ASSERT_EQ(s.navigationGrid.size(), 102u);
    EXPECT_EQ(s.navigationGrid[0], "Navigation String");
    EXPECT_EQ(s.Sel_ana_spin(), 5);
    EXPECT_EQ(s.Sel_ana_spin.min(), 5);
    EXPECT_EQ(s.Sel_ana_spin.max(), 105);
    EXPECT_EQ(s.SampleRate, 8);
    EXPECT_EQ(s.korvaRateIndex, 5);
    EXPECT_EQ(korvaRateCode(parseFloat("15.151515152")), 13);
    EXPECT_EQ(korvaRateCode(3), 99);
    s.ascii.S_Redit = "3.5";
    s.rowFiles[0] = "/x/out.Txt"; // neither spelling: the rate is left alone
    selectShotsOk(s);
    EXPECT_EQ(s.SampleRate, 8);
    s.rowFiles[0] = "/x/a.seg2";
    selectShotsOk(s);
    EXPECT_EQ(s.korvaRateIndex, 99);
    EXPECT_EQ(s.korvaRateValue, "3.500000000");
}
