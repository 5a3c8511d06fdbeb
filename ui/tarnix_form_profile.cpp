// Pointing at the profile: read-out, picks, drags, wheel, the shot counter
// buttons and the zoom of the Bitmaps page.
#include "core/session.h"
#include "display/profile_cursor.h"
#include "display/profile_layout.h"
#include "formats/bitmap_input.h"
#include "ui/profile_view.h"
#include "ui/tarnix_form.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QScrollArea>
#include <QScrollBar>
#include <QSpinBox>
#include <QTabWidget>

#include <cmath>

namespace tarnix {

ProfileView& TTarnixForm::profileView() {
    if (!profileView_) profileView_ = new ProfileView(*this);
    return *profileView_;
}

void TTarnixForm::DisplayMouseMove(int x, int y) {
    const DataArea area = profileDataArea(profileImage.width(), profileImage.height());
    PointTexts texts;
    const int red = profileView().canvas().red(x, y);
    if (!calcPointAttributes(session_, red, area, y - area.top, x - area.left, texts)) return;
    setStatusPanel(1, QString::fromStdString(texts.image));
    setStatusPanel(2, QString::fromStdString(texts.profile));
    Edit3->setText(QString::fromStdString(session_.Edit3));
}

void TTarnixForm::DisplayMouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x,
                                   int y) {
    ProfileView& view = profileView();
    ImageCanvas& canvas = view.canvas();
    canvas.setPenColour(penColor);
    canvas.setFont(annotFont);
    canvas.setFontColour(penColor);
    // The drag starts from the pressed point.
    canvas.moveTo(x, y);
    if (button == Qt::LeftButton && !(shift & Qt::ShiftModifier)) return; // a drag may follow

    const bool mapping = TwoDCheck->isChecked();
    ProfilePickTarget& picks = view.picks();
    const bool notebook = picks.notebookShown();
    if (!inProfileDataArea(session_, x, y) || !(mapping || notebook)) return;
    // With the notebook shown the right button takes back the nearest pick.
    if (button == Qt::RightButton && notebook && picks.notebookDeleteNearest(session_, x, y))
        return;
    // The pick is where the button went down, whatever the last move read.
    DisplayMouseMove(x, y);
    CursorPoint& c = session_.cursor;
    ++c.PickCount;
    const int width = canvas.penWidth();
    if (notebook) {
        picks.notebookPick(session_, x, y);
        canvas.setPenWidth(1);
    }
    canvas.setPenMode(ImageCanvas::Copy);
    if (mapping) {
        TWOD_PLOT(canvas, x, y, c.CursorShot, true);
        session_.Edit4 = interactiveMappingText(session_, c.CursorShot);
        Edit4->setText(QString::fromStdString(session_.Edit4));
        // A shot without a fix (NaN position) has no point on the map.
        const int entry = session_.shotEntry(c.CursorShot);
        if (picks.mapPlotting() && entry >= 0 &&
            !std::isnan(session_.shotPosition[static_cast<size_t>(entry)][0]))
            picks.mapPlot(session_.shotPosition[static_cast<size_t>(entry)][0],
                          session_.shotPosition[static_cast<size_t>(entry)][1], c.CursorShot);
        view.updateDisplay(QRect(x - 4, y - 4, 120, 40));
    } else {
        TWOD_PLOT(canvas, x, y, 0, false);
        view.updateDisplay(QRect(x - 4, y - 4, 9, 9));
    }
    canvas.setPenWidth(width);
    canvas.moveTo(x, y);
}

void TTarnixForm::DisplayStartDrag() {
    ProfileView& view = profileView();
    ImageCanvas& canvas = view.canvas();
    const QPoint p = canvas.penPos();
    session_.cursor.DragStartX = p.x();
    session_.cursor.DragStartY = p.y();
    session_.cursor.DragStartDepth = session_.cursor.CursorDepth;
    canvas.setPenMode(ImageCanvas::Copy);
    canvas.plot(p.x() - 2, p.y());
    view.updateDisplay(QRect(p.x() - 3, p.y() - 1, 3, 3));
    view.picks().notebookDragStarted();
}

void TTarnixForm::DisplayDragOver(int X, int Y) {
    ProfileView& view = profileView();
    ProfilePickTarget& picks = view.picks();
    if (!picks.notebookShown()) {
        const std::string text = thicknessText(session_, Y);
        if (!text.empty()) setStatusPanel(0, QString::fromStdString(text));
        return;
    }
    // Bottom tracking: snap to the strongest step inside the window around the cursor.
    if (!inProfileDataArea(session_, X, Y)) return;
    DisplayMouseMove(X, Y);
    const int x = X - kProfileMargin, y = Y - kProfileMargin;
    const int W = session_.display.DragWidth();
    ImageCanvas& canvas = view.canvas();
    std::vector<int> v(static_cast<size_t>(W) + 1, 0);
    for (int j = 1; j <= W; ++j)
        v[j] = 255 - canvas.red(x + kProfileMargin, y - W / 2 + kProfileMargin + j);
    const int k = bottomSplit(v, W);
    const BottomPick pick = bottomPick(session_, x, y, k, picks.notebookLowerShotLimit());
    // The notebook stores the pick and moves LastPickedShot on.
    if (!pick.store || !picks.notebookDragPick(session_, pick, X)) return;
    canvas.setPenMode(ImageCanvas::Copy);
    canvas.line(X, pick.row, X - 1, pick.row - 1);
    const int w = canvas.penWidth();
    view.updateDisplay(QRect(X - 2 - w, pick.row - 2 - w, 4 + 2 * w, 4 + 2 * w));
}

void TTarnixForm::DisplayEndDrag(int /*x*/, int /*y*/) {
    profileView().picks().notebookDragEnded();
}

void TTarnixForm::FormMouseWheel(int delta) {
    if (PageControl1->currentIndex() != ProfilePage) return;
    QScrollBar* bar = ScrollBox1->verticalScrollBar();
    bar->setValue(bar->value() - delta / 5);
}

void TTarnixForm::UpClick() {
    Sel_ana_spin->setValue(Sel_ana_spin->value() + 1);
    REFRESH_INSTRUMENTS_OR_SEGYHEADER();
}

void TTarnixForm::downClick() {
    Sel_ana_spin->setValue(Sel_ana_spin->value() - 1);
    REFRESH_INSTRUMENTS_OR_SEGYHEADER();
}

void TTarnixForm::standClick() {
    REFRESH_INSTRUMENTS_OR_SEGYHEADER();
}

void TTarnixForm::SpeedButton5Click() {
    session().ZoomStep = -1;
    Zoom_execute();
}

void TTarnixForm::SpeedButton11Click() {
    session().ZoomStep = 0;
    Zoom_execute();
}

void TTarnixForm::SpeedButton12Click() {
    session().ZoomStep = 1;
    Zoom_execute();
}

void TTarnixForm::Zoom_execute() {
    Session& s = session_;
    if (!scannedPicture.isNull() && bitmapInput(s)) {
        // The picture as scanned is kept, so every step scales it and the
        // conversion never reads a zoomed copy.
        s.ZoomFactor = nextZoomFactor(s.ZoomFactor, s.ZoomStep);
        Label2->setText(QString::fromStdString(zoomLabel(s.ZoomFactor)));
        const int w = static_cast<int>(scannedPicture.width() * s.ZoomFactor);
        const int h = static_cast<int>(scannedPicture.height() * s.ZoomFactor);
        bitmapImage = scannedPicture.scaled(std::max(w, 1), std::max(h, 1), Qt::IgnoreAspectRatio,
                                            Qt::FastTransformation);
        showBitmap();
        return;
    }
    QClipboard* clipboard = QApplication::clipboard();
    // The unzoomed picture waits on the clipboard while the factor is not 1.
    if (s.ZoomFactor == 1.0 && !bitmapImage.isNull()) clipboard->setImage(bitmapImage);
    s.ZoomFactor = nextZoomFactor(s.ZoomFactor, s.ZoomStep);
    Label2->setText(QString::fromStdString(zoomLabel(s.ZoomFactor)));
    const int w = zoomedSize(s.ImageColumns, s.ZoomFactor);
    const int h = zoomedSize(s.ImageRows, s.ZoomFactor);
    QImage zoomed(std::max(w, 1), std::max(h, 1), QImage::Format_RGB32);
    zoomed.fill(Qt::white);
    const QImage original = clipboard->image();
    if (!original.isNull()) {
        QPainter p(&zoomed);
        p.setRenderHint(QPainter::SmoothPixmapTransform, false);
        p.drawImage(zoomed.rect(), original);
    }
    bitmapImage = zoomed;
    showBitmap();
}

} // namespace tarnix
