#include "ui/time_slice_form.h"

#include "core/session.h"

namespace tarnix {

TTimeSliceForm::TTimeSliceForm(Session& session, QWidget* parent)
    : QDialog(parent), session_(session) {
    setObjectName("TimeSliceForm");
    setWindowTitle("");
}

} // namespace tarnix
