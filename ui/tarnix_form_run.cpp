// GO, STOP and the processing sequence editor.
#include "core/session.h"
#include "ui/processing_form.h"
#include "ui/tarnix_form.h"

namespace tarnix {

void TTarnixForm::PlayButtClick() {}

void TTarnixForm::STOPButtClick() {
    session().StopRequested = true;
}

void TTarnixForm::EditSequence1Click() {
    if (forms.ProcessingForm) forms.ProcessingForm->exec();
}

void TTarnixForm::EditButtClick() {
    EditSequence1Click();
}

} // namespace tarnix
