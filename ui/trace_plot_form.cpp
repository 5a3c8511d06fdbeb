#include "ui/trace_plot_form.h"

#include "core/session.h"

namespace tarnix {

TTrace_Plot_Form::TTrace_Plot_Form(Session& session, QWidget* parent)
    : QDialog(parent), session_(session) {
    setObjectName("Trace_Plot_Form");
    setWindowTitle("");
}

} // namespace tarnix
