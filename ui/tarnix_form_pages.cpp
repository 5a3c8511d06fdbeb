// The Bitmaps and Reflectivity pages, the notebook and the XYZ map sampling.
#include "core/session.h"
#include "ui/bmp_form.h"
#include "ui/notes_form.h"
#include "ui/tarnix_form.h"

namespace tarnix {

void TTarnixForm::CreateaNotebook1Click() {}

void TTarnixForm::Sample1Click() {}

void TTarnixForm::importbmpClick() {}

void TTarnixForm::SpeedButton10Click() {
    if (forms.BMPForm) forms.BMPForm->show();
}

void TTarnixForm::Image2MouseMove(int /*x*/, int /*y*/) {}

void TTarnixForm::Image2MouseDown(Qt::MouseButton /*button*/, Qt::KeyboardModifiers /*shift*/,
                                  int /*x*/, int /*y*/) {}

void TTarnixForm::SpeedButton7Click() {}

void TTarnixForm::SpeedButton8Click() {}

void TTarnixForm::graph1MouseMove(int /*x*/, int /*y*/) {}

void TTarnixForm::graph1MouseDown(Qt::MouseButton /*button*/, Qt::KeyboardModifiers /*shift*/,
                                  int /*x*/, int /*y*/) {}

} // namespace tarnix
