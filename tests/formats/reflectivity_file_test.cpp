// Reflectivity file lines: the layout the coefficient row writes, read back as
// the Reflectivity page and the map viewer read it.
#include "core/error.h"
#include "formats/reflectivity_file.h"
#include "support/temp_dir.h"

#include <algorithm>
#include <gtest/gtest.h>

using namespace tarnix;
using tarnix::test::readTextFile;
using tarnix::test::TempDir;
using tarnix::test::writeTextFile;

namespace {

// A SEG-Y position text: each field followed by a blank.
const char* kPosition = "17 2026 142 8 30 5 59.85000000 24.50000000 ";

} // namespace

TEST(ReflectivityFile, LineLayoutAndRoundTrip) {
    EXPECT_EQ(reflectivityLine(kPosition, 0.5L, 37.5L),
              "17 2026 142 8 30 5 59.85000000 24.50000000  0.5000000000 37.50");
    // Minimum widths: 5 characters for the coefficient, 3 for the depth.
    EXPECT_EQ(reflectivityLine("1 ", 0, 0), "1  0.0000000000 0.00");
    EXPECT_EQ(reflectivityLine("1 ", -0.25L, 1234.567L), "1  -0.2500000000 1234.57");

    const ReflectivityRecord r =
        parseReflectivityLine(reflectivityLine(kPosition, 0.0123456789L, 37.126L));
    EXPECT_EQ(r.shot(), 17);
    EXPECT_EQ(r.fields[1], 2026);
    EXPECT_EQ(r.fields[5], 5);
    EXPECT_DOUBLE_EQ(r.lat, 59.85);
    EXPECT_DOUBLE_EQ(r.lon, 24.5);
    EXPECT_DOUBLE_EQ(r.coefficient, 0.0123456789);
    ASSERT_TRUE(r.depth.has_value());
    EXPECT_DOUBLE_EQ(*r.depth, 37.13); // written with 2 decimals
}

TEST(ReflectivityFile, ReadersTakeNineFieldsAndIgnoreTheRest) {
    // Three decimals are enough (no depth); words after the depth are ignored.
    ReflectivityRecord r = parseReflectivityLine("3 2026 1 0 0 0 1.5 2.5 0.4");
    EXPECT_DOUBLE_EQ(r.coefficient, 0.4);
    EXPECT_FALSE(r.depth.has_value());
    r = parseReflectivityLine("\t3 2026 1 0 0 0 1.5 2.5 0.4 12.00 extra words\r");
    EXPECT_DOUBLE_EQ(*r.depth, 12);
    r = parseReflectivityLine("3 2026 1 0 0 0 1.5 2.5 0.4 note");
    EXPECT_FALSE(r.depth.has_value());

    auto message = [](const std::string& line) {
        try {
            parseReflectivityLine(line);
        } catch (const IoError& e) {
            return std::string(e.what());
        }
        return std::string("no error");
    };
    EXPECT_EQ(message("3 2026 1 0 0 0.5 1.5 2.5 0.4"), "'0.5' is not a number (second, field 6)");
    EXPECT_EQ(message("3 2026 1 0 0 0 1.5 2.5"), "the coefficient (field 9) is missing");
    EXPECT_EQ(message("x"), "'x' is not a number (shot, field 1)");
}

TEST(ReflectivityFile, FileReaderSkipsBlankLinesAndNamesTheLine) {
    TempDir dir;
    writeTextFile(dir.file("a.ref"),
                  "1 2026 1 0 0 0 1 2 0.1 3.00\n\n2 2026 1 0 0 1 1 2 0.25 3.10\n");
    const auto recs = readReflectivityFile(dir.file("a.ref"));
    ASSERT_EQ(recs.size(), 2u);
    EXPECT_EQ(recs[1].shot(), 2);
    EXPECT_EQ(recs[1].line, 2); // grid rows count the blank line
    EXPECT_DOUBLE_EQ(recs[1].coefficient, 0.25);
    std::vector<ReflectivityRecord> text;
    parseReflectivityText("# made by hand\r\n5 2020 5 1 2 3 40.5 29.5 0.3\r\n", "t.ref", text);
    ASSERT_EQ(text.size(), 1u);
    EXPECT_EQ(text[0].line, 1);
    EXPECT_DOUBLE_EQ(text[0].lon, 29.5);

    writeTextFile(dir.file("b.ref"), "1 2026 1 0 0 0 1 2 0.1\n1 2026 1 0 0 0 1 2 zero\n");
    try {
        readReflectivityFile(dir.file("b.ref"));
        FAIL() << "a bad line was read";
    } catch (const IoError& e) {
        EXPECT_EQ(std::string(e.what()),
                  dir.file("b.ref") + ", line 2: 'zero' is not a number (coefficient, field 9)");
    }
    EXPECT_THROW(readReflectivityFile(dir.file("none.ref")), IoError);
}

TEST(ReflectivityFile, OutputIsBufferedWholeAndReportsAFailedWrite) {
    TempDir dir;
    writeTextFile(dir.file("old.ref"), "left over from an earlier run\n");
    {
        ReflectivityOutput out(dir.file("old.ref"));
        // Enough lines to pass the buffer several times.
        for (int k = 0; k < 5000; ++k) out.append(std::to_string(k) + " 2026 1 0 0 0 1 2 ", k, 1);
        out.close();
        EXPECT_EQ(out.lines(), 5000);
        out.close(); // a second close does nothing
        EXPECT_THROW(out.append("1 ", 0, 0), IoError);
    }
    const std::string text = readTextFile(dir.file("old.ref"));
    EXPECT_EQ(text.substr(0, 37), "0 2026 1 0 0 0 1 2  0.0000000000 1.00");
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 5000);
    const auto recs = readReflectivityFile(dir.file("old.ref"));
    ASSERT_EQ(recs.size(), 5000u);
    EXPECT_EQ(recs[4999].shot(), 4999);
    EXPECT_DOUBLE_EQ(recs[4999].coefficient, 4999);

    EXPECT_THROW(ReflectivityOutput(dir.file("no/such/dir/x.ref")), IoError);
    // A device that takes no data: the buffered lines fail at close, not silently.
    ReflectivityOutput full("/dev/full");
    full.append("1 ", 0.5L, 1);
    EXPECT_THROW(full.close(), IoError);
}
