// Pointing at the profile: read-out, picks, drags, wheel, the shot counter
// buttons and the zoom of the Bitmaps page.
#include "core/session.h"
#include "ui/tarnix_form.h"

#include <QScrollArea>
#include <QScrollBar>
#include <QSpinBox>
#include <QTabWidget>

namespace tarnix {

void TTarnixForm::DisplayMouseMove(int /*x*/, int /*y*/) {}

void TTarnixForm::DisplayMouseDown(Qt::MouseButton /*button*/, Qt::KeyboardModifiers /*shift*/,
                                   int /*x*/, int /*y*/) {}

void TTarnixForm::DisplayStartDrag() {}

void TTarnixForm::DisplayDragOver(int /*x*/, int /*y*/) {}

void TTarnixForm::DisplayEndDrag(int /*x*/, int /*y*/) {}

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

void TTarnixForm::Zoom_execute() {}

} // namespace tarnix
