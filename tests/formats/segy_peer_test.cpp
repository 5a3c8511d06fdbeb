// The real 16-bit SEG-Y files written by other programs.
#include "core/byte_order.h"
#include "core/error.h"
#include "core/session.h"
#include "formats/file_open.h"
#include "formats/segy_header.h"
#include "formats/segy_reader.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

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
