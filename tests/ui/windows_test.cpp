#include "core/session.h"
#include "support/temp_dir.h"
#include "ui/disclaimers_form.h"
#include "ui/display_controls_form.h"
#include "ui/dump_ui.h"
#include "ui/tarnix_form.h"
#include "ui/windows.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QJsonArray>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableWidget>

#include <gtest/gtest.h>

#include <set>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <optional>
#include <sys/wait.h>

using namespace tarnix;
using tarnix::test::TempDir;
using tarnix::test::writeTextFile;

namespace {

// The windows of one start-up, with HOME pointing at a private directory.
class StartUp : public ::testing::Test {
protected:
    void SetUp() override {
        if (const char* h = std::getenv("HOME")) oldHome_ = h;
        setenv("HOME", home_.path().c_str(), 1);
    }
    void TearDown() override {
        delete w_.TarnixForm;
        if (oldHome_)
            setenv("HOME", oldHome_->c_str(), 1);
        else
            unsetenv("HOME");
    }
    void start() {
        w_ = createWindows(*session_);
        w_.TarnixForm->INIT_VARIABLES();
    }
    void writeDefaults(const std::string& text) {
        writeTextFile(home_.file(".tarnix_defaults"), text);
    }
    TTarnixForm& main() { return *w_.TarnixForm; }
    TDisplayControlsForm& display() { return *w_.DisplayControlsForm; }

    TempDir home_;
    std::unique_ptr<Session> session_ = std::make_unique<Session>();
    Windows w_;

private:
    std::optional<std::string> oldHome_;
};

QJsonObject findNode(const QJsonObject& node, const QString& name) {
    if (node["name"].toString() == name) return node;
    for (const QJsonValue& c : node["children"].toArray()) {
        QJsonObject hit = findNode(c.toObject(), name);
        if (!hit.isEmpty()) return hit;
    }
    return {};
}

struct MenuEntry {
    const char* menu;
    const char* entry;
    const char* handler;
};

} // namespace

TEST_F(StartUp, FifteenWindowsInCreationOrderWithTheirCaptions) {
    start();
    const QJsonArray windows = dumpWindows(w_);
    const std::pair<const char*, const char*> expected[] = {
        {"TTarnixForm", "Tarnix ver 1.2 (Morvel)"},
        {"TSelectShotsForm", "Select Shots"},
        {"TDisplayControlsForm", "Display"},
        {"TProcessingForm", nullptr},
        {"TSEGYSelectForm", "SEGY File Type"},
        {"TAsciiSelectForm", nullptr},
        {"TNotesForm", nullptr},
        {"TTimeSliceForm", "Time Slice"},
        {"TBMPForm", nullptr},
        {"TMapForm", "Map Limits"},
        {"TPlotOnMapForm", nullptr},
        {"TMapViewerForm", nullptr},
        {"TTrace_Plot_Form", nullptr},
        {"TW_depth_form", nullptr},
        {"TDisclaimers_form", nullptr},
    };
    ASSERT_EQ(windows.size(), 15);
    for (int i = 0; i < 15; ++i) {
        const QJsonObject win = windows[i].toObject();
        EXPECT_EQ(win["class"].toString().toStdString(), expected[i].first) << "window " << i;
        if (expected[i].second) {
            EXPECT_EQ(win["caption"].toString().toStdString(), expected[i].second);
        }
        EXPECT_EQ(win["tree"].toObject()["visible"].toBool(), i == 0);
    }
    // The other windows belong to the main one: closing it ends the program.
    for (QWidget* tool : {static_cast<QWidget*>(w_.DisplayControlsForm),
                          static_cast<QWidget*>(w_.Disclaimers_form)})
        EXPECT_EQ(tool->parentWidget(), w_.TarnixForm);
    EXPECT_EQ(&windowsOf(main().Display).DisplayControlsForm, &main().forms.DisplayControlsForm);
}

TEST_F(StartUp, NinePagesInOrderAndTheRefractionPageUnreachable) {
    start();
    const char* captions[] = {"Profile",      "Positioning",      "Tarnix File Header",
                              "Analysis",     "SEGY File Header", "Processing Memo",
                              "Reflectivity", "Bitmaps",          "Refraction"};
    const char* names[] = {"TabSheet1", "TabSheet2", "TabSheet3", "TabSheet5", "TabSheet6",
                           "TabSheet7", "TabSheet4", "TabSheet8", "TabSheet9"};
    QTabWidget* pages = main().PageControl1;
    ASSERT_EQ(pages->count(), 9);
    for (int i = 0; i < 9; ++i) {
        EXPECT_EQ(pages->tabText(i).toStdString(), captions[i]);
        EXPECT_EQ(pages->widget(i)->objectName().toStdString(), names[i]);
    }
    EXPECT_FALSE(pages->isTabVisible(8));
    EXPECT_FALSE(pages->isTabEnabled(8));
    for (int i = 0; i < 8; ++i) EXPECT_TRUE(pages->isTabVisible(i)) << i;

    // Named controls sit on their pages.
    const std::pair<int, const char*> controls[] = {
        {0, "Display"},      {1, "NavigationGrid"}, {1, "HdrSelect"}, {2, "FileHeaderGrid"},
        {3, "Sel_ana_spin"}, {3, "RMSFlag"},        {4, "SEGYmemo"},  {5, "Memo2"},
        {6, "graph1"},       {6, "refgrid"},        {7, "Image2"},    {7, "Label2"},
        {8, "Section"}};
    for (auto [page, name] : controls)
        EXPECT_NE(pages->widget(page)->findChild<QWidget*>(name), nullptr) << name;
    EXPECT_EQ(main().Memo2->toPlainText().toStdString(), "Processing Sequence");
}

TEST_F(StartUp, MainMenuEntriesAcceleratorsAndHandlers) {
    start();
    const MenuEntry entries[] = {
        {"&File", "&Open", "OpenFile1Click"},
        {"&File", "&Close", "Close1Click"},
        {"&File", "C&reate  Notebook", "CreateaNotebook1Click"},
        {"&File", "Ex&port Ascii", "ExportAscii1Click"},
        {"&File", "Save &Navigation", "SavenavButtClick"},
        {"&File", "&Save Image", "Save1Click"},
        {"&File", "Save &Config.", "SaveConfig1Click"},
        {"&File", "&Print", "Print1Click"},
        {"&File", "&Exit", "Exit1Click"},
        {"&Image Edit", "&New", "New1Click"},
        {"&Image Edit", "&Copy", "Copy1Click"},
        {"&Image Edit", "Cu&t", "Cut1Click"},
        {"&Image Edit", "&Paste", "paste1Click"},
        {"&Select", "S&hots", "Shots1Click"},
        {"&Select", "Annot. Font", "AnnotFont1Click"},
        {"&Select", "Title Font", "TitleFont1Click"},
        {"&Select", "&Pen color", "Pencolor1Click"},
        {"&Process", "&Edit Processing Sequence", "EditSequence1Click"},
        {"&Process", "&Go Process", ""},
        {"&Map", "OpenForm", "OpenForm1Click"},
        {"&Map", "E&xtract NAV from SEGY", "ExtractNAV1Click"},
        {"&Map", "Sam&ple XYZ Map", "Sample1Click"},
        {"3&D", "&Time Slices", "ExtractTimeSlices1Click"},
        {"&Help", "&Disclaimers", "Disclaimers1Click"},
    };
    const QJsonObject tree = dumpWindows(w_)[0].toObject()["tree"].toObject();
    const QJsonObject bar = findNode(tree, "MainMenu1");
    ASSERT_FALSE(bar.isEmpty());
    std::vector<MenuEntry> seen;
    std::vector<std::string> menuTitles;
    std::vector<std::string> texts, handlers;
    const std::set<std::string> additions = {"&Image Edit > Fit to Window",
                                             "&Image Edit > Actual Size", "&File > Recent &Files",
                                             "&File > Export P&DF", "&Help > Tarnix &Help"};
    std::set<std::string> added;
    for (const QJsonValue& m : bar["items"].toArray()) {
        menuTitles.push_back(m["text"].toString().toStdString());
        for (const QJsonValue& e : m["items"].toArray()) {
            const std::string text =
                m["text"].toString().toStdString() + " > " + e["text"].toString().toStdString();
            // Entries added around the designed ones, and separators, are checked apart.
            if (e["text"].toString().isEmpty() || additions.count(text)) {
                added.insert(text);
                continue;
            }
            texts.push_back(text);
            handlers.push_back(e["handler"].toString().toStdString());
        }
    }
    EXPECT_EQ(menuTitles, (std::vector<std::string>{"&File", "&Image Edit", "&Select", "&Process",
                                                    "&Map", "3&D", "&Help"}));
    for (const char* a :
         {"&Image Edit > Fit to Window", "&Image Edit > Actual Size", "&Help > Tarnix &Help"})
        EXPECT_TRUE(added.count(a)) << a;
    ASSERT_EQ(texts.size(), std::size(entries));
    for (size_t i = 0; i < texts.size(); ++i) {
        EXPECT_EQ(texts[i], std::string(entries[i].menu) + " > " + entries[i].entry);
        EXPECT_EQ(handlers[i], entries[i].handler) << texts[i];
    }

    // The pop-up menu of the images offers the Image Edit handlers.
    const QJsonObject popup = findNode(tree, "PopupMenu1");
    std::vector<std::string> popupItems;
    for (const QJsonValue& e : popup["items"].toArray())
        popupItems.push_back(e["text"].toString().toStdString() + "=" +
                             e["handler"].toString().toStdString());
    EXPECT_EQ(popupItems,
              (std::vector<std::string>{"Copy=Copy1Click", "Cut=Cut1Click", "Paste=paste1Click"}));
}

TEST_F(StartUp, TopPanelAndStatusBarAsDesigned) {
    start();
    const QJsonObject tree = dumpWindows(w_)[0].toObject()["tree"].toObject();
    const std::pair<const char*, const char*> hints[] = {{"SpeedButton1", "Display Controls"},
                                                         {"SpeedButton3", "Select Shots"},
                                                         {"SpeedButton4", "Create a Notebook"},
                                                         {"SpeedButton6", "Open Map Form"},
                                                         {"Playbutt", "GO process"},
                                                         {"OpenButt", "Open File"},
                                                         {"EditButt", "Edit Processing Sequence"}};
    for (auto [name, hint] : hints)
        EXPECT_EQ(findNode(tree, name)["hint"].toString().toStdString(), hint) << name;
    const QJsonObject go = findNode(tree, "Playbutt");
    EXPECT_EQ(go["text"].toString(), "GO");
    EXPECT_FALSE(go["enabled"].toBool()); // nothing open, no shot range yet
    EXPECT_FALSE(findNode(tree, "ProgressBar1")["visible"].toBool());
    EXPECT_EQ(findNode(tree, "TwoDCheck")["text"].toString(), "Interactive Mapping");
    const QJsonObject start = findNode(tree, "StartSweep");
    EXPECT_EQ(start["min"].toInt(), 0);
    EXPECT_EQ(start["max"].toInt(), 100000);
    EXPECT_EQ(findNode(tree, "EndSweep")["value"].toInt(), 100);
    EXPECT_EQ(findNode(tree, "HdrSelect")["step"].toInt(), 10);
    EXPECT_EQ(findNode(tree, "HdrSelect")["value"].toInt(), 10);
    EXPECT_EQ(findNode(tree, "Sel_ana_spin")["hint"].toString(), "Select shot for the analysis");

    const char* panels[] = {"Cursor", "Image", "Profile"};
    const int widths[] = {180, 120, 300};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(main().statusPanel(i).toStdString(), panels[i]);
        EXPECT_EQ(main().StatusPanels[i]->minimumWidth(), widths[i]);
    }
}

TEST_F(StartUp, DisplayWindowControlsRangesAndStartValues) {
    start();
    const QJsonObject tree = dumpWindows(w_)[2].toObject()["tree"].toObject();
    struct Control {
        const char* name;
        int min, max, value;
        const char* hint;
    };
    const Control controls[] = {
        {"PaletteBar", 0, 8, 0, "Color Palette"},
        {"Gain", 1, 10, 10, "Display Gain"},
        {"TrackBar3", 0, 100, 10, ""},
        {"NVP", 0, 10000, 100, "Vertical Size (pixels)"},
        {"TimeFreq", 0, 10000, 10, ""},
        {"ShotFreq", 0, 10000, 50, ""},
        {"Grid", 0, 10, 0, ""},
        {"Rep", 1, 10, 1, "Horizontal Size (X)"},
        {"SoundSpeedEdit", 0, 8000, 100, "Sound speed (m/sec.)"},
    };
    for (const Control& c : controls) {
        const QJsonObject n = findNode(tree, c.name);
        EXPECT_EQ(n["min"].toInt(), c.min) << c.name;
        EXPECT_EQ(n["max"].toInt(), c.max) << c.name;
        EXPECT_EQ(n["value"].toInt(), c.value) << c.name;
        EXPECT_EQ(n["hint"].toString().toStdString(), c.hint) << c.name;
    }
    EXPECT_EQ(findNode(tree, "DragWidth")["min"].toInt(), 3);
    EXPECT_EQ(findNode(tree, "DragWidth")["value"].toInt(), 40);
    EXPECT_EQ(findNode(tree, "DragWidth")["hint"].toString(), "Bottom Tracking window (pt.)");
    EXPECT_FALSE(findNode(tree, "TrackBar3")["enabled"].toBool());
    EXPECT_EQ(findNode(tree, "GroupBox1")["text"].toString(), "Screen");
    const QJsonObject dir = findNode(tree, "Dir_radio");
    EXPECT_EQ(dir["items"].toArray(), QJsonArray({"L-R", "R-L"}));
    EXPECT_EQ(dir["itemIndex"].toInt(), 0);
    EXPECT_FALSE(dir["enabled"].toBool());
    EXPECT_EQ(findNode(tree, "zoomnorm")["text"].toString(), "1:1");
    EXPECT_TRUE(findNode(tree, "zoomnorm")["checked"].toBool());
    EXPECT_FALSE(findNode(tree, "zoomnorm")["enabled"].toBool());
    EXPECT_TRUE(findNode(tree, "DlabelCheck")["checked"].toBool());
    EXPECT_TRUE(findNode(tree, "LineNameLabelCheck")["checked"].toBool());
    EXPECT_EQ(display().StatusPanel->text(), "Controls");
}

TEST_F(StartUp, DefaultsFileReachesTheControlsAndTheirHandlers) {
    // Palette 5 shows its name; palette 12 would be limited to 8 by the bar.
    writeDefaults("5\n1000\n4\n2\n60\n20\n1500\n10\n400\n25\n");
    start();
    EXPECT_EQ(display().PaletteBar->value(), 5);
    EXPECT_EQ(display().StatusPanel->text().toStdString(), "color palette 3        ");
    EXPECT_EQ(display().NVP->value(), 1000);
    EXPECT_EQ(display().RepLab->text(), "4");
    EXPECT_EQ(display().GridLab->text(), "2");
    EXPECT_EQ(display().SoundSpeedEdit->value(), 1500);
    EXPECT_EQ(display().DragWidth->value(), 25);
    EXPECT_EQ(main().StartSweep->value(), 10);
    EXPECT_EQ(main().EndSweep->value(), 400);
}

TEST_F(StartUp, OutOfRangePaletteShowsTheLastOne) {
    writeDefaults("12\n100\n1\n0\n50\n10\n100\n0\n100\n40\n");
    start();
    EXPECT_EQ(display().PaletteBar->value(), 8);
    EXPECT_EQ(session_->display.PaletteBar(), 8);
    EXPECT_EQ(display().StatusPanel->text().toStdString(), "color palette 6        ");
}

TEST_F(StartUp, ABadDefaultsLineKeepsEarlierValuesAndSaysWhy) {
    writeDefaults("6\n500\nabc\n2\n50\n10\n100\n0\n100\n40\n");
    start();
    EXPECT_EQ(display().PaletteBar->value(), 6);
    EXPECT_EQ(display().NVP->value(), 500);
    EXPECT_EQ(display().Rep->value(), 1);
    EXPECT_EQ(display().Grid->value(), 0);
    EXPECT_NE(main().Edit2->text().indexOf("line 3"), -1) << main().Edit2->text().toStdString();
}

TEST_F(StartUp, ControlsAndSessionAreOneValue) {
    start();
    display().Rep->setValue(4);
    EXPECT_EQ(session_->display.Rep(), 4);
    EXPECT_EQ(display().RepLab->text(), "4");
    display().Gain->setValue(3);
    EXPECT_EQ(session_->display.Gain(), 3);
    main().EndSweep->setValue(750);
    EXPECT_EQ(session_->EndSweep(), 750);
    main().HdrSelect->setValue(20);
    EXPECT_EQ(session_->HdrSelect(), 20);

    session_->display.PaletteBar.set(2);
    session_->Edit3 = "TRACE NUM. 17";
    session_->SEGYmemo = {"******************* SHOT HEADER **************************", "x"};
    session_->navigationGrid = {"Navigation String", "1 2024 100 12 0 0 60.1 24.9"};
    session_->goEnabled = true;
    session_->Sel_ana_spin = RangedInt(1200, 1500, 1200); // a confirmed shot range
    display().refreshFromSession();
    main().refreshFromSession();
    EXPECT_EQ(display().StatusPanel->text().toStdString(), "+/-, gray levels       ");
    EXPECT_EQ(main().Edit3->text(), "TRACE NUM. 17");
    EXPECT_EQ(main().SEGYmemo->toPlainText().count('\n'), 1);
    EXPECT_EQ(main().NavigationGrid->item(0, 0)->text(), "1 2024 100 12 0 0 60.1 24.9");
    EXPECT_TRUE(main().Playbutt->isEnabled());
    EXPECT_EQ(main().Sel_ana_spin->minimum(), 1200);
    EXPECT_EQ(main().Sel_ana_spin->maximum(), 1500);
    EXPECT_EQ(main().Sel_ana_spin->value(), 1200);
    EXPECT_EQ(session_->Sel_ana_spin(), 1200);

    // Saving reads what the controls hold now.
    main().SaveConfig1Click();
    EXPECT_EQ(tarnix::test::readTextFile(home_.file(".tarnix_defaults")).substr(0, 8),
              "2\n100\n4\n");
}

TEST_F(StartUp, AnalysisPageSwitchesSingleTraceModeAndCloseDisablesGo) {
    start();
    main().PageControl1->setCurrentIndex(TTarnixForm::AnalysisPage);
    EXPECT_TRUE(session_->SingleTraceMode);
    main().PageControl1->setCurrentIndex(TTarnixForm::PositioningPage);
    EXPECT_FALSE(session_->SingleTraceMode);

    session_->goEnabled = true;
    main().refreshFromSession();
    main().Close1Click();
    EXPECT_FALSE(session_->goEnabled);
    EXPECT_FALSE(main().Playbutt->isEnabled());
}

TEST_F(StartUp, ImageEditCopiesCutsAndPastesThroughTheClipboard) {
    start();
    TTarnixForm& f = main();
    f.profileImage = QImage(40, 30, QImage::Format_RGB32);
    f.profileImage.fill(QColor(10, 20, 30));
    f.profileImage.setPixel(5, 5, qRgb(200, 0, 0));
    f.showProfile();
    f.PageControl1->setCurrentIndex(TTarnixForm::ProfilePage);

    f.Cut1Click();
    EXPECT_EQ(f.profileImage.pixel(5, 5), qRgb(255, 255, 255));
    const QImage clip = QApplication::clipboard()->image();
    ASSERT_FALSE(clip.isNull());
    EXPECT_EQ(clip.size(), QSize(40, 30));

    f.paste1Click();
    EXPECT_EQ(f.profileImage.pixel(5, 5), qRgb(200, 0, 0));
    EXPECT_EQ(f.profileImage.pixel(0, 0), qRgb(10, 20, 30));

    // New: a blank bitmap of the profile's size on the Bitmaps page.
    f.New1Click();
    EXPECT_EQ(f.PageControl1->currentIndex(), TTarnixForm::BitmapsPage);
    EXPECT_EQ(f.bitmapImage.size(), QSize(40, 30));
    EXPECT_EQ(f.bitmapImage.pixel(5, 5), qRgb(255, 255, 255));
    f.paste1Click();
    EXPECT_EQ(f.bitmapImage.pixel(5, 5), qRgb(200, 0, 0));
}

TEST(DumpUi, ProgramPrintsJsonWithoutADisplayAndRefusesToStartTheGuiWithoutOne) {
    const std::string exe = std::string(TARNIX_BINARY_DIR) + "/tarnix";
    if (!std::filesystem::exists(exe)) GTEST_SKIP() << "tarnix not built";
    TempDir dir;
    const std::string env =
        "env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM HOME=" + dir.path().string() + " ";
    const std::string out = dir.file("dump.json");
    ASSERT_EQ(std::system((env + exe + " --dump-ui > " + out + " 2>/dev/null").c_str()), 0);
    const std::string json = tarnix::test::readTextFile(out);
    EXPECT_NE(json.find("\"caption\": \"Tarnix ver 1.2 (Morvel)\""), std::string::npos);
    EXPECT_NE(json.find("\"TDisclaimers_form\""), std::string::npos);

    const std::string err = dir.file("err.txt");
    const int rc = std::system((env + exe + " 2> " + err).c_str());
    EXPECT_TRUE(WIFEXITED(rc) && WEXITSTATUS(rc) == 1) << rc;
    EXPECT_NE(tarnix::test::readTextFile(err).find("no X display"), std::string::npos);
}
