// KORVA 2.0 and 0.5 record files: opening, the window read into the current
// trace, the header grid, the end of the data, and files that are damaged or
// cannot give a sampling rate.
#include "core/error.h"
#include "core/session.h"
#include "formats/file_open.h"
#include "formats/korva_reader.h"
#include "support/korva_fixture.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <unistd.h>
#include <vector>

using namespace tarnix;
using namespace tarnix::test;

namespace {

std::string written(const TempDir& dir, const Bytes& f, const char* name = "line.D02") {
    writeBytes(dir.file(name), f);
    return dir.file(name);
}

// The open command as the window runs it, with the time window set first.
void openWith(Session& s, const std::string& path, int start = 0, int end = 100) {
    s.EndSweep.set(end);
    openCommand(s, path);
    s.StartSweep.set(start);
    s.NumSamples = static_cast<int32_t>((end - start) * s.SampleRate);
}

void expectOpenFails(Session& s, const std::string& path, const std::string& words) {
    try {
        openCommand(s, path);
        FAIL() << "no error; expected one with: " << words;
    } catch (const IoError& e) {
        EXPECT_NE(std::string(e.what()).find(words), std::string::npos) << e.what();
    }
    EXPECT_FALSE(s.InputOpen);
    EXPECT_EQ(s.input, nullptr);
}

SynthKorvaRecord threeScans() {
    SynthKorvaRecord r;
    r.scan = 1000;
    r.rateIndex = 5;
    r.navText = "1000 2024 65 10 20 30 43.50000000 7.25000000";
    return r;
}

} // namespace

TEST(KorvaOpen, ThreeRecordsGiveTheirScansAndSampling) {
    TempDir dir;
    Session s;
    openWith(s, written(dir, korvaFile(threeScans(), 3, 16384)), 10, 20);
    ASSERT_TRUE(s.InputOpen);
    EXPECT_EQ(s.NumTraces, 4); // records + 1
    EXPECT_EQ(s.SampleRate, 8);
    EXPECT_EQ(s.header.Delay, 0);
    EXPECT_EQ(s.FullScale, 32767);
    EXPECT_EQ(s.shots.StartShot(), 1000);
    EXPECT_EQ(s.shots.EndShot(), 1003);
    EXPECT_EQ(s.shots.Label1, "File:  line.D02");
    EXPECT_EQ(s.shots.Label2, "Total: 4");
    EXPECT_EQ(s.Edit2, "Input File:" + dir.file("line.D02") + " open");
    EXPECT_FALSE(s.goEnabled); // the shot range waits for the user's OK

    // k0 = round(10 x 8) - 0: slot 0 is sample 80.
    s.current.fill(7);
    ASSERT_TRUE(s.input->readSingleTrace(s, 1001));
    EXPECT_EQ(s.current[0], korvaValue(1001, 80));
    EXPECT_EQ(s.current[79], korvaValue(1001, 159));
    // The last usable sample is 16383, in slot 16303; above it zeros, and the
    // head-room above slot 16383 is left alone.
    EXPECT_EQ(s.current[16303], korvaValue(1001, 16383));
    EXPECT_EQ(s.current[16304], 0);
    EXPECT_EQ(s.current[16383], 0);
    EXPECT_EQ(s.current[16384], 7);
    EXPECT_EQ(s.positionString, "1000 2024 65 10 20 30 43.50000000 7.25000000");
    EXPECT_EQ(s.header.ShotNumber, 1001);

    // The next open forgets it: a line whose traces carry no position text
    // must not write this one's into its reflectivity file.
    openCommand(s, dir.file("next.xyz"));
    EXPECT_EQ(s.positionString, "");
}

TEST(KorvaOpen, RateFromScanMarkerAndTriggerDelay) {
    TempDir dir;
    Session s;
    SynthKorvaRecord r;
    r.rateIndex = 99;
    r.markerRate = 10.0f;
    r.trigDelay = 200;
    openWith(s, written(dir, korvaFile(r, 2, 16384)), 30, 60);
    EXPECT_EQ(s.SampleRate, 10);
    EXPECT_EQ(s.header.Delay, 20); // 200 samples at 10 kHz
    s.input->readSingleTrace(s, 1);
    EXPECT_EQ(s.current[0], korvaValue(1, 100)); // round(30 x 10) - 200

    // From time 0 the delay comes first: slots 0 to 200 hold nothing recorded.
    s.StartSweep.set(0);
    s.current.fill(7);
    s.input->readSingleTrace(s, 1);
    EXPECT_EQ(s.current[0], 0);
    EXPECT_EQ(s.current[200], 0);
    EXPECT_EQ(s.current[201], korvaValue(1, 1));

    // A marker rate beyond 1 GHz is refused like one that is not positive.
    Session t;
    r.markerRate = 3e37f;
    expectOpenFails(t, written(dir, korvaFile(r, 2, 16384), "fast.D02"), "index 99");
}

TEST(KorvaOpen, TriggerDelayBeyondTheRecordGivesZerosWithoutOverrun) {
    TempDir dir;
    Session s;
    SynthKorvaRecord r;
    r.trigDelay = 20000; // at 8 kHz, 2.5 s: the window at 0 ends before the record starts
    openWith(s, written(dir, korvaFile(r, 2, 16384)));
    s.current.fill(7);
    s.input->readSingleTrace(s, 2);
    for (int j = 0; j < kReadSlots; ++j) ASSERT_EQ(s.current[j], 0) << "slot " << j;
    for (int j = kReadSlots; j < kTraceSlots; ++j) ASSERT_EQ(s.current[j], 7) << "slot " << j;

    // A window past the record's end: nothing of the previous trace is kept.
    s.StartSweep.set(4000); // samples 32000 - 20000 = 12000 to 16383
    s.input->readSingleTrace(s, 2);
    EXPECT_EQ(s.current[0], korvaValue(2, 12000));
    EXPECT_EQ(s.current[4383], korvaValue(2, 16383));
    EXPECT_EQ(s.current[4384], 0);
    s.StartSweep.set(9000);
    s.current.fill(7);
    s.input->readSingleTrace(s, 2);
    EXPECT_EQ(s.current[0], 0);
    EXPECT_EQ(s.current[16383], 0);
}

TEST(KorvaOpen, HalfVariantRecordsOf4096Samples) {
    TempDir dir;
    Session s;
    SynthKorvaRecord r;
    r.scan = 7;
    r.rateIndex = 9; // 16.5 kHz
    r.bits = 8;
    const std::string path = written(dir, korvaFile(r, 5, 4096), "line.d05");
    openWith(s, path, 100, 200);
    ASSERT_NE(korvaInput(s), nullptr);
    EXPECT_EQ(korvaInput(s)->variant().recordBytes, 8480);
    EXPECT_EQ(s.NumTraces, 6);
    EXPECT_EQ(s.FullScale, 128); // not 16 bits
    EXPECT_EQ(s.SampleRate, 16.5L);
    // k0 = round(1650) = 1650; the last usable sample 4095 lands in slot 2445.
    s.current.fill(7);
    s.input->readSingleTrace(s, 11);
    EXPECT_EQ(s.current[0], korvaValue(11, 1650));
    EXPECT_EQ(s.current[2445], korvaValue(11, 4095));
    EXPECT_EQ(s.current[2446], 0);
    EXPECT_EQ(s.current[16383], 0);
    EXPECT_EQ(s.fileHeaderGrid[9][1], "9 - 16.5000 Khz");
}

TEST(KorvaOpen, HeaderGridRowsValuesAndComments) {
    TempDir dir;
    Session s;
    SynthKorvaRecord r;
    r.scan = 4000000000u; // unsigned, not negative
    r.rateIndex = 9;
    r.trigDelay = 33;
    r.trigMode = 1;
    r.trigExtType = 2;
    r.trigLevel = 65535;
    r.bits = 16;
    r.channels = 2;
    r.offsetBin = 3;
    r.reserved = 255;
    // A scan number this large cannot be a shot of Select Shots: the file is
    // refused, so the grid texts are taken from the header directly.
    expectOpenFails(s, written(dir, korvaRecord(r, 16384)),
                    "shots above 9999999 cannot be selected");
    KorvaHeaders::Header h{};
    const Bytes b = korvaRecord(r, 16384);
    std::copy(b.begin(), b.begin() + 288, h.begin());
    const auto g = korvaHeaderGrid(h.data(), 16.5L);
    ASSERT_EQ(g.size(), 14u);
    const std::array<std::string, 3> expected[14] = {
        {"Field", "Value", "Comment"},
        {"scan_marker", "", "marks scan beginning"},
        {"scan_seq", "4000000000", "absolute scan number (shot number)"},
        {"user_size", "256", "user_size"},
        {"trigDelay", "33", "delay applied during acquisition"},
        {"trigLenght", "16384", "duration of the trigger pulse"},
        {"TrigMode", "1", "trigger mode (internal/external)"},
        {"TrigExtType", "2", "type of external trigger"},
        {"TrigLevel", "65535", "level of the external trigger"},
        {"SamFreqIdx", "9 - 16.5000 Khz", "sampling frequency"},
        {"BitsPerSample", "16", "number of bits for each sample"},
        {"NumChannels", "2", "acquisition channels"},
        {"OffsetBin", "3", "binary offset"},
        {"Reserved", "255", "Reserved"},
    };
    for (size_t i = 0; i < 14; ++i) EXPECT_EQ(g[i], expected[i]) << "row " << i;
    // Minimum width 2 and 4 decimals for the rate.
    EXPECT_EQ(korvaHeaderGrid(h.data(), 0.5L)[9][1], "9 - 0.5000 Khz");
}

TEST(KorvaOpen, FrequencyIndexWithoutARateIsRefusedInAFreshSession) {
    TempDir dir;
    for (int index : {3, 11, 42}) {
        Session s;
        SynthKorvaRecord r;
        r.rateIndex = static_cast<uint16_t>(index);
        expectOpenFails(s, written(dir, korvaFile(r, 2, 16384)),
                        "sampling frequency index " + std::to_string(index) + " names no rate");
    }
    for (float bad : {0.0f, -4.0f, std::numeric_limits<float>::quiet_NaN(),
                      std::numeric_limits<float>::infinity()}) {
        Session s;
        SynthKorvaRecord r;
        r.rateIndex = 99;
        r.markerRate = bad;
        expectOpenFails(s, written(dir, korvaFile(r, 2, 16384)), "sampling frequency index 99");
    }
}

TEST(KorvaOpen, FrequencyIndexWithoutARateKeepsTheRateOpenedBefore) {
    TempDir dir;
    Session s;
    SynthKorvaRecord r;
    r.rateIndex = 12; // 48 kHz
    openWith(s, written(dir, korvaFile(r, 2, 16384), "a.D02"));
    EXPECT_EQ(s.SampleRate, 48);
    r.rateIndex = 3;
    r.trigDelay = 96;
    openWith(s, written(dir, korvaFile(r, 2, 16384), "b.D02"));
    EXPECT_EQ(s.SampleRate, 48);
    EXPECT_EQ(s.header.Delay, 2);
    EXPECT_NE(s.Edit2.find("index 3 names no rate; the rate of the file opened before, 48 kHz"),
              std::string::npos)
        << s.Edit2;
    EXPECT_EQ(s.fileHeaderGrid[9][1], "3 - 48.0000 Khz");
}

TEST(KorvaOpen, MissingEmptyAndCutFiles) {
    TempDir dir;
    Session s;
    expectOpenFails(s, dir.file("none.D02"), "Cannot open");
    expectOpenFails(s, written(dir, {}), "holds 0 bytes, less than one KORVA 2.0 record (33056");
    Bytes tiny = korvaRecord(threeScans(), 16384);
    tiny.resize(33055);
    expectOpenFails(s, written(dir, tiny), "holds 33055 bytes");

    // Whole records are read; the bytes after them are named and left out.
    Bytes cut = korvaFile(threeScans(), 2, 16384);
    cut.resize(cut.size() + 100, 1);
    openWith(s, written(dir, cut));
    EXPECT_TRUE(s.InputOpen);
    EXPECT_EQ(s.NumTraces, 3);
    EXPECT_NE(s.Edit2.find("100 bytes after the last whole record (2) are left out"),
              std::string::npos)
        << s.Edit2;
    EXPECT_NO_THROW(s.input->readSingleTrace(s, 1001));
    EXPECT_THROW(s.input->readSingleTrace(s, 1002), EndOfData);
}

TEST(KorvaRead, PastTheLastRecordIsTheEndAndBeforeTheFirstIsRefused) {
    TempDir dir;
    Session s;
    openWith(s, written(dir, korvaFile(threeScans(), 3, 16384)));
    s.input->readRunTrace(s, 1002);
    const Sample last = s.current[5];
    try {
        s.input->readRunTrace(s, 1003);
        FAIL() << "no end of data";
    } catch (const EndOfData& e) {
        EXPECT_NE(std::string(e.what()).find("holds scans 1000 to 1002"), std::string::npos)
            << e.what();
    }
    EXPECT_EQ(s.current[5], last); // a failed read changes nothing
    try {
        s.input->readSingleTrace(s, 999);
        FAIL() << "no error";
    } catch (const EndOfData&) {
        FAIL() << "a shot before the first is no end of data";
    } catch (const IoError& e) {
        EXPECT_NE(std::string(e.what()).find("before the first scan number of the file (1000)"),
                  std::string::npos)
            << e.what();
    }
}

TEST(KorvaRead, NavigationTextOfEachRecord) {
    TempDir dir;
    Session s;
    SynthKorvaRecord r = threeScans();
    Bytes f = korvaRecord(r, 16384);
    r.scan = 1001;
    r.navText = std::string(81, 'x');
    r.navLength = 200; // more than the field holds: read as 81
    append(f, korvaRecord(r, 16384));
    r.scan = 1002;
    r.navText.clear();
    r.navLength = -1;
    append(f, korvaRecord(r, 16384));
    openWith(s, written(dir, f));

    s.input->readRunTrace(s, 1001);
    EXPECT_EQ(s.positionString, std::string(81, 'x'));
    EXPECT_EQ(s.navText[1001], std::string(81, 'x'));
    EXPECT_EQ(s.input->navRow(s, 1001), std::string(81, 'x'));
    // An empty text is the record's own: the one before is not carried on.
    s.input->readRunTrace(s, 1002);
    EXPECT_EQ(UpDate_PosString(s), "");
    EXPECT_EQ(s.navText[1002], "");
    // The record read last is the template of written records.
    EXPECT_EQ(s.korva.record20[4], 1002 & 0xff);
}

TEST(KorvaRead, ScansAboveTheShotTablesKeepTheirNumbers) {
    TempDir dir;
    Session s;
    SynthKorvaRecord r;
    r.scan = 120000;
    r.navText = "first";
    openWith(s, written(dir, korvaFile(r, 3, 16384)));
    EXPECT_EQ(s.shots.StartShot(), 120000);
    EXPECT_EQ(s.shots.EndShot(), 120003);
    EXPECT_EQ(s.shotTableBase, 120000);
    s.input->readRunTrace(s, 120002);
    EXPECT_EQ(s.navText[2], "first");
    EXPECT_EQ(s.shotIndex(120002), 2u);
    EXPECT_EQ(s.current[1], korvaValue(120002, 1));
    EXPECT_THROW((void)s.shotIndex(119999), IoError);

    // The next open starts the tables at 0 again.
    SynthKorvaRecord low;
    openWith(s, written(dir, korvaFile(low, 2, 16384), "low.D02"));
    EXPECT_EQ(s.shotTableBase, 0);
}

TEST(KorvaRead, RunReadsInBlocksGiveEveryRecordAsSingleReadsDo) {
    TempDir dir;
    SynthKorvaRecord r;
    r.scan = 5;
    r.trigDelay = 3;
    r.navText = "5 2024 65 10 20 30 43.50000000 7.25000000";
    // Records of both variants fall across the block's ends.
    for (const int samples : {16384, 4096}) {
        const std::string path =
            written(dir, korvaFile(r, 20, samples), samples == 16384 ? "l.D02" : "l.D05");
        Session a, b;
        openWith(a, path, 0, 100);
        openWith(b, path, 0, 100);
        std::vector<int> shots;
        for (int shot = 5; shot < 25; ++shot) shots.push_back(shot);
        shots.push_back(7); // back into an earlier block, then on
        shots.push_back(24);
        for (const int shot : shots) {
            a.input->readRunTrace(a, shot);
            b.input->readSingleTrace(b, shot);
            ASSERT_TRUE(a.current == b.current) << samples << " shot " << shot;
            EXPECT_EQ(a.current[4], korvaValue(static_cast<uint32_t>(shot), 1)); // after the delay
            EXPECT_EQ(a.positionString, b.positionString);
            EXPECT_EQ(a.korva.record20, b.korva.record20);
            EXPECT_EQ(a.korva.lastSample20, b.korva.lastSample20);
        }
        // Cut inside scan 12 after the open: the scans before it still come
        // from the block, scan 12 fails as a single read does.
        Session c, d;
        openWith(c, path, 0, 100);
        openWith(d, path, 0, 100);
        const long long len = (samples == 16384 ? kKorva20 : kKorva05).recordBytes;
        ASSERT_EQ(::truncate(path.c_str(), 7 * len + 100), 0);
        for (int shot = 5; shot < 12; ++shot) c.input->readRunTrace(c, shot);
        EXPECT_EQ(c.current[4], korvaValue(11, 1));
        std::string run, single;
        try {
            c.input->readRunTrace(c, 12);
        } catch (const IoError& e) {
            run = e.what();
        }
        try {
            d.input->readSingleTrace(d, 12);
        } catch (const IoError& e) {
            single = e.what();
        }
        EXPECT_NE(run.find("cut short"), std::string::npos) << run;
        EXPECT_EQ(run, single);
        EXPECT_EQ(c.current[4], korvaValue(11, 1)); // the trace before stays
    }
}
