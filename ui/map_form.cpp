#include "ui/map_form.h"

#include "core/session.h"

namespace tarnix {

TMapForm::TMapForm(Session& session, QWidget* parent) : QDialog(parent), session_(session) {
    setObjectName("MapForm");
    setWindowTitle("Map Limits");
}

} // namespace tarnix
