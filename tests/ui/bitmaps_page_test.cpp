// The scanned profile through the main window: open with its side files, the
// Bitmaps page and the calibration window, zoom steps with the read-out on the
// zoomed picture, bitmap picks, Convert; the ASCII and binary options windows.
#include "core/session.h"
#include "display/profile_picks.h"
#include "formats/bmp_image.h"
#include "support/korva_fixture.h"
#include "support/sonar_fixture.h"
#include "support/temp_dir.h"
#include "ui/ascii_select_form.h"
#include "ui/bmp_form.h"
#include "ui/profile_view.h"
#include "ui/select_shots_form.h"
#include "ui/tarnix_form.h"
#include "ui/windows.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <memory>

using namespace tarnix;
using namespace tarnix::test;

namespace {

struct BitmapsPage : ::testing::Test {
    std::unique_ptr<Session> s = std::make_unique<Session>();
    Windows w = createWindows(*s);
    TempDir dir;
    ~BitmapsPage() override { delete w.TarnixForm; }
    // Screens of the windows, for looking at them, when TARNIX_SHOT_DIR is set.
    void shot(QWidget* widget, const char* name) {
        if (const char* d = std::getenv("TARNIX_SHOT_DIR"))
            widget->grab().save(QString(d) + "/" + name + ".png");
    }
};

// 200 x 120, white, a black band at rows 59..61 and a red column x 100 (red keeps 0 amplitude).
std::string writeScan(const TempDir& dir) {
    RgbImage img;
    img.width = 200;
    img.height = 120;
    img.pixels.assign(200 * 120, 0xffffffffu);
    for (int y = 59; y <= 61; ++y)
        for (int x = 0; x < 200; ++x) img.pixels[y * 200 + x] = 0xff000000u;
    for (int y = 0; y < 120; ++y) img.pixels[y * 200 + 100] = 0xffff0000u;
    writeBytes(dir.file("scan.bmp"), encodeBmp24(img));
    writeTextFile(dir.file("scan.bnd"), "0\n100\n1\n181\n10\n190\n10\n110\n");
    writeTextFile(dir.file("scan.NAV"),
                  "1 2024 65 10 20 30 40.5 29.25\n181 2024 65 10 25 30 40.6 29.35\n");
    return dir.file("scan.bmp");
}

struct Notebook : ProfilePickTarget {
    int picks = 0;
    bool notebookShown() const override { return true; }
    void notebookBitmapPick(Session&) override { ++picks; }
};

} // namespace

TEST_F(BitmapsPage, OpenZoomReadOutPickAndConvert) {
    TTarnixForm& f = *w.TarnixForm;
    f.resize(1200, 800);
    f.show();
    const std::string path = writeScan(dir);
    f.openDataFile(QString::fromStdString(path));
    EXPECT_EQ(f.PageControl1->currentIndex(), TTarnixForm::BitmapsPage);
    EXPECT_EQ(f.GroupBox9->title().toStdString(), "File: " + path);
    EXPECT_TRUE(w.BMPForm->isVisible());
    EXPECT_EQ(w.BMPForm->windowTitle(), "BMPForm");
    EXPECT_EQ(w.BMPForm->fields[5]->text(), "190");
    EXPECT_EQ(f.Edit3->text().toStdString(), "NAVFile found :" + dir.file("scan.NAV"));
    EXPECT_EQ(f.bitmapImage.size(), QSize(200, 120));
    EXPECT_TRUE(f.Playbutt->isEnabled());
    shot(&f, "bitmaps_open");

    // The read-out at zoom 1.2: the mouse is in zoomed pixels, the box is scaled.
    f.SpeedButton12Click();
    f.SpeedButton12Click();
    EXPECT_EQ(f.Label2->text(), "1.20");
    EXPECT_EQ(f.bitmapImage.size(), QSize(240, 144));
    f.Image2MouseMove(static_cast<int>(100 * 1.2), 72);
    // Column 100 is shot 1 + 90 x 180 / 180; row 60 is 50 ms.
    EXPECT_EQ(s->cursor.CursorShot, 91);
    EXPECT_EQ(s->cursor.CursorTimeText, "50.000000");
    shot(&f, "bitmaps_zoomed");
    f.SpeedButton11Click();
    EXPECT_EQ(f.bitmapImage.size(), QSize(200, 120));

    auto nb = std::make_unique<Notebook>();
    Notebook* notebook = nb.get();
    f.profileView().setPickTarget(std::move(nb));
    f.Image2MouseDown(Qt::RightButton, Qt::NoModifier, 50, 60);
    f.Image2MouseDown(Qt::LeftButton, Qt::NoModifier, 50, 60); // a plain left press is no pick
    f.Image2MouseDown(Qt::RightButton, Qt::NoModifier, 5, 5);  // outside the box
    EXPECT_EQ(notebook->picks, 1);

    w.BMPForm->close();
    f.PlayButtClick();
    EXPECT_EQ(s->Memo2[5], "Normal Completion");
    EXPECT_EQ(s->NumTraces, 180);
    // The black row at 50 ms is dark across the profile; the red column is white.
    const QImage& p = f.profileImage;
    ASSERT_FALSE(p.isNull());
    auto darkest = [&](int x) {
        int red = 255;
        for (int y = 52; y < p.height() - 52; ++y) red = std::min(red, qRed(p.pixel(x, y)));
        return red;
    };
    EXPECT_LT(darkest(50 + 41), 200); // shot 41 (shot k is column 50 + k)
    EXPECT_EQ(darkest(50 + 91), 255); // shot 91 is the red column
    shot(&f, "bitmaps_converted");
}

TEST_F(BitmapsPage, MovingOverAPictureThatIsNotTheInputKeepsTheShotRange) {
    TTarnixForm& f = *w.TarnixForm;
    f.bitmapImage = QImage(300, 300, QImage::Format_RGB32);
    f.bitmapImage.fill(Qt::white);
    s->shots.StartShot.set(7);
    s->shots.EndShot.set(9);
    f.Image2MouseMove(100, 100);
    EXPECT_EQ(s->shots.StartShot(), 7);
    EXPECT_EQ(s->shots.EndShot(), 9);
}

TEST_F(BitmapsPage, AsciiAndBinaryOptionsWindows) {
    TTarnixForm& f = *w.TarnixForm;
    writeTextFile(dir.file("t.TXT"), "1 2\n3 4\n5 6\n");
    f.openDataFile(QString::fromStdString(dir.file("t.TXT")));
    TAsciiSelectForm& a = *w.AsciiSelectForm;
    EXPECT_TRUE(a.isVisible());
    EXPECT_EQ(a.windowTitle(), "Ascii File Parameters");
    EXPECT_EQ(a.S_Redit->text(), "2.0");
    a.S_Redit->setText("-1");
    a.OkClick();
    EXPECT_TRUE(a.isVisible()); // refused: the window stays
    a.S_Redit->setText("4");
    shot(&a, "ascii_options");
    a.OkClick();
    EXPECT_FALSE(a.isVisible());
    EXPECT_EQ(s->SampleRate, 4);
    EXPECT_TRUE(w.SelectShotsForm->isVisible());
    EXPECT_EQ(w.SelectShotsForm->Label2->text(), "Total: 2");
    EXPECT_EQ(w.SelectShotsForm->EndShot->value(), 3);
    w.SelectShotsForm->close();

    Bytes b(2 * 10 * 3, 0);
    writeBytes(dir.file("r.bin"), b);
    f.openDataFile(QString::fromStdString(dir.file("r.bin")));
    ASSERT_NE(f.BINSelectForm, nullptr);
    TBINSelectForm& d = *f.BINSelectForm;
    EXPECT_TRUE(d.isVisible());
    EXPECT_EQ(d.windowTitle(), "Binary File Format");
    EXPECT_EQ(d.samples_per_sweep->value(), 100);
    EXPECT_EQ(d.samples_per_sweep->maximum(), 16384);
    EXPECT_EQ(d.bits_per_sample->singleStep(), 8);
    EXPECT_EQ(d.Sampling_frequency->value(), 1000);
    EXPECT_EQ(d.channels->buttons().size(), 24);
    d.samples_per_sweep->setValue(10);
    d.channels->button(2)->click();
    shot(&d, "binary_options");
    d.OKbuttClick();
    EXPECT_FALSE(d.isVisible());
    EXPECT_TRUE(s->InputOpen);
    EXPECT_EQ(s->NumTraces, 1);
    EXPECT_EQ(s->binary.channels(), 3);
    EXPECT_TRUE(w.SelectShotsForm->isVisible());
}

TEST_F(BitmapsPage, ExportAsciiOnlyFromRecordFilesAndNothingWhenCancelled) {
    TTarnixForm& f = *w.TarnixForm;
    int asked = 0;
    QString answer;
    f.chooseAsciiFile = [&] {
        ++asked;
        return answer;
    };
    writeTextFile(dir.file("t.txt"), "1 2\n");
    f.openDataFile(QString::fromStdString(dir.file("t.txt")));
    f.ExportAscii1Click();
    EXPECT_EQ(asked, 0);
    EXPECT_EQ(f.Edit4->text(), "Export Ascii reads KORVA 2.0 files (.d02): open one first");

    SynthKorvaRecord r;
    writeBytes(dir.file("l.d02"), korvaFile(r, 3, 16384));
    f.openDataFile(QString::fromStdString(dir.file("l.d02")));
    s->EndSweep.set(1);
    const int traces = s->NumTraces;
    f.ExportAscii1Click(); // cancelled
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(s->NumTraces, traces);
    answer = QString::fromStdString(dir.file("out.txt"));
    f.ExportAscii1Click();
    const std::string text = readTextFile(dir.file("out.txt"));
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 8); // 1 ms at 8 kHz
    EXPECT_EQ(text.substr(0, 11), "0.00000000,");             // slot 0 holds no sample
}
