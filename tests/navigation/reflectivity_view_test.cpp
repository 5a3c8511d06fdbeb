// The Reflectivity page's logic: rows, MAX and MIN, the curve by line number,
// the read-out and the click, the pick table and SAVE.
#include "core/error.h"
#include "core/session.h"
#include "navigation/reflectivity_view.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <memory>

using namespace tarnix;
using tarnix::test::readTextFile;
using tarnix::test::TempDir;
using tarnix::test::writeTextFile;

namespace {

std::string refLine(long long shot, const char* c) {
    return std::to_string(shot) + " 2026 142 8 30 0 59.85000000 24.50000000  " + c + " 37.50\n";
}

struct RefPage : ::testing::Test {
    TempDir dir;
    std::unique_ptr<Session> s = std::make_unique<Session>();
    ReflectivityPage open(const std::string& name, const std::string& text) {
        writeTextFile(dir.file(name), text);
        return openReflectivityPage(*s, dir.file(name));
    }
};

} // namespace

TEST_F(RefPage, ThreeLinesGiveMaxMinAndTheWorkedCurve) {
    const ReflectivityPage p = open(
        "three.ref", refLine(1, "0.1000000000") + refLine(2, "0.2500000000") + refLine(3, "0.4"));
    EXPECT_EQ(p.fileName, "three.ref");
    EXPECT_EQ(p.rows.size(), 3u);
    EXPECT_EQ(p.maxText, "0.400000");
    EXPECT_EQ(p.minText, "0.100000"); // from the first value, not from 0
    EXPECT_TRUE(p.error.empty());
    EXPECT_EQ(p.width(), 3);
    const std::vector<CurvePoint> c = reflectivityCurve(p, 170);
    ASSERT_EQ(c.size(), 4u);
    EXPECT_EQ(c[0].x, 0);
    EXPECT_EQ(c[0].y, 0);
    EXPECT_EQ(c[1].x, 1);
    EXPECT_EQ(c[1].y, 128); // 170 - trunc(42.5)
    EXPECT_EQ(c[2].x, 2);
    EXPECT_EQ(c[2].y, 64); // 170 - trunc(106.25)
    // The read-out and the click mean the same line: x = 2 is shot 2's row.
    EXPECT_EQ(p.readout(2), "Shot (2)");
    EXPECT_EQ(p.rowAt(2), 1);
    EXPECT_EQ(p.rowAt(0), 0);
    EXPECT_EQ(p.rowAt(99), 2);
    EXPECT_EQ(s->reflPick[2], 1);
    EXPECT_EQ(s->reflPick[3], 2);
}

TEST_F(RefPage, FieldRecordsPastTheTablesAndFlatFilesDoNotBreakIt) {
    s->reflPick[7] = 5;
    // Field record numbers 50,001 and 2,000,000: one column per line all the same.
    ReflectivityPage p = open("big.ref", refLine(50001, "0.2") + "\n" + refLine(2000000, "0.3"));
    EXPECT_EQ(p.width(), 2);
    EXPECT_EQ(p.rows.size(), 3u);
    EXPECT_EQ(p.readout(2), "Shot (2000000)");
    EXPECT_EQ(p.rowAt(2), 2);     // the blank row is counted in the grid
    EXPECT_EQ(s->reflPick[7], 0); // the table is emptied on every open

    // All zero, or all negative: flat on the bottom row, MAX from the first value.
    for (const char* c : {"0.0", "-0.25"}) {
        p = open("flat.ref", refLine(1, c) + refLine(2, c));
        const std::vector<CurvePoint> curve = reflectivityCurve(p, 170);
        ASSERT_EQ(curve.size(), 3u);
        for (const CurvePoint& pt : curve) EXPECT_EQ(pt.y, 169) << c;
        EXPECT_EQ(p.maxText, std::string(c[0] == '-' ? "-0.250000" : "0.000000"));
    }
    // A negative value beside positive ones stays near the bitmap.
    p = open("mixed.ref", refLine(1, "1e-9") + refLine(2, "-1000"));
    EXPECT_EQ(reflectivityCurve(p, 170)[2].y, 340);
    EXPECT_EQ(p.minText, "-1000.000000");
}

TEST_F(RefPage, ABadLineKeepsTheRowsAndTheLinesBeforeIt) {
    const ReflectivityPage p =
        open("bad.ref", refLine(1, "0.5") + "2 2026 1 0 0 0 1.0 2.0 x\n" + refLine(3, "0.7"));
    EXPECT_EQ(p.rows.size(), 3u);
    EXPECT_EQ(p.records.size(), 1u);
    EXPECT_NE(p.error.find("line 2"), std::string::npos) << p.error;
    EXPECT_EQ(p.maxText, "0.500000");
    EXPECT_THROW(openReflectivityPage(*s, dir.file("none.ref")), IoError);
    const ReflectivityPage empty = open("empty.ref", "");
    EXPECT_EQ(empty.width(), 0);
    EXPECT_EQ(empty.readout(3), "");
    EXPECT_EQ(empty.rowAt(3), -1);
}

TEST_F(RefPage, SaveWritesTheNonEmptyRowsAndCountsThem) {
    const std::vector<std::string> rows = {"a 1", "", "b 2", "c 3"};
    EXPECT_EQ(saveReflectivityRows(rows, dir.file("out.ref")), 3);
    EXPECT_EQ(readTextFile(dir.file("out.ref")), "a 1\nb 2\nc 3\n");
    EXPECT_EQ(savedRowsText(3), "Saved 3 rows");
    EXPECT_THROW(saveReflectivityRows(rows, dir.file("no/dir/x.ref")), IoError);
}
