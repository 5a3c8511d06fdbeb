// Shipped help pages with the user's own winning, and file dialogs that start
// where the same kind of dialog was last confirmed.
#include "core/session.h"
#include "processing/module_table.h"
#include "support/temp_dir.h"
#include "ui/bmp_form.h"
#include "ui/controls.h"
#include "ui/file_dialogs.h"
#include "ui/help_pages.h"
#include "ui/map_form.h"
#include "ui/map_viewer_form.h"
#include "ui/processing_form.h"
#include "ui/tarnix_form.h"
#include "ui/time_slice_form.h"
#include "ui/windows.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFileDialog>
#include <QImage>
#include <QPixmap>
#include <QPushButton>
#include <QSettings>
#include <QTextBrowser>
#include <QTimer>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>

using namespace tarnix;

namespace {

// HOME pointed at a directory of the test for its lifetime.
struct HomeDir {
    test::TempDir dir;
    std::string saved = std::getenv("HOME") ? std::getenv("HOME") : "";
    HomeDir() { setenv("HOME", dir.path().c_str(), 1); }
    ~HomeDir() { setenv("HOME", saved.c_str(), 1); }
};

} // namespace

TEST(HelpPages, EveryModulePageAndTheMainPageAreShipped) {
    HomeDir home; // an empty home: nothing of the user's
    int pages = 0;
    for (const ModuleEntry& m : moduleTable()) {
        const std::string page = m.button.helpPage;
        if (page.empty()) continue;
        ++pages;
        EXPECT_TRUE(hasShippedHelpPage(page)) << page;
        EXPECT_EQ(helpPageUrl(page).scheme(), "qrc") << page;
    }
    EXPECT_GE(pages, 26);
    EXPECT_TRUE(hasShippedHelpPage(kMainHelpPage));
    EXPECT_FALSE(hasShippedHelpPage("NOPE.html"));
    EXPECT_TRUE(helpPageUrl("NOPE.html").isEmpty());
    EXPECT_FALSE(hasShippedHelpPage("../help/AGCM.html"));
}

TEST(HelpPages, TheUsersPageWinsAndTheShippedOneFillsIn) {
    HomeDir home;
    std::filesystem::create_directories(home.dir.path() / "tarnix");
    test::writeTextFile(home.dir.file("tarnix/DECM.html"), "<p>our decon notes</p>");
    const QUrl own = helpPageUrl("DECM.html");
    EXPECT_TRUE(own.isLocalFile());
    EXPECT_EQ(own.toLocalFile().toStdString(), home.dir.file("tarnix/DECM.html"));
    EXPECT_EQ(helpPageUrl("AGCM.html").toString(), "qrc:/help/AGCM.html");
    // HOME unset: there is no user's folder, the shipped page still shows.
    unsetenv("HOME");
    EXPECT_EQ(helpPageUrl("DECM.html").toString(), "qrc:/help/DECM.html");
}

TEST(HelpPages, TheMainWindowsHelpMenuShowsItsPage) {
    HomeDir home;
    Session s;
    Windows w = createWindows(s);
    ASSERT_NE(w.TarnixForm->HelpContents1, nullptr);
    EXPECT_EQ(w.TarnixForm->HelpContents1->shortcut(), QKeySequence(Qt::Key_F1));
    w.TarnixForm->HelpContents1->trigger();
    ASSERT_NE(w.TarnixForm->HelpForm, nullptr);
    auto* viewer = w.TarnixForm->HelpForm->findChild<QTextBrowser*>("HelpViewer");
    ASSERT_NE(viewer, nullptr);
    EXPECT_TRUE(viewer->toPlainText().contains("Fit to Window"));
    delete w.TarnixForm;
}

namespace {

struct Dialogs : ::testing::Test {
    std::unique_ptr<Session> s = std::make_unique<Session>();
    Windows w;
    test::TempDir before, after;
    Dialogs() {
        TTarnixForm::userSettings()->clear();
        w = createWindows(*s);
        w.ProcessingForm->showMessage = [](const QString&) {};
    }
    ~Dialogs() override { delete w.TarnixForm; }

    // Runs `trigger`, which must open a file dialog; the dialog's starting
    // directory is returned, and it is confirmed with `file` of `after`.
    QString answer(const std::function<void()>& trigger, const std::string& file) {
        QString started;
        bool seen = false;
        const QString chosen = QString::fromStdString(after.file(file));
        std::function<void()> poll;
        poll = [&] {
            auto* d = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            if (!d) {
                QTimer::singleShot(5, poll);
                return;
            }
            seen = true;
            started = d->directory().absolutePath();
            d->selectFile(chosen);
            static_cast<QDialog*>(d)->accept(); // QFileDialog::accept checks the name
        };
        QTimer::singleShot(0, poll);
        trigger();
        EXPECT_TRUE(seen) << file;
        return started;
    }
};

} // namespace

TEST_F(Dialogs, EachDialogStartsInItsLastDirectoryAndRemembersTheNewOne) {
    const QString was = QString::fromStdString(before.path().string());
    const QString now = QString::fromStdString(after.path().string());
    test::writeTextFile(after.file("line.nav"), "");
    test::writeTextFile(after.file("bottom.dgt"), "10 20.0\n");
    test::writeTextFile(after.file("seq.txt"), "# Module p1 p2 p3 p4 p5 p6 \n");
    test::writeTextFile(after.file("box.bnd"), "");
    test::writeTextFile(after.file("points.xy"), "");
    auto click = [this](const char* name) {
        return [this, name] { w.ProcessingForm->findChild<QPushButton*>(name)->click(); };
    };
    struct Case {
        const char* key;
        std::function<void()> trigger;
        std::string file;
    };
    const Case cases[] = {
        {"navigation", [this] { w.TarnixForm->importNavbuttClick(); }, "line.nav"},
        {"navigation", [this] { w.TarnixForm->SavenavButtClick(); }, "saved.nav"},
        {"ascii", [this] { w.TarnixForm->SpeedButton2Click(); }, "trace.txt"},
        {"picks", click("MuteButt"), "bottom.dgt"},
        {"output", click("WKORVA2BUTT"), "out.d02"},
        {"sequence", [this] { w.ProcessingForm->LoadProcSequence1->trigger(); }, "seq.txt"},
        {"sequence", [this] { w.ProcessingForm->SaveProcSequence1->trigger(); }, "seq2.txt"},
        {"boundaries", [this] { w.MapForm->LoadBNDFile1Click(); }, "box.bnd"},
        {"xyz", [this] { (void)w.MapForm->runXyzDialog(); }, "map.xyz"},
        {"points", [this] { w.MapViewerForm->XYFile1Click(); }, "points.xy"},
        {"boundaries", [this] { w.BMPForm->SaveBoundaries1Click(); }, "scan.bnd"},
        {"timeSliceOutput", [this] { w.TimeSliceForm->SpeedButton1Click(); }, "slice.txt"},
    };
    for (const Case& c : cases) {
        setLastDirectory(c.key, was);
        EXPECT_EQ(answer(c.trigger, c.file), was) << c.key << " " << c.file;
        EXPECT_EQ(lastDirectory(c.key), now) << c.key << " " << c.file;
    }
}

TEST_F(Dialogs, ADirectoryThatIsGoneIsNotOffered) {
    std::string gone;
    {
        test::TempDir d;
        gone = d.path().string();
        setLastDirectory("sequence", QString::fromStdString(gone));
        EXPECT_EQ(lastDirectory("sequence"), QString::fromStdString(gone));
    }
    EXPECT_EQ(lastDirectory("sequence"), QString());
    // A cancelled dialog records nothing.
    QTimer::singleShot(0, [] {
        if (auto* d = qobject_cast<QFileDialog*>(QApplication::activeModalWidget())) d->reject();
    });
    QFileDialog dialog(nullptr, "Open");
    EXPECT_TRUE(execRemembered(dialog, "never").isEmpty());
    EXPECT_EQ(lastDirectory("never"), QString());
}

TEST(CrispPixmap, EachPixelBecomesABlockOfDevicePixelsWithoutNewColours) {
    QImage img(3, 2, QImage::Format_RGB32);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x) img.setPixel(x, y, (x + y) % 2 ? 0xFF000000u : 0xFFFFFFFFu);
    const QPixmap two = crispPixmap(img, 2);
    EXPECT_EQ(two.size(), QSize(6, 4));
    EXPECT_EQ(two.devicePixelRatio(), 2);
    EXPECT_EQ(two.deviceIndependentSize(), QSizeF(3, 2)); // the label's layout is unchanged
    const QImage back = two.toImage().convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 6; ++x)
            EXPECT_EQ(back.pixel(x, y), img.pixel(x / 2, y / 2)) << x << "," << y;
    // A fractional ratio gives uneven blocks, but still only the image's colours.
    const QImage odd = crispPixmap(img, 1.5).toImage().convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(odd.size(), QSize(5, 3)); // 4.5 rounds to 5
    for (int y = 0; y < odd.height(); ++y)
        for (int x = 0; x < odd.width(); ++x)
            EXPECT_TRUE(odd.pixel(x, y) == 0xFF000000u || odd.pixel(x, y) == 0xFFFFFFFFu);
    // At ratio 1 the picture is the image itself.
    EXPECT_EQ(crispPixmap(img, 1).toImage().convertToFormat(QImage::Format_RGB32), img);
}
