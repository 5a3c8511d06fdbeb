// The map windows: Map Limits, Plot Line Parameters and the map viewer, with
// map picks into a notebook and Interactive Mapping from the profile.
#include "core/session.h"
#include "display/profile_picks.h"
#include "support/temp_dir.h"
#include "ui/map_form.h"
#include "ui/map_viewer_form.h"
#include "ui/plot_on_map_form.h"
#include "ui/profile_view.h"
#include "ui/tarnix_form.h"
#include "ui/windows.h"

#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QClipboard>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QScrollArea>
#include <QSpinBox>
#include <QTabWidget>
#include <QWheelEvent>

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

using namespace tarnix;
using tarnix::test::readTextFile;
using tarnix::test::TempDir;
using tarnix::test::writeTextFile;

namespace {

void whiteBitmap(const std::string& path, int w, int h) {
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(0xFFFFFFFFu);
    ASSERT_TRUE(img.save(QString::fromStdString(path), "BMP"));
}

bool ink(const QImage& img, int x, int y) {
    return (img.pixel(x, y) & 0xFFFFFF) != 0xFFFFFF;
}

int inked(const QImage& img, QRect r) {
    int n = 0;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x) n += ink(img, x, y);
    return n;
}

// A notebook that numbers the points it is given, as the digitizing notebook
// does; the map side is the main window's own.
struct NotebookStandIn : WindowPickTarget {
    NotebookStandIn(TTarnixForm& form, std::vector<std::string>& lines)
        : WindowPickTarget(form), lines_(lines) {}
    bool notebookShown() const override { return shown; }
    int notebookMapPick(const std::string& lon, const std::string& lat) override {
        lines_.push_back(std::to_string(lines_.size() + 1) + " " + lon + " " + lat);
        return static_cast<int>(lines_.size());
    }
    bool shown = true;
    std::vector<std::string>& lines_;
};

// Every window of a session; one degree of latitude and longitude on a
// 400 x 400 bitmap whose side file lies beside it.
struct MapWindows : ::testing::Test {
    TempDir dir;
    std::unique_ptr<Session> s = std::make_unique<Session>();
    Windows w = createWindows(*s);
    TMapViewerForm& viewer = *w.MapViewerForm;
    TMapForm& limits = *w.MapForm;
    ~MapWindows() override { delete w.TarnixForm; }

    std::string map(const char* bnd = "41\n40\n29\n30\n0\n400\n0\n400\n",
                    const char* bndExt = ".bnd") {
        whiteBitmap(dir.file("m.bmp"), 400, 400);
        if (bnd) writeTextFile(dir.file(std::string("m") + bndExt), bnd);
        return dir.file("m.bmp");
    }
    void open(const std::string& path) {
        viewer.chooseBitmapFile = [path] { return QString::fromStdString(path); };
        viewer.Open1Click();
    }
    const QImage& image() { return viewer.document().image(); }
};

} // namespace

TEST_F(MapWindows, MapLimitsWindowIsBoundToTheSession) {
    EXPECT_EQ(limits.windowTitle(), "Map Limits");
    EXPECT_EQ(limits.Boundaries->title(), "Boundaries");
    EXPECT_EQ(limits.ImageBorders->title(), "Image borders");
    EXPECT_EQ(limits.Top->text(), "40.783");
    EXPECT_EQ(limits.Bottom->text(), "40.6667");
    EXPECT_EQ(limits.Left->text(), "29.25");
    EXPECT_EQ(limits.Right->text(), "30");
    EXPECT_EQ(limits.xmax->text(), "0");
    EXPECT_EQ(limits.status(), "BND File");
    // Linear, shown and never offered.
    EXPECT_FALSE(limits.Projection->isEnabled());
    const auto radios = limits.Projection->findChildren<QRadioButton*>();
    ASSERT_EQ(radios.size(), 4);
    EXPECT_EQ(radios[0]->text(), "Linear");
    EXPECT_TRUE(radios[0]->isChecked());
    EXPECT_EQ(radios[2]->text(), "Direct Mercator");

    limits.xmax->setText("1000");
    EXPECT_EQ(s->mapLimits.xmax, "1000");
    // OK, Cancel and Exit only close; the edit stays.
    limits.show();
    limits.BitBtn1Click();
    EXPECT_FALSE(limits.isVisible());
    EXPECT_EQ(s->mapLimits.xmax, "1000");
}

TEST_F(MapWindows, BoundaryFilesLoadAllOrNothingAndSaveByteForByte) {
    // Whole texts, CR line ends accepted.
    writeTextFile(dir.file("a.bnd"), "40.7830\r\n40.6667\r\n29.25\r\n30.000\r\n1\r\n1001\r\n"
                                     "2\r\n1002\r\n");
    limits.chooseBndOpenFile = [&] { return QString::fromStdString(dir.file("a.bnd")); };
    limits.LoadBNDFile1Click();
    EXPECT_EQ(limits.Top->text(), "40.7830");
    EXPECT_EQ(limits.Right->text(), "30.000");
    EXPECT_EQ(limits.ymax->text(), "1002");
    EXPECT_EQ(limits.status().toStdString(), "BND File :" + dir.file("a.bnd"));
    EXPECT_EQ(s->map.bndFileName, dir.file("a.bnd"));

    limits.chooseBndSaveFile = [&] { return QString::fromStdString(dir.file("b.BND")); };
    limits.SaveBoundaries1Click();
    EXPECT_EQ(readTextFile(dir.file("b.BND")),
              "40.7830\n40.6667\n29.25\n30.000\n1\n1001\n2\n1002\n");

    // Seven lines, or a border that is no integer: no field changes, the line is named.
    writeTextFile(dir.file("short.bnd"), "1\n0\n0\n1\n0\n10\n0\n");
    limits.chooseBndOpenFile = [&] { return QString::fromStdString(dir.file("short.bnd")); };
    limits.LoadBNDFile1Click();
    EXPECT_EQ(limits.Top->text(), "40.7830");
    EXPECT_TRUE(limits.status().contains("line 8")) << limits.status().toStdString();
    writeTextFile(dir.file("bad.bnd"), "1\n0\n0\n1\n0\nten\n0\n10\n");
    limits.chooseBndOpenFile = [&] { return QString::fromStdString(dir.file("bad.bnd")); };
    limits.LoadBNDFile1Click();
    EXPECT_EQ(s->mapLimits.xmax, "1001");
    EXPECT_TRUE(limits.status().contains("line 6")) << limits.status().toStdString();
}

TEST_F(MapWindows, PlotLineParametersWindow) {
    TPlotOnMapForm& p = *w.PlotOnMapForm;
    EXPECT_EQ(p.windowTitle(), "Plot Line Parameters");
    EXPECT_EQ(p.Labelspacing->minimum(), 1);
    EXPECT_EQ(p.Labelspacing->maximum(), 1000000);
    EXPECT_EQ(p.Labelspacing->value(), 100);
    EXPECT_EQ(p.pointspacing->maximum(), 1000);
    EXPECT_EQ(p.pointspacing->value(), 1);
    EXPECT_EQ(p.ConnectPoints->text(), "Connect points");
    EXPECT_FALSE(p.ConnectPoints->isChecked());
    p.pointspacing->setValue(10);
    p.ConnectPoints->setChecked(true);
    EXPECT_EQ(s->mapPlot.pointspacing(), 10);
    EXPECT_TRUE(s->mapPlot.connectPoints);
    viewer.LineParameters1Click();
    EXPECT_TRUE(p.isVisible());
    p.OkClick();
    EXPECT_FALSE(p.isVisible());
}

TEST_F(MapWindows, MenusAndTheirEnablingRules) {
    EXPECT_EQ(viewer.NAVFile1->text(), "Line (*.NAV;*.REF)");
    EXPECT_FALSE(viewer.NAVFile1->isEnabled());
    EXPECT_TRUE(viewer.XYFile1->isEnabled());
    EXPECT_EQ(viewer.MapBoundaries1->text(), "Map Boundaries (*.BND)");
    EXPECT_EQ(viewer.statusPanel(0), "BND File");
    EXPECT_EQ(viewer.statusPanel(1), "Image");
    EXPECT_EQ(viewer.statusPanel(2), "Map");
    // Showing the window asks for a bitmap; a cancelled dialog opens nothing.
    int asked = 0;
    viewer.chooseBitmapFile = [&] {
        ++asked;
        return QString();
    };
    w.TarnixForm->OpenForm1Click();
    QApplication::processEvents();
    EXPECT_EQ(asked, 1);
    EXPECT_FALSE(viewer.NAVFile1->isEnabled());
    open(map());
    EXPECT_TRUE(viewer.NAVFile1->isEnabled());
    EXPECT_EQ(viewer.Image1->size(), QSize(400, 400));
    // A double click on the map brings up the Map Limits window.
    viewer.Image1DblClick();
    EXPECT_TRUE(limits.isVisible());
    viewer.close();
    EXPECT_FALSE(viewer.NAVFile1->isEnabled());
    EXPECT_FALSE(viewer.linePlotting());
}

TEST_F(MapWindows, ImageEditPastesIntoTheMapWhenNoImagePageIsActive) {
    open(map());
    w.TarnixForm->PageControl1->setCurrentIndex(TTarnixForm::PositioningPage);
    QImage pasted(120, 90, QImage::Format_RGB32);
    pasted.fill(qRgb(10, 20, 30));
    QApplication::clipboard()->setImage(pasted);
    w.TarnixForm->paste1Click();
    EXPECT_EQ(image().size(), QSize(120, 90));
    EXPECT_EQ(viewer.Image1->size(), QSize(120, 90));
    w.TarnixForm->Cut1Click();
    EXPECT_EQ(image().pixel(5, 5) & 0xFFFFFF, 0xFFFFFFu);
}

TEST_F(MapWindows, OpenTakesTheSideFileInEitherCaseOrTheBitmapsBorders) {
    open(map("41\n40\n29\n30\n0\n400\n0\n400\n", ".BND"));
    EXPECT_EQ(viewer.statusPanel(0), "BND OK");
    EXPECT_EQ(limits.Top->text(), "41");
    EXPECT_EQ(limits.xmax->text(), "400");
    EXPECT_EQ(limits.status().toStdString(), "BND File :" + dir.file("m.BND"));
    EXPECT_FALSE(limits.isVisible());

    std::filesystem::remove(dir.file("m.BND"));
    whiteBitmap(dir.file("n.bmp"), 320, 240);
    open(dir.file("n.bmp"));
    EXPECT_EQ(viewer.statusPanel(0), "BND NOT Found");
    EXPECT_EQ(limits.xmin->text(), "1");
    EXPECT_EQ(limits.xmax->text(), "320");
    EXPECT_EQ(limits.ymax->text(), "240");
    EXPECT_EQ(limits.status(), "BND NOT found ");
    EXPECT_TRUE(limits.isVisible());
    viewer.New1Click();
    EXPECT_EQ(limits.xmin->text(), "0");
    EXPECT_EQ(limits.ymin->text(), "0");
}

TEST_F(MapWindows, RefusedBoxesDrawNothingAndSaySoInTheStatusPanel) {
    open(map());
    writeTextFile(dir.file("p.xy"), "W1 29.5 40.5\n");
    viewer.choosePointFile = [&] { return QString::fromStdString(dir.file("p.xy")); };
    limits.Bottom->setText("41"); // top not north of bottom
    viewer.XYFile1Click();
    EXPECT_EQ(limits.status(), "Map limits refused: Top must lie north of Bottom");
    EXPECT_EQ(inked(image(), image().rect()), 0);
    viewer.plotShot(100, 29.5, 40.5, true);
    EXPECT_EQ(inked(image(), image().rect()), 0);
    limits.Bottom->setText("40");
    limits.xmax->setText("0"); // zero pixel span
    viewer.Image1MouseMove(10, 10);
    EXPECT_TRUE(viewer.statusPanel(2).startsWith("Map limits refused"));
    EXPECT_EQ(limits.status(), "Map limits refused: X min and X max are the same pixel");
    EXPECT_TRUE(s->map.latText.empty());

    limits.xmax->setText("400");
    viewer.XYFile1Click();
    // The cross at (200, 200), its label "W1 " below right.
    EXPECT_TRUE(ink(image(), 197, 200));
    EXPECT_TRUE(ink(image(), 200, 198));
    EXPECT_GT(inked(image(), QRect(203, 203, 30, 20)), 0);
}

TEST_F(MapWindows, ReadOutInsideAndAtTheOrigin) {
    open(map("41\n40\n29\n30\n100\n500\n50\n450\n"));
    viewer.Image1MouseMove(101, 51);
    EXPECT_EQ(viewer.statusPanel(1), "Image: (101, 51)");
    EXPECT_EQ(viewer.statusPanel(2), "Lat. : 40.99750000   Long.:29.00250000   X/Y:1 1");
    EXPECT_EQ(s->map.lonText, "29.00250000");
    viewer.Image1MouseMove(100, 50);
    EXPECT_EQ(viewer.statusPanel(2), "Lat. :    Long.:   X/Y:0 0");
    // Inside is measured against the pixel extent 400, not against xmax itself.
    viewer.Image1MouseMove(499, 449);
    EXPECT_TRUE(viewer.statusPanel(2).startsWith("Lat. : 40.00250000"));
    viewer.Image1MouseMove(500, 449);
    EXPECT_TRUE(viewer.statusPanel(2).startsWith("Lat. :    Long."));
}

TEST_F(MapWindows, MapPicksAreNumberedOneTwoThreeInLabelAndNotebook) {
    open(map());
    std::vector<std::string> lines;
    auto notebook = std::make_unique<NotebookStandIn>(*w.TarnixForm, lines);
    NotebookStandIn* nb = notebook.get();
    w.TarnixForm->profileView().setPickTarget(std::move(notebook));
    w.TarnixForm->penColor = QColor(0, 0, 255);

    const QPoint at[] = {{40, 40}, {200, 120}, {300, 300}};
    for (const QPoint& p : at) {
        viewer.Image1MouseMove(p.x(), p.y());
        viewer.Image1MouseDown(p.x(), p.y());
    }
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], "1 29.10000000 40.90000000");
    EXPECT_EQ(lines[2], "3 29.75000000 40.25000000");
    EXPECT_FALSE(s->map.crossMode);
    // Crosses in the profile's pen colour, each labelled below right.
    for (const QPoint& p : at) {
        EXPECT_EQ(image().pixel(p.x() - 3, p.y()) & 0xFFFFFF, 0x0000FFu) << p.x();
        EXPECT_GT(inked(image(), QRect(p.x() + 3, p.y() + 3, 12, 16)), 0) << p.x();
    }
    // The first cross is labelled "1", as its notebook line is numbered.
    {
        QImage one(400, 400, QImage::Format_RGB32);
        one.fill(0xFFFFFFFFu);
        const MapBox box = MapBox::parse(s->mapLimits);
        MapPlotter p(one, box, s->mapPlot);
        p.setPenColour(QColor(0, 0, 255));
        p.setFont(w.TarnixForm->dialogFont);
        p.DRAW_POINT_ONMAP("1", 29.1, 40.9, true);
        EXPECT_TRUE(one.copy(30, 30, 40, 40) == image().copy(30, 30, 40, 40));
    }

    // Off the bitmap, or the notebook hidden: no line.
    viewer.Image1MouseMove(401, 10);
    viewer.Image1MouseDown(401, 10);
    nb->shown = false;
    viewer.Image1MouseMove(20, 20);
    viewer.Image1MouseDown(20, 20);
    EXPECT_EQ(lines.size(), 3u);
    // With the box refused the read-out has no position, and the notebook no line.
    nb->shown = true;
    limits.ymax->setText("0");
    viewer.Image1MouseMove(20, 20);
    viewer.Image1MouseDown(20, 20);
    EXPECT_EQ(lines.size(), 3u);
}

TEST_F(MapWindows, LinesPlotWithTheChosenColourAndTheSelectionsFirstKind) {
    open(map());
    std::string nav;
    for (int shot = 1; shot <= 200; ++shot)
        nav += std::to_string(shot) + " 2026 100 10 0 0 40.50000000 " +
               std::to_string(29.1 + shot * 0.004).substr(0, 10) + "\n";
    writeTextFile(dir.file("L7.nav"), "# line 7\n\n" + nav);
    writeTextFile(dir.file("L8.txt"), nav);
    viewer.chooseLineStyle = [](QColor& c, QFont&) { c = QColor(255, 0, 0); };
    QStringList chosen{QString::fromStdString(dir.file("L8.txt")),
                       QString::fromStdString(dir.file("L7.nav"))};
    w.TarnixForm->chooseNavFiles = [&] { return chosen; };
    viewer.NAVFile1Click();
    EXPECT_EQ(inked(image(), image().rect()), 0);

    // Every file of the selection is read as the first one's kind.
    std::swap(chosen[0], chosen[1]);
    viewer.NAVFile1Click();
    EXPECT_EQ(w.TarnixForm->Edit4->text(), "L8");
    // Shot 100 at (160 + 40, 200) = (200, 200): the black square and a red cross.
    EXPECT_EQ(image().pixel(198, 198) & 0xFFFFFF, 0u);
    EXPECT_EQ(image().pixel(201, 201) & 0xFFFFFF, 0u);
    EXPECT_EQ(image().pixel(202, 202) & 0xFFFFFF, 0xFFFFFFu);
    // Shot 50 at (120, 200): a small red cross.
    EXPECT_EQ(image().pixel(119, 200) & 0xFFFFFF, 0xFF0000u);
    // STOP pressed before the plotting: nothing more, and the request cleared.
    QImage before = image().copy();
    writeTextFile(dir.file("L9.nav"), "5 2026 100 10 0 0 40.9 29.9\n");
    chosen = {QString::fromStdString(dir.file("L9.nav"))};
    w.TarnixForm->chooseNavFiles = [&] {
        s->StopRequested = true;
        return chosen;
    };
    viewer.NAVFile1Click();
    EXPECT_EQ(image(), before);
    EXPECT_FALSE(s->StopRequested);
}

TEST_F(MapWindows, WheelZoomsTheViewOnlyAndSaveKeepsTheBitmapSize) {
    open(map());
    viewer.resize(300, 300);
    viewer.show();
    QApplication::processEvents();
    const QPointF at(120, 80);
    QWheelEvent wheel(at, viewer.Image1->mapToGlobal(at), QPoint(), QPoint(0, 120 * 4),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(viewer.Image1, &wheel);
    const double z = viewer.Image1->zoom();
    EXPECT_GT(z, 2.0);
    EXPECT_EQ(viewer.Image1->width(), static_cast<int>(std::lround(400 * z)));
    // A widget point reads the bitmap pixel under it at any zoom.
    EXPECT_EQ(viewer.Image1->toBitmap(QPointF(101 * z + 0.5, 51 * z + 0.5)), QPoint(101, 51));
    viewer.chooseSaveFile = [&] { return QString::fromStdString(dir.file("out.png")); };
    viewer.Save1Click();
    EXPECT_EQ(QImage(QString::fromStdString(dir.file("out.png"))).size(), QSize(400, 400));
    viewer.close();
}

TEST_F(MapWindows, SampleXyzNeedsAMapAndWritesEvenPixels) {
    limits.chooseXyzFile = [&] { return QString::fromStdString(dir.file("m.xyz")); };
    w.TarnixForm->Sample1Click();
    EXPECT_FALSE(std::filesystem::exists(dir.file("m.xyz")));

    open(map("41\n40\n29\n30\n0\n400\n0\n400\n"));
    QImage& img = viewer.document().image();
    img.setPixel(10, 20, qRgb(55, 0, 0));  // z 200
    img.setPixel(11, 20, qRgb(55, 0, 0));  // odd column: skipped
    img.setPixel(12, 20, qRgb(0, 0, 0));   // black: skipped
    img.setPixel(399, 0, qRgb(100, 0, 0)); // odd column at the edge
    w.TarnixForm->Sample1Click();
    EXPECT_EQ(readTextFile(dir.file("m.xyz")), "29.02500000 40.95000000 200\n");
}

TEST_F(MapWindows, InteractiveMappingDrawsClickedAndRunShotsOnTheMap) {
    TTarnixForm& main = *w.TarnixForm;
    // Shot 40 at the map's middle: a labelled cross for a profile click.
    open(map());
    s->shotPosition[40] = {29.5, 40.5};
    ProfilePickTarget& picks = main.profileView().picks();
    ASSERT_TRUE(picks.mapPlotting());
    picks.mapPlot(29.5, 40.5, 40);
    EXPECT_TRUE(ink(image(), 197, 200));
    EXPECT_GT(inked(image(), QRect(203, 203, 20, 16)), 0);

    // While a run paints, every shot with a fix is marked by the line spacings.
    main.TwoDCheck->setChecked(true);
    s->mapPlot.Labelspacing.set(100);
    s->shotPosition[100] = {29.25, 40.25};
    s->shotPosition[101] = {29.75, 40.75};
    s->shotPosition[102] = {std::nan(""), std::nan("")};
    RunHooks& hooks = main.profileView().hooks();
    for (int shot = 100; shot <= 102; ++shot) hooks.shotProcessed(shot);
    EXPECT_EQ(image().pixel(99, 299) & 0xFFFFFF, 0u); // shot 100: the square at (100, 300)
    EXPECT_TRUE(ink(image(), 299, 100));              // shot 101: a small cross
    EXPECT_FALSE(ink(image(), 298, 99));

    // Unticked, or the viewer closed: nothing.
    QImage before = image().copy();
    s->shotPosition[103] = {29.1, 40.1};
    main.TwoDCheck->setChecked(false);
    hooks.shotProcessed(103);
    main.TwoDCheck->setChecked(true);
    viewer.close();
    hooks.shotProcessed(103);
    EXPECT_EQ(image(), before);
}

TEST_F(MapWindows, TheDemoRunDrawsItsTrackOnTheMap) {
    TempDir cache;
    qputenv("XDG_CACHE_HOME", QByteArray::fromStdString(cache.path().string()));
    // The demo line runs east-north-east from 59.85 N 24.5 E, 1 m a shot.
    open(map("59.86\n59.845\n24.495\n24.525\n0\n400\n0\n400\n"));
    w.TarnixForm->TwoDCheck->setChecked(true);
    s->mapPlot.Labelspacing.set(1000000);
    w.TarnixForm->startDemo();
    qunsetenv("XDG_CACHE_HOME");
    ASSERT_EQ(s->Memo2.back(), "Normal Completion");
    const MapBox box = MapBox::parse(s->mapLimits);
    for (int shot : {0, 600, 1199}) {
        const auto& p = s->shotPosition[static_cast<size_t>(shot)];
        const std::optional<MapPixel> px = box.LongLatToYX(p[0], p[1]);
        ASSERT_TRUE(px);
        EXPECT_TRUE(ink(image(), px->x, px->y)) << shot;
    }
}
