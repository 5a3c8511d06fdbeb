#pragma once
#include "display/map_document.h"

#include <QDialog>
#include <QPoint>
#include <QString>
#include <QStringList>
#include <QWidget>

#include <functional>

class QAction;
class QLabel;
class QMenuBar;
class QScrollArea;
class QStatusBar;

namespace tarnix {
class Session;

// The map bitmap on screen, scaled by the view zoom only: what is drawn goes
// into the bitmap at its own size.
class MapImageView : public QWidget {
    Q_OBJECT
public:
    MapImageView(const QImage& image, QWidget* parent);
    double zoom() const { return zoom_; }
    void setZoom(double zoom);
    // Bitmap pixel under a point of the widget.
    QPoint toBitmap(QPointF p) const;
    // Sizes the widget to the zoomed bitmap and repaints it.
    void refresh();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    const QImage& image_;
    double zoom_ = 1.0;
};

// The map viewer: a map bitmap georeferenced by the Map Limits window, with
// navigation lines, reflectivity files and point files plotted on it.
class TMapViewerForm : public QDialog {
    Q_OBJECT
public:
    explicit TMapViewerForm(Session& session, QWidget* parent = nullptr);

    MapDocument& document() { return doc_; }
    // Open1Click after its dialog.
    void openBitmap(const QString& path);
    // "Line (*.NAV;*.REF)" is enabled: a bitmap was opened and the window not closed.
    bool linePlotting() const;
    // A shot point from the profile: labelled (a click with Interactive Mapping)
    // or by the line spacings (a shot the run has just painted).
    void plotShot(int shot, double lon, double lat, bool labelled);
    // The bitmap was replaced or painted over from outside (Image Edit).
    void mapImageChanged();
    // Zoom of the view about `anchor` (a viewport point; the middle when none).
    void setViewZoom(double zoom, QPoint anchor = QPoint(-1, -1));
    QString statusPanel(int index) const;

    QScrollArea* ScrollBox1 = nullptr;
    MapImageView* Image1 = nullptr;
    QStatusBar* StatusBar1 = nullptr;
    QMenuBar* MainMenu1 = nullptr;
    QAction* New1 = nullptr;
    QAction* Open1 = nullptr;
    QAction* Save1 = nullptr;
    QAction* Exit1 = nullptr;
    QAction* XYFile1 = nullptr;         // "XY Point"
    QAction* NAVFile1 = nullptr;        // "Line (*.NAV;*.REF)"
    QAction* MapBoundaries1 = nullptr;  // "Map Boundaries (*.BND)"
    QAction* LineParameters1 = nullptr; // "Line Parameters"

    // The dialogs ask these when set (an empty answer cancels): the bitmap open
    // and save dialogs, `PlotXYDialog`, and the colour and font of line plotting.
    std::function<QString()> chooseBitmapFile, chooseSaveFile, choosePointFile;
    std::function<void(QColor& colour, QFont& font)> chooseLineStyle;

public slots:
    void Open1Click();
    void New1Click();
    void Save1Click();
    void Exit1Click();
    void XYFile1Click();
    void NAVFile1Click();
    void LineParameters1Click();
    void MapBoundaries1Click();
    // Mouse on the map, in bitmap pixels.
    void Image1MouseMove(int x, int y);
    void Image1MouseDown(int x, int y);
    void Image1DblClick();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The box of the Map Limits texts, or its refusal shown in the status panels.
    bool boxAccepted();
    void report(const QString& message);
    void refreshLimits();
    QString fileDialog(bool save, const char* name, const QStringList& filters);

    Session& session_;
    MapDocument doc_;
    QLabel* panels_[3] = {nullptr, nullptr, nullptr};
    bool panning_ = false;
    bool pressTookPick_ = false;
    QPoint panFrom_, panScroll_;
};

} // namespace tarnix
