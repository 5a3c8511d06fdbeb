#include "ui/map_viewer_form.h"
#include "ui/file_dialogs.h"

#include "core/session.h"
#include "display/view_zoom.h"
#include "navigation/map_box.h"
#include "ui/map_form.h"
#include "ui/plot_on_map_form.h"
#include "ui/profile_view.h"
#include "ui/tarnix_form.h"
#include "ui/windows.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QColorDialog>
#include <QFileDialog>
#include <QFontDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollArea>
#include <QScrollBar>
#include <QStatusBar>
#include <QTimer>
#include <QVBoxLayout>
#include <QWheelEvent>

#include <cmath>

namespace tarnix {

MapImageView::MapImageView(const QImage& image, QWidget* parent) : QWidget(parent), image_(image) {
    setObjectName("Image1");
    setMouseTracking(true);
    resize(1, 1);
}

void MapImageView::setZoom(double zoom) {
    zoom_ = clampViewZoom(zoom);
    refresh();
}

QPoint MapImageView::toBitmap(QPointF p) const {
    return QPoint(viewToPicture(static_cast<int>(std::floor(p.x())), zoom_),
                  viewToPicture(static_cast<int>(std::floor(p.y())), zoom_));
}

void MapImageView::refresh() {
    if (image_.isNull())
        resize(1, 1);
    else
        resize(viewSize(image_.width(), zoom_), viewSize(image_.height(), zoom_));
    update();
}

void MapImageView::paintEvent(QPaintEvent* event) {
    if (image_.isNull()) return;
    QPainter p(this);
    const QRect r = event->rect();
    if (zoom_ == 1.0) {
        p.drawImage(r.topLeft(), image_, r);
        return;
    }
    // Only the bitmap pixels under the exposed rectangle, each a square of the
    // zoom and unsmoothed, so thin tracks stay sharp.
    const int x0 = viewToPicture(r.left(), zoom_), y0 = viewToPicture(r.top(), zoom_);
    const int x1 = std::min(image_.width() - 1, viewToPicture(r.right(), zoom_));
    const int y1 = std::min(image_.height() - 1, viewToPicture(r.bottom(), zoom_));
    if (x1 < x0 || y1 < y0) return;
    const QRect source(x0, y0, x1 - x0 + 1, y1 - y0 + 1);
    p.setRenderHint(QPainter::SmoothPixmapTransform, false);
    p.drawImage(QRectF(x0 * zoom_, y0 * zoom_, source.width() * zoom_, source.height() * zoom_),
                image_, source);
}

TMapViewerForm::TMapViewerForm(Session& session, QWidget* parent)
    : QDialog(parent), session_(session), doc_(session) {
    setObjectName("MapViewerForm");
    setWindowTitle("Map Viewer");
    setModal(false);
    setWindowFlag(Qt::WindowMaximizeButtonHint, true);

    MainMenu1 = new QMenuBar(this);
    MainMenu1->setObjectName("MainMenu1");
    auto add = [this](QMenu* menu, QAction*& field, const char* name, const QString& caption,
                      const char* handler, void (TMapViewerForm::*slot)()) {
        field = menu->addAction(caption);
        field->setObjectName(name);
        field->setProperty("handler", QString(handler));
        connect(field, &QAction::triggered, this, slot);
    };
    QMenu* file = MainMenu1->addMenu("&File");
    file->setObjectName("File1");
    add(file, New1, "New1", "&New", "New1Click", &TMapViewerForm::New1Click);
    add(file, Open1, "Open1", "&Open", "Open1Click", &TMapViewerForm::Open1Click);
    add(file, Save1, "Save1", "&Save", "Save1Click", &TMapViewerForm::Save1Click);
    add(file, Exit1, "Exit1", "Exit", "Exit1Click", &TMapViewerForm::Exit1Click);
    QMenu* plot = MainMenu1->addMenu("&Plot");
    plot->setObjectName("Plot1");
    add(plot, XYFile1, "XYFile1", "XY Point", "XYFile1Click", &TMapViewerForm::XYFile1Click);
    add(plot, NAVFile1, "NAVFile1", "Line (*.NAV;*.REF)", "NAVFile1Click",
        &TMapViewerForm::NAVFile1Click);
    NAVFile1->setEnabled(false);
    QMenu* set = MainMenu1->addMenu("&Set");
    set->setObjectName("Set1");
    add(set, MapBoundaries1, "MapBoundaries1", "Map Boundaries (*.BND)", "MapBoundaries1Click",
        &TMapViewerForm::MapBoundaries1Click);
    add(set, LineParameters1, "LineParameters1", "Line Parameters", "LineParameters1Click",
        &TMapViewerForm::LineParameters1Click);

    ScrollBox1 = new QScrollArea(this);
    ScrollBox1->setObjectName("ScrollBox1");
    ScrollBox1->setWidgetResizable(false);
    Image1 = new MapImageView(doc_.image(), ScrollBox1);
    ScrollBox1->setWidget(Image1);
    Image1->installEventFilter(this);
    ScrollBox1->viewport()->installEventFilter(this);

    StatusBar1 = new QStatusBar(this);
    StatusBar1->setObjectName("StatusBar1");
    const char* texts[] = {"BND File", "Image", "Map"};
    for (int i = 0; i < 3; ++i) {
        auto* l = new QLabel(texts[i], StatusBar1);
        l->setObjectName(QString("Panel%1").arg(i));
        l->setFrameShape(QFrame::Panel);
        l->setFrameShadow(QFrame::Sunken);
        if (i < 2)
            l->setMinimumWidth(150);
        else // a long message must not widen the window
            l->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
        panels_[i] = l;
        StatusBar1->addWidget(l, i == 2 ? 1 : 0);
    }

    auto* main = new QVBoxLayout(this);
    main->setContentsMargins(0, 0, 0, 0);
    main->setMenuBar(MainMenu1);
    main->addWidget(ScrollBox1, 1);
    main->addWidget(StatusBar1);
    resize(800, 600);
}

QString TMapViewerForm::statusPanel(int index) const {
    return index >= 0 && index < 3 ? panels_[index]->text() : QString();
}

bool TMapViewerForm::linePlotting() const {
    return doc_.linePlotting();
}

void TMapViewerForm::refreshLimits() {
    if (TMapForm* limits = windowsOf(this).MapForm) limits->refreshFromSession();
}

void TMapViewerForm::report(const QString& message) {
    panels_[2]->setText(message);
    if (TTarnixForm* main = windowsOf(this).TarnixForm) main->showError(message);
}

bool TMapViewerForm::boxAccepted() {
    std::string why;
    if (MapBox::tryParse(session_.mapLimits, &why)) return true;
    const QString message = QString::fromStdString("Map limits refused: " + why);
    panels_[2]->setText(message);
    if (TMapForm* limits = windowsOf(this).MapForm)
        limits->setStatus(message);
    else
        session_.map.statusmap = message.toStdString();
    return false;
}

QString TMapViewerForm::fileDialog(bool save, const char* name, const QStringList& filters) {
    QFileDialog dialog(this, save ? "Save Map" : "Open Map");
    dialog.setObjectName(name);
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setNameFilters(filters);
    dialog.setDefaultSuffix("bmp");
    if (TTarnixForm* main = windowsOf(this).TarnixForm)
        dialog.setDirectory(main->lastDirectory("map"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    const QString chosen = dialog.selectedFiles().first();
    if (TTarnixForm* main = windowsOf(this).TarnixForm) main->setLastDirectory("map", chosen);
    return chosen;
}

void TMapViewerForm::Open1Click() {
    const QString name = chooseBitmapFile
                             ? chooseBitmapFile()
                             : fileDialog(false, "OpenDialog1",
                                          {"Bitmap Files (*.bmp *.BMP)",
                                           "Images (*.bmp *.BMP *.png *.jpg *.tif *.tiff)"});
    if (name.isEmpty()) return;
    openBitmap(name);
}

void TMapViewerForm::openBitmap(const QString& path) {
    QString panel;
    try {
        panel = QString::fromStdString(doc_.open(path.toLocal8Bit().toStdString()));
    } catch (const std::exception& e) {
        // A side file that does not load leaves the picture open and every field as it was.
        panel = doc_.linePlotting() ? "BND not loaded" : "No bitmap";
        const QString message = QString::fromLocal8Bit(e.what());
        session_.map.statusmap = message.toStdString();
        panels_[0]->setText(panel);
        refreshLimits();
        Image1->refresh();
        NAVFile1->setEnabled(doc_.linePlotting());
        report(message);
        return;
    }
    panels_[0]->setText(panel);
    NAVFile1->setEnabled(doc_.linePlotting());
    Image1->refresh();
    refreshLimits();
    if (panel == "BND NOT Found")
        if (TMapForm* limits = windowsOf(this).MapForm) limits->show();
    boxAccepted();
}

void TMapViewerForm::New1Click() {
    doc_.New1Click();
    refreshLimits();
}

void TMapViewerForm::Save1Click() {
    const QString name = chooseSaveFile ? chooseSaveFile()
                                        : fileDialog(true, "SaveDialog1",
                                                     {"Bitmap Files (*.BMP)", "PNG Files (*.png)"});
    if (name.isEmpty()) return;
    try {
        doc_.save(name.toLocal8Bit().toStdString());
    } catch (const std::exception& e) {
        report(QString::fromLocal8Bit(e.what()));
    }
}

void TMapViewerForm::Exit1Click() {
    close();
}

void TMapViewerForm::XYFile1Click() {
    QString name;
    if (choosePointFile) {
        name = choosePointFile();
    } else {
        QFileDialog dialog(this, "Plot XY Points");
        dialog.setObjectName("PlotXYDialog");
        dialog.setFileMode(QFileDialog::ExistingFile);
        dialog.setNameFilters({"XY Files (*.xy *.XY)", "Any File (*)"});
        if (const QStringList files = execRemembered(dialog, "points"); !files.isEmpty())
            name = files.first();
    }
    if (name.isEmpty() || !boxAccepted()) return;
    try {
        doc_.plotPointFile(name.toLocal8Bit().toStdString());
    } catch (const std::exception& e) {
        report(QString::fromLocal8Bit(e.what()));
    }
    Image1->update();
}

void TMapViewerForm::NAVFile1Click() {
    if (chooseLineStyle) {
        chooseLineStyle(doc_.penColour, doc_.font);
    } else {
        const QColor c = QColorDialog::getColor(doc_.penColour, this, "Line Colour");
        if (c.isValid()) doc_.penColour = c;
        bool ok = false;
        // A cancelled font dialog keeps the font the map had.
        const QFont f = QFontDialog::getFont(&ok, doc_.font, this, "Line Font");
        if (ok) doc_.font = f;
    }
    TTarnixForm* main = windowsOf(this).TarnixForm;
    if (!main) return;
    const QStringList names = main->runOpenNavDialog("Plot Lines");
    if (names.isEmpty() || names.first().isEmpty() || !boxAccepted()) return;
    std::vector<std::string> files;
    for (const QString& n : names) files.push_back(n.toLocal8Bit().toStdString());
    auto showProgress = [&] {
        main->Edit4->setText(QString::fromStdString(session_.Edit4));
        Image1->update();
    };
    QApplication::setOverrideCursor(Qt::WaitCursor);
    try {
        doc_.plotLines(MapDocument::lineSelection(files), [&] {
            showProgress();
            QApplication::processEvents();
        });
    } catch (const std::exception& e) {
        QApplication::restoreOverrideCursor();
        showProgress();
        report(QString::fromLocal8Bit(e.what()));
        return;
    }
    QApplication::restoreOverrideCursor();
    showProgress();
}

void TMapViewerForm::LineParameters1Click() {
    if (TPlotOnMapForm* f = windowsOf(this).PlotOnMapForm) {
        f->refreshFromSession();
        f->show();
        f->raise();
    }
}

void TMapViewerForm::MapBoundaries1Click() {
    if (TMapForm* f = windowsOf(this).MapForm) {
        f->refreshFromSession();
        f->show();
        f->raise();
    }
}

void TMapViewerForm::Image1DblClick() {
    MapBoundaries1Click();
}

void TMapViewerForm::Image1MouseMove(int x, int y) {
    const MapReadout r = mapReadout(session_.mapLimits, x, y);
    panels_[1]->setText(QString::fromStdString(r.image));
    panels_[2]->setText(QString::fromStdString(r.map));
    session_.map.latText = r.lat;
    session_.map.lonText = r.lon;
    if (r.lat.empty() && session_.map.statusmap != r.map) boxAccepted();
}

void TMapViewerForm::Image1MouseDown(int x, int y) {
    TTarnixForm* main = windowsOf(this).TarnixForm;
    if (!main) return;
    // Map picks are drawn with the pen and font the profile's marks use.
    doc_.penColour = main->penColor;
    doc_.font = main->dialogFont;
    ProfilePickTarget& picks = main->profileView().picks();
    if (!picks.notebookShown()) return;
    const int n = doc_.pick(x, y, [&picks](const std::string& lon, const std::string& lat) {
        return picks.notebookMapPick(lon, lat);
    });
    if (n > 0) Image1->update();
}

void TMapViewerForm::plotShot(int shot, double lon, double lat, bool labelled) {
    if (!doc_.linePlotting() || !boxAccepted()) return;
    if (doc_.plotShot(shot, lon, lat, labelled)) Image1->update();
}

void TMapViewerForm::mapImageChanged() {
    Image1->refresh();
}

void TMapViewerForm::setViewZoom(double zoom, QPoint anchor) {
    zoom = clampViewZoom(zoom);
    const double before = Image1->zoom();
    QScrollBar* h = ScrollBox1->horizontalScrollBar();
    QScrollBar* v = ScrollBox1->verticalScrollBar();
    const QSize port = ScrollBox1->viewport()->size();
    if (anchor.x() < 0) anchor = QPoint(port.width() / 2, port.height() / 2);
    const int sx = scrollAfterZoom(h->value(), anchor.x(), before, zoom);
    const int sy = scrollAfterZoom(v->value(), anchor.y(), before, zoom);
    Image1->setZoom(zoom);
    h->setValue(sx);
    v->setValue(sy);
}

void TMapViewerForm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // Every showing asks for a bitmap, once the window is up.
    if (!event->spontaneous()) QTimer::singleShot(0, this, &TMapViewerForm::Open1Click);
}

void TMapViewerForm::closeEvent(QCloseEvent* event) {
    doc_.setLinePlotting(false);
    NAVFile1->setEnabled(false);
    QDialog::closeEvent(event);
}

bool TMapViewerForm::eventFilter(QObject* watched, QEvent* event) {
    if (watched != Image1 && watched != ScrollBox1->viewport())
        return QDialog::eventFilter(watched, event);
    const QEvent::Type type = event->type();
    QScrollBar* h = ScrollBox1->horizontalScrollBar();
    QScrollBar* v = ScrollBox1->verticalScrollBar();
    if (type == QEvent::Wheel) {
        auto* we = static_cast<QWheelEvent*>(event);
        QPoint at = we->position().toPoint();
        if (watched == Image1) at = Image1->mapTo(ScrollBox1->viewport(), at);
        setViewZoom(wheelZoom(Image1->zoom(), we->angleDelta().y()), at);
        return true;
    }
    if (type != QEvent::MouseButtonPress && type != QEvent::MouseMove &&
        type != QEvent::MouseButtonRelease && type != QEvent::MouseButtonDblClick)
        return false;
    auto* me = static_cast<QMouseEvent*>(event);
    const QPoint global = me->globalPosition().toPoint();
    if (type == QEvent::MouseButtonPress) {
        pressTookPick_ = false;
        if (watched == Image1) {
            const QPoint p = Image1->toBitmap(me->position());
            Image1MouseMove(p.x(), p.y());
            TTarnixForm* main = windowsOf(this).TarnixForm;
            pressTookPick_ = main && main->profileView().picks().notebookShown();
            Image1MouseDown(p.x(), p.y());
        }
        // Middle drag always pans; a left drag pans when the press took no pick.
        if (me->button() == Qt::MiddleButton ||
            (me->button() == Qt::LeftButton && !pressTookPick_)) {
            panning_ = true;
            panFrom_ = global;
            panScroll_ = QPoint(h->value(), v->value());
        }
        return true;
    }
    if (type == QEvent::MouseButtonDblClick) {
        if (watched == Image1) Image1DblClick();
        return true;
    }
    if (type == QEvent::MouseMove) {
        if (panning_ && (me->buttons() & (Qt::LeftButton | Qt::MiddleButton))) {
            const QPoint d = global - panFrom_;
            h->setValue(panScroll_.x() - d.x());
            v->setValue(panScroll_.y() - d.y());
        }
        if (watched == Image1) {
            const QPoint p = Image1->toBitmap(me->position());
            Image1MouseMove(p.x(), p.y());
        }
        return true;
    }
    panning_ = false;
    return true;
}

} // namespace tarnix
