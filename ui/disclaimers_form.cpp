#include "ui/disclaimers_form.h"

#include "core/session.h"

namespace tarnix {

TDisclaimers_form::TDisclaimers_form(Session& session, QWidget* parent)
    : QDialog(parent), session_(session) {
    setObjectName("Disclaimers_form");
    setWindowTitle("");
}

} // namespace tarnix
