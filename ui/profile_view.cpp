#include "ui/profile_view.h"

#include "core/session.h"
#include "display/view_zoom.h"
#include "processing/run_progress.h"
#include "ui/map_viewer_form.h"
#include "ui/notes_form.h"
#include "ui/tarnix_form.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QPaintEvent>
#include <QPainter>
#include <QProgressBar>
#include <QTabWidget>

#include <cmath>

namespace tarnix {

WindowRunHooks::WindowRunHooks(TTarnixForm& form, ProfileRenderer& renderer)
    : ProfileRunHooks(renderer, form.annotFont), form_(form) {}

void WindowRunHooks::pumpEvents() {
    QApplication::processEvents();
}

void WindowRunHooks::runState(bool running) {
    form_.ProgressBar1->setValue(0);
    form_.ProgressBar1->setVisible(running);
    if (running) clock_.start();
    shown_.invalidate();
    barShown_.invalidate();
    form_.showRunProgress(running ? "Shot 0" : QString());
}

void WindowRunHooks::shotsDone(int done, int total) {
    // The loop reports every 100 shots, hundreds of times a second on a fast
    // line; a text that changes faster than the eye reads only costs the run.
    if (shown_.isValid() && shown_.elapsed() < kProgressTextMs && done < total) return;
    shown_.start();
    form_.showRunProgress(
        QString::fromStdString(runProgressText(done, total, clock_.elapsed() / 1000.0)));
}

void WindowRunHooks::shotProcessed(int shot) {
    if (!form_.TwoDCheck->isChecked()) return;
    ProfilePickTarget& picks = form_.profileView().picks();
    const int entry = form_.session().shotEntry(shot);
    if (entry < 0 || !picks.mapPlotting()) return;
    const auto& at = form_.session().shotPosition[static_cast<size_t>(entry)];
    // A shot without a fix (NaN position) has no point on the map.
    if (!std::isnan(at[0]) && !std::isnan(at[1])) picks.mapPlotTrack(at[0], at[1], shot);
}

void WindowRunHooks::progress(int percent) {
    // Each new value repaints the bar at once, not at the next event pass: on a
    // fast line a hundred repaints took a fifth of the run.
    if (percent == form_.ProgressBar1->value()) return;
    if (barShown_.isValid() && barShown_.elapsed() < kProgressTextMs && percent < 100) return;
    barShown_.start();
    form_.ProgressBar1->setValue(percent);
}

void WindowRunHooks::runEnd() {
    // The font is the one chosen at the moment the run ends.
    renderer_.runEnd(form_.annotFont, textColour_);
    form_.profileImage = std::move(renderer_.picture());
    if (form_.forms.NotesForm) form_.forms.NotesForm->pictureReplaced();
    form_.PageControl1->setCurrentIndex(TTarnixForm::ProfilePage);
    form_.showProfile();
}

bool WindowPickTarget::notebookShown() const {
    return form_.forms.NotesForm && form_.forms.NotesForm->isVisible();
}

bool WindowPickTarget::mapPlotting() const {
    return form_.forms.MapViewerForm && form_.forms.MapViewerForm->linePlotting();
}

void WindowPickTarget::mapPlot(double x, double y, int shot) {
    if (mapPlotting()) form_.forms.MapViewerForm->plotShot(shot, x, y, true);
}

void WindowPickTarget::mapPlotTrack(double x, double y, int shot) {
    if (mapPlotting()) form_.forms.MapViewerForm->plotShot(shot, x, y, false);
}

void WindowPickTarget::notebookPick(Session& s, int x, int y) {
    if (notebookShown()) form_.forms.NotesForm->profileClick(s, x, y);
}

bool WindowPickTarget::notebookDragPick(Session& s, const BottomPick& pick, int column) {
    return notebookShown() && form_.forms.NotesForm->profileDrag(s, pick, column);
}

void WindowPickTarget::notebookDragStarted() {
    if (form_.forms.NotesForm) form_.forms.NotesForm->dragStarted();
}

void WindowPickTarget::notebookDragEnded() {
    if (form_.forms.NotesForm) form_.forms.NotesForm->dragEnded();
}

bool WindowPickTarget::notebookDeleteNearest(Session& s, int x, int y) {
    return notebookShown() && form_.forms.NotesForm->deleteNearestPick(s, x, y);
}

int WindowPickTarget::notebookLowerShotLimit() const {
    return form_.forms.NotesForm ? form_.forms.NotesForm->state().lowerShotLimit : 0;
}

bool WindowPickTarget::notebookIsMut() const {
    return form_.forms.NotesForm && form_.forms.NotesForm->state().kind == NotebookKind::Mute;
}

void WindowPickTarget::notebookAddLine(const std::string& line) {
    if (notebookShown()) form_.forms.NotesForm->addPickLine(line);
}

void WindowPickTarget::notebookBitmapPick(Session& s) {
    if (notebookShown()) form_.forms.NotesForm->bitmapClick(s);
}

int WindowPickTarget::notebookMapPick(const std::string& lonText, const std::string& latText) {
    return notebookShown() ? form_.forms.NotesForm->mapClick(lonText, latText) : 0;
}

ProfileView::ProfileView(TTarnixForm& form)
    : QObject(&form), form_(form), renderer_(form.session()), hooks_(form, renderer_),
      canvas_(&form.profileImage), picks_(std::make_unique<WindowPickTarget>(form)) {
    form_.Display->installEventFilter(this);
}

void ProfileView::setPickTarget(std::unique_ptr<ProfilePickTarget> target) {
    picks_ = target ? std::move(target) : std::make_unique<WindowPickTarget>(form_);
}

void ProfileView::updateDisplay(const QRect& area) {
    const double z = form_.viewZoom();
    const int x = pictureToView(area.x(), z), y = pictureToView(area.y(), z);
    form_.Display->update(QRect(x, y, pictureToView(area.right() + 1, z) - x + 1,
                                pictureToView(area.bottom() + 1, z) - y + 1));
}

bool ProfileView::eventFilter(QObject* watched, QEvent* event) {
    if (watched == form_.Display && event->type() == QEvent::Paint) {
        const QImage& img = form_.profileImage;
        const double z = form_.viewZoom();
        if (img.isNull() ||
            QSize(viewSize(img.width(), z), viewSize(img.height(), z)) != form_.Display->size())
            return false;
        QPainter p(form_.Display);
        // On a high-DPI screen even zoom 1 scales the picture: never smoothly.
        p.setRenderHint(QPainter::SmoothPixmapTransform, false);
        const QRect r = static_cast<QPaintEvent*>(event)->rect();
        if (z == 1.0) {
            p.drawImage(r.topLeft(), img, r);
            return true;
        }
        // Only the picture pixels under the exposed rectangle, each one a square
        // of the zoom; no smoothing, so columns and rows stay sharp.
        const int x0 = viewToPicture(r.left(), z), y0 = viewToPicture(r.top(), z);
        const int x1 = std::min(img.width() - 1, viewToPicture(r.right(), z));
        const int y1 = std::min(img.height() - 1, viewToPicture(r.bottom(), z));
        if (x1 < x0 || y1 < y0) return true;
        const QRect source(x0, y0, x1 - x0 + 1, y1 - y0 + 1);
        p.drawImage(QRectF(x0 * z, y0 * z, source.width() * z, source.height() * z), img, source);
        return true;
    }
    return QObject::eventFilter(watched, event);
}

} // namespace tarnix
