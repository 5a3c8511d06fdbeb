// GO, STOP and the processing sequence editor.
#include "core/session.h"
#include "formats/demo_line.h"
#include "formats/file_open.h"
#include "processing/demo_session.h"
#include "processing/processor.h"
#include "ui/display_controls_form.h"
#include "ui/processing_form.h"
#include "ui/profile_view.h"
#include "ui/tarnix_form.h"

#include <QApplication>
#include <QCheckBox>
#include <QPushButton>

namespace tarnix {

Processor& TTarnixForm::processor() {
    if (!processor_) processor_ = std::make_unique<Processor>(session_);
    return *processor_;
}

void TTarnixForm::PlayButtClick() {
    // A second GO while the loop serves events would start a run inside the run.
    if (runActive_) return;
    runActive_ = true;
    rememberInputFile(); // with the SEG-Y options this run reads by
    Playbutt->setEnabled(false);
    TwoDCheck->setVisible(false);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    RunResult r = processor().run(profileView().hooks());
    QApplication::restoreOverrideCursor();
    TwoDCheck->setVisible(true);
    runActive_ = false;
    refreshFromSession();
    if (r.end == RunEnd::Failed)
        PageControl1->setCurrentIndex(MemoPage);
    else
        offerAutoGain();
}

void TTarnixForm::startDemo() {
    guarded([this] {
        Session& s = session();
        s.Edit4 = "Writing the demo line...";
        refreshFromSession();
        QApplication::setOverrideCursor(Qt::WaitCursor);
        std::string path;
        try {
            path = demoLinePath();
        } catch (...) {
            QApplication::restoreOverrideCursor();
            throw;
        }
        QApplication::restoreOverrideCursor();
        openDemoLine(s, path);
        refreshFromSession();
        if (forms.DisplayControlsForm) forms.DisplayControlsForm->refreshFromSession();
        PlayButtClick();
    });
}

void TTarnixForm::STOPButtClick() {
    session().StopRequested = true;
}

void TTarnixForm::EditSequence1Click() {
    if (!forms.ProcessingForm) return;
    forms.ProcessingForm->exec();
    refreshFromSession(); // a module that needs the mean trace ticks RMS
}

void TTarnixForm::EditButtClick() {
    EditSequence1Click();
}

} // namespace tarnix
