#include "ui/bmp_form.h"

#include "core/session.h"

namespace tarnix {

TBMPForm::TBMPForm(Session& session, QWidget* parent) : QDialog(parent), session_(session) {
    setObjectName("BMPForm");
    setWindowTitle("");
}

} // namespace tarnix
