#include "ui/ascii_select_form.h"

#include "core/session.h"

namespace tarnix {

TAsciiSelectForm::TAsciiSelectForm(Session& session, QWidget* parent)
    : QDialog(parent), session_(session) {
    setObjectName("AsciiSelectForm");
    setWindowTitle("");
}

} // namespace tarnix
