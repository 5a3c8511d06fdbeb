// The Reflectivity page's OPEN, read-out, click and SAVE, and the Time Slice
// window's OK and Cancel.
#include "core/session.h"
#include "formats/segy_header.h"
#include "support/segy_fixture.h"
#include "support/temp_dir.h"
#include "ui/tarnix_form.h"
#include "ui/time_slice_form.h"
#include "ui/windows.h"

#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QTableWidget>
#include <QToolButton>

#include <gtest/gtest.h>

#include <memory>

using namespace tarnix;
using tarnix::test::readTextFile;
using tarnix::test::TempDir;
using tarnix::test::writeTextFile;

namespace {

struct Pages : ::testing::Test {
    TempDir dir;
    std::unique_ptr<Session> s = std::make_unique<Session>();
    Windows w = createWindows(*s);
    ~Pages() override { delete w.TarnixForm; }
    TTarnixForm& main() { return *w.TarnixForm; }
    QString path(const std::string& name) const { return QString::fromStdString(dir.file(name)); }
    QString cell(int row) const {
        const QTableWidgetItem* item = w.TarnixForm->refgrid->item(row, 0);
        return item ? item->text() : QString();
    }
};

const char* const kThree = "1 2026 142 8 30 0 59.85 24.5  0.1000000000 37.50\n"
                           "2 2026 142 8 30 1 59.86 24.5  0.2500000000 37.50\n"
                           "3 2026 142 8 30 2 59.87 24.5  0.4000000000 37.50\n";

} // namespace

TEST_F(Pages, OpenShowsRowsMaxMinAndTheCurveTheClickSelectsTheLine) {
    writeTextFile(dir.file("rc.REF"), kThree);
    main().chooseRefFile = [&] { return path("rc.REF"); };
    main().SpeedButton7->click();
    EXPECT_EQ(main().Label16->text(), "rc.REF");
    EXPECT_EQ(main().refgrid->rowCount(), 3);
    EXPECT_EQ(cell(1), "2 2026 142 8 30 1 59.86 24.5  0.2500000000 37.50");
    EXPECT_EQ(main().Edit5->text(), "0.400000");
    EXPECT_EQ(main().Edit6->text(), "0.100000");
    const QImage curve = main().graph1->pixmap().toImage();
    ASSERT_EQ(curve.size(), QSize(3, 170));
    EXPECT_EQ(curve.pixel(1, 128), qRgb(0, 0, 0));
    EXPECT_EQ(curve.pixel(1, 0), qRgb(255, 255, 0));

    main().graph1MouseMove(2, 50);
    EXPECT_EQ(main().statusPanel(2), "Shot (2)");
    main().graph1MouseDown(Qt::LeftButton, Qt::NoModifier, 2, 50);
    EXPECT_EQ(main().refgrid->currentRow(), 1);

    // Another file replaces grid, curve and picks.
    writeTextFile(dir.file("one.ref"), "50001 2026 1 0 0 0 1 2 0.0 3\n");
    main().chooseRefFile = [&] { return path("one.ref"); };
    main().SpeedButton7->click();
    EXPECT_EQ(main().refgrid->rowCount(), 1);
    EXPECT_EQ(main().graph1->pixmap().width(), 1);
    EXPECT_EQ(s->reflPick[2], 0);
    main().graph1MouseMove(0, 5);
    EXPECT_EQ(main().statusPanel(2), "Shot (50001)");
}

TEST_F(Pages, SaveCountsTheRowsWrittenAndCancelSavesNone) {
    writeTextFile(dir.file("rc.ref"), kThree);
    main().chooseRefFile = [&] { return path("rc.ref"); };
    main().SpeedButton7->click();
    main().refgrid->item(1, 0)->setText("");
    main().chooseRefSaveFile = [&] { return path("out.ref"); };
    main().SpeedButton8->click();
    EXPECT_EQ(main().Edit3->text(), "Saved 2 rows");
    EXPECT_EQ(readTextFile(dir.file("out.ref")),
              "1 2026 142 8 30 0 59.85 24.5  0.1000000000 37.50\n"
              "3 2026 142 8 30 2 59.87 24.5  0.4000000000 37.50\n");
    main().chooseRefSaveFile = [] { return QString(); };
    main().SpeedButton8->click();
    EXPECT_EQ(main().Edit3->text(), "Saved 0 rows");
}

TEST_F(Pages, TimeSliceOkWritesAfterTheSelectionAndCancelKeepsTheTable) {
    TTimeSliceForm& form = *w.TimeSliceForm;
    EXPECT_EQ(form.windowTitle(), "Time Slice");
    EXPECT_EQ(form.Edit1->text(), "Slice.txt");
    EXPECT_EQ(form.Edit2->text(), "1957");
    tarnix::test::SynthSegy f;
    for (int i = 0; i < 3; ++i)
        f.addTrace(1 + i, 20, 1000).set(segy::CoordUnits, 1).set(segy::SourceX, 7 + i);
    f.write(dir.file("l.sgy"));
    s->StartSweep.set(0);
    s->EndSweep.set(20);
    writeTextFile(dir.file("old.txt"), "kept\n");
    form.chooseOutFile = [&] { return path("old.txt"); };
    form.SpeedButton1->click();
    EXPECT_EQ(form.Edit1->text(), path("old.txt"));

    // Cancelled selection, then a level beyond the window: the table stays.
    main().chooseTimeSliceFiles = [] { return QStringList{}; };
    form.Edit2->setText("3");
    form.BitBtn1->click();
    main().chooseTimeSliceFiles = [&] { return QStringList{path("l.sgy")}; };
    form.Edit2->setText("1957");
    form.BitBtn1->click();
    EXPECT_NE(form.lastResult.indexOf("nothing was written"), -1) << form.lastResult.toStdString();
    EXPECT_EQ(readTextFile(dir.file("old.txt")), "kept\n");

    form.Edit2->setText("3");
    form.BitBtn1->click();
    EXPECT_EQ(form.lastResult, "Time slice " + path("old.txt") + ": 3 lines from 1 file");
    EXPECT_EQ(readTextFile(dir.file("old.txt")).substr(0, 48),
              "-3.98000000000000E+0002 0 7.00000000 0.00000000 ");
    EXPECT_FALSE(form.isVisible());
}
