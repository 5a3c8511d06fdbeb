#include "core/session.h"
#include "support/temp_dir.h"
#include "ui/processing_form.h"

#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QTextBrowser>

#include <gtest/gtest.h>

#include <memory>

using namespace tarnix;

namespace {
struct Form : ::testing::Test {
    std::unique_ptr<Session> s = std::make_unique<Session>();
    TProcessingForm form{*s};
    QStringList messages;
    Form() {
        form.showMessage = [this](const QString& m) { messages << m; };
    }
    QPushButton* button(const char* name) { return form.findChild<QPushButton*>(name); }
    QString grid(int row, int col) { return form.ProcGrid->item(row - 1, col)->text(); }
};
} // namespace

TEST_F(Form, ButtonsSitOnTheirTabsWithHintsAndStates) {
    ASSERT_EQ(form.PageControl1->count(), 5);
    EXPECT_EQ(form.PageControl1->tabText(3), "I/O");
    EXPECT_EQ(form.windowTitle(), "Processing Form");
    ASSERT_NE(button("AGCButt"), nullptr);
    EXPECT_EQ(button("AGCButt")->toolTip(), "Automatic Gain Control");
    EXPECT_FALSE(button("Button5")->isEnabled());        // WSEGY
    EXPECT_FALSE(button("ASCIIWriteButt")->isEnabled()); // WASCII
    EXPECT_TRUE(button("WKORVA2BUTT")->isEnabled());
    EXPECT_EQ(button("WKORVA2BUTT")->text(), "WKORVA2.0");
    for (const char* name : {"FK1M", "FK2M", "SFXM", "FLGM", "FXXM", "DFTM", "SMIG", "KMIG"}) {
        ASSERT_NE(button(name), nullptr) << name;
        EXPECT_FALSE(button(name)->isEnabled()) << name;
    }
    EXPECT_EQ(form.ProcGrid->rowCount(), 49); // plus the header row
    EXPECT_EQ(form.ProcGrid->columnWidth(2), 117);
    EXPECT_EQ(form.ProcGrid->model()->headerData(1, Qt::Horizontal).toString(), "Module");
}

TEST_F(Form, ButtonsAndAddFillTheGridAndTheSessionTable) {
    button("AGCButt")->click();
    EXPECT_EQ(form.Editor->title(), "AGCM");
    EXPECT_EQ(form.ParamEdits[0]->text(), "128");
    form.ParamEdits[0]->setText("1");
    emit form.ParamEdits[0]->textEdited("1");
    form.AddButt->click();
    EXPECT_EQ(grid(1, 1), "AGCM");
    EXPECT_EQ(grid(1, 2), "2");
    EXPECT_EQ(form.Editor->title(), "Module Parameters");

    button("FilterButt")->click();
    form.FilterTypeBox->setCurrentIndex(2); // High Pass hides the high cut
    EXPECT_TRUE(form.HighCutEdit->isHidden());
    form.AddButt->click();
    EXPECT_EQ(grid(2, 2), "10.00");
    EXPECT_EQ(grid(2, 3), "1.00");
    EXPECT_EQ(grid(2, 5), "2");
    EXPECT_EQ(s->sequence.cell(2, 1), "FLTM");

    // A typed cell reaches the table the run reads.
    form.ProcGrid->item(1, 6)->setText("64");
    EXPECT_EQ(s->sequence.cell(2, 6), "64");

    // A bad number: a message, no crash, the row keeps its number only.
    button("AGCButt")->click();
    emit form.ParamEdits[0]->textEdited("abc");
    form.AddButt->click();
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].contains("'abc'"));
    EXPECT_EQ(grid(3, 0), "3");
    EXPECT_EQ(grid(3, 1), "");
}

TEST_F(Form, SequenceFileThroughTheMenuAndFailures) {
    test::TempDir dir;
    button("NormaButt")->click();
    form.AddButt->click();
    std::string path = dir.file("seq.txt");
    form.chooseSequenceFile = [&](bool) { return std::optional<std::string>(path); };
    form.SaveProcSequence1->trigger();
    form.ClearSeqButt->click();
    EXPECT_EQ(grid(1, 1), "");
    form.LoadProcSequence1->trigger();
    EXPECT_EQ(grid(1, 1), "NORM");
    EXPECT_TRUE(messages.isEmpty());

    path = dir.file("missing.txt");
    form.LoadProcSequence1->trigger();
    EXPECT_EQ(messages.size(), 1);
    EXPECT_EQ(grid(1, 1), "NORM");

    // A Save the disk cannot take says so with the file's name.
    for (const std::string& bad : {std::string("/dev/full"), dir.file("seq.txt") + "/in_a_file"}) {
        path = bad;
        messages.clear();
        form.SaveProcSequence1->trigger();
        ASSERT_EQ(messages.size(), 1) << bad;
        EXPECT_TRUE(messages[0].contains(QString::fromStdString(bad))) << messages[0].toStdString();
    }
}

TEST_F(Form, HelpViewerShowsTheUsersPageElseTheShippedOne) {
    test::TempDir home;
    std::filesystem::create_directories(home.path() / "tarnix");
    test::writeTextFile(home.file("tarnix/AGCM.html"), "<h1>Gain window</h1>");
    std::string saved = getenv("HOME") ? getenv("HOME") : "";
    setenv("HOME", home.path().c_str(), 1);
    button("AGCButt")->click();
    EXPECT_TRUE(form.TextViewer1->toPlainText().contains("Gain window"));
    button("NormaButt")->click(); // none in the user's folder
    EXPECT_TRUE(form.TextViewer1->toPlainText().contains("NORM"))
        << form.TextViewer1->toPlainText().toStdString();
    EXPECT_FALSE(form.TextViewer1->toPlainText().contains("No help page"));
    setenv("HOME", saved.c_str(), 1);
}

TEST_F(Form, EveryTableButtonRunsTheHandlerItNames) {
    for (const ModuleEntry& m : moduleTable()) {
        if (!m.button.caption) continue;
        const QByteArray slot = QByteArray(m.button.handler) + "()";
        EXPECT_GE(form.metaObject()->indexOfSlot(slot.constData()), 0) << m.button.handler;
        QPushButton* b = button(m.button.objectName);
        ASSERT_NE(b, nullptr) << m.button.objectName;
        if (m.button.dialog != FileDialogKind::None) continue; // would open a dialog
        b->setEnabled(true);
        b->click();
        EXPECT_EQ(form.Editor->title(), m.button.title) << m.code;
        EXPECT_EQ(&form.editor().currentModule(), &m);
    }
}
