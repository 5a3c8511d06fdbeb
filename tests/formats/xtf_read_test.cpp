// XTF sonar files: the real side-scan record, generated files for the sample
// widths, navigation units and packet layouts it lacks, and damaged files.
#include "core/byte_order.h"
#include "core/error.h"
#include "core/session.h"
#include "formats/xtf_reader.h"
#include "support/sonar_fixture.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <iterator>

using namespace tarnix;
using namespace tarnix::test;

namespace {

std::vector<SynthXtfChannel> twoSides() {
    return {{1, 2, true, 3}, {2, 2, true, 3}};
}

SynthPing ping(uint32_t n, int ns, double lon, double lat) {
    SynthPing p;
    p.pingNumber = n;
    p.sensorX = lon;
    p.sensorY = lat;
    p.second = static_cast<int>(n % 60);
    p.samples.assign(2, std::vector<double>(static_cast<size_t>(ns)));
    for (int i = 0; i < ns; ++i) {
        p.samples[0][static_cast<size_t>(i)] = 1000 * n + i;  // port
        p.samples[1][static_cast<size_t>(i)] = 50000 + i + n; // starboard, above 32767
    }
    return p;
}

Bytes threePings() {
    Bytes f = xtfFileHeader(twoSides());
    append(f, xtfPing(ping(1, 8, -68.5, 48.25), twoSides()));
    append(f, xtfPacket(3, 50)); // a packet of another kind between two pings
    append(f, xtfPing(ping(2, 8, -68.6, 48.26), twoSides()));
    append(f, xtfPing(ping(3, 8, -68.7, 48.27), twoSides()));
    return f;
}

std::string written(TempDir& dir, const Bytes& f, const char* name = "t.xtf") {
    writeBytes(dir.file(name), f);
    return dir.file(name);
}

void expectOpenFails(const Bytes& f, const std::string& words) {
    TempDir dir;
    try {
        XtfInput in(written(dir, f, "bad.xtf"));
        FAIL() << "no error; expected one with: " << words;
    } catch (const IoError& e) {
        const std::string m = e.what();
        EXPECT_NE(m.find(words), std::string::npos) << m;
        EXPECT_NE(m.find("bad.xtf"), std::string::npos) << m;
    }
}

} // namespace

TEST(XtfPeer, SideScanRecordPingsChannelsAndFirstPositions) {
    const std::string path = testdataPath("peer/cidco-scotsman-iver2.xtf");
    if (path.empty()) GTEST_SKIP() << "peer test data not present";
    std::ifstream file(path, std::ios::binary);
    const Bytes bytes{std::istreambuf_iterator<char>(file), {}};
    Session s;
    s.EndSweep.set(40);
    OPEN_XTF(s, path);
    XtfInput* in = xtfInput(s);
    ASSERT_NE(in, nullptr);
    EXPECT_EQ(s.NumTraces, 461);
    EXPECT_TRUE(in->note().empty()) << in->note();
    ASSERT_EQ(in->info().channels.size(), 2u);
    EXPECT_EQ(in->info().channels[0].name, "PORT");
    EXPECT_EQ(in->info().channels[1].type, 2);
    EXPECT_EQ(in->info().navUnits, 3);
    for (int p : {1, 2, 461}) {
        const XtfPing pg = in->readPing(p);
        ASSERT_EQ(pg.channels.size(), 2u);
        EXPECT_EQ(pg.channels[0].samples, 1024);
        EXPECT_EQ(pg.channels[1].samples, 1024);
        EXPECT_EQ(pg.pingNumber, static_cast<uint32_t>(p - 1));
    }
    // 1024 samples over 39.978 ms.
    EXPECT_EQ(s.SampleRate, static_cast<long double>(1024 / (0.039978 * 1000))); // 0.039978f
    EXPECT_EQ(s.FullScale, 32768);
    EXPECT_EQ(s.NumSamples, static_cast<int>(40 * s.SampleRate));

    // The first ping has no fix: no navigation row and no point at 0 N 0 E.
    s.input->readRunTrace(s, 1);
    EXPECT_TRUE(s.navText[1].empty());
    EXPECT_TRUE(std::isnan(s.shotPosition[1][0]));
    s.input->readRunTrace(s, 2);
    EXPECT_EQ(s.header.CoordYText, "48.44545000");
    EXPECT_EQ(s.header.CoordXText, "291.17206500");
    EXPECT_EQ(s.navText[2], "2 2013 252 21 13 8 48.44545000 291.17206500");
    EXPECT_DOUBLE_EQ(s.shotPosition[2][0], 291.172065);
    EXPECT_EQ(in->posString(), "1 2013 252 21 13 8 48.44545000 291.17206500 ");

    // The port channel is stored far range first: reversed, its transmit pulse
    // (the last stored samples) comes first, as on the starboard channel.
    const long long ping200 = in->pingOffset(200);
    const long long port = ping200 + 256 + 64, stbd = port + 2048 + 64;
    s.shots.chan_to_display.set(1);
    s.input->readRunTrace(s, 200);
    EXPECT_EQ(s.raw[0], getU16LE(&bytes[static_cast<size_t>(port + 2 * 1023)]));
    EXPECT_EQ(s.raw[1023], getU16LE(&bytes[static_cast<size_t>(port)]));
    EXPECT_EQ(s.raw[0], 32767);
    s.shots.chan_to_display.set(2);
    s.input->readRunTrace(s, 200);
    EXPECT_EQ(s.raw[0], getU16LE(&bytes[static_cast<size_t>(stbd)]));
    EXPECT_EQ(s.raw[1023], getU16LE(&bytes[static_cast<size_t>(stbd + 2 * 1023)]));
    EXPECT_THROW(s.input->readRunTrace(s, 462), EndOfData);
}

TEST(XtfRead, PositionedReadsByPingSkipOtherPackets) {
    TempDir dir;
    XtfInput in(written(dir, threePings()));
    EXPECT_EQ(in.pingCount(), 3);
    Session s;
    s.EndSweep.set(1);
    s.shots.chan_to_display.set(2);
    // Out of order: every ping is located from the index, not from the last read.
    for (int p : {3, 1, 2}) {
        in.readTrace(s, p, 2);
        EXPECT_EQ(s.raw[0], 50000 + p) << "ping " << p;
        EXPECT_EQ(s.raw[7], 50007 + p); // unipolar: above 32767 stays positive
    }
    in.readTrace(s, 3, 1);
    for (int i = 0; i < 8; ++i) EXPECT_EQ(s.raw[i], 3000 + 7 - i) << i; // port reversed
    EXPECT_EQ(s.SampleRate, static_cast<long double>(0.2));             // 8 samples, 40 ms
    EXPECT_EQ(s.header.ShotNumber, 3);
    EXPECT_EQ(s.header.Second, "3");
    EXPECT_EQ(s.header.Day, "65");
    EXPECT_DOUBLE_EQ(s.header.CoordX, 360 - 68.7);
    EXPECT_DOUBLE_EQ(s.header.CoordY, 48.27);
    EXPECT_THROW(in.readTrace(s, 4, 1), EndOfData);
    EXPECT_THROW(in.readTrace(s, 0, 1), EndOfData);
    try {
        in.readTrace(s, 2, 3);
        FAIL();
    } catch (const IoError& e) {
        EXPECT_NE(std::string(e.what()).find("ping 2 holds channels 1 to 2; channel 3"),
                  std::string::npos)
            << e.what();
    }
    EXPECT_EQ(s.raw[0], 3007); // the failed read left the trace as it was
}

TEST(XtfRead, SampleWidthsUnitsAndTimeSpans) {
    // 8-bit signed sub-bottom, 32-bit float, metres, ship position only, no
    // day of year, and a time span left 0 (taken from the slant range).
    std::vector<SynthXtfChannel> ch = {{0, 1, false, 0}, {2, 4, false, 5}, {2, 4, false, 0}};
    SynthPing p;
    p.julianDay = 0;
    p.year = 2024;
    p.month = 3;
    p.day = 1; // a leap year: day 61
    p.shipX = -1500.5;
    p.shipY = 6200000.25;
    p.timeDuration = 0;
    p.slantRange = 15;
    p.soundVelocity = 1500;
    p.timeDelay = 0.0125f;
    p.samples = {{-128, 127, -1}, {0.25, -1.5e9, 3}, {-70000, 2147483647, 0}};
    Bytes f = xtfFileHeader(ch, 0);
    append(f, xtfPing(p, ch));
    TempDir dir;
    XtfInput in(written(dir, f));
    Session s;
    in.readTrace(s, 1, 1);
    EXPECT_EQ(s.raw[0], -128);
    EXPECT_EQ(s.raw[1], 127);
    EXPECT_EQ(s.raw[2], -1);
    EXPECT_NEAR(static_cast<double>(s.SampleRate), 0.3, 1e-12); // 15 m at 1500 m/s: 10 ms
    EXPECT_EQ(s.header.Day, "61");
    EXPECT_DOUBLE_EQ(s.header.CoordX, -1500.5); // eastings get no 360
    EXPECT_DOUBLE_EQ(s.header.CoordY, 6200000.25);
    EXPECT_EQ(s.header.Delay, 12.5); // 0.0125f read as 0.0125
    in.readTrace(s, 1, 2);
    EXPECT_EQ(s.raw[0], 0.25L);
    EXPECT_EQ(s.raw[1], -1.5e9L);
    EXPECT_EQ(s.raw[3], 0); // nothing of the 3-sample trace before beyond this one
    in.readTrace(s, 1, 3);
    EXPECT_EQ(s.raw[0], -70000);
    EXPECT_EQ(s.raw[1], 2147483647);
}

TEST(XtfRead, DamagedPacketWalksKeepThePingsBefore) {
    const Bytes good = threePings();
    const size_t third = good.size() - xtfPing(ping(3, 8, 0, 0), twoSides()).size();
    struct Case {
        const char* what;
        Bytes file;
        const char* note;
    };
    Bytes cut(good.begin(), good.end() - 5);
    Bytes zero = good;
    putU32(zero, third + 10, 0);
    Bytes beyond = good;
    putU32(beyond, third + 10, 1u << 30);
    Bytes magic = good;
    magic[third] = 0x12;
    Bytes tail = good;
    tail.resize(tail.size() + 6, 0);
    for (const Case& c :
         {Case{"truncated", cut, "is cut short"}, Case{"zero count", zero, "has a byte count of 0"},
          Case{"count beyond", beyond, "is cut short (1073741824 bytes announced"},
          Case{"bad magic", magic, "FACE"}}) {
        SCOPED_TRACE(c.what);
        TempDir dir;
        XtfInput in(written(dir, c.file));
        EXPECT_EQ(in.pingCount(), 2);
        EXPECT_NE(in.note().find("byte " + std::to_string(third)), std::string::npos) << in.note();
        EXPECT_NE(in.note().find(c.note), std::string::npos) << in.note();
    }
    TempDir dir;
    XtfInput in(written(dir, tail));
    EXPECT_EQ(in.pingCount(), 3);
    EXPECT_NE(in.note().find("6 bytes"), std::string::npos) << in.note();
}

TEST(XtfRead, InconsistentPingsAreErrorsNamingFileAndPing) {
    const size_t first = 1024;
    auto readFails = [](const Bytes& f, const std::string& words) {
        TempDir dir;
        XtfInput in(written(dir, f, "bad.xtf"));
        Session s;
        try {
            in.readTrace(s, 1, 2);
            FAIL() << "no error; expected one with: " << words;
        } catch (const IoError& e) {
            EXPECT_NE(std::string(e.what()).find(words), std::string::npos) << e.what();
            EXPECT_NE(std::string(e.what()).find("bad.xtf: ping 1"), std::string::npos) << e.what();
        }
    };
    const Bytes good = threePings();
    const size_t second = first + 256 + 64 + 16; // channel 2's header
    Bytes b = good;
    putU32(b, second + 42, 9); // 9 samples where the packet holds 8
    readFails(b, "channel 2 announces 9 samples of 2 bytes, which run past the end of its packet");
    b = good;
    putU32(b, first + 256 + 42, 0x7fffffff);
    readFails(b, "channel 1 announces 2147483647 samples");
    b = good;
    putU16(b, first + 4, 3);
    readFails(b, "announces 3 channels; the file header lists 2");
    b = good;
    putU16(b, first + 4, 0);
    readFails(b, "announces 0 channels");
    b = good;
    putU16(b, second, 7);
    readFails(b, "channel 2 is number 7");
    b = good;
    putU32(b, second + 16, 0); // no time span ...
    putU32(b, second + 4, 0);  // ... and no slant range
    readFails(b, "gives neither a time span nor a slant range");
    b = good;
    putU32(b, second + 16, 0x00000001); // the smallest float: beyond 1 GHz
    readFails(b, "more than 1000000 samples per ms");
    Bytes shortPing = xtfFileHeader(twoSides());
    append(shortPing, xtfPacket(0, 100));
    readFails(shortPing, "shorter than a ping header");
}

TEST(XtfRead, LongChannelsAreCutToTheBuffer) {
    std::vector<SynthXtfChannel> ch = {{1, 2, false, 0}};
    SynthPing p;
    p.samples.assign(1, std::vector<double>(20000));
    for (int i = 0; i < 20000; ++i) p.samples[0][static_cast<size_t>(i)] = i % 30000;
    Bytes f = xtfFileHeader(ch);
    append(f, xtfPing(p, ch));
    TempDir dir;
    XtfInput in(written(dir, f));
    Session s;
    in.readTrace(s, 1, 1);
    // Port, reversed: the near range (the last stored samples) is kept.
    EXPECT_EQ(s.raw[0], 19999);
    EXPECT_EQ(s.raw[16383], 19999 - 16383);
    EXPECT_EQ(s.SampleRate, 500.0L);
}

TEST(XtfRead, FilesThatAreNotXtfAreRefused) {
    expectOpenFails(Bytes(500, 0x7B), "too few for an XTF file header");
    Bytes b = threePings();
    b[0] = 0x7A;
    expectOpenFails(b, "is not an XTF file: its first byte is 7A");
    expectOpenFails(xtfFileHeader(twoSides()), "holds no sonar ping");
    Bytes other = xtfFileHeader(twoSides());
    append(other, xtfPacket(3, 10));
    expectOpenFails(other, "holds no sonar ping");
    std::vector<SynthXtfChannel> many(20, {2, 2, false, 0});
    Bytes h = xtfFileHeader(many);
    EXPECT_EQ(h.size(), 3072u); // 6 in the first 1024 bytes, 8 in each further 1024
    expectOpenFails(Bytes(h.begin(), h.begin() + 2048), "lists 20 channels, which take 3072 bytes");
}

TEST(XtfOpen, FailedOpenLeavesNothingOpen) {
    TempDir dir;
    Bytes b = threePings();
    putU32(b, 1024 + 256 + 42, 0x7fffffff);
    Session s;
    s.NumTraces = 17;
    EXPECT_THROW(OPEN_XTF(s, written(dir, b)), IoError);
    EXPECT_FALSE(s.InputOpen);
    EXPECT_EQ(s.input, nullptr);
    EXPECT_EQ(s.NumTraces, 17);
}

TEST(XtfOpen, EveryPingIsSelectedAndGoEnabledAtOnce) {
    TempDir dir;
    Session s;
    s.InputFileName = written(dir, threePings(), "line.xtf");
    s.EndSweep.set(40);
    openXtfFile(s);
    EXPECT_TRUE(s.InputOpen);
    EXPECT_TRUE(s.goEnabled);
    EXPECT_EQ(s.shots.StartShot(), 1);
    EXPECT_EQ(s.shots.EndShot(), 4); // the run covers StartShot to EndShot - 1
    EXPECT_EQ(s.NumTraces, 3);
    EXPECT_EQ(s.shots.Label1, "File:  line.xtf");
    EXPECT_EQ(s.shots.Label2, "Total: 3");
    EXPECT_EQ(s.Sel_ana_spin.min(), 1);
    EXPECT_EQ(s.Edit4, "Input File:" + s.InputFileName + " open");
    EXPECT_EQ(s.NumSamples, 8);
}
