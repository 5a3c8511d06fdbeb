#include "core/error.h"
#include "formats/pick_file.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>
#include <memory>

using namespace tarnix;
using tarnix::test::TempDir;
using tarnix::test::writeTextFile;

namespace {

struct Picks {
    TempDir dir;
    std::unique_ptr<PickTable> table = std::make_unique<PickTable>();
    void read(int row, const std::string& text) {
        std::string name = std::to_string(row);
        name += ".mut";
        const std::string path = dir.file(name);
        writeTextFile(path, text);
        table->read(row, path);
    }
    double t(int row, int shot) const { return table->time(row, shot); }
};

} // namespace

TEST(PickFile, TwoPicksHoldTheEndsAndTheLineBetween) {
    Picks p;
    p.read(3, "10 20.000000\n20 40.000000\n");
    for (int k : {0, 1, 9, 10}) EXPECT_EQ(p.t(3, k), 20.0) << k;
    EXPECT_DOUBLE_EQ(p.t(3, 15), 30.0);
    EXPECT_DOUBLE_EQ(p.t(3, 11), 22.0);
    for (int k : {20, 21, 40000}) EXPECT_EQ(p.t(3, k), 40.0) << k;
    EXPECT_EQ(p.table->minTime(3), 20.0);
    EXPECT_EQ(p.table->maxTime(3), 40.0);
    // Other rows read nothing.
    EXPECT_EQ(p.t(2, 15), 0.0);
    EXPECT_EQ(p.t(4, 15), 0.0);
}

TEST(PickFile, ClickOrderBlankLinesAndDigitizingLines) {
    Picks p;
    // Clicked right to left, with blank lines and the file's last line end.
    p.read(1, "\n20 40.0\n\n   \n10 20.0\n\n");
    EXPECT_EQ(p.t(1, 5), 20.0);
    EXPECT_DOUBLE_EQ(p.t(1, 15), 30.0);
    EXPECT_EQ(p.t(1, 30), 40.0);
    // A line's shot is its first number and its time its last: digitizing lines
    // carry the navigation text between them.
    p.read(2, "12 2026 142 8 30 0 59.85000000 24.50000000 35.500000\r\n"
              "16 2026 142 8 30 4 59.85100000 24.50100000 43.500000\r\n");
    EXPECT_EQ(p.t(2, 0), 35.5);
    EXPECT_DOUBLE_EQ(p.t(2, 14), 39.5);
    EXPECT_EQ(p.t(2, 17), 43.5);
    // A "0 0" line is shot 0 without a pick, not the file's last shot.
    p.read(4, "5 10.0\n9 30.0\n0 0\n");
    EXPECT_EQ(p.t(4, 0), 0.0);
    EXPECT_EQ(p.t(4, 2), 0.0); // between shot 0 (no pick) and the first pick
    EXPECT_DOUBLE_EQ(p.t(4, 7), 20.0);
    EXPECT_EQ(p.t(4, 100), 30.0);
    EXPECT_EQ(p.table->maxTime(4), 30.0);
    EXPECT_EQ(p.table->minTime(4), 0.0);
}

TEST(PickFile, ZeroTimesAreGapsAndEqualPicksStayFlat) {
    Picks p;
    p.read(7, "1 20\n3 0\n5 60\n8 60\n");
    EXPECT_DOUBLE_EQ(p.t(7, 3), 40.0);
    EXPECT_DOUBLE_EQ(p.t(7, 2), 30.0);
    EXPECT_EQ(p.t(7, 6), 60.0);
    EXPECT_EQ(p.t(7, 7), 60.0);
    // The picks themselves keep their times exactly.
    p.read(8, "0 0.1\n3 0.7\n");
    EXPECT_EQ(p.t(8, 0), 0.1);
    EXPECT_EQ(p.t(8, 3), 0.7);
    EXPECT_NEAR(p.t(8, 1), 0.3, 1e-15);
}

TEST(PickFile, ASecondFileReplacesTheRow) {
    Picks p;
    p.read(5, "10 20\n30 80\n");
    p.read(5, "40 50\n50 70\n");
    EXPECT_EQ(p.t(5, 20), 50.0); // before the second file's first pick
    EXPECT_EQ(p.t(5, 30), 50.0);
    EXPECT_DOUBLE_EQ(p.t(5, 45), 60.0);
    EXPECT_EQ(p.table->minTime(5), 50.0);
    EXPECT_EQ(p.table->maxTime(5), 70.0);
}

TEST(PickFile, BadFilesAreRefusedWithTheirLineAndLeaveTheRowEmpty) {
    Picks p;
    p.read(6, "1 10\n2 20\n");
    auto failure = [&](const std::string& text) {
        try {
            p.read(6, text);
        } catch (const IoError& e) {
            return std::string(e.what());
        }
        return std::string("no error");
    };
    EXPECT_NE(failure("1 10\n40001 5\n").find("line 2: shot 40001 is outside"), std::string::npos);
    EXPECT_EQ(p.t(6, 1), 0.0);
    EXPECT_NE(failure("1 10\nx 5\n").find("line 2: 'x' is not a shot number"), std::string::npos);
    EXPECT_NE(failure("1 10\n\n3\n").find("line 3: a shot number and a time"), std::string::npos);
    EXPECT_NE(failure("1 10ms\n").find("'10ms' is not a time"), std::string::npos);
    EXPECT_NE(failure("\n\n").find("holds no picks"), std::string::npos);
    // Finite as extended precision, infinite as the table's double.
    EXPECT_NE(failure("1 10\n2 2.0e00615\n").find("line 2: the time '2.0e00615' is beyond"),
              std::string::npos);
    EXPECT_NE(failure("1 -1e309\n").find("line 1:"), std::string::npos);
    EXPECT_THROW(p.table->read(6, p.dir.file("missing.mut")), IoError);
    EXPECT_THROW(p.table->read(51, p.dir.file("6.mut")), Error);
    EXPECT_THROW(p.table->time(0, 1), Error);
    EXPECT_THROW(p.table->time(1, 40001), Error);
}

TEST(PickFile, PickSampleTruncatesTowardZero) {
    Picks p;
    p.read(1, "1 5\n2 1.05\n3 0.25\n");
    EXPECT_EQ(pickSample(*p.table, 1, 1, 0, 10), 50);
    EXPECT_EQ(pickSample(*p.table, 1, 2, 2, 10), -9);  // -9.5
    EXPECT_EQ(pickSample(*p.table, 1, 3, 0, 7.8L), 1); // 1.95
    EXPECT_EQ(pickSample(*p.table, 1, 1, 0, 1e30L), 1000000000000000LL);
}
