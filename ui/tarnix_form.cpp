#include "ui/tarnix_form.h"

#include "core/session.h"

namespace tarnix {

TTarnixForm::TTarnixForm(Session& session, QWidget* parent) : QMainWindow(parent), session_(session) {
    setObjectName("TarnixForm");
    setWindowTitle("Tarnix ver 1.2 (Morvel)");
}

} // namespace tarnix
