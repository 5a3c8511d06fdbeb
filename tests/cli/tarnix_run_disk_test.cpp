// tarnix-run on a full disk: the command fails naming the file, and the other
// outputs of the run keep what they got.
#include "support/line_fixture.h"
#include "support/run_tool.h"
#include "support/temp_dir.h"

#include <filesystem>
#include <gtest/gtest.h>

using namespace tarnix::test;

TEST(TarnixRunDisk, FullDiskUnderWkorva2FailsNamingItAndKeepsTheSegyCopy) {
    TempDir dir;
    const std::string line =
        writeLine(dir, "line.sgy", 4, 50, [](int k, int i) { return (k + 1) * 10 + i; });
    writeTextFile(dir.file("s.seq"), "# Module p1 p2 p3 p4 p5 p6 \n1 WSEG " + dir.file("copy.sgy") +
                                         " BE 2    \n2 WKORVA2 /dev/full 1     \n");
    const ToolResult r = runTarnixRun(dir, "--sequence " + dir.file("s.seq") +
                                               " --window 0:50 --shots 0:4 --report " + line);
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("/dev/full"), std::string::npos) << r.err;
    EXPECT_EQ(std::filesystem::file_size(dir.file("copy.sgy")), 3600u + 240 + 2 * 50);
}
