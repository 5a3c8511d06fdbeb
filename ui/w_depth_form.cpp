#include "ui/w_depth_form.h"

#include "core/session.h"

namespace tarnix {

TW_depth_form::TW_depth_form(Session& session, QWidget* parent) : QDialog(parent), session_(session) {
    setObjectName("W_depth_form");
    setWindowTitle("");
}

} // namespace tarnix
