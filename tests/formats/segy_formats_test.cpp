// SEG-Y as found in the field: sample formats, byte-order detection, extended
// textual headers and the malformed variants that must not paint garbage.
#include "core/byte_order.h"
#include "core/error.h"
#include "core/session.h"
#include "formats/file_open.h"
#include "formats/segy_header.h"
#include "formats/segy_reader.h"
#include "formats/segy_samples.h"
#include "formats/segy_writer.h"
#include "support/segy_fixture.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <iterator>
#include <limits>

using namespace tarnix;
using tarnix::test::SynthSegy;
using tarnix::test::TempDir;

namespace {

// Opens with the options as they stand (byte order detected by default).
std::unique_ptr<Session> open(const SynthSegy& f, const std::string& path,
                              void (*setup)(Session&) = nullptr) {
    f.write(path);
    auto s = std::make_unique<Session>();
    openCommand(*s, path);
    if (setup) setup(*s);
    s->EndSweep.set(1000);
    segyOptionsOk(*s);
    return s;
}

std::string openError(const SynthSegy& f, const std::string& path,
                      void (*setup)(Session&) = nullptr) {
    try {
        auto s = open(f, path, setup);
        ADD_FAILURE() << path << " opened: " << s->Edit4;
    } catch (const IoError& e) {
        return e.what();
    }
    return {};
}

bool has(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

SynthSegy line(int code, bool be, int traces = 3, int ns = 40) {
    SynthSegy f;
    f.bigEndian = be;
    f.formatCode = code;
    f.binaryInterval = 500;
    f.binaryNs = ns;
    for (int t = 0; t < traces; ++t) f.addTrace(t + 1, ns, 500).set(109, 7);
    return f;
}

std::array<unsigned char, 3200> textBlock(const char* ascii) {
    std::array<unsigned char, 3200> b;
    b.fill(' ');
    for (int i = 0; ascii[i]; ++i) b[i] = static_cast<unsigned char>(ascii[i]);
    return b;
}

} // namespace

TEST(SegyFormats, EveryFormatInBothOrdersIsDetectedAndReadExactly) {
    TempDir dir;
    for (int code : {1, 2, 3, 5, 8}) {
        for (bool be : {true, false}) {
            SynthSegy f = line(code, be);
            if (segyFloatFormat(code)) // fractions both float kinds hold exactly
                for (auto& t : f.traces)
                    for (size_t i = 0; i < t.samples.size(); ++i)
                        t.reals.push_back(t.samples[i] / 64.0);
            const std::string name = "f" + std::to_string(code) + (be ? "be" : "le") + ".sgy";
            auto s = open(f, dir.file(name));
            const SegyLayout& l = segyInput(*s)->layout();
            EXPECT_EQ(l.bigEndian, be) << name;
            EXPECT_EQ(l.formatCode, code) << name;
            EXPECT_EQ(s->NumTraces, 4) << name;
            EXPECT_EQ(s->SampleRate, 2) << name;
            EXPECT_TRUE(has(s->Edit4, be ? "byte order: detect, big-endian"
                                         : "byte order: detect, little-endian"))
                << s->Edit4;
            EXPECT_EQ(has(s->Edit4, "(format " + std::to_string(code) + ")"), code != 3)
                << s->Edit4;
            for (int t : {2, 0, 1}) {
                segyInput(*s)->readTrace(*s, t);
                EXPECT_EQ(segyGet(s->segyTraceHeader, segy::FieldRecord), t + 1) << name;
                for (int i : {0, 1, 17, 39}) {
                    long double want = SynthSegy::value(t + 1, i);
                    if (segyFloatFormat(code)) want /= 64;
                    if (code == 8) want = static_cast<int8_t>(SynthSegy::value(t + 1, i) & 0xff);
                    ASSERT_EQ(s->raw[i], want) << name << " trace " << t << " sample " << i;
                }
                EXPECT_EQ(s->raw[40], 0);
            }
        }
    }
}

TEST(SegyFormats, MulAndAddOnFloatAndWideSamples) {
    TempDir dir;
    SynthSegy f = line(1, true, 1, 4);
    f.traces[0].reals = {0.5, -0.25, 1000.75, 0};
    auto s = open(f, dir.file("ibm.sgy"), [](Session& x) {
        x.shots.MUL = std::string(1, '3'); // a literal here trips a bogus -Wrestrict
        x.shots.ADD = std::string(1, '2');
    });
    EXPECT_EQ(s->raw[0], (0.5L + 2) * 3);
    EXPECT_EQ(s->raw[1], (-0.25L + 2) * 3);
    EXPECT_EQ(s->raw[2], (1000.75L + 2) * 3);

    SynthSegy w = line(2, true, 1, 2);
    w.traces[0].samples = {-32768, 32767};
    w.formatCode = 2;
    auto t =
        open(w, dir.file("i32.sgy"), [](Session& x) { x.shots.MUL = std::string("1") + "00000"; });
    EXPECT_EQ(t->raw[0], -3276800000.0L); // beyond 32 bits: integer arithmetic in 64
    EXPECT_EQ(t->raw[1], 3276700000.0L);
    // Texts near the 64-bit limit give the product, not an overflow.
    auto u = open(w, dir.file("i32.sgy"), [](Session& x) {
        x.shots.MUL = std::string("9223372036854775807");
        x.shots.ADD = std::string("-9223372036854775807");
    });
    EXPECT_EQ(u->raw[1], (32767.0L - 9223372036854775807.0L) * 9223372036854775807.0L);
    EXPECT_LT(u->raw[0], 0);
}

TEST(SegyFormats, IeeeValuesThatAreNoNumbersBecomeZero) {
    TempDir dir;
    SynthSegy f = line(5, false, 1, 4);
    f.traces[0].reals = {std::numeric_limits<double>::quiet_NaN(),
                         std::numeric_limits<double>::infinity(), 1e-40, -2.5};
    auto s = open(f, dir.file("nan.sgy"));
    EXPECT_EQ(s->raw[0], 0);
    EXPECT_EQ(s->raw[1], 0);
    EXPECT_EQ(s->raw[2], static_cast<float>(1e-40)); // a subnormal float is kept
    EXPECT_EQ(s->raw[3], -2.5);
}

TEST(SegyFormats, ByteOrderDetectionAndTheButtonsThatOverrideIt) {
    unsigned char fh[3600] = {}, th[240] = {};
    EXPECT_TRUE(segyHeadersLookBigEndian(fh, th)); // nothing to go by: the standard order
    putI16LE(fh + 3224, 5);
    EXPECT_FALSE(segyHeadersLookBigEndian(fh, th));
    putI16BE(fh + 3224, 1); // code 1 big-endian, 256 little-endian
    EXPECT_TRUE(segyHeadersLookBigEndian(fh, th));
    std::fill(fh + 3224, fh + 3226, 0);
    putI16LE(fh + 3216, 4000); // only the intervals to go by
    putI16LE(th + 116, 4000);
    EXPECT_FALSE(segyHeadersLookBigEndian(fh, th));

    TempDir dir;
    SynthSegy f = line(3, false);
    auto s = open(f, dir.file("le.sgy"),
                  [](Session& x) { x.segy.SEGYRadio = SegyOptions::LittleEndian; });
    EXPECT_EQ(s->Edit4, "Input File:" + dir.file("le.sgy") + " open"); // chosen: nothing to say
    const std::string e = openError(f, dir.file("le.sgy"),
                                    [](Session& x) { x.segy.SEGYRadio = SegyOptions::BigEndian; });
    EXPECT_TRUE(has(e, "sample format code 768 (bytes 3225-3226, read big-endian)")) << e;
}

TEST(SegyFormats, UnknownFormatCodesAreRefusedUnlessAFormatIsChosen) {
    TempDir dir;
    for (int code : {0, 4, 99}) {
        SynthSegy f = line(3, true);
        f.headerCode = code;
        const std::string e = openError(f, dir.file("bad.sgy"));
        EXPECT_TRUE(has(e, "sample format code " + std::to_string(code) + " ")) << e;
        EXPECT_TRUE(has(e, "traces of 2-byte samples would fill the file exactly")) << e;
        EXPECT_TRUE(has(e, "choose the Data Format")) << e;
        auto s = open(f, dir.file("bad.sgy"), [](Session& x) { x.segy.dataFormatCode = 3; });
        EXPECT_TRUE(has(s->Edit4, "16-bit integer (format 3) chosen instead of the header's code " +
                                      std::to_string(code)))
            << s->Edit4;
        EXPECT_EQ(s->raw[5], SynthSegy::value(1, 5));
    }
    // A known code whose width does not fit while another width fills the file exactly.
    SynthSegy f = line(3, true);
    f.headerCode = 1;
    const std::string e = openError(f, dir.file("wrong.sgy"));
    EXPECT_TRUE(has(e, "traces of 4-byte samples (IBM float (format 1)) do not fill the file "
                       "evenly, but traces of 2-byte samples fill it exactly"))
        << e;
    // The format chosen for one file is not taken for the next.
    Session s;
    s.segy.dataFormatCode = 5;
    openCommand(s, dir.file("wrong.sgy"));
    EXPECT_EQ(s.segy.dataFormatCode, 0);
}

TEST(SegyFormats, DataFormatItemsAndTheCodesTheyStandFor) {
    EXPECT_EQ(segyDataFormatItem(1), 2);
    EXPECT_EQ(segyDataFormatItem(5), 2);
    EXPECT_EQ(segyDataFormatItem(2), 1);
    EXPECT_EQ(segyDataFormatItem(3), 0);
    EXPECT_EQ(segyDataFormatItem(8), 0);
    EXPECT_EQ(segyCodeOfDataFormatItem(2, 5), 5); // the detected float kind is kept
    EXPECT_EQ(segyCodeOfDataFormatItem(2, 3), 1);
    EXPECT_EQ(segyCodeOfDataFormatItem(0, 8), 8);
    EXPECT_EQ(segyCodeOfDataFormatItem(0, 1), 3);
    EXPECT_EQ(segyCodeOfDataFormatItem(1, 0), 2);
}

TEST(SegyFormats, ExtendedTextualHeadersMoveTheFirstTrace) {
    TempDir dir;
    SynthSegy f = line(1, true, 4);
    f.text[0] = 0xC3; // "C" in EBCDIC
    f.revision = 0x0100;
    f.extendedCount = 2;
    f.extended = {textBlock("C EXTENDED ONE"), textBlock("C EXTENDED TWO")};
    auto s = open(f, dir.file("ext.sgy"));
    EXPECT_EQ(segyInput(*s)->layout().extendedHeaders, 2);
    EXPECT_TRUE(has(s->Edit4, "2 extended textual headers skipped")) << s->Edit4;
    EXPECT_EQ(s->NumTraces, 5);
    EXPECT_EQ(segyGet(s->segyTraceHeader, segy::FieldRecord), 1);
    EXPECT_EQ(s->raw[3], SynthSegy::value(1, 3));
    ASSERT_EQ(s->SEGYmemo.size(), 45u); // the first header only, as before
    EXPECT_EQ(s->SEGYmemo[0][0], 'C');
    RESET_FILES(*s); // after a run the traces are still found
    segyInput(*s)->readTrace(*s, 3);
    EXPECT_EQ(segyGet(s->segyTraceHeader, segy::FieldRecord), 4);
    EXPECT_THROW(segyInput(*s)->readTrace(*s, 4), EndOfData);

    // -1: up to the header that holds the end stanza, here in EBCDIC.
    f.extendedCount = -1;
    auto stanza = textBlock("");
    const unsigned char ebcdic[] = {0x4D, 0x4D, 0xE2, 0xC5, 0xC7, 0x7A, 0x40, 0xC5,
                                    0x95, 0x84, 0xE3, 0x85, 0xA7, 0xA3, 0x5D, 0x5D};
    std::copy(std::begin(ebcdic), std::end(ebcdic), stanza.begin() + 80);
    f.extended = {textBlock("C MORE"), textBlock("C MORE"), stanza};
    s = open(f, dir.file("var.sgy"));
    EXPECT_EQ(segyInput(*s)->layout().extendedHeaders, 3);
    segyInput(*s)->readTrace(*s, 2);
    EXPECT_EQ(segyGet(s->segyTraceHeader, segy::FieldRecord), 3);
    f.extended = {textBlock("((SEG: EndText))")};
    s = open(f, dir.file("var1.sgy"));
    EXPECT_EQ(segyInput(*s)->layout().extendedHeaders, 1);

    f.extended = {textBlock("C NO END")};
    EXPECT_TRUE(has(openError(f, dir.file("noend.sgy")), "no header holds it"));
    f.extendedCount = 40;
    EXPECT_TRUE(has(openError(f, dir.file("many.sgy")),
                    "announces 40 extended textual headers of 3200 bytes"));
    f.extendedCount = -3;
    EXPECT_TRUE(has(openError(f, dir.file("neg.sgy")), "announces -3 extended textual headers"));
    // Before revision 1 the field means nothing.
    SynthSegy r0 = line(3, true);
    r0.extendedCount = 7;
    s = open(r0, dir.file("rev0.sgy"));
    EXPECT_EQ(segyInput(*s)->layout().extendedHeaders, 0);
    EXPECT_EQ(segyGet(s->segyTraceHeader, segy::FieldRecord), 1);
}

TEST(SegyFormats, TraceLengthsThatDoNotFillTheFileAreReported) {
    TempDir dir;
    SynthSegy f = line(5, true, 3);
    f.truncateTo = 3600 + 2 * 400 + 100;
    auto s = open(f, dir.file("cut.sgy"));
    EXPECT_TRUE(has(s->Edit4, "traces of 400 bytes do not fill the file evenly: 2 whole traces "
                              "and 100 bytes over"))
        << s->Edit4;
    segyInput(*s)->readTrace(*s, 1);
    EXPECT_THROW(segyInput(*s)->readTrace(*s, 2), IoError);
    EXPECT_EQ(segyGet(s->segyTraceHeader, segy::FieldRecord), 2);
}

TEST(SegyFormats, TraceHeadersWithoutIntervalOrCountTakeTheBinaryHeaders) {
    TempDir dir;
    SynthSegy f = line(1, true, 2, 10);
    for (auto& t : f.traces) t.set(115, 0).set(117, 0);
    auto s = open(f, dir.file("bare.sgy"));
    EXPECT_EQ(s->SampleRate, 2);
    EXPECT_EQ(s->segy.S_REdit, "500");
    EXPECT_EQ(s->NumTraces, 3);
    segyInput(*s)->readTrace(*s, 1);
    EXPECT_EQ(s->raw[9], SynthSegy::value(2, 9));
}

TEST(SegyFormats, WrittenFilesSayWhatTheyHold) {
    TempDir dir;
    SynthSegy f = line(1, false, 2);
    f.revision = 0x0100;
    f.extendedCount = 1;
    f.extended = {textBlock("C EXT")};
    auto s = open(f, dir.file("in.sgy"));
    s->shots.StartShot.set(1);
    OPEN_OUT_SEGY(*s, dir.file("out.sgy"));
    s->OutputSegyOpen = true;
    for (int shot = 1; shot <= 2; ++shot) {
        s->input->readSingleTrace(*s, shot - 1);
        writeSegyTraceBE(*s, 1, shot, s->StartSweep(), s->current, s->EndSweep());
    }
    RESET_FILES(*s);
    std::ifstream in(dir.file("out.sgy"), std::ios::binary);
    const std::vector<unsigned char> b{std::istreambuf_iterator<char>(in), {}};
    ASSERT_GE(b.size(), 3600u);
    EXPECT_EQ(getI16BE(b.data() + 3224), 3); // 16-bit samples, in the written order
    EXPECT_EQ(getI16BE(b.data() + 3504), 0); // no extended headers were copied
    auto r = std::make_unique<Session>();
    openCommand(*r, dir.file("out.sgy"));
    r->EndSweep.set(1000);
    segyOptionsOk(*r);
    EXPECT_TRUE(segyInput(*r)->layout().bigEndian);
    EXPECT_EQ(r->NumTraces, 3);
    r->input->readSingleTrace(*r, 1);
    EXPECT_EQ(r->raw[3], SynthSegy::value(2, 3));
}

TEST(SegyFormats, FullScaleOfFloatAndWideSamplesComesFromTheFirstTrace) {
    TempDir dir;
    SynthSegy f = line(1, true, 2, 4);
    f.traces[0].reals = {0.25, -0.75, 0.5, 0};
    f.traces[1].reals = {40, 0, 0, 0};
    auto s = open(f, dir.file("small.sgy"));
    EXPECT_TRUE(s->FullScaleFromData);
    EXPECT_EQ(s->FullScale, 1); // at least 1
    EXPECT_EQ(s->Memo2.back(), "Full scale 1 taken from the data: the largest absolute sample "
                               "of the first trace is 0.75");
    segyInput(*s)->readTrace(*s, 1);
    EXPECT_EQ(s->FullScale, 1); // the first trace's, not every trace's

    f.traces[0].reals = {-1234.5, 7, 0, 0};
    s = open(f, dir.file("big.sgy"));
    EXPECT_EQ(s->FullScale, 1235);
    SynthSegy w = line(2, false, 1, 3);
    w.traces[0].samples = {-30000, 200, 5};
    s = open(w, dir.file("i32.sgy"));
    EXPECT_EQ(s->FullScale, 30000);
    EXPECT_TRUE(s->FullScaleFromData);

    // Integer formats of fixed width keep their scale, whatever was open before.
    s->EndSweep.set(1000);
    openCommand(*s, dir.file("i16.sgy"));
    EXPECT_FALSE(s->FullScaleFromData);
    line(3, true).write(dir.file("i16.sgy"));
    segyOptionsOk(*s);
    EXPECT_EQ(s->FullScale, 32768);
    EXPECT_FALSE(s->FullScaleFromData);
    s = open(line(8, true), dir.file("i8.sgy"));
    EXPECT_EQ(s->FullScale, 128);
}

TEST(SegyFormats, SixteenBitSamplesInBothOrdersAtEveryLengthAroundTheVectorSteps) {
    // Lengths 1..70 cover every remainder of the vector steps; the extremes
    // and a sign change sit at both ends.
    SegySampleDecoder d;
    std::vector<Sample> out(80);
    for (const bool be : {true, false})
        for (int n = 1; n <= 70; ++n) {
            std::vector<unsigned char> bytes(2 * n + 2, 0xEE);
            std::vector<int16_t> v(n);
            for (int i = 0; i < n; ++i) {
                v[i] = static_cast<int16_t>(i == 0       ? -32768
                                            : i == n - 1 ? 32767
                                                         : (i * 4099) - 30000);
                const auto u = static_cast<uint16_t>(v[i]);
                bytes[2 * i + (be ? 0 : 1)] = static_cast<unsigned char>(u >> 8);
                bytes[2 * i + (be ? 1 : 0)] = static_cast<unsigned char>(u & 0xFF);
            }
            std::fill(out.begin(), out.end(), Sample(7));
            d.decode(bytes.data(), n, segyfmt::Int16, be, 1, 0, out.data());
            for (int i = 0; i < n; ++i) ASSERT_EQ(out[i], v[i]) << be << " " << n << " " << i;
            ASSERT_EQ(out[n], 7) << n;
            const int32_t* w = d.decodeShort(bytes.data(), n, segyfmt::Int16, be);
            for (int i = 0; i < n; ++i) ASSERT_EQ(w[i], v[i]) << be << " " << n << " " << i;
        }
}
