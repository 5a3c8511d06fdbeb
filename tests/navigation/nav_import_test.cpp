// Navigation files: import with interpolation, saving, and the list's clearing.
#include "core/error.h"
#include "core/session.h"
#include "navigation/nav_file.h"
#include "navigation/nav_list.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <memory>

using namespace tarnix;
using tarnix::test::readTextFile;
using tarnix::test::TempDir;
using tarnix::test::writeTextFile;

namespace {

struct Fixture {
    TempDir dir;
    std::unique_ptr<Session> s = std::make_unique<Session>();
    void import(const std::string& text, const std::string& name = "in.nav") {
        writeTextFile(dir.file(name), text);
        IMPORT_NAV(*s, dir.file(name));
    }
    std::string importError(const std::string& text) {
        try {
            import(text, "bad.nav");
        } catch (const IoError& e) {
            return e.what();
        }
        return "no error";
    }
    const std::string& row(int r) const { return s->navigationGrid.at(r); }
};

} // namespace

TEST(NavImport, FixesTenAndTwentyInterpolateEveryShotBetween) {
    Fixture f;
    f.s->HdrSelect.set(10);
    f.import("10 2024 101 12 30 15 40.0 20.0\n20 2024 101 12 31 15 41.0 21.0\n");
    EXPECT_EQ(f.s->RunTraceCount, 20);
    EXPECT_EQ(f.s->HdrSelect(), 1);
    EXPECT_EQ(f.s->Edit2, "Import Navigation From :" + f.dir.file("in.nav"));
    for (int r = 1; r <= 9; ++r) EXPECT_EQ(f.row(r), "") << r;
    EXPECT_EQ(f.row(15), "15 0 0 0 0 0 40.50000000 20.50000000");
    EXPECT_EQ(f.row(11), "11 0 0 0 0 0 40.10000000 20.10000000");
    // The fixes keep their own time fields.
    EXPECT_EQ(f.row(10), "10 2024 101 12 30 15 40.00000000 20.00000000");
    EXPECT_EQ(f.row(20), "20 2024 101 12 31 15 41.00000000 21.00000000");
    EXPECT_DOUBLE_EQ(f.s->navFixes[15].lat, 40.5);
    EXPECT_EQ(f.s->navFixes[15].shot, kNoFix); // interpolated, not a fix
    EXPECT_EQ(f.s->navFixes[20].second, 15);
    EXPECT_EQ(f.s->navText[15], f.row(15));
    EXPECT_DOUBLE_EQ(f.s->shotPosition[15][0], 20.5); // longitude first
    EXPECT_DOUBLE_EQ(f.s->shotPosition[15][1], 40.5);
    EXPECT_EQ(f.s->navText[9], "");
    EXPECT_EQ(f.s->navFixes[9].shot, kNoFix);
}

TEST(NavImport, EqualLatitudesStayExactAndShotZeroIsCovered) {
    Fixture f;
    f.import("0 0 0 0 0 0 59.123456789 24.1\n7 0 0 0 0 0 59.123456789 24.8\n");
    for (int shot = 0; shot <= 7; ++shot) EXPECT_EQ(f.s->navFixes[shot].lat, 59.123456789) << shot;
    EXPECT_EQ(f.row(3), "3 0 0 0 0 0 59.12345679 24.40000000");
    EXPECT_EQ(f.s->navText[0], "0 0 0 0 0 0 59.12345679 24.10000000");
}

TEST(NavImport, CommentsBlankLinesCrlfAndTabsReadLikeThePlainFile) {
    Fixture plain, messy;
    plain.import("10 1 2 3 4 5 40.0 20.0\n20 1 2 3 4 6 41.0 21.0\n");
    messy.import("\n# line 7\r\n#ship\r\n\r\n10\t1 2  3 4 5 40.0 20.0 trailing words\r\n"
                 "\r\n20 1 2 3 4 6\t41.0\t21.0\r\n\r\n   \n");
    EXPECT_EQ(messy.s->RunTraceCount, 20);
    for (int r = 0; r <= 20; ++r) EXPECT_EQ(messy.row(r), plain.row(r)) << r;
}

TEST(NavImport, LongitudesAcrossZeroGoTheShortWayRound) {
    Fixture f;
    f.import("100 0 0 0 0 0 60.0 359.9\n110 0 0 0 0 0 60.0 0.1\n120 0 0 0 0 0 60.0 359.9\n");
    EXPECT_EQ(f.row(105), "105 0 0 0 0 0 60.00000000 0.00000000");
    EXPECT_EQ(f.row(101), "101 0 0 0 0 0 60.00000000 359.92000000");
    EXPECT_EQ(f.row(109), "109 0 0 0 0 0 60.00000000 0.08000000");
    EXPECT_EQ(f.row(115), "115 0 0 0 0 0 60.00000000 0.00000000");
    for (int shot = 100; shot <= 120; ++shot) {
        EXPECT_GE(f.s->navFixes[shot].lon, 0.0) << shot;
        EXPECT_LT(f.s->navFixes[shot].lon, 360.0) << shot;
    }
    // Eastings are never wrapped.
    Fixture e;
    e.import("0 0 0 0 0 0 6074239.9 620000.0\n4 0 0 0 0 0 6074243.9 620400.0\n");
    EXPECT_EQ(e.row(1), "1 0 0 0 0 0 6074240.90000000 620100.00000000");
}

TEST(NavImport, ASecondImportLeavesNoRowOfTheFirst) {
    Fixture f;
    f.import("5 0 0 0 0 0 1.0 1.0\n100 0 0 0 0 0 2.0 2.0\n", "a.nav");
    f.import("50 0 0 0 0 0 3.0 3.0\n80 0 0 0 0 0 4.0 4.0\n", "b.nav");
    EXPECT_EQ(f.s->RunTraceCount, 80);
    saveNavigation(*f.s, f.dir.file("out.nav"));
    const std::string out = readTextFile(f.dir.file("out.nav"));
    EXPECT_EQ(std::count(out.begin(), out.end(), '\n'), 31);
    EXPECT_EQ(out.substr(0, out.find('\n')), "50 0 0 0 0 0 3.00000000 3.00000000            ");
    for (int r = 81; r <= 100; ++r) EXPECT_EQ(f.row(r), "") << r;
    EXPECT_EQ(f.row(5), "");
    EXPECT_EQ(f.s->navFixes[5].shot, kNoFix);
}

TEST(NavImport, SaveThenImportKeepsEveryFixWithItsTime) {
    Fixture f;
    f.import("2 2026 142 8 30 1 59.85 24.5\n4 2026 142 8 30 9 59.87 24.52\n");
    saveNavigation(*f.s, f.dir.file("out.nav"));
    EXPECT_EQ(f.s->Edit2, "Save Navigation To : " + f.dir.file("out.nav"));
    const std::string saved = readTextFile(f.dir.file("out.nav"));
    const std::string blanks(12, ' ');
    EXPECT_EQ(saved, "2 2026 142 8 30 1 59.85000000 24.50000000" + blanks + "\n" +
                         "3 0 0 0 0 0 59.86000000 24.51000000" + blanks + "\n" +
                         "4 2026 142 8 30 9 59.87000000 24.52000000" + blanks + "\n");
    Fixture again;
    again.import(saved);
    for (int r = 1; r <= 4; ++r) EXPECT_EQ(again.row(r), f.row(r)) << r;
    EXPECT_EQ(again.s->navFixes[4].second, 9);
}

TEST(NavImport, BadLinesStopNamingFileAndLineAndKeepTheLinesBefore) {
    Fixture f;
    const std::string bad = f.dir.file("bad.nav");
    EXPECT_EQ(f.importError("# c\n1 0 0 0 0 0 1.0 1.0\n3 0 0 x 0 0 1.0 1.0\n"),
              bad + ": line 3: the hour 'x' is not an integer");
    EXPECT_EQ(f.row(1), "1 0 0 0 0 0 1.00000000 1.00000000");
    EXPECT_EQ(f.s->navFixes[1].shot, 1);
    EXPECT_EQ(f.s->RunTraceCount, 1);
    EXPECT_EQ(f.s->HdrSelect(), 1);

    EXPECT_EQ(f.importError("1 0 0 0 0 0 1.0 1.0\n5 0 0 0 0 0 2.0 2.0\n4 0 0 0 0 0 3 3\n"),
              bad + ": line 3: shot 4 comes after shot 5; the shots of a file must not go "
                    "backwards");
    // Nothing interpolated from a file that failed.
    EXPECT_EQ(f.row(3), "");
    EXPECT_EQ(f.row(5), "5 0 0 0 0 0 2.00000000 2.00000000");
    EXPECT_EQ(f.s->navText[3], "");

    EXPECT_EQ(f.importError("40001 0 0 0 0 0 1.0 1.0\n"),
              bad + ": line 1: shot 40001 is outside 0 to 40000");
    EXPECT_EQ(f.importError("-1 0 0 0 0 0 1.0 1.0\n"),
              bad + ": line 1: shot -1 is outside 0 to 40000");
    EXPECT_EQ(f.importError("1 0 0 0 0 0 1.0\n"),
              bad + ": line 1: the longitude is missing (a fix has 8 fields)");
    EXPECT_EQ(f.importError("1 0 0 0 0 0 1.0 1,5\n"),
              bad + ": line 1: the longitude '1,5' is not a number");
    EXPECT_EQ(f.importError("1 0 0 0 0 0 1.0 1.0\n# late\n"),
              bad + ": line 2: a \"#\" comment line after the first fix");
    EXPECT_EQ(f.importError("# only a comment\n"), bad + ": no navigation fixes in the file");
    EXPECT_EQ(f.s->RunTraceCount, 0);
    EXPECT_THROW(IMPORT_NAV(*f.s, f.dir.file("missing.nav")), IoError);
}

TEST(NavImport, UnsortedButNeverBackwardsDuplicatesTakeTheLaterLine) {
    Fixture f;
    f.import("3 0 0 0 0 0 1.0 1.0\n3 0 0 0 0 1 2.0 2.0\n6 0 0 0 0 0 5.0 5.0\n");
    EXPECT_EQ(f.row(3), "3 0 0 0 0 1 2.00000000 2.00000000");
    EXPECT_EQ(f.row(4), "4 0 0 0 0 0 3.00000000 3.00000000");
    EXPECT_EQ(f.s->RunTraceCount, 6);
}

TEST(NavList, ClearStopsAfterTheFirstEmptyRowClearAllDoesNot) {
    auto s = std::make_unique<Session>();
    s->navigationGrid = {kNavHeading, "", "b", "c"};
    CLEAR_NAV_GRID(*s);
    EXPECT_EQ(s->navigationGrid, (std::vector<std::string>{kNavHeading, "", "b", "c"}));
    s->navigationGrid = {kNavHeading, "a", "b", "", "d"};
    s->RunTraceCount = 4;
    CLEAR_NAV_GRID(*s);
    EXPECT_EQ(s->navigationGrid, (std::vector<std::string>{kNavHeading, "", "", "", "d"}));
    EXPECT_EQ(s->RunTraceCount, 4);
    clearAllNavRows(*s);
    EXPECT_EQ(s->navigationGrid, (std::vector<std::string>{kNavHeading, "", "", "", ""}));
}

TEST(NavList, SaveSkipsEmptyAndBlankRowsUpToRunTraceCount) {
    TempDir dir;
    auto s = std::make_unique<Session>();
    s->navigationGrid = {kNavHeading, "1 a", "", " 3 blank first", "4 d", "5 past the count"};
    s->RunTraceCount = 4;
    saveNavigation(*s, dir.file("o.nav"));
    EXPECT_EQ(readTextFile(dir.file("o.nav")), "1 a            \n4 d            \n");
    EXPECT_THROW(saveNavigation(*s, dir.file("no/such/dir.nav")), IoError);
}

TEST(NavInterpolation, TheLineThroughTwoFixes) {
    EXPECT_DOUBLE_EQ(interpolateCoordinate(15, 10, 40.0, 20, 41.0), 40.5);
    EXPECT_EQ(interpolateCoordinate(13, 10, 7.25, 20, 7.25), 7.25);
    EXPECT_DOUBLE_EQ(interpolateCoordinate(0, 0, -1.0, 4, 1.0), -1.0);
    std::vector<NavFix> table(8);
    table[2].shot = 2;
    table[2].lat = 1;
    table[6].shot = 6;
    table[6].lat = 3;
    std::vector<int> rows;
    interpolateFixes(table, 5, [&](int shot, double, double) { rows.push_back(shot); });
    EXPECT_TRUE(rows.empty()); // the search for the second fix stops at lastShot
    interpolateFixes(table, 7, [&](int shot, double, double) { rows.push_back(shot); });
    EXPECT_EQ(rows, (std::vector<int>{3, 4, 5}));
    EXPECT_DOUBLE_EQ(table[4].lat, 2.0);
    EXPECT_EQ(table[7].lat, 0.0);
}

TEST(NavImport, AnImageImportsTheNavFileBesideIt) {
    Fixture f;
    writeTextFile(f.dir.file("scan.bmp"), "BM");
    f.s->Edit3 = "before";
    EXPECT_FALSE(importSideNavigation(*f.s, f.dir.file("scan.bmp")));
    EXPECT_EQ(f.s->Edit3, "before");
    writeTextFile(f.dir.file("scan.NAV"), "3 0 0 0 0 0 1.0 2.0\n");
    EXPECT_TRUE(importSideNavigation(*f.s, f.dir.file("scan.bmp")));
    EXPECT_EQ(f.s->Edit3, "NAVFile found :" + f.dir.file("scan.NAV"));
    EXPECT_EQ(f.row(3), "3 0 0 0 0 0 1.00000000 2.00000000");
}

// The fix table is sized by the first import; a fresh session's tables reach
// the last shot the run loop accepts, zeros where nothing was read.
TEST(NavImport, FirstImportReachesTheLastShotOfTheTables) {
    Fixture f;
    EXPECT_EQ(f.s->shotPosition[kMaxShot][0], 0.0);
    EXPECT_EQ(f.s->shotPosition[kMaxShot][1], 0.0);
    EXPECT_EQ(f.s->reflPick[kMaxShot], 0);
    const std::string last = std::to_string(kMaxShot);
    f.import(std::to_string(kMaxShot - 2) + " 2024 101 12 30 15 40.0 20.0\n" + last +
             " 2024 101 12 31 15 41.0 21.0\n");
    ASSERT_EQ(f.s->navFixes.size(), static_cast<size_t>(kShotTableSize));
    EXPECT_EQ(f.s->navFixes[kMaxShot].shot, kMaxShot);
    EXPECT_EQ(f.s->navFixes[kMaxShot - 1].shot, kNoFix); // interpolated
    EXPECT_EQ(f.s->navFixes[0].shot, kNoFix);
    EXPECT_DOUBLE_EQ(f.s->shotPosition[kMaxShot - 1][1], 40.5);
    EXPECT_DOUBLE_EQ(f.s->shotPosition[kMaxShot][0], 21.0);
    EXPECT_EQ(f.s->navText[kMaxShot], "40000 2024 101 12 31 15 41.00000000 21.00000000");
    // A second import starts from an empty table again.
    f.import("3 2024 101 12 30 15 40.0 20.0\n5 2024 101 12 31 15 41.0 21.0\n");
    EXPECT_EQ(f.s->navFixes[kMaxShot].shot, kNoFix);
    EXPECT_EQ(f.s->navFixes[5].shot, 5);
}
