// tarnix-run's navigation options: extraction, import, saving and the fix interval.
#include "support/run_tool.h"
#include "support/temp_dir.h"

#include <algorithm>
#include <filesystem>
#include <gtest/gtest.h>

using tarnix::test::readTextFile;
using tarnix::test::TempDir;
using tarnix::test::testdataPath;
using tarnix::test::writeTextFile;

namespace {

tarnix::test::ToolResult run(const TempDir& dir, const std::string& args) {
    return tarnix::test::runTarnixRun(dir, args, "XDG_CACHE_HOME=" + dir.path().string());
}

std::string firstLine(const std::string& text) {
    return text.substr(0, text.find('\n'));
}

long lineCount(const std::string& text) {
    return std::count(text.begin(), text.end(), '\n');
}

} // namespace

TEST(TarnixRunNav, ExtractsEverySegyFileGivenAndSkipsOtherNames) {
    const std::string be = testdataPath("peer/segyio-f3.sgy");
    const std::string le = testdataPath("peer/segyio-f3-lsb.sgy");
    if (be.empty() || le.empty()) GTEST_SKIP() << "shared test data not found";
    TempDir dir;
    std::filesystem::copy_file(be, dir.file("f3.sgy"));
    std::filesystem::copy_file(be, dir.file("g.SEG"));
    std::filesystem::copy_file(le, dir.file("f3-lsb.sgy"));
    writeTextFile(dir.file("b.NAV"), "kept\n");
    auto r = run(dir, "--extract-nav --hdr-select 10 " + dir.file("f3.sgy") + " " +
                          dir.file("b.NAV") + " " + dir.file("g.SEG"));
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err,
              "tarnix-run: " + dir.file("b.NAV") + ": not a SEG-Y name (.seg, .sgy), skipped\n");
    const std::string f3 = readTextFile(dir.file("f3.NAV"));
    EXPECT_EQ(firstLine(f3), "10 0 0 0 0 0 6074239.90000000 620447.10000000 ");
    EXPECT_EQ(readTextFile(dir.file("g.NAV")), f3);
    EXPECT_EQ(readTextFile(dir.file("b.NAV")), "kept\n");

    r = run(dir, "--extract-nav --little-endian --hdr-select 10 " + dir.file("f3-lsb.sgy"));
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(readTextFile(dir.file("f3-lsb.NAV")), f3);
}

TEST(TarnixRunNav, ImportsInOrderAndSavesWithoutARun) {
    TempDir dir;
    writeTextFile(dir.file("a.nav"), "5 0 0 0 0 0 1.0 1.0\n100 0 0 0 0 0 2.0 2.0\n");
    writeTextFile(dir.file("b.nav"), "# second\n50 2026 1 2 3 4 3.0 3.0\n52 0 0 0 0 0 3.5 3.5\n");
    auto r = run(dir, "--demo --import-nav " + dir.file("a.nav") + " --import-nav " +
                          dir.file("b.nav") + " --save-nav " + dir.file("out.nav"));
    ASSERT_EQ(r.status, 0) << r.err;
    const std::string blanks(12, ' ');
    EXPECT_EQ(readTextFile(dir.file("out.nav")),
              "50 2026 1 2 3 4 3.00000000 3.00000000" + blanks + "\n" +
                  "51 0 0 0 0 0 3.25000000 3.25000000" + blanks + "\n" +
                  "52 0 0 0 0 0 3.50000000 3.50000000" + blanks + "\n");
}

TEST(TarnixRunNav, SaveAfterTheRunUsesTheFixInterval) {
    TempDir dir;
    auto r = run(dir, "--demo --report --hdr-select 100 --save-nav " + dir.file("out.nav"));
    ASSERT_EQ(r.status, 0) << r.err;
    const std::string nav = readTextFile(dir.file("out.nav"));
    EXPECT_EQ(lineCount(nav), 12); // shots 0, 100, ..., 1100
    EXPECT_EQ(firstLine(nav), "0 2026 142 8 30 0 59.85000000 24.50000000            ");

    // An import sets the interval to 1: the run then records every shot.
    writeTextFile(dir.file("a.nav"), "1 0 0 0 0 0 1.0 1.0\n");
    r = run(dir, "--demo --report --shots 0:30 --import-nav " + dir.file("a.nav") + " --save-nav " +
                     dir.file("every.nav"));
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(lineCount(readTextFile(dir.file("every.nav"))), 30);
}

TEST(TarnixRunNav, BadNavigationFilesAndArguments) {
    TempDir dir;
    writeTextFile(dir.file("bad.nav"), "1 0 0 0 0 0 1.0 1.0\n2 0 0 0 0 0 1.0 north\n");
    auto r = run(dir, "--demo --import-nav " + dir.file("bad.nav"));
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "tarnix-run: " + dir.file("bad.nav") +
                         ": line 2: the longitude 'north' is not a number\n");
    r = run(dir, "--demo --import-nav " + dir.file("none.nav"));
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find(dir.file("none.nav")), std::string::npos);
    for (const std::string& bad :
         {std::string("--demo --hdr-select 0"), std::string("--demo --hdr-select x"),
          "--extract-nav --report " + dir.file("a.sgy"),
          "--extract-nav --save-nav o " + dir.file("a.sgy"),
          dir.file("a.sgy") + " " + dir.file("b.sgy")}) {
        r = run(dir, bad);
        EXPECT_EQ(r.status, 2) << bad;
    }
}
