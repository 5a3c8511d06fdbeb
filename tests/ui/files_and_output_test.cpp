// What the main window keeps between starts, drag and drop, the output formats
// and the run's status text, on a real line (F3) and a small synthetic one.
#include "core/session.h"
#include "support/segy_fixture.h"
#include "support/temp_dir.h"
#include "ui/display_controls_form.h"
#include "ui/profile_view.h"
#include "ui/segy_select_form.h"
#include "ui/select_shots_form.h"
#include "ui/tarnix_form.h"
#include "ui/windows.h"

#include <QAction>
#include <QApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QSettings>
#include <QSpinBox>
#include <QUrl>

#include <gtest/gtest.h>

#include <fstream>

#include <memory>

using namespace tarnix;

namespace {
struct MainWindowFiles : ::testing::Test {
    std::unique_ptr<Session> s = std::make_unique<Session>();
    Windows w;
    tarnix::test::TempDir dir;
    MainWindowFiles() {
        TTarnixForm::userSettings()->clear();
        w = createWindows(*s);
    }
    ~MainWindowFiles() override { delete w.TarnixForm; }

    std::string writeLine(const std::string& name, int traces) {
        tarnix::test::SynthSegy f;
        for (int t = 0; t < traces; ++t) f.addTrace(t + 1, 200, 1000);
        const std::string path = dir.file(name);
        f.write(path);
        return path;
    }
    void drop(const QString& path) {
        QMimeData mime;
        mime.setUrls({QUrl::fromLocalFile(path)});
        QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &mime, Qt::LeftButton,
                              Qt::NoModifier);
        QApplication::sendEvent(w.TarnixForm, &enter);
        ASSERT_TRUE(enter.isAccepted());
        QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(w.TarnixForm, &drop);
    }
    void okOkGo() {
        w.SEGYSelectForm->OKbutt->click();
        w.SelectShotsForm->OK->click();
        w.TarnixForm->PlayButtClick();
    }
};
} // namespace

TEST_F(MainWindowFiles, DroppedFileOpensAsFileOpenDoesAndIsRemembered) {
    const std::string f3 = tarnix::test::testdataPath("peer/segyio-f3.sgy");
    if (f3.empty()) GTEST_SKIP() << "shared test data not found";
    TTarnixForm* form = w.TarnixForm;
    drop(QString::fromStdString(f3));
    EXPECT_TRUE(w.SEGYSelectForm->isVisible()); // the SEG-Y options come first, as after Open
    okOkGo();
    ASSERT_FALSE(form->profileImage.isNull());
    ASSERT_EQ(form->RecentFiles1->actions().size(), 1);
    EXPECT_EQ(form->RecentFiles1->actions()[0]->text(), "&1 segyio-f3.sgy");

    // A file dropped that is no file at all is refused before anything closes.
    QMimeData none;
    none.setText("not a file");
    QDragEnterEvent enter(QPoint(1, 1), Qt::CopyAction, &none, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(form, &enter);
    EXPECT_FALSE(enter.isAccepted());
    EXPECT_TRUE(s->InputOpen);
}

TEST_F(MainWindowFiles, RecentFilesKeepTheSegyOptionsAndTheLastEight) {
    TTarnixForm* form = w.TarnixForm;
    const std::string first = writeLine("first.sgy", 5);
    form->openDataFile(QString::fromStdString(first));
    w.SEGYSelectForm->refreshFromSession();
    s->segy.XEditscaler = "10"; // as typed in the options window
    s->segy.SEGYRadio = SegyOptions::BigEndian;
    w.SEGYSelectForm->refreshFromSession();
    okOkGo();
    for (int i = 0; i < 8; ++i) {
        const QString name = QString("l%1.sgy").arg(i);
        form->openDataFile(QString::fromStdString(writeLine(name.toStdString(), 3)));
        okOkGo();
    }
    ASSERT_EQ(form->RecentFiles1->actions().size(), 8);
    EXPECT_EQ(form->RecentFiles1->actions()[0]->text(), "&1 l7.sgy");
    EXPECT_EQ(form->RecentFiles1->actions()[7]->text(), "&8 l0.sgy"); // first.sgy dropped off

    // Opening one of them again brings back the options it was read with.
    form->openDataFile(QString::fromStdString(first));
    okOkGo();
    s->segy.XEditscaler = "1";
    s->segy.SEGYRadio = SegyOptions::Detect;
    form->openRecentFile(1); // l7.sgy, with the options of first.sgy's run carried over
    EXPECT_EQ(s->segy.XEditscaler, "10");
    EXPECT_EQ(s->segy.SEGYRadio, SegyOptions::BigEndian);
    EXPECT_TRUE(w.SEGYSelectForm->isVisible());
    EXPECT_TRUE(QString::fromStdString(s->InputFileName).endsWith("l7.sgy"));

    // The list is in the per-user settings, not in the defaults file.
    auto st = TTarnixForm::userSettings();
    EXPECT_EQ(st->beginReadArray("recentFiles"), 8);
    st->endArray();

    // A remembered file that has gone says so and opens nothing.
    QFile::remove(QString::fromStdString(dir.file("l6.sgy")));
    form->openRecentFile(2);
    EXPECT_FALSE(s->InputOpen);
    EXPECT_TRUE(form->Edit4->text().contains("no longer there"));
}

TEST_F(MainWindowFiles, LastDirectoriesAndGeometryComeBack) {
    TTarnixForm* form = w.TarnixForm;
    const QString line = QString::fromStdString(writeLine("dir.sgy", 3));
    form->setLastDirectory("open", line);
    EXPECT_EQ(form->lastDirectory("open"), QString::fromStdString(dir.path().string()));
    EXPECT_EQ(form->lastDirectory("pdf"), QString()); // never used

    form->setGeometry(120, 80, 700, 500);
    form->close();
    Windows again = createWindows(*s);
    EXPECT_TRUE(again.TarnixForm->restoreWindowState());
    EXPECT_EQ(again.TarnixForm->size(), QSize(700, 500));
    delete again.TarnixForm;
}

TEST_F(MainWindowFiles, SaveImageByFilterAndPdfExportAndTheRunStatus) {
    TTarnixForm* form = w.TarnixForm;
    form->openDataFile(QString::fromStdString(writeLine("out.sgy", 40)));
    w.SEGYSelectForm->OKbutt->click();
    w.SelectShotsForm->OK->click();
    // The run's status text follows the shots the run reports; it goes when the run ends.
    RunHooks& hooks = form->profileView().hooks();
    hooks.runState(true);
    EXPECT_EQ(form->runProgressText(), "Shot 0");
    hooks.shotsDone(20, 40);
    EXPECT_TRUE(form->runProgressText().startsWith("Shot 20 of 40"));
    hooks.runState(false);
    EXPECT_TRUE(form->runProgressText().isEmpty());
    form->PlayButtClick();
    EXPECT_TRUE(form->runProgressText().isEmpty());

    const QImage picture = form->profileImage;
    ASSERT_FALSE(picture.isNull());
    const QString png = QString::fromStdString(dir.file("p"));
    form->saveImageAs(png, "PNG Files (*.png)");
    QImage back(png + ".png");
    ASSERT_FALSE(back.isNull());
    EXPECT_EQ(back.convertToFormat(QImage::Format_RGB32), picture);
    const QString tif = QString::fromStdString(dir.file("t.tif"));
    form->saveImageAs(tif, "Bitmap Files (*.bmp)"); // the name's own extension wins
    EXPECT_EQ(form->imageFileName, tif);
    QFile t(tif);
    ASSERT_TRUE(t.open(QIODevice::ReadOnly));
    EXPECT_EQ(t.read(4), QByteArray("II*\0", 4));

    const QString pdf = QString::fromStdString(dir.file("profile.pdf"));
    form->exportPdf(pdf);
    QFile p(pdf);
    ASSERT_TRUE(p.open(QIODevice::ReadOnly));
    const QByteArray bytes = p.readAll();
    EXPECT_TRUE(bytes.startsWith("%PDF-"));
    EXPECT_EQ(bytes.count("/Type /Page\n") + bytes.count("/Type /Page\r") +
                  bytes.count("/Type /Page "),
              1);
    EXPECT_EQ(form->lastDirectory("pdf"), QString::fromStdString(dir.path().string()));
}

TEST_F(MainWindowFiles, EscStopsAndF5Goes) {
    TTarnixForm* form = w.TarnixForm;
    EXPECT_EQ(form->StopKey->shortcut(), QKeySequence(Qt::Key_Escape));
    EXPECT_EQ(form->GoKey->shortcut(), QKeySequence(Qt::Key_F5));
    s->StopRequested = false;
    form->StopKey->trigger();
    EXPECT_TRUE(s->StopRequested);
    // F5 without a confirmed range does nothing, as the disabled GO does.
    form->GoKey->trigger();
    EXPECT_TRUE(form->profileImage.isNull());
    form->openDataFile(QString::fromStdString(writeLine("f5.sgy", 4)));
    w.SEGYSelectForm->OKbutt->click();
    w.SelectShotsForm->OK->click();
    form->GoKey->trigger();
    EXPECT_FALSE(form->profileImage.isNull());
}

TEST_F(MainWindowFiles, F3FirstLookWholeTraceAndAutoGain) {
    const std::string f3 = tarnix::test::testdataPath("peer/segyio-f3.sgy");
    if (f3.empty()) GTEST_SKIP() << "shared test data not found";
    TTarnixForm* form = w.TarnixForm;
    form->openDataFile(QString::fromStdString(f3));
    w.SEGYSelectForm->OKbutt->click();
    w.SelectShotsForm->OK->click();
    // The window is still the start value: the whole trace (75 samples of 4 ms) is offered.
    ASSERT_NE(form->WholeTraceOffer, nullptr);
    auto* use = form->WholeTraceOffer->findChild<QPushButton*>("WholeTraceOfferButton");
    ASSERT_NE(use, nullptr);
    EXPECT_EQ(use->text(), "Whole trace: 0 to 300 ms");
    use->click();
    EXPECT_EQ(s->EndSweep(), 300);
    EXPECT_EQ(form->EndSweep->value(), 300);

    // Auto from the Display window sets the gain for the next GO.
    form->PlayButtClick();
    EXPECT_NE(form->AutoGainOffer, nullptr); // the whole trace at gain 1 is pale too
    w.DisplayControlsForm->AutoGainButt->click();
    EXPECT_TRUE(form->Edit4->text().startsWith("Auto: gain ")) << form->Edit4->text().toStdString();
    EXPECT_TRUE(s->display.Gain() < 10 || s->display.ClipLevel > 0);
    form->PlayButtClick();
    EXPECT_EQ(form->AutoGainOffer, nullptr); // not blank after Auto
}

TEST_F(MainWindowFiles, AWindowTheUserChoseIsNotReplaced) {
    TTarnixForm* form = w.TarnixForm;
    s->EndSweep.set(150); // from the defaults file, say
    form->refreshFromSession();
    form->openDataFile(QString::fromStdString(writeLine("w.sgy", 3)));
    w.SEGYSelectForm->OKbutt->click();
    w.SelectShotsForm->OK->click();
    EXPECT_EQ(form->WholeTraceOffer, nullptr);
    // Auto without a confirmed range says what it needs.
    form->Close1Click();
    form->AutoGainClick();
    EXPECT_TRUE(form->Edit4->text().contains("confirmed shot range"));
}

TEST_F(MainWindowFiles, F3WithTheStartSettingsOffersAutoAfterANearlyBlankRun) {
    const std::string f3 = tarnix::test::testdataPath("peer/segyio-f3.sgy");
    if (f3.empty()) GTEST_SKIP() << "shared test data not found";
    TTarnixForm* form = w.TarnixForm;
    form->openDataFile(QString::fromStdString(f3));
    okOkGo(); // the start window, gain 1: F3's amplitudes are far below full scale
    ASSERT_FALSE(form->profileImage.isNull());
    ASSERT_NE(form->AutoGainOffer, nullptr);
    EXPECT_FALSE(form->AutoGainOffer->isHidden());
    auto* offer = form->AutoGainOffer->findChild<QPushButton*>();
    ASSERT_NE(offer, nullptr);
    EXPECT_EQ(offer->text(), "Auto gain");
    const int gainBefore = s->display.Gain();
    offer->click();
    EXPECT_TRUE(form->Edit4->text().startsWith("Auto: gain ")) << form->Edit4->text().toStdString();
    EXPECT_TRUE(s->display.Gain() != gainBefore || s->display.ClipLevel > 0);
    form->PlayButtClick();
    EXPECT_EQ(form->AutoGainOffer, nullptr);
}
