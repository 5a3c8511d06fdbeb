#include "ui/profile_view.h"

#include "core/session.h"
#include "ui/notes_form.h"
#include "ui/tarnix_form.h"

#include <QApplication>
#include <QLabel>
#include <QPaintEvent>
#include <QPainter>
#include <QProgressBar>
#include <QTabWidget>

namespace tarnix {

WindowRunHooks::WindowRunHooks(TTarnixForm& form, ProfileRenderer& renderer)
    : ProfileRunHooks(renderer, form.annotFont), form_(form) {}

void WindowRunHooks::pumpEvents() {
    QApplication::processEvents();
}

void WindowRunHooks::runState(bool running) {
    form_.ProgressBar1->setValue(0);
    form_.ProgressBar1->setVisible(running);
}

void WindowRunHooks::progress(int percent) {
    form_.ProgressBar1->setValue(percent);
}

void WindowRunHooks::runEnd() {
    // The font is the one chosen at the moment the run ends.
    renderer_.runEnd(form_.annotFont, textColour_);
    form_.profileImage = std::move(renderer_.picture());
    form_.PageControl1->setCurrentIndex(TTarnixForm::ProfilePage);
    form_.showProfile();
}

bool WindowPickTarget::notebookShown() const {
    return form_.forms.NotesForm && form_.forms.NotesForm->isVisible();
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
    form_.Display->update(area);
}

bool ProfileView::eventFilter(QObject* watched, QEvent* event) {
    if (watched == form_.Display && event->type() == QEvent::Paint) {
        const QImage& img = form_.profileImage;
        if (img.isNull() || img.size() != form_.Display->size()) return false;
        QPainter p(form_.Display);
        const QRect r = static_cast<QPaintEvent*>(event)->rect();
        p.drawImage(r.topLeft(), img, r);
        return true;
    }
    return QObject::eventFilter(watched, event);
}

} // namespace tarnix
