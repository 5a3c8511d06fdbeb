// The Positioning page's buttons: import, save, clear and the extraction menu.
#include "core/session.h"
#include "formats/segy_header.h"
#include "support/segy_fixture.h"
#include "support/temp_dir.h"
#include "ui/tarnix_form.h"

#include <QAction>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>

#include <gtest/gtest.h>

#include <memory>

using namespace tarnix;
using tarnix::test::readTextFile;
using tarnix::test::TempDir;
using tarnix::test::writeTextFile;

namespace {

struct Positioning : ::testing::Test {
    TempDir dir;
    std::unique_ptr<Session> s = std::make_unique<Session>();
    std::unique_ptr<TTarnixForm> form = std::make_unique<TTarnixForm>(*s);
    QString cell(int row) const {
        const QTableWidgetItem* item = form->NavigationGrid->item(row - 1, 0);
        return item ? item->text() : QString();
    }
    QString path(const std::string& name) const { return QString::fromStdString(dir.file(name)); }
};

} // namespace

TEST_F(Positioning, ImportShowsTheRowsSaveWritesThemClearEmptiesThem) {
    writeTextFile(dir.file("in.nav"), "10 2024 1 2 3 4 40.0 20.0\n20 2024 1 2 3 5 41.0 21.0\n");
    form->chooseNavFiles = [&] { return QStringList{path("in.nav"), path("ignored.nav")}; };
    form->importNavbutt->click();
    EXPECT_EQ(cell(15), "15 0 0 0 0 0 40.50000000 20.50000000");
    EXPECT_EQ(cell(10), "10 2024 1 2 3 4 40.00000000 20.00000000");
    EXPECT_EQ(cell(9), "");
    EXPECT_EQ(form->HdrSelect->value(), 1);
    EXPECT_EQ(form->Edit2->text(), "Import Navigation From :" + path("in.nav"));

    // A row typed into the list is saved as typed.
    form->NavigationGrid->item(12, 0)->setText("13 edited");
    form->chooseNavSaveFile = [&] { return path("out.nav"); };
    form->SavenavButt->click();
    const std::string saved = readTextFile(dir.file("out.nav"));
    EXPECT_EQ(std::count(saved.begin(), saved.end(), '\n'), 11);
    EXPECT_NE(saved.find("\n13 edited            \n"), std::string::npos);
    EXPECT_EQ(form->Edit2->text(), "Save Navigation To : " + path("out.nav"));

    // Row 1 is empty: CLEAR empties only that row.
    form->ClearNavButt->click();
    EXPECT_EQ(cell(15), "15 0 0 0 0 0 40.50000000 20.50000000");
    form->chooseNavSaveFile = [] { return QString(); }; // cancelled: nothing written
    form->SavenavButt->click();
    EXPECT_EQ(readTextFile(dir.file("out.nav")), saved);
}

TEST_F(Positioning, ABadFileKeepsTheRowsBeforeItAndCancelDoesNothing) {
    writeTextFile(dir.file("bad.nav"), "1 0 0 0 0 0 1.0 1.0\n2 0 0 0 0 0 1.0\n");
    form->chooseNavFiles = [&] { return QStringList{path("bad.nav")}; };
    form->importNavbutt->click();
    EXPECT_EQ(cell(1), "1 0 0 0 0 0 1.00000000 1.00000000");
    EXPECT_EQ(cell(2), "");
    form->chooseNavFiles = [] { return QStringList{}; };
    form->importNavbutt->click();
    EXPECT_EQ(cell(1), "1 0 0 0 0 0 1.00000000 1.00000000");
}

TEST_F(Positioning, ExtractionWritesANavFileBesideEverySelectedSegyFile) {
    for (const char* name : {"a.sgy", "b.SEG"}) {
        tarnix::test::SynthSegy f;
        for (int i = 0; i < 25; ++i)
            f.addTrace(i, 8, 1000).set(segy::CoordUnits, 1).set(segy::SourceY, 600 + i);
        f.write(dir.file(name));
    }
    form->HdrSelect->setValue(10);
    form->chooseNavFiles = [&] { return QStringList{path("a.sgy"), path("b.SEG")}; };
    form->ExtractNAV1->trigger();
    EXPECT_EQ(readTextFile(dir.file("a.NAV")),
              "10 0 0 0 0 0 610.00000000 0.00000000 \n20 0 0 0 0 0 620.00000000 0.00000000 \n");
    EXPECT_EQ(readTextFile(dir.file("b.NAV")), readTextFile(dir.file("a.NAV")));
    EXPECT_EQ(form->Edit4->text(), path("b.NAV"));
    EXPECT_EQ(form->Edit3->text(), "26");
}
