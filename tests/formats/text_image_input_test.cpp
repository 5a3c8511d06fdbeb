// Headerless sample files, ASCII tables, scanned BMP profiles and the text outputs.
#include "core/error.h"
#include "core/session.h"
#include "formats/ascii_reader.h"
#include "formats/bitmap_input.h"
#include "formats/bmp_image.h"
#include "formats/file_open.h"
#include "formats/korva_reader.h"
#include "formats/korva_record.h"
#include "formats/raw_binary_reader.h"
#include "formats/segy_reader.h"
#include "formats/trace_text.h"
#include "support/korva_fixture.h"
#include "support/sonar_fixture.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <iterator>

using namespace tarnix;
using namespace tarnix::test;

namespace {

std::vector<unsigned char> fileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

std::unique_ptr<Session> openBinary(const std::string& path, int samples, int bits, int channels,
                                    int channel = 1) {
    auto s = std::make_unique<Session>();
    s->binary.samples_per_sweep.set(samples);
    s->binary.bits_per_sample.set(bits);
    s->binary.channelsIndex = channels - 1;
    s->shots.chan_to_display.set(channel);
    s->EndSweep.set(1000);
    EXPECT_EQ(openCommand(*s, path), InputFormat::Binary);
    OPEN_BIN(*s);
    return s;
}

} // namespace

TEST(RawBinary, F3WithoutHeadersReadsAsTheSegyReaderAndTwoChannelsInterleave) {
    const std::string sgy = testdataPath("peer/segyio-f3-lsb.sgy");
    if (sgy.empty()) GTEST_SKIP() << "peer test data not present";
    TempDir dir;
    const auto bytes = fileBytes(sgy);
    Bytes samples;
    for (size_t at = 3600; at + 390 <= bytes.size(); at += 390)
        samples.insert(samples.end(), bytes.begin() + at + 240, bytes.begin() + at + 390);
    ASSERT_EQ(samples.size(), 62100u);
    writeBytes(dir.file("f3.BIN"), samples);

    Session ref;
    ref.segy.SEGYRadio = SegyOptions::LittleEndian;
    openCommand(ref, sgy);
    ref.EndSweep.set(1000);
    segyOptionsOk(ref);

    auto one = openBinary(dir.file("f3.BIN"), 75, 16, 1);
    EXPECT_TRUE(one->InputOpen);
    EXPECT_EQ(one->NumTraces, 414);
    EXPECT_EQ(one->SampleRate, 1); // 1000 Hz
    EXPECT_EQ(one->shots.StartShot(), 0);
    EXPECT_EQ(one->shots.EndShot(), 414);
    auto two = openBinary(dir.file("f3.BIN"), 75, 16, 2, 2);
    EXPECT_EQ(two->NumTraces, 207);
    BinaryInput* b1 = dynamic_cast<BinaryInput*>(one->input.get());
    BinaryInput* b2 = dynamic_cast<BinaryInput*>(two->input.get());
    for (int t = 0; t < 414; ++t) {
        segyInput(ref)->readTrace(ref, t);
        b1->readTrace(*one, t, 1);
        if (t % 2) b2->readTrace(*two, t / 2, 2);
        for (int i = 0; i < 76; ++i) {
            ASSERT_EQ(one->raw[i], ref.raw[i]) << "trace " << t << " sample " << i;
            if (t % 2) {
                ASSERT_EQ(two->raw[i], ref.raw[i]) << "odd trace " << t;
            }
        }
    }
    EXPECT_THROW(b1->readTrace(*one, 414, 1), EndOfData);
    EXPECT_THROW(b2->readTrace(*two, 207, 1), EndOfData);
    EXPECT_THROW(b2->readTrace(*two, 0, 3), IoError); // a channel the file does not have
}

TEST(RawBinary, WidthsOffsetsAndRefusals) {
    TempDir dir;
    // 3 samples per trace, 2 channels, 2 shots of each width.
    auto write = [&](const std::string& name, int bytes, const std::vector<uint32_t>& v) {
        Bytes b;
        for (uint32_t x : v)
            for (int k = 0; k < bytes; ++k) b.push_back(static_cast<unsigned char>(x >> (8 * k)));
        writeBytes(dir.file(name), b);
    };
    write("w8.bin", 1, {0, 128, 255, 1, 2, 3, 4, 5, 6, 7, 8, 9});
    write("w24.bin", 3, {0xffffff, 0x800000, 0x7fffff, 1, 2, 3, 4, 5, 6, 7, 8, 9});
    write("w32.bin", 4, {0xffffffffu, 0x80000000u, 0x7fffffff, 1, 2, 3, 4, 5, 6, 7, 8, 9});
    auto s8 = openBinary(dir.file("w8.bin"), 3, 8, 2);
    EXPECT_EQ(s8->raw[0], -128);
    EXPECT_EQ(s8->raw[1], 0);
    EXPECT_EQ(s8->raw[2], 127);
    EXPECT_EQ(s8->raw[3], 0);
    EXPECT_EQ(s8->FullScale, 128);
    dynamic_cast<BinaryInput*>(s8->input.get())->readTrace(*s8, 1, 2); // bytes 9..11
    EXPECT_EQ(s8->raw[0], 7 - 128);
    auto s24 = openBinary(dir.file("w24.bin"), 3, 24, 2);
    EXPECT_EQ(s24->raw[0], -1);
    EXPECT_EQ(s24->raw[1], -8388608);
    EXPECT_EQ(s24->raw[2], 8388607);
    auto s32 = openBinary(dir.file("w32.bin"), 3, 32, 2);
    EXPECT_EQ(s32->raw[0], -1);
    EXPECT_EQ(s32->raw[1], -2147483648.0L);
    EXPECT_EQ(s32->raw[2], 2147483647);
    EXPECT_EQ(s32->NumTraces, 2);

    // The example of 1000 samples of 16 bits in 2,000,000 bytes, trace 3 at byte 6000.
    Bytes big(2000000, 0);
    big[6000] = 0x34;
    big[6001] = 0x12;
    writeBytes(dir.file("big.bin"), big);
    auto sb = openBinary(dir.file("big.bin"), 1000, 16, 1);
    EXPECT_EQ(sb->NumTraces, 1000);
    dynamic_cast<BinaryInput*>(sb->input.get())->readTrace(*sb, 3, 1);
    EXPECT_EQ(sb->raw[0], 0x1234);
    EXPECT_EQ(sb->raw[1], 0);

    EXPECT_THROW(BinaryInput(dir.file("big.bin"), 0, 16, 1), IoError);
    EXPECT_THROW(BinaryInput(dir.file("big.bin"), 16385, 16, 1), IoError);
    EXPECT_THROW(BinaryInput(dir.file("big.bin"), 100, 12, 1), IoError);
    Session s;
    s.binary.samples_per_sweep.set(1000000); // the dialog stops at a trace's slots
    EXPECT_EQ(s.binary.samples_per_sweep(), 16384);
    writeBytes(dir.file("tiny.bin"), Bytes(10, 0));
    openCommand(s, dir.file("tiny.bin"));
    EXPECT_THROW(OPEN_BIN(s), IoError); // no whole trace
    EXPECT_FALSE(s.InputOpen);
}

TEST(AsciiTable, ColumnsAreTracesAndEverySampleLineCounts) {
    TempDir dir;
    // 101 lines of 5 numbers, blanks, tabs and commas mixed, an empty line between.
    std::string text;
    for (int j = 1; j <= 101; ++j) {
        for (int k = 1; k <= 5; ++k) text += std::to_string(k * 1000 + j) + (k % 2 ? "\t" : ", ");
        text += j == 50 ? "\n\n" : "\r\n";
    }
    writeTextFile(dir.file("t.txt"), text);
    Session s;
    s.SampleRate = 4;
    EXPECT_EQ(openCommand(s, dir.file("t.txt")), InputFormat::Ascii);
    EXPECT_TRUE(s.InputOpen);
    EXPECT_EQ(s.NumTraces, 5);
    EXPECT_EQ(s.FullScale, 16384);
    auto* in = dynamic_cast<AsciiInput*>(s.input.get());
    ASSERT_NE(in, nullptr);
    EXPECT_EQ(in->table().lines, 101);
    EXPECT_EQ(s.current[0], 1001); // trace 1 read at opening
    in->readTrace(s, 2);
    EXPECT_EQ(s.current[0], 2001);
    EXPECT_EQ(s.current[99], 2100);
    EXPECT_EQ(s.current[100], 2101);
    EXPECT_EQ(s.current[101], 0);
    EXPECT_TRUE(s.InputOpen); // a single-trace read leaves the input open
    EXPECT_THROW(in->readTrace(s, 6), EndOfData);
    // The header copy and the record template are KORVA 2.0 scan headers.
    float marker;
    uint32_t bits = korvaU32(s.korva.first20.data(), korva::kScanMarker);
    std::memcpy(&marker, &bits, 4);
    EXPECT_EQ(marker, 4.0f);
    EXPECT_EQ(korvaU16(s.korva.first20.data(), korva::kSamFreqIdx), 99);
    EXPECT_EQ(korvaU16(s.korva.first20.data(), korva::kTrigExtType), 1);
    EXPECT_EQ(korvaU32(s.korva.record20.data(), korva::kScanSeq), 2u);
    EXPECT_EQ(korvaU32(s.korva.record20.data(), korva::kScanMarker), 0x3f800000u);
    EXPECT_EQ(korvaU32(s.korva.record20.data(), korva::kTrigLength), 16384u);
    EXPECT_EQ(korvaNavText(s.korva.record20.data()), "not determined");

    // OK of the options window: the rate, and Select Shots over every column.
    s.ascii.S_Redit = "0";
    EXPECT_THROW(asciiSelectOk(s), ConversionError);
    s.ascii.S_Redit = "2,5";
    EXPECT_THROW(asciiSelectOk(s), ConversionError);
    s.ascii.S_Redit = "2e6"; // every window count is ms x rate
    EXPECT_THROW(asciiSelectOk(s), ConversionError);
    EXPECT_EQ(s.SampleRate, 4);
    s.ascii.S_Redit = "2.5";
    asciiSelectOk(s);
    EXPECT_EQ(s.SampleRate, 2.5L);
    EXPECT_EQ(s.shots.Label2, "Total: 5");
    EXPECT_EQ(s.shots.StartShot(), 1);
    EXPECT_EQ(s.shots.EndShot(), 6);
    selectShotsOk(s);
    EXPECT_EQ(s.NumTraces, 5);
}

TEST(AsciiTable, ShortLinesWordsAndLongTables) {
    EXPECT_THROW(
        {
            try {
                parseAsciiTable("1 2 3\n4 5 6\n7 8\n", "x.txt");
            } catch (const IoError& e) {
                EXPECT_STREQ(e.what(), "x.txt: line 3 holds 2 numbers, the first sample line 3");
                throw;
            }
        },
        IoError);
    EXPECT_THROW(parseAsciiTable("1 2\n3 x\n", "x.txt"), IoError);
    EXPECT_THROW(parseAsciiTable("\n \n", "x.txt"), IoError);
    const AsciiTable extra = parseAsciiTable("1 2\n3 4 5\n", "x.txt");
    EXPECT_EQ(extra.traces, 2);
    EXPECT_EQ(extra.samples[3], 4);
    std::string many;
    for (int j = 0; j < 16390; ++j) many += std::to_string(j) + "\n";
    const AsciiTable cut = parseAsciiTable(many, "x.txt");
    EXPECT_EQ(cut.lines, 16384);
    EXPECT_EQ(cut.samples[16383], 16383);
    EXPECT_NE(cut.note.find("line 16385 on"), std::string::npos) << cut.note;
}

namespace {

// 7 x 6 pixels, each with its own red, green and blue so a swap shows.
RgbImage knownImage() {
    RgbImage img;
    img.width = 7;
    img.height = 6;
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 7; ++x) {
            const uint32_t r = 10 * x + y, g = 100 + x, b = 200 + y;
            img.pixels.push_back(0xff000000u | r << 16 | g << 8 | b);
        }
    return img;
}

} // namespace

TEST(ScannedBmp, ColumnsGive255MinusRedFromTheRowBelowYmin) {
    TempDir dir;
    writeBytes(dir.file("scan.bmp"), encodeBmp24(knownImage()));
    // Rows 2..5 from 100 to 300 ms, shots 10.. from column 1.
    writeTextFile(dir.file("scan.bnd"), "100\n300\n10\n15\n1\n6\n1\n5\n");
    Session s;
    EXPECT_EQ(openCommand(s, dir.file("scan.bmp")), InputFormat::Bitmap);
    EXPECT_TRUE(s.goEnabled);
    EXPECT_EQ(s.bmp.statusmap, "BND File :" + dir.file("scan.bnd"));
    EXPECT_EQ(s.StartSweep(), 100);
    EXPECT_EQ(s.EndSweep(), 300);
    EXPECT_EQ(s.shots.StartShot(), 10);
    EXPECT_EQ(s.NumTraces, 5);
    EXPECT_EQ(s.SampleRate, 0.02L); // 4 rows in 200 ms
    EXPECT_EQ(s.FullScale, 512);
    for (int shot = 10; shot < 16; ++shot) {
        s.input->readRunTrace(s, shot);
        const int x = shot - 10 + 1;
        for (int j = 0; j < 4; ++j)
            ASSERT_EQ(s.current[j], 255 - (10 * x + 2 + j)) << "shot " << shot << " slot " << j;
        EXPECT_EQ(s.current[4], 0);
        EXPECT_EQ(s.NumSamples, 4);
    }
    EXPECT_THROW(s.input->readRunTrace(s, 16), EndOfData); // column 7 is past the image

    // Rows outside the image read as white; more than 16384 rows are cut.
    s.bmp.bounds.ymax = "20000";
    s.bmp.bounds.ymin = "3";
    s.input->readSingleTrace(s, 10);
    EXPECT_EQ(s.current[0], 255 - (10 + 4));
    EXPECT_EQ(s.current[1], 255 - (10 + 5));
    EXPECT_EQ(s.current[2], 0);
    EXPECT_EQ(s.NumSamples, 16384);
    // Refusals: equal sweeps, an empty box, a text that is no integer.
    s.bmp.bounds.ymax = "3";
    EXPECT_THROW(applyBitmapForm(s), ConversionError);
    s.bmp.bounds.ymax = "5";
    s.bmp.bounds.Bottom = "100";
    EXPECT_THROW(applyBitmapForm(s), ConversionError);
    s.bmp.bounds.Bottom = "300";
    s.bmp.bounds.xmin = "1.5";
    EXPECT_THROW(applyBitmapForm(s), ConversionError);
    EXPECT_EQ(s.EndSweep(), 300); // nothing applied
}

TEST(ScannedBmp, CalibrationFromTheBitmapWhenThereIsNoSideFile) {
    TempDir dir;
    RgbImage img;
    img.width = 400;
    img.height = 300;
    img.pixels.assign(400 * 300, 0xffffffffu);
    writeBytes(dir.file("wide.bmp"), encodeBmp24(img));
    Session s;
    openCommand(s, dir.file("wide.bmp"));
    EXPECT_EQ(s.bmp.statusmap, "BND File NOT FOUND!!!! ");
    EXPECT_EQ(s.Edit4, "BND File: NOT FOUND !!!!");
    EXPECT_EQ(s.bmp.bounds.Right, "300");
    EXPECT_EQ(s.bmp.bounds.xmax, "350");
    EXPECT_EQ(s.bmp.bounds.ymax, "250");
    EXPECT_EQ(s.EndSweep(), 250);
    EXPECT_EQ(s.SampleRate, parseFloat("0.8"));
    // Closing the window with rows 50 to 1050 for 0 to 250 ms: 4 samples per ms.
    s.bmp.bounds.ymax = "1050";
    applyBitmapForm(s);
    EXPECT_EQ(s.SampleRate, 4);
    saveBitmapParam(s, dir.file("saved.bnd"));
    EXPECT_EQ(readTextFile(dir.file("saved.bnd")), "0\n250\n1\n300\n50\n350\n50\n1050\n");
}

TEST(BmpDecoding, PalettesTopDownPaddingAndCompressedFilesRefused) {
    // A 3 x 2 8-bit palette image stored top-down, rows padded to 4 bytes.
    Bytes b(14 + 40 + 4 * 2 + 8, 0);
    b[0] = 'B';
    b[1] = 'M';
    putU32(b, 10, 14 + 40 + 8);
    putU32(b, 14, 40);
    putU32(b, 18, 3);
    putU32(b, 22, static_cast<uint32_t>(-2));
    putU16(b, 26, 1);
    putU16(b, 28, 8);
    putU32(b, 46, 2);
    const size_t pal = 54;
    b[pal + 0] = 1; // colour 0: blue 1, green 2, red 3
    b[pal + 1] = 2;
    b[pal + 2] = 3;
    b[pal + 4 + 2] = 250; // colour 1: red 250
    const size_t px = pal + 8;
    b[px + 0] = 1; // top row: 1 0 1
    b[px + 2] = 1;
    b[px + 4 + 1] = 1; // bottom row: 0 1 0
    RgbImage img = decodeBmp(b, "p.bmp");
    EXPECT_EQ(img.red(0, 0), 250);
    EXPECT_EQ(img.red(1, 0), 3);
    EXPECT_EQ(img.pixel(1, 0), 0xff030201u);
    EXPECT_EQ(img.red(1, 1), 250);
    EXPECT_EQ(img.red(2, 1), 3);

    // 1-bit, bottom-up: the first stored row is the bottom one, its bit 7 the first pixel.
    Bytes m(14 + 40 + 8 + 8, 0);
    m[0] = 'B';
    m[1] = 'M';
    putU32(m, 10, 62);
    putU32(m, 14, 40);
    putU32(m, 18, 9);
    putU32(m, 22, 2);
    putU16(m, 28, 1);
    m[54 + 4 + 2] = 255; // colour 1 red
    m[62] = 0x80;        // bottom row: pixel 0 colour 1
    m[63] = 0x80;        // bottom row: pixel 8 (second byte, bit 7)
    m[66] = 0x40;        // top row: pixel 1
    RgbImage mono = decodeBmp(m, "m.bmp");
    EXPECT_EQ(mono.red(0, 1), 255);
    EXPECT_EQ(mono.red(8, 1), 255);
    EXPECT_EQ(mono.red(1, 1), 0);
    EXPECT_EQ(mono.red(1, 0), 255);

    Bytes rle = b;
    putU32(rle, 30, 1);
    try {
        decodeBmp(rle, "r.bmp");
        ADD_FAILURE() << "a compressed bitmap was read";
    } catch (const IoError& e) {
        EXPECT_NE(std::string(e.what()).find("RLE8"), std::string::npos) << e.what();
    }
    Bytes cutShort(b.begin(), b.end() - 3);
    EXPECT_THROW(decodeBmp(cutShort, "c.bmp"), IoError);
    // 24-bit round trip keeps red, green and blue apart.
    const RgbImage k = knownImage();
    EXPECT_EQ(decodeBmp(encodeBmp24(k), "k.bmp").pixels, k.pixels);
}

TEST(TextOutput, ExportAsciiReadsBackAsATable) {
    TempDir dir;
    SynthKorvaRecord r;
    r.scan = 5;
    writeBytes(dir.file("line.d02"), korvaFile(r, 4, 16384));
    Session s;
    openCommand(s, dir.file("line.d02"));
    ASSERT_TRUE(s.InputOpen) << s.Edit2;
    s.StartSweep.set(0);
    s.EndSweep.set(2);
    s.shots.StartShot.set(5);
    s.shots.EndShot.set(8); // shots 5, 6, 7
    selectShotsOk(s);
    const int before = s.NumTraces;
    const AsciiExport e = exportAscii(s, dir.file("out.txt"));
    EXPECT_EQ(e.columns, 3);
    EXPECT_EQ(s.NumTraces, before);
    const std::string text = readTextFile(dir.file("out.txt"));
    ASSERT_FALSE(text.empty());
    EXPECT_EQ(text.substr(text.find('\n') - 1, 1), ",");
    // Column t, line j of the table is slot j of shot 5 + t.
    Session back;
    openCommand(back, dir.file("out.txt"));
    auto* in = dynamic_cast<AsciiInput*>(back.input.get());
    ASSERT_NE(in, nullptr);
    EXPECT_EQ(in->table().traces, 3);
    EXPECT_EQ(in->table().lines, e.rows);
    for (int t = 0; t < 3; ++t) {
        s.input->readSingleTrace(s, 5 + t);
        in->readTrace(back, t + 1);
        for (int j = 0; j < e.rows; ++j) ASSERT_EQ(back.current[j], s.current[j]) << t << " " << j;
    }
    Session other;
    EXPECT_THROW(exportAscii(other, dir.file("none.txt")), Error);
}
