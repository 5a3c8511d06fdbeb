// File opening, the Select Shots entry point and the single-trace refresh.
#include "core/session.h"
#include "ui/tarnix_form.h"

namespace tarnix {

void TTarnixForm::OpenFile1Click() {}

void TTarnixForm::openDataFile(const QString& /*path*/) {}

void TTarnixForm::Shots1Click() {}

void TTarnixForm::ExportAscii1Click() {}

void TTarnixForm::REFRESH_INSTRUMENTS_OR_SEGYHEADER() {}

} // namespace tarnix
