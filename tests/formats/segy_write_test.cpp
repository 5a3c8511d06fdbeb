#include "core/byte_order.h"
#include "core/error.h"
#include "core/session.h"
#include "formats/file_open.h"
#include "formats/segy_header.h"
#include "formats/segy_reader.h"
#include "formats/segy_writer.h"
#include "support/segy_fixture.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <limits>

using namespace tarnix;
using tarnix::test::SynthSegy;
using tarnix::test::TempDir;

namespace {

std::vector<unsigned char> fileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// Opens `in`, then writes shots first..first+count-1 (each read with the
// SEG-Y reader) to `out` in the given order, as a WSEG row would.
void copyShots(Session& s, const std::string& out, int first, int count, bool bigEndian) {
    s.shots.StartShot.set(first);
    OPEN_OUT_SEGY(s, out);
    s.OutputSegyOpen = true;
    for (int shot = first; shot < first + count; ++shot) {
        s.input->readSingleTrace(s, shot - first);
        if (bigEndian)
            writeSegyTraceBE(s, 1, shot, s.StartSweep(), s.current, s.EndSweep());
        else
            writeSegyTraceLE(s, 1, shot, s.StartSweep(), s.current, s.EndSweep());
    }
    RESET_FILES(s);
}

} // namespace

TEST(SegyWrite, SampleWrapAndCoordinateEncoding) {
    EXPECT_EQ(segySample16(1200.9L), 1200);
    EXPECT_EQ(segySample16(-1200.9L), -1200);
    EXPECT_EQ(segySample16(40000), 40000 - 65536);
    EXPECT_EQ(segySample16(-40000.5L), 25536);
    EXPECT_EQ(segySample16(65536.0L * 65536.0L * 65536.0L * 65536.0L * 3 + 12), 12);
    // Truncated, not rounded: 356.4 is a hair below itself as a double.
    EXPECT_EQ(encodeSegyCoordinate(356.4, -100, 2), 128304000); // read back as written
    EXPECT_EQ(encodeSegyCoordinate(12.345, 0, 1), 12);
    EXPECT_EQ(encodeSegyCoordinate(12.345, 10, 1), 1);
    EXPECT_EQ(encodeSegyCoordinate(-12.345, -1000, 1), -12345);
    EXPECT_EQ(encodeSegyCoordinate(1.5, 4, 2), 1350);
}

TEST(SegyWrite, BigEndianRoundTripAndThirdHeaderPosition) {
    TempDir dir;
    SynthSegy f;
    const unsigned char title[] = {0xC3, 0xF1};
    std::copy(std::begin(title), std::end(title), f.text.begin());
    f.binaryNs = 600;
    for (int t = 0; t < 3; ++t) f.addTrace(t + 20, 600, 1000).set(109, 7);
    f.write(dir.file("in.sgy"));
    Session s;
    openCommand(s, dir.file("in.sgy"));
    s.EndSweep.set(500);
    segyOptionsOk(s);
    ASSERT_EQ(s.NumSamples, 500);
    copyShots(s, dir.file("out.sgy"), 5, 3, true);
    EXPECT_EQ(s.Memo2.back(), "3600");
    EXPECT_FALSE(s.OutputSegyOpen);

    const auto b = fileBytes(dir.file("out.sgy"));
    ASSERT_EQ(b.size(), 3600u + 3 * 1240);
    EXPECT_EQ(b[0], 0xC3); // file header block of the input
    EXPECT_EQ(getI16BE(b.data() + 3220), 600);
    const unsigned char* h = b.data() + 3600 + 2 * 1240; // the third trace header
    EXPECT_EQ(getI32BE(h + 0), 3);
    EXPECT_EQ(getI32BE(h + 8), 3);
    EXPECT_EQ(getI32BE(h + 12), 1);
    EXPECT_EQ(getI32BE(h + 20), 3);
    EXPECT_EQ(getI16BE(h + 28), 1);
    EXPECT_EQ(getI16BE(h + 34), 1);
    EXPECT_EQ(getI16BE(h + 68), 1);
    EXPECT_EQ(getI16BE(h + 108), 0); // the delay is not carried
    EXPECT_EQ(getI16BE(h + 114), 500);
    EXPECT_EQ(getI16BE(h + 116), 1000);
    EXPECT_EQ(getI16BE(h + 130), 500);
    EXPECT_EQ(getI16BE(h + 240), SynthSegy::value(22, 0));
    EXPECT_EQ(getI16BE(h + 240 + 2 * 499), SynthSegy::value(22, 499));

    Session r;
    openCommand(r, dir.file("out.sgy"));
    r.EndSweep.set(500);
    segyOptionsOk(r);
    EXPECT_EQ(r.NumTraces, 4);
    for (int t = 0; t < 3; ++t) {
        r.input->readSingleTrace(r, t);
        EXPECT_EQ(segyGet(r.segyTraceHeader, segy::FieldRecord), t + 1);
        for (int i : {0, 250, 499}) EXPECT_EQ(r.current[i], SynthSegy::value(20 + t, i));
    }
}

TEST(SegyWrite, LittleEndianHeaderCarriesTheInputFields) {
    TempDir dir;
    SynthSegy f;
    f.bigEndian = false;
    for (int t = 0; t < 2; ++t)
        f.addTrace(t + 1, 100, 500)
            .set(1, 55)
            .set(17, 9)
            .set(71, -100)
            .set(89, 2)
            .set(73, -1296000)
            .set(77, 20736000)
            .set(95, 4)
            .set(119, 6)
            .set(133, 8)
            .set(141, 10)
            .set(167, 12)
            .set(179, 13)
            .set(157, 2020);
    f.traces[1].samples[0] = 30000;
    f.write(dir.file("le.sgy"));
    Session s;
    s.segy.SEGYRadio = SegyOptions::LittleEndian;
    openCommand(s, dir.file("le.sgy"));
    s.EndSweep.set(50);
    segyOptionsOk(s);
    ASSERT_EQ(s.NumSamples, 100);
    for (int i = 0; i < 100; ++i) s.raw[i] = 0; // make the gain visible below
    copyShots(s, dir.file("out.sgy"), 1, 2, false);

    const auto b = fileBytes(dir.file("out.sgy"));
    ASSERT_EQ(b.size(), 3600u + 2 * 440);
    EXPECT_EQ(getI16LE(b.data() + 3224), 3);
    const unsigned char* h = b.data() + 3600 + 440;
    EXPECT_EQ(getI32LE(h + 0), 2);
    EXPECT_EQ(getI32LE(h + 16), 9);
    EXPECT_EQ(getI32LE(h + 24), 2);
    EXPECT_EQ(getI16LE(h + 68), 1);
    EXPECT_EQ(getI16LE(h + 70), -100);
    EXPECT_EQ(getI32LE(h + 72), -1296000 + 360 * 3600 * 100); // the 360 offset is not undone
    EXPECT_EQ(getI32LE(h + 80), getI32LE(h + 72));
    EXPECT_EQ(getI32LE(h + 76), 20736000);
    EXPECT_EQ(getI16LE(h + 88), 2);
    EXPECT_EQ(getI16LE(h + 94), 4);
    EXPECT_EQ(getI16LE(h + 114), 100);
    EXPECT_EQ(getI16LE(h + 116), 500);
    EXPECT_EQ(getI16LE(h + 118), 6);
    EXPECT_EQ(getI16LE(h + 130), 50);
    EXPECT_EQ(getI16LE(h + 132), 8);
    EXPECT_EQ(getI16LE(h + 138), 3);
    EXPECT_EQ(getI16LE(h + 140), 10);
    EXPECT_EQ(getI16LE(h + 156), 1999);
    EXPECT_EQ(getI16LE(h + 164), 1);
    EXPECT_EQ(getI16LE(h + 166), 12);
    EXPECT_EQ(getI16LE(h + 178), 13);
    EXPECT_EQ(getI16LE(h + 240), 30000);

    // Read back little-endian: the same samples.
    Session r;
    r.segy.SEGYRadio = SegyOptions::LittleEndian;
    openCommand(r, dir.file("out.sgy"));
    r.EndSweep.set(50);
    segyOptionsOk(r);
    r.input->readSingleTrace(r, 1);
    for (int i = 0; i < 100; ++i)
        ASSERT_EQ(r.current[i], i == 0 ? 30000 : SynthSegy::value(2, i)) << i;
    EXPECT_NEAR(r.header.CoordX, 356.4, 1e-5);
}

TEST(SegyWrite, NoInputShownWritesZeroHeaderAndRefusesEarlierShots) {
    TempDir dir;
    Session s;
    s.NumSamples = 10;
    s.SampleRate = 1;
    s.shots.StartShot.set(3);
    OPEN_OUT_SEGY(s, dir.file("z.sgy"));
    EXPECT_THROW(writeSegyTraceBE(s, 1, 2, 0, s.current, 10), IoError);
    writeSegyTraceBE(s, 1, 3, 0, s.current, 10);
    s.segyOut->close();
    const auto b = fileBytes(dir.file("z.sgy"));
    ASSERT_EQ(b.size(), 3600u + 260);
    // Nothing but the format code of the 16-bit samples written.
    EXPECT_EQ(std::count(b.begin(), b.begin() + 3600, 0), 3599);
    EXPECT_EQ(getI16BE(b.data() + 3224), 3);
    EXPECT_THROW(OPEN_OUT_SEGY(s, dir.file("no/such/dir.sgy")), IoError);
}

TEST(SegyWrite, RealFilesSurviveAReadWriteRead) {
    for (auto [name, be] :
         {std::pair{"peer/segyio-f3.sgy", true}, std::pair{"peer/segyio-f3-lsb.sgy", false}}) {
        const std::string in = tarnix::test::testdataPath(name);
        if (in.empty()) GTEST_SKIP() << "peer test data not present";
        TempDir dir;
        Session s;
        s.segy.SEGYRadio = be ? SegyOptions::BigEndian : SegyOptions::LittleEndian;
        openCommand(s, in);
        s.EndSweep.set(300);
        segyOptionsOk(s);
        ASSERT_EQ(s.NumSamples, 75);
        copyShots(s, dir.file("copy.sgy"), 1, 414, be);
        const auto a = fileBytes(in), b = fileBytes(dir.file("copy.sgy"));
        ASSERT_EQ(a.size(), b.size());
        EXPECT_TRUE(std::equal(a.begin(), a.begin() + 3600, b.begin()));
        for (int t = 0; t < 414; ++t) {
            const long long off = 3600 + 390LL * t + 240;
            ASSERT_TRUE(std::equal(a.begin() + off, a.begin() + off + 150, b.begin() + off))
                << name << " trace " << t;
        }
    }
}

TEST(SegyWrite, IeeeSamplesAndOneFormatPerOutput) {
    auto bits = [](float f) {
        uint32_t u;
        std::memcpy(&u, &f, 4);
        return u;
    };
    EXPECT_EQ(segySampleIeee(0.1L), bits(0.1f)); // nearest, not truncated
    EXPECT_EQ(segySampleIeee(-1234.5L), bits(-1234.5f));
    EXPECT_EQ(segySampleIeee(1e300L), bits(std::numeric_limits<float>::max()));
    EXPECT_EQ(segySampleIeee(-1e300L), bits(-std::numeric_limits<float>::max()));
    EXPECT_EQ(segySampleIeee(std::numeric_limits<long double>::quiet_NaN()), 0u);

    TempDir dir;
    Session s;
    s.NumSamples = 3;
    s.SampleRate = 1;
    s.shots.StartShot.set(1);
    s.current[0] = 0.375L;
    s.current[1] = -2;
    s.current[2] = 1e-3L;
    OPEN_OUT_SEGY(s, dir.file("f.sgy"));
    writeSegyTraceLE(s, 1, 1, 0, s.current, 3, SegyOutSamples::Ieee);
    writeSegyTraceLE(s, 1, 2, 0, s.current, 3, SegyOutSamples::Ieee);
    EXPECT_THROW(writeSegyTraceLE(s, 1, 3, 0, s.current, 3), IoError);
    s.segyOut->close();
    const auto b = fileBytes(dir.file("f.sgy"));
    ASSERT_EQ(b.size(), 3600u + 2 * (240 + 12));
    EXPECT_EQ(getI16LE(b.data() + 3224), 5);
    // The second trace starts after 240 + 3 x 4 bytes.
    EXPECT_EQ(static_cast<uint32_t>(getI32LE(b.data() + 3600 + 252 + 240 + 8)), bits(1e-3f));
    EXPECT_EQ(getI16LE(b.data() + 3600 + 252 + 114), 3);
}
