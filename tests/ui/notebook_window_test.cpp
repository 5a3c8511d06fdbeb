// The notebook window with the profile: picks into files, their kinds, the file
// commands that must not lose text, the pen, and undo of picks.
#include "core/session.h"
#include "display/profile_picks.h"
#include "support/temp_dir.h"
#include "ui/notes_form.h"
#include "ui/profile_view.h"
#include "ui/tarnix_form.h"
#include "ui/windows.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <optional>
#include <sstream>

using namespace tarnix;
using tarnix::test::readTextFile;
using tarnix::test::TempDir;
using tarnix::test::writeTextFile;

namespace {

// The windows of a session with a painted profile: shots 1..101 at two columns
// each (300 x 499), 0-100 ms on 399 rows at 4 samples per ms, black below 50 ms,
// and a recording delay of 15 ms.
class Notebook : public ::testing::Test {
protected:
    void SetUp() override {
        if (const char* h = std::getenv("HOME")) oldHome_ = h;
        setenv("HOME", home_.path().c_str(), 1);
        w_ = createWindows(*s);
        w_.TarnixForm->INIT_VARIABLES();
        s->goEnabled = true;
        s->shots.StartShot.set(1);
        s->shots.EndShot.set(101);
        s->NumTraces = 100;
        s->display.Rep.set(2);
        s->display.NVP.set(400);
        s->display.SoundSpeedEdit.set(1500);
        s->StartSweep.set(0);
        s->EndSweep.set(100);
        s->SampleRate = 4;
        s->NumSamples = 400;
        s->header.Delay = 15;
        paint();
        nb().chooseColour = [this](QColor) { return colour; };
        nb().askSave = [this] {
            ++asked;
            return answer;
        };
        nb().chooseSaveFile = [] { return QString(); };
    }
    void TearDown() override {
        delete w_.TarnixForm;
        if (oldHome_)
            setenv("HOME", oldHome_->c_str(), 1);
        else
            unsetenv("HOME");
    }
    void paint() {
        auto trace = std::make_unique<TraceBuffer>();
        trace->fill(0);
        for (int k = 200; k < 400; ++k) (*trace)[k] = 16384;
        RunHooks& hooks = main().profileView().hooks();
        hooks.createImage();
        for (int i = 1; i <= 100; ++i)
            for (int rep = 0; rep < 2; ++rep)
                hooks.paintColumn(50 + (i - 1) * 2 + 1 + rep, *trace, 400);
        hooks.runEnd();
    }
    TTarnixForm& main() { return *w_.TarnixForm; }
    TNotesForm& nb() { return *w_.NotesForm; }
    // Create a Notebook with the open dialog answering `name` (in the test's directory).
    void create(const std::string& name) {
        const QString path = QString::fromStdString(dir_.file(name));
        nb().chooseOpenFile = [path] { return path; };
        main().CreateaNotebook1Click();
    }
    // File > New: an empty notebook under `name`.
    void newNotebook(const std::string& name) {
        const QString path = QString::fromStdString(dir_.file(name));
        nb().chooseOpenFile = [path] { return path; };
        nb().New1Click();
    }
    void open(const std::string& name) {
        const QString path = QString::fromStdString(dir_.file(name));
        nb().chooseOpenFile = [path] { return path; };
        nb().Open1Click();
    }
    void click(int x, int y, Qt::MouseButton b = Qt::LeftButton) {
        main().DisplayMouseMove(x, y);
        main().DisplayMouseDown(b, b == Qt::LeftButton ? Qt::ShiftModifier : Qt::NoModifier, x, y);
    }
    void drag(int fromX, int toX, int y) {
        main().DisplayMouseDown(Qt::LeftButton, Qt::NoModifier, fromX, y);
        main().DisplayStartDrag();
        for (int x = fromX; fromX <= toX ? x <= toX : x >= toX; x += fromX <= toX ? 1 : -1)
            main().DisplayDragOver(x, y);
        main().DisplayEndDrag(toX, y);
    }
    std::string text() { return nb().Memo1->toPlainText().toStdString(); }
    QRgb pixel(int x, int y) { return main().profileImage.pixel(x, y) & 0xFFFFFF; }
    std::string file(const std::string& name) { return dir_.file(name); }

    std::unique_ptr<Session> s = std::make_unique<Session>();
    QColor colour{255, 0, 0};
    int answer = QMessageBox::Cancel;
    int asked = 0;

private:
    TempDir home_, dir_;
    Windows w_;
    std::optional<std::string> oldHome_;
};

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string l; std::getline(in, l);) out.push_back(l);
    return out;
}

} // namespace

TEST_F(Notebook, TwoClicksSaveAsTheWorkedMuteFileAndRedrawThroughTheirPixels) {
    create("line.MUT");
    ASSERT_TRUE(nb().isVisible());
    EXPECT_TRUE(nb().windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_EQ(nb().windowTitle(), "line.MUT");
    EXPECT_EQ(nb().Memo1->lineWrapMode(), QPlainTextEdit::NoWrap);
    // Times are stored without the 15 ms delay, so they redraw where clicked.
    click(248, 449);
    click(150, 149);
    EXPECT_EQ(text(), "100 100.000000\n51 24.812030");
    EXPECT_EQ(s->cursor.PickCount, 2);
    EXPECT_EQ(s->map.lastNotebookLine, 2);
    nb().Save1Click();
    EXPECT_EQ(readTextFile(file("line.MUT")), "51 24.812030\n100 100.000000\n");
    EXPECT_FALSE(nb().modified());

    // A fresh picture, then opening the file draws the picks in the chosen colour.
    paint();
    ASSERT_NE(pixel(150, 149), 0xFF0000u);
    open("line.MUT");
    EXPECT_EQ(pixel(150, 149), 0xFF0000u);
    EXPECT_EQ(pixel(248, 449), 0xFF0000u);
    EXPECT_TRUE(pixel(198, 299) == 0xFF0000u || pixel(199, 299) == 0xFF0000u ||
                pixel(200, 299) == 0xFF0000u);
    EXPECT_NE(pixel(51, 148), 0xFF0000u); // the line starts at the first pick
    EXPECT_EQ(main().penColor, QColor(255, 0, 0));
}

TEST_F(Notebook, ClicksInReverseShotOrderSaveTheSameMuteFile) {
    create("up.MUT");
    for (int x : {60, 150, 248}) click(x, 149 + x / 2);
    nb().Save1Click();
    newNotebook("down.MUT");
    for (int x : {248, 150, 60}) click(x, 149 + x / 2);
    nb().Save1Click();
    EXPECT_EQ(readTextFile(file("up.MUT")), readTextFile(file("down.MUT")));
    EXPECT_EQ(linesOf(readTextFile(file("down.MUT"))).front().substr(0, 2), "6 ");
}

TEST_F(Notebook, DigitizingClicksTakeTheShotsNavigationTextAndTheSameTimeBase) {
    s->navText[51] = "51 2026 142 8 30 5 60.10000000 24.90000000";
    create("h.dgt");
    click(150, 149);
    click(152, 149); // shot 52 has no navigation text: the shot number names it
    EXPECT_EQ(text(), "51 2026 142 8 30 5 60.10000000 24.90000000 24.812030\n52 24.812030");
}

TEST_F(Notebook, ADragStoresOneLinePerNewShotAndUndoesAsOneStep) {
    create("floor.MUT");
    drag(52, 100, 250);
    const auto lines = linesOf(text());
    ASSERT_EQ(lines.size(), 25u); // shots 2..26
    int last = 0;
    for (const std::string& l : lines) {
        const int shot = std::stoi(l);
        EXPECT_GT(shot, last) << l;
        last = shot;
        EXPECT_EQ(l.substr(l.find(' ')), lines.front().substr(lines.front().find(' ')));
    }
    EXPECT_EQ(last, 26);
    EXPECT_EQ(s->cursor.LastPickedShot, 26);
    // Back over the same shots: nothing new until past shot 26.
    drag(100, 60, 250);
    EXPECT_EQ(linesOf(text()).size(), 25u);
    drag(60, 102, 250); // shot 27 at columns 101 and 102
    EXPECT_EQ(linesOf(text()).size(), 26u);

    nb().Undo1Click();
    EXPECT_EQ(linesOf(text()).size(), 25u);
    nb().Undo1Click();
    EXPECT_TRUE(text().empty());
    EXPECT_EQ(s->cursor.LastPickedShot, 0);
    nb().Redo1Click();
    EXPECT_EQ(linesOf(text()).size(), 25u);
    EXPECT_EQ(s->cursor.LastPickedShot, 26);
}

TEST_F(Notebook, EachKindTakesOnlyItsOwnPicks) {
    create("points.xy");
    const QRgb before = pixel(150, 146);
    click(150, 149);
    EXPECT_TRUE(text().empty());
    EXPECT_NE(pixel(150, 146), before); // the cross is still drawn
    EXPECT_NE(nb().StatusPanel->text().indexOf(".MUT"), -1);
    drag(52, 100, 250);
    EXPECT_TRUE(text().empty());
    ProfilePickTarget& picks = main().profileView().picks();
    EXPECT_EQ(picks.notebookMapPick("24.50000000", "60.10000000"), 1);
    EXPECT_EQ(picks.notebookMapPick("24.60000000", "60.20000000"), 2);
    EXPECT_EQ(picks.notebookMapPick("24.70000000", "60.30000000"), 3);
    EXPECT_EQ(linesOf(text()).back(), "3 24.70000000 60.30000000");
    // After Edit > Delete the next point is number 1 again.
    nb().Selectall1Click();
    nb().Delete1Click();
    EXPECT_EQ(picks.notebookMapPick("24.80000000", "60.40000000"), 1);

    nb().Memo1->document()->setModified(false);
    create("m.MUT");
    EXPECT_EQ(picks.notebookMapPick("24.5", "60.1"), 0);
    EXPECT_NE(nb().StatusPanel->text().indexOf("mute"), -1);
    picks.notebookBitmapPick(*s);
    EXPECT_EQ(linesOf(text()).size(), 2u); // the kept text and the bitmap pick
}

TEST_F(Notebook, CommandsThatWouldLoseTextAskOrKeepIt) {
    writeTextFile(file("old.MUT"), "10 5.000000\n");
    create("old.MUT");
    EXPECT_EQ(text(), "10 5.000000\n");
    // New with a cancelled dialog changes nothing.
    nb().chooseOpenFile = [] { return QString(); };
    nb().New1Click();
    EXPECT_EQ(nb().fileName().toStdString(), file("old.MUT"));
    EXPECT_EQ(text(), "10 5.000000\n");

    click(150, 149);
    ASSERT_TRUE(nb().modified());
    writeTextFile(file("other.MUT"), "20 6.000000\n");
    answer = QMessageBox::Cancel;
    open("other.MUT");
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(nb().fileName().toStdString(), file("old.MUT"));
    EXPECT_NE(text().find("51 24.812030"), std::string::npos);

    // Closing asks too; cancelled, the window stays with its picks.
    nb().close();
    EXPECT_EQ(asked, 2);
    EXPECT_TRUE(nb().isVisible());
    answer = QMessageBox::Discard;
    nb().close();
    EXPECT_FALSE(nb().isVisible());
    EXPECT_TRUE(text().empty());
    EXPECT_EQ(nb().fileName(), "Untitled");
    EXPECT_EQ(s->cursor.LastPickedShot, 1); // StartShot
    // A later Save has no name to write the empty text over.
    nb().Save1Click();
    EXPECT_EQ(readTextFile(file("old.MUT")), "10 5.000000\n");

    // Ending the program with unsaved picks asks as well.
    create("old.MUT");
    click(150, 149);
    main().show();
    answer = QMessageBox::Cancel;
    EXPECT_FALSE(main().close());
    EXPECT_TRUE(nb().isVisible());
    EXPECT_EQ(asked, 4); // the two closes above, and once for this one
    answer = QMessageBox::Discard;
    EXPECT_TRUE(main().close());
}

TEST_F(Notebook, EveryNewOrOpenedNotebookStartsItsDragsAfresh) {
    create("a.MUT");
    drag(52, 100, 250);
    ASSERT_EQ(s->cursor.LastPickedShot, 26);
    nb().Save1Click();
    create("b.MUT");
    EXPECT_EQ(s->cursor.LastPickedShot, 0);
    nb().Selectall1Click();
    nb().Delete1Click();
    drag(52, 100, 250);
    EXPECT_EQ(linesOf(text()).size(), 25u);
}

TEST_F(Notebook, RightClickDeletesTheNearestPickAndUndoBringsItBack) {
    create("r.MUT");
    const QRgb under = pixel(153, 149);
    click(150, 149);
    click(248, 449);
    ASSERT_NE(pixel(153, 149), under);
    click(155, 152, Qt::RightButton);
    EXPECT_EQ(text(), "100 100.000000");
    EXPECT_EQ(pixel(153, 149), under);     // its cross is gone too
    EXPECT_EQ(s->cursor.PickCount, 2);     // no pick
    click(20 + 150, 300, Qt::RightButton); // nothing near
    EXPECT_EQ(text(), "100 100.000000");
    nb().Undo1Click();
    EXPECT_EQ(text(), "51 24.812030\n100 100.000000");
    EXPECT_NE(pixel(153, 149), under);
    nb().Undo1Click(); // the second click
    EXPECT_EQ(text(), "51 24.812030");

    // No pop-up menu over the profile then, and Ctrl+Z in the text undoes picks.
    QContextMenuEvent menu(QContextMenuEvent::Mouse, QPoint(150, 149));
    QApplication::sendEvent(main().Display, &menu);
    EXPECT_FALSE(main().PopupMenu1->isVisible());
    QKeyEvent undo(QEvent::ShortcutOverride, Qt::Key_Z, Qt::ControlModifier);
    undo.ignore();
    QApplication::sendEvent(nb().Memo1, &undo);
    EXPECT_FALSE(undo.isAccepted());
}

TEST_F(Notebook, OpeningWithoutDataShowsTheTextAndDrawsNothing) {
    writeTextFile(file("m.MUT"), "51 24.812030\n100 100.000000\n");
    s->goEnabled = false;
    colour = QColor(0, 0, 255);
    create("m.MUT");
    EXPECT_EQ(text(), "51 24.812030\n100 100.000000\n");
    EXPECT_NE(pixel(150, 149), 0x0000FFu);
    // A picture never painted: GO enabled but no rows yet.
    s->goEnabled = true;
    s->ImageRows = 0;
    nb().DRAW_POINTS();
    EXPECT_NE(pixel(150, 149), 0x0000FFu);
    // A pick appended to a loaded text goes on a line of its own.
    s->ImageRows = 399;
    click(60, 149);
    EXPECT_EQ(linesOf(text()).size(), 3u);
}

TEST_F(Notebook, PenMenuSetsTheProfilePen) {
    ImageCanvas& canvas = main().profileView().canvas();
    nb().Width1[2]->trigger();
    EXPECT_EQ(canvas.penWidth(), 3);
    nb().Dashed1->trigger();
    EXPECT_EQ(canvas.penStyle(), ImageCanvas::Dash);
    nb().DashDotDot1->trigger();
    EXPECT_EQ(canvas.penStyle(), ImageCanvas::DashDotDot);
    colour = QColor(0, 128, 0);
    nb().Color1Click();
    EXPECT_EQ(main().penColor, QColor(0, 128, 0));
    EXPECT_NE(nb().Edit2->styleSheet().indexOf("#008000"), -1);
    // A click's cross is drawn one pixel wide; the pen keeps its width.
    create("w.MUT");
    click(150, 149);
    EXPECT_EQ(canvas.penWidth(), 3);
    EXPECT_EQ(pixel(150, 146), 0x008000u);
    EXPECT_NE(pixel(151, 146), 0x008000u);
}
