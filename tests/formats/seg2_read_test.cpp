// SEG-2 gathers: the recorders' own files against the reference tables kept
// with them, generated files for the codes and byte orders no peer file has,
// and the files that must be refused.
#include "core/byte_order.h"
#include "core/error.h"
#include "core/session.h"
#include "formats/seg2_reader.h"
#include "support/sonar_fixture.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <sstream>

using namespace tarnix;
using namespace tarnix::test;

namespace {

// The gzip'd reference table, one row per sample.
std::vector<std::vector<double>> referenceTable(const std::string& path) {
    std::vector<std::vector<double>> rows;
    FILE* p = ::popen(("gzip -dc '" + path + "'").c_str(), "r");
    if (!p) return rows;
    std::string text;
    char buf[4096];
    for (size_t n; (n = std::fread(buf, 1, sizeof buf, p)) > 0;) text.append(buf, n);
    ::pclose(p);
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        std::istringstream l(line);
        std::vector<double> row;
        for (double v; l >> v;) row.push_back(v);
        if (!row.empty()) rows.push_back(row);
    }
    return rows;
}

void expectOpenFails(const Bytes& file, const std::string& words) {
    TempDir dir;
    writeBytes(dir.file("bad.sg2"), file);
    ShotGather g;
    try {
        Seg2File f(g, dir.file("bad.sg2"));
        for (int k = 1; k <= f.traceCount(); ++k) f.readTrace(k);
        FAIL() << "no error; expected one with: " << words;
    } catch (const IoError& e) {
        const std::string m = e.what();
        EXPECT_NE(m.find(words), std::string::npos) << m;
        EXPECT_NE(m.find("bad.sg2"), std::string::npos) << m;
    }
}

} // namespace

TEST(Seg2Peer, Code2FileMatchesItsReferenceOnAllThreeTraces) {
    const std::string path = testdataPath("peer/obspy-20130107_103041000.CET.3c.cont.0.seg2");
    const std::string table = testdataPath("peer/obspy-20130107_103041000.CET.3c.cont.0.DAT.gz");
    if (path.empty() || table.empty()) GTEST_SKIP() << "peer test data not present";
    const auto ref = referenceTable(table);
    ASSERT_EQ(ref.size(), 2000u);
    ShotGather g;
    Seg2File f(g, path);
    ASSERT_EQ(f.traceCount(), 3);
    EXPECT_FALSE(g.bigEndian);
    // The table is raw x DESCALING_FACTOR x 1000 (micrometres per second), in
    // single precision: the raw integers are what it gives back.
    const double factor[3] = {2.17378e-05, 2.19941e-05, 2.14815e-05};
    for (int k = 1; k <= 3; ++k) {
        f.readTrace(k);
        EXPECT_EQ(g.channel[k], k);
        ASSERT_EQ(g.rowCount[k], 2000);
        for (int i = 0; i < 2000; ++i)
            ASSERT_EQ(g.column(k)[i], std::round(ref[i][k - 1] / (factor[k - 1] * 1000)))
                << "trace " << k << " sample " << i;
    }
    EXPECT_DOUBLE_EQ(g.sampleInterval, 0.001);
    EXPECT_DOUBLE_EQ(g.traceLength, 2.0);
    // ACQUISITION_DATE 07/JAN/2013, ACQUISITION_TIME 10:30:41
    EXPECT_EQ(g.year, 2013);
    EXPECT_EQ(g.dayOfYear, 7);
    EXPECT_EQ(g.hour, 10);
    EXPECT_EQ(g.minute, 30);
    EXPECT_EQ(g.second, 41);
}

TEST(Seg2Peer, Code3FileMatchesItsReferenceAsOnesComplement) {
    const std::string path = testdataPath("peer/obspy-20180307_031245000.0.seg2");
    const std::string table = testdataPath("peer/obspy-20180307_031245000.0.DAT.gz");
    if (path.empty() || table.empty()) GTEST_SKIP() << "peer test data not present";
    const auto ref = referenceTable(table);
    ASSERT_EQ(ref.size(), 2048u);
    ShotGather g;
    Seg2File f(g, path);
    ASSERT_EQ(f.traceCount(), 1);
    f.readTrace(1);
    int negatives = 0;
    for (int i = 0; i < 2048; ++i) {
        ASSERT_NEAR(g.column(1)[i] * 0.001199, ref[i][0], 1e-9 + 1e-12 * std::fabs(ref[i][0]))
            << "sample " << i;
        negatives += g.column(1)[i] < 0;
    }
    EXPECT_GT(negatives, 1000); // the mantissa sign is exercised, not just the exponents
    EXPECT_DOUBLE_EQ(g.delay, -0.010);
    EXPECT_DOUBLE_EQ(g.sampleInterval, 0.000125);
    EXPECT_EQ(g.dayOfYear, 31 + 28 + 7); // 7/MAR/2018
    EXPECT_EQ(g.hour, 3);                // " 3:12:45"
}

TEST(Seg2Peer, RecordersFilesOfCode2And4ReadWhole) {
    const std::string strata = testdataPath("peer/refrapy-1000.DAT");
    const std::string modules = testdataPath("peer/refrapy-field_example_02-1.dat");
    if (strata.empty() || modules.empty()) GTEST_SKIP() << "peer test data not present";
    Session s;
    OPEN_SEG2(s, strata);
    EXPECT_EQ(s.NumTraces, 24);
    EXPECT_EQ(s.SampleRate, 16.0L); // 62.5 microseconds
    for (int k = 1; k <= 24; ++k) {
        EXPECT_EQ(s.gather.channel[k], k);
        EXPECT_EQ(s.gather.rowCount[k], 2048);
    }
    // Trace 1's peak; the end of the palette is at the median of the 24 peaks.
    double peak = 0;
    for (int i = 0; i < 2048; ++i) peak = std::max(peak, std::fabs(s.gather.column(1)[i]));
    EXPECT_EQ(peak, 2153429);
    EXPECT_EQ(s.FullScale, 2 * 29852);
    s.input->readRunTrace(s, 24);
    EXPECT_EQ(s.input->posString(), "24 1996 249 12 13 31 "); // 5/SEP/1996, a leap year

    // Code 4 (32-bit floats); the second trace's descriptor is 4 bytes longer.
    OPEN_SEG2(s, modules);
    EXPECT_EQ(s.NumTraces, 24);
    EXPECT_EQ(s.SampleRate, 4.0L);
    auto peakOf = [&](int k) {
        double p = 0;
        for (int i = 0; i < s.gather.rowCount[k]; ++i)
            p = std::max(p, std::fabs(s.gather.column(k)[i]));
        return p;
    };
    EXPECT_EQ(s.gather.rowCount[24], 4000);
    EXPECT_EQ(peakOf(1), 2621183.0);
    EXPECT_EQ(peakOf(2), 2585240.75);
    EXPECT_EQ(peakOf(24), 14477.544921875);
}

TEST(Seg2Read, CodesAndByteOrdersDecodeTheSameValues) {
    SynthSeg2Trace t1{1, {0, 1, -1, 32767, -32768, 1200}, {"CHANNEL_NUMBER 12"}, {}, 0};
    SynthSeg2Trace t2{2, {-2147483648.0, 2147483647, -5, 70000}, {"SAMPLE_INTERVAL 0.0005"}, {}, 0};
    SynthSeg2Trace t3{3, {200, -400, 56, 1, -32767 * 32768.0, 3}, {"DELAY 0.025"}, {}, 0};
    SynthSeg2Trace t4{4, {0.5, -1.25e-3, 3e6}, {}, {}, 0};
    SynthSeg2Trace t5{5, {1e-300, -0.1, 12345678.9}, {}, {}, 0};
    for (bool be : {false, true}) {
        SCOPED_TRACE(be ? "big-endian" : "little-endian");
        TempDir dir;
        const Bytes file = seg2File({t1, t2, t3, t4, t5}, be);
        EXPECT_EQ(file[0], be ? 0x3A : 0x55);
        writeBytes(dir.file("g.sg2"), file);
        ShotGather g;
        Seg2File f(g, dir.file("g.sg2"));
        ASSERT_EQ(f.traceCount(), 5);
        EXPECT_EQ(g.bigEndian, be);
        const SynthSeg2Trace* all[] = {&t1, &t2, &t3, &t4, &t5};
        for (int k = 1; k <= 5; ++k) {
            f.readTrace(k);
            const auto& want = all[k - 1]->samples;
            ASSERT_EQ(g.rowCount[k], static_cast<int>(want.size()));
            for (size_t i = 0; i < want.size(); ++i)
                EXPECT_EQ(g.column(k)[i], k == 4 ? double(float(want[i])) : want[i])
                    << "trace " << k << " sample " << i;
        }
        EXPECT_EQ(g.channel[1], 12);
        EXPECT_EQ(g.channel[2], 2); // no CHANNEL_NUMBER: the trace's own number
        EXPECT_DOUBLE_EQ(g.sampleInterval, 0.0005);
        EXPECT_DOUBLE_EQ(g.delay, 0.025);
        EXPECT_DOUBLE_EQ(g.traceLength, 3 * 0.0005); // of the trace read last
    }
}

TEST(Seg2Read, Code3GroupOfTheWorkedExample) {
    // Exponent bytes 21 03, stored mantissas 0064 FF9B 0007 0001.
    const Bytes group = {0x21, 0x03, 0x64, 0x00, 0x9B, 0xFF, 0x07, 0x00, 0x01, 0x00};
    TempDir dir;
    writeBytes(dir.file("g.sg2"), seg2File({{3, {}, {}, group, 4}}));
    ShotGather g;
    Seg2File f(g, dir.file("g.sg2"));
    f.readTrace(1);
    EXPECT_EQ(g.column(1)[0], 200);
    EXPECT_EQ(g.column(1)[1], -400);
    EXPECT_EQ(g.column(1)[2], 56);
    EXPECT_EQ(g.column(1)[3], 1);
}

TEST(Seg2Read, KeywordsAreTheStringsFirstWordAndTheIntervalCarriesOver) {
    TempDir dir;
    ShotGather g; // a fresh session's store
    EXPECT_DOUBLE_EQ(g.sampleInterval, 0.000125);
    writeBytes(dir.file("a.sg2"),
               seg2File({{1, {1, 2}, {"NOTE TRIGGER DELAY 9", "CHANNEL_NUMBER 7"}, {}, 0}}));
    {
        Seg2File f(g, dir.file("a.sg2"));
        f.readTrace(1);
    }
    EXPECT_EQ(g.channel[1], 7);
    EXPECT_DOUBLE_EQ(g.delay, 0);                 // "DELAY" inside a NOTE is not the delay
    EXPECT_DOUBLE_EQ(g.sampleInterval, 0.000125); // none given: the fresh value
    writeBytes(dir.file("b.sg2"), seg2File({{1, {1}, {"SAMPLE_INTERVAL 0.002"}, {}, 0}}));
    writeBytes(dir.file("c.sg2"), seg2File({{1, {1}, {}, {}, 0}}));
    {
        Seg2File f(g, dir.file("b.sg2"));
        f.readTrace(1);
    }
    Seg2File f(g, dir.file("c.sg2"));
    f.readTrace(1);
    EXPECT_DOUBLE_EQ(g.sampleInterval, 0.002); // kept from the file read before
}

TEST(Seg2Read, StoreLimitsCutWithANote) {
    std::vector<SynthSeg2Trace> many(75, SynthSeg2Trace{1, {5}, {}, {}, 0});
    many[71].samples = {72};
    std::vector<double> longTrace(16390);
    for (size_t i = 0; i < longTrace.size(); ++i) longTrace[i] = static_cast<double>(i % 1000);
    many[0].samples = longTrace;
    TempDir dir;
    writeBytes(dir.file("m.sg2"), seg2File(many));
    ShotGather g;
    Seg2File f(g, dir.file("m.sg2"));
    EXPECT_EQ(f.traceCount(), 72);
    EXPECT_NE(f.note().find("traces 73 to 75 are left out"), std::string::npos) << f.note();
    for (int k = 1; k <= 72; ++k) f.readTrace(k);
    EXPECT_EQ(g.rowCount[1], 16384);
    EXPECT_EQ(g.column(1)[16383], 16383 % 1000);
    EXPECT_EQ(g.column(2)[0], 5); // column 1's cut did not spill into column 2
    EXPECT_EQ(g.column(72)[0], 72);
    EXPECT_NE(f.note().find("trace 1 holds 16390 samples"), std::string::npos) << f.note();
}

TEST(Seg2Read, MalformedFilesAreRefusedNamingFileAndTrace) {
    const Bytes good = seg2File({{1, {1, 2, 3, 4}, {"CHANNEL_NUMBER 1"}, {}, 0},
                                 {1, {5, 6, 7, 8}, {"CHANNEL_NUMBER 2"}, {}, 0}});
    const uint32_t p2 = seg2Pointer(good, 2);
    {
        Bytes b = good;
        b[0] = 0x55;
        b[1] = 0x55;
        expectOpenFails(b, "block identifier is 5555");
    }
    expectOpenFails(Bytes(good.begin(), good.begin() + 20), "too few");
    {
        Bytes b = good;
        putU16(b, 6, 0);
        expectOpenFails(b, "no traces");
    }
    {
        Bytes b = good;
        putU16(b, 6, 60000);
        expectOpenFails(b, "trace pointers run past the end");
    }
    {
        Bytes b = good;
        putU32(b, 36, static_cast<uint32_t>(b.size()) - 10);
        expectOpenFails(b, "trace 2: its descriptor at byte");
    }
    {
        Bytes b = good;
        b[p2] = 0x11;
        expectOpenFails(b, "trace 2: the block at byte " + std::to_string(p2));
    }
    {
        Bytes b = good;
        putU16(b, p2 + 2, 28);
        expectOpenFails(b, "trace 2: its descriptor block is 28 bytes long, shorter than 32");
    }
    {
        Bytes b = good;
        putU16(b, p2 + 32, 2);
        expectOpenFails(b, "trace 2: the descriptor string at byte " + std::to_string(p2 + 32) +
                               " has a length of 2 (below 3)");
    }
    {
        Bytes b = good;
        putU16(b, p2 + 32, 400);
        expectOpenFails(b, "runs past the end of the descriptor");
    }
    {
        Bytes b = good;
        putU32(b, p2 + 4, 1000);
        expectOpenFails(b, "trace 2: its descriptor");
    }
    {
        Bytes b = good;
        putU32(b, p2 + 8, 5);
        expectOpenFails(b,
                        "trace 2 announces 5 samples of code 1 (10 bytes); its data block holds 8");
    }
    {
        Bytes b = good;
        b[p2 + 12] = 6;
        expectOpenFails(b, "trace 2 has data format code 6");
    }
    expectOpenFails(seg2File({{1, {1}, {"DELAY soon"}, {}, 0}}),
                    "trace 1: DELAY 'soon' is not a valid floating point value");
    expectOpenFails(seg2File({{1, {1}, {"SAMPLE_INTERVAL 0"}, {}, 0}}),
                    "trace 1: SAMPLE_INTERVAL '0' is not a positive number");
    expectOpenFails(seg2File({{1, {1}, {"SAMPLE_INTERVAL 1e-12"}, {}, 0}}),
                    "trace 1: SAMPLE_INTERVAL '1e-12' is below a nanosecond");
}

TEST(Seg2Read, AFailedReadClosesTheFileAndLeavesTheColumn) {
    TempDir dir;
    Bytes b = seg2File({{1, {9, 9}, {}, {}, 0}, {1, {1, 2}, {}, {}, 0}});
    ShotGather g;
    writeBytes(dir.file("ok.sg2"), b);
    {
        Seg2File f(g, dir.file("ok.sg2"));
        f.readTrace(1);
        f.readTrace(2);
    }
    b[seg2Pointer(b, 2) + 12] = 9;
    writeBytes(dir.file("bad.sg2"), b);
    Seg2File f(g, dir.file("bad.sg2"));
    EXPECT_THROW(f.readTrace(2), IoError);
    EXPECT_FALSE(f.isOpen());
    EXPECT_EQ(g.column(2)[0], 1);
    EXPECT_EQ(g.column(2)[1], 2);
    EXPECT_THROW(f.readTrace(1), IoError); // closed: nothing is read from a stale handle
}

TEST(Seg2Input, GatherAsALineOfShots) {
    TempDir dir;
    writeBytes(dir.file("g.sg2"),
               seg2File({{1, {100, -200, 300}, {"SAMPLE_INTERVAL 0.00025", "DELAY -0.004"}, {}, 0},
                         {1, {7, 8}, {}, {}, 0}}));
    Session s;
    s.navText[2] = "old";
    s.EndSweep.set(1);
    OPEN_SEG2(s, dir.file("g.sg2"));
    EXPECT_TRUE(s.InputOpen);
    EXPECT_EQ(s.NumTraces, 2);
    EXPECT_EQ(s.SampleRate, 4.0L);
    EXPECT_EQ(s.FullScale, 600);
    EXPECT_EQ(s.NumSamples, 4);
    EXPECT_EQ(s.current[1], -200); // trace 1 was read at open
    EXPECT_EQ(s.Edit2, "DELAY =-4.0");
    s.input->readRunTrace(s, 2);
    EXPECT_EQ(s.current[0], 7);
    EXPECT_EQ(s.current[1], 8);
    EXPECT_EQ(s.current[2], 0); // nothing of trace 1 is left above trace 2's samples
    EXPECT_EQ(s.header.ShotNumber, 2);
    EXPECT_TRUE(s.navText[2].empty());
    EXPECT_TRUE(std::isnan(s.shotPosition[2][0]));
    EXPECT_THROW(s.input->readRunTrace(s, 3), EndOfData);
    EXPECT_THROW(s.input->readRunTrace(s, 0), EndOfData);
    EXPECT_TRUE(isSeg2File(dir.file("g.sg2")));
    writeBytes(dir.file("x.dat"), Bytes{0x3A, 0x56, 0, 0});
    EXPECT_FALSE(isSeg2File(dir.file("x.dat")));
}
