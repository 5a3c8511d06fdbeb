#include "ui/processing_form.h"

#include "core/session.h"

namespace tarnix {

TProcessingForm::TProcessingForm(Session& session, QWidget* parent) : QDialog(parent), session_(session) {
    setObjectName("ProcessingForm");
    setWindowTitle("Processing Form");
}

} // namespace tarnix
