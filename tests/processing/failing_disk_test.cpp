// Outputs on a disk that is full: each writer's row ends the run with a message
// naming the file, and the other outputs keep everything written before.
#include "core/defaults_file.h"
#include "core/error.h"
#include "core/session.h"
#include "formats/trace_text.h"
#include "navigation/map_box.h"
#include "navigation/nav_file.h"
#include "processing/processor.h"
#include "processing/sequence_file.h"
#include "support/line_fixture.h"
#include "support/temp_dir.h"

#include <filesystem>
#include <gtest/gtest.h>

using namespace tarnix;
using namespace tarnix::test;

namespace {

constexpr int kTraces = 6, kSamples = 50;
constexpr int kSegyTraceBytes = 240 + 2 * kSamples;

// Records the run state the window shows.
class StateHooks : public RunHooks {
public:
    void runState(bool on) override { states.push_back(on); }
    std::vector<bool> states;
};

struct Line {
    TempDir dir;
    std::unique_ptr<Session> s;
    Line() {
        const std::string path = writeLine(dir, "line.sgy", kTraces, kSamples,
                                           [](int k, int i) { return (k + 1) * 100 + i; });
        writeTextFile(dir.file("sea.mut"), "1 10\n5 20\n");
        s = openLine(path, kSamples, 1, kTraces);
    }
    RunResult run(StateHooks& hooks) {
        Processor p(*s);
        return p.run(hooks);
    }
};

void expectEndedCleanly(const Line& l, const RunResult& r, const StateHooks& hooks) {
    EXPECT_EQ(r.end, RunEnd::Failed);
    EXPECT_NE(r.message.find("/dev/full"), std::string::npos) << r.message;
    bool reported = false;
    for (const auto& m : l.s->Memo2) reported |= m.find("/dev/full") != std::string::npos;
    EXPECT_TRUE(reported);
    EXPECT_FALSE(l.s->OutputSegyOpen);
    EXPECT_FALSE(l.s->OutputKorvaOpen);
    EXPECT_FALSE(l.s->OutputOpen);
    EXPECT_FALSE(l.s->segyOut || l.s->korvaOut || l.s->asciiOut || l.s->refOut);
    ASSERT_FALSE(hooks.states.empty());
    EXPECT_FALSE(hooks.states.back());
}

long long sizeOf(const std::string& path) {
    std::error_code ec;
    const auto n = std::filesystem::file_size(path, ec);
    return ec ? -1 : static_cast<long long>(n);
}

} // namespace

TEST(FailingDisk, SegyAndKorvaOutputsStopAtTheFirstTraceAndKeepTheOtherFile) {
    {
        Line l;
        const std::string korva = l.dir.file("good.d02");
        setRows(*l.s, {{"WKORVA2", korva, "1"}, {"WSEG", "/dev/full", "BE", "2"}});
        StateHooks hooks;
        const RunResult r = l.run(hooks);
        expectEndedCleanly(l, r, hooks);
        EXPECT_EQ(r.finalShot, 1);
        EXPECT_EQ(sizeOf(korva), 33056); // the record of the shot that failed
    }
    {
        Line l;
        const std::string segy = l.dir.file("good.sgy");
        setRows(*l.s, {{"WSEG", segy, "BE", "2"}, {"WKORVA2", "/dev/full", "1"}});
        StateHooks hooks;
        const RunResult r = l.run(hooks);
        expectEndedCleanly(l, r, hooks);
        EXPECT_NE(r.message.find("record 1"), std::string::npos) << r.message;
        EXPECT_EQ(sizeOf(segy), 3600 + kSegyTraceBytes);
    }
}

TEST(FailingDisk, AsciiAndReflectivityOutputsNameTheFileAndKeepTheSegyCopy) {
    {
        Line l;
        const std::string segy = l.dir.file("good.sgy");
        setRows(*l.s, {{"WSEG", segy, "LE", "2"}, {"WASCII", "/dev/full", "1"}});
        StateHooks hooks;
        const RunResult r = l.run(hooks);
        expectEndedCleanly(l, r, hooks);
        EXPECT_GE(sizeOf(segy), 3600 + kSegyTraceBytes);
    }
    {
        // The reflectivity lines are buffered: the full disk shows at the close,
        // after every trace went into the SEG-Y copy.
        Line l;
        const std::string segy = l.dir.file("good.sgy");
        setRows(*l.s, {{"WSEG", segy, "BE", "2"},
                       {"RCCM", l.dir.file("sea.mut"), "/dev/full", "2", "FALSE", "1"}});
        StateHooks hooks;
        const RunResult r = l.run(hooks);
        expectEndedCleanly(l, r, hooks);
        EXPECT_EQ(sizeOf(segy), 3600 + (kTraces - 1) * kSegyTraceBytes);
    }
}

// The Saves behind the windows' menus: a full disk, or a directory that cannot
// take the file (a regular file in the way; a read-only directory does not stop
// root, who runs the tests here), is an IoError naming the file, never success.
TEST(FailingDisk, SavesNameTheFileTheyCouldNotWrite) {
    Line l;
    setRows(*l.s, {{"DBAS"}});
    l.s->navigationGrid.at(1) = "1 2020 5 1 2 3 40.5 29.5";
    l.s->RunTraceCount = 1;
    const std::string blocked = l.dir.file("sea.mut") + "/out";
    for (const std::string& path : {std::string("/dev/full"), blocked}) {
        auto refused = [&](auto save) {
            try {
                save();
            } catch (const IoError& e) {
                return std::string(e.what()).find(path) != std::string::npos;
            }
            return false;
        };
        EXPECT_TRUE(refused([&] { saveSequenceFile(l.s->sequence, path); })) << path;
        EXPECT_TRUE(refused([&] { saveNavigation(*l.s, path); })) << path;
        EXPECT_TRUE(refused([&] { saveDefaults(*l.s, path); })) << path;
        EXPECT_TRUE(refused([&] { saveBoundaryFile(path, l.s->mapLimits); })) << path;
        EXPECT_TRUE(refused([&] { saveTraceAscii(path, l.s->current, kSamples, 1); })) << path;
    }
}
