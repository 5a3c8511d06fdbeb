// The Bitmaps and Reflectivity pages, the notebook and the XYZ map sampling.
#include "core/session.h"
#include "navigation/map_box.h"
#include "ui/bmp_form.h"
#include "ui/map_form.h"
#include "ui/map_viewer_form.h"
#include "ui/notes_form.h"
#include "ui/tarnix_form.h"

#include <QApplication>

namespace tarnix {

void TTarnixForm::CreateaNotebook1Click() {
    if (forms.NotesForm) forms.NotesForm->CreateaNotebook1Click();
}

void TTarnixForm::Sample1Click() {
    TMapViewerForm* viewer = forms.MapViewerForm;
    TMapForm* limits = forms.MapForm;
    if (!viewer || !limits) return;
    // Refused before any file is made: there is nothing to sample.
    if (viewer->document().image().isNull()) {
        showError("No map is loaded to sample: open a bitmap in the map viewer first.");
        return;
    }
    std::string why;
    if (!MapBox::tryParse(session_.mapLimits, &why)) {
        limits->setStatus(QString::fromStdString("Map limits refused: " + why));
        limits->show();
        return;
    }
    const QString name = limits->runXyzDialog();
    if (name.isEmpty()) return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    guarded([&] { viewer->document().sampleXyz(name.toLocal8Bit().toStdString()); });
    QApplication::restoreOverrideCursor();
}

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
