// GO, STOP and the processing sequence editor.
#include "core/session.h"
#include "processing/processor.h"
#include "ui/processing_form.h"
#include "ui/tarnix_form.h"

namespace tarnix {

// Created on first use, so module state lives as long as the window.
Processor& TTarnixForm::processor() {
    if (!processor_) processor_ = std::make_unique<Processor>(session_);
    return *processor_;
}

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
