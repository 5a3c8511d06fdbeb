#include "core/defaults_file.h"
#include "core/error.h"
#include "core/session.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>
#include <optional>

using namespace tarnix;
using tarnix::test::readTextFile;
using tarnix::test::TempDir;
using tarnix::test::writeTextFile;

namespace {

// HOME pointed somewhere else (or removed) for one test.
class HomeOverride {
public:
    explicit HomeOverride(const char* value) {
        if (const char* old = std::getenv("HOME")) old_ = old;
        if (value)
            setenv("HOME", value, 1);
        else
            unsetenv("HOME");
    }
    ~HomeOverride() {
        if (old_)
            setenv("HOME", old_->c_str(), 1);
        else
            unsetenv("HOME");
    }

private:
    std::optional<std::string> old_;
};

struct Values {
    int palette, nvp, rep, grid, shotFreq, timeFreq, sound, start, end, drag;
};

Values values(const Session& s) {
    const DisplaySettings& d = s.display;
    return {
        d.PaletteBar(),     d.NVP(),        d.Rep(),      d.Grid(),     d.ShotFreq(), d.TimeFreq(),
        d.SoundSpeedEdit(), s.StartSweep(), s.EndSweep(), d.DragWidth()};
}

void expectStartValues(const Session& s) {
    Values v = values(s);
    EXPECT_EQ(v.palette, 0);
    EXPECT_EQ(v.nvp, 100);
    EXPECT_EQ(v.rep, 1);
    EXPECT_EQ(v.grid, 0);
    EXPECT_EQ(v.shotFreq, 50);
    EXPECT_EQ(v.timeFreq, 10);
    EXPECT_EQ(v.sound, 100);
    EXPECT_EQ(v.start, 0);
    EXPECT_EQ(v.end, 100);
    EXPECT_EQ(v.drag, 40);
}

} // namespace

TEST(DefaultsFile, PathFollowsHomeAndIsEmptyWithoutIt) {
    {
        HomeOverride home("/home/surveyor");
        EXPECT_EQ(defaultsFilePath(), "/home/surveyor/.tarnix_defaults");
    }
    {
        HomeOverride home("");
        EXPECT_EQ(defaultsFilePath(), "");
    }
    {
        HomeOverride home(nullptr);
        EXPECT_EQ(defaultsFilePath(), "");
    }
}

TEST(DefaultsFile, NoFileKeepsTheDesignedStartValuesAndNumbersUseADecimalPoint) {
    TempDir dir;
    HomeOverride home(dir.path().c_str());
    std::setlocale(LC_NUMERIC, "C.UTF-8"); // as the toolkit leaves it: the user's locale
    auto s = std::make_unique<Session>();
    EXPECT_FALSE(INIT_VARIABLES(*s));
    expectStartValues(*s);
    EXPECT_STREQ(std::setlocale(LC_NUMERIC, nullptr), "C");
}

TEST(DefaultsFile, SavedValuesComeBackAtTheNextStart) {
    TempDir dir;
    HomeOverride home(dir.path().c_str());
    {
        auto s = std::make_unique<Session>();
        s->display.PaletteBar.set(8);
        s->display.NVP.set(1000);
        s->display.Rep.set(4);
        s->display.SoundSpeedEdit.set(1500);
        s->StartSweep.set(20);
        s->EndSweep.set(250);
        s->display.DragWidth.set(3);
        saveDefaultsFile(*s);
    }
    auto s = std::make_unique<Session>();
    EXPECT_TRUE(INIT_VARIABLES(*s));
    Values v = values(*s);
    EXPECT_EQ(v.palette, 8);
    EXPECT_EQ(v.nvp, 1000);
    EXPECT_EQ(v.rep, 4);
    EXPECT_EQ(v.sound, 1500);
    EXPECT_EQ(v.start, 20);
    EXPECT_EQ(v.end, 250);
    EXPECT_EQ(v.drag, 3);
    EXPECT_EQ(v.shotFreq, 50);
}

TEST(DefaultsFile, TwoSavesWriteTheSameFourteenLinesWithMapTextsAsTyped) {
    TempDir dir;
    HomeOverride home(dir.path().c_str());
    auto s = std::make_unique<Session>();
    s->display.PaletteBar.set(5);
    s->display.Grid.set(3);
    s->mapLimits.Top = "40.783";
    s->mapLimits.Bottom = "40.10";
    s->mapLimits.Right = "-73.9";
    s->mapLimits.Left = "";
    saveDefaultsFile(*s);
    const std::string first = readTextFile(dir.file(".tarnix_defaults"));
    saveDefaultsFile(*s);
    EXPECT_EQ(readTextFile(dir.file(".tarnix_defaults")), first);
    EXPECT_EQ(first, "5\n100\n1\n3\n50\n10\n100\n0\n100\n40\n40.783\n40.10\n-73.9\n\n");
    // The map texts are written only: loading stops after line 10.
    auto t = std::make_unique<Session>();
    EXPECT_TRUE(INIT_VARIABLES(*t));
    EXPECT_EQ(t->display.PaletteBar(), 5);
    EXPECT_EQ(t->mapLimits.Bottom, "40.6667"); // the start text, not the saved one
}

TEST(DefaultsFile, ValuesOutsideARangeAreLimitedByIt) {
    TempDir dir;
    writeTextFile(dir.file("d"), "12\n20000\n0\n-5\n50\n10\n9000\n0\n200000\n1\n");
    auto s = std::make_unique<Session>();
    EXPECT_TRUE(loadDefaults(*s, dir.file("d")));
    Values v = values(*s);
    EXPECT_EQ(v.palette, 8);
    EXPECT_EQ(v.nvp, 10000);
    EXPECT_EQ(v.rep, 1);
    EXPECT_EQ(v.grid, 0);
    EXPECT_EQ(v.sound, 8000);
    EXPECT_EQ(v.end, 100000);
    EXPECT_EQ(v.drag, 3);
}

TEST(DefaultsFile, ABadLineStopsLoadingAndKeepsWhatCameBefore) {
    TempDir dir;
    // Line 4 holds a decimal: palette, NVP and Rep are applied, the rest keeps its value.
    writeTextFile(dir.file("d"), "7\n300\n2\n1.5\n20\n20\n1500\n10\n90\n12\n");
    auto s = std::make_unique<Session>();
    try {
        loadDefaults(*s, dir.file("d"));
        FAIL() << "a decimal on an integer line must stop the loading";
    } catch (const ConversionError& e) {
        EXPECT_NE(std::string(e.what()).find("line 4"), std::string::npos) << e.what();
        EXPECT_NE(std::string(e.what()).find("'1.5'"), std::string::npos) << e.what();
    }
    Values v = values(*s);
    EXPECT_EQ(v.palette, 7);
    EXPECT_EQ(v.nvp, 300);
    EXPECT_EQ(v.rep, 2);
    EXPECT_EQ(v.grid, 0);
    EXPECT_EQ(v.sound, 100);
    EXPECT_EQ(v.drag, 40);
}

TEST(DefaultsFile, AShortFileStopsWithAMessageInsteadOfZeros) {
    TempDir dir;
    writeTextFile(dir.file("d"), "3\n500\n");
    auto s = std::make_unique<Session>();
    EXPECT_THROW(loadDefaults(*s, dir.file("d")), ConversionError);
    EXPECT_EQ(s->display.PaletteBar(), 3);
    EXPECT_EQ(s->display.NVP(), 500);
    EXPECT_EQ(s->display.Rep(), 1);
    EXPECT_EQ(s->EndSweep(), 100);
}

TEST(DefaultsFile, UnsetHomeDisablesLoadAndSave) {
    TempDir dir;
    writeTextFile(dir.file(".tarnix_defaults"), "8\n1000\n1\n0\n50\n10\n100\n0\n100\n40\n");
    HomeOverride home(nullptr);
    auto s = std::make_unique<Session>();
    EXPECT_FALSE(INIT_VARIABLES(*s));
    expectStartValues(*s);
    s->display.PaletteBar.set(2);
    EXPECT_NO_THROW(saveDefaultsFile(*s));
    EXPECT_EQ(readTextFile(dir.file(".tarnix_defaults")).substr(0, 2), "8\n");
}

TEST(DefaultsFile, AnUnwritableFileIsReportedNotIgnored) {
    TempDir dir;
    auto s = std::make_unique<Session>();
    EXPECT_THROW(saveDefaults(*s, dir.file("missing-dir/.tarnix_defaults")), IoError);
}
