#include "ui/display_controls_form.h"

#include "core/session.h"

namespace tarnix {

TDisplayControlsForm::TDisplayControlsForm(Session& session, QWidget* parent) : QDialog(parent), session_(session) {
    setObjectName("DisplayControlsForm");
    setWindowTitle("Display");
}

} // namespace tarnix
