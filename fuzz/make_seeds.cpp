// Writes the seed corpora under DIR/<target>/: small files of every kind the
// readers take, built by the test fixtures so that seeds and tests agree on
// the layouts.   fuzz_make_seeds DIR
#include "core/defaults_file.h"
#include "core/recent_files.h"
#include "core/session.h"
#include "core/settings.h"
#include "formats/bmp_image.h"
#include "formats/reflectivity_file.h"
#include "processing/demo_session.h"
#include "processing/sequence_file.h"
#include "support/korva_fixture.h"
#include "support/segy_fixture.h"
#include "support/sonar_fixture.h"

#include <cmath>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>

using namespace tarnix;
using namespace tarnix::test;
namespace fs = std::filesystem;

namespace {

fs::path root;

std::string seed(const std::string& target, const std::string& name) {
    fs::create_directories(root / target);
    return (root / target / name).string();
}

void text(const std::string& target, const std::string& name, const std::string& body) {
    std::ofstream(seed(target, name), std::ios::binary) << body;
}

void segySeeds() {
    auto line = [](int code, bool be, int traces, int ns) {
        SynthSegy s;
        s.bigEndian = be;
        s.formatCode = code;
        s.binaryNs = ns;
        s.binaryInterval = 1000;
        for (int k = 0; k < traces; ++k) {
            SynthTrace& t = s.addTrace(k + 1, ns, 1000);
            t.set(71, -100).set(73, 3600 * 29 * 100 + k).set(77, 3600 * 40 * 100 + k).set(89, 2);
            t.set(109, 5 * k);
            if (code == 1 || code == 5)
                for (int i = 0; i < ns; ++i) t.reals.push_back(std::sin(i * 0.3) * (k + 1) * 1.5);
        }
        return s;
    };
    line(3, true, 3, 40).write(seed("segy", "int16_be.sgy"));
    line(3, true, 4, 60).write(seed("timeslice", "int16_be.sgy"));
    line(5, false, 2, 30).write(seed("timeslice", "ieee_le.sgy"));
    line(5, false, 3, 40).write(seed("segy", "ieee_le.sgy"));
    line(2, true, 2, 30).write(seed("segy", "int32_be.sgy"));
    line(8, true, 2, 30).write(seed("segy", "int8_be.sgy"));
    SynthSegy ibm = line(1, true, 2, 30);
    ibm.revision = 0x0100;
    ibm.extendedCount = 1;
    ibm.extended.resize(1);
    ibm.extended[0].fill(0x40);
    ibm.write(seed("segy", "ibm_extended.sgy"));
    SynthSegy cut = line(3, true, 3, 40);
    cut.truncateTo = 3600 + 240 + 80 + 100;
    cut.write(seed("segy", "cut_trace.sgy"));
    SynthSegy lie = line(3, false, 2, 40);
    lie.headerCode = 5;
    lie.write(seed("segy", "code_lies.sgy"));
}

void korvaSeeds() {
    SynthKorvaRecord r;
    r.scan = 7;
    r.navText = "N40 41.123 E029 15.456 12:00:01";
    writeBytes(seed("korva", "two_05.D05"), korvaFile(r, 2, 4096));
    r.rateIndex = 99;
    r.markerRate = 12.5f;
    r.trigDelay = 40;
    writeBytes(seed("korva", "marker_rate_05.D05"), korvaFile(r, 3, 4096));
    SynthKorvaRecord big;
    big.scan = 39999;
    writeBytes(seed("korva", "one_20.D02"), korvaFile(big, 1, 16384));
    writeBytes(seed("exportascii", "one_20.D02"), korvaFile(big, 1, 16384));
    big.scan = 12;
    writeBytes(seed("exportascii", "two_20.D02"), korvaFile(big, 2, 16384));
}

void xtfSeeds() {
    const std::vector<SynthXtfChannel> chans = {
        {0, 2, false, 0}, {1, 1, true, 0}, {2, 4, false, 5}};
    Bytes f = xtfFileHeader(chans);
    for (int p = 1; p <= 3; ++p) {
        SynthPing ping;
        ping.pingNumber = static_cast<uint32_t>(p);
        ping.shipX = 29.25 + p * 1e-4;
        ping.shipY = 40.7;
        if (p == 2) ping.sensorX = ping.sensorY = 0;
        ping.samples = {{1, -2, 3, -4, 5, -6}, {10, 20, 30, 40}, {0.5, -0.25, 0.125}};
        append(f, xtfPing(ping, chans));
        if (p == 1) append(f, xtfPacket(3, 20));
    }
    writeBytes(seed("xtf", "three_channels.xtf"), f);
}

void seg2Seeds() {
    std::vector<SynthSeg2Trace> traces;
    for (int code : {1, 2, 4, 3, 5}) {
        SynthSeg2Trace t;
        t.code = code;
        for (int i = 0; i < 12; ++i) t.samples.push_back(code == 3 ? (i % 5) * 4 : i * 3 - 17);
        t.strings = {"CHANNEL_NUMBER " + std::to_string(code), "SAMPLE_INTERVAL 0.00025",
                     "DELAY 0.01"};
        traces.push_back(t);
    }
    writeBytes(seed("seg2", "five_codes_le.sg2"), seg2File(traces));
    traces.resize(2);
    writeBytes(seed("seg2", "two_be.sg2"), seg2File(traces, true));
}

void otherInputSeeds() {
    Bytes bin;
    for (int i = 0; i < 2400; ++i) bin.push_back(static_cast<unsigned char>(i * 37 + (i >> 3)));
    writeBytes(seed("binary", "pattern.bin"), bin);
    text("ascii", "table.txt", "time a b c\n1 2 3\n4,5,6,\n-7\t8.5 9e2\n\n10 11 12\n");
    text("ascii", "export.txt", "0.50000000,1.25000000,\n-3.00000000,4.00000000,\n");
    RgbImage img;
    img.width = 40;
    img.height = 30;
    for (int y = 0; y < img.height; ++y)
        for (int x = 0; x < img.width; ++x) {
            const uint32_t v = static_cast<uint32_t>((x * 6 + y * 8) & 0xff);
            img.pixels.push_back(0xff000000u | v << 16 | (255 - v) << 8 | v);
        }
    const std::vector<unsigned char> bmp = encodeBmp24(img);
    writeBytes(seed("bitmap", "profile24.bmp"), Bytes(bmp.begin(), bmp.end()));
    img.width = 3;
    img.height = 2;
    img.pixels.resize(6);
    const std::vector<unsigned char> small = encodeBmp24(img);
    writeBytes(seed("bitmap", "padded_rows.bmp"), Bytes(small.begin(), small.end()));
}

void textSeeds() {
    text("navigation", "line.nav",
         "# made by hand\n\n10 2020 5 1 2 3 40.5 29.5\n\n20 2020 5 1 2 13 40.6 29.6\r\n"
         "25 2020 5 1 2 18 40.61 359.9\n30 2020 5 1 2 23 40.62 0.1\n");
    text("boundary", "box.bnd", "40.783\n40.6667\n29.25\n30\n0\n1000\n0\n800\n");
    text("boundary", "crlf_east.bnd",
         "4512000\r\n4500000\r\n650000\r\n660000\r\n10\r\n990\r\n5\r\n"
         "795\r\n");
    text("points", "points.xy",
         "W1 29.5 40.7\n\n  \r\nABCDEF\t29.25 40.5 ignored rest\r\nP3 -4.5 50\n");
    text("picks", "bottom.mut", "10 20.000000\n20 40.000000\n\n5 12.5\n");
    text("picks", "digitized.dgt",
         "3 N40 41.1 E029 15.4 12:00:01 18.25\n9 N40 41.2 E029 15.5 30\n");
    std::string ref;
    ref += reflectivityLine("5 2020 5 1 2 3 40.5 29.5", 0.25L, 12) + "\n";
    ref += reflectivityLine("6 2020 5 1 2 4 40.51 29.51", -0.3L, 12.5L) + "\n";
    text("reflectivity", "line.ref", ref);
    text("notebook", "mute.txt", "12 30.5\n3 10\n\n7 20\n12 31\nnote without a pick\n");
    text("notebook", "digitizing.txt", "4 N40 E29 12:00 18.5\n2 N40 E29 12:01 19\n");
    auto s = std::make_unique<Session>();
    saveDefaults(*s, seed("defaults", "start.defaults"));
    text("defaults", "recent_options.txt", "order=1 channels=2 header=0 format=5 interval=250\n");
    text("recent", "written.txt", segyOptionsText(s->segy));
    text("recent", "every_key.txt",
         "order=0 channels=24 text=0 format=1 interval=250 change=1 xscale=-100 yscale=0.5 "
         "delay=1\n");
    text("recent", "hand_edited.txt", "format=8 channels=2 order=1 interval= x=1 change=7 junk\n");
    demoSequence(s->sequence);
    saveSequenceFile(s->sequence, seed("sequence", "demo.seq"));
    const char* head = "# Module p1 p2 p3 p4 p5 p6 \n";
    text("sequence", "gains.seq",
         std::string(head) + "1 AGCM 51      \n2 TVGM 2      \n3 LING 3      \n4 NORM       \n"
                             "5 DBAS       \n6 GRAD       \n7 DERV       \n8 ABSM       \n");
    text("sequence", "filters.seq",
         std::string(head) + "1 FLTM 10.00 200.00 0 0 31 x \n2 FFTF 20 LP     \n3 FFTM       \n"
                             "4 ACFM 2      \n5 DECM 1 64     \n6 RESM 2      \n");
    text("sequence", "picks.seq",
         std::string(head) +
             "1 MUTM p.mut      \n2 SWELL p.bot 5     \n3 STTM p.dgt 0.5 RELATIVE    \n"
             "4 STAM 3.5      \n5 ASTM       \n6 RCCM p.mut out.ref 4 TRUE 1  \n");
    text("sequence", "neighbours.seq",
         std::string(head) + "1 TMXM 3 1  FALSE  \n2 RNFM 100      \n3 SPFM 50      \n"
                             "4 HBFM 1 50     \n");
    text("sequence", "outputs.seq",
         std::string(head) + "1 WSEG out.sgy BE 2 IEEE   \n2 WKORVA2 out.D02 1     \n"
                             "3 WASCII out.txt 1     \n");
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: fuzz_make_seeds DIR\n";
        return 2;
    }
    root = argv[1];
    segySeeds();
    korvaSeeds();
    xtfSeeds();
    seg2Seeds();
    otherInputSeeds();
    textSeeds();
    return 0;
}
