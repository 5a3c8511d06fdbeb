#include "ui/select_shots_form.h"

#include "core/session.h"

namespace tarnix {

TSelectShotsForm::TSelectShotsForm(Session& session, QWidget* parent) : QDialog(parent), session_(session) {
    setObjectName("SelectShotsForm");
    setWindowTitle("Select Shots");
}

} // namespace tarnix
