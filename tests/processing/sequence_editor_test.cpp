#include "core/error.h"
#include "core/session.h"
#include "processing/sequence_editor.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

using namespace tarnix;

namespace {
struct Editor : ::testing::Test {
    std::unique_ptr<Session> s = std::make_unique<Session>();
    SequenceEditor ed{*s};
    std::string cell(int r, int c) const { return s->sequence.cell(r, c); }
    void add(std::string_view b, std::initializer_list<std::pair<int, const char*>> edits = {}) {
        ed.select(b);
        for (auto& [i, t] : edits) ed.state().edits[i].text = std::string(t);
        ed.AddClick();
    }
};
} // namespace

TEST_F(Editor, AddBeforeAnyButtonWritesAResampleRow) {
    ed.AddClick();
    EXPECT_EQ(cell(1, 0), "1");
    EXPECT_EQ(cell(1, 1), "RESM");
    EXPECT_EQ(cell(1, 2), "1");
    EXPECT_EQ(ed.rowCount(), 1);
    EXPECT_EQ(ed.state().title, "Module Parameters"); // editor hidden after ADD
}

TEST_F(Editor, AgcWindowIsClampedToTwoAndTwelveThousand) {
    add("AGCM", {{0, "1"}});
    add("AGCM", {{0, "20000"}});
    add("AGCM"); // start text
    EXPECT_EQ(cell(1, 2), "2");
    EXPECT_EQ(cell(2, 2), "12000");
    EXPECT_EQ(cell(3, 2), "128");
    EXPECT_EQ(cell(3, 1), "AGCM");
}

TEST_F(Editor, FilterCutsAreClampedAndWrittenWithTwoDecimals) {
    ed.select("FLTM");
    EXPECT_EQ(ed.state().lowCut.text, "10");
    EXPECT_EQ(ed.state().highCut.text, "1000");
    ed.state().highCut.text = "200000";
    ed.state().lowCut.text = "-5";
    ed.state().taper = 7; // out of range index is clamped
    ed.AddClick();
    EXPECT_EQ(cell(1, 2), "0.00");
    EXPECT_EQ(cell(1, 3), "100000.00");
    EXPECT_EQ(cell(1, 4), "4");
    EXPECT_EQ(cell(1, 5), "0");
    EXPECT_EQ(cell(1, 6), "128");

    // Low pass: the hidden low-cut edit still gives its "1"; low above 5000 is 5000.
    ed.select("FLTM");
    ed.FilterTypeChange(1);
    EXPECT_FALSE(ed.state().lowCut.visible);
    EXPECT_EQ(ed.state().picture, 2);
    ed.AddClick();
    EXPECT_EQ(cell(2, 2), "1.00");
    EXPECT_EQ(cell(2, 3), "1000.00");
    EXPECT_EQ(cell(2, 5), "1");
    ed.select("FLTM"); // the button re-applies the type chosen last
    EXPECT_EQ(ed.state().filterType, 1);
    ed.FilterTypeChange(3);
    ed.state().lowCut.text = "9000";
    ed.AddClick();
    EXPECT_EQ(cell(3, 2), "5000.00");
    EXPECT_EQ(cell(3, 3), "50.00");
}

TEST_F(Editor, PredictiveDeconGapIsRoundedAndLimitedToHalfTheTrace) {
    s->SampleRate = 8;
    s->NumSamples = 100;
    ed.select("DECM");
    EXPECT_FALSE(ed.state().edits[0].visible); // spiking: operator only
    ed.DeconTypeChange(1);
    EXPECT_EQ(ed.state().edits[0].text, "0.1");
    ed.AddClick();
    EXPECT_EQ(cell(1, 2), "1"); // round(0.8)
    EXPECT_EQ(cell(1, 3), "128");

    ed.select("DECM");
    ed.state().edits[0].text = "10"; // 80 samples
    ed.state().edits[1].text = "5000";
    ed.AddClick();
    EXPECT_EQ(cell(2, 2), "50");
    EXPECT_EQ(cell(2, 3), "1024");

    ed.select("DECM");
    ed.state().edits[0].text = "0.3125"; // 2.5 samples: halves go to the even neighbour
    ed.state().edits[1].text = "3";
    ed.AddClick();
    EXPECT_EQ(cell(3, 2), "2");
    EXPECT_EQ(cell(3, 3), "16");

    // Spiking decon on an empty session: gap 1 survives NumSamples div 2 = 0.
    s->NumSamples = 0;
    ed.select("DECM");
    ed.DeconTypeChange(0);
    ed.AddClick();
    EXPECT_EQ(cell(4, 2), "1");
}

TEST_F(Editor, PosmRowCarriesOnlyItsNumberAndIsOverwritten) {
    add("NORM");
    add("POSM");
    EXPECT_EQ(cell(2, 0), "2");
    EXPECT_EQ(cell(2, 1), "");
    EXPECT_EQ(ed.rowCount(), 1);
    add("DBAS");
    EXPECT_EQ(cell(2, 1), "DBAS");
    EXPECT_EQ(ed.rowCount(), 2);
}

TEST_F(Editor, DeleteInTheMiddleEndsTheSequenceThere) {
    add("NORM");
    add("AGCM");
    add("DBAS");
    add("DERV");
    s->sequence.cell(2, 7) = "note";
    ed.delbuttonClick(2);
    EXPECT_EQ(cell(2, 0), "2");
    EXPECT_EQ(cell(2, 1), "");
    EXPECT_EQ(cell(2, 2), "");
    EXPECT_EQ(cell(2, 7), "note");
    EXPECT_EQ(cell(3, 1), "DBAS");
    EXPECT_EQ(cell(4, 1), "DERV");
    EXPECT_EQ(s->sequence.rowCount(), 1);
}

TEST_F(Editor, ClearAllEmptiesEverythingButTheHeaderAndColumnSeven) {
    add("AGCM");
    add("TMXM");
    s->sequence.cell(1, 7) = "p6";
    ed.ClearSeqButtClick();
    EXPECT_EQ(ed.rowCount(), 0);
    for (int c = 0; c <= 6; ++c) EXPECT_EQ(cell(1, c), "");
    EXPECT_EQ(cell(1, 7), "p6");
    EXPECT_EQ(cell(0, 1), "Module");
    add("NORM");
    EXPECT_EQ(cell(1, 1), "NORM");
}

TEST_F(Editor, ClickingARowThenAddReplacesIt) {
    add("AGCM");
    add("FFTF");
    add("NORM");
    ed.ProcGridClick(2);
    add("HBFM");
    EXPECT_EQ(cell(2, 1), "HBFM");
    EXPECT_EQ(cell(2, 2), ""); // nothing of the FFTF row stays
    EXPECT_EQ(cell(2, 3), "100");
    EXPECT_EQ(cell(3, 1), "NORM");
    EXPECT_TRUE(s->RMSFlag);
    EXPECT_EQ(ed.rowCount(), 3);

    // Clicking row 1 of a one-row sequence and pressing ADD twice writes rows 1 and 2.
    ed.ClearSeqButtClick();
    add("AGCM");
    ed.ProcGridClick(1);
    add("NORM");
    add("DBAS");
    EXPECT_EQ(cell(1, 1), "NORM");
    EXPECT_EQ(cell(2, 1), "DBAS");
}

TEST_F(Editor, ConversionErrorKeepsNumberAndCodeWrittenSoFar) {
    add("NORM");
    ed.select("AGCM");
    ed.state().edits[0].text = "12a";
    EXPECT_THROW(ed.AddClick(), ConversionError);
    EXPECT_EQ(cell(2, 0), "2");
    EXPECT_EQ(cell(2, 1), "");
    EXPECT_EQ(ed.state().title, "AGCM"); // the editor is left as it was
    ed.state().edits[0].text = "64";
    ed.AddClick(); // the failed row is reused, so the new row is in the sequence
    EXPECT_EQ(cell(2, 1), "AGCM");
    EXPECT_EQ(s->sequence.rowCount(), 2);

    // RCCM writes its code before converting the window and scale texts.
    ed.select("RCCM", std::string("/data/l1.mut"));
    ed.state().edits[1].text = "three";
    try {
        ed.AddClick();
        FAIL();
    } catch (const ConversionError& e) {
        EXPECT_NE(std::string(e.what()).find("'three'"), std::string::npos);
        EXPECT_NE(std::string(e.what()).find("Row 3"), std::string::npos);
    }
    EXPECT_EQ(cell(3, 1), "RCCM");
    EXPECT_EQ(cell(3, 2), "");
}

TEST_F(Editor, FileModulesWriteNamesPathsAndRowFiles) {
    add("NORM");
    ed.select("MUTM", std::string("/data/picks/line 7.MUT"));
    EXPECT_EQ(ed.state().edits[0].text, "/data/picks/line 7.MUT");
    ed.AddClick();
    EXPECT_EQ(cell(2, 2), "line 7.MUT");
    EXPECT_EQ(s->rowFiles[2], "/data/picks/line 7.MUT");

    ed.select("RCCM", std::string("/data/l1.dgt"));
    EXPECT_EQ(ed.state().edits[0].text, "/data/l1.REF");
    EXPECT_EQ(s->refOutPath, "/data/l1.REF");
    ed.state().checked = true;
    ed.AddClick();
    EXPECT_EQ(cell(3, 2), "l1.dgt");
    EXPECT_EQ(cell(3, 3), "l1.REF");
    EXPECT_EQ(cell(3, 4), "3");
    EXPECT_EQ(cell(3, 5), "TRUE");
    EXPECT_EQ(cell(3, 6), "0.0000072");
    EXPECT_EQ(s->rowFiles[3], "/data/l1.dgt");

    // A cancelled dialog shows its last path again and leaves the row file entry.
    s->rowFiles[4] = "/old/bottom.dgt";
    ed.select("SWELL", std::nullopt);
    EXPECT_EQ(ed.state().edits[0].text, "/data/l1.dgt");
    ed.AddClick();
    EXPECT_EQ(cell(4, 2), "/data/l1.dgt"); // SWELL keeps the full path
    EXPECT_EQ(cell(4, 3), "10");
    EXPECT_EQ(s->rowFiles[4], "/old/bottom.dgt");

    ed.select("STTM", std::string("/d/trend.dgt"));
    ed.state().checked = true;
    ed.AddClick();
    EXPECT_EQ(cell(5, 1), "STTM");
    EXPECT_EQ(cell(5, 2), "trend.dgt");
    EXPECT_EQ(cell(5, 3), "1.0");
    EXPECT_EQ(cell(5, 4), "RELATIVE");

    ed.select("WKORVA2", std::string("/out/k.d02"));
    EXPECT_EQ(s->korvaOutPath, "/out/k.d02");
    ed.AddClick();
    EXPECT_EQ(cell(6, 1), "WKORVA2");
    EXPECT_EQ(cell(6, 2), "k.d02");
    EXPECT_EQ(cell(6, 3), "1");

    ed.select("WSEG", std::string("/out/p.sgy"));
    ed.AddClick();
    EXPECT_EQ(cell(7, 1), "WSEG");
    EXPECT_EQ(cell(7, 2), "p.sgy");
    EXPECT_EQ(cell(7, 3), "BE");
    EXPECT_EQ(cell(7, 4), "2");
    EXPECT_EQ(cell(7, 5), ""); // 16-bit samples unless IEEE is ticked
    ed.select("WSEG", std::string("/out/f.sgy"));
    EXPECT_EQ(ed.state().checkLabel, "IEEE");
    EXPECT_FALSE(ed.state().checked);
    ed.state().checked = true;
    ed.AddClick();
    EXPECT_EQ(cell(8, 2), "f.sgy");
    EXPECT_EQ(cell(8, 5), "IEEE");
}

TEST_F(Editor, StartTextDashKeepsTheLastTextAndTheTableFillsUp) {
    ed.select("AGCM");
    ed.state().edits[0].text = "0.05";
    ed.select("TVGM");
    EXPECT_EQ(ed.state().edits[0].text, "0.05");
    EXPECT_EQ(ed.state().edits[0].label, "Slope (increment/samples)");
    EXPECT_EQ(ed.state().helpPage, "TVGM.html");

    for (int i = 0; i < 49; ++i) add("NORM");
    EXPECT_EQ(ed.rowCount(), 49);
    EXPECT_THROW(add("NORM"), Error);
    EXPECT_EQ(ed.rowCount(), 49);
}

TEST(HelpPath, HomeTarnixPageOrEmpty) {
    const char* old = std::getenv("HOME");
    std::string saved = old ? old : "";
    setenv("HOME", "/home/ship", 1);
    EXPECT_EQ(helpPagePath("AGCM.html"), "/home/ship/tarnix/AGCM.html");
    unsetenv("HOME");
    EXPECT_EQ(helpPagePath("AGCM.html"), "");
    if (old) setenv("HOME", saved.c_str(), 1);
    EXPECT_EQ(changeFileExt("/a.b/c", ".REF"), "/a.b/c.REF");
    EXPECT_EQ(changeFileExt("/a/c.dgt", ".REF"), "/a/c.REF");
}
