// Navigation extraction from SEG-Y trace headers, and the rows a run adds.
#include "core/error.h"
#include "core/session.h"
#include "formats/file_open.h"
#include "formats/segy_header.h"
#include "formats/segy_reader.h"
#include "navigation/nav_extract.h"
#include "navigation/nav_file.h"
#include "navigation/nav_list.h"
#include "support/segy_fixture.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

using namespace tarnix;
using tarnix::test::readTextFile;
using tarnix::test::SynthSegy;
using tarnix::test::TempDir;
using tarnix::test::testdataPath;
using tarnix::test::writeTextFile;

namespace {

// n traces; trace i has source X 1000 + i, Y 5000 + 2 i (scaler -10, units 1),
// the time 2026/142 8:30:i.
SynthSegy line(int n, bool bigEndian) {
    SynthSegy f;
    f.bigEndian = bigEndian;
    for (int i = 0; i < n; ++i)
        f.addTrace(700 + i, 20, 1000)
            .set(segy::CoordScaler, -10)
            .set(segy::CoordUnits, 1)
            .set(segy::SourceX, 1000 + i)
            .set(segy::SourceY, 5000 + 2 * i)
            .set(segy::Year, 2026)
            .set(segy::Day, 142)
            .set(segy::Hour, 8)
            .set(segy::Minute, 30)
            .set(segy::Second, i % 60);
    return f;
}

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> out;
    size_t at = 0;
    while (at < text.size()) {
        size_t nl = text.find('\n', at);
        out.push_back(text.substr(at, nl - at));
        at = nl + 1;
    }
    return out;
}

} // namespace

TEST(NavExtract, ThirtyFiveTracesEveryTenGiveTen20And30InBothByteOrders) {
    for (bool be : {true, false}) {
        TempDir dir;
        line(35, be).write(dir.file("l.sgy"));
        auto s = std::make_unique<Session>();
        s->segy.SEGYRadio = be ? SegyOptions::BigEndian : SegyOptions::LittleEndian;
        s->HdrSelect.set(10);
        EXPECT_EQ(extractNavFile(*s, dir.file("l.sgy")), dir.file("l.NAV"));
        EXPECT_EQ(lines(readTextFile(dir.file("l.NAV"))),
                  (std::vector<std::string>{"10 2026 142 8 30 10 502.00000000 101.00000000 ",
                                            "20 2026 142 8 30 20 504.00000000 102.00000000 ",
                                            "30 2026 142 8 30 30 506.00000000 103.00000000 "}))
            << be;
        EXPECT_EQ(s->Edit4, dir.file("l.NAV"));
        EXPECT_EQ(s->Edit3, "36");
        EXPECT_EQ(s->SEGYmemo.size(), 45u);
    }
}

TEST(NavExtract, TheLastTraceIsWrittenTraceZeroNever) {
    TempDir dir;
    line(31, true).write(dir.file("l.seg"));
    auto s = std::make_unique<Session>();
    s->HdrSelect.set(10);
    extractNavFile(*s, dir.file("l.seg"));
    const auto got = lines(readTextFile(dir.file("l.NAV")));
    ASSERT_EQ(got.size(), 3u);
    EXPECT_EQ(got[2].substr(0, 3), "30 ");
    s->HdrSelect.set(1);
    extractNavFile(*s, dir.file("l.seg"));
    EXPECT_EQ(lines(readTextFile(dir.file("l.NAV"))).size(), 30u); // traces 1..30
}

TEST(NavExtract, ArcSecondsNegativeLongitudesAndTheUserFactors) {
    TempDir dir;
    SynthSegy f;
    for (int i = 0; i < 3; ++i)
        f.addTrace(1, 10, 1000)
            .set(segy::CoordScaler, -100)
            .set(segy::CoordUnits, 2)
            .set(segy::SourceX, -1296000)
            .set(segy::SourceY, 21600000);
    f.write(dir.file("a.sgy"));
    auto s = std::make_unique<Session>();
    s->HdrSelect.set(1);
    extractNavFile(*s, dir.file("a.sgy"));
    EXPECT_EQ(readTextFile(dir.file("a.NAV")),
              "1 0 0 0 0 0 60.00000000 356.40000000 \n2 0 0 0 0 0 60.00000000 356.40000000 \n");
    s->segy.YEditScaler = "2";
    extractNavFile(*s, dir.file("a.sgy"));
    EXPECT_EQ(lines(readTextFile(dir.file("a.NAV")))[0], "1 0 0 0 0 0 120.00000000 356.40000000 ");
}

TEST(NavExtract, OnlySegyNamesAreReadAndTheOpenSessionStaysAsItWas) {
    TempDir dir;
    line(12, true).write(dir.file("open.sgy"));
    line(25, true).write(dir.file("a.sgy"));
    writeTextFile(dir.file("b.NAV"), "keep me\n");
    auto s = std::make_unique<Session>();
    openCommand(*s, dir.file("open.sgy"));
    segyOptionsOk(*s);
    selectShotsOk(*s);
    const auto fileHeader = s->segyFileHeader;
    const auto traceHeader = s->segyTraceHeader;
    const InputFile* input = s->input.get();
    ASSERT_TRUE(s->goEnabled);
    s->segyFileHeader[0] = 0x5a; // what a later WSEG would copy
    s->HdrSelect.set(10);

    const auto written =
        extractNavigation(*s, {dir.file("b.NAV"), dir.file("a.sgy"), dir.file("c.txt")});
    EXPECT_EQ(written, (std::vector<std::string>{dir.file("a.NAV")}));
    EXPECT_EQ(readTextFile(dir.file("b.NAV")), "keep me\n");
    EXPECT_FALSE(std::filesystem::exists(dir.file("c.NAV")));
    EXPECT_EQ(lines(readTextFile(dir.file("a.NAV"))).size(), 2u);
    EXPECT_EQ(s->input.get(), input);
    EXPECT_TRUE(s->InputOpen);
    EXPECT_TRUE(s->goEnabled);
    EXPECT_EQ(s->segyFileHeader[0], 0x5a);
    EXPECT_EQ(std::vector<unsigned char>(fileHeader.begin() + 1, fileHeader.end()),
              std::vector<unsigned char>(s->segyFileHeader.begin() + 1, s->segyFileHeader.end()));
    EXPECT_EQ(s->segyTraceHeader, traceHeader);
}

TEST(NavExtract, FilesThatCannotBeReadNameThemselves) {
    TempDir dir;
    auto s = std::make_unique<Session>();
    try {
        extractNavFile(*s, dir.file("none.sgy"));
        FAIL();
    } catch (const IoError& e) {
        EXPECT_NE(std::string(e.what()).find(dir.file("none.sgy")), std::string::npos);
    }
    writeTextFile(dir.file("short.sgy"), std::string(1000, 'x'));
    EXPECT_THROW(extractNavFile(*s, dir.file("short.sgy")), IoError);
    EXPECT_FALSE(std::filesystem::exists(dir.file("short.NAV")));
    SynthSegy bad = line(3, true);
    bad.traces[0].set(segy::NumSamples, 0);
    bad.write(dir.file("zero.sgy"));
    EXPECT_THROW(extractNavFile(*s, dir.file("zero.sgy")), IoError);
}

TEST(NavExtract, F3GivesNorthingFirstAndItsLittleEndianTwinTheSameFile) {
    const std::string be = testdataPath("peer/segyio-f3.sgy");
    const std::string le = testdataPath("peer/segyio-f3-lsb.sgy");
    if (be.empty() || le.empty()) GTEST_SKIP() << "shared test data not found";
    TempDir dir;
    std::filesystem::copy_file(be, dir.file("f3.sgy"));
    std::filesystem::copy_file(le, dir.file("f3-lsb.sgy"));
    auto s = std::make_unique<Session>();
    s->HdrSelect.set(10);
    extractNavFile(*s, dir.file("f3.sgy"));
    const std::string big = readTextFile(dir.file("f3.NAV"));
    EXPECT_EQ(big.substr(0, big.find('\n')), "10 0 0 0 0 0 6074239.90000000 620447.10000000 ");
    EXPECT_EQ(lines(big).size(), 41u); // 10 .. 410 of 414 traces
    EXPECT_EQ(s->Edit3, "415");
    s->segy.SEGYRadio = SegyOptions::LittleEndian;
    extractNavFile(*s, dir.file("f3-lsb.sgy"));
    EXPECT_EQ(readTextFile(dir.file("f3-lsb.NAV")), big);
}

TEST(NavExtract, SidePathReplacesTheExtension) {
    EXPECT_EQ(navSidePath("/d/line.sgy"), "/d/line.NAV");
    EXPECT_EQ(navSidePath("/d.x/line"), "/d.x/line.NAV");
    EXPECT_EQ(navSidePath("scan.BMP"), "scan.NAV");
}

namespace {

class NavInput : public InputFile {
public:
    explicit NavInput(bool hasNav) : hasNav_(hasNav) {}
    void rewind(Session&) override {}
    void readRunTrace(Session&, int) override {}
    bool readSingleTrace(Session&, int) override { return false; }
    std::optional<std::string> navRow(const Session&, int shot) const override {
        if (!hasNav_) return std::nullopt;
        return "fix " + std::to_string(shot);
    }

private:
    bool hasNav_;
};

} // namespace

TEST(NavList, ARunOverShots5To24EveryTenAddsRowsFor5_10And20) {
    auto s = std::make_unique<Session>();
    s->input = std::make_unique<NavInput>(true);
    s->shots.StartShot.set(5);
    s->HdrSelect.set(10);
    for (int shot = 5; shot < 25; ++shot) ADD_NAV_FIX(*s, shot);
    EXPECT_EQ(s->RunTraceCount, 3);
    EXPECT_EQ(s->navigationGrid,
              (std::vector<std::string>{kNavHeading, "fix 5", "fix 10", "fix 20"}));

    // A format without navigation counts the rows and leaves their text.
    s->input = std::make_unique<NavInput>(false);
    s->RunTraceCount = 0;
    for (int shot = 5; shot < 25; ++shot) ADD_NAV_FIX(*s, shot);
    EXPECT_EQ(s->RunTraceCount, 3);
    EXPECT_EQ(s->navigationGrid[2], "fix 10");
}

TEST(NavList, SegyRowsCarryTheShotNotTheFieldRecord) {
    TempDir dir;
    line(5, true).write(dir.file("l.sgy"));
    auto s = std::make_unique<Session>();
    openCommand(*s, dir.file("l.sgy"));
    segyOptionsOk(*s);
    s->shots.StartShot.set(3);
    s->input->readRunTrace(*s, 3);
    ADD_NAV_FIX(*s, 3);
    EXPECT_EQ(s->navigationGrid.at(1), "3 2026 142 8 30 3 500.60000000 100.30000000");
}

TEST(NavList, OpeningAFileEmptiesEveryRowOfTheLineBefore) {
    TempDir dir;
    line(5, true).write(dir.file("l.sgy"));
    auto s = std::make_unique<Session>();
    s->navigationGrid = {kNavHeading, "", "", "3 old", "4 old"}; // row 1 empty
    openCommand(*s, dir.file("l.sgy"));
    EXPECT_EQ(s->navigationGrid, (std::vector<std::string>{kNavHeading, "", "", "", ""}));
}
