#include "ui/segy_select_form.h"

#include "core/session.h"

namespace tarnix {

TSEGYSelectForm::TSEGYSelectForm(Session& session, QWidget* parent) : QDialog(parent), session_(session) {
    setObjectName("SEGYSelectForm");
    setWindowTitle("SEGY File Type");
}

} // namespace tarnix
