// The Analysis page: the four instruments, their read-outs and "Save ASCII".
#include "core/session.h"
#include "display/instrument_readouts.h"
#include "display/instruments.h"
#include "formats/trace_text.h"
#include "ui/controls.h"
#include "ui/file_dialogs.h"
#include "ui/tarnix_form.h"

#include <QCheckBox>
#include <QFileDialog>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QPalette>
#include <QPixmap>
#include <QSpinBox>

namespace tarnix {

namespace {

void showLines(std::initializer_list<QLabel*> labels, const std::vector<std::string>& texts) {
    size_t i = 0;
    for (QLabel* l : labels) {
        l->setText(i < texts.size() ? QString::fromStdString(texts[i]) : QString());
        l->setVisible(true);
        ++i;
    }
}

} // namespace

void TTarnixForm::CheckBox1Click() {
    GroupBox3->setVisible(CheckBox1->isChecked());
}
void TTarnixForm::CheckBox2Click() {
    GroupBox1->setVisible(CheckBox2->isChecked());
}
void TTarnixForm::CheckBox3Click() {
    GroupBox4->setVisible(CheckBox3->isChecked());
}
void TTarnixForm::CheckBox4Click() {
    GroupBox2->setVisible(CheckBox4->isChecked());
}

void TTarnixForm::refreshInstruments() {
    guarded([&] {
        if (CheckBox1->isChecked()) Oscillo();
        if (CheckBox2->isChecked()) AmpSpect();
        if (CheckBox3->isChecked()) PhSpect();
        if (CheckBox4->isChecked()) Autcorr();
    });
}

namespace {

// Draws one instrument of the current trace onto its image control: as wide
// as the control's group box lets it be, 130 rows high for the oscilloscope and
// the correlogram, the control's height for the spectra.
void showInstrument(QLabel* image, Instrument which, Session& s, InstrumentWork& work,
                    int fixedHeight) {
    const int frame = image->frameWidth();
    if (fixedHeight > 0) image->setFixedHeight(fixedHeight + 2 * frame);
    const int width = std::max(1, image->width() - 2 * frame);
    const int height = fixedHeight > 0 ? fixedHeight : std::max(1, image->height() - 2 * frame);
    const QColor theme = QGuiApplication::palette().color(QPalette::Highlight);
    const QImage img = drawInstrument(which, s, work, width, height, instrumentPen(which, theme));
    image->setPixmap(crispPixmap(img, image->devicePixelRatioF()));
}

} // namespace

void TTarnixForm::Oscillo() {
    if (session_.InputFileName.empty()) return;
    if (!instrumentWork_) instrumentWork_ = std::make_unique<InstrumentWork>();
    showInstrument(AImage, Instrument::Oscilloscope, session_, *instrumentWork_, kInstrumentHeight);
}

void TTarnixForm::AmpSpect() {
    if (!instrumentWork_) instrumentWork_ = std::make_unique<InstrumentWork>();
    showInstrument(Simage, Instrument::AmplitudeSpectrum, session_, *instrumentWork_, 0);
}

void TTarnixForm::PhSpect() {
    if (!instrumentWork_) instrumentWork_ = std::make_unique<InstrumentWork>();
    showInstrument(Phimage, Instrument::PhaseSpectrum, session_, *instrumentWork_, 0);
}

void TTarnixForm::Autcorr() {
    if (!instrumentWork_) instrumentWork_ = std::make_unique<InstrumentWork>();
    showInstrument(AutoImage, Instrument::Autocorrelogram, session_, *instrumentWork_,
                   kInstrumentHeight);
}

void TTarnixForm::AImageMouseMove(int x, int y) {
    showLines({Label8, Label9, Label17},
              oscilloscopeReadout(session_, x, y, AImage->width(), AImage->height()));
}

void TTarnixForm::SimageMouseMove(int x, int y) {
    showLines({Label6, Label7},
              amplitudeSpectrumReadout(session_, x, y, Simage->width(), Simage->height()));
}

void TTarnixForm::PhimageMouseMove(int x, int y) {
    showLines({Label14, Label15},
              phaseSpectrumReadout(session_, x, y, Phimage->width(), Phimage->height()));
}

void TTarnixForm::AutoImageMouseMove(int x, int y) {
    showLines({Label10, Label11},
              autocorrelogramReadout(session_, x, y, AutoImage->width(), AutoImage->height()));
}

QString TTarnixForm::runAsciiFileDialog(const QString& title) {
    if (chooseAsciiFile) return chooseAsciiFile();
    QFileDialog dialog(this, title);
    dialog.setObjectName("AsciiFiledialog");
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilter("Ascii File (*.txt)");
    dialog.setDefaultSuffix("txt");
    const QStringList files = execRemembered(dialog, "ascii");
    return files.isEmpty() ? QString() : files.first();
}

void TTarnixForm::SpeedButton2Click() {
    const QString name = runAsciiFileDialog("Save ASCII");
    if (name.isEmpty()) return;
    guarded([&] {
        saveTraceAscii(name.toLocal8Bit().toStdString(), session_.current, session_.NumSamples,
                       session_.SampleRate);
    });
}

} // namespace tarnix
