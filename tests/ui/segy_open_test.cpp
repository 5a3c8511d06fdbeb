// Opening a SEG-Y line through the windows: options window, Select Shots, the
// "SEGY File Header" page and the shot counter.
#include "core/session.h"
#include "support/segy_fixture.h"
#include "support/temp_dir.h"
#include "ui/segy_select_form.h"
#include "ui/select_shots_form.h"
#include "ui/tarnix_form.h"
#include "ui/w_depth_form.h"
#include "ui/windows.h"

#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>

#include <gtest/gtest.h>

#include <memory>

using namespace tarnix;
using tarnix::test::SynthSegy;

namespace {
struct SegyWindows : ::testing::Test {
    std::unique_ptr<Session> s = std::make_unique<Session>();
    Windows w = createWindows(*s);
    tarnix::test::TempDir dir;
    ~SegyWindows() override { delete w.TarnixForm; }

    std::string writeLine(int traces) {
        SynthSegy f;
        f.text[0] = 0xC3; // "C"
        for (int t = 0; t < traces; ++t) f.addTrace(t + 1, 50, 1000).set(13, 2).set(109, 5);
        const std::string path = dir.file("line.sgy");
        f.write(path);
        return path;
    }
};
} // namespace

TEST_F(SegyWindows, OpenOkOkEnablesGoAndFillsTheHeaderPage) {
    TSEGYSelectForm* opt = w.SEGYSelectForm;
    EXPECT_EQ(opt->windowTitle(), "SEGY File Type");
    EXPECT_TRUE(opt->DataFormatRadio->isEnabled());
    EXPECT_TRUE(opt->findChildren<QRadioButton*>().size() >= 3 + 24 + 2 + 4 + 2);
    EXPECT_EQ(opt->XEditscaler->text(), "1");

    const std::string path = writeLine(20);
    w.TarnixForm->openDataFile(QString::fromStdString(path));
    EXPECT_TRUE(opt->isVisible());
    EXPECT_FALSE(s->InputOpen);
    EXPECT_EQ(w.TarnixForm->Edit2->text().toStdString(), "File Name: " + path);

    opt->OKbutt->click();
    EXPECT_FALSE(opt->isVisible());
    EXPECT_TRUE(s->InputOpen);
    EXPECT_EQ(opt->S_REdit->text(), "1000");
    EXPECT_EQ(w.TarnixForm->Edit2->text(), "DELAY =5.0");
    EXPECT_EQ(w.TarnixForm->SEGYmemo->document()->blockCount(), 45);
    EXPECT_TRUE(w.TarnixForm->SEGYmemo->toPlainText().startsWith("C "));
    TSelectShotsForm* sel = w.SelectShotsForm;
    EXPECT_TRUE(sel->isVisible());
    EXPECT_EQ(sel->Label1->text(), "File:  line.sgy");
    EXPECT_EQ(sel->Label2->text(), "Total: 21");
    // Every trace, counted from 0: the run reads shots 0..19.
    EXPECT_EQ(sel->StartShot->value(), 0);
    EXPECT_EQ(sel->EndShot->value(), 20);
    EXPECT_FALSE(w.TarnixForm->Playbutt->isEnabled());

    sel->EndShot->setValue(11);
    sel->OK->click();
    EXPECT_FALSE(sel->isVisible());
    EXPECT_EQ(s->NumTraces, 11);
    EXPECT_TRUE(w.TarnixForm->Playbutt->isEnabled());
    EXPECT_EQ(w.TarnixForm->Sel_ana_spin->minimum(), 0);
    EXPECT_EQ(w.TarnixForm->Sel_ana_spin->maximum(), 11);

    w.TarnixForm->PageControl1->setCurrentIndex(TTarnixForm::SegyHeaderPage);
    w.TarnixForm->Sel_ana_spin->setValue(7);
    w.TarnixForm->standClick();
    const QStringList lines = w.TarnixForm->SEGYmemo->toPlainText().split('\n');
    ASSERT_EQ(lines.size(), 72);
    EXPECT_EQ(lines[1], "Trace Sequency Number within line 8");
    EXPECT_EQ(w.TarnixForm->Edit3->text(), "TRACE NUM. 8");
    EXPECT_EQ(w.TarnixForm->Edit4->text(), "CHAN NUM. 2");
}

TEST_F(SegyWindows, FailuresShowInTheStatusField) {
    std::string path = writeLine(2);
    w.TarnixForm->openDataFile(QString::fromStdString(path));
    w.SEGYSelectForm->OKbutt->click();
    w.SelectShotsForm->OK->click();
    // Stepping past the last trace says so instead of showing the last one again.
    w.TarnixForm->Sel_ana_spin->setValue(2);
    w.TarnixForm->UpClick();
    EXPECT_TRUE(w.TarnixForm->Edit4->text().contains("past the end"))
        << w.TarnixForm->Edit4->text().toStdString();

    w.TarnixForm->openDataFile(QString::fromStdString(dir.file("gone.sgy")));
    w.SEGYSelectForm->OKbutt->click();
    EXPECT_FALSE(s->InputOpen);
    EXPECT_FALSE(w.SelectShotsForm->isVisible());
    EXPECT_TRUE(w.TarnixForm->Edit4->text().contains("gone.sgy"));
    EXPECT_FALSE(w.TarnixForm->Playbutt->isEnabled());

    w.TarnixForm->openDataFile(QString::fromStdString(dir.file("line.d02")));
    EXPECT_FALSE(w.SEGYSelectForm->isVisible());
    EXPECT_TRUE(w.TarnixForm->Edit4->text().contains(".D02"));
}

TEST_F(SegyWindows, DataFormatShowsTheHeaderAndAChoiceOverridesIt) {
    TSEGYSelectForm* opt = w.SEGYSelectForm;
    auto formats = opt->DataFormatRadio->findChildren<QRadioButton*>();
    ASSERT_EQ(formats.size(), 4);
    EXPECT_FALSE(formats[3]->isEnabled()); // "32 bit fix+gain"
    auto orders = opt->SEGYRadio->findChildren<QRadioButton*>();
    ASSERT_EQ(orders.size(), 3);
    EXPECT_EQ(orders[2]->text(), "detect");

    SynthSegy f;
    f.formatCode = 1;
    f.bigEndian = false;
    for (int t = 0; t < 4; ++t) f.addTrace(t + 1, 20, 1000);
    const std::string path = dir.file("ibm.sgy");
    f.write(path);
    w.TarnixForm->openDataFile(QString::fromStdString(path));
    EXPECT_TRUE(orders[2]->isChecked());
    EXPECT_TRUE(formats[2]->isChecked()) << "32 bit float, detected little-endian";
    orders[1]->click(); // big-endian: the header's code reads 256, nothing known
    EXPECT_TRUE(formats[0]->isChecked());
    orders[2]->click();
    EXPECT_TRUE(formats[2]->isChecked());
    opt->OKbutt->click();
    EXPECT_TRUE(s->InputOpen);
    EXPECT_EQ(s->raw[3], SynthSegy::value(1, 3));

    // A wrong header code: the file says 16-bit, the user knows better.
    f.headerCode = 3;
    f.write(path);
    w.TarnixForm->openDataFile(QString::fromStdString(path));
    EXPECT_TRUE(formats[0]->isChecked());
    formats[2]->click();
    EXPECT_EQ(s->segy.dataFormatCode, 1);
    opt->OKbutt->click();
    ASSERT_TRUE(s->InputOpen) << s->Edit4;
    EXPECT_EQ(s->raw[3], SynthSegy::value(1, 3));
    EXPECT_TRUE(QString::fromStdString(s->Edit4).contains("chosen instead of the header's code 3"));
}

TEST_F(SegyWindows, MultipingTakesTheWaterDepthWhenItsWindowCloses) {
    const std::string path = writeLine(3);
    w.TarnixForm->openDataFile(QString::fromStdString(path));
    TSEGYSelectForm* opt = w.SEGYSelectForm;
    opt->Z_scaler->findChildren<QRadioButton*>()[1]->click();
    ASSERT_TRUE(w.W_depth_form->isVisible());
    EXPECT_EQ(w.W_depth_form->windowTitle(), "W_depth");
    w.W_depth_form->wdepth->setText("300");
    opt->OKbutt->click(); // reads with the depth in use, then closes both windows
    EXPECT_FALSE(w.W_depth_form->isVisible());
    EXPECT_EQ(s->segy.waterDepth, 300);
    EXPECT_EQ(s->header.Delay, 0); // the first read ran before the depth was taken
    w.SelectShotsForm->OK->click();
    w.TarnixForm->standClick();
    EXPECT_EQ(s->header.Delay, 350); // trunc(399.99 / 50) x 50
}
