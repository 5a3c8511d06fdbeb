// The real 16-bit SEG-Y files written by other programs.
#include "core/byte_order.h"
#include "core/error.h"
#include "core/session.h"
#include "formats/file_open.h"
#include "formats/segy_header.h"
#include "formats/segy_reader.h"
#include "support/segy_fixture.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <tuple>

using namespace tarnix;
using tarnix::test::testdataPath;

namespace {

std::vector<unsigned char> fileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

std::unique_ptr<Session> openPeer(const std::string& path, bool bigEndian) {
    auto s = std::make_unique<Session>();
    s->segy.SEGYRadio = bigEndian ? SegyOptions::BigEndian : SegyOptions::LittleEndian;
    openCommand(*s, path);
    s->EndSweep.set(1000);
    segyOptionsOk(*s);
    return s;
}

} // namespace

TEST(SegyPeer, F3FilesInBothByteOrdersMatchTheFloatCopy) {
    const std::string be = testdataPath("peer/segyio-f3.sgy");
    const std::string floats = testdataPath("peer/segyio-Format5msb.sgy");
    if (be.empty() || floats.empty()) GTEST_SKIP() << "peer test data not present";
    // Every trace header of these files announces 462 samples; 75 fit.
    const auto ref = fileBytes(floats);
    auto a = openPeer(be, true);
    EXPECT_NE(a->Edit4.find("reading the 75 of the binary header"), std::string::npos) << a->Edit4;
    EXPECT_EQ(a->NumTraces, 415);
    EXPECT_EQ(a->SampleRate, 0.25L);
    EXPECT_EQ(a->SEGYmemo.size(), 45u);
    EXPECT_EQ(a->SEGYmemo[0].substr(0, 3), "C 1");
    for (const char* name : {"peer/segyio-f3-lsb.sgy", "peer/segyio-Format3lsb.sgy"}) {
        const std::string le = testdataPath(name);
        if (le.empty()) continue;
        auto b = openPeer(le, false);
        EXPECT_EQ(b->NumTraces, 415);
        for (int t = 0; t < 414; ++t) {
            segyInput(*a)->readTrace(*a, t);
            segyInput(*b)->readTrace(*b, t);
            for (int i = 0; i < 75; ++i) {
                unsigned char f[4];
                std::memcpy(f, ref.data() + 3600 + t * 540 + 240 + 4 * i, 4);
                uint32_t u = static_cast<uint32_t>(getI32BE(f));
                float v;
                std::memcpy(&v, &u, 4);
                ASSERT_EQ(a->raw[i], v) << name << " trace " << t << " sample " << i;
                ASSERT_EQ(b->raw[i], v) << name << " trace " << t << " sample " << i;
            }
            ASSERT_EQ(a->raw[75], 0);
            // Same header fields either way, but the sequence numbers, which only
            // the big-endian read replaces by the field record number.
            for (const auto& fd : segyTraceFields()) {
                if (fd.byte == segy::SeqLine || fd.byte == segy::SeqReel) continue;
                ASSERT_EQ(segyGet(a->segyTraceHeader, fd.byte),
                          segyGet(b->segyTraceHeader, fd.byte))
                    << name << " trace " << t << " byte " << fd.byte;
            }
            ASSERT_EQ(a->header.CoordXText, b->header.CoordXText);
            ASSERT_EQ(a->header.CoordYText, b->header.CoordYText);
        }
        EXPECT_THROW(segyInput(*b)->readTrace(*b, 414), EndOfData);
    }
    segyInput(*a)->readTrace(*a, 0);
    EXPECT_EQ(segyGet(a->segyTraceHeader, segy::FieldRecord), 111);
    EXPECT_EQ(segyGet(a->segyTraceHeader, segy::SeqLine), 111);
    EXPECT_EQ(a->header.CoordXText, "620197.20000000");
    EXPECT_EQ(a->header.CoordYText, "6074232.90000000");
    EXPECT_EQ(a->header.Delay, 4);
    EXPECT_THROW(segyInput(*a)->readTrace(*a, 414), EndOfData);
}

TEST(SegyPeer, SingleTraceFileNeedsASegyName) {
    const std::string src = testdataPath("peer/obspy-example.y_first_trace");
    const std::string npy = testdataPath("peer/obspy-example.y_first_trace.npy");
    if (src.empty() || npy.empty()) GTEST_SKIP() << "peer test data not present";
    EXPECT_EQ(formatOf(src), InputFormat::None);
    tarnix::test::TempDir dir;
    const std::string copy = dir.file("example.sgy");
    std::filesystem::copy_file(src, copy);
    auto s = openPeer(copy, true);
    EXPECT_EQ(s->NumTraces, 2);
    EXPECT_EQ(s->Edit4, "Input File:" + copy + " open");
    EXPECT_EQ(s->SampleRate, 0.5L);
    const auto ref = fileBytes(npy);
    const size_t data = ref.size() - 500 * 4;
    for (int i = 0; i < 500; ++i) {
        float v;
        std::memcpy(&v, ref.data() + data + 4 * i, 4); // little-endian float32
        ASSERT_EQ(s->raw[i], v) << i;
    }
    EXPECT_THROW(segyInput(*s)->readTrace(*s, 1), EndOfData);
}

namespace {

// The samples of a fixed-length file as the test reads them itself: layout
// from the binary header (sample count, format code), then every sample
// decoded from its bytes without the product's conversions.
struct Independent {
    int ns = 0, traces = 0, code = 0;
    std::vector<std::vector<long double>> values;
};

Independent decodeIndependently(const std::string& path, bool be) {
    const auto b = fileBytes(path);
    auto u16 = [&](size_t at) { return be ? (b[at] << 8) | b[at + 1] : (b[at + 1] << 8) | b[at]; };
    Independent r;
    r.ns = u16(3220);
    r.code = u16(3224);
    const int bytes = r.code == 8 ? 1 : 4;
    const size_t len = 240 + static_cast<size_t>(bytes) * r.ns;
    r.traces = static_cast<int>((b.size() - 3600) / len);
    for (int t = 0; t < r.traces; ++t) {
        std::vector<long double> v(r.ns);
        for (int i = 0; i < r.ns; ++i) {
            const size_t at = 3600 + t * len + 240 + static_cast<size_t>(bytes) * i;
            if (r.code == 8) {
                v[i] = b[at] >= 128 ? int(b[at]) - 256 : int(b[at]);
                continue;
            }
            uint32_t w = 0;
            for (int k = 0; k < 4; ++k) w |= uint32_t(b[at + k]) << (be ? 24 - 8 * k : 8 * k);
            v[i] = tarnix::test::slowIbm(w);
        }
        r.values.push_back(std::move(v));
    }
    return r;
}

std::unique_ptr<Session> openDetected(const std::string& path) {
    auto s = std::make_unique<Session>();
    openCommand(*s, path);
    s->EndSweep.set(10000);
    segyOptionsOk(*s);
    return s;
}

} // namespace

TEST(SegyPeer, F3InIbmIeeeAndInt32EqualsTheIntegers) {
    const std::string f3 = testdataPath("peer/segyio-f3.sgy");
    if (f3.empty()) GTEST_SKIP() << "peer test data not present";
    const auto ints = fileBytes(f3);
    for (auto [name, code, be] : {std::tuple{"peer/segyio-Format1msb.sgy", 1, true},
                                  std::tuple{"peer/segyio-Format1lsb.sgy", 1, false},
                                  std::tuple{"peer/segyio-Format2msb.sgy", 2, true},
                                  std::tuple{"peer/segyio-Format5msb.sgy", 5, true}}) {
        const std::string p = testdataPath(name);
        if (p.empty()) continue;
        auto s = openDetected(p); // byte order and format from the file itself
        const SegyLayout& l = segyInput(*s)->layout();
        EXPECT_EQ(l.bigEndian, be) << name;
        EXPECT_EQ(l.formatCode, code) << name;
        EXPECT_NE(s->Edit4.find(std::string("byte order: detect, ") +
                                (be ? "big-endian" : "little-endian")),
                  std::string::npos)
            << s->Edit4;
        EXPECT_EQ(s->NumTraces, 415) << name;
        EXPECT_EQ(s->SampleRate, 0.25L);
        for (int t = 0; t < 414; ++t) {
            if (t > 0) segyInput(*s)->readTrace(*s, t);
            for (int i = 0; i < 75; ++i)
                ASSERT_EQ(s->raw[i], getI16BE(ints.data() + 3600 + 390 * t + 240 + 2 * i))
                    << name << " trace " << t << " sample " << i;
            ASSERT_EQ(s->raw[75], 0);
            ASSERT_EQ(segyGet(s->segyTraceHeader, segy::FieldRecord),
                      getI32BE(ints.data() + 3600 + 390 * t + 8));
        }
        EXPECT_THROW(segyInput(*s)->readTrace(*s, 414), EndOfData);
    }
}

TEST(SegyPeer, IbmAndByteFilesReadAsAnIndependentDecoderReadsThem) {
    for (auto [name, be, traces] : {std::tuple{"peer/segyio-Format8msb.sgy", true, 414},
                                    std::tuple{"peer/segyio-small.sgy", true, 25},
                                    std::tuple{"peer/segyio-small-lsb.sgy", false, 25},
                                    std::tuple{"peer/segyio-viking_small.segy", true, 480}}) {
        const std::string p = testdataPath(name);
        if (p.empty()) continue;
        const Independent want = decodeIndependently(p, be);
        ASSERT_EQ(want.traces, traces) << name;
        auto s = openDetected(p);
        EXPECT_EQ(s->NumTraces, traces + 1) << name;
        EXPECT_EQ(segyInput(*s)->layout().bigEndian, be) << name;
        EXPECT_EQ(s->SampleRate, 0.25L) << name; // small.sgy: from the binary header
        for (int t = 0; t < traces; ++t) {
            segyInput(*s)->readTrace(*s, t);
            long double got = 0, sum = 0, scale = 0;
            for (int i = 0; i < want.ns; ++i) {
                ASSERT_EQ(s->raw[i], want.values[t][i])
                    << name << " trace " << t << " sample " << i;
                got += s->raw[i];
                sum += want.values[t][i];
                scale += std::fabs(want.values[t][i]);
            }
            ASSERT_LE(std::fabs(got - sum), 1e-6L * scale) << name << " trace " << t;
            ASSERT_EQ(s->raw[want.ns], 0);
        }
        if (std::string(name).find("segyio-small") != std::string::npos) {
            segyInput(*s)->readTrace(*s, 0);
            EXPECT_NEAR(static_cast<double>(s->raw[0]), 1.2, 1e-6);
            segyInput(*s)->readTrace(*s, 24);
            EXPECT_NEAR(static_cast<double>(s->raw[0]), 5.24, 1e-6);
        }
    }
    // The real line: trace headers say 1500 samples, the 600 of the binary header fill the file.
    const std::string viking = testdataPath("peer/segyio-viking_small.segy");
    if (viking.empty()) return;
    auto s = openDetected(viking);
    EXPECT_NE(s->Edit4.find("IBM float (format 1)"), std::string::npos) << s->Edit4;
    EXPECT_NE(s->Edit4.find("reading the 600 of the binary header"), std::string::npos);
    EXPECT_EQ(s->SEGYmemo.size(), 45u);
}

TEST(SegyPeer, FloatFilesOpenWithoutACrash) {
    for (const char* name :
         {"peer/segyio-small.sgy", "peer/segyio-small-lsb.sgy", "peer/segyio-Format5msb.sgy"}) {
        const std::string p = testdataPath(name);
        if (p.empty()) continue;
        Session s;
        s.segy.SEGYRadio = std::string(name).find("lsb") != std::string::npos ? 0 : 1;
        openCommand(s, p);
        try {
            segyOptionsOk(s);
            EXPECT_GT(s.NumTraces, 0);
        } catch (const IoError& e) {
            EXPECT_NE(std::string(e.what()).find(p), std::string::npos) << e.what();
            EXPECT_FALSE(s.InputOpen);
        }
    }
}
