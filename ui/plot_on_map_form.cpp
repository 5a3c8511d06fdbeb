#include "ui/plot_on_map_form.h"

#include "core/session.h"

namespace tarnix {

TPlotOnMapForm::TPlotOnMapForm(Session& session, QWidget* parent)
    : QDialog(parent), session_(session) {
    setObjectName("PlotOnMapForm");
    setWindowTitle("");
}

} // namespace tarnix
