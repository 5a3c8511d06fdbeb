#include "core/error.h"
#include "core/sequence_table.h"
#include "processing/sequence_file.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

using namespace tarnix;
using tarnix::test::readTextFile;
using tarnix::test::TempDir;
using tarnix::test::writeTextFile;

namespace {
void setRow(SequenceTable& t, int row, std::initializer_list<const char*> cells) {
    int c = 0;
    for (const char* s : cells) t.cell(row, c++) = std::string(s);
}
} // namespace

TEST(SequenceFile, SaveWritesHeaderAndEveryCellFollowedByABlank) {
    TempDir dir;
    SequenceTable t;
    setRow(t, 1, {"1", "AGCM", "128"});
    setRow(t, 2, {"2", "FLTM", "10.00", "1000.00", "0", "0", "128", "x"});
    setRow(t, 4, {"4", "NORM"}); // beyond the gap: not saved
    saveSequenceFile(t, dir.file("seq.txt"));
    EXPECT_EQ(readTextFile(dir.file("seq.txt")), "# Module p1 p2 p3 p4 p5 p6 \n"
                                                 "1 AGCM 128      \n"
                                                 "2 FLTM 10.00 1000.00 0 0 128 x \n");

    SequenceTable empty;
    saveSequenceFile(empty, dir.file("empty.txt"));
    EXPECT_EQ(readTextFile(dir.file("empty.txt")), "# Module p1 p2 p3 p4 p5 p6 \n");
}

TEST(SequenceFile, RoundTripKeepsColumnsZeroToSixAndRowsBelow) {
    TempDir dir;
    SequenceTable t;
    setRow(t, 1, {"1", "TMXM", "3", "25", "", "TRUE"});
    setRow(t, 2, {"2", "RCCM", "line.mut", "line.REF", "3", "FALSE", "0.0000072", "p6"});
    setRow(t, 3, {"3", "DECM", "1", "128"});
    saveSequenceFile(t, dir.file("seq.txt"));

    SequenceTable back;
    setRow(back, 3, {"old", "OLD", "a", "b", "c", "d", "e", "keep"});
    setRow(back, 5, {"5", "NORM"});
    back.cell(0, 0) = std::string("x");
    EXPECT_EQ(loadSequenceFile(back, dir.file("seq.txt")), 3);
    EXPECT_EQ(back.cell(0, 0), "#");
    for (int r = 1; r <= 3; ++r)
        for (int c = 0; c <= 6; ++c) EXPECT_EQ(back.cell(r, c), t.cell(r, c)) << r << "," << c;
    EXPECT_EQ(back.cell(2, 7), "");     // column 7 is not read
    EXPECT_EQ(back.cell(3, 7), "keep"); // and keeps what it held
    EXPECT_EQ(back.cell(5, 1), "NORM"); // rows below the loaded ones stay
    EXPECT_EQ(back.rowCount(), 3);
}

TEST(SequenceFile, LineSplitRestartsAtTheStartWhenNoBlankIsLeft) {
    // A path with a blank splits and shifts the columns after it.
    auto c = splitSequenceLine("1 MUTM my line.mut      ");
    EXPECT_EQ(c[1], "MUTM");
    EXPECT_EQ(c[2], "my");
    EXPECT_EQ(c[3], "line.mut");
    EXPECT_EQ(c[6], "");
    // Without trailing blanks the search restarts at position 1.
    auto r = splitSequenceLine("1 FLTM 10.00");
    EXPECT_EQ(r, (std::array<std::string, 7>{"1", "FLTM", "", "1", "FLTM", "", "1"}));
    auto e = splitSequenceLine("");
    for (auto& s : e) EXPECT_EQ(s, "");
}

TEST(SequenceFile, LoadOfAFileWithABlankInAPath) {
    TempDir dir;
    writeTextFile(dir.file("seq.txt"), "# Module p1 p2 p3 p4 p5 p6 \n"
                                       "1 SWELL /data/sea floor.dgt 10     \n"
                                       "2 AGCM 128\n");
    SequenceTable t;
    EXPECT_EQ(loadSequenceFile(t, dir.file("seq.txt")), 2);
    EXPECT_EQ(t.cell(1, 2), "/data/sea");
    EXPECT_EQ(t.cell(1, 3), "floor.dgt");
    EXPECT_EQ(t.cell(1, 4), "10");
    EXPECT_EQ(t.cell(2, 1), "AGCM");
    EXPECT_EQ(t.cell(2, 2), "");  // "128" has no blank after it
    EXPECT_EQ(t.cell(2, 3), "2"); // restart at the line's start
    EXPECT_EQ(t.cell(2, 4), "AGCM");
}

TEST(SequenceFile, FailuresLeaveTheTableAlone) {
    TempDir dir;
    SequenceTable t;
    setRow(t, 1, {"1", "AGCM", "128"});
    EXPECT_THROW(loadSequenceFile(t, dir.file("missing.txt")), IoError);
    EXPECT_THROW(saveSequenceFile(t, dir.file("no/such/dir/seq.txt")), IoError);
    EXPECT_EQ(t.cell(1, 1), "AGCM");
    EXPECT_EQ(t.cell(0, 0), "#");

    // More lines than the table has rows: the first 49 are loaded, then an error.
    std::string text = "header\n";
    for (int i = 1; i <= 52; ++i) text += std::to_string(i) + " NORM       \n";
    writeTextFile(dir.file("long.txt"), text);
    EXPECT_THROW(loadSequenceFile(t, dir.file("long.txt")), IoError);
    EXPECT_EQ(t.cell(49, 0), "49");
    EXPECT_EQ(t.rowCount(), 49);
}
