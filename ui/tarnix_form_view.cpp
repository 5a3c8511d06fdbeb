// The view of the profile: zoom about the cursor, fit, actual size and panning.
// Only the shown scale changes; the picture, the read-out and Save Image do not.
#include "display/view_zoom.h"
#include "ui/tarnix_form.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QScrollArea>
#include <QScrollBar>
#include <QTabWidget>
#include <QWheelEvent>

#include <cmath>

namespace tarnix {

void TTarnixForm::buildViewActions(QMenu* imageEdit) {
    imageEdit->addSeparator();
    FitToWindow1 = imageEdit->addAction("Fit to Window");
    FitToWindow1->setObjectName("FitToWindow1");
    FitToWindow1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_0));
    connect(FitToWindow1, &QAction::triggered, this, &TTarnixForm::FitToWindow1Click);
    ActualSize1 = imageEdit->addAction("Actual Size");
    ActualSize1->setObjectName("ActualSize1");
    ActualSize1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_1));
    connect(ActualSize1, &QAction::triggered, this, &TTarnixForm::ActualSize1Click);
}

QPoint TTarnixForm::displayToPicture(QPointF p) const {
    return QPoint(viewToPicture(static_cast<int>(std::floor(p.x())), viewZoom_),
                  viewToPicture(static_cast<int>(std::floor(p.y())), viewZoom_));
}

void TTarnixForm::setViewZoom(double zoom, QPoint anchor) {
    zoom = clampViewZoom(zoom);
    const double before = viewZoom_;
    QScrollBar* h = ScrollBox1->horizontalScrollBar();
    QScrollBar* v = ScrollBox1->verticalScrollBar();
    const QSize port = ScrollBox1->viewport()->size();
    if (anchor.x() < 0) anchor = QPoint(port.width() / 2, port.height() / 2);
    // The picture point under the anchor, before the scroll range changes.
    const int sx = scrollAfterZoom(h->value(), anchor.x(), before, zoom);
    const int sy = scrollAfterZoom(v->value(), anchor.y(), before, zoom);
    viewZoom_ = zoom;
    if (!profileImage.isNull())
        Display->resize(viewSize(profileImage.width(), zoom),
                        viewSize(profileImage.height(), zoom));
    Display->update();
    h->setValue(sx);
    v->setValue(sy);
}

void TTarnixForm::FitToWindow1Click() {
    if (profileImage.isNull()) return;
    const QSize port = ScrollBox1->maximumViewportSize();
    setViewZoom(fitZoom(profileImage.width(), profileImage.height(), port.width(), port.height()),
                QPoint(0, 0));
    ScrollBox1->horizontalScrollBar()->setValue(0);
    ScrollBox1->verticalScrollBar()->setValue(0);
}

void TTarnixForm::ActualSize1Click() {
    setViewZoom(1.0);
}

bool TTarnixForm::profileViewEvent(QObject* watched, QEvent* event) {
    if (watched != ScrollBox1->viewport() && watched != Display) return false;
    const QEvent::Type type = event->type();
    if (type == QEvent::Wheel) {
        auto* we = static_cast<QWheelEvent*>(event);
        if (!(we->modifiers() & Qt::ControlModifier)) return false;
        QPoint at = we->position().toPoint();
        if (watched == Display) at = Display->mapTo(ScrollBox1->viewport(), at);
        setViewZoom(wheelZoom(viewZoom_, we->angleDelta().y()), at);
        return true;
    }
    if (type != QEvent::MouseButtonPress && type != QEvent::MouseMove &&
        type != QEvent::MouseButtonRelease)
        return false;
    auto* me = static_cast<QMouseEvent*>(event);
    QScrollBar* h = ScrollBox1->horizontalScrollBar();
    QScrollBar* v = ScrollBox1->verticalScrollBar();
    if (type == QEvent::MouseButtonPress && me->button() == Qt::MiddleButton) {
        panning_ = true;
        panFrom_ = me->globalPosition().toPoint();
        panScroll_ = QPoint(h->value(), v->value());
        return false; // the press is still a pick where the profile takes one
    }
    if (!panning_) return false;
    if (type == QEvent::MouseMove) {
        const QPoint d = me->globalPosition().toPoint() - panFrom_;
        h->setValue(panScroll_.x() - d.x());
        v->setValue(panScroll_.y() - d.y());
        return true;
    }
    if (me->button() == Qt::MiddleButton) panning_ = false;
    return false;
}

} // namespace tarnix
