#include "ui/map_viewer_form.h"

#include "core/session.h"

namespace tarnix {

TMapViewerForm::TMapViewerForm(Session& session, QWidget* parent)
    : QDialog(parent), session_(session) {
    setObjectName("MapViewerForm");
    setWindowTitle("");
}

} // namespace tarnix
