// The notebook's picks: kinds, lines, file order and the polyline drawn back.
#include "formats/pick_file.h"
#include "navigation/notebook.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

using namespace tarnix;
using tarnix::test::TempDir;
using tarnix::test::writeTextFile;

namespace {

// 300 x 499 picture of shots 1..101 at 2 pixels a trace, 0-100 ms on 399 rows.
ProfileGeometry demoProfile() {
    ProfileGeometry g;
    g.startShot = 1;
    g.rep = 2;
    g.startSweep = 0;
    g.endSweep = 100;
    g.imageRows = 399;
    g.pictureWidth = 300;
    return g;
}

} // namespace

TEST(Notebook, KindFromTheLastFourCharacters) {
    EXPECT_EQ(notebookKindOf("/data/line7.mut"), NotebookKind::Mute);
    EXPECT_EQ(notebookKindOf("LINE7.DGT"), NotebookKind::Digitizing);
    EXPECT_EQ(notebookKindOf("points.xy"), NotebookKind::Plain);
    EXPECT_EQ(notebookKindOf("Untitled"), NotebookKind::Plain);
    EXPECT_EQ(notebookKindOf("mut"), NotebookKind::Plain);
}

TEST(Notebook, EachKindTakesOnlyItsOwnPicks) {
    EXPECT_TRUE(notebookAccepts(NotebookKind::Mute, PickSource::ProfileClick));
    EXPECT_TRUE(notebookAccepts(NotebookKind::Mute, PickSource::ProfileDrag));
    EXPECT_TRUE(notebookAccepts(NotebookKind::Digitizing, PickSource::BitmapClick));
    EXPECT_FALSE(notebookAccepts(NotebookKind::Mute, PickSource::MapClick));
    EXPECT_FALSE(notebookAccepts(NotebookKind::Digitizing, PickSource::MapClick));
    EXPECT_FALSE(notebookAccepts(NotebookKind::Plain, PickSource::ProfileDrag));
    EXPECT_TRUE(notebookAccepts(NotebookKind::Plain, PickSource::MapClick));
    EXPECT_FALSE(refusedPickNote(NotebookKind::Mute, PickSource::MapClick).empty());
}

TEST(Notebook, LineLayouts) {
    EXPECT_EQ(mutePickLine(51, 24.81203007518797), "51 24.812030");
    EXPECT_EQ(mutePickLine(7, 0.5), "7 0.500000");
    EXPECT_EQ(digitizingPickLine("12 2026 142 8 30 5 60.1 24.9", 100),
              "12 2026 142 8 30 5 60.1 24.9 100.000000");
    EXPECT_EQ(mapPickLine(3, 24.5, -60.25), "3 24.50000000 -60.25000000");
}

TEST(Notebook, StartResetsTheSessionAndMapPointsCountFromOne) {
    NotebookState s;
    EXPECT_EQ(s.name, "Untitled");
    EXPECT_EQ(s.nextPointNumber(), 1);
    s.lastLine = 2;
    s.lastPickedShot = 80;
    s.lowerShotLimit = 5;
    EXPECT_EQ(s.nextPointNumber(), 3);
    s.start("/tmp/b.MUT");
    EXPECT_EQ(s.kind, NotebookKind::Mute);
    EXPECT_EQ(s.lastPickedShot, 0); // a drag over the same shots stores again
    EXPECT_EQ(s.lowerShotLimit, 0);
    EXPECT_EQ(s.nextPointNumber(), 1);
}

TEST(Notebook, FilesAreWrittenInAscendingShotOrderLastPickWins) {
    const std::string text = "100 100.000000\n\n51 30.0\n51 24.812030\n";
    EXPECT_EQ(notebookFileText(text, NotebookKind::Mute), "51 24.812030\n100 100.000000\n");
    EXPECT_EQ(
        notebookFileText("20 a b c d e f g 5.0\n3 a b c d e f g 7.0\n", NotebookKind::Digitizing),
        "3 a b c d e f g 7.0\n20 a b c d e f g 5.0\n");
    EXPECT_EQ(notebookFileText("2 1.0\n1 2.0\n", NotebookKind::Plain), "2 1.0\n1 2.0\n");
}

TEST(Notebook, ReversedClicksReadBackLikeOrderedOnes) {
    TempDir dir;
    const std::string ordered = dir.file("a.MUT"), reversed = dir.file("b.MUT");
    writeTextFile(ordered, notebookFileText("10 20.0\n30 60.0\n50 20.0\n", NotebookKind::Mute));
    writeTextFile(reversed, notebookFileText("50 20.0\n30 60.0\n10 20.0\n", NotebookKind::Mute));
    PickTable t;
    t.read(1, ordered);
    t.read(2, reversed);
    for (int shot : {0, 10, 20, 30, 40, 50, 60})
        EXPECT_EQ(t.time(1, shot), t.time(2, shot)) << shot;
    EXPECT_DOUBLE_EQ(t.time(1, 20), 40.0);
}

TEST(Notebook, PolylineStartsAtTheFirstPickWithRoundedRows) {
    const std::string text = "51 24.812030\n100 100.000000\n";
    const auto p = notebookPolyline(text, NotebookKind::Mute, demoProfile());
    // 24.812030 ms is row 98.99998: truncation would lift it one pixel.
    ASSERT_EQ(p.size(), 2u);
    EXPECT_EQ(p[0], (PixelPoint{150, 149}));
    EXPECT_EQ(p[1], (PixelPoint{248, 449}));
}

TEST(Notebook, PolylineEdgesAndUnpaintedProfiles) {
    ProfileGeometry g = demoProfile();
    // Past the right edge is held at the last column; drawing stops at an empty line.
    auto p = notebookPolyline("500 50.0\nnot a pick\n1 0\n\n2 10\n", NotebookKind::Mute, g);
    ASSERT_EQ(p.size(), 2u);
    EXPECT_EQ(p[0].x, 249);
    EXPECT_EQ(p[1], (PixelPoint{50, 50}));
    // Digitizing lines take the time after the navigation text.
    p = notebookPolyline("51 2026 142 8 30 5 60.1 24.9 50.0\n", NotebookKind::Digitizing, g);
    ASSERT_EQ(p.size(), 1u);
    EXPECT_EQ(p[0], (PixelPoint{150, 250}));
    EXPECT_TRUE(notebookPolyline("1 10\n", NotebookKind::Plain, g).empty());
    g.imageRows = 0; // before any run
    EXPECT_TRUE(notebookPolyline("1 10\n", NotebookKind::Mute, g).empty());
    g = demoProfile();
    g.endSweep = g.startSweep;
    EXPECT_TRUE(notebookPolyline("1 10\n", NotebookKind::Mute, g).empty());
    // Times and shots far off the picture stay inside int pixels, on their side.
    g = demoProfile();
    p = notebookPolyline("7 1E31\n-9000000000000000000 -1E31\n", NotebookKind::Mute, g);
    ASSERT_EQ(p.size(), 2u);
    EXPECT_EQ(p[0].y, 1000000000);
    EXPECT_EQ(p[1], (PixelPoint{-1000000000, -1000000000}));
}

TEST(Notebook, NearestPickWithinReach) {
    const ProfileGeometry g = demoProfile();
    // Picks at (150, 149), (248, 449) and (60, 90); line 1 holds no pick.
    const std::string text = "51 24.812030\nheading\n100 100.000000\n6 10.025063\n";
    EXPECT_EQ(nearestPickLine(text, NotebookKind::Mute, g, 152, 150, 10), 0);
    EXPECT_EQ(nearestPickLine(text, NotebookKind::Mute, g, 240, 440, 20), 2);
    EXPECT_EQ(nearestPickLine(text, NotebookKind::Mute, g, 61, 89, 3), 3);
    EXPECT_EQ(nearestPickLine(text, NotebookKind::Mute, g, 200, 300, 10), -1);
    // Exactly at reach still counts; the first of two equally near picks wins.
    EXPECT_EQ(nearestPickLine(text, NotebookKind::Mute, g, 150, 159, 10), 0);
    EXPECT_EQ(nearestPickLine("51 24.812030\n51 24.812030\n", NotebookKind::Mute, g, 150, 149, 5),
              0);
    EXPECT_EQ(nearestPickLine(text, NotebookKind::Plain, g, 150, 149, 10), -1);
}

TEST(Notebook, HistoryUndoesADragAsOneStepAndANewEditDropsTheRedo) {
    PickHistory h;
    EXPECT_FALSE(h.canUndo());
    PickEdit e;
    e.line = 0;
    e.text = "1 10.000000";
    h.record(e); // a click: a step of its own
    h.beginStep();
    for (int i = 1; i <= 3; ++i) {
        e.line = i;
        h.record(e);
    }
    h.endStep();
    auto step = h.undo();
    ASSERT_EQ(step.size(), 3u);
    EXPECT_EQ(step.front().line, 3); // latest first
    EXPECT_TRUE(h.canRedo());
    step = h.redo();
    ASSERT_EQ(step.size(), 3u);
    EXPECT_EQ(step.front().line, 1);
    EXPECT_EQ(h.undo().size(), 3u);
    EXPECT_EQ(h.undo().size(), 1u);
    EXPECT_FALSE(h.canUndo());
    h.record(e);
    EXPECT_FALSE(h.canRedo());
    EXPECT_TRUE(h.undo().size() == 1 && h.undo().empty());
}
