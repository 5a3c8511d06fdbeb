// The Analysis page: the four instruments, their read-outs and "Save ASCII".
#include "core/session.h"
#include "ui/tarnix_form.h"

#include <QCheckBox>
#include <QGroupBox>

namespace tarnix {

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

void TTarnixForm::Oscillo() {}
void TTarnixForm::AmpSpect() {}
void TTarnixForm::PhSpect() {}
void TTarnixForm::Autcorr() {}

void TTarnixForm::AImageMouseMove(int /*x*/, int /*y*/) {}
void TTarnixForm::SimageMouseMove(int /*x*/, int /*y*/) {}
void TTarnixForm::PhimageMouseMove(int /*x*/, int /*y*/) {}
void TTarnixForm::AutoImageMouseMove(int /*x*/, int /*y*/) {}

void TTarnixForm::SpeedButton2Click() {}

} // namespace tarnix
